#include "viewcore/SSheetLoader.h"

#include "schematic/SXKorvDocSch.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace SSheetLoader {

SSheetLoad load(const std::string& path, const std::string& shownName) {
    SSheetLoad out;
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
        out.error = "Cannot open " + shownName + ": it is a folder.";
        return out;
    }
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        out.error = "Cannot open " + shownName + ": " + std::strerror(errno) + ".";
        return out;
    }
    auto doc = std::make_unique<SXKorvDocSch>();
    const int result = doc->readFile(file);
    std::fclose(file);
    if (result == SXKorvDoc::kNotSchematic) {
        out.error = shownName + " is not a schematic file.";
        return out;
    }
    if (result != SXKorvDoc::kReadOk) {
        const SXKorvReadError& e = doc->readError();
        out.error = "Cannot read " + shownName + ": " + e.message;
        if (e.line > 0)
            out.error += " (line " + std::to_string(e.line) + ")";
        out.error += ".";
        return out;
    }
    out.doc = std::move(doc);
    return out;
}

} // namespace SSheetLoader
