#include "sheetdraw/CComponentPainter.h"

#include "gui/CTextEncoding.h"
#include "model/SCompInfo.h"
#include "model/SPin.h"
#include "model/SPtn.h"
#include "model/SPtnObj.h"
#include "model/SPtnObjText.h"
#include "render/SCompRenderer.h"
#include "render/SDrawSettings.h"
#include "schematic/SXKorvComponent.h"
#include "sheetdraw/CSheetFrame.h"
#include "sheetdraw/CSheetText.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

const QColor CComponentPainter::kPattern{128, 0, 0};
const QColor CComponentPainter::kBody{128, 0, 0};
const QColor CComponentPainter::kValue{0, 0, 0};
const QColor CComponentPainter::kReference{0, 0, 0};

namespace {

// Text height of value and reference, in sheet units.
constexpr double kTextUnits = 10.0;
// Pin names and numbers are about this high, in sheet units.
constexpr double kPinTextUnits = 9.0;

// Texts smaller than this on screen cannot be read; leaving them out keeps a whole sheet quick.
bool readable(double units, double scale) {
    return units * scale >= CSheetText::kLeastPixels;
}

} // namespace

std::vector<std::unique_ptr<SPtnObj>> CComponentPainter::placedPattern(const SCompInfo& part,
                                                                       int32_t orientation) {
    std::vector<std::unique_ptr<SPtnObj>> out;
    const SPtn* pattern = part.pattern();
    if (!pattern)
        return out;
    for (const auto& obj : pattern->objects()) {
        auto copy = obj->duplicate();
        // Each quarter turn maps (x, y) of a body h high to (h − y, x).
        int32_t h = mulWrap(part.size().height, 10);
        int32_t w = mulWrap(part.size().width, 10);
        for (int32_t turn = 0; turn < (orientation & 3); ++turn) {
            copy->rotateAt({0, 0});
            copy->move(h, 0);
            std::swap(w, h);
        }
        if (orientation & 4) {
            copy->mirrorAt(0);
            copy->move(w, 0);
        }
        out.push_back(std::move(copy));
    }
    return out;
}

void CComponentPainter::draw(QPainter& painter, const SXKorvComponent& comp,
                             const CSheetFrame& frame, const CTextEncoding& encoding) {
    // The editor's routines draw in whole units without smoothing, like the editor itself. Their
    // pins scale by whole zoom factors only, so they draw in sheet units and the painter scales.
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setTransform(QTransform(frame.scale(), 0, 0, frame.scale(),
                                    -static_cast<double>(frame.scrollX),
                                    -static_cast<double>(frame.scrollY)),
                         true);
    drawBody(painter, comp);
    drawPins(painter, comp);
    painter.restore();
    drawTexts(painter, comp, frame, encoding);
}

void CComponentPainter::drawBody(QPainter& painter, const SXKorvComponent& comp) {
    const SRect body = comp.bodyArea();
    const SCompInfo* part = comp.part();
    const SPtn* pattern = part ? part->pattern() : nullptr;
    if (!part || !pattern || pattern->hasBitPattern()) {
        // The outline of a part without a pattern, or the bit pattern, turned as placed.
        const SSize grid = part ? part->size() : SSize(2, 2);
        painter.save();
        painter.setTransform(orientationTransform(comp.orientation(), grid) *
                                 QTransform::fromTranslate(body.left, body.top),
                             true);
        SCompRenderer::drawBody(painter, grid, pattern, 1);
        painter.restore();
    }
    if (!pattern || pattern->objects().empty())
        return;
    auto& placed = m_patterns[{part, comp.orientation()}];
    if (placed.empty())
        placed = placedPattern(*part, comp.orientation());
    const double scale = painter.worldTransform().m11() + std::abs(painter.worldTransform().m12());
    for (const auto& obj : placed) {
        if (obj->id() == SPtnObjId::Text &&
            !readable(static_cast<const SPtnObjText&>(*obj).fontSize(), scale))
            continue;
        SCompRenderer::drawPatternObject(painter, SDrawSettings::instance(), *obj, kPattern,
                                         body.topLeft(), 1, 1);
    }
}

QTransform CComponentPainter::orientationTransform(int32_t orientation, SSize grid) {
    double w = grid.width * 10.0;
    double h = grid.height * 10.0;
    QTransform t;
    for (int32_t turn = 0; turn < (orientation & 3); ++turn) {
        // (x, y) -> (h - y, x)
        t = t * QTransform(0, 1, -1, 0, h, 0);
        std::swap(w, h);
    }
    if (orientation & 4)
        t = t * QTransform(-1, 0, 0, 1, w, 0);
    return t;
}

void CComponentPainter::drawPins(QPainter& painter, const SXKorvComponent& comp) {
    const SCompInfo* part = comp.part();
    if (!part)
        return;
    const int32_t block = comp.block();
    const double scale = painter.worldTransform().m11() + std::abs(painter.worldTransform().m12());
    const bool texts = readable(kPinTextUnits, scale);
    for (int32_t i = 0; i < part->pinCount(); ++i) {
        const SPin& pin = part->pins()[static_cast<size_t>(i)];
        const int32_t shown = std::clamp(block, 0, std::max(pin.blockCount() - 1, 0));
        const auto name = pin.name();
        const auto number = pin.number(shown);
        SCompRenderer::drawPin(
            painter, SDrawSettings::instance(), comp.pinPosition(i), pin.typeFlags(),
            comp.placedSide(pin.side()), texts ? name.value_or(std::string_view()) : "",
            texts ? number.value_or(std::string_view()) : "", SCompRenderer::kPinCommitted, 1, 1);
    }
}

void CComponentPainter::drawTexts(QPainter& painter, const SXKorvComponent& comp,
                                  const CSheetFrame& frame, const CTextEncoding& encoding) {
    const double pixels = kTextUnits * frame.scale();
    QFont font;
    if (!comp.isValueHidden()) {
        const SPoint at = comp.p1() + comp.valueOffset();
        CSheetText::drawLine(painter, encoding.toUnicode(comp.value()), frame.map(at), font, pixels,
                             !comp.isValueHorizontal(), kValue);
    }
    if (!comp.isReferenceHidden()) {
        const SPoint at = comp.p1() + comp.referenceOffset();
        CSheetText::drawLine(painter, encoding.toUnicode(comp.reference()), frame.map(at), font,
                             pixels, !comp.isReferenceHorizontal(), kReference);
    }
}
