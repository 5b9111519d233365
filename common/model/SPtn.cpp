#include "model/SPtn.h"

#include "SScratchList.h"
#include "model/SPtnObjArc.h"
#include "model/SPtnObjCircle.h"
#include "model/SPtnObjLine.h"
#include "model/SPtnObjPolygon.h"
#include "model/SPtnObjText.h"
#include "tagtext/STagField.h"
#include "tagtext/STagReader.h"
#include "tagtext/STagWriter.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace {

// Pixels per byte of a row text character pair: "@" to "O" carry one nibble each.
constexpr char kNibbleBase = 0x40;

bool isNibble(char c) {
    return c >= kNibbleBase && c <= kNibbleBase + 15;
}

void decodeRow(std::string_view text, uint8_t* row, size_t bytesPerRow) {
    const size_t n = std::min(text.size() / 2, bytesPerRow);
    for (size_t k = 0; k < n; ++k) {
        const char hi = text[2 * k];
        const char lo = text[2 * k + 1];
        row[k] = isNibble(hi) && isNibble(lo)
                     ? static_cast<uint8_t>((hi - kNibbleBase) * 16 + (lo - kNibbleBase))
                     : 0;
    }
}

int32_t bytesPerRow(int32_t width) {
    return width <= 0 ? 0 : (width - 1) / 8 + 1;
}

int32_t heldSide(int32_t v) {
    return std::clamp(v, 0, SPtn::kMaxBitPatternSide);
}

bool isBitPatternSize(SSize s) {
    return s.width > 0 && s.height > 0 && s.width <= SPtn::kMaxBitPatternSide &&
           s.height <= SPtn::kMaxBitPatternSide;
}

} // namespace

SPtn::SPtn(const SPtn& other) : m_name(other.m_name), m_size(other.m_size), m_bits(other.m_bits) {
    m_objects.reserve(other.m_objects.size());
    for (const auto& o : other.m_objects)
        m_objects.push_back(o->duplicate());
}

SPtn::~SPtn() {
    dropObjects();
}

SPtn& SPtn::operator=(SPtn&& other) noexcept {
    if (this != &other) {
        dropObjects();
        m_name = std::move(other.m_name);
        m_size = other.m_size;
        m_bits = std::move(other.m_bits);
        m_objectStorage = std::move(other.m_objectStorage);
        m_objects = std::move(other.m_objects);
    }
    return *this;
}

void SPtn::dropObjects() {
    m_objects.clear();
    m_objectStorage.reset();
}

void SPtn::storeTogether(std::vector<std::unique_ptr<SPtnObj>>& objects) {
    constexpr size_t kAlign = alignof(void*);
    static_assert(alignof(SPtnObjLine) <= kAlign && alignof(SPtnObjCircle) <= kAlign &&
                  alignof(SPtnObjPolygon) <= kAlign && alignof(SPtnObjArc) <= kAlign &&
                  alignof(SPtnObjText) <= kAlign);
    const auto rounded = [](size_t n) { return (n + kAlign - 1) / kAlign * kAlign; };
    size_t bytes = 0;
    for (const auto& object : objects)
        bytes += rounded(object->storageSize());
    m_objects.clear();
    m_objects.reserve(objects.size());
    m_objectStorage = bytes ? std::make_unique<std::byte[]>(bytes) : nullptr;
    std::byte* place = m_objectStorage.get();
    for (auto& object : objects) {
        m_objects.emplace_back(object->relocate(place));
        place += rounded(object->storageSize());
        object.reset();
    }
    objects.clear();
}

SPtn& SPtn::operator=(const SPtn& other) {
    if (this != &other) {
        SPtn copy(other);
        *this = std::move(copy);
    }
    return *this;
}

int32_t SPtn::rowStride(int32_t width) {
    return width <= 0 ? 0 : static_cast<int32_t>((int64_t{width} + 15) / 16 * 2);
}

bool SPtn::bitPatternAllowed() const {
    // Beyond 501 pixels the row layout is undefined: such a "+BMP" is skipped, the size kept.
    return isBitPatternSize(m_size) && m_name && !m_name->empty() && !hasBitPattern();
}

bool SPtn::read(STagReader& reader) {
    m_bits = SBitPattern();
    dropObjects();
    m_name.reset();
    m_size = {};
    SSize bitsSize;
    SScratchList<std::unique_ptr<SPtnObj>> objects;
    const bool ok = readBody(reader, bitsSize, objects.items());
    storeTogether(objects.items());
    fitBitPattern(bitsSize);
    return ok;
}

bool SPtn::readBody(STagReader& reader, SSize& bitsSize,
                    std::vector<std::unique_ptr<SPtnObj>>& objects) {
    std::string scratch;
    std::string_view word;
    for (;;) {
        if (reader.readWordView(scratch, word) < 0)
            return true;
        if (word.empty())
            continue;
        if (word[0] == '-')
            return word == "-PTN";
        if (word == "+BMP" && bitPatternAllowed()) {
            if (!readBitPattern(reader))
                return false;
            bitsSize = m_size;
        } else if (auto object = SPtnObj::createForSection(word)) {
            if (object->read(reader))
                objects.push_back(std::move(object));
        } else if (word[0] == '+') {
            if (reader.skipTo(STagReader::closingWordOf(word)) < 0)
                return false;
        } else if (STagField field; STagField::split(word, field) && !field.value.empty()) {
            if (field.key == "X")
                m_size.width = STagField::toInt(field.value);
            else if (field.key == "Y")
                m_size.height = STagField::toInt(field.value);
            else if (field.key == "N")
                m_name = std::string(field.value);
        }
    }
}

bool SPtn::readBitPattern(STagReader& reader) {
    const int32_t w = heldSide(m_size.width);
    const int32_t h = heldSide(m_size.height);
    const size_t rowBytes = static_cast<size_t>(bytesPerRow(w));
    // Rows are stored as they come, so an empty or short bit pattern costs no more than its text.
    SBitPattern bits(SSize(w, h));
    std::vector<uint8_t> row(rowBytes);
    int32_t rows = 0;
    std::string word;
    for (;;) {
        if (reader.readWord(word) < 0)
            return false;
        if (word == "-BMP") {
            bits.shrinkToFit();
            m_bits = std::move(bits);
            return true;
        }
        if (!word.empty() && word[0] == '-')
            return false;
        if (!word.empty() && word[0] == '+') {
            word[0] = '-';
            if (reader.skipTo(word) < 0)
                return false;
        } else if (rows < h) {
            std::fill(row.begin(), row.end(), uint8_t{0});
            decodeRow(word, row.data(), rowBytes);
            bits.putRow(rows++, row.data(), row.size());
        }
    }
}

void SPtn::fitBitPattern(SSize bitsSize) {
    if (!hasBitPattern() || m_size == bitsSize)
        return;
    const SSize wanted = m_size;
    m_size = bitsSize;
    setBitPatternSize(wanted, !isBitPatternSize(wanted));
}

void SPtn::setBitPatternSize(SSize size, bool remove) {
    if (remove) {
        m_bits = SBitPattern();
        m_size = size;
        return;
    }
    const SSize held(heldSide(size.width), heldSide(size.height));
    // A present bit pattern always has the pattern's size: its top-left part is kept.
    m_bits = hasBitPattern() ? m_bits.resized(held) : SBitPattern(held);
    m_size = held;
}

bool SPtn::pixel(int32_t x, int32_t y) const {
    return x < m_size.width && y < m_size.height && m_bits.pixel(x, y);
}

void SPtn::setPixel(int32_t x, int32_t y, bool ink) {
    if (x < m_size.width && y < m_size.height)
        m_bits.setPixel(x, y, ink);
}

const SPtnObj* SPtn::object(int32_t index) const {
    return index >= 0 && index < objectCount() ? m_objects[static_cast<size_t>(index)].get()
                                               : nullptr;
}

SPtnObj* SPtn::object(int32_t index) {
    return const_cast<SPtnObj*>(std::as_const(*this).object(index));
}

void SPtn::setObjects(std::vector<std::unique_ptr<SPtnObj>> objects) {
    std::erase(objects, nullptr);
    dropObjects();
    m_objects = std::move(objects);
}

void SPtn::appendObject(std::unique_ptr<SPtnObj> object) {
    if (object)
        m_objects.push_back(std::move(object));
}

bool SPtn::write(STagWriter& writer, std::optional<std::string_view> nameOverride) const {
    const std::string_view name = nameOverride ? *nameOverride
                                  : m_name     ? std::string_view(*m_name)
                                               : std::string_view();
    bool ok = writer.writeWord("+PTN") == 0;
    ok &= writer.writeText("N", name) == 0;
    ok &= writer.writeInt("X", m_size.width) == 0;
    ok &= writer.writeInt("Y", m_size.height) == 0;
    ok &= writer.endLine() == 0;
    if (hasBitPattern())
        ok &= writeBitPattern(writer);
    for (const auto& object : m_objects) {
        // A polygon of more than 32 nodes has no file form and is left out.
        const bool skipped = object->id() == SPtnObjId::Polygon &&
                             !static_cast<const SPtnObjPolygon&>(*object).isWritable();
        if (!object->write(writer) && !skipped)
            ok = false;
    }
    ok &= writer.writeWord("-PTN") == 0;
    ok &= writer.endLine() == 0;
    return ok;
}

bool SPtn::writeBitPattern(STagWriter& writer) const {
    const size_t stride = static_cast<size_t>(bitPatternStride());
    const size_t rowBytes = std::min(static_cast<size_t>(bytesPerRow(m_size.width)), stride);
    const size_t length = m_bits.length();
    bool ok = writer.writeWord("+BMP") == 0;
    ok &= writer.endLine() == 0;
    std::string text;
    for (int32_t r = 0; r < m_size.height; ++r) {
        const size_t from = stride * static_cast<size_t>(r);
        const size_t n = from < length ? std::min(rowBytes, length - from) : 0;
        const uint8_t* row = nullptr;
        const size_t stored = m_bits.storedRowBytes(r, row);
        text.resize(2 * n);
        for (size_t k = 0; k < n; ++k) {
            const uint8_t byte = k < stored ? row[k] : 0;
            text[2 * k] = static_cast<char>(kNibbleBase + (byte >> 4));
            text[2 * k + 1] = static_cast<char>(kNibbleBase + (byte & 0x0F));
        }
        ok &= writer.writeWord(text) == 0;
        ok &= writer.endLine() == 0;
    }
    ok &= writer.writeWord("-BMP") == 0;
    ok &= writer.endLine() == 0;
    return ok;
}
