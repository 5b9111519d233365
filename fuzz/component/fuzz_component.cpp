// A "+COMP" section body (the reader stands after "+COMP"). A component that reads must write
// text that reads again and writes the same bytes; pin ends, sizes and block counts are then
// worked with every direction and with extreme values, for the sanitizers.

#include "FuzzSupport.h"
#include "model/SCompInfo.h"
#include "model/SPtn.h"
#include "tagtext/STagReader.h"
#include "tagtext/STagWriter.h"

#include <climits>
#include <string>

namespace {

std::string written(const SCompInfo& comp, std::string_view name) {
    std::string text;
    STagWriter writer;
    writer.attachString(&text);
    kxfuzz::require(comp.write(writer, name), "component write to a string failed");
    return text;
}

void exercise(const SCompInfo& original) {
    for (int32_t direction = -1; direction <= 8; ++direction) {
        original.drawingSize(direction);
        for (int32_t i = -1; i <= original.pinCount() && i < 64; ++i) {
            const auto end = original.pinEnd(i, direction);
            kxfuzz::require(end.has_value() == (i >= 0 && i < original.pinCount()),
                            "pin end for an index outside the list");
        }
    }
    SCompInfo copy(original);
    copy.setBlockCount(original.blockCount() + 1);
    copy.setBlockCount(1);
    copy.openPinGap(SPin::kSideLeft, 0);
    copy.removePinAt(SPin::kSideLeft, 0, true);
    copy.usePattern(true, false);
    copy.setSize(SSize(INT32_MAX, INT32_MIN), true, false);
    for (int32_t i = 0; i < copy.pinCount() && i < 64; ++i)
        copy.pinEnd(i, 5);
    copy.usePattern(false, false);
    copy.setSize(SSize(INT32_MIN, INT32_MAX), true, true);
    copy.drawingSize(1);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    STagReader reader;
    reader.attachString(kxfuzz::asText(data, size));
    SCompInfo comp;
    std::string name;
    std::string patternName;
    if (!comp.read(reader, name, patternName)) {
        kxfuzz::require(comp.pinCount() == 0 && !comp.pattern(), "failed read kept pins");
        return 0;
    }
    exercise(comp);

    const std::string first = written(comp, name);
    reader.attachString(std::string_view(first));
    std::string word;
    kxfuzz::require(reader.readWord(word) >= 0 && word == "+COMP", "section does not start +COMP");
    SCompInfo again;
    std::string againName;
    kxfuzz::require(again.read(reader, againName, patternName), "written component does not read");
    kxfuzz::require(againName == name, "name changed");
    kxfuzz::require(again.pinCount() == comp.pinCount(), "pin count changed");
    kxfuzz::requireSame(first, written(again, name), "second write differs");
    return 0;
}
