#pragma once

#include <string>
#include <string_view>

// Names and extensions of the files Pelm opens and writes. Paths are bytes; extensions compare
// without regard to the case of ASCII letters.
class SPelmFileRules {
public:
    static constexpr std::string_view kLibraryExtension = ".KM2";
    static constexpr std::string_view kSchematicExtension = ".KX2";
    static constexpr std::string_view kTemporaryExtension = ".tmp";
    static constexpr std::string_view kUntitled = "Untitled.KM2";

    // The extension of the path's last component, with its dot; empty when it has none.
    static std::string_view extension(std::string_view path);
    static bool hasExtension(std::string_view path, std::string_view ext);
    // The path with its extension (if any) replaced by `ext`.
    static std::string withExtension(std::string_view path, std::string_view ext);

    static bool isTemporaryFile(std::string_view path) {
        return hasExtension(path, kTemporaryExtension);
    }
    // The name Save as proposes for a library last read from or written to `path` (none: empty).
    static std::string proposedSaveAsName(std::string_view path);
};
