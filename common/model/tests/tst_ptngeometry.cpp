#include "model/SPtnObjArc.h"
#include "model/SPtnObjCircle.h"
#include "model/SPtnObjLine.h"
#include "model/SPtnObjPolygon.h"
#include "model/SPtnObjText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

namespace {

struct HitCase {
    SPoint p;
    bool hit;
};

void checkHits(const SPtnObj& object, const std::vector<HitCase>& cases) {
    for (const HitCase& c : cases)
        EXPECT_EQ(object.hitTest(c.p), c.hit) << "(" << c.p.x << ", " << c.p.y << ")";
}

std::vector<SPoint> nodesOf(const SPtnObj& o) {
    std::vector<SPoint> v;
    for (int32_t i = 0; i < o.nodeCount(); ++i)
        v.push_back(o.node(i));
    return v;
}

TEST(PtnGeometry, PointTransforms) {
    EXPECT_EQ(SPtnObj::rotatePoint({10, 0}, {0, 0}), SPoint(0, 10));
    EXPECT_EQ(SPtnObj::rotatePoint({3, 4}, {1, 1}), SPoint(-2, 3));
    EXPECT_EQ(SPtnObj::mirrorPoint({2, 7}, 5), SPoint(8, 7));
    for (const int32_t a : {0, 1, 5759, 5760, 5761, -1, -5760, INT32_MIN, INT32_MAX}) {
        const int32_t n = SPtnObj::normaliseAngle(a);
        EXPECT_TRUE(n >= 0 && n < 5760) << a;
        EXPECT_EQ((int64_t{n} - a) % 5760, 0) << a;
    }
    EXPECT_EQ(SPtnObj::angleOf({0, 0}, {10, 0}), 0);
    EXPECT_EQ(SPtnObj::angleOf({0, 0}, {0, -10}), 1440); // up on the screen
    EXPECT_EQ(SPtnObj::angleOf({0, 0}, {-10, 0}), 2880);
    EXPECT_EQ(SPtnObj::angleOf({0, 0}, {0, 10}), 4320);
    EXPECT_EQ(SPtnObj::arcPoint({0, 0}, 100, 720), SPoint(70, -70));
}

TEST(PtnGeometry, LineHitTest) {
    checkHits(SPtnObjLine({0, 0}, {100, 50}), {{{50, 25}, true},
                                               {{50, 26}, true},
                                               {{50, 28}, false},
                                               {{101, 50}, true},
                                               {{102, 52}, false},
                                               {{-1, -1}, true},
                                               {{-2, 0}, false}});
    checkHits(SPtnObjLine({10, 0}, {10, 100}),
              {{{11, 50}, true}, {{12, 50}, false}, {{10, 101}, true}, {{10, 102}, false}});
    checkHits(SPtnObjLine({5, 5}, {5, 5}), {{{6, 6}, true}, {{7, 5}, false}});
}

TEST(PtnGeometry, LineTransformsAndNodes) {
    SPtnObjLine line({0, 0}, {10, 4});
    line.mirror();
    EXPECT_EQ(nodesOf(line), (std::vector<SPoint>{{10, 0}, {0, 4}}));
    line.rotate(); // about (5, 2)
    EXPECT_EQ(nodesOf(line), (std::vector<SPoint>{{7, 7}, {3, -3}}));
    line.move(-3, 3);
    line.setNode(7, 1, 1); // any index but 0 is the end
    EXPECT_EQ(nodesOf(line), (std::vector<SPoint>{{4, 10}, {1, 1}}));
    EXPECT_EQ(line.boundingRect(), SRect(1, 1, 4, 10));
    EXPECT_TRUE(line.isInside({1, 1, 4, 10}));
    EXPECT_FALSE(line.isInside({2, 1, 4, 10}));
}

TEST(PtnGeometry, EllipseHitTest) {
    SPtnObjCircle ellipse({0, 0}, {40, 20}); // centre (20, 10), radii 20 and 10
    const std::vector<HitCase> outline = {{{20, 0}, true},   {{0, 10}, true},  {{40, 10}, true},
                                          {{20, 10}, false}, {{20, 5}, false}, {{50, 10}, false}};
    checkHits(ellipse, outline);
    ellipse.setFill(1);
    checkHits(ellipse, {{{20, 10}, true}, {{20, 5}, true}, {{39, 10}, true}, {{1, 1}, false}});
    // Flat ellipses are judged as the segment of their corners instead of dividing by zero.
    checkHits(SPtnObjCircle({0, 5}, {30, 5}), {{{15, 5}, true}, {{15, 8}, false}});
    checkHits(SPtnObjCircle({7, 0}, {7, 30}), {{{7, 15}, true}, {{10, 15}, false}});
    EXPECT_FALSE(SPtnObjCircle({3, 3}, {3, 3}).hitTest({50, 50}));
    SPtnObjCircle same({3, 3}, {3, 3});
    EXPECT_FALSE(same.isValid());
}

TEST(PtnGeometry, EllipseTransforms) {
    SPtnObjCircle e({0, 0}, {40, 20});
    e.mirror(); // symmetric: nothing changes
    EXPECT_EQ(nodesOf(e), (std::vector<SPoint>{{0, 0}, {40, 20}}));
    e.rotate(); // about (20, 10)
    EXPECT_EQ(e.boundingRect(), SRect(10, -10, 30, 30));
    e.mirrorAt(0);
    EXPECT_EQ(e.boundingRect(), SRect(-30, -10, -10, 30));
}

TEST(PtnGeometry, PolygonNormalise) {
    struct Case {
        std::vector<SPoint> in;
        std::vector<SPoint> out;
    };
    const std::vector<Case> cases = {
        {{{0, 0}, {0, 0}, {5, 5}, {0, 0}}, {{0, 0}, {5, 5}}},
        {{{0, 0}, {5, 5}, {5, 5}, {9, 0}}, {{0, 0}, {5, 5}, {9, 0}}},
        {{{1, 1}}, {}},
        {{{1, 1}, {1, 1}, {1, 1}}, {}},
        {{}, {}},
        {{{0, 0}, {1, 0}, {0, 1}}, {{0, 0}, {1, 0}, {0, 1}}},
    };
    for (const Case& c : cases) {
        SPtnObjPolygon p(c.in);
        EXPECT_EQ(p.isValid(), !c.out.empty());
        EXPECT_EQ(p.nodes(), c.out);
    }
}

TEST(PtnGeometry, PolygonHitTest) {
    const std::vector<SPoint> square = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
    SPtnObjPolygon open(square);
    checkHits(open, {{{5, 5}, false}, {{10, 5}, true}, {{9, 1}, true}, {{11, 5}, false}});
    SPtnObjPolygon filled(square);
    filled.setFill(1);
    checkHits(filled, {{{5, 5}, true}, {{10, 5}, true}, {{1, 9}, true}, {{15, 5}, false}});

    // Rays straight through a node: a top corner whose edges lie wholly above the point, a node
    // on a straight top edge, and nodes the ray only touches.
    SPtnObjPolygon diamond({{10, 0}, {20, 10}, {10, 20}, {0, 10}});
    diamond.setFill(1);
    checkHits(diamond, {{{10, 15}, true}, {{10, 10}, true}, {{4, 10}, true}, {{3, 16}, false}});
    SPtnObjPolygon notched({{0, 0}, {5, 0}, {10, 0}, {10, 10}, {0, 10}});
    notched.setFill(1);
    checkHits(notched, {{{5, 5}, true}});
    SPtnObjPolygon crown({{0, 20}, {0, 10}, {5, 0}, {10, 10}, {15, 0}, {20, 10}, {20, 20}});
    crown.setFill(1);
    checkHits(crown, {{{5, 15}, true}, {{10, 15}, true}, {{10, 5}, false}, {{12, 18}, true}});
    // The stored nodes stay as they are; duplicates do not disturb the test.
    SPtnObjPolygon repeated({{0, 0}, {0, 0}, {10, 0}, {10, 10}, {0, 10}});
    repeated.setFill(0);
    EXPECT_TRUE(repeated.hitTest({5, 5}));
    EXPECT_EQ(repeated.nodeCount(), 5);
    checkHits(SPtnObjPolygon({{0, 0}, {20, 0}, {0, 0}}), {{{10, 0}, true}, {{10, 3}, false}});
    checkHits(SPtnObjPolygon({{4, 4}}), {{{4, 4}, false}});
}

TEST(PtnGeometry, PolygonNodesAndBounds) {
    SPtnObjPolygon p({{0, 0}, {10, 0}, {10, 10}});
    const std::vector<std::pair<int32_t, SPoint>> reads = {
        {-5, {0, 0}}, {0, {0, 0}}, {2, {10, 10}}, {99, {10, 10}}};
    for (const auto& [i, expected] : reads)
        EXPECT_EQ(p.node(i), expected) << i;
    p.setNode(99, 20, 20);
    p.insertNode(0, 5, -5);
    p.insertNode(3, 1, 1);  // after the last node
    p.insertNode(-1, 9, 9); // ignored
    p.insertNode(5, 9, 9);  // ignored
    EXPECT_EQ(p.nodes(), (std::vector<SPoint>{{0, 0}, {5, -5}, {10, 0}, {20, 20}, {1, 1}}));
    EXPECT_EQ(p.boundingRect(), SRect(0, -5, 20, 20));
    EXPECT_TRUE(p.isInside({0, -5, 20, 20}));
    EXPECT_FALSE(p.isInside({0, -4, 20, 20}));
    p.mirror(); // about x = 10
    EXPECT_EQ(p.node(1), SPoint(15, -5));
    p.rotate(); // about (10, 7)
    EXPECT_EQ(p.boundingRect(), SRect(-3, -3, 22, 17));

    SPtnObjPolygon empty;
    EXPECT_EQ(empty.node(3), SPoint(0, 0));
    empty.setNode(0, 1, 1);
    empty.insertNode(0, 1, 1);
    empty.mirror();
    empty.rotate();
    EXPECT_EQ(empty.nodeCount(), 0);
    EXPECT_EQ(empty.boundingRect(), SRect(INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX));
}

TEST(PtnGeometry, ArcHitTest) {
    const SPtnObjArc arc({0, 0}, 100, 5040, 720);
    checkHits(arc, {{{100, 0}, true},
                    {{98, 17}, true},
                    {{0, -100}, false},
                    {{71, -71}, true},
                    {{-100, 0}, false},
                    {{0, 0}, false},
                    {{102, 0}, false}});
    const SPtnObjArc full({50, 50}, 10, 0, 5760);
    for (int32_t d = 9; d <= 11; ++d)
        checkHits(full, {{{50 + d, 50}, true},
                         {{50, 50 - d}, true},
                         {{50 - d, 50}, true},
                         {{50, 50 + d}, true}});
    checkHits(full, {{{57, 57}, true}, {{62, 50}, false}, {{58, 50}, false}});
    const SPtnObjArc quarter({0, 0}, 10, 0, 1440);
    checkHits(quarter, {{{10, 0}, true}, {{7, -7}, true}, {{0, -10}, true}, {{7, 7}, false}});
}

TEST(PtnGeometry, ArcBoundingRect) {
    struct Case {
        int32_t start, end;
        SRect expected;
    };
    const std::vector<Case> cases = {
        {5040, 720, {70, -70, 100, 70}},    {0, 5760, {-100, -100, 100, 100}},
        {0, 1440, {0, -100, 100, 0}},       {1440, 2880, {-100, -100, 0, 0}},
        {720, 3600, {-100, -100, 70, 70}},  {4320, 1440, {0, -100, 100, 100}},
        {-1440, 1440, {0, -100, 100, 100}},
    };
    for (const Case& c : cases) {
        const SPtnObjArc arc({0, 0}, 100, c.start, c.end);
        EXPECT_EQ(arc.boundingRect(), c.expected) << c.start << " " << c.end;
    }
    SPtnObjArc arc({0, 0}, 100, 5040, 720);
    EXPECT_TRUE(arc.isInside({70, -70, 100, 70}));
    EXPECT_FALSE(arc.isInside({71, -70, 100, 70}));
}

TEST(PtnGeometry, ArcNodes) {
    SPtnObjArc arc({0, 0}, 100, 0, 1440);
    EXPECT_EQ(nodesOf(arc),
              (std::vector<SPoint>{
                  {100, 0}, {0, -100}, {0, 0}, {100, 0}, {0, -100}, {-100, 0}, {0, 100}}));
    EXPECT_EQ(arc.node(-1), SPoint(0, 100));
    struct Set {
        int32_t index;
        SPoint to;
        int32_t start, end, radius;
        SPoint center;
    };
    const std::vector<Set> sets = {
        {0, {-5, 0}, 2880, 1440, 100, {0, 0}},  {1, {0, 5}, 2880, 4320, 100, {0, 0}},
        {0, {0, 0}, 2880, 4320, 100, {0, 0}}, // on the centre: the angle stays
        {3, {-30, 99}, 2880, 4320, 30, {0, 0}}, {5, {7, 0}, 2880, 4320, 7, {0, 0}},
        {4, {50, -20}, 2880, 4320, 20, {0, 0}}, {9, {0, 44}, 2880, 4320, 44, {0, 0}},
        {2, {3, 4}, 2880, 4320, 44, {3, 4}},
    };
    for (const Set& s : sets) {
        arc.setNode(s.index, s.to.x, s.to.y);
        EXPECT_EQ(arc.startAngle(), s.start) << s.index;
        EXPECT_EQ(arc.endAngle(), s.end) << s.index;
        EXPECT_EQ(arc.radius(), s.radius) << s.index;
        EXPECT_EQ(arc.center(), s.center) << s.index;
    }
    EXPECT_TRUE(arc.isValid());
    arc.setRadius(0);
    EXPECT_FALSE(arc.isValid());
}

TEST(PtnGeometry, ArcTransforms) {
    SPtnObjArc arc({10, 0}, 5, 0, 1440);
    arc.mirrorAt(0);
    EXPECT_EQ(arc.center(), SPoint(-10, 0));
    EXPECT_EQ(arc.startAngle(), 1440);
    EXPECT_EQ(arc.endAngle(), 2880);
    arc.mirrorAt(-10);
    EXPECT_EQ(arc.startAngle(), 0);
    EXPECT_EQ(arc.endAngle(), 1440);
    SPtnObjArc wide({0, 0}, 5, 4000, 5000);
    wide.mirrorAt(0);
    EXPECT_EQ(wide.startAngle(), 3640);
    EXPECT_EQ(wide.endAngle(), 4640);
    arc.rotateAt({0, 0});
    EXPECT_EQ(arc.center(), SPoint(0, -10));
    EXPECT_EQ(arc.startAngle(), 4320); // a clockwise quarter on the screen
    EXPECT_EQ(arc.endAngle(), 0);
    SPtnObjArc full({0, 0}, 5, 0, 5760);
    full.rotate();
    EXPECT_EQ(full.center(), SPoint(0, 0));
    EXPECT_EQ(full.startAngle(), 4320);
    EXPECT_EQ(full.endAngle(), 4320);
    full.move(3, -3);
    EXPECT_EQ(full.center(), SPoint(3, -3));
}

TEST(PtnGeometry, TextBoundingRect) {
    struct Case {
        uint32_t alignment;
        bool horizontal;
        const char* font;
        SRect expected;
    };
    const std::vector<Case> cases = {
        {0, true, "", {100, 94, 116, 102}},  {1, true, "", {84, 94, 100, 102}},
        {2, true, "", {92, 94, 108, 102}},   {4, true, "", {100, 100, 116, 108}},
        {8, true, "", {100, 97, 116, 105}},  {0, true, "F", {100, 92, 116, 100}},
        {8, true, "F", {100, 96, 116, 104}}, {3, true, "", {100, 94, 116, 102}},
        {0, false, "", {94, 84, 102, 100}},  {1, false, "", {94, 100, 102, 116}},
        {2, false, "", {94, 92, 102, 108}},  {4, false, "F", {100, 84, 108, 100}},
    };
    for (const Case& c : cases) {
        SPtnObjText t;
        t.setText("AB");
        t.setPosition({100, 100});
        t.setAlignment(c.alignment);
        t.setHorizontal(c.horizontal);
        t.setFontName(c.font);
        EXPECT_EQ(t.boundingRect(), c.expected) << c.alignment << c.horizontal << c.font;
    }
    SPtnObjText measured;
    measured.setText("AB");
    measured.setExtent(30, 12);
    EXPECT_EQ(measured.boundingRect(), SRect(0, -9, 30, 3));
    EXPECT_TRUE(measured.hitTest({15, 0}));
    EXPECT_FALSE(measured.hitTest({31, 0}));
    EXPECT_TRUE(measured.isInside({0, -9, 30, 3}));
}

TEST(PtnGeometry, TextTurnsAndMirrors) {
    SPtnObjText t;
    t.setText("AB");
    t.setPosition({10, 0});
    t.rotateAt({0, 0});
    EXPECT_FALSE(t.isHorizontal());
    EXPECT_EQ(t.alignment(), 5u);
    EXPECT_EQ(t.position(), SPoint(0, 10));
    t.rotateAt({0, 0});
    EXPECT_TRUE(t.isHorizontal());
    EXPECT_EQ(t.alignment(), 5u);
    struct Mirror {
        uint32_t in;
        bool horizontal;
        uint32_t out;
    };
    for (const Mirror& m : std::vector<Mirror>{{0, true, 1},
                                               {1, true, 0},
                                               {2, true, 2},
                                               {4, true, 5},
                                               {0, false, 4},
                                               {8, false, 8},
                                               {1, false, 5}}) {
        SPtnObjText u;
        u.setAlignment(m.in);
        u.setHorizontal(m.horizontal);
        u.mirrorAt(5);
        EXPECT_EQ(u.alignment(), m.out) << m.in;
        EXPECT_EQ(u.position(), SPoint(10, 0));
    }
    SPtnObjText empty;
    EXPECT_FALSE(empty.isValid());
}

// Values from files may lie anywhere in the 32-bit range; no operation may overflow.
TEST(PtnGeometry, ExtremeCoordinatesStayDefined) {
    const int32_t lo = INT32_MIN;
    const int32_t hi = INT32_MAX;
    std::vector<std::unique_ptr<SPtnObj>> objects;
    objects.push_back(std::make_unique<SPtnObjLine>(SPoint(lo, lo), SPoint(hi, hi)));
    objects.push_back(std::make_unique<SPtnObjCircle>(SPoint(lo, hi), SPoint(hi, lo)));
    objects.push_back(std::make_unique<SPtnObjPolygon>(
        std::vector<SPoint>{{lo, lo}, {hi, lo}, {hi, hi}, {lo, hi}, {0, 0}}));
    objects.push_back(std::make_unique<SPtnObjArc>(SPoint(hi, lo), hi, lo, hi));
    objects.push_back(std::make_unique<SPtnObjArc>(SPoint(lo, hi), lo, hi, lo));
    auto text = std::make_unique<SPtnObjText>();
    text->setText(std::string(100, 'x'));
    text->setPosition({hi, lo});
    text->setAlignment(0xFFFFFFFF);
    objects.push_back(std::move(text));
    auto measured = std::make_unique<SPtnObjText>();
    measured->setText("m");
    measured->setPosition({lo, hi});
    measured->setExtent(hi, lo);
    objects.push_back(std::move(measured));

    const std::vector<SPoint> probes = {{lo, lo}, {hi, hi}, {0, 0}, {lo, hi}, {hi, 0}};
    for (auto& o : objects) {
        for (const int f : {0, 1}) {
            o->setFill(f == 0 ? -1 : 1);
            for (const SPoint p : probes)
                (void)o->hitTest(p);
        }
        (void)o->isInside({lo, lo, hi, hi});
        for (int32_t i = -1; i <= o->nodeCount(); ++i)
            (void)o->node(i);
        const std::vector<SPoint> before = nodesOf(*o);
        o->move(hi, lo);
        o->move(negWrap(hi), negWrap(lo));
        EXPECT_EQ(nodesOf(*o), before) << static_cast<int>(o->id());
        o->mirror();
        o->mirrorAt(hi);
        o->mirrorAt(lo);
        o->rotate();
        o->rotateAt({lo, hi});
        o->rotateAt({hi, lo});
        (void)o->boundingRect();
        for (int32_t i = -1; i < 8; ++i)
            o->setNode(i, i % 2 ? lo : hi, i % 2 ? hi : lo);
        (void)o->isValid();
        (void)o->boundingRect();
        for (const SPoint p : probes)
            (void)o->hitTest(p);
    }
    const SPtnObjArc big({0, 0}, hi, 100, 200);
    const SRect r = big.boundingRect();
    EXPECT_LE(r.left, r.right);
}

} // namespace
