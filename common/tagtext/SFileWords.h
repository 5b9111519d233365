#pragma once

#include <string_view>

// The words that open and close the two file types: a schematic file is one "+KORVX_DATA_V.1.0"
// section; a library file, and every library part embedded in a schematic, one
// "+KORVX_LIB_V.1.0" section.
struct SFileWords {
    static constexpr std::string_view kSchematicOpen = "+KORVX_DATA_V.1.0";
    static constexpr std::string_view kSchematicClose = "-KORVX_DATA_V.1.0";
    static constexpr std::string_view kLibraryOpen = "+KORVX_LIB_V.1.0";
    static constexpr std::string_view kLibraryClose = "-KORVX_LIB_V.1.0";
};
