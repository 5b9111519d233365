#include "doc/SPelmFileRules.h"

namespace {

char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

std::string_view SPelmFileRules::extension(std::string_view path) {
    const size_t slash = path.find_last_of('/');
    const size_t nameStart = slash == std::string_view::npos ? 0 : slash + 1;
    const size_t dot = path.find_last_of('.');
    // A leading dot names a hidden file, not an extension.
    if (dot == std::string_view::npos || dot <= nameStart)
        return {};
    return path.substr(dot);
}

bool SPelmFileRules::hasExtension(std::string_view path, std::string_view ext) {
    const std::string_view own = extension(path);
    if (own.size() != ext.size())
        return false;
    for (size_t i = 0; i < own.size(); ++i) {
        if (lowerAscii(own[i]) != lowerAscii(ext[i]))
            return false;
    }
    return true;
}

std::string SPelmFileRules::withExtension(std::string_view path, std::string_view ext) {
    const std::string_view own = extension(path);
    std::string result(path.substr(0, path.size() - own.size()));
    result += ext;
    return result;
}

std::string SPelmFileRules::proposedSaveAsName(std::string_view path) {
    if (path.empty())
        return std::string(kUntitled);
    if (hasExtension(path, kLibraryExtension))
        return std::string(path);
    return withExtension(path, kLibraryExtension);
}
