// Row moves at both ends and with a single field, the key mappings of the grid
// with the in-place editor open and closed, the entry box's keys, and the
// value column's fitting, plus the lettering of the grid's cells.

#include "fields/cellstyle.h"
#include "fields/fieldnavigation.h"

#include <QtTest/QtTest>

using fields::CellStyle;
using fields::FieldNavigation;
using Action = fields::FieldNavigation::EntryAction;

Q_DECLARE_METATYPE(fields::FieldNavigation::EntryAction)

class TestFieldNavigation : public QObject {
    Q_OBJECT
private slots:
    void moves_data();
    void moves();
    void holdingRunsToTheEndAndStops();
    void gridKey_data();
    void gridKey();
    void entryAction_data();
    void entryAction();
    void valueColumnWidth_data();
    void valueColumnWidth();
    void cellStyle_data();
    void cellStyle();
};

void TestFieldNavigation::moves_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("rowCount");
    QTest::addColumn<int>("back");
    QTest::addColumn<int>("next");
    QTest::newRow("middle") << 3 << 6 << 2 << 4;
    QTest::newRow("first field") << 1 << 6 << 1 << 2;
    QTest::newRow("last field") << 5 << 6 << 4 << 5;
    QTest::newRow("single field") << 1 << 2 << 1 << 1;
    QTest::newRow("no field rows") << 0 << 1 << 0 << 0;
    QTest::newRow("empty grid before a document") << 1 << 40 << 1 << 2;
    QTest::newRow("beyond the end after shrinking") << 9 << 4 << 3 << 3;
}

void TestFieldNavigation::moves()
{
    QFETCH(int, row);
    QFETCH(int, rowCount);
    QFETCH(int, back);
    QFETCH(int, next);
    QCOMPARE(FieldNavigation::backRow(row, rowCount), back);
    QCOMPARE(FieldNavigation::nextRow(row, rowCount), next);
}

void TestFieldNavigation::holdingRunsToTheEndAndStops()
{
    int row = 1;
    for (int i = 0; i < 100; ++i)
        row = FieldNavigation::nextRow(row, 7);
    QCOMPARE(row, 6);
    for (int i = 0; i < 100; ++i)
        row = FieldNavigation::backRow(row, 7);
    QCOMPARE(row, 1);
}

void TestFieldNavigation::gridKey_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("editorOpen");
    QTest::addColumn<int>("handledAs");
    QTest::newRow("left closed") << int(Qt::Key_Left) << false << int(Qt::Key_Up);
    QTest::newRow("home closed") << int(Qt::Key_Home) << false << int(Qt::Key_Up);
    QTest::newRow("right closed") << int(Qt::Key_Right) << false << int(Qt::Key_Down);
    QTest::newRow("end closed") << int(Qt::Key_End) << false << int(Qt::Key_Down);
    QTest::newRow("up closed") << int(Qt::Key_Up) << false << int(Qt::Key_Up);
    QTest::newRow("letter closed") << int(Qt::Key_A) << false << int(Qt::Key_A);
    QTest::newRow("left open") << int(Qt::Key_Left) << true << int(Qt::Key_Left);
    QTest::newRow("home open") << int(Qt::Key_Home) << true << int(Qt::Key_Home);
    QTest::newRow("right open") << int(Qt::Key_Right) << true << int(Qt::Key_Right);
    QTest::newRow("end open") << int(Qt::Key_End) << true << int(Qt::Key_End);
}

void TestFieldNavigation::gridKey()
{
    QFETCH(int, key);
    QFETCH(bool, editorOpen);
    QFETCH(int, handledAs);
    QCOMPARE(FieldNavigation::gridKey(key, editorOpen), handledAs);
}

void TestFieldNavigation::entryAction_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("mods");
    QTest::addColumn<Action>("action");
    QTest::newRow("ctrl f") << int(Qt::Key_F) << Qt::KeyboardModifiers(Qt::ControlModifier) << Action::Currency;
    QTest::newRow("ctrl shift f") << int(Qt::Key_F)
                                  << Qt::KeyboardModifiers(Qt::ControlModifier | Qt::ShiftModifier)
                                  << Action::Currency;
    QTest::newRow("ctrl alt f") << int(Qt::Key_F)
                                << Qt::KeyboardModifiers(Qt::ControlModifier | Qt::AltModifier)
                                << Action::Currency;
    QTest::newRow("f alone") << int(Qt::Key_F) << Qt::KeyboardModifiers() << Action::None;
    QTest::newRow("shift f") << int(Qt::Key_F) << Qt::KeyboardModifiers(Qt::ShiftModifier) << Action::None;
    QTest::newRow("up") << int(Qt::Key_Up) << Qt::KeyboardModifiers() << Action::Back;
    QTest::newRow("shift up") << int(Qt::Key_Up) << Qt::KeyboardModifiers(Qt::ShiftModifier) << Action::Back;
    QTest::newRow("down") << int(Qt::Key_Down) << Qt::KeyboardModifiers() << Action::Next;
    QTest::newRow("ctrl down") << int(Qt::Key_Down) << Qt::KeyboardModifiers(Qt::ControlModifier) << Action::Next;
    QTest::newRow("enter") << int(Qt::Key_Return) << Qt::KeyboardModifiers() << Action::None;
    QTest::newRow("ctrl g") << int(Qt::Key_G) << Qt::KeyboardModifiers(Qt::ControlModifier) << Action::None;
}

void TestFieldNavigation::entryAction()
{
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, mods);
    QFETCH(Action, action);
    QCOMPARE(FieldNavigation::entryAction(key, mods), action);
}

void TestFieldNavigation::valueColumnWidth_data()
{
    QTest::addColumn<int>("grid");
    QTest::addColumn<int>("w0");
    QTest::addColumn<int>("w1");
    QTest::addColumn<int>("expected");
    QTest::newRow("design size") << 386 << 25 << 159 << 178;
    QTest::newRow("first column dragged wider") << 386 << 60 << 159 << 143;
    QTest::newRow("wide window") << 1000 << 25 << 159 << 792;
    QTest::newRow("too narrow keeps a sliver") << 100 << 25 << 159
                                               << FieldNavigation::kMinValueColumnWidth;
}

void TestFieldNavigation::valueColumnWidth()
{
    QFETCH(int, grid);
    QFETCH(int, w0);
    QFETCH(int, w1);
    QFETCH(int, expected);
    QCOMPARE(FieldNavigation::valueColumnWidth(grid, w0, w1), expected);
}

void TestFieldNavigation::cellStyle_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("col");
    QTest::addColumn<QColor>("color");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<bool>("italic");
    QTest::newRow("header 0") << 0 << 0 << QColor(0, 0, 0) << true << true;
    QTest::newRow("header 2") << 0 << 2 << QColor(0, 0, 0) << true << true;
    QTest::newRow("number") << 3 << 0 << QColor(0, 0, 128) << true << false;
    QTest::newRow("name") << 3 << 1 << QColor(0, 0, 176) << false << false;
    QTest::newRow("value") << 3 << 2 << QColor(0, 0, 0) << false << false;
}

void TestFieldNavigation::cellStyle()
{
    QFETCH(int, row);
    QFETCH(int, col);
    QFETCH(QColor, color);
    QFETCH(bool, bold);
    QFETCH(bool, italic);
    // The grid font comes in underlined to show that underline is always cleared.
    const CellStyle base{QColor(), false, false, true};
    const CellStyle s = CellStyle::forCell(row, col, base);
    QCOMPARE(s.color, color);
    QCOMPARE(s.bold, bold);
    QCOMPARE(s.italic, italic);
    QVERIFY(!s.underline);
}

QTEST_APPLESS_MAIN(TestFieldNavigation)
#include "tst_fieldnavigation.moc"
