#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The settings file's keys and defaults.
namespace SDelvixSettingsKeys {
constexpr std::string_view kFileName = "Delvix.INI";
constexpr std::string_view kVendorFolder = "VennhaldVIVAZI";
constexpr std::string_view kInitialFolder = "FolderOption/InitialFolder";
constexpr std::string_view kString = "Find/String";
constexpr std::string_view kTargetFlag = "Find/TargetFlag";
constexpr std::string_view kMatchWhole = "Find/MatchWhole";
constexpr std::string_view kCaseSensitive = "Find/CaseSensitive";
constexpr std::string_view kIncludeSubfolders = "Find/IncludeSubfolders";
constexpr std::string_view kEncoding = "Find/Encoding";
// The program started for a hit when no editor is running (empty: korvex, else kxview).
constexpr std::string_view kEditorProgram = "Editor/Program";
constexpr int32_t kDefaultTargetFlag = -1;
constexpr int kDefaultMatchWhole = 1;
constexpr int kDefaultCaseSensitive = 1;
constexpr int kDefaultIncludeSubfolders = 1;
} // namespace SDelvixSettingsKeys

namespace SDelvixRules {

// The settings file: the one in the user's config folder when it exists and can be opened, else
// the one beside the program when that exists, else the user's (created on first write).
std::string settingsPath(const std::string& configFolder, const std::string& programFolder);

// Which controls take input: while a search runs only Stop, when idle everything but Stop.
struct SControlStates {
    bool start, stop, ref, option, exit, folder, search, list;
};
SControlStates controlStates(bool running);

} // namespace SDelvixRules
