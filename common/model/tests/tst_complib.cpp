#include "model/SCompLib.h"
#include "model/SPtn.h"
#include "tagtext/STagReader.h"
#include "tagtext/STagWriter.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Error = SCompLib::LoadError;

std::string dataFile(const char* name) {
    return std::string(KX_TEST_DATA_DIR) + "/" + name;
}

std::string fileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A folder of its own for each test, removed afterwards.
class TempDir {
public:
    TempDir() {
        std::random_device random;
        m_path = fs::temp_directory_path() / ("kx_complib_" + std::to_string(random()));
        fs::create_directories(m_path);
    }
    ~TempDir() {
        std::error_code ec;
        fs::remove_all(m_path, ec);
    }
    std::string file(const std::string& name, const std::string& bytes) const {
        const fs::path p = m_path / name;
        std::ofstream(p, std::ios::binary) << bytes;
        return p.string();
    }
    fs::path path() const { return m_path; }

private:
    fs::path m_path;
};

// Reads library text as if it followed a "+KORVX_LIB_V.1.0" word.
bool readText(SCompLib& lib, const std::string& text, bool stopAfterFirst = false) {
    STagReader reader;
    reader.attachString(text);
    return lib.readBlocks(reader, stopAfterFirst);
}

std::string comp(const std::string& name, const std::string& extra = "") {
    return "+COMP,N:" + name + ",X:1,Y:1,B:1," + extra + "-COMP\n";
}

// "name" per entry, or "name>first" for an entry sharing the definition of an earlier one.
std::string entries(const SCompLib& lib) {
    std::string out;
    for (const auto& e : lib.entries()) {
        const SCompIndex* first = lib.firstEntryOf(e->component());
        out += e->name() + (first != e.get() ? ">" + first->name() : "") + " ";
    }
    return out;
}

std::string written(const SCompLib& lib, const std::vector<const SCompIndex*>& order) {
    std::string text;
    STagWriter writer;
    writer.attachString(&text);
    EXPECT_TRUE(lib.write(writer, order));
    return text;
}

std::vector<const SCompIndex*> order(const SCompLib& lib, std::initializer_list<int> indexes) {
    std::vector<const SCompIndex*> out;
    for (const int i : indexes)
        out.push_back(lib.entryAt(i));
    return out;
}

struct TextCase {
    const char* what;
    std::string text;
    bool ok;
    std::string entries;
};

class LibRead : public testing::TestWithParam<TextCase> {};

TEST_P(LibRead, Entries) {
    const TextCase& c = GetParam();
    SCompLib lib;
    EXPECT_EQ(readText(lib, c.text), c.ok) << c.what;
    EXPECT_EQ(entries(lib), c.entries) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    UniqueNames, LibRead,
    testing::Values(
        TextCase{"three of a name", comp("A") + comp("A") + comp("A"), true, "A A(1) A(2) "},
        TextCase{"counter counts on", comp("A(3)") + comp("A(3)"), true, "A(3) A(4) "},
        TextCase{"empty counter", comp("A()") + comp("A()"), true, "A() A(1) "},
        TextCase{"no counter", comp("A(x)") + comp("A(x)"), true, "A(x) A(x)(1) "},
        TextCase{"numbered name taken", comp("A") + comp("A(1)") + comp("A"), true, "A A(1) A(2) "},
        TextCase{"bare counter", comp("(7)") + comp("(7)"), true, "(7) (8) "},
        TextCase{"lone bracket", comp(")") + comp(")"), true, ") )(1) "},
        TextCase{"huge counter", comp("A(99999999999)") + comp("A(99999999999)"), true,
                 "A(99999999999) A(2147483648) "}));

INSTANTIATE_TEST_SUITE_P(
    Aliases, LibRead,
    testing::Values(
        TextCase{"alias", comp("A") + "+ALIAS,A:B,N:A,-ALIAS\n", true, "A B>A "},
        TextCase{"alias of nothing", comp("A") + "+ALIAS,A:B,N:Z,-ALIAS\n", true, "A "},
        TextCase{"alias first", "+ALIAS,A:B,N:A,-ALIAS\n" + comp("A"), true, "A "},
        TextCase{"alias name taken", comp("A") + comp("B") + "+ALIAS,A:B,N:A,-ALIAS\n", true,
                 "A B B(1)>A "},
        TextCase{"alias of an alias", comp("A") + "+ALIAS,A:B,N:A,-ALIAS,+ALIAS,A:C,N:B,-ALIAS",
                 true, "A B>A C>A "},
        TextCase{"nested section", comp("A") + "+ALIAS,+X,A:Q,-X,A:B,N:A,-ALIAS", true, "A B>A "},
        TextCase{"cut off", comp("A") + "+ALIAS,A:B,N:A", true, "A B>A "},
        TextCase{"cut off without target", comp("A") + "+ALIAS,A:B", true, "A "},
        TextCase{"no target", comp("A") + "+ALIAS,A:B,-ALIAS", false, "A "},
        TextCase{"empty alias name", comp("A") + "+ALIAS,A:,N:A,-ALIAS", false, "A "},
        TextCase{"foreign closing word", comp("A") + "+ALIAS,A:B,N:A,-COMP", false, "A "},
        TextCase{"unclosed nested section", comp("A") + "+ALIAS,A:B,N:A,+X", false, "A "}));

INSTANTIATE_TEST_SUITE_P(
    Blocks, LibRead,
    testing::Values(
        TextCase{"unknown section", comp("A") + "+FOO,N:x,-FOO\n" + comp("B"), true, "A B "},
        TextCase{"unclosed section", comp("A") + "+FOO,N:x\n" + comp("B"), false, "A "},
        TextCase{"foreign closing word", comp("A") + "-FOO\n" + comp("B"), false, "A "},
        TextCase{"no closing magic word", comp("A") + comp("B"), true, "A B "},
        TextCase{"words between blocks",
                 comp("A") +
                     "-KORVX_LIB_V.1.0\n-JUNK,+JUNK,X:1\n"
                     "+KORVX_LIB_V.1.0\n" +
                     comp("B") + "-KORVX_LIB_V.1.0\n-JUNK\n",
                 true, "A B "},
        TextCase{"failing component", comp("A") + "+COMP,N:B,-COMP\n" + comp("C"), false, "A "},
        TextCase{"failing pattern", "+PTN,N:P,-FOO\n" + comp("A"), false, ""},
        TextCase{"NUL ends in-memory text", comp("A") + std::string(1, '\0') + comp("B"), true,
                 "A "}));

TEST(LibRead, Property) {
    const struct {
        std::string text;
        std::string property;
    } cases[] = {{"PROP:one\nPROP:two\n", "two"}, {"PROP:x\nPROP:\n", ""}, {"PROPX:a\n", "before"}};
    for (const auto& c : cases) {
        SCompLib lib;
        lib.setProperty("before");
        EXPECT_TRUE(readText(lib, c.text));
        EXPECT_EQ(lib.property(), c.property) << c.text;
    }
}

std::string pattern(const std::string& name, int lines) {
    std::string text = "+PTN,N:" + name + ",X:11,Y:11\n";
    for (int i = 0; i < lines; ++i)
        text += "+L,W:1,S:0,X:0,Y:0,X:" + std::to_string(i) + ",Y:10,-L\n";
    return text + "-PTN\n";
}

int32_t objectsOf(const SCompLib& lib, int index) {
    const SCompInfo* comp = lib.entryAt(index)->component();
    const SPtn* p = comp->pattern();
    return p ? p->objectCount() : -1;
}

TEST(LibRead, ComponentsFindTheirPatternsInTheirBlock) {
    SCompLib lib;
    ASSERT_TRUE(readText(lib, pattern("P", 2) + pattern("P", 3) + pattern("Q", 1) +
                                  comp("A", "P:P,") + comp("B", "P:P,") + comp("C", "P:Z,") +
                                  comp("D") + "-KORVX_LIB_V.1.0\n+KORVX_LIB_V.1.0\n" +
                                  comp("E", "P:Q,")));
    ASSERT_EQ(lib.entryCount(), 5);
    // The first pattern of a name wins. Components naming it share it until one changes it.
    EXPECT_EQ(objectsOf(lib, 0), 2);
    EXPECT_EQ(objectsOf(lib, 1), 2);
    const SCompInfo& a = *lib.entryAt(0)->component();
    const SCompInfo& b = *lib.entryAt(1)->component();
    EXPECT_EQ(a.pattern(), b.pattern());
    lib.entryAt(0)->component()->pattern()->setObjects({});
    EXPECT_NE(a.pattern(), b.pattern());
    EXPECT_EQ(objectsOf(lib, 0), 0);
    EXPECT_EQ(objectsOf(lib, 1), 2);
    EXPECT_EQ(objectsOf(lib, 2), -1);
    EXPECT_EQ(objectsOf(lib, 3), -1);
    // Patterns of one block are not seen in the next.
    EXPECT_EQ(objectsOf(lib, 4), -1);
}

TEST(LibRead, StopsAfterTheFirstComponentWhenAsked) {
    SCompLib lib;
    ASSERT_TRUE(readText(lib, comp("A")));
    const std::string clip = "+KORVX_DATA_V.1.0\n+COMPONENT\n+KORVX_LIB_V.1.0\n" + pattern("A", 1) +
                             comp("A", "P:A,") + comp("B") +
                             "-KORVX_LIB_V.1.0\n-COMPONENT\n-KORVX_DATA_V.1.0\n";
    STagReader reader;
    reader.attachString(clip);
    ASSERT_EQ(reader.skipTo(SCompLib::kLibraryOpen), 0);
    ASSERT_TRUE(lib.readBlocks(reader, true));
    EXPECT_EQ(entries(lib), "A A(1) ");
    EXPECT_EQ(objectsOf(lib, 1), 1);
}

TEST(LibRead, FailureTellsWhatAndWhere) {
    const struct {
        std::string text;
        Error error;
        int32_t line;
    } cases[] = {
        {comp("A") + comp("B") + "+COMP,N:C,X:1,Y:1,B:1\n+PIN,-PIN\nB:2\n", Error::BadComponent, 5},
        {comp("A") + "\n\n+FOO,x\ny\n", Error::UnclosedSection, 4},
        {comp("A") + "-PTN\n", Error::BadClosingWord, 2},
        {"+PTN,N:P\n+BMP\n-PTN\n", Error::BadPattern, 3},
        {comp("A") + "+ALIAS,A:B,\n-ALIAS\n", Error::BadAlias, 3},
        {comp("A") + comp("B"), Error::None, 0},
    };
    for (const auto& c : cases) {
        SCompLib lib;
        readText(lib, c.text);
        EXPECT_EQ(lib.loadError(), c.error) << c.text;
        EXPECT_EQ(lib.errorLine(), c.line) << c.text;
    }
}

// A library cut off anywhere must read without harm and write back.
TEST(LibRead, EveryPrefixOfAFile) {
    const std::string text =
        fileBytes(dataFile("basic.KM2")) + fileBytes(dataFile("two_parts.KX2"));
    for (size_t n = 0; n <= text.size(); ++n) {
        SCompLib lib;
        readText(lib, text.substr(0, n));
        std::string out;
        STagWriter writer;
        writer.attachString(&out);
        std::vector<const SCompIndex*> all;
        for (const auto& e : lib.entries())
            all.push_back(e.get());
        ASSERT_TRUE(lib.write(writer, all));
    }
}

TEST(LibLoad, LibraryFile) {
    SCompLib lib;
    ASSERT_TRUE(lib.load(dataFile("basic.KM2")));
    EXPECT_EQ(lib.path(), dataFile("basic.KM2"));
    EXPECT_EQ(entries(lib), "7400 74HC00>7400 R FF 74HC74>FF 4013>7400 ");
    EXPECT_EQ(lib.property(), "Test library, small");
    EXPECT_EQ(lib.componentCount(), 3);
    const SCompInfo* ff = lib.findEntry("FF")->component();
    EXPECT_EQ(ff->pinAt(0)->name(), "\x83\x83");
    EXPECT_TRUE(ff->pattern()->hasBitPattern());
    EXPECT_EQ(lib.findEntry("R")->component()->pattern(), nullptr);
}

TEST(LibLoad, SchematicGivesItsEmbeddedParts) {
    SCompLib lib;
    ASSERT_TRUE(lib.load(dataFile("two_parts.KX2")));
    EXPECT_EQ(entries(lib), "74LS00 74LS00(1) R ");
    EXPECT_EQ(lib.entryAt(1)->component()->pinAt(0)->number(0), "4");
    EXPECT_EQ(objectsOf(lib, 2), 1);
}

TEST(LibLoad, Refusals) {
    TempDir dir;
    const struct {
        std::string path;
        Error error;
        int systemError;
    } cases[] = {
        {dir.file("empty.KM2", ""), Error::NotALibrary, 0},
        {dir.file("blank.KM2", " \r\n\r\n"), Error::NotALibrary, 0},
        {dir.file("other.KM2", "+KORVX_LIB_V.2.0\r\n-KORVX_LIB_V.2.0\r\n"), Error::NotALibrary, 0},
        {dir.file("nul.KM2", std::string("\0+KORVX_LIB_V.1.0", 17)), Error::NotALibrary, 0},
        {(dir.path() / "missing.KM2").string(), Error::CannotOpen, ENOENT},
        // The cause is named, not reported as a failed read.
        {dir.path().string(), Error::CannotOpen, EISDIR},
    };
    for (const auto& c : cases) {
        SCompLib lib;
        EXPECT_FALSE(lib.load(c.path)) << c.path;
        EXPECT_EQ(lib.loadError(), c.error) << c.path;
        EXPECT_EQ(lib.systemError(), c.systemError) << c.path;
        EXPECT_EQ(lib.path(), std::nullopt);
    }
}

TEST(LibLoad, SchematicWithoutPartsIsAnEmptyLibrary) {
    TempDir dir;
    SCompLib lib;
    ASSERT_TRUE(lib.load(dir.file("s.KX2", "+KORVX_DATA_V.1.0\r\n+WIRE,-WIRE\r\n")));
    EXPECT_EQ(lib.entryCount(), 0);
}

TEST(LibLoad, OnlyOnceUntilCleared) {
    SCompLib lib;
    ASSERT_TRUE(lib.load(dataFile("basic.KM2")));
    EXPECT_FALSE(lib.load(dataFile("basic.KM2")));
    EXPECT_EQ(lib.loadError(), Error::AlreadyLoaded);
    lib.clear();
    EXPECT_EQ(lib.entryCount(), 0);
    EXPECT_EQ(lib.componentCount(), 0);
    EXPECT_EQ(lib.property(), "Test library, small");
    EXPECT_TRUE(lib.isUniqueName("7400"));
    ASSERT_TRUE(lib.load(dataFile("two_parts.KX2")));
    EXPECT_EQ(lib.entryCount(), 3);
}

TEST(LibLoad, PartWayFailureKeepsWhatWasRead) {
    TempDir dir;
    const std::string text = "+KORVX_LIB_V.1.0\r\nPROP:\r\n+COMP,N:A,X:1,Y:1,B:1,-COMP\r\n"
                             "+COMP,N:B\r\nX:1,Y:1,B:1\r\n-PTN\r\n+COMP,N:C,X:1,Y:1,B:1,-COMP\r\n";
    SCompLib lib;
    EXPECT_FALSE(lib.load(dir.file("cut.KM2", text)));
    EXPECT_EQ(lib.loadError(), Error::BadComponent);
    EXPECT_EQ(lib.errorLine(), 6);
    EXPECT_EQ(entries(lib), "A ");
    EXPECT_EQ(lib.path(), std::nullopt);
}

// Bytes no file of ours holds must neither crash nor hang the reader.
TEST(LibLoad, HostileBytes) {
    TempDir dir;
    const std::string head = "+KORVX_LIB_V.1.0\r\n";
    const std::string huge(1 << 20, 'W');
    const struct {
        const char* what;
        std::string body;
        bool ok;
        std::string entries;
    } cases[] = {
        {"NUL bytes in words", comp(std::string("A\0B", 3), std::string("R:\0\0,", 5)), true,
         std::string("A\0B ", 4)},
        {"huge word", "N:" + huge + "\r\n" + comp("A"), true, "A "},
        {"huge name", comp(huge), true, huge.substr(0, 32768 - 2) + " "},
        {"huge numbers", comp("A", "X:99999999999999999999,+PIN,L:L99999999999,-PIN,"), true, "A "},
        {"many blocks and pins",
         "+COMP,N:A,X:1,Y:1,B:256," +
             [] {
                 std::string pins;
                 for (int i = 0; i < 2000; ++i)
                     pins += "+PIN,M:1,M:2,-PIN\r\n";
                 return pins;
             }() +
             "-COMP\r\n",
         true, "A "},
        {"broken escape", comp("A") + "+COMP,N:B%4,X:1,Y:1,B:1,-COMP\r\n" + comp("C"), false, "A "},
    };
    for (const auto& c : cases) {
        SCompLib lib;
        EXPECT_EQ(lib.load(dir.file("h.KM2", head + c.body)), c.ok) << c.what;
        EXPECT_EQ(entries(lib), c.entries) << c.what;
    }
}

TEST(LibSave, RoundTripIsByteExact) {
    TempDir dir;
    for (const char* name : {"basic.KM2"}) {
        SCompLib lib;
        ASSERT_TRUE(lib.load(dataFile(name)));
        const std::string out = (dir.path() / "out.KM2").string();
        ASSERT_TRUE(lib.save(out));
        EXPECT_EQ(fileBytes(out), fileBytes(dataFile(name))) << name;
    }
}

TEST(LibSave, SchematicPartsBecomeALibrary) {
    TempDir dir;
    SCompLib lib;
    ASSERT_TRUE(lib.load(dataFile("two_parts.KX2")));
    const std::string out = (dir.path() / "parts.KM2").string();
    ASSERT_TRUE(lib.save(out));
    const std::string bytes = fileBytes(out);
    EXPECT_EQ(bytes.substr(0, 26), "+KORVX_LIB_V.1.0\r\nPROP:\r\n+");
    EXPECT_NE(bytes.find("+PTN,N:74LS00(1),X:41,Y:41\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("+COMP,N:74LS00(1)\r\nX:4,Y:4,B:1\r\nR:U\r\nP:74LS00(1)\r\n"),
              std::string::npos);
    SCompLib again;
    ASSERT_TRUE(again.load(out));
    EXPECT_EQ(entries(again), "74LS00 74LS00(1) R ");
}

TEST(LibSave, OrderDecidesWhichEntryCarriesTheComponent) {
    SCompLib lib;
    lib.setProperty("p");
    ASSERT_TRUE(readText(lib, comp("A") + "+ALIAS,A:B,N:A,-ALIAS\n" + comp("C")));
    const std::string recordA = "X:1,Y:1,B:1\nR:U\nNOTE:,MFR:,MFRPN:,PKG:,-COMP\n";
    EXPECT_EQ(written(lib, order(lib, {0, 1, 2})),
              "+KORVX_LIB_V.1.0\nPROP:p\n+COMP,N:A\n" + recordA +
                  "+ALIAS,A:B,N:A,-ALIAS\n+COMP,N:C\n" + recordA + "-KORVX_LIB_V.1.0\n");
    EXPECT_EQ(written(lib, order(lib, {1, 2, 0})), "+KORVX_LIB_V.1.0\nPROP:p\n+COMP,N:B\n" +
                                                       recordA + "+COMP,N:C\n" + recordA +
                                                       "+ALIAS,A:A,N:B,-ALIAS\n-KORVX_LIB_V.1.0\n");
}

// The first written entry of each definition carries it, every later one (the same entry given
// twice included) is an alias of that first; entries without a name are passed over.
TEST(LibSave, FirstWrittenEntryOfEachDefinitionCarriesIt) {
    SCompLib lib;
    ASSERT_TRUE(readText(lib, comp("A") + "+ALIAS,A:B,N:A,-ALIAS\n" + comp("C") +
                                  "+ALIAS,A:D,N:C,-ALIAS\n+ALIAS,A:E,N:A,-ALIAS\n"));
    ASSERT_EQ(entries(lib), "A B>A C D>C E>A ");
    // Records of `text` in the written order: "name" for a component, "alias>name" for an alias.
    const auto records = [](const std::string& text) {
        std::string out;
        for (size_t at = text.find('+'); at != std::string::npos; at = text.find('+', at + 1)) {
            if (text.compare(at, 8, "+COMP,N:") == 0) {
                out += text.substr(at + 8, text.find('\n', at) - at - 8) + " ";
            } else if (text.compare(at, 9, "+ALIAS,A:") == 0) {
                const size_t comma = text.find(',', at + 9);
                out += text.substr(at + 9, comma - at - 9) + ">" +
                       text.substr(comma + 3, text.find(',', comma + 3) - comma - 3) + " ";
            }
        }
        return out;
    };
    const struct {
        std::vector<int> order; // -1: a null entry
        std::string records;
    } cases[] = {
        {{0, 1, 2, 3, 4}, "A B>A C D>C E>A "},
        {{4, 3, 2, 1, 0}, "E D C>D B>E A>E "},
        {{1, 1, 0}, "B B>B A>B "},
        {{-1, 2, -1, 0, 2, 4}, "C A C>C E>A "},
        {{3}, "D "},
        {{}, ""},
    };
    for (const auto& c : cases) {
        std::vector<const SCompIndex*> entriesInOrder;
        for (const int i : c.order)
            entriesInOrder.push_back(i < 0 ? nullptr : lib.entryAt(i));
        EXPECT_EQ(records(written(lib, entriesInOrder)), c.records) << c.records;
    }
}

TEST(LibSave, EntriesWithoutNameOrComponentAreLeftOut) {
    SCompLib lib;
    ASSERT_TRUE(readText(lib, comp("A") + "+ALIAS,A:B,N:A,-ALIAS\n"));
    lib.renameEntry(lib.entryAt(0), "");
    const SCompIndex loose("L", nullptr);
    EXPECT_EQ(written(lib, {lib.entryAt(0), nullptr, &loose, lib.entryAt(1)}),
              "+KORVX_LIB_V.1.0\nPROP:\n+COMP,N:B\nX:1,Y:1,B:1\nR:U\n"
              "NOTE:,MFR:,MFRPN:,PKG:,-COMP\n-KORVX_LIB_V.1.0\n");
}

TEST(LibSave, FailureLeavesNoFile) {
    TempDir dir;
    SCompLib lib;
    ASSERT_TRUE(readText(lib, comp("A")));
    const fs::path target = dir.path() / "missing" / "x.KM2";
    EXPECT_FALSE(lib.save(target.string()));
    EXPECT_FALSE(fs::exists(target.parent_path()));
    STagWriter unattached;
    EXPECT_FALSE(lib.write(unattached, order(lib, {0})));
}

TEST(LibEntries, AddRemoveRename) {
    SCompLib lib;
    SCompIndex* a = lib.addComponent(std::make_unique<SCompInfo>(), "A");
    SCompIndex* b = lib.addAlias(a->component(), "B");
    SCompInfo foreign;
    EXPECT_EQ(lib.addAlias(&foreign, "F"), nullptr);
    EXPECT_EQ(lib.addComponent(nullptr, "N"), nullptr);
    EXPECT_EQ(entries(lib), "A B>A ");
    EXPECT_EQ(lib.makeUniqueName("B"), "B(1)");

    lib.renameEntry(b, "C");
    EXPECT_TRUE(lib.isUniqueName("B"));
    EXPECT_EQ(lib.findEntry("C"), b);
    // Removing an alias keeps the definition; removing its last entry frees it.
    lib.removeEntry(a);
    EXPECT_EQ(lib.componentCount(), 1);
    EXPECT_EQ(lib.findEntry("A"), nullptr);
    lib.removeEntry(b);
    EXPECT_EQ(lib.componentCount(), 0);
    EXPECT_EQ(lib.entryCount(), 0);
}

TEST(LibEntries, SharedNamesAddedByCallers) {
    SCompLib lib;
    SCompIndex* first = lib.addComponent(std::make_unique<SCompInfo>(), "X");
    SCompIndex* second = lib.addComponent(std::make_unique<SCompInfo>(), "X");
    EXPECT_EQ(lib.findEntry("X"), first);
    lib.removeEntry(first);
    EXPECT_EQ(lib.findEntry("X"), second);
    EXPECT_FALSE(lib.isUniqueName("X"));
    lib.removeEntry(second);
    EXPECT_TRUE(lib.isUniqueName("X"));

    // Three of a name, one by renaming: the first left in entry order is the one found.
    SCompIndex* y1 = lib.addComponent(std::make_unique<SCompInfo>(), "Y");
    SCompIndex* y2 = lib.addComponent(std::make_unique<SCompInfo>(), "Y");
    SCompIndex* z = lib.addComponent(std::make_unique<SCompInfo>(), "Z");
    lib.renameEntry(z, "Y");
    EXPECT_TRUE(lib.isUniqueName("Z"));
    for (SCompIndex* gone : {y1, y2, z}) {
        EXPECT_EQ(lib.findEntry("Y"), gone);
        lib.removeEntry(gone);
    }
    EXPECT_TRUE(lib.isUniqueName("Y"));
}

TEST(LibEntries, UniqueNameAtAnyCount) {
    SCompLib lib;
    lib.addComponent(std::make_unique<SCompInfo>(), "A");
    for (int i = 1; i <= 5000; ++i)
        lib.addComponent(std::make_unique<SCompInfo>(), "A(" + std::to_string(i) + ")");
    EXPECT_EQ(lib.makeUniqueName("A"), "A(5001)");
    EXPECT_EQ(lib.makeUniqueName("A(17)"), "A(5001)");
    EXPECT_EQ(lib.makeUniqueName("B"), "B");
    // A number that becomes free again is found again, for the removed name's stem only.
    lib.removeEntry(lib.findEntry("A(40)"));
    EXPECT_EQ(lib.makeUniqueName("A"), "A(40)");
    EXPECT_EQ(lib.makeUniqueName("A(40)"), "A(40)");
    lib.renameEntry(lib.findEntry("A(7)"), "Z");
    EXPECT_EQ(lib.makeUniqueName("A(3)"), "A(7)");
    EXPECT_EQ(lib.makeUniqueName("A(8)"), "A(40)");
    lib.addComponent(std::make_unique<SCompInfo>(), "A(7)");
    lib.addComponent(std::make_unique<SCompInfo>(), "A(40)");
    EXPECT_EQ(lib.makeUniqueName("A(1)"), "A(5001)");
    EXPECT_EQ(lib.entryAt(-1), nullptr);
    EXPECT_EQ(lib.entryAt(lib.entryCount()), nullptr);
}

} // namespace

namespace {

// Where the editor's Save may write: never under a schematic's name, and it knows when the
// target is an input that was read only in part.
TEST(LibSaveTarget, SchematicNamesAndPartlyReadInputs) {
    TempDir dir;
    const std::string broken = dir.file(
        "broken.KM2", "+KORVX_LIB_V.1.0\n+COMP,N:A,X:1,Y:1,B:1,-COMP\n-XYZ\n+COMP,N:B,-COMP\n");
    const std::string whole =
        dir.file("whole.KM2", "+KORVX_LIB_V.1.0\n+COMP,N:A,X:1,Y:1,B:1,-COMP\n");
    fs::create_hard_link(broken, dir.path() / "linked.KM2");
    fs::create_symlink("broken.KM2", dir.path() / "symlinked.KM2");

    SCompLib partly;
    ASSERT_FALSE(partly.load(broken));
    SCompLib loaded;
    ASSERT_TRUE(loaded.load(whole));
    const struct {
        const SCompLib& lib;
        std::string target;
        bool partlyRead;
    } cases[] = {
        {partly, broken, true},
        {partly, (dir.path() / "." / "broken.KM2").string(), true},
        {partly, (dir.path() / "linked.KM2").string(), true},
        {partly, (dir.path() / "symlinked.KM2").string(), true},
        {partly, whole, false},
        {partly, (dir.path() / "new.KM2").string(), false},
        {loaded, whole, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.lib.isPartlyReadInput(c.target), c.partlyRead) << c.target;
    partly.clear();
    EXPECT_FALSE(partly.isPartlyReadInput(broken));

    for (const char* name : {"s.KX2", "s.kx2", "s.Kx2"}) {
        EXPECT_TRUE(SCompLib::hasSchematicName(name)) << name;
        EXPECT_FALSE(loaded.save((dir.path() / name).string())) << name;
        EXPECT_NE(loaded.saveError().find(".KX2"), std::string::npos) << name;
        EXPECT_FALSE(fs::exists(dir.path() / name)) << name;
    }
    for (const char* name : {"s.KM2", "s.KX2.KM2", "KX2", "s.kx"})
        EXPECT_FALSE(SCompLib::hasSchematicName(name)) << name;
    EXPECT_TRUE(loaded.save((dir.path() / "s.KX2.KM2").string()));
    EXPECT_EQ(loaded.saveError(), "");
}

} // namespace
