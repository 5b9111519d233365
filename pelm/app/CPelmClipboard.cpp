#include "app/CPelmClipboard.h"

#include "gui/CTextEncoding.h"

#include <QClipboard>
#include <QGuiApplication>

bool CPelmClipboard::putText(std::string_view text) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return false;
    clipboard->setText(m_encoding.toUnicode(text));
    return true;
}

bool CPelmClipboard::getText(std::string& text) const {
    const QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return false;
    const QString shown = clipboard->text();
    if (shown.isEmpty())
        return false;
    // A text the encoding cannot hold is no text of ours.
    return m_encoding.fromUnicode(shown, text);
}
