#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The hit lines of "Export results...", the same as delvix-cli find prints:
// PATH<TAB>TEXT<TAB>TYPE<TAB>X<TAB>Y<LF>, with TAB, LF, CR and % in PATH and TEXT as %09, %0A,
// %0D and %25.
namespace SResultExport {

void appendEscaped(std::string& out, std::string_view text);
std::string line(std::string_view path, std::string_view text, std::string_view type, int32_t x,
                 int32_t y);

} // namespace SResultExport
