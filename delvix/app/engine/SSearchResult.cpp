#include "engine/SSearchResult.h"

#include "schematic/SFindVocabulary.h"

std::string_view searchTypeWord(int32_t kindBit) {
    const SFindTarget* target = findTargetByBit(kindBit);
    return target ? target->typeWord : std::string_view{};
}

const std::string& SResultPath::empty() {
    static const std::string none;
    return none;
}
