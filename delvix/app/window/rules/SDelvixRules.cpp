#include "rules/SDelvixRules.h"

#include <filesystem>
#include <fstream>
#include <system_error>

namespace {

bool canOpen(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec) && std::ifstream(path).is_open();
}

} // namespace

namespace SDelvixRules {

std::string settingsPath(const std::string& configFolder, const std::string& programFolder) {
    const std::string name(SDelvixSettingsKeys::kFileName);
    const std::string user =
        configFolder + '/' + std::string(SDelvixSettingsKeys::kVendorFolder) + '/' + name;
    if (canOpen(user))
        return user;
    const std::string beside = programFolder + '/' + name;
    return canOpen(beside) ? beside : user;
}

SControlStates controlStates(bool running) {
    const bool idle = !running;
    return {idle, running, idle, idle, idle, idle, idle, idle};
}

} // namespace SDelvixRules
