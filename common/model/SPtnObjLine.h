#pragma once

#include "model/SPtnObj.h"

// A straight line from start to end.
class SPtnObjLine : public SPtnObj {
public:
    SPtnObjLine() = default;
    SPtnObjLine(SPoint start, SPoint end) : m_start(start), m_end(end) {}

    SPtnObjId id() const override { return SPtnObjId::Line; }
    std::unique_ptr<SPtnObj> duplicate() const override;
    size_t storageSize() const override { return sizeof(SPtnObjLine); }
    SPtnObj* relocate(void* place) override { return relocateAs(std::move(*this), place); }
    void move(int32_t dx, int32_t dy) override;
    int32_t nodeCount() const override { return 2; }
    SPoint node(int32_t index) const override;
    void setNode(int32_t index, int32_t x, int32_t y) override;
    void mirror() override;
    void mirrorAt(int32_t x) override;
    void rotate() override;
    void rotateAt(SPoint center) override;
    bool hitTest(SPoint p) const override;
    bool isInside(const SRect& r) const override;
    SRect boundingRect() const override;
    bool read(STagReader& reader) override;
    bool write(STagWriter& writer, std::optional<SPoint> origin = std::nullopt) const override;

    SPoint start() const { return m_start; }
    void setStart(SPoint p) { m_start = p; }
    SPoint end() const { return m_end; }
    void setEnd(SPoint p) { m_end = p; }

private:
    SPoint m_start{-1, -1};
    SPoint m_end{-1, -1};
};
