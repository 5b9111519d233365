#include "sheetdraw/CSheetText.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>

namespace {

void drawBar(QPainter& painter, QPointF from, double length, double pixels, bool vertical) {
    if (length <= 0)
        return;
    const QColor grey(150, 150, 150);
    const double thick = std::max(pixels * 0.6, 1.0);
    if (vertical)
        painter.fillRect(QRectF(from.x() - thick, from.y() - length, thick, length), grey);
    else
        painter.fillRect(QRectF(from.x(), from.y() - thick, length, thick), grey);
}

} // namespace

namespace CSheetText {

void drawLine(QPainter& painter, const QString& text, QPointF anchor, QFont font, double pixels,
              bool vertical, const QColor& color) {
    if (text.isEmpty())
        return;
    if (pixels < kLeastPixels) {
        drawBar(painter, anchor, pixels * 0.6 * static_cast<double>(text.size()), pixels, vertical);
        return;
    }
    font.setPixelSize(std::max(1, static_cast<int>(pixels + 0.5)));
    painter.save();
    painter.setFont(font);
    painter.setPen(color);
    painter.translate(anchor);
    if (vertical)
        painter.rotate(-90);
    painter.drawText(QPointF(0, 0), text);
    painter.restore();
}

void drawBlock(QPainter& painter, const QString& text, QPointF topLeft, QFont font, double pixels,
               double wrapWidth, const QColor& color) {
    if (text.isEmpty())
        return;
    if (pixels < kLeastPixels) {
        const QStringList lines = text.split('\n');
        double y = topLeft.y() + pixels;
        for (const QString& line : lines) {
            double w = pixels * 0.6 * static_cast<double>(line.size());
            if (wrapWidth > 0)
                w = std::min(w, wrapWidth);
            drawBar(painter, {topLeft.x(), y}, w, pixels, false);
            y += pixels * 1.2;
        }
        return;
    }
    font.setPixelSize(std::max(1, static_cast<int>(pixels + 0.5)));
    painter.save();
    painter.setFont(font);
    painter.setPen(color);
    const double width = wrapWidth > 0 ? wrapWidth : 1.0e6;
    const QRectF box(topLeft, QSizeF(width, 1.0e6));
    const int flags = Qt::AlignLeft | Qt::AlignTop | (wrapWidth > 0 ? Qt::TextWordWrap : 0);
    painter.drawText(box, flags, text);
    painter.restore();
}

} // namespace CSheetText
