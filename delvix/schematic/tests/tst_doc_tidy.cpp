#include "DocTestUtil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <random>

using namespace doctest;

namespace {

std::string entry(int x1, int y1, int x2, int y2, std::string_view kind = "ENTRY") {
    return wire(x1, y1, x2, y2, 0, kind);
}

std::vector<std::string> readLive(std::string_view file) {
    SXKorvDocSch doc;
    EXPECT_EQ(readDataFile(doc, file), SXKorvDoc::kReadOk);
    return liveObjects(doc);
}

TEST(DocTidy, CollinearTouchingWiresAndBusesMerge) {
    const std::vector<std::string> expected = {
        wire(0, 0, 60, 0),                // touching pieces
        wire(70, 0, 100, 0),              // overlapping, the newer one's direction
        wire(200, 0, 230, 0),             // a gap keeps them apart
        wire(240, 0, 260, 0),             //
        wire(0, 150, 0, 100),             // vertical, running upwards
        wire(300, 0, 330, 0, 1),          // other layers
        wire(330, 0, 360, 0, 2),          //
        wire(400, 0, 460, 0, 0, "BUS"),   // buses merge too
        wire(400, 10, 430, 10, 0, "BUS"), // but not with wires
        wire(430, 10, 460, 10),           //
        wire(500, 0, 530, 30),            // oblique ones stay apart
        wire(530, 30, 560, 60),           //
        wire(700, 0, 740, 0),             // a bridge joins both neighbours
    };
    EXPECT_EQ(readLive("tidy_merge.kx2"), expected);
}

TEST(DocTidy, WiresSplitAtJunctionsInside) {
    const std::vector<std::string> expected = {
        junction(50, 0),
        junction(200, 40),
        junction(200, 20),
        wire(300, 0, 400, 0), // junctions at the ends only
        junction(300, 0),
        junction(400, 0),
        wire(0, 200, 100, 200, 1), // junction on another layer
        junction(50, 200),
        wire(500, 0, 600, 0, 0, "BUS"), // buses are not split
        junction(550, 0),
        wire(700, 0, 760, 60), // nor oblique wires
        junction(730, 30),
        wire(800, 0, 860, 60),
        junction(830, 31),
        junction(950, 0),
        junction(920, 0),
        // The pieces of each wire follow each other and keep its direction.
        wire(0, 0, 50, 0),
        wire(50, 0, 100, 0),
        wire(200, 0, 200, 20),
        wire(200, 20, 200, 40),
        wire(200, 40, 200, 100),
        wire(1000, 0, 950, 0),
        wire(950, 0, 920, 0),
        wire(920, 0, 900, 0),
    };
    EXPECT_EQ(readLive("tidy_split.kx2"), expected);
}

TEST(DocTidy, DuplicateJunctionsAndEntriesDropped) {
    const std::vector<std::string> expected = {
        junction(10, 10),
        junction(10, 10, 3),
        junction(20, 10),
        entry(100, 100, 110, 90),
        entry(100, 100, 90, 90), // leaning the other way
        entry(200, 100, 210, 90, "BENTRY"),
        entry(200, 100, 210, 90), // another kind
    };
    EXPECT_EQ(readLive("tidy_duplicates.kx2"), expected);
}

TEST(DocTidy, AbsorbedWiresAreKeptAsDeleted) {
    SXKorvDocSch doc;
    ASSERT_EQ(readText(doc, sheet({wire(0, 0, 30, 0), wire(30, 0, 60, 0)})), SXKorvDoc::kReadOk);
    ASSERT_EQ(doc.objects().size(), 2u);
    EXPECT_EQ(doc.objects()[0]->deleteStamp(), 1);
    EXPECT_TRUE(doc.objects()[1]->isLive());
}

TEST(DocTidy, ExtremeCoordinatesMergeAndSplitWithoutOverflow) {
    SXKorvDocSch doc;
    ASSERT_EQ(readText(doc, sheet({wire(INT_MAX - 100, 0, INT_MAX, 0),
                                   wire(INT_MIN, 0, INT_MAX - 100, 0), junction(0, 0),
                                   wire(5, INT_MIN, 5, INT_MAX), junction(5, INT_MAX - 1)})),
              SXKorvDoc::kReadOk);
    const std::vector<std::string> expected = {
        junction(0, 0),         junction(5, INT_MAX - 1),         wire(INT_MIN, 0, 0, 0),
        wire(0, 0, INT_MAX, 0), wire(5, INT_MIN, 5, INT_MAX - 1), wire(5, INT_MAX - 1, 5, INT_MAX),
    };
    EXPECT_EQ(liveObjects(doc), expected);
}

// A junction placed by a later operation splits the wires read earlier (pass 2).
TEST(DocTidy, PastedJunctionSplitsOlderWire) {
    SXKorvDocSch doc;
    FakeClipboard clipboard;
    doc.setClipboard(&clipboard);
    ASSERT_EQ(readText(doc, sheet({wire(0, 0, 100, 0), wire(20, -50, 20, 50)})),
              SXKorvDoc::kReadOk);
    clipboard.content = sheet({junction(0, 0)});
    ASSERT_TRUE(doc.pasteFromClipboard({20, 0}));
    doc.commitWorking(SXKorvDoc::kCommit);
    EXPECT_EQ(doc.operationNumber(), 2);
    EXPECT_TRUE(doc.isModified());
    const std::vector<std::string> expected = {
        junction(20, 0),      wire(0, 0, 20, 0),   wire(20, 0, 100, 0),
        wire(20, -50, 20, 0), wire(20, 0, 20, 50),
    };
    EXPECT_EQ(liveObjects(doc), expected);
    for (const auto& obj : doc.objects())
        EXPECT_EQ(obj->isLive() ? obj->placeStamp() : obj->deleteStamp(), 2);
}

// Removing a junction joins the wires that met there (pass 1).
TEST(DocTidy, DeletedJunctionJoinsWires) {
    SXKorvDocSch doc;
    ASSERT_EQ(readText(doc, sheet({wire(0, 0, 100, 0), wire(50, -40, 50, 40), junction(50, 0)})),
              SXKorvDoc::kReadOk);
    ASSERT_EQ(liveObjects(doc).size(), 5u);
    const SXKorvObj* junctionObj = nullptr;
    for (const auto& obj : doc.objects())
        if (obj->kind() == SXKorvKind::Junction)
            junctionObj = obj.get();
    ASSERT_TRUE(doc.deleteObject(junctionObj));
    EXPECT_FALSE(doc.deleteObject(junctionObj));
    doc.commitWorking(SXKorvDoc::kCommit);
    const std::vector<std::string> expected = {wire(0, 0, 100, 0), wire(50, -40, 50, 40)};
    EXPECT_EQ(liveObjects(doc), expected);
}

TEST(DocTidy, HistoryKeepsFiftyOperations) {
    SXKorvDocSch doc;
    ASSERT_EQ(readText(doc, sheet({wire(0, 0, 30, 0), wire(30, 0, 60, 0)})), SXKorvDoc::kReadOk);
    const auto deletedCount = [&doc] {
        return std::count_if(doc.objects().begin(), doc.objects().end(),
                             [](const auto& obj) { return !obj->isLive(); });
    };
    ASSERT_EQ(deletedCount(), 1); // removed in operation 1
    while (doc.operationNumber() < 51) {
        doc.commitWorking(SXKorvDoc::kCommit);
        EXPECT_EQ(deletedCount(), 1) << doc.operationNumber();
    }
    doc.commitWorking(SXKorvDoc::kCommit); // 52: operation 1 falls out of reach
    EXPECT_EQ(deletedCount(), 0);
    EXPECT_EQ(doc.historyFloor(), 2);
}

TEST(DocTidy, WithoutTidyObjectsAreAppendedAsRead) {
    SXKorvDocSch doc;
    FakeClipboard clipboard;
    doc.setClipboard(&clipboard);
    clipboard.content = sheet({junction(0, 0), junction(0, 0), wire(0, 0, 10, 0)});
    doc.setTidy(false);
    ASSERT_TRUE(doc.pasteFromClipboard({0, 0}));
    doc.commitWorking(SXKorvDoc::kCommit);
    EXPECT_EQ(liveObjects(doc).size(), 3u);
}

// Random sheets of wires, buses and junctions: after a read no two live lines of one kind and
// layer overlap, no junction sits strictly inside a live straight wire of its layer, the
// written sheet reads back to the very same text, and placing the objects one by one (into a
// list that is not empty) keeps the same ones as placing a whole file at once.
TEST(DocTidy, RandomSheetsAreTidyAndStable) {
    for (unsigned seed = 1; seed <= 60; ++seed) {
        SCOPED_TRACE(seed);
        std::mt19937 rng(seed);
        const auto coord = [&rng] { return static_cast<int>(rng() % 8) * 10; };
        std::vector<std::string> sections;
        for (int i = 0; i < 40; ++i) {
            const int layer = static_cast<int>(rng() % 2);
            const int x = coord();
            const int y = coord();
            switch (rng() % 6) {
            case 5:
                sections.push_back(wire(x, y, rng() % 2 ? x + 10 : x - 10, y - 10, layer,
                                        rng() % 2 ? "ENTRY" : "BENTRY"));
                break;
            case 0:
                sections.push_back(junction(x, y, layer));
                break;
            case 1:
                sections.push_back(wire(x, y, coord(), y, layer));
                break;
            case 2:
                sections.push_back(wire(x, y, x, coord(), layer));
                break;
            case 3:
                sections.push_back(wire(x, y, coord(), y, layer, "BUS"));
                break;
            default:
                sections.push_back(wire(x, y, coord(), coord(), layer));
                break;
            }
        }
        SXKorvDocSch first;
        ASSERT_EQ(readText(first, sheet(sections)), SXKorvDoc::kReadOk);
        const std::string written = sheetText(first);
        SXKorvDocSch second;
        ASSERT_EQ(readText(second, written), SXKorvDoc::kReadOk);
        EXPECT_EQ(sheetText(second), written) << sheet(sections);

        // Placed one by one into a list that already holds something, the same objects remain.
        SXKorvDocSch incremental;
        ASSERT_EQ(readText(incremental, sheet({"+LABEL,L:0,X:0,Y:0,D:1,S:A,-LABEL"})),
                  SXKorvDoc::kReadOk);
        ASSERT_EQ(readText(incremental, sheet(sections)), SXKorvDoc::kReadOk);
        std::vector<std::string> objects = liveObjects(incremental);
        objects.erase(objects.begin());
        EXPECT_EQ(objects, liveObjects(first)) << sheet(sections);

        std::vector<const SXKorvObj*> live;
        for (const auto& obj : first.objects())
            if (obj->isLive())
                live.push_back(obj.get());
        for (const SXKorvObj* a : live) {
            const SPoint a1 = a->p1();
            const SPoint a2 = a->p2();
            for (const SXKorvObj* b : live) {
                if (a == b || a->layer() != b->layer())
                    continue;
                const SPoint b1 = b->p1();
                if (b->kind() == SXKorvKind::Junction && a->kind() == SXKorvKind::Wire &&
                    (a1.x == a2.x || a1.y == a2.y)) {
                    const bool inside = a1.y == a2.y
                                            ? b1.y == a1.y && b1.x > std::min(a1.x, a2.x) &&
                                                  b1.x < std::max(a1.x, a2.x)
                                            : b1.x == a1.x && b1.y > std::min(a1.y, a2.y) &&
                                                  b1.y < std::max(a1.y, a2.y);
                    EXPECT_FALSE(inside) << written;
                }
                const SPoint b2 = b->p2();
                if (a->kind() != b->kind() || a->kind() == SXKorvKind::Junction)
                    continue;
                if (a1.y == a2.y && b1.y == b2.y && a1.y == b1.y && a1.x != a2.x && b1.x != b2.x) {
                    const int lo = std::max(std::min(a1.x, a2.x), std::min(b1.x, b2.x));
                    const int hi = std::min(std::max(a1.x, a2.x), std::max(b1.x, b2.x));
                    EXPECT_GE(lo, hi) << "overlap\n" << written;
                }
            }
        }
    }
}

} // namespace
