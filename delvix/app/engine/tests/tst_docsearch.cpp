#include "SFileDescriptor.h"
#include "TempTree.h"
#include "engine/SDocFileSearcher.h"
#include "engine/SSearchEngine.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr char kMagic[] = "+KORVX_DATA_V.1.0\r\n";

std::string sheet(const std::string& body, int visibleLayers = 255) {
    return std::string(kMagic) + "+SHEETINFO,VL:" + std::to_string(visibleLayers) +
           ",W:1500,H:1000,-SHEETINFO\r\n" + body + "-KORVX_DATA_V.1.0\r\n";
}

// Collects hits as "file|text|type|x|y" (file relative to the root) and warnings.
class Collector : public SSearchSink {
public:
    explicit Collector(std::string root) : m_prefix(std::move(root) + "/") {}
    std::vector<std::string> hits;
    std::vector<std::string> warnings;

    void searchResult(std::unique_ptr<SSearchResult> r) override {
        hits.push_back(relative(r->path) + "|" + r->text + "|" + r->type + "|" +
                       std::to_string(r->x) + "|" + std::to_string(r->y));
    }
    void searchWarning(const SSearchWarning& w) override {
        warnings.push_back(relative(w.path) + "|" + std::to_string(w.line) + "|" + w.reason);
    }
    void searchFinished(bool) override {}

private:
    std::string relative(const std::string& path) const {
        return path.rfind(m_prefix, 0) == 0 ? path.substr(m_prefix.size()) : path;
    }
    std::string m_prefix;
};

struct Mode {
    bool whole;
    bool caseSensitive;
    int32_t targets = SSearchTarget::kAll;
    SSearchEncoding encoding = SSearchEncoding::Utf8;
    bool prefilter = true;
    bool scanner = true;
};

Collector searchTree(const TempTree& tree, const std::string& pattern, const Mode& m,
                     unsigned jobs = 2) {
    SSearchParams p;
    p.folder = tree.root();
    p.pattern = pattern;
    p.matchWhole = m.whole;
    p.caseSensitive = m.caseSensitive;
    p.targets = m.targets;
    p.encoding = m.encoding;
    p.prefilter = m.prefilter;
    p.scanner = m.scanner;
    p.jobs = jobs;
    Collector c(tree.root());
    SSearchEngine(std::make_shared<SDocFileSearcher>()).run(p, c);
    return c;
}

const std::string kComponent =
    "+COMPONENT,L:0,X:100,Y:200,LIB:ABC,N:ABC,NX:5,NY:-7,R:xABCx,RX:3,RY:9,MFR:none,"
    "MFRPN:no,PKG:p,NOTE:abc note,-COMPONENT\r\n";

struct FindCase {
    const char* name;
    const char* pattern;
    Mode mode;
    std::vector<std::string> hits;
};

TEST(DocSearch, ComponentStagesModesAndPositions) {
    TempTree tree;
    tree.file("c.kx2", sheet(kComponent));
    const std::string value = "c.kx2|ABC|Value|105|193";
    const std::string lib = "c.kx2|ABC|NameInLib|100|200";
    const std::string ref = "c.kx2|xABCx|RefNum|103|209";
    const std::string note = "c.kx2|abc note|Note|100|200";
    const FindCase cases[] = {
        {"partial, case", "ABC", {false, true}, {value, lib, ref}},
        {"partial, any case", "abc", {false, false}, {value, lib, ref, note}},
        {"whole, case", "ABC", {true, true}, {value, lib}},
        {"whole, case, lower", "abc", {true, true}, {}},
        {"whole, any case", "abc", {true, false}, {value, lib}},
        {"whole, any case, fragment", "ab", {true, false}, {}},
        {"value, reference, note", "abc", {false, false, 8 | 32 | 512}, {value, ref, note}},
        {"package only", "p", {true, true, 256}, {"c.kx2|p|Pkg|100|200"}},
        {"mfr and part number",
         "no",
         {false, true},
         {"c.kx2|none|Mfr|100|200", "c.kx2|no|MfrPn|100|200", "c.kx2|abc note|Note|100|200"}},
        {"empty pattern", "", {false, false}, {}},
    };
    for (const FindCase& c : cases) {
        for (const bool prefilter : {true, false}) {
            Mode mode = c.mode;
            mode.prefilter = prefilter;
            EXPECT_EQ(searchTree(tree, c.pattern, mode).hits, c.hits)
                << c.name << (prefilter ? "" : " (no prefilter)");
        }
    }
}

TEST(DocSearch, KindsInFileOrderAndHiddenLayers) {
    TempTree tree;
    const std::string body = "+TAG,L:0,X:10,Y:20,D:1,T:0,S:net-a,-TAG\r\n"
                             "+LABEL,L:3,X:30,Y:40,D:1,S:net-b,-LABEL\r\n"
                             "+COMMENT,L:1,X:50,Y:60,S:net%20c,-COMMENT\r\n"
                             "+LABEL,L:2,X:70,Y:80,D:0,S:NET-d,-LABEL\r\n";
    tree.file("all.kx2", sheet(body));
    tree.file("nolayer3.kx2", sheet(body, 255 & ~(1 << 3)));
    const Collector c = searchTree(tree, "net", Mode{false, false});
    const std::vector<std::string> expected = {
        "all.kx2|net-a|Tag|10|20",        "all.kx2|net-b|Label|30|40",
        "all.kx2|net c|Comment|50|60",    "all.kx2|NET-d|Label|70|80",
        "nolayer3.kx2|net-a|Tag|10|20",   "nolayer3.kx2|net c|Comment|50|60",
        "nolayer3.kx2|NET-d|Label|70|80",
    };
    EXPECT_EQ(c.hits, expected);
    EXPECT_EQ(searchTree(tree, "net", Mode{false, false, SSearchTarget::kComment}).hits,
              (std::vector<std::string>{"all.kx2|net c|Comment|50|60",
                                        "nolayer3.kx2|net c|Comment|50|60"}));
}

TEST(DocSearch, ShiftJisNeverMatchesInsideADoubleByteCharacter) {
    TempTree tree;
    tree.file("j.kx2", sheet("+LABEL,X:0,Y:0,D:1,S:\x82\x61\x82\x62,-LABEL\r\n"));
    Mode utf8{false, true};
    Mode sjis{false, true, SSearchTarget::kAll, SSearchEncoding::ShiftJis};
    EXPECT_EQ(searchTree(tree, "\x61\x82", utf8).hits.size(), 1u);
    EXPECT_TRUE(searchTree(tree, "\x61\x82", sjis).hits.empty());
    EXPECT_EQ(searchTree(tree, "\x82\x62", sjis).hits.size(), 1u);
    // A trail byte that is an ASCII letter is not folded.
    sjis.caseSensitive = false;
    EXPECT_TRUE(searchTree(tree, "\x82\x41", sjis).hits.empty());
}

TEST(DocSearch, UnreadableFilesAreWarningsWithTheirLine) {
    TempTree tree;
    tree.file("a_bad.kx2", std::string(kMagic) + "+LABEL,X:1,Y:2,D:1,S:hit,-LABEL\r\nX:5\r\n");
    tree.file("b_lib.kx2", "+KORVX_LIB_V.1.0\r\nhit\r\n");
    tree.file("c_good.kx2", sheet("+LABEL,X:1,Y:2,D:1,S:hit,-LABEL\r\n"));
    tree.file("d_empty.kx2", "");
    tree.file("e_nul.kx2", sheet("+LABEL,X:1,Y:2,D:1,S:hit,-LABEL\r\n+LABEL,X:1,Y:2,D:1,S:x") +
                               std::string(1, '\0') + "y,-LABEL\r\n");
    const Collector c = searchTree(tree, "hit", Mode{true, true});
    EXPECT_EQ(c.hits,
              (std::vector<std::string>{"c_good.kx2|hit|Label|1|2", "e_nul.kx2|hit|Label|1|2"}));
    ASSERT_EQ(c.warnings.size(), 2u);
    EXPECT_EQ(c.warnings[0].rfind("a_bad.kx2|3|", 0), 0u) << c.warnings[0];
    EXPECT_EQ(c.warnings[1], "b_lib.kx2|-1|not a schematic file");
}

// What searching one walk item gives, as "path|text" hits and "line|reason" warnings.
std::vector<std::string> searchItem(const SWalkItem& item, bool byPath) {
    SSearchParams p;
    p.pattern = "hit";
    SFileOutcome outcome;
    const std::atomic<bool> stop{false};
    if (byPath)
        SDocFileSearcher().search(item.path, p, stop, outcome);
    else
        SDocFileSearcher().searchFile(item, p, stop, outcome);
    std::vector<std::string> out;
    for (const auto& r : outcome.results)
        out.push_back(r->path.str() + "|" + r->text);
    if (outcome.warning)
        out.push_back(std::to_string(outcome.warning->line) + "|" + outcome.warning->reason);
    return out;
}

// A file is opened in the folder the walk listed, and fails in the same words as by its path.
TEST(DocSearch, FilesAreOpenedInTheirListedFolder) {
    TempTree tree;
    const std::string hit = sheet("+LABEL,X:1,Y:2,D:1,S:hit,-LABEL\r\n");
    tree.file("a/x.kx2", hit);
    tree.folder("a/folder.kx2");
    std::filesystem::create_symlink("nowhere.kx2", tree.path("a/dangling.kx2"));
    std::filesystem::create_symlink("self.kx2", tree.path("a/self.kx2"));
    const auto folder = std::make_shared<const SFileDescriptor>(
        SFileDescriptor::openFolder(tree.path("a").c_str()));
    ASSERT_TRUE(folder->isOpen());
    const auto item = [&](const std::string& name) {
        const std::string path = tree.path("a/" + name);
        return SWalkItem{path, {}, folder, path.size() - name.size()};
    };
    const struct {
        const char* name;
        std::string expected;
    } cases[] = {
        {"x.kx2", tree.path("a/x.kx2") + "|hit"},
        {"missing.kx2", "-1|cannot open: No such file or directory"},
        {"folder.kx2", "-1|read error: Is a directory"},
        {"dangling.kx2", "-1|cannot open: No such file or directory"},
        {"self.kx2", "-1|cannot open: Too many levels of symbolic links"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(searchItem(item(c.name), false), std::vector<std::string>{c.expected}) << c.name;
        EXPECT_EQ(searchItem(item(c.name), true), std::vector<std::string>{c.expected}) << c.name;
    }
    // Renamed after the listing: still read through the folder, reported under the old path.
    std::filesystem::rename(tree.path("a"), tree.path("b"));
    EXPECT_EQ(searchItem(item("x.kx2"), false),
              std::vector<std::string>{tree.path("a/x.kx2") + "|hit"});
    EXPECT_EQ(searchItem(item("x.kx2"), true),
              std::vector<std::string>{"-1|cannot open: No such file or directory"});
}

TEST(DocSearch, UnreadableFileSaysSoThroughItsFolder) {
    TempTree tree;
    tree.file("a/x.kx2", sheet("+LABEL,X:1,Y:2,D:1,S:hit,-LABEL\r\n"));
    std::filesystem::permissions(tree.path("a/x.kx2"), std::filesystem::perms::none);
    if (std::ifstream(tree.path("a/x.kx2")).is_open())
        GTEST_SKIP() << "permissions are not enforced for this user";
    SFolderWalker walker(tree.root(), true, nullptr);
    SWalkItem item;
    ASSERT_TRUE(walker.next(item));
    ASSERT_TRUE(item.folder);
    EXPECT_EQ(searchItem(item, false),
              std::vector<std::string>{"-1|cannot open: Permission denied"});
    EXPECT_EQ(searchItem(item, true),
              std::vector<std::string>{"-1|cannot open: Permission denied"});
}

// All hits of a file share one copy of its path.
TEST(DocSearch, HitsOfAFileShareItsPath) {
    TempTree tree;
    tree.file("x.kx2",
              sheet("+LABEL,X:1,Y:2,D:1,S:hit,-LABEL\r\n+LABEL,X:3,Y:4,D:1,S:hit,-LABEL\r\n"));
    for (const bool scanner : {true, false}) {
        SSearchParams p;
        p.pattern = "hit";
        p.scanner = scanner;
        SFileOutcome outcome;
        SDocFileSearcher().search(tree.path("x.kx2"), p, std::atomic<bool>{false}, outcome);
        ASSERT_EQ(outcome.results.size(), 2u);
        EXPECT_EQ(outcome.results[0]->path.str(), tree.path("x.kx2"));
        EXPECT_EQ(outcome.results[0]->path.shared(), outcome.results[1]->path.shared());
    }
}

// Texts as a file writer would put them, plus hand-made escapes of ordinary bytes.
std::string randomEscapedText(std::mt19937& rng, std::string& plain) {
    static const std::string kBytes = "aAbBcC ,%\t\x82\xa0\x61-";
    std::string written;
    const size_t n = 1 + rng() % 6;
    for (size_t i = 0; i < n; ++i) {
        const unsigned char c = static_cast<unsigned char>(kBytes[rng() % kBytes.size()]);
        plain.push_back(static_cast<char>(c));
        const bool mustEscape = c <= 0x20 || c == '%' || c == ',';
        char hex[4];
        std::snprintf(hex, sizeof hex, rng() % 2 ? "%%%02X" : "%%%02x", c);
        written += (mustEscape || rng() % 4 == 0) ? std::string(hex) : std::string(1, c);
    }
    return written;
}

// Hits are the same with and without the prefilter, in every mode and encoding, on files full
// of escapes, double-byte characters and mixed case.
TEST(DocSearch, PrefilterNeverChangesTheHits) {
    TempTree tree;
    std::mt19937 rng(77);
    std::vector<std::string> texts;
    for (int f = 0; f < 40; ++f) {
        std::string body;
        for (int o = 0; o < 4; ++o) {
            std::string plain;
            const std::string s = randomEscapedText(rng, plain);
            texts.push_back(plain);
            const std::string at = ",X:" + std::to_string(o) + ",Y:" + std::to_string(f);
            switch (rng() % 3) {
            case 0:
                body += "+LABEL" + at + ",D:1,S:" + s + ",-LABEL\r\n";
                break;
            case 1:
                body += "+TAG" + at + ",D:1,T:1,S:" + s + ",-TAG\r\n";
                break;
            default:
                body +=
                    "+COMPONENT" + at + ",LIB:" + s + ",N:" + s + ",NOTE:x" + s + ",-COMPONENT\r\n";
            }
        }
        tree.file("f" + std::to_string(f) + ".kx2", sheet(body));
    }
    int compared = 0;
    for (int k = 0; k < 40; ++k) {
        const std::string& t = texts[rng() % texts.size()];
        const size_t from = rng() % t.size();
        std::string pattern = t.substr(from, 1 + rng() % (t.size() - from));
        if (k % 3 == 0)
            pattern[0] = static_cast<char>(pattern[0] ^ 0x20); // other case (or other byte)
        for (const bool whole : {false, true}) {
            for (const bool cs : {false, true}) {
                for (const SSearchEncoding e : {SSearchEncoding::Utf8, SSearchEncoding::ShiftJis}) {
                    const Collector with = searchTree(tree, pattern, {whole, cs, 1023, e, true});
                    const Collector without =
                        searchTree(tree, pattern, {whole, cs, 1023, e, false});
                    ASSERT_EQ(with.hits, without.hits) << "pattern [" << pattern << "]";
                    compared += static_cast<int>(with.hits.size());
                }
            }
        }
    }
    EXPECT_GT(compared, 500); // the comparison was not between empty lists
}

std::string fileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// The examples, the reader's test files, and mutated copies of the examples: hits and warnings
// must be the same whether texts come from the scanner or from documents.
TEST(DocSearch, ScannerNeverChangesTheResults) {
    TempTree tree;
    const std::filesystem::path examples(KX_EXAMPLES_DIR);
    std::vector<std::string> sources;
    for (const char* name : {"Example.KX2", "AllObjects.KX2", "TidyRules.KX2"})
        sources.push_back(fileBytes(examples / name));
    int n = 0;
    for (const auto& entry : std::filesystem::directory_iterator(examples.parent_path() / "delvix" /
                                                                 "schematic" / "tests" / "data"))
        tree.file("data/" + std::to_string(n++) + ".kx2", fileBytes(entry.path()));
    std::mt19937 rng(99);
    for (int f = 0; f < 120; ++f) {
        std::string bytes = sources[f % sources.size()];
        for (int e = 0; e < 1 + f % 3; ++e) {
            const size_t at = rng() % bytes.size();
            static const char* const kEdits[] = {",", "\r\n", "%", "-", "+X,", ":", "%0"};
            if (rng() % 2)
                bytes.insert(at, kEdits[rng() % std::size(kEdits)]);
            else
                bytes.erase(at, 1 + rng() % 4);
        }
        tree.file("m/" + std::to_string(f) + ".kx2", f < 3 ? sources[f] : bytes);
    }
    const char* const patterns[] = {"GND", "gnd", "U1", "a", "%", "-", "Kestrel Micro", "R"};
    size_t hits = 0;
    for (const char* pattern : patterns) {
        for (const bool whole : {false, true}) {
            for (const bool cs : {false, true}) {
                Mode with{whole, cs};
                Mode without = with;
                without.scanner = false;
                const Collector a = searchTree(tree, pattern, with);
                const Collector b = searchTree(tree, pattern, without);
                ASSERT_EQ(a.hits, b.hits) << pattern;
                ASSERT_EQ(a.warnings, b.warnings) << pattern;
                hits += a.hits.size();
            }
        }
    }
    EXPECT_GT(hits, 1000u);
}

} // namespace
