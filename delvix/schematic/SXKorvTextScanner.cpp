#include "schematic/SXKorvTextScanner.h"

#include "SXKorvPartCache.h"
#include "schematic/SFindVocabulary.h"
#include "schematic/SXKorvComponent.h"
#include "schematic/SXKorvDoc.h"
#include "tagtext/STagField.h"
#include "tagtext/STagReader.h"

#include <cstring>
#include <functional>

namespace {

enum class ScanKind { Plain, Label, Tag, Comment, Component, SheetInfo };

constexpr size_t kMaxRequired = 5;

} // namespace

// What scanning one section keeps: the fields find looks at.
struct SXKorvTextScanner::Fields {
    SPoint p1{-1, -1};
    int32_t layer = 0;
    std::string_view text; // "S" of labels, tags and comments
    std::string_view value, libraryName, reference, manufacturer, mfrPartNumber, package, note;
    SPoint valueOffset{2, 20};
    SPoint referenceOffset{2, 10};
    int32_t visibleLayers = 255;
    bool partSeen = false;
};

namespace {

using ScannedFields = SXKorvTextScanner::Fields;

// The component keys that hold a searched text, in no particular order.
struct ComponentText {
    std::string_view key;
    std::string_view ScannedFields::*field;
};
constexpr ComponentText kComponentTexts[] = {
    {"N", &ScannedFields::value},
    {"LIB", &ScannedFields::libraryName},
    {"R", &ScannedFields::reference},
    {"MFR", &ScannedFields::manufacturer},
    {"MFRPN", &ScannedFields::mfrPartNumber},
    {"PKG", &ScannedFields::package},
    {"NOTE", &ScannedFields::note},
};

} // namespace

// The reading rules of one section kind: its name without "+", the keys without which its read
// fails, and whether a field with an empty value counts.
struct SXKorvTextScanner::Section {
    std::string_view name;
    ScanKind kind;
    std::string_view required[kMaxRequired];
    bool emptyValues;
};

namespace {

using Section = SXKorvTextScanner::Section;

constexpr Section kSheetInfo = {"SHEETINFO", ScanKind::SheetInfo, {"W", "H"}, true};

// Every object section but "+IMAGEOBJECT", which the scanner leaves to the document reader.
constexpr Section kSections[] = {
    {"WIRE", ScanKind::Plain, {"X1", "Y1", "X2", "Y2"}, false},
    {"JUNCTION", ScanKind::Plain, {"X", "Y"}, false},
    {"LABEL", ScanKind::Label, {"X", "Y", "D", "S"}, false},
    {"COMPONENT", ScanKind::Component, {"X", "Y", "LIB"}, true},
    {"TAG", ScanKind::Tag, {"X", "Y", "D", "T", "S"}, true},
    {"BUS", ScanKind::Plain, {"X1", "Y1", "X2", "Y2"}, false},
    {"ENTRY", ScanKind::Plain, {"X1", "Y1", "X2", "Y2"}, false},
    {"BENTRY", ScanKind::Plain, {"X1", "Y1", "X2", "Y2"}, false},
    {"COMMENT", ScanKind::Comment, {"X", "Y", "S"}, false},
    {"DASH", ScanKind::Plain, {"X1", "Y1", "X2", "Y2"}, false},
    {"ALINE", ScanKind::Plain, {"X1", "Y1", "X2", "Y2"}, false},
};

const Section* sectionFor(std::string_view name) {
    for (const Section& s : kSections) {
        if (s.name == name)
            return &s;
    }
    return nullptr;
}

uint32_t requiredBits(const Section& rules) {
    uint32_t bits = 0;
    for (size_t i = 0; i < kMaxRequired && !rules.required[i].empty(); ++i)
        bits |= 1u << i;
    return bits;
}

uint32_t requiredBit(const Section& rules, std::string_view key) {
    for (size_t i = 0; i < kMaxRequired && !rules.required[i].empty(); ++i) {
        if (rules.required[i] == key)
            return 1u << i;
    }
    return 0;
}

// Position and layer keys as every text kind reads them.
void readPlace(std::string_view key, std::string_view value, ScannedFields& f) {
    if (key == "X") {
        f.p1.x = STagField::toInt(value);
    } else if (key == "Y") {
        f.p1.y = STagField::toInt(value);
    } else if (key == "L") {
        const int32_t layer = STagField::toInt(value);
        if (layer >= 0 && layer <= 7)
            f.layer = layer;
    }
}

// The two-letter keys of a component that place its value ("N") and reference ("R") texts.
void readTextOffset(std::string_view key, std::string_view value, ScannedFields& f) {
    if (key[1] != 'X' && key[1] != 'Y')
        return;
    SPoint* offset = key[0] == 'N' ? &f.valueOffset : key[0] == 'R' ? &f.referenceOffset : nullptr;
    if (!offset)
        return;
    (key[1] == 'X' ? offset->x : offset->y) = STagField::toInt(value);
}

} // namespace

bool SXKorvTextScanner::scan(std::string_view bytes) {
    m_texts.clear();
    m_decoded.clear();
    m_visibleLayers = 255;
    m_input = bytes;
    // The in-memory reader would end at a NUL byte, the file reader does not.
    if (std::memchr(bytes.data(), 0, bytes.size()))
        return false;
    STagReader reader;
    reader.attachString(bytes);
    std::string_view word;
    if (reader.readWordView(m_scratch, word) < 0) {
        // Nothing at all is an empty sheet; a broken first word before others is not a sheet.
        return reader.readWordView(m_scratch, word) < 0;
    }
    if (word != SXKorvDoc::kMagic)
        return false;
    return scanSections(reader);
}

// The document's section dispatcher, up to the closing word or the end.
bool SXKorvTextScanner::scanSections(STagReader& reader) {
    bool sheetInfoSeen = false;
    std::string_view word;
    for (;;) {
        if (reader.readWordView(m_scratch, word) < 0) {
            // After a broken escape further words make the reader fail the file.
            return reader.readWordView(m_scratch, word) < 0;
        }
        if (word.size() >= STagReader::kMaxWordBytes)
            return false;
        if (word.empty() || word == SXKorvDoc::kClosing)
            return true;
        if (word.front() != '+')
            return false;
        const std::string_view name = word.substr(1);
        if (name == kSheetInfo.name && !sheetInfoSeen) {
            sheetInfoSeen = true;
            if (!scanSection(reader, kSheetInfo))
                return false;
        } else if (const Section* rules = sectionFor(name)) {
            if (!scanSection(reader, *rules))
                return false;
        } else if (name == "IMAGEOBJECT" || !skipNested(reader, word)) {
            return false;
        }
    }
}

bool SXKorvTextScanner::skipNested(STagReader& reader, std::string_view word) {
    m_closing.assign(word);
    m_closing[0] = '-';
    return reader.skipTo(m_closing) >= 0;
}

// An embedded part is only passed over when the document reader has read these exact bytes
// before (reading the same bytes always ends the same way); it then sits in the part cache.
bool SXKorvTextScanner::skipLibraryPart(STagReader& reader) {
    SXKorvPartCache& cache = SXKorvPartCache::forThisThread();
    const std::string_view part =
        cache.sectionBytes(reader.buffered(), SXKorvComponent::kLibClosing);
    if (part.empty() || !cache.find(part))
        return false;
    reader.skipBuffered(part.size(), 0, 0);
    return true;
}

bool SXKorvTextScanner::keep(std::string_view value, std::string_view& kept) {
    const std::less<const char*> before;
    const char* inputEnd = m_input.data() + m_input.size();
    if (!before(value.data(), m_input.data()) && !before(inputEnd, value.data() + value.size())) {
        kept = value;
        return true;
    }
    // Decoded texts are never longer than their bytes in the file: room for the whole file
    // means the buffer never moves under the views already handed out.
    if (m_decoded.empty() && m_decoded.capacity() < m_input.size())
        m_decoded.reserve(m_input.size());
    if (m_decoded.size() + value.size() > m_decoded.capacity())
        return false;
    const size_t at = m_decoded.size();
    m_decoded.append(value);
    kept = std::string_view(m_decoded.data() + at, value.size());
    return true;
}

// One section, as the objects' common read loop takes it; false where that loop fails.
bool SXKorvTextScanner::scanSection(STagReader& reader, const Section& rules) {
    const uint32_t required = requiredBits(rules);
    uint32_t seen = 0;
    ScannedFields f;
    std::string_view word;
    for (;;) {
        if (reader.readWordView(m_scratch, word) < 0 || word.size() >= STagReader::kMaxWordBytes)
            return false;
        if (word.empty())
            continue;
        if (word[0] == '-') {
            if (word.substr(1) != rules.name || (seen & required) != required)
                return false;
            break;
        }
        if (word[0] == '+') {
            const bool part = rules.kind == ScanKind::Component &&
                              word == SXKorvComponent::kLibSection && !f.partSeen;
            if (part)
                f.partSeen = true;
            if (!(part ? skipLibraryPart(reader) : skipNested(reader, word)))
                return false;
            continue;
        }
        STagField field;
        if (!STagField::split(word, field) || (field.value.empty() && !rules.emptyValues))
            continue;
        seen |= requiredBit(rules, field.key);
        if (!readField(rules, field.key, field.value, f))
            return false;
    }
    addTexts(rules, f);
    return true;
}

bool SXKorvTextScanner::readField(const Section& rules, std::string_view key,
                                  std::string_view value, Fields& f) {
    switch (rules.kind) {
    case ScanKind::Plain:
        return true;
    case ScanKind::SheetInfo:
        if (key == "VL") {
            const int32_t mask = STagField::toInt(value) & 0xFF;
            f.visibleLayers = mask == 0 ? 255 : mask;
        }
        return true;
    case ScanKind::Component:
        if (key.size() == 2) {
            readTextOffset(key, value, f);
            return true;
        }
        if (key == "LIB")
            f.partSeen = true; // a part after the library name is skipped, not read
        for (const ComponentText& t : kComponentTexts) {
            if (key == t.key)
                return keep(value, f.*t.field);
        }
        readPlace(key, value, f);
        return true;
    default:
        if (key == "S")
            return keep(value, f.text);
        readPlace(key, value, f);
        return true;
    }
}

void SXKorvTextScanner::addText(std::string_view text, int32_t kindBit, SPoint position,
                                int32_t layer) {
    // Empty texts never match.
    if (!text.empty())
        m_texts.push_back({text, kindBit, position, layer});
}

void SXKorvTextScanner::addTexts(const Section& rules, const Fields& f) {
    switch (rules.kind) {
    case ScanKind::Label:
        addText(f.text, SSearchTarget::kLabel, f.p1, f.layer);
        break;
    case ScanKind::Tag:
        addText(f.text, SSearchTarget::kTag, f.p1, f.layer);
        break;
    case ScanKind::Comment:
        addText(f.text, SSearchTarget::kComment, f.p1, f.layer);
        break;
    case ScanKind::Component:
        // Find's field order.
        addText(f.value, SSearchTarget::kValue, f.p1 + f.valueOffset, f.layer);
        addText(f.libraryName, SSearchTarget::kNameInLib, f.p1, f.layer);
        addText(f.reference, SSearchTarget::kRefNum, f.p1 + f.referenceOffset, f.layer);
        addText(f.manufacturer, SSearchTarget::kMfr, f.p1, f.layer);
        addText(f.mfrPartNumber, SSearchTarget::kMfrPn, f.p1, f.layer);
        addText(f.package, SSearchTarget::kPkg, f.p1, f.layer);
        addText(f.note, SSearchTarget::kNote, f.p1, f.layer);
        break;
    case ScanKind::SheetInfo:
        m_visibleLayers = f.visibleLayers;
        break;
    case ScanKind::Plain:
        break;
    }
}
