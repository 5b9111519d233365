#pragma once

#include "model/SBitPattern.h"
#include "model/SPoint.h"
#include "model/SPtnObj.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class STagReader;
class STagWriter;

// A component's graphic body: an optional monochrome bit pattern covering the body (one bit per
// pixel, most significant bit leftmost, rows padded to 16 bits) and the pattern objects drawn
// over it in list order.
class SPtn {
public:
    // Neither side of a bit pattern may exceed this (a row then fits 63 bytes).
    static constexpr int32_t kMaxBitPatternSide = 501;

    SPtn() = default;
    SPtn(const SPtn& other);
    SPtn& operator=(const SPtn& other);
    SPtn(SPtn&&) noexcept = default;
    SPtn& operator=(SPtn&& other) noexcept;
    virtual ~SPtn();

    // Called just after "+PTN" was read; reads up to and including "-PTN".
    bool read(STagReader& reader);
    // `nameOverride` is written in place of the pattern's own name.
    bool write(STagWriter& writer,
               std::optional<std::string_view> nameOverride = std::nullopt) const;

    // With `remove` the bit pattern goes and only the size is stored; otherwise the size is held
    // to 501 and the old pixels' top-left part is kept.
    void setBitPatternSize(SSize size, bool remove);

    const std::optional<std::string>& name() const { return m_name; }
    void setName(std::optional<std::string> name) { m_name = std::move(name); }
    SSize size() const { return m_size; }

    bool hasBitPattern() const { return m_bits.present() && m_bits.length() > 0; }
    // The full byte layout (a copy; empty without a bit pattern).
    std::vector<uint8_t> bitPattern() const { return m_bits.bytes(); }
    const SBitPattern& bits() const { return m_bits; }
    // Pixels may be changed in place; the length stays that of the size. The pointer holds
    // until the pattern is copied, resized or read again (copies share their bytes until one of
    // them is changed).
    uint8_t* bitPatternData() { return m_bits.data(); }
    int32_t bitPatternLength() const { return static_cast<int32_t>(m_bits.length()); }
    // Bytes per row of a bit pattern `width` pixels wide (0 for no width).
    static int32_t rowStride(int32_t width);
    int32_t bitPatternStride() const { return rowStride(m_size.width); }
    // False outside the bit pattern.
    bool pixel(int32_t x, int32_t y) const;
    void setPixel(int32_t x, int32_t y, bool ink);

    int32_t objectCount() const { return static_cast<int32_t>(m_objects.size()); }
    // Null outside 0..objectCount()-1.
    const SPtnObj* object(int32_t index) const;
    SPtnObj* object(int32_t index);
    const std::vector<std::unique_ptr<SPtnObj>>& objects() const { return m_objects; }
    // Empty entries are dropped.
    void setObjects(std::vector<std::unique_ptr<SPtnObj>> objects);
    void appendObject(std::unique_ptr<SPtnObj> object);

private:
    bool readBody(STagReader& reader, SSize& bitsSize,
                  std::vector<std::unique_ptr<SPtnObj>>& objects);
    bool bitPatternAllowed() const;
    bool readBitPattern(STagReader& reader);
    // Keeps the bit pattern's layout in step with a size changed after it was read.
    void fitBitPattern(SSize bitsSize);
    // Moves the objects read into one block of storage: a pattern of many small objects then
    // costs one allocation, not one per object.
    void storeTogether(std::vector<std::unique_ptr<SPtnObj>>& objects);
    // Destroys the objects, then frees their block.
    void dropObjects();
    bool writeBitPattern(STagWriter& writer) const;

    std::optional<std::string> m_name;
    SSize m_size;
    SBitPattern m_bits;
    // Storage of the objects that were read (they only run their destructors when dropped);
    // objects added later are allocated one by one. Outlives every object in it.
    std::unique_ptr<std::byte[]> m_objectStorage;
    std::vector<std::unique_ptr<SPtnObj>> m_objects;
};
