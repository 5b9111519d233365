#include "model/SPin.h"
#include "tagtext/STagReader.h"
#include "tagtext/STagWriter.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace {

using Numbers = std::vector<std::optional<std::string>>;

// Reads a record body (the text after "+PIN") into a pin that starts on the top edge at 7.
bool readPin(SPin& pin, const std::string& body, int32_t blocks) {
    pin.setSide(SPin::kSideTop);
    pin.setOffset(7);
    STagReader reader;
    reader.attachString(body);
    return pin.read(reader, blocks);
}

std::string writePin(const SPin& pin) {
    std::string text;
    STagWriter writer;
    writer.attachString(&text);
    EXPECT_TRUE(pin.write(writer));
    return text;
}

Numbers numbersOf(const SPin& pin) {
    Numbers out;
    for (int32_t b = 0; b < pin.blockCount(); ++b) {
        const auto n = pin.number(b);
        out.push_back(n ? std::optional<std::string>(std::string(*n)) : std::nullopt);
    }
    return out;
}

struct ReadCase {
    const char* body;
    int32_t blocks;
    bool ok;
    int32_t side;
    int32_t offset;
    uint32_t flags;
    std::optional<std::string> name;
    Numbers numbers;
};

class PinRead : public testing::TestWithParam<ReadCase> {};

TEST_P(PinRead, Fields) {
    const ReadCase& c = GetParam();
    SPin pin;
    ASSERT_EQ(readPin(pin, c.body, c.blocks), c.ok);
    if (!c.ok)
        return;
    EXPECT_EQ(pin.side(), c.side);
    EXPECT_EQ(pin.offset(), c.offset);
    EXPECT_EQ(pin.typeFlags(), c.flags);
    EXPECT_EQ(pin.name(), c.name);
    EXPECT_EQ(numbersOf(pin), c.numbers);
}

constexpr uint32_t kAllFlags = SPin::kFlagZeroLength | SPin::kFlagShort | SPin::kFlagNegation |
                               SPin::kFlagClock | SPin::kFlagNumberHidden;
const std::nullopt_t none = std::nullopt;

INSTANTIATE_TEST_SUITE_P(
    Records, PinRead,
    testing::Values(ReadCase{"N:A,L:R12,T:NC,M:3,M:4,-PIN",
                             2,
                             true,
                             2,
                             12,
                             SPin::kFlagNegation | SPin::kFlagClock,
                             "A",
                             {"3", "4"}},
                    ReadCase{"L:B0,T:ZSNCm,-PIN", 0, true, 3, 0, kAllFlags, none, {}},
                    ReadCase{"T:q!,-PIN", 0, true, 1, 7, 0, none, {}},
                    ReadCase{"T:C,T:,-PIN", 0, true, 1, 7, 0, none, {}},
                    // Side and offset keep their values when the field does not fit.
                    ReadCase{"L:X5,-PIN", 0, true, 1, 5, 0, none, {}},
                    ReadCase{"L:L300,-PIN", 0, true, 0, 7, 0, none, {}},
                    ReadCase{"L:R-1,-PIN", 0, true, 2, 7, 0, none, {}},
                    ReadCase{"L:R99999999999999999999,-PIN", 0, true, 2, 7, 0, none, {}},
                    ReadCase{"L:,L:T,-PIN", 0, true, 1, 0, 0, none, {}},
                    // Pin numbers: one per block, extra ones ignored, missing ones absent.
                    ReadCase{"M:1,M:2,-PIN", 1, true, 1, 7, 0, none, {"1"}},
                    ReadCase{"M:,M:x,-PIN", 2, true, 1, 7, 0, none, {"", "x"}},
                    ReadCase{"M:5,-PIN", 3, true, 1, 7, 0, none, {"5", none, none}},
                    ReadCase{"M:5,-PIN", -4, true, 1, 7, 0, none, {}},
                    // Names: empty is a name; the 7-bit form is decoded.
                    ReadCase{"N:,-PIN", 0, true, 1, 7, 0, "", {}},
                    ReadCase{"N:\\%03A,-PIN",
                             0,
                             true,
                             1,
                             7,
                             0,
                             "\x83"
                             "A",
                             {}},
                    ReadCase{"N:ab\\,-PIN", 0, true, 1, 7, 0, "ab\\", {}},
                    ReadCase{"N:a:b,-PIN", 0, true, 1, 7, 0, "a:b", {}},
                    // The last name counts, wherever it stands among the numbers.
                    ReadCase{"M:1,N:late,N:later,M:2,-PIN", 2, true, 1, 7, 0, "later", {"1", "2"}},
                    ReadCase{"N:a,N:,M:1,-PIN", 1, true, 1, 7, 0, "", {"1"}},
                    // Nested sections are skipped; unknown keys and non-fields ignored.
                    ReadCase{"+X,N:no,-X,Q:1,junk,:v,N:B,-PIN", 0, true, 1, 7, 0, "B", {}},
                    // The end of the input ends the record with what was read.
                    ReadCase{"N:A,L:L3", 0, true, 0, 3, 0, "A", {}},
                    ReadCase{"", 0, true, 1, 7, 0, none, {}},
                    // Failures: a foreign closing word, an unclosed nested section.
                    ReadCase{"N:A,-COMP", 0, false, 0, 0, 0, none, {}},
                    ReadCase{"N:A,+X,N:B", 0, false, 0, 0, 0, none, {}},
                    ReadCase{"N:A%4,-PIN", 0, true, 1, 7, 0, none, {}}));

TEST(PinRead, KeepsAtMost256Numbers) {
    SPin pin;
    ASSERT_TRUE(readPin(pin, "-PIN", std::numeric_limits<int32_t>::max()));
    EXPECT_EQ(pin.blockCount(), SPin::kMaxBlocks);
}

TEST(PinRead, NameIsCutAt255DecodedBytes) {
    SPin pin;
    ASSERT_TRUE(readPin(pin, "N:" + std::string(300, 'n') + ",-PIN", 0));
    EXPECT_EQ(pin.name(), std::string(255, 'n'));
    // An escape pair that would make the 256th byte is dropped whole.
    ASSERT_TRUE(readPin(pin, "N:" + std::string(254, 'n') + "\\a\\b,-PIN", 0));
    EXPECT_EQ(pin.name(), std::string(254, 'n') + "\xE1");
}

struct WriteCase {
    const char* body; // read with 2 blocks, then written
    const char* written;
};

class PinWrite : public testing::TestWithParam<WriteCase> {};

TEST_P(PinWrite, Record) {
    SPin pin;
    ASSERT_TRUE(readPin(pin, GetParam().body, 2));
    EXPECT_EQ(writePin(pin), GetParam().written);
}

INSTANTIATE_TEST_SUITE_P(
    Records, PinWrite,
    testing::Values(WriteCase{"N:A,L:R12,T:CN,M:3,M:4,-PIN", "+PIN,N:A,L:R12,T:NC,M:3,M:4,-PIN"},
                    WriteCase{"T:mCNSZ,-PIN", "+PIN,N:,L:T7,T:ZSNCm,M:,M:,-PIN"},
                    WriteCase{"N:\\%03A,M:a b,M:%25,-PIN",
                              "+PIN,N:\\%03A,L:T7,T:,M:a%20b,M:%25,-PIN"},
                    WriteCase{"N:x%00,L:B0,-PIN", "+PIN,N:x%00,L:B0,T:,M:,M:,-PIN"},
                    WriteCase{"N:\\%00,-PIN", "+PIN,N:\\%00,L:T7,T:,M:,M:,-PIN"}));

TEST(PinWrite, OffsetsAtTheEndsOfTheRange) {
    SPin pin;
    pin.setSide(SPin::kSideBottom);
    pin.setOffset(std::numeric_limits<int32_t>::min());
    EXPECT_EQ(writePin(pin), "+PIN,N:,L:B-2147483648,T:,-PIN");
    pin.setOffset(std::numeric_limits<int32_t>::max());
    EXPECT_EQ(writePin(pin), "+PIN,N:,L:B2147483647,T:,-PIN");
}

TEST(PinName, SevenBitForm) {
    const struct {
        std::string bytes;
        std::string encoded;
    } cases[] = {{"", ""},
                 {"CLK", "CLK"},
                 {"\x83\x41", "\\\x03"
                              "A"},
                 {"\x80", std::string("\\\0", 2)},
                 {"\xFF", "\\\x7F"}};
    for (const auto& c : cases) {
        EXPECT_EQ(SPin::encodeName(c.bytes), c.encoded);
        EXPECT_EQ(SPin::decodeName(c.encoded), c.bytes);
    }
    EXPECT_EQ(SPin::decodeName("\\"), "\\");
    EXPECT_EQ(SPin::decodeName("\\\\"), "\xDC");
}

TEST(PinName, SetNameDecodesSetNameBytesDoesNot) {
    SPin pin;
    pin.setName("\\R\\S");
    EXPECT_EQ(pin.name(), "\xD2\xD3");
    pin.setNameBytes("\\R");
    EXPECT_EQ(pin.name(), "\\R");
    pin.setNameBytes(std::string(400, 'x'));
    EXPECT_EQ(pin.name()->size(), SPin::kMaxNameBytes);
    pin.setName(std::nullopt);
    EXPECT_EQ(pin.name(), std::nullopt);
}

// Name and numbers share one packed store: changing one must not disturb the others, whatever
// their lengths (long ones take longer length headers).
TEST(PinNumbers, FieldsStayIndependent) {
    const std::string longText(20000, 'L');
    const std::string midText(200, 'M');
    SPin pin;
    pin.setBlockCount(4);
    pin.setNumber(0, "1");
    pin.setNumber(2, longText);
    pin.setNumber(3, midText);
    pin.setName("name");
    EXPECT_EQ(numbersOf(pin), (Numbers{"1", none, longText, midText}));
    pin.setNumber(2, "");
    pin.setName(std::string(255, 'n'));
    pin.setNumber(1, midText);
    EXPECT_EQ(numbersOf(pin), (Numbers{"1", midText, "", midText}));
    EXPECT_EQ(pin.name(), std::string(255, 'n'));
    pin.setNumber(2, std::nullopt);
    EXPECT_EQ(numbersOf(pin), (Numbers{"1", midText, none, midText}));
}

// Absent numbers at the end are not stored: however a pin got them, it is the same pin.
TEST(PinNumbers, AbsentNumbersAtTheEnd) {
    SPin fresh;
    fresh.setBlockCount(256);
    SPin read;
    ASSERT_TRUE(readPin(read, "L:L0,-PIN", 256));
    SPin cleared;
    cleared.setBlockCount(256);
    cleared.setNumber(200, "x");
    EXPECT_EQ(cleared.number(199), std::nullopt);
    EXPECT_EQ(cleared.number(200), "x");
    cleared.setNumber(200, std::nullopt);
    SPin shrunk;
    shrunk.setBlockCount(256);
    shrunk.setNumber(255, "y");
    shrunk.setBlockCount(255);
    shrunk.setBlockCount(256);
    for (const SPin* pin : {&read, &cleared, &shrunk}) {
        EXPECT_EQ(*pin, fresh);
        std::string expected = "+PIN,N:,L:L0,T:";
        for (int i = 0; i < 256; ++i)
            expected += ",M:";
        EXPECT_EQ(writePin(*pin), expected + ",-PIN");
    }
}

TEST(PinNumbers, BlockCountAndRange) {
    SPin pin;
    pin.setBlockCount(3);
    pin.setNumber(0, "a");
    pin.setNumber(1, "b");
    pin.setNumber(2, "c");
    pin.setNumber(-1, "x");
    pin.setNumber(3, "x");
    EXPECT_EQ(pin.number(-1), std::nullopt);
    EXPECT_EQ(pin.number(3), std::nullopt);
    pin.setBlockCount(2);
    EXPECT_EQ(numbersOf(pin), (Numbers{"a", "b"}));
    pin.setBlockCount(4);
    EXPECT_EQ(numbersOf(pin), (Numbers{"a", "b", none, none}));
    pin.setBlockCount(-3);
    EXPECT_EQ(pin.blockCount(), 0);
    pin.setBlockCount(100000);
    EXPECT_EQ(pin.blockCount(), SPin::kMaxBlocks);
}

} // namespace
