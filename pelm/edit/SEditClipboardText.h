#pragma once

#include "model/SPoint.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class SClipboard;
class SPin;
class SPtnObj;

// The clipboard texts that carry pins and pattern objects between editors (and between running
// instances): one pin in the pin format, or a group of pattern objects in the pattern format
// with coordinates relative to the group's top-left corner.
class SEditClipboardText {
public:
    static constexpr std::string_view kPinMagic = "+PELM_PIN_V.1.0";
    static constexpr std::string_view kPatternMagic = "+PELM_PTN_V.1.0";
    // Texts this short cannot hold a record and are never offered for pasting.
    static constexpr size_t kMinPasteBytes = 2 * kPinMagic.size();

    enum class Format { None, Pin, Pattern };

    // The availability test: longer than kMinPasteBytes and starting with one of the magics.
    static Format formatOf(std::string_view text);
    static bool canPaste(const SClipboard& clipboard);

    static std::string pinText(const SPin& pin);
    static std::string patternText(const std::vector<const SPtnObj*>& objects, SPoint origin);

    // The first "+PIN" record of a pin text, read with `blockCount` numbers; null when the text
    // is no pin text or the record fails to read.
    static std::unique_ptr<SPin> readPin(std::string_view text, int32_t blockCount);
    // Every pattern object of a pattern text that reads successfully, in text order. Unknown
    // sections are skipped; one without its end tag ends the reading.
    static std::vector<std::unique_ptr<SPtnObj>> readPatternObjects(std::string_view text);

    // Where pasted objects land: the top-left of the visible part (scroll position in logical
    // pixels divided by the zoom factor), never left of or above the body's origin.
    static SPoint pasteOrigin(SPoint scrollPosition, int32_t zoom);
};
