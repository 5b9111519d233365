#include "model/SPtn.h"
#include "model/SPtnObjLine.h"
#include "model/SPtnObjPolygon.h"
#include "model/SPtnObjText.h"
#include "tagtext/STagReader.h"
#include "tagtext/STagWriter.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct PtnRead {
    bool ok = false;
    SPtn ptn;
    std::string next; // the word after the read, "<end>" at the end of the input
};

// `text` starts with "+PTN", which the caller of SPtn::read consumes.
PtnRead readPtn(std::string_view text) {
    STagReader reader;
    reader.attachString(text);
    std::string word;
    reader.readWord(word);
    PtnRead r;
    r.ok = r.ptn.read(reader);
    if (reader.readWord(r.next) < 0)
        r.next = "<end>";
    return r;
}

std::string written(const SPtn& ptn, std::optional<std::string_view> name = std::nullopt) {
    std::string out;
    STagWriter writer;
    writer.attachString(&out);
    EXPECT_TRUE(ptn.write(writer, name));
    return out;
}

// A pattern as this system writes it: every object kind, a bit pattern 21 pixels wide.
const char* const kFull = "+PTN,N:74LS00,X:21,Y:3\n"
                          "+BMP\n"
                          "O@@@A@\n"
                          "@@@@@@\n"
                          "OOOO@H\n"
                          "-BMP\n"
                          "+L,W:1,S:0,X:0,Y:0,X:30,Y:0,-L\n"
                          "+C,W:2,S:1,F:1,X:-5,Y:-5,X:5,Y:5,-C\n"
                          "+PG,W:1,S:0,F:-1,N:3,X:0,Y:0,X:10,Y:0,X:10,Y:10,-PG\n"
                          "+AR,W:1,S:0,X:10,Y:10,R:10,B:0,E:5760,-AR\n"
                          "+TX,X:3,Y:4,A:6,D:0,S:&%2C\x82\xA0,FN:Mono,FS:12,FF:BIUS,-TX\n"
                          "-PTN\n";

std::vector<uint8_t> bytes(std::initializer_list<int> v) {
    return {v.begin(), v.end()};
}

TEST(PtnRead, BitPatternRows) {
    struct Case {
        const char* input;
        bool ok;
        SSize size;
        std::vector<uint8_t> bits; // empty: no bit pattern
    };
    const std::vector<Case> cases = {
        {"+PTN,N:P,X:21,Y:2,+BMP,O@,@O,-BMP,-PTN",
         true,
         {21, 2},
         bytes({0xF0, 0, 0, 0, 0x0F, 0, 0, 0})},
        // The name must come first.
        {"+PTN,X:21,Y:2,+BMP,O@,@O,-BMP,N:P,-PTN", true, {21, 2}, {}},
        // Out-of-range characters give 0; an odd last character is ignored.
        {"+PTN,N:P,X:8,Y:2,+BMP,AZ,A@A,-BMP,-PTN", true, {8, 2}, bytes({0, 0, 0x10, 0})},
        // A row longer than the width is cut; rows beyond the height are ignored; missing rows 0.
        {"+PTN,N:P,X:8,Y:2,+BMP,OOOOOO,-BMP,-PTN", true, {8, 2}, bytes({0xFF, 0, 0, 0})},
        {"+PTN,N:P,X:8,Y:1,+BMP,AA,BB,CC,-BMP,-PTN", true, {8, 1}, bytes({0x11, 0})},
        // Nested sections inside the bit pattern are skipped.
        {"+PTN,N:P,X:8,Y:1,+BMP,+Q,OO,-Q,AB,-BMP,-PTN", true, {8, 1}, bytes({0x12, 0})},
        // A second bit pattern is skipped.
        {"+PTN,N:P,X:8,Y:1,+BMP,AA,-BMP,+BMP,BB,-BMP,-PTN", true, {8, 1}, bytes({0x11, 0})},
        {"+PTN,N:P,X:8,Y:1,+BMP,AA,-XYZ,-PTN", false, {8, 1}, {}},
        {"+PTN,N:P,X:8,Y:1,+BMP,AA", false, {8, 1}, {}},
        {"+PTN,N:P,X:8,Y:1,+BMP,+Q,AA", false, {8, 1}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input);
        const PtnRead r = readPtn(c.input);
        EXPECT_EQ(r.ok, c.ok);
        EXPECT_EQ(r.ptn.size(), c.size);
        EXPECT_EQ(r.ptn.bitPattern(), c.bits);
        EXPECT_EQ(r.ptn.hasBitPattern(), !c.bits.empty());
        EXPECT_EQ(r.ptn.bitPatternLength(), static_cast<int32_t>(c.bits.size()));
    }
}

// Sizes the row layout does not cover never lead to a bit pattern; the size is kept and the
// rest of the pattern is read normally.
TEST(PtnRead, BitPatternOfUnusableSizeIsSkipped) {
    const std::vector<std::pair<const char*, SSize>> sizes = {
        {"X:0,Y:5", {0, 5}},
        {"X:5,Y:0", {5, 0}},
        {"X:-16,Y:-16", {-16, -16}},
        {"X:-1,Y:8", {-1, 8}},
        {"X:502,Y:10", {502, 10}},
        {"X:10,Y:502", {10, 502}},
        {"X:2147483647,Y:2147483647", {INT32_MAX, INT32_MAX}},
        {"X:-2147483648,Y:-2147483648", {INT32_MIN, INT32_MIN}},
        {"X:99999999999,Y:3", {INT32_MAX, 3}},
    };
    for (const auto& [fields, size] : sizes) {
        const std::string text = std::string("+PTN,N:P,") + fields +
                                 ",+BMP,OOOO,OOOO,+L,X:1,-L,-BMP,+L,X:1,Y:2,X:3,Y:4,-L,-PTN,after";
        SCOPED_TRACE(text);
        const PtnRead r = readPtn(text);
        EXPECT_TRUE(r.ok);
        EXPECT_EQ(r.ptn.size(), size);
        EXPECT_FALSE(r.ptn.hasBitPattern());
        EXPECT_EQ(r.ptn.objectCount(), 1);
        EXPECT_EQ(r.next, "after");
        const std::string out = written(r.ptn);
        EXPECT_EQ(out.find("+BMP"), std::string::npos);
        EXPECT_FALSE(r.ptn.pixel(0, 0));
    }
    const PtnRead max = readPtn("+PTN,N:P,X:501,Y:501,+BMP,OOOO,-BMP,-PTN");
    EXPECT_EQ(max.ptn.bitPatternLength(), 64 * 501);
    EXPECT_TRUE(max.ptn.pixel(15, 0));
}

// "X" or "Y" after the bit pattern must not leave a layout that disagrees with the size.
TEST(PtnRead, SizeChangedAfterBitPattern) {
    const PtnRead smaller = readPtn("+PTN,N:P,X:21,Y:2,+BMP,OOOO,OOOO,-BMP,X:9,-PTN");
    EXPECT_EQ(smaller.ptn.size(), SSize(9, 2));
    EXPECT_EQ(smaller.ptn.bitPattern(), bytes({0xFF, 0x80, 0xFF, 0x80}));
    const PtnRead huge = readPtn("+PTN,N:P,X:21,Y:2,+BMP,OOOO,-BMP,Y:600,-PTN");
    EXPECT_EQ(huge.ptn.size(), SSize(21, 600));
    EXPECT_FALSE(huge.ptn.hasBitPattern());
    const PtnRead failed = readPtn("+PTN,N:P,X:8,Y:1,+BMP,OO,-BMP,X:16,-Q");
    EXPECT_FALSE(failed.ok);
    EXPECT_EQ(failed.ptn.bitPattern(), bytes({0xFF, 0}));
    EXPECT_EQ(failed.ptn.size(), SSize(16, 1));
}

TEST(PtnRead, SectionsAndFields) {
    struct Case {
        const char* input;
        bool ok;
        int32_t objects;
        const char* next;
    };
    const std::vector<Case> cases = {
        {"+PTN,N:P,Q:1,+XYZ,+L,-XYZ,+L,-L,-PTN,after", true, 1, "after"},
        // A failing object is dropped; the pattern goes on.
        {"+PTN,+PG,N:40,X:1,Y:1,-PG,+TX,X:1,-TX,+L,-L,-PTN,after", true, 1, "after"},
        {"+PTN,+L,-L,+C,X:1,Y:1,X:2,Y:2,-C,+AR,-AR", true, 3, "<end>"},
        // Objects read before a failure are kept.
        {"+PTN,+L,-L,-KORVX,after", false, 1, "after"},
        {"+PTN,+L,-L,+XYZ,+L,-L", false, 1, "<end>"},
        {"+PTN,N:,X:,-PTN", true, 0, "<end>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input);
        const PtnRead r = readPtn(c.input);
        EXPECT_EQ(r.ok, c.ok);
        EXPECT_EQ(r.ptn.objectCount(), c.objects);
        EXPECT_EQ(r.next, c.next);
    }
    const PtnRead r = readPtn("+PTN,N:ab%2Ccd,X:3,Y:4,-PTN");
    ASSERT_TRUE(r.ptn.name().has_value());
    EXPECT_EQ(*r.ptn.name(), "ab,cd");
    EXPECT_FALSE(readPtn("+PTN,X:3,-PTN").ptn.name().has_value());
}

TEST(PtnRead, ReadReplacesEverything) {
    STagReader reader;
    reader.attachString(kFull);
    std::string word;
    reader.readWord(word);
    SPtn ptn;
    ASSERT_TRUE(ptn.read(reader));
    reader.attachString("X:5,-PTN");
    EXPECT_TRUE(ptn.read(reader));
    EXPECT_FALSE(ptn.name().has_value());
    EXPECT_EQ(ptn.size(), SSize(5, 0));
    EXPECT_FALSE(ptn.hasBitPattern());
    EXPECT_EQ(ptn.objectCount(), 0);
}

TEST(PtnWrite, RoundTripIsByteExact) {
    const PtnRead r = readPtn(kFull);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.ptn.objectCount(), 5);
    EXPECT_EQ(written(r.ptn), kFull);
    EXPECT_TRUE(r.ptn.pixel(0, 0));
    EXPECT_TRUE(r.ptn.pixel(3, 0));
    EXPECT_FALSE(r.ptn.pixel(4, 0));
    EXPECT_TRUE(r.ptn.pixel(19, 0));
    EXPECT_FALSE(r.ptn.pixel(23, 0)); // beyond the width: not a pixel
    EXPECT_FALSE(r.ptn.pixel(21, 2));
    EXPECT_TRUE(r.ptn.pixel(20, 2));
}

TEST(PtnWrite, FileFormFromData) {
    std::ifstream in(std::string(KX_TEST_DATA_DIR) + "/pattern.km2", std::ios::binary);
    ASSERT_TRUE(in);
    std::stringstream ss;
    ss << in.rdbuf();
    const std::string file = ss.str();
    std::FILE* f = std::tmpfile();
    ASSERT_NE(f, nullptr);
    std::fwrite(file.data(), 1, file.size(), f);
    std::rewind(f);
    STagReader reader;
    reader.attachFile(f);
    ASSERT_EQ(reader.skipTo("+PTN"), 0);
    SPtn ptn;
    EXPECT_TRUE(ptn.read(reader));
    std::fclose(f);

    std::FILE* out = std::tmpfile();
    ASSERT_NE(out, nullptr);
    STagWriter writer;
    writer.attachFile(out);
    EXPECT_TRUE(ptn.write(writer));
    std::fflush(out);
    std::rewind(out);
    std::string back;
    char buf[4096];
    for (size_t n; (n = std::fread(buf, 1, sizeof buf, out)) > 0;)
        back.append(buf, n);
    std::fclose(out);
    EXPECT_EQ(back, file.substr(file.find("+PTN")));
}

TEST(PtnWrite, NamesAndSkippedPolygons) {
    SPtn ptn;
    EXPECT_EQ(written(ptn), "+PTN,N:,X:0,Y:0\n-PTN\n");
    ptn.setName("own");
    EXPECT_EQ(written(ptn, "C1"), "+PTN,N:C1,X:0,Y:0\n-PTN\n");
    std::vector<SPoint> nodes;
    for (int32_t i = 0; i < 33; ++i)
        nodes.emplace_back(i, i % 3);
    ptn.appendObject(std::make_unique<SPtnObjPolygon>(nodes));
    ptn.appendObject(std::make_unique<SPtnObjLine>(SPoint(1, 2), SPoint(3, 4)));
    EXPECT_EQ(written(ptn), "+PTN,N:own,X:0,Y:0\n+L,W:1,S:0,X:1,Y:2,X:3,Y:4,-L\n-PTN\n");
    STagWriter detached;
    EXPECT_FALSE(ptn.write(detached));
}

// Objects read are moved into one block per pattern: a pattern of thousands of objects, and
// the patterns read after it, keep every object.
TEST(PtnWrite, PatternsOfManyObjectsRoundTrip) {
    const std::string full = kFull;
    const std::string objects = full.substr(full.find("+L,"), full.find("-PTN") - full.find("+L,"));
    std::string big = "+PTN,N:BIG,X:1,Y:1\n";
    for (int i = 0; i < 2000; ++i)
        big += objects;
    big += "-PTN\n";
    for (const std::string& text : {big, full, big}) {
        const PtnRead r = readPtn(text);
        ASSERT_TRUE(r.ok);
        EXPECT_EQ(written(r.ptn), text);
    }
}

TEST(PtnBitPattern, SetSize) {
    SPtn ptn;
    ptn.setBitPatternSize({21, 21}, false);
    EXPECT_EQ(ptn.bitPatternLength(), 4 * 21);
    for (int32_t y = 0; y < 21; ++y)
        for (int32_t x = 0; x < 21; ++x)
            ptn.setPixel(x, y, true);
    ptn.setPixel(21, 0, true); // outside: ignored
    EXPECT_EQ(ptn.bitPattern()[2], 0xF8);
    ptn.setBitPatternSize({11, 11}, false);
    EXPECT_EQ(ptn.size(), SSize(11, 11));
    ASSERT_EQ(ptn.bitPatternLength(), 2 * 11);
    for (int32_t r = 0; r < 11; ++r) {
        EXPECT_EQ(ptn.bitPattern()[2 * r], 0xFF);
        EXPECT_EQ(ptn.bitPattern()[2 * r + 1], 0xE0);
    }
    ptn.setBitPatternSize({40, 12}, false); // grows: the new area is clear
    EXPECT_EQ(ptn.bitPatternLength(), 6 * 12);
    EXPECT_TRUE(ptn.pixel(10, 10));
    EXPECT_FALSE(ptn.pixel(11, 10));
    EXPECT_FALSE(ptn.pixel(0, 11));

    struct Case {
        SSize in;
        bool remove;
        SSize size;
        int32_t length;
    };
    const std::vector<Case> cases = {
        {{700, 700}, false, {501, 501}, 64 * 501},
        {{700, 700}, true, {700, 700}, 0},
        {{16, 1}, false, {16, 1}, 2},
        {{17, 1}, false, {17, 1}, 4},
        {{-5, 10}, false, {0, 10}, 0},
        {{INT32_MIN, INT32_MAX}, false, {0, 501}, 0},
        {{0, 0}, false, {0, 0}, 0},
    };
    for (const Case& c : cases) {
        SPtn p;
        p.setBitPatternSize({21, 21}, false);
        p.setBitPatternSize(c.in, c.remove);
        EXPECT_EQ(p.size(), c.size) << c.in.width;
        EXPECT_EQ(p.bitPatternLength(), c.length) << c.in.width;
        EXPECT_EQ(p.hasBitPattern(), c.length > 0);
    }
}

TEST(Ptn, CopiesAreDeep) {
    const PtnRead r = readPtn(kFull);
    SPtn copy(r.ptn);
    EXPECT_EQ(written(copy), kFull);
    copy.object(0)->move(5, 5);
    copy.setPixel(1, 1, true);
    copy.setName("other");
    EXPECT_EQ(written(r.ptn), kFull);
    SPtn assigned;
    assigned = copy;
    const SPtn& alias = assigned;
    assigned = alias; // self-assignment keeps the content
    EXPECT_EQ(written(assigned), written(copy));
    EXPECT_NE(assigned.object(0), copy.object(0));
    EXPECT_EQ(assigned.object(99), nullptr);
    EXPECT_EQ(assigned.object(-1), nullptr);
}

// Objects read are stored together; every way a pattern loses or hands over its objects must
// leave the others intact (the sanitizer build checks that no storage is used after it went).
TEST(Ptn, ObjectsReadStayValidThroughReplaceMoveAndCopy) {
    PtnRead r = readPtn(kFull);
    ASSERT_GT(r.ptn.objectCount(), 1);
    SPtn copy(r.ptn);
    SPtn moved(std::move(r.ptn));
    EXPECT_EQ(written(moved), kFull);
    PtnRead other = readPtn(kFull);
    other.ptn = std::move(moved); // drops the objects read into `other` first
    EXPECT_EQ(written(other.ptn), kFull);
    other.ptn.appendObject(copy.object(0)->duplicate());
    std::vector<std::unique_ptr<SPtnObj>> replacement;
    replacement.push_back(copy.object(1)->duplicate());
    copy.setObjects(std::move(replacement));
    EXPECT_EQ(copy.objectCount(), 1);
    EXPECT_EQ(other.ptn.objectCount(), readPtn(kFull).ptn.objectCount() + 1);
    // Reading again drops the objects read before.
    STagReader reader;
    reader.attachString(kFull);
    std::string word;
    reader.readWord(word);
    EXPECT_TRUE(other.ptn.read(reader));
    EXPECT_EQ(written(other.ptn), kFull);
}

// Input cut off anywhere, or with any single byte changed, must neither crash nor hang.
TEST(Ptn, DamagedInputIsSafe) {
    const std::string full = kFull;
    for (size_t n = 0; n <= full.size(); ++n) {
        const std::string cut = full.substr(0, n);
        readPtn(cut);
    }
    const std::string replacements = "+-,:%\n@OX9";
    for (size_t i = 0; i < full.size(); ++i) {
        for (const char c : replacements) {
            std::string damaged = full;
            damaged[i] = c;
            const PtnRead r = readPtn(damaged);
            written(r.ptn);
        }
    }
}

} // namespace
