#include "window/CDelvixSettings.h"

#include "gui/CTextEncoding.h"
#include "rules/SDelvixRules.h"

#include <QCoreApplication>
#include <QFile>
#include <QStandardPaths>

namespace {

namespace K = SDelvixSettingsKeys;

QString key(std::string_view k) {
    return QString::fromLatin1(k.data(), static_cast<qsizetype>(k.size()));
}

int readInt(const QSettings& s, std::string_view k, int fallback) {
    bool ok = false;
    const int value = s.value(key(k)).toInt(&ok);
    return ok ? value : fallback;
}

QString defaultPath() {
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    const std::string path = SDelvixRules::settingsPath(
        QFile::encodeName(config).toStdString(),
        QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString());
    return QFile::decodeName(QByteArray::fromStdString(path));
}

} // namespace

CDelvixSettings::CDelvixSettings() : CDelvixSettings(defaultPath()) {}

CDelvixSettings::CDelvixSettings(const QString& path)
    : m_settings(std::make_unique<QSettings>(path, QSettings::IniFormat)) {}

QString CDelvixSettings::initialFolder() const {
    return m_settings->value(key(K::kInitialFolder)).toString();
}

QString CDelvixSettings::editorProgram() const {
    return m_settings->value(key(K::kEditorProgram)).toString();
}

void CDelvixSettings::writeInitialFolder(const QString& folder) {
    m_settings->setValue(key(K::kInitialFolder), folder);
    m_settings->sync();
}

CDelvixSettings::Find CDelvixSettings::readFind() const {
    Find f;
    f.string = m_settings->value(key(K::kString)).toString();
    f.targetFlag = readInt(*m_settings, K::kTargetFlag, K::kDefaultTargetFlag);
    f.matchWhole = readInt(*m_settings, K::kMatchWhole, K::kDefaultMatchWhole) != 0;
    f.caseSensitive = readInt(*m_settings, K::kCaseSensitive, K::kDefaultCaseSensitive) != 0;
    f.includeSubfolders =
        readInt(*m_settings, K::kIncludeSubfolders, K::kDefaultIncludeSubfolders) != 0;
    const QString stored =
        CTextEncoding::canonicalName(m_settings->value(key(K::kEncoding)).toString());
    f.encoding = stored.isEmpty() ? CTextEncoding::localeDefault() : stored;
    return f;
}

void CDelvixSettings::writeFind(const Find& f) {
    m_settings->setValue(key(K::kString), f.string);
    m_settings->setValue(key(K::kTargetFlag), f.targetFlag);
    m_settings->setValue(key(K::kMatchWhole), f.matchWhole ? 1 : 0);
    m_settings->setValue(key(K::kCaseSensitive), f.caseSensitive ? 1 : 0);
    m_settings->setValue(key(K::kIncludeSubfolders), f.includeSubfolders ? 1 : 0);
    m_settings->setValue(key(K::kEncoding), f.encoding);
    m_settings->sync();
}
