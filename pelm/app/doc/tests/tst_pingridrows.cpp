#include "doc/SPinGridRows.h"
#include "edit/SCompEditDoc.h"
#include "model/SCompInfo.h"
#include "model/SPin.h"

#include <gtest/gtest.h>

#include <string>

namespace {

SPin pinAt(int32_t side, int32_t offset) {
    SPin pin;
    pin.setSide(side);
    pin.setOffset(offset);
    return pin;
}

std::string walk(const SPinGridRows& rows) {
    std::string out;
    for (const auto& row : rows.rows())
        out += SPinGridRows::locationText(*row.pin) + (row.selected ? "* " : " ");
    return out;
}

SCompInfo sixPins() {
    SCompInfo info;
    info.setSize(SSize{6, 6}, false, false);
    for (const auto& [side, offset] : {std::pair{SPin::kSideTop, 4},
                                       {SPin::kSideRight, 1},
                                       {SPin::kSideLeft, 3},
                                       {SPin::kSideBottom, 2},
                                       {SPin::kSideRight, 5},
                                       {SPin::kSideLeft, 1}})
        info.addPin(pinAt(side, offset));
    return info;
}

TEST(PinGridRows, RowsWalkCounterClockwiseAndSelectedPinsAreCurrent) {
    SCompInfo info = sixPins();
    SCompEditDoc doc;
    doc.loadComponent(&info);
    SPinGridRows rows;
    rows.rebuild(doc);
    EXPECT_EQ(walk(rows), "L1 L3 B2 R5 R1 T4 ");
    EXPECT_EQ(rows.currentRow(), -1);

    doc.selectPinByPosition(SPin::kSideRight, 1);
    rows.rebuild(doc);
    EXPECT_EQ(walk(rows), "L1 L3 B2 R5 R1* T4 ");
    EXPECT_EQ(rows.currentRow(), 4);
}

TEST(PinGridRows, LayoutRules) {
    SPinGridRows rows;
    EXPECT_EQ(rows.layBlockPart(200), 3 * 66 + 1);
    EXPECT_EQ(rows.layout().visibleBlocks, 3);
    EXPECT_EQ(rows.layout().blockWidth, 66);
    EXPECT_EQ(rows.layBlockPart(50), 51);
    EXPECT_EQ(rows.layout().visibleBlocks, 1);
    EXPECT_EQ(rows.layRows(140), 141);
    EXPECT_EQ(rows.layout().visibleRows, 7);
    EXPECT_EQ(rows.layout().rowHeight, 20);
    EXPECT_EQ(rows.layRows(150), 7 * 21 + 1);
    rows.layFixedPart(300);
    EXPECT_EQ(rows.layout().locationWidth, 32);
    EXPECT_EQ(rows.layout().nameWidth, 300 - 64 - 80);
    rows.layFixedPart(180);
    EXPECT_EQ(rows.layout().hideWidth, 20);
    EXPECT_EQ(rows.layout().fixedWidth(), 180);

    // Cells: location, name, type, hide, then block columns.
    rows.layFixedPart(300);
    rows.layBlockPart(200);
    const struct {
        int32_t x, column;
    } cells[] = {{0, 0},   {31, 0},  {32, 1},  {187, 1}, {188, 2}, {267, 2},
                 {268, 3}, {299, 3}, {300, 4}, {365, 4}, {366, 5}, {500, 7}};
    for (const auto& c : cells)
        EXPECT_EQ(rows.columnAt(c.x), c.column) << c.x;
}

TEST(PinGridRows, ScrollingStaysInRange) {
    SCompInfo info;
    info.setSize(SSize{2, 40}, false, false);
    for (int32_t i = 0; i < 30; ++i)
        info.addPin(pinAt(SPin::kSideLeft, i));
    SCompEditDoc doc;
    doc.loadComponent(&info);
    SPinGridRows rows;
    rows.layRows(140);
    rows.rebuild(doc);
    const struct {
        int32_t value, first;
    } steps[] = {{5, 5}, {-3, 0}, {22, 22}, {23, 23}, {10000, 23}};
    for (const auto& s : steps) {
        rows.setFirstRow(s.value);
        EXPECT_EQ(rows.firstRow(), s.first) << s.value;
    }
    // Selecting a pin far down scrolls it into view at the bottom.
    rows.setFirstRow(0);
    doc.selectPinByPosition(SPin::kSideLeft, 12);
    rows.rebuild(doc);
    EXPECT_EQ(rows.firstRow(), 6);
    EXPECT_EQ(rows.rowAt(125), 12);

    rows.layBlockPart(200);
    rows.setFirstBlock(1, 3);
    EXPECT_EQ(rows.firstBlock(), 0); // three blocks fit: no scrolling
    rows.setFirstBlock(10000, 8);
    EXPECT_EQ(rows.firstBlock(), 5);
}

TEST(PinGridRows, TypeCodesAndListPlaces) {
    const uint32_t codes[] = {0, 8, 4, 12, 1, 2};
    for (int32_t i = 0; i < SPinGridRows::kTypeCount; ++i) {
        EXPECT_EQ(SPinGridRows::typeCode(i), codes[i]);
        EXPECT_EQ(SPinGridRows::typeIndex(codes[i] | SPin::kFlagNumberHidden), i);
    }
    EXPECT_EQ(SPinGridRows::typeIndex(3), 0);
}

} // namespace
