#include "viewcore/SSheetIndex.h"

#include "schematic/SXKorvDash.h"
#include "schematic/SXKorvLine.h"
#include "schematic/SXKorvObj.h"
#include "viewcore/SObjectInfo.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int64_t kMaxCells = 1 << 22;

double segmentDistance(SPointF p, SPoint a, SPoint b) {
    const double dx = static_cast<double>(b.x) - a.x;
    const double dy = static_cast<double>(b.y) - a.y;
    const double len2 = dx * dx + dy * dy;
    double t = len2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / len2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

bool isLineKind(SXKorvKind kind) {
    switch (kind) {
    case SXKorvKind::Wire:
    case SXKorvKind::Bus:
    case SXKorvKind::Entry:
    case SXKorvKind::BusEntry:
    case SXKorvKind::MarkerLine:
    case SXKorvKind::Dash:
        return true;
    default:
        return false;
    }
}

} // namespace

int32_t SSheetIndex::cellOf(int32_t v) {
    return static_cast<int32_t>(std::floor(static_cast<double>(v) / kCell));
}

SSheetIndex::SSheetIndex(const std::vector<std::unique_ptr<SXKorvObj>>& objects) {
    SRect cells = SRect::empty();
    for (const auto& obj : objects) {
        if (!obj->isLive() || obj->kind() == SXKorvKind::SheetInfo)
            continue;
        m_objects.push_back(obj.get());
        const SRect e = SObjectDescription::drawnExtent(*obj).normalized();
        m_extents.push_back(e);
    }
    // The grid spans the extents of the ordinary objects, within a sane number of cells.
    for (const SRect& e : m_extents) {
        if (int64_t{cellOf(e.right)} - cellOf(e.left) >= kMaxCellsASide ||
            int64_t{cellOf(e.bottom)} - cellOf(e.top) >= kMaxCellsASide)
            continue;
        cells.left = std::min(cells.left, cellOf(e.left));
        cells.top = std::min(cells.top, cellOf(e.top));
        cells.right = std::max(cells.right, cellOf(e.right));
        cells.bottom = std::max(cells.bottom, cellOf(e.bottom));
    }
    if (cells.left <= cells.right &&
        (int64_t{cells.right} - cells.left + 1) * (int64_t{cells.bottom} - cells.top + 1) <=
            kMaxCells) {
        m_cells = cells;
        m_grid.resize(static_cast<size_t>((int64_t{cells.right} - cells.left + 1) *
                                          (int64_t{cells.bottom} - cells.top + 1)));
    }
    for (size_t i = 0; i < m_objects.size(); ++i)
        add(i);
    m_seen.assign(m_objects.size(), 0);
}

void SSheetIndex::add(size_t i) {
    const SRect& e = m_extents[i];
    const int32_t x0 = cellOf(e.left);
    const int32_t y0 = cellOf(e.top);
    const int32_t x1 = cellOf(e.right);
    const int32_t y1 = cellOf(e.bottom);
    const bool inGrid = !m_grid.empty() && x0 >= m_cells.left && x1 <= m_cells.right &&
                        y0 >= m_cells.top && y1 <= m_cells.bottom &&
                        int64_t{x1} - x0 < kMaxCellsASide && int64_t{y1} - y0 < kMaxCellsASide;
    if (!inGrid) {
        m_large.push_back(static_cast<uint32_t>(i));
        return;
    }
    const int64_t stride = int64_t{m_cells.right} - m_cells.left + 1;
    for (int32_t cy = y0; cy <= y1; ++cy) {
        for (int32_t cx = x0; cx <= x1; ++cx)
            m_grid[static_cast<size_t>((int64_t{cy} - m_cells.top) * stride + cx - m_cells.left)]
                .push_back(static_cast<uint32_t>(i));
    }
}

const std::vector<uint32_t>* SSheetIndex::bucket(int32_t cx, int32_t cy) const {
    if (m_grid.empty() || cx < m_cells.left || cx > m_cells.right || cy < m_cells.top ||
        cy > m_cells.bottom)
        return nullptr;
    const int64_t stride = int64_t{m_cells.right} - m_cells.left + 1;
    return &m_grid[static_cast<size_t>((int64_t{cy} - m_cells.top) * stride + cx - m_cells.left)];
}

std::vector<size_t> SSheetIndex::query(const SRect& area, int32_t layers) const {
    std::vector<size_t> out;
    if (++m_stamp == 0) {
        std::fill(m_seen.begin(), m_seen.end(), 0);
        m_stamp = 1;
    }
    const SRect a = area.normalized();
    const auto consider = [&](uint32_t i) {
        if (m_seen[i] == m_stamp)
            return;
        m_seen[i] = m_stamp;
        const SRect& e = m_extents[i];
        if (e.right < a.left || e.left > a.right || e.bottom < a.top || e.top > a.bottom)
            return;
        if ((layers >> (m_objects[i]->layer() & 7) & 1) == 0)
            return;
        out.push_back(i);
    };
    if (!m_grid.empty()) {
        const int32_t x0 = std::max(cellOf(a.left), m_cells.left);
        const int32_t x1 = std::min(cellOf(a.right), m_cells.right);
        const int32_t y0 = std::max(cellOf(a.top), m_cells.top);
        const int32_t y1 = std::min(cellOf(a.bottom), m_cells.bottom);
        for (int32_t cy = y0; cy <= y1; ++cy) {
            for (int32_t cx = x0; cx <= x1; ++cx) {
                for (const uint32_t i : *bucket(cx, cy))
                    consider(i);
            }
        }
    }
    for (const uint32_t i : m_large)
        consider(i);
    std::sort(out.begin(), out.end());
    return out;
}

bool SSheetIndex::touches(size_t i, SPointF p, double tolerance) const {
    const SXKorvObj& obj = *m_objects[i];
    const SXKorvKind kind = obj.kind();
    if (kind == SXKorvKind::Dash) {
        const auto& dash = static_cast<const SXKorvDash&>(obj);
        const double reach = tolerance + dash.width() / 2.0;
        if (!dash.isCurved())
            return segmentDistance(p, dash.p1(), dash.p2()) <= reach;
        const auto& pts = dash.curvePoints();
        for (size_t k = 1; k < pts.size(); ++k) {
            if (segmentDistance(p, pts[k - 1], pts[k]) <= reach)
                return true;
        }
        return false;
    }
    if (isLineKind(kind)) {
        const double reach =
            tolerance + (kind == SXKorvKind::MarkerLine ? 4 : (kind == SXKorvKind::Bus ? 2 : 1));
        return segmentDistance(p, obj.p1(), obj.p2()) <= reach;
    }
    if (kind == SXKorvKind::Junction)
        return std::hypot(p.x - obj.p1().x, p.y - obj.p1().y) <= 4 + tolerance;
    const SRect& e = m_extents[i];
    return p.x >= e.left - tolerance && p.x <= e.right + tolerance && p.y >= e.top - tolerance &&
           p.y <= e.bottom + tolerance;
}

int64_t SSheetIndex::hitAt(SPointF p, double tolerance, int32_t layers) const {
    const auto lo = [&](double v) { return static_cast<int32_t>(std::floor(v - tolerance)); };
    const auto hi = [&](double v) { return static_cast<int32_t>(std::ceil(v + tolerance)); };
    if (!std::isfinite(p.x) || !std::isfinite(p.y) || std::abs(p.x) > 2e9 || std::abs(p.y) > 2e9)
        return -1;
    const std::vector<size_t> near = query({lo(p.x), lo(p.y), hi(p.x), hi(p.y)}, layers);
    // Drawn last is on top; wires and other thin kinds win over the areas they cross.
    int64_t area = -1;
    for (auto it = near.rbegin(); it != near.rend(); ++it) {
        if (!touches(*it, p, tolerance))
            continue;
        const SXKorvKind kind = m_objects[*it]->kind();
        if (isLineKind(kind) || kind == SXKorvKind::Junction)
            return static_cast<int64_t>(*it);
        if (area < 0)
            area = static_cast<int64_t>(*it);
    }
    return area;
}
