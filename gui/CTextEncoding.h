#pragma once

#include <QList>
#include <QString>

#include <string>
#include <string_view>

// The one place where the programs' byte texts meet Unicode. Files and clipboard texts stay bytes
// in the core; windows show and take them through the encoding the user chose.
class CTextEncoding {
public:
    struct Choice {
        QString name;  // stored in the settings files
        QString label; // shown in menus
    };

    // The encodings every program offers, in menu order.
    static QList<Choice> offered();
    // The locale's encoding when it is one we offer, else UTF-8.
    static QString localeDefault();
    // The offered name that means the same as NAME (case and "-"/"_" ignored), else empty.
    static QString canonicalName(const QString& name);

    explicit CTextEncoding(const QString& name = localeDefault());

    QString name() const { return m_name; }
    bool isValid() const { return m_valid; }

    QString toUnicode(std::string_view bytes) const;
    // False when TEXT holds a character the encoding cannot represent; OUT is then untouched and
    // BAD (when given) receives the first such character.
    bool fromUnicode(const QString& text, std::string& out, QString* bad = nullptr) const;
    // Convenience for texts known to be representable (e.g. validated before).
    std::string fromUnicodeLossy(const QString& text) const;

private:
    QByteArray codecName() const;

    QString m_name;
    bool m_valid = false;
};
