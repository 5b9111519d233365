#include "edit/SPinGeometry.h"
#include "edit/nextSequenceText.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace {

constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
constexpr int32_t kMax = std::numeric_limits<int32_t>::max();

struct PositionCase {
    SPoint point;
    int32_t side;
    int32_t offset;
};

class PinPositionFromPoint : public testing::TestWithParam<PositionCase> {};

// Body of 4 × 3 grid steps: (0, 0) to (40, 30).
TEST_P(PinPositionFromPoint, NearestEdgeAndGridStep) {
    const PositionCase& c = GetParam();
    const SPinPosition p = SPinGeometry::pinPositionFromPoint(SSize(4, 3), c.point);
    EXPECT_EQ(p.side, c.side) << c.point.x << "," << c.point.y;
    EXPECT_EQ(p.offset, c.offset) << c.point.x << "," << c.point.y;
}

INSTANTIATE_TEST_SUITE_P(
    EditSession, PinPositionFromPoint,
    testing::Values(
        // Inside the body: the nearest edge.
        PositionCase{{2, 15}, 0, 2}, PositionCase{{20, 2}, 1, 2}, PositionCase{{38, 15}, 2, 2},
        PositionCase{{20, 28}, 3, 2},
        // Outside along each edge, rounded to the nearest step.
        PositionCase{{-5, 14}, 0, 1}, PositionCase{{-1, 15}, 0, 2}, PositionCase{{24, -7}, 1, 2},
        PositionCase{{25, -7}, 1, 3}, PositionCase{{47, 26}, 2, 3}, PositionCase{{36, 40}, 3, 4},
        // Corner regions: the edge the point is further beyond, clamped to the body.
        PositionCase{{-3, -8}, 1, 0}, PositionCase{{-8, -3}, 0, 0}, PositionCase{{45, -2}, 2, 0},
        PositionCase{{42, -9}, 1, 4}, PositionCase{{-9, 33}, 0, 3}, PositionCase{{-2, 39}, 3, 0},
        PositionCase{{48, 34}, 2, 3}, PositionCase{{43, 39}, 3, 4},
        // Far away, without overflow.
        PositionCase{{kMin, kMin}, 1, 0}, PositionCase{{kMax, kMax}, 3, 4},
        PositionCase{{kMin, 20}, 0, 2}, PositionCase{{kMax, 20}, 2, 2}));

struct SequenceCase {
    const char* text;
    const char* next;
};

class NextSequenceText : public testing::TestWithParam<SequenceCase> {};

TEST_P(NextSequenceText, CountsTheTrailingNumberUp) {
    EXPECT_EQ(nextSequenceText(GetParam().text), GetParam().next);
}

INSTANTIATE_TEST_SUITE_P(
    EditSession, NextSequenceText,
    testing::Values(SequenceCase{"A9", "A10"}, SequenceCase{"D09", "D10"}, SequenceCase{"X", "X1"},
                    SequenceCase{"", "1"}, SequenceCase{"12", "13"}, SequenceCase{"P007", "P8"},
                    SequenceCase{"9", "10"}, SequenceCase{"000", "1"}, SequenceCase{"1A", "1A1"},
                    SequenceCase{"IO2147483647", "IO2147483648"},
                    SequenceCase{"R99999999999999999999", "R100000000000000000000"},
                    SequenceCase{"\x83\x41"
                                 "5",
                                 "\x83\x41"
                                 "6"}));

} // namespace
