#include "model/SPtnObjPolygon.h"

#include "tagtext/STagField.h"
#include "tagtext/STagReader.h"
#include "tagtext/STagWriter.h"

#include <algorithm>

namespace {

__extension__ typedef __int128 Wide; // a product of two 33-bit differences

SRect boundsOf(const std::vector<SPoint>& nodes) {
    if (nodes.empty())
        return {INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX};
    SRect r = SRect::empty();
    for (const SPoint p : nodes)
        r.unite(p);
    return r;
}

// The edge's share in the crossing count of a ray from p towards smaller y: 3 for a crossing,
// 1 and 2 for the two sides of a node the ray passes exactly.
int crossing(SPoint a, SPoint b, SPoint p) {
    const int64_t x1 = a.x, y1 = a.y, x2 = b.x, y2 = b.y, px = p.x, py = p.y;
    if (x1 == x2)
        return 0;
    if ((x1 < px && x2 < px) || (x1 > px && x2 > px))
        return 0;
    if (y1 > py && y2 > py)
        return 0;
    // A node straight above p is judged before the edge counts as a whole crossing: two edges
    // wholly above p that meet in such a node would otherwise cancel each other.
    if (px == x1 && y1 < py)
        return px < x2 ? 1 : 2;
    if (px == x2 && y2 < py)
        return px < x1 ? 1 : 2;
    if (y1 < py && y2 < py)
        return 3;
    const Wide yy = Wide{y2 - y1} * (px - x1) / (x2 - x1) + y1;
    return yy >= py ? 0 : 3;
}

} // namespace

std::unique_ptr<SPtnObj> SPtnObjPolygon::duplicate() const {
    return std::make_unique<SPtnObjPolygon>(*this);
}

std::vector<SPoint> SPtnObjPolygon::normalised(const std::vector<SPoint>& nodes) {
    const size_t n = nodes.size();
    std::vector<SPoint> kept;
    kept.reserve(n);
    for (size_t i = 0; i < n; ++i) {
        if (nodes[i] != nodes[i + 1 < n ? i + 1 : 0])
            kept.push_back(nodes[i]);
    }
    if (kept.size() == n)
        return nodes;
    if (kept.size() < 2)
        kept.clear();
    return kept;
}

void SPtnObjPolygon::normalise() {
    std::vector<SPoint> n = normalised(m_nodes);
    if (n.size() != m_nodes.size())
        m_nodes = std::move(n);
}

bool SPtnObjPolygon::isValid() {
    normalise();
    return !m_nodes.empty();
}

void SPtnObjPolygon::move(int32_t dx, int32_t dy) {
    for (SPoint& p : m_nodes)
        p += SPoint(dx, dy);
}

int32_t SPtnObjPolygon::clampIndex(int32_t index) const {
    return std::clamp(index, 0, nodeCount() - 1);
}

SPoint SPtnObjPolygon::node(int32_t index) const {
    return m_nodes.empty() ? SPoint() : m_nodes[static_cast<size_t>(clampIndex(index))];
}

void SPtnObjPolygon::setNode(int32_t index, int32_t x, int32_t y) {
    if (!m_nodes.empty())
        m_nodes[static_cast<size_t>(clampIndex(index))] = SPoint(x, y);
}

void SPtnObjPolygon::insertNode(int32_t index, int32_t x, int32_t y) {
    if (index >= 0 && index < nodeCount())
        m_nodes.insert(m_nodes.begin() + index + 1, SPoint(x, y));
}

void SPtnObjPolygon::mirror() {
    mirrorAt(boundingRect().center().x);
}

void SPtnObjPolygon::mirrorAt(int32_t x) {
    for (SPoint& p : m_nodes)
        p = mirrorPoint(p, x);
}

void SPtnObjPolygon::rotate() {
    rotateAt(boundingRect().center());
}

void SPtnObjPolygon::rotateAt(SPoint center) {
    for (SPoint& p : m_nodes)
        p = rotatePoint(p, center);
}

bool SPtnObjPolygon::hitTest(SPoint p) const {
    const std::vector<SPoint> n = normalised(m_nodes);
    if (n.size() < 2)
        return false;
    if (n.size() == 2)
        return segmentHit(n[0], n[1], p);
    if (!boundsOf(n).contains(p))
        return false;
    int c = 0;
    for (size_t i = 0; i < n.size(); ++i) {
        const SPoint a = n[i];
        const SPoint b = n[i + 1 < n.size() ? i + 1 : 0];
        if (segmentHit(a, b, p))
            return true;
        c ^= crossing(a, b, p);
    }
    return isFilled() && c == 3;
}

bool SPtnObjPolygon::isInside(const SRect& r) const {
    const SRect b = boundingRect();
    return r.contains(b.topLeft()) && r.contains(b.bottomRight());
}

SRect SPtnObjPolygon::boundingRect() const {
    return boundsOf(m_nodes);
}

bool SPtnObjPolygon::read(STagReader& reader) {
    m_width = kDefaultWidth;
    m_style = 0;
    m_fill = kNotFilled;
    m_nodes.clear();
    int32_t count = 0; // 0: no "N" yet
    int32_t taken = 0;
    int32_t pendingX = 0;
    SectionFields fields(reader, "-PG");
    STagField field;
    for (;;) {
        switch (fields.next(field)) {
        case SectionStep::End:
        case SectionStep::Closed:
            // A record short of its "N" distinct nodes may still end on the first node; drop
            // it as the closing duplicate here, as reading the polygon back would.
            if (m_nodes.size() > 1 && m_nodes.back() == m_nodes.front())
                m_nodes.pop_back();
            return m_nodes.size() >= 2;
        case SectionStep::Failed:
            return false;
        case SectionStep::Field:
            break;
        }
        const int32_t v = STagField::toInt(field.value);
        const bool coordinate = field.key == "X" || field.key == "Y";
        if (field.key == "W") {
            m_width = v;
        } else if (field.key == "S") {
            m_style = v;
        } else if (field.key == "F") {
            m_fill = v;
        } else if ((field.key == "N" && (v < kMinFileNodes || v > kMaxFileNodes)) ||
                   (coordinate && count == 0)) {
            fields.skipRest();
            return false;
        } else if (field.key == "N") {
            count = v;
        } else if (field.key == "X") {
            pendingX = v;
        } else if (field.key == "Y" && taken < count) {
            ++taken;
            const SPoint p(pendingX, v);
            if (!m_nodes.empty() && p == m_nodes.back())
                continue;
            m_nodes.push_back(p);
            if (taken == count && m_nodes.size() > 1 && p == m_nodes.front())
                m_nodes.pop_back(); // the closing node repeats the first
        }
    }
}

bool SPtnObjPolygon::isWritable() const {
    return nodeCount() >= kMinFileNodes && nodeCount() <= kMaxFileNodes;
}

bool SPtnObjPolygon::write(STagWriter& writer, std::optional<SPoint> origin) const {
    if (!isWritable())
        return false;
    bool ok = writer.writeWord("+PG") == 0;
    ok &= writeStyle(writer, true);
    ok &= writer.writeInt("N", nodeCount()) == 0;
    for (const SPoint p : m_nodes)
        ok &= writePoint(writer, p, origin);
    ok &= writer.writeWord("-PG") == 0;
    ok &= writer.endLine() == 0;
    return ok;
}
