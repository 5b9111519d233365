#include "model/SCompClipboard.h"

#include "model/SCompIndex.h"
#include "model/SCompInfo.h"
#include "model/SCompLib.h"
#include "tagtext/STagReader.h"
#include "tagtext/STagWriter.h"

#include <vector>

bool SCompClipboard::holdsComponent(std::string_view text) {
    return text.size() > kMinTextBytes && text.substr(0, kMagic.size()) == kMagic;
}

std::string SCompClipboard::write(const SCompIndex& entry) {
    const SCompInfo* component = entry.component();
    if (entry.name().empty() || !component)
        return {};
    std::string text;
    STagWriter w;
    w.attachString(&text);
    w.writeWord(kMagic);
    w.endLine();
    w.writeWord("+COMPONENT");
    w.endLine();
    w.writeWord(SCompLib::kLibraryOpen);
    w.endLine();
    component->write(w, entry.name());
    w.writeWord(SCompLib::kLibraryClose);
    w.endLine();
    // The placed component's position: its body's lower-right corner, as the editor places it.
    const SSize size = component->size();
    w.writeInt("X", mulWrap(size.width, SCompInfo::kGrid));
    w.writeInt("Y", mulWrap(size.height, SCompInfo::kGrid));
    w.writeText("LIB", entry.name());
    w.writeText("N", entry.name());
    w.writeText("R", component->referencePrefix().value_or(""));
    w.endLine();
    w.writeWord("-COMPONENT");
    w.endLine();
    w.writeWord(SFileWords::kSchematicClose);
    w.endLine();
    return text;
}

SCompIndex* SCompClipboard::read(SCompLib& library, std::string_view text) {
    if (!holdsComponent(text))
        return nullptr;
    STagReader reader;
    reader.attachString(text);
    const int32_t before = library.entryCount();
    const std::string property = library.property();
    // The text begins with the schematic's magic word (holdsComponent), so the library reader's
    // check of the first word leaves only that one.
    if (!library.read(reader, true)) {
        // Entries of a half-read paste would sit in the library without a list item.
        std::vector<const SCompIndex*> added;
        for (int32_t i = before; i < library.entryCount(); ++i)
            added.push_back(library.entryAt(i));
        for (const SCompIndex* entry : added)
            library.removeEntry(entry);
        library.setProperty(property);
        return nullptr;
    }
    // A "PROP" field inside the pasted text is not the library's property.
    library.setProperty(property);
    return library.entryCount() > before ? library.entryAt(library.entryCount() - 1) : nullptr;
}
