#include "engine/SFileSearcher.h"
#include "handoff/CHandoffRunner.h"
#include "protocol/SCmdLineParam.h"
#include "window/CDelvixDlg.h"
#include "window/CDelvixSettings.h"
#include "window/CFindOption.h"
#include "window/CResultList.h"
#include "window/CResultModel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <chrono>
#include <memory>
#include <thread>

namespace {

constexpr int kSearchTimeoutMs = 20000;

QByteArray sheet(const QByteArray& body) {
    return "+KORVX_DATA_V.1.0\r\n+SHEETINFO,VL:255,W:1500,H:1000,-SHEETINFO\r\n" + body +
           "-KORVX_DATA_V.1.0\r\n";
}

QByteArray component(int x, int y, const QByteArray& value, const QByteArray& ref) {
    return "+COMPONENT,L:0,X:" + QByteArray::number(x) + ",Y:" + QByteArray::number(y) +
           ",LIB:LIB_" + value + ",N:" + value + ",NX:5,NY:-7,R:" + ref +
           ",RX:3,RY:9,MFR:Acme,MFRPN:PN-" + value + ",PKG:SOT23,NOTE:note " + value +
           ",-COMPONENT\r\n";
}

// A searcher that finds one hit per file after a pause, to make searches slow on purpose.
class SlowSearcher : public SFileSearcher {
public:
    void search(const std::string& path, const SSearchParams&, const std::atomic<bool>&,
                SFileOutcome& outcome) const override {
        std::this_thread::sleep_for(std::chrono::milliseconds(15));
        outcome.results.push_back(
            std::make_unique<SSearchResult>(SSearchResult{path, "slow", "Value", 1, 2}));
    }
};

} // namespace

class TestDialog : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_home;
    QTemporaryDir m_tree;
    std::unique_ptr<CDelvixSettings> m_settings;
    std::unique_ptr<CDelvixDlg> m_dlg;

    void writeFile(const QString& rel, const QByteArray& bytes) {
        const QString path = m_tree.filePath(rel);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    // A fresh window on `folder` with the given searcher (the schematic reader when null).
    void open(const QString& folder, std::shared_ptr<const SFileSearcher> searcher = nullptr) {
        m_dlg.reset();
        m_settings = std::make_unique<CDelvixSettings>();
        m_dlg = std::make_unique<CDelvixDlg>(
            *m_settings, CDelvixDlg::Services{std::move(searcher),
                                              m_home.filePath("no-korvex").toStdString(), 2});
        SCmdLineParam cmd;
        if (!folder.isEmpty())
            cmd.parseParam(QFile::encodeName(folder).toStdString());
        QVERIFY(m_dlg->initialise(cmd));
        m_dlg->show();
    }

    void search(const QString& text) {
        m_dlg->searchField()->setText(text);
        QVERIFY(m_dlg->startSearch());
        QTRY_VERIFY_WITH_TIMEOUT(!m_dlg->isRunning(), kSearchTimeoutMs);
    }

    QStringList shownPaths(int column = 0) const {
        QStringList out;
        const CResultModel* model = m_dlg->model();
        for (int row = 0; row < model->rowCount(); ++row)
            out << model->data(model->index(row, column), Qt::DisplayRole).toString();
        return out;
    }

    void setOptions(bool whole, bool caseSensitive, int32_t targets,
                    const QString& encoding = QStringLiteral("UTF-8")) {
        m_dlg->openOptions([=](CFindOption& dlg) {
            dlg.encodingBox()->setCurrentIndex(dlg.encodingBox()->findData(encoding));
            dlg.matchWholeBox()->setChecked(whole);
            dlg.caseSensitiveBox()->setChecked(caseSensitive);
            for (const int32_t bit : {1, 2, 4, 8, 16, 32, 64, 128, 256, 512})
                dlg.targetBox(bit)->setChecked((targets & bit) != 0);
            QTimer::singleShot(0, &dlg, &QDialog::accept);
        });
    }

private slots:
    void initTestCase() {
        QVERIFY(m_home.isValid() && m_tree.isValid());
        // Never the user's own settings or sockets.
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home.filePath("config")));
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_home.filePath("run")));
        QDir().mkpath(m_home.filePath("run"));
        QFile::setPermissions(m_home.filePath("run"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        writeFile("a.kx2", sheet(component(100, 200, "10k", "R1") + component(0, 0, "4k7", "R2")));
        writeFile("Sub/b.KX2", sheet(component(1230, 850, "10K", "R10")));
        writeFile("Sub/deeper/with a very long folder name/c.kx2",
                  sheet(component(5, 5, "x10k", "R3")));
        writeFile(".hidden/d.kx2", sheet(component(1, 1, "10k", "R4")));
        writeFile("broken.kx2", "+KORVX_DATA_V.1.0\r\n+COMPONENT,L:0,N:10k");
        writeFile("other.kx2", "not a schematic, 10k");
        writeFile("notes.txt", "10k");
    }

    void cleanup() { m_dlg.reset(); }

    void firstStartShowsTheDefaults() {
        open({});
        QCOMPARE(m_settings->path(), m_home.filePath("config") + "/VennhaldVIVAZI/Delvix.INI");
        QVERIFY(!QFile::exists(m_settings->path()));
        QCOMPARE(m_dlg->folderField()->text(), QString());
        QCOMPARE(m_dlg->searchField()->text(), QString());
        QCOMPARE(m_dlg->params().targets, -1);
        QVERIFY(m_dlg->params().matchWhole && m_dlg->params().caseSensitive &&
                m_dlg->params().includeSubfolders);
        QCOMPARE(m_dlg->windowTitle(), QStringLiteral("Delvix"));
        QCOMPARE(m_dlg->model()->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(),
                 QStringLiteral("Path"));
        // Columns at 40 %, 40 %, 20 % of the list (the last one takes what is left).
        const QHeaderView* head = m_dlg->list()->header();
        QCOMPARE(head->sectionSize(0), head->sectionSize(1));
        QVERIFY(head->sectionSize(2) >= head->sectionSize(0) / 2);
    }

    void optionDialogWritesTheKeysAndAClearedSetFindsNothing() {
        open(m_tree.path());
        setOptions(false, false, 0);
        QSettings ini(m_settings->path(), QSettings::IniFormat);
        QCOMPARE(ini.value("Find/TargetFlag").toInt(), 0);
        QCOMPARE(ini.value("Find/MatchWhole").toInt(), 0);
        QCOMPARE(ini.value("Find/CaseSensitive").toInt(), 0);
        QCOMPARE(ini.value("Find/IncludeSubfolders").toInt(), 1);
        QVERIFY(ini.contains("Find/String") && ini.contains("Find/Encoding"));
        search("10k");
        QCOMPARE(m_dlg->model()->rowCount(), 0);
        // The next start reads them back.
        open(m_tree.path());
        QCOMPARE(m_dlg->params().targets, 0);
        QVERIFY(!m_dlg->params().matchWhole);
    }

    void searchGivesTheHitsOfTheCommandLineTool() {
        open(m_tree.path() + "/a.kx2"); // a file gives its folder
        QCOMPARE(m_dlg->folderField()->text(), m_tree.path());
        setOptions(false, false, SSearchTarget::kAll);
        search("10k");
        QProcess cli;
        cli.start(KX_DELVIX_CLI, {"find", "--partial", "--ignore-case", "10k", m_tree.path()});
        QVERIFY(cli.waitForFinished(kSearchTimeoutMs));
        QList<QByteArray> expected = cli.readAllStandardOutput().split('\n');
        QList<QByteArray> got = m_dlg->model()->exportLines().split('\n');
        std::sort(expected.begin(), expected.end());
        std::sort(got.begin(), got.end());
        QCOMPARE(got, expected);
        QVERIFY(got.size() > 8);
        // The broken file is listed as skipped, the status line has the final counts.
        QCOMPARE(m_dlg->skipped().size(), size_t{2});
        QVERIFY2(m_dlg->statusText().startsWith("Done: 5 files searched, 2 skipped"),
                 qPrintable(m_dlg->statusText()));
    }

    void headerClicksSortBothWaysAndByFullPath() {
        open(m_tree.path());
        setOptions(false, false, SSearchTarget::kRefNum);
        search("r");
        CResultModel* model = m_dlg->model();
        QCOMPARE(model->rowCount(), 4);
        QStringList full;
        for (int row = 0; row < 4; ++row)
            full << model->displayPath(*model->result(row));
        QStringList sorted = full;
        std::sort(sorted.begin(), sorted.end());
        QCOMPARE(full, sorted); // sorted by full path after the search
        model->clickHeader(1);
        QCOMPARE(shownPaths(1), QStringList({"R1", "R10", "R2", "R3"}));
        model->clickHeader(1);
        QCOMPARE(shownPaths(1), QStringList({"R3", "R2", "R10", "R1"}));
        model->clickHeader(0);
        model->clickHeader(0);
        QCOMPARE(model->displayPath(*model->result(0)), sorted.last());
    }

    void narrowingThePathColumnElides() {
        open(m_tree.path());
        setOptions(false, false, SSearchTarget::kRefNum);
        search("R3");
        QHeaderView* head = m_dlg->list()->header();
        head->resizeSection(0, 900);
        const QString full = m_dlg->model()->displayPath(*m_dlg->model()->result(0));
        QCOMPARE(shownPaths().first(), full);
        head->resizeSection(0, 120);
        const QString elided = shownPaths().first();
        QVERIFY2(elided.contains(QChar(0x2026)) && elided.endsWith("c.kx2"), qPrintable(elided));
        QVERIFY(QFontMetrics(m_dlg->list()->font()).horizontalAdvance(elided) <= 110);
    }

    void stopEndsEarlyAndKeepsWhatWasFound() {
        for (int i = 0; i < 150; ++i)
            writeFile(QString("slow/f%1.kx2").arg(i, 3, 10, QChar('0')), "");
        open(m_tree.filePath("slow"), std::make_shared<SlowSearcher>());
        m_dlg->searchField()->setText("x");
        QVERIFY(m_dlg->startSearch());
        QVERIFY(!m_dlg->startSearch()); // refused while running
        QVERIFY(m_dlg->button(CDelvixDlg::kStop)->isEnabled());
        for (const int id :
             {CDelvixDlg::kStart, CDelvixDlg::kRef, CDelvixDlg::kOption, CDelvixDlg::kExit})
            QVERIFY(!m_dlg->button(id)->isEnabled());
        QVERIFY(!m_dlg->searchField()->isEnabled() && !m_dlg->list()->isEnabled());
        QTRY_VERIFY(m_dlg->model()->rowCount() >= 3);
        QTest::keyClick(m_dlg.get(), Qt::Key_Escape); // Escape stops while running
        QTRY_VERIFY_WITH_TIMEOUT(!m_dlg->isRunning(), 3000);
        QVERIFY(m_dlg->isVisible());
        const int kept = m_dlg->model()->rowCount();
        QVERIFY(kept >= 3 && kept < 150);
        QVERIFY(m_dlg->statusText().startsWith("Stopped"));
        QVERIFY(m_dlg->button(CDelvixDlg::kStart)->isEnabled());
        QVERIFY(!m_dlg->button(CDelvixDlg::kStop)->isEnabled());
    }

    void closingDuringASearchStopsTheWorkers() {
        open(m_tree.filePath("slow"), std::make_shared<SlowSearcher>());
        m_dlg->searchField()->setText("x");
        QVERIFY(m_dlg->startSearch());
        QTRY_VERIFY(m_dlg->model()->rowCount() >= 1);
        m_dlg->close();
        QVERIFY(!m_dlg->isRunning());
        QVERIFY(!m_dlg->isVisible());
        m_dlg.reset();
        QTest::qWait(100); // anything still queued must find no window
    }

    void answersFolderOffersExactly() {
        open(m_tree.path());
        const std::string folder = QFile::encodeName(m_tree.path()).toStdString();
        const auto offer = [](int64_t dwData, std::string path) {
            SHandoffRequest r;
            r.dwData = dwData;
            r.path = std::move(path);
            return r;
        };
        QVERIFY(m_dlg->handleRequest(offer(1, folder)));
        QVERIFY(!m_dlg->handleRequest(offer(2, folder)));
        QVERIFY(!m_dlg->handleRequest(offer(1, folder + "/")));
        std::string upper = folder;
        for (char& c : upper)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        QVERIFY(!m_dlg->handleRequest(offer(1, upper)));
    }

    void textsGoThroughTheChosenEncoding() {
        writeFile("sjis/j.kx2", sheet(component(7, 8, "\x93\xfa\x96\x7b", "R9")));
        open(m_tree.filePath("sjis"));
        setOptions(false, true, SSearchTarget::kValue, "Shift_JIS");
        const QString japan = QString::fromUtf8("\xe6\x97\xa5\xe6\x9c\xac");
        search(japan);
        QCOMPARE(m_dlg->model()->rowCount(), 1);
        QCOMPARE(shownPaths(1), QStringList{japan});
        // A text the encoding cannot hold is refused with a message, and nothing starts.
        setOptions(false, true, SSearchTarget::kValue, "windows-1252");
        m_dlg->searchField()->setText(japan);
        QTimer::singleShot(0, this, [] {
            if (QWidget* box = QApplication::activeModalWidget())
                box->close();
        });
        QVERIFY(!m_dlg->startSearch());
        QVERIFY(!m_dlg->isRunning());
        QCOMPARE(m_dlg->model()->rowCount(), 1); // the last hits stay
    }

    void enterOnAHitHandsItOff() {
        open(m_tree.path());
        setOptions(true, true, SSearchTarget::kRefNum);
        search("R10");
        QCOMPARE(m_dlg->model()->rowCount(), 1);
        m_dlg->list()->setCurrentIndex(m_dlg->model()->index(0, 0));
        m_dlg->list()->setFocus();
        QTest::keyClick(m_dlg->list(), Qt::Key_Return);
        // No editor and no program: the hand-off ends quietly and the window stays.
        QVERIFY(m_dlg->handoff().waitIdle(10000));
        QCOMPARE(m_dlg->handoff().lastOutcome(), SHandoffOutcome::NotStarted);
        QVERIFY(m_dlg->isVisible());
        QVERIFY(!m_dlg->isRunning()); // Enter did not press Start
    }
};

QTEST_MAIN(TestDialog)
#include "tst_dialog.moc"
