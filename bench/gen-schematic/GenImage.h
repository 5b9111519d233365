#pragma once

#include "GenWriter.h"

#include <cstdint>
#include <string>

// A small picture for image objects: a bottom-up 24-bit bitmap file and its "+IMAGE_DIB"
// section (57 bytes per line in the Base64 variant with "!" for value 62).
class GenImage {
public:
    static std::string bitmap(int width, int height, uint32_t seed);
    static void writeSection(GenWriter& out, const std::string& bytes);
    static std::string encodeLine(const unsigned char* data, size_t size);
};
