#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The tab-separated hit line shared by delvix-cli find and the window's export:
// PATH<TAB>TEXT<TAB>TYPE<TAB>X<TAB>Y<LF>. Bytes below 0x20, 0x7F and "%" in PATH and TEXT are
// written as "%" and two upper-case hex digits, so a line can neither break nor act on a terminal.
namespace SResultLine {

void appendEscaped(std::string& out, std::string_view text);
// Appends one line to OUT.
void append(std::string& out, std::string_view path, std::string_view text, std::string_view type,
            int32_t x, int32_t y);

} // namespace SResultLine
