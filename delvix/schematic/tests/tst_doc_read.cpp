#include "DocTestUtil.h"

#include "SXKorvPartCache.h"
#include "schematic/SXKorvComponent.h"
#include "schematic/SXKorvSheetInfo.h"

#include <gtest/gtest.h>

using namespace doctest;

namespace {

struct FileCase {
    const char* name;
    int result;
    int32_t errorLine; // for read errors
    size_t liveObjects;
};

// Results, error lines and kept objects of the data files.
TEST(DocRead, DataFiles) {
    const FileCase cases[] = {
        {"empty.kx2", SXKorvDoc::kReadOk, 0, 0},
        {"magic_only.kx2", SXKorvDoc::kReadOk, 0, 0},
        {"truncated.kx2", SXKorvDoc::kReadOk, 0, 2},
        {"lf_only.kx2", SXKorvDoc::kReadOk, 0, 1},
        {"notsch_library.kx2", SXKorvDoc::kNotSchematic, 1, 0},
        {"notsch_text.kx2", SXKorvDoc::kNotSchematic, 1, 0},
        {"notsch_binary.kx2", SXKorvDoc::kNotSchematic, 1, 0},
        {"notsch_lowercase.kx2", SXKorvDoc::kNotSchematic, 1, 0},
        {"bad_unclosed_wire.kx2", SXKorvDoc::kReadError, 3, 0},
        {"bad_unclosed_unknown.kx2", SXKorvDoc::kReadError, 3, 0},
        {"bad_escape_in_label.kx2", SXKorvDoc::kReadError, 3, 0},
        {"bad_escape_top.kx2", SXKorvDoc::kReadError, 3, 0},
        {"bad_stray_field.kx2", SXKorvDoc::kReadError, 3, 0},
        {"bad_wrong_closing.kx2", SXKorvDoc::kReadError, 4, 0},
        {"bad_missing_key.kx2", SXKorvDoc::kReadError, 2, 0},
        {"bad_stray_closing.kx2", SXKorvDoc::kReadError, 3, 0},
        {"bad_sheetinfo.kx2", SXKorvDoc::kReadError, 2, 0},
        {"bad_component_part.kx2", SXKorvDoc::kReadError, 2, 0},
    };
    for (const FileCase& c : cases) {
        SCOPED_TRACE(c.name);
        SXKorvDocSch doc;
        ASSERT_EQ(readDataFile(doc, c.name), c.result);
        EXPECT_EQ(liveObjects(doc).size(), c.liveObjects);
        if (c.result != SXKorvDoc::kReadOk) {
            EXPECT_EQ(doc.readError().line, c.errorLine);
            EXPECT_FALSE(doc.readError().message.empty());
            EXPECT_FALSE(doc.readError().ioError);
            EXPECT_TRUE(doc.objects().empty());
            EXPECT_TRUE(doc.workingList().empty());
            EXPECT_EQ(doc.sheetSize(), SSize(1500, 1000));
        }
    }
}

TEST(DocRead, SheetPropertiesComeFromTheFirstSheetInfo) {
    SXKorvDocSch doc;
    ASSERT_EQ(readDataFile(doc, "lf_only.kx2"), SXKorvDoc::kReadOk);
    EXPECT_EQ(doc.sheetSize(), SSize(2000, 1500));
    EXPECT_EQ(doc.projectName(), "x");

    const std::string text = sheet({"+SHEETINFO,EL:3,VL:0,W:4200,H:2970,PROJ:Amp,PAGES:4,PAGE:2,"
                                    "VER:68,INITPOS:2,-SHEETINFO"});
    ASSERT_EQ(readText(doc, text), SXKorvDoc::kReadOk);
    EXPECT_EQ(doc.sheetSize(), SSize(4200, 2970));
    EXPECT_EQ(doc.editingLayer(), 3);
    EXPECT_EQ(doc.visibleLayers(), 255);
    EXPECT_EQ(doc.projectName(), "Amp");
    EXPECT_EQ(doc.pageCount(), 4);
    EXPECT_EQ(doc.pageNumber(), 2);
    EXPECT_EQ(doc.fileVersion(), 68);
    EXPECT_EQ(doc.initialPosition(), 2);
}

TEST(DocRead, LoadedStateIsOneOperationThatCannotBeUndone) {
    SXKorvDocSch doc;
    ASSERT_EQ(readText(doc, sheet({junction(10, 10), wire(0, 0, 10, 0)})), SXKorvDoc::kReadOk);
    EXPECT_EQ(doc.operationNumber(), 1);
    EXPECT_EQ(doc.historyFloor(), 1);
    EXPECT_FALSE(doc.isModified());
    EXPECT_FALSE(doc.isPending());
    for (const auto& obj : doc.objects())
        EXPECT_EQ(obj->placeStamp(), 1);
}

TEST(DocRead, DispatcherStopsWhereTheSheetEnds) {
    struct Case {
        const char* what;
        std::string text;
        int result;
        size_t live;
    };
    const std::string j = junction(10, 10);
    const Case cases[] = {
        {"empty word", "+KORVX_DATA_V.1.0\n" + j + ",,+JUNCTION,X:1,Y:1,-JUNCTION\n", 0, 1},
        {"words after the closing word", sheet({j}) + "garbage,+WIRE,X1:5\n", 0, 1},
        {"unknown section skipped", sheet({"+NOTES,A:1,B:%2C,-NOTES", j}), 0, 1},
        {"unknown section at the end", "+KORVX_DATA_V.1.0\n" + j + "\n+NOTES,A:1,-NOTES", 0, 1},
        {"zero-length wire dropped", sheet({wire(5, 5, 5, 5), j}), 0, 1},
        {"label without text fails", sheet({"+LABEL,X:1,Y:1,D:1,S:,-LABEL"}), 1, 0},
        {"first word is a library", "+KORVX_LIB_V.1.0\n-KORVX_LIB_V.1.0\n", 2, 0},
        {"broken escape in the first word", "%4,+KORVX_DATA_V.1.0\n", 2, 0},
        {"broken escape at the very end", sheet({j}) + "%4", 0, 1},
        {"field at top level", sheet({j, "KEY:value", j}), 1, 0},
        {"second sheet info skipped even when broken",
         sheet({"+SHEETINFO,W:2000,H:1500,-SHEETINFO", "+SHEETINFO,W:9", j}), 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SXKorvDocSch doc;
        EXPECT_EQ(readText(doc, c.text), c.result);
        EXPECT_EQ(liveObjects(doc).size(), c.live);
    }
}

TEST(DocRead, ComponentWithoutPartStays) {
    SXKorvDocSch doc;
    ASSERT_EQ(readText(doc, sheet({"+COMPONENT,L:0,X:100,Y:200,LIB:R-1K,BLK:3,N:1k,-COMPONENT"})),
              SXKorvDoc::kReadOk);
    ASSERT_EQ(doc.objects().size(), 1u);
    const auto& c = static_cast<const SXKorvComponent&>(*doc.objects()[0]);
    EXPECT_EQ(c.libraryName(), "R-1K");
    EXPECT_EQ(c.part(), nullptr);
    EXPECT_EQ(c.block(), 0);
}

TEST(DocRead, StreamFailureIsAnInputError) {
    // A folder opens as a stream on this platform but cannot be read.
    std::FILE* folder = std::fopen(KX_TEST_DATA_DIR, "rb");
    if (!folder)
        GTEST_SKIP() << "folders cannot be opened as streams here";
    SXKorvDocSch doc;
    EXPECT_EQ(doc.readFile(folder), SXKorvDoc::kReadError);
    std::fclose(folder);
    EXPECT_TRUE(doc.readError().ioError);
}

// A rich sheet cut off after every byte, and with every byte replaced by a delimiter or an
// escape: nothing may crash, and a cut-off sheet either reads or reports a read error.
TEST(DocRead, EveryPrefixAndDamagedCopy) {
    const std::string text = sheet({
        "+SHEETINFO,EL:1,VL:7,W:2000,H:1500,PROJ:P%2C1,PAGES:2,PAGE:1,VER:68,-SHEETINFO",
        junction(50, 0),
        wire(0, 0, 100, 0),
        wire(100, 0, 100, 80),
        wire(0, 10, 40, 10, 0, "BUS"),
        "+ENTRY,L:0,X1:10,Y1:10,X2:20,Y2:0,-ENTRY",
        "+LABEL,L:0,X:10,Y:0,D:1,S:NET%201,-LABEL",
        "+TAG,L:0,X:200,Y:0,D:0,T:2,S:IN,-TAG",
        "+COMMENT,L:0,X:0,Y:300,W:10,S:hello,FN:Sans,FS:99,FF:BIU,-COMMENT",
        "+DASH,L:0,X1:0,Y1:0,X2:50,Y2:50,CURV:1,CTX1:10,CTY1:0,CTX2:40,CTY2:50,LS:LDT,-DASH",
        "+ALINE,L:0,X1:0,Y1:0,X2:90,Y2:0,WDT:200,CLR:255,-ALINE",
        "+COMPONENT\n+KORVX_LIB_V.1.0\n+COMP,N:RES,X:4,Y:1,B:1,R:R,NOTE:n,MFR:m,MFRPN:p,PKG:0603,"
        "-COMP\n-KORVX_LIB_V.1.0\nL:0,X:300,Y:300,LIB:RES,DIR:5,BLK:0,N:10k,R:R1,-COMPONENT",
    });
    for (size_t n = 0; n <= text.size(); ++n) {
        SXKorvDocSch doc;
        const int result = readText(doc, std::string_view(text).substr(0, n));
        ASSERT_TRUE(result == SXKorvDoc::kReadOk || result == SXKorvDoc::kReadError ||
                    (result == SXKorvDoc::kNotSchematic && n < 18))
            << "cut after " << n;
    }
    for (size_t i = 0; i < text.size(); ++i) {
        for (const char c : {',', '\n', '%', '+', '-', ':'}) {
            std::string damaged = text;
            damaged[i] = c;
            SXKorvDocSch doc;
            readText(doc, damaged);
            sheetText(doc);
        }
    }
}

struct ReadOutcome {
    int result;
    int32_t errorLine;
    std::string message;
    std::string sheet;

    friend bool operator==(const ReadOutcome&, const ReadOutcome&) = default;
};

ReadOutcome readOutcome(std::string_view text, bool cached) {
    SXKorvPartCache::forThisThread().setEnabled(cached);
    SXKorvDocSch doc;
    const int result = readText(doc, text);
    SXKorvPartCache::forThisThread().setEnabled(true);
    return {result, doc.readError().line, doc.readError().message, sheetText(doc)};
}

// Components that embed the same part bytes share one read part: every damaged copy of a sheet
// with repeated parts (some closed early inside a skipped section) must read exactly as it does
// without the cache, errors included.
TEST(DocRead, SharedPartsReadAsWithoutCache) {
    const std::string part =
        "+KORVX_LIB_V.1.0\n+PTN,N:P,X:41,Y:11\n+L,X1:0,Y1:0,X2:9,Y2:9,-L\n-PTN\n"
        "+COMP,N:P,X:4,Y:1,B:2,R:U,P:P\n+PIN,N:A,L:L0,T:N,M:1,M:2,-PIN\n"
        "-COMP\n-KORVX_LIB_V.1.0\n";
    const std::string tricky = "+KORVX_LIB_V.1.0\n+COMP,N:Q,X:2,Y:2,B:1,+XY,-KORVX_LIB_V.1.0,-XY,"
                               "-COMP\n-KORVX_LIB_V.1.0\n";
    const auto component = [](const std::string& lib, int x) {
        return "+COMPONENT\n" + lib + "L:0,X:" + std::to_string(x) + ",Y:50,LIB:P,N:v,R:U" +
               std::to_string(x) + ",-COMPONENT";
    };
    const std::string escaped = "+KORVX_LIB_V.1.0\n+COMP,N:E,X:2,Y:2,B:1\n-COMP\n"
                                "%2DKORVX_LIB_V.1.0\n";
    const std::string text =
        sheet({component(part, 100), component(tricky, 200), component(part, 300),
               component(tricky, 400), component(part, 500), component(escaped, 600),
               component(escaped, 700), component(part, 800)});
    const ReadOutcome plain = readOutcome(text, false);
    ASSERT_EQ(plain.result, SXKorvDoc::kReadOk);
    EXPECT_EQ(readOutcome(text, true), plain);
    SXKorvDocSch doc;
    ASSERT_EQ(readText(doc, text), SXKorvDoc::kReadOk);
    std::vector<const SCompInfo*> parts;
    for (const auto& obj : doc.objects())
        parts.push_back(static_cast<const SXKorvComponent&>(*obj).part());
    ASSERT_EQ(parts.size(), 8u);
    EXPECT_EQ(parts[0], parts[2]); // read once
    EXPECT_EQ(parts[0], parts[4]);
    EXPECT_EQ(parts[0], parts[7]);
    EXPECT_NE(parts[1], parts[3]); // its section ends past the first closing word: read each time
    EXPECT_NE(parts[5], parts[6]); // no plain closing word at all
    for (size_t i = 0; i < text.size(); ++i) {
        for (const char c : {',', '\n', '-', 'X'}) {
            std::string damaged = text;
            damaged[i] = c;
            ASSERT_EQ(readOutcome(damaged, true), readOutcome(damaged, false)) << i << c;
        }
    }
}

} // namespace
