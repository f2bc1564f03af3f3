// The main window's handlers of template opening: the open operation, the
// host's document-complete notification, party block assembly and field
// discovery. The work itself is done by the plain functions of src/templates.

#include "app/tform1.h"
#include "app/tform2.h"
#include "app/messagebox.h"
#include "templates/clipboardkeeper.h"
#include "templates/fielddiscovery.h"
#include "templates/openpath.h"
#include "templates/partyblockassembly.h"
#include "templates/tpaletteopendialog.h"
#include "widgets/tanalogclock.h"
#include "widgets/tcurrencyedit.h"
#include "widgets/tmgrid.h"
#include "widgets/tprogresscylinder.h"
#include "widgets/tspinbutton.h"
#include "word/application.h"
#include "word/document.h"
#include "widgets/autosizelabel.h"
#include "word/error.h"
#include "word/legacy/legacyimport.h"
#include "word/view/documenthost.h"

#include <QAction>
#include <QClipboard>
#include <QCoreApplication>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QScrollArea>
#include <QThread>
#include <QToolButton>

namespace app {

namespace {

// The pauses of loading: the progress window gets time to show each step.
constexpr int StepPauseMs = 150;

void pause(int ms)
{
    QThread::msleep(ms);
}

// The caption as set at creation, without the name of a file opened since.
QString baseCaption(const QString& caption)
{
    return caption.section(QStringLiteral(" - "), 0, 0);
}

} // namespace

void TForm1::connectTemplateHandlers()
{
    TemplateDialog = new tpaletteopendialog(globlist, [this] { return DocumentsPath; }, this);
    QObject::connect(Open, &QAction::triggered, this, [this] { button1Click(this); });
}

namespace {

// Step 1: with unsaved changes the user may save first, which ends the open.
bool mayDiscardChanges(TForm1& form)
{
    if (!form.WordDoc || form.WordDoc->Saved())
        return true;
    const MessageSpec ask {
        QStringLiteral("Változtatásokat végzett a jelenlegi fájlon.\rÚj fájl megnyitásakor a "
                       "változtatások elvesznek.\r\rAkarja előbb menteni a jelenlegi fájlt ?"),
        QStringLiteral("Quillora"), QMessageBox::Question, QMessageBox::Yes | QMessageBox::No };
    if (showMessage(ask, &form) != QMessageBox::Yes)
        return true;
    form.Button4Click(&form);
    return false;
}

void showProgress(TForm2& progress)
{
    progress.pcyl2->setPosition(0);
    progress.centreOnOwner();
    progress.show();
    progress.repaint();
}

// Steps 7 to 9: the old document and its host go, a new host takes its place.
void replaceHost(TForm1& form)
{
    form.WordApp = nullptr;
    form.WordDoc = nullptr;
    delete form.Browser.data();

    form.Form2->pcyl2->setPosition(1);
    QCoreApplication::processEvents();
    pause(StepPauseMs);

    form.Form2->pcyl2->setPosition(2);
    if (!form.Engine)
        form.Engine = std::make_shared<word::Application>();
    form.Browser = new word::view::DocumentHost(form.Engine.get(), form.Panel1);
    form.Panel1->layout()->addWidget(form.Browser);
    QObject::connect(form.Browser, &word::view::DocumentHost::documentComplete, &form,
                     [&form] { form.BrowserDocumentComplete(); });
    pause(StepPauseMs);
}

// Step 13: the clock gives way to the document, the engine's own view
// settings are kept for the closing, and the document commands come on.
void firstOpenWork(TForm1& form)
{
    if (form.RxClock1) {
        form.RxClock1->setParent(nullptr);
        delete form.RxClock1;
        form.RxClock1 = nullptr;
    }
    form.SavedDisplayRulers = form.WordDoc->ActiveWindow().DisplayRulers();
    form.SavedDisplayScrollBars = form.WordApp->DisplayScrollBars();
    const QList<QWidget*> documentControls { form.spb1, form.Edit1, form.SpeedItem2, form.SpeedItem3,
                                             form.SpeedItem4, form.SpeedItem8, form.SpeedItem9,
                                             form.SpeedItem10, form.SpeedItem11, form.SpeedItem12,
                                             form.SpeedItem13 };
    for (QWidget* w : documentControls)
        w->setEnabled(true);
    form.Word1->setEnabled(true);
    form.Word1->menuAction()->setEnabled(true);
    form.Save->setEnabled(true);
    form.Print->setEnabled(true);
}

// Step 14, on every load.
void applyViewSettings(TForm1& form)
{
    word::Window& window = form.WordDoc->ActiveWindow();
    form.SpeedItem4->setChecked(window.ActivePane().View().ShowAll());
    form.Mindentmutat1->setChecked(form.SpeedItem4->isChecked());
    window.setDisplayRulers(false);
    form.WordApp->setDisplayScrollBars(true);
    window.View().Zoom().setPercentage(form.Edit1->text().toInt());
    form.WordDoc->Subdocuments().setExpanded(true);
}

} // namespace

void TForm1::button1Click(QObject* sender)
{
    if (!mayDiscardChanges(*this))
        return;
    if (sender != ce1 && !TemplateDialog->Execute())
        return;
    const QString previousPath = OpenPath;
    OpenPath = templates::openPathFor(TemplateDialog->FileName(), TemplateDialog->SellerCount(),
                                      TemplateDialog->BuyerCount());
    showProgress(*Form2);
    const bool firstOpen = !WordDoc && !WordApp;
    Form2->setWindowFlag(Qt::WindowStaysOnTopHint, true);
    Form2->show();
    // A legacy file is converted while the old document still stands, so that
    // "Mégse" on the progress window leaves everything as it was.
    try {
        word::legacy::convertAhead(OpenPath);
    } catch (const word::legacy::Cancelled&) {
        OpenPath = previousPath;
        Form2->close();
        return;
    }
    replaceHost(*this);

    Form2->pcyl2->setPosition(3);
    Browser->Navigate(OpenPath);
    QThread::yieldCurrentThread();
    WordDoc = Browser->Document();
    if (!WordDoc) {
        // The engine's reason on a line of its own tells a damaged file from a missing converter.
        const QString reason = Browser->errorMessage();
        showMessage({ QStringLiteral("A megnyitás sikertelen !\r") + OpenPath
                          + (reason.isEmpty() ? QString() : QStringLiteral("\r") + reason),
                      QStringLiteral("Hiba"),
                      QMessageBox::Critical, QMessageBox::Ok }, this);
        Form2->close();
        return;
    }
    WordApp = WordDoc->Application();
    Browser->show();
    setWindowTitle(baseCaption(windowTitle()) + QStringLiteral(" - ")
                   + templates::fileNamePart(TemplateDialog->FileName()));
    if (firstOpen)
        firstOpenWork(*this);
    applyViewSettings(*this);
    // "Infó" keeps its place at the right end of the menu bar by itself.
    menuBar()->update();

    // The user's clipboard comes back even when discovery ends the operation
    // with an error: the assembly has overwritten it with template blocks.
    struct GiveBack {
        templates::ClipboardKeeper keeper { QGuiApplication::clipboard() };
        ~GiveBack() { keeper.giveBack(); }
    } clipboard;
    clipboard.keeper.setAside();
    Form2->pcyl2->setPosition(4);
    AssemblePartyBlocks();
    Form2->pcyl2->setPosition(5);
    Button3Click();
    Form2->pcyl2->setPosition(6);
    WordDoc->UndoClear();
    WordDoc->setSaved(true);
}

void TForm1::BrowserDocumentComplete()
{
    // The host shows no tool bars of its own (toolBarsHidden() is always
    // true), so there is nothing to hide there; the engine's review bar goes.
    try {
        if (WordDoc)
            WordDoc->CommandBars()(QStringLiteral("Reviewing")).setVisible(false);
    } catch (const word::Error&) {
        // The host's bars are a matter of looks; loading goes on without them.
    }
    Form2->pcyl2->setPosition(7);
    Form2->close();
    Edit4->setFocus();
}

void TForm1::AssemblePartyBlocks()
{
    templates::AssemblePartyBlocks(*WordDoc, templates::entriesOf(*globlist));
}

void TForm1::Button3Click()
{
    MaxOccurrence = 1;
    const bool reopened = !templates::isTemplateFile(TemplateDialog->FileName());
    const templates::FieldDiscovery found = templates::DiscoverFields(*WordDoc, reopened);
    MaxOccurrence = found.maxOccurrence;
    templates::FillFieldGrid(*Mgrid1, found);
    if (found.fields.isEmpty()) {
        Edit4->clear();
        RxLabel2->clear();
        RxLabel3->clear();
        RxLabel4->clear();
        return;
    }
    Mgrid1->setFocus();
    Mgrid1->setCurrentCell(1, std::max(Mgrid1->currentColumn(), 0));
    Edit4->setText(Mgrid1->cells(2, 1));
    RxLabel2->setText(Mgrid1->cells(0, 1));
    RxLabel3->move(RxLabel2->x() + RxLabel2->width() + 4, RxLabel3->y());
    RxLabel3->setText(Mgrid1->cells(1, 1));
    RxLabel4->setText(QString::number(found.fields.size()) + QStringLiteral(" mező"));
    ScrollBox1->update();
}

} // namespace app
