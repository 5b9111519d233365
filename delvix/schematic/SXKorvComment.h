#pragma once

#include "schematic/SXKorvObj.h"

// A free text with its own font, standing at p1; a width of -1 means no wrapping width.
class SXKorvComment : public SXKorvObj {
public:
    static constexpr std::string_view kSection = "COMMENT";
    static constexpr int32_t kDefaultFontSize = 12;
    static constexpr int32_t kMinFontSize = 4;
    static constexpr int32_t kMaxFontSize = 80;
    static constexpr int32_t kMinWidth = 50;

    bool classFlag1() const override { return true; }
    bool classFlag2() const override { return true; }
    SXKorvKind kind() const override { return SXKorvKind::Comment; }
    int32_t kindBit() const override { return SXKorvKindBit::kComment; }
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
    const std::string& fontName() const { return m_fontName; }
    void setFontName(std::string_view name) { m_fontName = name; }
    int32_t fontSize() const { return m_fontSize; }
    // Kept within 4..80.
    void setFontSize(int32_t size);
    bool isBold() const { return m_bold; }
    bool isItalic() const { return m_italic; }
    bool isUnderline() const { return m_underline; }
    bool isStrikeOut() const { return m_strikeOut; }
    void setFontStyle(bool bold, bool italic, bool underline, bool strikeOut);
    int32_t width() const { return m_width; }
    // 0..49 become 50; negative values (no width) and 50 or more are kept.
    void setWidth(int32_t width);
    bool isTag() const { return m_tag; }
    void setTag(bool tag) { m_tag = tag; }
    bool isExtentValid() const { return m_extentValid; }

protected:
    uint32_t readField(std::string_view key, std::string_view value,
                       std::optional<SPoint> offset) override;

private:
    void resetFont();

    std::string m_text;
    std::string m_fontName;
    int32_t m_fontSize = kDefaultFontSize;
    bool m_bold = false;
    bool m_italic = false;
    bool m_underline = false;
    bool m_strikeOut = false;
    int32_t m_width = -1;
    bool m_tag = false;
    bool m_extentValid = false;
};
