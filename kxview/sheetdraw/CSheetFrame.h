#pragma once

#include "model/SPoint.h"

#include <QPointF>
#include <QRect>

#include <cstdint>

class SSheetViewport;

// How one drawing maps the sheet: device = sheet × num / den − scroll, the device area to cover
// and the layers to draw.
struct CSheetFrame {
    int32_t num = 256;
    int32_t den = 256;
    int64_t scrollX = 0;
    int64_t scrollY = 0;
    int32_t layers = 255;
    QRect device;

    static CSheetFrame of(const SSheetViewport& viewport, int32_t layers);
    // Sheet (0, 0) at device (0, 0), at a scale of num / den.
    static CSheetFrame unscrolled(int32_t num, int32_t den, int32_t layers, QRect device);

    double scale() const { return static_cast<double>(num) / den; }
    QPointF map(double x, double y) const {
        return {x * scale() - static_cast<double>(scrollX),
                y * scale() - static_cast<double>(scrollY)};
    }
    QPointF map(SPoint p) const { return map(p.x, p.y); }
    // A length in sheet units as device pixels, never thinner than `least`.
    double length(double units, double least = 1.0) const;
};
