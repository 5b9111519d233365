#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A monochrome bit pattern of a component body (rows padded to 16 bits, leftmost pixel in the
// most significant bit), with a few drawing helpers and the row encoding of the pattern file.
class GenBitmap {
public:
    GenBitmap(int width, int height);

    void set(int x, int y);
    void line(int x1, int y1, int x2, int y2);
    void rectangle(int x1, int y1, int x2, int y2);
    void ellipse(int cx, int cy, int rx, int ry);
    void fillRect(int x1, int y1, int x2, int y2);

    // One word per row: two characters "@".."O" per byte, (width + 7) / 8 bytes.
    std::vector<std::string> encodedRows() const;

private:
    int m_width;
    int m_height;
    int m_stride;
    std::vector<uint8_t> m_bits;
};
