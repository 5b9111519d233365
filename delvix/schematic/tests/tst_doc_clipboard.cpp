#include "DocTestUtil.h"

#include <gtest/gtest.h>

#include <climits>

using namespace doctest;

namespace {

TEST(DocClipboard, HoldsSchematicText) {
    struct Case {
        std::optional<std::string> content;
        bool holds;
    };
    const Case cases[] = {
        {std::nullopt, false},
        {"", false},
        {"+KORVX_DATA_V.1.", false},
        {"+KORVX_DATA_V.1.0", true}, // 17 bytes and the terminating zero
        {"+KORVX_DATA_V.1.0\n-KORVX_DATA_V.1.0\n", true},
        {"+KORVX_LIB_V.1.0\n", false},
        {" +KORVX_DATA_V.1.0\n", false},
    };
    for (const Case& c : cases) {
        SXKorvDocSch doc;
        FakeClipboard clipboard;
        clipboard.content = c.content;
        EXPECT_FALSE(doc.clipboardHasSchematic()) << "no clipboard attached";
        doc.setClipboard(&clipboard);
        EXPECT_EQ(doc.clipboardHasSchematic(), c.holds) << c.content.value_or("(none)");
    }
}

TEST(DocClipboard, PasteAddsOffsetObjectsOnTheEditingLayer) {
    SXKorvDocSch doc;
    FakeClipboard clipboard;
    doc.setClipboard(&clipboard);
    clipboard.content = sheet({"+SHEETINFO,W:3000,H:2000,-SHEETINFO", junction(3, -3, 5),
                               "+LABEL,L:0,X:50,Y:50,D:1,S:N1,-LABEL"});
    ASSERT_EQ(readText(doc, sheet({"+LABEL,L:0,X:0,Y:0,D:1,S:N0,-LABEL"})), SXKorvDoc::kReadOk);
    doc.setEditingLayer(2);
    doc.setFindParams("N", false, false, 2);
    ASSERT_NE(doc.findFirst(), nullptr);
    ASSERT_TRUE(doc.pasteFromClipboard({100, 210}));
    ASSERT_EQ(doc.workingList().size(), 2u);
    EXPECT_EQ(doc.workingList()[0]->p1(), SPoint(103, 207));
    EXPECT_EQ(doc.workingList()[1]->p1(), SPoint(150, 260));
    for (const auto& obj : doc.workingList())
        EXPECT_EQ(obj->layer(), 2);
    EXPECT_EQ(doc.sheetSize(), SSize(1500, 1000)); // the sheet info is not taken
    EXPECT_EQ(doc.kindsInSelection(), SXKorvKindBit::kJunction | SXKorvKindBit::kLabel);
    EXPECT_EQ(doc.selectionBounds(), SRect(103, 207, 150, 260));
    EXPECT_EQ(doc.selectionOrigin(), SPoint(150, 260)); // the first one on the grid
    EXPECT_TRUE(doc.isPending());
    EXPECT_FALSE(doc.findState().active);
    EXPECT_EQ(doc.objects().size(), 1u);
}

TEST(DocClipboard, FailedPasteChangesNothing) {
    const std::string cases[] = {
        "+KORVX_DATA_V.1.0\n-KORVX_DATA_V.1.0\n",                       // no objects
        "+KORVX_DATA_V.1.0\n" + junction(0, 0) + "\n+WIRE,X1:0,Y1:0\n", // breaks off
        "+KORVX_DATA_V.1.0\n" + junction(0, 0) + "\nKEY:value\n",       // stray field
        "+KORVX_DATA_V.1.0%4,\n" + junction(0, 0) + "\n",               // first word broken
    };
    for (const std::string& text : cases) {
        SCOPED_TRACE(text);
        SXKorvDocSch doc;
        FakeClipboard clipboard;
        doc.setClipboard(&clipboard);
        clipboard.content = sheet({junction(7, 7)});
        ASSERT_TRUE(doc.pasteFromClipboard({0, 0}));
        clipboard.content = text;
        EXPECT_FALSE(doc.pasteFromClipboard({0, 0}));
        EXPECT_EQ(doc.workingList().size(), 1u);
        EXPECT_EQ(doc.selectionBounds(), SRect(7, 7, 7, 7));
    }
}

TEST(DocClipboard, CopyWritesTheWorkingListRelativeToTheRoundedCorner) {
    SXKorvDocSch doc;
    FakeClipboard clipboard;
    doc.setClipboard(&clipboard);
    EXPECT_FALSE(doc.copyToClipboard()); // nothing selected
    EXPECT_EQ(clipboard.puts, 0);
    clipboard.content = sheet({junction(103, 207), "+LABEL,L:0,X:150,Y:260,D:1,S:N1,-LABEL",
                               junction(1600, 500)}); // beyond the sheet's right edge
    ASSERT_TRUE(doc.pasteFromClipboard({0, 0}));
    ASSERT_TRUE(doc.copyToClipboard());
    EXPECT_EQ(*clipboard.content, "+KORVX_DATA_V.1.0\n"
                                  "+JUNCTION,L:0,X:3,Y:-3,-JUNCTION\n"
                                  "+LABEL,L:0,X:50,Y:50,D:1,S:N1,-LABEL\n"
                                  "-KORVX_DATA_V.1.0\n");

    // Pasting the copy back at the corner gives the same objects again.
    ASSERT_TRUE(doc.pasteFromClipboard({100, 210}));
    ASSERT_EQ(doc.workingList().size(), 5u);
    EXPECT_EQ(written(*doc.workingList()[3]), written(*doc.workingList()[0]));
    EXPECT_EQ(written(*doc.workingList()[4]), written(*doc.workingList()[1]));

    clipboard.refusePut = true;
    EXPECT_FALSE(doc.copyToClipboard());
}

TEST(DocClipboard, PlainDocumentHasNoClipboard) {
    SXKorvDoc doc;
    FakeClipboard clipboard;
    clipboard.content = sheet({junction(0, 0)});
    doc.setClipboard(&clipboard);
    EXPECT_FALSE(doc.clipboardHasSchematic());
    EXPECT_FALSE(doc.pasteFromClipboard({0, 0}));
    EXPECT_FALSE(doc.copyToClipboard());
}

TEST(DocClipboard, SelectionOriginRoundsToTheGrid) {
    struct Case {
        std::vector<std::string> objects;
        SPoint origin;
    };
    const Case cases[] = {
        {{junction(13, 17)}, {13, 17}},                     // one object: as it is
        {{junction(13, 17), junction(24, -16)}, {20, -20}}, // the last one, rounded
        {{junction(13, 17), junction(30, 40), junction(1, 1)}, {30, 40}},
    };
    for (const Case& c : cases) {
        SXKorvDocSch doc;
        FakeClipboard clipboard;
        doc.setClipboard(&clipboard);
        clipboard.content = sheet(c.objects);
        ASSERT_TRUE(doc.pasteFromClipboard({0, 0}));
        EXPECT_EQ(doc.selectionOrigin(), c.origin);
    }
}

TEST(DocClipboard, GridRounding) {
    const std::pair<int32_t, int32_t> cases[] = {
        {0, 0},
        {4, 0},
        {5, 10},
        {14, 10},
        {-4, 0},
        {-5, 0},
        {-6, -10},
        {-15, -10},
        {-16, -20},
        {INT_MAX, 2147483640},
        {INT_MIN, -2147483640},
    };
    for (const auto& [v, r] : cases)
        EXPECT_EQ(SXKorvDoc::roundToGrid(v), r) << v;
}

} // namespace
