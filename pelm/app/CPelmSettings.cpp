#include "app/CPelmSettings.h"

#include "doc/SPelmSettings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <cstdlib>

QString CPelmSettings::locate() {
    SPelmSettings::Places places;
    places.programFolder = QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString();
    places.currentFolder = QFile::encodeName(QDir::currentPath()).toStdString();
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (!config.isEmpty())
        places.configFolder = QFile::encodeName(config).toStdString();
    const auto found = SPelmSettings::locate(places, [](const std::filesystem::path& p) {
        return QFileInfo(QFile::decodeName(p.string().c_str())).isReadable();
    });
    return QFile::decodeName(found.string().c_str());
}

CPelmSettings::CPelmSettings(const QString& path)
    : m_settings(std::make_unique<QSettings>(path, QSettings::IniFormat)) {
    // A per-user file lives in a folder that may not exist yet.
    QDir().mkpath(QFileInfo(path).absolutePath());
}

int CPelmSettings::readInt(const QString& section, const QString& key, int fallback) const {
    const QVariant value = m_settings->value(section + QLatin1Char('/') + key);
    if (!value.isValid())
        return fallback;
    // Profile integers read leniently: leading digits, none gives 0.
    const QByteArray text = value.toString().trimmed().toLatin1();
    return static_cast<int>(std::strtol(text.constData(), nullptr, 10));
}

void CPelmSettings::writeInt(const QString& section, const QString& key, int value) {
    m_settings->setValue(section + QLatin1Char('/') + key, QString::number(value));
}

QString CPelmSettings::readString(const QString& section, const QString& key,
                                  const QString& fallback) const {
    return m_settings->value(section + QLatin1Char('/') + key, fallback).toString();
}

void CPelmSettings::writeString(const QString& section, const QString& key, const QString& value) {
    m_settings->setValue(section + QLatin1Char('/') + key, value);
}

SFontDesc CPelmSettings::readFont(const QString& section, const QString& face, int height) const {
    SFontDesc font;
    font.height = readInt(section, QStringLiteral("Height"), height);
    font.weight = readInt(section, QStringLiteral("IsBold"), 400);
    font.italic = readInt(section, QStringLiteral("IsItalic"), 0) != 0;
    font.face = readString(section, QStringLiteral("FaceName"), face);
    return font;
}

void CPelmSettings::writeFont(const QString& section, const SFontDesc& font) {
    writeInt(section, QStringLiteral("Height"), std::abs(font.height));
    writeInt(section, QStringLiteral("IsBold"), font.weight);
    writeInt(section, QStringLiteral("IsItalic"), font.italic ? 1 : 0);
    writeString(section, QStringLiteral("FaceName"), font.face);
}
