#include "model/SPtnObjArc.h"

#include "tagtext/STagField.h"
#include "tagtext/STagReader.h"
#include "tagtext/STagWriter.h"

#include <cmath>
#include <cstdlib>

namespace {
// Angles of the four compass points of the arc's circle, and the same a full turn later.
constexpr int32_t kTop = 1440;
constexpr int32_t kLeft = 2880;
constexpr int32_t kBottom = 4320;
} // namespace

std::unique_ptr<SPtnObj> SPtnObjArc::duplicate() const {
    return std::make_unique<SPtnObjArc>(*this);
}

void SPtnObjArc::move(int32_t dx, int32_t dy) {
    m_center += SPoint(dx, dy);
}

SPoint SPtnObjArc::node(int32_t index) const {
    const int64_t cx = m_center.x;
    const int64_t cy = m_center.y;
    switch (index) {
    case 0:
        return arcPoint(m_center, m_radius, m_start);
    case 1:
        return arcPoint(m_center, m_radius, m_end);
    case 2:
        return m_center;
    case 3:
        return {clampToInt32(cx + m_radius), m_center.y};
    case 4:
        return {m_center.x, clampToInt32(cy - m_radius)};
    case 5:
        return {clampToInt32(cx - m_radius), m_center.y};
    default:
        return {m_center.x, clampToInt32(cy + m_radius)};
    }
}

void SPtnObjArc::setNode(int32_t index, int32_t x, int32_t y) {
    const SPoint p(x, y);
    switch (index) {
    case 0:
    case 1:
        // The centre itself gives no direction: the angle stays.
        if (p != m_center)
            (index == 0 ? m_start : m_end) = angleOf(m_center, p);
        break;
    case 2:
        m_center = p;
        break;
    case 3:
    case 5:
        m_radius = clampToInt32(std::abs(int64_t{m_center.x} - x));
        break;
    default:
        m_radius = clampToInt32(std::abs(int64_t{m_center.y} - y));
        break;
    }
}

void SPtnObjArc::mirror() {
    mirrorAt(boundingRect().center().x);
}

void SPtnObjArc::mirrorAt(int32_t x) {
    const int32_t s = normaliseAngle(m_start);
    const int32_t e = normaliseAngle(m_end);
    m_center = mirrorPoint(m_center, x);
    m_start = (e > kLeft ? kLeft + kFullCircle : kLeft) - e;
    m_end = (s > kLeft ? kLeft + kFullCircle : kLeft) - s;
}

void SPtnObjArc::rotate() {
    rotateAt(boundingRect().center());
}

void SPtnObjArc::rotateAt(SPoint center) {
    m_center = rotatePoint(m_center, center);
    m_start = normaliseAngle(normaliseAngle(m_start) + kBottom);
    m_end = normaliseAngle(normaliseAngle(m_end) + kBottom);
}

bool SPtnObjArc::hitTest(SPoint p) const {
    const double dx = double(p.x) - m_center.x;
    const double dy = double(p.y) - m_center.y;
    if (std::fabs(std::sqrt(dx * dx + dy * dy) - m_radius) > 1.0)
        return false;
    const int32_t t = angleOf(m_center, p);
    const int32_t s = normaliseAngle(m_start);
    const int32_t e = normaliseAngle(m_end);
    if (s < e)
        return s <= t && t <= e;
    if (s > e)
        return t >= s || t <= e;
    return true;
}

bool SPtnObjArc::isInside(const SRect& r) const {
    const SRect b = boundingRect();
    return r.contains(b.topLeft()) && r.contains(b.bottomRight());
}

SRect SPtnObjArc::boundingRect() const {
    const int64_t cx = m_center.x;
    const int64_t cy = m_center.y;
    const int32_t left = clampToInt32(cx - m_radius);
    const int32_t top = clampToInt32(cy - m_radius);
    const int32_t right = clampToInt32(cx + m_radius);
    const int32_t bottom = clampToInt32(cy + m_radius);
    const int32_t s = normaliseAngle(m_start);
    const int32_t e = normaliseAngle(m_end);
    if (s == e)
        return {left, top, right, bottom};
    const SPoint ps = arcPoint(m_center, m_radius, s);
    const SPoint pe = arcPoint(m_center, m_radius, e);
    const int32_t h = e < s ? e + kFullCircle : e;
    // Does the arc pass the compass point at angle a (or a full turn later)?
    const auto passes = [s, h](int32_t a) {
        return (s <= a && a <= h) || (s <= a + kFullCircle && a + kFullCircle <= h);
    };
    SRect r;
    r.right = e < s ? right : std::max(ps.x, pe.x);
    r.top = passes(kTop) ? top : std::min(ps.y, pe.y);
    r.left = passes(kLeft) ? left : std::min(ps.x, pe.x);
    r.bottom = passes(kBottom) ? bottom : std::max(ps.y, pe.y);
    return r;
}

bool SPtnObjArc::read(STagReader& reader) {
    m_width = kDefaultWidth;
    m_style = 0;
    m_center = {10, 10};
    m_radius = 10;
    m_start = 0;
    m_end = 0;
    SectionFields fields(reader, "-AR");
    STagField field;
    for (;;) {
        switch (fields.next(field)) {
        case SectionStep::End:
        case SectionStep::Closed:
            return true;
        case SectionStep::Failed:
            return false;
        case SectionStep::Field:
            break;
        }
        const int32_t v = STagField::toInt(field.value);
        if (field.key == "W")
            m_width = v;
        else if (field.key == "S")
            m_style = v;
        else if (field.key == "X")
            m_center.x = v;
        else if (field.key == "Y")
            m_center.y = v;
        else if (field.key == "R")
            m_radius = v;
        else if (field.key == "B")
            m_start = v;
        else if (field.key == "E")
            m_end = v;
    }
}

bool SPtnObjArc::write(STagWriter& writer, std::optional<SPoint> origin) const {
    bool ok = writer.writeWord("+AR") == 0;
    ok &= writeStyle(writer, false);
    ok &= writePoint(writer, m_center, origin);
    ok &= writer.writeInt("R", m_radius) == 0;
    ok &= writer.writeInt("B", m_start) == 0;
    ok &= writer.writeInt("E", m_end) == 0;
    ok &= writer.writeWord("-AR") == 0;
    ok &= writer.endLine() == 0;
    return ok;
}
