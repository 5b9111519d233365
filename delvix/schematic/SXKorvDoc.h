#pragma once

#include "model/SPoint.h"
#include "model/SRect.h"
#include "schematic/SFindVocabulary.h"
#include "schematic/SXKorvFinder.h"
#include "schematic/SXKorvObj.h"
#include "tagtext/SFileWords.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class STagReader;
class STagWriter;
class SClipboard;
class SXKorvSheetInfo;

// Why the last read failed; line is where the failing section or word starts.
struct SXKorvReadError {
    int32_t line = 0;
    std::string message;
    bool ioError = false; // the stream itself failed, as opposed to its contents
};

// One schematic sheet: its properties, every object (live, and deleted ones kept for undo), and
// the working list of objects that are selected, just read or pasted and not yet committed.
class SXKorvDoc {
public:
    static constexpr std::string_view kMagic = SFileWords::kSchematicOpen;
    static constexpr std::string_view kClosing = SFileWords::kSchematicClose;
    static constexpr int32_t kUndoDepth = 50;

    static constexpr int kReadOk = 0;
    static constexpr int kReadError = 1;
    static constexpr int kNotSchematic = 2;

    static constexpr int kCommit = 0;
    static constexpr int kDiscard = 1;

    SXKorvDoc();
    SXKorvDoc(const SXKorvDoc&) = delete;
    SXKorvDoc& operator=(const SXKorvDoc&) = delete;
    virtual ~SXKorvDoc();

    // Text comparison used by find; empty texts never match.
    virtual bool compareText(std::string_view text, std::string_view pattern, bool matchWhole,
                             bool caseSensitive) const;
    // Clipboard transfer of the working list as schematic text; this class has none.
    virtual bool copyToClipboard();
    virtual bool pasteFromClipboard(SPoint offset);
    virtual bool clipboardHasSchematic() const;

    void reset();

    // kReadOk, kReadError (see readError()) or kNotSchematic. The caller opens and closes the
    // file.
    int readFile(std::FILE* file);
    // The same on a reader already attached to a file or text.
    int read(STagReader& reader);
    // Reads object sections into `target` up to the closing word or the end of the input.
    bool readSections(SXKorvObjList& target, std::optional<SPoint> offset, STagReader& reader,
                      SXKorvSheetInfo* sheetInfo);
    const SXKorvReadError& readError() const { return m_readError; }

    // kCommit places the working list into the main list as one operation; kDiscard drops it.
    void commitWorking(int mode);
    // Marks a live main-list object as removed by the next committed operation.
    bool deleteObject(const SXKorvObj* obj);

    // The sheet as a schematic file: magic, sheet info, every live object, closing word.
    bool writeSheet(STagWriter& writer) const;

    void setFindParams(std::string_view pattern, bool matchWhole, bool caseSensitive,
                       int32_t targets, SXKorvEncoding encoding = SXKorvEncoding::Utf8);
    // The next object with a matching text, or null; the found text, kind and position are in
    // findState().
    const SXKorvObj* findFirst();
    const SXKorvObj* findNext();
    const SXKorvFindState& findState() const { return m_finder.state(); }

    void setClipboard(SClipboard* clipboard) { m_clipboard = clipboard; }
    void setTidy(bool tidy) { m_tidy = tidy; }

    const SXKorvObjList& objects() const { return m_main; }
    const SXKorvObjList& workingList() const { return m_working; }

    SSize sheetSize() const { return m_sheetSize; }
    bool isModified() const { return m_modified; }
    int32_t historyFloor() const { return m_historyFloor; }
    const SRect& selectionBounds() const { return m_selectionBounds; }
    const SRect& selectionAnchorBounds() const { return m_selectionAnchorBounds; }
    SPoint selectionOrigin() const { return m_selectionOrigin; }
    int32_t visibleLayers() const { return m_visibleLayers; }
    void setVisibleLayers(int32_t mask) { m_visibleLayers = mask; }
    int32_t editingLayer() const { return m_editingLayer; }
    void setEditingLayer(int32_t layer);
    int32_t pageCount() const { return m_pageCount; }
    int32_t pageNumber() const { return m_pageNumber; }
    const std::string& projectName() const { return m_projectName; }
    int32_t fileVersion() const { return m_fileVersion; }
    int32_t initialPosition() const { return m_initialPosition; }
    int32_t operationNumber() const { return m_operation; }
    int32_t kindsInSelection() const { return m_kindsInSelection; }
    bool isPending() const { return m_pending; }

    // Nearest multiple of 10 (halves away from minus infinity), kept within the 32-bit range.
    static int32_t roundToGrid(int32_t v);

protected:
    SXKorvObjList& working() { return m_working; }
    SClipboard* clipboard() const { return m_clipboard; }
    void setPending(bool pending) { m_pending = pending; }
    void deactivateFind() { m_finder.deactivate(); }
    // Kinds, bounds and origin of the working list.
    void updateSelection();

private:
    void resetSheet();
    void takeSheetInfo(const SXKorvSheetInfo& info);
    bool readObject(SXKorvObjList& target, std::string_view word, int32_t line,
                    std::optional<SPoint> offset, STagReader& reader);
    bool fail(int32_t line, std::string message);
    void placeWorking(int32_t op);
    void trimHistory();
    void clearWorkingLinks();

    SSize m_sheetSize;
    bool m_modified = false;
    int32_t m_historyFloor = 0;
    SRect m_selectionBounds = SRect::empty();
    SRect m_selectionAnchorBounds = SRect::empty();
    SPoint m_selectionOrigin;
    int32_t m_visibleLayers = 255;
    int32_t m_editingLayer = 0;
    int32_t m_pageCount = 1;
    int32_t m_pageNumber = 1;
    std::string m_projectName;
    int32_t m_fileVersion = 0;
    int32_t m_initialPosition = 0;
    SXKorvObjList m_main;
    SXKorvObjList m_working;
    int32_t m_operation = 0;
    int32_t m_kindsInSelection = 0;
    bool m_pending = false;
    bool m_tidy = true;
    SXKorvFinder m_finder;
    SXKorvReadError m_readError;
    SClipboard* m_clipboard = nullptr; // not owned
};
