#include "SXKorvTidy.h"

#include "SXKorvEntry.h"
#include "SXKorvLine.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <numeric>

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

// True when p lies on the oblique segment a-b, not at either end.
bool strictlyInside(SPoint a, SPoint b, SPoint p) {
    const int64_t dx = int64_t{b.x} - a.x;
    const int64_t dy = int64_t{b.y} - a.y;
    const int64_t g = std::gcd(std::llabs(dx), std::llabs(dy));
    if (g < 2 || dx == 0 || dy == 0)
        return false;
    const int64_t ox = int64_t{p.x} - a.x;
    const int64_t k = ox / (dx / g);
    return ox % (dx / g) == 0 && k > 0 && k < g && int64_t{p.y} - a.y == k * (dy / g);
}

bool lessXY(SPoint a, SPoint b) {
    return a.x != b.x ? a.x < b.x : a.y < b.y;
}
bool lessYX(SPoint a, SPoint b) {
    return a.y != b.y ? a.y < b.y : a.x < b.x;
}

} // namespace

size_t SXKorvTidy::PointKeyHash::operator()(const PointKey& k) const {
    const uint64_t xy = (uint64_t{static_cast<uint32_t>(k.x)} << 32) | static_cast<uint32_t>(k.y);
    return static_cast<size_t>(
        (xy ^ (uint64_t{static_cast<uint32_t>(k.tag)} << 17)) * 0x9E3779B97F4A7C15ull >> 7);
}

SXKorvTidy::SXKorvTidy(SXKorvObjList& main, int32_t operation)
    : m_main(main), m_op(operation), m_juncXY(kLayers), m_juncYX(kLayers) {
    for (const auto& obj : m_main) {
        if (!isTidyTarget(*obj))
            continue;
        const SXKorvKind kind = obj->kind();
        if (kind == SXKorvKind::Junction || kind == SXKorvKind::Entry ||
            kind == SXKorvKind::BusEntry)
            m_points.insert(pointKey(*obj));
        else
            index(obj.get());
    }
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
    uint64_t key;
    int32_t lo;
    int32_t hi;
    if (lineOf(*obj, key, lo, hi))
        m_lines[key].emplace(lo, Span{hi, obj});
}

void SXKorvTidy::unindex(SXKorvObj* obj) {
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

void SXKorvTidy::split(SXKorvObj* wire, SPoint at) {
    std::unique_ptr<SXKorvObj> first = wire->clone();
    std::unique_ptr<SXKorvObj> second = wire->clone();
    for (auto* piece : {first.get(), second.get()}) {
        piece->clearSelection();
        piece->setPlaceStamp(m_op);
        piece->setDeleteStamp(-1);
    }
    first->setP2(at);
    second->setP1(at);
    markDeleted(wire);
    index(append(std::move(first)));
    index(append(std::move(second)));
}

void SXKorvTidy::finish() {
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
    std::vector<SXKorvObj*> oldOblique;
    std::vector<SPoint> newJunctions;
    std::vector<int32_t> newJunctionLayers;
    for (const auto& obj : m_main) {
        if (!isTidyTarget(*obj))
            continue;
        if (isKind(*obj, SXKorvKind::Junction) && obj->placeStamp() == m_op) {
            newJunctions.push_back(end1(*obj));
            newJunctionLayers.push_back(obj->layer());
        } else if (isKind(*obj, SXKorvKind::Wire) && obj->placeStamp() < m_op &&
                   end1(*obj).x != end2(*obj).x && end1(*obj).y != end2(*obj).y) {
            oldOblique.push_back(obj.get());
        }
    }
    for (size_t i = 0; i < newJunctions.size(); ++i)
        splitOldWiresAt(newJunctions[i], newJunctionLayers[i], oldOblique);
    // Pass 3: every wire of this operation is split at the junctions strictly inside it; the
    // pieces are appended and looked at again further on.
    buildJunctionIndex();
    for (size_t i = 0; i < m_main.size(); ++i) {
        SXKorvObj* obj = m_main[i].get();
        SPoint at;
        if (isKind(*obj, SXKorvKind::Wire) && isTidyTarget(*obj) && obj->placeStamp() == m_op &&
            junctionInside(*obj, at))
            split(obj, at);
    }
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

void SXKorvTidy::splitOldWiresAt(SPoint at, int32_t layer, const std::vector<SXKorvObj*>& oblique) {
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
            split(wire, at);
    }
    for (SXKorvObj* wire : oblique) {
        if (!wire->isLive() || wire->layer() != layer)
            continue;
        if (strictlyInside(end1(*wire), end2(*wire), at))
            split(wire, at);
    }
}

void SXKorvTidy::buildJunctionIndex() {
    for (const auto& obj : m_main) {
        if (isKind(*obj, SXKorvKind::Junction) && isTidyTarget(*obj)) {
            m_juncXY[obj->layer()].push_back(end1(*obj));
            m_juncYX[obj->layer()].push_back(end1(*obj));
        }
    }
    for (int32_t layer = 0; layer < kLayers; ++layer) {
        std::sort(m_juncXY[layer].begin(), m_juncXY[layer].end(), lessXY);
        std::sort(m_juncYX[layer].begin(), m_juncYX[layer].end(), lessYX);
    }
}

// The junction strictly inside the wire that lies nearest to its p1.
bool SXKorvTidy::junctionInside(const SXKorvObj& wire, SPoint& at) const {
    const SPoint a = end1(wire);
    const SPoint b = end2(wire);
    const int32_t layer = wire.layer();
    if (a == b)
        return false;
    if (a.y != b.y && a.x != b.x)
        return junctionInsideOblique(a, b, layer, at);
    const bool vertical = a.x == b.x;
    const auto& points = vertical ? m_juncXY[layer] : m_juncYX[layer];
    const auto less = vertical ? lessXY : lessYX;
    const int32_t ca = vertical ? a.y : a.x;
    const int32_t cb = vertical ? b.y : b.x;
    const auto along = [vertical](SPoint p) { return vertical ? p.y : p.x; };
    const auto across = [vertical](SPoint p) { return vertical ? p.x : p.y; };
    if (ca < cb) {
        const auto it = std::upper_bound(points.begin(), points.end(), a, less);
        if (it == points.end() || across(*it) != across(a) || along(*it) >= cb)
            return false;
        at = *it;
        return true;
    }
    auto it = std::lower_bound(points.begin(), points.end(), a, less);
    if (it == points.begin())
        return false;
    --it;
    if (across(*it) != across(a) || along(*it) <= cb)
        return false;
    at = *it;
    return true;
}

// Lattice points strictly inside the segment are a + k * step for 0 < k < g. Whichever is fewer,
// those points or the junctions within the segment's x range, is looked at.
bool SXKorvTidy::junctionInsideOblique(SPoint a, SPoint b, int32_t layer, SPoint& at) const {
    const int64_t dx = int64_t{b.x} - a.x;
    const int64_t dy = int64_t{b.y} - a.y;
    const int64_t g = std::gcd(std::llabs(dx), std::llabs(dy));
    if (g < 2)
        return false;
    const int64_t sx = dx / g;
    const int64_t sy = dy / g;
    const auto& points = m_juncXY[layer];
    const int32_t minX = std::min(a.x, b.x);
    const int32_t maxX = std::max(a.x, b.x);
    const auto first = std::upper_bound(points.begin(), points.end(),
                                        SPoint{minX, std::numeric_limits<int32_t>::max()}, lessXY);
    const auto last = std::lower_bound(points.begin(), points.end(),
                                       SPoint{maxX, std::numeric_limits<int32_t>::min()}, lessXY);
    if (first >= last)
        return false;
    if (g - 1 <= last - first) {
        for (int64_t k = 1; k < g; ++k) {
            const SPoint p{static_cast<int32_t>(a.x + k * sx), static_cast<int32_t>(a.y + k * sy)};
            if (std::binary_search(first, last, p, lessXY)) {
                at = p;
                return true;
            }
        }
        return false;
    }
    int64_t best = g;
    for (auto it = first; it != last; ++it) {
        const int64_t ox = int64_t{it->x} - a.x;
        if (ox % sx != 0)
            continue;
        const int64_t k = ox / sx;
        if (k > 0 && k < best && int64_t{it->y} - a.y == k * sy) {
            best = k;
            at = *it;
        }
    }
    return best < g;
}
