#include "schematic/SXKorvFinder.h"

#include "schematic/SXKorvComment.h"
#include "schematic/SXKorvComponent.h"
#include "schematic/SXKorvDoc.h"
#include "schematic/SXKorvLabel.h"
#include "schematic/SXKorvTag.h"

void SXKorvFinder::setParams(std::string_view pattern, bool matchWhole, bool caseSensitive,
                             int32_t targets, SXKorvEncoding encoding) {
    m_state.pattern = pattern;
    m_state.matchWhole = matchWhole;
    m_state.caseSensitive = caseSensitive;
    m_state.targets = targets;
    m_state.selectFound = false;
    m_state.encoding = encoding;
    m_state.active = false;
}

const SXKorvObj* SXKorvFinder::first(const SXKorvObjList& objects, int32_t visibleLayers,
                                     const SXKorvDoc& doc) {
    m_state.iterator = 0;
    m_state.stage = 0;
    m_state.active = true;
    return findFrom(false, objects, visibleLayers, doc);
}

const SXKorvObj* SXKorvFinder::next(const SXKorvObjList& objects, int32_t visibleLayers,
                                    const SXKorvDoc& doc) {
    if (!m_state.active)
        return nullptr;
    return findFrom(m_state.stage == 0, objects, visibleLayers, doc);
}

namespace {

// Component fields in find order, with the find bit each answers to.
struct SXKorvComponentField {
    int32_t bit;
    const std::string& (SXKorvComponent::*text)() const;
    SPoint (SXKorvComponent::*offset)() const; // where the text stands, relative to p1
};

constexpr SXKorvComponentField kComponentFields[] = {
    {SSearchTarget::kValue, &SXKorvComponent::value, &SXKorvComponent::valueOffset},
    {SSearchTarget::kNameInLib, &SXKorvComponent::libraryName, nullptr},
    {SSearchTarget::kRefNum, &SXKorvComponent::reference, &SXKorvComponent::referenceOffset},
    {SSearchTarget::kMfr, &SXKorvComponent::manufacturer, nullptr},
    {SSearchTarget::kMfrPn, &SXKorvComponent::manufacturerPartNumber, nullptr},
    {SSearchTarget::kPkg, &SXKorvComponent::package, nullptr},
    {SSearchTarget::kNote, &SXKorvComponent::note, nullptr},
};
constexpr int32_t kComponentFieldCount = std::size(kComponentFields);

} // namespace

const SXKorvObj* SXKorvFinder::findFrom(bool advance, const SXKorvObjList& objects,
                                        int32_t visibleLayers, const SXKorvDoc& doc) {
    if (advance) {
        ++m_state.iterator;
        m_state.stage = 0;
    }
    m_state.foundText.clear();
    m_state.foundKind = 0;
    for (; m_state.iterator < objects.size(); ++m_state.iterator, m_state.stage = 0) {
        const SXKorvObj& obj = *objects[m_state.iterator];
        const int32_t layer = obj.layer();
        if (layer < 0 || layer > 30 || !(visibleLayers & (1 << layer)) || !obj.isLive() ||
            obj.workingCopy())
            continue;
        bool hit = false;
        switch (obj.kind()) {
        case SXKorvKind::Label:
            hit = tryText(static_cast<const SXKorvLabel&>(obj).text(), SSearchTarget::kLabel,
                          obj.p1(), doc);
            break;
        case SXKorvKind::Tag:
            hit = tryText(static_cast<const SXKorvTag&>(obj).text(), SSearchTarget::kTag, obj.p1(),
                          doc);
            break;
        case SXKorvKind::Comment:
            hit = tryText(static_cast<const SXKorvComment&>(obj).text(), SSearchTarget::kComment,
                          obj.p1(), doc);
            break;
        case SXKorvKind::Component:
            hit = tryComponent(obj, doc);
            break;
        default:
            break;
        }
        if (hit)
            return &obj;
    }
    m_state.active = false;
    return nullptr;
}

bool SXKorvFinder::tryText(const std::string& text, int32_t kindBit, SPoint position,
                           const SXKorvDoc& doc) {
    if (!(m_state.targets & kindBit) ||
        !doc.compareText(text, m_state.pattern, m_state.matchWhole, m_state.caseSensitive))
        return false;
    m_state.foundText = text;
    m_state.foundKind = kindBit;
    m_state.foundPosition = position;
    return true;
}

// Tries the component's fields from the remembered stage on; after a hit the next call resumes
// with the following field, so one component can give one hit per field.
bool SXKorvFinder::tryComponent(const SXKorvObj& obj, const SXKorvDoc& doc) {
    const auto& component = static_cast<const SXKorvComponent&>(obj);
    for (int32_t i = m_state.stage; i < kComponentFieldCount; ++i) {
        const SXKorvComponentField& field = kComponentFields[i];
        SPoint position = component.p1();
        if (field.offset)
            position += (component.*field.offset)();
        if (tryText((component.*field.text)(), field.bit, position, doc)) {
            m_state.stage = i + 1 < kComponentFieldCount ? i + 1 : 0;
            return true;
        }
    }
    m_state.stage = 0;
    return false;
}
