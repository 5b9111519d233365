#include "schematic/SXKorvDocSch.h"

#include "tagtext/SAscii.h"
#include "tagtext/SClipboard.h"
#include "tagtext/STagReader.h"
#include "tagtext/STagWriter.h"

namespace {

bool isLeadByte(unsigned char c, SXKorvEncoding encoding) {
    return encoding == SXKorvEncoding::ShiftJis &&
           ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC));
}

// Bytes of the character starting at i; a lead byte at the very end stands alone.
size_t charBytes(std::string_view s, size_t i, SXKorvEncoding encoding) {
    return isLeadByte(static_cast<unsigned char>(s[i]), encoding) && i + 1 < s.size() ? 2 : 1;
}

// Whether the pattern's characters equal the text's characters starting at `at`.
bool matchesAt(std::string_view text, size_t at, std::string_view pattern, bool fold,
               SXKorvEncoding encoding) {
    size_t i = at;
    for (size_t j = 0; j < pattern.size();) {
        if (i >= text.size())
            return false;
        const size_t n = charBytes(text, i, encoding);
        if (n != charBytes(pattern, j, encoding))
            return false;
        if (n == 1) {
            auto a = static_cast<unsigned char>(text[i]);
            auto b = static_cast<unsigned char>(pattern[j]);
            if (fold ? lowerAscii(a) != lowerAscii(b) : a != b)
                return false;
        } else if (text.compare(i, 2, pattern.substr(j, 2)) != 0) {
            return false;
        }
        i += n;
        j += n;
    }
    return true;
}

bool containsChars(std::string_view text, std::string_view pattern, bool fold,
                   SXKorvEncoding encoding) {
    for (size_t i = 0; i + pattern.size() <= text.size(); i += charBytes(text, i, encoding)) {
        if (matchesAt(text, i, pattern, fold, encoding))
            return true;
    }
    return false;
}

} // namespace

bool SXKorvDocSch::compareText(std::string_view text, std::string_view pattern, bool matchWhole,
                               bool caseSensitive, SXKorvEncoding encoding) {
    if (text.empty() || pattern.empty())
        return false;
    if (matchWhole) {
        if (caseSensitive)
            return text == pattern;
        return text.size() == pattern.size() && matchesAt(text, 0, pattern, true, encoding);
    }
    if (caseSensitive && encoding == SXKorvEncoding::Utf8)
        return text.find(pattern) != std::string_view::npos;
    return containsChars(text, pattern, !caseSensitive, encoding);
}

bool SXKorvDocSch::compareText(std::string_view text, std::string_view pattern, bool matchWhole,
                               bool caseSensitive) const {
    return compareText(text, pattern, matchWhole, caseSensitive, findState().encoding);
}

bool SXKorvDocSch::copyToClipboard() {
    if (working().empty() || !clipboard())
        return false;
    const SPoint origin{roundToGrid(selectionBounds().left), roundToGrid(selectionBounds().top)};
    const SSize sheet = sheetSize();
    std::string text;
    STagWriter writer;
    writer.attachString(&text);
    writer.writeWord(kMagic);
    writer.endLine();
    for (const auto& obj : working()) {
        const SRect area = obj->boundingArea();
        if (area.left <= sheet.width && area.right >= 0 && area.top <= sheet.height &&
            area.bottom >= 0)
            obj->writeSection(writer, origin);
    }
    writer.writeWord(kClosing);
    writer.endLine();
    return clipboard()->putText(text);
}

bool SXKorvDocSch::clipboardHasSchematic() const {
    std::string text;
    return clipboard() && clipboard()->getText(text) && text.size() >= kMagic.size() &&
           std::string_view(text).substr(0, kMagic.size()) == kMagic;
}

bool SXKorvDocSch::pasteFromClipboard(SPoint offset) {
    std::string text;
    if (!clipboardHasSchematic() || !clipboard()->getText(text))
        return false;
    STagReader reader;
    reader.attachString(std::string_view(text));
    std::string word;
    if (reader.readWord(word) < 0 || word != kMagic)
        return false;
    SXKorvObjList& list = working();
    const size_t before = list.size();
    // A text that breaks off half-way changes nothing rather than pasting a part of it.
    if (!readSections(list, offset, reader, nullptr) || list.size() == before) {
        list.resize(before);
        return false;
    }
    for (size_t i = before; i < list.size(); ++i)
        list[i]->setLayer(editingLayer());
    updateSelection();
    setPending(true);
    deactivateFind();
    return true;
}
