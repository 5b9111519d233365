#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The hit lines of "Export results...", the same as delvix-cli find prints (see SResultLine).
namespace SResultExport {

std::string line(std::string_view path, std::string_view text, std::string_view type, int32_t x,
                 int32_t y);

} // namespace SResultExport
