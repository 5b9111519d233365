#pragma once

#include "model/SPoint.h"

#include <cstdint>
#include <limits>
#include <utility>

// Both ends are inside: containment and intersection include the right and bottom edges.
struct SRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    constexpr SRect() = default;
    constexpr SRect(int32_t l, int32_t t, int32_t r, int32_t b)
        : left(l), top(t), right(r), bottom(b) {}
    constexpr SRect(SPoint p, SSize s)
        : left(p.x), top(p.y), right(addWrap(p.x, s.width)), bottom(addWrap(p.y, s.height)) {}
    constexpr SRect(SPoint a, SPoint b) : left(a.x), top(a.y), right(b.x), bottom(b.y) {}

    // The start of an accumulation: any union replaces it.
    static constexpr SRect empty() {
        return {std::numeric_limits<int32_t>::max(), std::numeric_limits<int32_t>::max(),
                std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::min()};
    }

    friend constexpr bool operator==(const SRect&, const SRect&) = default;

    constexpr int32_t width() const { return subWrap(right, left); }
    constexpr int32_t height() const { return subWrap(bottom, top); }
    constexpr SPoint topLeft() const { return {left, top}; }
    constexpr SPoint bottomRight() const { return {right, bottom}; }
    constexpr SPoint center() const {
        return {static_cast<int32_t>((int64_t{left} + right) / 2),
                static_cast<int32_t>((int64_t{top} + bottom) / 2)};
    }

    constexpr SRect& normalize() {
        if (left > right)
            std::swap(left, right);
        if (top > bottom)
            std::swap(top, bottom);
        return *this;
    }
    constexpr SRect normalized() const {
        SRect r = *this;
        return r.normalize();
    }

    constexpr bool contains(SPoint p) const {
        return p.x >= left && p.x <= right && p.y >= top && p.y <= bottom;
    }
    constexpr bool contains(const SRect& r) const {
        return r.left >= left && r.right <= right && r.top >= top && r.bottom <= bottom;
    }
    constexpr bool intersects(const SRect& r) const {
        return r.left <= right && r.right >= left && r.top <= bottom && r.bottom >= top;
    }

    constexpr SRect& unite(const SRect& r) {
        if (r.left < left)
            left = r.left;
        if (r.top < top)
            top = r.top;
        if (r.right > right)
            right = r.right;
        if (r.bottom > bottom)
            bottom = r.bottom;
        return *this;
    }
    constexpr SRect& unite(SPoint p) { return unite(SRect(p, p)); }

    constexpr SRect& offset(SPoint d) {
        left = addWrap(left, d.x);
        right = addWrap(right, d.x);
        top = addWrap(top, d.y);
        bottom = addWrap(bottom, d.y);
        return *this;
    }
};
