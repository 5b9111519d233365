// A whole library text, read twice: through readBlocks from memory (after the magic word, as
// load takes it) and through load from a temporary file. Both must agree on the result, the
// entries and the written text; the library must keep its invariants either way.

#include "FuzzSupport.h"
#include "model/SCompIndex.h"
#include "model/SCompInfo.h"
#include "model/SCompLib.h"
#include "tagtext/STagReader.h"
#include "tagtext/STagWriter.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

bool readFromMemory(SCompLib& lib, std::string_view text) {
    STagReader reader;
    reader.attachString(text);
    return lib.read(reader);
}

std::string textOf(const SCompLib& lib) {
    std::vector<const SCompIndex*> order;
    for (const auto& e : lib.entries())
        order.push_back(e.get());
    std::string text;
    STagWriter writer;
    writer.attachString(&text);
    kxfuzz::require(lib.write(writer, order), "library write to a string failed");
    return text;
}

void checkInvariants(const SCompLib& lib) {
    kxfuzz::require(lib.entryCount() == static_cast<int32_t>(lib.entries().size()), "count");
    for (int32_t i = 0; i < lib.entryCount(); ++i) {
        const SCompIndex* entry = lib.entryAt(i);
        kxfuzz::require(entry && entry->component(), "entry without definition");
        const auto& comps = lib.components();
        kxfuzz::require(std::any_of(comps.begin(), comps.end(),
                                    [&](const auto& c) { return c.get() == entry->component(); }),
                        "entry bound to a definition the library does not own");
        kxfuzz::require(lib.findEntry(entry->name()) != nullptr, "entry name not found");
        kxfuzz::require(!lib.isUniqueName(entry->name()), "entry name counts as unique");
    }
    kxfuzz::require(lib.entryAt(-1) == nullptr && lib.entryAt(lib.entryCount()) == nullptr,
                    "entry outside the list");
}

std::vector<std::string> namesOf(const SCompLib& lib) {
    std::vector<std::string> names;
    for (const auto& e : lib.entries())
        names.push_back(e->name());
    return names;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text = kxfuzz::upToNul(kxfuzz::asText(data, size));

    SCompLib fromMemory;
    const bool memoryOk = readFromMemory(fromMemory, text);
    checkInvariants(fromMemory);

    kxfuzz::TempDir& dir = kxfuzz::TempDir::instance();
    const std::string path = dir.file("in.KM2");
    kxfuzz::require(dir.valid() && kxfuzz::writeFile(path, text), "cannot write the input");
    SCompLib fromFile;
    const bool fileOk = fromFile.load(path);
    checkInvariants(fromFile);

    kxfuzz::require(memoryOk == fileOk, "memory and file reading disagree on the result");
    kxfuzz::require(namesOf(fromMemory) == namesOf(fromFile), "memory and file entries differ");
    kxfuzz::require(fromMemory.property() == fromFile.property(), "property differs");
    kxfuzz::requireSame(textOf(fromMemory), textOf(fromFile), "memory and file texts differ");
    kxfuzz::require(fileOk == fromFile.path().has_value(), "path set without a load");
    kxfuzz::require(!fromFile.load(path) || !fileOk, "a loaded library loaded again");

    // A library can be emptied and loaded again.
    fromFile.clear();
    kxfuzz::require(fromFile.entryCount() == 0 && !fromFile.path(), "clear left entries");
    kxfuzz::require(fromFile.load(path) == fileOk, "second load after clear differs");
    return 0;
}
