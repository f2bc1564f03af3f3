// Windows-1250 codec: the letters Hungarian text needs, the characters the code
// page lacks, and byte-exact round trips.

#include "fields/cp1250codec.h"

#include <QtTest/QtTest>

using fields::Cp1250Codec;

class TestCp1250Codec : public QObject {
    Q_OBJECT
private slots:
    void decodesKnownBytes_data();
    void decodesKnownBytes();
    void everyByteRoundTrips();
    void canEncode_data();
    void canEncode();
    void unencodableBecomesQuestionMark();
};

void TestCp1250Codec::decodesKnownBytes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("ascii") << QByteArray("Abc 123") << QStringLiteral("Abc 123");
    QTest::newRow("o double acute") << QByteArray("\xF5") << QStringLiteral("ő");
    QTest::newRow("u double acute") << QByteArray("\xFB") << QStringLiteral("ű");
    QTest::newRow("capitals") << QByteArray("\xD5\xDB") << QStringLiteral("ŐŰ");
    QTest::newRow("acute vowels") << QByteArray("\xE1\xE9\xED\xF3\xFA") << QStringLiteral("áéíóú");
    QTest::newRow("umlauts") << QByteArray("\xF6\xFC\xD6\xDC") << QStringLiteral("öüÖÜ");
    QTest::newRow("euro and quotes") << QByteArray("\x80\x84\x94") << QStringLiteral("€„”");
    QTest::newRow("unassigned byte") << QByteArray("\x81") << QString(QChar(0x81));
}

void TestCp1250Codec::decodesKnownBytes()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(Cp1250Codec::decode(bytes), text);
    QVERIFY(Cp1250Codec::canEncode(text));
    QCOMPARE(Cp1250Codec::encode(text), bytes);
}

void TestCp1250Codec::everyByteRoundTrips()
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    const QString text = Cp1250Codec::decode(all);
    QCOMPARE(text.size(), 256);
    QVERIFY(Cp1250Codec::canEncode(text));
    QCOMPARE(Cp1250Codec::encode(text), all);
}

void TestCp1250Codec::canEncode_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("expected");
    QTest::newRow("hungarian") << QStringLiteral("Kovács Ödön, Győr, Fűzfa u.") << true;
    QTest::newRow("polish and czech") << QStringLiteral("Łódź, Říčany") << true;
    QTest::newRow("o tilde is latin-1 only") << QStringLiteral("õ") << false;
    QTest::newRow("u circumflex is latin-1 only") << QStringLiteral("û") << false;
    QTest::newRow("cjk") << QStringLiteral("合同") << false;
    QTest::newRow("emoji") << QStringLiteral("ok 😀") << false;
    QTest::newRow("empty") << QString() << true;
}

void TestCp1250Codec::canEncode()
{
    QFETCH(QString, text);
    QFETCH(bool, expected);
    QCOMPARE(Cp1250Codec::canEncode(text), expected);
}

void TestCp1250Codec::unencodableBecomesQuestionMark()
{
    QCOMPARE(Cp1250Codec::encode(QStringLiteral("a合b")), QByteArray("a?b"));
}

QTEST_APPLESS_MAIN(TestCp1250Codec)
#include "tst_cp1250codec.moc"
