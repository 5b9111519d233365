// An "+IMAGE_DIB" section. An even first byte: the rest is the section's text after the opening
// word. An odd first byte: the rest is a bitmap file's bytes, encoded as the writer would; then
// reading must accept it exactly when setFileBytes does. An image that reads is written, read
// back and written to the same bytes.

#include "FuzzSupport.h"
#include "schematic/SImageDIB.h"
#include "tagtext/STagReader.h"
#include "tagtext/STagWriter.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace {

std::string sectionOf(std::string_view bytes) {
    std::string text;
    std::string line;
    for (size_t at = 0; at < bytes.size(); at += SImageDIB::kBytesPerLine) {
        const size_t n = std::min(SImageDIB::kBytesPerLine, bytes.size() - at);
        SImageDIB::encodeLine(reinterpret_cast<const uint8_t*>(bytes.data() + at), n, line);
        text += line;
        text += '\n';
    }
    text += "-IMAGE_DIB\n";
    return text;
}

std::string written(const SImageDIB& image) {
    std::string text;
    STagWriter writer;
    writer.attachString(&text);
    kxfuzz::require(image.writeSection(writer) == image.hasData(), "write result");
    return text;
}

size_t declaredSize(std::string_view file) {
    if (file.size() < 6)
        return 0;
    const auto* p = reinterpret_cast<const uint8_t*>(file.data()) + 2;
    return size_t{p[0]} | size_t{p[1]} << 8 | size_t{p[2]} << 16 | size_t{p[3]} << 24;
}

void checkHeld(const SImageDIB& image) {
    if (!image.hasData()) {
        kxfuzz::require(image.width() == 0 && image.height() == 0, "size without data");
        return;
    }
    kxfuzz::require(image.fileSize() <= SImageDIB::kMaxFileBytes, "declared size too large");
    kxfuzz::require(image.width() > 0 && image.height() > 0, "image of no size kept");
    kxfuzz::require(std::memcmp(image.fileHeader(), "BM", 2) == 0, "no BM");
    image.infoHeader();
    image.pixelBits();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    const std::string_view rest = kxfuzz::asText(data + 1, size - 1);
    const bool raw = data[0] & 1;
    const std::string text = raw ? sectionOf(rest) : std::string(rest);

    SImageDIB image;
    STagReader reader;
    reader.attachString(std::string_view(text));
    const bool ok = image.readSection(reader);
    checkHeld(image);
    if (raw) {
        SImageDIB direct;
        const bool accepted = direct.setFileBytes(rest);
        checkHeld(direct);
        // Bytes beyond the declared size may or may not end a decoding group; only a file of
        // exactly its declared size has one answer.
        if (accepted || declaredSize(rest) == rest.size())
            kxfuzz::require(accepted == (ok && image.hasData()),
                            "setFileBytes and reading disagree");
    }
    if (!ok || !image.hasData())
        return 0;

    const std::string once = written(image);
    reader.attachString(std::string_view(once));
    std::string word;
    kxfuzz::require(reader.readWord(word) >= 0 && word == SImageDIB::kSection, "no opening word");
    SImageDIB again;
    kxfuzz::require(again.readSection(reader) && again.hasData(), "written image does not read");
    kxfuzz::require(again.fileSize() == image.fileSize(), "size changed");
    kxfuzz::requireSame(once, written(again), "second write differs");
    image.clear();
    kxfuzz::require(!image.hasData() && written(image).empty(), "clear kept data");
    return 0;
}
