#include "CQtClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QStringDecoder>
#include <QStringEncoder>

bool CQtClipboard::putText(std::string_view text) {
    QStringDecoder decoder = m_encoding.isEmpty() ? QStringDecoder(QStringDecoder::System)
                                                  : QStringDecoder(m_encoding.constData());
    if (!decoder.isValid())
        return false;
    const QString unicode =
        decoder(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
    if (decoder.hasError())
        return false;
    QGuiApplication::clipboard()->setText(unicode);
    return true;
}

bool CQtClipboard::getText(std::string& text) const {
    const QString unicode = QGuiApplication::clipboard()->text();
    if (unicode.isEmpty())
        return false;
    QStringEncoder encoder = m_encoding.isEmpty() ? QStringEncoder(QStringEncoder::System)
                                                  : QStringEncoder(m_encoding.constData());
    if (!encoder.isValid())
        return false;
    const QByteArray bytes = encoder(unicode);
    if (encoder.hasError())
        return false;
    text.assign(bytes.constData(), static_cast<size_t>(bytes.size()));
    return true;
}
