// A whole schematic file. Memory and file reading must agree; a failed read leaves no objects;
// a sheet that reads is written, read again and written to the same bytes. Every object's
// geometry runs with extreme arguments, find walks every hit, and the text goes through the
// clipboard paste and copy. The search-only scanner takes no file the reader refuses and gives
// exactly find's texts for a file it takes.

#include "FuzzSupport.h"
#include "schematic/SXKorvDocSch.h"
#include "schematic/SXKorvObj.h"
#include "schematic/SXKorvTextScanner.h"
#include "tagtext/SClipboard.h"
#include "tagtext/STagReader.h"
#include "tagtext/STagWriter.h"

#include <climits>
#include <cstdio>
#include <string>

namespace {

class FakeClipboard : public SClipboard {
public:
    bool putText(std::string_view text) override {
        m_text = text;
        return true;
    }
    bool getText(std::string& text) const override {
        text = m_text;
        return true;
    }
    std::string m_text;
};

constexpr SPoint kExtremes[] = {{INT32_MAX, INT32_MIN}, {INT32_MIN, INT32_MAX}, {-7, 13}};

void exercise(const SXKorvObj& original) {
    for (const SPoint e : kExtremes) {
        std::unique_ptr<SXKorvObj> obj = original.clone();
        kxfuzz::require(obj && obj->kind() == original.kind(), "clone changed the kind");
        const SRect box = obj->boundingArea();
        obj->anchorArea();
        obj->hitTest(obj->p1());
        obj->hitTest(obj->p2());
        obj->hitTest(e);
        obj->pointQuery2(e);
        obj->areaIntersect(box);
        obj->areaContains(box);
        obj->areaTest2(SRect(e, SPoint(0, 0)).normalized());
        const int32_t points = obj->connectionPointCount();
        for (int32_t i = -1; i <= points && i < 64; ++i)
            obj->connectionPoint(i);
        obj->isValid();
        obj->setSelection(SXKorvSelect::kP2Only);
        obj->moveBy(e.x, e.y);
        obj->clearSelection();
        obj->mirror();
        obj->mirrorAt(e.x);
        obj->rotate();
        obj->rotateAt(e);
        obj->moveBy(e.y, e.x);
        obj->boundingArea();
        obj->hitTest(e);
        std::string text;
        STagWriter writer;
        writer.attachString(&text);
        obj->writeSection(writer, e);
    }
}

void findEverything(SXKorvDoc& doc, std::string_view pattern, size_t size) {
    doc.setFindParams(pattern, size & 1, size & 2, -1,
                      size & 4 ? SXKorvEncoding::ShiftJis : SXKorvEncoding::Utf8);
    // A component gives at most one hit per searched field.
    const size_t limit = doc.objects().size() * 16 + 16;
    size_t hits = 0;
    for (const SXKorvObj* hit = doc.findFirst(); hit; hit = doc.findNext())
        kxfuzz::require(++hits <= limit, "find does not come to an end");
}

std::string sheetText(const SXKorvDoc& doc) {
    std::string text;
    STagWriter writer;
    writer.attachString(&text);
    kxfuzz::require(doc.writeSheet(writer), "sheet write to a string failed");
    return text;
}

// Find over a document that takes every non-empty text as a match.
class EveryTextDoc : public SXKorvDoc {
public:
    bool compareText(std::string_view text, std::string_view, bool, bool) const override {
        return !text.empty();
    }
};

void checkScanner(std::string_view text, int result) {
    SXKorvTextScanner scanner;
    if (!scanner.scan(text))
        return;
    kxfuzz::require(result == 0, "the scanner took a file the reader refuses");
    EveryTextDoc doc;
    STagReader reader;
    reader.attachString(text);
    kxfuzz::require(doc.read(reader) == 0, "the reader refuses the file now");
    doc.setFindParams("x", false, true, SSearchTarget::kAll);
    const SXKorvObj* hit = doc.findFirst();
    for (const SXKorvScannedText& t : scanner.texts()) {
        if (!(scanner.visibleLayers() & (1 << t.layer)))
            continue;
        kxfuzz::require(hit != nullptr, "the scanner found a text find does not");
        const SXKorvFindState& found = doc.findState();
        kxfuzz::require(found.foundText == t.text && found.foundKind == t.kindBit &&
                            found.foundPosition == t.position,
                        "the scanner and find disagree on a text");
        hit = doc.findNext();
    }
    kxfuzz::require(hit == nullptr, "find found a text the scanner does not");
}

int readFromFile(SXKorvDocSch& doc, std::string_view text) {
    std::FILE* f = fmemopen(const_cast<char*>(text.data()), text.size(), "r");
    if (!f)
        return -1;
    const int result = doc.readFile(f);
    std::fclose(f);
    return result;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text = kxfuzz::upToNul(kxfuzz::asText(data, size));
    SXKorvDocSch doc;
    STagReader reader;
    reader.attachString(text);
    const int result = doc.read(reader);
    kxfuzz::require(result >= 0 && result <= 2, "read result out of range");
    kxfuzz::require(result == 0 || doc.objects().empty(), "a failed read kept objects");
    checkScanner(text, result);

    if (!text.empty()) {
        SXKorvDocSch fromFile;
        kxfuzz::require(readFromFile(fromFile, text) == result, "file and memory results differ");
        kxfuzz::require(fromFile.objects().size() == doc.objects().size(),
                        "file and memory objects differ");
    }
    if (result != 0)
        return 0;

    for (const auto& obj : doc.objects())
        exercise(*obj);
    findEverything(doc, text.substr(text.size() - std::min<size_t>(text.size(), 2)), size);
    findEverything(doc, "A", size + 1);

    const std::string once = sheetText(doc);
    SXKorvDocSch again;
    reader.attachString(std::string_view(once));
    kxfuzz::require(again.read(reader) == 0, "a written sheet does not read");
    kxfuzz::requireSame(once, sheetText(again), "writing the sheet read back gives other bytes");

    FakeClipboard clipboard;
    clipboard.m_text = text;
    doc.setClipboard(&clipboard);
    if (doc.clipboardHasSchematic() && doc.pasteFromClipboard(SPoint(INT32_MAX, -3))) {
        doc.copyToClipboard();
        doc.commitWorking(SXKorvDoc::kCommit);
        doc.pasteFromClipboard(SPoint(5, 5));
        doc.commitWorking(SXKorvDoc::kDiscard);
    }
    return 0;
}
