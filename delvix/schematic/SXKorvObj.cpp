#include "schematic/SXKorvObj.h"

#include "schematic/SXKorvComment.h"
#include "schematic/SXKorvComponent.h"
#include "schematic/SXKorvDash.h"
#include "schematic/SXKorvEntry.h"
#include "schematic/SXKorvGeometry.h"
#include "schematic/SXKorvImageObj.h"
#include "schematic/SXKorvJunc.h"
#include "schematic/SXKorvLabel.h"
#include "schematic/SXKorvLine.h"
#include "schematic/SXKorvMarkerLine.h"
#include "schematic/SXKorvTag.h"
#include "tagtext/STagField.h"
#include "tagtext/STagReader.h"

std::unique_ptr<SXKorvObj> SXKorvObj::createForSection(std::string_view openingWord) {
    if (openingWord.size() < 2 || openingWord[0] != '+')
        return nullptr;
    const std::string_view name = openingWord.substr(1);
    if (name == SXKorvWire::kSection)
        return std::make_unique<SXKorvWire>();
    if (name == SXKorvJunc::kSection)
        return std::make_unique<SXKorvJunc>();
    if (name == SXKorvLabel::kSection)
        return std::make_unique<SXKorvLabel>();
    if (name == SXKorvComponent::kSection)
        return std::make_unique<SXKorvComponent>();
    if (name == SXKorvTag::kSection)
        return std::make_unique<SXKorvTag>();
    if (name == SXKorvBus::kSection)
        return std::make_unique<SXKorvBus>();
    if (name == SXKorvEntry::kSection)
        return std::make_unique<SXKorvEntry>();
    if (name == SXKorvBusEntry::kSection)
        return std::make_unique<SXKorvBusEntry>();
    if (name == SXKorvComment::kSection)
        return std::make_unique<SXKorvComment>();
    if (name == SXKorvDash::kSection)
        return std::make_unique<SXKorvDash>();
    if (name == SXKorvMarkerLine::kSection)
        return std::make_unique<SXKorvMarkerLine>();
    if (name == SXKorvImageObj::kSection)
        return std::make_unique<SXKorvImageObj>();
    return nullptr;
}

bool SXKorvObj::readSection(STagReader&, std::optional<SPoint>, SXKorvDoc*) {
    return false;
}

bool SXKorvObj::writeSection(STagWriter&, std::optional<SPoint>) const {
    return false;
}

void SXKorvObj::setLayer(int32_t layer) {
    if (layer >= 0 && layer <= 7)
        m_layer = layer;
}

void SXKorvObj::setPoint(int32_t which, SPoint p) {
    if (which != 0)
        setP2(p);
    else
        setP1(p);
}

SPoint SXKorvObj::point(int32_t which) const {
    return which != 0 ? p2() : p1();
}

void SXKorvObj::moveBy(int32_t dx, int32_t dy) {
    const int32_t part = m_selection & 3;
    const SPoint d{dx, dy};
    if (part != SXKorvSelect::kP2Only)
        setP1(m_p1 + d);
    if (part != SXKorvSelect::kP1Only)
        setP2(m_p2 + d);
}

void SXKorvObj::mirror() {
    mirrorAt(static_cast<int32_t>((int64_t{m_p1.x} + m_p2.x) / 2));
}

void SXKorvObj::mirrorAt(int32_t a) {
    const int32_t twoA = mulWrap(a, 2);
    setX1(subWrap(twoA, m_p1.x));
    setX2(subWrap(twoA, m_p2.x));
}

void SXKorvObj::rotate() {
    rotateAt({static_cast<int32_t>((int64_t{m_p1.x} + m_p2.x) / 2),
              static_cast<int32_t>((int64_t{m_p1.y} + m_p2.y) / 2)});
}

namespace {
SPoint quarterTurn(SPoint p, SPoint c) {
    return {subWrap(addWrap(c.x, c.y), p.y), subWrap(addWrap(c.y, p.x), c.x)};
}
} // namespace

void SXKorvObj::rotateAt(SPoint c) {
    const SPoint a = quarterTurn(m_p1, c);
    const SPoint b = quarterTurn(m_p2, c);
    setP1(a);
    setP2(b);
}

int32_t SXKorvObj::hitTest(SPoint) const {
    return 0;
}
int32_t SXKorvObj::pointQuery2(SPoint) const {
    return 0;
}
int32_t SXKorvObj::areaIntersect(const SRect&) const {
    return 0;
}
int32_t SXKorvObj::areaTest2(const SRect&) const {
    return 0;
}
bool SXKorvObj::areaContains(const SRect&) const {
    return false;
}
SPoint SXKorvObj::connectionPoint(int32_t) const {
    return {-1, -1};
}

bool SXKorvObj::readLayerField(std::string_view key, std::string_view value) {
    if (key != "L")
        return false;
    setLayer(STagField::toInt(value));
    return true;
}

uint32_t SXKorvObj::readPointField(std::string_view key, std::string_view value,
                                   std::optional<SPoint> offset) {
    if (key == "X") {
        m_p1.x = offsetX(STagField::toInt(value), offset);
        return kPointX;
    }
    if (key == "Y") {
        m_p1.y = offsetY(STagField::toInt(value), offset);
        return kPointY;
    }
    return 0;
}

int32_t SXKorvObj::pointHitTest(SPoint p) const {
    return SXKorvGeometry::nearPoint(m_p1, p) ? 1 : 0;
}

int32_t SXKorvObj::pointAreaIntersect(const SRect& area) const {
    return area.normalized().contains(m_p1) ? 3 : 0;
}

bool SXKorvObj::pointAreaContains(const SRect& area) const {
    return area.normalized().contains(m_p1);
}

uint32_t SXKorvObj::readField(std::string_view, std::string_view, std::optional<SPoint>) {
    return 0;
}

bool SXKorvObj::readNested(std::string_view, STagReader&, std::optional<SPoint>, bool&) {
    return false;
}

bool SXKorvObj::readCommon(STagReader& reader, std::optional<SPoint> offset,
                           const ReadRules& rules) {
    // Words are views into the reader's input where possible (no copy per word); escaped ones
    // are decoded into one buffer per thread. The views handed to readField/readNested are used
    // before the next word is read, and no nested reader uses the buffer.
    thread_local std::string scratch;
    std::string_view word;
    uint32_t seen = 0;
    for (;;) {
        if (reader.readWordView(scratch, word) < 0)
            return false;
        if (word.empty())
            continue;
        if (word[0] == '-')
            return word.substr(1) == rules.section && (seen & rules.required) == rules.required;
        if (word[0] == '+') {
            bool ok = true;
            if (readNested(word, reader, offset, ok)) {
                if (!ok)
                    return false;
                continue;
            }
            std::string closing(word);
            closing[0] = '-';
            if (reader.skipTo(closing) < 0)
                return false;
            continue;
        }
        STagField field;
        if (!STagField::split(word, field))
            continue;
        if (field.value.empty() && !rules.emptyValues)
            continue;
        seen |= readField(field.key, field.value, offset);
    }
}
