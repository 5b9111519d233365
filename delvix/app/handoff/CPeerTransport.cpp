#include "handoff/CPeerTransport.h"

#include "protocol/SHandoffMessage.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QProcess>
#include <QThread>

#include <cerrno>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr size_t kMaxReply = 64;
constexpr int kPollMs = 25;

// Ours, a folder, and closed to everybody else.
bool isPrivateFolder(const QByteArray& path) {
    struct stat st {};
    if (::lstat(path.constData(), &st) != 0)
        return false;
    return S_ISDIR(st.st_mode) && st.st_uid == ::getuid() && (st.st_mode & 077) == 0;
}

} // namespace

std::optional<QString> CPeerTransport::folder(bool create) {
    const std::string dir = SPeerDirectory::folderFor(std::getenv("XDG_RUNTIME_DIR"), ::getuid());
    const QByteArray path = QByteArray::fromStdString(dir);
    if (create && ::mkdir(path.constData(), 0700) != 0 && errno != EEXIST)
        return std::nullopt;
    if (!isPrivateFolder(path))
        return std::nullopt;
    return QFile::decodeName(path);
}

std::vector<SPeer> CPeerTransport::peers(std::string_view marker) {
    const auto dir = folder(false);
    if (!dir)
        return {};
    return SPeerDirectory::list(QFile::encodeName(*dir).toStdString(), marker);
}

std::optional<std::string> CPeerTransport::request(const SPeer& peer, const std::string& line) {
    QDeadlineTimer deadline(kTimeoutMs);
    QLocalSocket socket;
    socket.connectToServer(QFile::decodeName(QByteArray::fromStdString(peer.socketPath)));
    if (!socket.waitForConnected(deadline.remainingTime()))
        return std::nullopt;
    socket.write(line.data(), static_cast<qint64>(line.size()));
    QByteArray reply;
    while (!reply.contains('\n') && reply.size() < static_cast<qsizetype>(kMaxReply)) {
        if (socket.bytesToWrite() > 0)
            socket.waitForBytesWritten(deadline.remainingTime());
        if (!socket.waitForReadyRead(deadline.remainingTime()) && socket.bytesAvailable() == 0)
            break;
        reply += socket.readAll();
        if (deadline.hasExpired())
            break;
    }
    socket.abort();
    const qsizetype end = reply.indexOf('\n');
    if (end < 0)
        return std::nullopt;
    return reply.left(end + 1).toStdString();
}

std::optional<int64_t> CPeerTransport::start(const std::string& program,
                                             const std::vector<std::string>& args) {
    const QString path = QFile::decodeName(QByteArray::fromStdString(program));
    const QFileInfo info(path);
    if (!info.isFile() || !info.isExecutable())
        return std::nullopt;
    QStringList list;
    for (const std::string& arg : args)
        list << QFile::decodeName(QByteArray::fromStdString(arg));
    qint64 pid = 0;
    if (!QProcess::startDetached(path, list, QString(), &pid) || pid <= 0)
        return std::nullopt;
    return pid;
}

std::optional<SPeer> CPeerTransport::waitForPeer(std::string_view marker, int64_t pid,
                                                 int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    const QString name = QString::fromStdString(SPeerDirectory::socketName(marker, pid));
    do {
        // The folder may only appear with the new program's first socket.
        if (const auto dir = folder(false); dir && QFileInfo::exists(*dir + '/' + name))
            return SPeer{pid, QFile::encodeName(*dir + '/' + name).toStdString()};
        QThread::msleep(kPollMs);
    } while (!deadline.hasExpired());
    return std::nullopt;
}
