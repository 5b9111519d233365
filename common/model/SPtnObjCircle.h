#pragma once

#include "model/SPtnObj.h"

// An ellipse given by two opposite corners of its bounding rectangle.
class SPtnObjCircle : public SPtnObj {
public:
    SPtnObjCircle() = default;
    SPtnObjCircle(SPoint a, SPoint b) : m_a(a), m_b(b) {}

    SPtnObjId id() const override { return SPtnObjId::Circle; }
    std::unique_ptr<SPtnObj> duplicate() const override;
    size_t storageSize() const override { return sizeof(SPtnObjCircle); }
    SPtnObj* relocate(void* place) override { return relocateAs(std::move(*this), place); }
    bool isValid() override { return m_a != m_b; }
    void move(int32_t dx, int32_t dy) override;
    int32_t nodeCount() const override { return 2; }
    SPoint node(int32_t index) const override;
    void setNode(int32_t index, int32_t x, int32_t y) override;
    void mirror() override {} // symmetric
    void mirrorAt(int32_t x) override;
    void rotate() override;
    void rotateAt(SPoint center) override;
    bool hitTest(SPoint p) const override;
    bool isInside(const SRect& r) const override;
    SRect boundingRect() const override;
    bool read(STagReader& reader) override;
    bool write(STagWriter& writer, std::optional<SPoint> origin = std::nullopt) const override;

    SPoint cornerA() const { return m_a; }
    void setCornerA(SPoint p) { m_a = p; }
    SPoint cornerB() const { return m_b; }
    void setCornerB(SPoint p) { m_b = p; }

private:
    SPoint m_a{-1, -1};
    SPoint m_b{-1, -1};
};
