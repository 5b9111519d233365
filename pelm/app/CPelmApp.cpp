#include "app/CPelmApp.h"

#include "app/CMainFrame.h"
#include "app/CPelmSettings.h"
#include "doc/SPelmFileRules.h"
#include "doc/SPelmSettings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTranslator>

CPelmApp::CPelmApp() : CPelmApp(CPelmSettings::locate()) {}

CPelmApp::CPelmApp(const QString& settingsPath)
    : m_settings(std::make_unique<CPelmSettings>(settingsPath)) {}

CPelmApp::~CPelmApp() {
    m_frame.reset();
    if (m_translationInstalled)
        QCoreApplication::removeTranslator(m_translator.get());
}

bool CPelmApp::loadTranslation(const QString& folder) {
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QDir(folder).filePath(QString::fromLatin1(kTranslationFile))))
        return false;
    // A translation made for another version would show wrong texts: leave it unused.
    if (translator->translate("CPelmApp", kVersion) != QLatin1String(kVersion))
        return false;
    m_translator = std::move(translator);
    QCoreApplication::installTranslator(m_translator.get());
    m_translationInstalled = true;
    return true;
}

bool CPelmApp::initInstance(const QStringList& arguments) {
    loadTranslation(QCoreApplication::applicationDirPath());
    QString file;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        if (!arguments.at(i).startsWith(QLatin1Char('-')) ||
            arguments.at(i) == QLatin1String("-")) {
            file = arguments.at(i);
            break;
        }
    }
    const QString section = QStringLiteral("WindowPosition");
    const int cmdShow = m_settings->readInt(section, QStringLiteral("cmdShow"), 1);
    const int width = SPelmSettings::startWidth(
        m_settings->readInt(section, QStringLiteral("Width"), SPelmSettings::kDefaultSize));
    const int height = SPelmSettings::startHeight(
        m_settings->readInt(section, QStringLiteral("Height"), SPelmSettings::kDefaultSize));

    m_frame = std::make_unique<CMainFrame>(*m_settings);
    // The system's choice where no size is stored.
    m_frame->resize(width == SPelmSettings::kDefaultSize ? 900 : width,
                    height == SPelmSettings::kDefaultSize ? 640 : height);
    if (SPelmSettings::startMaximized(cmdShow))
        m_frame->showMaximized();
    else
        m_frame->show();
    if (!file.isEmpty()) {
        m_frame->openLibrary(file);
        if (SPelmFileRules::isTemporaryFile(QFile::encodeName(file).toStdString()))
            m_frame->doc().setTemporaryFileMode(true);
        m_frame->updateCommandStates();
    }
    return true;
}
