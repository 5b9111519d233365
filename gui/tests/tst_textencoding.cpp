#include "gui/CTextEncoding.h"

#include <QTest>

class TstTextEncoding : public QObject {
    Q_OBJECT
private slots:
    void roundTrip_data();
    void roundTrip();
    void refusesWhatTheEncodingCannotHold_data();
    void refusesWhatTheEncodingCannotHold();
    void namesAreCanonical();
};

void TstTextEncoding::roundTrip_data() {
    QTest::addColumn<QString>("encoding");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("utf8") << "UTF-8" << QByteArray("R1 \xce\xa9") << QString::fromUtf8("R1 Ω");
    QTest::newRow("cp932 kanji") << "Shift_JIS" << QByteArray("\x93\xfa")
                                 << QString::fromUtf8("日");
    QTest::newRow("cp932 circled one")
        << "Shift_JIS" << QByteArray("\x87\x40") << QString::fromUtf8("①");
    QTest::newRow("1252 em dash") << "windows-1252" << QByteArray("\x97") << QString::fromUtf8("—");
}

void TstTextEncoding::roundTrip() {
    QFETCH(QString, encoding);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    const CTextEncoding enc(encoding);
    QVERIFY(enc.isValid());
    QCOMPARE(enc.toUnicode(std::string_view(bytes.constData(), size_t(bytes.size()))), text);
    std::string out;
    QVERIFY(enc.fromUnicode(text, out));
    QCOMPARE(QByteArray(out.data(), qsizetype(out.size())), bytes);
}

void TstTextEncoding::refusesWhatTheEncodingCannotHold_data() {
    QTest::addColumn<QString>("encoding");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("bad");
    QTest::newRow("kanji in 1252")
        << "windows-1252" << QString::fromUtf8("a日b") << QString::fromUtf8("日");
    QTest::newRow("em dash in cp932")
        << "Shift_JIS" << QString::fromUtf8("x—") << QString::fromUtf8("—");
    QTest::newRow("emoji in cp932") << "Shift_JIS" << QString::fromUtf8("\xf0\x9f\x98\x80")
                                    << QString::fromUtf8("\xf0\x9f\x98\x80");
}

void TstTextEncoding::refusesWhatTheEncodingCannotHold() {
    QFETCH(QString, encoding);
    QFETCH(QString, text);
    QFETCH(QString, bad);
    std::string out = "untouched";
    QString first;
    QVERIFY(!CTextEncoding(encoding).fromUnicode(text, out, &first));
    QCOMPARE(out, std::string("untouched"));
    QCOMPARE(first, bad);
}

void TstTextEncoding::namesAreCanonical() {
    QCOMPARE(CTextEncoding::canonicalName("utf8"), QString("UTF-8"));
    QCOMPARE(CTextEncoding::canonicalName("SJIS"), QString("Shift_JIS"));
    QCOMPARE(CTextEncoding::canonicalName("CP1252"), QString("windows-1252"));
    QCOMPARE(CTextEncoding("cp932").name(), QString("Shift_JIS"));
    QVERIFY(CTextEncoding::canonicalName("KOI8-R").isEmpty());
}

QTEST_APPLESS_MAIN(TstTextEncoding)
#include "tst_textencoding.moc"
