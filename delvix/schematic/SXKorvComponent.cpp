#include "schematic/SXKorvComponent.h"

#include "SXKorvPartCache.h"
#include "model/SCompInfo.h"
#include "model/SPin.h"
#include "model/SPtn.h"
#include "tagtext/STagField.h"
#include "tagtext/STagReader.h"
#include "tagtext/STagWriter.h"

namespace {
enum : uint32_t { kReqX = 1, kReqY = 2, kReqLib = 4, kReqAll = 7 };

} // namespace

SXKorvComponent::SXKorvComponent() = default;

SXKorvComponent::SXKorvComponent(const SXKorvComponent& other)
    : SXKorvObj(other), m_value(other.m_value), m_valueOffset(other.m_valueOffset),
      m_valueHidden(other.m_valueHidden), m_valueHorizontal(other.m_valueHorizontal),
      m_reference(other.m_reference), m_referenceOffset(other.m_referenceOffset),
      m_referenceHidden(other.m_referenceHidden),
      m_referenceHorizontal(other.m_referenceHorizontal), m_valueSize(other.m_valueSize),
      m_valueSizeValid(other.m_valueSizeValid), m_referenceSize(other.m_referenceSize),
      m_referenceSizeValid(other.m_referenceSizeValid), m_block(other.m_block),
      m_orientation(other.m_orientation), m_part(other.m_part), m_libraryName(other.m_libraryName),
      m_package(other.m_package), m_mfrPartNumber(other.m_mfrPartNumber),
      m_manufacturer(other.m_manufacturer), m_note(other.m_note),
      m_pinSideMask(other.m_pinSideMask) {}

SXKorvComponent::~SXKorvComponent() = default;

void SXKorvComponent::setValue(std::string_view text) {
    m_value = text;
    m_valueSizeValid = false;
}

void SXKorvComponent::setReference(std::string_view text) {
    m_reference = text;
    m_referenceSizeValid = false;
}

void SXKorvComponent::setValueHorizontal(bool horizontal) {
    m_valueHorizontal = horizontal;
    m_valueSizeValid = false;
}

void SXKorvComponent::setReferenceHorizontal(bool horizontal) {
    m_referenceHorizontal = horizontal;
    m_referenceSizeValid = false;
}

void SXKorvComponent::setValueTextSize(SSize size) {
    m_valueSize = size;
    m_valueSizeValid = true;
}

void SXKorvComponent::setReferenceTextSize(SSize size) {
    m_referenceSize = size;
    m_referenceSizeValid = true;
}

void SXKorvComponent::setBlock(int32_t block) {
    m_block = m_part && block >= 0 && block < m_part->blockCount() ? block : 0;
}

void SXKorvComponent::setOrientation(int32_t dir) {
    if (dir >= 0 && dir <= 7)
        m_orientation = dir;
}

void SXKorvComponent::setPart(std::unique_ptr<SCompInfo> part) {
    m_part = std::move(part);
    setBlock(m_block);
    updatePinSideMask();
}

std::string_view SXKorvComponent::partWriteName() const {
    if (!m_libraryName.empty())
        return m_libraryName;
    if (!m_value.empty())
        return m_value;
    return "EMB";
}

int32_t SXKorvComponent::placedSide(int32_t pinSide) const {
    int32_t side = static_cast<int32_t>(((int64_t{m_orientation} + pinSide) % 4 + 4) % 4);
    if ((m_orientation & 4) && (side == 0 || side == 2))
        side = 2 - side;
    return side;
}

SSize SXKorvComponent::bodySize() const {
    if (!m_part)
        return {20, 20};
    const SSize s = m_part->size();
    const int32_t w = mulWrap(s.width, 10);
    const int32_t h = mulWrap(s.height, 10);
    return (m_orientation & 1) ? SSize{h, w} : SSize{w, h};
}

SRect SXKorvComponent::bodyArea() const {
    const SSize s = bodySize();
    return SRect(subWrap(m_p1.x, s.width), subWrap(m_p1.y, s.height), m_p1.x, m_p1.y).normalized();
}

SPoint SXKorvComponent::pinPosition(int32_t index) const {
    const SPin* pin = m_part ? m_part->pinAt(index) : nullptr;
    if (!pin)
        return {-1, -1};
    const SSize s = bodySize();
    const int32_t v = mulWrap(pin->offset(), 10);
    const int32_t side = placedSide(pin->side());
    const int32_t o = m_orientation;
    SPoint p = m_p1;
    if (side == 0 || side == 2) {
        if (side == 0)
            p.x = subWrap(m_p1.x, s.width);
        const bool fromBottom = o == 2 || o == 3 || o == 6 || o == 7;
        p.y = fromBottom ? subWrap(m_p1.y, v) : subWrap(addWrap(m_p1.y, v), s.height);
    } else {
        if (side == 1)
            p.y = subWrap(m_p1.y, s.height);
        const bool fromRight = o == 1 || o == 2 || o == 4 || o == 7;
        p.x = fromRight ? subWrap(m_p1.x, v) : subWrap(addWrap(m_p1.x, v), s.width);
    }
    return p;
}

int32_t SXKorvComponent::connectionPointCount() const {
    return m_part ? m_part->pinCount() : 0;
}

SPoint SXKorvComponent::connectionPoint(int32_t index) const {
    const SPin* pin = m_part ? m_part->pinAt(index) : nullptr;
    if (!pin)
        return {-1, -1};
    SPoint p = pinPosition(index);
    // A zero-length pin has no pin line: it connects at the body edge.
    if (pin->typeFlags() & SPin::kFlagZeroLength)
        return p;
    switch (placedSide(pin->side())) {
    case 0:
        p.x = subWrap(p.x, 10);
        break;
    case 1:
        p.y = subWrap(p.y, 10);
        break;
    case 2:
        p.x = addWrap(p.x, 10);
        break;
    default:
        p.y = addWrap(p.y, 10);
        break;
    }
    return p;
}

void SXKorvComponent::updatePinSideMask() {
    m_pinSideMask = 0;
    if (!m_part)
        return;
    for (const SPin& pin : m_part->pins()) {
        if (!(pin.typeFlags() & SPin::kFlagZeroLength))
            m_pinSideMask |= 1 << placedSide(pin.side());
    }
}

SRect SXKorvComponent::textArea(SPoint anchor, size_t bytes, bool sizeValid, SSize cached,
                                bool horizontal) const {
    const int64_t guess = int64_t{8} * static_cast<int64_t>(std::min<size_t>(bytes, INT32_MAX));
    const int32_t w =
        sizeValid ? cached.width : static_cast<int32_t>(std::min<int64_t>(guess, INT32_MAX));
    const int32_t h = sizeValid ? cached.height : 10;
    const SPoint a = m_p1 + anchor;
    if (horizontal)
        return SRect(a.x, subWrap(a.y, h), addWrap(a.x, w), a.y).normalized();
    return SRect(subWrap(a.x, h), subWrap(a.y, w), a.x, a.y).normalized();
}

SRect SXKorvComponent::valueTextArea() const {
    return textArea(m_valueOffset, m_value.size(), m_valueSizeValid, m_valueSize,
                    m_valueHorizontal);
}

SRect SXKorvComponent::referenceTextArea() const {
    return textArea(m_referenceOffset, m_reference.size(), m_referenceSizeValid, m_referenceSize,
                    m_referenceHorizontal);
}

int32_t SXKorvComponent::hitTest(SPoint p) const {
    int32_t hit = 0;
    if (bodyArea().contains(p))
        hit |= kHitBody;
    if (!m_valueHidden && valueTextArea().contains(p))
        hit |= kHitValueText;
    if (!m_referenceHidden && referenceTextArea().contains(p))
        hit |= kHitReferenceText;
    return hit;
}

SRect SXKorvComponent::boundingArea() const {
    SRect r = bodyArea();
    for (int32_t i = 0; i < connectionPointCount(); ++i)
        r.unite(connectionPoint(i));
    if (!m_valueHidden)
        r.unite(valueTextArea());
    if (!m_referenceHidden)
        r.unite(referenceTextArea());
    return r;
}

int32_t SXKorvComponent::areaIntersect(const SRect& area) const {
    return area.normalized().intersects(bodyArea()) ? 3 : 0;
}

bool SXKorvComponent::areaContains(const SRect& area) const {
    return area.normalized().contains(bodyArea());
}

// The two-letter keys: placement and visibility of the value ("N") and reference ("R") texts.
void SXKorvComponent::readTextField(std::string_view key, std::string_view value) {
    const bool isValue = key[0] == 'N';
    if (!isValue && key[0] != 'R')
        return;
    const int32_t v = STagField::toInt(value);
    SPoint& offset = isValue ? m_valueOffset : m_referenceOffset;
    switch (key[1]) {
    case 'X':
        offset.x = v;
        break;
    case 'Y':
        offset.y = v;
        break;
    case 'D':
        isValue ? setValueHorizontal(v != 0) : setReferenceHorizontal(v != 0);
        break;
    case 'H':
        (isValue ? m_valueHidden : m_referenceHidden) = v != 0;
        break;
    default:
        break;
    }
}

uint32_t SXKorvComponent::readField(std::string_view key, std::string_view value,
                                    std::optional<SPoint> offset) {
    if (key.size() == 2) {
        readTextField(key, value);
        return 0;
    }
    if (key == "X") {
        m_p1.x = offsetX(STagField::toInt(value), offset);
        return kReqX;
    }
    if (key == "Y") {
        m_p1.y = offsetY(STagField::toInt(value), offset);
        return kReqY;
    }
    if (key == "LIB") {
        m_libraryName.assign(value);
        if (!m_partSeen) {
            // A library name ahead of any embedded part: the component goes without one.
            m_partSeen = true;
            m_part.reset();
        }
        return kReqLib;
    }
    if (key == "N")
        setValue(value);
    else if (key == "R")
        setReference(value);
    else if (key == "DIR")
        setOrientation(STagField::toInt(value));
    else if (key == "BLK")
        m_block = STagField::toInt(value);
    else if (key == "NOTE")
        m_note.assign(value);
    else if (key == "PKG")
        m_package.assign(value);
    else if (key == "MFR")
        m_manufacturer.assign(value);
    else if (key == "MFRPN")
        m_mfrPartNumber.assign(value);
    else
        readLayerField(key, value);
    return 0;
}

bool SXKorvComponent::readNested(std::string_view word, STagReader& reader, std::optional<SPoint>,
                                 bool& ok) {
    if (word != kLibSection || m_partSeen)
        return false;
    m_partSeen = true;
    ok = readLibraryPart(reader);
    return true;
}

// An embedded part whose exact bytes were read before is taken from the cache: the same bytes
// always read the same way. The bytes run to the delimiter after the first closing word in the
// buffer; they are cached only when reading really ended there.
bool SXKorvComponent::readLibraryPart(STagReader& reader) {
    SXKorvPartCache& cache = SXKorvPartCache::forThisThread();
    const std::string_view bytes = cache.sectionBytes(reader.buffered(), kLibClosing);
    if (!bytes.empty()) {
        if (const SXKorvPartCache::Entry* hit = cache.find(bytes)) {
            reader.skipBuffered(bytes.size(), hit->lines, hit->lastWordLines);
            m_libraryName = hit->libraryName;
            m_part = hit->part;
            return true;
        }
    }
    const STagReader::Mark start = reader.mark();
    if (!parseLibraryPart(reader))
        return false;
    // Same size since the mark means no refill either, so `bytes` still holds what was read.
    if (!bytes.empty() && reader.bytesSince(start).size() == bytes.size())
        cache.insert(bytes, {m_libraryName, m_part, reader.line() - start.line,
                             reader.wordLine() - start.line});
    return true;
}

// The embedded part: its first "+PTN" and first "+COMP" up to "-KORVX_LIB_V.1.0"; every other
// word inside is passed over one by one.
bool SXKorvComponent::parseLibraryPart(STagReader& reader) {
    thread_local std::string word;
    std::unique_ptr<SPtn> pattern;
    bool patternSeen = false;
    std::unique_ptr<SCompInfo> info;
    for (;;) {
        if (reader.readWord(word) < 0)
            return false;
        if (word.empty())
            continue;
        if (word[0] == '-') {
            if (word != kLibClosing || !info)
                return false;
            break;
        }
        if (word == "+PTN") {
            if (patternSeen) {
                if (reader.skipTo("-PTN") < 0)
                    return false;
                continue;
            }
            patternSeen = true;
            auto ptn = std::make_unique<SPtn>();
            if (ptn->read(reader))
                pattern = std::move(ptn);
        } else if (word == "+COMP") {
            if (info) {
                if (reader.skipTo("-COMP") < 0)
                    return false;
                continue;
            }
            auto comp = std::make_unique<SCompInfo>();
            std::string name;
            std::string patternName;
            if (!comp->read(reader, name, patternName))
                return false;
            m_libraryName = std::move(name);
            info = std::move(comp);
        }
    }
    if (pattern)
        info->setPattern(std::move(pattern));
    m_part = std::move(info);
    return true;
}

bool SXKorvComponent::readSection(STagReader& reader, std::optional<SPoint> offset, SXKorvDoc*) {
    m_part.reset();
    m_partSeen = false;
    m_pinSideMask = 0;
    if (!readCommon(reader, offset, {kSection, kReqAll, true}))
        return false;
    setBlock(m_block);
    updatePinSideMask();
    return true;
}

void SXKorvComponent::writeTexts(STagWriter& w) const {
    w.writeText("N", m_value);
    w.writeInt("ND", m_valueHorizontal ? 1 : 0);
    w.writeInt("NX", m_valueOffset.x);
    w.writeInt("NY", m_valueOffset.y);
    w.writeInt("NH", m_valueHidden ? 1 : 0);
    w.writeText("R", m_reference);
    w.writeInt("RD", m_referenceHorizontal ? 1 : 0);
    w.writeInt("RX", m_referenceOffset.x);
    w.writeInt("RY", m_referenceOffset.y);
    w.writeInt("RH", m_referenceHidden ? 1 : 0);
}

bool SXKorvComponent::writeSection(STagWriter& w, std::optional<SPoint> offset) const {
    w.writeWord("+COMPONENT");
    if (m_part) {
        w.endLine();
        w.writeWord(kLibSection);
        w.endLine();
        m_part->write(w, partWriteName());
        w.writeWord(kLibClosing);
        w.endLine();
    }
    w.writeInt("L", m_layer);
    w.writeInt("X", unoffsetX(m_p1.x, offset));
    w.writeInt("Y", unoffsetY(m_p1.y, offset));
    w.writeText("LIB", m_libraryName);
    w.writeInt("DIR", m_orientation);
    w.writeInt("BLK", m_block);
    writeTexts(w);
    w.writeText("NOTE", m_note);
    w.writeText("PKG", m_package);
    w.writeText("MFR", m_manufacturer);
    w.writeText("MFRPN", m_mfrPartNumber);
    w.writeWord("-COMPONENT");
    w.endLine();
    return true;
}
