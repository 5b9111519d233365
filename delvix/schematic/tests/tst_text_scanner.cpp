// The scanner against the document reader: for generated sheets, mutated copies of them and of
// the examples, whatever the scanner reports must be exactly what find reports on a document.

#include "SXKorvPartCache.h"
#include "schematic/SFindVocabulary.h"
#include "schematic/SXKorvDoc.h"
#include "schematic/SXKorvTextScanner.h"
#include "tagtext/STagReader.h"

#include <gtest/gtest.h>

#include <fstream>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Hit {
    std::string text;
    int32_t kind = 0;
    SPoint position;
    friend bool operator==(const Hit&, const Hit&) = default;
};

std::ostream& operator<<(std::ostream& os, const Hit& h) {
    return os << h.kind << ":" << h.text << "@" << h.position.x << "," << h.position.y;
}

// Find over a document that takes every non-empty text as a match.
class EveryTextDoc : public SXKorvDoc {
public:
    bool compareText(std::string_view text, std::string_view, bool, bool) const override {
        return !text.empty();
    }
};

std::optional<std::vector<Hit>> documentHits(std::string_view bytes) {
    EveryTextDoc doc;
    STagReader reader;
    reader.attachString(bytes);
    if (doc.read(reader) != SXKorvDoc::kReadOk)
        return std::nullopt;
    doc.setFindParams("x", false, true, SSearchTarget::kAll);
    std::vector<Hit> hits;
    for (const SXKorvObj* o = doc.findFirst(); o; o = doc.findNext()) {
        const SXKorvFindState& s = doc.findState();
        hits.push_back({s.foundText, s.foundKind, s.foundPosition});
    }
    return hits;
}

std::optional<std::vector<Hit>> scannerHits(SXKorvTextScanner& scanner, std::string_view bytes) {
    if (!scanner.scan(bytes))
        return std::nullopt;
    std::vector<Hit> hits;
    for (const SXKorvScannedText& t : scanner.texts()) {
        if (scanner.visibleLayers() & (1 << t.layer))
            hits.push_back({std::string(t.text), t.kindBit, t.position});
    }
    return hits;
}

std::string readExample(const char* name) {
    std::ifstream in(std::string(KX_EXAMPLES_DIR) + "/" + name, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// The embedded parts of the examples, each from its opening word to its closing line end.
std::vector<std::string> exampleParts() {
    std::vector<std::string> parts;
    for (const char* name : {"Example.KX2", "AllObjects.KX2"}) {
        const std::string text = readExample(name);
        for (size_t at = text.find("+KORVX_LIB_V.1.0"); at != std::string::npos;
             at = text.find("+KORVX_LIB_V.1.0", at + 1)) {
            const size_t end = text.find("-KORVX_LIB_V.1.0\r\n", at);
            if (end != std::string::npos)
                parts.push_back(text.substr(at, end + 18 - at));
        }
    }
    return parts;
}

class SheetGenerator {
public:
    explicit SheetGenerator(uint32_t seed) : m_rng(seed), m_parts(exampleParts()) {}

    std::string sheet() {
        std::string s = "+KORVX_DATA_V.1.0\r\n";
        if (chance(90))
            s += "+SHEETINFO,EL:0,VL:" + std::to_string(pick({255, 0, 1, 3, 254, 256 + 5})) +
                 ",W:1500,H:1000,-SHEETINFO\r\n";
        const int n = static_cast<int>(number(0, 25));
        for (int i = 0; i < n; ++i)
            s += section();
        if (chance(90))
            s += "-KORVX_DATA_V.1.0\r\n";
        return s;
    }

    std::string mutated(std::string s) {
        static const char* const kInserts[] = {",",  "\r\n", "%",  "-",       "+",     ":",  "0",
                                               "%2", "x",    ",,", "-LABEL,", "+FOO,", "%00"};
        const int edits = static_cast<int>(number(1, 3));
        for (int e = 0; e < edits && !s.empty(); ++e) {
            const size_t at = number(0, s.size() - 1);
            switch (number(0, 4)) {
            case 0:
                s.erase(at, number(1, 8));
                break;
            case 1:
                s.insert(at, kInserts[number(0, std::size(kInserts) - 1)]);
                break;
            case 2:
                s[at] = static_cast<char>(number(1, 255));
                break;
            case 3:
                s.resize(at);
                break;
            default:
                s.insert(at, s.substr(number(0, s.size() - 1), number(1, 40)));
                break;
            }
        }
        return s;
    }

private:
    size_t number(size_t lo, size_t hi) {
        return std::uniform_int_distribution<size_t>(lo, hi)(m_rng);
    }
    bool chance(int percent) { return number(0, 99) < static_cast<size_t>(percent); }
    int pick(std::initializer_list<int> values) {
        return *(values.begin() + number(0, values.size() - 1));
    }

    std::string text() {
        static const char* const kPieces[] = {"GND", "vcc", "%25", "%2C", "%0A",      "%3A",
                                              " ",   "-",   "12V", "a",   "\x82\xA0", "%g1"};
        std::string t;
        const size_t n = number(0, 4);
        for (size_t i = 0; i < n; ++i)
            t += kPieces[number(0, std::size(kPieces) - 1)];
        return t;
    }

    std::string place() {
        std::string s;
        if (chance(30))
            s += "L:" + std::to_string(pick({0, 1, 3, 7, 8, -1})) + ",";
        s += "X:" + std::to_string(pick({0, 10, -20, 2147483647})) + ",";
        s += "Y:" + std::to_string(pick({5, 100, -7})) + ",";
        return s;
    }

    std::string component() {
        std::string s = "+COMPONENT\r\n";
        const bool libFirst = chance(10);
        if (libFirst)
            s += "LIB:" + text() + ",";
        if (!m_parts.empty() && chance(80))
            s += m_parts[number(0, m_parts.size() - 1)];
        s += place() + "LIB:" + text() + ",N:" + text() + ",NX:" + std::to_string(pick({-40, 3})) +
             ",NY:9,R:" + text() + ",RX:1,RY:" + std::to_string(pick({-54, 0})) +
             ",NOTE:" + text() + ",PKG:" + text() + ",MFR:" + text() + ",MFRPN:" + text() + ",";
        if (chance(20))
            s += "N:" + text() + ",XX:1,N,:Q,";
        if (chance(20)) // offsets at their defaults, odd keys and a part after the name
            s = "+COMPONENT,X:4,Y:5,L:1,LIB:" + text() + ",RY:7,NXX:1,N:V" + text() + ",R:Q," +
                (m_parts.empty() ? std::string() : m_parts[0]);
        return s + "-COMPONENT\r\n";
    }

    std::string section() {
        switch (number(0, 9)) {
        case 0:
            return "+LABEL," + place() + "D:1,S:" + text() + ",-LABEL\r\n";
        case 1:
            return "+TAG," + place() + "D:0,T:2,S:" + text() + ",-TAG\r\n";
        case 2:
            return "+COMMENT," + place() + "S:" + text() + (chance(20) ? ",+X,a,-Y,-X" : "") +
                   ",FF:B,-COMMENT\r\n";
        case 3:
        case 4:
            return component();
        case 5:
            return "+WIRE,L:0,X1:0,Y1:0,X2:" + std::to_string(pick({0, 50})) + ",Y2:0,-WIRE\r\n";
        case 6:
            return "+JUNCTION,X:50,Y:0,-JUNCTION\r\n+ENTRY,X1:0,Y1:0,X2:10,Y2:10,-ENTRY\r\n";
        case 7:
            return "+UNKNOWN,+LABEL,X:1,Y:1,D:1,S:GND,-LABEL,-UNKNOWN\r\n";
        case 8:
            return chance(50) ? "+SHEETINFO,VL:1,W:600,H:600,-SHEETINFO\r\n" : ",\r\n";
        default:
            return "+DASH,X1:0,Y1:0,X2:9,Y2:9,LS:LDT,-DASH\r\n+ALINE,X1:0,Y1:0,X2:9,Y2:0,-"
                   "ALINE\r\n";
        }
    }

    std::mt19937 m_rng;
    std::vector<std::string> m_parts;
};

// Reading the document first puts its parts into this thread's cache, as the search does.
struct Tally {
    int scanned = 0;
    int readButUnsure = 0; // files the reader reads that the scanner left to it
};

void compare(SXKorvTextScanner& scanner, const std::string& bytes, Tally& tally) {
    const std::optional<std::vector<Hit>> expected = documentHits(bytes);
    const std::optional<std::vector<Hit>> got = scannerHits(scanner, bytes);
    if (!got) {
        if (expected)
            ++tally.readButUnsure;
        return;
    }
    ++tally.scanned;
    ASSERT_TRUE(expected.has_value()) << "scanned a file the reader refuses:\n" << bytes;
    ASSERT_EQ(*got, *expected) << bytes;
}

} // namespace

TEST(TextScanner, AgreesWithTheDocumentOnGeneratedSheets) {
    SXKorvTextScanner scanner;
    SheetGenerator gen(12345);
    Tally tally;
    for (int i = 0; i < 1500; ++i)
        compare(scanner, gen.sheet(), tally);
    // Sheets the reader refuses are left to it, but (nearly) none that it reads.
    EXPECT_GT(tally.scanned, 900);
    EXPECT_LE(tally.readButUnsure, tally.scanned / 50);
}

TEST(TextScanner, AgreesWithTheDocumentOnMutatedSheets) {
    SXKorvTextScanner scanner;
    SheetGenerator gen(777);
    Tally tally;
    for (int i = 0; i < 1500; ++i) {
        const std::string sheet = gen.sheet();
        for (int m = 0; m < 4; ++m)
            compare(scanner, gen.mutated(sheet), tally);
    }
    EXPECT_GT(tally.scanned, 1000);
}

TEST(TextScanner, AgreesWithTheDocumentOnMutatedExamples) {
    SXKorvTextScanner scanner;
    SheetGenerator gen(4242);
    Tally tally;
    for (const char* name : {"Example.KX2", "AllObjects.KX2", "TidyRules.KX2"}) {
        const std::string text = readExample(name);
        compare(scanner, text, tally);
        for (int m = 0; m < 150; ++m)
            compare(scanner, gen.mutated(text), tally);
    }
    EXPECT_GT(tally.scanned, 60);
}

TEST(TextScanner, LeavesWhatItIsNotSureOfToTheReader) {
    const std::string head = "+KORVX_DATA_V.1.0\r\n";
    const std::string label = "+LABEL,X:1,Y:2,D:1,S:GND,-LABEL\r\n";
    struct Case {
        const char* what;
        std::string bytes;
        bool scanned;
    };
    const Case cases[] = {
        {"plain sheet", head + label, true},
        {"empty file", "", true},
        {"not a schematic", "+KORVX_LIB_V.1.0\r\n" + label, false},
        {"NUL byte", head + label + std::string(1, '\0') + label, false},
        {"image object", head + "+IMAGEOBJECT,X:1,Y:1,-IMAGEOBJECT\r\n" + label, false},
        {"broken escape then words", head + "+X,%4,-X\r\n" + label, false},
        {"word at the size limit",
         head + "+LABEL,X:1,Y:2,D:1,S:" + std::string(STagReader::kMaxWordBytes, 'a') +
             ",-LABEL\r\n",
         false},
        {"unknown part bytes",
         head + "+COMPONENT,+KORVX_LIB_V.1.0,+COMP,N:never-read,-COMP,-KORVX_LIB_V.1.0,X:1,Y:1,"
                "LIB:A,-COMPONENT\r\n",
         false},
        {"stray field", head + "KEY:1\r\n" + label, false},
    };
    SXKorvTextScanner scanner;
    for (const Case& c : cases)
        EXPECT_EQ(scanner.scan(c.bytes), c.scanned) << c.what;
}

TEST(TextScanner, TextsInFindOrderWithPositionsAndTheSheetsLayers) {
    const std::string sheet = "+KORVX_DATA_V.1.0\r\n"
                              "+COMMENT,L:9,X:1,Y:2,S:a%2Cb,-COMMENT\r\n"
                              "+COMPONENT,L:2,X:100,Y:200,LIB:first,N:V,NX:5,NY:6,R:U1,RX:-1,"
                              "PKG:P,LIB:last,-COMPONENT\r\n"
                              "+SHEETINFO,VL:4,W:1,H:1,-SHEETINFO\r\n"
                              "+SHEETINFO,VL:1,W:1,H:1,-SHEETINFO\r\n";
    SXKorvTextScanner scanner;
    ASSERT_TRUE(scanner.scan(sheet));
    EXPECT_EQ(scanner.visibleLayers(), 4);
    const std::vector<Hit> expected = {
        {"a,b", SSearchTarget::kComment, {1, 2}},        {"V", SSearchTarget::kValue, {105, 206}},
        {"last", SSearchTarget::kNameInLib, {100, 200}}, {"U1", SSearchTarget::kRefNum, {99, 210}},
        {"P", SSearchTarget::kPkg, {100, 200}},
    };
    std::vector<Hit> got;
    for (const SXKorvScannedText& t : scanner.texts())
        got.push_back({std::string(t.text), t.kindBit, t.position});
    EXPECT_EQ(got, expected);
    EXPECT_EQ(scanner.texts()[0].layer, 0);
    EXPECT_EQ(scanner.texts()[1].layer, 2);
}
