#pragma once

#include "gui/CTextEncoding.h"
#include "tagtext/SClipboard.h"

#include <QString>

// The system clipboard for the edit engine: byte texts converted with the program's encoding.
// A text holding characters the encoding cannot write is refused rather than altered.
class CQtClipboard : public SClipboard {
public:
    explicit CQtClipboard(CTextEncoding encoding) : m_encoding(std::move(encoding)) {}

    bool putText(std::string_view text) override;
    bool getText(std::string& text) const override;
    // The character that made the last refusal, for the message.
    const QString& lastRefused() const { return m_refused; }

private:
    CTextEncoding m_encoding;
    mutable QString m_refused;
};
