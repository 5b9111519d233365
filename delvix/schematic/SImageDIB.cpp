#include "schematic/SImageDIB.h"

#include "tagtext/STagReader.h"
#include "tagtext/STagWriter.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789!/";
constexpr size_t kScratchBytes = 1024;
constexpr size_t kSlackBytes = 256;

// -1 for every byte outside the alphabet ("=" and "+" included).
constexpr std::array<int8_t, 256> kValues = [] {
    std::array<int8_t, 256> t{};
    t.fill(-1);
    for (int i = 0; i < 64; ++i)
        t[static_cast<unsigned char>(kAlphabet[i])] = static_cast<int8_t>(i);
    return t;
}();

uint32_t readLE32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

int32_t readLE32s(const uint8_t* p) {
    return static_cast<int32_t>(readLE32(p));
}

} // namespace

// Decoding state of one section: first into a small scratch buffer, then, once the file header
// is known, into the data buffer of declared size + 256 bytes.
struct SImageDIB::Decoder {
    std::array<uint8_t, kScratchBytes> scratch{};
    std::unique_ptr<uint8_t[]> data;
    uint8_t* out = scratch.data();
    size_t capacity = kScratchBytes;
    size_t declared = kScratchBytes;
    size_t count = 0;
    bool headerChecked = false;
    bool stopped = false; // no more data wanted: skip to the end of the section

    void put(uint8_t byte) { out[count++] = byte; }
    // Returns false once decoding stops (header rejected or declared size reached).
    bool afterGroup() {
        if (!headerChecked && count > kFileHeaderBytes) {
            headerChecked = true;
            const uint32_t size = readLE32(scratch.data() + 2);
            if (scratch[0] != 'B' || scratch[1] != 'M' || size > kMaxFileBytes) {
                stopped = true;
                return false;
            }
            declared = size;
            capacity = declared + kSlackBytes;
            data = std::make_unique<uint8_t[]>(capacity); // zero-filled
            std::memcpy(data.get(), scratch.data(), count);
            out = data.get();
        }
        if (headerChecked && count >= declared) {
            stopped = true;
            return false;
        }
        return true;
    }
    void decodeLine(std::string_view line) {
        for (size_t i = 0; i < line.size() && capacity - count >= 3; i += 4) {
            const auto at = [&](size_t k) -> int {
                return i + k < line.size() ? kValues[static_cast<unsigned char>(line[i + k])] : -1;
            };
            const int a = at(0);
            const int b = at(1);
            if (a < 0 || b < 0)
                return;
            put(static_cast<uint8_t>(a << 2 | b >> 4));
            const int c = at(2);
            if (c >= 0)
                put(static_cast<uint8_t>((b & 15) << 4 | c >> 2));
            const int d = c >= 0 ? at(3) : -1;
            if (d >= 0)
                put(static_cast<uint8_t>((c & 3) << 6 | d));
            if (!afterGroup() || d < 0)
                return;
        }
    }
};

int32_t SImageDIB::width() const {
    return m_data ? readLE32s(m_data.get() + 18) : 0;
}

int32_t SImageDIB::height() const {
    return m_data ? readLE32s(m_data.get() + 22) : 0;
}

const uint8_t* SImageDIB::infoHeader() const {
    return m_data ? m_data.get() + kFileHeaderBytes : nullptr;
}

const uint8_t* SImageDIB::pixelBits() const {
    if (!m_data)
        return nullptr;
    const uint32_t offset = readLE32(m_data.get() + 10);
    return offset < m_size ? m_data.get() + offset : nullptr;
}

bool SImageDIB::clear() {
    m_data.reset();
    m_size = 0;
    return false;
}

bool SImageDIB::readSection(STagReader& reader) {
    clear();
    Decoder dec;
    thread_local std::string word;
    for (;;) {
        if (reader.readWord(word) < 0)
            return false;
        if (!word.empty() && word[0] == '-') {
            if (word != kClosing)
                return false;
            break;
        }
        if (!word.empty() && word[0] == '+') {
            word[0] = '-';
            if (reader.skipTo(word) < 0)
                return false;
            continue;
        }
        dec.decodeLine(word);
        if (dec.stopped) {
            if (reader.skipTo(kClosing) < 0)
                return false;
            break;
        }
    }
    if (!dec.data)
        return true; // empty section, not a bitmap file, or too large: an empty image
    m_data = std::move(dec.data);
    m_size = dec.declared;
    return finishRead(dec.count);
}

bool SImageDIB::finishRead(size_t decoded) {
    if (decoded != m_size || m_size < kFileHeaderBytes || m_data[0] != 'B' || m_data[1] != 'M' ||
        width() <= 0 || height() <= 0)
        return clear();
    return true;
}

bool SImageDIB::setFileBytes(std::string_view bytes) {
    clear();
    if (bytes.size() <= kFileHeaderBytes || bytes.size() > kMaxFileBytes ||
        readLE32(reinterpret_cast<const uint8_t*>(bytes.data()) + 2) != bytes.size())
        return false;
    m_data = std::make_unique<uint8_t[]>(bytes.size() + kSlackBytes);
    std::memcpy(m_data.get(), bytes.data(), bytes.size());
    m_size = bytes.size();
    return finishRead(bytes.size());
}

void SImageDIB::encodeLine(const uint8_t* bytes, size_t count, std::string& line) {
    line.clear();
    for (size_t i = 0; i < count; i += 3) {
        const uint32_t b0 = bytes[i];
        const uint32_t b1 = i + 1 < count ? bytes[i + 1] : 0;
        const uint32_t b2 = i + 2 < count ? bytes[i + 2] : 0;
        const uint32_t v = b0 << 16 | b1 << 8 | b2;
        line.push_back(kAlphabet[v >> 18 & 63]);
        line.push_back(kAlphabet[v >> 12 & 63]);
        line.push_back(i + 1 < count ? kAlphabet[v >> 6 & 63] : '=');
        line.push_back(i + 2 < count ? kAlphabet[v & 63] : '=');
    }
}

bool SImageDIB::writeSection(STagWriter& writer) const {
    if (!m_data)
        return false;
    writer.writeWord(kSection);
    writer.endLine();
    std::string line;
    line.reserve(80);
    for (size_t pos = 0; pos < m_size; pos += kBytesPerLine) {
        encodeLine(m_data.get() + pos, std::min(kBytesPerLine, m_size - pos), line);
        writer.writeWord(line);
        writer.endLine();
    }
    writer.writeWord(kClosing);
    writer.endLine();
    return true;
}
