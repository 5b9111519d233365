#pragma once

#include <memory>
#include <string>

class SXKorvDocSch;

// Reads a schematic file as the search does, so that what is shown is what was searched.
struct SSheetLoad {
    std::unique_ptr<SXKorvDocSch> doc; // null when the file could not be read
    std::string error;                 // why, with the line when the contents are at fault
};

namespace SSheetLoader {

// `path` is in the file system's bytes; `shownName` names the file in the message.
SSheetLoad load(const std::string& path, const std::string& shownName);

} // namespace SSheetLoader
