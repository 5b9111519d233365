// A "+PIN" record body (the reader stands after "+PIN"); the first byte chooses the block count.
// A record that reads must write back to text that reads to the same pin and writes the same
// bytes again.

#include "FuzzSupport.h"
#include "model/SPin.h"
#include "tagtext/STagReader.h"
#include "tagtext/STagWriter.h"

#include <string>

namespace {

std::string written(const SPin& pin) {
    std::string text;
    STagWriter writer;
    writer.attachString(&text);
    kxfuzz::require(pin.write(writer), "pin write to a string failed");
    writer.endLine();
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    const int32_t blocks = data[0] >= 250 ? 256 : data[0] % 9;
    const std::string_view body = kxfuzz::asText(data + 1, size - 1);

    STagReader reader;
    reader.attachString(body);
    SPin pin;
    if (!pin.read(reader, blocks))
        return 0;
    kxfuzz::require(pin.blockCount() == blocks, "block count not taken");
    kxfuzz::require(pin.offset() >= 0 && pin.offset() <= SPin::kMaxOffset, "offset out of range");
    kxfuzz::require(!pin.name() || pin.name()->size() <= SPin::kMaxNameBytes, "name too long");

    const std::string first = written(pin);
    reader.attachString(std::string_view(first));
    std::string word;
    kxfuzz::require(reader.readWord(word) >= 0 && word == "+PIN", "record does not start +PIN");
    SPin again;
    kxfuzz::require(again.read(reader, blocks), "written pin does not read back");
    kxfuzz::require(again.side() == pin.side() && again.offset() == pin.offset() &&
                        again.typeFlags() == pin.typeFlags(),
                    "side, offset or flags changed");
    kxfuzz::require(again.name().value_or("") == pin.name().value_or(""), "name changed");
    for (int32_t b = 0; b < blocks; ++b)
        kxfuzz::require(again.number(b).value_or("") == pin.number(b).value_or(""),
                        "pin number changed");
    kxfuzz::requireSame(first, written(again), "second write differs");
    return 0;
}
