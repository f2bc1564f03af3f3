// The arithmetic of the view commands: zoom steps and their limits, the zoom
// menu's values, the edge margin, the layout cycle and Word's complement.

#include "commands/viewcommands.h"

#include <QtTest/QtTest>

class TestViewCommands : public QObject {
    Q_OBJECT
private slots:
    void zoomSteps_data();
    void zoomSteps();
    void zoomMenu_data();
    void zoomMenu();
    void layoutCycle_data();
    void layoutCycle();
    void complement_data();
    void complement();
};

void TestViewCommands::zoomSteps_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("up");
    QTest::addColumn<int>("down");
    QTest::newRow("start") << 70 << 80 << 60;
    QTest::newRow("at the top") << 200 << 200 << 190;
    QTest::newRow("near the top") << 195 << 200 << 185;
    QTest::newRow("at the bottom") << 40 << 50 << 40;
    QTest::newRow("menu 50") << 50 << 60 << 40;
    QTest::newRow("below the range") << 20 << 30 << 40;
}

void TestViewCommands::zoomSteps()
{
    QFETCH(int, from);
    QFETCH(int, up);
    QFETCH(int, down);
    QCOMPARE(commands::zoomUp(from), up);
    QCOMPARE(commands::zoomDown(from), down);
}

void TestViewCommands::zoomMenu_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("value");
    QTest::newRow("200") << "N2001" << "200";
    QTest::newRow("150") << "N1501" << "150";
    QTest::newRow("100") << "N1001" << "100";
    QTest::newRow("80") << "N751" << "80";
    QTest::newRow("50") << "N501" << "50";
    QTest::newRow("other") << "N1" << "";
}

void TestViewCommands::zoomMenu()
{
    QFETCH(QString, item);
    QFETCH(QString, value);
    QCOMPARE(commands::zoomMenuValue(item), value);
}

void TestViewCommands::layoutCycle_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("margin");
    QTest::addColumn<int>("next");
    // Split width 548, client width 992.
    QTest::newRow("fields only goes split") << 0 << 40 << 548;
    QTest::newRow("split goes document only") << 548 << 40 << 952;
    QTest::newRow("split, tool bar at the top") << 548 << 4 << 988;
    QTest::newRow("document only goes fields only") << 952 << 40 << 0;
    QTest::newRow("a wider window's document only") << 1200 << 40 << 0;
}

void TestViewCommands::layoutCycle()
{
    QFETCH(int, width);
    QFETCH(int, margin);
    QFETCH(int, next);
    QCOMPARE(commands::nextLayoutWidth(width, 548, 992, margin), next);
    QCOMPARE(commands::edgeMargin(true), 4);
    QCOMPARE(commands::edgeMargin(false), 40);
}

void TestViewCommands::complement_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("result");
    QTest::newRow("true") << -1 << 0;
    QTest::newRow("false") << 0 << -1;
    QTest::newRow("mixed") << 9999999 << -10000000;
    QTest::newRow("one") << 1 << -2;
}

void TestViewCommands::complement()
{
    QFETCH(int, value);
    QFETCH(int, result);
    QCOMPARE(commands::complement(value), result);
    QCOMPARE(commands::complement(result), value);
}

QTEST_GUILESS_MAIN(TestViewCommands)
#include "tst_viewcommands.moc"
