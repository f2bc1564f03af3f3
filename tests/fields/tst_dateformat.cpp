// The calendar helper's text: the locale's long date, never a time of day.

#include "fields/dateformat.h"

#include <QtTest/QtTest>

using fields::DateFormat;

class TestDateFormat : public QObject {
    Q_OBJECT
private slots:
    void longDate_data();
    void longDate();
};

void TestDateFormat::longDate_data()
{
    QTest::addColumn<QString>("localeName");
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("monthName");
    QTest::newRow("hu december") << "hu_HU" << QDate(2026, 12, 8) << "december";
    QTest::newRow("hu march") << "hu_HU" << QDate(2025, 3, 1) << "március";
    QTest::newRow("en january") << "en_GB" << QDate(2027, 1, 31) << "January";
}

void TestDateFormat::longDate()
{
    QFETCH(QString, localeName);
    QFETCH(QDate, date);
    QFETCH(QString, monthName);
    const QLocale locale(localeName);
    const QString s = DateFormat::longDate(date, locale);
    QVERIFY2(s.contains(QString::number(date.year())), qPrintable(s));
    QVERIFY2(s.contains(monthName), qPrintable(s));
    QVERIFY2(!s.contains(u':'), qPrintable(s));
    // It reads back as the same day in the same locale's long format.
    QCOMPARE(locale.toDate(s, QLocale::LongFormat), date);
}

QTEST_APPLESS_MAIN(TestDateFormat)
#include "tst_dateformat.moc"
