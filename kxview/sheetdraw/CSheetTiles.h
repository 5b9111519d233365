#pragma once

#include "sheetdraw/CSheetFrame.h"

#include <QImage>

#include <cstdint>
#include <unordered_map>

class CSheetRenderer;
class QPainter;
class SSheetIndex;
class SXKorvDoc;

// The drawn sheet kept in square tiles at the current scale, so that panning draws only the
// strip that comes into view and copies the rest.
class CSheetTiles {
public:
    static constexpr int kTile = 256;
    // About 100 MB of tiles at most; the least recently shown go first.
    static constexpr size_t kMaxTiles = 400;

    // Covers `frame.device` from tiles, drawing those it does not have yet.
    void draw(QPainter& painter, CSheetRenderer& renderer, const SXKorvDoc& doc,
              const SSheetIndex& index, const CSheetFrame& frame);
    void clear() { m_tiles.clear(); }
    size_t size() const { return m_tiles.size(); }

private:
    struct Tile {
        QImage image;
        uint64_t used = 0;
    };
    const QImage& tile(int64_t tx, int64_t ty, CSheetRenderer& renderer, const SXKorvDoc& doc,
                       const SSheetIndex& index, const CSheetFrame& frame);
    void evict();

    std::unordered_map<uint64_t, Tile> m_tiles;
    int32_t m_num = -1;
    int32_t m_den = -1;
    int32_t m_layers = -1;
    uint64_t m_clock = 0;
};
