// The pin and pattern clipboard texts of the component editor. The parsers run on the text; a
// pin or object group that reads is written back and must read to the same text again. Then the
// text is pasted into an edit document holding a component, the pasted selection is mirrored,
// turned, moved by extreme steps, copied, pasted again and undone, and stored back.

#include "FuzzSupport.h"
#include "edit/SCompEditDoc.h"
#include "edit/SEditClipboardText.h"
#include "model/SCompInfo.h"
#include "model/SPin.h"
#include "model/SPtn.h"
#include "model/SPtnObj.h"
#include "tagtext/SClipboard.h"
#include "tagtext/STagReader.h"

#include <climits>
#include <string>
#include <vector>

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

// A 4 × 3 body with a pattern and two pins, as the editor would hold it.
SCompInfo makeComponent(int32_t blocks) {
    constexpr std::string_view text = "N:C,X:4,Y:3,B:1,+PIN,N:A,L:L1,M:1,-PIN,"
                                      "+PIN,N:B,L:T2,T:NC,M:2,-PIN,-COMP";
    SCompInfo info;
    STagReader reader;
    reader.attachString(text);
    std::string name;
    std::string pattern;
    kxfuzz::require(info.read(reader, name, pattern), "the test component does not read");
    info.usePattern(true, false);
    info.setBlockCount(blocks);
    return info;
}

void checkPinRoundTrip(std::string_view text, int32_t blocks) {
    const std::unique_ptr<SPin> pin = SEditClipboardText::readPin(text, blocks);
    if (!pin)
        return;
    const std::string once = SEditClipboardText::pinText(*pin);
    kxfuzz::require(SEditClipboardText::formatOf(once) == SEditClipboardText::Format::Pin,
                    "a pin text is not taken for one");
    const std::unique_ptr<SPin> again = SEditClipboardText::readPin(once, blocks);
    kxfuzz::require(again != nullptr, "a written pin text does not read");
    kxfuzz::requireSame(once, SEditClipboardText::pinText(*again), "pin text changed");
}

void checkPatternRoundTrip(std::string_view text) {
    const auto objects = SEditClipboardText::readPatternObjects(text);
    std::vector<const SPtnObj*> views;
    for (const auto& obj : objects)
        views.push_back(obj.get());
    const std::string once = SEditClipboardText::patternText(views, SPoint(INT32_MIN, 7));
    const auto again = SEditClipboardText::readPatternObjects(once);
    kxfuzz::require(again.size() == objects.size(), "object count changed");
    std::vector<const SPtnObj*> againViews;
    for (const auto& obj : again)
        againViews.push_back(obj.get());
    kxfuzz::requireSame(once, SEditClipboardText::patternText(againViews, SPoint(0, 0)),
                        "pattern text changed");
}

void pasteAndEdit(std::string_view text, int32_t blocks) {
    SCompInfo info = makeComponent(blocks);
    SCompEditDoc doc;
    doc.loadComponent(&info);
    FakeClipboard clipboard;
    clipboard.m_text = text;
    const SPoint origin = SEditClipboardText::pasteOrigin(SPoint(INT32_MAX, INT32_MIN), 1);
    SCompEditDoc::PasteResult result = doc.paste(clipboard, origin);
    if (result.floatingPin)
        doc.addPinToSelection(result.floatingPin.get());
    doc.mirrorSelection();
    doc.rotateSelection();
    doc.moveSelection(INT32_MAX, INT32_MIN);
    doc.selectionRect();
    doc.isInSelectionRect(SPoint(INT32_MIN, INT32_MIN));
    FakeClipboard copied;
    if (doc.copySelectionToClipboard(copied)) {
        kxfuzz::require(SEditClipboardText::formatOf(copied.m_text) !=
                            SEditClipboardText::Format::None,
                        "a copied selection is no clipboard text");
        doc.paste(copied, SPoint(3, 3));
    }
    doc.releaseSelection();
    doc.selectPatternObjectsIn(SRect(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX));
    doc.rotateSelection();
    doc.deleteSelection();
    while (doc.canUndo() && doc.undo()) {
    }
    doc.storeComponent(info);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text = kxfuzz::upToNul(kxfuzz::asText(data, size));
    const int32_t blocks = static_cast<int32_t>(size % 4) + 1;
    SEditClipboardText::formatOf(text);
    checkPinRoundTrip(text, blocks);
    checkPatternRoundTrip(text);
    pasteAndEdit(text, blocks);
    return 0;
}
