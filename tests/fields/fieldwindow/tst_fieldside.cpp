// The field side of the main window driven like a user would: moves at both
// ends, keys with the in-place editor open and closed, confirming with the
// button and with Enter in the grid, the editor's value written for the edited
// row, the helpers, clearing and loading field data files.

#include "../docxfixture.h"
#include "app/isolatedmain.h"
#include "app/quilloraapplication.h"
#include "app/tform1.h"
#include "app/tform2.h"
#include "fields/fielddatafile.h"
#include "templates/tpaletteopendialog.h"
#include "templates/updown.h"
#include "widgets/autosizelabel.h"
#include "widgets/tmgrid.h"
#include "widgets/tshapedbutton.h"
#include "word/application.h"
#include "word/document.h"
#include "word/error.h"

#include <QtTest/QtTest>
#include <QCalendarWidget>
#include <QFileDialog>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QTemporaryDir>

using namespace fieldtest;

namespace {

QLineEdit* openEditor(widgets::TMgrid* grid)
{
    for (QLineEdit* e : grid->viewport()->findChildren<QLineEdit*>()) {
        if (e->isVisible())
            return e;
    }
    return nullptr;
}

// Types text into the value cell the way a user does: the first key opens the
// in-place editor, the rest goes to the editor, which then has the focus.
// Characters are sent as text so that accented letters arrive as typed.
void typeIntoCell(widgets::TMgrid* grid, const QString& text)
{
    QWidget* target = grid;
    if (QLineEdit* open = openEditor(grid))
        target = open;
    for (const QChar c : text) {
        QTest::sendKeyEvent(QTest::Click, target, Qt::Key_A, QString(c), Qt::NoModifier);
        if (QLineEdit* editor = openEditor(grid))
            target = editor;
    }
}

// Types text into whatever widget the keys go to, accented letters included.
void typeText(QWidget* w, const QString& text)
{
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, w, Qt::Key_A, QString(c), Qt::NoModifier);
}

int rowOf(const widgets::TMgrid* grid, const QString& field)
{
    for (int r = 1; r < grid->rowCount(); ++r) {
        if (grid->cells(1, r) == field)
            return r;
    }
    return -1;
}

// Presses the given button of the next message box that comes up.
void answerNextBox(QMessageBox::StandardButton button)
{
    QTimer::singleShot(0, [button] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            box->button(button)->click();
    });
}

} // namespace

class TestFieldSide : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void movesStopAtBothEnds();
    void singleFieldRowStays();
    void captionsFitTheirText();
    void gridKeysWithEditorClosed_data();
    void gridKeysWithEditorClosed();
    void leftRightMoveCaretInOpenEditor();
    void confirmWritesAndMovesOn();
    void confirmOnLastRowStays();
    void confirmWithoutDocumentKeepsValue();
    void editorCloseWritesEditedRow();
    void enterInEditorKeepsTypedValue();
    void clickClosesEditorAndWrites();
    void mouseDownSwitchesSelectionMode();
    void clickValueCellThenType_data();
    void clickValueCellThenType();
    void columnFitting();
    void currencyHelper_data();
    void currencyHelper();
    void ctrlFInEntryBox();
    void calendarPutsLongDate();
    void clearWithNoAndYes();
    void loadFieldFilePlacesLines_data();
    void loadFieldFilePlacesLines();
    void loadFailureLeavesGrid();
    void commandLineLoadSetsRowCount();
    void saveAndLoadThroughDialogs();
    void dataMenuAndFreeAreaClick();
    void fillSampleContract();

private:
    void setFields(const QStringList& names);
    void openDocument();
    QString bookmarkText(const QString& name) const;
    void focusGrid();

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<app::TForm1> m_form;
    std::unique_ptr<word::Application> m_engine;
    widgets::TMgrid* grid() const { return m_form->Mgrid1; }
};

void TestFieldSide::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_form = std::make_unique<app::TForm1>();
    m_form->show();
    m_form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    setFields({"A", "B", "C"});
}

void TestFieldSide::cleanup()
{
    m_form.reset();
    m_engine.reset();
    m_dir.reset();
}

void TestFieldSide::setFields(const QStringList& names)
{
    grid()->setRowCount(int(names.size()) + 1);
    for (int r = 1; r <= names.size(); ++r) {
        grid()->setCells(0, r, QStringLiteral("%1.").arg(r));
        grid()->setCells(1, r, names[r - 1]);
        grid()->setCells(2, r, QString());
    }
    grid()->setCurrentCell(1, 0);
}

void TestFieldSide::openDocument()
{
    m_engine = std::make_unique<word::Application>();
    const QString path = writeDocx(m_dir->path(), "doc.docx",
                                   para(run("A=") + mark("A_1", "a") + run(" A=") + mark("A_2", "a")) +
                                       para(run("B=") + mark("B_1", "b")) + para(run("C=") + mark("C_1", "c")));
    m_form->WordDoc = m_engine->Documents().Open(path);
    m_form->MaxOccurrence = 2;
}

QString TestFieldSide::bookmarkText(const QString& name) const
{
    return m_form->WordDoc->Bookmarks().Item(name).Range().Text();
}

void TestFieldSide::focusGrid()
{
    grid()->setFocus();
    QTRY_VERIFY(grid()->hasFocus());
}

void TestFieldSide::movesStopAtBothEnds()
{
    m_form->BackClick();
    QCOMPARE(grid()->currentRow(), 1);
    m_form->Edit4->setFocus();
    QTest::keyClick(m_form->Edit4, Qt::Key_Up);
    QCOMPARE(grid()->currentRow(), 1);
    QVERIFY(m_form->Edit4->hasFocus());
    focusGrid();
    QTest::keyClick(grid(), Qt::Key_Left);
    QTest::keyClick(grid(), Qt::Key_Home);
    QCOMPARE(grid()->currentRow(), 1);

    for (int i = 0; i < 5; ++i)
        m_form->NextClick();
    QCOMPARE(grid()->currentRow(), 3);
    QCOMPARE(m_form->RxLabel3->text(), QStringLiteral("C"));
    QCOMPARE(m_form->RxLabel2->text(), QStringLiteral("3."));
    QCOMPARE(m_form->RxLabel3->x(), m_form->RxLabel2->x() + m_form->RxLabel2->width() + 4);
    m_form->Edit4->setFocus();
    QTest::keyClick(m_form->Edit4, Qt::Key_Down);
    QCOMPARE(grid()->currentRow(), 3);
    focusGrid();
    QTest::keyClick(grid(), Qt::Key_Right);
    QTest::keyClick(grid(), Qt::Key_End);
    QCOMPARE(grid()->currentRow(), 3);
}

// The number and name under the grid take the width their text needs, as
// each field becomes current: a longer name after a short one is whole.
void TestFieldSide::captionsFitTheirText()
{
    setFields({"Ár", "Eladó_Székhely_és_Levelezési_Címe", "B"});
    for (int i = 0; i < 7; ++i)
        m_form->NextClick();
    m_form->BackClick();
    m_form->BackClick();
    for (int row : {2, 3, 2}) {
        grid()->setCurrentCell(row, 0);
        for (const QLabel* l : {m_form->RxLabel2, m_form->RxLabel3})
            QCOMPARE(l->width(), l->sizeHint().width());
        QCOMPARE(m_form->RxLabel3->x(), m_form->RxLabel2->x() + m_form->RxLabel2->width() + 4);
    }
    QCOMPARE(m_form->RxLabel3->text(), QStringLiteral("Eladó_Székhely_és_Levelezési_Címe"));
}

void TestFieldSide::singleFieldRowStays()
{
    setFields({"Egy"});
    grid()->setCells(2, 1, "érték");
    m_form->NextClick();
    m_form->BackClick();
    m_form->Edit4->setFocus();
    QTest::keyClick(m_form->Edit4, Qt::Key_Down);
    QTest::keyClick(m_form->Edit4, Qt::Key_Up);
    focusGrid();
    QTest::keyClick(grid(), Qt::Key_End);
    QCOMPARE(grid()->currentRow(), 1);
}

void TestFieldSide::gridKeysWithEditorClosed_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("rowAfter");
    QTest::newRow("left") << int(Qt::Key_Left) << 1;
    QTest::newRow("home") << int(Qt::Key_Home) << 1;
    QTest::newRow("up") << int(Qt::Key_Up) << 1;
    QTest::newRow("right") << int(Qt::Key_Right) << 3;
    QTest::newRow("end") << int(Qt::Key_End) << 3;
    QTest::newRow("down") << int(Qt::Key_Down) << 3;
}

void TestFieldSide::gridKeysWithEditorClosed()
{
    QFETCH(int, key);
    QFETCH(int, rowAfter);
    grid()->setCells(2, 3, "harmadik");
    grid()->setCurrentCell(2, 0);
    focusGrid();
    QTest::keyClick(grid(), Qt::Key(key));
    QCOMPARE(grid()->currentRow(), rowAfter);
    // The row move filled the entry box.
    QCOMPARE(m_form->Edit4->text(), grid()->cells(2, rowAfter));
}

void TestFieldSide::leftRightMoveCaretInOpenEditor()
{
    grid()->setRowSelect(false);
    grid()->setEditing(true);
    grid()->setCurrentCell(2, 2);
    focusGrid();
    typeIntoCell(grid(), "abc");
    QLineEdit* editor = openEditor(grid());
    QVERIFY(editor);
    QCOMPARE(editor->cursorPosition(), 3);
    QTest::keyClick(editor, Qt::Key_Left);
    QTest::keyClick(editor, Qt::Key_Home);
    QCOMPARE(editor->cursorPosition(), 0);
    QTest::keyClick(editor, Qt::Key_End);
    QTest::keyClick(editor, Qt::Key_Left);
    QCOMPARE(editor->cursorPosition(), 2);
    QCOMPARE(grid()->currentRow(), 2);
    QVERIFY(grid()->editorMode());
}

void TestFieldSide::confirmWritesAndMovesOn()
{
    openDocument();
    m_form->Edit4->setText("Kovács & <Társa>  ");
    QTest::mouseClick(m_form->enter1, Qt::LeftButton);
    QCOMPARE(grid()->cells(2, 1), QStringLiteral("Kovács & <Társa>  "));
    QCOMPARE(grid()->currentRow(), 2);
    QVERIFY(m_form->Edit4->hasFocus());
    QCOMPARE(bookmarkText("A_1"), QStringLiteral("Kovács & <Társa>  "));
    QCOMPARE(bookmarkText("A_2"), QStringLiteral("Kovács & <Társa>  "));
    QCOMPARE(bookmarkText("B_1"), QStringLiteral("b"));
    // Enter in the entry box is the same as the button.
    m_form->Edit4->setText(QString());
    QTest::keyClick(m_form->Edit4, Qt::Key_Return);
    QCOMPARE(bookmarkText("B_1"), QStringLiteral(" "));
    QCOMPARE(grid()->currentRow(), 3);
}

void TestFieldSide::confirmOnLastRowStays()
{
    openDocument();
    grid()->setCurrentCell(3, 0);
    m_form->Edit4->setText("utolsó");
    m_form->kitoltClick();
    QCOMPARE(grid()->currentRow(), 3);
    QCOMPARE(bookmarkText("C_1"), QStringLiteral("utolsó"));
    QCOMPARE(m_form->Edit4->text(), QStringLiteral("utolsó"));
}

void TestFieldSide::confirmWithoutDocumentKeepsValue()
{
    m_form->Edit4->setText("érték");
    m_form->kitoltClick();
    QCOMPARE(grid()->cells(2, 1), QStringLiteral("érték"));
    QCOMPARE(grid()->currentRow(), 2);
}

void TestFieldSide::editorCloseWritesEditedRow()
{
    openDocument();
    grid()->setCells(2, 2, "második");
    grid()->setRowSelect(false);
    grid()->setEditing(true);
    grid()->setCurrentCell(1, 2);
    focusGrid();
    typeIntoCell(grid(), "Győr");
    QVERIFY(grid()->editorMode());
    QCOMPARE(m_form->EditRow, 1);
    QCOMPARE(grid()->cells(2, 1), QStringLiteral("Győr"));   // the cell follows every key
    grid()->setCurrentCell(2, 2);
    QVERIFY(!grid()->editorMode());
    QCOMPARE(bookmarkText("A_1"), QStringLiteral("Győr"));
    QCOMPARE(bookmarkText("A_2"), QStringLiteral("Győr"));
    QCOMPARE(bookmarkText("B_1"), QStringLiteral("b"));
    QCOMPARE(m_form->Edit4->text(), QStringLiteral("második"));
}

void TestFieldSide::enterInEditorKeepsTypedValue()
{
    openDocument();
    m_form->Edit4->setText("régi");
    grid()->setRowSelect(false);
    grid()->setEditing(true);
    grid()->setCurrentCell(1, 2);
    focusGrid();
    typeIntoCell(grid(), "új");
    QLineEdit* editor = openEditor(grid());
    QVERIFY(editor);
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_VERIFY(!grid()->editorMode());
    // Not the default button: the row stays, the cell keeps what was typed.
    QCOMPARE(grid()->currentRow(), 1);
    QCOMPARE(grid()->cells(2, 1), QStringLiteral("új"));
    QCOMPARE(bookmarkText("A_1"), QStringLiteral("új"));
    QCOMPARE(m_form->Edit4->text(), QStringLiteral("új"));
}

void TestFieldSide::clickClosesEditorAndWrites()
{
    openDocument();
    grid()->setRowSelect(false);
    grid()->setEditing(true);
    grid()->setCurrentCell(2, 2);
    focusGrid();
    typeIntoCell(grid(), "kattintás");
    QVERIFY(grid()->editorMode());
    m_form->Mgrid1Click();
    QVERIFY(!grid()->editorMode());
    QVERIFY(grid()->hasFocus());
    QCOMPARE(bookmarkText("B_1"), QStringLiteral("kattintás"));
}

void TestFieldSide::mouseDownSwitchesSelectionMode()
{
    const QRect value = grid()->visualRect(grid()->model()->index(2, 2));
    QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, value.center());
    QVERIFY(!grid()->rowSelect());
    QVERIFY(grid()->editing());
    QCOMPARE(grid()->currentColumn(), 2);
    const QRect name = grid()->visualRect(grid()->model()->index(2, 1));
    QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, name.center());
    QVERIFY(grid()->rowSelect());
    QVERIFY(!grid()->editing());
    QCOMPARE(grid()->currentColumn(), 1);
    // The whole row is selected again.
    QVERIFY(grid()->selectionModel()->isRowSelected(2, QModelIndex()));
}

void TestFieldSide::clickValueCellThenType_data()
{
    QTest::addColumn<int>("currentBefore");
    QTest::addColumn<bool>("opensByItself");
    // A click on the value cell of another row makes it current; typing opens
    // the editor. On the current row it is a click on a selected cell, which
    // opens the editor by itself once no double click can follow.
    QTest::newRow("another row") << 1 << false;
    QTest::newRow("the same row") << 2 << true;
}

void TestFieldSide::clickValueCellThenType()
{
    QFETCH(int, currentBefore);
    QFETCH(bool, opensByItself);
    openDocument();
    grid()->setCurrentCell(currentBefore, 0);
    const QRect cell = grid()->visualRect(grid()->model()->index(2, 2));
    QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(grid()->currentRow(), 2);
    if (opensByItself)
        QTRY_VERIFY(grid()->editorMode());
    typeIntoCell(grid(), "Pécs");
    QVERIFY(grid()->editorMode());
    QLineEdit* editor = openEditor(grid());
    QVERIFY(editor);
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_VERIFY(!grid()->editorMode());
    QCOMPARE(bookmarkText("B_1"), QStringLiteral("Pécs"));
}

void TestFieldSide::columnFitting()
{
    grid()->setColumnWidth(0, 60);
    const QRect name = grid()->visualRect(grid()->model()->index(1, 1));
    QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, name.center());
    QCOMPARE(grid()->columnWidth(2), grid()->width() - 60 - grid()->columnWidth(1) - 24);
    grid()->resize(grid()->width() + 50, grid()->height());
    QCOMPARE(grid()->columnWidth(2), grid()->width() - 60 - grid()->columnWidth(1) - 24);
}

void TestFieldSide::currencyHelper_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::newRow("million") << "1234567" << "1.234.567,-Ft";
    QTest::newRow("negative") << "-5" << "-5,-Ft";
    QTest::newRow("letters") << "abc" << "abc";
    QTest::newRow("empty") << "" << "";
    QTest::newRow("formatted") << "1.234.567,-Ft" << "1.234.567,-Ft";
}

void TestFieldSide::currencyHelper()
{
    QFETCH(QString, before);
    QFETCH(QString, after);
    m_form->Edit4->setText(before);
    m_form->Edit4->selectAll();
    QTest::mouseClick(m_form->BitBtn1, Qt::LeftButton, {}, m_form->BitBtn1->rect().center());
    QCOMPARE(m_form->Edit4->text(), after);
    QVERIFY(m_form->Edit4->hasFocus());
    QVERIFY(!m_form->Edit4->hasSelectedText());
}

void TestFieldSide::ctrlFInEntryBox()
{
    m_form->Edit4->setFocus();
    m_form->Edit4->setText("250");
    QTest::keyClick(m_form->Edit4, Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(m_form->Edit4->text(), QStringLiteral("250,-Ft"));
    m_form->Edit4->setText("x");
    m_form->Edit4->end(false);
    QTest::keyClick(m_form->Edit4, Qt::Key_F);
    QCOMPARE(m_form->Edit4->text(), QStringLiteral("xf"));
}

void TestFieldSide::calendarPutsLongDate()
{
    m_form->mc1->setSelectedDate(QDate(2026, 12, 8));
    emit m_form->mc1->clicked(QDate(2026, 12, 8));
    // Hungarian whatever the system's locale is (the suites run under C.UTF-8).
    QCOMPARE(m_form->Edit4->text(), QStringLiteral("2026. december 8., kedd"));
    QVERIFY(!m_form->Edit4->text().contains(':'));
    QCOMPARE(grid()->cells(2, 1), QString());   // not stored until confirmed
}

void TestFieldSide::clearWithNoAndYes()
{
    grid()->setCells(2, 1, "a");
    grid()->setCells(2, 3, "c");
    grid()->setCells(2, 0, "fejléc");
    grid()->setCurrentCell(3, 0);
    answerNextBox(QMessageBox::No);
    m_form->delClick();
    QCOMPARE(grid()->cells(2, 1), QStringLiteral("a"));
    QCOMPARE(grid()->cells(2, 0), QStringLiteral("fejléc"));
    QCOMPARE(grid()->currentRow(), 3);

    answerNextBox(QMessageBox::Yes);
    m_form->delClick();
    QCOMPARE(grid()->cells(2, 0), fields::FieldDataFile::header());
    for (int r = 1; r < grid()->rowCount(); ++r)
        QCOMPARE(grid()->cells(2, r), QString());
    QCOMPARE(grid()->currentRow(), 1);
    QCOMPARE(m_form->Edit4->text(), QString());
    QCOMPARE(m_form->RxLabel3->text(), QStringLiteral("A"));
}

void TestFieldSide::loadFieldFilePlacesLines_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("values");
    QTest::newRow("crlf") << QByteArray("h\r\na\r\n\r\nc\r\n") << QStringList{"a", " ", "c"};
    QTest::newRow("lone lf") << QByteArray("h\na\n\nc\n") << QStringList{"a", " ", "c"};
    QTest::newRow("lone cr") << QByteArray("h\ra\r\rc\r") << QStringList{"a", " ", "c"};
    QTest::newRow("too short") << QByteArray("h\r\na\r\n") << QStringList{"a", "", ""};
    QTest::newRow("too long") << QByteArray("h\r\n1\r\n2\r\n3\r\n4\r\n5\r\n") << QStringList{"1", "2", "3"};
    QTest::newRow("windows-1250") << QByteArray("h\r\nF\xFBz\r\nKiss \xD5r\r\n\r\n")
                                  << QStringList{"Fűz", "Kiss Őr", " "};
}

void TestFieldSide::loadFieldFilePlacesLines()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, values);
    const QString path = m_dir->filePath("x.mza");
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    f.close();
    grid()->setCurrentCell(3, 0);
    m_form->LoadFieldFile(path);
    QCOMPARE(grid()->cells(2, 0), fields::FieldDataFile::header());
    for (int r = 1; r <= 3; ++r)
        QCOMPARE(grid()->cells(2, r), values[r - 1]);
    QCOMPARE(grid()->currentRow(), 1);
    QCOMPARE(m_form->Edit4->text(), values[0]);
    QVERIFY(m_form->Edit4->hasFocus());
}

void TestFieldSide::loadFailureLeavesGrid()
{
    grid()->setCells(2, 2, "marad");
    QVERIFY_THROWS_EXCEPTION(word::Error, m_form->LoadFieldFile(m_dir->filePath("nincs.mza")));
    QVERIFY_THROWS_EXCEPTION(word::Error, m_form->LoadFieldFile(m_dir->path()));
    QCOMPARE(grid()->cells(2, 2), QStringLiteral("marad"));
}

void TestFieldSide::commandLineLoadSetsRowCount()
{
    const QString path = m_dir->filePath("adat.mza");
    fields::FieldDataFile::write(path, {fields::FieldDataFile::header(), "1", "", "3", "4", "5"});
    m_form->LoadFieldFileFromCommandLine(path, path);
    QCOMPARE(grid()->rowCount(), 6);
    QCOMPARE(grid()->cells(2, 2), QStringLiteral(" "));
    QCOMPARE(grid()->cells(2, 5), QStringLiteral("5"));
    QCOMPARE(grid()->currentRow(), 1);
    QCOMPARE(m_form->SaveDialog2->selectedFiles().value(0), path);
}

// Chooses path in a file dialog as soon as it runs.
void chooseFile(QFileDialog* dlg, const QString& path)
{
    QTimer::singleShot(0, dlg, [dlg, path] {
        if (!dlg->isVisible()) {
            chooseFile(dlg, path);
            return;
        }
        dlg->selectFile(path);
        QMetaObject::invokeMethod(dlg, "accept");
    });
}

void TestFieldSide::saveAndLoadThroughDialogs()
{
    const QString path = m_dir->filePath("ugyfel.mza");
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("overwritten without a question");
    old.close();
    grid()->setCells(2, 1, "Győr");
    grid()->setCells(2, 2, QString());
    grid()->setCells(2, 3, "Fűz");
    chooseFile(m_form->SaveDialog2, path);
    m_form->save2Click();
    QFile saved(path);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(), QByteArray(" Mez\xF5 tartalma:\r\nGy\xF5r\r\n\r\nF\xFBz\r\n"));

    answerNextBox(QMessageBox::Yes);
    m_form->delClick();
    QCOMPARE(grid()->cells(2, 1), QString());
    m_form->SaveDialog2->selectFile(QString());
    chooseFile(m_form->OpenDialog2, path);
    m_form->load1Click();
    QCOMPARE(grid()->cells(2, 1), QStringLiteral("Győr"));
    QCOMPARE(grid()->cells(2, 2), QStringLiteral(" "));
    QCOMPARE(grid()->cells(2, 3), QStringLiteral("Fűz"));
    // The next save offers the file just loaded.
    QCOMPARE(m_form->SaveDialog2->selectedFiles().value(0), path);
}

void TestFieldSide::dataMenuAndFreeAreaClick()
{
    QTest::mouseClick(m_form->adat1, Qt::LeftButton);
    QTRY_VERIFY(m_form->PopupMenu2->isVisible());
    m_form->PopupMenu2->close();
    // A click beside the controls takes the focus away from the grid and the box.
    m_form->Edit4->setFocus();
    QTest::mouseClick(m_form->FieldSide, Qt::LeftButton, {}, QPoint(4, m_form->FieldSide->height() - 40));
    QTRY_VERIFY(m_form->ScrollBox1->hasFocus());
}

// The sample contract opened through the window and filled the ways a user
// fills it: typed into the entry box, typed into the grid, a date from the
// calendar and an amount from the currency helper. With QUILLORA_SCREENSHOT
// set, the window is saved there.
void TestFieldSide::fillSampleContract()
{
    const QString sab = QStringLiteral(QUILLORA_BIN_DIR "/sablonok/adasveteli.sab");
    if (!QFileInfo::exists(sab))
        QSKIP("the sample templates are not built");
    app::TForm2 form2(m_form.get());
    m_form->setForm2(&form2);
    m_form->resize(1280, 980);
    tpaletteopendialog* dlg = m_form->TemplateDialog;
    QTimer::singleShot(0, dlg, [dlg, sab] {
        for (int i = 0; i < dlg->lista1()->count(); ++i) {
            QListWidgetItem* item = dlg->lista1()->item(i);
            item->setCheckState(item->text() == QStringLiteral("Eladó") ? Qt::Checked : Qt::Unchecked);
        }
        dlg->fileDialog()->selectFile(sab);
        QMetaObject::invokeMethod(dlg->fileDialog(), "accept");
    });
    m_form->button1Click(m_form.get());
    QTRY_VERIFY(!form2.isVisible());
    QVERIFY(m_form->WordDoc);
    m_form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    m_form->Edit4->setFocus();
    QCOMPARE(grid()->cells(1, 1), QStringLiteral("Eladó_Cégnév"));

    // The seller typed into the entry box, each confirmed with Enter.
    const QStringList seller{"Dunakavics Ingatlanforgalmazó Kft.", "1135 Budapest, Szegedi út 37.",
                             "01-09-123456", "12345678-2-41", "Szőke Gábor", "ügyvezető"};
    for (const QString& value : seller) {
        m_form->Edit4->selectAll();
        typeText(m_form->Edit4, value);
        QTest::keyClick(m_form->Edit4, Qt::Key_Return);
    }
    QCOMPARE(grid()->currentRow(), 7);

    // The buyer's name typed into its value cell in the grid.
    const QRect cell = grid()->visualRect(grid()->model()->index(7, 2));
    QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, cell.center());
    QTRY_VERIFY(grid()->editorMode());   // a click on the selected row's value cell
    typeIntoCell(grid(), QStringLiteral("Kovács Ödön"));
    QLineEdit* editor = openEditor(grid());
    QVERIFY(editor);
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_VERIFY(!grid()->editorMode());

    // The price from the currency helper.
    grid()->setCurrentCell(rowOf(grid(), "Vételár"), 0);
    m_form->Edit4->setFocus();
    m_form->Edit4->setText(QStringLiteral("48500000"));
    QTest::keyClick(m_form->Edit4, Qt::Key_F, Qt::ControlModifier);
    const QString amount = m_form->Edit4->text();
    QCOMPARE(amount, QStringLiteral("48.500.000,-Ft"));
    QTest::keyClick(m_form->Edit4, Qt::Key_Return);

    // The date of signing from the calendar.
    grid()->setCurrentCell(rowOf(grid(), "KeltDátum"), 0);
    m_form->mc1->setSelectedDate(QDate(2026, 12, 8));
    emit m_form->mc1->clicked(QDate(2026, 12, 8));
    const QString date = m_form->Edit4->text();
    QTest::mouseClick(m_form->enter1, Qt::LeftButton);

    word::Document& doc = *m_form->WordDoc;
    const auto text = [&doc](const QString& name) { return doc.Bookmarks().Item(name).Range().Text(); };
    QCOMPARE(text("Eladó_Cégnév_1"), seller[0]);
    QCOMPARE(text("Eladó_Cégnév_2"), seller[0]);
    QCOMPARE(text("Eladó_Tisztség_1"), seller[5]);
    QCOMPARE(text("Vevő_Név_1"), QStringLiteral("Kovács Ödön"));
    QCOMPARE(text("Vevő_Név_2"), QStringLiteral("Kovács Ödön"));
    QCOMPARE(text("Vételár_1"), amount);
    QCOMPARE(text("KeltDátum_1"), date);
    QCOMPARE(grid()->cells(2, 7), QStringLiteral("Kovács Ödön"));

    const QString target = qEnvironmentVariable("QUILLORA_SCREENSHOT");
    if (!target.isEmpty()) {
        // The picture shows the first page, with the parties and the price.
        doc.Bookmarks().Item("Eladó_Cégnév_1").Select();
        QTest::qWait(200);
        QVERIFY(m_form->grab().save(target));
    }
}

QUILLORA_ISOLATED_TEST_MAIN(app::QuilloraApplication, TestFieldSide)

#include "tst_fieldside.moc"
