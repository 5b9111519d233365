// A "+PTN" section body (the reader stands after "+PTN"). A pattern that reads must write text
// that reads again and writes the same bytes (a fixed point after one round). Then every
// geometric operation runs on every object with extreme arguments, for the sanitizers.

#include "FuzzSupport.h"
#include "model/SPtn.h"
#include "model/SPtnObj.h"
#include "model/SPtnObjPolygon.h"
#include "model/SPtnObjText.h"
#include "tagtext/STagReader.h"
#include "tagtext/STagWriter.h"

#include <climits>
#include <string>

namespace {

std::string written(const SPtn& ptn) {
    std::string text;
    STagWriter writer;
    writer.attachString(&text);
    kxfuzz::require(ptn.write(writer), "pattern write to a string failed");
    return text;
}

constexpr SPoint kExtremes[] = {{0, 0}, {INT32_MAX, INT32_MIN}, {INT32_MIN, INT32_MAX}, {-1, 1}};

void exercise(const SPtnObj& original) {
    for (const SPoint e : kExtremes) {
        std::unique_ptr<SPtnObj> obj = original.duplicate();
        kxfuzz::require(obj && obj->id() == original.id(), "duplicate changed the kind");
        if (obj->id() == SPtnObjId::Text)
            static_cast<SPtnObjText&>(*obj).setExtent(e.x, e.y);
        const SRect box = obj->boundingRect();
        obj->hitTest(e);
        obj->hitTest(box.center());
        obj->isInside(box);
        obj->isInside(SRect(e, SPoint(0, 0)));
        const int32_t nodes = obj->nodeCount();
        for (int32_t i = -1; i <= nodes && i < 40; ++i)
            obj->node(i);
        obj->setNode(nodes - 1, e.x, e.y);
        obj->mirror();
        obj->mirrorAt(e.x);
        obj->rotate();
        obj->rotateAt(e);
        obj->move(e.x, e.y);
        obj->boundingRect();
        if (obj->id() == SPtnObjId::Polygon) {
            auto& poly = static_cast<SPtnObjPolygon&>(*obj);
            for (int k = 0; k < 34; ++k)
                poly.insertNode(0, e.x, k);
            std::string text;
            STagWriter writer;
            writer.attachString(&text);
            kxfuzz::require(!poly.write(writer), "polygon of more than 32 nodes was written");
        }
        obj->isValid();
        obj->hitTest(e);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    STagReader reader;
    reader.attachString(kxfuzz::asText(data, size));
    SPtn ptn;
    const bool ok = ptn.read(reader);
    for (const auto& obj : ptn.objects())
        exercise(*obj);
    if (!ok)
        return 0;

    const std::string first = written(ptn);
    reader.attachString(std::string_view(first));
    std::string word;
    kxfuzz::require(reader.readWord(word) >= 0 && word == "+PTN", "section does not start +PTN");
    SPtn again;
    kxfuzz::require(again.read(reader), "written pattern does not read back");
    kxfuzz::require(again.objectCount() == ptn.objectCount(), "object count changed");
    kxfuzz::require(again.bitPattern() == ptn.bitPattern(), "bit pattern changed");
    kxfuzz::requireSame(first, written(again), "second write differs");

    const SPtn copy(ptn);
    kxfuzz::requireSame(first, written(copy), "copy writes differently");
    SPtn sized(ptn);
    sized.setBitPatternSize(SSize(data[0] % 64, size % 64), false);
    sized.setBitPatternSize(SSize(INT32_MAX, INT32_MIN), false);
    sized.setBitPatternSize(SSize(INT32_MAX, INT32_MAX), true);
    return 0;
}
