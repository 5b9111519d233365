#include "engine/SResultLine.h"

namespace SResultLine {

void appendEscaped(std::string& out, std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || byte == '%') {
            out.push_back('%');
            out.push_back(kHex[byte >> 4]);
            out.push_back(kHex[byte & 15]);
        } else {
            out.push_back(c);
        }
    }
}

void append(std::string& out, std::string_view path, std::string_view text, std::string_view type,
            int32_t x, int32_t y) {
    appendEscaped(out, path);
    out.push_back('\t');
    appendEscaped(out, text);
    out.push_back('\t');
    out.append(type);
    out += '\t' + std::to_string(x) + '\t' + std::to_string(y) + '\n';
}

} // namespace SResultLine
