// Inputs found by the fuzz targets, kept with the property each one broke. A file's name starts
// with the reader it is fed to: "pattern-" (a "+PTN" body), "pin-" (first byte the block count,
// then a "+PIN" body), "component-" (a "+COMP" body), "library-" (a whole library text).

#include "model/SCompInfo.h"
#include "model/SCompLib.h"
#include "model/SPin.h"
#include "model/SPtn.h"
#include "tagtext/STagReader.h"
#include "tagtext/STagWriter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <string>

namespace fs = std::filesystem;

namespace {

std::string fileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

template <typename Write> std::string textOf(Write&& write) {
    std::string text;
    STagWriter writer;
    writer.attachString(&text);
    write(writer);
    return text;
}

// Reads `body` after the opening word, then the written text back: the second write must give
// the same bytes as the first.
template <typename T, typename Read, typename Write>
void checkFixedPoint(std::string_view body, std::string_view opening, Read read, Write write) {
    STagReader reader;
    reader.attachString(body);
    T first;
    if (!read(first, reader))
        return;
    const std::string once = textOf([&](STagWriter& w) { write(first, w); });
    reader.attachString(std::string_view(once));
    std::string word;
    ASSERT_GE(reader.readWord(word), 0);
    ASSERT_EQ(word, opening);
    T second;
    ASSERT_TRUE(read(second, reader)) << once;
    EXPECT_EQ(textOf([&](STagWriter& w) { write(second, w); }), once);
}

void checkPattern(const std::string& bytes) {
    checkFixedPoint<SPtn>(
        bytes, "+PTN", [](SPtn& p, STagReader& r) { return p.read(r); },
        [](const SPtn& p, STagWriter& w) { p.write(w); });
}

void checkPin(const std::string& bytes) {
    if (bytes.empty())
        return;
    const auto first = static_cast<unsigned char>(bytes[0]);
    const int32_t blocks = first >= 250 ? 256 : first % 9;
    checkFixedPoint<SPin>(
        std::string_view(bytes).substr(1), "+PIN",
        [blocks](SPin& p, STagReader& r) { return p.read(r, blocks); },
        [](const SPin& p, STagWriter& w) { p.write(w); });
}

void checkComponent(const std::string& bytes) {
    checkFixedPoint<SCompInfo>(
        bytes, "+COMP",
        [](SCompInfo& c, STagReader& r) {
            std::string name;
            std::string pattern;
            return c.read(r, name, pattern);
        },
        [](const SCompInfo& c, STagWriter& w) { c.write(w, "C"); });
}

std::string libraryText(const SCompLib& lib) {
    std::vector<const SCompIndex*> order;
    for (const auto& e : lib.entries())
        order.push_back(e.get());
    return textOf([&](STagWriter& w) { lib.write(w, order); });
}

void checkLibrary(const std::string& bytes) {
    SCompLib first;
    STagReader reader;
    reader.attachString(bytes);
    std::string word;
    if (reader.readWord(word) < 0 || word != SCompLib::kLibraryOpen ||
        !first.readBlocks(reader, false))
        return;
    const std::string once = libraryText(first);
    SCompLib second;
    reader.attachString(std::string_view(once));
    ASSERT_GE(reader.readWord(word), 0);
    ASSERT_TRUE(second.readBlocks(reader, false)) << once;
    EXPECT_EQ(libraryText(second), once);
}

const std::map<std::string, std::function<void(const std::string&)>, std::less<>> kCheckers = {
    {"pattern-", checkPattern},
    {"pin-", checkPin},
    {"component-", checkComponent},
    {"library-", checkLibrary},
};

TEST(FuzzRegressions, EveryKeptInputHoldsItsProperty) {
    const fs::path dir = fs::path(KX_TEST_DATA_DIR) / "fuzz";
    int checked = 0;
    for (const auto& item : fs::directory_iterator(dir)) {
        const std::string name = item.path().filename().string();
        const auto checker = std::find_if(kCheckers.begin(), kCheckers.end(), [&](const auto& c) {
            return name.rfind(c.first, 0) == 0;
        });
        ASSERT_NE(checker, kCheckers.end()) << "no reader for " << name;
        SCOPED_TRACE(name);
        checker->second(fileBytes(item.path()));
        ++checked;
    }
    EXPECT_GT(checked, 0);
}

} // namespace
