#pragma once

#include <string>
#include <string_view>

// The text with its trailing decimal number counted up by one ("A9" → "A10", "D09" → "D10",
// "X" → "X1", "" → "1"). Leading zeros of the number are not kept.
std::string nextSequenceText(std::string_view text);
