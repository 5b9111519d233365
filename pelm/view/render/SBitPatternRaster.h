#pragma once

#include "model/SPoint.h"

#include <cstdint>
#include <vector>

class SDrawSettings;
class SPtnObj;

// Makes a bit pattern from pattern objects: each object drawn in black at scale 1 (one model
// unit per pixel, the body's origin at the top-left pixel) on white; rows 16-bit aligned, most
// significant bit leftmost, 1 = ink. Padding bits are cleared, so the result depends only on
// the objects.
class SBitPatternRaster {
public:
    static std::vector<uint8_t> rasterise(SDrawSettings& text, const std::vector<SPtnObj*>& objects,
                                          SSize pixels);
};
