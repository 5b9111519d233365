#include "model/SPtnObjArc.h"
#include "model/SPtnObjCircle.h"
#include "model/SPtnObjLine.h"
#include "model/SPtnObjPolygon.h"
#include "model/SPtnObjText.h"
#include "tagtext/STagReader.h"
#include "tagtext/STagWriter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct ObjRead {
    bool ok = false;
    std::unique_ptr<SPtnObj> object;
    std::string next; // the word after the read, "<end>" at the end of the input
};

ObjRead readObject(std::string_view text) {
    STagReader reader;
    reader.attachString(text);
    std::string word;
    reader.readWord(word);
    ObjRead r;
    r.object = SPtnObj::createForSection(word);
    r.ok = r.object->read(reader);
    if (reader.readWord(r.next) < 0)
        r.next = "<end>";
    return r;
}

std::string written(const SPtnObj& object, std::optional<SPoint> origin = std::nullopt) {
    std::string out;
    STagWriter writer;
    writer.attachString(&out);
    object.write(writer, origin);
    return out;
}

struct ReadCase {
    const char* input;
    bool ok;
    const char* writtenBack; // checked when ok
    const char* next = "<end>";
};

void checkReads(const std::vector<ReadCase>& cases) {
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.input);
        const ObjRead r = readObject(c.input);
        EXPECT_EQ(r.ok, c.ok);
        if (c.ok) {
            EXPECT_EQ(written(*r.object), c.writtenBack);
        }
        EXPECT_EQ(r.next, c.next);
    }
}

TEST(PtnObjRead, LineAndEllipse) {
    checkReads({
        {"+L,W:1,S:0,X:0,Y:0,X:30,Y:0,-L", true, "+L,W:1,S:0,X:0,Y:0,X:30,Y:0,-L\n"},
        // X before the first Y belongs to the first point; a second X overwrites it.
        {"+L,X:5,X:7,Y:1,Y:2,-L", true, "+L,W:1,S:0,X:7,Y:1,X:0,Y:2,-L\n"},
        {"+L,X:1,Y:2,X:3,Y:4,X:5,Y:6,-L", true, "+L,W:1,S:0,X:1,Y:2,X:5,Y:6,-L\n"},
        // Nested sections are skipped; bad fields, empty values and unknown keys ignored.
        {"+L,W:2,+Q,X:9,-Q,S:1,Q:9,X:,:5,junk,X:1,Y:2,X:3,Y:4,-L,more", true,
         "+L,W:2,S:1,X:1,Y:2,X:3,Y:4,-L\n", "more"},
        {"+L,X:1,Y:1", true, "+L,W:1,S:0,X:1,Y:1,X:0,Y:0,-L\n"},
        {"+L,X:99999999999,Y:-99999999999,-L", true,
         "+L,W:1,S:0,X:2147483647,Y:-2147483648,X:0,Y:0,-L\n"},
        {"+L,X:1,-C,next", false, "", "next"},
        {"+L,X:1,+Q,X:2", false, ""},
        {"+L,F:5,X:1,Y:1,-L", true, "+L,W:1,S:0,X:1,Y:1,X:0,Y:0,-L\n"},
        {"+C,W:3,S:1,F:1,X:0,Y:0,X:10,Y:20,-C", true, "+C,W:3,S:1,F:1,X:0,Y:0,X:10,Y:20,-C\n"},
        {"+C,X:0,Y:0,X:10,Y:20,-C", true, "+C,W:1,S:0,F:-1,X:0,Y:0,X:10,Y:20,-C\n"},
        {"+C,X:0,Y:0,-L", false, ""},
    });
}

TEST(PtnObjRead, Polygon) {
    checkReads({
        {"+PG,N:4,X:0,Y:0,X:10,Y:0,X:10,Y:10,X:0,Y:0,-PG", true,
         "+PG,W:1,S:0,F:-1,N:3,X:0,Y:0,X:10,Y:0,X:10,Y:10,-PG\n"},
        {"+PG,N:3,X:0,Y:0,X:0,Y:0,X:5,Y:5,-PG", true, "+PG,W:1,S:0,F:-1,N:2,X:0,Y:0,X:5,Y:5,-PG\n"},
        {"+PG,W:2,S:1,F:1,N:2,X:0,Y:0,X:5,Y:5,X:9,Y:9,-PG", true,
         "+PG,W:2,S:1,F:1,N:2,X:0,Y:0,X:5,Y:5,-PG\n"},
        // A "Y" without its own "X" takes the pending one (0 at first).
        {"+PG,N:2,Y:3,X:4,Y:5,-PG", true, "+PG,W:1,S:0,F:-1,N:2,X:0,Y:3,X:4,Y:5,-PG\n"},
        {"+PG,N:3,X:0,Y:0,X:5,Y:0,X:5,Y:5", true,
         "+PG,W:1,S:0,F:-1,N:3,X:0,Y:0,X:5,Y:0,X:5,Y:5,-PG\n"},
        {"+PG,N:3,X:1,Y:1,X:1,Y:1,X:1,Y:1,-PG,next", false, "", "next"},
        {"+PG,N:2,X:1,Y:1,-PG,next", false, "", "next"},
        {"+PG,N:40,X:1,Y:1,X:2,Y:2,-PG,next", false, "", "next"},
        {"+PG,N:33,-PG,next", false, "", "next"},
        {"+PG,N:1,X:1,Y:1,-PG,next", false, "", "next"},
        {"+PG,X:1,N:2,Y:1,X:2,Y:2,-PG,next", false, "", "next"},
        {"+PG,Y:1,-PG,next", false, "", "next"},
        {"+PG,N:2,X:1,Y:1,X:2,Y:2,-L,next", false, "", "next"},
        {"+PG,N:40,X:1", false, ""},
    });
}

TEST(PtnObjRead, PolygonTakesAtMost32Nodes) {
    std::string text = "+PG,N:32";
    for (int i = 0; i < 40; ++i)
        text += ",X:" + std::to_string(i) + ",Y:" + std::to_string(i * i);
    text += ",-PG";
    const ObjRead r = readObject(text);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.object->nodeCount(), 32);
    EXPECT_EQ(r.object->node(31), SPoint(31, 961));
}

TEST(PtnObjRead, ArcAndText) {
    checkReads({
        {"+AR,X:0,Y:0,R:20,-AR", true, "+AR,W:1,S:0,X:0,Y:0,R:20,B:0,E:0,-AR\n"},
        {"+AR,-AR", true, "+AR,W:1,S:0,X:10,Y:10,R:10,B:0,E:0,-AR\n"},
        // Angles are kept as read.
        {"+AR,W:2,S:1,X:5,Y:6,R:7,B:100,E:-5,-AR", true,
         "+AR,W:2,S:1,X:5,Y:6,R:7,B:100,E:-5,-AR\n"},
        {"+AR,X:5", true, "+AR,W:1,S:0,X:5,Y:10,R:10,B:0,E:0,-AR\n"},
        {"+AR,X:5,-TX", false, ""},
        {"+TX,X:1,Y:2,S:Hi,-TX", true, "+TX,X:1,Y:2,A:0,D:1,S:Hi,FN:,FS:10,FF:,-TX\n"},
        {"+TX,X:1,Y:2,A:5,D:0,S:a%2Cb:c,FN:Sans Mono,FS:2,FF:SxUB,-TX", true,
         "+TX,X:1,Y:2,A:5,D:0,S:a%2Cb:c,FN:Sans%20Mono,FS:4,FF:BUS,-TX\n"},
        {"+TX,X:1,Y:2,S:x,FS:100,FF:B,FF:I,-TX", true,
         "+TX,X:1,Y:2,A:0,D:1,S:x,FN:,FS:80,FF:BI,-TX\n"},
        {"+TX,X:1,Y:2,D:7,A:-1,S:x,-TX", true, "+TX,X:1,Y:2,A:-1,D:1,S:x,FN:,FS:10,FF:,-TX\n"},
        {"+TX,X:1,Y:2,-TX,next", false, "", "next"},
        {"+TX,X:1,Y:2,S:,-TX,next", false, "", "next"},
        {"+TX,Y:2,S:x,-TX,next", false, "", "next"},
        {"+TX,X:1,Y:2,S:x", false, ""},
        {"+TX,X:1,Y:2,S:x,-L,next", false, "", "next"},
    });
}

TEST(PtnObjWrite, OriginShiftsCoordinatesOnly) {
    const SPoint origin(10, 10);
    EXPECT_EQ(written(SPtnObjLine({10, 10}, {20, 30}), origin),
              "+L,W:1,S:0,X:0,Y:0,X:10,Y:20,-L\n");
    EXPECT_EQ(written(SPtnObjCircle({0, 5}, {20, 30}), origin),
              "+C,W:1,S:0,F:-1,X:-10,Y:-5,X:10,Y:20,-C\n");
    EXPECT_EQ(written(SPtnObjPolygon({{10, 10}, {15, 10}, {15, 15}}), origin),
              "+PG,W:1,S:0,F:-1,N:3,X:0,Y:0,X:5,Y:0,X:5,Y:5,-PG\n");
    EXPECT_EQ(written(SPtnObjArc({30, 40}, 25, 100, 200), origin),
              "+AR,W:1,S:0,X:20,Y:30,R:25,B:100,E:200,-AR\n");
    SPtnObjText text;
    text.setPosition({12, 8});
    text.setText("T");
    EXPECT_EQ(written(text, origin), "+TX,X:2,Y:-2,A:0,D:1,S:T,FN:,FS:10,FF:,-TX\n");
    // Differences wrap instead of overflowing.
    EXPECT_EQ(written(SPtnObjLine({INT32_MIN, 0}, {0, 0}), SPoint(1, 0)),
              "+L,W:1,S:0,X:2147483647,Y:0,X:-1,Y:0,-L\n");
}

TEST(PtnObjWrite, PolygonOutsideFileRangeWritesNothing) {
    std::vector<SPoint> nodes;
    for (int32_t i = 0; i < 33; ++i)
        nodes.emplace_back(i, i % 2);
    SPtnObjPolygon big(nodes);
    std::string out;
    STagWriter writer;
    writer.attachString(&out);
    EXPECT_FALSE(big.write(writer));
    EXPECT_FALSE(SPtnObjPolygon({{1, 1}}).write(writer));
    EXPECT_TRUE(out.empty());
    nodes.pop_back();
    EXPECT_TRUE(SPtnObjPolygon(nodes).write(writer));
}

TEST(PtnObjWrite, FailedOutputIsReported) {
    STagWriter detached; // every put fails
    SPtnObjText text;
    text.setText("x");
    const SPtnObjLine line;
    const SPtnObjCircle circle;
    const SPtnObjArc arc;
    const SPtnObjPolygon polygon({{0, 0}, {1, 1}});
    for (const SPtnObj* o : std::vector<const SPtnObj*>{&line, &circle, &arc, &polygon, &text})
        EXPECT_FALSE(o->write(detached)) << static_cast<int>(o->id());
}

TEST(PtnObj, DefaultsAndDuplicates) {
    EXPECT_EQ(written(SPtnObjLine()), "+L,W:1,S:0,X:-1,Y:-1,X:-1,Y:-1,-L\n");
    EXPECT_EQ(written(SPtnObjCircle()), "+C,W:1,S:0,F:-1,X:-1,Y:-1,X:-1,Y:-1,-C\n");
    EXPECT_EQ(written(SPtnObjArc()), "+AR,W:1,S:0,X:10,Y:10,R:10,B:0,E:5760,-AR\n");

    SPtnObjText text;
    text.setText("abc");
    text.setFontName("F");
    text.setBold(true);
    text.setAlignment(9);
    text.setExtent(30, 12);
    const auto textCopy = text.duplicate();
    EXPECT_EQ(textCopy->id(), SPtnObjId::Text);
    EXPECT_EQ(written(*textCopy), written(text));
    EXPECT_TRUE(static_cast<const SPtnObjText&>(*textCopy).extentKnown());

    SPtnObjPolygon polygon({{0, 0}, {4, 0}, {4, 4}});
    polygon.setFill(1);
    const auto copy = polygon.duplicate();
    EXPECT_EQ(written(*copy), written(polygon));
    copy->setNode(0, 9, 9);
    EXPECT_EQ(polygon.node(0), SPoint(0, 0)); // the node array is not shared
}

} // namespace
