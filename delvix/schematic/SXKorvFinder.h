#pragma once

#include "model/SPoint.h"
#include "schematic/SFindVocabulary.h"
#include "schematic/SXKorvObj.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class SXKorvDoc;

using SXKorvObjList = std::vector<std::unique_ptr<SXKorvObj>>;

// What the find operations look for and where they stand.
struct SXKorvFindState {
    std::string pattern;
    bool matchWhole = false;
    bool caseSensitive = false;
    int32_t targets = 0;
    bool selectFound = false;
    SXKorvEncoding encoding = SXKorvEncoding::Utf8;
    size_t iterator = 0; // index into the main list
    int32_t stage = 0;   // next component field to try; 0 moves on to the next object
    std::string foundText;
    int32_t foundKind = 0;
    SPoint foundPosition;
    bool active = false;
};

// Find first / find next over a sheet's main list: the live objects on visible layers in list
// order, the texts of labels, tags and comments, and a component's fields one after another.
// Texts are compared by the document, whose comparison a subclass may change.
class SXKorvFinder {
public:
    void setParams(std::string_view pattern, bool matchWhole, bool caseSensitive, int32_t targets,
                   SXKorvEncoding encoding);
    // The next object with a matching text, or null; the found text, kind and position are in
    // state().
    const SXKorvObj* first(const SXKorvObjList& objects, int32_t visibleLayers,
                           const SXKorvDoc& doc);
    const SXKorvObj* next(const SXKorvObjList& objects, int32_t visibleLayers,
                          const SXKorvDoc& doc);
    const SXKorvFindState& state() const { return m_state; }
    // A change of the list ends a search in progress.
    void deactivate() { m_state.active = false; }
    void reset() { m_state = SXKorvFindState{}; }

private:
    const SXKorvObj* findFrom(bool advance, const SXKorvObjList& objects, int32_t visibleLayers,
                              const SXKorvDoc& doc);
    bool tryComponent(const SXKorvObj& obj, const SXKorvDoc& doc);
    bool tryText(const std::string& text, int32_t kindBit, SPoint position, const SXKorvDoc& doc);

    SXKorvFindState m_state;
};
