#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Writes words exactly as the library and schematic writers do: comma between the words of a
// line, CR LF line ends, bytes 0x00-0x20, "%" and "," escaped as "%XX". Appends to a string
// the caller flushes to its file now and then.
class GenWriter {
public:
    explicit GenWriter(std::string& out) : m_out(out) {}

    void word(std::string_view text);
    void text(std::string_view key, std::string_view value);
    void num(std::string_view key, int64_t value);
    void endLine();

private:
    void separate();

    std::string& m_out;
    bool m_lineStart = true;
};
