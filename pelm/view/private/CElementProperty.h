#pragma once

#include "gui/CTextEncoding.h"

class QWidget;
class SCompEditDoc;
class SPin;
class SPtnObj;
class SPtnObjText;

// The Property command for the one selected element: fills the pin, text or pattern dialog from
// the element and writes the answers back. Texts are converted with the program's encoding; a
// text it cannot hold is refused and nothing changes.
class CElementProperty {
public:
    CElementProperty(QWidget* parent, CTextEncoding encoding)
        : m_parent(parent), m_encoding(std::move(encoding)) {}

    // True when a dialog was confirmed and the element changed.
    bool editPin(SPin& pin, SCompEditDoc& doc) const;
    bool editText(SPtnObjText& text) const;
    bool editStyle(SPtnObj& object) const;

private:
    QString decode(std::string_view bytes) const;
    bool encode(const QString& text, std::string& out) const;

    QWidget* m_parent;
    CTextEncoding m_encoding;
};
