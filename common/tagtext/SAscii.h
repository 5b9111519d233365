#pragma once

#include <string_view>

// Case folding of the file formats and of the search: ASCII letters only, every other byte (a
// lead or trail byte of a multibyte character included) stays as it is.
constexpr char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

constexpr unsigned char lowerAscii(unsigned char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

// True when `text` ends with `lowerSuffix` (given in lower case), ASCII letters in any case.
constexpr bool endsWithNoCase(std::string_view text, std::string_view lowerSuffix) {
    if (text.size() < lowerSuffix.size())
        return false;
    const std::string_view tail = text.substr(text.size() - lowerSuffix.size());
    for (size_t i = 0; i < tail.size(); ++i) {
        if (lowerAscii(tail[i]) != lowerSuffix[i])
            return false;
    }
    return true;
}
