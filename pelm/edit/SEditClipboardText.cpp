#include "edit/SEditClipboardText.h"

#include "model/SPin.h"
#include "model/SPtnObj.h"
#include "model/SPtnObjArc.h"
#include "model/SPtnObjCircle.h"
#include "model/SPtnObjLine.h"
#include "model/SPtnObjPolygon.h"
#include "model/SPtnObjText.h"
#include "tagtext/SClipboard.h"
#include "tagtext/STagReader.h"
#include "tagtext/STagWriter.h"

#include <functional>
#include <utility>

namespace {

enum class SectionStep { Next, Stop, Skip };
using SectionReader = std::function<SectionStep(STagReader&, const std::string&)>;

// Walks the sections after the magic word: reading stops at the end, at a closing word or when
// `readSection` says so; sections it does not know are skipped to their end tag, and one
// without an end tag ends the reading.
void walkSections(std::string_view text, std::string_view magic, const SectionReader& readSection) {
    STagReader reader;
    reader.attachString(text);
    std::string word;
    if (reader.readWord(word) < 0 || word != magic)
        return;
    while (reader.readWord(word) >= 0) {
        if (!word.empty() && word.front() == '-')
            return;
        if (word.empty() || word.front() != '+')
            continue;
        const SectionStep step = readSection(reader, word);
        if (step == SectionStep::Stop)
            return;
        if (step == SectionStep::Skip) {
            std::string endTag = word;
            endTag.front() = '-';
            if (reader.skipTo(endTag) < 0)
                return;
        }
    }
}

} // namespace

SEditClipboardText::Format SEditClipboardText::formatOf(std::string_view text) {
    if (text.size() <= kMinPasteBytes)
        return Format::None;
    if (text.starts_with(kPinMagic))
        return Format::Pin;
    if (text.starts_with(kPatternMagic))
        return Format::Pattern;
    return Format::None;
}

bool SEditClipboardText::canPaste(const SClipboard& clipboard) {
    std::string text;
    return clipboard.getText(text) && formatOf(text) != Format::None;
}

std::string SEditClipboardText::pinText(const SPin& pin) {
    std::string text;
    STagWriter writer;
    writer.attachString(&text);
    writer.writeWord(kPinMagic);
    writer.endLine();
    pin.write(writer);
    writer.endLine();
    writer.writeWord("-PELM_PIN_V.1.0");
    writer.endLine();
    return text;
}

std::string SEditClipboardText::patternText(const std::vector<const SPtnObj*>& objects,
                                            SPoint origin) {
    std::string text;
    STagWriter writer;
    writer.attachString(&text);
    writer.writeWord(kPatternMagic);
    writer.endLine();
    // Each object section ends its own line; one that cannot be written (a polygon of too
    // many nodes) leaves none.
    for (const SPtnObj* object : objects) {
        if (object)
            object->write(writer, origin);
    }
    writer.writeWord("-PELM_PTN_V.1.0");
    writer.endLine();
    return text;
}

std::unique_ptr<SPin> SEditClipboardText::readPin(std::string_view text, int32_t blockCount) {
    std::unique_ptr<SPin> result;
    walkSections(text, kPinMagic, [&](STagReader& reader, const std::string& word) {
        if (word != "+PIN")
            return SectionStep::Skip;
        auto pin = std::make_unique<SPin>();
        if (pin->read(reader, blockCount))
            result = std::move(pin);
        return SectionStep::Stop;
    });
    return result;
}

std::vector<std::unique_ptr<SPtnObj>>
SEditClipboardText::readPatternObjects(std::string_view text) {
    std::vector<std::unique_ptr<SPtnObj>> objects;
    walkSections(text, kPatternMagic, [&](STagReader& reader, const std::string& word) {
        std::unique_ptr<SPtnObj> object = SPtnObj::createForSection(word);
        if (!object)
            return SectionStep::Skip;
        if (object->read(reader))
            objects.push_back(std::move(object));
        return SectionStep::Next;
    });
    return objects;
}

SPoint SEditClipboardText::pasteOrigin(SPoint scrollPosition, int32_t zoom) {
    const int32_t factor = zoom > 0 ? zoom : 1;
    const auto corner = [factor](int32_t v) {
        const int32_t scaled = v / factor;
        return scaled < 0 ? 0 : scaled;
    };
    return {corner(scrollPosition.x), corner(scrollPosition.y)};
}
