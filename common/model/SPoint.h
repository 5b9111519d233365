#pragma once

#include <cstdint>

// Drawing units: x to the right, y downwards.
struct SPoint {
    int32_t x = 0;
    int32_t y = 0;

    constexpr SPoint() = default;
    constexpr SPoint(int32_t px, int32_t py) : x(px), y(py) {}

    friend constexpr bool operator==(SPoint, SPoint) = default;
    constexpr SPoint operator+(SPoint o) const;
    constexpr SPoint operator-(SPoint o) const;
    constexpr SPoint& operator+=(SPoint o) {
        *this = *this + o;
        return *this;
    }
    constexpr SPoint& operator-=(SPoint o) {
        *this = *this - o;
        return *this;
    }
};

struct SSize {
    int32_t width = 0;
    int32_t height = 0;

    constexpr SSize() = default;
    constexpr SSize(int32_t w, int32_t h) : width(w), height(h) {}

    friend constexpr bool operator==(SSize, SSize) = default;
};

// Coordinates come from files and may sit anywhere in the 32-bit range; arithmetic on them
// wraps as on the two's-complement machines the format was made on, instead of being undefined.
constexpr int32_t addWrap(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
constexpr int32_t subWrap(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}
constexpr int32_t mulWrap(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b));
}
constexpr int32_t negWrap(int32_t a) {
    return static_cast<int32_t>(0u - static_cast<uint32_t>(a));
}

constexpr SPoint SPoint::operator+(SPoint o) const {
    return {addWrap(x, o.x), addWrap(y, o.y)};
}
constexpr SPoint SPoint::operator-(SPoint o) const {
    return {subWrap(x, o.x), subWrap(y, o.y)};
}
