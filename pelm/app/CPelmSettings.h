#pragma once

#include "render/SDrawSettings.h"

#include <QSettings>
#include <QString>

#include <memory>

// PELM.INI: every key Pelm reads and writes, through one settings file found at start-up.
class CPelmSettings {
public:
    // The file: see SPelmSettings::locate (current folder, per-user folder, program folder).
    static QString locate();

    explicit CPelmSettings(const QString& path);

    QString path() const { return m_settings->fileName(); }
    int readInt(const QString& section, const QString& key, int fallback) const;
    void writeInt(const QString& section, const QString& key, int value);
    QString readString(const QString& section, const QString& key, const QString& fallback) const;
    void writeString(const QString& section, const QString& key, const QString& value);
    // The font record: "Height", "IsBold" (a weight), "IsItalic", "FaceName".
    SFontDesc readFont(const QString& section, const QString& face, int height) const;
    void writeFont(const QString& section, const SFontDesc& font);
    void sync() { m_settings->sync(); }

private:
    std::unique_ptr<QSettings> m_settings;
};
