#include "schematic/SXKorvJunc.h"

#include "tagtext/STagField.h"
#include "tagtext/STagWriter.h"

namespace {
enum : uint32_t { kReqX = SXKorvObj::kPointX, kReqY = SXKorvObj::kPointY };
}

uint32_t SXKorvJunc::readField(std::string_view key, std::string_view value,
                               std::optional<SPoint> offset) {
    if (const uint32_t bit = readPointField(key, value, offset))
        return bit;
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
    return pointHitTest(p);
}

int32_t SXKorvJunc::areaIntersect(const SRect& area) const {
    return pointAreaIntersect(area);
}

bool SXKorvJunc::areaContains(const SRect& area) const {
    return pointAreaContains(area);
}
