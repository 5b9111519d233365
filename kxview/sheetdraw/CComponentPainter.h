#pragma once

#include "model/SPtnObj.h"

#include <QColor>
#include <QTransform>

#include <cstdint>
#include <map>
#include <memory>
#include <utility>
#include <vector>

class CTextEncoding;
class QPainter;
class SCompInfo;
class SXKorvComponent;
struct CSheetFrame;

// Placed components drawn with the component editor's routines: the pattern turned and mirrored
// into the placed orientation (kept per part and orientation), the pins on their placed sides,
// then the value and reference texts beside the body.
class CComponentPainter {
public:
    static const QColor kPattern;
    static const QColor kBody;
    static const QColor kValue;
    static const QColor kReference;

    void draw(QPainter& painter, const SXKorvComponent& comp, const CSheetFrame& frame,
              const CTextEncoding& encoding);
    void clear() { m_patterns.clear(); }

    // The pattern objects of `part` as placed with `orientation`, relative to the placed body's
    // top-left corner (bit 0 a quarter turn clockwise, bit 1 a half turn, bit 2 mirrored).
    static std::vector<std::unique_ptr<SPtnObj>> placedPattern(const SCompInfo& part,
                                                               int32_t orientation);

    // Maps a body of `grid` steps from its own (0, 0)-(w, h) to the placed body's, relative to
    // its top-left corner; the same turns and mirroring as placedPattern.
    static QTransform orientationTransform(int32_t orientation, SSize grid);

private:
    // Both draw in sheet units on a painter that scales.
    void drawBody(QPainter& painter, const SXKorvComponent& comp);
    static void drawPins(QPainter& painter, const SXKorvComponent& comp);
    static void drawTexts(QPainter& painter, const SXKorvComponent& comp, const CSheetFrame& frame,
                          const CTextEncoding& encoding);

    using Key = std::pair<const SCompInfo*, int32_t>;
    std::map<Key, std::vector<std::unique_ptr<SPtnObj>>> m_patterns;
};
