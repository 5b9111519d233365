#pragma once

#include "model/SPtnObj.h"

#include <string>
#include <utility>

// A text placed at a reference point. Does not use the base's style, width and fill.
class SPtnObjText : public SPtnObj {
public:
    // Alignment bits 0-1 along the writing direction, bits 2-3 across it.
    static constexpr uint32_t kAlignEnd = 0x01;
    static constexpr uint32_t kAlignCenter = 0x02;
    static constexpr uint32_t kAlignTop = 0x04;
    static constexpr uint32_t kAlignMiddle = 0x08;
    static constexpr int32_t kMinFontSize = 4;
    static constexpr int32_t kMaxFontSize = 80;
    static constexpr int32_t kDefaultFontSize = 10;

    SPtnObjText() = default;

    SPtnObjId id() const override { return SPtnObjId::Text; }
    std::unique_ptr<SPtnObj> duplicate() const override;
    size_t storageSize() const override { return sizeof(SPtnObjText); }
    SPtnObj* relocate(void* place) override { return relocateAs(std::move(*this), place); }
    bool isValid() override { return !m_text.empty(); }
    void move(int32_t dx, int32_t dy) override;
    int32_t nodeCount() const override { return 1; }
    SPoint node(int32_t /*index*/) const override { return m_position; }
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

    SPoint position() const { return m_position; }
    void setPosition(SPoint p) { m_position = p; }
    const std::string& text() const { return m_text; }
    void setText(std::string text);
    bool isHorizontal() const { return m_horizontal; }
    void setHorizontal(bool horizontal) { m_horizontal = horizontal; }
    uint32_t alignment() const { return m_alignment; }
    void setAlignment(uint32_t alignment) { m_alignment = alignment; }

    const std::string& fontName() const { return m_fontName; }
    void setFontName(std::string name);
    int32_t fontSize() const { return m_fontSize; }
    // Held to 4 to 80.
    void setFontSize(int32_t size);
    bool bold() const { return m_bold; }
    void setBold(bool on);
    bool italic() const { return m_italic; }
    void setItalic(bool on);
    bool underline() const { return m_underline; }
    void setUnderline(bool on);
    bool strikeOut() const { return m_strikeOut; }
    void setStrikeOut(bool on);

    // The drawn size, measured by the renderer; any change of text or font forgets it.
    bool extentKnown() const { return m_extentKnown; }
    SSize extent() const { return m_extent; }
    void setExtent(int32_t width, int32_t height);

private:
    void applyField(const STagField& field, bool& seenX, bool& seenY, bool& seenText);

    SPoint m_position;
    std::string m_text;
    bool m_horizontal = true;
    uint32_t m_alignment = 0;
    bool m_extentKnown = false;
    SSize m_extent;
    std::string m_fontName;
    int32_t m_fontSize = kDefaultFontSize;
    bool m_bold = false;
    bool m_italic = false;
    bool m_underline = false;
    bool m_strikeOut = false;
};
