#include "rules/SResultExport.h"

namespace SResultExport {

void appendEscaped(std::string& out, std::string_view text) {
    for (const char c : text) {
        switch (c) {
        case '\t':
            out += "%09";
            break;
        case '\n':
            out += "%0A";
            break;
        case '\r':
            out += "%0D";
            break;
        case '%':
            out += "%25";
            break;
        default:
            out.push_back(c);
        }
    }
}

std::string line(std::string_view path, std::string_view text, std::string_view type, int32_t x,
                 int32_t y) {
    std::string out;
    out.reserve(path.size() + text.size() + type.size() + 32);
    appendEscaped(out, path);
    out.push_back('\t');
    appendEscaped(out, text);
    out.push_back('\t');
    out.append(type);
    out += '\t' + std::to_string(x) + '\t' + std::to_string(y) + '\n';
    return out;
}

} // namespace SResultExport
