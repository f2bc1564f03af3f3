// The view and editing commands driven through the real main window: zoom by
// spin button and menu at their limits, show all with its mark and button,
// the three layouts with the splitter and the tool bar's edge, bold and italic
// toggles, undo and the clipboard whichever control has the focus, keys that
// run nothing, the commands before the first load, the engine's failures in
// the page reaching the error report, and the engine's dialogs.

#include "app/isolatedmain.h"
#include "word/wordfixture.h"

#include "app/errorreport.h"
#include "app/quilloraapplication.h"
#include "app/tform1.h"
#include "app/tform2.h"
#include "commands/findreplacedialog.h"
#include "commands/spellhighlighter.h"
#include "commands/spellingdialog.h"
#include "templates/tpaletteopendialog.h"
#include "widgets/tcurrencyedit.h"
#include "widgets/tmgrid.h"
#include "widgets/tspeedbar.h"
#include "widgets/tspinbutton.h"
#include "word/document.h"
#include "word/view/documenthost.h"
#include "word/view/pagetextitem.h"
#include "word/view/pageview.h"

#include <QAction>
#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSplitter>
#include <QTabBar>
#include <QTextDocument>
#include <QTextLayout>
#include <QTimer>
#include <QToolButton>

using namespace wordtest;

namespace {

struct Window {
    app::TForm1 form;
    app::TForm2 progress { &form };
    Window() { form.setForm2(&progress); }
};

// Calls fn with the first visible top-level widget of type W, polling for a
// few seconds so that a modal window opened later in the same call is met.
template <typename W>
void whenShown(std::function<void(W*)> fn, int left = 300)
{
    QTimer::singleShot(10, [fn, left] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* target = qobject_cast<W*>(w); target && target->isVisible()) {
                fn(target);
                return;
            }
        }
        if (left > 0)
            whenShown<W>(fn, left - 1);
    });
}

void pressSpin(widgets::TSpinButton* spin, bool up)
{
    const QPoint at(spin->width() / 2, up ? spin->height() / 4 : spin->height() * 3 / 4);
    QTest::mousePress(spin, Qt::LeftButton, {}, at);
    QTest::mouseRelease(spin, Qt::LeftButton, {}, at);
}

const QString kBody = QStringLiteral("Adásvételi szerződés");

// The document-only width is the client width less the margin, as far as the
// splitter reaches: the field side keeps only what the margin leaves of it.
void checkDocumentOnly(app::TForm1& form, int margin)
{
    const int reach = form.RxSplitter1->width() - form.RxSplitter1->handleWidth();
    const int w = form.panel1Width();
    QVERIFY2(w == std::min(form.width() - margin, reach) && w > form.SplitWidth,
             qPrintable(QStringLiteral("%1 of %2, splitter %3").arg(w).arg(form.width()).arg(reach)));
}

// Where a tool bar control stands inside the tool bar as designed: along the
// bar, counted from where the first button's designed place (20) falls; across
// it, from the edge of the designed 36-pixel bar, which the zoom box's holder
// spans and the Qt bar centres within its own margins.
QPoint inDesign(app::TForm1& form, QWidget* w)
{
    const bool horizontal = form.SpeedBar1->orientation() == Qt::Horizontal;
    const QPoint first = form.SpeedItem6->mapTo(form.SpeedBar1, QPoint());
    const QPoint holder = form.ZoomBox->mapTo(form.SpeedBar1, QPoint());
    const QPoint origin = horizontal ? QPoint(first.x() - 20, holder.y()) : QPoint(holder.x(), first.y() - 20);
    return w->mapTo(form.SpeedBar1, QPoint()) - origin;
}

// The zoom controls overlap no button and stay inside the bar.
void checkZoomControlsClear(app::TForm1& form)
{
    const auto box = [&](QWidget* w) { return QRect(w->mapTo(form.SpeedBar1, QPoint()), w->size()); };
    for (QWidget* control : {static_cast<QWidget*>(form.Edit1), static_cast<QWidget*>(form.spb1)}) {
        QVERIFY(form.SpeedBar1->rect().contains(box(control)));
        for (QWidget* button : {form.SpeedItem1, form.SpeedItem4})
            QVERIFY2(!box(control).intersects(box(button)), qPrintable(control->objectName() + u' ' + button->objectName()));
    }
    QVERIFY(!box(form.Edit1).intersects(box(form.spb1)));
}

} // namespace

class TestCommandWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void missingDictionaryIsReported();
    void commandsBeforeTheFirstLoad();
    void zoomSpinAndMenu_data();
    void zoomSpinAndMenu();
    void zoomErrorsAreSwallowed();
    void showAllKeepsMarkAndButtonInStep();
    void layoutsCycle();
    void widerWindowGoesToFieldsOnly();
    void splitterDragIsKept();
    void edgeMarginFollowsTheToolBar();
    void boldAndItalicToggle_data();
    void boldAndItalicToggle();
    void copyWithFocusInEntryBox();
    void cutAndPasteActOnTheDocument();
    void undoWithNothingToUndoIsSilent();
    void cancelledPrintingIsSilent();
    void pasteWithEmptyClipboardIsSilent();
    void keysOutsideTheDocumentRunNothing_data();
    void keysOutsideTheDocumentRunNothing();
    void failureInThePageIsReported();
    void dialogsOpenAtTheirTabs();
    void spellingThroughTheWindow();
    void unknownWordsAreUnderlined();
    void screenshots();

private:
    void open(const QString& body);
    std::unique_ptr<Window> m_w;
    QStringList m_reports;
    QTemporaryDir m_dir;
    int m_serial = 0;
    app::TForm1& form() { return m_w->form; }
};

void TestCommandWindow::initTestCase()
{
    app::setErrorPresenter([this](const QString& text) { m_reports << text; });
}

void TestCommandWindow::init()
{
    m_reports.clear();
    m_w = std::make_unique<Window>();
    form().resize(1100, 760);
    form().show();
    form().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form()));
}

void TestCommandWindow::cleanup()
{
    while (QWidget* modal = QApplication::activeModalWidget())
        modal->close();
    m_w.reset();
}

void TestCommandWindow::open(const QString& body)
{
    const QString path = writeDocx(m_dir.path(), QStringLiteral("doc%1.docx").arg(++m_serial), body);
    form().TemplateDialog->setFileName(path);
    form().button1Click(form().ce1);
    QVERIFY(form().WordDoc);
    QTRY_VERIFY(!m_w->progress.isVisible());
    QTRY_VERIFY(form().Browser && form().Browser->pageView());
    form().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form()));
}

void TestCommandWindow::missingDictionaryIsReported()
{
    // First of all cases: the one checker of the process is not made yet.
    QTemporaryDir empty;
    qputenv("QUILLORA_HUNSPELL_DIR", QFile::encodeName(empty.path()));
    open(p(r(kBody)));
    form().Button5Click();
    qunsetenv("QUILLORA_HUNSPELL_DIR");
    QCOMPARE(m_reports.size(), 1);
    QVERIFY2(m_reports[0].contains(QStringLiteral("hunspell-hu")), qPrintable(m_reports[0]));
}

void TestCommandWindow::commandsBeforeTheFirstLoad()
{
    QVERIFY(!form().Word1->menuAction()->isEnabled());
    for (QWidget* w : QList<QWidget*>{form().SpeedItem2, form().SpeedItem3, form().SpeedItem4, form().SpeedItem8,
                                      form().SpeedItem9, form().SpeedItem10, form().SpeedItem11, form().SpeedItem12,
                                      form().SpeedItem13, form().Edit1, form().spb1})
        QVERIFY2(!w->isEnabled(), qPrintable(w->objectName()));
    QVERIFY(!form().Print->isEnabled());
    // Reached anyway, the guarded ones stay silent and the others say why.
    form().SpeedItem10Click();
    form().EditCopy1Execute();
    form().EditPaste1Execute();
    form().spb1TopClick();
    QCOMPARE(form().Edit1->text(), QStringLiteral("80"));
    QVERIFY(m_reports.isEmpty());
    const bool marked = form().Mindentmutat1->isChecked();
    form().SpeedItem4Click();
    form().SpeedItem8Click();
    form().Keress1Click();
    QCOMPARE(m_reports, QStringList(3, QStringLiteral("Nincs megnyitott dokumentum.")));
    QCOMPARE(form().Mindentmutat1->isChecked(), marked);
}

void TestCommandWindow::zoomSpinAndMenu_data()
{
    QTest::addColumn<QString>("start");   // a zoom menu item, or empty for the box's "70"
    QTest::addColumn<QString>("presses");  // u and d
    QTest::addColumn<int>("result");
    QTest::newRow("70, three up") << "" << "uuu" << 100;
    QTest::newRow("200 and up stays") << "N2001" << "u" << 200;
    QTest::newRow("50% then down") << "N501" << "d" << 40;
    QTest::newRow("40 and down stays") << "N501" << "dd" << 40;
    QTest::newRow("150% then up") << "N1501" << "u" << 160;
    QTest::newRow("80% untouched") << "N751" << "" << 80;
    QTest::newRow("100% untouched") << "N1001" << "" << 100;
}

void TestCommandWindow::zoomSpinAndMenu()
{
    QFETCH(QString, start);
    QFETCH(QString, presses);
    QFETCH(int, result);
    open(p(r(kBody)));
    QCOMPARE(form().Edit1->text(), QStringLiteral("70"));
    if (!start.isEmpty()) {
        auto* item = form().Nagyts1->findChild<QAction*>(start);
        QVERIFY(item);
        item->trigger();
        QVERIFY(!item->isChecked());
    }
    for (const QChar c : presses)
        pressSpin(form().spb1, c == u'u');
    QCOMPARE(form().Edit1->text(), QString::number(result));
    QCOMPARE(form().WordDoc->ActiveWindow().View().Zoom().Percentage(), result);
    QTRY_COMPARE(form().Browser->pageView()->zoomPercent(), result);
    QVERIFY(m_reports.isEmpty());
}

void TestCommandWindow::zoomErrorsAreSwallowed()
{
    open(p(r(kBody)));
    form().Edit1->setText(QStringLiteral("5"));   // below what the view takes
    QCOMPARE(form().Edit1->text(), QStringLiteral("5"));
    QCOMPARE(form().WordDoc->ActiveWindow().View().Zoom().Percentage(), 70);
    form().Edit1->setText(QStringLiteral("abc"));
    QCOMPARE(form().WordDoc->ActiveWindow().View().Zoom().Percentage(), 70);
    QVERIFY(m_reports.isEmpty());
    QVERIFY(!QApplication::activeModalWidget());
}

void TestCommandWindow::showAllKeepsMarkAndButtonInStep()
{
    open(p(r(kBody)));
    QTextDocument* text = form().WordDoc->textDocument();
    QVERIFY(!form().WordDoc->ActiveWindow().ActivePane().View().ShowAll());
    QTest::mouseClick(form().SpeedItem4, Qt::LeftButton);
    QVERIFY(form().WordDoc->ActiveWindow().ActivePane().View().ShowAll());
    QVERIFY(form().SpeedItem4->isChecked());
    QVERIFY(form().Mindentmutat1->isChecked());
    QVERIFY(text->defaultTextOption().flags().testFlag(QTextOption::ShowTabsAndSpaces));
    // The menu item, as the menu triggers it.
    form().Mindentmutat1->trigger();
    QVERIFY(!form().WordDoc->ActiveWindow().ActivePane().View().ShowAll());
    QVERIFY(!form().SpeedItem4->isChecked());
    QVERIFY(!form().Mindentmutat1->isChecked());
    QVERIFY(!text->defaultTextOption().flags().testFlag(QTextOption::ShowTabsAndSpaces));
    QTest::mouseClick(form().SpeedItem4, Qt::LeftButton);
    QVERIFY(form().Mindentmutat1->isChecked());
    QVERIFY(form().SpeedItem4->isChecked());
    QVERIFY(m_reports.isEmpty());
}

void TestCommandWindow::layoutsCycle()
{
    form().Osztott1->trigger();
    QCOMPARE(form().panel1Width(), form().SplitWidth);
    QCOMPARE(form().SplitWidth, 548);
    const int margin = form().edgeMargin();
    QCOMPARE(margin, 40);   // the tool bar stands at the right edge
    QTest::mouseClick(form().SpeedItem5, Qt::LeftButton);
    checkDocumentOnly(form(), margin);
    QTest::mouseClick(form().SpeedItem5, Qt::LeftButton);
    QCOMPARE(form().panel1Width(), 0);
    QTest::mouseClick(form().SpeedItem5, Qt::LeftButton);
    QCOMPARE(form().panel1Width(), 548);
    form().Bevitelimezk1->trigger();
    QCOMPARE(form().panel1Width(), 0);
    form().Dokumentum1->trigger();
    checkDocumentOnly(form(), margin);
}

void TestCommandWindow::widerWindowGoesToFieldsOnly()
{
    form().Dokumentum1->trigger();
    const int before = form().panel1Width();
    form().resize(form().width() + 150, form().height());
    QTRY_VERIFY(form().panel1Width() != before);
    QVERIFY(form().panel1Width() != form().SplitWidth);
    QTest::mouseClick(form().SpeedItem5, Qt::LeftButton);
    QCOMPARE(form().panel1Width(), 0);
}

void TestCommandWindow::splitterDragIsKept()
{
    form().Osztott1->trigger();
    QSplitterHandle* handle = form().RxSplitter1->handle(1);
    const QPoint from(handle->width() / 2, handle->height() / 2);
    const QPoint to = from - QPoint(120, 0);
    QTest::mousePress(handle, Qt::LeftButton, {}, from);
    QMouseEvent move(QEvent::MouseMove, QPointF(to), handle->mapToGlobal(QPointF(to)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(handle, &move);
    QTest::mouseRelease(handle, Qt::LeftButton, {}, to);
    const int dragged = form().panel1Width();
    QVERIFY2(std::abs(dragged - (548 + 120)) <= 2, qPrintable(QString::number(dragged)));
    QCOMPARE(form().SplitWidth, dragged);
    form().Dokumentum1->trigger();
    form().Osztott1->trigger();
    QCOMPARE(form().panel1Width(), dragged);
}

void TestCommandWindow::edgeMarginFollowsTheToolBar()
{
    // At the right edge, as the window starts.
    QCOMPARE(inDesign(form(), form().Edit1), QPoint(4, 150));
    QCOMPARE(inDesign(form(), form().spb1), QPoint(6, 172));
    checkZoomControlsClear(form());
    form().addToolBar(Qt::TopToolBarArea, form().SpeedBar1);
    QTRY_COMPARE(form().SpeedBar1->orientation(), Qt::Horizontal);
    QCOMPARE(form().edgeMargin(), 4);
    QTRY_COMPARE(inDesign(form(), form().Edit1), QPoint(143, 8));
    QCOMPARE(inDesign(form(), form().spb1), QPoint(172, 6));
    QVERIFY(form().Edit1->isVisible() && form().spb1->isVisible());
    checkZoomControlsClear(form());
    form().Dokumentum1->trigger();
    checkDocumentOnly(form(), 4);
    form().addToolBar(Qt::BottomToolBarArea, form().SpeedBar1);
    QTRY_COMPARE(form().toolBarArea(form().SpeedBar1), Qt::BottomToolBarArea);
    QTest::qWait(50);
    QCOMPARE(inDesign(form(), form().Edit1), QPoint(143, 8));
    form().addToolBar(Qt::LeftToolBarArea, form().SpeedBar1);
    QTRY_COMPARE(form().SpeedBar1->orientation(), Qt::Vertical);
    QCOMPARE(form().edgeMargin(), 40);
    QTRY_COMPARE(inDesign(form(), form().Edit1), QPoint(4, 150));
    QCOMPARE(inDesign(form(), form().spb1), QPoint(6, 172));
    QTest::qWait(50);
    form().Dokumentum1->trigger();
    checkDocumentOnly(form(), 40);
}

void TestCommandWindow::boldAndItalicToggle_data()
{
    QTest::addColumn<bool>("italic");
    QTest::addColumn<bool>("menu");
    QTest::newRow("bold button") << false << false;
    QTest::newRow("bold menu item") << false << true;
    QTest::newRow("italic button") << true << false;
    QTest::newRow("italic menu item") << true << true;
}

void TestCommandWindow::boldAndItalicToggle()
{
    QFETCH(bool, italic);
    QFETCH(bool, menu);
    open(p(r(QStringLiteral("kiemelt"), QStringLiteral("<w:b/><w:i/>")) + r(QStringLiteral(" sima szöveg"))));
    word::Selection& sel = form().WordDoc->ActiveWindow().Selection();
    const auto value = [&] { return italic ? sel.Font().Italic() : sel.Font().Bold(); };
    const auto toggle = [&] {
        if (menu)
            (italic ? form().Dlt1 : form().Flkvr1)->trigger();
        else
            QTest::mouseClick(italic ? form().SpeedItem9 : form().SpeedItem8, Qt::LeftButton);
    };
    sel.SetRange(0, 7);   // "kiemelt", set
    QCOMPARE(value(), -1);
    toggle();
    QCOMPARE(value(), 0);
    sel.SetRange(8, 12);   // "sima", not set
    toggle();
    QCOMPARE(value(), -1);
    toggle();
    QCOMPARE(value(), 0);
    QVERIFY(m_reports.isEmpty());
}

void TestCommandWindow::copyWithFocusInEntryBox()
{
    open(p(r(kBody)));
    form().WordDoc->ActiveWindow().Selection().SetRange(0, 10);
    form().Edit4->setText(QStringLiteral("a mező értéke"));
    form().Edit4->setFocus();
    form().Edit4->selectAll();
    QTRY_VERIFY(form().Edit4->hasFocus());
    QGuiApplication::clipboard()->clear();
    QTest::mouseClick(form().SpeedItem12, Qt::LeftButton);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("Adásvételi"));
    QVERIFY(form().Edit4->hasFocus());
    QCOMPARE(form().Edit4->text(), QStringLiteral("a mező értéke"));
    QGuiApplication::clipboard()->clear();
    form().Msols1->trigger();
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("Adásvételi"));
}

void TestCommandWindow::cutAndPasteActOnTheDocument()
{
    open(p(r(kBody)));
    form().Mgrid1->setFocus();
    word::Selection& sel = form().WordDoc->ActiveWindow().Selection();
    sel.SetRange(0, 11);   // "Adásvételi "
    QTest::mouseClick(form().SpeedItem11, Qt::LeftButton);
    QCOMPARE(form().WordDoc->Content().Text(), QStringLiteral("szerződés"));
    sel.SetRange(9, 9);
    QTest::mouseClick(form().SpeedItem13, Qt::LeftButton);
    QCOMPARE(form().WordDoc->Content().Text(), QStringLiteral("szerződésAdásvételi "));
    QVERIFY(m_reports.isEmpty());
}

// Ctrl+P shows the print dialog; cancelling it prints nothing and says nothing,
// and the document is as it was.
void TestCommandWindow::cancelledPrintingIsSilent()
{
    open(p(r(kBody)));
    QStringList seen;
    QTimer watcher;
    watcher.setInterval(20);
    connect(&watcher, &QTimer::timeout, [&] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            seen << modal->objectName();
            if (auto* dialog = qobject_cast<QDialog*>(modal))
                dialog->reject();
            else
                modal->close();
        }
    });
    watcher.start();
    QTest::keyClick(&form(), Qt::Key_P, Qt::ControlModifier);
    QTRY_VERIFY(!seen.isEmpty());
    watcher.stop();
    QCOMPARE(seen, QStringList{QStringLiteral("PrintDialog")});
    QVERIFY(m_reports.isEmpty());
    QVERIFY(!QApplication::activeModalWidget());
    QVERIFY(form().WordDoc->Saved());
    QCOMPARE(form().WordDoc->Content().Text(), kBody);
}

void TestCommandWindow::undoWithNothingToUndoIsSilent()
{
    open(p(r(kBody)));
    QTest::mouseClick(form().SpeedItem10, Qt::LeftButton);
    form().Visszavons1->trigger();
    QVERIFY(m_reports.isEmpty());
    QVERIFY(!QApplication::activeModalWidget());
    QCOMPARE(form().WordDoc->Content().Text(), kBody);
    // With something to undo, the last action goes.
    form().WordDoc->ActiveWindow().Selection().SetRange(0, 4);
    QTest::mouseClick(form().SpeedItem8, Qt::LeftButton);
    QCOMPARE(form().WordDoc->ActiveWindow().Selection().Font().Bold(), -1);
    QTest::mouseClick(form().SpeedItem10, Qt::LeftButton);
    QCOMPARE(form().WordDoc->Range(0, 4).Font().Bold(), 0);
}

void TestCommandWindow::pasteWithEmptyClipboardIsSilent()
{
    open(p(r(kBody)));
    QGuiApplication::clipboard()->clear();
    form().WordDoc->ActiveWindow().Selection().SetRange(3, 3);
    QTest::mouseClick(form().SpeedItem13, Qt::LeftButton);
    form().Beilleszts1->trigger();
    QVERIFY(m_reports.isEmpty());
    QVERIFY(!QApplication::activeModalWidget());
    QCOMPARE(form().WordDoc->Content().Text(), kBody);
}

void TestCommandWindow::keysOutsideTheDocumentRunNothing_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("inGrid");
    for (const auto& [name, key] : std::initializer_list<std::pair<const char*, int>>{
             {"Z", Qt::Key_Z}, {"X", Qt::Key_X}, {"C", Qt::Key_C}, {"V", Qt::Key_V}, {"D", Qt::Key_D}, {"I", Qt::Key_I}}) {
        QTest::newRow(qPrintable(QStringLiteral("Ctrl+%1 in the entry box").arg(QLatin1String(name)))) << key << false;
        QTest::newRow(qPrintable(QStringLiteral("Ctrl+%1 in the grid").arg(QLatin1String(name)))) << key << true;
    }
}

void TestCommandWindow::keysOutsideTheDocumentRunNothing()
{
    QFETCH(int, key);
    QFETCH(bool, inGrid);
    open(p(r(kBody)));
    word::Document* doc = form().WordDoc;
    doc->ActiveWindow().Selection().SetRange(0, 10);
    doc->setSaved(true);
    QWidget* target = inGrid ? static_cast<QWidget*>(form().Mgrid1) : form().Edit4;
    target->setFocus();
    QTRY_VERIFY(target->hasFocus());
    auto* marker = new QMimeData;
    marker->setText(QStringLiteral("jelölő"));
    QGuiApplication::clipboard()->setMimeData(marker);
    QSignalSpy prints(form().Print, &QAction::triggered);
    QTest::keyClick(target, Qt::Key(key), Qt::ControlModifier);
    QCOMPARE(doc->Content().Text(), kBody);
    QVERIFY(doc->Saved());
    QCOMPARE(doc->ActiveWindow().Selection().Font().Bold(), 0);
    QCOMPARE(doc->ActiveWindow().Selection().Font().Italic(), 0);
    QVERIFY(QGuiApplication::clipboard()->text() != QStringLiteral("Adásvételi"));
    QVERIFY(!form().findChild<commands::FindReplaceDialog*>());
    QCOMPARE(prints.count(), 0);
    QVERIFY(m_reports.isEmpty());

    // Ctrl+P is the one key bound: it runs print.
    QTimer::singleShot(200, [] {
        if (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
    });
    QTest::keyClick(target, Qt::Key_P, Qt::ControlModifier);
    QCOMPARE(prints.count(), 1);
}

void TestCommandWindow::failureInThePageIsReported()
{
    open(p(r(kBody)));
    word::view::PageTextItem* page = form().Browser->pageView()->textItem();
    form().WordDoc->ActiveWindow().Selection().SetRange(2, 2);
    page->showEngineSelection();
    page->copy();   // nothing selected
    QCOMPARE(m_reports, QStringList{"A másoláshoz nincs kijelölt szöveg."});
}

void TestCommandWindow::dialogsOpenAtTheirTabs()
{
    open(p(r(kBody)));
    form().WordDoc->ActiveWindow().Selection().SetRange(11, 20);
    const std::pair<QAction*, int> routes[] = {
        {form().Keress2, 0}, {form().Csere2, 1}, {form().Ugrs2, 2},
        {form().Keress1, 0}, {form().Csere1, 1}, {form().Ugrs1, 2}};
    for (const auto& [action, tab] : routes) {
        action->trigger();
        auto* dlg = form().findChild<commands::FindReplaceDialog*>();
        QVERIFY(dlg);
        QVERIFY(dlg->isVisible());
        QCOMPARE(int(dlg->tab()), tab);
        QCOMPARE(dlg->findEdit()->text(), QStringLiteral("szerződés"));
    }
    QCOMPARE(form().findChildren<commands::FindReplaceDialog*>().size(), 1);
    // Found text is selected in the page.
    auto* dlg = form().findChild<commands::FindReplaceDialog*>();
    dlg->setTab(commands::FindReplaceDialog::FindTab);
    dlg->findEdit()->setText(QStringLiteral("vételi"));
    form().WordDoc->ActiveWindow().Selection().SetRange(0, 0);
    dlg->findNext();
    const QTextCursor shown = form().Browser->pageView()->textItem()->textCursor();
    QCOMPARE(shown.selectionStart(), 4);
    QCOMPARE(shown.selectionEnd(), 10);
    QVERIFY(m_reports.isEmpty());
}

void TestCommandWindow::spellingThroughTheWindow()
{
    open(p(r(QStringLiteral("Egy kutyya ugat."))));
    QString title, word, notice, caption;
    whenShown<commands::SpellingDialog>([&](commands::SpellingDialog* d) {
        title = d->windowTitle();
        word = d->current() ? d->current()->word : QString();
        whenShown<QMessageBox>([&](QMessageBox* box) {
            notice = box->text();
            caption = box->windowTitle();
            box->accept();
        });
        d->buttonNamed(QStringLiteral("skip"))->click();
    });
    QTest::mouseClick(form().SpeedItem2, Qt::LeftButton);
    QCOMPARE(title, QStringLiteral("Helyesírás és nyelvhelyesség: magyar"));
    QCOMPARE(word, QStringLiteral("kutyya"));
    QCOMPARE(notice, QStringLiteral("A helyesírás-ellenőrzés befejeződött."));
    QCOMPARE(caption, QStringLiteral("Quillora"));
    QVERIFY(m_reports.isEmpty());
}

void TestCommandWindow::unknownWordsAreUnderlined()
{
    open(p(r(QStringLiteral("Ez egy kutyya."))) + p(r(QStringLiteral("Helyes mondat."))));
    commands::SpellHighlighter* h = nullptr;
    QTRY_VERIFY((h = commands::SpellHighlighter::of(form().WordDoc->textDocument())));
    QTRY_COMPARE(h->pendingParagraphs(), 0);
    QVERIFY(h->misspeltAt(9));
    QVERIFY(!h->misspeltAt(1));
    QVERIFY(form().WordDoc->Saved());
    const QString shots = qEnvironmentVariable("QUILLORA_SCREENSHOT_DIR");
    if (!shots.isEmpty())
        form().grab().save(QDir(shots).filePath(QStringLiteral("underline.png")));
}

// The pictures of the README, taken on a real display when asked for.
void TestCommandWindow::screenshots()
{
    const QString shots = qEnvironmentVariable("QUILLORA_SCREENSHOT_DIR");
    const QString sab = QStringLiteral(QUILLORA_BIN_DIR "/sablonok/adasveteli.sab");
    if (shots.isEmpty() || !QFileInfo::exists(sab))
        QSKIP("QUILLORA_SCREENSHOT_DIR is not set or the samples are not built");
    form().resize(1280, 980);
    form().move(0, 0);
    form().TemplateDialog->setFileName(sab);
    form().button1Click(form().ce1);
    QVERIFY(form().WordDoc);
    QTRY_VERIFY(!m_w->progress.isVisible());
    QTRY_VERIFY(form().Browser && form().Browser->pageView());
    word::Selection& sel = form().WordDoc->ActiveWindow().Selection();
    sel.SetRange(0, 0);
    form().Keress1Click();
    auto* dlg = form().findChild<commands::FindReplaceDialog*>();
    QVERIFY(dlg);
    dlg->findEdit()->setText(QStringLiteral("vételár"));
    dlg->findNext();
    dlg->move(form().x() + 560, form().y() + 600);
    QTest::qWait(800);
    QGuiApplication::primaryScreen()->grabWindow(0).save(QDir(shots).filePath(QStringLiteral("screenshot-find.png")));
    dlg->close();

    // A misspelt word at the start of the contract, then the check.
    sel.SetRange(0, 0);
    sel.TypeText(QStringLiteral("A szerzödés "));
    sel.SetRange(0, 0);
    whenShown<commands::SpellingDialog>([shots](commands::SpellingDialog* d) {
        d->move(380, 300);
        QTimer::singleShot(800, d, [d, shots] {
            QGuiApplication::primaryScreen()->grabWindow(0).save(
                QDir(shots).filePath(QStringLiteral("screenshot-spelling.png")));
            d->buttonNamed(QStringLiteral("close"))->click();
        });
    });
    form().Button5Click();
    QVERIFY(QFileInfo::exists(QDir(shots).filePath(QStringLiteral("screenshot-spelling.png"))));
}

QUILLORA_ISOLATED_TEST_MAIN(app::QuilloraApplication, TestCommandWindow)
#include "tst_commandwindow.moc"
