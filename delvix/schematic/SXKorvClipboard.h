#pragma once

#include <string>
#include <string_view>

// The system clipboard as a schematic document sees it: plain byte text in and out. The program
// supplies the real one; tests supply a double.
class SXKorvClipboard {
public:
    virtual ~SXKorvClipboard() = default;

    // Replaces the clipboard's content with the text; false leaves the clipboard as it was.
    virtual bool putText(std::string_view text) = 0;
    // False when the clipboard holds no text or cannot be read.
    virtual bool getText(std::string& text) const = 0;
};
