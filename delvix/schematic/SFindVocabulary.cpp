#include "schematic/SFindVocabulary.h"

#include "tagtext/SAscii.h"

#include <string>

namespace {

constexpr std::string_view kUtf8Aliases[] = {
    "utf8", "cp1252", "windows1252", "iso88591", "latin1", "ascii", "usascii", "ansix341968",
};
constexpr std::string_view kShiftJisAliases[] = {
    "shiftjis", "sjis", "cp932", "windows31j", "mskanji", "ibm943",
};

constexpr SFindEncodingName kEncodings[] = {
    {SXKorvEncoding::Utf8, "UTF-8", kUtf8Aliases},
    {SXKorvEncoding::ShiftJis, "Shift_JIS", kShiftJisAliases},
};

// Lower-case letters and digits only: "Shift_JIS", "shift-jis" and "SJIS" compare alike.
std::string normalisedName(std::string_view name) {
    std::string out;
    for (const char c : name) {
        const char lower = lowerAscii(c);
        if ((lower >= 'a' && lower <= 'z') || (lower >= '0' && lower <= '9'))
            out.push_back(lower);
    }
    return out;
}

} // namespace

const SFindTarget* findTargetByBit(int32_t bit) {
    for (const SFindTarget& target : kFindTargets) {
        if (target.bit == bit)
            return &target;
    }
    return nullptr;
}

const SFindTarget* findTargetByOption(std::string_view name) {
    for (const SFindTarget& target : kFindTargets) {
        if (target.optionName == name)
            return &target;
    }
    return nullptr;
}

std::span<const SFindEncodingName> findEncodings() {
    return kEncodings;
}

std::string_view findEncodingName(SXKorvEncoding encoding) {
    for (const SFindEncodingName& e : kEncodings) {
        if (e.encoding == encoding)
            return e.name;
    }
    return {};
}

std::optional<SXKorvEncoding> findEncodingFromName(std::string_view name) {
    const std::string n = normalisedName(name);
    for (const SFindEncodingName& e : kEncodings) {
        for (const std::string_view alias : e.aliases) {
            if (n == alias)
                return e.encoding;
        }
    }
    return std::nullopt;
}
