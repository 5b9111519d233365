// The whole-component commands of the library document.
#include "doc/SPelmDoc.h"

#include "edit/SClipboard.h"
#include "model/SCompClipboard.h"
#include "model/SCompIndex.h"
#include "model/SCompInfo.h"

#include <algorithm>

bool SPelmDoc::canPasteComponent() const {
    std::string text;
    return m_clipboard.getText(text) && SCompClipboard::holdsComponent(text);
}

void SPelmDoc::copyComponent() {
    commitView();
    const SCompIndex* entry = selectedEntry();
    if (!entry || entry->name().empty() || !entry->component())
        return;
    const std::string text = SCompClipboard::write(*entry);
    if (!text.empty())
        m_clipboard.putText(text);
}

void SPelmDoc::cutComponent() {
    copyComponent();
    const int32_t index = m_selected;
    if (index < 0 || index >= count())
        return;
    m_view.setComponent(nullptr);
    const SCompIndex* entry = m_order[static_cast<size_t>(index)];
    m_order.erase(m_order.begin() + index);
    m_lib->removeEntry(entry);
    listChanged();
    // The entry is gone from the library: closing must not lose that silently.
    m_modified = true;
    m_selected = std::min(index, count() - 1);
    if (m_selected >= 0)
        showSelected();
}

void SPelmDoc::pasteComponent() {
    std::string text;
    if (!m_clipboard.getText(text) || !SCompClipboard::holdsComponent(text))
        return;
    SCompIndex* entry = SCompClipboard::read(*m_lib, text);
    if (!entry)
        return;
    commitView();
    insertAtSelection(entry);
    showSelected();
    m_view.markSelectionChanged();
    m_modified = true;
}

void SPelmDoc::newComponent() {
    SCompPropertyData data;
    const bool accepted = m_ui.runComponentProperty(data);
    m_modified = true;
    if (!accepted)
        return;
    auto info = std::make_unique<SCompInfo>();
    data.applyTo(*info, false);
    SCompIndex* entry = m_lib->addComponent(std::move(info), m_lib->makeUniqueName(data.name));
    commitView();
    insertAtSelection(entry);
    showSelected();
}

void SPelmDoc::componentProperty() {
    if (m_selected < 0)
        return;
    commitView();
    SCompIndex* entry = selectedEntry();
    if (!entry || !entry->component())
        return;
    SCompPropertyData data = SCompPropertyData::fromComponent(entry->name(), *entry->component());
    if (!m_ui.runComponentProperty(data))
        return;
    data.applyTo(*entry->component(), true);
    if (data.name != entry->name()) {
        m_lib->renameEntry(entry, m_lib->makeUniqueName(data.name));
        listChanged();
    }
    showSelected();
    m_view.markSelectionChanged();
    m_modified = true;
}

void SPelmDoc::addAlias() {
    if (m_selected < 0)
        return;
    commitView();
    SCompIndex* entry = selectedEntry();
    if (!entry || !entry->component())
        return;
    std::string name = "NAME";
    if (!m_ui.runAddAlias(entry->name(), name))
        return;
    SCompIndex* alias = m_lib->addAlias(entry->component(), m_lib->makeUniqueName(name));
    if (!alias)
        return;
    insertAtSelection(alias);
    showSelected();
    // A new entry is a change to the file.
    m_modified = true;
}

void SPelmDoc::sortByName() {
    if (!canSort() || !m_ui.confirmSort())
        return;
    // The first entry is opened afterwards: edits in the view must reach their component first.
    commitView();
    std::stable_sort(m_order.begin(), m_order.end(), [](const SCompIndex* a, const SCompIndex* b) {
        return a->name() < b->name();
    });
    listChanged();
    m_selected = 0;
    showSelected();
    // The new order is written at the next save.
    m_modified = true;
}

void SPelmDoc::moveUp() {
    if (!canMoveUp())
        return;
    const auto at = static_cast<size_t>(m_selected);
    std::swap(m_order[at], m_order[at - 1]);
    --m_selected;
    listChanged();
    m_modified = true;
}

void SPelmDoc::moveDown() {
    if (!canMoveDown())
        return;
    const auto at = static_cast<size_t>(m_selected);
    std::swap(m_order[at], m_order[at + 1]);
    ++m_selected;
    listChanged();
    m_modified = true;
}
