#include "app/CAboutDlg.h"
#include "app/CAddAlias.h"
#include "app/CCompProperty.h"
#include "app/CPelmApp.h"
#include "app/CPelmMessage.h"
#include "app/CPropLib.h"
#include "gui/CTextEncoding.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>

// The dialogs' checks, answered through the message hook.
class TstDialogs : public QObject {
    Q_OBJECT
private:
    QStringList m_messages;
    CTextEncoding m_utf8{QStringLiteral("UTF-8")};

private slots:
    void init() {
        m_messages.clear();
        CPelmMessage::setHook([this](const QString& text, QMessageBox::StandardButtons) {
            m_messages << text;
            return QMessageBox::Ok;
        });
    }
    void cleanup() { CPelmMessage::setHook({}); }

    void componentPropertyChecksInOrder_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("x");
        QTest::addColumn<QString>("y");
        QTest::addColumn<QString>("block");
        QTest::addColumn<QString>("message");
        QTest::newRow("valid") << "74HC00"
                               << "2"
                               << "2"
                               << "1"
                               << "";
        QTest::newRow("blank") << "A B"
                               << "2"
                               << "2"
                               << "1"
                               << "Invalid component name.";
        QTest::newRow("33 chars") << QString(33, QLatin1Char('X')) << "2"
                                  << "2"
                                  << "1"
                                  << "Invalid component name.";
        QTest::newRow("brace") << "A{"
                               << "2"
                               << "2"
                               << "1"
                               << "Invalid component name.";
        QTest::newRow("empty") << ""
                               << "2"
                               << "2"
                               << "1"
                               << "Invalid component name.";
        QTest::newRow("name first") << "A B"
                                    << "0"
                                    << "2"
                                    << "0"
                                    << "Invalid component name.";
        QTest::newRow("width 0") << "OK"
                                 << "0"
                                 << "2"
                                 << "1"
                                 << "Size must be 1~255.";
        QTest::newRow("width 256") << "OK"
                                   << "256"
                                   << "2"
                                   << "1"
                                   << "Size must be 1~255.";
        QTest::newRow("height -1") << "OK"
                                   << "2"
                                   << "-1"
                                   << "1"
                                   << "Size must be 1~255.";
        QTest::newRow("not a number") << "OK"
                                      << "x"
                                      << "2"
                                      << "1"
                                      << "Size must be 1~255.";
        QTest::newRow("blocks 0") << "OK"
                                  << "2"
                                  << "2"
                                  << "0"
                                  << "Block count must be 1~255.";
    }
    void componentPropertyChecksInOrder() {
        QFETCH(QString, name);
        QFETCH(QString, x);
        QFETCH(QString, y);
        QFETCH(QString, block);
        QFETCH(QString, message);
        CCompProperty dialog(m_utf8);
        dialog.initDialog();
        // Set as typed text would be, past the field's own input rules.
        dialog.nameEdit()->setValidator(nullptr);
        dialog.widthEdit()->setValidator(nullptr);
        dialog.nameEdit()->setText(name);
        dialog.widthEdit()->setText(x);
        dialog.heightEdit()->setText(y);
        dialog.blockEdit()->setText(block);
        dialog.accept();
        QCOMPARE(dialog.result(), message.isEmpty() ? int(QDialog::Accepted) : 0);
        QCOMPARE(m_messages, message.isEmpty() ? QStringList() : QStringList{message});
    }

    void componentPropertyFields() {
        CCompProperty dialog(m_utf8);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Property - component"));
        dialog.data.usePattern = false;
        dialog.data.noBitPattern = true;
        dialog.data.note = "two\r\nlines";
        dialog.initDialog();
        // With no pattern, "No bit-pattern" starts off and unchecked.
        QVERIFY(!dialog.noBitPatternBox()->isChecked());
        QVERIFY(!dialog.noBitPatternBox()->isEnabled());
        QCOMPARE(dialog.nameEdit()->text(), QStringLiteral("NAME"));
        QCOMPARE(dialog.numberEdit()->text(), QStringLiteral("U"));
        QCOMPARE(dialog.noteEdit()->toPlainText(), QStringLiteral("two\nlines"));
        dialog.usePatternBox()->setChecked(true);
        QVERIFY(dialog.noBitPatternBox()->isEnabled());
        dialog.noBitPatternBox()->setChecked(true);
        dialog.usePatternBox()->setChecked(false);
        QVERIFY(!dialog.noBitPatternBox()->isEnabled());
        QVERIFY(dialog.noBitPatternBox()->isChecked());

        dialog.nameEdit()->clear();
        QTest::keyClicks(dialog.nameEdit(), QStringLiteral("ic1"));
        QCOMPARE(dialog.nameEdit()->text(), QStringLiteral("IC1"));
        dialog.usePatternBox()->setChecked(true);
        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.data.name, std::string("IC1"));
        QCOMPARE(dialog.data.note, std::string("two\r\nlines"));
        QVERIFY(dialog.data.usePattern && dialog.data.noBitPattern);
    }

    void noteLimitAndEncodingRefusal() {
        const CTextEncoding latin(QStringLiteral("windows-1252"));
        CCompProperty dialog(latin);
        dialog.initDialog();
        dialog.noteEdit()->setPlainText(QString(256, QLatin1Char('n')));
        dialog.accept();
        QCOMPARE(m_messages, QStringList{QStringLiteral("Enter no more than 255 characters.")});
        dialog.noteEdit()->setPlainText(QStringLiteral("\u3042"));
        m_messages.clear();
        dialog.accept();
        QCOMPARE(m_messages.size(), 1);
        QVERIFY(m_messages.constFirst().contains(QStringLiteral("\u3042")));
        QCOMPARE(dialog.result(), 0);
    }

    void aliasAndLibraryDialogs() {
        CAddAlias alias(m_utf8);
        alias.aliasFor = "7400";
        alias.aliasName = "NAME";
        alias.initDialog();
        QCOMPARE(alias.aliasEdit()->text(), QStringLiteral("NAME"));
        alias.aliasEdit()->setText(QString());
        alias.accept(); // any text, even none
        QCOMPARE(alias.result(), int(QDialog::Accepted));
        QCOMPARE(alias.aliasName, std::string());

        CPropLib lib(m_utf8);
        lib.text = "old";
        lib.initDialog();
        lib.textEdit()->setPlainText(QString(256, QLatin1Char('p')));
        lib.accept();
        QCOMPARE(lib.result(), 0);
        QCOMPARE(lib.text, std::string("old"));
        lib.textEdit()->setPlainText(QStringLiteral("a\nb"));
        lib.accept();
        QCOMPARE(lib.text, std::string("a\r\nb"));
    }

    void aboutBox() {
        CAboutDlg about;
        QCOMPARE(about.windowTitle(), QStringLiteral("About Pelm"));
        QCOMPARE(about.findChild<QLabel*>(QStringLiteral("version"))->text(),
                 QStringLiteral("Pelm Version 0.69.02"));
    }

    void translationOnlyOfThisVersion() {
#ifndef KX_LANG_DIR
        QSKIP("built without the translation tools");
#else
        QTemporaryDir dir;
        CPelmApp app(dir.filePath(QStringLiteral("PELM.INI")));
        QVERIFY(!app.loadTranslation(QStringLiteral(KX_LANG_DIR "/other")));
        QVERIFY(!app.loadTranslation(dir.path())); // none there
        QCOMPARE(QCoreApplication::translate("CMainFrame", "&File"), QStringLiteral("&File"));
        QVERIFY(app.loadTranslation(QStringLiteral(KX_LANG_DIR "/match")));
        QCOMPARE(QCoreApplication::translate("CMainFrame", "&File"), QStringLiteral("&Datei"));
        QCOMPARE(CAboutDlg::versionLine(), QStringLiteral("Pelm Version 0.69.02"));
#endif
    }
};

QTEST_MAIN(TstDialogs)
#include "tst_dialogs.moc"
