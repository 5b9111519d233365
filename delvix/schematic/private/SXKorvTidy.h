#pragma once

#include "schematic/SXKorvDoc.h"

#include <cstdint>
#include <map>
#include <unordered_map>
#include <unordered_set>
#include <vector>

// Places the objects of one committed operation into a document's main list the way the editor
// keeps a sheet tidy: duplicate junctions and entries are dropped, collinear touching wires and
// buses merged, and wires joined or split at junctions. Live wires and buses on one line never
// overlap after a tidy commit, so each line is kept as an ordered set of spans.
// Only horizontal and vertical wires are joined and split: like merging, that is undone and
// redone identically when a tidied sheet is read again, so a sheet written after reading reads
// back to the same objects in the same order.
// Into an empty main list (a file being read) everything is placed at once: sorting the spans
// of each line gives the same result as absorbing them one by one, at a fraction of the cost.
class SXKorvTidy {
public:
    SXKorvTidy(SXKorvObjList& main, int32_t operation);

    // Places valid, stamped objects in their order; the list is left empty.
    void placeAll(SXKorvObjList& objects);
    // The three junction/wire passes, after every object of the operation is placed.
    void finish();

private:
    struct Span {
        int32_t hi;
        SXKorvObj* obj;
    };
    using Line = std::multimap<int32_t, Span>; // keyed by the span's low end

    struct PointKey {
        int32_t x;
        int32_t y;
        int32_t tag; // kind, layer and lean
        friend bool operator==(const PointKey&, const PointKey&) = default;
    };
    struct PointKeyHash {
        size_t operator()(const PointKey& k) const;
    };
    struct SpanRecord {
        uint64_t key;
        int32_t lo;
        int32_t hi;
        uint32_t order; // placement order within the operation
        SXKorvObj* obj;
    };

    static bool isTidyTarget(const SXKorvObj& obj);
    static PointKey pointKey(const SXKorvObj& obj);
    // Key and span of a horizontal or vertical wire or bus; false for anything else.
    static bool lineOf(const SXKorvObj& obj, uint64_t& key, int32_t& lo, int32_t& hi);
    static uint64_t lineKey(int32_t kind, int32_t layer, bool vertical, int32_t coord);

    static bool isPointKind(const SXKorvObj& obj);
    // Sets a line's ends to lo and hi along its direction, keeping which end is p1.
    static void setSpan(SXKorvObj& line, int32_t lo, int32_t hi);

    void place(std::unique_ptr<SXKorvObj> obj);
    void placeBatch(SXKorvObjList& objects);
    void mergeSpans(std::vector<SpanRecord>& spans);
    SXKorvObj* append(std::unique_ptr<SXKorvObj> obj);
    void index(SXKorvObj* obj);
    void unindex(SXKorvObj* obj);
    void markDeleted(SXKorvObj* obj);
    void absorbInto(SXKorvObj& line);
    // Replaces a wire by its pieces between the points `at`, which run from its p1 to its p2.
    void split(SXKorvObj* wire, const std::vector<SPoint>& at);

    // Passes 1 and 2.
    void joinAndSplitOld();
    void joinAtDeletedJunction(SPoint at, int32_t layer, bool vertical);
    void splitOldWiresAt(SPoint at, int32_t layer);
    // Sorts the junctions of each layer for junctionsInside(); false when there are none.
    bool buildJunctionIndex();
    void junctionsInside(const SXKorvObj& wire, std::vector<SPoint>& out) const;

    SXKorvObjList& m_main;
    int32_t m_op;
    bool m_batch; // the main list was empty: nothing to look up, no index kept
    std::unordered_map<uint64_t, Line> m_lines;
    std::unordered_set<PointKey, PointKeyHash> m_points;
    // Live junctions per layer, sorted by (x, y) and by (y, x), for pass 3.
    std::vector<std::vector<SPoint>> m_juncXY;
    std::vector<std::vector<SPoint>> m_juncYX;
};
