#include "engine/SSearchResult.h"

#include "engine/SSearchParams.h"

std::string_view searchTypeWord(int32_t kindBit) {
    switch (kindBit) {
    case SSearchTarget::kTag:
        return "Tag";
    case SSearchTarget::kLabel:
        return "Label";
    case SSearchTarget::kComment:
        return "Comment";
    case SSearchTarget::kValue:
        return "Value";
    case SSearchTarget::kNameInLib:
        return "NameInLib";
    case SSearchTarget::kRefNum:
        return "RefNum";
    case SSearchTarget::kMfr:
        return "Mfr";
    case SSearchTarget::kMfrPn:
        return "MfrPn";
    case SSearchTarget::kPkg:
        return "Pkg";
    case SSearchTarget::kNote:
        return "Note";
    default:
        return {};
    }
}
