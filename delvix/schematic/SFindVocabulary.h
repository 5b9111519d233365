#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

// How searched texts are split into characters. Utf8 also serves single-byte code pages: both
// compare byte by byte (a valid UTF-8 pattern can never match inside a character). ShiftJis
// keeps double-byte characters whole.
enum class SXKorvEncoding { Utf8, ShiftJis };

// Which texts are compared: the "TargetFlag" bits.
namespace SSearchTarget {
constexpr int32_t kTag = 1;
constexpr int32_t kLabel = 2;
constexpr int32_t kComment = 4;
constexpr int32_t kValue = 8;
constexpr int32_t kNameInLib = 16;
constexpr int32_t kRefNum = 32;
constexpr int32_t kMfr = 64;
constexpr int32_t kMfrPn = 128;
constexpr int32_t kPkg = 256;
constexpr int32_t kNote = 512;
constexpr int32_t kAll = 1023;
} // namespace SSearchTarget

// Everything that names one kind of searched text.
struct SFindTarget {
    int32_t bit;
    std::string_view typeWord;   // the type column of a hit
    std::string_view optionName; // in delvix-cli's --targets list
    std::string_view caption;    // its check box in the "Find Option" dialog
};

// Every target, in the order the option dialog shows their check boxes, top to bottom.
inline constexpr SFindTarget kFindTargets[] = {
    {SSearchTarget::kRefNum, "RefNum", "ref", "ReferenceNumber"},
    {SSearchTarget::kValue, "Value", "value", "Value"},
    {SSearchTarget::kNameInLib, "NameInLib", "lib", "Name in Library"},
    {SSearchTarget::kMfr, "Mfr", "mfr", "Manufacturer"},
    {SSearchTarget::kMfrPn, "MfrPn", "mfrpn", "MfrPartNumber"},
    {SSearchTarget::kPkg, "Pkg", "pkg", "Package"},
    {SSearchTarget::kNote, "Note", "note", "Note"},
    {SSearchTarget::kTag, "Tag", "tag", "Tag"},
    {SSearchTarget::kLabel, "Label", "label", "Label"},
    {SSearchTarget::kComment, "Comment", "comment", "Comment"},
};

// The row of a single target bit, or null for anything else.
const SFindTarget* findTargetByBit(int32_t bit);
// The row whose option name is `name` (exact), or null.
const SFindTarget* findTargetByOption(std::string_view name);

// An encoding as it is offered to the user, with the other spellings that mean it.
struct SFindEncodingName {
    SXKorvEncoding encoding;
    std::string_view name;                     // as shown: "UTF-8", "Shift_JIS"
    std::span<const std::string_view> aliases; // lower-case letters and digits only
};

// The encodings a search can use, in the order they are offered.
std::span<const SFindEncodingName> findEncodings();
// The shown name of an encoding.
std::string_view findEncodingName(SXKorvEncoding encoding);
// An encoding from any of its spellings ("Shift_JIS", "shift-jis", "SJIS", "cp932",
// "ISO-8859-1", ...): case, "-" and "_" do not count. Single-byte code pages give Utf8, which
// compares byte by byte. Nullopt when not known.
std::optional<SXKorvEncoding> findEncodingFromName(std::string_view name);
