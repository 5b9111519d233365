#include "schematic/SXKorvLine.h"

#include "schematic/SXKorvGeometry.h"
#include "tagtext/STagField.h"
#include "tagtext/STagWriter.h"

SPoint SXKorvLine::p1() const {
    return (m_selection & 3) == SXKorvSelect::kP2Only ? m_p2 : m_p1;
}

int32_t SXKorvLine::hitTest(SPoint p) const {
    return SXKorvGeometry::segmentHit(m_p1, m_p2, p);
}

int32_t SXKorvLine::areaIntersect(const SRect& area) const {
    return SXKorvGeometry::segmentMeetsRect(m_p1, m_p2, area.normalized()) ? 3 : 0;
}

bool SXKorvLine::areaContains(const SRect& area) const {
    const SRect a = area.normalized();
    return a.contains(m_p1) && a.contains(m_p2);
}

uint32_t SXKorvLine::readField(std::string_view key, std::string_view value,
                               std::optional<SPoint> offset) {
    if (key.size() == 2 && (key[0] == 'X' || key[0] == 'Y') && (key[1] == '1' || key[1] == '2')) {
        const int32_t v = STagField::toInt(value);
        if (key == "X1") {
            m_p1.x = offsetX(v, offset);
            return kReqX1;
        }
        if (key == "Y1") {
            m_p1.y = offsetY(v, offset);
            return kReqY1;
        }
        if (key == "X2") {
            m_p2.x = offsetX(v, offset);
            return kReqX2;
        }
        m_p2.y = offsetY(v, offset);
        return kReqY2;
    }
    readLayerField(key, value);
    return 0;
}

bool SXKorvLine::readLineSection(STagReader& reader, std::optional<SPoint> offset,
                                 std::string_view section) {
    return readCommon(reader, offset, {section, kReqEnds, false});
}

void SXKorvLine::writeEnds(STagWriter& writer, std::optional<SPoint> offset) const {
    writer.writeInt("L", m_layer);
    writer.writeInt("X1", unoffsetX(m_p1.x, offset));
    writer.writeInt("Y1", unoffsetY(m_p1.y, offset));
    writer.writeInt("X2", unoffsetX(m_p2.x, offset));
    writer.writeInt("Y2", unoffsetY(m_p2.y, offset));
}

bool SXKorvLine::writeLineSection(STagWriter& writer, std::optional<SPoint> offset,
                                  std::string_view section) const {
    std::string word;
    word.reserve(section.size() + 1);
    word.assign("+").append(section);
    writer.writeWord(word);
    writeEnds(writer, offset);
    word[0] = '-';
    writer.writeWord(word);
    writer.endLine();
    return true;
}

bool SXKorvWire::readSection(STagReader& reader, std::optional<SPoint> offset, SXKorvDoc*) {
    return readLineSection(reader, offset, kSection);
}

bool SXKorvWire::writeSection(STagWriter& writer, std::optional<SPoint> offset) const {
    return writeLineSection(writer, offset, kSection);
}

std::unique_ptr<SXKorvObj> SXKorvWire::clone() const {
    return cloneOf(*this);
}

bool SXKorvBus::readSection(STagReader& reader, std::optional<SPoint> offset, SXKorvDoc*) {
    return readLineSection(reader, offset, kSection);
}

bool SXKorvBus::writeSection(STagWriter& writer, std::optional<SPoint> offset) const {
    return writeLineSection(writer, offset, kSection);
}

std::unique_ptr<SXKorvObj> SXKorvBus::clone() const {
    return cloneOf(*this);
}
