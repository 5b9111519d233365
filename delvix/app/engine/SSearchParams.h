#pragma once

#include <cstdint>
#include <string>

// Multibyte encoding of the searched texts; decides where characters start, so that a match never
// begins inside a double-byte character.
enum class SSearchEncoding { Utf8, ShiftJis };

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

// What one search looks for and where. Written before the search starts, only read while it runs.
struct SSearchParams {
    std::string folder;
    std::string pattern;
    bool matchWhole = true;
    bool caseSensitive = true;
    bool includeSubfolders = true;
    int32_t targets = SSearchTarget::kAll;
    SSearchEncoding encoding = SSearchEncoding::Utf8;
    // Worker threads; 0 takes one per hardware thread.
    unsigned jobs = 0;
    // Skip files that provably hold no match without reading them into a document. Results are
    // the same either way; only read errors of such files go unreported.
    bool prefilter = true;
};
