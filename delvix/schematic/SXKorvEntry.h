#pragma once

#include "schematic/SXKorvLine.h"

// A wire entry: a 10 by 10 diagonal rising from p1, kept so by normalisation after every read
// and before every write.
class SXKorvEntry : public SXKorvLine {
public:
    static constexpr std::string_view kSection = "ENTRY";

    SXKorvEntry() : SXKorvLine({0, 10}, {10, 0}) {}

    SXKorvKind kind() const override { return SXKorvKind::Entry; }
    int32_t kindBit() const override { return SXKorvKindBit::kEntry; }
    bool readSection(STagReader& reader, std::optional<SPoint> offset = std::nullopt,
                     SXKorvDoc* doc = nullptr) override;
    bool writeSection(STagWriter& writer,
                      std::optional<SPoint> offset = std::nullopt) const override;
    std::unique_ptr<SXKorvObj> clone() const override;

    bool readLineSection(STagReader& reader, std::optional<SPoint> offset,
                         std::string_view section) override;
    bool writeLineSection(STagWriter& writer, std::optional<SPoint> offset,
                          std::string_view section) const override;

    // p1 below p2, then p2 one grid step up and one to the side the entry leans to.
    void normalize();
    // Leaning right: p1.x < p2.x.
    bool leansRight() const { return m_p1.x < m_p2.x; }
};

class SXKorvBusEntry : public SXKorvEntry {
public:
    static constexpr std::string_view kSection = "BENTRY";

    SXKorvKind kind() const override { return SXKorvKind::BusEntry; }
    int32_t kindBit() const override { return SXKorvKindBit::kBusEntry; }
    bool readSection(STagReader& reader, std::optional<SPoint> offset = std::nullopt,
                     SXKorvDoc* doc = nullptr) override;
    bool writeSection(STagWriter& writer,
                      std::optional<SPoint> offset = std::nullopt) const override;
    std::unique_ptr<SXKorvObj> clone() const override;
};
