#include "tagtext/STagReader.h"

#include "SByteLanes.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr size_t kBufferBytes = 1 << 18;

// Bytes that stop a plain run: the delimiters and the escape character.
constexpr std::array<bool, 256> kStops = [] {
    std::array<bool, 256> t{};
    t[static_cast<unsigned char>(',')] = true;
    t[static_cast<unsigned char>('\n')] = true;
    t[static_cast<unsigned char>('\r')] = true;
    t[static_cast<unsigned char>('%')] = true;
    return t;
}();

// The first stop byte in [p, limit), or limit. Eight bytes at a time: words are read at every
// byte of the file, and this scan is most of the reader's work.
[[gnu::always_inline]] inline const char* findStop(const char* p, const char* limit) {
    if constexpr (std::endian::native == std::endian::little) {
        using namespace SByteLanes;
        while (limit - p >= 8) {
            uint64_t x;
            std::memcpy(&x, p, 8);
            const uint64_t hits = equal(x, ',') | equal(x, '\n') | equal(x, '\r') | equal(x, '%');
            if (hits)
                return p + std::countr_zero(hits) / 8;
            p += 8;
        }
    }
    while (p != limit && !kStops[static_cast<unsigned char>(*p)])
        ++p;
    return p;
}

// Bit i set when byte i of the `n` (at most 64) bytes at `p` is a stop byte.
uint64_t stopMask(const char* p, size_t n) {
#if defined(__SSE2__)
    if (n == 64) {
        uint64_t mask = 0;
        const __m128i comma = _mm_set1_epi8(',');
        const __m128i lf = _mm_set1_epi8('\n');
        const __m128i cr = _mm_set1_epi8('\r');
        const __m128i escape = _mm_set1_epi8('%');
        for (int i = 0; i < 4; ++i) {
            const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * i));
            const __m128i hits =
                _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(x, comma), _mm_cmpeq_epi8(x, lf)),
                             _mm_or_si128(_mm_cmpeq_epi8(x, cr), _mm_cmpeq_epi8(x, escape)));
            mask |= static_cast<uint64_t>(static_cast<uint16_t>(_mm_movemask_epi8(hits)))
                    << (16 * i);
        }
        return mask;
    }
#endif
    uint64_t mask = 0;
    for (size_t i = 0; i < n; ++i)
        mask |= static_cast<uint64_t>(kStops[static_cast<unsigned char>(p[i])]) << i;
    return mask;
}

} // namespace

STagReader::STagReader() = default;
STagReader::~STagReader() = default;

bool STagReader::attachFile(std::FILE* file) {
    m_file = file;
    if (!m_buffer)
        m_buffer = std::make_unique<char[]>(kBufferBytes);
    m_cur = m_end = m_buffer.get();
    ++m_fills;
    m_line = 1;
    m_readError = false;
    return true;
}

bool STagReader::attachString(const char* text) {
    return attachString(std::string_view(text ? text : ""));
}

bool STagReader::attachString(std::string_view text) {
    m_file = nullptr;
    const void* nul = std::memchr(text.data(), 0, text.size());
    m_cur = text.data();
    ++m_fills;
    m_end = nul ? static_cast<const char*>(nul) : text.data() + text.size();
    m_line = 1;
    m_readError = false;
    return true;
}

bool STagReader::refill() {
    if (!m_file)
        return false;
    const size_t n = std::fread(m_buffer.get(), 1, kBufferBytes, m_file);
    if (n == 0) {
        if (std::ferror(m_file))
            m_readError = true;
        return false;
    }
    m_cur = m_buffer.get();
    m_end = m_cur + n;
    ++m_fills;
    return true;
}

inline int STagReader::next() {
    if (m_cur == m_end && !refill())
        return -1;
    return static_cast<unsigned char>(*m_cur++);
}

// Copies the plain bytes that follow in the buffer in one go; behaves as storing them one by one.
void STagReader::appendPlainRun(std::string& word) {
    const char* p = m_cur;
    const size_t room = kMaxWordBytes - word.size();
    const char* limit = static_cast<size_t>(m_end - p) > room ? p + room : m_end;
    p = findStop(p, limit);
    word.append(m_cur, p);
    m_cur = p;
}

// Skips blanks and line ends up to the first byte of a word, which is consumed; -1 at the end.
inline int STagReader::firstByte() {
    for (;;) {
        if (m_cur == m_end && !refill())
            return -1;
        const int c = static_cast<unsigned char>(*m_cur++);
        if (c == '\n')
            ++m_line;
        else if (c != ' ' && c != '\t' && c != '\r')
            return c;
    }
}

// Most words hold no escape and end at a delimiter inside the buffer: such a word is taken in
// one go. False, with nothing consumed, when the word needs the byte-by-byte rules (an escape,
// the size limit, or the end of the buffer before its delimiter).
[[gnu::always_inline]] inline bool STagReader::scanPlainWord(std::string_view& word) {
    const char* start = m_cur - 1; // the word's first byte, already consumed
    const size_t left = static_cast<size_t>(m_end - start);
    const char* limit = left > kMaxWordBytes ? start + kMaxWordBytes : m_end;
    const char* p = findStop(m_cur, limit);
    if (p == limit || *p == '%')
        return false;
    word = std::string_view(start, static_cast<size_t>(p - start));
    m_cur = p + 1; // the delimiter is consumed
    if (*p == '\n')
        ++m_line;
    return true;
}

// The byte-by-byte rules, from the word's first byte `c` on.
int32_t STagReader::readDecodedWord(int c, int32_t startLine, std::string& word) {
    word.clear();
    while (!isDelimiter(c) && word.size() < kMaxWordBytes) {
        if (c == '%') {
            const int high = next();
            if (high < 0 || isDelimiter(high))
                return -1;
            const int low = next();
            if (low < 0 || isDelimiter(low))
                return -1;
            word.push_back(static_cast<char>(escapedByte(high, low)));
        } else {
            word.push_back(static_cast<char>(c));
            appendPlainRun(word);
        }
        c = next();
        if (c < 0)
            return startLine;
    }
    // The byte that ended the word (a delimiter, or the one past the size limit) is consumed.
    if (c == '\n')
        ++m_line;
    return startLine;
}

int32_t STagReader::readWord(std::string& word) {
    const int c = firstByte();
    if (c < 0) {
        word.clear();
        return -1;
    }
    const int32_t startLine = m_line;
    m_wordLine = startLine;
    std::string_view plain;
    if (!kStops[static_cast<unsigned char>(c)] && scanPlainWord(plain)) {
        word.assign(plain);
        return startLine;
    }
    return readDecodedWord(c, startLine, word);
}

int32_t STagReader::readWordView(std::string& scratch, std::string_view& word) {
    int c = firstByte();
    if (c < 0) {
        scratch.clear();
        word = scratch;
        return -1;
    }
    const int32_t startLine = m_line;
    m_wordLine = startLine;
    if (!kStops[static_cast<unsigned char>(c)] && scanPlainWord(word))
        return startLine;
    const int32_t line = readDecodedWord(c, startLine, scratch);
    word = scratch;
    return line;
}

int32_t STagReader::skipTo(std::string_view target) {
    std::string word;
    while (readWord(word) >= 0) {
        if (word == target)
            return 0;
    }
    return -1;
}

std::optional<std::span<const std::string_view>>
STagReader::takeLineSection(std::string_view closing) {
    if (!m_sectionWords)
        m_sectionWords = std::make_unique<std::string_view[]>(kMaxSectionWords);
    std::string_view* words = m_sectionWords.get();
    size_t count = 0;
    const char* const base = m_cur;
    const size_t size = std::min(static_cast<size_t>(m_end - m_cur), kMaxSectionBytes);
    size_t wordStart = 0;
    // The stop bytes of 64 bytes at a time are found at once; the words are then cut without
    // waiting on one another.
    for (size_t block = 0; block < size; block += 64) {
        for (uint64_t stops = stopMask(base + block, std::min<size_t>(64, size - block)); stops;
             stops &= stops - 1) {
            const size_t end = block + static_cast<size_t>(std::countr_zero(stops));
            const char delimiter = base[end];
            const std::string_view word(base + wordStart, end - wordStart);
            wordStart = end + 1;
            if (word.empty()) {
                if (delimiter == ',')
                    continue; // an empty word
                return std::nullopt;
            }
            // Blanks before a word and nested sections take the word rules, as do escapes.
            const char first = word[0];
            if (first == ' ' || first == '\t' || first == '+' || delimiter == '%')
                return std::nullopt;
            if (first == '-') {
                if (word != closing)
                    return std::nullopt;
                m_wordLine = m_line;
                m_line += delimiter == '\n' ? 1 : 0;
                m_cur = base + end + 1;
                return std::span<const std::string_view>(words, count);
            }
            if (delimiter != ',' || count == kMaxSectionWords)
                return std::nullopt;
            words[count++] = word;
        }
    }
    return std::nullopt;
}

void STagReader::skipBuffered(size_t bytes, int32_t lines, int32_t lastWordLines) {
    m_cur += std::min(bytes, static_cast<size_t>(m_end - m_cur));
    m_wordLine = m_line + lastWordLines;
    m_line += lines;
}

std::string_view STagReader::bytesSince(const Mark& mark) const {
    if (mark.fills != m_fills || !mark.cur)
        return {};
    return {mark.cur, static_cast<size_t>(m_cur - mark.cur)};
}
