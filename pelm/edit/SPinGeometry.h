#pragma once

#include "model/SPoint.h"
#include "model/SRect.h"

#include <cstdint>

// A pin position on the body edge: side 0 left, 1 top, 2 right, 3 bottom; offset in grid steps.
struct SPinPosition {
    int32_t side = 0;
    int32_t offset = 0;

    friend constexpr bool operator==(SPinPosition, SPinPosition) = default;
};

// Where pins stand on a body of `size` grid steps, in model units (10 per grid step).
class SPinGeometry {
public:
    // The point where the pin meets the body edge.
    static SPoint pinPoint(SSize size, int32_t side, int32_t offset);
    // The 10-unit stretch outside the body along which the pin line runs, 4 units to either side.
    static SRect pinHitRect(SSize size, int32_t side, int32_t offset);
    // The edge nearest to the point and the nearest grid step along it.
    static SPinPosition pinPositionFromPoint(SSize size, SPoint point);
};
