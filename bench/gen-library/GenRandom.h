#pragma once

#include <cstdint>
#include <string_view>

// A tiny generator whose sequence is the same on every platform and standard library
// (the std distributions are not), so generated files are reproducible byte for byte.
class GenRandom {
public:
    explicit GenRandom(uint64_t seed) : m_state(seed) {}

    uint64_t next() {
        uint64_t z = (m_state += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    // 0 .. n-1 (0 for n <= 0).
    int below(int n) { return n <= 0 ? 0 : static_cast<int>(next() % static_cast<uint64_t>(n)); }
    // lo .. hi inclusive.
    int range(int lo, int hi) { return lo + below(hi - lo + 1); }
    bool chance(int percent) { return below(100) < percent; }
    template <typename T, size_t N> const T& pick(const T (&items)[N]) {
        return items[below(static_cast<int>(N))];
    }

private:
    uint64_t m_state;
};
