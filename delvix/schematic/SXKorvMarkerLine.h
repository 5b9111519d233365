#pragma once

#include "schematic/SXKorvLine.h"

// A wide translucent marker stroke ("+ALINE").
class SXKorvMarkerLine : public SXKorvLine {
public:
    static constexpr std::string_view kSection = "ALINE";
    static constexpr int32_t kDefaultWidth = 7;
    static constexpr int32_t kMinWidth = 3;
    static constexpr int32_t kMaxWidth = 100;
    static constexpr int32_t kDefaultColour = 0x0080FF80; // 0x00BBGGRR

    bool classFlag1() const override { return true; }
    bool classFlag2() const override { return true; }
    SXKorvKind kind() const override { return SXKorvKind::MarkerLine; }
    int32_t kindBit() const override { return SXKorvKindBit::kMarkerLine; }
    bool readSection(STagReader& reader, std::optional<SPoint> offset = std::nullopt,
                     SXKorvDoc* doc = nullptr) override;
    bool writeSection(STagWriter& writer,
                      std::optional<SPoint> offset = std::nullopt) const override;
    std::unique_ptr<SXKorvObj> clone() const override;

    int32_t width() const { return m_width; }
    void setWidth(int32_t width);
    int32_t colour() const { return m_colour; }
    void setColour(int32_t colour) { m_colour = colour; }

protected:
    uint32_t readField(std::string_view key, std::string_view value,
                       std::optional<SPoint> offset) override;

private:
    int32_t m_width = kDefaultWidth;
    int32_t m_colour = kDefaultColour;
};
