#pragma once

#include "model/SPoint.h"

#include <cstdint>
#include <optional>

// Whether a point lies within a tolerance of a segment, and the foot of the perpendicular from
// the point (truncated to whole units). Used to offer a new polygon node on an edge.
class SSegmentProximity {
public:
    static std::optional<SPoint> test(SPoint p, SPoint a, SPoint b, int32_t tolerance);
};
