#include "schematic/SXKorvDash.h"

#include "schematic/SXKorvGeometry.h"
#include "tagtext/STagField.h"
#include "tagtext/STagWriter.h"

#include <algorithm>

namespace {

enum : uint32_t { kCtx1 = 1, kCty1 = 2, kCtx2 = 4, kCty2 = 8, kAllControls = 15 };

SXKorvDash::LineStyle lineStyleOf(std::string_view word) {
    if (word == "NORM")
        return SXKorvDash::LineStyle::Normal;
    if (word == "LDT")
        return SXKorvDash::LineStyle::Dot;
    if (word == "LDDT")
        return SXKorvDash::LineStyle::DashDot;
    return SXKorvDash::LineStyle::Dash;
}

std::string_view lineStyleWord(SXKorvDash::LineStyle style) {
    switch (style) {
    case SXKorvDash::LineStyle::Normal:
        return "NORM";
    case SXKorvDash::LineStyle::Dot:
        return "LDT";
    case SXKorvDash::LineStyle::DashDot:
        return "LDDT";
    default:
        return "DASH";
    }
}

SXKorvDash::EndMark endMarkOf(std::string_view word) {
    if (word == "ARRW")
        return SXKorvDash::EndMark::Arrow;
    if (word == "CRCL")
        return SXKorvDash::EndMark::Circle;
    return SXKorvDash::EndMark::None;
}

std::string_view endMarkWord(SXKorvDash::EndMark mark) {
    switch (mark) {
    case SXKorvDash::EndMark::Arrow:
        return "ARRW";
    case SXKorvDash::EndMark::Circle:
        return "CRCL";
    default:
        return "NORM";
    }
}

// One coordinate of the curve at step i of 32, by repeated interpolation at 32 times the scale.
int32_t bezierAt(int64_t a, int64_t b, int64_t c, int64_t d, int64_t i) {
    auto lerp = [i](int64_t u, int64_t v) { return u + (v - u) * i / 32; };
    a *= 32;
    b *= 32;
    c *= 32;
    d *= 32;
    const int64_t ab = lerp(a, b);
    const int64_t bc = lerp(b, c);
    const int64_t cd = lerp(c, d);
    return static_cast<int32_t>(lerp(lerp(ab, bc), lerp(bc, cd)) / 32);
}

} // namespace

void SXKorvDash::invalidateCurve() {
    m_curve.clear();
    m_curveBounds = SRect::empty();
}

bool SXKorvDash::isValid() const {
    if (m_p1 != m_p2)
        return true;
    return m_curved && (m_control1 != m_p1 || m_control2 != m_p2);
}

void SXKorvDash::setX1(int32_t x) {
    m_p1.x = x;
    invalidateCurve();
}
void SXKorvDash::setY1(int32_t y) {
    m_p1.y = y;
    invalidateCurve();
}
void SXKorvDash::setX2(int32_t x) {
    m_p2.x = x;
    invalidateCurve();
}
void SXKorvDash::setY2(int32_t y) {
    m_p2.y = y;
    invalidateCurve();
}
void SXKorvDash::setP1(SPoint p) {
    m_p1 = p;
    invalidateCurve();
}
void SXKorvDash::setP2(SPoint p) {
    m_p2 = p;
    invalidateCurve();
}
void SXKorvDash::setPoint(int32_t which, SPoint p) {
    SXKorvLine::setPoint(which, p);
    invalidateCurve();
}
void SXKorvDash::setCurved(bool curved) {
    m_curved = curved;
    invalidateCurve();
}
void SXKorvDash::setControl1(SPoint p) {
    m_control1 = p;
    invalidateCurve();
}
void SXKorvDash::setControl2(SPoint p) {
    m_control2 = p;
    invalidateCurve();
}
void SXKorvDash::setWidth(int32_t width) {
    m_width = std::clamp(width, 1, 5);
}
void SXKorvDash::setEndMarkSize(int32_t size) {
    m_endMarkSize = std::clamp(size, 3, 20);
}

void SXKorvDash::moveBy(int32_t dx, int32_t dy) {
    const int32_t part = m_selection & 3;
    const SPoint d{dx, dy};
    if (part != SXKorvSelect::kP2Only)
        m_p1 += d;
    if (part != SXKorvSelect::kP1Only)
        m_p2 += d;
    // The control points go with the end they belong to.
    if (part != SXKorvSelect::kP2Only)
        m_control1 += d;
    if (part != SXKorvSelect::kP1Only)
        m_control2 += d;
    invalidateCurve();
}

void SXKorvDash::mirrorAt(int32_t a) {
    const int32_t twoA = mulWrap(a, 2);
    m_p1.x = subWrap(twoA, m_p1.x);
    m_p2.x = subWrap(twoA, m_p2.x);
    m_control1.x = subWrap(twoA, m_control1.x);
    m_control2.x = subWrap(twoA, m_control2.x);
    invalidateCurve();
}

void SXKorvDash::rotateAt(SPoint c) {
    auto turn = [c](SPoint p) {
        return SPoint{subWrap(addWrap(c.x, c.y), p.y), subWrap(addWrap(c.y, p.x), c.x)};
    };
    m_p1 = turn(m_p1);
    m_p2 = turn(m_p2);
    m_control1 = turn(m_control1);
    m_control2 = turn(m_control2);
    invalidateCurve();
}

const std::vector<SPoint>& SXKorvDash::curvePoints() const {
    if (!m_curve.empty())
        return m_curve;
    if (!m_curved) {
        m_curve = {m_p1, m_p2};
        return m_curve;
    }
    m_curve.reserve(kCurvePoints);
    m_curve.push_back(m_p1);
    for (int64_t i = 1; i < kCurvePoints - 1; ++i)
        m_curve.push_back({bezierAt(m_p1.x, m_control1.x, m_control2.x, m_p2.x, i),
                           bezierAt(m_p1.y, m_control1.y, m_control2.y, m_p2.y, i)});
    m_curve.push_back(m_p2);
    return m_curve;
}

SRect SXKorvDash::boundingArea() const {
    if (!m_curved)
        return rectOfPoints(m_p1, m_p2);
    if (m_curveBounds == SRect::empty() || m_curve.empty()) {
        SRect bounds = SRect::empty();
        for (const SPoint& p : curvePoints())
            bounds.unite(p);
        m_curveBounds = bounds;
    }
    return m_curveBounds;
}

int32_t SXKorvDash::hitTest(SPoint p) const {
    if (!m_curved)
        return SXKorvLine::hitTest(p);
    if (SXKorvGeometry::nearPoint(m_p1, p))
        return 1;
    if (SXKorvGeometry::nearPoint(m_p2, p))
        return 2;
    const std::vector<SPoint>& pts = curvePoints();
    for (size_t i = 1; i < pts.size(); ++i) {
        if (SXKorvGeometry::segmentHit(pts[i - 1], pts[i], p) != 0)
            return 3;
    }
    return 0;
}

int32_t SXKorvDash::areaIntersect(const SRect& area) const {
    if (!m_curved)
        return SXKorvLine::areaIntersect(area);
    const SRect a = area.normalized();
    const std::vector<SPoint>& pts = curvePoints();
    for (size_t i = 1; i < pts.size(); ++i) {
        if (SXKorvGeometry::segmentMeetsRect(pts[i - 1], pts[i], a))
            return 3;
    }
    return 0;
}

bool SXKorvDash::areaContains(const SRect& area) const {
    return area.normalized().contains(boundingArea());
}

uint32_t SXKorvDash::readField(std::string_view key, std::string_view value,
                               std::optional<SPoint> offset) {
    if (key.size() == 4 && key.substr(0, 2) == "CT") {
        const int32_t v = STagField::toInt(value);
        if (key == "CTX1") {
            m_control1.x = offsetX(v, offset);
            m_controlKeysSeen |= kCtx1;
        } else if (key == "CTY1") {
            m_control1.y = offsetY(v, offset);
            m_controlKeysSeen |= kCty1;
        } else if (key == "CTX2") {
            m_control2.x = offsetX(v, offset);
            m_controlKeysSeen |= kCtx2;
        } else if (key == "CTY2") {
            m_control2.y = offsetY(v, offset);
            m_controlKeysSeen |= kCty2;
        }
        return 0;
    }
    if (key == "CURV")
        m_curved = STagField::toInt(value) != 0;
    else if (key == "WDT")
        setWidth(STagField::toInt(value));
    else if (key == "LS")
        m_lineStyle = lineStyleOf(value);
    else if (key == "SSTL")
        m_startMark = endMarkOf(value);
    else if (key == "ESTL")
        m_endMark = endMarkOf(value);
    else if (key == "EMS")
        setEndMarkSize(STagField::toInt(value));
    else
        return SXKorvLine::readField(key, value, offset);
    return 0;
}

bool SXKorvDash::readSection(STagReader& reader, std::optional<SPoint> offset, SXKorvDoc*) {
    invalidateCurve();
    m_controlKeysSeen = 0;
    const bool ok = readCommon(reader, offset, {kSection, kReqEnds, false});
    if (m_controlKeysSeen != kAllControls)
        m_curved = false;
    invalidateCurve();
    return ok;
}

bool SXKorvDash::writeSection(STagWriter& writer, std::optional<SPoint> offset) const {
    // A straight dash keeps its (unused) control points exactly as stored.
    const std::optional<SPoint> controlOffset = m_curved ? offset : std::nullopt;
    writer.writeWord("+DASH");
    writeEnds(writer, offset);
    writer.writeInt("CURV", m_curved ? 1 : 0);
    writer.writeInt("CTX1", unoffsetX(m_control1.x, controlOffset));
    writer.writeInt("CTY1", unoffsetY(m_control1.y, controlOffset));
    writer.writeInt("CTX2", unoffsetX(m_control2.x, controlOffset));
    writer.writeInt("CTY2", unoffsetY(m_control2.y, controlOffset));
    writer.writeInt("WDT", m_width);
    writer.writeText("LS", lineStyleWord(m_lineStyle));
    writer.writeText("SSTL", endMarkWord(m_startMark));
    writer.writeText("ESTL", endMarkWord(m_endMark));
    writer.writeInt("EMS", m_endMarkSize);
    writer.writeWord("-DASH");
    writer.endLine();
    return true;
}

std::unique_ptr<SXKorvObj> SXKorvDash::clone() const {
    return cloneOf(*this);
}
