#include "GenWriter.h"

#include <charconv>

namespace {

bool needsEscape(unsigned char c) {
    return c <= 0x20 || c == '%' || c == ',';
}

void putEscaped(std::string& out, std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (needsEscape(c)) {
            out.push_back('%');
            out.push_back(kHex[c >> 4]);
            out.push_back(kHex[c & 15]);
        } else {
            out.push_back(ch);
        }
    }
}

} // namespace

void GenWriter::separate() {
    if (m_lineStart)
        m_lineStart = false;
    else
        m_out.push_back(',');
}

void GenWriter::word(std::string_view text) {
    separate();
    putEscaped(m_out, text);
}

void GenWriter::text(std::string_view key, std::string_view value) {
    separate();
    putEscaped(m_out, key);
    m_out.push_back(':');
    putEscaped(m_out, value);
}

void GenWriter::num(std::string_view key, int64_t value) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    separate();
    m_out.append(key);
    m_out.push_back(':');
    m_out.append(digits, end);
}

void GenWriter::endLine() {
    m_out.append("\r\n");
    m_lineStart = true;
}
