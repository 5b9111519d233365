#pragma once

#include <cstdint>
#include <string_view>

// A field word "key:value", split at its first ":".
struct STagField {
    std::string_view key;
    std::string_view value;

    // False for a word without ":" or starting with ":"; such words are ignored by readers.
    // Inline with a plain loop: it runs for nearly every word read, and words are short.
    static bool split(std::string_view word, STagField& field) {
        for (size_t i = 0; i < word.size(); ++i) {
            if (word[i] == ':') {
                if (i == 0)
                    return false;
                field.key = word.substr(0, i);
                field.value = word.substr(i + 1);
                return true;
            }
        }
        return false;
    }

    // Lenient decimal: optional leading whitespace and sign, digits up to the first non-digit,
    // none gives 0. Values beyond the 32-bit range are held to its ends.
    static int32_t toInt(std::string_view text) {
        int32_t value;
        return toIntPlain(text, value) ? value : toIntGeneral(text);
    }

private:
    // The common case, inline: an optional '-' and one to nine digits, as writers store
    // numbers; they cannot overflow. False for anything else.
    static bool toIntPlain(std::string_view text, int32_t& value) {
        const bool negative = !text.empty() && text[0] == '-';
        const size_t first = negative ? 1 : 0;
        if (text.size() == first || text.size() - first > 9)
            return false;
        int32_t v = 0;
        for (size_t i = first; i < text.size(); ++i) {
            const auto d = static_cast<unsigned char>(text[i] - '0');
            if (d > 9)
                return false;
            v = v * 10 + d;
        }
        value = negative ? -v : v;
        return true;
    }
    static int32_t toIntGeneral(std::string_view text);
};
