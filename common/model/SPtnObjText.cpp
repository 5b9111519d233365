#include "model/SPtnObjText.h"

#include "tagtext/STagField.h"
#include "tagtext/STagReader.h"
#include "tagtext/STagWriter.h"

#include <algorithm>

std::unique_ptr<SPtnObj> SPtnObjText::duplicate() const {
    return std::make_unique<SPtnObjText>(*this);
}

void SPtnObjText::move(int32_t dx, int32_t dy) {
    m_position += SPoint(dx, dy);
}

void SPtnObjText::setNode(int32_t /*index*/, int32_t x, int32_t y) {
    m_position = SPoint(x, y);
}

void SPtnObjText::mirror() {
    mirrorAt(boundingRect().center().x);
}

void SPtnObjText::mirrorAt(int32_t x) {
    m_position = mirrorPoint(m_position, x);
    if (m_horizontal) {
        if (!(m_alignment & kAlignCenter))
            m_alignment ^= kAlignEnd;
    } else if (!(m_alignment & kAlignMiddle)) {
        m_alignment ^= kAlignTop;
    }
}

void SPtnObjText::rotate() {
    rotateAt(boundingRect().center());
}

void SPtnObjText::rotateAt(SPoint center) {
    m_position = rotatePoint(m_position, center);
    if (m_horizontal) {
        if (!(m_alignment & kAlignCenter))
            m_alignment ^= kAlignEnd;
        if (!(m_alignment & kAlignMiddle))
            m_alignment ^= kAlignTop;
    }
    m_horizontal = !m_horizontal;
}

bool SPtnObjText::hitTest(SPoint p) const {
    return boundingRect().contains(p);
}

bool SPtnObjText::isInside(const SRect& r) const {
    const SRect b = boundingRect();
    return r.contains(b.topLeft()) && r.contains(b.bottomRight());
}

SRect SPtnObjText::boundingRect() const {
    // Without a measured extent: 8 units per byte, 8 high.
    const int64_t w = m_extentKnown ? m_extent.width : 8 * static_cast<int64_t>(m_text.size());
    const int64_t h = m_extentKnown ? m_extent.height : 8;
    int64_t across = 0;
    const uint32_t vertical = m_alignment & (kAlignTop | kAlignMiddle);
    if (vertical == kAlignTop)
        across = h;
    else if (m_fontName.empty())
        across = vertical == 0 ? h / 4 : h * 5 / 8;
    else
        across = vertical == 0 ? 0 : h / 2;
    // Along the writing direction: where the text starts and ends relative to the position.
    int64_t from = 0;
    switch (m_alignment & (kAlignEnd | kAlignCenter)) {
    case kAlignCenter:
        from = -(w / 2);
        break;
    case kAlignEnd:
        from = -w;
        break;
    default:
        break;
    }
    const int64_t x = m_position.x;
    const int64_t y = m_position.y;
    if (m_horizontal)
        return {clampToInt32(x + from), clampToInt32(y + across - h), clampToInt32(x + from + w),
                clampToInt32(y + across)};
    // Vertical text runs upwards from its position.
    return {clampToInt32(x + across - h), clampToInt32(y - from - w), clampToInt32(x + across),
            clampToInt32(y - from)};
}

void SPtnObjText::applyField(const STagField& field, bool& seenX, bool& seenY, bool& seenText) {
    const std::string_view key = field.key;
    if (key == "S") {
        setText(std::string(field.value));
        seenText = true;
    } else if (key == "FN") {
        setFontName(std::string(field.value));
    } else if (key == "FF") {
        for (const char c : field.value) {
            if (c == 'B')
                setBold(true);
            else if (c == 'I')
                setItalic(true);
            else if (c == 'U')
                setUnderline(true);
            else if (c == 'S')
                setStrikeOut(true);
        }
    } else {
        const int32_t v = STagField::toInt(field.value);
        if (key == "X") {
            m_position.x = v;
            seenX = true;
        } else if (key == "Y") {
            m_position.y = v;
            seenY = true;
        } else if (key == "D") {
            m_horizontal = v != 0;
        } else if (key == "A") {
            m_alignment = static_cast<uint32_t>(v);
        } else if (key == "FS") {
            setFontSize(v);
        }
    }
}

bool SPtnObjText::read(STagReader& reader) {
    bool seenX = false;
    bool seenY = false;
    bool seenText = false;
    SectionFields fields(reader, "-TX");
    STagField field;
    for (;;) {
        switch (fields.next(field)) {
        case SectionStep::End:
        case SectionStep::Failed:
            return false;
        case SectionStep::Closed:
            return seenX && seenY && seenText;
        case SectionStep::Field:
            applyField(field, seenX, seenY, seenText);
            break;
        }
    }
}

bool SPtnObjText::write(STagWriter& writer, std::optional<SPoint> origin) const {
    std::string styles;
    if (m_bold)
        styles += 'B';
    if (m_italic)
        styles += 'I';
    if (m_underline)
        styles += 'U';
    if (m_strikeOut)
        styles += 'S';
    bool ok = writer.writeWord("+TX") == 0;
    ok &= writePoint(writer, m_position, origin);
    ok &= writer.writeInt("A", static_cast<int32_t>(m_alignment)) == 0;
    ok &= writer.writeInt("D", m_horizontal ? 1 : 0) == 0;
    ok &= writer.writeText("S", m_text) == 0;
    ok &= writer.writeText("FN", m_fontName) == 0;
    ok &= writer.writeInt("FS", m_fontSize) == 0;
    ok &= writer.writeText("FF", styles) == 0;
    ok &= writer.writeWord("-TX") == 0;
    ok &= writer.endLine() == 0;
    return ok;
}

void SPtnObjText::setText(std::string text) {
    m_text = std::move(text);
    m_extentKnown = false;
}

void SPtnObjText::setFontName(std::string name) {
    m_fontName = std::move(name);
    m_extentKnown = false;
}

void SPtnObjText::setFontSize(int32_t size) {
    m_fontSize = std::clamp(size, kMinFontSize, kMaxFontSize);
    m_extentKnown = false;
}

void SPtnObjText::setBold(bool on) {
    m_bold = on;
    m_extentKnown = false;
}

void SPtnObjText::setItalic(bool on) {
    m_italic = on;
    m_extentKnown = false;
}

void SPtnObjText::setUnderline(bool on) {
    m_underline = on;
    m_extentKnown = false;
}

void SPtnObjText::setStrikeOut(bool on) {
    m_strikeOut = on;
    m_extentKnown = false;
}

void SPtnObjText::setExtent(int32_t width, int32_t height) {
    m_extent = {width, height};
    m_extentKnown = true;
}
