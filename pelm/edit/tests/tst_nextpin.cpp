#include "EditTestSupport.h"
#include "edit/nextSequenceText.h"
#include "model/SPtnObjLine.h"

#include <gtest/gtest.h>

namespace {

// Two pins and a line; main-list order is pins first, then pattern objects.
SCompInfo component(int32_t blocks) {
    SCompInfo info = makeComponent(4, 4);
    info.setBlockCount(blocks);
    info.addPin(makePin(SPin::kSideLeft, 1, "IN", blocks));
    info.addPin(makePin(SPin::kSideRight, 1, "OUT", blocks));
    info.pattern()->appendObject(std::make_unique<SPtnObjLine>(SPoint(0, 0), SPoint(10, 0)));
    return info;
}

struct Availability {
    const char* what;
    int32_t blocks;
    std::vector<size_t> selected; // main-list indexes
    bool number;
    bool name;
};

class NextPinAvailability : public testing::TestWithParam<Availability> {};

TEST_P(NextPinAvailability, FollowsTheSelection) {
    const Availability& c = GetParam();
    SCompInfo info = component(c.blocks);
    SCompEditDoc doc;
    doc.loadComponent(&info);
    for (const size_t index : c.selected)
        ASSERT_TRUE(doc.selectMainElement(index)) << c.what;
    EXPECT_EQ(doc.canNextPinNumber(), c.number) << c.what;
    EXPECT_EQ(doc.canNextPinName(), c.name) << c.what;
    EXPECT_EQ(doc.nextPinNumber(), c.number) << c.what;
    EXPECT_EQ(doc.nextPinName(), c.name) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Commands, NextPinAvailability,
    testing::Values(Availability{"nothing selected", 1, {}, false, false},
                    Availability{"one single-block pin", 1, {0}, true, true},
                    Availability{"one pin of a 4-block part", 4, {0}, false, true},
                    Availability{"two pins", 1, {0, 1}, false, false},
                    Availability{"a pattern object", 1, {2}, false, false},
                    Availability{"a pin and a pattern object", 1, {0, 2}, false, false}));

TEST(NextPin, NumbersAndNamesCountOnFromTheLastOnes) {
    SCompInfo info = component(1);
    SCompEditDoc doc;
    doc.loadComponent(&info);
    doc.setLastPinNumber("A7");
    doc.setLastPinName("D9");

    ASSERT_TRUE(doc.selectMainElement(0));
    ASSERT_TRUE(doc.nextPinNumber());
    ASSERT_TRUE(doc.nextPinName());
    EXPECT_EQ(doc.lastPinNumber(), nextSequenceText("A7"));
    EXPECT_EQ(doc.lastPinName(), nextSequenceText("D9"));
    ASSERT_EQ(doc.selectionCount(), 1u);
    const SPin* pin = doc.selectionElement(0).pin();
    ASSERT_NE(pin, nullptr);
    EXPECT_EQ(pin->number(0), doc.lastPinNumber());
    EXPECT_EQ(pin->name(), doc.lastPinName());

    // The next pin continues the sequence.
    ASSERT_TRUE(doc.releaseSelection());
    ASSERT_TRUE(doc.selectMainElement(1));
    ASSERT_TRUE(doc.nextPinNumber());
    EXPECT_EQ(doc.lastPinNumber(), nextSequenceText(nextSequenceText("A7")));
    ASSERT_TRUE(doc.releaseSelection());
    doc.storeComponent(info);
    EXPECT_EQ(info.pinCount(), 2);
    EXPECT_EQ(info.pinAt(1)->number(0), doc.lastPinNumber());
}

} // namespace
