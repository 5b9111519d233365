#pragma once

#include "model/SPtnObj.h"

// A circular arc running counter-clockwise (on the screen) from the start to the end angle;
// equal angles make a full circle. Angles are sixteenths of a degree.
class SPtnObjArc : public SPtnObj {
public:
    static constexpr int32_t kFullCircle = 5760;

    SPtnObjArc() = default;
    SPtnObjArc(SPoint center, int32_t radius, int32_t start, int32_t end)
        : m_center(center), m_radius(radius), m_start(start), m_end(end) {}

    SPtnObjId id() const override { return SPtnObjId::Arc; }
    std::unique_ptr<SPtnObj> duplicate() const override;
    size_t storageSize() const override { return sizeof(SPtnObjArc); }
    SPtnObj* relocate(void* place) override { return relocateAs(std::move(*this), place); }
    bool isValid() override { return m_radius > 0; }
    void move(int32_t dx, int32_t dy) override;
    int32_t nodeCount() const override { return 7; }
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

    SPoint center() const { return m_center; }
    void setCenter(SPoint c) { m_center = c; }
    int32_t radius() const { return m_radius; }
    void setRadius(int32_t r) { m_radius = r; }
    int32_t startAngle() const { return m_start; }
    void setStartAngle(int32_t a) { m_start = a; }
    int32_t endAngle() const { return m_end; }
    void setEndAngle(int32_t a) { m_end = a; }

private:
    SPoint m_center{10, 10};
    int32_t m_radius = 10;
    int32_t m_start = 0;
    int32_t m_end = kFullCircle;
};
