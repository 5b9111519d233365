#include "sheetdraw/CSheetFrame.h"

#include "viewcore/SSheetViewport.h"

#include <algorithm>

CSheetFrame CSheetFrame::of(const SSheetViewport& viewport, int32_t layers) {
    CSheetFrame f;
    f.num = viewport.num();
    f.den = SSheetViewport::kDen;
    f.scrollX = viewport.scrollX();
    f.scrollY = viewport.scrollY();
    f.layers = layers;
    f.device = QRect(0, 0, viewport.viewportWidth(), viewport.viewportHeight());
    return f;
}

CSheetFrame CSheetFrame::unscrolled(int32_t num, int32_t den, int32_t layers, QRect device) {
    CSheetFrame f;
    f.num = std::max(num, 1);
    f.den = std::max(den, 1);
    f.layers = layers;
    f.device = device;
    return f;
}

double CSheetFrame::length(double units, double least) const {
    return std::max(units * scale(), least);
}
