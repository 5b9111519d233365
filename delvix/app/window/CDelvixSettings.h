#pragma once

#include <QSettings>
#include <QString>

#include <cstdint>
#include <memory>

// Delvix.INI: where it is, what it holds, and the moments it is written.
class CDelvixSettings {
public:
    struct Find {
        QString string;
        int32_t targetFlag = -1;
        bool matchWhole = true;
        bool caseSensitive = true;
        bool includeSubfolders = true;
        QString encoding;
    };

    // The file as the lookup rule finds it ($XDG_CONFIG_HOME/VennhaldVIVAZI/Delvix.INI, or the
    // one beside the program when only that exists).
    CDelvixSettings();
    explicit CDelvixSettings(const QString& path);

    QString path() const { return m_settings->fileName(); }

    QString initialFolder() const;
    void writeInitialFolder(const QString& folder);
    Find readFind() const;
    // "[Editor] Program": the program to start for a hit; empty when not set.
    QString editorProgram() const;
    void writeFind(const Find& find);

private:
    std::unique_ptr<QSettings> m_settings;
};
