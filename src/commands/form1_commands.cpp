// The main window's view and editing commands: zoom, show all, the three
// layouts, bold, italic, undo, the clipboard, find, replace, go to and the
// spelling check. Each handler is thin; the arithmetic and the document work
// live in the plain classes beside this file.
#include "app/errorreport.h"
#include "app/tform1.h"
#include "commands/findreplacedialog.h"
#include "commands/speller.h"
#include "commands/spellcontextmenu.h"
#include "commands/spellhighlighter.h"
#include "commands/spellingdialog.h"
#include "commands/viewcommands.h"
#include "widgets/tspeedbar.h"
#include "widgets/tspinbutton.h"
#include "word/application.h"
#include "word/document.h"
#include "word/error.h"
#include "word/view/documenthost.h"
#include "word/view/pagetextitem.h"
#include "word/view/pageview.h"

#include <QAction>
#include <QChildEvent>
#include <QLineEdit>
#include <QMenu>
#include <QSplitter>
#include <QTimer>
#include <QToolButton>

namespace app {

namespace {

// Unguarded commands: a failing call ends the handler and reaches the
// central error report.
template <typename Fn>
void unguarded(Fn&& fn)
{
    try {
        fn();
    } catch (const word::Error& e) {
        reportError(e.message());
    }
}

// Guarded commands: a failing call is swallowed.
template <typename Fn>
void guarded(Fn&& fn)
{
    try {
        fn();
    } catch (const word::Error&) {
        // The user sees nothing, as the command promises.
    }
}

word::Document& loaded(word::Document* doc)
{
    if (!doc)
        throw word::Error(QStringLiteral("Nincs megnyitott dokumentum."));
    return *doc;
}

// The spelling underline and the page's suggestions need the dictionary;
// without it the page simply shows no underline (the spelling command says why).
void attachSpelling(word::view::DocumentHost* host)
{
    word::Document* doc = host->Document();
    if (!doc || !host->pageView())
        return;
    try {
        commands::Speller& speller = commands::Speller::shared();
        commands::SpellHighlighter::attach(doc->textDocument(), speller);
        commands::SpellContextMenu::attach(host->pageView(), doc, speller);
    } catch (const word::Error&) {
    }
}

// Each load puts a new document host into Panel1. The watcher meets it there
// and ties its failures to the central error report and its page to the
// spelling underline, once the host is fully made.
class HostWatcher : public QObject {
public:
    explicit HostWatcher(QWidget* panel) : QObject(panel) { panel->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::ChildAdded) {
            QPointer<QObject> child = static_cast<QChildEvent*>(event)->child();
            QTimer::singleShot(0, this, [child] {
                if (auto* host = qobject_cast<word::view::DocumentHost*>(child.data()))
                    adopt(host);
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    static void adopt(word::view::DocumentHost* host)
    {
        if (host->property("commandsWired").toBool())
            return;
        host->setProperty("commandsWired", true);
        QObject::connect(host, &word::view::DocumentHost::engineFailed, host,
                         [](const QString& message) { reportError(message); });
        QObject::connect(host, &word::view::DocumentHost::documentComplete, host,
                         [host] { attachSpelling(host); });
        if (host->pageView())
            attachSpelling(host);
    }
};

// A checkable button or item has toggled itself before its click arrives;
// the command toggles the mark itself, so the click's own toggle is undone first.
void clickWithoutOwnToggle(QToolButton* button, QAction* action)
{
    QObject::disconnect(button, &QToolButton::clicked, action, nullptr);
    QObject::connect(button, &QToolButton::clicked, action, [button, action](bool checked) {
        button->setChecked(!checked);
        action->trigger();
    });
}

void triggerWithoutOwnToggle(QAction* item, QAction* action)
{
    QObject::disconnect(item, &QAction::triggered, action, nullptr);
    QObject::connect(item, &QAction::triggered, action, [item, action](bool checked) {
        if (item->isCheckable())
            item->setChecked(!checked);
        action->trigger();
    });
}

commands::FindReplaceDialog* findDialog(TForm1* form)
{
    auto* dlg = form->findChild<commands::FindReplaceDialog*>(QStringLiteral("FindReplaceDialog"),
                                                              Qt::FindDirectChildrenOnly);
    if (dlg)
        return dlg;
    dlg = new commands::FindReplaceDialog(form);
    // Pages are where the page view shows them, in the text's own coordinates.
    QPointer<TForm1> window(form);
    dlg->setPageRects([window] {
        QList<QRectF> rects;
        word::view::PageView* view = window && window->Browser ? window->Browser->pageView() : nullptr;
        if (!view || !view->textItem())
            return rects;
        for (int i = 0; i < view->pageCount(); ++i)
            rects << view->textItem()->mapFromScene(view->pageRect(i)).boundingRect();
        return rects;
    });
    return dlg;
}

// The engine's built-in dialogs, as this window shows them.
void installDialogs(TForm1* form, word::Application* app)
{
    if (!app || app->dialogProvider())
        return;
    QPointer<TForm1> window(form);
    app->setDialogProvider([window](word::Document* doc, int id) -> int {
        if (!window)
            throw word::Error(QStringLiteral("A párbeszédablak nem jeleníthető meg: a főablak már bezárult."));
        switch (id) {
        case 112: findDialog(window)->showFor(doc, commands::FindReplaceDialog::FindTab); return -1;
        case 117: findDialog(window)->showFor(doc, commands::FindReplaceDialog::ReplaceTab); return -1;
        case 896: findDialog(window)->showFor(doc, commands::FindReplaceDialog::GoToTab); return -1;
        case word::kSpellingDialogId: {
            commands::Speller& speller = commands::Speller::shared();
            commands::SpellingDialog dialog(*doc, speller, window);
            dialog.run();
            if (auto* h = commands::SpellHighlighter::of(doc->textDocument()))
                h->recheckAll();
            return 0;
        }
        default:
            throw word::Error(QStringLiteral("A(z) %1 azonosítójú beépített párbeszédablak nem érhető el.").arg(id));
        }
    });
}

} // namespace

void TForm1::connectCommandHandlers()
{
    new HostWatcher(Panel1);
    connect(Edit1, &QLineEdit::textChanged, this, [this] { spe1Change(); });
    connect(spb1, &widgets::TSpinButton::topClick, this, [this] { spb1TopClick(); });
    connect(spb1, &widgets::TSpinButton::bottomClick, this, [this] { spb1BottomClick(); });
    connect(N2001, &QAction::triggered, this, [this] { N2001Click(); });
    connect(N1501, &QAction::triggered, this, [this] { N1501Click(); });
    connect(N1001, &QAction::triggered, this, [this] { N1001Click(); });
    connect(N751, &QAction::triggered, this, [this] { N751Click(); });
    connect(N501, &QAction::triggered, this, [this] { N501Click(); });
    // The zoom items share a group but none of them carries a check mark.
    for (QAction* a : {N2001, N1501, N1001, N751, N501})
        a->setCheckable(false);
    clickWithoutOwnToggle(SpeedItem4, Showall);
    triggerWithoutOwnToggle(Mindentmutat1, Showall);
    connect(Showall, &QAction::triggered, this, [this] { SpeedItem4Click(); });
    connect(SpeedItem5, &QToolButton::clicked, this, [this] { SpeedItem5Click(); });
    connect(Dokumentum1, &QAction::triggered, this, [this] { Dokumentum1Click(); });
    connect(Bevitelimezk1, &QAction::triggered, this, [this] { Bevitelimezk1Click(); });
    connect(Osztott1, &QAction::triggered, this, [this] { Osztott1Click(); });
    connect(RxSplitter1, &QSplitter::splitterMoved, this, [this] { RxSplitter1PosChanged(); });
    connect(SpeedBar1, &QToolBar::orientationChanged, this, [this] { SpeedBar1PosChanged(); });
    SpeedBar1PosChanged();

    connect(Grammar, &QAction::triggered, this, [this] { Button5Click(); });
    connect(Seek, &QAction::triggered, this, [this] { Keress1Click(); });
    connect(Replace, &QAction::triggered, this, [this] { Csere1Click(); });
    connect(Go_to, &QAction::triggered, this, [this] { Ugrs1Click(); });
    connect(Keress1, &QAction::triggered, this, [this] { Keress1Click(); });
    connect(Csere1, &QAction::triggered, this, [this] { Csere1Click(); });
    connect(Ugrs1, &QAction::triggered, this, [this] { Ugrs1Click(); });
    connect(SpeedItem8, &QToolButton::clicked, this, [this] { SpeedItem8Click(); });
    connect(Flkvr1, &QAction::triggered, this, [this] { SpeedItem8Click(); });
    connect(SpeedItem9, &QToolButton::clicked, this, [this] { SpeedItem9Click(); });
    connect(Dlt1, &QAction::triggered, this, [this] { SpeedItem9Click(); });
    connect(EditUndo1, &QAction::triggered, this, [this] { SpeedItem10Click(); });
    connect(SpeedItem10, &QToolButton::clicked, this, [this] { SpeedItem10Click(); });
    connect(EditCut1, &QAction::triggered, this, [this] { EditCut1Execute(); });
    connect(EditCopy1, &QAction::triggered, this, [this] { EditCopy1Execute(); });
    connect(EditPaste1, &QAction::triggered, this, [this] { EditPaste1Execute(); });
}

// ---- Zoom ----

void TForm1::spe1Change()
{
    guarded([this] {
        bool ok = false;
        const int n = Edit1->text().toInt(&ok);
        if (ok)
            loaded(WordDoc).ActiveWindow().View().Zoom().setPercentage(n);
    });
}

void TForm1::spb1TopClick() { Edit1->setText(QString::number(commands::zoomUp(Edit1->text().toInt()))); }

void TForm1::spb1BottomClick() { Edit1->setText(QString::number(commands::zoomDown(Edit1->text().toInt()))); }

void TForm1::N2001Click() { Edit1->setText(commands::zoomMenuValue(QStringLiteral("N2001"))); }
void TForm1::N1501Click() { Edit1->setText(commands::zoomMenuValue(QStringLiteral("N1501"))); }
void TForm1::N1001Click() { Edit1->setText(commands::zoomMenuValue(QStringLiteral("N1001"))); }
void TForm1::N751Click() { Edit1->setText(commands::zoomMenuValue(QStringLiteral("N751"))); }
void TForm1::N501Click() { Edit1->setText(commands::zoomMenuValue(QStringLiteral("N501"))); }

// ---- Show all and layouts ----

void TForm1::SpeedItem4Click()
{
    unguarded([this] {
        word::View& view = loaded(WordDoc).ActiveWindow().ActivePane().View();
        const bool on = view.ShowAll();
        view.setShowAll(!on);
        Mindentmutat1->setCheckable(true);
        Mindentmutat1->setChecked(!Mindentmutat1->isChecked());
        SpeedItem4->setChecked(Mindentmutat1->isChecked());
    });
}

int TForm1::edgeMargin() const
{
    const Qt::ToolBarArea area = toolBarArea(SpeedBar1);
    return commands::edgeMargin(area == Qt::TopToolBarArea || area == Qt::BottomToolBarArea);
}

void TForm1::Dokumentum1Click() { setPanel1Width(width() - edgeMargin()); }

void TForm1::Bevitelimezk1Click() { setPanel1Width(0); }

void TForm1::Osztott1Click() { setPanel1Width(SplitWidth); }

void TForm1::SpeedItem5Click()
{
    setPanel1Width(commands::nextLayoutWidth(panel1Width(), SplitWidth, width(), edgeMargin()));
}

void TForm1::RxSplitter1PosChanged() { SplitWidth = panel1Width(); }

void TForm1::SpeedBar1PosChanged()
{
    const bool horizontal = SpeedBar1->orientation() == Qt::Horizontal;
    ZoomBox->setFixedSize(horizontal ? QSize(commands::kZoomBoxLength, commands::kZoomBoxThickness)
                                     : QSize(commands::kZoomBoxThickness, commands::kZoomBoxLength));
    // The positions are the bar's; the holder starts kZoomBoxStart along it.
    const QPoint holder = horizontal ? QPoint(commands::kZoomBoxStart, 0) : QPoint(0, commands::kZoomBoxStart);
    const commands::ZoomBoxPlacement at = commands::zoomBoxPlacement(horizontal);
    Edit1->move(at.edit - holder);
    spb1->move(at.spin - holder);
}

// ---- Editing ----

void TForm1::SpeedItem8Click()
{
    unguarded([this] {
        const int v = loaded(WordDoc).ActiveWindow().Selection().Font().Bold();
        loaded(WordDoc).ActiveWindow().Selection().Font().setBold(commands::complement(v));
    });
}

void TForm1::SpeedItem9Click()
{
    unguarded([this] {
        const int v = loaded(WordDoc).ActiveWindow().Selection().Font().Italic();
        loaded(WordDoc).ActiveWindow().Selection().Font().setItalic(commands::complement(v));
    });
}

void TForm1::SpeedItem10Click()
{
    guarded([this] { loaded(WordDoc).Undo(); });
}

void TForm1::EditCut1Execute()
{
    guarded([this] { loaded(WordDoc).ActiveWindow().Selection().Cut(); });
}

void TForm1::EditCopy1Execute()
{
    guarded([this] { loaded(WordDoc).ActiveWindow().Selection().Copy(); });
}

void TForm1::EditPaste1Execute()
{
    guarded([this] { loaded(WordDoc).ActiveWindow().Selection().Paste(); });
}

// ---- The engine's dialogs ----

void TForm1::Keress1Click()
{
    unguarded([this] {
        word::Application* app = WordApp ? WordApp : loaded(WordDoc).Application();
        installDialogs(this, app);
        app->Dialogs().Item(112).Show();
    });
}

void TForm1::Csere1Click()
{
    unguarded([this] {
        word::Application* app = WordApp ? WordApp : loaded(WordDoc).Application();
        installDialogs(this, app);
        app->Dialogs().Item(117).Show();
    });
}

void TForm1::Ugrs1Click()
{
    unguarded([this] {
        word::Application* app = WordApp ? WordApp : loaded(WordDoc).Application();
        installDialogs(this, app);
        app->Dialogs().Item(896).Show();
    });
}

void TForm1::Button5Click()
{
    unguarded([this] {
        installDialogs(this, loaded(WordDoc).Application());
        WordDoc->CheckGrammar();
    });
}

} // namespace app
