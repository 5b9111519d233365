#include "schematic/SXKorvSheetInfo.h"

#include "tagtext/STagField.h"
#include "tagtext/STagWriter.h"

namespace {
enum : uint32_t { kReqW = 1, kReqH = 2 };
}

void SXKorvSheetInfo::setSheetSize(SSize size) {
    if (size.width >= 500 && size.width <= 5000)
        m_p1.x = size.width;
    if (size.height >= 400 && size.height <= 4000)
        m_p1.y = size.height;
}

void SXKorvSheetInfo::setVisibleLayers(int32_t mask) {
    mask &= 0xFF;
    m_visibleLayers = mask == 0 ? 255 : mask;
}

void SXKorvSheetInfo::setInitialPosition(int32_t pos) {
    m_initialPosition = pos >= 1 && pos <= 3 ? pos : 0;
}

uint32_t SXKorvSheetInfo::readField(std::string_view key, std::string_view value,
                                    std::optional<SPoint>) {
    if (key == "PROJ") {
        m_projectName.assign(value);
        return 0;
    }
    const int32_t v = STagField::toInt(value);
    if (key == "W") {
        setSheetSize({v, 0});
        return kReqW;
    }
    if (key == "H") {
        setSheetSize({0, v});
        return kReqH;
    }
    if (key == "EL")
        setLayer(v);
    else if (key == "VL")
        setVisibleLayers(v);
    else if (key == "PAGES")
        m_pageCount = v;
    else if (key == "PAGE")
        m_pageNumber = v;
    else if (key == "VER")
        m_fileVersion = v;
    else if (key == "INITPOS")
        setInitialPosition(v);
    return 0;
}

bool SXKorvSheetInfo::readSection(STagReader& reader, std::optional<SPoint> offset, SXKorvDoc*) {
    return readCommon(reader, offset, {kSection, kReqW | kReqH, true});
}

bool SXKorvSheetInfo::writeSection(STagWriter& writer, std::optional<SPoint>) const {
    writer.writeWord("+SHEETINFO");
    writer.writeInt("EL", m_layer);
    writer.writeInt("VL", m_visibleLayers);
    writer.writeInt("W", m_p1.x);
    writer.writeInt("H", m_p1.y);
    writer.writeText("PROJ", m_projectName);
    writer.writeInt("PAGES", m_pageCount);
    writer.writeInt("PAGE", m_pageNumber);
    writer.writeInt("VER", kWrittenVersion);
    writer.writeInt("INITPOS", m_initialPosition);
    writer.writeWord("-SHEETINFO");
    writer.endLine();
    return true;
}
