#include "schematic/SXKorvDoc.h"

#include "SXKorvTidy.h"
#include "schematic/SXKorvSheetInfo.h"
#include "tagtext/STagReader.h"
#include "tagtext/STagWriter.h"

#include <algorithm>
#include <limits>

namespace {

constexpr std::string_view kSheetInfoWord = "+SHEETINFO";
constexpr size_t kQuotedWordBytes = 40;

// A word as it may appear in a message: bytes that would not print are shown escaped.
std::string quoted(std::string_view word) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out = "\"";
    for (size_t i = 0; i < word.size() && i < kQuotedWordBytes; ++i) {
        const auto c = static_cast<unsigned char>(word[i]);
        if (c < 0x20 || c == 0x7F || c == '%') {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        } else {
            out += static_cast<char>(c);
        }
    }
    if (word.size() > kQuotedWordBytes)
        out += "...";
    return out + "\"";
}

} // namespace

SXKorvDoc::SXKorvDoc() {
    reset();
}

SXKorvDoc::~SXKorvDoc() = default;

bool SXKorvDoc::compareText(std::string_view text, std::string_view pattern, bool matchWhole,
                            bool /*caseSensitive*/) const {
    if (text.empty() || pattern.empty())
        return false;
    return matchWhole ? text == pattern : text.find(pattern) != std::string_view::npos;
}

bool SXKorvDoc::copyToClipboard() {
    return false;
}

bool SXKorvDoc::pasteFromClipboard(SPoint /*offset*/) {
    return false;
}

bool SXKorvDoc::clipboardHasSchematic() const {
    return false;
}

void SXKorvDoc::reset() {
    m_main.clear();
    m_working.clear();
    m_operation = 0;
    m_kindsInSelection = 0;
    m_pending = false;
    m_tidy = true;
    m_finder.reset();
    m_readError = SXKorvReadError{};
    resetSheet();
}

void SXKorvDoc::resetSheet() {
    m_sheetSize = {SXKorvSheetInfo::kDefaultWidth, SXKorvSheetInfo::kDefaultHeight};
    m_modified = false;
    m_historyFloor = 0;
    m_selectionBounds = SRect::empty();
    m_selectionAnchorBounds = SRect::empty();
    m_selectionOrigin = {0, 0};
    m_visibleLayers = 255;
    m_editingLayer = 0;
    m_pageCount = 1;
    m_pageNumber = 1;
    m_projectName.clear();
    m_fileVersion = 0;
    m_initialPosition = 0;
}

void SXKorvDoc::setEditingLayer(int32_t layer) {
    if (layer >= 0 && layer <= 7)
        m_editingLayer = layer;
}

int SXKorvDoc::readFile(std::FILE* file) {
    STagReader reader;
    reader.attachFile(file);
    return read(reader);
}

int SXKorvDoc::read(STagReader& reader) {
    m_readError = SXKorvReadError{};
    std::string word;
    const int32_t firstLine = reader.readWord(word);
    if (firstLine < 0) {
        if (reader.hasReadError()) {
            m_readError.ioError = true;
            fail(reader.line(), "read error");
            return kReadError;
        }
        // A broken escape in the first word is not the end of a file with more words in it.
        if (reader.readWord(word) < 0)
            return kReadOk;
        fail(1, "not a schematic file");
        return kNotSchematic;
    }
    SXKorvSheetInfo info;
    if (word != kMagic) {
        fail(firstLine, "not a schematic file");
        return kNotSchematic;
    }
    m_pending = true;
    bool ok = readSections(m_working, std::nullopt, reader, &info);
    if (reader.hasReadError()) {
        m_readError = SXKorvReadError{};
        m_readError.ioError = true;
        ok = fail(reader.line(), "read error");
    }
    if (!ok) {
        commitWorking(kDiscard);
        m_pending = false;
        return kReadError;
    }
    commitWorking(kCommit);
    takeSheetInfo(info);
    m_historyFloor = m_operation;
    m_modified = false;
    m_pending = false;
    return kReadOk;
}

void SXKorvDoc::takeSheetInfo(const SXKorvSheetInfo& info) {
    m_sheetSize = info.sheetSize();
    m_editingLayer = info.editingLayer();
    m_visibleLayers = info.visibleLayers();
    m_pageCount = info.pageCount();
    m_pageNumber = info.pageNumber();
    m_projectName = info.projectName();
    m_fileVersion = info.fileVersion();
    m_initialPosition = info.initialPosition();
}

bool SXKorvDoc::fail(int32_t line, std::string message) {
    if (m_readError.message.empty()) {
        m_readError.line = line;
        m_readError.message = std::move(message);
    }
    return false;
}

bool SXKorvDoc::readSections(SXKorvObjList& target, std::optional<SPoint> offset,
                             STagReader& reader, SXKorvSheetInfo* sheetInfo) {
    std::string word;
    bool sheetInfoSeen = false;
    for (;;) {
        const int32_t line = reader.readWord(word);
        if (line < 0) {
            // The reader reports a broken escape like the end of the input; words after it
            // mean the rest of the sheet would be lost silently.
            const int32_t at = reader.line();
            if (reader.readWord(word) >= 0)
                return fail(at, "broken %-escape");
            return true;
        }
        if (word.empty() || word == kClosing)
            return true;
        if (word == kSheetInfoWord && sheetInfo && !sheetInfoSeen) {
            sheetInfoSeen = true;
            if (!sheetInfo->readSection(reader))
                return fail(line, "unreadable \"+SHEETINFO\" section (reading stopped on line " +
                                      std::to_string(reader.line()) + ")");
            continue;
        }
        if (word.front() != '+')
            return fail(line, "unexpected " + quoted(word) + " outside an object section");
        if (!readObject(target, word, line, offset, reader))
            return false;
    }
}

// One object section, or an unknown one skipped to its closing word.
bool SXKorvDoc::readObject(SXKorvObjList& target, std::string_view word, int32_t line,
                           std::optional<SPoint> offset, STagReader& reader) {
    std::unique_ptr<SXKorvObj> obj = SXKorvObj::createForSection(word);
    if (!obj) {
        std::string closing(word);
        closing.front() = '-';
        if (reader.skipTo(closing) < 0)
            return fail(line, "section " + quoted(word) + " is not closed");
        return true;
    }
    if (!obj->readSection(reader, offset, this))
        return fail(line, "unreadable " + quoted(word) + " section (reading stopped on line " +
                              std::to_string(reader.line()) + ")");
    if (obj->isValid())
        target.push_back(std::move(obj));
    return true;
}

void SXKorvDoc::commitWorking(int mode) {
    m_finder.deactivate();
    if (mode == kDiscard) {
        m_working.clear();
    } else {
        ++m_operation;
        placeWorking(m_operation);
        trimHistory();
        m_modified = true;
    }
    clearWorkingLinks();
    updateSelection();
}

void SXKorvDoc::placeWorking(int32_t op) {
    SXKorvObjList placed;
    placed.swap(m_working);
    std::erase_if(placed, [](const std::unique_ptr<SXKorvObj>& obj) { return !obj->isValid(); });
    for (auto& obj : placed) {
        obj->setPlaceStamp(op);
        obj->setWorkingCopy(nullptr);
        obj->clearSelection();
    }
    if (!m_tidy) {
        m_main.reserve(m_main.size() + placed.size());
        for (auto& obj : placed)
            m_main.push_back(std::move(obj));
        return;
    }
    SXKorvTidy tidy(m_main, op);
    tidy.placeAll(placed);
    tidy.finish();
}

void SXKorvDoc::trimHistory() {
    const int32_t limit = m_operation - kUndoDepth;
    if (m_historyFloor >= limit)
        return;
    std::erase_if(m_main, [limit](const std::unique_ptr<SXKorvObj>& obj) {
        return obj->deleteStamp() >= 0 && obj->deleteStamp() < limit;
    });
    m_historyFloor = limit;
}

// With the working list gone no object may still point at a working copy.
void SXKorvDoc::clearWorkingLinks() {
    if (!m_working.empty())
        return;
    for (auto& obj : m_main)
        obj->setWorkingCopy(nullptr);
}

bool SXKorvDoc::deleteObject(const SXKorvObj* obj) {
    for (auto& held : m_main) {
        if (held.get() == obj && held->isLive()) {
            held->setDeleteStamp(m_operation + 1);
            m_finder.deactivate();
            return true;
        }
    }
    return false;
}

void SXKorvDoc::updateSelection() {
    m_kindsInSelection = 0;
    m_selectionBounds = SRect::empty();
    m_selectionAnchorBounds = SRect::empty();
    m_selectionOrigin = {0, 0};
    const SXKorvObj* onGrid = nullptr;
    for (const auto& obj : m_working) {
        m_kindsInSelection |= obj->kindBit();
        m_selectionBounds.unite(obj->boundingArea());
        m_selectionAnchorBounds.unite(obj->anchorArea());
        const SPoint p = obj->p1();
        if (!onGrid && p.x % 10 == 0 && p.y % 10 == 0)
            onGrid = obj.get();
    }
    if (onGrid) {
        m_selectionOrigin = onGrid->p1();
    } else if (!m_working.empty()) {
        m_selectionOrigin = m_working.back()->p1();
        if (m_working.size() >= 2)
            m_selectionOrigin = {roundToGrid(m_selectionOrigin.x),
                                 roundToGrid(m_selectionOrigin.y)};
    }
}

int32_t SXKorvDoc::roundToGrid(int32_t v) {
    const int64_t shifted = int64_t{v} + 5;
    int64_t q = shifted / 10;
    if (shifted % 10 != 0 && shifted < 0)
        --q;
    int64_t r = q * 10;
    if (r > std::numeric_limits<int32_t>::max())
        r -= 10;
    else if (r < std::numeric_limits<int32_t>::min())
        r += 10;
    return static_cast<int32_t>(r);
}

bool SXKorvDoc::writeSheet(STagWriter& writer) const {
    SXKorvSheetInfo info;
    info.setSheetSize(m_sheetSize);
    info.setEditingLayer(m_editingLayer);
    info.setVisibleLayers(m_visibleLayers);
    info.setPageCount(m_pageCount);
    info.setPageNumber(m_pageNumber);
    info.setProjectName(m_projectName);
    info.setFileVersion(m_fileVersion);
    info.setInitialPosition(m_initialPosition);
    if (writer.writeWord(kMagic) < 0 || writer.endLine() < 0 || !info.writeSection(writer))
        return false;
    for (const auto& obj : m_main) {
        if (obj->isLive() && !obj->writeSection(writer))
            return false;
    }
    return writer.writeWord(kClosing) == 0 && writer.endLine() == 0;
}

void SXKorvDoc::setFindParams(std::string_view pattern, bool matchWhole, bool caseSensitive,
                              int32_t targets, SXKorvEncoding encoding) {
    m_finder.setParams(pattern, matchWhole, caseSensitive, targets, encoding);
}

const SXKorvObj* SXKorvDoc::findFirst() {
    return m_finder.first(m_main, m_visibleLayers, *this);
}

const SXKorvObj* SXKorvDoc::findNext() {
    return m_finder.next(m_main, m_visibleLayers, *this);
}
