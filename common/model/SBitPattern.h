#pragma once

#include "model/SPoint.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// The bytes of a monochrome bit pattern: rows of `stride` bytes, one bit per pixel, most
// significant bit leftmost. Only what a file gave is stored: the rows read so far, each without
// its trailing zero bytes; every other byte reads as 0. So a hostile file of empty or short bit
// patterns costs memory in proportion to its own size, not 32 KB per pattern. Copies share the
// bytes until one of them is changed.
class SBitPattern {
public:
    // No bit pattern.
    SBitPattern() = default;
    // An all-zero bit pattern of `size` (both sides above 0 for any pixels).
    explicit SBitPattern(SSize size);

    bool present() const { return m_present; }
    SSize size() const { return m_size; }
    int32_t stride() const { return m_stride; }
    // stride × height: the length of the full byte layout.
    size_t length() const;

    uint8_t byteAt(size_t index) const;
    // False outside the bit pattern.
    bool pixel(int32_t x, int32_t y) const;
    void setPixel(int32_t x, int32_t y, bool ink);
    // The full byte layout.
    std::vector<uint8_t> bytes() const;
    // The full layout, writable in place; empty patterns give null.
    uint8_t* data();

    // Sets row `r` from `n` given bytes (the rest of the row is 0). Rows are given in
    // increasing order; a row at or before one already given, or past the height, is ignored.
    void putRow(int32_t r, const uint8_t* row, size_t n);
    // Gives back the room kept for rows that never came (after reading).
    void shrinkToFit();
    // The stored bytes of row `r` (at most the stride): the rest of the row is 0.
    size_t storedRowBytes(int32_t r, const uint8_t*& row) const;

    // This pattern at another size: the top-left part is kept, pixels beyond the old width are
    // cleared (`size` must be held to the maximum side by the caller).
    SBitPattern resized(SSize size) const;

    friend bool operator==(const SBitPattern& a, const SBitPattern& b);

private:
    struct Rows {
        std::vector<uint8_t> bytes;
        std::vector<uint32_t> ends; // end offset in `bytes` of every stored row
    };
    Rows& ownRows();
    bool isDense() const;
    void makeDense();

    std::shared_ptr<Rows> m_rows; // null: no row stored yet
    SSize m_size;
    int32_t m_stride = 0;
    bool m_present = false;
};
