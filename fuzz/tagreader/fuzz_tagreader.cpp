// The word reader on arbitrary bytes. Besides crashes it checks three properties: the in-memory
// and the file source give the same words; no word exceeds the size limit; and every word list
// survives writing and reading back.

#include "FuzzSupport.h"
#include "tagtext/STagReader.h"
#include "tagtext/STagWriter.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Words {
    std::vector<std::string> words;
    std::vector<int32_t> lines;
};

Words readAll(STagReader& reader) {
    Words out;
    std::string word;
    int32_t line;
    while ((line = reader.readWord(word)) >= 0) {
        kxfuzz::require(word.size() <= STagReader::kMaxWordBytes, "word longer than the limit");
        kxfuzz::require(out.lines.empty() || line >= out.lines.back(), "line number went back");
        out.words.push_back(word);
        out.lines.push_back(line);
    }
    return out;
}

Words readFromFile(std::string_view text) {
    Words out;
    std::FILE* f = fmemopen(const_cast<char*>(text.data()), text.size(), "r");
    if (!f)
        return out;
    static STagReader reader; // keeps its large buffer between runs
    reader.attachFile(f);
    out = readAll(reader);
    std::fclose(f);
    return out;
}

// A final empty word is not written back as anything a reader could see.
void dropTrailingEmpty(std::vector<std::string>& words) {
    while (!words.empty() && words.back().empty())
        words.pop_back();
}

void checkWriteBack(const std::vector<std::string>& words) {
    std::string text;
    STagWriter writer;
    writer.attachString(&text);
    for (const std::string& w : words)
        kxfuzz::require(writer.writeWord(w) == 0, "writing to a string failed");
    writer.endLine();
    STagReader reader;
    reader.attachString(std::string_view(text));
    std::vector<std::string> back = readAll(reader).words;
    std::vector<std::string> expected = words;
    dropTrailingEmpty(back);
    dropTrailingEmpty(expected);
    kxfuzz::require(back == expected, "words changed through writing and reading back");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text = kxfuzz::upToNul(kxfuzz::asText(data, size));

    STagReader reader;
    reader.attachString(text);
    const Words fromString = readAll(reader);

    if (!text.empty()) {
        const Words fromFile = readFromFile(text);
        kxfuzz::require(fromFile.words == fromString.words, "file and string sources differ");
        kxfuzz::require(fromFile.lines == fromString.lines, "file and string lines differ");
    }

    checkWriteBack(fromString.words);

    if (!fromString.words.empty()) {
        reader.attachString(text);
        kxfuzz::require(reader.skipTo(fromString.words.back()) == 0, "skipTo missed a word");
    }
    return 0;
}
