#pragma once

#include <string_view>

// Standard output of the tool's commands. A write error (a full disk, a closed pipe) must not
// pass for success: these say so on standard error, naming `who`, and return false.

// Writes `text` and flushes.
bool writeStandardOutput(std::string_view text, const char* who);
// Flushes what was written so far and checks the stream.
bool finishStandardOutput(const char* who);
