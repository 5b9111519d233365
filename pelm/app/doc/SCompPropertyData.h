#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class SCompInfo;

// What the component property dialog edits, with the dialog's defaults, and its checks.
struct SCompPropertyData {
    enum class Error { None, Name, Size, BlockCount };

    static constexpr int32_t kMaxNameLength = 32;
    static constexpr int32_t kMaxValue = 255;
    static constexpr int32_t kMaxNoteLength = 255;

    std::string name = "NAME";
    std::string number = "U";
    int32_t blockCount = 1;
    int32_t width = 2;
    int32_t height = 2;
    bool usePattern = false;
    bool noBitPattern = false;
    std::string note;
    std::string manufacturer;
    std::string partNumber;
    std::string package;

    // 1 to 32 printable ASCII characters other than blanks, "{" and "}".
    static bool isValidComponentName(std::string_view name);
    // The first failing check in the order name, size, block count.
    Error validate() const;

    // The dialog preset from a component shown under `entryName`.
    static SCompPropertyData fromComponent(std::string_view entryName, const SCompInfo& info);
    // Size, pattern options, prefix, blocks and texts into the component (not the name).
    void applyTo(SCompInfo& info, bool existing) const;
};
