#include "schematic/SXKorvJunc.h"

#include "schematic/SXKorvGeometry.h"
#include "tagtext/STagField.h"
#include "tagtext/STagWriter.h"

namespace {
enum : uint32_t { kReqX = 1, kReqY = 2 };
}

uint32_t SXKorvJunc::readField(std::string_view key, std::string_view value,
                               std::optional<SPoint> offset) {
    if (key == "X") {
        m_p1.x = offsetX(STagField::toInt(value), offset);
        return kReqX;
    }
    if (key == "Y") {
        m_p1.y = offsetY(STagField::toInt(value), offset);
        return kReqY;
    }
    readLayerField(key, value);
    return 0;
}

bool SXKorvJunc::readSection(STagReader& reader, std::optional<SPoint> offset, SXKorvDoc*) {
    return readCommon(reader, offset, {kSection, kReqX | kReqY, false});
}

bool SXKorvJunc::writeSection(STagWriter& writer, std::optional<SPoint> offset) const {
    writer.writeWord("+JUNCTION");
    writer.writeInt("L", m_layer);
    writer.writeInt("X", unoffsetX(m_p1.x, offset));
    writer.writeInt("Y", unoffsetY(m_p1.y, offset));
    writer.writeWord("-JUNCTION");
    writer.endLine();
    return true;
}

int32_t SXKorvJunc::hitTest(SPoint p) const {
    return SXKorvGeometry::nearPoint(m_p1, p) ? 1 : 0;
}

int32_t SXKorvJunc::areaIntersect(const SRect& area) const {
    return area.normalized().contains(m_p1) ? 3 : 0;
}

bool SXKorvJunc::areaContains(const SRect& area) const {
    return area.normalized().contains(m_p1);
}
