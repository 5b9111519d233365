#include "geom/SSegmentProximity.h"
#include "geom/SViewGeometry.h"

#include <gtest/gtest.h>

namespace {

using Axis = SViewGeometry::Axis;
using Code = SViewGeometry::ScrollCode;

// A 4 × 3 component in a 400 × 300 client.
SViewGeometry view(int32_t step, SSize client = {400, 300}) {
    SViewGeometry g;
    g.setZoomStep(step);
    g.setContent(SSize(4, 3));
    g.resize(client);
    return g;
}

TEST(ViewGeometry, MarginIsHeld) {
    SViewGeometry g;
    const std::pair<int32_t, int32_t> cases[] = {{30, 50}, {500, 200}, {120, 120}};
    for (const auto& [in, out] : cases) {
        g.setMargin(in);
        EXPECT_EQ(g.margin(), out) << in;
    }
}

TEST(ViewGeometry, ExtentPerZoom) {
    const std::pair<int32_t, SSize> cases[] = {
        {0, {140, 130}}, {1, {280, 260}}, {2, {700, 650}}, {3, {1400, 1300}}};
    for (const auto& [step, extent] : cases)
        EXPECT_EQ(view(step).extent(), extent) << step;
    SViewGeometry none;
    none.setContent(std::nullopt);
    EXPECT_EQ(none.extent(), SSize(110, 110));
}

TEST(ViewGeometry, SmallContentIsCentredMarginsIncluded) {
    const SViewGeometry g = view(0);
    EXPECT_EQ(g.position(Axis::X), 0);
    EXPECT_EQ(g.position(Axis::Y), 0);
    // (client - extent) / 2 + margin pixels before model 0.
    EXPECT_EQ(g.toDevice(SPoint(0, 0)), SPoint((400 - 140) / 2 + 50, (300 - 130) / 2 + 50));
}

TEST(ViewGeometry, LargeContentKeepsPositionHeldToRange) {
    SViewGeometry g = view(3);
    EXPECT_EQ(g.scrollMax(Axis::X), 1000);
    g.scroll(Axis::X, Code::Thumb, 900);
    EXPECT_EQ(g.scrollOffset().x, 900 - 500);
    g.resize(SSize(800, 300)); // the position is held to extent - client
    EXPECT_EQ(g.position(Axis::X), 600);
    EXPECT_EQ(g.scrollOffset().x, 100);
}

TEST(ViewGeometry, StepsAreHeldThumbIsNot) {
    SViewGeometry g = view(3);
    const struct {
        Code code;
        int32_t thumb;
        int32_t position;
    } steps[] = {{Code::Thumb, 0, 0},       {Code::LineUp, 0, 0},    {Code::LineDown, 0, 20},
                 {Code::PageDown, 0, 120},  {Code::Thumb, 995, 995}, {Code::PageDown, 0, 1000},
                 {Code::Thumb, 1100, 1100}, {Code::PageUp, 0, 1000}};
    for (const auto& s : steps) {
        g.scroll(Axis::X, s.code, s.thumb);
        EXPECT_EQ(g.position(Axis::X), s.position);
        EXPECT_EQ(g.scrollOffset().x, s.position - 500);
    }
}

TEST(ViewGeometry, ScrollToPointPutsTheModelPointThere) {
    SViewGeometry g = view(3);
    g.scrollToPoint(SPoint(100, 80), SPoint(20, 15));
    EXPECT_EQ(g.toDevice(SPoint(20, 15)), SPoint(100, 80));
    EXPECT_EQ(g.toModel(SPoint(100, 80)), SPoint(20, 15));
    g.scrollToPoint(SPoint(0, 0), SPoint(-1000, -1000)); // held to the range
    EXPECT_EQ(g.position(Axis::X), 0);
}

TEST(ViewGeometry, ZoomAboutAPoint) {
    SViewGeometry g = view(1);
    const SPoint device(210, 140);
    const SPoint model = g.toModel(device);
    g.setZoomStep(3);
    g.setContent(SSize(4, 3));
    g.scrollToPoint(device, model);
    EXPECT_EQ(g.toModel(device), model);
}

TEST(ViewGeometry, WheelRemainders) {
    SViewGeometry g;
    EXPECT_EQ(g.wheelZoomSteps(60), 0);
    EXPECT_EQ(g.wheelZoomSteps(60), 1);
    EXPECT_EQ(g.wheelZoomSteps(-119), 0);
    EXPECT_EQ(g.wheelZoomSteps(-1), -1);
    EXPECT_EQ(g.wheelScrollSteps(360), 3);
    EXPECT_EQ(g.wheelScrollSteps(-60), 0); // separate remainders
    EXPECT_EQ(g.wheelZoomSteps(0), 0);
}

TEST(ViewGeometry, HostileSizesDoNotOverflow) {
    SViewGeometry g;
    g.setZoomStep(3);
    g.setContent(SSize(INT32_MAX, INT32_MAX));
    g.resize(SSize(100, 100));
    EXPECT_GT(g.extent().width, 0);
    EXPECT_GE(g.scrollMax(Axis::X), 0);
}

TEST(SegmentProximity, Table) {
    const struct {
        SPoint p, a, b;
        std::optional<SPoint> foot;
    } cases[] = {
        {{5, 1}, {0, 0}, {10, 0}, SPoint(5, 0)},    // horizontal, within 1
        {{5, 2}, {0, 0}, {10, 0}, std::nullopt},    // too far
        {{11, 0}, {0, 0}, {10, 0}, std::nullopt},   // beyond the end
        {{1, 4}, {0, 0}, {0, 10}, SPoint(0, 4)},    // vertical
        {{0, 10}, {0, 0}, {0, 10}, SPoint(0, 10)},  // end included
        {{5, 6}, {0, 0}, {10, 10}, SPoint(5, 5)},   // diagonal, distance 0.7
        {{5, 8}, {0, 0}, {10, 10}, std::nullopt},   // diagonal, distance 2.1
        {{12, 12}, {0, 0}, {10, 10}, std::nullopt}, // foot beyond the end
    };
    for (const auto& c : cases)
        EXPECT_EQ(SSegmentProximity::test(c.p, c.a, c.b, 1), c.foot) << c.p.x << "," << c.p.y;
}

} // namespace
