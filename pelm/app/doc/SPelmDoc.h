#pragma once

#include "doc/SPelmHost.h"
#include "model/SCompLib.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class SClipboard;
class SCompIndex;

// The library Pelm shows: the component library, the order of its name list (the order it is
// written in), the selected entry, the modified mark and the file it came from. Every library
// command and whole-component command runs here; the frame shows the result.
class SPelmDoc {
public:
    SPelmDoc(SPelmView& view, SPelmUi& ui, SClipboard& clipboard);
    virtual ~SPelmDoc();
    SPelmDoc(const SPelmDoc&) = delete;
    SPelmDoc& operator=(const SPelmDoc&) = delete;

    const SCompLib& library() const { return *m_lib; }
    SCompLib& library() { return *m_lib; }
    // The name list: entries in the order they are written.
    const std::vector<SCompIndex*>& order() const { return m_order; }
    int32_t count() const { return static_cast<int32_t>(m_order.size()); }
    // -1 when nothing is selected.
    int32_t selectedIndex() const { return m_selected; }
    SCompIndex* selectedEntry() const;
    // Changes whenever entries come, go or move; selection alone does not change it.
    uint64_t listRevision() const { return m_listRevision; }

    bool isModified() const { return m_modified; }
    void setModified(bool on) { m_modified = on; }
    // Absent for a new library.
    const std::optional<std::string>& path() const { return m_path; }
    // "Pelm" or "Pelm - " and the path.
    std::string title() const;
    // The note of the selected entry's component.
    std::string currentNote() const;

    bool isTemporaryFileMode() const { return m_temporaryFileMode; }
    void setTemporaryFileMode(bool on) { m_temporaryFileMode = on; }
    // Reading stopped part-way: what is shown is only part of the file.
    bool isPartial() const { return m_partial; }

    // Library commands.
    bool canCloseLibrary();
    void newLibrary();
    // Asks whether to save, then for a file, then opens it.
    void openCommand();
    // Asks whether to save, then opens the file (command line, dropped file).
    void openDropped(const std::string& path);
    // Opens without asking; false when nothing could be read (the shown library stays).
    bool openLibrary(const std::string& path);
    bool saveLibrary();
    bool saveAsCommand();
    bool saveLibraryAs(const std::string& proposed);
    bool writeLibraryFile(const std::string& path);
    void libraryProperty();

    // The list's selection moved (-1: none).
    void selectEntry(int32_t index);

    // Whole-component commands.
    bool canPasteComponent() const;
    void copyComponent();
    void cutComponent();
    void pasteComponent();
    void newComponent();
    void componentProperty();
    void addAlias();
    void sortByName();
    void moveUp();
    void moveDown();

    bool hasSelection() const { return m_selected >= 0; }
    bool canSort() const { return count() > 1; }
    bool canMoveUp() const { return m_selected > 0; }
    bool canMoveDown() const { return m_selected >= 0 && m_selected < count() - 1; }
    bool canSaveAs() const { return !m_temporaryFileMode; }

private:
    bool commitView();
    void showSelected();
    void insertAtSelection(SCompIndex* entry);
    void fillNameList();
    void listChanged() { ++m_listRevision; }

    SPelmView& m_view;
    SPelmUi& m_ui;
    SClipboard& m_clipboard;
    std::unique_ptr<SCompLib> m_lib;
    std::vector<SCompIndex*> m_order;
    int32_t m_selected = -1;
    uint64_t m_listRevision = 0;
    bool m_modified = false;
    bool m_temporaryFileMode = false;
    bool m_partial = false;
    std::optional<std::string> m_path;
};
