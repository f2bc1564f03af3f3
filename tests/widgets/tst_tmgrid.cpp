// The field grid: when its editor reports opening and closing, what the cell
// holds while the user types, the cell-selection question, key replacement,
// Enter in the two modes, and the per-cell style at paint time.
#include "widgets/tmgrid.h"

#include <QLineEdit>
#include <QVBoxLayout>
#include <QtTest>

using widgets::TMgrid;

namespace {

struct Emission {
    bool emode;
    int currentRow;
};

// A grid with a line edit beside it, so the focus has somewhere to go.
struct Fixture {
    QList<Emission> emissions;
    QWidget window;
    TMgrid* grid;
    QLineEdit* other;

    Fixture()
    {
        auto* layout = new QVBoxLayout(&window);
        grid = new TMgrid;
        other = new QLineEdit;
        layout->addWidget(grid);
        layout->addWidget(other);
        grid->setColumnCount(3);
        grid->setRowCount(10);
        for (int r = 1; r < 10; ++r) {
            grid->setCells(0, r, QString::number(r) + QLatin1Char('.'));
            grid->setCells(1, r, QStringLiteral("mezo%1").arg(r));
            grid->setCells(2, r, QStringLiteral("v%1").arg(r));
        }
        grid->setCells(1, 0, QStringLiteral(" Mező neve:"));
        QObject::connect(grid, &TMgrid::editModeChange, grid,
                         [this](bool on) { emissions.append({on, grid->currentRow()}); });
        window.resize(420, 400);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        grid->setFocus();
    }

    // Cell mode on the value cell of row 3, editor opened by typing "x".
    void openEditorOnRow3()
    {
        grid->setRowSelect(false);
        grid->setEditing(true);
        grid->setCurrentCell(3, 2);
        QTest::keyClick(grid, Qt::Key_X);
    }

    QPoint cellCentre(int row, int col) const
    {
        return grid->visualRect(grid->model()->index(row, col)).center();
    }
};

} // namespace

class TstTMgrid : public QObject {
    Q_OBJECT
private slots:
    void editorCloseTiming_data();
    void editorCloseTiming();
    void cellFollowsEveryKeystroke();
    void escapeRestoresTheValue();
    void repeatedShowIsReportedOnce();
    void selectCellIsAskedBeforeTheMove();
    void refusedSelectionKeepsTheCell();
    void keyDownMayReplaceTheKey();
    void enterInRowModeGoesToTheWindow();
    void enterInCellModeOpensTheEditor();
    void headingRowIsNotNavigable();
    void settingStylesEachCell();
    void selectedRowIsDrawnInverted();
};

void TstTMgrid::editorCloseTiming_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("rowAtClose");
    QTest::newRow("program sets another row") << "setCurrentCell" << 5;
    QTest::newRow("click on another row") << "click" << 5;
    QTest::newRow("arrow down") << "down" << 4;
    QTest::newRow("focus to another control") << "focus" << 3;
    QTest::newRow("return in the editor") << "return" << 3;
}

void TstTMgrid::editorCloseTiming()
{
    QFETCH(QString, how);
    QFETCH(int, rowAtClose);
    Fixture f;
    f.openEditorOnRow3();
    QCOMPARE(f.emissions.size(), 1);
    QVERIFY(f.emissions[0].emode);
    QCOMPARE(f.emissions[0].currentRow, 3);
    QVERIFY(f.grid->editorMode());

    QWidget* editor = QApplication::focusWidget();
    if (how == "setCurrentCell")
        f.grid->setCurrentCell(5, 2);
    else if (how == "click")
        QTest::mouseClick(f.grid->viewport(), Qt::LeftButton, {}, f.cellCentre(5, 2));
    else if (how == "down")
        QTest::keyClick(editor, Qt::Key_Down);
    else if (how == "focus")
        f.other->setFocus();
    else if (how == "return")
        QTest::keyClick(editor, Qt::Key_Return);

    // Return closes the editor from the event loop.
    QTRY_COMPARE(f.emissions.size(), 2);
    QVERIFY(!f.emissions[1].emode);
    QCOMPARE(f.emissions[1].currentRow, rowAtClose);
    QVERIFY(!f.grid->editorMode());
    // What was typed stays in the edited cell.
    QCOMPARE(f.grid->cells(2, 3), QStringLiteral("x"));
}

void TstTMgrid::cellFollowsEveryKeystroke()
{
    Fixture f;
    f.openEditorOnRow3();
    QWidget* editor = QApplication::focusWidget();
    QVERIFY(qobject_cast<QLineEdit*>(editor));
    const QString more = QStringLiteral("yzw");
    QString expected = QStringLiteral("x");
    for (QChar c : more) {
        QTest::keyClicks(editor, QString(c));
        expected += c;
        QCOMPARE(f.grid->cells(2, 3), expected);
    }
    QTest::keyClick(editor, Qt::Key_Backspace);
    expected.chop(1);
    QCOMPARE(f.grid->cells(2, 3), expected);
    // The caret was not moved by the cell's updates: typing went on at the end.
    QCOMPARE(static_cast<QLineEdit*>(editor)->text(), expected);
}

void TstTMgrid::escapeRestoresTheValue()
{
    Fixture f;
    f.openEditorOnRow3();
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("abc"));
    QCOMPARE(f.grid->cells(2, 3), QStringLiteral("xabc"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QTRY_COMPARE(f.emissions.size(), 2);
    QCOMPARE(f.grid->cells(2, 3), QStringLiteral("v3"));
    QVERIFY(!f.emissions[1].emode);
}

void TstTMgrid::repeatedShowIsReportedOnce()
{
    Fixture f;
    f.openEditorOnRow3();
    // A click on the edited cell keeps the editor open and reports nothing new.
    QTest::mouseClick(f.grid->viewport(), Qt::LeftButton, {}, f.cellCentre(3, 2));
    QTest::qWait(20);
    QCOMPARE(f.emissions.size(), 1);
    QVERIFY(f.grid->editorMode());
    QVERIFY(qobject_cast<QLineEdit*>(QApplication::focusWidget()));
    f.grid->setEditing(false);
    QCOMPARE(f.emissions.size(), 2);
    f.grid->setEditing(false);
    QCOMPARE(f.emissions.size(), 2);
}

void TstTMgrid::selectCellIsAskedBeforeTheMove()
{
    Fixture f;
    f.grid->setCurrentCell(2, 1);
    QList<QPair<int, int>> asked;   // (asked row, current row at the question)
    f.grid->setOnSelectCell([&](int, int row, bool&) { asked.append({row, f.grid->currentRow()}); });
    QTest::keyClick(f.grid, Qt::Key_Down);
    f.grid->setCurrentCell(6, 1);
    QTest::mouseClick(f.grid->viewport(), Qt::LeftButton, {}, f.cellCentre(4, 1));
    const QList<QPair<int, int>> expected = {{3, 2}, {6, 3}, {4, 6}};
    QCOMPARE(asked, expected);
    // Setting the cell it already has asks nothing.
    f.grid->setCurrentCell(4, 1);
    QCOMPARE(asked.size(), 3);
}

void TstTMgrid::refusedSelectionKeepsTheCell()
{
    Fixture f;
    f.grid->setCurrentCell(2, 1);
    f.grid->setOnSelectCell([](int, int row, bool& can) { can = row != 3; });
    QTest::keyClick(f.grid, Qt::Key_Down);
    QCOMPARE(f.grid->currentRow(), 2);
    f.grid->setCurrentCell(4, 1);
    QCOMPARE(f.grid->currentRow(), 4);
}

void TstTMgrid::keyDownMayReplaceTheKey()
{
    Fixture f;
    f.grid->setCurrentCell(5, 1);
    f.grid->setOnKeyDown([](int& key, Qt::KeyboardModifiers) {
        if (key == Qt::Key_Left)
            key = Qt::Key_Up;
        if (key == Qt::Key_Right)
            key = Qt::Key_Down;
        if (key == Qt::Key_Home)
            key = 0;
    });
    QTest::keyClick(f.grid, Qt::Key_Left);
    QCOMPARE(f.grid->currentRow(), 4);
    QTest::keyClick(f.grid, Qt::Key_Right);
    QTest::keyClick(f.grid, Qt::Key_Right);
    QCOMPARE(f.grid->currentRow(), 6);
    QTest::keyClick(f.grid, Qt::Key_Home);
    QCOMPARE(f.grid->currentRow(), 6);
    QCOMPARE(f.grid->currentColumn(), 1);
}

namespace {
class EnterCatcher : public QObject {
public:
    int count = 0;
protected:
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(e)->key() == Qt::Key_Return)
            ++count;
        return false;
    }
};
}

void TstTMgrid::enterInRowModeGoesToTheWindow()
{
    Fixture f;
    EnterCatcher catcher;
    f.window.installEventFilter(&catcher);
    f.grid->setCurrentCell(2, 2);
    QTest::keyClick(f.grid, Qt::Key_Return);
    QCOMPARE(catcher.count, 1);
    QVERIFY(f.emissions.isEmpty());
}

void TstTMgrid::enterInCellModeOpensTheEditor()
{
    Fixture f;
    EnterCatcher catcher;
    f.window.installEventFilter(&catcher);
    f.grid->setRowSelect(false);
    f.grid->setEditing(true);
    f.grid->setCurrentCell(2, 2);
    QTest::keyClick(f.grid, Qt::Key_Return);
    QCOMPARE(catcher.count, 0);
    QCOMPARE(f.emissions.size(), 1);
    QVERIFY(f.grid->editorMode());
    QCOMPARE(qobject_cast<QLineEdit*>(QApplication::focusWidget())->text(), QStringLiteral("v2"));
}

void TstTMgrid::headingRowIsNotNavigable()
{
    Fixture f;
    QVERIFY(f.grid->isRowHidden(0));
    QCOMPARE(f.grid->cells(1, 0), QStringLiteral(" Mező neve:"));
    f.grid->setCurrentCell(1, 1);
    QTest::keyClick(f.grid, Qt::Key_Up);
    QCOMPARE(f.grid->currentRow(), 1);
    // Growing the grid keeps the heading row out of the way.
    f.grid->setRowCount(0);
    f.grid->setRowCount(4);
    QVERIFY(f.grid->isRowHidden(0));
}

void TstTMgrid::settingStylesEachCell()
{
    Fixture f;
    QSet<QPair<int, int>> seen;
    bool sawDefaults = true;
    f.grid->setOnSetting([&](int row, int col, int& fcolor, bool& bold, bool& italic, bool& underline) {
        sawDefaults = sawDefaults && fcolor == -1 && !bold && !italic && !underline;
        seen.insert({row, col});
        if (col == 1 && row > 0)
            fcolor = 0xff0000;
    });
    const QImage img = f.window.grab().toImage();
    QVERIFY(sawDefaults);
    QVERIFY(seen.contains({0, 1}));   // the heading row is styled too
    QVERIFY(seen.contains({2, 2}));
    const auto redIn = [&](int row, int col) {
        const QRect r = f.grid->visualRect(f.grid->model()->index(row, col))
                            .translated(f.grid->viewport()->mapTo(&f.window, QPoint(0, 0)));
        int red = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x) {
                const QColor c = img.pixelColor(x, y);
                red += c.red() > 150 && c.green() < 100 && c.blue() < 100;
            }
        return red;
    };
    QVERIFY(redIn(4, 1) > 5);
    QCOMPARE(redIn(4, 2), 0);
}

void TstTMgrid::selectedRowIsDrawnInverted()
{
    Fixture f;
    f.grid->setCurrentCell(4, 1);
    const QImage img = f.grid->viewport()->grab().toImage();
    const auto backgroundAt = [&](int row) {
        const QRect r = f.grid->visualRect(f.grid->model()->index(row, 2));
        return img.pixelColor(r.right() - 3, r.center().y());
    };
    QCOMPARE(backgroundAt(3), QColor(Qt::white));
    QCOMPARE(backgroundAt(4), QColor(Qt::black));
}

QTEST_MAIN(TstTMgrid)
#include "tst_tmgrid.moc"
