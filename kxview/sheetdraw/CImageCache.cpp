#include "sheetdraw/CImageCache.h"

#include "schematic/SImageDIB.h"

const QImage& CImageCache::image(const SImageDIB& dib) {
    const auto it = m_images.find(&dib);
    if (it != m_images.end())
        return it->second;
    QImage decoded;
    if (dib.hasData()) {
        decoded.loadFromData(reinterpret_cast<const uchar*>(dib.fileHeader()),
                             static_cast<int>(dib.fileSize()), "BMP");
    }
    return m_images.emplace(&dib, std::move(decoded)).first->second;
}
