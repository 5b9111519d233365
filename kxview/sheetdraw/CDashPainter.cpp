#include "sheetdraw/CDashPainter.h"

#include "schematic/SXKorvDash.h"
#include "schematic/SXKorvTag.h"
#include "sheetdraw/CSheetFrame.h"

#include <QLineF>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace {

Qt::PenStyle penStyle(SXKorvDash::LineStyle style) {
    switch (style) {
    case SXKorvDash::LineStyle::Normal:
        return Qt::SolidLine;
    case SXKorvDash::LineStyle::Dot:
        return Qt::DotLine;
    case SXKorvDash::LineStyle::DashDot:
        return Qt::DashDotLine;
    case SXKorvDash::LineStyle::Dash:
        break;
    }
    return Qt::DashLine;
}

// An end mark at `tip`, the line arriving from `from`.
void drawMark(QPainter& painter, SXKorvDash::EndMark mark, QPointF tip, QPointF from, double size,
              const QColor& color) {
    if (mark == SXKorvDash::EndMark::None)
        return;
    painter.save();
    painter.setPen(QPen(color, 1));
    if (mark == SXKorvDash::EndMark::Circle) {
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(tip, size / 2, size / 2);
    } else {
        QLineF back(tip, from);
        if (back.length() <= 0)
            back = QLineF(tip, tip + QPointF(-1, 0));
        back.setLength(size);
        const QLineF left = QLineF(back).normalVector();
        QPointF side(left.dx() * 0.4, left.dy() * 0.4);
        painter.setBrush(color);
        painter.drawPolygon(QPolygonF{tip, back.p2() + side, back.p2() - side});
    }
    painter.restore();
}

} // namespace

namespace CDashPainter {

void drawDash(QPainter& painter, const SXKorvDash& dash, const CSheetFrame& frame,
              const QColor& color) {
    QPolygonF line;
    if (dash.isCurved()) {
        for (const SPoint p : dash.curvePoints())
            line << frame.map(p);
    } else {
        line << frame.map(dash.p1()) << frame.map(dash.p2());
    }
    QPen pen(color, frame.length(dash.width()), penStyle(dash.lineStyle()));
    pen.setCapStyle(Qt::FlatCap);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawPolyline(line);
    const double size = frame.length(dash.endMarkSize(), 3.0);
    const qsizetype n = line.size();
    drawMark(painter, dash.startMark(), line[0], line[1], size, color);
    drawMark(painter, dash.endMark(), line[n - 1], line[n - 2], size, color);
}

QPolygonF tagOutline(const SXKorvTag& tag, const CSheetFrame& frame) {
    const SPoint a = tag.p1();
    const SPoint b = tag.p2();
    // Along the tag from p1 to p2 (u) and across it (v), in sheet units.
    const double len = std::hypot(static_cast<double>(b.x) - a.x, static_cast<double>(b.y) - a.y);
    const QPointF u = len > 0 ? QPointF((b.x - a.x) / len, (b.y - a.y) / len) : QPointF(1, 0);
    const QPointF v(-u.y(), u.x());
    const double half = 5;
    const double tip = std::min(half, len / 2);
    const bool pointEnd = tag.tagType() == 1 || tag.tagType() == 3;
    const bool pointStart = tag.tagType() == 2 || tag.tagType() == 3;
    const QPointF pa(a.x, a.y);
    const QPointF pb(b.x, b.y);
    QPolygonF shape;
    if (pointStart)
        shape << pa << pa + u * tip - v * half;
    else
        shape << pa - v * half;
    if (pointEnd)
        shape << pb - u * tip - v * half << pb << pb - u * tip + v * half;
    else
        shape << pb - v * half << pb + v * half;
    if (pointStart)
        shape << pa + u * tip + v * half;
    else
        shape << pa + v * half;
    QPolygonF out;
    for (const QPointF& p : shape)
        out << frame.map(p.x(), p.y());
    return out;
}

} // namespace CDashPainter
