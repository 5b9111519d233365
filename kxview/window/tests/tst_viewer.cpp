#include "handoff/CHandoffServer.h"
#include "handoff/CPeerTransport.h"
#include "protocol/SHandoff.h"
#include "protocol/SHandoffMessage.h"
#include "protocol/SPeerDirectory.h"
#include "window/CFindBar.h"
#include "window/CSheetView.h"
#include "window/CViewerWindow.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QLocalSocket>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <future>
#include <memory>
#include <optional>
#include <string>

namespace {

const QString kExamples = QStringLiteral(KX_EXAMPLES_DIR);

// Sends one request from another thread (as Delvix would) while this one serves the window.
// The reply: true for "1", false for "0", nullopt for no or another answer.
std::optional<bool> ask(const QString& socketPath, const std::string& line) {
    SPeer peer{QCoreApplication::applicationPid(), QFile::encodeName(socketPath).toStdString()};
    auto reply = std::async(std::launch::async, [peer, line] {
        CPeerTransport transport;
        return transport.request(peer, line);
    });
    QElapsedTimer timer;
    timer.start();
    while (reply.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready &&
           timer.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    const auto answer = reply.get();
    return answer ? SHandoffMessage::parseReply(*answer) : std::nullopt;
}

std::string offer(const QString& path, int64_t dwData = 1) {
    return SHandoffMessage::copyData(dwData, QFile::encodeName(path).toStdString());
}

} // namespace

class TestViewer : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void offeredFileOpensOrSwitches();
    void declinesWhatItCannotShow();
    void positionCentresAndMarks();
    void silentClientDoesNotBlockOthers();
    void hitFromTheSearchSideArrives();
    void unreadableFileSaysWhy();
    void changedFileIsReadAgain();
    void findMovesToEachMatch();
    void hoverNamesTheObject();

private:
    QTemporaryDir m_runtime;
    std::unique_ptr<CViewerWindow> m_window;
};

void TestViewer::initTestCase() {
    QVERIFY(m_runtime.isValid());
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime.path()));
}

void TestViewer::init() {
    m_window = std::make_unique<CViewerWindow>(CTextEncoding(QStringLiteral("UTF-8")));
    m_window->resize(900, 700);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    QVERIFY(m_window->listen());
}

void TestViewer::cleanup() {
    m_window.reset();
}

void TestViewer::offeredFileOpensOrSwitches() {
    const QString example = kExamples + "/Example.KX2";
    const QString all = kExamples + "/AllObjects.KX2";
    QCOMPARE(ask(m_window->socketPath(), offer(example)), std::optional<bool>(true));
    QCOMPARE(m_window->tabs()->count(), 1);
    QCOMPARE(ask(m_window->socketPath(), offer(all)), std::optional<bool>(true));
    QCOMPARE(m_window->tabs()->count(), 2);
    QCOMPARE(m_window->tabs()->currentIndex(), 1);
    // The same file by another spelling of its path switches back instead of opening again.
    QCOMPARE(ask(m_window->socketPath(), offer(kExamples + "/../examples/./Example.KX2")),
             std::optional<bool>(true));
    QCOMPARE(m_window->tabs()->count(), 2);
    QCOMPARE(m_window->tabs()->currentIndex(), 0);
    QVERIFY(m_window->currentView());
    QCOMPARE(m_window->currentView()->path(), QFileInfo(example).canonicalFilePath());
}

void TestViewer::declinesWhatItCannotShow() {
    const struct {
        std::string line;
        const char* why;
    } cases[] = {
        {offer(kExamples + "/Example.KX2", 2), "not a file offer"},
        {offer(kExamples + "/NoSuchSheet.KX2"), "missing file"},
        {offer(kExamples), "a folder"},
        {offer(QString()), "empty path"},
    };
    for (const auto& c : cases)
        QVERIFY2(ask(m_window->socketPath(), c.line) == std::optional<bool>(false), c.why);
    QCOMPARE(m_window->tabs()->count(), 0);
    // A line that is not a request at all gets "0" too, not silence.
    QCOMPARE(ask(m_window->socketPath(), "HELLO\n"), std::optional<bool>(false));
}

void TestViewer::positionCentresAndMarks() {
    QCOMPARE(ask(m_window->socketPath(), offer(kExamples + "/AllObjects.KX2")),
             std::optional<bool>(true));
    const uint32_t param = SHandoffMessage::positionParam(1230, 850);
    QCOMPARE(ask(m_window->socketPath(), SHandoffMessage::position(param)),
             std::optional<bool>(true));
    QCOMPARE(m_window->statusText(), QStringLiteral("Position received: 1230, 850"));
    CSheetView* view = m_window->currentView();
    QVERIFY(view);
    QCOMPARE(view->markedPoint(), std::optional<SPoint>(SPoint(1230, 850)));
    const SSheetViewport& vp = view->sheetViewport();
    const SPointF at = vp.toDevice({1230, 850});
    QVERIFY(std::abs(at.x - vp.viewportWidth() / 2.0) <= 1.5);
    QVERIFY(std::abs(at.y - vp.viewportHeight() / 2.0) <= 1.5);
    QVERIFY(view->zoomPercent() >= 50); // close enough to read around the hit
    // A position without any sheet open is still answered.
    m_window->tabs()->clear();
    QCOMPARE(ask(m_window->socketPath(), SHandoffMessage::position(param)),
             std::optional<bool>(true));
}

void TestViewer::silentClientDoesNotBlockOthers() {
    QLocalSocket silent;
    silent.connectToServer(m_window->socketPath());
    QVERIFY(silent.waitForConnected(1000));
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(ask(m_window->socketPath(), offer(kExamples + "/Example.KX2")),
             std::optional<bool>(true));
    QVERIFY2(timer.elapsed() < 1500, "a silent client held up the next request");
    // The silent one is dropped within the client time-out.
    QTRY_VERIFY_WITH_TIMEOUT(silent.state() == QLocalSocket::UnconnectedState,
                             CHandoffServer::kClientTimeoutMs + 2000);
}

void TestViewer::hitFromTheSearchSideArrives() {
    // Delvix's own hand-off, as a click on a hit runs it; no editor program needs starting.
    const QString path = kExamples + "/Example.KX2";
    auto outcome = std::async(std::launch::async, [path] {
        CPeerTransport transport;
        return SHandoff::showHit(transport, "/nonexistent/korvex",
                                 QFile::encodeName(path).toStdString(), 172, 258);
    });
    QElapsedTimer timer;
    timer.start();
    while (outcome.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready &&
           timer.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QCOMPARE(outcome.get(), SHandoffOutcome::Offered);
    QVERIFY(m_window->currentView());
    QCOMPARE(m_window->currentView()->markedPoint(), std::optional<SPoint>(SPoint(172, 258)));
    QCOMPARE(m_window->statusText(), QStringLiteral("Position received: 172, 258"));
}

void TestViewer::unreadableFileSaysWhy() {
    QTemporaryDir dir;
    const QString bad = dir.filePath("Broken.KX2");
    QFile file(bad);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("+KORVX_DATA_V.1.0\r\n+JUNCTION,X:1,Y:2,-JUNCTION\r\nKEY:1\r\n");
    file.close();
    m_window->openFile(bad);
    QCOMPARE(m_window->tabs()->count(), 1);
    QVERIFY(!m_window->currentView()); // no half-drawn sheet
    auto* label = qobject_cast<QLabel*>(m_window->tabs()->currentWidget());
    QVERIFY(label);
    QVERIFY2(label->text().startsWith("Cannot read Broken.KX2") &&
                 label->text().contains("(line 3)"),
             qPrintable(label->text()));
    // Sheet commands have nothing to act on.
    QVERIFY(!m_window->action(CViewerCommand::ZoomIn)->isEnabled());
    QVERIFY(m_window->action(CViewerCommand::Close)->isEnabled());
}

void TestViewer::changedFileIsReadAgain() {
    QTemporaryDir dir;
    const QString path = dir.filePath("Sheet.KX2");
    const auto write = [&](const char* text, const QDateTime& when) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
        QVERIFY(file.setFileTime(when, QFileDevice::FileModificationTime));
    };
    const QDateTime then = QDateTime::currentDateTime().addSecs(-60);
    write("+KORVX_DATA_V.1.0\r\n+JUNCTION,X:1,Y:2,-JUNCTION\r\n", then);
    m_window->openFile(kExamples + "/Example.KX2");
    QCOMPARE(m_window->openFile(path), 1);
    QCOMPARE(m_window->currentView()->index().size(), size_t{1});
    QCOMPARE(m_window->openFile(path), 1); // unchanged: the same tab
    write("+KORVX_DATA_V.1.0\r\n+JUNCTION,X:1,Y:2,-JUNCTION\r\n+JUNCTION,X:5,Y:2,-JUNCTION\r\n",
          then.addSecs(10));
    QCOMPARE(m_window->openFile(path), 1); // read again, in its place
    QCOMPARE(m_window->tabs()->count(), 2);
    QCOMPARE(m_window->currentView()->index().size(), size_t{2});
}

void TestViewer::findMovesToEachMatch() {
    m_window->openFile(kExamples + "/Example.KX2");
    auto* text = m_window->findBar()->findChild<QLineEdit*>();
    QVERIFY(text);
    text->setText(QStringLiteral("vin"));
    m_window->findBar()->setTargets(2); // labels only
    QVERIFY(m_window->findNext());
    const auto first = m_window->currentView()->markedPoint();
    QCOMPARE(first, std::optional<SPoint>(SPoint(172, 258)));
    QVERIFY(m_window->findNext());
    QCOMPARE(m_window->currentView()->markedPoint(), std::optional<SPoint>(SPoint(340, 168)));
    text->setText(QStringLiteral("no such text anywhere"));
    QVERIFY(!m_window->findNext());
}

void TestViewer::hoverNamesTheObject() {
    m_window->openFile(kExamples + "/AllObjects.KX2");
    CSheetView* view = m_window->currentView();
    QVERIFY(view);
    view->centreOn({900, 900}, false);
    const SPointF label = view->sheetViewport().toDevice({910, 896}); // on its text
    QCOMPARE(view->describeAt(QPoint(static_cast<int>(label.x), static_cast<int>(label.y))),
             QStringLiteral("Label: LABEL_H"));
    const SPointF empty = view->sheetViewport().toDevice({960, 940});
    QCOMPARE(view->describeAt(QPoint(static_cast<int>(empty.x), static_cast<int>(empty.y))),
             QString());
}

QTEST_MAIN(TestViewer)
#include "tst_viewer.moc"
