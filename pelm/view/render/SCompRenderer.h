#pragma once

#include "model/SPoint.h"
#include "model/SRect.h"

#include <QColor>
#include <QRect>

#include <cstdint>
#include <string_view>

class QPainter;
class SCompEditDoc;
class SDrawSettings;
class SPin;
class SPtn;
class SPtnObj;

// The drawing routines of a component, usable on any QPainter (widget, QImage, SVG). The painter
// works in logical pixels: model unit v is drawn at v × num / den, so a caller that scrolls
// translates the painter by minus its scroll offset. Antialiasing must be off.
class SCompRenderer {
public:
    // Colours of the drawing.
    static const QColor kBackground;
    static const QColor kCommitted;
    static const QColor kSelected; // selected objects and pins, floating pin, tool feedback
    static const QColor kPinLine;
    static const QColor kPinName;
    static const QColor kPinNumber;
    static const QColor kHiddenNumber;
    static const QColor kGridLine;
    static const QColor kGridDot;
    static const QColor kOutlineWithPattern;
    static const QColor kOutlineWithoutPattern;
    static const QColor kBitInk;
    static const QColor kArcGuide;
    static const QColor kCrosshair;

    // Polygons are drawn only with this many points or fewer (and at least 2).
    static constexpr int32_t kMaxPolygonPoints = 32;
    static constexpr int32_t kPinCommitted = 1;
    static constexpr int32_t kPinSelected = 4;

    // One pin at its root point (model units) in state 1 (committed) or 4 (selected).
    static void drawPin(QPainter& painter, SDrawSettings& text, SPoint root, uint32_t type,
                        int32_t side, std::string_view name, std::string_view number, int32_t state,
                        int32_t num, int32_t den);
    // The same for a pin of a component, showing its number for `block` (its last block when
    // it has fewer).
    static void drawPin(QPainter& painter, SDrawSettings& text, const SPin& pin, SPoint root,
                        int32_t block, int32_t state, int32_t num, int32_t den);
    // One pattern object in a colour, moved by `offset` model units. Texts store their drawn
    // extent in the object.
    static void drawPatternObject(QPainter& painter, SDrawSettings& text, SPtnObj& object,
                                  const QColor& color, SPoint offset, int32_t num, int32_t den);
    // The bit pattern (if any) and the body outline of a body of `gridSize` grid steps.
    static void drawBody(QPainter& painter, SSize gridSize, const SPtn* pattern, int32_t factor);
    // Grid points of the visible model area (right and bottom edges excluded).
    static void drawGrid(QPainter& painter, const SRect& visibleModel, int32_t factor);

    // The committed drawing of an edit document: body, grid, live pins, live pattern objects.
    struct Background {
        SCompEditDoc* doc = nullptr; // null: no component, the grid only
        const SPtn* pattern = nullptr;
        int32_t factor = 1;
        int32_t block = 0;
        SRect visibleModel;
        bool grid = true;
    };
    static void drawBackground(QPainter& painter, SDrawSettings& text, const Background& what);
    // The selection of an edit document in the selection colour.
    static void drawSelection(QPainter& painter, SDrawSettings& text, SCompEditDoc& doc,
                              int32_t factor, int32_t block);

    // Whether the object, drawn at the zoom factor, covers any of the 3 × 3 pixels around the
    // logical pixel: the hit test follows the drawn shape, pen width and fill.
    static bool hitsObject(SDrawSettings& text, SPtnObj& object, QPoint logical, int32_t factor);

    // Black squares around each node of an object, the first one filled.
    static void drawNodeMarks(QPainter& painter, const SPtnObj& object, int32_t factor);
    static void drawFocusRect(QPainter& painter, const QRect& rect);
    static void drawCrosshair(QPainter& painter, QPoint at);
};
