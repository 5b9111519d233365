#pragma once

#include "model/SPoint.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class STagReader;

// One searchable text of a sheet as the scanner met it.
struct SXKorvScannedText {
    std::string_view text;
    int32_t kindBit = 0; // the SSearchTarget bit it answers to
    SPoint position;
    int32_t layer = 0;
};

// Reads a schematic file only as far as find needs it: the texts of its labels, tags, comments
// and components, in file order (which the commit after a read keeps for these kinds) and, for a
// component, in find's field order, with their positions and layers; and the sheet's visible
// layers. It follows the document reader's rules word for word but builds no objects.
//
// It gives up on anything it is not sure of: whatever would make the document reader fail (so
// that the reader words the warning), image objects, NUL bytes, broken escapes, words at the size
// limit, and embedded library parts whose exact bytes the document reader has not read before on
// this thread. The caller then reads the file into a document, which stays the judge of what a
// file means.
class SXKorvTextScanner {
public:
    // True when the whole file was scanned; texts() and visibleLayers() then describe it.
    bool scan(std::string_view bytes);

    // Views into the scanned bytes or into the scanner, valid until the next scan.
    const std::vector<SXKorvScannedText>& texts() const { return m_texts; }
    int32_t visibleLayers() const { return m_visibleLayers; }

    // Internal: the reading rules of a section kind, and what scanning one section keeps.
    struct Section;
    struct Fields;
    enum class Key : uint8_t;

private:
    bool scanSections(STagReader& reader);
    bool scanSection(STagReader& reader, const Section& rules);
    bool readField(const Section& rules, Key key, std::string_view value, Fields& f);
    bool readComponentField(Key key, std::string_view value, Fields& f);
    void addTexts(const Section& rules, const Fields& f);
    void addText(std::string_view text, int32_t kindBit, SPoint position, int32_t layer);
    bool skipNested(STagReader& reader, std::string_view word);
    bool skipLibraryPart(STagReader& reader);
    // `value` as a text that outlives the next word: a view into the input, or a copy.
    bool keep(std::string_view value, std::string_view& kept);

    std::vector<SXKorvScannedText> m_texts;
    std::string m_decoded; // decoded texts; never outgrows the file, so never moves
    std::string m_scratch;
    std::string m_closing;
    std::string_view m_input;
    int32_t m_visibleLayers = 255;
};
