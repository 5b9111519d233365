#pragma once

#include "schematic/SXKorvObj.h"

// A junction dot at p1.
class SXKorvJunc : public SXKorvObj {
public:
    static constexpr std::string_view kSection = "JUNCTION";

    SXKorvKind kind() const override { return SXKorvKind::Junction; }
    int32_t kindBit() const override { return SXKorvKindBit::kJunction; }
    bool readSection(STagReader& reader, std::optional<SPoint> offset = std::nullopt,
                     SXKorvDoc* doc = nullptr) override;
    bool writeSection(STagWriter& writer,
                      std::optional<SPoint> offset = std::nullopt) const override;
    std::unique_ptr<SXKorvObj> clone() const override { return cloneOf(*this); }
    int32_t hitTest(SPoint p) const override;
    int32_t areaIntersect(const SRect& area) const override;
    bool areaContains(const SRect& area) const override;
    SRect boundingArea() const override { return {m_p1, m_p1}; }
    SRect anchorArea() const override { return {m_p1, m_p1}; }

protected:
    uint32_t readField(std::string_view key, std::string_view value,
                       std::optional<SPoint> offset) override;
};
