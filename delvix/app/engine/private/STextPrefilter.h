#pragma once

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
    STextPrefilter(std::string_view pattern, bool caseSensitive);

    // False only when no text of `bytes` can contain the pattern.
    bool mayMatch(std::string_view bytes) const;

private:
    bool sameByte(unsigned char fileByte, size_t index) const;
    // The byte an escape "%" a b stands for, or -1 when the escape is broken.
    static int escapedByte(std::string_view bytes, size_t percentAt);
    bool literalOccurrence(std::string_view bytes) const;
    bool escapedOccurrence(std::string_view bytes) const;
    // Whether pattern[from..] can be read starting at `pos`, each byte plain or escaped.
    bool matchForward(std::string_view bytes, size_t pos, size_t from) const;
    // Whether pattern[..count) can be read ending just before `end`.
    bool matchBackward(std::string_view bytes, size_t end, size_t count) const;

    std::string m_pattern; // lower-cased when folding
    bool m_fold;
    size_t m_anchor = 0; // the pattern byte looked for first: the least common one
};
