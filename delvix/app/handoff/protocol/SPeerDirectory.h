#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A window that carries a marker: it listens on the socket "<marker>.<pid>".
struct SPeer {
    int64_t pid = 0;
    std::string socketPath;
    bool operator==(const SPeer&) const = default;
};

// Where the hand-off sockets live and how they are named.
namespace SPeerDirectory {

// Carried by every schematic editor window.
constexpr std::string_view kEditorMarker = "Korvex-Vennhald";
// Carried by every Delvix window.
constexpr std::string_view kDelvixMarker = "Delvix-Vennhald";

// "$XDG_RUNTIME_DIR/vennhald" when the variable is set to an absolute path, else
// "/tmp/vennhald-<uid>".
std::string folderFor(const char* xdgRuntimeDir, uint32_t uid);

std::string socketName(std::string_view marker, int64_t pid);
// The pid of a socket named "<marker>.<pid>"; nullopt for any other name.
std::optional<int64_t> parseSocketName(std::string_view name, std::string_view marker);

// Every socket of `marker` in `folder`, ordered by pid (oldest window first as a rule).
std::vector<SPeer> list(const std::string& folder, std::string_view marker);

} // namespace SPeerDirectory
