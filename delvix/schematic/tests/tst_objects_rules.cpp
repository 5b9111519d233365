// Required keys, closing words, nested sections, defaults and the clamping of values.
#include "ObjTestUtil.h"
#include "model/SCompInfo.h"
#include "model/SPtn.h"
#include "schematic/SImageDIB.h"
#include "schematic/SXKorvComment.h"
#include "schematic/SXKorvComponent.h"
#include "schematic/SXKorvDash.h"
#include "schematic/SXKorvEntry.h"
#include "schematic/SXKorvImageObj.h"
#include "schematic/SXKorvJunc.h"
#include "schematic/SXKorvLabel.h"
#include "schematic/SXKorvLine.h"
#include "schematic/SXKorvMarkerLine.h"
#include "schematic/SXKorvSheetInfo.h"
#include "schematic/SXKorvTag.h"

#include <gtest/gtest.h>

namespace {

std::string bmpSection() {
    // A 1 x 1 24-bit bitmap, 58 bytes.
    return "+IMAGE_"
           "DIB\nQk06AAAAAAAAADYAAAAoAAAAAQAAAAEAAAABABgAAAAAAAQAAAATCwAAEwsAAAAAAAAAAAAAIED4\n"
           "AA==\n-IMAGE_DIB\n";
}

// The same bitmap one byte short.
std::string brokenBmpSection() {
    const std::string full = bmpSection();
    return full.substr(0, full.find("AA==")) + "-IMAGE_DIB\n";
}

const char* const kPart2Blocks = "+KORVX_LIB_V.1.0,+COMP,N:P,X:2,Y:2,B:2,+PIN,N:A,L:L0,M:1,M:2,"
                                 "-PIN,-COMP,-KORVX_LIB_V.1.0,";

struct ReadCase {
    const char* name;
    std::string text;
    bool ok;
};

std::vector<ReadCase> readCases() {
    const std::string part = kPart2Blocks;
    return {
        {"junction complete", "+JUNCTION,X:1,Y:2,-JUNCTION", true},
        {"junction missing Y", "+JUNCTION,X:1,-JUNCTION", false},
        {"junction empty Y ignored", "+JUNCTION,X:1,Y:,-JUNCTION", false},
        {"junction wrong closing word", "+JUNCTION,X:1,Y:2,-WIRE", false},
        {"junction cut off", "+JUNCTION,X:1,Y:2", false},
        {"lone dash is a wrong closing word", "+JUNCTION,X:1,Y:2,-,-JUNCTION", false},
        {"words without key ignored", "+JUNCTION,junk,:5,,X:1,Y:2,-JUNCTION", true},
        {"unknown nested section skipped", "+JUNCTION,+FOO,X:99,-FOO,X:1,Y:2,-JUNCTION", true},
        {"skipping does not count nesting", "+JUNCTION,+FOO,+FOO,-FOO,X:1,Y:2,-JUNCTION", true},
        {"unclosed nested section", "+JUNCTION,X:1,Y:2,+FOO,a,b", false},
        {"broken escape ends the input", "+JUNCTION,X:1,Y:2%4,-JUNCTION", false},
        {"label complete", "+LABEL,X:1,Y:2,D:1,S:A,-LABEL", true},
        {"label empty text ignored", "+LABEL,X:1,Y:2,D:1,S:,-LABEL", false},
        {"label missing D", "+LABEL,X:1,Y:2,S:A,-LABEL", false},
        {"tag empty text", "+TAG,X:1,Y:2,D:1,T:0,S:,-TAG", true},
        {"tag missing T", "+TAG,X:1,Y:2,D:1,S:a,-TAG", false},
        {"tag empty coordinate counts", "+TAG,X:,Y:2,D:1,T:1,S:a,-TAG", true},
        {"comment missing text", "+COMMENT,X:1,Y:1,-COMMENT", false},
        {"wire missing Y2", "+WIRE,X1:0,Y1:0,X2:1,-WIRE", false},
        {"wire closed as bus", "+WIRE,X1:0,Y1:0,X2:1,Y2:1,-BUS", false},
        {"entry", "+ENTRY,X1:0,Y1:0,X2:1,Y2:1,-ENTRY", true},
        {"bus entry closed as entry", "+BENTRY,X1:0,Y1:0,X2:1,Y2:1,-ENTRY", false},
        {"dash missing X1", "+DASH,Y1:0,X2:1,Y2:1,-DASH", false},
        {"marker line", "+ALINE,X1:0,Y1:0,X2:1,Y2:1,-ALINE", true},
        {"component missing LIB", "+COMPONENT,X:1,Y:2,-COMPONENT", false},
        {"component empty LIB", "+COMPONENT,X:1,Y:2,LIB:,-COMPONENT", true},
        {"component with part", "+COMPONENT," + part + "X:1,Y:2,LIB:P,-COMPONENT", true},
        {"part closed before COMP",
         "+COMPONENT,+KORVX_LIB_V.1.0,-KORVX_LIB_V.1.0,X:1,Y:2,LIB:P,-COMPONENT", false},
        {"part with wrong closing word",
         "+COMPONENT,+KORVX_LIB_V.1.0,+COMP,N:P,X:1,Y:1,B:1,-COMP,-FOO,X:1,Y:2,LIB:P,-COMPONENT",
         false},
        {"part words ignored one by one",
         "+COMPONENT,+KORVX_LIB_V.1.0,+FOO,Q:1,junk,+COMP,N:P,X:1,Y:1,B:1,-COMP,"
         "-KORVX_LIB_V.1.0,X:1,Y:2,LIB:P,-COMPONENT",
         true},
        {"failing COMP fails the component",
         "+COMPONENT,+KORVX_LIB_V.1.0,+COMP,N:P,X:1,Y:1,+PIN,-PIN,-COMP,-KORVX_LIB_V.1.0,X:1,Y:2,"
         "LIB:P,-COMPONENT",
         false},
        {"part cut off", "+COMPONENT,+KORVX_LIB_V.1.0,+COMP,N:P,X:1,Y:1,B:1,-COMP", false},
        {"image object", "+IMAGEOBJECT,X:1,Y:2," + bmpSection() + "-IMAGEOBJECT", true},
        {"image object without image", "+IMAGEOBJECT,X:1,Y:2,-IMAGEOBJECT", false},
        {"image object with empty image",
         "+IMAGEOBJECT,X:1,Y:2,+IMAGE_DIB,Qk06AAAA,-IMAGE_DIB,-IMAGEOBJECT", true},
        {"image object with broken image",
         "+IMAGEOBJECT,X:1,Y:2," + brokenBmpSection() + "-IMAGEOBJECT", false},
        {"second image skipped after a broken one",
         "+IMAGEOBJECT,X:1,Y:2," + brokenBmpSection() + bmpSection() + "-IMAGEOBJECT", false},
    };
}

} // namespace

TEST(ObjectRules, ReadSucceedsOnlyWithClosingWordAndRequiredKeys) {
    for (const ReadCase& c : readCases()) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(objtest::read(c.text) != nullptr, c.ok);
    }
}

TEST(ObjectRules, SheetInfoRequiresWidthAndHeightEvenOutOfRange) {
    SXKorvSheetInfo info;
    EXPECT_FALSE(objtest::readInto(info, "W:1000,-SHEETINFO"));
    SXKorvSheetInfo wide;
    EXPECT_TRUE(objtest::readInto(wide, "W:100,H:5000,-SHEETINFO"));
    EXPECT_EQ(wide.sheetSize(), SSize(1500, 1000));
}

TEST(ObjectRules, Defaults) {
    SXKorvJunc junc;
    EXPECT_EQ(junc.placeStamp(), 0);
    EXPECT_EQ(junc.deleteStamp(), -1);
    EXPECT_EQ(junc.workingCopy(), nullptr);
    EXPECT_EQ(junc.layer(), 0);
    EXPECT_EQ(junc.p1(), SPoint(-1, -1));
    EXPECT_EQ(junc.p2(), SPoint(0, 0));
    EXPECT_EQ(junc.selection(), 0);

    SXKorvEntry entry;
    EXPECT_EQ(entry.p1(), SPoint(0, 10));
    EXPECT_EQ(entry.p2(), SPoint(10, 0));

    SXKorvComment comment;
    EXPECT_EQ(comment.fontSize(), 12);
    EXPECT_EQ(comment.width(), -1);
    EXPECT_FALSE(comment.isTag() || comment.isBold() || comment.isItalic());

    SXKorvComponent comp;
    EXPECT_EQ(comp.valueOffset(), SPoint(2, 20));
    EXPECT_EQ(comp.referenceOffset(), SPoint(2, 10));
    EXPECT_TRUE(comp.isValueHorizontal() && comp.isReferenceHorizontal());
    EXPECT_FALSE(comp.isValueHidden() || comp.isReferenceHidden());
    EXPECT_EQ(comp.part(), nullptr);
    EXPECT_EQ(comp.bodySize(), SSize(20, 20));

    SXKorvDash dash;
    EXPECT_EQ(dash.lineStyle(), SXKorvDash::LineStyle::Dash);
    EXPECT_EQ(dash.width(), 1);
    EXPECT_EQ(dash.endMarkSize(), 8);
    EXPECT_FALSE(dash.isCurved());

    SXKorvMarkerLine marker;
    EXPECT_EQ(marker.width(), 7);
    EXPECT_EQ(marker.colour(), 8454016);

    SXKorvSheetInfo info;
    EXPECT_EQ(info.sheetSize(), SSize(1500, 1000));
    EXPECT_EQ(info.visibleLayers(), 255);
    EXPECT_EQ(info.pageCount(), 1);
    EXPECT_EQ(info.pageNumber(), 1);

    SXKorvImageObj image;
    EXPECT_EQ(image.magnification(), 100);
    EXPECT_EQ(image.image(), nullptr);
}

TEST(ObjectRules, KindCodesBitsAndFlags) {
    const struct {
        const char* opening;
        SXKorvKind kind;
        int32_t bit;
        bool flags[4];
    } cases[] = {
        {"+JUNCTION", SXKorvKind::Junction, 32, {false, false, false, false}},
        {"+ENTRY", SXKorvKind::Entry, 128, {false, false, true, true}},
        {"+BENTRY", SXKorvKind::BusEntry, 64, {false, false, true, true}},
        {"+BUS", SXKorvKind::Bus, 2, {false, false, false, true}},
        {"+WIRE", SXKorvKind::Wire, 4, {false, false, false, true}},
        {"+DASH", SXKorvKind::Dash, 8, {true, true, false, true}},
        {"+LABEL", SXKorvKind::Label, 512, {false, true, false, true}},
        {"+TAG", SXKorvKind::Tag, 256, {false, true, false, true}},
        {"+COMPONENT", SXKorvKind::Component, 1, {false, true, true, true}},
        {"+COMMENT", SXKorvKind::Comment, 1024, {true, true, false, false}},
        {"+ALINE", SXKorvKind::MarkerLine, 16, {true, true, false, true}},
        {"+IMAGEOBJECT", SXKorvKind::ImageObj, 2048, {true, true, false, false}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.opening);
        auto obj = SXKorvObj::createForSection(c.opening);
        ASSERT_NE(obj, nullptr);
        if (c.kind != SXKorvKind::Entry && c.kind != SXKorvKind::BusEntry) {
            obj->setP1({0, 0}); // a point: neither oblique
            obj->setP2({0, 0});
        }
        EXPECT_EQ(obj->kind(), c.kind);
        EXPECT_EQ(obj->kindBit(), c.bit);
        EXPECT_EQ(obj->classFlag1(), c.flags[0]);
        EXPECT_EQ(obj->classFlag2(), c.flags[1]);
        EXPECT_EQ(obj->classFlag3(), c.flags[2]);
        EXPECT_EQ(obj->classFlag4(), c.flags[3]);
    }
    EXPECT_EQ(SXKorvObj::createForSection("+SHEETINFO"), nullptr);
    EXPECT_EQ(SXKorvObj::createForSection("+FOO"), nullptr);
    EXPECT_EQ(SXKorvObj::createForSection("WIRE"), nullptr);
    EXPECT_EQ(SXKorvSheetInfo().kindCode(), 9);
}

TEST(ObjectRules, LayerAndOverwrites) {
    const struct {
        const char* text;
        int32_t layer;
        SPoint p1;
    } cases[] = {
        {"+JUNCTION,L:7,X:1,Y:2,-JUNCTION", 7, {1, 2}},
        {"+JUNCTION,L:8,X:1,Y:2,-JUNCTION", 0, {1, 2}},
        {"+JUNCTION,L:3,L:-1,X:1,Y:2,-JUNCTION", 3, {1, 2}},
        {"+JUNCTION,X:1,Y:2,X:5,Y:7x,-JUNCTION", 0, {5, 7}},
        {"+JUNCTION,X:abc,Y:99999999999,-JUNCTION", 0, {0, 2147483647}},
        {"+JUNCTION,X: -12,Y:+3,-JUNCTION", 0, {-12, 3}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        auto obj = objtest::read(c.text);
        ASSERT_NE(obj, nullptr);
        EXPECT_EQ(obj->layer(), c.layer);
        EXPECT_EQ(obj->p1(), c.p1);
    }
}

TEST(ObjectRules, CommentClampsAndFont) {
    const struct {
        const char* fields;
        int32_t width;
        int32_t fontSize;
    } cases[] = {
        {"W:10", 50, 12},   {"W:0", 50, 12},  {"W:49", 50, 12},   {"W:50", 50, 12},
        {"W:-1", -1, 12},   {"W:-7", -7, 12}, {"W:900", 900, 12}, {"FS:2", -1, 4},
        {"FS:100", -1, 80}, {"FS:4", -1, 4},  {"W:", -1, 12},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fields);
        auto comment = objtest::readAs<SXKorvComment>(std::string("+COMMENT,X:0,Y:0,S:a,") +
                                                      c.fields + ",-COMMENT");
        ASSERT_NE(comment, nullptr);
        EXPECT_EQ(comment->width(), c.width);
        EXPECT_EQ(comment->fontSize(), c.fontSize);
    }
    auto styled = objtest::readAs<SXKorvComment>("+COMMENT,X:0,Y:0,S:a,FF:sxUB,-COMMENT");
    ASSERT_NE(styled, nullptr);
    EXPECT_TRUE(styled->isBold() && styled->isUnderline());
    EXPECT_FALSE(styled->isItalic() || styled->isStrikeOut());
    EXPECT_NE(objtest::write(*styled).find(",FF:BU,"), std::string::npos);

    // Reading starts from the default font, width and tag flag.
    SXKorvComment reused;
    reused.setFontSize(40);
    reused.setWidth(300);
    reused.setTag(true);
    reused.setFontStyle(true, true, true, true);
    ASSERT_TRUE(objtest::readInto(reused, "X:0,Y:0,S:a,-COMMENT"));
    EXPECT_EQ(reused.fontSize(), 12);
    EXPECT_EQ(reused.width(), -1);
    EXPECT_FALSE(reused.isTag() || reused.isBold());
}

TEST(ObjectRules, DashKeywordsAndClamps) {
    const struct {
        const char* fields;
        SXKorvDash::LineStyle style;
        SXKorvDash::EndMark start;
        int32_t width;
        int32_t markSize;
        bool curved;
    } cases[] = {
        {"LS:NORM,WDT:0,EMS:1", SXKorvDash::LineStyle::Normal, SXKorvDash::EndMark::None, 1, 3,
         false},
        {"LS:XYZ,WDT:9,EMS:99", SXKorvDash::LineStyle::Dash, SXKorvDash::EndMark::None, 5, 20,
         false},
        {"LS:LDT,SSTL:ARRW", SXKorvDash::LineStyle::Dot, SXKorvDash::EndMark::Arrow, 1, 8, false},
        {"LS:LDDT,SSTL:CRCL", SXKorvDash::LineStyle::DashDot, SXKorvDash::EndMark::Circle, 1, 8,
         false},
        {"SSTL:arrw", SXKorvDash::LineStyle::Dash, SXKorvDash::EndMark::None, 1, 8, false},
        {"CURV:1,CTX1:1,CTY1:2", SXKorvDash::LineStyle::Dash, SXKorvDash::EndMark::None, 1, 8,
         false},
        {"CURV:1,CTX1:1,CTY1:2,CTX2:3,CTY2:4", SXKorvDash::LineStyle::Dash,
         SXKorvDash::EndMark::None, 1, 8, true},
        {"CURV:1,CTX1:1,CTY1:2,CTX2:3,CTY2:", SXKorvDash::LineStyle::Dash,
         SXKorvDash::EndMark::None, 1, 8, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fields);
        auto dash = objtest::readAs<SXKorvDash>(std::string("+DASH,X1:0,Y1:0,X2:9,Y2:9,") +
                                                c.fields + ",-DASH");
        ASSERT_NE(dash, nullptr);
        EXPECT_EQ(dash->lineStyle(), c.style);
        EXPECT_EQ(dash->startMark(), c.start);
        EXPECT_EQ(dash->width(), c.width);
        EXPECT_EQ(dash->endMarkSize(), c.markSize);
        EXPECT_EQ(dash->isCurved(), c.curved);
    }
    auto odd = objtest::readAs<SXKorvDash>("+DASH,X1:0,Y1:0,X2:9,Y2:9,LS:XYZ,ESTL:?,-DASH");
    ASSERT_NE(odd, nullptr);
    EXPECT_NE(objtest::write(*odd).find(",LS:DASH,SSTL:NORM,ESTL:NORM,"), std::string::npos);
}

TEST(ObjectRules, MarkerLineSheetInfoTagImageClamps) {
    const auto marker = [](const char* f) {
        return objtest::readAs<SXKorvMarkerLine>(std::string("+ALINE,X1:0,Y1:0,X2:5,Y2:5,") + f +
                                                 ",-ALINE");
    };
    EXPECT_EQ(marker("WDT:1")->width(), 3);
    EXPECT_EQ(marker("WDT:200")->width(), 100);
    EXPECT_EQ(marker("CLR:16711680,STL:9")->colour(), 16711680);

    const auto sheet = [](const char* f) {
        auto info = std::make_unique<SXKorvSheetInfo>();
        EXPECT_TRUE(objtest::readInto(*info, std::string("W:1000,H:800,") + f + ",-SHEETINFO"));
        return info;
    };
    EXPECT_EQ(sheet("EL:9")->editingLayer(), 0);
    EXPECT_EQ(sheet("EL:6")->editingLayer(), 6);
    EXPECT_EQ(sheet("VL:256")->visibleLayers(), 255);
    EXPECT_EQ(sheet("VL:259")->visibleLayers(), 3);
    EXPECT_EQ(sheet("VL:0")->visibleLayers(), 255);
    EXPECT_EQ(sheet("INITPOS:4")->initialPosition(), 0);
    EXPECT_EQ(sheet("INITPOS:3")->initialPosition(), 3);
    EXPECT_EQ(sheet("W:5001,H:399")->sheetSize(), SSize(1000, 800));
    EXPECT_EQ(sheet("W:500,H:4000")->sheetSize(), SSize(500, 4000));
    EXPECT_EQ(sheet("PROJ:")->projectName(), "");
    EXPECT_EQ(sheet("PAGES:-3,PAGE:9")->pageCount(), -3);

    const auto tagType = [](const char* t) {
        return objtest::readAs<SXKorvTag>(std::string("+TAG,X:0,Y:0,D:1,S:a,T:") + t + ",-TAG")
            ->tagType();
    };
    EXPECT_EQ(tagType("3"), 3);
    EXPECT_EQ(tagType("4"), 0);
    EXPECT_EQ(tagType("-1"), 0);

    const struct {
        const char* mag;
        int32_t expected;
    } mags[] = {{"4", 100}, {"5", 10}, {"9", 10}, {"10", 10}, {"200", 200}, {"201", 100}};
    for (const auto& m : mags) {
        SCOPED_TRACE(m.mag);
        auto img = objtest::readAs<SXKorvImageObj>(std::string("+IMAGEOBJECT,X:0,Y:0,MAG:") +
                                                   m.mag + "," + bmpSection() + "-IMAGEOBJECT");
        ASSERT_NE(img, nullptr);
        EXPECT_EQ(img->magnification(), m.expected);
    }
}

TEST(ObjectRules, ComponentPartAndBlock) {
    const std::string part = kPart2Blocks;
    const struct {
        const char* name;
        std::string text;
        bool hasPart;
        int32_t block;
        const char* lib;
    } cases[] = {
        {"block within the part", "+COMPONENT," + part + "X:0,Y:0,LIB:Q,BLK:1,-COMPONENT", true, 1,
         "Q"},
        {"block beyond the part", "+COMPONENT," + part + "X:0,Y:0,LIB:P,BLK:3,-COMPONENT", true, 0,
         "P"},
        {"block equal to the count", "+COMPONENT," + part + "X:0,Y:0,LIB:P,BLK:2,-COMPONENT", true,
         0, "P"},
        {"negative block", "+COMPONENT," + part + "X:0,Y:0,LIB:P,BLK:-1,-COMPONENT", true, 0, "P"},
        {"no part", "+COMPONENT,X:0,Y:0,LIB:P,BLK:1,-COMPONENT", false, 0, "P"},
        {"LIB before the part", "+COMPONENT,LIB:P,BLK:1," + part + "X:0,Y:0,-COMPONENT", false, 0,
         "P"},
        {"second part skipped",
         "+COMPONENT," + part +
             "+KORVX_LIB_V.1.0,+COMP,N:Z,X:9,Y:9,B:5,-COMP,-KORVX_LIB_V.1.0,X:0,Y:0,LIB:P,BLK:4,"
             "-COMPONENT",
         true, 0, "P"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto comp = objtest::readAs<SXKorvComponent>(c.text);
        ASSERT_NE(comp, nullptr);
        EXPECT_EQ(comp->part() != nullptr, c.hasPart);
        EXPECT_EQ(comp->block(), c.block);
        EXPECT_EQ(comp->libraryName(), c.lib);
        if (comp->part()) {
            EXPECT_EQ(comp->part()->blockCount(), 2);
            EXPECT_EQ(comp->part()->pinCount(), 1);
        }
    }
}

TEST(ObjectRules, ComponentPartPatternHandling) {
    const char* base = "+COMPONENT,+KORVX_LIB_V.1.0,%s+COMP,N:P,X:2,Y:2,B:1,-COMP,"
                       "-KORVX_LIB_V.1.0,X:0,Y:0,LIB:P,-COMPONENT";
    const struct {
        const char* ptn;
        bool hasPattern;
        int32_t width;
    } cases[] = {
        {"", false, 0},
        {"+PTN,N:P,X:21,Y:21,-PTN,", true, 21},
        {"+PTN,N:P,X:21,Y:21,-XYZ,", false, 0}, // a failing pattern is dropped
        {"+PTN,N:P,X:21,Y:21,-PTN,+PTN,N:Q,X:31,Y:31,-PTN,", true, 21},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ptn);
        char text[512];
        std::snprintf(text, sizeof text, base, c.ptn);
        auto comp = objtest::readAs<SXKorvComponent>(text);
        ASSERT_NE(comp, nullptr);
        ASSERT_NE(comp->part(), nullptr);
        EXPECT_EQ(comp->part()->pattern() != nullptr, c.hasPattern);
        if (c.hasPattern) {
            EXPECT_EQ(comp->part()->pattern()->size().width, c.width);
        }
    }
}

TEST(ObjectRules, ValidityDropsEmptyTextsAndZeroLengthLines) {
    const struct {
        const char* text;
        bool valid;
    } cases[] = {
        {"+WIRE,X1:5,Y1:5,X2:5,Y2:5,-WIRE", false},
        {"+BUS,X1:5,Y1:5,X2:6,Y2:5,-BUS", true},
        {"+ALINE,X1:5,Y1:5,X2:5,Y2:5,-ALINE", false},
        {"+DASH,X1:5,Y1:5,X2:5,Y2:5,-DASH", false},
        {"+DASH,X1:5,Y1:5,X2:5,Y2:5,CURV:1,CTX1:5,CTY1:5,CTX2:5,CTY2:5,-DASH", false},
        {"+DASH,X1:5,Y1:5,X2:5,Y2:5,CURV:1,CTX1:9,CTY1:5,CTX2:5,CTY2:5,-DASH", true},
        {"+DASH,X1:5,Y1:5,X2:5,Y2:5,CURV:0,CTX1:9,CTY1:5,CTX2:5,CTY2:5,-DASH", false},
        {"+TAG,X:0,Y:0,D:1,T:0,S:,-TAG", true},
        {"+COMMENT,X:0,Y:0,S:a,-COMMENT", true},
        {"+JUNCTION,X:0,Y:0,-JUNCTION", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        auto obj = objtest::read(c.text);
        ASSERT_NE(obj, nullptr);
        EXPECT_EQ(obj->isValid(), c.valid);
    }
    SXKorvLabel label;
    EXPECT_FALSE(label.isValid());
    SXKorvComment comment;
    EXPECT_FALSE(comment.isValid());
}

TEST(ObjectRules, ImageObjectWithoutImageDataStaysReadable) {
    // An image that is not a bitmap file reads as an empty image; the object is still written
    // with an (empty) image section, which reads back the same way.
    auto img = objtest::readAs<SXKorvImageObj>(
        "+IMAGEOBJECT,X:1,Y:2,+IMAGE_DIB,WFhYWFhYWFhYWFhYWFhYWFhY,-IMAGE_DIB,-IMAGEOBJECT");
    ASSERT_NE(img, nullptr);
    ASSERT_NE(img->image(), nullptr);
    EXPECT_FALSE(img->image()->hasData());
    const std::string text = objtest::write(*img);
    EXPECT_EQ(text, "+IMAGEOBJECT,L:0,X:1,Y:2,MAG:100,+IMAGE_DIB\n-IMAGE_DIB\n-IMAGEOBJECT\n");
    auto back = objtest::read(text);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(objtest::write(*back), text);
    EXPECT_EQ(objtest::write(SXKorvImageObj()), "+IMAGEOBJECT,L:0,X:-1,Y:-1,MAG:100,+IMAGE_DIB\n"
                                                "-IMAGE_DIB\n-IMAGEOBJECT\n");
}

TEST(ObjectRules, ImageObjectClonesShareTheImage) {
    auto img =
        objtest::readAs<SXKorvImageObj>("+IMAGEOBJECT,X:1,Y:2," + bmpSection() + "-IMAGEOBJECT");
    ASSERT_NE(img, nullptr);
    EXPECT_EQ(img->imageReferences(), 1);
    {
        auto copy = img->clone();
        EXPECT_EQ(img->imageReferences(), 2);
        EXPECT_EQ(static_cast<SXKorvImageObj&>(*copy).image(), img->image());
    }
    EXPECT_EQ(img->imageReferences(), 1);
    // Reading again drops the old reference and the magnification.
    ASSERT_TRUE(objtest::readInto(*img, "X:1,Y:2,-IMAGEOBJECT") == false);
    EXPECT_EQ(img->image(), nullptr);
    EXPECT_EQ(img->magnification(), 100);
}
