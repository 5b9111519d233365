#include "dialogs/CPinProperty.h"
#include "dialogs/CPtnProperty.h"
#include "dialogs/CPtnTextDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>
#include <QtTest>

#include <functional>

namespace {

// Runs the dialog modally; `act` runs once it shows and decides how it closes.
template <typename Dialog> int run(Dialog& dialog, const std::function<void(Dialog&)>& act) {
    QTimer::singleShot(0, &dialog, [&] { act(dialog); });
    return dialog.exec();
}

template <typename T> T* child(QWidget& w, const QString& text) {
    for (T* c : w.findChildren<T*>())
        if (c->text() == text)
            return c;
    return nullptr;
}

} // namespace

class TestDialogs : public QObject {
    Q_OBJECT
private slots:
    void patternWidthIsHeld_data();
    void patternWidthIsHeld();
    void textCommonFontResetsTheFont();
    void textAlignmentRadios();
    void pinNumbersFollowTheSpin();
    void pinTypeNoneCheckedIsZeroLength();
};

void TestDialogs::patternWidthIsHeld_data() {
    QTest::addColumn<int>("stored");
    QTest::addColumn<QString>("shown");
    QTest::newRow("9") << 9 << "5";
    QTest::newRow("-3") << -3 << "0";
    QTest::newRow("2") << 2 << "2";
}

void TestDialogs::patternWidthIsHeld() {
    QFETCH(int, stored);
    QFETCH(QString, shown);
    CPtnProperty dialog;
    dialog.widthIndex = stored;
    dialog.fillAllowed = 0;
    QString seen;
    bool fillEnabled = true;
    run<CPtnProperty>(dialog, [&](CPtnProperty& d) {
        seen = d.findChild<QComboBox*>()->currentText();
        fillEnabled = child<QCheckBox>(d, "&Fill")->isEnabled();
        child<QCheckBox>(d, "&Dot")->setChecked(true);
        d.accept();
    });
    QCOMPARE(seen, shown);
    QVERIFY(!fillEnabled);
    QCOMPARE(dialog.widthIndex, shown.toInt());
    QCOMPARE(dialog.dot, 1);
}

void TestDialogs::textCommonFontResetsTheFont() {
    CPtnTextDlg dialog;
    dialog.text = QStringLiteral("ABC");
    dialog.font = SFontDesc{-24, 700, true, QStringLiteral("Serif")};
    bool fontButtonEnabled = false;
    run<CPtnTextDlg>(dialog, [&](CPtnTextDlg& d) {
        fontButtonEnabled = child<QPushButton>(d, "&Font...")->isEnabled();
        child<QCheckBox>(d, "Use common font")->click();
        d.accept();
    });
    QVERIFY(fontButtonEnabled);
    QVERIFY(dialog.font.face.isEmpty());
    QCOMPARE(dialog.font.height, 10);
    QCOMPARE(dialog.text, QStringLiteral("ABC"));
}

void TestDialogs::textAlignmentRadios() {
    CPtnTextDlg dialog;
    dialog.alignment = 1 + 4 * 2; // right, vertical centre
    bool right = false;
    run<CPtnTextDlg>(dialog, [&](CPtnTextDlg& d) {
        right = child<QRadioButton>(d, "Right")->isChecked();
        child<QRadioButton>(d, "Upper")->setChecked(true);
        d.accept();
    });
    QVERIFY(right);
    QCOMPARE(dialog.alignment, 1 + 4 * 1);
}

void TestDialogs::pinNumbersFollowTheSpin() {
    CPinProperty dialog;
    dialog.setNameFromPin(std::string_view("\xC3"
                                           "B"));
    dialog.setBlockCount(3);
    dialog.numbers = {QStringLiteral("1"), QStringLiteral("5"), QStringLiteral("9")};
    QString nameShown;
    QString backOnBlock1;
    run<CPinProperty>(dialog, [&](CPinProperty& d) {
        nameShown = d.findChildren<QLineEdit*>()[0]->text();
        QLineEdit* number = d.findChildren<QLineEdit*>()[1];
        auto* spin = d.findChild<QSpinBox*>();
        number->setText(QStringLiteral("11"));
        spin->setValue(2);
        spin->setValue(1);
        backOnBlock1 = number->text();
        spin->setValue(3);
        number->setText(QStringLiteral("99"));
        d.accept(); // block 3's number stored without moving the spin
    });
    QCOMPARE(nameShown, QStringLiteral("\\CB"));
    QCOMPARE(backOnBlock1, QStringLiteral("11"));
    const std::vector<QString> expected{"11", "5", "99"};
    QCOMPARE(dialog.numbers, expected);
}

void TestDialogs::pinTypeNoneCheckedIsZeroLength() {
    CPinProperty dialog;
    dialog.setBlockCount(1);
    dialog.typeCode = 3; // no button stands for it
    bool spinEnabled = true;
    int checked = -1;
    run<CPinProperty>(dialog, [&](CPinProperty& d) {
        spinEnabled = d.findChild<QSpinBox*>()->isEnabled();
        checked = 0;
        for (QRadioButton* b : d.findChildren<QRadioButton*>())
            checked += b->isChecked();
        d.accept();
    });
    QVERIFY(!spinEnabled);
    QCOMPARE(checked, 0);
    QCOMPARE(dialog.typeCode, 2);
}

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
