#include "schematic/SXKorvEntry.h"

#include <utility>

void SXKorvEntry::normalize() {
    if (m_p1.y < m_p2.y)
        std::swap(m_p1, m_p2);
    m_p2.x = m_p1.x < m_p2.x ? addWrap(m_p1.x, 10) : subWrap(m_p1.x, 10);
    m_p2.y = subWrap(m_p1.y, 10);
}

bool SXKorvEntry::readLineSection(STagReader& reader, std::optional<SPoint> offset,
                                  std::string_view section) {
    if (!SXKorvLine::readLineSection(reader, offset, section))
        return false;
    normalize();
    return true;
}

bool SXKorvEntry::writeLineSection(STagWriter& writer, std::optional<SPoint> offset,
                                   std::string_view section) const {
    if (m_p1.y >= m_p2.y)
        return SXKorvLine::writeLineSection(writer, offset, section);
    SXKorvEntry swapped(*this);
    std::swap(swapped.m_p1, swapped.m_p2);
    return swapped.SXKorvLine::writeLineSection(writer, offset, section);
}

bool SXKorvEntry::readSection(STagReader& reader, std::optional<SPoint> offset, SXKorvDoc*) {
    return readLineSection(reader, offset, kSection);
}

bool SXKorvEntry::writeSection(STagWriter& writer, std::optional<SPoint> offset) const {
    return writeLineSection(writer, offset, kSection);
}

std::unique_ptr<SXKorvObj> SXKorvEntry::clone() const {
    return cloneOf(*this);
}

bool SXKorvBusEntry::readSection(STagReader& reader, std::optional<SPoint> offset, SXKorvDoc*) {
    return readLineSection(reader, offset, kSection);
}

bool SXKorvBusEntry::writeSection(STagWriter& writer, std::optional<SPoint> offset) const {
    return writeLineSection(writer, offset, kSection);
}

std::unique_ptr<SXKorvObj> SXKorvBusEntry::clone() const {
    return cloneOf(*this);
}
