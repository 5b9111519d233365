#pragma once

#include <cstdint>

// Tests on the eight bytes of a 64-bit word at once, for scans over every byte of a file. Each
// returns nonzero exactly when some byte passes; the lowest flagged byte is exact, flags above
// it may be false (borrows), which does not matter for finding the first one.
namespace SByteLanes {

inline constexpr uint64_t kOnes = 0x0101010101010101u;
inline constexpr uint64_t kHighs = 0x8080808080808080u;

// Bytes below `n` (n at most 128).
constexpr uint64_t below(uint64_t x, uint64_t n) {
    return (x - kOnes * n) & ~x & kHighs;
}

// Bytes equal to `c`.
constexpr uint64_t equal(uint64_t x, unsigned char c) {
    return below(x ^ (kOnes * c), 1);
}

} // namespace SByteLanes
