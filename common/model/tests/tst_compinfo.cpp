#include "model/SCompInfo.h"
#include "model/SPtn.h"
#include "model/SPtnObjLine.h"
#include "tagtext/STagReader.h"
#include "tagtext/STagWriter.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <string>

namespace {

constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();

struct Read {
    bool ok;
    std::string name;
    std::string patternName;
};

Read readComp(SCompInfo& comp, const std::string& body) {
    STagReader reader;
    reader.attachString(body);
    Read r;
    r.ok = comp.read(reader, r.name, r.patternName);
    return r;
}

std::string writeComp(const SCompInfo& comp, std::string_view name, bool expectOk = true) {
    std::string text;
    STagWriter writer;
    writer.attachString(&text);
    EXPECT_EQ(comp.write(writer, name), expectOk);
    return text;
}

SPin pinAt(int32_t side, int32_t offset, const char* name = "") {
    SPin pin;
    pin.setSide(side);
    pin.setOffset(offset);
    pin.setName(name);
    return pin;
}

struct ReadCase {
    const char* what;
    const char* body;
    bool ok;
    int32_t width = 0;
    int32_t height = 0;
    int32_t blocks = 0;
    int32_t pins = 0;
};

class CompRead : public testing::TestWithParam<ReadCase> {};

TEST_P(CompRead, SizeBlocksPins) {
    const ReadCase& c = GetParam();
    SCompInfo comp;
    const Read r = readComp(comp, c.body);
    ASSERT_EQ(r.ok, c.ok) << c.what;
    if (!c.ok) {
        EXPECT_EQ(comp.pinCount(), 0) << c.what;
        EXPECT_EQ(comp.referencePrefix(), std::nullopt) << c.what;
        return;
    }
    EXPECT_EQ(comp.size(), SSize(c.width, c.height)) << c.what;
    EXPECT_EQ(comp.blockCount(), c.blocks) << c.what;
    EXPECT_EQ(comp.pinCount(), c.pins) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Sections, CompRead,
    testing::Values(
        ReadCase{"plain", "N:A,X:4,Y:3,B:1,-COMP", true, 4, 3, 1, 0},
        ReadCase{"B:0 then B:4", "N:A,X:4,Y:3,B:0,B:4,-COMP", true, 4, 3, 4, 0},
        ReadCase{"B:256", "N:A,X:4,Y:3,B:256,-COMP", true, 4, 3, 256, 0},
        ReadCase{"B:4 then B:2", "N:A,X:4,Y:3,B:4,B:2,-COMP", false},
        ReadCase{"B:257", "N:A,X:4,Y:3,B:257,-COMP", false},
        ReadCase{"B:-1", "N:A,X:4,Y:3,B:-1,-COMP", false},
        ReadCase{"B:0 only", "N:A,X:4,Y:3,B:0,-COMP", false},
        ReadCase{"negative X", "N:A,X:-1,Y:3,B:1,-COMP", false},
        ReadCase{"zero Y", "N:A,X:1,Y:0,B:1,-COMP", false},
        ReadCase{"huge sizes", "N:A,X:2147483647,Y:99999999999999,B:1,-COMP", true, kMax, kMax, 1,
                 0},
        ReadCase{"overflowing negative", "N:A,X:-99999999999,Y:1,B:1,-COMP", false},
        ReadCase{"no name", "X:4,Y:3,B:1,-COMP", false},
        ReadCase{"empty name", "N:,X:4,Y:3,B:1,-COMP", false},
        ReadCase{"pin before B", "N:A,X:4,Y:3,+PIN,-PIN,B:1,-COMP", false},
        ReadCase{"failing pin", "N:A,X:4,Y:3,B:1,+PIN,-PTN,-COMP", false},
        ReadCase{"two pins", "N:A,X:4,Y:3,B:2,+PIN,M:1,-PIN,+PIN,-PIN,-COMP", true, 4, 3, 2, 2},
        ReadCase{"cut after two pins", "N:A,X:4,Y:3,B:1,+PIN,-PIN,+PIN,L:R1", true, 4, 3, 1, 2},
        ReadCase{"cut before the size", "N:A", false},
        ReadCase{"foreign closing word", "N:A,X:4,Y:3,B:1,-PTN", false},
        ReadCase{"unknown section", "N:A,X:4,+FOO,X:9,-FOO,Y:3,B:1,Q:1,junk,-COMP", true, 4, 3, 1,
                 0},
        ReadCase{"unclosed section", "N:A,X:4,Y:3,B:1,+FOO,-COMP", false}));

TEST(CompRead, NamesPrefixAndTexts) {
    SCompInfo comp;
    Read r = readComp(comp, "N:7400,P:pat,X:1,Y:1,B:1,NOTE:n%2Cx,MFR:m,MFRPN:p:n,PKG:k,-COMP");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.name, "7400");
    EXPECT_EQ(r.patternName, "pat");
    EXPECT_EQ(comp.referencePrefix(), "U");
    EXPECT_EQ(comp.note(), "n,x");
    EXPECT_EQ(comp.manufacturer(), "m");
    EXPECT_EQ(comp.manufacturerPartNumber(), "p:n");
    EXPECT_EQ(comp.package(), "k");
    EXPECT_EQ(comp.pattern(), nullptr);

    r = readComp(comp, "N:A,X:1,Y:1,B:1,R:,-COMP");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.patternName, "");
    EXPECT_EQ(comp.referencePrefix(), "");
}

TEST(CompRead, PinsGetTheBlockCount) {
    SCompInfo comp;
    ASSERT_TRUE(readComp(comp, "N:A,X:2,Y:2,B:3,+PIN,N:P,L:L1,M:1,-PIN,-COMP").ok);
    ASSERT_EQ(comp.pinCount(), 1);
    EXPECT_EQ(comp.pinAt(0)->blockCount(), 3);
    EXPECT_EQ(comp.pinAt(0)->number(0), "1");
    EXPECT_EQ(comp.pinAt(0)->number(1), std::nullopt);
}

TEST(CompRead, RereadDropsOldPinsAndPattern) {
    SCompInfo comp;
    ASSERT_TRUE(readComp(comp, "N:A,X:2,Y:2,B:1,+PIN,-PIN,R:IC,-COMP").ok);
    comp.usePattern(true, true);
    ASSERT_FALSE(readComp(comp, "N:A,X:2,-COMP").ok);
    EXPECT_EQ(comp.pinCount(), 0);
    EXPECT_EQ(comp.pattern(), nullptr);
    EXPECT_EQ(comp.referencePrefix(), std::nullopt);
}

TEST(CompWrite, WithoutPattern) {
    SCompInfo comp;
    ASSERT_TRUE(readComp(comp, "N:x,X:4,Y:3,B:2,+PIN,N:A,L:L1,T:N,M:1,M:2,-PIN,NOTE:a b,-COMP").ok);
    comp.setReferencePrefix(std::nullopt);
    EXPECT_EQ(writeComp(comp, "74,00"), "+COMP,N:74%2C00\n"
                                        "X:4,Y:3,B:2\n"
                                        "R:\n"
                                        "+PIN,N:A,L:L1,T:N,M:1,M:2,-PIN\n"
                                        "NOTE:a%20b,MFR:,MFRPN:,PKG:,-COMP\n");
}

TEST(CompWrite, PatternGoesFirstUnderTheEntryName) {
    SCompInfo comp;
    comp.setSize(SSize(1, 1), false, false);
    comp.usePattern(true, true);
    comp.pattern()->setName("old");
    comp.pattern()->appendObject(std::make_unique<SPtnObjLine>());
    const std::string text = writeComp(comp, "R1");
    EXPECT_EQ(text.substr(0, text.find('\n')), "+PTN,N:R1,X:11,Y:11");
    EXPECT_NE(text.find("-PTN\n+COMP,N:R1\nX:1,Y:1,B:1\nR:\nP:R1\nNOTE:"), std::string::npos);
}

TEST(CompWrite, RefusesEmptyNameAndReportsWriteErrors) {
    SCompInfo comp;
    EXPECT_EQ(writeComp(comp, "", false), "");
    STagWriter unattached;
    EXPECT_FALSE(comp.write(unattached, "A"));
}

TEST(CompCopy, IsDeep) {
    SCompInfo comp;
    ASSERT_TRUE(readComp(comp, "N:A,X:2,Y:2,B:1,+PIN,N:P,-PIN,-COMP").ok);
    comp.usePattern(true, false);
    SCompInfo copy = comp;
    ASSERT_NE(copy.pattern(), nullptr);
    EXPECT_NE(copy.pattern(), comp.pattern());
    EXPECT_EQ(copy.pattern()->bitPattern(), comp.pattern()->bitPattern());
    copy.pinAt(0)->setName("Q");
    EXPECT_EQ(comp.pinAt(0)->name(), "P");
    EXPECT_EQ(writeComp(SCompInfo(comp), "A"), writeComp(comp, "A"));
}

struct SizeCase {
    SSize size;
    bool create;
    bool noBits;
    bool hasPattern;
    SSize patternSize;
    bool hasBits;
};

TEST(CompSize, SetSizeAndUsePattern) {
    const SizeCase cases[] = {
        {{4, 3}, false, false, false, {}, false},
        {{4, 3}, true, false, true, {41, 31}, true},
        {{60, 60}, true, false, true, {501, 501}, true},
        {{100, 2}, true, false, true, {501, 21}, true},
        {{70, 70}, true, true, true, {701, 701}, false},
        {{kMax, kMax}, true, true, true, {kMax, kMax}, false},
        {{kMax, kMin}, true, false, true, {501, 0}, false},
    };
    for (const SizeCase& c : cases) {
        SCompInfo comp;
        comp.setSize(c.size, c.create, c.noBits);
        EXPECT_EQ(comp.size(), c.size);
        ASSERT_EQ(comp.pattern() != nullptr, c.hasPattern);
        if (!c.hasPattern)
            continue;
        EXPECT_EQ(comp.pattern()->size(), c.patternSize);
        EXPECT_EQ(comp.pattern()->hasBitPattern(), c.hasBits);
    }
}

TEST(CompSize, UsePatternKeepsAnExistingOne) {
    SCompInfo comp;
    comp.setSize(SSize(2, 2), false, false);
    comp.usePattern(true, false);
    ASSERT_NE(comp.pattern(), nullptr);
    EXPECT_EQ(comp.pattern()->size(), SSize(21, 21));
    SPtn* before = comp.pattern();
    comp.usePattern(true, true);
    EXPECT_EQ(comp.pattern(), before);
    EXPECT_TRUE(comp.pattern()->hasBitPattern());
    comp.setSize(SSize(1, 1), false, false);
    EXPECT_EQ(comp.pattern()->size(), SSize(11, 11));
    comp.usePattern(false, false);
    EXPECT_EQ(comp.pattern(), nullptr);
}

TEST(CompBlocks, SetBlockCountResizesEveryPin) {
    SCompInfo comp;
    ASSERT_TRUE(readComp(comp, "N:A,X:2,Y:2,B:2,+PIN,M:1,M:2,-PIN,+PIN,M:3,-PIN,-COMP").ok);
    comp.setBlockCount(3);
    EXPECT_EQ(comp.blockCount(), 3);
    for (const SPin& pin : comp.pins())
        EXPECT_EQ(pin.blockCount(), 3);
    EXPECT_EQ(comp.pinAt(0)->number(1), "2");
    EXPECT_EQ(comp.pinAt(0)->number(2), std::nullopt);
    EXPECT_NE(writeComp(comp, "A").find("+PIN,N:,L:L0,T:,M:1,M:2,M:,-PIN"), std::string::npos);
    // Added pins are fitted to the component's block count too.
    comp.addPin(SPin());
    EXPECT_EQ(comp.pinAt(2)->blockCount(), 3);
}

// Pins L0 "a", L2 "b", L3 "c", T2 "d", L5 "e", L2 "f" (a second pin at L2).
SCompInfo pinnedComp() {
    SCompInfo comp;
    comp.setSize(SSize(4, 6), false, false);
    for (const auto& [side, offset, name] :
         {std::tuple{0, 0, "a"}, {0, 2, "b"}, {0, 3, "c"}, {1, 2, "d"}, {0, 5, "e"}, {0, 2, "f"}})
        comp.addPin(pinAt(side, offset, name));
    return comp;
}

std::string layout(const SCompInfo& comp) {
    std::string out;
    for (const SPin& p : comp.pins())
        out += std::string(p.name().value_or("?")) + std::to_string(p.side()) +
               std::to_string(p.offset()) + " ";
    return out;
}

TEST(CompPins, ListOperations) {
    const struct {
        const char* what;
        void (*apply)(SCompInfo&);
        const char* expected;
    } cases[] = {
        {"remove, close gap", [](SCompInfo& c) { c.removePinAt(0, 2, true); },
         "a00 c02 d12 e04 f02 "},
        {"remove, keep gap", [](SCompInfo& c) { c.removePinAt(0, 2, false); },
         "a00 c03 d12 e05 f02 "},
        {"close gap where no pin is", [](SCompInfo& c) { c.removePinAt(0, 4, true); },
         "a00 b02 c03 d12 e04 f02 "},
        {"remove on another side", [](SCompInfo& c) { c.removePinAt(1, 2, true); },
         "a00 b02 c03 e05 f02 "},
        {"open gap", [](SCompInfo& c) { c.openPinGap(0, 3); }, "a00 b02 c04 d12 e06 f02 "},
        {"add null", [](SCompInfo& c) { c.addPin(nullptr); }, "a00 b02 c03 d12 e05 f02 "},
    };
    for (const auto& c : cases) {
        SCompInfo comp = pinnedComp();
        c.apply(comp);
        EXPECT_EQ(layout(comp), c.expected) << c.what;
    }
}

// Offsets wrap at the ends of the 32-bit range (as coordinates do) instead of overflowing.
TEST(CompPins, GapsAtTheEndsOfTheRange) {
    SCompInfo comp;
    comp.addPin(pinAt(0, kMax, "max"));
    comp.addPin(pinAt(0, kMin, "min"));
    comp.openPinGap(0, kMax);
    EXPECT_EQ(comp.pinAt(0)->offset(), kMin);
    comp.removePinAt(0, kMax, true);
    EXPECT_EQ(comp.pinAt(1)->offset(), kMin);
    comp.removePinAt(0, kMin, false);
    ASSERT_EQ(comp.pinCount(), 1);
    EXPECT_EQ(comp.pinAt(0)->name(), "min");
}

struct EndCase {
    int32_t side;
    int32_t offset;
    int32_t direction;
    SPinEnd end;
};

TEST(CompPins, PinEnd) {
    // A 4 × 3 body: it covers x -40..0 and y -30..0 when not turned.
    const EndCase cases[] = {
        {0, 1, 0, {{-50, -20}, 0}}, {0, 1, 2, {{10, -10}, 2}},  {2, 1, 0, {{10, -20}, 2}},
        {1, 1, 0, {{-30, -40}, 1}}, {3, 3, 0, {{-10, 10}, 3}},  {0, 1, 1, {{-10, -50}, 1}},
        {0, 1, 4, {{10, -20}, 2}},  {2, 1, 4, {{-50, -20}, 0}}, {1, 1, 4, {{-10, -40}, 1}},
        {0, 0, 3, {{-30, 10}, 3}},
    };
    SCompInfo comp;
    comp.setSize(SSize(4, 3), false, false);
    for (const EndCase& c : cases) {
        comp.setPins({pinAt(c.side, c.offset)});
        EXPECT_EQ(comp.pinEnd(0, c.direction), c.end)
            << "side " << c.side << " offset " << c.offset << " direction " << c.direction;
    }
    EXPECT_EQ(comp.pinEnd(1, 0), std::nullopt);
    EXPECT_EQ(comp.pinEnd(-1, 0), std::nullopt);
}

TEST(CompPins, PinEndAtTheEndsOfTheRange) {
    SCompInfo comp;
    comp.setSize(SSize(kMax, kMin), false, false);
    for (const int32_t side : {0, 1, 2, 3, kMax, kMin})
        for (const int32_t offset : {kMax, kMin, 0})
            comp.addPin(pinAt(side, offset));
    for (int32_t direction : {0, 1, 2, 3, 4, 5, 6, 7, kMax, kMin})
        for (int32_t i = 0; i < comp.pinCount(); ++i)
            ASSERT_TRUE(comp.pinEnd(i, direction).has_value());
}

} // namespace
