#pragma once

#include <cstdio>
#include <memory>

// Closes a file opened for reading when it goes out of scope.
struct SFileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using SReadFile = std::unique_ptr<std::FILE, SFileCloser>;
