// The cylinder progress bar: its text, its stepping and where it paints the fill.
#include "widgets/tprogresscylinder.h"

#include <QtTest>

using widgets::TProgressCylinder;

class TstProgressCylinder : public QObject {
    Q_OBJECT
private slots:
    void text_data();
    void text();
    void stepping_data();
    void stepping();
    void positionStaysInRange();
    void fillGrowsWithPosition();
};

void TstProgressCylinder::text_data()
{
    QTest::addColumn<int>("min");
    QTest::addColumn<int>("max");
    QTest::addColumn<int>("pos");
    QTest::addColumn<QString>("expected");
    QTest::newRow("start") << 0 << 6 << 0 << "0%";
    QTest::newRow("one of six, cut down") << 0 << 6 << 1 << "16%";
    QTest::newRow("half") << 0 << 6 << 3 << "50%";
    QTest::newRow("five of six") << 0 << 6 << 5 << "83%";
    QTest::newRow("at the maximum") << 0 << 6 << 6 << "Kész";
    QTest::newRow("offset range") << 10 << 30 << 15 << "25%";
    QTest::newRow("single step range") << 0 << 1 << 1 << "Kész";
    QTest::newRow("empty range") << 5 << 5 << 5 << "Kész";
}

void TstProgressCylinder::text()
{
    QFETCH(int, min);
    QFETCH(int, max);
    QFETCH(int, pos);
    QFETCH(QString, expected);
    TProgressCylinder bar;
    bar.setRange(min, max);
    bar.setPosition(pos);
    QCOMPARE(bar.text(), expected);
}

void TstProgressCylinder::stepping_data()
{
    QTest::addColumn<bool>("stopAtMax");
    QTest::addColumn<int>("steps");
    QTest::addColumn<int>("expected");
    QTest::newRow("stops, within range") << true << 4 << 4;
    QTest::newRow("stops at the maximum") << true << 9 << 6;
    QTest::newRow("wraps past the maximum") << false << 7 << 0;
    QTest::newRow("wraps and goes on") << false << 9 << 2;
}

void TstProgressCylinder::stepping()
{
    QFETCH(bool, stopAtMax);
    QFETCH(int, steps);
    QFETCH(int, expected);
    TProgressCylinder bar;
    bar.setRange(0, 6);
    bar.setStep(1);
    bar.setStopAtMaximum(stopAtMax);
    for (int i = 0; i < steps; ++i)
        bar.stepIt();
    QCOMPARE(bar.position(), expected);
}

void TstProgressCylinder::positionStaysInRange()
{
    TProgressCylinder bar;
    bar.setRange(0, 6);
    bar.setPosition(-3);
    QCOMPARE(bar.position(), 0);
    bar.setPosition(60);
    QCOMPARE(bar.position(), 6);
    bar.setRange(0, 4);
    QCOMPARE(bar.position(), 4);
}

void TstProgressCylinder::fillGrowsWithPosition()
{
    TProgressCylinder bar;
    bar.resize(300, 24);
    bar.setShowText(false);
    bar.setForeColor(QColor(0, 160, 0));
    bar.setRange(0, 4);
    const auto greenColumns = [&bar] {
        const QImage img = bar.grab().toImage();
        int n = 0;
        for (int x = 0; x < img.width(); ++x) {
            const QColor c = img.pixelColor(x, img.height() / 2);
            n += c.green() > c.red() + 40 && c.green() > c.blue() + 40;
        }
        return n;
    };
    QCOMPARE(greenColumns(), 0);
    bar.setPosition(1);
    const int quarter = greenColumns();
    bar.setPosition(2);
    const int half = greenColumns();
    QVERIFY(quarter > 50 && quarter < 90);
    QVERIFY(qAbs(half - 2 * quarter) <= 3);
    // Beyond the fill the bar shows its white background.
    const QImage img = bar.grab().toImage();
    QCOMPARE(img.pixelColor(250, 12), QColor(Qt::white));
}

QTEST_MAIN(TstProgressCylinder)
#include "tst_progresscylinder.moc"
