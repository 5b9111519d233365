// The component clipboard text pasted into a library that already holds entries. A failed
// paste leaves the library as it was; a pasted component, copied again, pastes into another
// library as the same record.

#include "FuzzSupport.h"
#include "model/SCompClipboard.h"
#include "model/SCompIndex.h"
#include "model/SCompInfo.h"
#include "model/SCompLib.h"
#include "tagtext/STagReader.h"
#include "tagtext/STagWriter.h"

#include <string>
#include <vector>

namespace {

void fill(SCompLib& lib) {
    constexpr std::string_view text = "+KORVX_LIB_V.1.0\nPROP:mine\n"
                                      "+COMP,N:A,X:1,Y:1,B:1,-COMP\n"
                                      "+COMP,N:A(1),X:1,Y:1,B:1,-COMP\n"
                                      "+ALIAS,A:B,N:A,-ALIAS\n";
    STagReader reader;
    reader.attachString(text);
    std::string word;
    reader.readWord(word);
    kxfuzz::require(lib.readBlocks(reader, false), "the starting library does not read");
}

std::string record(const SCompIndex& entry, std::string_view name) {
    std::string text;
    STagWriter writer;
    writer.attachString(&text);
    entry.component()->write(writer, name);
    return text;
}

std::vector<std::string> namesOf(const SCompLib& lib) {
    std::vector<std::string> names;
    for (const auto& e : lib.entries())
        names.push_back(e->name());
    return names;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text = kxfuzz::asText(data, size);
    SCompLib lib;
    fill(lib);
    const std::vector<std::string> before = namesOf(lib);

    SCompIndex* pasted = SCompClipboard::read(lib, text);
    kxfuzz::require(lib.property() == "mine", "pasting changed the library's property");
    if (!pasted) {
        kxfuzz::require(namesOf(lib) == before, "a failed paste changed the entries");
        kxfuzz::require(lib.componentCount() == 2, "a failed paste changed the definitions");
        return 0;
    }
    kxfuzz::require(pasted == lib.entryAt(lib.entryCount() - 1), "pasted entry is not the last");
    kxfuzz::require(SCompClipboard::holdsComponent(text), "pasted a text that is not offered");
    if (pasted->name().empty())
        return 0; // nothing to copy: an entry the library writer skips

    const std::string copied = SCompClipboard::write(*pasted);
    kxfuzz::require(SCompClipboard::holdsComponent(copied), "a copied component is not offered");
    SCompLib other;
    const SCompIndex* again = SCompClipboard::read(other, copied);
    kxfuzz::require(again != nullptr, "a copied component does not paste");
    kxfuzz::require(again->name() == pasted->name(), "name changed through the clipboard");
    kxfuzz::requireSame(record(*pasted, "X"), record(*again, "X"), "component changed");
    return 0;
}
