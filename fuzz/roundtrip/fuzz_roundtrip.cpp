// Save and load again: any input that loads is saved, the saved file must load to the same
// library, and saving that must give the same bytes (a fixed point after one round).

#include "FuzzSupport.h"
#include "model/SCompIndex.h"
#include "model/SCompInfo.h"
#include "model/SCompLib.h"

#include <map>
#include <string>
#include <vector>

namespace {

// Entry names with, for each, the position of the first entry sharing its definition: equal
// shapes mean the same entries and the same aliasing.
std::vector<std::pair<std::string, size_t>> shapeOf(const SCompLib& lib) {
    std::vector<std::pair<std::string, size_t>> shape;
    std::map<const SCompInfo*, size_t> first;
    for (const auto& e : lib.entries()) {
        const auto [it, added] = first.emplace(e->component(), shape.size());
        shape.emplace_back(e->name(), it->second);
    }
    return shape;
}

// What a save writes: entries with an empty name are left out.
std::vector<std::pair<std::string, size_t>> savedShapeOf(const SCompLib& lib) {
    std::vector<std::pair<std::string, size_t>> shape;
    std::map<const SCompInfo*, size_t> first;
    for (const auto& e : lib.entries()) {
        if (e->name().empty())
            continue;
        const auto [it, added] = first.emplace(e->component(), shape.size());
        shape.emplace_back(e->name(), it->second);
    }
    return shape;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    kxfuzz::TempDir& dir = kxfuzz::TempDir::instance();
    const std::string input = dir.file("in.KM2");
    const std::string once = dir.file("once.KM2");
    const std::string twice = dir.file("twice.KM2");
    kxfuzz::require(dir.valid() && kxfuzz::writeFile(input, kxfuzz::asText(data, size)),
                    "cannot write the input");

    SCompLib original;
    if (!original.load(input))
        return 0;
    kxfuzz::require(original.save(once), "save failed");

    SCompLib reloaded;
    kxfuzz::require(reloaded.load(once), "a saved library does not load");
    kxfuzz::require(shapeOf(reloaded) == savedShapeOf(original), "entries changed");
    kxfuzz::require(reloaded.property() == original.property(), "property changed");
    kxfuzz::require(reloaded.save(twice), "second save failed");

    std::string first;
    std::string second;
    kxfuzz::require(kxfuzz::readFile(once, first) && kxfuzz::readFile(twice, second),
                    "cannot read the saved files");
    kxfuzz::requireSame(first, second, "saving the reloaded library gives other bytes");
    return 0;
}
