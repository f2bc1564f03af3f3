// The currency and date helpers on the inputs the fuzzers once found a fault
// with (fuzz/regressions/fuzz_formats/), read as the fuzz target reads them,
// and on the extreme values those findings pointed at.

#include "fields/currencyformat.h"
#include "fields/dateformat.h"

#include <QDir>
#include <QtTest>

#include <cstring>
#include <limits>

class TestFormatRegressions : public QObject {
    Q_OBJECT
private slots:
    void groupedAtTheEnds_data()
    {
        QTest::addColumn<qint64>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("most negative") << std::numeric_limits<qint64>::min() << "-9.223.372.036.854.775.808";
        QTest::newRow("largest") << std::numeric_limits<qint64>::max() << "9.223.372.036.854.775.807";
        QTest::newRow("minus one") << qint64(-1) << "-1";
    }
    void groupedAtTheEnds()
    {
        QFETCH(qint64, value);
        QFETCH(QString, text);
        QCOMPARE(fields::CurrencyFormat::grouped(value), text);
    }
    void findings()
    {
        const QDir dir(QStringLiteral(QUILLORA_SOURCE_DIR "/fuzz/regressions/fuzz_formats"));
        const QStringList files = dir.entryList(QDir::Files);
        if (files.isEmpty())
            QSKIP("no findings kept");
        for (const QString& name : files) {
            QFile f(dir.filePath(name));
            QVERIFY(f.open(QIODevice::ReadOnly));
            const QByteArray data = f.readAll();
            const QString text = QString::fromUtf8(data);
            fields::CurrencyFormat::forint(text, QLocale(QLocale::Hungarian, QLocale::Hungary));
            if (data.size() >= 8) {
                qint64 value = 0;
                std::memcpy(&value, data.constData(), sizeof value);
                QVERIFY(!fields::CurrencyFormat::grouped(value).isEmpty());
                fields::DateFormat::longDate(QDate::fromJulianDay(value % (1LL << 40)), QLocale::c());
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestFormatRegressions)
#include "tst_formatregressions.moc"
