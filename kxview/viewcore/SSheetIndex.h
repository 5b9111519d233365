#pragma once

#include "model/SPoint.h"
#include "model/SRect.h"
#include "viewcore/SSheetViewport.h"

#include <cstdint>
#include <memory>
#include <vector>

class SXKorvObj;

// The live objects of a sheet in drawing order, with their drawn extents, bucketed in a coarse
// grid so that a window showing a small part of a large sheet visits only what it shows.
class SSheetIndex {
public:
    static constexpr int32_t kCell = 256;
    // Extents larger than this many cells a side go to a list visited by every query.
    static constexpr int32_t kMaxCellsASide = 64;

    SSheetIndex() = default;
    explicit SSheetIndex(const std::vector<std::unique_ptr<SXKorvObj>>& objects);

    size_t size() const { return m_objects.size(); }
    const SXKorvObj& object(size_t i) const { return *m_objects[i]; }
    const SRect& extent(size_t i) const { return m_extents[i]; }

    // Indices (ascending, so in drawing order) of the objects whose extent meets `area` and
    // whose layer bit is set in `layers`.
    std::vector<size_t> query(const SRect& area, int32_t layers) const;
    // The topmost object drawn at `p` within `tolerance` sheet units, or -1.
    int64_t hitAt(SPointF p, double tolerance, int32_t layers) const;

private:
    static int32_t cellOf(int32_t v);
    void add(size_t i);
    const std::vector<uint32_t>* bucket(int32_t cx, int32_t cy) const;
    bool touches(size_t i, SPointF p, double tolerance) const;

    std::vector<const SXKorvObj*> m_objects;
    std::vector<SRect> m_extents;
    SRect m_cells{0, 0, -1, -1}; // cell range covered by m_grid
    std::vector<std::vector<uint32_t>> m_grid;
    std::vector<uint32_t> m_large;
    mutable std::vector<uint32_t> m_seen; // query stamps, to report each object once
    mutable uint32_t m_stamp = 0;
};
