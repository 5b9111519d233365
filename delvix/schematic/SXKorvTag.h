#pragma once

#include "schematic/SXKorvObj.h"

// A tag (port mark): a text in a frame starting at p1; p2 is the far end of the frame, worked
// out from the text length after reading.
class SXKorvTag : public SXKorvObj {
public:
    static constexpr std::string_view kSection = "TAG";

    bool classFlag2() const override { return true; }
    bool classFlag3() const override;
    bool classFlag4() const override { return true; }
    SXKorvKind kind() const override { return SXKorvKind::Tag; }
    int32_t kindBit() const override { return SXKorvKindBit::kTag; }
    bool readSection(STagReader& reader, std::optional<SPoint> offset = std::nullopt,
                     SXKorvDoc* doc = nullptr) override;
    bool writeSection(STagWriter& writer,
                      std::optional<SPoint> offset = std::nullopt) const override;
    std::unique_ptr<SXKorvObj> clone() const override { return cloneOf(*this); }
    int32_t hitTest(SPoint p) const override;
    int32_t areaIntersect(const SRect& area) const override;
    bool areaContains(const SRect& area) const override;
    int32_t connectionPointCount() const override { return 2; }
    SPoint connectionPoint(int32_t index) const override { return index == 0 ? m_p1 : m_p2; }
    SRect boundingArea() const override;
    SRect anchorArea() const override { return rectOfPoints(m_p1, m_p2); }

    const std::string& text() const { return m_text; }
    void setText(std::string_view text) { m_text = text; }
    bool isHorizontal() const { return m_horizontal; }
    void setHorizontal(bool horizontal) { m_horizontal = horizontal; }
    // 0..3; anything else is stored as 0.
    int32_t tagType() const { return m_tagType; }
    void setTagType(int32_t type);

    // Sets p2 from p1, the direction and the text length.
    void updateExtent();
    // Frame length for a text of `bytes` bytes.
    static int32_t extentFor(size_t bytes);

protected:
    uint32_t readField(std::string_view key, std::string_view value,
                       std::optional<SPoint> offset) override;

private:
    std::string m_text;
    bool m_horizontal = true;
    int32_t m_tagType = 0;
};
