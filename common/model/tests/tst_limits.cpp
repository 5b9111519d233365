// Inputs at the limits: huge words, very many or deeply nested sections, polygons at the node
// limit, offsets and sizes at the ends of the 32-bit range. Each must finish in bounded time and
// memory with the lenient result or a clean failure.

#include "model/SCompInfo.h"
#include "model/SCompLib.h"
#include "model/SPin.h"
#include "model/SPtn.h"
#include "model/SPtnObjPolygon.h"
#include "tagtext/STagReader.h"
#include "tagtext/STagWriter.h"

#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

// Generous: each case takes well under a second in a Debug build.
// A guard against hangs and quadratic blow-ups, not a speed test: generous enough for a
// sanitizer build on a busy machine.
constexpr auto kTimeLimit = std::chrono::seconds(180);

class Deadline {
public:
    ~Deadline() {
        EXPECT_LT(std::chrono::steady_clock::now() - m_start, kTimeLimit) << "took too long";
    }

private:
    std::chrono::steady_clock::time_point m_start = std::chrono::steady_clock::now();
};

// Reads a library text from memory as load does after its magic word.
bool readLibrary(SCompLib& lib, std::string_view text) {
    STagReader reader;
    reader.attachString(text);
    std::string word;
    if (reader.readWord(word) < 0 || word != SCompLib::kLibraryOpen)
        return false;
    return lib.readBlocks(reader, false);
}

constexpr size_t k200MB = size_t{200} << 20;

TEST(Limits, A200MegabyteWordIsReadInPieces) {
    Deadline deadline;
    std::string text = "+KORVX_LIB_V.1.0\nPROP:";
    text.append(k200MB, 'a');
    text += "\n+COMP,N:A,X:1,Y:1,B:1,NOTE:";
    text.append(k200MB / 4, 'n');
    text += ",-COMP\n-KORVX_LIB_V.1.0\n";
    SCompLib lib;
    ASSERT_TRUE(readLibrary(lib, text));
    // The word ends after 32768 bytes; the rest comes as words without ":", which are ignored.
    EXPECT_EQ(lib.property(), std::string(STagReader::kMaxWordBytes - 5, 'a'));
    ASSERT_EQ(lib.entryCount(), 1);
    EXPECT_EQ(lib.entryAt(0)->component()->note().size(), STagReader::kMaxWordBytes - 5);
}

TEST(Limits, A200MegabyteWordFromAFile) {
    Deadline deadline;
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("kx_limits_word_" + std::to_string(::getpid()));
    {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        const std::string head = "+KORVX_LIB_V.1.0\r\nPROP:";
        std::fwrite(head.data(), 1, head.size(), f);
        const std::string chunk(1 << 20, 'b');
        for (size_t i = 0; i < k200MB / chunk.size(); ++i)
            std::fwrite(chunk.data(), 1, chunk.size(), f);
        const std::string tail = "\r\n+COMP,N:Z,X:1,Y:1,B:1,-COMP\r\n-KORVX_LIB_V.1.0\r\n";
        std::fwrite(tail.data(), 1, tail.size(), f);
        ASSERT_EQ(std::fclose(f), 0);
    }
    SCompLib lib;
    const bool loaded = lib.load(path.string());
    std::filesystem::remove(path);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(lib.property().size(), STagReader::kMaxWordBytes - 5);
    ASSERT_EQ(lib.entryCount(), 1);
    EXPECT_EQ(lib.entryAt(0)->name(), "Z");
}

TEST(Limits, AMillionTinySections) {
    Deadline deadline;
    // Unknown sections, aliases of missing entries (dropped) and small components.
    std::string text = "+KORVX_LIB_V.1.0\n";
    for (int i = 0; i < 1000000; ++i) {
        switch (i % 4) {
        case 0:
        case 1:
            text += "+X,-X\n";
            break;
        case 2:
            text += "+ALIAS,A:a,N:none,-ALIAS\n";
            break;
        default:
            text += "+COMP,N:C" + std::to_string(i) + ",X:1,Y:1,B:1,-COMP\n";
            break;
        }
    }
    text += "-KORVX_LIB_V.1.0\n";
    SCompLib lib;
    ASSERT_TRUE(readLibrary(lib, text));
    EXPECT_EQ(lib.entryCount(), 250000);
}

TEST(Limits, ManyComponentsAndAliasesStayLinear) {
    Deadline deadline;
    constexpr int kCount = 100000;
    std::string text = "+KORVX_LIB_V.1.0\n";
    for (int i = 0; i < kCount; ++i)
        text += "+COMP,N:C" + std::to_string(i) + ",X:1,Y:1,B:1,-COMP\n";
    for (int i = kCount - 1; i >= 0; --i)
        text += "+ALIAS,A:A" + std::to_string(i) + ",N:C" + std::to_string(i) + ",-ALIAS\n";
    SCompLib lib;
    ASSERT_TRUE(readLibrary(lib, text));
    ASSERT_EQ(lib.entryCount(), 2 * kCount);
    EXPECT_EQ(lib.entryAt(kCount)->component(), lib.entryAt(kCount - 1)->component());
}

TEST(Limits, ANameWithEveryNumberTakenStaysUniqueAndFast) {
    Deadline deadline;
    // "A" and all of "A(1)" to "A(5000)" taken, then 20,000 more of "A" and of "A(2)": each
    // gets the next free number, without walking the taken ones again.
    constexpr int kTaken = 5000;
    constexpr int kMore = 20000;
    std::string text = "+KORVX_LIB_V.1.0\n+COMP,N:A,X:1,Y:1,B:1,-COMP\n";
    for (int i = 1; i <= kTaken; ++i)
        text += "+COMP,N:A(" + std::to_string(i) + "),X:1,Y:1,B:1,-COMP\n";
    for (int i = 0; i < kMore; ++i)
        text += i % 2 ? "+COMP,N:A,X:1,Y:1,B:1,-COMP\n" : "+COMP,N:A(2),X:1,Y:1,B:1,-COMP\n";
    SCompLib lib;
    ASSERT_TRUE(readLibrary(lib, text));
    ASSERT_EQ(lib.entryCount(), kTaken + kMore + 1);
    EXPECT_EQ(lib.entryAt(lib.entryCount() - 1)->name(),
              "A(" + std::to_string(kTaken + kMore) + ")");
    std::set<std::string> names;
    for (const auto& e : lib.entries())
        names.insert(e->name());
    EXPECT_EQ(names.size(), lib.entries().size());
    EXPECT_EQ(lib.makeUniqueName("A(9)"), "A(" + std::to_string(kTaken + kMore + 1) + ")");
}

std::string nested(int depth, bool distinctNames) {
    const auto name = [&](int i) { return distinctNames ? "S" + std::to_string(i) : "S"; };
    std::string text;
    for (int i = 0; i < depth; ++i)
        text += "+" + name(i) + ",";
    for (int i = depth - 1; i >= 0; --i)
        text += "-" + name(i) + ",";
    return text;
}

TEST(Limits, TenThousandNestedUnknownSections) {
    Deadline deadline;
    constexpr int kDepth = 10000;
    const struct {
        const char* what;
        bool distinct;
        bool reads;
    } cases[] = {
        // Skipping stops at the first matching closing word: distinct names skip everything...
        {"distinct", true, true},
        // ...one name leaves its further closing words at block level, which fails.
        {"same name", false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SCompLib lib;
        EXPECT_EQ(readLibrary(lib, "+KORVX_LIB_V.1.0\n" + nested(kDepth, c.distinct) +
                                       "\n+COMP,N:A,X:1,Y:1,B:1,-COMP\n"),
                  c.reads);
        EXPECT_EQ(lib.entryCount(), c.reads ? 1 : 0);

        // Inside a component, a pattern and a pin.
        STagReader reader;
        const std::string comp = "N:A,X:1,Y:1,B:1," + nested(kDepth, c.distinct) + "-COMP";
        reader.attachString(comp);
        SCompInfo info;
        std::string name;
        std::string pattern;
        EXPECT_EQ(info.read(reader, name, pattern), c.reads);
        const std::string ptn = "N:P," + nested(kDepth, c.distinct) + "+L,X:1,Y:1,-L,-PTN";
        reader.attachString(ptn);
        SPtn p;
        EXPECT_EQ(p.read(reader), c.reads);
        const std::string pin = "N:P," + nested(kDepth, c.distinct) + "-PIN";
        reader.attachString(pin);
        SPin pinRead;
        EXPECT_EQ(pinRead.read(reader, 1), c.reads);
    }
}

std::string polygonSection(int nodes) {
    std::string s = "+PG,W:1,S:0,F:-1,N:" + std::to_string(nodes);
    for (int i = 0; i < nodes; ++i)
        s += ",X:" + std::to_string(i * 10) + ",Y:" + std::to_string((i % 2) * 10);
    return s + ",-PG\n";
}

std::string patternText(const SPtn& ptn) {
    std::string text;
    STagWriter writer;
    writer.attachString(&text);
    ptn.write(writer);
    return text;
}

TEST(Limits, PolygonsOf32And33Nodes) {
    STagReader reader;
    const std::string text =
        "N:P\n" + polygonSection(32) + polygonSection(33) + "+L,X:0,Y:0,X:5,Y:5,-L\n-PTN\n";
    reader.attachString(text);
    SPtn ptn;
    ASSERT_TRUE(ptn.read(reader));
    // The 33-node polygon fails on its own; the objects around it stay.
    ASSERT_EQ(ptn.objectCount(), 2);
    EXPECT_EQ(ptn.object(0)->nodeCount(), 32);
    EXPECT_EQ(ptn.object(1)->id(), SPtnObjId::Line);
    EXPECT_EQ(patternText(ptn),
              "+PTN,N:P,X:0,Y:0\n" + polygonSection(32) + "+L,W:1,S:0,X:0,Y:0,X:5,Y:5,-L\n-PTN\n");

    // A polygon edited to 33 nodes is not written; the rest of the pattern is.
    auto& polygon = static_cast<SPtnObjPolygon&>(*ptn.object(0));
    polygon.insertNode(0, 1, 1);
    ASSERT_EQ(polygon.nodeCount(), 33);
    std::string alone;
    STagWriter writer;
    writer.attachString(&alone);
    EXPECT_FALSE(polygon.write(writer));
    EXPECT_EQ(alone, "");
    EXPECT_EQ(patternText(ptn), "+PTN,N:P,X:0,Y:0\n+L,W:1,S:0,X:0,Y:0,X:5,Y:5,-L\n-PTN\n");
}

TEST(Limits, PinOffsetsAtTheEndsOfTheRange) {
    const struct {
        const char* location;
        int32_t side;
        int32_t offset;
    } cases[] = {
        {"L:R2147483647", SPin::kSideRight, 7},  {"L:T-2147483648", SPin::kSideTop, 7},
        {"L:B2147483648", SPin::kSideBottom, 7}, {"L:L-2147483649", SPin::kSideLeft, 7},
        {"L:R255", SPin::kSideRight, 255},       {"L:R256", SPin::kSideRight, 7},
    };
    for (const auto& c : cases) {
        SPin pin;
        pin.setOffset(7);
        STagReader reader;
        const std::string text = std::string("N:P,") + c.location + ",M:1,-PIN";
        reader.attachString(text);
        ASSERT_TRUE(pin.read(reader, 1)) << c.location;
        EXPECT_EQ(pin.side(), c.side) << c.location;
        EXPECT_EQ(pin.offset(), c.offset) << c.location;
    }
}

TEST(Limits, ComponentSizesAtTheEndsOfTheRange) {
    const struct {
        const char* fields;
        bool reads;
    } cases[] = {
        {"X:2147483647,Y:2147483647,B:256", true}, {"X:4294967296,Y:1,B:1", true}, // held to 2^31-1
        {"X:-2147483648,Y:1,B:1", false},          {"X:1,Y:-1,B:1", false},
        {"X:1,Y:1,B:2147483647", false},           {"X:1,Y:1,B:-2147483648", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fields);
        const std::string text =
            std::string("N:BIG,") + c.fields + ",+PIN,N:P,L:B255,M:1,-PIN,+PIN,L:R255,-PIN,-COMP";
        STagReader reader;
        reader.attachString(text);
        SCompInfo info;
        std::string name;
        std::string pattern;
        ASSERT_EQ(info.read(reader, name, pattern), c.reads);
        if (!c.reads)
            continue;
        EXPECT_EQ(info.size().width, INT32_MAX);
        // Every placement of pins at the far end of a maximal body, with wrapping arithmetic.
        for (int32_t direction = 0; direction < 8; ++direction) {
            for (int32_t i = 0; i < info.pinCount(); ++i)
                EXPECT_TRUE(info.pinEnd(i, direction).has_value());
        }
        // A bit pattern for it is held to 501 pixels a side.
        info.usePattern(true, false);
        ASSERT_NE(info.pattern(), nullptr);
        EXPECT_EQ(info.pattern()->size(), SSize(501, info.size().height == 1 ? 11 : 501));
        std::string written;
        STagWriter writer;
        writer.attachString(&written);
        EXPECT_TRUE(info.write(writer, "BIG"));
    }
}

TEST(Limits, PatternSizesAtTheEndsOfTheRange) {
    const char* const texts[] = {
        "N:P,X:2147483647,Y:2147483647\n+BMP\nOO\n-BMP\n-PTN\n",
        "N:P,X:-2147483648,Y:2147483647\n+BMP\nOO\n-BMP\n-PTN\n",
        "N:P,X:502,Y:501\n+BMP\nOO\n-BMP\n-PTN\n",
    };
    for (const char* t : texts) {
        STagReader reader;
        reader.attachString(t);
        SPtn ptn;
        EXPECT_TRUE(ptn.read(reader)) << t;
        // No bit pattern beyond 501 pixels a side is taken: its row layout is not defined.
        EXPECT_FALSE(ptn.hasBitPattern()) << t;
        ptn.setBitPatternSize(SSize(INT32_MAX, INT32_MAX), false);
        EXPECT_EQ(ptn.size(), SSize(501, 501));
        EXPECT_EQ(ptn.bitPatternLength(), SPtn::rowStride(501) * 501);
    }
}

} // namespace
