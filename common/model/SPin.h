#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

class STagReader;
class STagWriter;

// One pin of a component: its place on the body's edge, its drawing flags, its name and one pin
// number per block. Read and written as a "+PIN" record.
//
// Name and numbers live in one packed byte string (length-prefixed fields) so that the common
// short pin fits in place: a library holds hundreds of thousands of pins.
class SPin {
public:
    // Edges of the body.
    static constexpr int32_t kSideLeft = 0;
    static constexpr int32_t kSideTop = 1;
    static constexpr int32_t kSideRight = 2;
    static constexpr int32_t kSideBottom = 3;

    // Type flags; the "T" field lists their letters in the order Z, S, N, C, m.
    static constexpr uint32_t kFlagShort = 0x01;        // "S": number drawn close to the pin
    static constexpr uint32_t kFlagZeroLength = 0x02;   // "Z": no pin line, a small square
    static constexpr uint32_t kFlagClock = 0x04;        // "C": clock triangle at the body edge
    static constexpr uint32_t kFlagNegation = 0x08;     // "N": small circle at the line's end
    static constexpr uint32_t kFlagNumberHidden = 0x10; // "m": pin number not shown

    static constexpr int32_t kMaxOffset = 255;
    static constexpr size_t kMaxNameBytes = 255;
    // A component has at most 256 blocks; more numbers than that are never kept.
    static constexpr int32_t kMaxBlocks = 256;

    // Reads the record after its "+PIN" word, with `blockCount` pin numbers. Side, offset and
    // flags keep their values unless the record sets them. False on a closing word other than
    // "-PIN" and on the end of input inside a nested section.
    bool read(STagReader& reader, int32_t blockCount);
    // Writes the record on the current line (the caller ends it). False on a write error.
    bool write(STagWriter& writer) const;

    int32_t side() const { return m_side; }
    void setSide(int32_t side) { m_side = side; }
    int32_t offset() const { return m_offset; }
    void setOffset(int32_t offset) { m_offset = offset; }
    uint32_t typeFlags() const { return m_flags; }
    void setTypeFlags(uint32_t flags) { m_flags = flags; }

    // The stored name bytes (high bit set = overlined character), or absent.
    std::optional<std::string_view> name() const;
    // Stores a name given in the 7-bit form ("\" + c stands for c | 0x80), at most 255 bytes
    // after decoding.
    void setName(std::optional<std::string_view> encoded);
    // Stores the name bytes as they are (at most 255 bytes).
    void setNameBytes(std::optional<std::string_view> bytes);

    // The 7-bit form of name bytes, as written to files and shown for editing.
    static std::string encodeName(std::string_view bytes);
    // Name bytes from the 7-bit form, at most 255 of them. A lone "\" at the end stays a "\".
    static std::string decodeName(std::string_view encoded);

    // Number of pin numbers (the component's block count).
    int32_t blockCount() const { return m_blockCount; }
    // Keeps the first min(old, n) numbers; new ones are absent. n is held to 0..256.
    void setBlockCount(int32_t n);
    // The number of a block, absent outside 0..blockCount()-1.
    std::optional<std::string_view> number(int32_t block) const;
    // Ignored for a block outside 0..blockCount()-1.
    void setNumber(int32_t block, std::optional<std::string_view> text);

    friend bool operator==(const SPin&, const SPin&) = default;

private:
    struct ReadState;
    bool readWords(STagReader& reader, ReadState& state);
    void readWord(std::string_view word, ReadState& state);
    void readLine(std::span<const std::string_view> words, int32_t blocks);
    void readPlace(char key, std::string_view value);
    static char keyOf(std::string_view word);
    // decodeName into `out` (room for kMaxNameBytes); returns the length.
    static size_t decodeNameInto(std::string_view encoded, char* out);

    struct Field {
        size_t begin = 0; // first byte of the field's header
        size_t end = 0;   // one past its last byte
        std::optional<std::string_view> value;
    };
    Field fieldAt(size_t index) const;
    size_t storedFieldCount() const;
    void replaceField(size_t index, std::optional<std::string_view> value);
    // Drops the absent fields after the last present one: every pin has one stored form.
    void trimAbsentTail();
    // Puts a name read from a record in front of the fields, replacing the one stored.
    void storeReadName(std::string_view name, bool replace);

    int32_t m_side = kSideLeft;
    int32_t m_offset = 0;
    uint32_t m_flags = 0;
    int32_t m_blockCount = 0;
    // Field 0 is the name, fields 1..blockCount the numbers. Each field is a varint header
    // (0 = absent, otherwise length + 1) followed by its bytes. Absent fields at the end are not
    // stored, so that a pin of many blocks without numbers costs no more than its record.
    std::string m_fields;
};
