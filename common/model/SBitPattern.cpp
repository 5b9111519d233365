#include "model/SBitPattern.h"

#include <algorithm>
#include <array>

namespace {

int32_t rowStrideOf(int32_t width) {
    return width <= 0 ? 0 : static_cast<int32_t>((int64_t{width} + 15) / 16 * 2);
}

int32_t bytesPerRow(int32_t width) {
    return width <= 0 ? 0 : (width - 1) / 8 + 1;
}

} // namespace

SBitPattern::SBitPattern(SSize size)
    : m_size(size), m_stride(rowStrideOf(size.width)), m_present(true) {}

size_t SBitPattern::length() const {
    return m_size.height <= 0 ? 0
                              : static_cast<size_t>(m_stride) * static_cast<size_t>(m_size.height);
}

size_t SBitPattern::storedRowBytes(int32_t r, const uint8_t*& row) const {
    row = nullptr;
    if (!m_rows || r < 0 || static_cast<size_t>(r) >= m_rows->ends.size())
        return 0;
    const size_t at = static_cast<size_t>(r);
    const size_t begin = at == 0 ? 0 : m_rows->ends[at - 1];
    row = m_rows->bytes.data() + begin;
    return m_rows->ends[at] - begin;
}

uint8_t SBitPattern::byteAt(size_t index) const {
    if (m_stride <= 0 || index >= length())
        return 0;
    const uint8_t* row = nullptr;
    const size_t n =
        storedRowBytes(static_cast<int32_t>(index / static_cast<size_t>(m_stride)), row);
    const size_t k = index % static_cast<size_t>(m_stride);
    return k < n ? row[k] : 0;
}

bool SBitPattern::pixel(int32_t x, int32_t y) const {
    if (!m_present || x < 0 || y < 0 || x >= m_size.width || y >= m_size.height)
        return false;
    const size_t at =
        static_cast<size_t>(m_stride) * static_cast<size_t>(y) + static_cast<size_t>(x / 8);
    return (byteAt(at) & (0x80 >> (x % 8))) != 0;
}

void SBitPattern::setPixel(int32_t x, int32_t y, bool ink) {
    if (!m_present || x < 0 || y < 0 || x >= m_size.width || y >= m_size.height)
        return;
    uint8_t* bytes = data();
    if (!bytes)
        return;
    uint8_t& b =
        bytes[static_cast<size_t>(m_stride) * static_cast<size_t>(y) + static_cast<size_t>(x / 8)];
    const auto bit = static_cast<uint8_t>(0x80 >> (x % 8));
    b = ink ? static_cast<uint8_t>(b | bit) : static_cast<uint8_t>(b & ~bit);
}

std::vector<uint8_t> SBitPattern::bytes() const {
    std::vector<uint8_t> out(length(), 0);
    for (int32_t r = 0; r < m_size.height && m_rows; ++r) {
        const uint8_t* row = nullptr;
        const size_t n = storedRowBytes(r, row);
        std::copy_n(row, n,
                    out.begin() + static_cast<ptrdiff_t>(static_cast<size_t>(m_stride) *
                                                         static_cast<size_t>(r)));
    }
    return out;
}

SBitPattern::Rows& SBitPattern::ownRows() {
    if (!m_rows)
        m_rows = std::make_shared<Rows>();
    else if (m_rows.use_count() > 1)
        m_rows = std::make_shared<Rows>(*m_rows);
    return *m_rows;
}

bool SBitPattern::isDense() const {
    return m_rows && m_rows->ends.size() == static_cast<size_t>(std::max(m_size.height, 0)) &&
           m_rows->bytes.size() == length();
}

// Editing works on the full layout: every row stored at full stride.
void SBitPattern::makeDense() {
    std::vector<uint8_t> full = bytes();
    Rows dense;
    dense.bytes = std::move(full);
    dense.ends.resize(static_cast<size_t>(std::max(m_size.height, 0)));
    for (size_t r = 0; r < dense.ends.size(); ++r)
        dense.ends[r] = static_cast<uint32_t>((r + 1) * static_cast<size_t>(m_stride));
    m_rows = std::make_shared<Rows>(std::move(dense));
}

uint8_t* SBitPattern::data() {
    if (!m_present || length() == 0)
        return nullptr;
    if (!isDense())
        makeDense();
    return ownRows().bytes.data();
}

void SBitPattern::putRow(int32_t r, const uint8_t* row, size_t n) {
    const size_t stored = m_rows ? m_rows->ends.size() : 0;
    if (!m_present || r < 0 || r >= m_size.height || static_cast<size_t>(r) < stored)
        return;
    n = std::min(n, static_cast<size_t>(m_stride));
    while (n > 0 && row[n - 1] == 0)
        --n;
    if (n == 0)
        return; // rows after the last stored one read as zero
    Rows& rows = ownRows();
    // Zero rows in between cost one offset each.
    rows.ends.resize(static_cast<size_t>(r), static_cast<uint32_t>(rows.bytes.size()));
    rows.bytes.insert(rows.bytes.end(), row, row + n);
    rows.ends.push_back(static_cast<uint32_t>(rows.bytes.size()));
}

void SBitPattern::shrinkToFit() {
    if (m_rows && m_rows.use_count() == 1) {
        m_rows->bytes.shrink_to_fit();
        m_rows->ends.shrink_to_fit();
    }
}

SBitPattern SBitPattern::resized(SSize size) const {
    static constexpr std::array<uint8_t, 8> kKeepMask = {0xFF, 0x80, 0xC0, 0xE0,
                                                         0xF0, 0xF8, 0xFC, 0xFE};
    SBitPattern out(size);
    const int32_t m = std::min(size.width, m_size.width);
    const size_t copy = static_cast<size_t>(bytesPerRow(m));
    const int32_t rows = std::min(size.height, m_size.height);
    std::vector<uint8_t> row;
    for (int32_t r = 0;
         r < rows && copy > 0 && m_rows && static_cast<size_t>(r) < m_rows->ends.size(); ++r) {
        const uint8_t* from = nullptr;
        const size_t stored = storedRowBytes(r, from);
        row.assign(copy, 0);
        std::copy_n(from, std::min(stored, copy), row.begin());
        row[copy - 1] &= kKeepMask[static_cast<size_t>(m % 8)];
        out.putRow(r, row.data(), row.size());
    }
    return out;
}

bool operator==(const SBitPattern& a, const SBitPattern& b) {
    return a.m_present == b.m_present && a.m_size == b.m_size && a.bytes() == b.bytes();
}
