#include "STextPrefilter.h"
#include "tagtext/SAscii.h"
#include "tagtext/STagReader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

std::string lowered(std::string s) {
    for (char& c : s)
        c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    return s;
}

// What the reader really produces: whether any word contains the pattern (an empty pattern
// matches nothing).
bool someWordContains(const std::string& bytes, const std::string& pattern, bool caseSensitive) {
    if (pattern.empty())
        return false;
    STagReader reader;
    reader.attachString(std::string_view(bytes));
    std::string word;
    const std::string p = caseSensitive ? pattern : lowered(pattern);
    while (reader.readWord(word) >= 0) {
        if ((caseSensitive ? word : lowered(word)).find(p) != std::string::npos)
            return true;
    }
    return false;
}

constexpr STextPrefilter::Vectors kAllVectors[] = {
    STextPrefilter::Vectors::Widest, STextPrefilter::Vectors::Sse2, STextPrefilter::Vectors::None};

struct Case {
    const char* file;
    const char* pattern;
    bool caseSensitive;
    bool mayMatch;
};

TEST(TextPrefilter, Cases) {
    const Case cases[] = {
        {"+TAG,S:R12,-TAG", "R12", true, true},
        {"+TAG,S:R12,-TAG", "R13", true, false},
        {"+TAG,S:r12,-TAG", "R12", true, false},
        {"+TAG,S:r12,-TAG", "R12", false, true},
        {"S:A%20B", "A B", true, true}, // escaped space
        // The escape is not the text, but a "%" is also taken as itself (it is, after an
        // overlong word), so patterns with "%" are let through.
        {"S:A%20B", "A%20B", true, true},
        {"S:%41%42C", "ABC", true, true},  // any byte may be escaped
        {"S:%61%62C", "ABC", false, true}, // escaped letters fold too
        {"S:%61%62C", "ABC", true, false},
        {"S:50%25", "50%", true, true},
        {"S:50%25", "0%2", true, true},
        {"S:50%25", "0%3", true, false},
        {"S:%4G", "\x04", true, true}, // hex reading stops at the first non-digit
        {"S:%%%41", "%B", true, false},
        {"S:x%2C%2Cy", "x,,y", true, true},
        {"S:%E3%81%82", "\xe3\x81\x82", true, true},
        {"S:\x82\xa0", "\x82\xa0", true, true},
        {"", "a", true, false},
        {"S:abc", "", true, false}, // an empty pattern finds nothing
        {"S:ab", "abc", true, false},
    };
    for (const Case& c : cases) {
        const STextPrefilter filter(c.pattern, c.caseSensitive);
        EXPECT_EQ(filter.mayMatch(c.file), c.mayMatch) << c.file << " / " << c.pattern;
        if (someWordContains(c.file, c.pattern, c.caseSensitive)) {
            EXPECT_TRUE(c.mayMatch) << "table contradicts the reader: " << c.file;
        }
    }
}

// Random word streams full of escapes, delimiters and letters of both cases: whenever a word
// holds the pattern, the filter must say so. It may say so more often.
TEST(TextPrefilter, NeverRulesOutARealMatch) {
    std::mt19937 rng(12345);
    const std::string alphabet = "aAbB%%%2045Gf,,\n\r :\x82\xa0";
    auto randomText = [&](size_t n) {
        std::string s;
        for (size_t i = 0; i < n; ++i)
            s.push_back(alphabet[rng() % alphabet.size()]);
        return s;
    };
    int matches = 0;
    int rejected = 0;
    for (int round = 0; round < 30000; ++round) {
        const std::string file = randomText(rng() % 150);
        std::string pattern = randomText(1 + rng() % 4);
        if (round % 3 == 0)
            pattern = lowered(pattern);
        const bool caseSensitive = rng() % 2;
        const bool real = someWordContains(file, pattern, caseSensitive);
        const auto vectors = kAllVectors[(round / 3) % 3];
        const bool may = STextPrefilter(pattern, caseSensitive, vectors).mayMatch(file);
        if (real) {
            ++matches;
            ASSERT_TRUE(may) << "file [" << file << "] pattern [" << pattern << "] case "
                             << caseSensitive;
        } else if (!may) {
            ++rejected;
        }
    }
    // Both outcomes must really have been exercised.
    EXPECT_GT(matches, 1000);
    EXPECT_GT(rejected, 1000);
}

// Plain occurrences are found by their first and last bytes at the right distance; the table
// holds the places where that pair is not enough, or is not there at all.
TEST(TextPrefilter, FirstAndLastBytes) {
    const Case cases[] = {
        {"S:GxD,GND", "GND", true, true},  // a wrong middle first, then the real one
        {"S:GxD,GyD", "GND", true, false}, // pairs everywhere, no occurrence
        {"S:G,ND", "GND", true, false},    // a delimiter is just another byte here
        {"S:gnd", "GND", false, true},     // both ends fold
        {"S:Gnd", "gND", false, true},
        {"S:gNd", "GND", true, false},
        {"S:@ND", "`nd", false, false}, // only letters fold: "@" | 0x20 is "`"
        {"S:`ND", "@nd", false, false},
        {"S:[x]", "{x}", false, false},
        {"S:aba", "aa", true, false}, // first == last byte
        {"S:abaa", "aa", true, true},
        {"S:AbA", "aba", false, true},
        {"S:a", "a", true, true}, // one byte: the first is the last
        {"S:A", "a", false, true},
        {"S:A", "a", true, false},
        {"ab", "ab", true, true},     // the whole buffer
        {"ab", "b", true, true},      // the last byte of the buffer
        {"a", "ab", true, false},     // shorter than the pattern
        {"S:x%41", "xA", true, true}, // the last byte escaped at the end of the buffer
        {"%78A", "xA", true, true},   // the first byte escaped at the start
        {"%58a", "xA", false, true},
        {"%20%20%2C%25%41B", "AB", true, true}, // escapes of other bytes come first
        {"%20%20%2C%25%41", "AB", true, false},
        {"S:x%4", "xA", true, false},   // an escape cut short by the end of the buffer
        {"S:x%4,1", "xA", true, false}, // or by a delimiter
    };
    for (const Case& c : cases) {
        for (const STextPrefilter::Vectors v : kAllVectors) {
            EXPECT_EQ(STextPrefilter(c.pattern, c.caseSensitive, v).mayMatch(c.file), c.mayMatch)
                << c.file << " / " << c.pattern << " / " << c.caseSensitive;
        }
        if (someWordContains(c.file, c.pattern, c.caseSensitive)) {
            EXPECT_TRUE(c.mayMatch) << "table contradicts the reader: " << c.file;
        }
    }
}

// "x" and "%20", neither of which stands for a pattern byte.
std::string filler(size_t size) {
    std::string s;
    while (s.size() + 4 <= size)
        s += "x%20";
    return s + std::string(size - s.size(), 'x');
}

// Buffers of one size with the pattern at every place: plainly, with ends of the other case,
// with its last byte wrong, and with its first or last byte escaped.
void placeEverywhere(const std::string& pattern, size_t size, STextPrefilter::Vectors v) {
    const size_t n = pattern.size();
    const auto lowered = [](char c) {
        return static_cast<char>(lowerAscii(static_cast<unsigned char>(c)));
    };
    for (size_t at = 0; at + n <= size; ++at) {
        const std::string plain = filler(at) + pattern + filler(size - at - n);
        EXPECT_TRUE(STextPrefilter(pattern, true, v).mayMatch(plain)) << plain;
        std::string other = plain;
        other[at] = lowered(other[at]);
        other[at + n - 1] = lowered(other[at + n - 1]);
        EXPECT_EQ(STextPrefilter(pattern, true, v).mayMatch(other), other == plain) << other;
        EXPECT_TRUE(STextPrefilter(pattern, false, v).mayMatch(other)) << other;
        std::string wrong = plain;
        wrong[at + n - 1] = 'y';
        EXPECT_FALSE(STextPrefilter(pattern, false, v).mayMatch(wrong)) << wrong;
        if (at + n + 2 > size) // the escape takes two more bytes
            continue;
        for (const size_t k : {size_t{0}, n - 1}) {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", static_cast<unsigned char>(pattern[k]));
            const std::string escaped = filler(at) + pattern.substr(0, k) + hex +
                                        pattern.substr(k + 1) + filler(size - at - n - 2);
            ASSERT_TRUE(someWordContains(escaped, pattern, true)) << escaped;
            EXPECT_TRUE(STextPrefilter(pattern, true, v).mayMatch(escaped)) << escaped;
        }
    }
}

TEST(TextPrefilter, EveryPlaceInBuffersAroundTheBlockWidths) {
    const size_t sizes[] = {1,  2,  15, 16, 17, 31,  32,  33,  63,  64,
                            65, 66, 95, 96, 97, 127, 128, 129, 130, 200};
    for (const STextPrefilter::Vectors v : kAllVectors) {
        for (const std::string pattern : {"Q", "Q7", "QQ", "QzQ", "XQ-RARE-7781"}) {
            for (const size_t size : sizes)
                placeEverywhere(pattern, size, v);
        }
    }
}

TEST(TextPrefilter, OverlongWordsStillCount) {
    // The reader drops the byte after a full word, here a "%", so "41BC" is read plainly.
    const std::string file = "S:" + std::string(STagReader::kMaxWordBytes - 2, 'x') + "%41BC\n";
    ASSERT_TRUE(someWordContains(file, "41B", true));
    EXPECT_TRUE(STextPrefilter("41B", true).mayMatch(file));
}

} // namespace
