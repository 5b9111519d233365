#pragma once

#include "edit/SCompEditDoc.h"
#include "model/SCompInfo.h"
#include "model/SPin.h"
#include "model/SPtn.h"
#include "model/SPtnObj.h"
#include "tagtext/SClipboard.h"
#include "tagtext/STagWriter.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

// Stands in for the system clipboard; can be told to refuse new text.
class FakeClipboard : public SClipboard {
public:
    bool putText(std::string_view text) override {
        if (refusePut)
            return false;
        content = std::string(text);
        hasText = true;
        return true;
    }
    bool getText(std::string& text) const override {
        if (!hasText)
            return false;
        text = content;
        return true;
    }

    std::string content;
    bool hasText = false;
    bool refusePut = false;
};

inline SPin makePin(int32_t side, int32_t offset, std::string_view name = "", int32_t blocks = 1) {
    SPin pin;
    pin.setSide(side);
    pin.setOffset(offset);
    pin.setBlockCount(blocks);
    if (!name.empty())
        pin.setName(name);
    return pin;
}

// A component of w × h grid steps with a pattern (no bit pattern) unless told otherwise.
inline SCompInfo makeComponent(int32_t w, int32_t h, bool withPattern = true) {
    SCompInfo info;
    info.setSize(SSize(w, h), withPattern, true);
    return info;
}

// The record an object writes (without its line end), as a compact description of its state.
inline std::string recordOf(const SPtnObj& object) {
    std::string text;
    STagWriter writer;
    writer.attachString(&text);
    object.write(writer);
    if (!text.empty() && text.back() == '\n')
        text.pop_back();
    return text;
}

inline std::string recordOf(const SPin& pin) {
    std::string text;
    STagWriter writer;
    writer.attachString(&text);
    pin.write(writer);
    return text;
}

inline std::string recordOf(const SCompEditElm& elm) {
    if (elm.pin())
        return recordOf(*elm.pin());
    return elm.patternObject() ? recordOf(*elm.patternObject()) : std::string();
}

// The live committed objects in main-list order.
inline std::vector<std::string> liveRecords(const SCompEditDoc& doc) {
    std::vector<std::string> records;
    for (size_t i = 0; i < doc.mainCount(); ++i) {
        if (doc.mainElement(i).isLive())
            records.push_back(recordOf(doc.mainElement(i)));
    }
    return records;
}

inline std::vector<std::string> selectionRecords(const SCompEditDoc& doc) {
    std::vector<std::string> records;
    for (size_t i = 0; i < doc.selectionCount(); ++i)
        records.push_back(recordOf(doc.selectionElement(i)));
    return records;
}

inline std::vector<std::string> storedRecords(const SCompInfo& info) {
    std::vector<std::string> records;
    for (const SPin& pin : info.pins())
        records.push_back(recordOf(pin));
    if (info.pattern()) {
        for (const auto& object : info.pattern()->objects())
            records.push_back(recordOf(*object));
    }
    return records;
}
