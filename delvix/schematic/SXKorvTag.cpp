#include "schematic/SXKorvTag.h"

#include "schematic/SXKorvGeometry.h"
#include "tagtext/STagField.h"
#include "tagtext/STagWriter.h"

#include <array>

namespace {
enum : uint32_t { kReqX = 1, kReqY = 2, kReqD = 4, kReqT = 8, kReqS = 16, kReqAll = 31 };
constexpr std::array<int32_t, 13> kShortExtents = {20, 20, 30, 40,  50,  60, 70,
                                                   80, 80, 90, 100, 110, 120};
} // namespace

bool SXKorvTag::classFlag3() const {
    return m_horizontal && (m_tagType == 1 || m_tagType == 2);
}

void SXKorvTag::setTagType(int32_t type) {
    m_tagType = type >= 1 && type <= 3 ? type : 0;
}

int32_t SXKorvTag::extentFor(size_t bytes) {
    if (bytes < kShortExtents.size())
        return kShortExtents[bytes];
    // Words are at most 32768 bytes, but texts set by code may be longer: saturate.
    const int64_t w = ((8 * int64_t(bytes) + 29) / 10) * 10;
    return w > INT32_MAX ? INT32_MAX / 10 * 10 : static_cast<int32_t>(w);
}

void SXKorvTag::updateExtent() {
    const int32_t w = extentFor(m_text.size());
    m_p2 = m_horizontal ? SPoint{addWrap(m_p1.x, w), m_p1.y} : SPoint{m_p1.x, subWrap(m_p1.y, w)};
}

uint32_t SXKorvTag::readField(std::string_view key, std::string_view value,
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
    if (key == "T") {
        setTagType(STagField::toInt(value));
        return kReqT;
    }
    if (key == "S") {
        m_text.assign(value);
        return kReqS;
    }
    readLayerField(key, value);
    return 0;
}

bool SXKorvTag::readSection(STagReader& reader, std::optional<SPoint> offset, SXKorvDoc*) {
    if (!readCommon(reader, offset, {kSection, kReqAll, true}))
        return false;
    updateExtent();
    return true;
}

bool SXKorvTag::writeSection(STagWriter& writer, std::optional<SPoint> offset) const {
    writer.writeWord("+TAG");
    writer.writeInt("L", m_layer);
    writer.writeInt("X", unoffsetX(m_p1.x, offset));
    writer.writeInt("Y", unoffsetY(m_p1.y, offset));
    writer.writeInt("D", m_horizontal ? 1 : 0);
    writer.writeInt("T", m_tagType);
    writer.writeText("S", m_text);
    writer.writeWord("-TAG");
    writer.endLine();
    return true;
}

SRect SXKorvTag::boundingArea() const {
    // The frame is 10 units thick around the line from p1 to p2.
    SRect r = rectOfPoints(m_p1, m_p2);
    if (m_horizontal) {
        r.top = subWrap(r.top, 5);
        r.bottom = addWrap(r.bottom, 5);
    } else {
        r.left = subWrap(r.left, 5);
        r.right = addWrap(r.right, 5);
    }
    return r.normalized();
}

int32_t SXKorvTag::hitTest(SPoint p) const {
    return boundingArea().contains(p) ? 1 : 0;
}

int32_t SXKorvTag::areaIntersect(const SRect& area) const {
    return area.normalized().intersects(boundingArea()) ? 3 : 0;
}

bool SXKorvTag::areaContains(const SRect& area) const {
    return area.normalized().contains(boundingArea());
}
