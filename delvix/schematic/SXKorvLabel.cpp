#include "schematic/SXKorvLabel.h"

#include "schematic/SXKorvGeometry.h"
#include "tagtext/STagField.h"
#include "tagtext/STagWriter.h"

namespace {
enum : uint32_t { kReqX = 1, kReqY = 2, kReqD = 4, kReqS = 8, kReqAll = 15 };
}

uint32_t SXKorvLabel::readField(std::string_view key, std::string_view value,
                                std::optional<SPoint> offset) {
    if (key == "X") {
        m_p1.x = offsetX(STagField::toInt(value), offset);
        return kReqX;
    }
    if (key == "Y") {
        m_p1.y = offsetY(STagField::toInt(value), offset);
        return kReqY;
    }
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
    return SXKorvGeometry::nearPoint(m_p1, p) ? 1 : 0;
}

int32_t SXKorvLabel::areaIntersect(const SRect& area) const {
    return area.normalized().contains(m_p1) ? 3 : 0;
}

bool SXKorvLabel::areaContains(const SRect& area) const {
    return area.normalized().contains(m_p1);
}
