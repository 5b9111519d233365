#include "schematic/SXKorvMarkerLine.h"

#include "tagtext/STagField.h"
#include "tagtext/STagWriter.h"

#include <algorithm>

void SXKorvMarkerLine::setWidth(int32_t width) {
    m_width = std::clamp(width, kMinWidth, kMaxWidth);
}

uint32_t SXKorvMarkerLine::readField(std::string_view key, std::string_view value,
                                     std::optional<SPoint> offset) {
    if (key == "WDT") {
        setWidth(STagField::toInt(value));
        return 0;
    }
    if (key == "CLR") {
        m_colour = STagField::toInt(value);
        return 0;
    }
    return SXKorvLine::readField(key, value, offset);
}

bool SXKorvMarkerLine::readSection(STagReader& reader, std::optional<SPoint> offset, SXKorvDoc*) {
    return readCommon(reader, offset, {kSection, kReqEnds, false});
}

bool SXKorvMarkerLine::writeSection(STagWriter& writer, std::optional<SPoint> offset) const {
    writer.writeWord("+ALINE");
    writeEnds(writer, offset);
    writer.writeInt("STL", 0);
    writer.writeInt("WDT", m_width);
    writer.writeInt("CLR", m_colour);
    writer.writeWord("-ALINE");
    writer.endLine();
    return true;
}

std::unique_ptr<SXKorvObj> SXKorvMarkerLine::clone() const {
    return cloneOf(*this);
}
