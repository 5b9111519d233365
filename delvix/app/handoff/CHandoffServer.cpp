#include "handoff/CHandoffServer.h"

#include "handoff/CPeerTransport.h"

#include <QCoreApplication>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>
#include <QVariant>

CHandoffServer::CHandoffServer(std::string_view marker, Handler handler, QObject* parent)
    : QObject(parent), m_marker(marker), m_handler(std::move(handler)),
      m_server(new QLocalServer(this)) {
    connect(m_server, &QLocalServer::newConnection, this, &CHandoffServer::accept);
}

CHandoffServer::~CHandoffServer() {
    m_server->close();
}

bool CHandoffServer::listen() {
    const auto dir = CPeerTransport::folder(true);
    if (!dir)
        return false;
    const QString path = *dir + '/' +
                         QString::fromStdString(SPeerDirectory::socketName(
                             m_marker, QCoreApplication::applicationPid()));
    // A socket of our own pid can only be left over from a dead process.
    QLocalServer::removeServer(path);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    return m_server->listen(path);
}

bool CHandoffServer::isListening() const {
    return m_server->isListening();
}

QString CHandoffServer::socketPath() const {
    return m_server->fullServerName();
}

void CHandoffServer::accept() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readRequest(socket); });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        // A client that never finishes its line is dropped.
        QTimer::singleShot(kClientTimeoutMs, socket, [socket] { socket->abort(); });
        if (socket->bytesAvailable() > 0)
            readRequest(socket);
    }
}

void CHandoffServer::readRequest(QLocalSocket* socket) {
    if (socket->property("answered").toBool())
        return;
    QByteArray line = socket->property("line").toByteArray() + socket->readAll();
    const qsizetype end = line.indexOf('\n');
    if (end < 0) {
        if (line.size() >= static_cast<qsizetype>(SHandoffMessage::kMaxLine))
            answer(socket, false);
        else
            socket->setProperty("line", line);
        return;
    }
    const auto request = SHandoffMessage::parseRequest(
        std::string_view(line.constData(), static_cast<size_t>(end + 1)));
    answer(socket, request && m_handler(*request));
}

void CHandoffServer::answer(QLocalSocket* socket, bool taken) {
    socket->setProperty("answered", true);
    const std::string reply = SHandoffMessage::reply(taken);
    socket->write(reply.data(), static_cast<qint64>(reply.size()));
    socket->flush();
    socket->disconnectFromServer();
}
