#include "model/SPtnObjCircle.h"

#include "tagtext/STagWriter.h"

#include <cmath>

namespace {
int32_t midpoint(int32_t a, int32_t b) {
    return static_cast<int32_t>((int64_t{a} + b) / 2);
}
} // namespace

std::unique_ptr<SPtnObj> SPtnObjCircle::duplicate() const {
    return std::make_unique<SPtnObjCircle>(*this);
}

void SPtnObjCircle::move(int32_t dx, int32_t dy) {
    m_a += SPoint(dx, dy);
    m_b += SPoint(dx, dy);
}

SPoint SPtnObjCircle::node(int32_t index) const {
    return index == 0 ? m_a : m_b;
}

void SPtnObjCircle::setNode(int32_t index, int32_t x, int32_t y) {
    (index == 0 ? m_a : m_b) = SPoint(x, y);
}

void SPtnObjCircle::mirrorAt(int32_t x) {
    m_a = mirrorPoint(m_a, x);
    m_b = mirrorPoint(m_b, x);
}

void SPtnObjCircle::rotate() {
    rotateAt({midpoint(m_a.x, m_b.x), midpoint(m_a.y, m_b.y)});
}

void SPtnObjCircle::rotateAt(SPoint center) {
    m_a = rotatePoint(m_a, center);
    m_b = rotatePoint(m_b, center);
}

bool SPtnObjCircle::hitTest(SPoint p) const {
    // A flat ellipse would divide by zero below; it can only show as the segment of its corners.
    if (m_a.x == m_b.x || m_a.y == m_b.y)
        return segmentHit(m_a, m_b, p);
    const double cx = (double(m_a.x) + m_b.x) / 2;
    const double cy = (double(m_a.y) + m_b.y) / 2;
    const double k = std::fabs((double(m_a.x) - m_b.x) / (double(m_a.y) - m_b.y));
    const double halfHeight = (double(m_a.y) - m_b.y) / 2;
    const double q = halfHeight * halfHeight;
    const auto dist = [&](double x, double y) {
        const double u = (x - cx) / k;
        const double v = y - cy;
        return u * u + v * v;
    };
    const double px = p.x;
    const double py = p.y;
    if (isFilled())
        return dist(px, py) <= q;
    const auto straddles = [q](double d1, double d2) {
        return (d1 < q && q < d2) || (d2 < q && q < d1);
    };
    return straddles(dist(px, py - 2), dist(px, py + 2)) ||
           straddles(dist(px - 2, py), dist(px + 2, py));
}

bool SPtnObjCircle::isInside(const SRect& r) const {
    return r.contains(m_a) && r.contains(m_b);
}

SRect SPtnObjCircle::boundingRect() const {
    return SRect(m_a, m_b).normalized();
}

bool SPtnObjCircle::read(STagReader& reader) {
    return readTwoPoints(reader, "-C", true, m_a, m_b);
}

bool SPtnObjCircle::write(STagWriter& writer, std::optional<SPoint> origin) const {
    bool ok = writer.writeWord("+C") == 0;
    ok &= writeStyle(writer, true);
    ok &= writePoint(writer, m_a, origin);
    ok &= writePoint(writer, m_b, origin);
    ok &= writer.writeWord("-C") == 0;
    ok &= writer.endLine() == 0;
    return ok;
}
