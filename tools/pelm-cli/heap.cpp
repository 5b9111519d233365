#include "heap.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#if defined(__GLIBC__) && !defined(__SANITIZE_ADDRESS__)
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>
#define KX_HEAP_HINTS 1
#endif

void prepareHeapForLibrary(const std::string& path) {
#ifdef KX_HEAP_HINTS
    constexpr uintmax_t kHugePage = uintmax_t{2} << 20;
    constexpr uintmax_t kMaxReserve = uintmax_t{1} << 30;
    std::error_code ec;
    const uintmax_t fileBytes = std::filesystem::file_size(path, ec);
    if (ec || fileBytes < 4 * kHugePage)
        return;
    const auto reserve = static_cast<size_t>(std::min(fileBytes * 3, kMaxReserve));
    // The next growth of the heap takes the whole reserve, freeing keeps it, and the request
    // that makes it grow is not given a mapping of its own.
    constexpr int kMmapThreshold = 32 << 20;
    if (mallopt(M_TOP_PAD, static_cast<int>(reserve)) != 1 ||
        mallopt(M_TRIM_THRESHOLD, static_cast<int>(reserve)) != 1 ||
        mallopt(M_MMAP_THRESHOLD, kMmapThreshold) != 1)
        return;
    // Volatile: a compiler may drop an allocation that is freed unused.
    void* volatile grow = std::malloc(mallinfo2().keepcost + 64);
    std::free(grow);
    auto* end = static_cast<char*>(sbrk(0));
    const auto top = reinterpret_cast<uintptr_t>(end);
    const uintptr_t first = (top - reserve + kHugePage - 1) / kHugePage * kHugePage;
    if (first < top)
        madvise(reinterpret_cast<void*>(first), top - first, MADV_HUGEPAGE);
#else
    (void)path;
#endif
}
