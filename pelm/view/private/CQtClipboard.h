#pragma once

#include "edit/SClipboard.h"

#include <QByteArray>

// The system clipboard for the edit engine: byte texts converted with the program's encoding.
// A text that does not convert cleanly either way is refused rather than altered.
class CQtClipboard : public SClipboard {
public:
    explicit CQtClipboard(QByteArray encoding) : m_encoding(std::move(encoding)) {}

    bool putText(std::string_view text) override;
    bool getText(std::string& text) const override;

private:
    QByteArray m_encoding;
};
