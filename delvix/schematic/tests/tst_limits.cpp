// Schematic inputs at the limits: a huge word, a million small sections, deep nesting, images
// declaring more bytes than they hold, coordinates at the ends of the 32-bit range. Each must
// finish in bounded time and memory with the lenient result or a clean failure.

#include "schematic/SImageDIB.h"
#include "schematic/SXKorvDocSch.h"
#include "schematic/SXKorvLabel.h"
#include "schematic/SXKorvObj.h"
#include "tagtext/STagReader.h"
#include "tagtext/STagWriter.h"

#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <cstdint>
#include <string>
#include <vector>

namespace {

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

int readSheet(SXKorvDoc& doc, std::string_view text) {
    STagReader reader;
    reader.attachString(text);
    return doc.read(reader);
}

size_t liveCount(const SXKorvDoc& doc, SXKorvKind kind) {
    size_t n = 0;
    for (const auto& obj : doc.objects())
        n += obj->isLive() && obj->kind() == kind;
    return n;
}

TEST(SchematicLimits, A200MegabyteWordIsReadInPieces) {
    Deadline deadline;
    std::string text = "+KORVX_DATA_V.1.0\n+LABEL,L:0,X:10,Y:20,D:1,S:";
    text.append(size_t{200} << 20, 'q');
    text += ",-LABEL\n-KORVX_DATA_V.1.0\n";
    SXKorvDocSch doc;
    ASSERT_EQ(readSheet(doc, text), SXKorvDoc::kReadOk);
    ASSERT_EQ(doc.objects().size(), 1u);
    const auto& label = static_cast<const SXKorvLabel&>(*doc.objects()[0]);
    EXPECT_EQ(label.text().size(), STagReader::kMaxWordBytes - 2);
}

TEST(SchematicLimits, AMillionTinySections) {
    Deadline deadline;
    std::string text = "+KORVX_DATA_V.1.0\n";
    for (int i = 0; i < 1000000; ++i) {
        const std::string x = std::to_string((i % 1000) * 10);
        const std::string y = std::to_string((i / 1000) * 10);
        switch (i % 4) {
        case 0: // a junction, every second one at a point already taken
            text += "+JUNCTION,X:" + x + ",Y:" + std::to_string((i / 2000) * 10) + ",-JUNCTION\n";
            break;
        case 1: // short wires along the same rows: merged into one per row
            text += "+WIRE,X1:" + x + ",Y1:" + y + ",X2:" + std::to_string((i % 1000) * 10 + 40) +
                    ",Y2:" + y + ",-WIRE\n";
            break;
        case 2:
            text += "+X,-X\n";
            break;
        default:
            text += "+TAG,X:" + x + ",Y:" + y + ",D:1,T:1,S:t,-TAG\n";
            break;
        }
    }
    text += "-KORVX_DATA_V.1.0\n";
    SXKorvDocSch doc;
    ASSERT_EQ(readSheet(doc, text), SXKorvDoc::kReadOk);
    EXPECT_EQ(liveCount(doc, SXKorvKind::Tag), 250000u);
    EXPECT_EQ(liveCount(doc, SXKorvKind::Junction), 125000u);
    doc.setFindParams("t", true, true, -1);
    size_t hits = 0;
    for (const SXKorvObj* hit = doc.findFirst(); hit; hit = doc.findNext())
        ++hits;
    EXPECT_EQ(hits, 250000u);
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

TEST(SchematicLimits, TenThousandNestedUnknownSections) {
    Deadline deadline;
    constexpr int kDepth = 10000;
    const std::string part = "+KORVX_LIB_V.1.0\n+COMP,N:P,X:1,Y:1,B:1,-COMP\n-KORVX_LIB_V.1.0\n";
    const struct {
        const char* where;
        std::string before;
        std::string after;
    } places[] = {
        {"top level", "", "+JUNCTION,X:0,Y:0,-JUNCTION\n"},
        {"in a label", "+LABEL,X:0,Y:0,D:1,S:a,", "-LABEL\n"},
        {"in a component", "+COMPONENT," + part, "X:0,Y:0,LIB:P,-COMPONENT\n"},
        {"in an image object", "+IMAGEOBJECT,X:0,Y:0,+IMAGE_DIB,", "-IMAGE_DIB,-IMAGEOBJECT\n"},
    };
    for (const auto& p : places) {
        for (const bool distinct : {true, false}) {
            SCOPED_TRACE(testing::Message() << p.where << (distinct ? ", distinct" : ", same"));
            SXKorvDocSch doc;
            const int result = readSheet(doc, "+KORVX_DATA_V.1.0\n" + p.before +
                                                  nested(kDepth, distinct) + p.after);
            // Skipping stops at the first matching closing word: one name leaves the further
            // closing words where they fail the section (or the sheet).
            EXPECT_EQ(result, distinct ? SXKorvDoc::kReadOk : SXKorvDoc::kReadError);
            EXPECT_EQ(doc.objects().size(), distinct ? 1u : 0u);
        }
    }
}

// A bitmap file header declaring `declared` bytes, followed by a 1 × 1 info header.
std::string bitmapStart(uint32_t declared) {
    std::string b = "BM";
    for (int i = 0; i < 4; ++i)
        b.push_back(static_cast<char>(declared >> (8 * i)));
    b += std::string(4, '\0');
    b += std::string("\x36\0\0\0\x28\0\0\0\x01\0\0\0\x01\0\0\0\x01\0\x18\0", 20);
    b.resize(58, '\0');
    return b;
}

std::string imageSection(std::string_view bytes) {
    std::string text = "+IMAGE_DIB\n";
    std::string line;
    for (size_t at = 0; at < bytes.size(); at += SImageDIB::kBytesPerLine) {
        const size_t n = std::min(SImageDIB::kBytesPerLine, bytes.size() - at);
        SImageDIB::encodeLine(reinterpret_cast<const uint8_t*>(bytes.data() + at), n, line);
        text += line + "\n";
    }
    return text + "-IMAGE_DIB\n";
}

TEST(SchematicLimits, ImagesDeclaringMoreThanTheyHold) {
    Deadline deadline;
    const struct {
        uint32_t declared;
        size_t present;
        bool reads;
        bool hasData;
    } cases[] = {
        {4000000, 58, false, false},      // fewer bytes than declared: fails
        {4000000, 1000000, false, false}, // a quarter present: fails
        {4000001, 58, true, false},       // over the limit: an empty image
        {UINT32_MAX, 58, true, false},    {58, 58, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.declared << " declared, " << c.present << " present");
        std::string bytes = bitmapStart(c.declared);
        bytes.resize(c.present, '\x5a');
        const std::string section = imageSection(bytes);
        STagReader reader;
        reader.attachString(section);
        std::string word;
        reader.readWord(word);
        SImageDIB image;
        EXPECT_EQ(image.readSection(reader), c.reads);
        EXPECT_EQ(image.hasData(), c.hasData);

        SXKorvDocSch doc;
        const int result = readSheet(doc, "+KORVX_DATA_V.1.0\n+IMAGEOBJECT,L:0,X:0,Y:0,MAG:100\n" +
                                              section + "-IMAGEOBJECT\n");
        EXPECT_EQ(result, c.reads ? SXKorvDoc::kReadOk : SXKorvDoc::kReadError);
    }
}

// Every object kind with coordinates at the ends of the 32-bit range.
std::string extremeSheet() {
    const std::string mx = "2147483647";
    const std::string mn = "-2147483648";
    std::string t = "+KORVX_DATA_V.1.0\n+SHEETINFO,W:" + mx + ",H:" + mn + ",-SHEETINFO\n";
    t += "+JUNCTION,X:" + mx + ",Y:" + mn + ",-JUNCTION\n";
    t += "+LABEL,X:" + mx + ",Y:" + mx + ",D:0,S:edge,-LABEL\n";
    t += "+TAG,X:" + mn + ",Y:" + mn + ",D:0,T:2,S:" + std::string(40, 't') + ",-TAG\n";
    t += "+TAG,X:" + mx + ",Y:0,D:1,T:1,S:" + std::string(40, 't') + ",-TAG\n";
    t += "+COMMENT,X:" + mx + ",Y:" + mn + ",W:" + mx + ",S:c,FS:" + mx + ",-COMMENT\n";
    t += "+WIRE,X1:" + mn + ",Y1:0,X2:" + mx + ",Y2:0,-WIRE\n";
    t += "+WIRE,X1:0,Y1:0,X2:" + mx + ",Y2:0,-WIRE\n";
    t += "+WIRE,X1:" + mn + ",Y1:" + mn + ",X2:" + mx + ",Y2:" + mx + ",-WIRE\n";
    t += "+BUS,X1:0,Y1:" + mn + ",X2:0,Y2:" + mx + ",-BUS\n";
    t += "+ENTRY,X1:" + mx + ",Y1:" + mx + ",X2:" + mn + ",Y2:" + mn + ",-ENTRY\n";
    t += "+BENTRY,X1:" + mn + ",Y1:" + mn + ",X2:" + mx + ",Y2:" + mx + ",-BENTRY\n";
    t += "+DASH,X1:" + mn + ",Y1:" + mx + ",X2:" + mx + ",Y2:" + mn + ",CURV:1,CTX1:" + mx +
         ",CTY1:" + mx + ",CTX2:" + mn + ",CTY2:" + mn + ",WDT:" + mx + ",EMS:" + mn + ",-DASH\n";
    t += "+ALINE,X1:" + mn + ",Y1:0,X2:" + mx + ",Y2:0,WDT:" + mn + ",CLR:" + mx + ",-ALINE\n";
    t += "+JUNCTION,X:0,Y:0,-JUNCTION\n";
    t += "+COMPONENT\n+KORVX_LIB_V.1.0\n+COMP,N:BIG,X:" + mx + ",Y:" + mx +
         ",B:256\n+PIN,L:L255,-PIN\n+PIN,L:B255,T:m,-PIN\n+PIN,L:R0,-PIN\n+PIN,L:T255,-PIN\n"
         "-COMP\n-KORVX_LIB_V.1.0\n";
    t += "X:" + mx + ",Y:" + mn + ",LIB:BIG,DIR:7,BLK:" + mx + ",N:value,NX:" + mx + ",NY:" + mn +
         ",R:U1,RX:" + mn + ",RY:" + mx + ",-COMPONENT\n";
    return t + "-KORVX_DATA_V.1.0\n";
}

TEST(SchematicLimits, CoordinatesAtTheEndsOfTheRange) {
    Deadline deadline;
    SXKorvDocSch doc;
    ASSERT_EQ(readSheet(doc, extremeSheet()), SXKorvDoc::kReadOk);
    EXPECT_GE(doc.objects().size(), 12u);
    const SPoint probes[] = {{INT32_MAX, INT32_MIN}, {0, 0}, {INT32_MIN, INT32_MAX}};
    for (const auto& original : doc.objects()) {
        for (const SPoint p : probes) {
            auto obj = original->clone();
            obj->hitTest(p);
            obj->boundingArea();
            obj->anchorArea();
            obj->areaIntersect(SRect(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX));
            obj->areaContains(SRect(p, SPoint(0, 0)).normalized());
            for (int32_t i = 0; i < obj->connectionPointCount(); ++i)
                obj->connectionPoint(i);
            obj->moveBy(p.x, p.y);
            obj->mirror();
            obj->rotateAt(p);
            obj->rotate();
            obj->boundingArea();
        }
    }
    doc.setFindParams("t", false, false, -1);
    for (const SXKorvObj* hit = doc.findFirst(); hit; hit = doc.findNext()) {
    }

    // Written and read back, the sheet keeps its objects.
    std::string text;
    STagWriter writer;
    writer.attachString(&text);
    ASSERT_TRUE(doc.writeSheet(writer));
    SXKorvDocSch again;
    ASSERT_EQ(readSheet(again, text), SXKorvDoc::kReadOk);
    EXPECT_EQ(again.objects().size(), doc.objects().size());
}

} // namespace
