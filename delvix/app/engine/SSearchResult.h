#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// One hit, handed to the consumer, who owns it from then on.
struct SSearchResult {
    std::string path;
    std::string text;
    std::string type;
    int32_t x = 0;
    int32_t y = 0;
};

// A file or folder the walk had to pass over. `line` is the line of a read error, else -1.
struct SSearchWarning {
    std::string path;
    std::string reason;
    int32_t line = -1;
};

// The type word of a found kind bit; empty for anything that is not a single target bit.
std::string_view searchTypeWord(int32_t kindBit);
