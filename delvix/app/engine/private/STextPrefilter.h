#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

// Decides from a file's raw bytes whether any text in it can match a pattern, so that files
// which cannot are never read into a document. It only ever answers "no" when no match is
// possible in any mode: every text the reader produces is a run of word bytes, each written
// either as itself or as a "%XX" escape, so a file can hold a match only where the pattern's
// bytes appear in that form. Whole-word and case rules and the multibyte rule only take matches
// away, so they are not looked at; case folding of ASCII letters is. Cheap to build.
class STextPrefilter {
public:
    // The widest vector instructions the machine has, or narrower ones (for tests).
    enum class Vectors { Widest, Sse2, None };

    STextPrefilter(std::string_view pattern, bool caseSensitive, Vectors vectors = Vectors::Widest);

    // False only when no text of `bytes` can contain the pattern.
    bool mayMatch(std::string_view bytes) const;

    // The pattern as given, to tell whether this filter serves a search.
    const std::string& source() const { return m_source; }
    bool caseSensitive() const { return !m_fold; }

private:
    // One pattern byte as a test on a file byte: (byte | orMask) == value. A folded letter is
    // looked for in both cases by setting the bit that tells them apart.
    struct ByteTest {
        unsigned char value = 0;
        unsigned char orMask = 0;
        bool accepts(unsigned char c) const { return (c | orMask) == value; }
    };
    ByteTest testFor(size_t index) const;

    bool sameByte(unsigned char fileByte, size_t index) const;
    // The byte an escape "%" a b stands for, or -1 when the escape is broken.
    static int escapedByte(std::string_view bytes, size_t percentAt);
    // Whether the pattern is written plainly somewhere. On the way it notes in `escapeAt` the
    // first escape that stands for a pattern byte: no escaped occurrence can begin before it.
    bool literalOccurrence(std::string_view bytes, size_t& escapeAt) const;
    // The same on whole blocks of starts with vector instructions (none without them); the
    // number of starts looked at comes back, `found` tells whether one held the pattern.
    size_t literalBlocks(std::string_view bytes, size_t& escapeAt, bool& found) const;
    size_t literalBlocksSse2(std::string_view bytes, size_t& escapeAt, bool& found) const;
    size_t literalBlocksAvx2(std::string_view bytes, size_t& escapeAt, bool& found) const;
    // Whether the whole pattern is written plainly at `start` (its ends already checked).
    bool literalAt(const char* start) const;
    // Looks at the starts `at` + the set bits of `candidates` and notes the escapes at `at` +
    // the set bits of `percents`; whether the pattern is at one of the starts.
    bool blockHolds(std::string_view bytes, size_t at, unsigned candidates, unsigned percents,
                    size_t& escapeAt) const;
    // Notes in `escapeAt` the first escape among the "%" at `at` + the set bits of `percents`.
    void noteEscapes(std::string_view bytes, size_t at, unsigned percents, size_t& escapeAt) const;
    bool usefulEscape(std::string_view bytes, size_t percentAt) const;
    bool escapedOccurrence(std::string_view bytes, size_t from) const;
    // Whether pattern[from..] can be read starting at `pos`, each byte plain or escaped.
    bool matchForward(std::string_view bytes, size_t pos, size_t from) const;
    // Whether pattern[..count) can be read ending just before `end`.
    bool matchBackward(std::string_view bytes, size_t end, size_t count) const;

    std::string m_source;
    std::string m_pattern; // lower-cased when folding
    bool m_fold;
    Vectors m_vectors;
    // Candidates of a plain occurrence are the places where the first and the last pattern
    // byte both stand at the right distance; only those are compared in full.
    ByteTest m_first;
    ByteTest m_last;
    std::array<bool, 256> m_inPattern{}; // the file bytes that stand for some pattern byte
};
