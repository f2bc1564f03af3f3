// The main window's handlers of field entry: moving through the field grid,
// confirming values into the document, the date and amount helpers, and the
// field data files. Each handler gathers what the window knows and hands it to
// the plain code of this folder.

#include "app/errorreport.h"
#include "app/appearance.h"
#include "app/messagebox.h"
#include "app/platform/datafolders.h"
#include "app/tform1.h"
#include "fields/cellstyle.h"
#include "fields/currencyformat.h"
#include "fields/dateformat.h"
#include "fields/fielddatafile.h"
#include "fields/fieldnavigation.h"
#include "fields/fieldwriter.h"
#include "fields/recoveryhooks.h"
#include "fields/writeprogress.h"
#include "widgets/autosizelabel.h"
#include "widgets/tmgrid.h"
#include "widgets/tprogresscylinder.h"
#include "widgets/tshapedbutton.h"
#include "widgets/tspeedbutton.h"
#include "word/document.h"
#include "word/error.h"

#include <QAction>
#include <QCalendarWidget>
#include <QCursor>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>

namespace app {

namespace {

// Runs a function for the events of one widget; the function tells whether
// the event is used up.
class EventHook : public QObject {
public:
    EventHook(QObject* watched, std::function<bool(QEvent*)> f) : QObject(watched), m_f(std::move(f))
    {
        watched->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* e) override { return m_f(e); }

private:
    std::function<bool(QEvent*)> m_f;
};

// The field side's bar shows a write's progress, and events get their round
// per occurrence. The document may be closed by what those events do (the
// user opens another file in the middle of a write); the write then stops
// instead of touching a document that is gone.
class BarProgress : public fields::WriteProgress {
public:
    BarProgress(widgets::TProgressCylinder* bar, word::Document* doc) : m_bar(bar), m_doc(doc) {}
    void setMaximum(int maximum) override { m_bar->setMaximum(maximum); }
    void setPosition(int position) override { m_bar->setPosition(position); }
    void setTextVisible(bool visible) override { m_bar->setShowText(visible); }
    void processEvents() override
    {
        QCoreApplication::processEvents();
        if (!m_doc)
            throw word::Error(QStringLiteral("A dokumentum bezárult a mező írása közben."));
    }

private:
    widgets::TProgressCylinder* m_bar;
    QPointer<word::Document> m_doc;
};

bool isEnter(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

QStringList valueColumn(const widgets::TMgrid& grid)
{
    QStringList column;
    for (int r = 0; r < grid.rowCount(); ++r)
        column.append(grid.cells(2, r));
    return column;
}

void setValueColumn(widgets::TMgrid& grid, const QStringList& column)
{
    for (int r = 0; r < grid.rowCount() && r < column.size(); ++r)
        grid.setCells(2, r, column[r]);
}

} // namespace

void TForm1::connectFieldHandlers()
{
    Mgrid1->setOnSelectCell([this](int col, int row, bool& can) { Mgrid1SelectCell(col, row, can); });
    Mgrid1->setOnSetting([this](int row, int col, int& fcolor, bool& bold, bool& italic, bool& underline) {
        Mgrid1Setting(row, col, fcolor, bold, italic, underline);
    });
    Mgrid1->setOnKeyDown([this](int& key, Qt::KeyboardModifiers shift) { Mgrid1KeyDown(key, shift); });
    connect(Mgrid1, &widgets::TMgrid::editModeChange, this, [this](bool on) { Mgrid1EditModeChange(on); });
    connect(Mgrid1, &widgets::TMgrid::mouseDown, this,
            [this](Qt::MouseButton b, Qt::KeyboardModifiers m, const QPoint& p) { Mgrid1MouseDown(b, m, p); });
    connect(Mgrid1, &widgets::TMgrid::mouseUp, this, [this] { Mgrid1MouseUp(); });
    connect(Mgrid1, &widgets::TMgrid::resized, this, [this] { Mgrid1Resize(); });
    connect(Mgrid1, &widgets::TMgrid::gridClick, this, [this] { Mgrid1Click(); });
    connect(Back, &QAbstractButton::clicked, this, [this] { BackClick(); });
    connect(Next, &QAbstractButton::clicked, this, [this] { NextClick(); });
    connect(enter1, &QAbstractButton::clicked, this, [this] { kitoltClick(); });
    connect(mc1, &QCalendarWidget::clicked, this, [this] { mc1DblClick(); });
    connect(BitBtn1, &QAbstractButton::clicked, this, [this] { BitBtn1Click(); });
    connect(adat1, &QAbstractButton::clicked, this, [this] { adat1Click(); });
    for (QAction* a : {Betlts1, Betlts2})
        connect(a, &QAction::triggered, this, [this] { load1Click(); });
    for (QAction* a : {Ments2, Ments3})
        connect(a, &QAction::triggered, this, [this] { save2Click(); });
    for (QAction* a : {Trls1, Trls2})
        connect(a, &QAction::triggered, this, [this] { delClick(); });
    new EventHook(Edit4, [this](QEvent* e) {
        if (e->type() == QEvent::KeyPress) {
            auto* k = static_cast<QKeyEvent*>(e);
            Edit4KeyDown(k->key(), k->modifiers());
        }
        return false;   // the key goes on to the box unchanged
    });
    new EventHook(FieldSide, [this](QEvent* e) {
        if (e->type() == QEvent::MouseButtonPress)
            ScrollBox1Click();
        return false;
    });
    // A field data file is overwritten without a question.
    SaveDialog2->setOption(QFileDialog::DontConfirmOverwrite);
    Mgrid1Resize();
}

// ---- Moving between fields ----

void TForm1::Mgrid1SelectCell(int, int row, bool&)
{
    Edit4->setText(Mgrid1->cells(2, row));
    RxLabel2->setText(Mgrid1->cells(0, row));
    RxLabel3->move(RxLabel2->x() + RxLabel2->width() + 4, RxLabel3->y());
    RxLabel3->setText(Mgrid1->cells(1, row));
}

void TForm1::Mgrid1Setting(int row, int col, int& fcolor, bool& bold, bool& italic, bool& underline)
{
    const fields::CellStyle s = fields::CellStyle::forCell(row, col, {QColor(), bold, italic, underline});
    fcolor = int(s.color.rgb() & 0xFFFFFF);
    bold = s.bold;
    italic = s.italic;
    underline = s.underline;
}

namespace {

// Back and Next: the grid takes the focus and moves to the row, unless it
// cannot take the focus (the field side hidden), in which case it keeps its
// row; the labels are repainted in every case.
void moveFieldRow(TForm1& f, int (*target)(int, int))
{
    f.Mgrid1->setFocus();
    if (f.Mgrid1->isVisible() && f.Mgrid1->isEnabled()) {
        const int row = target(f.Mgrid1->currentRow(), f.Mgrid1->rowCount());
        if (row != f.Mgrid1->currentRow())
            f.Mgrid1->setCurrentCell(row, std::max(0, f.Mgrid1->currentColumn()));
    }
    f.RxLabel2->repaint();
    f.RxLabel3->repaint();
}

// Loading and clearing end on the first field, with the focus in the grid.
void toFirstField(widgets::TMgrid& grid)
{
    grid.setFocus();
    if (grid.rowCount() > 1 && grid.currentRow() != 1)
        grid.setCurrentCell(1, std::max(0, grid.currentColumn()));
}

} // namespace

void TForm1::BackClick()
{
    moveFieldRow(*this, &fields::FieldNavigation::backRow);
}

void TForm1::NextClick()
{
    moveFieldRow(*this, &fields::FieldNavigation::nextRow);
}

void TForm1::Edit4KeyDown(int key, Qt::KeyboardModifiers shift)
{
    using Action = fields::FieldNavigation::EntryAction;
    switch (fields::FieldNavigation::entryAction(key, shift)) {
    case Action::Currency:
        BitBtn1Click();
        return;
    case Action::Back:
        BackClick();
        Edit4->setFocus();
        return;
    case Action::Next:
        NextClick();
        Edit4->setFocus();
        return;
    case Action::None:
        return;
    }
}

void TForm1::Mgrid1KeyDown(int& key, Qt::KeyboardModifiers)
{
    if (!Mgrid1->editorMode()) {
        key = fields::FieldNavigation::gridKey(key, false);
        return;
    }
    // Enter in the in-place editor closes it, and the close writes what was
    // typed into the cell. The key must end here: reaching the default button
    // would store the entry box's older text over the edited cell.
    if (isEnter(key))
        key = 0;
}

void TForm1::Mgrid1MouseDown(Qt::MouseButton, Qt::KeyboardModifiers, const QPoint& pos)
{
    const QPoint cell = Mgrid1->cellAt(pos);
    const bool valueCell = cell.x() == 2;
    Mgrid1->setRowSelect(!valueCell);
    Mgrid1->setEditing(valueCell);
    if (cell.x() >= 0 && Mgrid1->currentRow() >= 0 && cell.x() != Mgrid1->currentColumn())
        Mgrid1->setCurrentCell(Mgrid1->currentRow(), cell.x());
}

void TForm1::Mgrid1Click()
{
    // The focus leaves the grid for a moment, so an open in-place editor
    // closes and its value is written.
    Edit4->setFocus();
    Mgrid1->setFocus();
}

void TForm1::Mgrid1MouseUp()
{
    Mgrid1Resize();
}

void TForm1::Mgrid1Resize()
{
    Mgrid1->setColumnWidth(2, fields::FieldNavigation::valueColumnWidth(
                                  Mgrid1->width(), Mgrid1->columnWidth(0), Mgrid1->columnWidth(1)));
}

void TForm1::ScrollBox1Click()
{
    ScrollBox1->setFocus(Qt::MouseFocusReason);
}

// ---- Writing values ----

void TForm1::WriteFieldValue(const QString& field, const QString& value)
{
    if (!WordDoc)
        throw word::Error(QStringLiteral("Nincs megnyitott dokumentum."));
    // A row without a field name (the empty grid) has no bookmarks; "_1" and
    // its like would name hidden bookmarks of the document.
    if (field.isEmpty())
        return;
    BarProgress progress(pcyl1, WordDoc);
    fields::WriteFieldValue(*WordDoc, field, value, MaxOccurrence, progress);
}

void TForm1::kitoltClick()
{
    try {
        const int row = Mgrid1->currentRow();
        Mgrid1->setCells(2, row, Edit4->text());
        const QString value = Edit4->text();
        const QString field = Mgrid1->cells(1, row);
        NextClick();
        Edit4->setFocus();
        WriteFieldValue(field, value);
    } catch (const word::Error&) {
        // The value stays in the grid; the document is written on the next confirm.
    }
    recordRecovery(*this);
}

void TForm1::Mgrid1EditModeChange(bool emode)
{
    if (emode) {
        EditRow = Mgrid1->currentRow();
        return;
    }
    try {
        Edit4->setText(Mgrid1->cells(2, EditRow));
        const QString value = Mgrid1->cells(2, EditRow);
        const QString field = Mgrid1->cells(1, EditRow);
        Edit4->setText(Mgrid1->cells(2, Mgrid1->currentRow()));
        WriteFieldValue(field, value);
    } catch (const word::Error&) {
        // As with the entry box: the grid keeps the value.
    }
    recordRecovery(*this);
}

void TForm1::mc1DblClick()
{
    Edit4->setText(fields::DateFormat::longDate(mc1->selectedDate(), hungarianLocale()));
}

void TForm1::BitBtn1Click()
{
    // Amounts are typed in the user's own decimal notation.
    if (const std::optional<QString> amount = fields::CurrencyFormat::forint(Edit4->text(), QLocale::system()))
        Edit4->setText(*amount);
    Edit4->setFocus();
    Edit4->deselect();
}

// ---- Field data files ----

void TForm1::LoadFieldFile(const QString& path)
{
    const QStringList lines = fields::FieldDataFile::readLines(path);
    QStringList column = valueColumn(*Mgrid1);
    fields::FieldDataFile::place(column, lines);
    setValueColumn(*Mgrid1, column);
    recordRecovery(*this);
    toFirstField(*Mgrid1);
    Edit4->setText(Mgrid1->cells(2, 1));
    Edit4->setFocus();
}

void TForm1::save2Click()
{
    if (SaveDialog2->exec() != QDialog::Accepted || SaveDialog2->selectedFiles().isEmpty())
        return;
    const QString path = SaveDialog2->selectedFiles().constFirst();
    if (const QString refusal = DataFolders::current().fieldDataSaveRefusal(path); !refusal.isEmpty()) {
        reportError(refusal);
        return;
    }
    try {
        fields::FieldDataFile::write(path, valueColumn(*Mgrid1));
    } catch (const word::Error& e) {
        reportError(e.message());
    }
}

void TForm1::load1Click()
{
    if (OpenDialog2->exec() != QDialog::Accepted || OpenDialog2->selectedFiles().isEmpty())
        return;
    const QString path = OpenDialog2->selectedFiles().constFirst();
    try {
        LoadFieldFile(path);
    } catch (const word::Error& e) {
        reportError(e.message());
        return;
    }
    SaveDialog2->selectFile(path);
}

void TForm1::LoadFieldFileFromCommandLine(const QString& longPath, const QString& argument)
{
    try {
        const QStringList lines = fields::FieldDataFile::readLines(argument);
        // The grid keeps at least one field row, so that row 1 can be current.
        Mgrid1->setRowCount(std::max(2, int(lines.size())));
        OpenDialog2->selectFile(longPath);
        SaveDialog2->selectFile(longPath);
        LoadFieldFile(argument);
    } catch (const word::Error& e) {
        reportError(e.message());
    }
}

void TForm1::delClick()
{
    const MessageSpec ask{QStringLiteral("Biztos benne?"), QStringLiteral("Törlés megerősítése"),
                          QMessageBox::Question, QMessageBox::Yes | QMessageBox::No};
    if (showMessage(ask, this) != QMessageBox::Yes)
        return;
    QStringList column = valueColumn(*Mgrid1);
    fields::FieldDataFile::clear(column);
    setValueColumn(*Mgrid1, column);
    recordRecovery(*this);
    toFirstField(*Mgrid1);
    Edit4->setText(Mgrid1->cells(2, 1));
    RxLabel2->setText(Mgrid1->cells(0, 1));
    RxLabel3->move(RxLabel2->x() + RxLabel2->width() + 4, RxLabel3->y());
    RxLabel3->setText(Mgrid1->cells(1, 1));
    ScrollBox1->update();
}

void TForm1::adat1Click()
{
    PopupMenu2->popup(QCursor::pos());
}

} // namespace app
