#include "STextPrefilter.h"

#include "tagtext/SAscii.h"
#include "tagtext/STagReader.h"

#include <algorithm>
#include <cstring>
#include <vector>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#elif defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// Next position at or after `from` holding `c`.
size_t findByte(std::string_view s, size_t from, unsigned char c) {
    if (from >= s.size())
        return std::string_view::npos;
    const void* p = std::memchr(s.data() + from, c, s.size() - from);
    return p ? static_cast<size_t>(static_cast<const char*>(p) - s.data()) : std::string_view::npos;
}

} // namespace

STextPrefilter::STextPrefilter(std::string_view pattern, bool caseSensitive, Vectors vectors)
    : m_source(pattern), m_pattern(pattern), m_fold(!caseSensitive), m_vectors(vectors) {
    if (m_fold) {
        for (char& c : m_pattern)
            c = static_cast<char>(lowerAscii(static_cast<unsigned char>(c)));
    }
    if (!m_pattern.empty()) {
        m_first = testFor(0);
        m_last = testFor(m_pattern.size() - 1);
    }
    for (const char c : m_pattern) {
        const unsigned char b = static_cast<unsigned char>(c);
        m_inPattern[b] = true;
        if (m_fold && b >= 'a' && b <= 'z')
            m_inPattern[b - 32] = true;
    }
}

STextPrefilter::ByteTest STextPrefilter::testFor(size_t index) const {
    const unsigned char c = static_cast<unsigned char>(m_pattern[index]);
    const bool letter = m_fold && c >= 'a' && c <= 'z';
    return ByteTest{c, static_cast<unsigned char>(letter ? 0x20 : 0)};
}

bool STextPrefilter::sameByte(unsigned char fileByte, size_t index) const {
    const unsigned char p = static_cast<unsigned char>(m_pattern[index]);
    return (m_fold ? lowerAscii(fileByte) : fileByte) == p;
}

int STextPrefilter::escapedByte(std::string_view bytes, size_t percentAt) {
    if (percentAt + 2 >= bytes.size())
        return -1;
    const unsigned char a = static_cast<unsigned char>(bytes[percentAt + 1]);
    const unsigned char b = static_cast<unsigned char>(bytes[percentAt + 2]);
    if (STagReader::isDelimiter(a) || STagReader::isDelimiter(b))
        return -1;
    return STagReader::escapedByte(a, b);
}

bool STextPrefilter::mayMatch(std::string_view bytes) const {
    if (m_pattern.empty() || bytes.size() < m_pattern.size())
        return false;
    size_t escapeAt = std::string_view::npos;
    if (literalOccurrence(bytes, escapeAt))
        return true;
    return escapeAt != std::string_view::npos && escapedOccurrence(bytes, escapeAt);
}

bool STextPrefilter::literalAt(const char* start) const {
    if (!m_fold)
        return std::memcmp(start, m_pattern.data(), m_pattern.size()) == 0;
    for (size_t i = 1; i + 1 < m_pattern.size(); ++i) {
        if (!sameByte(static_cast<unsigned char>(start[i]), i))
            return false;
    }
    return true;
}

bool STextPrefilter::usefulEscape(std::string_view bytes, size_t percentAt) const {
    const int value = escapedByte(bytes, percentAt);
    return value >= 0 && m_inPattern[static_cast<unsigned char>(value)];
}

void STextPrefilter::noteEscapes(std::string_view bytes, size_t at, unsigned percents,
                                 size_t& escapeAt) const {
    for (; percents != 0 && escapeAt == std::string_view::npos; percents &= percents - 1) {
        const size_t percentAt = at + static_cast<size_t>(__builtin_ctz(percents));
        if (usefulEscape(bytes, percentAt))
            escapeAt = percentAt;
    }
}

bool STextPrefilter::blockHolds(std::string_view bytes, size_t at, unsigned candidates,
                                unsigned percents, size_t& escapeAt) const {
    if (percents != 0 && escapeAt == std::string_view::npos)
        noteEscapes(bytes, at, percents, escapeAt);
    for (; candidates != 0; candidates &= candidates - 1) {
        if (literalAt(bytes.data() + at + __builtin_ctz(candidates)))
            return true;
    }
    return false;
}

bool STextPrefilter::literalOccurrence(std::string_view bytes, size_t& escapeAt) const {
    constexpr size_t npos = std::string_view::npos;
    const size_t n = m_pattern.size();
    const size_t starts = bytes.size() - n + 1; // places an occurrence can begin
    const char* const s = bytes.data();
    bool found = false;
    size_t i = literalBlocks(bytes, escapeAt, found);
    if (found)
        return true;
    for (; i < starts; ++i) {
        if (s[i] == '%' && escapeAt == npos && usefulEscape(bytes, i))
            escapeAt = i;
        if (m_first.accepts(static_cast<unsigned char>(s[i])) &&
            m_last.accepts(static_cast<unsigned char>(s[i + n - 1])) && literalAt(s + i))
            return true;
    }
    // No occurrence starts in the last n - 1 bytes, but an escape may.
    for (i = findByte(bytes, i, '%'); i != npos && escapeAt == npos;
         i = findByte(bytes, i + 1, '%')) {
        if (usefulEscape(bytes, i))
            escapeAt = i;
    }
    return false;
}

size_t STextPrefilter::literalBlocks(std::string_view bytes, size_t& escapeAt, bool& found) const {
    if (m_vectors == Vectors::None)
        return 0;
#if defined(__x86_64__) && defined(__GNUC__)
    static const bool avx2 = __builtin_cpu_supports("avx2");
    if (avx2 && m_vectors == Vectors::Widest)
        return literalBlocksAvx2(bytes, escapeAt, found);
#endif
    return literalBlocksSse2(bytes, escapeAt, found);
}

// Both versions look at blocks of 32 starts (the AVX2 one skips two at a time while they are
// quiet): the bytes at each start and those n - 1 further on, and which starts hold a "%".
size_t STextPrefilter::literalBlocksSse2(std::string_view bytes, size_t& escapeAt,
                                         bool& found) const {
    size_t i = 0;
#if defined(__SSE2__)
    const size_t n = m_pattern.size();
    const size_t starts = bytes.size() - n + 1;
    const char* const s = bytes.data();
    const __m128i firstValue = _mm_set1_epi8(static_cast<char>(m_first.value));
    const __m128i firstOr = _mm_set1_epi8(static_cast<char>(m_first.orMask));
    const __m128i lastValue = _mm_set1_epi8(static_cast<char>(m_last.value));
    const __m128i lastOr = _mm_set1_epi8(static_cast<char>(m_last.orMask));
    const __m128i percent = _mm_set1_epi8('%');
    const auto load = [](const char* p) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    };
    const auto mask = [](__m128i v) { return static_cast<unsigned>(_mm_movemask_epi8(v)); };
    const auto pairs = [&](__m128i head, __m128i tail) {
        return mask(_mm_and_si128(_mm_cmpeq_epi8(_mm_or_si128(head, firstOr), firstValue),
                                  _mm_cmpeq_epi8(_mm_or_si128(tail, lastOr), lastValue)));
    };
    for (; i + 32 <= starts; i += 32) {
        const __m128i head0 = load(s + i);
        const __m128i head1 = load(s + i + 16);
        const unsigned candidates =
            pairs(head0, load(s + i + n - 1)) | pairs(head1, load(s + i + n + 15)) << 16;
        const unsigned percents =
            mask(_mm_cmpeq_epi8(head0, percent)) | mask(_mm_cmpeq_epi8(head1, percent)) << 16;
        if ((candidates | percents) != 0 && blockHolds(bytes, i, candidates, percents, escapeAt)) {
            found = true;
            break;
        }
    }
#else
    (void)bytes, (void)escapeAt, (void)found;
#endif
    return i;
}

#if defined(__x86_64__) && defined(__GNUC__)
namespace {

// What the AVX2 loop compares 32 starts with.
struct Avx2Tests {
    __m256i firstValue, firstOr, lastValue, lastOr, percent;
};

__attribute__((target("avx2"))) inline __m256i avx2Load(const char* p) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

// The candidates among 32 starts at `s`, and in `percents` the "%" among them (when wanted).
__attribute__((target("avx2"))) inline __m256i
avx2Pairs(const Avx2Tests& t, const char* s, size_t far, __m256i wanted, __m256i& percents) {
    const __m256i head = avx2Load(s);
    percents = _mm256_and_si256(_mm256_cmpeq_epi8(head, t.percent), wanted);
    return _mm256_and_si256(
        _mm256_cmpeq_epi8(_mm256_or_si256(head, t.firstOr), t.firstValue),
        _mm256_cmpeq_epi8(_mm256_or_si256(avx2Load(s + far), t.lastOr), t.lastValue));
}

// The first block of 64 starts from `i` on that holds a candidate or a wanted "%" (or the
// first one that does not fit before `starts`). A leaf, so that the tests stay in registers.
__attribute__((target("avx2"), noinline)) size_t avx2SkipQuiet(const Avx2Tests& tests,
                                                               const char* s, size_t i,
                                                               size_t starts, size_t far,
                                                               bool wantPercents) {
    const Avx2Tests t = tests;
    const __m256i wanted = wantPercents ? _mm256_set1_epi8(-1) : _mm256_setzero_si256();
    for (; i + 64 <= starts; i += 64) {
        __m256i percents0;
        __m256i percents1;
        const __m256i pairs0 = avx2Pairs(t, s + i, far, wanted, percents0);
        const __m256i pairs1 = avx2Pairs(t, s + i + 32, far, wanted, percents1);
        const __m256i any =
            _mm256_or_si256(_mm256_or_si256(pairs0, percents0), _mm256_or_si256(pairs1, percents1));
        if (!_mm256_testz_si256(any, any))
            break;
    }
    return i;
}

} // namespace

__attribute__((target("avx2"))) size_t
STextPrefilter::literalBlocksAvx2(std::string_view bytes, size_t& escapeAt, bool& found) const {
    const size_t far = m_pattern.size() - 1;
    const size_t starts = bytes.size() - far;
    const char* const s = bytes.data();
    const Avx2Tests tests{_mm256_set1_epi8(static_cast<char>(m_first.value)),
                          _mm256_set1_epi8(static_cast<char>(m_first.orMask)),
                          _mm256_set1_epi8(static_cast<char>(m_last.value)),
                          _mm256_set1_epi8(static_cast<char>(m_last.orMask)),
                          _mm256_set1_epi8('%')};
    size_t i = 0;
    for (;; i += 64) {
        const bool wantPercents = escapeAt == std::string_view::npos;
        i = avx2SkipQuiet(tests, s, i, starts, far, wantPercents);
        if (i + 64 > starts)
            return i;
        const __m256i wanted = wantPercents ? _mm256_set1_epi8(-1) : _mm256_setzero_si256();
        for (size_t half = i; half < i + 64; half += 32) {
            __m256i percents;
            const __m256i pairs = avx2Pairs(tests, s + half, far, wanted, percents);
            if (blockHolds(bytes, half, static_cast<unsigned>(_mm256_movemask_epi8(pairs)),
                           static_cast<unsigned>(_mm256_movemask_epi8(percents)), escapeAt)) {
                found = true;
                return half;
            }
        }
    }
}
#else
size_t STextPrefilter::literalBlocksAvx2(std::string_view bytes, size_t& escapeAt,
                                         bool& found) const {
    return literalBlocksSse2(bytes, escapeAt, found);
}
#endif

bool STextPrefilter::escapedOccurrence(std::string_view bytes, size_t from) const {
    for (size_t at = from; at != std::string_view::npos; at = findByte(bytes, at + 1, '%')) {
        const int value = escapedByte(bytes, at);
        if (value < 0)
            continue;
        const unsigned char folded = m_fold ? lowerAscii(static_cast<unsigned char>(value))
                                            : static_cast<unsigned char>(value);
        for (size_t index = 0; index < m_pattern.size(); ++index) {
            if (static_cast<unsigned char>(m_pattern[index]) == folded &&
                matchBackward(bytes, at, index) && matchForward(bytes, at + 3, index + 1))
                return true;
        }
    }
    return false;
}

bool STextPrefilter::matchForward(std::string_view bytes, size_t pos, size_t from) const {
    // Positions reachable after each pattern byte; a plain "%" can also start an escape, so
    // there may be several.
    std::vector<size_t> reach{pos};
    std::vector<size_t> next;
    for (size_t k = from; k < m_pattern.size(); ++k) {
        next.clear();
        for (const size_t p : reach) {
            if (p >= bytes.size())
                continue;
            if (sameByte(static_cast<unsigned char>(bytes[p]), k))
                next.push_back(p + 1);
            if (bytes[p] == '%') {
                const int value = escapedByte(bytes, p);
                if (value >= 0 && sameByte(static_cast<unsigned char>(value), k))
                    next.push_back(p + 3);
            }
        }
        std::sort(next.begin(), next.end());
        next.erase(std::unique(next.begin(), next.end()), next.end());
        if (next.empty())
            return false;
        reach.swap(next);
    }
    return true;
}

bool STextPrefilter::matchBackward(std::string_view bytes, size_t end, size_t count) const {
    std::vector<size_t> reach{end};
    std::vector<size_t> next;
    for (size_t k = count; k-- > 0;) {
        next.clear();
        for (const size_t e : reach) {
            if (e >= 1 && sameByte(static_cast<unsigned char>(bytes[e - 1]), k))
                next.push_back(e - 1);
            if (e >= 3 && bytes[e - 3] == '%') {
                const int value = escapedByte(bytes, e - 3);
                if (value >= 0 && sameByte(static_cast<unsigned char>(value), k))
                    next.push_back(e - 3);
            }
        }
        std::sort(next.begin(), next.end());
        next.erase(std::unique(next.begin(), next.end()), next.end());
        if (next.empty())
            return false;
        reach.swap(next);
    }
    return true;
}
