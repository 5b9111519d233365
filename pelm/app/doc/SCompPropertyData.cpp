#include "doc/SCompPropertyData.h"

#include "model/SCompInfo.h"
#include "model/SPtn.h"

bool SCompPropertyData::isValidComponentName(std::string_view name) {
    if (name.empty() || name.size() > static_cast<size_t>(kMaxNameLength))
        return false;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < '!' || byte > '~' || byte == '{' || byte == '}')
            return false;
    }
    return true;
}

SCompPropertyData::Error SCompPropertyData::validate() const {
    const auto inRange = [](int32_t v) { return v >= 1 && v <= kMaxValue; };
    if (!isValidComponentName(name))
        return Error::Name;
    if (!inRange(width) || !inRange(height))
        return Error::Size;
    if (!inRange(blockCount))
        return Error::BlockCount;
    return Error::None;
}

SCompPropertyData SCompPropertyData::fromComponent(std::string_view entryName,
                                                   const SCompInfo& info) {
    SCompPropertyData data;
    data.name = entryName;
    data.number = info.referencePrefix().value_or(std::string());
    data.width = info.size().width;
    data.height = info.size().height;
    data.blockCount = info.blockCount();
    data.usePattern = info.pattern() != nullptr;
    data.noBitPattern = info.pattern() && !info.pattern()->hasBitPattern();
    data.note = info.note();
    data.manufacturer = info.manufacturer();
    data.partNumber = info.manufacturerPartNumber();
    data.package = info.package();
    return data;
}

void SCompPropertyData::applyTo(SCompInfo& info, bool existing) const {
    info.setSize(SSize{width, height}, usePattern, noBitPattern);
    if (existing)
        info.usePattern(usePattern, noBitPattern);
    info.setReferencePrefix(number);
    info.setBlockCount(blockCount);
    info.setNote(note);
    info.setManufacturer(manufacturer);
    info.setManufacturerPartNumber(partNumber);
    info.setPackage(package);
}
