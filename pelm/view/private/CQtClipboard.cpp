#include "CQtClipboard.h"

#include <QClipboard>
#include <QGuiApplication>

bool CQtClipboard::putText(std::string_view text) {
    QGuiApplication::clipboard()->setText(m_encoding.toUnicode(text));
    return true;
}

bool CQtClipboard::getText(std::string& text) const {
    const QString unicode = QGuiApplication::clipboard()->text();
    if (unicode.isEmpty())
        return false;
    return m_encoding.fromUnicode(unicode, text, &m_refused);
}
