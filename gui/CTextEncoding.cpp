#include "gui/CTextEncoding.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <langinfo.h>

namespace {

// Files written on Japanese systems hold CP932, the superset that Windows calls Shift-JIS.
constexpr const char* kShiftJisCodec = "windows-31j";

QString squeeze(const QString& name) {
    QString s = name.toLower();
    s.remove(QLatin1Char('-'));
    s.remove(QLatin1Char('_'));
    return s;
}

QByteArray encodeStrict(const QByteArray& codec, const QString& text, bool* ok) {
    QStringEncoder enc(codec.constData(), QStringConverter::Flag::Stateless);
    QByteArray bytes = enc.encode(text);
    // Some codecs substitute silently, so a round trip is the real test.
    QStringDecoder dec(codec.constData(), QStringConverter::Flag::Stateless);
    const QString back = dec.decode(bytes);
    *ok = enc.isValid() && !enc.hasError() && !dec.hasError() && back == text;
    return bytes;
}

} // namespace

QList<CTextEncoding::Choice> CTextEncoding::offered() {
    return {{QStringLiteral("UTF-8"), QStringLiteral("UTF-8")},
            {QStringLiteral("Shift_JIS"), QStringLiteral("Shift-JIS (CP932)")},
            {QStringLiteral("windows-1252"), QStringLiteral("Windows-1252")}};
}

QString CTextEncoding::canonicalName(const QString& name) {
    const QString key = squeeze(name);
    if (key == QLatin1String("utf8"))
        return QStringLiteral("UTF-8");
    if (key == QLatin1String("shiftjis") || key == QLatin1String("sjis") ||
        key == QLatin1String("cp932") || key == QLatin1String("windows31j"))
        return QStringLiteral("Shift_JIS");
    if (key == QLatin1String("windows1252") || key == QLatin1String("cp1252"))
        return QStringLiteral("windows-1252");
    return {};
}

QString CTextEncoding::localeDefault() {
    const QString found = canonicalName(QString::fromLatin1(nl_langinfo(CODESET)));
    return found.isEmpty() ? QStringLiteral("UTF-8") : found;
}

CTextEncoding::CTextEncoding(const QString& name) {
    const QString canonical = canonicalName(name);
    m_name = canonical.isEmpty() ? name : canonical;
    m_valid = QStringDecoder(codecName().constData()).isValid();
}

QByteArray CTextEncoding::codecName() const {
    if (m_name == QLatin1String("Shift_JIS"))
        return kShiftJisCodec;
    return m_name.toLatin1();
}

QString CTextEncoding::toUnicode(std::string_view bytes) const {
    QStringDecoder dec(codecName().constData(), QStringConverter::Flag::Stateless);
    return dec.decode(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
}

bool CTextEncoding::fromUnicode(const QString& text, std::string& out, QString* bad) const {
    const QByteArray codec = codecName();
    bool ok = false;
    const QByteArray bytes = encodeStrict(codec, text, &ok);
    if (!ok) {
        if (bad) {
            // Name the first character that does not survive, for the user's message.
            for (qsizetype i = 0; i < text.size();) {
                const qsizetype len = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
                bool one = false;
                encodeStrict(codec, text.mid(i, len), &one);
                if (!one) {
                    *bad = text.mid(i, len);
                    break;
                }
                i += len;
            }
        }
        return false;
    }
    out.assign(bytes.constData(), size_t(bytes.size()));
    return true;
}

std::string CTextEncoding::fromUnicodeLossy(const QString& text) const {
    QStringEncoder enc(codecName().constData(), QStringConverter::Flag::Stateless);
    const QByteArray bytes = enc.encode(text);
    return std::string(bytes.constData(), size_t(bytes.size()));
}
