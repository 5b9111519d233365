#pragma once

#include <QImage>

#include <unordered_map>

class SImageDIB;

// Decoded pictures of a sheet, one per embedded bitmap (image objects may share one).
class CImageCache {
public:
    // The decoded bitmap; a null image when the bytes are not a bitmap Qt can read.
    const QImage& image(const SImageDIB& dib);
    void clear() { m_images.clear(); }

private:
    std::unordered_map<const SImageDIB*, QImage> m_images;
};
