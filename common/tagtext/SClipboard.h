#pragma once

#include <string>
#include <string_view>

// The system clipboard as the core sees it: plain byte text in, plain byte text out. The
// programs supply the real one; tests supply a double.
class SClipboard {
public:
    virtual ~SClipboard() = default;

    // Replaces the clipboard's content with the text; false leaves the clipboard as it was.
    virtual bool putText(std::string_view text) = 0;
    // False when the clipboard holds no text or cannot be read.
    virtual bool getText(std::string& text) const = 0;
};
