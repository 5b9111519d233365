#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

// Turns words into a byte stream: comma-separated, bytes that would break the syntax escaped
// as "%XX". Files get CR LF line ends, in-memory texts bare LF.
class STagWriter {
public:
    bool attachFile(std::FILE* file);
    bool attachString(std::string* target);

    // Each returns 0, or -1 at the first byte that could not be put.
    int writeWord(std::string_view text);
    int endLine();
    int writeInt(std::string_view key, int32_t value);
    int writeText(std::string_view key, std::string_view value);

private:
    int put(std::string_view bytes);

    std::FILE* m_file = nullptr;
    std::string* m_target = nullptr;
    bool m_lineStart = true;
    std::string m_scratch; // the word being formed by writeInt/writeText
};
