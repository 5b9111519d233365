#pragma once

#include "edit/SClipboard.h"

class CTextEncoding;

// The system clipboard for the component commands: byte texts travel as plain text in the
// chosen encoding, so that two running Pelm processes exchange components.
class CPelmClipboard : public SClipboard {
public:
    explicit CPelmClipboard(const CTextEncoding& encoding) : m_encoding(encoding) {}

    bool putText(std::string_view text) override;
    bool getText(std::string& text) const override;

private:
    const CTextEncoding& m_encoding;
};
