#pragma once

#include "model/SPtnObj.h"

#include <utility>
#include <vector>

// A closed polygon; the last node connects back to the first.
class SPtnObjPolygon : public SPtnObj {
public:
    // Files hold 2 to 32 nodes; editing may insert more, but such a polygon is not written.
    static constexpr int32_t kMinFileNodes = 2;
    static constexpr int32_t kMaxFileNodes = 32;

    SPtnObjPolygon() = default;
    explicit SPtnObjPolygon(std::vector<SPoint> nodes) : m_nodes(std::move(nodes)) {}

    SPtnObjId id() const override { return SPtnObjId::Polygon; }
    std::unique_ptr<SPtnObj> duplicate() const override;
    size_t storageSize() const override { return sizeof(SPtnObjPolygon); }
    SPtnObj* relocate(void* place) override { return relocateAs(std::move(*this), place); }
    // Normalises first.
    bool isValid() override;
    void move(int32_t dx, int32_t dy) override;
    int32_t nodeCount() const override { return static_cast<int32_t>(m_nodes.size()); }
    SPoint node(int32_t index) const override;
    void setNode(int32_t index, int32_t x, int32_t y) override;
    void mirror() override;
    void mirrorAt(int32_t x) override;
    void rotate() override;
    void rotateAt(SPoint center) override;
    // Judged on the normalised nodes; the stored nodes are left as they are.
    bool hitTest(SPoint p) const override;
    bool isInside(const SRect& r) const override;
    SRect boundingRect() const override;
    bool read(STagReader& reader) override;
    // False (nothing written) when the node count is outside 2 to 32.
    bool write(STagWriter& writer, std::optional<SPoint> origin = std::nullopt) const override;

    // Drops repeated nodes (and a last node equal to the first); fewer than 2 left → empty.
    void normalise();
    // Inserts (x, y) directly after node `index`; nothing when the index is out of range.
    void insertNode(int32_t index, int32_t x, int32_t y);
    bool isWritable() const;

    const std::vector<SPoint>& nodes() const { return m_nodes; }
    void setNodes(std::vector<SPoint> nodes) { m_nodes = std::move(nodes); }

    static std::vector<SPoint> normalised(const std::vector<SPoint>& nodes);

private:
    int32_t clampIndex(int32_t index) const;

    std::vector<SPoint> m_nodes;
};
