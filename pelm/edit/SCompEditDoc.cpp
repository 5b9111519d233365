#include "edit/SCompEditDoc.h"

#include "edit/SEditClipboardText.h"
#include "edit/nextSequenceText.h"
#include "model/SCompInfo.h"
#include "model/SPin.h"
#include "model/SPtn.h"
#include "model/SPtnObj.h"
#include "tagtext/SClipboard.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace {

int32_t saturate(int64_t v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

} // namespace

void SCompEditDoc::loadComponent(const SCompInfo* info) {
    clearDocument();
    if (!info)
        return;
    m_size = info->size();
    m_blockCount = info->blockCount();
    const SPtn* pattern = info->pattern();
    m_hasPattern = pattern != nullptr;
    m_history.reserve(info->pins().size() + (pattern ? pattern->objects().size() : 0));
    for (const SPin& pin : info->pins())
        m_history.append(std::make_unique<SCompEditElm>(0, std::make_unique<SPin>(pin)));
    if (!pattern)
        return;
    for (const auto& object : pattern->objects()) {
        if (object)
            m_history.append(std::make_unique<SCompEditElm>(0, object->duplicate()));
    }
}

void SCompEditDoc::storeComponent(SCompInfo& info) {
    releaseSelection();
    const int32_t op = nextOpNumber();
    if (!m_noCheckPtnRect)
        takeOutStrayObjects(op);

    SPtn* pattern = info.pattern();
    std::vector<SPin> pins;
    std::vector<std::unique_ptr<SPtnObj>> objects;
    for (const auto& elm : m_history.elements()) {
        if (!elm->isLive())
            continue;
        if (elm->isPin())
            pins.push_back(*elm->pin());
        else if (pattern && elm->patternObject())
            objects.push_back(elm->patternObject()->duplicate());
    }
    if (info.size() != m_size)
        info.setSize(m_size, false, !(pattern && pattern->hasBitPattern()));
    // The block count first: the definition fits every pin it is given to its block count.
    info.setBlockCount(m_blockCount);
    info.setPins(std::move(pins));
    if (pattern)
        pattern->setObjects(std::move(objects));
}

// Objects wholly outside the body widened by the margin would be lost to sight; they are taken
// out under the store's own operation so Undo can bring them back.
void SCompEditDoc::takeOutStrayObjects(int32_t opNumber) {
    const SRect area(-kStoreMargin, -kStoreMargin,
                     saturate(int64_t{m_size.width} * 10 + kStoreMargin),
                     saturate(int64_t{m_size.height} * 10 + kStoreMargin));
    for (const auto& elm : m_history.elements()) {
        if (!elm->isLive() || !elm->isPatternObject())
            continue;
        if (!elm->patternObject()->isInside(area)) {
            elm->m_deleteOp = opNumber;
            m_dirty = true;
        }
    }
}

void SCompEditDoc::clearDocument() {
    m_selection.clear();
    m_history.clear();
    m_dirty = false;
    m_selectionChanged = false;
    m_blockCount = 1;
    m_hasPattern = false;
    m_selectionRect = SRect::empty();
    m_selectionRectStale = true;
    m_lastPinNumber.clear();
    m_lastPinName.clear();
}

int32_t SCompEditDoc::nextOpNumber() {
    return m_history.nextOpNumber();
}

void SCompEditDoc::dropOpNumber() {
    m_history.dropOpNumber();
}

bool SCompEditDoc::undo() {
    releaseSelection();
    return m_history.undo();
}

bool SCompEditDoc::releaseSelection() {
    if (m_selection.empty())
        return false;
    if (m_selectionChanged)
        commitSelection();
    else
        dropSelection();
    m_selection.clear();
    m_selectionRectStale = true;
    return true;
}

// The copies become committed elements under the operation that selected or placed them; their
// sources stay taken out under that same operation, so one Undo reverts both.
void SCompEditDoc::commitSelection() {
    m_history.reserve(m_history.size() + m_selection.size());
    for (SCompEditElm& elm : m_selection) {
        if (elm.isPatternObject() && !elm.patternObject()->isValid())
            continue;
        elm.m_source = nullptr;
        m_history.append(std::make_unique<SCompEditElm>(std::move(elm)));
    }
    m_selectionChanged = false;
    m_dirty = true;
}

void SCompEditDoc::dropSelection() {
    for (SCompEditElm& elm : m_selection) {
        if (elm.m_source)
            elm.m_source->m_deleteOp = -1;
    }
}

bool SCompEditDoc::deleteSelection() {
    if (m_selection.empty())
        return false;
    const bool hadCommitted = std::any_of(m_selection.begin(), m_selection.end(),
                                          [](const SCompEditElm& e) { return e.source(); });
    if (hadCommitted)
        m_dirty = true;
    m_selection.clear();
    m_selectionChanged = false;
    m_selectionRectStale = true;
    return true;
}

bool SCompEditDoc::mirrorSelection() {
    if (m_selection.empty())
        return false;
    const SRect rect = selectionRect();
    const auto centerX = static_cast<int32_t>((int64_t{rect.left} + rect.right) / 2);
    bool any = false;
    for (SCompEditElm& elm : m_selection) {
        if (SPtnObj* object = elm.patternObject()) {
            object->mirrorAt(centerX);
            any = true;
        }
    }
    if (any) {
        m_selectionChanged = true;
        updateSelectionRect();
    }
    return any;
}

bool SCompEditDoc::rotateSelection() {
    if (m_selection.empty())
        return false;
    const SPoint center = selectionRect().center();
    bool any = false;
    for (SCompEditElm& elm : m_selection) {
        if (SPtnObj* object = elm.patternObject()) {
            object->rotateAt(center);
            any = true;
        }
    }
    if (any) {
        m_selectionChanged = true;
        updateSelectionRect();
    }
    return any;
}

bool SCompEditDoc::moveSelection(int32_t dx, int32_t dy) {
    if (m_selection.empty())
        return false;
    bool any = false;
    for (SCompEditElm& elm : m_selection) {
        if (SPtnObj* object = elm.patternObject()) {
            object->move(dx, dy);
            any = true;
        }
    }
    if (any) {
        m_selectionChanged = true;
        m_selectionRectStale = true;
    }
    return any;
}

SRect SCompEditDoc::elementBox(const SCompEditElm& elm) const {
    if (const SPin* pin = elm.pin())
        return pinHitRect(pin->side(), pin->offset());
    if (const SPtnObj* object = elm.patternObject())
        return object->boundingRect();
    return SRect::empty();
}

void SCompEditDoc::updateSelectionRect() {
    if (m_selection.empty())
        return;
    SRect rect = SRect::empty();
    for (const SCompEditElm& elm : m_selection)
        rect.unite(elementBox(elm));
    // Widened without wrapping: an empty polygon reports the largest coordinates.
    m_selectionRect = SRect(saturate(int64_t{rect.left} - 1), saturate(int64_t{rect.top} - 1),
                            saturate(int64_t{rect.right} + 1), saturate(int64_t{rect.bottom} + 1));
    m_selectionRectStale = false;
}

SRect SCompEditDoc::selectionRect() {
    if (m_selectionRectStale)
        updateSelectionRect();
    return m_selectionRect;
}

bool SCompEditDoc::isInSelectionRect(SPoint point) {
    if (m_selection.empty())
        return false;
    return selectionRect().contains(point);
}

bool SCompEditDoc::selectionHasPin() const {
    return std::any_of(m_selection.begin(), m_selection.end(),
                       [](const SCompEditElm& e) { return e.isPin(); });
}

void SCompEditDoc::takeIntoSelection(SCompEditElm& elm) {
    elm.m_deleteOp = m_history.opNumber();
    m_selection.push_back(elm.copyFor(m_history.opNumber()));
    m_selectionRectStale = true;
}

// Taking unchanged copies changes nothing; a selection that already holds changed or new
// objects must keep its flag, or releasing it would throw those changes away.
void SCompEditDoc::selectionChangedBy(bool wasEmpty) {
    if (wasEmpty)
        m_selectionChanged = false;
}

int32_t SCompEditDoc::selectPinByPosition(int32_t side, int32_t offset) {
    releaseSelection();
    for (const auto& elm : m_history.elements()) {
        const SPin* pin = elm->pin();
        if (elm->isLive() && pin && pin->side() == side && pin->offset() == offset) {
            takeIntoSelection(*elm);
            selectionChangedBy(true);
            return 1;
        }
    }
    return 0;
}

int32_t SCompEditDoc::selectPinAt(SPoint point) {
    releaseSelection();
    for (const auto& elm : m_history.elements()) {
        const SPin* pin = elm->pin();
        if (elm->isLive() && pin && pinHitRect(pin->side(), pin->offset()).contains(point)) {
            takeIntoSelection(*elm);
            selectionChangedBy(true);
            return 1;
        }
    }
    return 0;
}

// Collected in main-list order and put in front of the selection in one go.
int32_t SCompEditDoc::selectPatternObjectsIn(const SRect& rect) {
    const bool wasEmpty = m_selection.empty();
    std::vector<SCompEditElm> picked;
    for (const auto& elm : m_history.elements()) {
        if (!elm->isLive() || !elm->isPatternObject() || !elm->patternObject()->isInside(rect))
            continue;
        elm->m_deleteOp = m_history.opNumber();
        picked.push_back(elm->copyFor(m_history.opNumber()));
    }
    if (picked.empty())
        return 0;
    m_selection.insert(m_selection.begin(), std::make_move_iterator(picked.begin()),
                       std::make_move_iterator(picked.end()));
    m_selectionRectStale = true;
    selectionChangedBy(wasEmpty);
    return static_cast<int32_t>(picked.size());
}

bool SCompEditDoc::selectMainElement(size_t index) {
    if (index >= m_history.size() || !m_history.at(index).isLive())
        return false;
    const bool wasEmpty = m_selection.empty();
    takeIntoSelection(m_history.at(index));
    selectionChangedBy(wasEmpty);
    return true;
}

void SCompEditDoc::addNewToSelection(SCompEditElm elm) {
    m_selection.push_back(std::move(elm));
    m_selectionChanged = true;
    m_selectionRectStale = true;
}

bool SCompEditDoc::addPinToSelection(const SPin* pin) {
    if (!pin)
        return false;
    addNewToSelection(SCompEditElm(m_history.opNumber(), std::make_unique<SPin>(*pin)));
    return true;
}

bool SCompEditDoc::addPatternObjectToSelection(const SPtnObj* object) {
    if (!object)
        return false;
    addNewToSelection(SCompEditElm(m_history.opNumber(), object->duplicate()));
    return true;
}

const SPin* SCompEditDoc::findPinAtSamePosition(const SPin* pin) const {
    if (!pin)
        return nullptr;
    for (const auto& elm : m_history.elements()) {
        const SPin* other = elm->pin();
        if (elm->isLive() && other && other->side() == pin->side() &&
            other->offset() == pin->offset())
            return other;
    }
    return nullptr;
}

SPoint SCompEditDoc::pinPoint(int32_t side, int32_t offset) const {
    return SPinGeometry::pinPoint(m_size, side, offset);
}

SRect SCompEditDoc::pinHitRect(int32_t side, int32_t offset) const {
    return SPinGeometry::pinHitRect(m_size, side, offset);
}

SPinPosition SCompEditDoc::pinPositionFromPoint(SPoint point) const {
    return SPinGeometry::pinPositionFromPoint(m_size, point);
}

bool SCompEditDoc::copySelectionToClipboard(SClipboard& clipboard) {
    if (m_selection.empty())
        return false;
    if (m_selection.size() == 1 && m_selection.front().isPin())
        return clipboard.putText(SEditClipboardText::pinText(*m_selection.front().pin()));
    std::vector<const SPtnObj*> objects;
    for (const SCompEditElm& elm : m_selection) {
        if (elm.patternObject())
            objects.push_back(elm.patternObject());
    }
    return clipboard.putText(SEditClipboardText::patternText(objects, selectionRect().topLeft()));
}

int32_t SCompEditDoc::pastePatternObjects(std::string_view text, SPoint origin) {
    if (SEditClipboardText::formatOf(text) != SEditClipboardText::Format::Pattern || !m_hasPattern)
        return -1;
    releaseSelection();
    const int32_t op = nextOpNumber();
    std::vector<std::unique_ptr<SPtnObj>> objects = SEditClipboardText::readPatternObjects(text);
    for (auto& object : objects) {
        object->move(origin.x, origin.y);
        addNewToSelection(SCompEditElm(op, std::move(object)));
    }
    return static_cast<int32_t>(objects.size());
}

SCompEditDoc::PasteResult SCompEditDoc::paste(const SClipboard& clipboard, SPoint origin) {
    using Format = SEditClipboardText::Format;
    PasteResult result;
    std::string text;
    if (!clipboard.getText(text))
        return result;
    result.format = SEditClipboardText::formatOf(text);
    if (result.format == Format::Pin) {
        releaseSelection();
        result.floatingPin = SEditClipboardText::readPin(text, m_blockCount);
    } else if (result.format == Format::Pattern) {
        result.objectCount = pastePatternObjects(text, origin);
        if (result.objectCount < 0) {
            result.format = Format::None;
            result.objectCount = 0;
        }
    }
    return result;
}

const SCompEditElm* SCompEditDoc::singleSelectedPin() const {
    if (m_selection.size() != 1 || !m_selection.front().isPin())
        return nullptr;
    return &m_selection.front();
}

SCompEditElm* SCompEditDoc::singleSelectedPin() {
    return const_cast<SCompEditElm*>(std::as_const(*this).singleSelectedPin());
}

bool SCompEditDoc::canNextPinNumber() const {
    const SCompEditElm* elm = singleSelectedPin();
    return elm && elm->pin()->blockCount() == 1;
}

bool SCompEditDoc::nextPinNumber() {
    if (!canNextPinNumber())
        return false;
    m_lastPinNumber = nextSequenceText(m_lastPinNumber);
    singleSelectedPin()->pin()->setNumber(0, m_lastPinNumber);
    markSelectionChanged();
    return true;
}

bool SCompEditDoc::canNextPinName() const {
    return singleSelectedPin() != nullptr;
}

bool SCompEditDoc::nextPinName() {
    if (!canNextPinName())
        return false;
    m_lastPinName = nextSequenceText(m_lastPinName);
    singleSelectedPin()->pin()->setName(m_lastPinName);
    markSelectionChanged();
    return true;
}

void SCompEditDoc::markSelectionChanged() {
    m_selectionChanged = true;
    m_selectionRectStale = true;
}
