#include "doc/SPelmSettings.h"

namespace fs = std::filesystem;

namespace {

fs::path withoutTrailingSeparator(const fs::path& p) {
    return p.has_filename() ? p : p.parent_path();
}

} // namespace

fs::path SPelmSettings::locate(const Places& places,
                               const std::function<bool(const fs::path&)>& exists) {
    const fs::path file{std::string(kFileName)};
    const fs::path program = withoutTrailingSeparator(places.programFolder);
    const fs::path current = withoutTrailingSeparator(places.currentFolder);
    if (!current.empty() && current != program && exists(current / file))
        return current / file;
    const fs::path user = places.configFolder.empty()
                              ? fs::path()
                              : places.configFolder / std::string(kVendorFolder) / file;
    if (!user.empty() && exists(user))
        return user;
    if (!program.empty() && exists(program / file))
        return program / file;
    // The program's folder is often not writable here; the per-user file is made instead.
    return user.empty() ? program / file : user;
}

int32_t SPelmSettings::startWidth(int32_t stored) {
    return stored == kDefaultSize || stored >= kMinWidth ? stored : kMinWidth;
}

int32_t SPelmSettings::startHeight(int32_t stored) {
    return stored == kDefaultSize || stored >= kMinHeight ? stored : kMinHeight;
}
