#include "DocTestUtil.h"

#include <gtest/gtest.h>

using namespace doctest;

namespace {

constexpr auto kUtf8 = SXKorvEncoding::Utf8;
constexpr auto kSjis = SXKorvEncoding::ShiftJis;

struct CompareCase {
    const char* text;
    const char* pattern;
    bool whole;
    bool caseSensitive;
    SXKorvEncoding encoding;
    bool match;
};

TEST(DocFind, TextComparisonModes) {
    const CompareCase cases[] = {
        // The four modes on ASCII.
        {"GND", "gn", false, false, kUtf8, true},
        {"GND", "gn", false, true, kUtf8, false},
        {"GND", "gnd", true, false, kUtf8, true},
        {"GND", "gn", true, false, kUtf8, false},
        {"GND", "gnd", true, true, kUtf8, false},
        {"GND", "GND", true, true, kUtf8, true},
        {"AGND2", "GND", false, true, kUtf8, true},
        {"a[b]", "A[B]", true, false, kUtf8, true},
        {"@", "`", true, false, kUtf8, false}, // only letters fold
        // Empty texts never match.
        {"", "x", false, false, kUtf8, false},
        {"x", "", false, false, kUtf8, false},
        {"", "", true, true, kUtf8, false},
        // Only ASCII letters fold: UTF-8 and single-byte letters beyond it keep their case.
        {"Gr\xC3\xB6\xC3\x9F"
         "e",
         "GR\xC3\xB6", false, false, kUtf8, true},
        {"Gr\xC3\xB6\xC3\x9F"
         "e",
         "GR\xC3\x96", false, false, kUtf8, false},
        {"caf\xE9", "CAF\xC9", true, false, kUtf8, false},
        {"\xA9"
         "2024",
         "\xA9", false, true, kUtf8, true}, // single-byte text, byte search
        // Shift_JIS: a match never starts or ends inside a double-byte character.
        {"\x83\x41", "A", false, true, kSjis, false}, // trail byte 0x41
        {"\x83\x41", "A", false, true, kUtf8, true},  // byte-wise elsewhere
        {"x\x83\x41y", "\x83\x41", false, true, kSjis, true},
        {"x\x83\x41y", "Ay", false, true, kSjis, false},
        {"\x83\x41", "\x83", false, true, kSjis, false}, // half a character
        {"ab\x83", "\x83", false, true, kSjis, true},    // a lead byte at the end stands alone
        {"\x95\x5C", "\\", false, true, kSjis, false},   // trail byte 0x5C
        {"\x95\x5C\\", "\\", false, true, kSjis, true},
        {"\xB1"
         "A",
         "a", false, false, kSjis, true}, // half-width katakana is single-byte
        {"\x81\x40"
         "abc",
         "ABC", false, false, kSjis, true},
        {"\xE0\x40"
         "K",
         "k", false, false, kSjis, true}, // lead range 0xE0-0xFC
        {"\xFC\x4B", "k", false, false, kSjis, false},
        // Case folding leaves double-byte characters alone (0x8341 and 0x8361 differ).
        {"\x83\x61", "\x83\x41", false, false, kSjis, false},
        {"\x83\x61", "\x83\x41", true, false, kSjis, false},
        {"\x83\x61", "\x83\x41", true, false, kUtf8, true},
        {"R\x83\x41x", "r\x83\x41X", true, false, kSjis, true},
        {"\x83\x41\x83\x41", "\x41\x83", false, true, kSjis, false},
    };
    for (const CompareCase& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << '"' << c.text << "\" / \"" << c.pattern << "\" whole " << c.whole
                     << " case " << c.caseSensitive << " sjis " << (c.encoding == kSjis));
        EXPECT_EQ(
            SXKorvDocSch::compareText(c.text, c.pattern, c.whole, c.caseSensitive, c.encoding),
            c.match);
        SXKorvDocSch doc;
        doc.setFindParams("", false, false, 0, c.encoding);
        EXPECT_EQ(doc.compareText(c.text, c.pattern, c.whole, c.caseSensitive), c.match);
    }
}

TEST(DocFind, PlainDocumentComparesBytes) {
    const SXKorvDoc doc;
    EXPECT_TRUE(doc.compareText("AGND", "GND", false, false));
    EXPECT_FALSE(doc.compareText("GND", "gnd", false, false));
    EXPECT_FALSE(doc.compareText("GND", "gnd", true, false));
    EXPECT_TRUE(doc.compareText("GND", "GND", true, false));
    EXPECT_FALSE(doc.compareText("AGND", "GND", true, true));
    EXPECT_FALSE(doc.compareText("", "", true, true));
}

struct Hit {
    std::string text;
    int32_t kind;
    SPoint at;
    friend bool operator==(const Hit&, const Hit&) = default;
};

std::ostream& operator<<(std::ostream& os, const Hit& h) {
    return os << h.text << " kind " << h.kind << " at " << h.at.x << "," << h.at.y;
}

std::vector<Hit> findAll(SXKorvDoc& doc) {
    std::vector<Hit> hits;
    for (const SXKorvObj* obj = doc.findFirst(); obj; obj = doc.findNext()) {
        const auto& f = doc.findState();
        hits.push_back({f.foundText, f.foundKind, f.foundPosition});
        if (hits.size() > 100)
            break;
    }
    EXPECT_FALSE(doc.findState().active);
    EXPECT_EQ(doc.findNext(), nullptr);
    return hits;
}

const std::string kSheet = sheet({
    "+SHEETINFO,EL:0,VL:253,W:1500,H:1000,-SHEETINFO",
    "+LABEL,L:0,X:10,Y:20,D:1,S:NET_X,-LABEL",
    "+LABEL,L:1,X:10,Y:30,D:1,S:HIDDEN_X,-LABEL", // layer 1 is switched off
    "+TAG,L:0,X:30,Y:40,D:1,T:1,S:PORT_X,-TAG",
    "+COMMENT,L:0,X:50,Y:60,S:comment_X,-COMMENT",
    "+WIRE,L:0,X1:0,Y1:0,X2:10,Y2:0,-WIRE",
    "+COMPONENT,L:0,X:100,Y:200,LIB:LIB_X,N:VAL_X,NX:5,NY:25,R:REF_X,RX:-5,RY:15,"
    "NOTE:NOTE_X,PKG:PKG_X,MFR:MFR_X,MFRPN:PN_X,-COMPONENT",
    "+COMPONENT,L:0,X:300,Y:400,LIB:other,N:x,NX:0,NY:0,-COMPONENT",
});

TEST(DocFind, EveryKindInFileOrderWithComponentStages) {
    SXKorvDocSch doc;
    ASSERT_EQ(readText(doc, kSheet), SXKorvDoc::kReadOk);
    doc.setFindParams("x", false, false, 1023);
    const std::vector<Hit> expected = {
        {"NET_X", 2, {10, 20}},      {"PORT_X", 1, {30, 40}},   {"comment_X", 4, {50, 60}},
        {"VAL_X", 8, {105, 225}},    {"LIB_X", 16, {100, 200}}, {"REF_X", 32, {95, 215}},
        {"MFR_X", 64, {100, 200}},   {"PN_X", 128, {100, 200}}, {"PKG_X", 256, {100, 200}},
        {"NOTE_X", 512, {100, 200}}, {"x", 8, {300, 400}},
    };
    EXPECT_EQ(findAll(doc), expected);
}

TEST(DocFind, TargetSetPicksFields) {
    struct Case {
        int32_t targets;
        std::vector<std::string> texts;
    };
    const Case cases[] = {
        {1, {"PORT_X"}},
        {2 | 4, {"NET_X", "comment_X"}},
        {8 | 32 | 512, {"VAL_X", "REF_X", "NOTE_X"}},
        {256 | 512, {"PKG_X", "NOTE_X"}}, // a package hit does not hide the note
        {0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.targets);
        SXKorvDocSch doc;
        ASSERT_EQ(readText(doc, kSheet), SXKorvDoc::kReadOk);
        doc.setFindParams("_X", false, true, c.targets);
        std::vector<std::string> texts;
        for (const Hit& h : findAll(doc))
            texts.push_back(h.text);
        EXPECT_EQ(texts, c.texts);
    }
}

TEST(DocFind, MatchWholeAndCase) {
    SXKorvDocSch doc;
    ASSERT_EQ(readText(doc, kSheet), SXKorvDoc::kReadOk);
    doc.setFindParams("net_x", true, false, 1023);
    EXPECT_EQ(findAll(doc).size(), 1u);
    doc.setFindParams("net_x", true, true, 1023);
    EXPECT_TRUE(findAll(doc).empty());
    doc.setFindParams("", false, false, 1023);
    EXPECT_TRUE(findAll(doc).empty());
}

TEST(DocFind, DeletedAndUncommittedObjectsAreNotFound) {
    SXKorvDocSch doc;
    FakeClipboard clipboard;
    doc.setClipboard(&clipboard);
    ASSERT_EQ(readText(doc, sheet({"+LABEL,L:0,X:0,Y:0,D:1,S:A1,-LABEL",
                                   "+LABEL,L:0,X:0,Y:10,D:1,S:A2,-LABEL"})),
              SXKorvDoc::kReadOk);
    ASSERT_TRUE(doc.deleteObject(doc.objects()[0].get()));
    doc.commitWorking(SXKorvDoc::kCommit);
    clipboard.content = sheet({"+LABEL,L:0,X:0,Y:20,D:1,S:A3,-LABEL"});
    ASSERT_TRUE(doc.pasteFromClipboard({0, 0}));
    doc.setFindParams("A", false, true, 2);
    ASSERT_EQ(findAll(doc), (std::vector<Hit>{{"A2", 2, {0, 10}}}));
}

TEST(DocFind, FindNextWithoutFindFirstFindsNothing) {
    SXKorvDocSch doc;
    ASSERT_EQ(readText(doc, kSheet), SXKorvDoc::kReadOk);
    doc.setFindParams("x", false, false, 1023);
    EXPECT_EQ(doc.findNext(), nullptr);
    ASSERT_NE(doc.findFirst(), nullptr);
    doc.commitWorking(SXKorvDoc::kDiscard); // list changes end a find in progress
    EXPECT_EQ(doc.findNext(), nullptr);
}

} // namespace
