#pragma once

#include <climits>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

// Where Pelm keeps its settings and how stored values are taken at start-up.
class SPelmSettings {
public:
    static constexpr std::string_view kFileName = "PELM.INI";
    static constexpr std::string_view kVendorFolder = "VennhaldVIVAZI";
    // "Use the system's choice" for a window size.
    static constexpr int32_t kDefaultSize = INT32_MIN;
    static constexpr int32_t kMinWidth = 400;
    static constexpr int32_t kMinHeight = 300;
    static constexpr int32_t kShowMaximized = 3;

    struct Places {
        std::filesystem::path programFolder;
        std::filesystem::path currentFolder;
        // The per-user configuration folder; empty when unknown.
        std::filesystem::path configFolder;
    };

    // The settings file: PELM.INI in the current folder when that is not the program's folder
    // and the file exists there; else the per-user file when it exists; else the program
    // folder's file when it exists; else the per-user file (created on the first write).
    static std::filesystem::path
    locate(const Places& places, const std::function<bool(const std::filesystem::path&)>& exists);

    // Stored window widths and heights below the floor are raised to it; the system's choice
    // stays.
    static int32_t startWidth(int32_t stored);
    static int32_t startHeight(int32_t stored);
    static bool startMaximized(int32_t cmdShow) { return cmdShow == kShowMaximized; }
};
