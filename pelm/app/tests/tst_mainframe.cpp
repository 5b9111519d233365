#include "app/CAddAlias.h"
#include "app/CEditForGrid.h"
#include "app/CFrameUi.h"
#include "app/CMainFrame.h"
#include "app/CPelmApp.h"
#include "app/CPelmMessage.h"
#include "app/CPelmSettings.h"
#include "app/CPinPropGrid.h"
#include "app/CPinProps.h"
#include "app/SLBCompName.h"
#include "model/SCompIndex.h"
#include "model/SPin.h"
#include "render/SDrawSettings.h"
#include "view/CActionTable.h"
#include "view/CCompEditView.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <deque>
#include <functional>
#include <memory>
#include <unistd.h>

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// A component with pins on every side and four blocks, and an alias.
const QByteArray kLibrary = "+KORVX_LIB_V.1.0\r\n"
                            "PROP:test\r\n"
                            "+COMP,N:QUAD\r\nX:6,Y:6,B:4\r\nR:U\r\n"
                            "+PIN,N:A,L:T4,T:,M:1,M:2,M:3,M:4,-PIN\r\n"
                            "+PIN,N:B,L:R1,T:,M:5,M:6,M:7,M:8,-PIN\r\n"
                            "+PIN,N:C,L:L3,T:,M:9,M:10,M:11,M:12,-PIN\r\n"
                            "+PIN,N:D,L:B2,T:,M:13,M:14,M:15,M:16,-PIN\r\n"
                            "+PIN,N:E,L:R5,T:,M:17,M:18,M:19,M:20,-PIN\r\n"
                            "+PIN,N:F,L:L1,T:,M:21,M:22,M:23,M:24,-PIN\r\n"
                            "NOTE:quad%20note,MFR:,MFRPN:,PKG:,-COMP\r\n"
                            "+ALIAS,A:QUAD2,N:QUAD,-ALIAS\r\n"
                            "+COMP,N:R\r\nX:3,Y:1,B:1\r\nR:R\r\n"
                            "NOTE:,MFR:,MFRPN:,PKG:,-COMP\r\n"
                            "-KORVX_LIB_V.1.0\r\n";

} // namespace

// Pelm through its real frame, with every question answered by the test.
class TstMainFrame : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<CPelmSettings> m_settings;
    QStringList m_messages;
    std::deque<QMessageBox::StandardButton> m_answers;
    std::deque<QString> m_files;
    QStringList m_proposed;
    std::deque<std::function<int(QDialog&)>> m_dialogs;

    QString path(const QString& name) const { return m_dir->filePath(name); }
    QString library(const QString& name = QStringLiteral("lib.KM2")) {
        writeAll(path(name), kLibrary);
        return path(name);
    }
    std::unique_ptr<CMainFrame> frame() {
        auto f = std::make_unique<CMainFrame>(*m_settings);
        f->resize(800, 600);
        f->show();
        return f;
    }
    QStringList names(CMainFrame& f) const {
        QStringList out;
        for (const SCompIndex* e : f.doc().order())
            out << QString::fromStdString(e->name());
        return out;
    }
    void select(CMainFrame& f, int row) {
        f.nameList()->setCurrentIndex(f.nameList()->model()->index(row, 0));
    }

private slots:
    void initTestCase() {
        m_dir = std::make_unique<QTemporaryDir>();
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir->filePath(QStringLiteral("config"))));
        CPelmMessage::setHook([this](const QString& text, QMessageBox::StandardButtons buttons) {
            m_messages << text;
            if (m_answers.empty())
                return (buttons & QMessageBox::Ok) ? QMessageBox::Ok : QMessageBox::Cancel;
            const auto answer = m_answers.front();
            m_answers.pop_front();
            return answer;
        });
        CFrameUi::setFileHook([this](bool, const QString& proposed) {
            m_proposed << proposed;
            if (m_files.empty())
                return QString();
            const QString file = m_files.front();
            m_files.pop_front();
            return file;
        });
        CFrameUi::setDialogHook([this](QDialog& dialog) {
            if (m_dialogs.empty())
                return int(QDialog::Rejected);
            auto play = m_dialogs.front();
            m_dialogs.pop_front();
            return play(dialog);
        });
    }
    void init() {
        m_settings = std::make_unique<CPelmSettings>(path(QStringLiteral("PELM.INI")));
        m_messages.clear();
        m_answers.clear();
        m_files.clear();
        m_proposed.clear();
        m_dialogs.clear();
    }
    void cleanup() { m_settings.reset(); }

    void openSelectEditAndSave() {
        auto f = frame();
        f->openLibrary(library());
        QCOMPARE(names(*f), (QStringList{"QUAD", "QUAD2", "R"}));
        QCOMPARE(f->windowTitle(), QStringLiteral("Pelm - ") + path(QStringLiteral("lib.KM2")));
        QCOMPARE(f->noteEdit()->toPlainText(), QStringLiteral("quad note"));
        QCOMPARE(f->view()->component(), f->doc().order()[0]);
        select(*f, 2);
        QCOMPARE(f->view()->component(), f->doc().order()[2]);
        QCOMPARE(f->noteEdit()->toPlainText(), QString());
        QVERIFY(!f->doc().isModified());

        // Unchanged, the file is written back byte for byte.
        f->runCommand(SCommandId::FileSave);
        QCOMPARE(readAll(path(QStringLiteral("lib.KM2"))), kLibrary);

        // An edit in the view: hide the number of pin C through the pin table.
        select(*f, 0);
        f->runCommand(SCommandId::PinProperty);
        CPinPropGrid* grid = f->pinProps()->grid();
        const SPinGridRows::Layout& l = grid->rows().layout();
        QTest::mouseClick(grid, Qt::LeftButton, {},
                          QPoint(l.locationWidth + l.nameWidth + l.typeWidth + 2, l.rowHeight + 3));
        QCOMPARE(SPinGridRows::locationText(*grid->rows().current()->pin), std::string("L3"));
        QVERIFY(f->view()->isDirty());
        f->runCommand(SCommandId::FileSave);
        // The edited pin is stored after the others.
        QByteArray expected = kLibrary;
        const QByteArray pinC = "+PIN,N:C,L:L3,T:,M:9,M:10,M:11,M:12,-PIN\r\n";
        expected.remove(expected.indexOf(pinC), pinC.size());
        QByteArray hidden = pinC;
        hidden.replace("T:,", "T:m,");
        expected.insert(expected.indexOf("NOTE:quad"), hidden);
        QCOMPARE(readAll(path(QStringLiteral("lib.KM2"))), expected);
        QVERIFY(!f->doc().isModified());
        QVERIFY(m_messages.isEmpty());
    }

    void pinTableRowsEditingAndStepping() {
        auto f = frame();
        f->openLibrary(library());
        f->runCommand(SCommandId::PinProperty);
        CPinProps* props = f->pinProps();
        QVERIFY(props && props->isVisible());
        CPinPropGrid* grid = props->grid();
        QStringList walk;
        for (const auto& row : grid->rows().rows())
            walk << QString::fromStdString(SPinGridRows::locationText(*row.pin));
        QCOMPARE(walk, (QStringList{"L1", "L3", "B2", "R5", "R1", "T4"}));
        QCOMPARE(grid->rows().currentRow(), -1);
        QCOMPARE(grid->blockCount(), 4);

        // Name of the first row, then down through the rows; the last row keeps the editor.
        const SPinGridRows::Layout& l = grid->rows().layout();
        QTest::mouseClick(grid, Qt::LeftButton, {}, QPoint(l.locationWidth + 5, 3));
        QCOMPARE(grid->editingColumn(), int(SPinGridRows::kName));
        QCOMPARE(grid->editor()->text(), QStringLiteral("F"));
        grid->editor()->setText(QStringLiteral("\\RESET"));
        QTest::keyClick(grid->editor(), Qt::Key_Down);
        QCOMPARE(grid->rows().currentRow(), 1);
        QCOMPARE(grid->editor()->text(), QStringLiteral("C"));
        for (int i = 0; i < 6; ++i)
            QTest::keyClick(grid->editor(), Qt::Key_Return);
        QCOMPARE(grid->rows().currentRow(), 5);
        QCOMPARE(grid->editingColumn(), int(SPinGridRows::kName));
        QTest::keyClick(grid->editor(), Qt::Key_Up);
        QCOMPARE(grid->rows().currentRow(), 4);
        QCOMPARE(grid->accessibleDescription(),
                 QStringLiteral("Pin R1, name B, type Plain, numbers 5 6 7 8"));
        grid->endEdit();
        f->runCommand(SCommandId::FileSave);
        QVERIFY(readAll(path(QStringLiteral("lib.KM2"))).contains("+PIN,N:\\RESET,L:L1,"));

        // A block number, and a typed name that did not change marks nothing.
        QTest::mouseClick(grid, Qt::LeftButton, {}, QPoint(l.fixedWidth() + 3, 3));
        QCOMPARE(grid->editingColumn(), int(SPinGridRows::kFirstBlock));
        QCOMPARE(grid->editor()->text(), QStringLiteral("21"));
        grid->editor()->setText(QStringLiteral("21"));
        grid->endEdit();
        QVERIFY(!f->view()->isDirty());

        f->runCommand(SCommandId::PinProperty);
        QVERIFY(!f->pinProps());
    }

    void saveChangesAnswers() {
        auto f = frame();
        f->openLibrary(library());
        f->runCommand(SCommandId::MoveEntryDown);
        QVERIFY(f->doc().isModified());
        m_answers = {QMessageBox::Cancel};
        QVERIFY(!f->close());
        QCOMPARE(m_messages, QStringList{"Save changes?"});
        QVERIFY(f->isVisible());
        QVERIFY(f->doc().isModified());

        m_answers = {QMessageBox::No};
        QVERIFY(f->close());
        QCOMPARE(readAll(path(QStringLiteral("lib.KM2"))), kLibrary);

        // Yes on a new library asks for a name; cancelling that keeps the window.
        auto g = frame();
        g->runCommand(SCommandId::SortByName);   // off: nothing to sort
        g->runCommand(SCommandId::NewComponent); // cancelled: still a change
        QVERIFY(g->doc().isModified());
        m_answers = {QMessageBox::Yes};
        m_messages.clear();
        QVERIFY(!g->close());
        QCOMPARE(m_proposed, QStringList{"Untitled.KM2"});
    }

    void schematicSaveProposesLibraryName() {
        const QString sheet = path(QStringLiteral("Example.KX2"));
        QFile::copy(QStringLiteral(KX_EXAMPLES_DIR "/Example.KX2"), sheet);
        const QByteArray before = readAll(sheet);
        auto f = frame();
        f->openLibrary(sheet);
        QVERIFY(f->doc().count() > 0);
        m_files = {path(QStringLiteral("Example.KM2"))};
        f->runCommand(SCommandId::FileSave);
        QCOMPARE(m_proposed, QStringList{path(QStringLiteral("Example.KM2"))});
        QCOMPARE(readAll(sheet), before);
        QVERIFY(readAll(path(QStringLiteral("Example.KM2"))).startsWith("+KORVX_LIB_V.1.0\r\n"));
        QCOMPARE(f->windowTitle(), QStringLiteral("Pelm - ") + path(QStringLiteral("Example.KM2")));
    }

    void componentClipboardBetweenFrames() {
        auto a = frame();
        auto b = frame();
        a->openLibrary(library());
        QVERIFY(!a->actions().action(SCommandId::PasteComponent)->isEnabled() ||
                a->doc().canPasteComponent());
        a->runCommand(SCommandId::CopyComponent);
        b->updateCommandStates();
        QVERIFY(b->actions().action(SCommandId::PasteComponent)->isEnabled());
        b->runCommand(SCommandId::PasteComponent);
        QCOMPARE(names(*b), QStringList{"QUAD"});
        QCOMPARE(b->doc().order()[0]->component()->pinCount(), 6);
        QVERIFY(b->doc().isModified());
        // Pasting into the library it came from makes a numbered copy before the selection.
        a->runCommand(SCommandId::PasteComponent);
        QCOMPARE(names(*a), (QStringList{"QUAD(1)", "QUAD", "QUAD2", "R"}));
    }

    void aliasesFollowMovesAndSorts() {
        auto f = frame();
        f->openLibrary(library());
        select(*f, 2);
        m_dialogs = {[](QDialog& d) {
            auto& alias = dynamic_cast<CAddAlias&>(d);
            alias.aliasEdit()->setText(QStringLiteral("R"));
            alias.accept();
            return alias.result();
        }};
        f->runCommand(SCommandId::AddAlias);
        QCOMPARE(names(*f), (QStringList{"QUAD", "QUAD2", "R(1)", "R"}));
        QVERIFY(f->doc().isModified());
        f->runCommand(SCommandId::MoveEntryUp);
        f->runCommand(SCommandId::MoveEntryUp);
        QCOMPARE(names(*f), (QStringList{"R(1)", "QUAD", "QUAD2", "R"}));
        f->runCommand(SCommandId::FileSave);
        QByteArray saved = readAll(path(QStringLiteral("lib.KM2")));
        QVERIFY(saved.contains("+COMP,N:R(1)\r\n"));
        QVERIFY(saved.contains("+ALIAS,A:R,N:R(1),-ALIAS"));

        m_answers = {QMessageBox::Ok};
        f->runCommand(SCommandId::SortByName);
        QCOMPARE(m_messages.last(), QStringLiteral("You can't undo this command.\nContinue?"));
        QCOMPARE(names(*f), (QStringList{"QUAD", "QUAD2", "R", "R(1)"}));
        QCOMPARE(f->view()->component(), f->doc().order()[0]);
        f->runCommand(SCommandId::FileSave);
        saved = readAll(path(QStringLiteral("lib.KM2")));
        QVERIFY(saved.contains("+COMP,N:R\r\n"));
        QVERIFY(saved.contains("+ALIAS,A:R(1),N:R,-ALIAS"));
    }

    void temporaryFileModeFromCommandLine() {
        const QString tmp = library(QStringLiteral("work.TmP"));
        CPelmApp app(path(QStringLiteral("PELM.INI")));
        QVERIFY(app.initInstance({QStringLiteral("pelm"), tmp}));
        CMainFrame* f = app.mainFrame();
        QVERIFY(!f->actions().action(SCommandId::FileSaveAs)->isEnabled());
        f->runCommand(SCommandId::MoveEntryDown);
        f->runCommand(SCommandId::FileSave);
        QVERIFY(m_proposed.isEmpty());
        QVERIFY(readAll(tmp).startsWith("+KORVX_LIB_V.1.0\r\nPROP:test\r\n+COMP,N:QUAD2"));
    }

    void settingsReadAndWritten() {
        {
            QSettings ini(path(QStringLiteral("PELM.INI")), QSettings::IniFormat);
            ini.clear();
            ini.setValue("WindowPosition/Width", 200);
            ini.setValue("WindowPosition/Height", 100);
            ini.setValue("WindowPosition/cmdShow", 2);
            ini.setValue("Setting/NoCheckPtnRectOnSave", 7);
            ini.setValue("Setting/EditWindowMargin", 70);
            ini.setValue("LabelFont/Height", 12);
            ini.setValue("LabelFont/IsBold", 700);
            ini.setValue("LabelFont/FaceName", "DejaVu Sans");
        }
        CPelmApp app(path(QStringLiteral("PELM.INI")));
        QVERIFY(app.initInstance({QStringLiteral("pelm")}));
        CMainFrame* f = app.mainFrame();
        QCOMPARE(f->size(), QSize(400, 300));
        QVERIFY(!f->isMinimized());
        QVERIFY(f->view()->document().noCheckPtnRectOnSave());
        QCOMPARE(SDrawSettings::instance().labelFont().height, 12);
        QCOMPARE(SDrawSettings::instance().labelFont().weight, 700);
        QCOMPARE(SDrawSettings::instance().labelFont().face, QStringLiteral("DejaVu Sans"));
        f->resize(640, 480);
        app.settings().sync();
        QSettings ini(path(QStringLiteral("PELM.INI")), QSettings::IniFormat);
        QCOMPARE(ini.value("Setting/NoCheckPtnRectOnSave").toInt(), 1);
        QCOMPARE(ini.value("Setting/EditWindowMargin").toInt(), 70);
        QCOMPARE(ini.value("WindowPosition/Width").toInt(), 640);
        QCOMPARE(ini.value("WindowPosition/Height").toInt(), 480);
        QCOMPARE(ini.value("WindowPosition/cmdShow").toInt(), 1);
        QVERIFY(!ini.contains("LabelFont/IsItalic")); // never written
    }

    void settingsFileLookup() {
        const QString saved = QDir::currentPath();
        QDir(m_dir->path()).mkpath(QStringLiteral("work"));
        QDir::setCurrent(path(QStringLiteral("work")));
        const QString user = path(QStringLiteral("config/VennhaldVIVAZI/PELM.INI"));
        QCOMPARE(CPelmSettings::locate(), user);
        writeAll(path(QStringLiteral("work/PELM.INI")), "[Setting]\n");
        QCOMPARE(CPelmSettings::locate(), path(QStringLiteral("work/PELM.INI")));
        QDir::setCurrent(saved);
    }

    void partialLoadAndUnreadableFiles() {
        auto f = frame();
        writeAll(path(QStringLiteral("part.KM2")),
                 "+KORVX_LIB_V.1.0\r\n+COMP,N:A,X:1,Y:1,B:1,-COMP\r\n+ALIAS,N:A,-ALIAS\r\n");
        f->openLibrary(path(QStringLiteral("part.KM2")));
        QCOMPARE(names(*f), QStringList{"A"});
        QCOMPARE(m_messages.size(), 1);
        QVERIFY(m_messages.constFirst().contains(QStringLiteral("line 3")));
        QVERIFY(!f->doc().isModified());
        writeAll(path(QStringLiteral("junk.KM2")), "not a library\r\n");
        f->openLibrary(path(QStringLiteral("junk.KM2")));
        QCOMPARE(m_messages.size(), 2);
        QVERIFY(m_messages.last().contains(path(QStringLiteral("junk.KM2"))));
        QCOMPARE(names(*f), QStringList{"A"});
    }

    void failedSaveKeepsFileAndMark() {
        auto f = frame();
        QDir(m_dir->path()).mkpath(QStringLiteral("ro"));
        const QString file = library(QStringLiteral("ro/lib.KM2"));
        f->openLibrary(file);
        f->runCommand(SCommandId::MoveEntryDown);
        // A folder we may not write into, or (as root) a target that is a folder.
        const bool root = geteuid() == 0;
        if (root) {
            m_files = {m_dir->path()};
            f->runCommand(SCommandId::FileSaveAs);
        } else {
            QFile::setPermissions(path(QStringLiteral("ro")), QFile::ReadOwner | QFile::ExeOwner);
            f->runCommand(SCommandId::FileSave);
            QFile::setPermissions(path(QStringLiteral("ro")),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        QCOMPARE(m_messages.last(), QStringLiteral("Cannnot save the document. Try saving as."));
        QVERIFY(f->doc().isModified());
        QCOMPARE(readAll(file), kLibrary);
    }

    void droppedFileOpensAfterSaveQuestion() {
        auto f = frame();
        f->openLibrary(library());
        f->runCommand(SCommandId::MoveEntryDown);
        const QString other = library(QStringLiteral("other.KM2"));
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(other)});
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, {});
        QApplication::sendEvent(f.get(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, {});
        m_answers = {QMessageBox::No};
        QApplication::sendEvent(f.get(), &drop);
        QTRY_COMPARE(f->windowTitle(), QStringLiteral("Pelm - ") + other);
        QCOMPARE(m_messages, QStringList{"Save changes?"});
    }

    void encodingMenuIsStoredAndUsed() {
        auto f = frame();
        writeAll(path(QStringLiteral("sjis.KM2")),
                 "+KORVX_LIB_V.1.0\r\n+COMP,N:A\r\nX:1,Y:1,B:1\r\nR:U\r\n"
                 "NOTE:\x82\xa0,MFR:,MFRPN:,PKG:,-COMP\r\n-KORVX_LIB_V.1.0\r\n");
        f->openLibrary(path(QStringLiteral("sjis.KM2")));
        for (QAction* a : f->encodingActions()->actions()) {
            if (a->data().toString() == QLatin1String("Shift_JIS"))
                a->trigger();
        }
        QCOMPARE(f->noteEdit()->toPlainText(), QStringLiteral("\u3042"));
        m_settings->sync();
        QSettings ini(path(QStringLiteral("PELM.INI")), QSettings::IniFormat);
        QCOMPARE(ini.value("Setting/TextEncoding").toString(), QStringLiteral("Shift_JIS"));
        f->encodingActions()->actions().constFirst()->trigger(); // back to UTF-8
    }

    void nameListMarksOtherNames() {
        auto f = frame();
        f->openLibrary(library());
        f->nameList()->setFocus();
        QCOMPARE(f->nameList()->model()->index(1, 0).data().toString(), QStringLiteral("QUAD2"));
        const QImage shot = f->nameList()->viewport()->grab().toImage();
        bool red = false;
        for (int y = 15; y < 30 && !red; ++y)
            for (int x = 0; x < shot.width() && !red; ++x)
                red = shot.pixelColor(x, y) == QColor(Qt::red);
        QVERIFY(red);
    }
};

QTEST_MAIN(TstMainFrame)
#include "tst_mainframe.moc"
