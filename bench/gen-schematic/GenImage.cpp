#include "GenImage.h"

#include <algorithm>

namespace {

void putLe(std::string& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

} // namespace

std::string GenImage::bitmap(int width, int height, uint32_t seed) {
    const uint32_t rowBytes = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
    const uint32_t pixelBytes = rowBytes * static_cast<uint32_t>(height);
    std::string out = "BM";
    putLe(out, 54 + pixelBytes, 4); // file size
    putLe(out, 0, 4);
    putLe(out, 54, 4); // offset of the pixels
    putLe(out, 40, 4); // info header size
    putLe(out, static_cast<uint32_t>(width), 4);
    putLe(out, static_cast<uint32_t>(height), 4);
    putLe(out, 1, 2);  // planes
    putLe(out, 24, 2); // bits per pixel
    putLe(out, 0, 4);  // no compression
    putLe(out, pixelBytes, 4);
    putLe(out, 2835, 4); // 72 dpi
    putLe(out, 2835, 4);
    putLe(out, 0, 4);
    putLe(out, 0, 4);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const uint32_t v = seed + static_cast<uint32_t>(x * 7 + y * 13);
            const bool border = x == 0 || y == 0 || x == width - 1 || y == height - 1;
            putLe(out, border ? 0x202020u : (0x808080u ^ (v * 2654435761u >> 8)), 3);
        }
        for (uint32_t pad = static_cast<uint32_t>(width) * 3; pad < rowBytes; ++pad)
            out.push_back(0);
    }
    return out;
}

std::string GenImage::encodeLine(const unsigned char* data, size_t size) {
    static constexpr char kAlphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789!/";
    std::string line;
    for (size_t i = 0; i < size; i += 3) {
        const size_t n = std::min<size_t>(3, size - i);
        uint32_t group = static_cast<uint32_t>(data[i]) << 16;
        if (n > 1)
            group |= static_cast<uint32_t>(data[i + 1]) << 8;
        if (n > 2)
            group |= data[i + 2];
        line.push_back(kAlphabet[(group >> 18) & 63]);
        line.push_back(kAlphabet[(group >> 12) & 63]);
        line.push_back(n > 1 ? kAlphabet[(group >> 6) & 63] : '=');
        line.push_back(n > 2 ? kAlphabet[group & 63] : '=');
    }
    return line;
}

void GenImage::writeSection(GenWriter& out, const std::string& bytes) {
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    out.word("+IMAGE_DIB");
    out.endLine();
    for (size_t i = 0; i < bytes.size(); i += 57) {
        out.word(encodeLine(data + i, std::min<size_t>(57, bytes.size() - i)));
        out.endLine();
    }
    out.word("-IMAGE_DIB");
    out.endLine();
}
