#pragma once

#include "tagtext/SFileWords.h"

#include <cstddef>
#include <string>
#include <string_view>

class SCompIndex;
class SCompLib;

// The text that carries one whole component through the clipboard: a schematic holding one
// placed component whose embedded library part is the component record.
class SCompClipboard {
public:
    static constexpr std::string_view kMagic = SFileWords::kSchematicOpen;
    // A text of this many bytes or fewer is never taken for a component.
    static constexpr size_t kMinTextBytes = 4 * kMagic.size();

    // Whether pasting is offered: more than kMinTextBytes bytes, beginning with the magic.
    static bool holdsComponent(std::string_view text);

    // The text for an entry, written under the entry's name; empty when the entry has no name
    // or no component.
    static std::string write(const SCompIndex& entry);

    // Pastes the first component of the text's first library section into `library` (its name
    // made unique there) and returns the entry the read appended last, or null when the text is
    // no component text or fails to read. A failed read leaves the library as it was.
    static SCompIndex* read(SCompLib& library, std::string_view text);
};
