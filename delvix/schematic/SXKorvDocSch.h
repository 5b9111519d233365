#pragma once

#include "schematic/SXKorvDoc.h"

#include <string_view>

// The schematic document of the search tool: text comparison with case and multibyte rules,
// and the working list on the clipboard as schematic text.
class SXKorvDocSch : public SXKorvDoc {
public:
    // Uses the encoding of the find state.
    bool compareText(std::string_view text, std::string_view pattern, bool matchWhole,
                     bool caseSensitive) const override;
    bool copyToClipboard() override;
    bool pasteFromClipboard(SPoint offset) override;
    bool clipboardHasSchematic() const override;

    // Empty texts never match. Case folding touches ASCII letters only, and in Shift_JIS only
    // single-byte characters; a substring match starts and ends on character boundaries.
    static bool compareText(std::string_view text, std::string_view pattern, bool matchWhole,
                            bool caseSensitive, SXKorvEncoding encoding);
};
