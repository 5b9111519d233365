#include "SXKorvTidy.h"

#include <algorithm>
#include <tuple>

namespace {

constexpr int32_t kLayers = 8;

bool validLayer(int32_t layer) {
    return layer >= 0 && layer < kLayers;
}

// The stored ends; a line kind's p1() answers p2 while only p2 is selected.
SPoint end1(const SXKorvObj& obj) {
    return obj.SXKorvObj::p1();
}
SPoint end2(const SXKorvObj& obj) {
    return obj.SXKorvObj::p2();
}

bool isKind(const SXKorvObj& obj, SXKorvKind kind) {
    return obj.kind() == kind;
}

constexpr auto lessXY = [](SPoint a, SPoint b) { return a.x != b.x ? a.x < b.x : a.y < b.y; };
constexpr auto lessYX = [](SPoint a, SPoint b) { return a.y != b.y ? a.y < b.y : a.x < b.x; };

} // namespace

size_t SXKorvTidy::PointKeyHash::operator()(const PointKey& k) const {
    const uint64_t xy = (uint64_t{static_cast<uint32_t>(k.x)} << 32) | static_cast<uint32_t>(k.y);
    return static_cast<size_t>(
        (xy ^ (uint64_t{static_cast<uint32_t>(k.tag)} << 17)) * 0x9E3779B97F4A7C15ull >> 7);
}

SXKorvTidy::SXKorvTidy(SXKorvObjList& main, int32_t operation)
    : m_main(main), m_op(operation), m_batch(main.empty()), m_juncXY(kLayers), m_juncYX(kLayers) {
    for (const auto& obj : m_main) {
        if (!isTidyTarget(*obj))
            continue;
        if (isPointKind(*obj))
            m_points.insert(pointKey(*obj));
        else
            index(obj.get());
    }
}

bool SXKorvTidy::isPointKind(const SXKorvObj& obj) {
    const SXKorvKind kind = obj.kind();
    return kind == SXKorvKind::Junction || kind == SXKorvKind::Entry ||
           kind == SXKorvKind::BusEntry;
}

bool SXKorvTidy::isTidyTarget(const SXKorvObj& obj) {
    return obj.isLive() && !obj.workingCopy() && validLayer(obj.layer());
}

SXKorvTidy::PointKey SXKorvTidy::pointKey(const SXKorvObj& obj) {
    int32_t tag = obj.kindCode() * 16 + obj.layer() * 2;
    if (obj.kind() != SXKorvKind::Junction && end1(obj).x < end2(obj).x)
        tag += 1;
    return {end1(obj).x, end1(obj).y, tag};
}

uint64_t SXKorvTidy::lineKey(int32_t kind, int32_t layer, bool vertical, int32_t coord) {
    return static_cast<uint32_t>(coord) | (uint64_t{static_cast<uint32_t>(layer) & 7u} << 32) |
           (uint64_t{vertical} << 35) | (uint64_t{static_cast<uint32_t>(kind) & 15u} << 36);
}

bool SXKorvTidy::lineOf(const SXKorvObj& obj, uint64_t& key, int32_t& lo, int32_t& hi) {
    if (!isKind(obj, SXKorvKind::Wire) && !isKind(obj, SXKorvKind::Bus))
        return false;
    const SPoint a = end1(obj);
    const SPoint b = end2(obj);
    if (a == b)
        return false;
    if (a.y == b.y) {
        key = lineKey(obj.kindCode(), obj.layer(), false, a.y);
        lo = std::min(a.x, b.x);
        hi = std::max(a.x, b.x);
        return true;
    }
    if (a.x == b.x) {
        key = lineKey(obj.kindCode(), obj.layer(), true, a.x);
        lo = std::min(a.y, b.y);
        hi = std::max(a.y, b.y);
        return true;
    }
    return false;
}

SXKorvObj* SXKorvTidy::append(std::unique_ptr<SXKorvObj> obj) {
    m_main.push_back(std::move(obj));
    return m_main.back().get();
}

void SXKorvTidy::index(SXKorvObj* obj) {
    if (m_batch)
        return;
    uint64_t key;
    int32_t lo;
    int32_t hi;
    if (lineOf(*obj, key, lo, hi))
        m_lines[key].emplace(lo, Span{hi, obj});
}

void SXKorvTidy::unindex(SXKorvObj* obj) {
    if (m_batch)
        return;
    uint64_t key;
    int32_t lo;
    int32_t hi;
    if (!lineOf(*obj, key, lo, hi))
        return;
    const auto found = m_lines.find(key);
    if (found == m_lines.end())
        return;
    auto [first, last] = found->second.equal_range(lo);
    for (auto it = first; it != last; ++it) {
        if (it->second.obj == obj) {
            found->second.erase(it);
            return;
        }
    }
}

void SXKorvTidy::markDeleted(SXKorvObj* obj) {
    unindex(obj);
    obj->setDeleteStamp(m_op);
}

void SXKorvTidy::place(std::unique_ptr<SXKorvObj> obj) {
    if (!validLayer(obj->layer())) {
        append(std::move(obj));
        return;
    }
    switch (obj->kind()) {
    case SXKorvKind::Junction:
    case SXKorvKind::Entry:
    case SXKorvKind::BusEntry:
        if (m_points.insert(pointKey(*obj)).second)
            append(std::move(obj));
        return;
    case SXKorvKind::Wire:
    case SXKorvKind::Bus:
        if (end1(*obj) == end2(*obj))
            return;
        absorbInto(*obj);
        index(append(std::move(obj)));
        return;
    default:
        append(std::move(obj));
        return;
    }
}

// Takes in every live span of the same kind and layer that overlaps or touches the new line,
// until none is left; the line keeps its direction and reaches the outermost ends.
void SXKorvTidy::absorbInto(SXKorvObj& line) {
    uint64_t key;
    int32_t lo;
    int32_t hi;
    if (!lineOf(line, key, lo, hi))
        return; // oblique lines stay as they are
    const auto found = m_lines.find(key);
    if (found == m_lines.end())
        return;
    Line& spans = found->second;
    for (bool absorbed = true; absorbed;) {
        absorbed = false;
        auto it = spans.upper_bound(hi);
        while (it != spans.begin()) {
            --it;
            if (it->second.hi < lo)
                break;
            lo = std::min(lo, it->first);
            hi = std::max(hi, it->second.hi);
            it->second.obj->setDeleteStamp(m_op);
            it = spans.erase(it);
            absorbed = true;
        }
    }
    setSpan(line, lo, hi);
}

void SXKorvTidy::setSpan(SXKorvObj& line, int32_t lo, int32_t hi) {
    SPoint a = end1(line);
    SPoint b = end2(line);
    const bool vertical = a.x == b.x;
    int32_t& ca = vertical ? a.y : a.x;
    int32_t& cb = vertical ? b.y : b.x;
    const bool forward = ca <= cb;
    ca = forward ? lo : hi;
    cb = forward ? hi : lo;
    line.setP1(a);
    line.setP2(b);
}

void SXKorvTidy::placeAll(SXKorvObjList& objects) {
    if (m_batch) {
        placeBatch(objects);
    } else {
        for (auto& obj : objects)
            place(std::move(obj));
    }
    objects.clear();
}

// A file's objects at once: the first of each set of equal point objects stays, and on each
// line the spans that overlap or touch form one wire or bus, the one placed last, which keeps
// its place in the list; the others stay behind as deleted.
void SXKorvTidy::placeBatch(SXKorvObjList& objects) {
    std::vector<std::pair<PointKey, uint32_t>> points;
    for (uint32_t i = 0; i < objects.size(); ++i) {
        if (isPointKind(*objects[i]) && validLayer(objects[i]->layer()))
            points.emplace_back(pointKey(*objects[i]), i);
    }
    std::sort(points.begin(), points.end(), [](const auto& a, const auto& b) {
        return std::tie(a.first.tag, a.first.x, a.first.y, a.second) <
               std::tie(b.first.tag, b.first.x, b.first.y, b.second);
    });
    std::vector<bool> dropped(objects.size());
    for (size_t i = 1; i < points.size(); ++i) {
        if (points[i].first == points[i - 1].first)
            dropped[points[i].second] = true;
    }
    // At most one span per object: one allocation instead of a run of regrowths.
    std::vector<SpanRecord> spans;
    spans.reserve(objects.size());
    m_main.reserve(m_main.size() + objects.size());
    for (uint32_t i = 0; i < objects.size(); ++i) {
        SXKorvObj& obj = *objects[i];
        const bool line = isKind(obj, SXKorvKind::Wire) || isKind(obj, SXKorvKind::Bus);
        if (dropped[i] || (line && end1(obj) == end2(obj)))
            continue;
        SpanRecord span{0, 0, 0, i, &obj};
        if (validLayer(obj.layer()) && lineOf(obj, span.key, span.lo, span.hi))
            spans.push_back(span);
        append(std::move(objects[i]));
    }
    mergeSpans(spans);
}

void SXKorvTidy::mergeSpans(std::vector<SpanRecord>& spans) {
    std::sort(spans.begin(), spans.end(), [](const SpanRecord& a, const SpanRecord& b) {
        return std::tie(a.key, a.lo, a.order) < std::tie(b.key, b.lo, b.order);
    });
    for (size_t first = 0; first < spans.size();) {
        size_t last = first + 1;
        size_t survivor = first;
        int32_t hi = spans[first].hi;
        while (last < spans.size() && spans[last].key == spans[first].key && spans[last].lo <= hi) {
            hi = std::max(hi, spans[last].hi);
            if (spans[last].order > spans[survivor].order)
                survivor = last;
            ++last;
        }
        for (size_t k = first; k < last; ++k) {
            if (k != survivor)
                spans[k].obj->setDeleteStamp(m_op);
        }
        if (last - first > 1)
            setSpan(*spans[survivor].obj, spans[first].lo, hi);
        first = last;
    }
}

void SXKorvTidy::split(SXKorvObj* wire, const std::vector<SPoint>& at) {
    SPoint from = end1(*wire);
    std::vector<std::unique_ptr<SXKorvObj>> pieces;
    for (size_t i = 0; i <= at.size(); ++i) {
        const SPoint to = i < at.size() ? at[i] : end2(*wire);
        std::unique_ptr<SXKorvObj> piece = wire->clone();
        piece->clearSelection();
        piece->setPlaceStamp(m_op);
        piece->setDeleteStamp(-1);
        piece->setP1(from);
        piece->setP2(to);
        pieces.push_back(std::move(piece));
        from = to;
    }
    markDeleted(wire);
    for (auto& piece : pieces)
        index(append(std::move(piece)));
}

void SXKorvTidy::finish() {
    // Into an empty list nothing was placed before and nothing deleted: passes 1 and 2 are for
    // later operations only.
    if (!m_batch)
        joinAndSplitOld();
    // Pass 3: every wire of this operation is split at all the junctions strictly inside it at
    // once, so that its pieces follow each other in the list; reading the sheet back merges them
    // and splits them again in the same place and order.
    // Without a junction no wire is split: skip the walk over the list.
    if (!buildJunctionIndex())
        return;
    std::vector<SPoint> inside;
    const size_t placed = m_main.size();
    for (size_t i = 0; i < placed; ++i) {
        SXKorvObj* obj = m_main[i].get();
        if (!isKind(*obj, SXKorvKind::Wire) || !isTidyTarget(*obj) || obj->placeStamp() != m_op)
            continue;
        junctionsInside(*obj, inside);
        if (!inside.empty())
            split(obj, inside);
    }
}

void SXKorvTidy::joinAndSplitOld() {
    // Pass 1: a junction removed in this operation joins the wires that met at it.
    const size_t count = m_main.size();
    for (size_t i = 0; i < count; ++i) {
        const SXKorvObj& obj = *m_main[i];
        if (isKind(obj, SXKorvKind::Junction) && obj.deleteStamp() == m_op && !obj.workingCopy() &&
            validLayer(obj.layer())) {
            joinAtDeletedJunction(end1(obj), obj.layer(), false);
            joinAtDeletedJunction(end1(obj), obj.layer(), true);
        }
    }
    // Pass 2: a junction placed in this operation splits the older wires running through it.
    std::vector<std::pair<SPoint, int32_t>> newJunctions;
    for (const auto& obj : m_main) {
        if (isKind(*obj, SXKorvKind::Junction) && isTidyTarget(*obj) && obj->placeStamp() == m_op)
            newJunctions.emplace_back(end1(*obj), obj->layer());
    }
    for (const auto& [at, layer] : newJunctions)
        splitOldWiresAt(at, layer);
}

void SXKorvTidy::joinAtDeletedJunction(SPoint at, int32_t layer, bool vertical) {
    const auto found = m_lines.find(
        lineKey(static_cast<int32_t>(SXKorvKind::Wire), layer, vertical, vertical ? at.x : at.y));
    if (found == m_lines.end())
        return;
    Line& spans = found->second;
    const int32_t pos = vertical ? at.y : at.x;
    auto right = spans.lower_bound(pos);
    if (right == spans.end() || right->first != pos || right == spans.begin())
        return;
    auto left = std::prev(right);
    if (left->second.hi != pos || right->second.hi == pos)
        return;
    SXKorvObj* leftObj = left->second.obj;
    SXKorvObj* rightObj = right->second.obj;
    const int32_t farLeft = left->first;
    std::unique_ptr<SXKorvObj> joined = rightObj->clone();
    joined->clearSelection();
    joined->setPlaceStamp(m_op);
    joined->setDeleteStamp(-1);
    SPoint a = end1(*joined);
    SPoint b = end2(*joined);
    SPoint& near = (vertical ? a.y : a.x) == pos ? a : b;
    (vertical ? near.y : near.x) = farLeft;
    joined->setP1(a);
    joined->setP2(b);
    markDeleted(leftObj);
    markDeleted(rightObj);
    index(append(std::move(joined)));
}

void SXKorvTidy::splitOldWiresAt(SPoint at, int32_t layer) {
    for (const bool vertical : {false, true}) {
        const auto found = m_lines.find(lineKey(static_cast<int32_t>(SXKorvKind::Wire), layer,
                                                vertical, vertical ? at.x : at.y));
        if (found == m_lines.end())
            continue;
        const int32_t pos = vertical ? at.y : at.x;
        auto it = found->second.lower_bound(pos);
        if (it == found->second.begin())
            continue;
        --it;
        SXKorvObj* wire = it->second.obj;
        if (it->first < pos && it->second.hi > pos && wire->placeStamp() < m_op)
            split(wire, {at});
    }
}

bool SXKorvTidy::buildJunctionIndex() {
    bool any = false;
    for (const auto& obj : m_main) {
        if (isKind(*obj, SXKorvKind::Junction) && isTidyTarget(*obj)) {
            m_juncXY[obj->layer()].push_back(end1(*obj));
            m_juncYX[obj->layer()].push_back(end1(*obj));
            any = true;
        }
    }
    if (!any)
        return false;
    for (int32_t layer = 0; layer < kLayers; ++layer) {
        std::sort(m_juncXY[layer].begin(), m_juncXY[layer].end(), lessXY);
        std::sort(m_juncYX[layer].begin(), m_juncYX[layer].end(), lessYX);
    }
    return true;
}

// The junctions strictly inside a horizontal or vertical wire, in order from its p1. Sorted by
// (row, position along it), they lie between the wire's two ends.
namespace {

// The points strictly between a and b on their line, from a towards b; `less` orders the
// points along that line (a comparator type, so the searches inline it).
template <class Less>
void pointsBetween(const std::vector<SPoint>& points, SPoint a, SPoint b, Less less,
                   std::vector<SPoint>& out) {
    const bool forward = less(a, b);
    const auto first = std::upper_bound(points.begin(), points.end(), forward ? a : b, less);
    const auto last = std::lower_bound(first, points.end(), forward ? b : a, less);
    out.assign(first, last);
    out.erase(std::unique(out.begin(), out.end()), out.end());
    if (!forward)
        std::reverse(out.begin(), out.end());
}

} // namespace

void SXKorvTidy::junctionsInside(const SXKorvObj& wire, std::vector<SPoint>& out) const {
    out.clear();
    if (m_juncXY[wire.layer()].empty())
        return; // no junction on this layer: nothing to split, skip the searches
    const SPoint a = end1(wire);
    const SPoint b = end2(wire);
    if (a == b || (a.y != b.y && a.x != b.x))
        return; // oblique wires are not split, see the class comment
    if (a.x == b.x)
        pointsBetween(m_juncXY[wire.layer()], a, b, lessXY, out);
    else
        pointsBetween(m_juncYX[wire.layer()], a, b, lessYX, out);
}
