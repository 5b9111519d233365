#include "handoff/CHandoffRunner.h"
#include "handoff/CHandoffServer.h"
#include "handoff/CPeerTransport.h"
#include "protocol/SHandoffMessage.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <csignal>
#include <deque>
#include <memory>
#include <thread>

namespace {

constexpr int kPeerStartMs = 10000;

// A korvex-peer of our own, killed at the end.
struct Peer {
    std::unique_ptr<QProcess> process;
    QString log;
    qint64 pid() const { return process->processId(); }
    QByteArray logText() const {
        QFile f(log);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

} // namespace

class TestHandoff : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_runtime;
    QTemporaryDir m_work;
    std::deque<Peer> m_peers; // references stay valid as peers are added

    QString socketFor(qint64 pid) const {
        return m_runtime.path() + "/vennhald/Korvex-Vennhald." + QString::number(pid);
    }

    Peer& startPeer(const QStringList& options) {
        Peer peer;
        peer.log = m_work.filePath("peer" + QString::number(m_peers.size()) + ".log");
        peer.process = std::make_unique<QProcess>();
        peer.process->start(QStringLiteral(KX_KORVEX_PEER),
                            QStringList{"--no-window", "--log", peer.log} + options);
        [&] { QVERIFY(peer.process->waitForStarted(kPeerStartMs)); }();
        QElapsedTimer t;
        t.start();
        while (!QFile::exists(socketFor(peer.pid())) && t.elapsed() < kPeerStartMs)
            QTest::qWait(20);
        m_peers.push_back(std::move(peer));
        return m_peers.back();
    }

private slots:
    void initTestCase() {
        QVERIFY(m_runtime.isValid() && m_work.isValid());
        // Never the user's own runtime folder.
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime.path()));
    }

    void cleanup() {
        for (Peer& p : m_peers) {
            ::kill(static_cast<pid_t>(p.pid()), SIGCONT);
            p.process->kill();
            p.process->waitForFinished(5000);
        }
        m_peers.clear();
        QDir(m_runtime.path() + "/vennhald").removeRecursively();
    }

    void socketFolderIsPrivate() {
        const auto dir = CPeerTransport::folder(true);
        QVERIFY(dir);
        QCOMPARE(*dir, m_runtime.path() + "/vennhald");
        QCOMPARE(QFile::permissions(*dir) &
                     (QFile::ReadGroup | QFile::ReadOther | QFile::ExeGroup | QFile::ExeOther),
                 QFile::Permissions());
        // A folder that others may enter is refused.
        QFile::setPermissions(*dir, QFile::permissions(*dir) | QFile::ExeOther);
        QVERIFY(!CPeerTransport::folder(true));
        QVERIFY(CPeerTransport().peers("Korvex-Vennhald").empty());
        QFile::setPermissions(*dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void firstDeclinesSecondTakesThePosition() {
        const Peer& a = startPeer({"--decline"});
        const Peer& b = startPeer({"--accept"});
        const bool aFirst = a.pid() < b.pid();
        const Peer& decliner = aFirst ? a : b;
        const Peer& taker = aFirst ? b : a;
        CHandoffRunner runner(m_work.filePath("no-such-korvex").toStdString());
        runner.showHit("/schematics/a b.kx2", 1230, 850);
        QVERIFY(runner.waitIdle(10000));
        QCOMPARE(runner.lastOutcome(), SHandoffOutcome::Offered);
        const QByteArray position = "POSITION " + QByteArray::number(850 * 65536 + 1230);
        QTRY_VERIFY(taker.logText().contains(position + " (x 1230, y 850) -> 1"));
        QVERIFY(taker.logText().contains("COPYDATA 1 /schematics/a%20b.kx2 -> 1"));
        QVERIFY(!decliner.logText().contains("POSITION"));
        if (aFirst)
            QVERIFY(decliner.logText().contains("COPYDATA 1 /schematics/a%20b.kx2 -> 0"));
    }

    void hungAndStalePeersAreSkippedInBoundedTime() {
        Peer& stale = startPeer({"--accept"});
        const qint64 stalePid = stale.pid();
        stale.process->kill(); // leaves its socket behind
        stale.process->waitForFinished(5000);
        QVERIFY(QFile::exists(socketFor(stalePid)));
        const Peer& hung = startPeer({"--accept"});
        ::kill(static_cast<pid_t>(hung.pid()), SIGSTOP);
        QElapsedTimer timer;
        timer.start();
        CHandoffRunner runner(m_work.filePath("no-such-korvex").toStdString());
        runner.showHit("/x.kx2", 1, 2);
        QVERIFY(runner.waitIdle(10000));
        QCOMPARE(runner.lastOutcome(), SHandoffOutcome::NotStarted);
        QVERIFY2(timer.elapsed() < 2 * CPeerTransport::kTimeoutMs + 1000,
                 QByteArray::number(timer.elapsed()));
    }

    void startsTheEditorAndSendsThePosition() {
        // "korvex" beside us: a script that runs the peer under the same process id.
        const QString log = m_work.filePath("started.log");
        const QString program = m_work.filePath("korvex");
        QFile script(program);
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\nexec '" KX_KORVEX_PEER "' --no-window --log '" +
                     QFile::encodeName(log) + "' \"$@\"\n");
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        CHandoffRunner runner(program.toStdString());
        runner.showHit("/s/x.kx2", 1230, 850);
        QVERIFY(runner.waitIdle(15000));
        QCOMPARE(runner.lastOutcome(), SHandoffOutcome::Started);
        QTRY_VERIFY(QFile(log).exists());
        QFile f(log);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray text = f.readAll();
        QVERIFY2(text.contains("file /s/x.kx2") && text.contains("POSITION 55706830"), text);
        // The started editor is ours to end.
        const QList<QByteArray> lines = text.split('\n');
        for (const QByteArray& line : lines)
            if (line.startsWith("listening ")) {
                const QByteArray pid = line.mid(line.lastIndexOf('.') + 1);
                ::kill(static_cast<pid_t>(pid.toLongLong()), SIGKILL);
            }
    }

    void serverAnswersOnlyWellFormedRequests() {
        CHandoffServer server("Korvex-Vennhald", [](const SHandoffRequest& r) {
            return r.kind == SHandoffRequest::Kind::Position;
        });
        QVERIFY(server.listen());
        const SPeer self{QCoreApplication::applicationPid(),
                         QFile::encodeName(server.socketPath()).toStdString()};
        const std::pair<std::string, std::optional<std::string>> cases[] = {
            {"POSITION 5\n", "1\n"},
            {"COPYDATA 1 /x\n", "0\n"},
            {"garbage\n", "0\n"},
            {std::string(SHandoffMessage::kMaxLine + 10, 'x'), "0\n"},
        };
        for (const auto& [line, reply] : cases) {
            std::optional<std::string> got;
            std::atomic<bool> done{false};
            std::thread client([&, line = line] {
                got = CPeerTransport().request(self, line);
                done = true;
            });
            QElapsedTimer t;
            t.start();
            while (!done && t.elapsed() < 5000)
                QTest::qWait(10);
            client.join();
            QCOMPARE(got, reply);
        }
    }
};

QTEST_GUILESS_MAIN(TestHandoff)
#include "tst_handoff.moc"
