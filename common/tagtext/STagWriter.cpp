#include "tagtext/STagWriter.h"

#include "SByteLanes.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <utility>

namespace {

// 0x01-0x20, "%" and "," are escaped. NUL is escaped too so that no byte of a value is lost.
constexpr std::array<bool, 256> kEscaped = [] {
    std::array<bool, 256> t{};
    for (int c = 0; c <= 0x20; ++c)
        t[c] = true;
    t['%'] = true;
    t[','] = true;
    return t;
}();

// The same rule on the eight bytes of a word at once (nonzero when some byte is escaped).
constexpr uint64_t escapedLanes(uint64_t x) {
    using namespace SByteLanes;
    return below(x, 0x21) | equal(x, '%') | equal(x, ',');
}

bool isEscaped(char c) {
    return kEscaped[static_cast<unsigned char>(c)];
}

// The number of bytes before the first escaped one of `text` (all of them when none is).
// Eight bytes at a time: every byte of a saved file passes here.
size_t plainPrefix(std::string_view text) {
    size_t i = 0;
    if constexpr (std::endian::native == std::endian::little) {
        for (; i + 8 <= text.size(); i += 8) {
            uint64_t x;
            std::memcpy(&x, text.data() + i, 8);
            // The lowest flagged byte is exact; it is the first in memory order.
            if (const uint64_t lanes = escapedLanes(x))
                return i + static_cast<size_t>(std::countr_zero(lanes)) / 8;
        }
    }
    while (i < text.size() && !isEscaped(text[i]))
        ++i;
    return i;
}

// Writes `text` at `out`, each escaped byte as "%XX"; returns the end. Needs room for
// 3 * text.size() bytes.
char* putEscaped(char* out, std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (;;) {
        const size_t run = plainPrefix(text);
        if (run != 0)
            std::memcpy(out, text.data(), run);
        out += run;
        if (run == text.size())
            return out;
        const auto c = static_cast<unsigned char>(text[run]);
        out[0] = '%';
        out[1] = kHex[c >> 4];
        out[2] = kHex[c & 15];
        out += 3;
        text.remove_prefix(run + 1);
    }
}

template <typename Word> Word load(const char* p) {
    Word w;
    std::memcpy(&w, p, sizeof w);
    return w;
}

template <typename Word> void store(char* p, Word w) {
    std::memcpy(p, &w, sizeof w);
}

// Nonzero when some byte may be escaped: every escaped byte is at most ",", and most text is
// above it.
constexpr uint64_t mayBeEscaped(uint64_t x) {
    return SByteLanes::below(x, ',' + 1);
}

// As putEscaped, for the rarer texts: 8 to 16 bytes are covered by two overlapping words,
// tested at once and, needing no escape, formed by the same two stores.
char* putChecked(char* out, std::string_view text) {
    const char* p = text.data();
    const size_t n = text.size();
    if (n < 8 || n > 16)
        return putEscaped(out, text);
    const auto head = load<uint64_t>(p);
    const auto tail = load<uint64_t>(p + n - 8);
    if ((mayBeEscaped(head) | mayBeEscaped(tail)) && (escapedLanes(head) | escapedLanes(tail)))
        return putEscaped(out, text);
    store(out, head);
    store(out + n - 8, tail);
    return out + n;
}

// As putEscaped. Most words and values are a few bytes: up to seven are tested and formed by
// a few fixed-size loads and stores, in line, with no loop and no library call.
inline char* putText(char* out, std::string_view text) {
    const char* p = text.data();
    const size_t n = text.size();
    if (n >= 8)
        return putChecked(out, text);
    if (n >= 4) {
        // Two overlapping words cover four to seven bytes.
        const auto head = load<uint32_t>(p);
        const auto tail = load<uint32_t>(p + n - 4);
        const uint64_t both = head | uint64_t{tail} << 32;
        if (mayBeEscaped(both) && escapedLanes(both))
            return putEscaped(out, text);
        store(out, head);
        store(out + n - 4, tail);
        return out + n;
    }
    if (n == 0)
        return out;
    // First, middle and last cover one to three bytes.
    const char first = p[0];
    const char middle = p[n / 2];
    const char last = p[n - 1];
    if (isEscaped(first) | isEscaped(middle) | isEscaped(last))
        return putEscaped(out, text);
    out[0] = first;
    out[n / 2] = middle;
    out[n - 1] = last;
    return out + n;
}

// Room for 11 bytes ("-2147483648").
char* putInt(char* out, int32_t value) {
    if (value >= 0 && value < 10) {
        *out = static_cast<char>('0' + value);
        return out + 1;
    }
    return std::to_chars(out, out + 11, value).ptr;
}

} // namespace

STagWriter::STagWriter() = default;
STagWriter::~STagWriter() = default;

bool STagWriter::attachFile(std::FILE* file) {
    m_file = file;
    // A file gets each call's bytes at its end: callers may write to it between calls.
    attach(file ? Sink::File : Sink::None, LineEnd::CrLf, 1);
    return true;
}

bool STagWriter::attachString(std::string* target, LineEnd lineEnd) {
    m_target = target;
    // Callers read the text between calls: it gets each call's bytes at once.
    attach(target ? Sink::String : Sink::None, lineEnd, 1);
    return true;
}

bool STagWriter::attachStore(Store store, LineEnd lineEnd, size_t blockBytes) {
    m_store = std::move(store);
    attach(m_store ? Sink::Store : Sink::None, lineEnd, std::max<size_t>(blockBytes, 1));
    return true;
}

// Bytes formed for an earlier target and not yet handed on are dropped.
void STagWriter::attach(Sink sink, LineEnd lineEnd, size_t blockBytes) {
    m_sink = sink;
    m_failed = false;
    m_lineStart = true;
    m_lineEnd[0] = lineEnd == LineEnd::CrLf ? '\r' : '\n';
    m_lineEndBytes = lineEnd == LineEnd::CrLf ? 2 : 1;
    const size_t capacity = blockBytes + kSpareBytes;
    if (capacity != m_capacity) {
        m_buffer.reset(new char[capacity]);
        m_capacity = capacity;
    }
    m_out = m_buffer.get();
    m_flushAt = m_out + blockBytes;
}

char* STagWriter::separate(char* out) {
    *out = ',';
    out += m_lineStart ? 0 : 1;
    m_lineStart = false;
    return out;
}

// A piece never needs more than the spare room; the block is handed on between pieces once it
// is full, so the spare room is there again for the next.
int STagWriter::putLong(std::string_view text) {
    while (!text.empty()) {
        if (m_out >= m_flushAt && flushBlock() < 0)
            return -1;
        const std::string_view piece = text.substr(0, kShortBytes);
        m_out = putEscaped(m_out, piece);
        text.remove_prefix(piece.size());
    }
    return 0;
}

int STagWriter::writeWord(std::string_view text) {
    if (!ready())
        return -1;
    if (text.size() <= kShortBytes) {
        m_out = putText(separate(m_out), text);
    } else {
        m_out = separate(m_out);
        if (putLong(text) < 0)
            return -1;
    }
    return finish();
}

int STagWriter::endLine() {
    if (!ready())
        return -1;
    std::memcpy(m_out, m_lineEnd, sizeof m_lineEnd);
    m_out += m_lineEndBytes;
    m_lineStart = true;
    return finish();
}

int STagWriter::writeInt(std::string_view key, int32_t value) {
    if (!ready())
        return -1;
    if (key.size() > kShortBytes) {
        char digits[16];
        const auto end = putInt(digits, value);
        return writeText(key, std::string_view(digits, static_cast<size_t>(end - digits)));
    }
    char* out = putText(separate(m_out), key);
    *out++ = ':';
    m_out = putInt(out, value);
    return finish();
}

int STagWriter::writeText(std::string_view key, std::string_view value) {
    if (!ready())
        return -1;
    if (key.size() + value.size() <= kShortBytes) {
        char* out = putText(separate(m_out), key);
        *out++ = ':';
        m_out = putText(out, value);
        return finish();
    }
    m_out = separate(m_out);
    if (putLong(key) < 0)
        return -1;
    // A piece leaves room for this byte.
    *m_out++ = ':';
    if (putLong(value) < 0)
        return -1;
    return finish();
}

int STagWriter::flush() {
    if (!ready())
        return -1;
    return flushBlock();
}

int STagWriter::flushBlock() {
    const std::string_view bytes(m_buffer.get(), static_cast<size_t>(m_out - m_buffer.get()));
    m_out = m_buffer.get();
    if (bytes.empty() || storeBytes(bytes))
        return 0;
    m_failed = true;
    return -1;
}

bool STagWriter::storeBytes(std::string_view bytes) {
    switch (m_sink) {
    case Sink::String:
        m_target->append(bytes);
        return true;
    case Sink::File:
        return std::fwrite(bytes.data(), 1, bytes.size(), m_file) == bytes.size();
    case Sink::Store:
        return m_store(bytes);
    case Sink::None:
        break;
    }
    return false;
}
