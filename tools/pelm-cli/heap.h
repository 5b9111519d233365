#pragma once

#include <string>

// Readies the heap for loading the library at `path`: a library becomes many small objects,
// together about twice its size, and on virtual machines the first touch of each 4 KiB page
// is a large part of loading a big one. The heap is grown once by what the library needs and
// that range is offered to the kernel for huge pages. Does nothing for small files or where
// the allocator is not the C library's.
void prepareHeapForLibrary(const std::string& path);
