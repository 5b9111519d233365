#pragma once

#include "schematic/SXKorvDocSch.h"
#include "tagtext/SClipboard.h"
#include "tagtext/STagReader.h"
#include "tagtext/STagWriter.h"

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace doctest {

inline std::string dataPath(std::string_view name) {
    return std::string(KX_TEST_DATA_DIR) + "/" + std::string(name);
}

inline int readText(SXKorvDoc& doc, std::string_view text) {
    STagReader reader;
    reader.attachString(text);
    return doc.read(reader);
}

// -1 when the file cannot be opened.
inline int readDataFile(SXKorvDoc& doc, std::string_view name) {
    std::FILE* file = std::fopen(dataPath(name).c_str(), "rb");
    if (!file)
        return -1;
    const int result = doc.readFile(file);
    std::fclose(file);
    return result;
}

inline std::string written(const SXKorvObj& obj) {
    std::string out;
    STagWriter writer;
    writer.attachString(&out);
    obj.writeSection(writer);
    if (!out.empty() && out.back() == '\n')
        out.pop_back();
    return out;
}

// Every live object of the main list as its writer puts it, in list order.
inline std::vector<std::string> liveObjects(const SXKorvDoc& doc) {
    std::vector<std::string> out;
    for (const auto& obj : doc.objects()) {
        if (obj->isLive())
            out.push_back(written(*obj));
    }
    return out;
}

inline std::string sheetText(const SXKorvDoc& doc) {
    std::string out;
    STagWriter writer;
    writer.attachString(&out);
    doc.writeSheet(writer);
    return out;
}

inline std::string wire(int x1, int y1, int x2, int y2, int layer = 0,
                        std::string_view kind = "WIRE") {
    const std::string k(kind);
    return "+" + k + ",L:" + std::to_string(layer) + ",X1:" + std::to_string(x1) +
           ",Y1:" + std::to_string(y1) + ",X2:" + std::to_string(x2) + ",Y2:" + std::to_string(y2) +
           ",-" + k;
}

inline std::string junction(int x, int y, int layer = 0) {
    return "+JUNCTION,L:" + std::to_string(layer) + ",X:" + std::to_string(x) +
           ",Y:" + std::to_string(y) + ",-JUNCTION";
}

inline std::string sheet(const std::vector<std::string>& sections) {
    std::string text = "+KORVX_DATA_V.1.0\n";
    for (const auto& s : sections)
        text += s + "\n";
    return text + "-KORVX_DATA_V.1.0\n";
}

// The clipboard double: holds one text, or none.
class FakeClipboard : public SClipboard {
public:
    bool putText(std::string_view text) override {
        ++puts;
        if (refusePut)
            return false;
        content = std::string(text);
        return true;
    }
    bool getText(std::string& text) const override {
        if (!content)
            return false;
        text = *content;
        return true;
    }

    std::optional<std::string> content;
    bool refusePut = false;
    int puts = 0;
};

} // namespace doctest
