#include "STextPrefilter.h"
#include "tagtext/STagReader.h"

#include <gtest/gtest.h>

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
    for (int round = 0; round < 20000; ++round) {
        const std::string file = randomText(rng() % 60);
        std::string pattern = randomText(1 + rng() % 4);
        if (round % 3 == 0)
            pattern = lowered(pattern);
        const bool caseSensitive = rng() % 2;
        const bool real = someWordContains(file, pattern, caseSensitive);
        const bool may = STextPrefilter(pattern, caseSensitive).mayMatch(file);
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

TEST(TextPrefilter, OverlongWordsStillCount) {
    // The reader drops the byte after a full word, here a "%", so "41BC" is read plainly.
    const std::string file = "S:" + std::string(STagReader::kMaxWordBytes - 2, 'x') + "%41BC\n";
    ASSERT_TRUE(someWordContains(file, "41B", true));
    EXPECT_TRUE(STextPrefilter("41B", true).mayMatch(file));
}

} // namespace
