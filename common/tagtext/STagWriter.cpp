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

// Forms `text` at `out` when it has at most 16 bytes and none needs an escape, and returns the
// end; nullptr otherwise. Most words and values are that short: they are tested and formed by a
// few overlapping fixed-size loads and stores, in line, with no loop and no library call.
inline char* putPlainShort(char* out, std::string_view text) {
    const char* p = text.data();
    const size_t n = text.size();
    if (n >= 8) {
        if (n > 16)
            return nullptr;
        const auto head = load<uint64_t>(p);
        const auto tail = load<uint64_t>(p + n - 8);
        if ((mayBeEscaped(head) | mayBeEscaped(tail)) && (escapedLanes(head) | escapedLanes(tail)))
            return nullptr;
        store(out, head);
        store(out + n - 8, tail);
        return out + n;
    }
    if (n >= 4) {
        const auto head = load<uint32_t>(p);
        const auto tail = load<uint32_t>(p + n - 4);
        const uint64_t both = head | uint64_t{tail} << 32;
        if (mayBeEscaped(both) && escapedLanes(both))
            return nullptr;
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
    if (isEscaped(first) || isEscaped(middle) || isEscaped(last))
        return nullptr;
    out[0] = first;
    out[n / 2] = middle;
    out[n - 1] = last;
    return out + n;
}

// Room for 11 bytes ("-2147483648"). Most numbers of a file are below 100.
inline char* putInt(char* out, int32_t value) {
    static constexpr char kDigits[] = "0123456789";
    const auto u = static_cast<uint32_t>(value);
    if (u < 10) {
        out[0] = kDigits[u];
        return out + 1;
    }
    if (u < 100) {
        out[0] = kDigits[u / 10];
        out[1] = kDigits[u % 10];
        return out + 2;
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

int STagWriter::takeWord(char* end) {
    m_out = end;
    m_lineStart = false;
    return finish();
}

// Escaped, a piece fits the spare room. The bytes formed so far are handed on only when the
// room left is too small, so that a string or file still gets most calls' bytes in one piece.
int STagWriter::putPieces(std::string_view text) {
    while (!text.empty()) {
        const std::string_view piece = text.substr(0, kPieceBytes);
        // One byte more for the ":" after a key.
        const size_t room = static_cast<size_t>(m_buffer.get() + m_capacity - m_out);
        if (room < 3 * piece.size() + 1 && flushBlock() < 0)
            return -1;
        m_out = putEscaped(m_out, piece);
        text.remove_prefix(piece.size());
    }
    return 0;
}

int STagWriter::writeAnyWord(std::string_view text) {
    m_out = wordStart();
    m_lineStart = false;
    return putPieces(text) < 0 ? -1 : finish();
}

int STagWriter::writeAnyField(std::string_view key, std::string_view value) {
    m_out = wordStart();
    m_lineStart = false;
    if (putPieces(key) < 0)
        return -1;
    *m_out++ = ':';
    return putPieces(value) < 0 ? -1 : finish();
}

int STagWriter::writeWord(std::string_view text) {
    if (!ready())
        return -1;
    if (char* end = putPlainShort(wordStart(), text))
        return takeWord(end);
    return writeAnyWord(text);
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
    if (char* end = putPlainShort(wordStart(), key)) {
        *end++ = ':';
        return takeWord(putInt(end, value));
    }
    char digits[16];
    const char* end = putInt(digits, value);
    return writeAnyField(key, std::string_view(digits, static_cast<size_t>(end - digits)));
}

int STagWriter::writeText(std::string_view key, std::string_view value) {
    if (!ready())
        return -1;
    if (char* end = putPlainShort(wordStart(), key)) {
        *end++ = ':';
        if ((end = putPlainShort(end, value)))
            return takeWord(end);
    }
    return writeAnyField(key, value);
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
