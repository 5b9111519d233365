#pragma once

#include "model/SPoint.h"
#include "model/SRect.h"

#include <cstdint>

// Hit and area tests shared by the schematic object kinds. Coordinates may lie anywhere in the
// 32-bit range, so the arithmetic is done in 64 bits or doubles.
namespace SXKorvGeometry {

// How close (in sheet units) a point must be to count as a hit.
constexpr int32_t kHitTolerance = 2;

// True when p lies within the tolerance of q.
bool nearPoint(SPoint q, SPoint p);
// 0 miss, 1 near end a, 2 near end b, 3 on the segment between.
int32_t segmentHit(SPoint a, SPoint b, SPoint p);
// True when the segment touches the (normalised) rectangle.
bool segmentMeetsRect(SPoint a, SPoint b, const SRect& rect);

} // namespace SXKorvGeometry
