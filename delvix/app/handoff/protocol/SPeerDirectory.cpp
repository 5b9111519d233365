#include "protocol/SPeerDirectory.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace SPeerDirectory {

std::string folderFor(const char* xdgRuntimeDir, uint32_t uid) {
    if (xdgRuntimeDir != nullptr && xdgRuntimeDir[0] == '/')
        return std::string(xdgRuntimeDir) + "/vennhald";
    return "/tmp/vennhald-" + std::to_string(uid);
}

std::string socketName(std::string_view marker, int64_t pid) {
    return std::string(marker) + '.' + std::to_string(pid);
}

std::optional<int64_t> parseSocketName(std::string_view name, std::string_view marker) {
    if (name.size() <= marker.size() + 1 || !name.starts_with(marker) || name[marker.size()] != '.')
        return std::nullopt;
    const std::string_view digits = name.substr(marker.size() + 1);
    if (digits.front() < '1' || digits.front() > '9')
        return std::nullopt;
    int64_t pid = 0;
    const char* end = digits.data() + digits.size();
    const auto [ptr, ec] = std::from_chars(digits.data(), end, pid);
    if (ec != std::errc() || ptr != end)
        return std::nullopt;
    return pid;
}

std::vector<SPeer> list(const std::string& folder, std::string_view marker) {
    std::vector<SPeer> peers;
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        const std::string name = it->path().filename().string();
        const auto pid = parseSocketName(name, marker);
        if (pid && it->is_socket(ec))
            peers.push_back({*pid, it->path().string()});
    }
    std::sort(peers.begin(), peers.end(),
              [](const SPeer& a, const SPeer& b) { return a.pid < b.pid; });
    return peers;
}

} // namespace SPeerDirectory
