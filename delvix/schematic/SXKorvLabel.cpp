#include "schematic/SXKorvLabel.h"

#include "tagtext/STagField.h"
#include "tagtext/STagWriter.h"

namespace {
enum : uint32_t {
    kReqX = SXKorvObj::kPointX,
    kReqY = SXKorvObj::kPointY,
    kReqD = 4,
    kReqS = 8,
    kReqAll = 15
};
}

uint32_t SXKorvLabel::readField(std::string_view key, std::string_view value,
                                std::optional<SPoint> offset) {
    if (const uint32_t bit = readPointField(key, value, offset))
        return bit;
    if (key == "D") {
        m_horizontal = STagField::toInt(value) != 0;
        return kReqD;
    }
    if (key == "S") {
        m_text.assign(value);
        return kReqS;
    }
    readLayerField(key, value);
    return 0;
}

bool SXKorvLabel::readSection(STagReader& reader, std::optional<SPoint> offset, SXKorvDoc*) {
    return readCommon(reader, offset, {kSection, kReqAll, false});
}

bool SXKorvLabel::writeSection(STagWriter& writer, std::optional<SPoint> offset) const {
    writer.writeWord("+LABEL");
    writer.writeInt("L", m_layer);
    writer.writeInt("X", unoffsetX(m_p1.x, offset));
    writer.writeInt("Y", unoffsetY(m_p1.y, offset));
    writer.writeInt("D", m_horizontal ? 1 : 0);
    writer.writeText("S", m_text);
    writer.writeWord("-LABEL");
    writer.endLine();
    return true;
}

int32_t SXKorvLabel::hitTest(SPoint p) const {
    return pointHitTest(p);
}

int32_t SXKorvLabel::areaIntersect(const SRect& area) const {
    return pointAreaIntersect(area);
}

bool SXKorvLabel::areaContains(const SRect& area) const {
    return pointAreaContains(area);
}
