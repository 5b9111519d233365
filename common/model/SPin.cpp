#include "model/SPin.h"

#include "tagtext/STagField.h"
#include "tagtext/STagReader.h"
#include "tagtext/STagWriter.h"

#include <algorithm>
#include <charconv>
#include <cstring>

namespace {

// A field is a header, 0 for an absent field and otherwise length + 1 in seven bits per byte,
// low first, followed by its bytes. Bytes of a field with its header.
size_t fieldBytes(std::optional<std::string_view> value) {
    if (!value)
        return 1;
    size_t header = 1;
    for (size_t v = value->size() + 1; v >= 0x80; v >>= 7)
        ++header;
    return header + value->size();
}

// Puts the field at `out`, which has room for fieldBytes(value); returns its end.
char* putField(char* out, std::optional<std::string_view> value) {
    if (!value) {
        *out = '\0';
        return out + 1;
    }
    size_t v = value->size() + 1;
    while (v >= 0x80) {
        *out++ = static_cast<char>((v & 0x7F) | 0x80);
        v >>= 7;
    }
    *out++ = static_cast<char>(v);
    if (!value->empty())
        std::memcpy(out, value->data(), value->size());
    return out + value->size();
}

void appendField(std::string& out, std::optional<std::string_view> value) {
    const size_t start = out.size();
    out.resize(start + fieldBytes(value));
    putField(out.data() + start, value);
}

// Reads the header at `pos` (the packed string is always well formed) and moves past it.
size_t readHeader(std::string_view data, size_t& pos) {
    size_t v = 0;
    int shift = 0;
    for (;;) {
        const auto byte = static_cast<unsigned char>(data[pos++]);
        v |= static_cast<size_t>(byte & 0x7F) << shift;
        if (byte < 0x80)
            return v;
        shift += 7;
    }
}

int32_t sideFromLetter(char c, int32_t current) {
    switch (c) {
    case 'L':
        return SPin::kSideLeft;
    case 'T':
        return SPin::kSideTop;
    case 'R':
        return SPin::kSideRight;
    case 'B':
        return SPin::kSideBottom;
    default:
        return current;
    }
}

struct FlagLetter {
    char letter;
    uint32_t flag;
};
// The order in which the letters are written.
constexpr FlagLetter kFlagLetters[] = {{'Z', SPin::kFlagZeroLength},
                                       {'S', SPin::kFlagShort},
                                       {'N', SPin::kFlagNegation},
                                       {'C', SPin::kFlagClock},
                                       {'m', SPin::kFlagNumberHidden}};

uint32_t flagsFromLetters(std::string_view letters) {
    uint32_t flags = 0;
    for (const char c : letters) {
        for (const FlagLetter& f : kFlagLetters) {
            if (f.letter == c)
                flags |= f.flag;
        }
    }
    return flags;
}

// Only overlined characters need the 7-bit form; most names are written as they are.
int writeName(STagWriter& writer, std::string_view name) {
    unsigned char high = 0;
    for (const char c : name)
        high |= static_cast<unsigned char>(c);
    if (high < 0x80)
        return writer.writeText("N", name);
    return writer.writeText("N", SPin::encodeName(name));
}

int32_t clampBlockCount(int32_t n) {
    return std::clamp(n, 0, SPin::kMaxBlocks);
}

} // namespace

SPin::Field SPin::fieldAt(size_t index) const {
    const std::string_view data = m_fields;
    size_t pos = 0;
    for (size_t i = 0;; ++i) {
        Field field;
        field.begin = pos;
        field.end = pos;
        // Absent fields after the last present one are not stored.
        if (pos >= data.size())
            return field;
        const size_t header = readHeader(data, pos);
        const size_t length = header == 0 ? 0 : header - 1;
        field.end = pos + length;
        if (i == index) {
            if (header != 0)
                field.value = data.substr(pos, length);
            return field;
        }
        pos = field.end;
    }
}

void SPin::replaceField(size_t index, std::optional<std::string_view> value) {
    const size_t stored = storedFieldCount();
    if (index >= stored && !value)
        return;
    std::string packed;
    packed.reserve(m_fields.size() + (value ? value->size() : 0) + 4);
    if (index >= stored) {
        // A field beyond the stored ones is reached through absent ones.
        packed = m_fields;
        packed.append(index - stored, '\0');
        appendField(packed, value);
    } else {
        const Field old = fieldAt(index);
        packed.append(m_fields, 0, old.begin);
        appendField(packed, value);
        packed.append(m_fields, old.end);
    }
    m_fields = std::move(packed);
    trimAbsentTail();
}

size_t SPin::storedFieldCount() const {
    const std::string_view data = m_fields;
    size_t count = 0;
    for (size_t pos = 0; pos < data.size(); ++count) {
        const size_t header = readHeader(data, pos);
        pos += header == 0 ? 0 : header - 1;
    }
    return count;
}

void SPin::trimAbsentTail() {
    const std::string_view data = m_fields;
    size_t keep = 0;
    for (size_t pos = 0; pos < data.size();) {
        const size_t header = readHeader(data, pos);
        if (header != 0) {
            pos += header - 1;
            keep = pos;
        }
    }
    m_fields.resize(keep);
}

std::optional<std::string_view> SPin::name() const {
    return fieldAt(0).value;
}

void SPin::setName(std::optional<std::string_view> encoded) {
    if (!encoded) {
        replaceField(0, std::nullopt);
        return;
    }
    replaceField(0, decodeName(*encoded));
}

void SPin::setNameBytes(std::optional<std::string_view> bytes) {
    if (bytes && bytes->size() > kMaxNameBytes)
        bytes = bytes->substr(0, kMaxNameBytes);
    replaceField(0, bytes);
}

std::string SPin::encodeName(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + 8);
    for (const char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (u & 0x80) {
            out.push_back('\\');
            out.push_back(static_cast<char>(u & 0x7F));
        } else {
            out.push_back(c);
        }
    }
    return out;
}

std::string SPin::decodeName(std::string_view encoded) {
    char bytes[kMaxNameBytes];
    return std::string(bytes, decodeNameInto(encoded, bytes));
}

size_t SPin::decodeNameInto(std::string_view encoded, char* out) {
    size_t n = 0;
    for (size_t i = 0; i < encoded.size() && n < kMaxNameBytes; ++i) {
        // A lone backslash at the end has nothing to mark; it is kept as it is, so that the
        // name is written back unchanged.
        if (encoded[i] == '\\' && i + 1 < encoded.size()) {
            ++i;
            out[n++] = static_cast<char>(static_cast<unsigned char>(encoded[i]) | 0x80);
        } else {
            out[n++] = encoded[i];
        }
    }
    return n;
}

void SPin::setBlockCount(int32_t n) {
    n = clampBlockCount(n);
    if (n < m_blockCount) {
        m_fields.resize(fieldAt(static_cast<size_t>(n)).end);
        trimAbsentTail();
    }
    m_blockCount = n;
}

std::optional<std::string_view> SPin::number(int32_t block) const {
    if (block < 0 || block >= m_blockCount)
        return std::nullopt;
    return fieldAt(static_cast<size_t>(block) + 1).value;
}

void SPin::setNumber(int32_t block, std::optional<std::string_view> text) {
    if (block < 0 || block >= m_blockCount)
        return;
    replaceField(static_cast<size_t>(block) + 1, text);
}

// What reading a record has stored so far.
struct SPin::ReadState {
    int32_t blocks = 0; // numbers to keep
    int32_t numbersRead = 0;
    bool nameStored = false;
};

bool SPin::read(STagReader& reader, int32_t blockCount) {
    ReadState state{.blocks = clampBlockCount(blockCount)};
    // The fields are packed as they come; a name after the first number is put in front.
    m_fields.clear();
    bool ok = true;
    if (const auto words = reader.takeLineSection("-PIN"))
        readLine(*words, state.blocks);
    else
        ok = readWords(reader, state);
    // Numbers read are present, even when empty: the last stored field is never absent.
    m_blockCount = state.blocks;
    return ok;
}

bool SPin::readWords(STagReader& reader, ReadState& state) {
    std::string scratch;
    std::string_view word;
    while (reader.readWordView(scratch, word) >= 0) {
        if (word.empty())
            continue;
        if (word[0] == '-')
            return word == "-PIN";
        if (word[0] == '+') {
            if (reader.skipTo(STagReader::closingWordOf(word)) < 0)
                return false;
            continue;
        }
        readWord(word, state);
    }
    return true;
}

// The fields a pin reads all have one-letter keys: the letter of a word "X:…", or 0.
char SPin::keyOf(std::string_view word) {
    return word.size() >= 2 && word[1] == ':' ? word[0] : '\0';
}

// A record taken whole: its fields are looked at first, then the name and numbers are packed in
// one piece.
void SPin::readLine(std::span<const std::string_view> words, int32_t blocks) {
    std::optional<std::string_view> encodedName;
    size_t numbers = 0;
    size_t numberBytes = 0;
    for (const std::string_view word : words) {
        const char key = keyOf(word);
        if (key == 'N') {
            encodedName = word.substr(2);
        } else if (key == 'M') {
            if (numbers < static_cast<size_t>(blocks)) {
                ++numbers;
                numberBytes += fieldBytes(word.substr(2));
            }
        } else if (key != '\0') {
            readPlace(key, word.substr(2));
        }
    }
    if (!encodedName && numbers == 0)
        return;
    char nameBytes[kMaxNameBytes];
    std::optional<std::string_view> name;
    if (encodedName)
        name = std::string_view(nameBytes, decodeNameInto(*encodedName, nameBytes));
    m_fields.resize(fieldBytes(name) + numberBytes);
    char* out = putField(m_fields.data(), name);
    for (auto word = words.begin(); numbers > 0; ++word) {
        if (keyOf(*word) == 'M') {
            out = putField(out, word->substr(2));
            --numbers;
        }
    }
}

// "L" sets the place, "T" the look; other keys are ignored.
void SPin::readPlace(char key, std::string_view value) {
    if (key == 'L') {
        if (value.empty())
            return;
        m_side = sideFromLetter(value[0], m_side);
        const int32_t offset = STagField::toInt(value.substr(1));
        if (offset >= 0 && offset <= kMaxOffset)
            m_offset = offset;
    } else if (key == 'T') {
        m_flags = flagsFromLetters(value);
    }
}

void SPin::readWord(std::string_view word, ReadState& state) {
    const char key = keyOf(word);
    const std::string_view value = key ? word.substr(2) : std::string_view();
    if (key == 'N') {
        storeReadName(decodeName(value), state.nameStored);
        state.nameStored = true;
    } else if (key == 'M') {
        if (state.numbersRead < state.blocks) {
            if (!state.nameStored)
                m_fields.push_back('\0'); // no name yet
            state.nameStored = true;
            appendField(m_fields, value);
            ++state.numbersRead;
        }
    } else if (key != '\0') {
        readPlace(key, value);
    }
}

void SPin::storeReadName(std::string_view name, bool replace) {
    if (!replace) {
        appendField(m_fields, name);
        return;
    }
    const std::string numbers = m_fields.substr(fieldAt(0).end);
    m_fields.clear();
    appendField(m_fields, name);
    m_fields += numbers;
}

bool SPin::write(STagWriter& writer) const {
    // One walk over the packed fields: the name first, then the numbers.
    const std::string_view data = m_fields;
    size_t pos = 0;
    const auto nextField = [&] {
        // Absent fields after the last present one are not stored.
        const size_t header = pos < data.size() ? readHeader(data, pos) : 0;
        const size_t length = header == 0 ? 0 : header - 1;
        pos += length;
        return data.substr(pos - length, length);
    };
    const std::string_view pinName = nextField();
    if (writer.writeWord("+PIN") < 0 || writeName(writer, pinName) < 0)
        return false;
    char location[16] = {"LTRB"[static_cast<uint32_t>(m_side) & 3]};
    const auto [end, ec] = std::to_chars(location + 1, location + sizeof location, m_offset);
    if (ec != std::errc() || writer.writeText("L", std::string_view(location, end)) < 0)
        return false;
    char letters[8];
    size_t count = 0;
    for (const FlagLetter& f : kFlagLetters) {
        letters[count] = f.letter;
        count += (m_flags & f.flag) ? 1 : 0;
    }
    if (writer.writeText("T", std::string_view(letters, count)) < 0)
        return false;
    for (int32_t block = 0; block < m_blockCount; ++block) {
        if (writer.writeText("M", nextField()) < 0)
            return false;
    }
    return writer.writeWord("-PIN") >= 0;
}
