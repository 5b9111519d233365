#include "GenBitmap.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

GenBitmap::GenBitmap(int width, int height)
    : m_width(width), m_height(height), m_stride((width + 15) / 16 * 2),
      m_bits(static_cast<size_t>(m_stride) * static_cast<size_t>(height), 0) {}

void GenBitmap::set(int x, int y) {
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return;
    m_bits[static_cast<size_t>(y * m_stride + x / 8)] |= static_cast<uint8_t>(0x80 >> (x % 8));
}

void GenBitmap::line(int x1, int y1, int x2, int y2) {
    const int steps = std::max(std::abs(x2 - x1), std::abs(y2 - y1));
    for (int i = 0; i <= steps; ++i) {
        const int x = steps ? x1 + (x2 - x1) * i / steps : x1;
        const int y = steps ? y1 + (y2 - y1) * i / steps : y1;
        set(x, y);
    }
}

void GenBitmap::rectangle(int x1, int y1, int x2, int y2) {
    line(x1, y1, x2, y1);
    line(x2, y1, x2, y2);
    line(x2, y2, x1, y2);
    line(x1, y2, x1, y1);
}

void GenBitmap::ellipse(int cx, int cy, int rx, int ry) {
    const int steps = 8 * std::max(rx, ry) + 8;
    for (int i = 0; i < steps; ++i) {
        const double a = 6.283185307179586 * i / steps;
        set(cx + static_cast<int>(std::lround(rx * std::cos(a))),
            cy + static_cast<int>(std::lround(ry * std::sin(a))));
    }
}

void GenBitmap::fillRect(int x1, int y1, int x2, int y2) {
    for (int y = y1; y <= y2; ++y)
        for (int x = x1; x <= x2; ++x)
            set(x, y);
}

std::vector<std::string> GenBitmap::encodedRows() const {
    std::vector<std::string> rows;
    rows.reserve(static_cast<size_t>(m_height));
    const int bytes = (m_width + 7) / 8;
    for (int y = 0; y < m_height; ++y) {
        std::string row;
        row.reserve(static_cast<size_t>(bytes) * 2);
        for (int k = 0; k < bytes; ++k) {
            const uint8_t b = m_bits[static_cast<size_t>(y * m_stride + k)];
            row.push_back(static_cast<char>((b >> 4) + 0x40));
            row.push_back(static_cast<char>((b & 0x0F) + 0x40));
        }
        rows.push_back(std::move(row));
    }
    return rows;
}
