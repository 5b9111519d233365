#include "sheetdraw/CSheetRenderer.h"

#include "schematic/SImageDIB.h"
#include "schematic/SXKorvComment.h"
#include "schematic/SXKorvComponent.h"
#include "schematic/SXKorvDash.h"
#include "schematic/SXKorvDoc.h"
#include "schematic/SXKorvImageObj.h"
#include "schematic/SXKorvLabel.h"
#include "schematic/SXKorvMarkerLine.h"
#include "schematic/SXKorvTag.h"
#include "sheetdraw/CDashPainter.h"
#include "sheetdraw/CSheetText.h"
#include "viewcore/SSheetIndex.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

const QColor CSheetRenderer::kOutside{190, 192, 196};
const QColor CSheetRenderer::kSheet{255, 255, 255};
const QColor CSheetRenderer::kFrame{120, 120, 120};
const QColor CSheetRenderer::kWire{0, 0, 140};
const QColor CSheetRenderer::kBus{0, 0, 140};
const QColor CSheetRenderer::kLabel{0, 110, 0};
const QColor CSheetRenderer::kTag{150, 60, 0};
const QColor CSheetRenderer::kComment{0, 0, 0};
const QColor CSheetRenderer::kDash{70, 70, 70};

CSheetRenderer::CSheetRenderer(CTextEncoding encoding) : m_encoding(std::move(encoding)) {}

void CSheetRenderer::clearCaches() {
    m_components.clear();
    m_images.clear();
}

void CSheetRenderer::drawBackground(QPainter& painter, const SXKorvDoc& doc,
                                    const CSheetFrame& frame) {
    painter.fillRect(frame.device, kOutside);
    const SSize size = doc.sheetSize();
    const QRectF sheet(frame.map(0, 0), frame.map(size.width, size.height));
    painter.fillRect(sheet, kSheet);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(kFrame, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(sheet);
    // An inner border five units in, as on a drawing sheet.
    const double in = 5 * frame.scale();
    if (in >= 3)
        painter.drawRect(sheet.adjusted(in, in, -in, -in));
    painter.restore();
}

void CSheetRenderer::drawSheet(QPainter& painter, const SXKorvDoc& doc, const SSheetIndex& index,
                               const CSheetFrame& frame) {
    drawBackground(painter, doc, frame);
    const double s = frame.scale();
    const auto lo = [](double v) { return static_cast<int32_t>(std::clamp(v, -2e9, 2e9)) - 2; };
    const auto hi = [](double v) { return static_cast<int32_t>(std::clamp(v, -2e9, 2e9)) + 2; };
    const SRect area{lo((frame.device.left() + static_cast<double>(frame.scrollX)) / s),
                     lo((frame.device.top() + static_cast<double>(frame.scrollY)) / s),
                     hi((frame.device.right() + 1 + static_cast<double>(frame.scrollX)) / s),
                     hi((frame.device.bottom() + 1 + static_cast<double>(frame.scrollY)) / s)};
    painter.setRenderHint(QPainter::Antialiasing, true);
    for (const size_t i : index.query(area, frame.layers))
        drawObject(painter, index.object(i), frame);
}

void CSheetRenderer::drawObject(QPainter& painter, const SXKorvObj& obj, const CSheetFrame& frame) {
    switch (obj.kind()) {
    case SXKorvKind::Wire:
    case SXKorvKind::Bus:
    case SXKorvKind::Entry:
    case SXKorvKind::BusEntry:
        drawLineKind(painter, obj, frame);
        break;
    case SXKorvKind::Junction:
        drawJunction(painter, obj, frame);
        break;
    case SXKorvKind::Label:
        drawLabel(painter, obj, frame);
        break;
    case SXKorvKind::Tag:
        drawTag(painter, obj, frame);
        break;
    case SXKorvKind::Comment:
        drawComment(painter, obj, frame);
        break;
    case SXKorvKind::Dash:
        drawDash(painter, obj, frame);
        break;
    case SXKorvKind::MarkerLine:
        drawMarker(painter, obj, frame);
        break;
    case SXKorvKind::ImageObj:
        drawImage(painter, obj, frame);
        break;
    case SXKorvKind::Component:
        m_components.draw(painter, static_cast<const SXKorvComponent&>(obj), frame, m_encoding);
        break;
    case SXKorvKind::SheetInfo:
        break;
    }
}

void CSheetRenderer::drawLineKind(QPainter& painter, const SXKorvObj& obj,
                                  const CSheetFrame& frame) {
    const bool bus = obj.kind() == SXKorvKind::Bus || obj.kind() == SXKorvKind::BusEntry;
    QPen pen(bus ? kBus : kWire, frame.length(bus ? kBusWidth : kWireWidth, bus ? 2.0 : 1.0));
    pen.setCapStyle(Qt::RoundCap);
    painter.setPen(pen);
    painter.drawLine(frame.map(obj.p1()), frame.map(obj.p2()));
}

void CSheetRenderer::drawJunction(QPainter& painter, const SXKorvObj& obj,
                                  const CSheetFrame& frame) {
    const double r = frame.length(kJunctionRadius, 2.0);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kWire);
    painter.drawEllipse(frame.map(obj.p1()), r, r);
    painter.setBrush(Qt::NoBrush);
}

void CSheetRenderer::drawLabel(QPainter& painter, const SXKorvObj& obj, const CSheetFrame& frame) {
    const auto& label = static_cast<const SXKorvLabel&>(obj);
    // The text stands just above (or left of) its point, which lies on the wire it names.
    const double lift = 2 * frame.scale();
    QPointF at = frame.map(label.p1());
    at += label.isHorizontal() ? QPointF(0, -lift) : QPointF(-lift, 0);
    CSheetText::drawLine(painter, m_encoding.toUnicode(label.text()), at, QFont(),
                         kLabelUnits * frame.scale(), !label.isHorizontal(), kLabel);
}

void CSheetRenderer::drawTag(QPainter& painter, const SXKorvObj& obj, const CSheetFrame& frame) {
    const auto& tag = static_cast<const SXKorvTag&>(obj);
    painter.setPen(QPen(kTag, frame.length(1.0)));
    painter.setBrush(Qt::NoBrush);
    painter.drawPolygon(CDashPainter::tagOutline(tag, frame));
    const double s = frame.scale();
    const QPointF p1 = frame.map(tag.p1());
    const bool pointedStart = tag.tagType() == 2 || tag.tagType() == 3;
    const double lead = (pointedStart ? 6 : 2) * s;
    const QPointF at =
        tag.isHorizontal() ? p1 + QPointF(lead, 3.5 * s) : p1 + QPointF(3.5 * s, -lead);
    CSheetText::drawLine(painter, m_encoding.toUnicode(tag.text()), at, QFont(), 9 * s,
                         !tag.isHorizontal(), kTag);
}

void CSheetRenderer::drawComment(QPainter& painter, const SXKorvObj& obj,
                                 const CSheetFrame& frame) {
    const auto& comment = static_cast<const SXKorvComment&>(obj);
    QFont font;
    if (!comment.fontName().empty())
        font.setFamily(m_encoding.toUnicode(comment.fontName()));
    font.setBold(comment.isBold());
    font.setItalic(comment.isItalic());
    font.setUnderline(comment.isUnderline());
    font.setStrikeOut(comment.isStrikeOut());
    const double s = frame.scale();
    const double wrap = comment.width() >= SXKorvComment::kMinWidth ? comment.width() * s : 0;
    QString text = m_encoding.toUnicode(comment.text());
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    CSheetText::drawBlock(painter, text, frame.map(comment.p1()), font, comment.fontSize() * s,
                          wrap, kComment);
}

void CSheetRenderer::drawDash(QPainter& painter, const SXKorvObj& obj, const CSheetFrame& frame) {
    CDashPainter::drawDash(painter, static_cast<const SXKorvDash&>(obj), frame, kDash);
}

void CSheetRenderer::drawMarker(QPainter& painter, const SXKorvObj& obj, const CSheetFrame& frame) {
    const auto& marker = static_cast<const SXKorvMarkerLine&>(obj);
    const uint32_t bgr = static_cast<uint32_t>(marker.colour());
    // A highlighter: the colour (stored as 0x00BBGGRR) laid over what lies below.
    QColor color(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                 static_cast<int>((bgr >> 16) & 0xFF), 140);
    QPen pen(color, frame.length(marker.width()));
    pen.setCapStyle(Qt::FlatCap);
    painter.setPen(pen);
    painter.drawLine(frame.map(marker.p1()), frame.map(marker.p2()));
}

void CSheetRenderer::drawImage(QPainter& painter, const SXKorvObj& obj, const CSheetFrame& frame) {
    const auto& imageObj = static_cast<const SXKorvImageObj&>(obj);
    const SImageDIB* dib = imageObj.image();
    const SSize size = imageObj.drawnSize();
    const QRectF target(frame.map(obj.p1()), frame.map(addWrap(obj.p1().x, size.width),
                                                       addWrap(obj.p1().y, size.height)));
    const QImage* image = dib ? &m_images.image(*dib) : nullptr;
    if (image && !image->isNull()) {
        painter.save();
        painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
        painter.drawImage(target, *image);
        painter.restore();
        return;
    }
    // A picture that cannot be shown still shows where it is.
    painter.setPen(QPen(kFrame, 1, Qt::DashLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(target);
    painter.drawLine(target.topLeft(), target.bottomRight());
    painter.drawLine(target.topRight(), target.bottomLeft());
}
