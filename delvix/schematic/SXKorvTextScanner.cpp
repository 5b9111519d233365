#include "schematic/SXKorvTextScanner.h"

#include "SXKorvPartCache.h"
#include "schematic/SFindVocabulary.h"
#include "schematic/SXKorvComponent.h"
#include "schematic/SXKorvDoc.h"
#include "tagtext/STagField.h"
#include "tagtext/STagReader.h"

#include <cstring>
#include <functional>

// The keys the scanner tells apart; every other key is Other. Keys are compared once per field
// by their length and bytes, as the readers' exact comparisons would.
enum class SXKorvTextScanner::Key : uint8_t {
    Other,
    X,
    Y,
    L,
    S,
    D,
    T,
    W,
    H,
    N,
    R,
    X1,
    Y1,
    X2,
    Y2,
    NX,
    NY,
    RX,
    RY,
    VL,
    LIB,
    PKG,
    MFR,
    NOTE,
    MFRPN
};

namespace {

using Key = SXKorvTextScanner::Key;

enum class ScanKind { Plain, Label, Tag, Comment, Component, SheetInfo };

constexpr uint32_t bit(Key k) {
    return 1u << static_cast<unsigned>(k);
}

bool same(std::string_view key, const char (&name)[4]) {
    return key[0] == name[0] && key[1] == name[1] && key[2] == name[2];
}

Key oneLetterKey(char c) {
    switch (c) {
    case 'X':
        return Key::X;
    case 'Y':
        return Key::Y;
    case 'L':
        return Key::L;
    case 'S':
        return Key::S;
    case 'D':
        return Key::D;
    case 'T':
        return Key::T;
    case 'W':
        return Key::W;
    case 'H':
        return Key::H;
    case 'N':
        return Key::N;
    case 'R':
        return Key::R;
    default:
        return Key::Other;
    }
}

Key twoLetterKey(char a, char b) {
    if (b == '1' || b == '2') {
        if (a == 'X')
            return b == '1' ? Key::X1 : Key::X2;
        if (a == 'Y')
            return b == '1' ? Key::Y1 : Key::Y2;
        return Key::Other;
    }
    if (a == 'N' || a == 'R') {
        if (b == 'X')
            return a == 'N' ? Key::NX : Key::RX;
        if (b == 'Y')
            return a == 'N' ? Key::NY : Key::RY;
        return Key::Other;
    }
    return a == 'V' && b == 'L' ? Key::VL : Key::Other;
}

Key classify(std::string_view key) {
    switch (key.size()) {
    case 1:
        return oneLetterKey(key[0]);
    case 2:
        return twoLetterKey(key[0], key[1]);
    case 3:
        return same(key, "LIB")   ? Key::LIB
               : same(key, "PKG") ? Key::PKG
               : same(key, "MFR") ? Key::MFR
                                  : Key::Other;
    case 4:
        return key == "NOTE" ? Key::NOTE : Key::Other;
    case 5:
        return key == "MFRPN" ? Key::MFRPN : Key::Other;
    default:
        return Key::Other;
    }
}

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

// The reading rules of one section kind: its name without "+", the keys without which its read
// fails, and whether a field with an empty value counts.
struct SXKorvTextScanner::Section {
    std::string_view name;
    ScanKind kind;
    uint32_t required; // bit(Key) of each
    bool emptyValues;
};

namespace {

using Section = SXKorvTextScanner::Section;
using ScannedFields = SXKorvTextScanner::Fields;

constexpr uint32_t kPoint = bit(Key::X) | bit(Key::Y);
constexpr uint32_t kEnds = bit(Key::X1) | bit(Key::Y1) | bit(Key::X2) | bit(Key::Y2);

constexpr Section kSheetInfo = {"SHEETINFO", ScanKind::SheetInfo, bit(Key::W) | bit(Key::H), true};

// Every object section but "+IMAGEOBJECT", which the scanner leaves to the document reader.
constexpr Section kSections[] = {
    {"WIRE", ScanKind::Plain, kEnds, false},
    {"JUNCTION", ScanKind::Plain, kPoint, false},
    {"LABEL", ScanKind::Label, kPoint | bit(Key::D) | bit(Key::S), false},
    {"COMPONENT", ScanKind::Component, kPoint | bit(Key::LIB), true},
    {"TAG", ScanKind::Tag, kPoint | bit(Key::D) | bit(Key::T) | bit(Key::S), true},
    {"BUS", ScanKind::Plain, kEnds, false},
    {"ENTRY", ScanKind::Plain, kEnds, false},
    {"BENTRY", ScanKind::Plain, kEnds, false},
    {"COMMENT", ScanKind::Comment, kPoint | bit(Key::S), false},
    {"DASH", ScanKind::Plain, kEnds, false},
    {"ALINE", ScanKind::Plain, kEnds, false},
};

// Names are told apart by length and first letter before they are compared whole.
const Section* sectionFor(std::string_view name) {
    if (name.empty())
        return nullptr;
    for (const Section& s : kSections) {
        if (s.name.size() == name.size() && s.name[0] == name[0])
            return s.name == name ? &s : nullptr;
    }
    return nullptr;
}

void readLayer(std::string_view value, ScannedFields& f) {
    const int32_t layer = STagField::toInt(value);
    if (layer >= 0 && layer <= 7)
        f.layer = layer;
}

} // namespace

bool SXKorvTextScanner::scan(std::string_view bytes) {
    m_texts.clear();
    m_decoded.clear();
    m_visibleLayers = 255;
    m_input = bytes;
    STagReader reader;
    reader.attachString(bytes);
    // The in-memory reader ends at a NUL byte, the file reader does not.
    if (reader.buffered().size() != bytes.size())
        return false;
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
    std::string_view part;
    if (!cache.findAtStart(reader.buffered(), part)) {
        part = cache.sectionBytes(reader.buffered(), SXKorvComponent::kLibClosing);
        if (part.empty() || !cache.find(part))
            return false;
    }
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
    const uint32_t required = rules.required;
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
        const Key key = classify(field.key);
        seen |= bit(key) & required;
        if (!readField(rules, key, field.value, f))
            return false;
    }
    addTexts(rules, f);
    return true;
}

bool SXKorvTextScanner::readField(const Section& rules, Key key, std::string_view value,
                                  Fields& f) {
    switch (rules.kind) {
    case ScanKind::Plain:
        return true;
    case ScanKind::SheetInfo:
        if (key == Key::VL) {
            const int32_t mask = STagField::toInt(value) & 0xFF;
            f.visibleLayers = mask == 0 ? 255 : mask;
        }
        return true;
    case ScanKind::Component:
        return readComponentField(key, value, f);
    default:
        if (key == Key::S)
            return keep(value, f.text);
        if (key == Key::X)
            f.p1.x = STagField::toInt(value);
        else if (key == Key::Y)
            f.p1.y = STagField::toInt(value);
        else if (key == Key::L)
            readLayer(value, f);
        return true;
    }
}

bool SXKorvTextScanner::readComponentField(Key key, std::string_view value, Fields& f) {
    switch (key) {
    case Key::X:
        f.p1.x = STagField::toInt(value);
        return true;
    case Key::Y:
        f.p1.y = STagField::toInt(value);
        return true;
    case Key::L:
        readLayer(value, f);
        return true;
    case Key::NX:
        f.valueOffset.x = STagField::toInt(value);
        return true;
    case Key::NY:
        f.valueOffset.y = STagField::toInt(value);
        return true;
    case Key::RX:
        f.referenceOffset.x = STagField::toInt(value);
        return true;
    case Key::RY:
        f.referenceOffset.y = STagField::toInt(value);
        return true;
    case Key::LIB:
        f.partSeen = true; // a part after the library name is skipped, not read
        return keep(value, f.libraryName);
    case Key::N:
        return keep(value, f.value);
    case Key::R:
        return keep(value, f.reference);
    case Key::MFR:
        return keep(value, f.manufacturer);
    case Key::MFRPN:
        return keep(value, f.mfrPartNumber);
    case Key::PKG:
        return keep(value, f.package);
    case Key::NOTE:
        return keep(value, f.note);
    default:
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
