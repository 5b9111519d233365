#include "EditTestSupport.h"

#include "edit/SEditClipboardText.h"
#include "model/SPtnObjCircle.h"
#include "model/SPtnObjLine.h"
#include "model/SPtnObjPolygon.h"
#include "model/SPtnObjText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Format = SEditClipboardText::Format;

// A 10 × 8 component with two pins and a line, a circle and a text.
SCompInfo richComponent() {
    SCompInfo info = makeComponent(10, 8);
    info.setBlockCount(2);
    SPin a = makePin(SPin::kSideLeft, 2, "CLK", 2);
    a.setNumber(0, "1");
    a.setNumber(1, "9");
    a.setTypeFlags(SPin::kFlagClock | SPin::kFlagNegation);
    info.addPin(a);
    info.addPin(makePin(SPin::kSideRight, 3, "Q", 2));
    info.pattern()->appendObject(std::make_unique<SPtnObjLine>(SPoint(20, 30), SPoint(40, 30)));
    info.pattern()->appendObject(std::make_unique<SPtnObjCircle>(SPoint(30, 10), SPoint(50, 25)));
    auto text = std::make_unique<SPtnObjText>();
    text->setPosition(SPoint(60, 70));
    text->setText("AB");
    info.pattern()->appendObject(std::move(text));
    return info;
}

TEST(EditClipboard, SinglePinGivesThePinFormat) {
    SCompInfo info = richComponent();
    SCompEditDoc doc;
    doc.loadComponent(&info);
    FakeClipboard clipboard;
    EXPECT_FALSE(doc.copySelectionToClipboard(clipboard));
    EXPECT_FALSE(clipboard.hasText);

    doc.nextOpNumber();
    ASSERT_EQ(doc.selectPinByPosition(SPin::kSideLeft, 2), 1);
    ASSERT_TRUE(doc.copySelectionToClipboard(clipboard));
    EXPECT_EQ(clipboard.content,
              "+PELM_PIN_V.1.0\n+PIN,N:CLK,L:L2,T:NC,M:1,M:9,-PIN\n-PELM_PIN_V.1.0\n");
    EXPECT_TRUE(SEditClipboardText::canPaste(clipboard));

    // Pasted into another component it becomes a floating pin with that component's blocks.
    SCompInfo other = makeComponent(3, 3);
    SCompEditDoc target;
    target.loadComponent(&other);
    SCompEditDoc::PasteResult pasted = target.paste(clipboard, SPoint(0, 0));
    EXPECT_EQ(pasted.format, Format::Pin);
    ASSERT_NE(pasted.floatingPin, nullptr);
    EXPECT_EQ(recordOf(*pasted.floatingPin), "+PIN,N:CLK,L:L2,T:NC,M:1,-PIN");
    EXPECT_EQ(target.opNumber(), 0); // nothing placed until the view drops it
}

TEST(EditClipboard, MixedAndMultiplePinSelectionsGiveThePatternFormat) {
    SCompInfo info = richComponent();
    SCompEditDoc doc;
    doc.loadComponent(&info);
    FakeClipboard clipboard;

    doc.nextOpNumber();
    doc.selectPinByPosition(SPin::kSideLeft, 2);
    doc.selectPatternObjectsIn(SRect(15, 25, 45, 35)); // the line
    ASSERT_TRUE(doc.copySelectionToClipboard(clipboard));
    // Origin (-11, 15): the pin's hit rectangle widens the selection.
    EXPECT_EQ(clipboard.content,
              "+PELM_PTN_V.1.0\n+L,W:1,S:0,X:31,Y:15,X:51,Y:15,-L\n-PELM_PTN_V.1.0\n");

    doc.releaseSelection();
    doc.nextOpNumber();
    doc.selectPinByPosition(SPin::kSideLeft, 2);
    doc.selectMainElement(1); // the second pin
    ASSERT_TRUE(doc.copySelectionToClipboard(clipboard));
    EXPECT_EQ(clipboard.content, "+PELM_PTN_V.1.0\n-PELM_PTN_V.1.0\n");
}

TEST(EditClipboard, PatternRoundTripKeepsRelativePositionsAndUndoesInOneStep) {
    SCompInfo info = richComponent();
    SCompEditDoc doc;
    doc.loadComponent(&info);
    doc.nextOpNumber();
    ASSERT_EQ(doc.selectPatternObjectsIn(SRect(0, 0, 100, 80)), 3);
    const SRect copied = doc.selectionRect();
    FakeClipboard clipboard;
    ASSERT_TRUE(doc.copySelectionToClipboard(clipboard));

    SCompInfo other = makeComponent(20, 20);
    other.pattern()->appendObject(std::make_unique<SPtnObjLine>(SPoint(0, 0), SPoint(5, 0)));
    SCompEditDoc target;
    target.loadComponent(&other);
    const SPoint origin = SEditClipboardText::pasteOrigin(SPoint(200, 100), 2);
    SCompEditDoc::PasteResult pasted = target.paste(clipboard, origin);
    EXPECT_EQ(pasted.format, Format::Pattern);
    ASSERT_EQ(pasted.objectCount, 3);
    EXPECT_EQ(target.opNumber(), 1);

    // The group's corner lands on the paste origin; each object keeps its place in the group.
    EXPECT_EQ(target.selectionRect(), SRect(100, 50, 100 + copied.width(), 50 + copied.height()));
    const SPoint shift = origin - copied.topLeft();
    for (size_t i = 0; i < target.selectionCount(); ++i) {
        auto expected = doc.selectionElement(i).patternObject()->duplicate();
        expected->move(shift.x, shift.y);
        EXPECT_EQ(recordOf(*target.selectionElement(i).patternObject()), recordOf(*expected));
    }

    target.releaseSelection();
    EXPECT_EQ(liveRecords(target).size(), 4u);
    ASSERT_TRUE(target.undo());
    EXPECT_EQ(liveRecords(target), (std::vector<std::string>{"+L,W:1,S:0,X:0,Y:0,X:5,Y:0,-L"}));
}

TEST(EditClipboard, PasteOriginIsClampedToTheBody) {
    struct Case {
        SPoint scroll;
        int32_t zoom;
        SPoint origin;
    };
    for (const Case& c : {Case{{-30, 40}, 2, {0, 20}}, Case{{25, -1}, 4, {6, 0}},
                          Case{{-400, -400}, 1, {0, 0}}, Case{{17, 9}, 0, {17, 9}}}) {
        EXPECT_EQ(SEditClipboardText::pasteOrigin(c.scroll, c.zoom), c.origin);
    }
}

TEST(EditClipboard, AvailabilityNeedsMoreThanThirtyBytesAndAMagic) {
    struct Case {
        std::string text;
        Format format;
    };
    const std::string pin30 = "+PELM_PIN_V.1.0\n-PELM_PIN_V.1\n";
    ASSERT_EQ(pin30.size(), 30u);
    for (const Case& c : {Case{pin30, Format::None}, Case{pin30 + "\n", Format::Pin},
                          Case{"+PELM_PTN_V.1.0\n-PELM_PTN_V.1.0\n", Format::Pattern},
                          Case{"+PELM_PTN_V.1.0", Format::None},
                          Case{"+PELM_XYZ_V.1.0\n-PELM_XYZ_V.1.0\n", Format::None},
                          Case{" +PELM_PTN_V.1.0\n-PELM_PTN_V.1.0\n", Format::None}}) {
        EXPECT_EQ(SEditClipboardText::formatOf(c.text), c.format) << c.text;
        FakeClipboard clipboard;
        clipboard.putText(c.text);
        EXPECT_EQ(SEditClipboardText::canPaste(clipboard), c.format != Format::None);
    }
    EXPECT_FALSE(SEditClipboardText::canPaste(FakeClipboard()));

    // A refused text pastes nothing and takes no operation number.
    SCompInfo info = makeComponent(4, 4);
    SCompEditDoc doc;
    doc.loadComponent(&info);
    FakeClipboard shortText;
    shortText.putText("+PELM_PTN_V.1.0,+L,X:1,-L");
    EXPECT_EQ(doc.paste(shortText, SPoint()).format, Format::None);
    EXPECT_EQ(doc.opNumber(), 0);
}

struct PatternTextCase {
    const char* name;
    std::string body;
    std::vector<std::string> pasted;
};

class PastePatternText : public testing::TestWithParam<PatternTextCase> {};

TEST_P(PastePatternText, ReadsWhatItCan) {
    const PatternTextCase& c = GetParam();
    SCompInfo info = makeComponent(10, 10);
    SCompEditDoc doc;
    doc.loadComponent(&info);
    EXPECT_EQ(doc.pastePatternObjects("+PELM_PTN_V.1.0\n" + c.body, SPoint(100, 0)),
              static_cast<int32_t>(c.pasted.size()));
    EXPECT_EQ(selectionRecords(doc), c.pasted);
    EXPECT_EQ(doc.opNumber(), 1);
}

const std::string kLine = "+L,W:1,S:0,X:0,Y:0,X:10,Y:0,-L\n";
const std::string kLinePasted = "+L,W:1,S:0,X:100,Y:0,X:110,Y:0,-L";

INSTANTIATE_TEST_SUITE_P(
    EditClipboard, PastePatternText,
    testing::Values(PatternTextCase{"UnknownSectionSkipped",
                                    "+XYZ,A:1,+L,X:5,-L,-XYZ\n" + kLine + "-PELM_PTN_V.1.0\n",
                                    {kLinePasted}},
                    PatternTextCase{"UnknownSectionWithoutEndKeepsEarlier",
                                    kLine + "+XYZ,A:1\n" + kLine + "-PELM_PTN_V.1.0\n",
                                    {kLinePasted}},
                    PatternTextCase{"FailedObjectDropped",
                                    "+PG,N:40,X:1,Y:1,-PG\n+TX,X:1,Y:1,-TX\n" + kLine +
                                        "-PELM_PTN_V.1.0\n",
                                    {kLinePasted}},
                    PatternTextCase{"StrayWordsIgnored",
                                    "junk,N:3\n" + kLine + "-PELM_PTN_V.1.0\n",
                                    {kLinePasted}},
                    PatternTextCase{"ClosingWordEndsThePaste", "-PELM_PTN_V.1.0\n" + kLine, {}},
                    PatternTextCase{"NoObjects", "-PELM_PTN_V.1.0\n", {}},
                    PatternTextCase{"CutOffAfterAnObject", kLine, {kLinePasted}}),
    [](const testing::TestParamInfo<PatternTextCase>& info) { return info.param.name; });

TEST(EditClipboard, PinTextsThatDoNotReadLeaveNoFloatingPin) {
    struct Case {
        std::string text;
        std::string pin; // empty: no pin
    };
    for (const Case& c :
         {Case{"+PELM_PIN_V.1.0\n+OLD,+PIN,-OLD\n+PIN,N:X,L:T4,-PIN\n-PELM_PIN_V.1.0\n",
               "+PIN,N:X,L:T4,T:,M:,-PIN"},
          Case{"+PELM_PIN_V.1.0\n+PIN,N:X,L:T4,-PTN\n-PELM_PIN_V.1.0\n", ""},
          Case{"+PELM_PIN_V.1.0\n+OLD,N:Y\n+PIN,N:X,L:T4,-PIN\n", ""},
          Case{"+PELM_PTN_V.1.0\n+PIN,N:X,L:T4,-PIN\n-PELM_PTN_V.1.0\n", ""}}) {
        std::unique_ptr<SPin> pin = SEditClipboardText::readPin(c.text, 1);
        EXPECT_EQ(pin ? recordOf(*pin) : std::string(), c.pin) << c.text;
    }
}

TEST(EditClipboard, EmptyPasteTakesAnOperationThatUndoSkips) {
    SCompInfo info = makeComponent(4, 4);
    info.pattern()->appendObject(std::make_unique<SPtnObjLine>(SPoint(1, 1), SPoint(2, 2)));
    SCompEditDoc doc;
    doc.loadComponent(&info);
    doc.nextOpNumber();
    doc.selectPatternObjectsIn(SRect(0, 0, 40, 40));
    doc.deleteSelection();
    ASSERT_EQ(doc.pastePatternObjects("+PELM_PTN_V.1.0\n-PELM_PTN_V.1.0\n", SPoint()), 0);
    EXPECT_EQ(doc.opNumber(), 2);
    ASSERT_TRUE(doc.undo()); // skips the empty paste, restores the deleted line
    EXPECT_EQ(liveRecords(doc).size(), 1u);
    EXPECT_EQ(doc.opNumber(), 0);
}

TEST(EditClipboard, PatternObjectsAreNotPastedIntoAComponentWithoutPattern) {
    SCompInfo info = makeComponent(4, 4, false);
    SCompEditDoc doc;
    doc.loadComponent(&info);
    FakeClipboard clipboard;
    clipboard.putText("+PELM_PTN_V.1.0\n" + kLine + "-PELM_PTN_V.1.0\n");
    const SCompEditDoc::PasteResult pasted = doc.paste(clipboard, SPoint());
    EXPECT_EQ(pasted.format, Format::None);
    EXPECT_EQ(doc.selectionCount(), 0u);
    EXPECT_EQ(doc.opNumber(), 0);
}

} // namespace
