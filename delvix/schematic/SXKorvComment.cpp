#include "schematic/SXKorvComment.h"

#include "tagtext/STagField.h"
#include "tagtext/STagWriter.h"

#include <algorithm>

namespace {
enum : uint32_t { kReqX = SXKorvObj::kPointX, kReqY = SXKorvObj::kPointY, kReqS = 4, kReqAll = 7 };
}

void SXKorvComment::setFontSize(int32_t size) {
    m_fontSize = std::clamp(size, kMinFontSize, kMaxFontSize);
    m_extentValid = false;
}

void SXKorvComment::setFontStyle(bool bold, bool italic, bool underline, bool strikeOut) {
    m_bold = bold;
    m_italic = italic;
    m_underline = underline;
    m_strikeOut = strikeOut;
}

void SXKorvComment::setWidth(int32_t width) {
    m_width = width >= 0 && width < kMinWidth ? kMinWidth : width;
}

void SXKorvComment::resetFont() {
    m_fontName.clear();
    setFontSize(kDefaultFontSize);
    setFontStyle(false, false, false, false);
}

uint32_t SXKorvComment::readField(std::string_view key, std::string_view value,
                                  std::optional<SPoint> offset) {
    if (const uint32_t bit = readPointField(key, value, offset))
        return bit;
    if (key == "S") {
        m_text.assign(value);
        return kReqS;
    }
    if (key == "W") {
        setWidth(STagField::toInt(value));
    } else if (key == "FN") {
        m_fontName.assign(value);
    } else if (key == "TAG") {
        m_tag = STagField::toInt(value) != 0;
    } else if (key == "FS") {
        setFontSize(STagField::toInt(value));
    } else if (key == "FF") {
        for (const char c : value) {
            m_bold |= c == 'B';
            m_italic |= c == 'I';
            m_underline |= c == 'U';
            m_strikeOut |= c == 'S';
        }
    } else {
        readLayerField(key, value);
    }
    return 0;
}

bool SXKorvComment::readSection(STagReader& reader, std::optional<SPoint> offset, SXKorvDoc*) {
    resetFont();
    m_width = -1;
    m_tag = false;
    return readCommon(reader, offset, {kSection, kReqAll, false});
}

bool SXKorvComment::writeSection(STagWriter& writer, std::optional<SPoint> offset) const {
    writer.writeWord("+COMMENT");
    writer.writeInt("L", m_layer);
    writer.writeInt("X", unoffsetX(m_p1.x, offset));
    writer.writeInt("Y", unoffsetY(m_p1.y, offset));
    writer.writeInt("W", m_width);
    writer.writeText("S", m_text);
    writer.writeText("FN", m_fontName);
    writer.writeInt("TAG", m_tag ? 1 : 0);
    writer.writeInt("FS", m_fontSize);
    char letters[4];
    size_t n = 0;
    if (m_bold)
        letters[n++] = 'B';
    if (m_italic)
        letters[n++] = 'I';
    if (m_underline)
        letters[n++] = 'U';
    if (m_strikeOut)
        letters[n++] = 'S';
    writer.writeText("FF", std::string_view(letters, n));
    writer.writeWord("-COMMENT");
    writer.endLine();
    return true;
}

int32_t SXKorvComment::hitTest(SPoint p) const {
    return pointHitTest(p);
}

int32_t SXKorvComment::areaIntersect(const SRect& area) const {
    return pointAreaIntersect(area);
}

bool SXKorvComment::areaContains(const SRect& area) const {
    return pointAreaContains(area);
}
