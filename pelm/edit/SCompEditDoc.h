#pragma once

#include "edit/SCompEditElm.h"
#include "edit/SEditClipboardText.h"
#include "edit/SEditHistory.h"
#include "edit/SPinGeometry.h"
#include "model/SPoint.h"
#include "model/SRect.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class SClipboard;
class SCompInfo;
class SPin;
class SPtnObj;

// The working copy of the one component shown in the editor: deep copies of its pins and pattern
// objects, the selection, and an operation-numbered history for Undo. Every element records the
// operation that placed it and the one that took it out; Undo reverts the newest operation that
// changed anything. The definition is only changed by storeComponent.
class SCompEditDoc {
public:
    // Pattern objects may reach this far outside the body and still be stored.
    static constexpr int32_t kStoreMargin = 15;

    SCompEditDoc() = default;
    SCompEditDoc(const SCompEditDoc&) = delete;
    SCompEditDoc& operator=(const SCompEditDoc&) = delete;

    // Clears the document, then copies the definition's pins and pattern objects in.
    void loadComponent(const SCompInfo* info);
    // Releases the selection and writes the live pins and pattern objects into the definition.
    // Pattern objects wholly outside the body widened by kStoreMargin are taken out first
    // (Undo brings them back), unless that check is switched off.
    void storeComponent(SCompInfo& info);
    // Destroys every object; the size stays.
    void clearDocument();

    int32_t opNumber() const { return m_history.opNumber(); }
    // Taken before every operation that adds or selects objects.
    int32_t nextOpNumber();
    // Gives back a number that selected nothing.
    void dropOpNumber();
    bool canUndo() const { return m_history.canUndo(); }
    bool undo();

    bool releaseSelection();
    bool deleteSelection();
    // Mirror, rotate and move act on the selected pattern objects only; pins stay.
    bool mirrorSelection();
    bool rotateSelection();
    bool moveSelection(int32_t dx, int32_t dy);

    void updateSelectionRect();
    // The bounding box of the selection widened by 1, brought up to date when stale.
    SRect selectionRect();
    bool isInSelectionRect(SPoint point);
    bool selectionHasPin() const;

    // Selecting takes committed objects out under the current operation number and puts copies
    // into the selection. The pin selectors release the selection first.
    int32_t selectPinByPosition(int32_t side, int32_t offset);
    int32_t selectPinAt(SPoint point);
    // Adds the live pattern objects lying in the rectangle to the selection; never pins.
    int32_t selectPatternObjectsIn(const SRect& rect);
    // Selects the live main-list element at `index` (the view's click selection).
    bool selectMainElement(size_t index);

    // New objects made by the view; the document keeps a copy, the caller keeps its own.
    bool addPinToSelection(const SPin* pin);
    bool addPatternObjectToSelection(const SPtnObj* object);
    const SPin* findPinAtSamePosition(const SPin* pin) const;

    SPoint pinPoint(int32_t side, int32_t offset) const;
    SRect pinHitRect(int32_t side, int32_t offset) const;
    SPinPosition pinPositionFromPoint(SPoint point) const;

    // Puts the selection on the clipboard: a single pin in the pin format, otherwise the
    // selected pattern objects relative to the selection's top-left corner.
    bool copySelectionToClipboard(SClipboard& clipboard);
    // Reads a pattern clipboard text into new selected objects moved by `origin`, all under one
    // new operation number. Returns the number pasted, or -1 (nothing done) when the text is not
    // a pattern text or the component has no pattern to receive objects.
    int32_t pastePatternObjects(std::string_view text, SPoint origin);

    struct PasteResult {
        SEditClipboardText::Format format = SEditClipboardText::Format::None;
        std::unique_ptr<SPin> floatingPin; // for the view to place with the mouse
        int32_t objectCount = 0;           // pattern objects now selected
    };
    // Pastes the clipboard's text: a pin text gives a floating pin, a pattern text new selected
    // objects at `origin` under one new operation number. The selection is released first.
    PasteResult paste(const SClipboard& clipboard, SPoint origin);

    // "Next pin number": one selected pin with a single block.
    bool canNextPinNumber() const;
    bool nextPinNumber();
    // "Next pin name": one selected pin.
    bool canNextPinName() const;
    bool nextPinName();
    const std::string& lastPinNumber() const { return m_lastPinNumber; }
    void setLastPinNumber(std::string_view text) { m_lastPinNumber = text; }
    const std::string& lastPinName() const { return m_lastPinName; }
    void setLastPinName(std::string_view text) { m_lastPinName = text; }

    bool isDirty() const { return m_dirty; }
    void setDirty(bool dirty) { m_dirty = dirty; }
    bool isSelectionChanged() const { return m_selectionChanged; }
    // For edits made straight on selected objects (nodes, properties): the selection is committed
    // on release, and its rectangle recomputed.
    void markSelectionChanged();

    SSize size() const { return m_size; }
    int32_t blockCount() const { return m_blockCount; }
    bool hasPattern() const { return m_hasPattern; }
    bool noCheckPtnRectOnSave() const { return m_noCheckPtnRect; }
    void setNoCheckPtnRectOnSave(bool on) { m_noCheckPtnRect = on; }

    // Committed elements, live and taken out, in the order they were added. Objects may be
    // edited in place (the pin property window does); the stamps may not.
    size_t mainCount() const { return m_history.size(); }
    const SCompEditElm& mainElement(size_t index) const { return m_history.at(index); }
    SCompEditElm& mainElement(size_t index) { return m_history.at(index); }
    size_t selectionCount() const { return m_selection.size(); }
    const SCompEditElm& selectionElement(size_t index) const { return m_selection[index]; }
    SCompEditElm& selectionElement(size_t index) { return m_selection[index]; }

private:
    SRect elementBox(const SCompEditElm& elm) const;
    void takeIntoSelection(SCompEditElm& elm);
    void selectionChangedBy(bool wasEmpty);
    void addNewToSelection(SCompEditElm elm);
    SCompEditElm* singleSelectedPin();
    const SCompEditElm* singleSelectedPin() const;
    void commitSelection();
    void dropSelection();
    void takeOutStrayObjects(int32_t opNumber);

    SEditHistory m_history;
    std::vector<SCompEditElm> m_selection;
    bool m_dirty = false;
    bool m_selectionChanged = false;
    SSize m_size{1, 1};
    int32_t m_blockCount = 1;
    bool m_hasPattern = false;
    bool m_noCheckPtnRect = false;
    SRect m_selectionRect = SRect::empty();
    bool m_selectionRectStale = true;
    std::string m_lastPinNumber;
    std::string m_lastPinName;
};
