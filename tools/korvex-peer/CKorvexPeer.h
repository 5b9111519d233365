#pragma once

#include "protocol/SHandoffMessage.h"

#include <QFile>
#include <QObject>
#include <QString>

#include <memory>

class CHandoffServer;
class QLabel;
class QWidget;

// The editor's side of the hand-off: carries the editor marker, takes or declines offered files,
// logs every message it receives and shows the last file and position.
class CKorvexPeer : public QObject {
    Q_OBJECT
public:
    struct Options {
        bool accept = true;
        bool window = true;
        QString logPath; // empty: standard output
        QByteArray file; // opened from the command line, as bytes
    };

    explicit CKorvexPeer(Options options);
    ~CKorvexPeer() override;

    // Opens the log and starts listening; false with a message on standard error otherwise.
    bool start();

private:
    bool handle(const SHandoffRequest& request);
    void log(const QByteArray& line);
    void showState();

    Options m_options;
    QFile m_log;
    CHandoffServer* m_server;
    std::unique_ptr<QWidget> m_window;
    QLabel* m_fileLabel = nullptr;
    QLabel* m_positionLabel = nullptr;
    QByteArray m_file;
    QString m_position;
};
