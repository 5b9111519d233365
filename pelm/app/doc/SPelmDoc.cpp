#include "doc/SPelmDoc.h"

#include "doc/SPelmFileRules.h"
#include "edit/SClipboard.h"
#include "model/SCompClipboard.h"
#include "model/SCompIndex.h"
#include "model/SCompInfo.h"

#include <algorithm>

namespace {

using Error = SCompLib::LoadError;

// Errors after which nothing worth showing was read.
bool nothingRead(const SCompLib& lib, Error error) {
    return error == Error::CannotOpen || error == Error::NotALibrary ||
           error == Error::AlreadyLoaded || (error == Error::ReadError && lib.entryCount() == 0);
}

} // namespace

SPelmDoc::SPelmDoc(SPelmView& view, SPelmUi& ui, SClipboard& clipboard)
    : m_view(view), m_ui(ui), m_clipboard(clipboard), m_lib(std::make_unique<SCompLib>()) {}

SPelmDoc::~SPelmDoc() = default;

SCompIndex* SPelmDoc::selectedEntry() const {
    return m_selected >= 0 && m_selected < count() ? m_order[static_cast<size_t>(m_selected)]
                                                   : nullptr;
}

std::string SPelmDoc::title() const {
    return m_path ? "Pelm - " + *m_path : std::string("Pelm");
}

std::string SPelmDoc::currentNote() const {
    const SCompIndex* entry = selectedEntry();
    return entry && entry->component() ? entry->component()->note() : std::string();
}

bool SPelmDoc::commitView() {
    return m_view.commit();
}

void SPelmDoc::showSelected() {
    m_view.setComponent(selectedEntry());
}

void SPelmDoc::insertAtSelection(SCompIndex* entry) {
    const int32_t at = m_selected >= 0 ? m_selected : count();
    m_order.insert(m_order.begin() + at, entry);
    m_selected = at;
    listChanged();
}

void SPelmDoc::fillNameList() {
    m_order.clear();
    m_order.reserve(static_cast<size_t>(m_lib->entryCount()));
    for (const auto& entry : m_lib->entries())
        m_order.push_back(entry.get());
    m_selected = m_order.empty() ? -1 : 0;
    listChanged();
}

bool SPelmDoc::canCloseLibrary() {
    if (commitView()) {
        m_view.clearDirty();
        m_modified = true;
    }
    if (!m_modified)
        return true;
    switch (m_ui.askSaveChanges()) {
    case SPelmUi::Answer::Yes:
        return saveLibrary();
    case SPelmUi::Answer::No:
        return true;
    case SPelmUi::Answer::Cancel:
        break;
    }
    return false;
}

void SPelmDoc::newLibrary() {
    if (!canCloseLibrary())
        return;
    m_view.setComponent(nullptr);
    // A fresh library: the old one's property text must not leak into the new file.
    m_lib = std::make_unique<SCompLib>();
    m_modified = false;
    m_partial = false;
    m_path.reset();
    fillNameList();
}

void SPelmDoc::openCommand() {
    if (!canCloseLibrary())
        return;
    if (const auto path = m_ui.askOpenPath())
        openLibrary(*path);
}

void SPelmDoc::openDropped(const std::string& path) {
    if (canCloseLibrary())
        openLibrary(path);
}

bool SPelmDoc::openLibrary(const std::string& path) {
    auto lib = std::make_unique<SCompLib>();
    const bool complete = lib->load(path);
    const Error error = lib->loadError();
    if (!complete && nothingRead(*lib, error)) {
        m_ui.reportOpenFailed(path, error);
        return false;
    }
    m_view.setComponent(nullptr);
    m_lib = std::move(lib);
    m_partial = !complete;
    m_path = path;
    m_modified = false;
    fillNameList();
    showSelected();
    if (!complete)
        m_ui.reportPartialLoad(path, m_lib->errorLine(), error);
    return true;
}

bool SPelmDoc::saveLibrary() {
    if (!m_path)
        return saveLibraryAs(std::string(SPelmFileRules::kUntitled));
    // A schematic is never overwritten with a library.
    if (SPelmFileRules::hasExtension(*m_path, SPelmFileRules::kSchematicExtension))
        return saveLibraryAs(
            SPelmFileRules::withExtension(*m_path, SPelmFileRules::kLibraryExtension));
    return writeLibraryFile(*m_path);
}

bool SPelmDoc::saveAsCommand() {
    if (m_temporaryFileMode)
        return false;
    return saveLibraryAs(SPelmFileRules::proposedSaveAsName(m_path.value_or(std::string())));
}

bool SPelmDoc::saveLibraryAs(const std::string& proposed) {
    const auto path = m_ui.askSavePath(proposed);
    return path && writeLibraryFile(*path);
}

bool SPelmDoc::writeLibraryFile(const std::string& path) {
    commitView();
    if (m_partial && m_path == path && !m_ui.confirmPartialOverwrite(path))
        return false;
    const std::vector<const SCompIndex*> order(m_order.begin(), m_order.end());
    if (!m_lib->save(path, order)) {
        m_ui.reportCannotSave();
        return false;
    }
    m_modified = false;
    m_partial = false;
    m_view.clearDirty();
    m_path = path;
    return true;
}

void SPelmDoc::libraryProperty() {
    std::string text = m_lib->property();
    if (!m_ui.runLibraryProperty(text))
        return;
    m_lib->setProperty(std::move(text));
    m_modified = true;
}

void SPelmDoc::selectEntry(int32_t index) {
    if (index < 0 || index >= count()) {
        m_selected = -1;
        return;
    }
    if (commitView())
        m_modified = true;
    m_selected = index;
    showSelected();
}
