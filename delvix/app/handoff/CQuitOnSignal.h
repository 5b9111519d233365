#pragma once

#include <QObject>

class QSocketNotifier;

// Ends the event loops cleanly on SIGTERM, SIGINT or SIGHUP, so that a program's hand-off socket
// is removed as it would be on a normal close. One per process.
class CQuitOnSignal : public QObject {
    Q_OBJECT
public:
    explicit CQuitOnSignal(QObject* parent = nullptr);
    ~CQuitOnSignal() override;

private:
    static void handle(int signal);
    QSocketNotifier* m_notifier = nullptr;
};
