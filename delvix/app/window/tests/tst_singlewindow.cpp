#include "protocol/SCmdLineParam.h"
#include "window/CDelvixDlg.h"
#include "window/CDelvixSettings.h"

#include <QDir>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

constexpr int kProgramTimeoutMs = 20000;

} // namespace

// One window per folder: a second delvix for a folder this window shows hands over and exits.
class TestSingleWindow : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_home;
    std::unique_ptr<CDelvixSettings> m_settings;
    std::unique_ptr<CDelvixDlg> m_dlg;

    QString folder(const QString& name) const { return m_home.filePath(name); }

    std::unique_ptr<QProcess> runDelvix(const QString& argument) {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        process->setProcessEnvironment(env);
        process->start(KX_DELVIX, {"-ignored", argument});
        return process;
    }

private slots:
    void initTestCase() {
        QVERIFY(m_home.isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home.filePath("config")));
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_home.filePath("run")));
        QDir().mkpath(m_home.filePath("run"));
        QFile::setPermissions(m_home.filePath("run"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QDir().mkpath(folder("Sch"));
        QDir().mkpath(folder("SCH"));
        QFile file(folder("Sch/a.kx2"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        m_settings = std::make_unique<CDelvixSettings>();
        m_dlg = std::make_unique<CDelvixDlg>(*m_settings, CDelvixDlg::Services{});
        SCmdLineParam cmd;
        cmd.parseParam(QFile::encodeName(folder("Sch")).toStdString());
        QVERIFY(m_dlg->initialise(cmd));
        m_dlg->show();
    }

    void cleanupTestCase() { m_dlg.reset(); }

    void sameFolderHandsOverAndExits_data() {
        QTest::addColumn<QString>("argument");
        QTest::newRow("folder") << folder("Sch");
        QTest::newRow("file in it") << folder("Sch/a.kx2");
    }

    void sameFolderHandsOverAndExits() {
        QFETCH(QString, argument);
        const auto process = runDelvix(argument);
        QVERIFY(process->waitForStarted(kProgramTimeoutMs));
        // Our event loop must run to answer it.
        QTRY_COMPARE_WITH_TIMEOUT(process->state(), QProcess::NotRunning, kProgramTimeoutMs);
        QCOMPARE(process->exitStatus(), QProcess::NormalExit);
        QCOMPARE(process->exitCode(), 0);
    }

    void otherCaseOpensItsOwnWindow() {
        const auto process = runDelvix(folder("SCH"));
        QVERIFY(process->waitForStarted(kProgramTimeoutMs));
        const QString socket = m_home.filePath("run/vennhald/Delvix-Vennhald.") +
                               QString::number(process->processId());
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(socket), kProgramTimeoutMs);
        QTest::qWait(300); // past the offer: it must still be running
        QCOMPARE(process->state(), QProcess::Running);
        process->kill();
        QVERIFY(process->waitForFinished(kProgramTimeoutMs));
    }
};

QTEST_MAIN(TestSingleWindow)
#include "tst_singlewindow.moc"
