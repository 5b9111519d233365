#pragma once

#include "gui/CTextEncoding.h"
#include "sheetdraw/CComponentPainter.h"
#include "sheetdraw/CImageCache.h"
#include "sheetdraw/CSheetFrame.h"

#include <QColor>

class QPainter;
class SSheetIndex;
class SXKorvDoc;
class SXKorvObj;

// Draws a schematic sheet: the frame from the sheet info, then every live object on a visible
// layer in file order. One renderer serves one document (it caches its parts and pictures).
class CSheetRenderer {
public:
    static const QColor kOutside;
    static const QColor kSheet;
    static const QColor kFrame;
    static const QColor kWire;
    static const QColor kBus;
    static const QColor kLabel;
    static const QColor kTag;
    static const QColor kComment;
    static const QColor kDash;

    // Sheet units, before scaling.
    static constexpr double kWireWidth = 1.0;
    static constexpr double kBusWidth = 3.0;
    static constexpr double kJunctionRadius = 3.0;
    static constexpr double kLabelUnits = 10.0;

    explicit CSheetRenderer(CTextEncoding encoding = CTextEncoding());

    void setEncoding(CTextEncoding encoding) { m_encoding = std::move(encoding); }
    const CTextEncoding& encoding() const { return m_encoding; }
    // Forget cached parts and pictures (their document is going away).
    void clearCaches();

    // Background, sheet frame and the objects the index finds in the frame's device area.
    void drawSheet(QPainter& painter, const SXKorvDoc& doc, const SSheetIndex& index,
                   const CSheetFrame& frame);
    void drawBackground(QPainter& painter, const SXKorvDoc& doc, const CSheetFrame& frame);
    void drawObject(QPainter& painter, const SXKorvObj& obj, const CSheetFrame& frame);

private:
    void drawLineKind(QPainter& painter, const SXKorvObj& obj, const CSheetFrame& frame);
    void drawJunction(QPainter& painter, const SXKorvObj& obj, const CSheetFrame& frame);
    void drawLabel(QPainter& painter, const SXKorvObj& obj, const CSheetFrame& frame);
    void drawTag(QPainter& painter, const SXKorvObj& obj, const CSheetFrame& frame);
    void drawComment(QPainter& painter, const SXKorvObj& obj, const CSheetFrame& frame);
    void drawDash(QPainter& painter, const SXKorvObj& obj, const CSheetFrame& frame);
    void drawMarker(QPainter& painter, const SXKorvObj& obj, const CSheetFrame& frame);
    void drawImage(QPainter& painter, const SXKorvObj& obj, const CSheetFrame& frame);

    CTextEncoding m_encoding;
    CComponentPainter m_components;
    CImageCache m_images;
};
