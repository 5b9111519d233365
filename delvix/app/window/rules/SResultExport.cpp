#include "rules/SResultExport.h"

#include "engine/SResultLine.h"

namespace SResultExport {

std::string line(std::string_view path, std::string_view text, std::string_view type, int32_t x,
                 int32_t y) {
    std::string out;
    out.reserve(path.size() + text.size() + type.size() + 32);
    SResultLine::append(out, path, text, type, x, y);
    return out;
}

} // namespace SResultExport
