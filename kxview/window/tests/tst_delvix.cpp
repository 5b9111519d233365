#include "handoff/CHandoffRunner.h"
#include "handoff/CPeerTransport.h"
#include "protocol/SHandoffMessage.h"
#include "protocol/SPeerDirectory.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <signal.h>

#include <optional>
#include <string>
#include <vector>

// Delvix's hand-off, as a click on a hit runs it, reaching a real kxview process it starts.
class TestDelvixToViewer : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void clickStartsViewerThenOffersToIt();

private:
    std::vector<SPeer> viewers() const;

    QTemporaryDir m_runtime;
    std::vector<int64_t> m_started;
};

void TestDelvixToViewer::initTestCase() {
    QVERIFY(m_runtime.isValid());
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime.path()));
    qputenv("QT_QPA_PLATFORM", "offscreen");
}

void TestDelvixToViewer::cleanupTestCase() {
    for (const int64_t pid : m_started)
        ::kill(static_cast<pid_t>(pid), SIGTERM);
}

std::vector<SPeer> TestDelvixToViewer::viewers() const {
    CPeerTransport transport;
    return transport.peers(SPeerDirectory::kEditorMarker);
}

void TestDelvixToViewer::clickStartsViewerThenOffersToIt() {
    const std::string example = std::string(KX_EXAMPLES_DIR) + "/Example.KX2";
    const std::string all = std::string(KX_EXAMPLES_DIR) + "/AllObjects.KX2";
    CHandoffRunner runner(KX_KXVIEW);
    QVERIFY(viewers().empty());

    // No editor runs: kxview is started with the file and then gets the position.
    runner.showHit(example, 172, 258);
    QVERIFY(runner.waitIdle(20000));
    const auto found = viewers();
    for (const SPeer& peer : found)
        m_started.push_back(peer.pid);
    QCOMPARE(runner.lastOutcome(), std::optional<SHandoffOutcome>(SHandoffOutcome::Started));
    QCOMPARE(found.size(), size_t{1});

    // The running viewer takes the next hit itself, and has the first file open.
    runner.showHit(all, 900, 900);
    QVERIFY(runner.waitIdle(10000));
    QCOMPARE(runner.lastOutcome(), std::optional<SHandoffOutcome>(SHandoffOutcome::Offered));
    CPeerTransport transport;
    const auto reply = transport.request(
        found[0], SHandoffMessage::copyData(SHandoffMessage::kOfferPath, example));
    QVERIFY(reply);
    QCOMPARE(SHandoffMessage::parseReply(*reply), std::optional<bool>(true));
    QCOMPARE(viewers().size(), size_t{1});
}

QTEST_MAIN(TestDelvixToViewer)
#include "tst_delvix.moc"
