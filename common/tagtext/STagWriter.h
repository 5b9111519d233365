#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

// Turns words into a byte stream: comma-separated, bytes that would break the syntax escaped
// as "%XX". Files get CR LF line ends, in-memory texts bare LF unless asked for CR LF.
class STagWriter {
public:
    enum class LineEnd { Lf, CrLf };

    bool attachFile(std::FILE* file);
    // CR LF for a text that is stored as a file as it is.
    bool attachString(std::string* target, LineEnd lineEnd = LineEnd::Lf);

    // Each returns 0, or -1 at the first byte that could not be put.
    int writeWord(std::string_view text);
    int endLine();
    int writeInt(std::string_view key, int32_t value);
    int writeText(std::string_view key, std::string_view value);

private:
    int put(std::string_view bytes);
    // The comma before every word but a line's first.
    int separate();
    int putEscaped(std::string_view text);
    // `plainValue`: the value is known to need no escape (digits).
    bool putPlainField(std::string_view key, std::string_view value, bool plainValue);

    static constexpr size_t kPlainFieldBytes = 128;
    std::FILE* m_file = nullptr;
    std::string* m_target = nullptr;
    std::string_view m_lineEnd = "\n";
    bool m_lineStart = true;
};
