#include "geom/SSegmentProximity.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

bool between(double v, double a, double b) {
    return v >= std::min(a, b) && v <= std::max(a, b);
}

} // namespace

std::optional<SPoint> SSegmentProximity::test(SPoint p, SPoint a, SPoint b, int32_t tolerance) {
    const double t = tolerance;
    if (a.x == b.x) {
        if (between(p.y, a.y, b.y) && std::abs(static_cast<double>(p.x) - a.x) <= t)
            return SPoint(a.x, p.y);
        return std::nullopt;
    }
    if (a.y == b.y) {
        if (between(p.x, a.x, b.x) && std::abs(static_cast<double>(p.y) - a.y) <= t)
            return SPoint(p.x, a.y);
        return std::nullopt;
    }
    const double k = (static_cast<double>(b.y) - a.y) / (static_cast<double>(b.x) - a.x);
    // Foot of the perpendicular from p onto the line through a with slope k.
    const double fx = (k * k * a.x + k * (static_cast<double>(p.y) - a.y) + p.x) / (k * k + 1);
    const double fy = a.y + k * (fx - a.x);
    if (!between(fx, a.x, b.x))
        return std::nullopt;
    if (std::hypot(fx - p.x, fy - p.y) > t)
        return std::nullopt;
    return SPoint(static_cast<int32_t>(fx), static_cast<int32_t>(fy));
}
