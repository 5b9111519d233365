// Pin positions, pin sides, text areas, hit tests, tag extent, entry normalisation, dash curves
// and the point operations, including coordinates at the ends of the 32-bit range.
#include "ObjTestUtil.h"
#include "model/SCompInfo.h"
#include "schematic/SXKorvComponent.h"
#include "schematic/SXKorvDash.h"
#include "schematic/SXKorvEntry.h"
#include "schematic/SXKorvJunc.h"
#include "schematic/SXKorvLine.h"
#include "schematic/SXKorvTag.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

// A 4 x 3 part with one pin per side (left 1, top 2, right 0, bottom 3) plus a zero-length pin.
std::string componentText(int32_t dir, const char* extraPins = "") {
    return std::string("+COMPONENT,+KORVX_LIB_V.1.0,+COMP,N:P,X:4,Y:3,B:1,") +
           "+PIN,N:a,L:L1,M:1,-PIN,+PIN,N:b,L:T2,M:2,-PIN,+PIN,N:c,L:R0,M:3,-PIN," +
           "+PIN,N:d,L:B3,M:4,-PIN," + extraPins + "-COMP,-KORVX_LIB_V.1.0,X:100,Y:100,LIB:P," +
           "DIR:" + std::to_string(dir) + ",-COMPONENT";
}

} // namespace

TEST(ObjectGeometry, TagExtentFollowsTextLength) {
    const struct {
        size_t bytes;
        int32_t extent;
    } table[] = {{0, 20}, {1, 20}, {2, 30}, {7, 80}, {8, 80}, {12, 120}, {13, 130}, {20, 180}};
    for (const auto& t : table)
        EXPECT_EQ(SXKorvTag::extentFor(t.bytes), t.extent) << t.bytes;

    auto h = objtest::readAs<SXKorvTag>("+TAG,X:100,Y:200,D:1,T:1,S:abc,-TAG");
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(h->p2(), SPoint(140, 200));
    EXPECT_TRUE(h->classFlag3());
    auto v = objtest::readAs<SXKorvTag>("+TAG,X:100,Y:200,D:0,T:1,S:abcdefghijklmnopqrst,-TAG");
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->p2(), SPoint(100, 20));
    EXPECT_FALSE(v->classFlag3());
    EXPECT_EQ(v->connectionPointCount(), 2);
    EXPECT_EQ(v->connectionPoint(0), SPoint(100, 200));
    EXPECT_EQ(v->connectionPoint(1), SPoint(100, 20));

    auto edge = objtest::readAs<SXKorvTag>("+TAG,X:2147483640,Y:-2147483648,D:0,T:0,S:a,-TAG");
    ASSERT_NE(edge, nullptr); // wraps instead of overflowing
    EXPECT_EQ(edge->p2().y, 2147483628);
}

TEST(ObjectGeometry, EntriesAreNormalised) {
    const struct {
        const char* ends;
        SPoint p1;
        SPoint p2;
    } cases[] = {
        {"X1:0,Y1:0,X2:10,Y2:10", {10, 10}, {0, 0}},
        {"X1:0,Y1:10,X2:10,Y2:0", {0, 10}, {10, 0}},
        {"X1:0,Y1:10,X2:50,Y2:-70", {0, 10}, {10, 0}},
        {"X1:5,Y1:5,X2:5,Y2:5", {5, 5}, {-5, -5}},
        {"X1:0,Y1:-2147483648,X2:-2147483648,Y2:-2147483648", {0, INT_MIN}, {-10, INT_MAX - 9}},
    };
    for (const char* kind : {"ENTRY", "BENTRY"}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(kind) + " " + c.ends);
            auto e =
                objtest::readAs<SXKorvEntry>(std::string("+") + kind + "," + c.ends + ",-" + kind);
            ASSERT_NE(e, nullptr);
            EXPECT_EQ(e->p1(), c.p1);
            EXPECT_EQ(e->p2(), c.p2);
        }
    }
    SXKorvEntry upside;
    upside.setP1({0, 0});
    upside.setP2({10, 10});
    EXPECT_EQ(objtest::write(upside), "+ENTRY,L:0,X1:10,Y1:10,X2:0,Y2:0,-ENTRY\n");
    EXPECT_EQ(upside.p1(), SPoint(0, 0)); // writing leaves the object alone
}

TEST(ObjectGeometry, DashCurvePoints) {
    auto dash = objtest::readAs<SXKorvDash>(
        "+DASH,X1:0,Y1:0,X2:32,Y2:0,CURV:1,CTX1:0,CTY1:32,CTX2:32,CTY2:32,-DASH");
    ASSERT_NE(dash, nullptr);
    const std::vector<SPoint>& pts = dash->curvePoints();
    ASSERT_EQ(pts.size(), 33u);
    EXPECT_EQ(pts.front(), SPoint(0, 0));
    EXPECT_EQ(pts[16], SPoint(16, 24));
    EXPECT_EQ(pts[8], SPoint(5, 18));
    EXPECT_EQ(pts.back(), SPoint(32, 0));
    EXPECT_EQ(dash->boundingArea(), SRect(0, 0, 32, 24));
    EXPECT_NE(dash->hitTest({16, 24}), 0);
    EXPECT_EQ(dash->hitTest({16, 5}), 0);

    dash->setControl1({0, -32});
    dash->setControl2({32, -32});
    EXPECT_EQ(dash->curvePoints()[16], SPoint(16, -24));
    EXPECT_EQ(dash->boundingArea(), SRect(0, -24, 32, 0));
    dash->moveBy(10, 10);
    EXPECT_EQ(dash->curvePoints()[16], SPoint(26, -14));

    SXKorvDash extreme;
    extreme.setP1({INT_MIN, INT_MIN});
    extreme.setP2({INT_MAX, INT_MAX});
    extreme.setControl1({INT_MAX, INT_MIN});
    extreme.setControl2({INT_MIN, INT_MAX});
    extreme.setCurved(true);
    for (const SPoint& p : extreme.curvePoints()) {
        EXPECT_GE(int64_t{p.x}, INT_MIN);
        EXPECT_LE(int64_t{p.x}, INT_MAX);
    }
    extreme.hitTest({0, 0});
    extreme.boundingArea();
    extreme.areaIntersect({-5, -5, 5, 5});
}

TEST(ObjectGeometry, ComponentPinPositionsMatchTheLibraryPinEnds) {
    for (int32_t dir = 0; dir < 8; ++dir) {
        SCOPED_TRACE(dir);
        auto comp = objtest::readAs<SXKorvComponent>(componentText(dir));
        ASSERT_NE(comp, nullptr);
        ASSERT_EQ(comp->connectionPointCount(), 4);
        for (int32_t i = 0; i < 4; ++i) {
            const auto end = comp->part()->pinEnd(i, dir);
            ASSERT_TRUE(end.has_value());
            EXPECT_EQ(comp->connectionPoint(i), comp->p1() + end->point) << i;
            EXPECT_EQ(comp->placedSide(comp->part()->pinAt(i)->side()), end->side) << i;
        }
    }
    auto comp = objtest::readAs<SXKorvComponent>(componentText(0));
    EXPECT_EQ(comp->pinPosition(0), SPoint(60, 80)); // left edge, 1 step down
    EXPECT_EQ(comp->connectionPoint(0), SPoint(50, 80));
    EXPECT_EQ(comp->pinPosition(4), SPoint(-1, -1));
    EXPECT_EQ(comp->connectionPoint(-1), SPoint(-1, -1));
    EXPECT_EQ(comp->bodyArea(), SRect(60, 70, 100, 100));
    auto turned = objtest::readAs<SXKorvComponent>(componentText(1));
    EXPECT_EQ(turned->bodySize(), SSize(30, 40));
}

TEST(ObjectGeometry, ZeroLengthPinsConnectAtTheBodyAndLeaveTheSideMask) {
    const struct {
        int32_t dir;
        int32_t mask;
    } cases[] = {{0, 0xF}, {1, 0xF}, {4, 0xF}};
    for (const auto& c : cases) {
        auto comp = objtest::readAs<SXKorvComponent>(componentText(c.dir));
        EXPECT_EQ(comp->pinSideMask(), c.mask);
    }
    // Only a left pin and a top pin (the others zero-length).
    const char* onlyTwo = "+COMPONENT,+KORVX_LIB_V.1.0,+COMP,N:P,X:4,Y:3,B:1,"
                          "+PIN,L:L1,-PIN,+PIN,L:T2,-PIN,+PIN,L:R0,T:Z,-PIN,+PIN,L:B3,T:Z,-PIN,"
                          "-COMP,-KORVX_LIB_V.1.0,X:100,Y:100,LIB:P,DIR:%d,-COMPONENT";
    const struct {
        int32_t dir;
        int32_t mask;
    } masks[] = {{0, 0x3}, {1, 0x6}, {2, 0xC}, {3, 0x9}, {4, 0x6}, {5, 0x3}, {6, 0x9}, {7, 0xC}};
    for (const auto& m : masks) {
        SCOPED_TRACE(m.dir);
        char text[400];
        std::snprintf(text, sizeof text, onlyTwo, m.dir);
        auto comp = objtest::readAs<SXKorvComponent>(text);
        ASSERT_NE(comp, nullptr);
        EXPECT_EQ(comp->pinSideMask(), m.mask);
        EXPECT_EQ(comp->connectionPoint(2), comp->pinPosition(2));
        EXPECT_NE(comp->connectionPoint(0), comp->pinPosition(0));
    }
}

TEST(ObjectGeometry, ComponentTextAreasAndHitTest) {
    auto comp = objtest::readAs<SXKorvComponent>(
        "+COMPONENT,X:100,Y:100,LIB:P,N:ABC,NX:2,NY:20,R:U12,RX:2,RY:-30,-COMPONENT");
    ASSERT_NE(comp, nullptr);
    EXPECT_EQ(comp->bodyArea(), SRect(80, 80, 100, 100));
    EXPECT_EQ(comp->valueTextArea(), SRect(102, 110, 126, 120));
    EXPECT_EQ(comp->referenceTextArea(), SRect(102, 60, 126, 70));
    comp->setValueHorizontal(false);
    EXPECT_EQ(comp->valueTextArea(), SRect(92, 96, 102, 120));
    comp->setValueHorizontal(true);
    comp->setValueTextSize({50, 12});
    EXPECT_EQ(comp->valueTextArea(), SRect(102, 108, 152, 120));

    const struct {
        SPoint at;
        int32_t hit;
    } hits[] = {
        {{90, 90}, SXKorvComponent::kHitBody},
        {{100, 100}, SXKorvComponent::kHitBody},
        {{110, 115}, SXKorvComponent::kHitValueText},
        {{110, 65}, SXKorvComponent::kHitReferenceText},
        {{0, 0}, 0},
    };
    for (const auto& h : hits)
        EXPECT_EQ(comp->hitTest(h.at), h.hit) << h.at.x << "," << h.at.y;
    comp->setValueHidden(true);
    comp->setReferenceHidden(true);
    EXPECT_EQ(comp->hitTest({110, 115}), 0);
    EXPECT_EQ(comp->hitTest({110, 65}), 0);

    // Overlapping body and text report both.
    comp->setValueHidden(false);
    comp->setValueOffset({-10, -5});
    EXPECT_EQ(comp->hitTest({95, 94}), SXKorvComponent::kHitBody | SXKorvComponent::kHitValueText);
}

TEST(ObjectGeometry, ExtremeComponentsStayDefined) {
    // Sizes and positions at the ends of the range must not overflow anywhere.
    const char* text = "+COMPONENT,+KORVX_LIB_V.1.0,+COMP,N:P,X:2147483647,Y:2147483647,B:1,"
                       "+PIN,L:L255,-PIN,+PIN,L:B255,-PIN,-COMP,-KORVX_LIB_V.1.0,"
                       "X:-2147483648,Y:2147483647,LIB:P,DIR:%d,NX:2147483647,NY:-2147483648,"
                       "RX:-2147483648,RY:2147483647,-COMPONENT";
    for (int32_t dir = 0; dir < 8; ++dir) {
        char buf[400];
        std::snprintf(buf, sizeof buf, text, dir);
        auto comp = objtest::readAs<SXKorvComponent>(buf);
        ASSERT_NE(comp, nullptr);
        comp->setValue(std::string(40000, 'x'));
        for (int32_t i = 0; i < comp->connectionPointCount(); ++i)
            comp->connectionPoint(i);
        comp->hitTest({0, 0});
        comp->boundingArea();
        comp->areaIntersect({INT_MIN, INT_MIN, INT_MAX, INT_MAX});
        comp->moveBy(INT_MAX, INT_MIN);
        comp->mirror();
        comp->rotate();
        objtest::write(*comp, SPoint{INT_MIN, INT_MAX});
    }
}

TEST(ObjectGeometry, OffsetsWrapAtTheRangeEnds) {
    auto j = objtest::read("+JUNCTION,X:2147483647,Y:-2147483648,-JUNCTION", SPoint{1, -1});
    ASSERT_NE(j, nullptr);
    EXPECT_EQ(j->p1(), SPoint(INT_MIN, INT_MAX));
    EXPECT_EQ(objtest::write(*j, SPoint{1, -1}),
              "+JUNCTION,L:0,X:2147483647,Y:-2147483648,-JUNCTION\n");
}

TEST(ObjectGeometry, PointOperations) {
    SXKorvWire wire;
    wire.setP1({0, 0});
    wire.setP2({100, 0});
    EXPECT_TRUE(wire.isHorizontal());
    EXPECT_FALSE(wire.isVertical());
    EXPECT_FALSE(wire.classFlag3());

    wire.setSelection(SXKorvSelect::kP2Only);
    EXPECT_EQ(wire.p1(), SPoint(100, 0)); // the selected end
    wire.moveBy(0, 50);
    EXPECT_EQ(wire.point(0), SPoint(100, 50));
    EXPECT_EQ(wire.point(1), SPoint(100, 50));
    wire.clearSelection();
    EXPECT_EQ(wire.p1(), SPoint(0, 0));
    EXPECT_TRUE(wire.classFlag3()); // now oblique

    wire.setSelection(SXKorvSelect::kP1Only);
    wire.moveBy(5, 5);
    wire.clearSelection();
    EXPECT_EQ(wire.p1(), SPoint(5, 5));

    wire.mirrorAt(10);
    EXPECT_EQ(wire.p1(), SPoint(15, 5));
    EXPECT_EQ(wire.p2(), SPoint(-80, 50));
    wire.setPoint(0, {0, 0});
    wire.setPoint(1, {20, 0});
    wire.rotateAt({10, 10});
    EXPECT_EQ(wire.p1(), SPoint(20, 0));
    EXPECT_EQ(wire.p2(), SPoint(20, 20));
    wire.rotate(); // about its centre (20, 10)
    EXPECT_EQ(wire.p1(), SPoint(30, 10));
    EXPECT_EQ(wire.p2(), SPoint(10, 10));
    wire.mirror();
    EXPECT_EQ(wire.p1(), SPoint(10, 10));

    EXPECT_EQ(wire.hitTest({10, 10}), 1);
    EXPECT_EQ(wire.hitTest({30, 11}), 2);
    EXPECT_EQ(wire.hitTest({20, 11}), 3);
    EXPECT_EQ(wire.hitTest({20, 14}), 0);
    EXPECT_EQ(wire.areaIntersect({15, 0, 16, 20}), 3);
    EXPECT_EQ(wire.areaIntersect({15, 11, 16, 20}), 0);
    EXPECT_TRUE(wire.areaContains({0, 0, 40, 40}));
    EXPECT_FALSE(wire.areaContains({0, 0, 20, 20}));

    SXKorvJunc junc;
    junc.setP1({3, 4});
    EXPECT_EQ(junc.boundingArea(), SRect(3, 4, 3, 4));
    EXPECT_EQ(junc.connectionPoint(0), SPoint(-1, -1));
    EXPECT_EQ(SXKorvWire().boundingArea(), SRect(-1, -1, 0, 0));
}
