#include "render/SBitPatternRaster.h"

#include "model/SPtn.h"
#include "render/SCompRenderer.h"

#include <QImage>
#include <QPainter>

std::vector<uint8_t> SBitPatternRaster::rasterise(SDrawSettings& text,
                                                  const std::vector<SPtnObj*>& objects,
                                                  SSize pixels) {
    const int32_t stride = SPtn::rowStride(pixels.width);
    std::vector<uint8_t> bits(static_cast<size_t>(stride) * static_cast<size_t>(pixels.height));
    if (pixels.width <= 0 || pixels.height <= 0)
        return bits;
    QImage image(pixels.width, pixels.height, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing, false);
        for (SPtnObj* object : objects)
            SCompRenderer::drawPatternObject(painter, text, *object, Qt::black, {}, 1, 1);
    }
    const QRgb white = QColor(Qt::white).rgb();
    for (int32_t y = 0; y < pixels.height; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        uint8_t* out = bits.data() + static_cast<size_t>(y) * static_cast<size_t>(stride);
        for (int32_t x = 0; x < pixels.width; ++x)
            if ((row[x] & 0xFFFFFF) != (white & 0xFFFFFF))
                out[x / 8] |= static_cast<uint8_t>(0x80u >> (x % 8));
    }
    return bits;
}
