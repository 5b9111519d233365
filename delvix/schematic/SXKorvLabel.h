#pragma once

#include "schematic/SXKorvObj.h"

// A net label: a text standing at p1.
class SXKorvLabel : public SXKorvObj {
public:
    static constexpr std::string_view kSection = "LABEL";

    bool classFlag2() const override { return true; }
    bool classFlag4() const override { return true; }
    SXKorvKind kind() const override { return SXKorvKind::Label; }
    int32_t kindBit() const override { return SXKorvKindBit::kLabel; }
    bool readSection(STagReader& reader, std::optional<SPoint> offset = std::nullopt,
                     SXKorvDoc* doc = nullptr) override;
    bool writeSection(STagWriter& writer,
                      std::optional<SPoint> offset = std::nullopt) const override;
    std::unique_ptr<SXKorvObj> clone() const override { return cloneOf(*this); }
    bool isValid() const override { return !m_text.empty(); }
    int32_t hitTest(SPoint p) const override;
    int32_t areaIntersect(const SRect& area) const override;
    bool areaContains(const SRect& area) const override;
    SRect boundingArea() const override { return {m_p1, m_p1}; }
    SRect anchorArea() const override { return {m_p1, m_p1}; }

    const std::string& text() const { return m_text; }
    void setText(std::string_view text) { m_text = text; }
    bool isHorizontal() const { return m_horizontal; }
    void setHorizontal(bool horizontal) { m_horizontal = horizontal; }

protected:
    uint32_t readField(std::string_view key, std::string_view value,
                       std::optional<SPoint> offset) override;

private:
    std::string m_text;
    bool m_horizontal = true;
};
