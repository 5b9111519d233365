#include "schematic/SXKorvGeometry.h"

#include <algorithm>
#include <cmath>

namespace SXKorvGeometry {

bool nearPoint(SPoint q, SPoint p) {
    return std::llabs(int64_t{q.x} - p.x) <= kHitTolerance &&
           std::llabs(int64_t{q.y} - p.y) <= kHitTolerance;
}

int32_t segmentHit(SPoint a, SPoint b, SPoint p) {
    if (nearPoint(a, p))
        return 1;
    if (nearPoint(b, p))
        return 2;
    const double dx = double(b.x) - a.x;
    const double dy = double(b.y) - a.y;
    const double px = double(p.x) - a.x;
    const double py = double(p.y) - a.y;
    const double len2 = dx * dx + dy * dy;
    if (len2 == 0)
        return 0;
    const double t = (px * dx + py * dy) / len2;
    if (t < 0 || t > 1)
        return 0;
    const double ex = px - t * dx;
    const double ey = py - t * dy;
    return ex * ex + ey * ey <= double(kHitTolerance) * kHitTolerance ? 3 : 0;
}

bool segmentMeetsRect(SPoint a, SPoint b, const SRect& rect) {
    if (rect.contains(a) || rect.contains(b))
        return true;
    // Clip the segment's parameter range against each slab (Liang-Barsky).
    double t0 = 0;
    double t1 = 1;
    const double dx = double(b.x) - a.x;
    const double dy = double(b.y) - a.y;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {double(a.x) - rect.left, double(rect.right) - a.x, double(a.y) - rect.top,
                         double(rect.bottom) - a.y};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return false;
            continue;
        }
        const double r = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, r);
        else
            t1 = std::min(t1, r);
        if (t0 > t1)
            return false;
    }
    return true;
}

} // namespace SXKorvGeometry
