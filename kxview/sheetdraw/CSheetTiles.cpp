#include "sheetdraw/CSheetTiles.h"

#include "sheetdraw/CSheetRenderer.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

uint64_t keyOf(int64_t tx, int64_t ty) {
    return (static_cast<uint64_t>(tx) << 32) ^ static_cast<uint32_t>(ty);
}

int64_t tileOf(int64_t v) {
    return v >= 0 ? v / CSheetTiles::kTile : -((-v + CSheetTiles::kTile - 1) / CSheetTiles::kTile);
}

} // namespace

void CSheetTiles::draw(QPainter& painter, CSheetRenderer& renderer, const SXKorvDoc& doc,
                       const SSheetIndex& index, const CSheetFrame& frame) {
    if (frame.num != m_num || frame.den != m_den || frame.layers != m_layers) {
        m_tiles.clear();
        m_num = frame.num;
        m_den = frame.den;
        m_layers = frame.layers;
    }
    const QRect& d = frame.device;
    const int64_t x0 = tileOf(d.left() + frame.scrollX);
    const int64_t x1 = tileOf(d.right() + frame.scrollX);
    const int64_t y0 = tileOf(d.top() + frame.scrollY);
    const int64_t y1 = tileOf(d.bottom() + frame.scrollY);
    ++m_clock;
    for (int64_t ty = y0; ty <= y1; ++ty) {
        for (int64_t tx = x0; tx <= x1; ++tx) {
            const QImage& image = tile(tx, ty, renderer, doc, index, frame);
            painter.drawImage(QPoint(static_cast<int>(tx * kTile - frame.scrollX),
                                     static_cast<int>(ty * kTile - frame.scrollY)),
                              image);
        }
    }
    evict();
}

const QImage& CSheetTiles::tile(int64_t tx, int64_t ty, CSheetRenderer& renderer,
                                const SXKorvDoc& doc, const SSheetIndex& index,
                                const CSheetFrame& frame) {
    Tile& t = m_tiles[keyOf(tx, ty)];
    t.used = m_clock;
    if (!t.image.isNull())
        return t.image;
    t.image = QImage(kTile, kTile, QImage::Format_ARGB32_Premultiplied);
    CSheetFrame at = frame;
    at.scrollX = tx * kTile;
    at.scrollY = ty * kTile;
    at.device = QRect(0, 0, kTile, kTile);
    QPainter painter(&t.image);
    renderer.drawSheet(painter, doc, index, at);
    return t.image;
}

void CSheetTiles::evict() {
    while (m_tiles.size() > kMaxTiles) {
        auto oldest = m_tiles.begin();
        for (auto it = m_tiles.begin(); it != m_tiles.end(); ++it) {
            if (it->second.used < oldest->second.used)
                oldest = it;
        }
        if (oldest->second.used == m_clock)
            break; // everything left is on screen
        m_tiles.erase(oldest);
    }
}
