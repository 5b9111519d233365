#include "render/SCompRenderer.h"

#include "edit/SCompEditDoc.h"
#include "model/SPin.h"
#include "model/SPtn.h"
#include "model/SPtnObjArc.h"
#include "model/SPtnObjCircle.h"
#include "model/SPtnObjLine.h"
#include "model/SPtnObjPolygon.h"
#include "model/SPtnObjText.h"
#include "render/SDrawSettings.h"

#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <QPen>
#include <QPoint>
#include <QPolygon>

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <vector>

const QColor SCompRenderer::kBackground{255, 255, 255};
const QColor SCompRenderer::kCommitted{0, 128, 255};
const QColor SCompRenderer::kSelected{255, 0, 0};
const QColor SCompRenderer::kPinLine{0, 128, 0};
const QColor SCompRenderer::kPinName{0, 0, 255};
const QColor SCompRenderer::kPinNumber{128, 0, 128};
const QColor SCompRenderer::kHiddenNumber{220, 220, 220};
const QColor SCompRenderer::kGridLine{0, 0, 255};
const QColor SCompRenderer::kGridDot{192, 192, 192};
const QColor SCompRenderer::kOutlineWithPattern{192, 192, 192};
const QColor SCompRenderer::kOutlineWithoutPattern{0, 128, 0};
const QColor SCompRenderer::kBitInk{128, 255, 255};
const QColor SCompRenderer::kArcGuide{220, 220, 220};
const QColor SCompRenderer::kCrosshair{192, 192, 192};

namespace {

int32_t sc(int64_t v, int32_t num, int32_t den) {
    return SPtnObj::clampToInt32(v * num / std::max(den, 1));
}

QPoint scaledPoint(SPoint p, SPoint offset, int32_t num, int32_t den) {
    return {sc(int64_t{p.x} + offset.x, num, den), sc(int64_t{p.y} + offset.y, num, den)};
}

// A GDI-style box (right and bottom excluded) from two corners already scaled.
QRect boxOf(QPoint a, QPoint b) {
    const int l = std::min(a.x(), b.x());
    const int t = std::min(a.y(), b.y());
    const auto span = [](int from, int to) {
        return static_cast<int>(std::clamp<int64_t>(int64_t{to} - from - 1, 0, INT32_MAX));
    };
    return QRect(QPoint(l, t),
                 QSize(span(l, std::max(a.x(), b.x())), span(t, std::max(a.y(), b.y()))));
}

// One table row per side: plain line end, short line end, circle box, wedge points (offsets
// from the root in model units).
struct SidePin {
    SPoint lineEnd;
    SPoint shortEnd;
    SRect circle;
    std::array<SPoint, 3> wedge;
    SPoint nameAt;
    bool nameVertical;
    uint32_t nameAlign;
};

constexpr std::array<SidePin, 4> kSides{{
    {{-10, 0}, {-6, 0}, {-6, -3, 0, 3}, {{{0, 4}, {4, 0}, {0, -4}}}, {5, 3}, false, 0},
    {{0, -10}, {0, -6}, {-3, -6, 3, 0}, {{{-4, 0}, {0, 4}, {4, 0}}}, {3, 5}, true, 1},
    {{10, 0}, {6, 0}, {0, -3, 6, 3}, {{{0, 4}, {-4, 0}, {0, -4}}}, {-5, 3}, false, 1},
    {{0, 10}, {0, 6}, {-3, 0, 3, 6}, {{{-4, 0}, {0, -4}, {4, 0}}}, {3, -5}, true, 0},
}};

void drawPinShape(QPainter& p, SPoint root, uint32_t type, const SidePin& side, int32_t f) {
    const auto at = [&](SPoint d) { return scaledPoint(root + d, {}, f, 1); };
    if (type & SPin::kFlagZeroLength) {
        const QPoint a = at({-2, -2});
        const QPoint b = at({2, 2});
        p.drawRect(QRect(a, QSize(b.x() - a.x(), b.y() - a.y())));
    } else if (type & SPin::kFlagNegation) {
        p.drawLine(at(side.lineEnd), at(side.shortEnd));
        const QPoint a = at(side.circle.topLeft());
        const QPoint b = at(side.circle.bottomRight());
        p.drawEllipse(QRect(a, QSize(b.x() - a.x(), b.y() - a.y())));
    } else {
        p.drawLine(at(side.lineEnd), at({0, 0}));
    }
    if (type & SPin::kFlagClock) {
        const QPoint w[3] = {at(side.wedge[0]), at(side.wedge[1]), at(side.wedge[2])};
        p.drawPolyline(w, 3);
    }
}

QPen objectPen(const SPtnObj& object, const QColor& color, int32_t factor) {
    const int32_t w = static_cast<int32_t>(
        std::clamp<int64_t>(int64_t{std::max(object.width(), 0)} * factor, 0, 1000));
    if (object.style() == 0)
        return QPen(color, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    if (w < 2) {
        QPen pen(color, 1, Qt::CustomDashLine, Qt::FlatCap);
        pen.setDashPattern({3, 3});
        return pen;
    }
    QPen pen(color, w, Qt::CustomDashLine, Qt::FlatCap, Qt::RoundJoin);
    pen.setDashPattern({2, 2}); // in pen widths: 2w drawn, 2w left out
    return pen;
}

QBrush objectBrush(const SPtnObj& object, const QColor& color) {
    if (object.fill() == SPtnObj::kNotFilled)
        return Qt::NoBrush;
    if (object.fill() == 1)
        return QBrush(color);
    return QBrush(color == QColor(Qt::black) ? Qt::white : Qt::black);
}

// The angle (sixteenths of a degree) of an arc's radial point 500 units out, truncated as the
// radial points are.
double radialAngle(int32_t angle) {
    const double theta = angle * std::numbers::pi / 2880.0;
    const double dx = std::trunc(500.0 * std::cos(theta));
    const double dy = std::trunc(-500.0 * std::sin(theta));
    return std::atan2(-dy, dx) * 2880.0 / std::numbers::pi;
}

void drawArc(QPainter& p, const SPtnObjArc& arc, SPoint offset, int32_t num, int32_t den) {
    const SPoint c = arc.center();
    const int64_t r = arc.radius();
    const QPoint a = scaledPoint({SPtnObj::clampToInt32(c.x - r), SPtnObj::clampToInt32(c.y - r)},
                                 offset, num, den);
    const QPoint b = scaledPoint({SPtnObj::clampToInt32(c.x + r), SPtnObj::clampToInt32(c.y + r)},
                                 offset, num, den);
    const double start = radialAngle(arc.startAngle());
    double span = radialAngle(arc.endAngle()) - start;
    while (span <= 0.5)
        span += 5760.0;
    p.drawArc(boxOf(a, b), static_cast<int>(std::lround(start)),
              static_cast<int>(std::lround(std::min(span, 5760.0))));
}

void drawText(QPainter& p, SDrawSettings& settings, SPtnObjText& text, const QColor& color,
              SPoint offset, int32_t num, int32_t den) {
    const SPoint at = text.position() + offset;
    QSize extent;
    if (text.fontName().empty()) {
        extent = settings.drawAnchoredText(p, at.x, at.y, text.text(), color, !text.isHorizontal(),
                                           text.alignment(), num, den, false);
    } else {
        SFontDesc font;
        font.height = -text.fontSize();
        font.weight = text.bold() ? 700 : 400;
        font.italic = text.italic();
        const std::string& name = text.fontName();
        font.face =
            settings.decode(std::string_view(name).substr(0, std::min<size_t>(31, name.size())));
        extent = settings.drawTextWithFont(p, at.x, at.y, text.text(), font, color,
                                           !text.isHorizontal(), text.alignment(), num, den);
    }
    text.setExtent(extent.width() * den / std::max(num, 1),
                   extent.height() * den / std::max(num, 1));
}

// Whether a box widened by `margin` model units meets the area.
bool reaches(const SRect& area, const SRect& box, int64_t margin) {
    return int64_t{box.right} + margin >= area.left && int64_t{box.left} - margin <= area.right &&
           int64_t{box.bottom} + margin >= area.top && int64_t{box.top} - margin <= area.bottom;
}

bool mayShow(const SPtnObj& object, const SRect& area) {
    int64_t margin = int64_t{std::max(object.width(), 0)} + 2;
    if (object.id() == SPtnObjId::Text) {
        const auto& text = static_cast<const SPtnObjText&>(object);
        if (!text.extentKnown())
            return true; // drawn once to learn its size
        margin += std::max(text.extent().width, text.extent().height);
        return reaches(area, SRect(text.position(), text.position()), margin);
    }
    if (object.id() == SPtnObjId::Arc) {
        const auto& arc = static_cast<const SPtnObjArc&>(object);
        const int64_t r = std::abs(int64_t{arc.radius()});
        return reaches(area, SRect(arc.center(), arc.center()), margin + r);
    }
    return reaches(area, object.boundingRect().normalized(), margin);
}

} // namespace

void SCompRenderer::drawPin(QPainter& painter, SDrawSettings& text, SPoint root, uint32_t type,
                            int32_t side, std::string_view name, std::string_view number,
                            int32_t state, int32_t num, int32_t den) {
    const SidePin& s = kSides[static_cast<size_t>(std::clamp(side, 0, 3))];
    const int32_t f = std::max(1, num / std::max(den, 1));
    const bool selected = state == kPinSelected;
    painter.setBrush(Qt::NoBrush);
    painter.setPen(
        QPen(selected ? kSelected : kPinLine, f, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    drawPinShape(painter, root, type, s, f);
    const SPoint nameAt = root + s.nameAt;
    text.drawAnchoredText(painter, nameAt.x, nameAt.y, name, selected ? kSelected : kPinName,
                          s.nameVertical, s.nameAlign, num, den, true);
    const int32_t g = (type & (SPin::kFlagShort | SPin::kFlagZeroLength)) ? 2 : 9;
    const SPoint numberOffsets[4] = {{-g, -2}, {-2, -g}, {g, -2}, {-2, g}};
    const SPoint numberAt = root + numberOffsets[std::clamp(side, 0, 3)];
    const QColor numberColor = (type & SPin::kFlagNumberHidden) ? kHiddenNumber
                               : selected                       ? kSelected
                                                                : kPinNumber;
    text.drawAnchoredText(painter, numberAt.x, numberAt.y, number, numberColor, s.nameVertical,
                          s.nameAlign ^ 1u, num, den, true);
}

void SCompRenderer::drawPin(QPainter& painter, SDrawSettings& text, const SPin& pin, SPoint root,
                            int32_t block, int32_t state, int32_t num, int32_t den) {
    const int32_t shown = std::clamp(block, 0, std::max(pin.blockCount() - 1, 0));
    const auto number = pin.number(shown);
    const auto name = pin.name();
    drawPin(painter, text, root, pin.typeFlags(), pin.side(), name.value_or(std::string_view()),
            number.value_or(std::string_view()), state, num, den);
}

void SCompRenderer::drawPatternObject(QPainter& painter, SDrawSettings& text, SPtnObj& object,
                                      const QColor& color, SPoint offset, int32_t num,
                                      int32_t den) {
    const int32_t f = std::max(1, num / std::max(den, 1));
    painter.setPen(objectPen(object, color, f));
    painter.setBrush(Qt::NoBrush);
    switch (object.id()) {
    case SPtnObjId::Line: {
        const auto& line = static_cast<const SPtnObjLine&>(object);
        painter.drawLine(scaledPoint(line.start(), offset, num, den),
                         scaledPoint(line.end(), offset, num, den));
        break;
    }
    case SPtnObjId::Circle: {
        const auto& circle = static_cast<const SPtnObjCircle&>(object);
        painter.setBrush(objectBrush(object, color));
        painter.drawEllipse(boxOf(scaledPoint(circle.cornerA(), offset, num, den),
                                  scaledPoint(circle.cornerB(), offset, num, den)));
        break;
    }
    case SPtnObjId::Polygon: {
        const auto& nodes = static_cast<const SPtnObjPolygon&>(object).nodes();
        if (nodes.size() < 2 || nodes.size() > static_cast<size_t>(kMaxPolygonPoints))
            break;
        QPolygon poly;
        for (const SPoint n : nodes)
            poly.append(scaledPoint(n, offset, num, den));
        painter.setBrush(objectBrush(object, color));
        painter.drawPolygon(poly, Qt::WindingFill);
        break;
    }
    case SPtnObjId::Arc:
        drawArc(painter, static_cast<const SPtnObjArc&>(object), offset, num, den);
        break;
    case SPtnObjId::Text:
        drawText(painter, text, static_cast<SPtnObjText&>(object), color, offset, num, den);
        break;
    default:
        break;
    }
}

void SCompRenderer::drawBody(QPainter& painter, SSize gridSize, const SPtn* pattern,
                             int32_t factor) {
    if (pattern && pattern->hasBitPattern()) {
        const SSize px = pattern->size();
        QImage bits(px.width, px.height, QImage::Format_ARGB32);
        bits.fill(Qt::transparent);
        const QRgb ink = kBitInk.rgb();
        for (int32_t y = 0; y < px.height; ++y) {
            auto* row = reinterpret_cast<QRgb*>(bits.scanLine(y));
            for (int32_t x = 0; x < px.width; ++x)
                if (pattern->pixel(x, y))
                    row[x] = ink;
        }
        painter.drawImage(QRect(-factor / 2, -factor / 2, px.width * factor, px.height * factor),
                          bits);
    }
    const int32_t w = sc(int64_t{gridSize.width} * 10, factor, 1);
    const int32_t h = sc(int64_t{gridSize.height} * 10, factor, 1);
    if (pattern)
        painter.setPen(QPen(kOutlineWithPattern, 1, Qt::SolidLine, Qt::FlatCap));
    else
        painter.setPen(QPen(kOutlineWithoutPattern, factor, Qt::SolidLine, Qt::RoundCap));
    const QPoint corners[5] = {{0, 0}, {w, 0}, {w, h}, {0, h}, {0, 0}};
    painter.drawPolyline(corners, 5);
}

void SCompRenderer::drawGrid(QPainter& painter, const SRect& area, int32_t factor) {
    std::vector<QPoint> blue;
    std::vector<QPoint> grey;
    const auto onLine = [](int32_t v) { return v % 10 == 0; };
    const bool fine = factor > 4;
    for (int32_t y = area.top; y < area.bottom; ++y) {
        if (!fine && !onLine(y))
            continue;
        for (int32_t x = area.left; x < area.right; ++x) {
            const bool both = onLine(x) && onLine(y);
            if (both || (fine && (onLine(x) || onLine(y))))
                blue.emplace_back(x * factor, y * factor);
            else if (fine)
                grey.emplace_back(x * factor, y * factor);
        }
    }
    painter.setPen(QPen(kGridLine, 1));
    painter.drawPoints(blue.data(), static_cast<int>(blue.size()));
    painter.setPen(QPen(kGridDot, 1));
    painter.drawPoints(grey.data(), static_cast<int>(grey.size()));
}

void SCompRenderer::drawBackground(QPainter& painter, SDrawSettings& text, const Background& what) {
    SCompEditDoc* doc = what.doc;
    if (doc)
        drawBody(painter, doc->size(), what.pattern, what.factor);
    if (what.grid)
        drawGrid(painter, what.visibleModel, what.factor);
    if (!doc)
        return;
    // Only what can reach the visible area is drawn: a big component shows a small part of
    // itself at high zoom.
    const int64_t perChar = std::abs(int64_t{text.labelFont().height}) + 1;
    for (size_t i = 0; i < doc->mainCount(); ++i) {
        SCompEditElm& elm = doc->mainElement(i);
        const SPin* pin = elm.pin();
        if (!elm.isLive() || !pin)
            continue;
        const SPoint root = doc->pinPoint(pin->side(), pin->offset());
        const int32_t shown = std::clamp(what.block, 0, std::max(pin->blockCount() - 1, 0));
        const size_t chars =
            std::max(pin->name().value_or("").size(), pin->number(shown).value_or("").size());
        if (reaches(what.visibleModel, SRect(root, root), 12 + perChar * int64_t(chars + 1)))
            drawPin(painter, text, *pin, root, what.block, kPinCommitted, what.factor, 1);
    }
    for (size_t i = 0; i < doc->mainCount(); ++i) {
        SCompEditElm& elm = doc->mainElement(i);
        SPtnObj* object = elm.patternObject();
        if (elm.isLive() && object && mayShow(*object, what.visibleModel))
            drawPatternObject(painter, text, *object, kCommitted, {}, what.factor, 1);
    }
}

void SCompRenderer::drawSelection(QPainter& painter, SDrawSettings& text, SCompEditDoc& doc,
                                  int32_t factor, int32_t block) {
    for (size_t i = 0; i < doc.selectionCount(); ++i) {
        SCompEditElm& elm = doc.selectionElement(i);
        if (const SPin* pin = elm.pin())
            drawPin(painter, text, *pin, doc.pinPoint(pin->side(), pin->offset()), block,
                    kPinSelected, factor, 1);
        else if (SPtnObj* object = elm.patternObject())
            drawPatternObject(painter, text, *object, kSelected, {}, factor, 1);
    }
}

void SCompRenderer::drawNodeMarks(QPainter& painter, const SPtnObj& object, int32_t factor) {
    painter.setPen(QPen(Qt::black, 1));
    for (int32_t i = 0; i < object.nodeCount(); ++i) {
        const SPoint n = object.node(i);
        // Marks far outside any window are held where their rectangle cannot overflow.
        constexpr int64_t kLimit = int64_t{1} << 28;
        const QPoint at(static_cast<int>(std::clamp(int64_t{n.x} * factor, -kLimit, kLimit)),
                        static_cast<int>(std::clamp(int64_t{n.y} * factor, -kLimit, kLimit)));
        painter.setBrush(i == 0 ? Qt::black : Qt::white);
        painter.drawRect(QRect(at.x() - 3, at.y() - 3, 6, 6));
    }
}

void SCompRenderer::drawFocusRect(QPainter& painter, const QRect& rect) {
    QPen pen(Qt::black, 1, Qt::CustomDashLine, Qt::FlatCap);
    pen.setDashPattern({1, 1});
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect.normalized());
}

void SCompRenderer::drawCrosshair(QPainter& painter, QPoint at) {
    painter.save();
    if (painter.paintEngine() && painter.paintEngine()->hasFeature(QPaintEngine::RasterOpModes))
        painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter.setPen(QPen(kCrosshair, 1));
    painter.drawLine(at.x() - 10, at.y(), at.x() + 10, at.y());
    painter.drawLine(at.x(), at.y() - 10, at.x(), at.y() + 10);
    painter.restore();
}

bool SCompRenderer::hitsObject(SDrawSettings& text, SPtnObj& object, QPoint logical,
                               int32_t factor) {
    constexpr int kSide = 32;
    QImage probe(kSide, kSide, QImage::Format_RGB32);
    probe.fill(Qt::black);
    {
        QPainter painter(&probe);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.translate(kSide / 2 - logical.x(), kSide / 2 - logical.y());
        drawPatternObject(painter, text, object, kCommitted, {}, factor, 1);
    }
    const QRgb black = QColor(Qt::black).rgb();
    for (int y = kSide / 2 - 1; y <= kSide / 2 + 1; ++y)
        for (int x = kSide / 2 - 1; x <= kSide / 2 + 1; ++x)
            if (probe.pixel(x, y) != black)
                return true;
    return false;
}
