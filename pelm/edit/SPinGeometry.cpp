#include "edit/SPinGeometry.h"

#include <algorithm>

namespace {

enum Side : int32_t { kLeft = 0, kTop = 1, kRight = 2, kBottom = 3 };

// Outside the body the nearer edge wins; corner regions and the inside are left to the caller.
int32_t sideOutsideBody(int64_t x, int64_t y, int64_t w10, int64_t h10) {
    const int64_t dR = w10 - x;
    const int64_t dB = h10 - y;
    if (x >= 0) {
        if (x <= w10) {
            if (y < 0)
                return kTop;
            if (y > h10)
                return kBottom;
        } else if (dR < y && dR < dB) {
            return kRight;
        }
    } else if (x < y && x < dB) {
        return kLeft;
    }
    return -1;
}

int32_t sideNearest(int64_t x, int64_t y, int64_t w10, int64_t h10) {
    const int64_t dR = w10 - x;
    const int64_t dB = h10 - y;
    if (x < dR) {
        if (x < y && x < dB)
            return kLeft;
    } else if (dR < y && dR < dB) {
        return kRight;
    }
    return y < dB ? kTop : kBottom;
}

} // namespace

SPoint SPinGeometry::pinPoint(SSize size, int32_t side, int32_t offset) {
    const int32_t along = mulWrap(offset, 10);
    switch (side) {
    case kLeft:
        return {0, along};
    case kTop:
        return {along, 0};
    case kRight:
        return {mulWrap(size.width, 10), along};
    default:
        return {along, mulWrap(size.height, 10)};
    }
}

SRect SPinGeometry::pinHitRect(SSize size, int32_t side, int32_t offset) {
    const SPoint p = pinPoint(size, side, offset);
    switch (side) {
    case kLeft:
        return {subWrap(p.x, 10), subWrap(p.y, 4), p.x, addWrap(p.y, 4)};
    case kTop:
        return {subWrap(p.x, 4), subWrap(p.y, 10), addWrap(p.x, 4), p.y};
    case kRight:
        return {p.x, subWrap(p.y, 4), addWrap(p.x, 10), addWrap(p.y, 4)};
    default:
        return {subWrap(p.x, 4), p.y, addWrap(p.x, 4), addWrap(p.y, 10)};
    }
}

// Worked in 64 bits: the point may lie anywhere in the 32-bit range.
SPinPosition SPinGeometry::pinPositionFromPoint(SSize size, SPoint point) {
    const int64_t x = point.x;
    const int64_t y = point.y;
    const int64_t w10 = int64_t{size.width} * 10;
    const int64_t h10 = int64_t{size.height} * 10;
    int32_t side = sideOutsideBody(x, y, w10, h10);
    if (side < 0)
        side = sideNearest(x, y, w10, h10);
    const int64_t along = (side == kTop || side == kBottom)
                              ? std::clamp<int64_t>(x, 0, std::max<int64_t>(w10, 0))
                              : std::clamp<int64_t>(y, 0, std::max<int64_t>(h10, 0));
    return {side, static_cast<int32_t>((along + 5) / 10)};
}
