#include "schematic/SXKorvDocSch.h"
#include "tagtext/STagReader.h"
#include "viewcore/SObjectInfo.h"
#include "viewcore/SSheetIndex.h"
#include "viewcore/SSheetLoader.h"
#include "viewcore/SSheetViewport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace {

std::unique_ptr<SXKorvDocSch> docOf(const std::string& body) {
    static std::string text; // the reader views it while reading
    text = "+KORVX_DATA_V.1.0\r\n" + body + "-KORVX_DATA_V.1.0\r\n";
    auto doc = std::make_unique<SXKorvDocSch>();
    STagReader reader;
    reader.attachString(std::string_view(text));
    EXPECT_EQ(doc->read(reader), SXKorvDoc::kReadOk);
    return doc;
}

SSheetViewport viewport(int w, int h, SSize sheet) {
    SSheetViewport v;
    v.setSheetSize(sheet);
    v.setViewportSize(w, h);
    return v;
}

} // namespace

TEST(SheetViewport, FitShowsTheWholeFrameCentred) {
    struct Case {
        int w, h;
        SSize sheet;
        int32_t num;
    } cases[] = {
        {1540, 1040, {1500, 1000}, 256}, // exactly the frame plus its margins
        {770, 2000, {1500, 1000}, 128},  // width decides
        {5000, 520, {1500, 1000}, 128},  // height decides
        {10, 10, {5000, 4000}, SSheetViewport::kMinNum},
    };
    for (const Case& c : cases) {
        SSheetViewport v = viewport(c.w, c.h, c.sheet);
        v.fit();
        EXPECT_EQ(v.num(), c.num) << c.w << "x" << c.h;
        const SPointF mid = v.toDevice({c.sheet.width / 2.0, c.sheet.height / 2.0});
        EXPECT_NEAR(mid.x, c.w / 2.0, 1.0);
        EXPECT_NEAR(mid.y, c.h / 2.0, 1.0);
    }
}

TEST(SheetViewport, ZoomKeepsThePointUnderTheMouse) {
    SSheetViewport v = viewport(800, 600, {1500, 1000});
    v.fit();
    const SPointF anchors[] = {{100, 100}, {400, 300}, {799, 5}};
    for (const SPointF a : anchors) {
        for (const int steps : {3, -2, 1}) {
            const SPointF before = v.toSheet(a);
            v.zoomSteps(steps, a);
            const SPointF after = v.toSheet(a);
            EXPECT_NEAR(before.x, after.x, 1.5 / v.scale());
            EXPECT_NEAR(before.y, after.y, 1.5 / v.scale());
        }
    }
}

TEST(SheetViewport, ZoomStopsAtItsLimits) {
    SSheetViewport v = viewport(800, 600, {1500, 1000});
    v.zoomSteps(200, {0, 0});
    EXPECT_EQ(v.num(), SSheetViewport::kMaxNum);
    v.zoomSteps(-200, {0, 0});
    EXPECT_EQ(v.num(), SSheetViewport::kMinNum);
    v.setNum(-5);
    EXPECT_EQ(v.num(), SSheetViewport::kMinNum);
}

TEST(SheetViewport, CentreOnBringsAPointToTheMiddle) {
    SSheetViewport v = viewport(800, 600, {1500, 1000});
    v.setNum(512);
    const SPointF points[] = {{0, 0}, {1230, 850}, {1500, 1000}, {750, 10}};
    for (const SPointF p : points) {
        v.centreOn(p);
        const SPointF d = v.toDevice(p);
        EXPECT_NEAR(d.x, 400, 1.0);
        EXPECT_NEAR(d.y, 300, 1.0);
    }
    // Far outside the sheet the view stops at the content's edge.
    v.centreOn({100000, 100000});
    EXPECT_EQ(v.scrollX(), v.maxScrollX());
    EXPECT_EQ(v.scrollY(), v.maxScrollY());
}

TEST(ObjectInfo, PositionParamCarriesXLowAndYHigh) {
    struct Case {
        uint32_t param;
        SPoint p;
    } cases[] = {{850u * 65536u + 1230u, {1230, 850}}, {0, {0, 0}}, {0xFFFFFFFFu, {65535, 65535}}};
    for (const Case& c : cases)
        EXPECT_EQ(SObjectDescription::positionFromParam(c.param), c.p);
}

TEST(ObjectInfo, DescribesKindAndText) {
    auto doc = docOf("+LABEL,L:0,X:10,Y:20,D:1,S:NET%201,-LABEL\r\n"
                     "+TAG,L:0,X:10,Y:40,D:1,T:1,S:CLK,-TAG\r\n"
                     "+WIRE,L:0,X1:0,Y1:0,X2:50,Y2:0,-WIRE\r\n"
                     "+COMMENT,L:0,X:5,Y:5,S:Hello,-COMMENT\r\n"
                     "+COMPONENT\r\n+KORVX_LIB_V.1.0\r\n+COMP,N:KX358\r\nX:2,Y:2,B:1\r\n"
                     "-COMP\r\n-KORVX_LIB_V.1.0\r\nL:0,X:100,Y:100,LIB:KX358,N:KX358,R:U2,"
                     "-COMPONENT\r\n");
    std::vector<std::pair<std::string, std::string>> got;
    for (const auto& obj : doc->objects()) {
        const SObjectInfo info = SObjectDescription::describe(*obj);
        got.emplace_back(std::string(info.kind), info.text);
    }
    const std::vector<std::pair<std::string, std::string>> want = {{"Label", "NET 1"},
                                                                   {"Tag", "CLK"},
                                                                   {"Wire", ""},
                                                                   {"Comment", "Hello"},
                                                                   {"Component", "U2 KX358"}};
    EXPECT_EQ(got, want);
}

TEST(SheetIndex, QueryKeepsFileOrderAndSkipsHiddenLayers) {
    std::string body;
    for (int i = 0; i < 50; ++i) {
        const int x = i * 100;
        body += "+JUNCTION,L:" + std::to_string(i % 3) + ",X:" + std::to_string(x) +
                ",Y:" + std::to_string(x) + ",-JUNCTION\r\n";
    }
    body += "+WIRE,L:0,X1:0,Y1:3050,X2:90000,Y2:3050,-WIRE\r\n"; // spans many cells
    auto doc = docOf(body);
    const SSheetIndex index(doc->objects());
    ASSERT_EQ(index.size(), 51u);
    const auto all = index.query({-10, -10, 4910, 4910}, 0xFF);
    ASSERT_EQ(all.size(), 51u);
    EXPECT_TRUE(std::is_sorted(all.begin(), all.end()));
    const auto layer0 = index.query({-10, -10, 4910, 4910}, 1);
    EXPECT_EQ(layer0.size(), 18u); // 17 junctions on layer 0 and the wire
    const auto small = index.query({990, 990, 1010, 1010}, 0xFF);
    ASSERT_EQ(small.size(), 1u);
    EXPECT_EQ(index.object(small[0]).p1(), SPoint(1000, 1000));
    EXPECT_EQ(index.query({50000, 3040, 50010, 3060}, 0xFF).size(), 1u);
}

TEST(SheetIndex, HitFindsTheTopmostObjectUnderThePoint) {
    auto doc = docOf("+COMMENT,L:0,X:0,Y:0,FS:20,S:A%20long%20comment,-COMMENT\r\n"
                     "+WIRE,L:0,X1:0,Y1:10,X2:200,Y2:10,-WIRE\r\n"
                     "+LABEL,L:1,X:300,Y:100,D:1,S:HIDDEN,-LABEL\r\n");
    const SSheetIndex index(doc->objects());
    struct Case {
        SPointF p;
        int32_t layers;
        int64_t want;
    } cases[] = {
        {{50, 11}, 0xFF, 1},   // the wire crosses the comment and is drawn above it
        {{50, 25}, 0xFF, 0},   // inside the comment's text only
        {{310, 95}, 0xFF, 2},  // on the label's text
        {{310, 95}, 0x01, -1}, // its layer is hidden
        {{900, 900}, 0xFF, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(index.hitAt(c.p, 2.0, c.layers), c.want) << c.p.x << "," << c.p.y;
}

TEST(SheetLoader, ReportsWhyAFileCannotBeShown) {
    const auto dir = std::filesystem::temp_directory_path() / "kxview-loader-test";
    std::filesystem::create_directories(dir);
    const auto write = [&](const char* name, const std::string& text) {
        std::ofstream(dir / name, std::ios::binary) << text;
        return (dir / name).string();
    };
    struct Case {
        std::string path;
        std::string message; // empty: reads
    } cases[] = {
        {write("ok.KX2", "+KORVX_DATA_V.1.0\r\n+JUNCTION,X:1,Y:2,-JUNCTION\r\n"), ""},
        {write("lib.KX2", "+KORVX_LIB_V.1.0\r\n"), "X is not a schematic file."},
        {write("bad.KX2", "+KORVX_DATA_V.1.0\r\n+JUNCTION,X:1,Y:2,-JUNCTION\r\nK:1\r\n"),
         "(line 3)."},
        {(dir / "missing.KX2").string(), "Cannot open X: No such file or directory."},
        {dir.string(), "Cannot open X: it is a folder."},
    };
    for (const Case& c : cases) {
        const SSheetLoad load = SSheetLoader::load(c.path, "X");
        if (c.message.empty()) {
            ASSERT_TRUE(load.doc) << load.error;
            EXPECT_EQ(load.doc->objects().size(), 1u);
        } else {
            EXPECT_FALSE(load.doc);
            EXPECT_NE(load.error.find(c.message), std::string::npos) << load.error;
        }
    }
    std::filesystem::remove_all(dir);
}
