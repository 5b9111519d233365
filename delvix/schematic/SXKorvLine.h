#pragma once

#include "schematic/SXKorvObj.h"

// Base of the two-point kinds: p1 and p2 are the two ends.
class SXKorvLine : public SXKorvObj {
public:
    SPoint p1() const override;
    bool isValid() const override { return m_p1 != m_p2; }
    bool classFlag3() const override { return isOblique(); }
    bool classFlag4() const override { return true; }

    int32_t hitTest(SPoint p) const override;
    int32_t areaIntersect(const SRect& area) const override;
    bool areaContains(const SRect& area) const override;
    SRect boundingArea() const override { return rectOfPoints(m_p1, m_p2); }
    SRect anchorArea() const override { return rectOfPoints(m_p1, m_p2); }

    virtual bool isHorizontal() const { return m_p1.y == m_p2.y; }
    virtual bool isVertical() const { return m_p1.x == m_p2.x; }
    // `section` is the section word without "+" / "-" ("WIRE", "BUS", "ENTRY", "BENTRY").
    virtual bool readLineSection(STagReader& reader, std::optional<SPoint> offset,
                                 std::string_view section);
    virtual bool writeLineSection(STagWriter& writer, std::optional<SPoint> offset,
                                  std::string_view section) const;

    bool isOblique() const { return !isHorizontal() && !isVertical(); }

protected:
    SXKorvLine() = default;
    SXKorvLine(SPoint p1, SPoint p2) : SXKorvObj(p1, p2) {}

    enum : uint32_t { kReqX1 = 1, kReqY1 = 2, kReqX2 = 4, kReqY2 = 8, kReqEnds = 15 };
    uint32_t readField(std::string_view key, std::string_view value,
                       std::optional<SPoint> offset) override;
    // "L", "X1", "Y1", "X2", "Y2" as stored (after removing the offset).
    void writeEnds(STagWriter& writer, std::optional<SPoint> offset) const;
};

class SXKorvWire : public SXKorvLine {
public:
    static constexpr std::string_view kSection = "WIRE";

    SXKorvKind kind() const override { return SXKorvKind::Wire; }
    int32_t kindBit() const override { return SXKorvKindBit::kWire; }
    bool readSection(STagReader& reader, std::optional<SPoint> offset = std::nullopt,
                     SXKorvDoc* doc = nullptr) override;
    bool writeSection(STagWriter& writer,
                      std::optional<SPoint> offset = std::nullopt) const override;
    std::unique_ptr<SXKorvObj> clone() const override;
};

class SXKorvBus : public SXKorvLine {
public:
    static constexpr std::string_view kSection = "BUS";

    SXKorvKind kind() const override { return SXKorvKind::Bus; }
    int32_t kindBit() const override { return SXKorvKindBit::kBus; }
    bool readSection(STagReader& reader, std::optional<SPoint> offset = std::nullopt,
                     SXKorvDoc* doc = nullptr) override;
    bool writeSection(STagWriter& writer,
                      std::optional<SPoint> offset = std::nullopt) const override;
    std::unique_ptr<SXKorvObj> clone() const override;
};
