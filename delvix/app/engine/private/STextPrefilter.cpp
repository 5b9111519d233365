#include "STextPrefilter.h"

#include "tagtext/SAscii.h"
#include "tagtext/STagReader.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// How common a byte is in schematic files, roughly: numbers and separators everywhere; the
// one-letter keys, "+"/"-" section words and the bit-pattern rows ("@" to "O") nearly as often;
// other capitals in section and key names; lower-case letters in texts; anything else rarely.
int commonness(unsigned char c) {
    if ((c >= '0' && c <= '9') || c == ',' || c == ':' || c == '\r' || c == '\n')
        return 5;
    if (c == '-' || c == '+' || c == '%' || (c >= '@' && c <= 'O') ||
        std::string_view("RSTWXY").find(static_cast<char>(c)) != std::string_view::npos)
        return 4;
    if ((c >= 'A' && c <= 'Z') || c == ' ')
        return 3;
    if ((c >= 'a' && c <= 'z') || c == '_' || c == '.')
        return 2;
    return 1;
}

// Next position at or after `from` holding `c`.
size_t findByte(std::string_view s, size_t from, unsigned char c) {
    if (from >= s.size())
        return std::string_view::npos;
    const void* p = std::memchr(s.data() + from, c, s.size() - from);
    return p ? static_cast<size_t>(static_cast<const char*>(p) - s.data()) : std::string_view::npos;
}

} // namespace

STextPrefilter::STextPrefilter(std::string_view pattern, bool caseSensitive)
    : m_pattern(pattern), m_fold(!caseSensitive) {
    if (m_fold) {
        for (char& c : m_pattern)
            c = static_cast<char>(lowerAscii(static_cast<unsigned char>(c)));
    }
    int best = 6;
    for (size_t i = 0; i < m_pattern.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(m_pattern[i]);
        if (commonness(c) < best) {
            best = commonness(c);
            m_anchor = i;
        }
    }
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
    if (m_pattern.empty())
        return false;
    return literalOccurrence(bytes) || escapedOccurrence(bytes);
}

bool STextPrefilter::literalOccurrence(std::string_view bytes) const {
    const size_t m = m_pattern.size();
    if (bytes.size() < m)
        return false;
    // With folding, a letter anchor is looked for in both cases, each with its own cursor.
    const unsigned char lower = static_cast<unsigned char>(m_pattern[m_anchor]);
    const unsigned char upper =
        (m_fold && lower >= 'a' && lower <= 'z') ? static_cast<unsigned char>(lower - 32) : lower;
    size_t nextLower = findByte(bytes, m_anchor, lower);
    size_t nextUpper = upper == lower ? std::string_view::npos : findByte(bytes, m_anchor, upper);
    const size_t last = bytes.size() - m; // last possible start of an occurrence
    for (;;) {
        const size_t at = std::min(nextLower, nextUpper);
        if (at == std::string_view::npos || at - m_anchor > last)
            return false;
        const size_t start = at - m_anchor;
        size_t i = 0;
        while (i < m && sameByte(static_cast<unsigned char>(bytes[start + i]), i))
            ++i;
        if (i == m)
            return true;
        if (at == nextLower)
            nextLower = findByte(bytes, at + 1, lower);
        else
            nextUpper = findByte(bytes, at + 1, upper);
    }
}

bool STextPrefilter::escapedOccurrence(std::string_view bytes) const {
    size_t at = 0;
    while ((at = findByte(bytes, at, '%')) != std::string_view::npos) {
        const int value = escapedByte(bytes, at);
        if (value >= 0) {
            const unsigned char folded = m_fold ? lowerAscii(static_cast<unsigned char>(value))
                                                : static_cast<unsigned char>(value);
            for (size_t index = 0; index < m_pattern.size(); ++index) {
                if (static_cast<unsigned char>(m_pattern[index]) == folded &&
                    matchBackward(bytes, at, index) && matchForward(bytes, at + 3, index + 1))
                    return true;
            }
        }
        ++at;
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
