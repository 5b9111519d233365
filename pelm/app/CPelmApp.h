#pragma once

#include <QString>
#include <QStringList>

#include <memory>

class CMainFrame;
class CPelmSettings;
class QTranslator;

// Start-up of Pelm: the settings file, the translation, the stored window size, the main frame
// and the file named on the command line.
class CPelmApp {
public:
    static constexpr const char* kVersion = "0.69.02";
    static constexpr const char* kTranslationFile = "pelm_lang.qm";

    // Uses the settings file found by CPelmSettings::locate().
    CPelmApp();
    explicit CPelmApp(const QString& settingsPath);
    ~CPelmApp();
    CPelmApp(const CPelmApp&) = delete;
    CPelmApp& operator=(const CPelmApp&) = delete;

    // `arguments` as QCoreApplication::arguments() gives them. False when no frame was made.
    bool initInstance(const QStringList& arguments);

    CMainFrame* mainFrame() const { return m_frame.get(); }
    CPelmSettings& settings() const { return *m_settings; }
    bool translationInstalled() const { return m_translationInstalled; }

    // Installs the translation in `folder` only when it translates the version text to itself.
    bool loadTranslation(const QString& folder);

private:
    std::unique_ptr<CPelmSettings> m_settings;
    std::unique_ptr<QTranslator> m_translator;
    std::unique_ptr<CMainFrame> m_frame;
    bool m_translationInstalled = false;
};
