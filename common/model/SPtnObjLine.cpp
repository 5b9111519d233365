#include "model/SPtnObjLine.h"

#include "tagtext/STagWriter.h"

namespace {
int32_t midpoint(int32_t a, int32_t b) {
    return static_cast<int32_t>((int64_t{a} + b) / 2);
}
} // namespace

std::unique_ptr<SPtnObj> SPtnObjLine::duplicate() const {
    return std::make_unique<SPtnObjLine>(*this);
}

void SPtnObjLine::move(int32_t dx, int32_t dy) {
    m_start += SPoint(dx, dy);
    m_end += SPoint(dx, dy);
}

SPoint SPtnObjLine::node(int32_t index) const {
    return index == 0 ? m_start : m_end;
}

void SPtnObjLine::setNode(int32_t index, int32_t x, int32_t y) {
    (index == 0 ? m_start : m_end) = SPoint(x, y);
}

void SPtnObjLine::mirror() {
    mirrorAt(midpoint(m_start.x, m_end.x));
}

void SPtnObjLine::mirrorAt(int32_t x) {
    m_start = mirrorPoint(m_start, x);
    m_end = mirrorPoint(m_end, x);
}

void SPtnObjLine::rotate() {
    rotateAt({midpoint(m_start.x, m_end.x), midpoint(m_start.y, m_end.y)});
}

void SPtnObjLine::rotateAt(SPoint center) {
    m_start = rotatePoint(m_start, center);
    m_end = rotatePoint(m_end, center);
}

bool SPtnObjLine::hitTest(SPoint p) const {
    return segmentHit(m_start, m_end, p);
}

bool SPtnObjLine::isInside(const SRect& r) const {
    return r.contains(m_start) && r.contains(m_end);
}

SRect SPtnObjLine::boundingRect() const {
    return SRect(m_start, m_end).normalized();
}

bool SPtnObjLine::read(STagReader& reader) {
    return readTwoPoints(reader, "-L", false, m_start, m_end);
}

bool SPtnObjLine::write(STagWriter& writer, std::optional<SPoint> origin) const {
    bool ok = writer.writeWord("+L") == 0;
    ok &= writeStyle(writer, false);
    ok &= writePoint(writer, m_start, origin);
    ok &= writePoint(writer, m_end, origin);
    ok &= writer.writeWord("-L") == 0;
    ok &= writer.endLine() == 0;
    return ok;
}
