#include "schematic/SFindVocabulary.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

TEST(FindVocabulary, EveryTargetBitOnceWithDistinctNames) {
    int32_t bits = 0;
    std::set<std::string_view> words, options, captions;
    for (const SFindTarget& t : kFindTargets) {
        EXPECT_EQ(bits & t.bit, 0) << t.typeWord;
        bits |= t.bit;
        EXPECT_EQ(findTargetByBit(t.bit), &t);
        EXPECT_EQ(findTargetByOption(t.optionName), &t);
        words.insert(t.typeWord);
        options.insert(t.optionName);
        captions.insert(t.caption);
    }
    EXPECT_EQ(bits, SSearchTarget::kAll);
    EXPECT_EQ(words.size(), std::size(kFindTargets));
    EXPECT_EQ(options.size(), std::size(kFindTargets));
    EXPECT_EQ(captions.size(), std::size(kFindTargets));
    EXPECT_EQ(findTargetByBit(0), nullptr);
    EXPECT_EQ(findTargetByBit(SSearchTarget::kTag | SSearchTarget::kLabel), nullptr);
    EXPECT_EQ(findTargetByOption("all"), nullptr);
    EXPECT_EQ(findTargetByOption("Tag"), nullptr);
}

TEST(FindVocabulary, EncodingNamesAndSpellings) {
    struct Case {
        const char* name;
        std::optional<SXKorvEncoding> encoding;
    };
    const Case cases[] = {
        {"UTF-8", SXKorvEncoding::Utf8},
        {"utf8", SXKorvEncoding::Utf8},
        {"ISO-8859-1", SXKorvEncoding::Utf8},
        {"CP1252", SXKorvEncoding::Utf8},
        {"Shift_JIS", SXKorvEncoding::ShiftJis},
        {"shift-jis", SXKorvEncoding::ShiftJis},
        {"SJIS", SXKorvEncoding::ShiftJis},
        {"windows-31j", SXKorvEncoding::ShiftJis},
        {"EBCDIC", std::nullopt},
        {"", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(findEncodingFromName(c.name), c.encoding) << c.name;
    for (const SFindEncodingName& e : findEncodings()) {
        EXPECT_EQ(findEncodingName(e.encoding), e.name);
        EXPECT_EQ(findEncodingFromName(e.name), e.encoding);
    }
    EXPECT_EQ(findEncodingName(SXKorvEncoding::ShiftJis), "Shift_JIS");
}
