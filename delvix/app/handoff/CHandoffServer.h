#pragma once

#include "protocol/SHandoffMessage.h"

#include <QObject>
#include <QString>

#include <functional>
#include <string>
#include <string_view>

class QLocalServer;
class QLocalSocket;

// Makes this process carry a marker: listens on "<marker>.<pid>" in the socket folder and
// answers each request through the handler, on the thread that owns the server.
class CHandoffServer : public QObject {
    Q_OBJECT
public:
    // Returns the reply to a well-formed request ("1" takes it).
    using Handler = std::function<bool(const SHandoffRequest&)>;

    CHandoffServer(std::string_view marker, Handler handler, QObject* parent = nullptr);
    ~CHandoffServer() override;

    // False when the socket folder is unsafe or the socket cannot be made.
    bool listen();
    bool isListening() const;
    QString socketPath() const;

    // How long a client may take to send its request line.
    static constexpr int kClientTimeoutMs = 2000;

private:
    void accept();
    void readRequest(QLocalSocket* socket);
    void answer(QLocalSocket* socket, bool taken);

    std::string m_marker;
    Handler m_handler;
    QLocalServer* m_server;
};
