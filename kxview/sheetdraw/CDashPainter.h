#pragma once

#include <QColor>
#include <QPolygonF>

class QPainter;
class SXKorvDash;
class SXKorvTag;
struct CSheetFrame;

// Shapes with more geometry than a line: dashes (straight or curved, line styles, end marks) and
// the outline of a tag by its type.
namespace CDashPainter {

void drawDash(QPainter& painter, const SXKorvDash& dash, const CSheetFrame& frame,
              const QColor& color);

// The frame of a tag, 10 units thick along p1-p2: type 0 a box, 1 pointed at the p2 end
// (output), 2 pointed at the p1 end (input), 3 pointed at both ends.
QPolygonF tagOutline(const SXKorvTag& tag, const CSheetFrame& frame);

} // namespace CDashPainter
