#pragma once

#include <QColor>
#include <QFont>
#include <QPointF>
#include <QString>

class QPainter;

// Text on a sheet: sized in device pixels from sheet units, so it stays crisp at every zoom;
// text too small to read is drawn as a grey bar where it stands.
namespace CSheetText {

// Below this pixel height a text is drawn as a bar.
constexpr double kLeastPixels = 3.5;

// `font` gets `pixels` as its size. Horizontal text starts at `anchor` with its baseline there;
// vertical text runs upwards from it, its baseline on the anchor's x.
void drawLine(QPainter& painter, const QString& text, QPointF anchor, QFont font, double pixels,
              bool vertical, const QColor& color);

// A block of text whose top-left corner is `topLeft`; lines break at line ends and, when
// `wrapWidth` > 0 (device pixels), at that width.
void drawBlock(QPainter& painter, const QString& text, QPointF topLeft, QFont font, double pixels,
               double wrapWidth, const QColor& color);

} // namespace CSheetText
