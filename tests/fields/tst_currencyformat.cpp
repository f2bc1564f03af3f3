// The forint amount helper on the amounts of the entry box, in a notation with
// a decimal point and in the Hungarian one with a decimal comma.

#include "fields/currencyformat.h"

#include <QtTest/QtTest>

using fields::CurrencyFormat;

class TestCurrencyFormat : public QObject {
    Q_OBJECT
private slots:
    void formats_data();
    void formats();
    void leavesNonNumbers_data();
    void leavesNonNumbers();
    void secondPressChangesNothing_data();
    void secondPressChangesNothing();
};

void TestCurrencyFormat::formats_data()
{
    QTest::addColumn<QString>("localeName");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");
    for (const QString& loc : {QStringLiteral("C"), QStringLiteral("hu_HU")}) {
        const QByteArray l = loc.toLatin1();
        QTest::newRow(l + " million") << loc << "1234567" << "1.234.567,-Ft";
        QTest::newRow(l + " 250") << loc << "250" << "250,-Ft";
        QTest::newRow(l + " zero") << loc << "0" << "0,-Ft";
        QTest::newRow(l + " negative") << loc << "-5" << "-5,-Ft";
        QTest::newRow(l + " negative grouped") << loc << "-1234567" << "-1.234.567,-Ft";
        QTest::newRow(l + " thousand") << loc << "1000" << "1.000,-Ft";
        QTest::newRow(l + " 999") << loc << "999" << "999,-Ft";
        QTest::newRow(l + " outer blanks") << loc << "  42 " << "42,-Ft";
        QTest::newRow(l + " tiny negative") << loc << "-0" << "0,-Ft";
    }
    QTest::newRow("C fraction rounds up") << "C" << "1234.6" << "1.235,-Ft";
    QTest::newRow("C half away from zero") << "C" << "2.5" << "3,-Ft";
    QTest::newRow("C negative half") << "C" << "-2.5" << "-3,-Ft";
    QTest::newRow("C rounds to zero") << "C" << "-0.4" << "0,-Ft";
    QTest::newRow("hu fraction rounds up") << "hu_HU" << "1234,6" << "1.235,-Ft";
    QTest::newRow("hu fraction rounds down") << "hu_HU" << "1234,4" << "1.234,-Ft";
}

void TestCurrencyFormat::formats()
{
    QFETCH(QString, localeName);
    QFETCH(QString, input);
    QFETCH(QString, expected);
    const std::optional<QString> s = CurrencyFormat::forint(input, QLocale(localeName));
    QVERIFY(s.has_value());
    QCOMPARE(*s, expected);
}

void TestCurrencyFormat::leavesNonNumbers_data()
{
    QTest::addColumn<QString>("localeName");
    QTest::addColumn<QString>("input");
    QTest::newRow("empty") << "C" << "";
    QTest::newRow("blank") << "C" << "   ";
    QTest::newRow("letters") << "C" << "abc";
    QTest::newRow("number and letters") << "C" << "12 Ft";
    QTest::newRow("formatted") << "C" << "1.234.567,-Ft";
    QTest::newRow("hu formatted") << "hu_HU" << "1.234.567,-Ft";
    QTest::newRow("grouped with point in C") << "C" << "1,234";
    QTest::newRow("point in hu") << "hu_HU" << "1.234";
    QTest::newRow("infinity") << "C" << "inf";
    QTest::newRow("too large") << "C" << "1e300";
}

void TestCurrencyFormat::leavesNonNumbers()
{
    QFETCH(QString, localeName);
    QFETCH(QString, input);
    QVERIFY(!CurrencyFormat::forint(input, QLocale(localeName)).has_value());
}

void TestCurrencyFormat::secondPressChangesNothing_data()
{
    QTest::addColumn<QString>("input");
    QTest::newRow("small") << "250";
    QTest::newRow("grouped") << "1234567";
    QTest::newRow("negative") << "-5";
}

void TestCurrencyFormat::secondPressChangesNothing()
{
    QFETCH(QString, input);
    for (const QString& loc : {QStringLiteral("C"), QStringLiteral("hu_HU"), QStringLiteral("en_US")}) {
        const std::optional<QString> once = CurrencyFormat::forint(input, QLocale(loc));
        QVERIFY(once.has_value());
        QVERIFY2(!CurrencyFormat::forint(*once, QLocale(loc)).has_value(), qPrintable(loc + " " + *once));
    }
}

QTEST_APPLESS_MAIN(TestCurrencyFormat)
#include "tst_currencyformat.moc"
