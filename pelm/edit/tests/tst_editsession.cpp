#include "EditTestSupport.h"

#include "model/SPtnObjArc.h"
#include "model/SPtnObjCircle.h"
#include "model/SPtnObjLine.h"
#include "model/SPtnObjPolygon.h"
#include "model/SPtnObjText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace {

std::string lineRec(int x1, int y1, int x2, int y2) {
    return "+L,W:1,S:0,X:" + std::to_string(x1) + ",Y:" + std::to_string(y1) +
           ",X:" + std::to_string(x2) + ",Y:" + std::to_string(y2) + ",-L";
}

// A 4 × 3 component with one left pin at offset 1 and one committed line.
SCompInfo smallComponent() {
    SCompInfo info = makeComponent(4, 3);
    info.addPin(makePin(SPin::kSideLeft, 1, "A"));
    info.pattern()->appendObject(std::make_unique<SPtnObjLine>(SPoint(10, 10), SPoint(30, 10)));
    return info;
}

TEST(EditSession, PlaceSelectMoveReleaseAndUndoTwice) {
    SCompInfo info = smallComponent();
    SCompEditDoc doc;
    doc.loadComponent(&info);
    EXPECT_EQ(doc.opNumber(), 0);
    EXPECT_FALSE(doc.canUndo());

    // Draw a new line: one operation.
    doc.nextOpNumber();
    const SPtnObjLine drawn(SPoint(5, 20), SPoint(15, 20));
    ASSERT_TRUE(doc.addPatternObjectToSelection(&drawn));
    EXPECT_TRUE(doc.releaseSelection());
    EXPECT_TRUE(doc.isDirty());
    EXPECT_EQ(liveRecords(doc).back(), lineRec(5, 20, 15, 20));

    // Rubber-band it and drag it in two mouse steps.
    doc.nextOpNumber();
    ASSERT_EQ(doc.selectPatternObjectsIn(SRect(0, 15, 20, 25)), 1);
    EXPECT_TRUE(doc.moveSelection(3, 4));
    EXPECT_TRUE(doc.moveSelection(7, 16));
    EXPECT_TRUE(doc.releaseSelection());
    EXPECT_EQ(liveRecords(doc),
              (std::vector<std::string>{"+PIN,N:A,L:L1,T:,M:,-PIN", lineRec(10, 10, 30, 10),
                                        lineRec(15, 40, 25, 40)}));

    ASSERT_TRUE(doc.undo()); // the move
    EXPECT_EQ(liveRecords(doc).back(), lineRec(5, 20, 15, 20));
    EXPECT_EQ(liveRecords(doc).size(), 3u);
    ASSERT_TRUE(doc.undo()); // the drawing
    EXPECT_EQ(liveRecords(doc),
              (std::vector<std::string>{"+PIN,N:A,L:L1,T:,M:,-PIN", lineRec(10, 10, 30, 10)}));
    EXPECT_EQ(doc.mainCount(), 2u);
    EXPECT_FALSE(doc.canUndo());
    EXPECT_FALSE(doc.undo());
    EXPECT_TRUE(doc.isDirty()); // Undo leaves the flag to the library document
}

TEST(EditSession, SelectAndReleaseUnchangedRestoresTheMainList) {
    SCompInfo info = smallComponent();
    SCompEditDoc doc;
    doc.loadComponent(&info);
    const std::vector<std::string> before = liveRecords(doc);

    doc.nextOpNumber();
    ASSERT_EQ(doc.selectPinAt(SPoint(-5, 10)), 1);
    ASSERT_EQ(doc.selectPatternObjectsIn(SRect(0, 0, 40, 30)), 1);
    EXPECT_EQ(liveRecords(doc).size(), 0u);
    // Rectangle selections go in front and keep main-list order.
    EXPECT_EQ(selectionRecords(doc),
              (std::vector<std::string>{lineRec(10, 10, 30, 10), "+PIN,N:A,L:L1,T:,M:,-PIN"}));
    EXPECT_TRUE(doc.releaseSelection());
    EXPECT_EQ(liveRecords(doc), before);
    EXPECT_EQ(doc.mainCount(), 2u);
    EXPECT_FALSE(doc.isDirty());
    EXPECT_FALSE(doc.releaseSelection());
}

TEST(EditSession, UndoSkipsOperationsThatChangedNothing) {
    SCompInfo info = smallComponent();
    SCompEditDoc doc;
    doc.loadComponent(&info);
    doc.nextOpNumber();
    const SPtnObjLine drawn(SPoint(0, 0), SPoint(5, 5));
    doc.addPatternObjectToSelection(&drawn);
    doc.releaseSelection();
    doc.nextOpNumber();
    doc.nextOpNumber();
    doc.nextOpNumber(); // three clicks that selected nothing were kept
    ASSERT_TRUE(doc.undo());
    EXPECT_EQ(doc.opNumber(), 0);
    EXPECT_EQ(liveRecords(doc).size(), 2u);

    SCompEditDoc empty;
    empty.nextOpNumber();
    empty.nextOpNumber();
    EXPECT_TRUE(empty.canUndo());
    EXPECT_FALSE(empty.undo());
    EXPECT_EQ(empty.opNumber(), 0);
}

struct TransformCase {
    const char* name;
    std::function<bool(SCompEditDoc&)> apply;
    bool withLine;
    bool expected;
    std::string lineAfter;
};

class TransformSelection : public testing::TestWithParam<TransformCase> {};

// The selection holds the left pin (hit rectangle (-10, 6, 0, 14)) and, in some cases, the line
// (10, 10)-(30, 10): the rectangle is (-11, 5, 31, 15) with its centre at (10, 10).
TEST_P(TransformSelection, MovesPatternObjectsOnlyAndUndoes) {
    const TransformCase& c = GetParam();
    SCompInfo info = smallComponent();
    SCompEditDoc doc;
    doc.loadComponent(&info);
    doc.nextOpNumber();
    ASSERT_EQ(doc.selectPinAt(SPoint(-10, 14)), 1);
    if (c.withLine) {
        ASSERT_EQ(doc.selectPatternObjectsIn(SRect(0, 0, 40, 30)), 1);
    }

    EXPECT_EQ(c.apply(doc), c.expected);
    EXPECT_EQ(doc.isSelectionChanged(), c.expected);
    doc.releaseSelection();
    // A changed selection is committed in selection order: the line first, then the pin.
    const std::vector<std::string> expected =
        c.expected ? std::vector<std::string>{c.lineAfter, "+PIN,N:A,L:L1,T:,M:,-PIN"}
                   : std::vector<std::string>{"+PIN,N:A,L:L1,T:,M:,-PIN", c.lineAfter};
    EXPECT_EQ(liveRecords(doc), expected);
    EXPECT_EQ(doc.isDirty(), c.expected);
    if (c.expected) {
        ASSERT_TRUE(doc.undo());
        EXPECT_EQ(liveRecords(doc),
                  (std::vector<std::string>{"+PIN,N:A,L:L1,T:,M:,-PIN", lineRec(10, 10, 30, 10)}));
    }
}

INSTANTIATE_TEST_SUITE_P(
    EditSession, TransformSelection,
    testing::Values(
        TransformCase{"MirrorPinOnly", [](SCompEditDoc& d) { return d.mirrorSelection(); }, false,
                      false, lineRec(10, 10, 30, 10)},
        TransformCase{"RotatePinOnly", [](SCompEditDoc& d) { return d.rotateSelection(); }, false,
                      false, lineRec(10, 10, 30, 10)},
        TransformCase{"MovePinOnly", [](SCompEditDoc& d) { return d.moveSelection(5, 5); }, false,
                      false, lineRec(10, 10, 30, 10)},
        TransformCase{"MirrorMixed", [](SCompEditDoc& d) { return d.mirrorSelection(); }, true,
                      true, lineRec(10, 10, -10, 10)},
        TransformCase{"RotateMixed", [](SCompEditDoc& d) { return d.rotateSelection(); }, true,
                      true, lineRec(10, 10, 10, 30)},
        TransformCase{"MoveMixed", [](SCompEditDoc& d) { return d.moveSelection(-3, 2); }, true,
                      true, lineRec(7, 12, 27, 12)}),
    [](const testing::TestParamInfo<TransformCase>& info) { return info.param.name; });

TEST(EditSession, DeletingNewObjectsLeavesTheDocumentClean) {
    SCompInfo info = smallComponent();
    SCompEditDoc doc;
    doc.loadComponent(&info);
    doc.nextOpNumber();
    const SPin placed = makePin(SPin::kSideTop, 2);
    const SPtnObjCircle circle(SPoint(0, 0), SPoint(8, 8));
    doc.addPinToSelection(&placed);
    doc.addPatternObjectToSelection(&circle);
    EXPECT_TRUE(doc.selectionHasPin());
    EXPECT_TRUE(doc.deleteSelection());
    EXPECT_FALSE(doc.isDirty());
    EXPECT_FALSE(doc.isSelectionChanged());
    EXPECT_EQ(doc.selectionCount(), 0u);
    EXPECT_EQ(doc.mainCount(), 2u);
}

TEST(EditSession, DeletingCommittedObjectsIsUndoable) {
    SCompInfo info = smallComponent();
    SCompEditDoc doc;
    doc.loadComponent(&info);
    const std::vector<std::string> before = liveRecords(doc);
    doc.nextOpNumber();
    ASSERT_EQ(doc.selectPinByPosition(SPin::kSideLeft, 1), 1);
    ASSERT_EQ(doc.selectPatternObjectsIn(SRect(0, 0, 40, 30)), 1);
    EXPECT_TRUE(doc.deleteSelection());
    EXPECT_TRUE(doc.isDirty());
    EXPECT_TRUE(liveRecords(doc).empty());
    ASSERT_TRUE(doc.undo());
    EXPECT_EQ(liveRecords(doc), before);
}

TEST(EditSession, StoringDropsObjectsOutsideTheMarginUntilUndo) {
    SCompInfo info = makeComponent(2, 2); // body 20 × 20, margin area (-15, -15)-(35, 35)
    info.pattern()->appendObject(std::make_unique<SPtnObjLine>(SPoint(-15, -15), SPoint(35, 35)));
    info.pattern()->appendObject(std::make_unique<SPtnObjLine>(SPoint(50, 50), SPoint(60, 60)));
    info.pattern()->appendObject(std::make_unique<SPtnObjLine>(SPoint(0, 0), SPoint(0, 36)));
    info.addPin(makePin(SPin::kSideRight, 2));

    for (const bool noCheck : {false, true}) {
        SCompInfo target = info;
        SCompEditDoc doc;
        doc.setNoCheckPtnRectOnSave(noCheck);
        doc.loadComponent(&target);
        doc.storeComponent(target);
        EXPECT_EQ(doc.isDirty(), !noCheck);
        EXPECT_EQ(target.pattern()->objectCount(), noCheck ? 3 : 1);
        EXPECT_EQ(target.pinCount(), 1);
        EXPECT_EQ(liveRecords(doc).size(), noCheck ? 4u : 2u);
        if (!noCheck) {
            EXPECT_EQ(recordOf(*target.pattern()->object(0)), lineRec(-15, -15, 35, 35));
            ASSERT_TRUE(doc.undo());
            EXPECT_EQ(liveRecords(doc).size(), 4u);
            doc.setNoCheckPtnRectOnSave(true);
            doc.storeComponent(target);
            EXPECT_EQ(target.pattern()->objectCount(), 3);
        }
    }
}

TEST(EditSession, StoreWritesLiveObjectsBackInMainListOrder) {
    SCompInfo info = smallComponent();
    info.setBlockCount(2);
    SCompEditDoc doc;
    doc.loadComponent(&info);
    EXPECT_EQ(doc.blockCount(), 2);
    EXPECT_EQ(doc.size(), SSize(4, 3));

    doc.nextOpNumber();
    doc.selectPinByPosition(SPin::kSideLeft, 1);
    doc.deleteSelection();
    doc.nextOpNumber();
    SPin added = makePin(SPin::kSideBottom, 3, "Q", 2);
    added.setNumber(0, "7");
    added.setNumber(1, "8");
    doc.addPinToSelection(&added);
    const SPtnObjArc arc(SPoint(20, 15), 5, 0, 0);
    doc.addPatternObjectToSelection(&arc);
    // The definition is untouched until the document stores into it.
    EXPECT_EQ(info.pinCount(), 1);

    doc.storeComponent(info);
    EXPECT_EQ(doc.selectionCount(), 0u);
    EXPECT_EQ(storedRecords(info),
              (std::vector<std::string>{"+PIN,N:Q,L:B3,T:,M:7,M:8,-PIN", lineRec(10, 10, 30, 10),
                                        "+AR,W:1,S:0,X:20,Y:15,R:5,B:0,E:0,-AR"}));
    EXPECT_EQ(info.blockCount(), 2);
    EXPECT_EQ(info.size(), SSize(4, 3));
    EXPECT_FALSE(info.pattern()->hasBitPattern());
}

// Definitions read from one pattern share it; storing an edit into one leaves the others alone.
TEST(EditSession, StoringIntoASharedPatternLeavesTheOthersAlone) {
    SCompInfo first = smallComponent();
    auto shared = std::make_shared<SPtn>(*first.pattern());
    first.sharePattern(shared);
    SCompInfo second = smallComponent();
    second.sharePattern(shared);
    SCompEditDoc doc;
    doc.loadComponent(&first);
    doc.nextOpNumber();
    const SPtnObjArc arc(SPoint(20, 15), 5, 0, 0);
    doc.addPatternObjectToSelection(&arc);
    doc.storeComponent(first);
    EXPECT_EQ(first.pattern()->objectCount(), 2);
    EXPECT_EQ(std::as_const(second).pattern(), shared.get());
    EXPECT_EQ(shared->objectCount(), 1);
}

TEST(EditSession, InvalidObjectsAreDroppedOnRelease) {
    SCompInfo info = makeComponent(4, 4);
    info.pattern()->appendObject(
        std::make_unique<SPtnObjPolygon>(std::vector<SPoint>{{0, 0}, {10, 0}, {10, 10}}));
    SCompEditDoc doc;
    doc.loadComponent(&info);

    // New objects that are not worth keeping never reach the main list.
    doc.nextOpNumber();
    const SPtnObjPolygon point({{5, 5}, {5, 5}});
    const SPtnObjCircle flat(SPoint(3, 3), SPoint(3, 3));
    const SPtnObjArc noRadius(SPoint(3, 3), 0, 0, 0);
    const SPtnObjText noText;
    const SPtnObjLine kept(SPoint(20, 20), SPoint(30, 30));
    for (const SPtnObj* object :
         std::vector<const SPtnObj*>{&point, &flat, &noRadius, &noText, &kept})
        doc.addPatternObjectToSelection(object);
    doc.releaseSelection();
    EXPECT_EQ(liveRecords(doc).size(), 2u);
    EXPECT_EQ(liveRecords(doc).back(), lineRec(20, 20, 30, 30));

    // A committed polygon collapsed by node dragging goes too; Undo brings it back.
    doc.nextOpNumber();
    ASSERT_EQ(doc.selectPatternObjectsIn(SRect(-1, -1, 11, 11)), 1);
    SPtnObj* polygon = doc.selectionElement(0).patternObject();
    polygon->setNode(1, 0, 0);
    polygon->setNode(2, 0, 0);
    doc.markSelectionChanged();
    doc.releaseSelection();
    EXPECT_EQ(liveRecords(doc), (std::vector<std::string>{lineRec(20, 20, 30, 30)}));
    ASSERT_TRUE(doc.undo());
    EXPECT_EQ(liveRecords(doc).front(), "+PG,W:1,S:0,F:-1,N:3,X:0,Y:0,X:10,Y:0,X:10,Y:10,-PG");
}

// An object placed and taken out again under one operation number is gone after its Undo,
// not brought back to life.
TEST(EditSession, UndoRemovesWhatItsOperationPlacedEvenIfTakenOutAgain) {
    SCompInfo info = smallComponent();
    SCompEditDoc doc;
    doc.loadComponent(&info);
    doc.nextOpNumber();
    const SPtnObjLine drawn(SPoint(0, 25), SPoint(5, 25));
    doc.addPatternObjectToSelection(&drawn);
    doc.releaseSelection();
    ASSERT_EQ(doc.selectPatternObjectsIn(SRect(-1, 24, 6, 26)), 1); // same operation number
    doc.deleteSelection();
    ASSERT_TRUE(doc.undo());
    EXPECT_EQ(liveRecords(doc).size(), 2u);
    EXPECT_EQ(doc.mainCount(), 2u);
}

TEST(EditSession, SelectingMoreKeepsChangesAlreadyInTheSelection) {
    SCompInfo info = smallComponent();
    SCompEditDoc doc;
    doc.loadComponent(&info);
    doc.nextOpNumber();
    const SPtnObjLine drawn(SPoint(0, 25), SPoint(5, 25));
    doc.addPatternObjectToSelection(&drawn);
    doc.nextOpNumber();
    ASSERT_EQ(doc.selectPatternObjectsIn(SRect(5, 5, 35, 15)), 1);
    EXPECT_TRUE(doc.isSelectionChanged());
    doc.releaseSelection();
    const std::vector<std::string> live = liveRecords(doc);
    EXPECT_EQ(live.size(), 3u);
    EXPECT_NE(std::find(live.begin(), live.end(), lineRec(0, 25, 5, 25)), live.end());
}

} // namespace
