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
#include "word/error.h"
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

void TForm1::button1Click(QObject* sender)
{
    if (WordDoc && !WordDoc->Saved()) {
        const MessageSpec ask {
            QStringLiteral("Változtatásokat végzett a jelenlegi fájlon.\rÚj fájl megnyitásakor a "
                           "változtatások elvesznek.\r\rAkarja előbb menteni a jelenlegi fájlt ?"),
            QStringLiteral("Quillora"), QMessageBox::Question, QMessageBox::Yes | QMessageBox::No };
        if (showMessage(ask, this) == QMessageBox::Yes) {
            Button4Click(this);
            return;
        }
    }
    if (sender != ce1 && !TemplateDialog->Execute())
        return;
    OpenPath = templates::openPathFor(TemplateDialog->FileName(), TemplateDialog->SellerCount(),
                                      TemplateDialog->BuyerCount());

    widgets::TProgressCylinder* bar = Form2->pcyl2;
    bar->setPosition(0);
    Form2->centreOnOwner();
    Form2->show();
    Form2->repaint();
    const bool firstOpen = !WordDoc && !WordApp;
    Form2->setWindowFlag(Qt::WindowStaysOnTopHint, true);
    Form2->show();

    WordApp = nullptr;
    WordDoc = nullptr;
    delete Browser.data();

    bar->setPosition(1);
    QCoreApplication::processEvents();
    pause(StepPauseMs);

    bar->setPosition(2);
    if (!Engine)
        Engine = std::make_shared<word::Application>();
    Browser = new word::view::DocumentHost(Engine.get(), Panel1);
    Panel1->layout()->addWidget(Browser);
    QObject::connect(Browser, &word::view::DocumentHost::documentComplete, this,
                     [this] { BrowserDocumentComplete(); });
    pause(StepPauseMs);

    bar->setPosition(3);
    Browser->Navigate(OpenPath);
    QThread::yieldCurrentThread();

    WordDoc = Browser->Document();
    if (!WordDoc) {
        showMessage({ QStringLiteral("A megnyitás sikertelen !\r") + OpenPath, QStringLiteral("Hiba"),
                      QMessageBox::Critical, QMessageBox::Ok }, this);
        Form2->close();
        return;
    }
    WordApp = WordDoc->Application();
    Browser->show();

    setWindowTitle(baseCaption(windowTitle()) + QStringLiteral(" - ")
                   + templates::fileNamePart(TemplateDialog->FileName()));

    if (firstOpen) {
        if (RxClock1) {
            RxClock1->setParent(nullptr);
            delete RxClock1;
            RxClock1 = nullptr;
        }
        SavedDisplayRulers = WordDoc->ActiveWindow().DisplayRulers();
        SavedDisplayScrollBars = WordApp->DisplayScrollBars();
        const QList<QWidget*> documentControls { spb1, Edit1, SpeedItem2, SpeedItem3, SpeedItem4,
                                                 SpeedItem8, SpeedItem9, SpeedItem10, SpeedItem11,
                                                 SpeedItem12, SpeedItem13 };
        for (QWidget* w : documentControls)
            w->setEnabled(true);
        Word1->setEnabled(true);
        Word1->menuAction()->setEnabled(true);
        Save->setEnabled(true);
        Print->setEnabled(true);
    }

    SpeedItem4->setChecked(WordDoc->ActiveWindow().ActivePane().View().ShowAll());
    Mindentmutat1->setChecked(SpeedItem4->isChecked());
    WordDoc->ActiveWindow().setDisplayRulers(false);
    WordApp->setDisplayScrollBars(true);
    WordDoc->ActiveWindow().View().Zoom().setPercentage(Edit1->text().toInt());
    WordDoc->Subdocuments().setExpanded(true);

    // "Infó" keeps its place at the right end of the menu bar by itself.
    menuBar()->update();

    // The user's clipboard comes back even when discovery ends the operation
    // with an error: the assembly has overwritten it with template blocks.
    struct GiveBack {
        templates::ClipboardKeeper keeper { QGuiApplication::clipboard() };
        ~GiveBack() { keeper.giveBack(); }
    } clipboard;
    clipboard.keeper.setAside();

    bar->setPosition(4);
    AssemblePartyBlocks();
    bar->setPosition(5);
    Button3Click();
    bar->setPosition(6);
    WordDoc->UndoClear();
    WordDoc->setSaved(true);
}

void TForm1::BrowserDocumentComplete()
{
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
    RxLabel2->adjustSize();
    RxLabel3->move(RxLabel2->x() + RxLabel2->width() + 4, RxLabel3->y());
    RxLabel3->setText(Mgrid1->cells(1, 1));
    RxLabel3->adjustSize();
    RxLabel4->setText(QString::number(found.fields.size()) + QStringLiteral(" mező"));
    ScrollBox1->update();
}

} // namespace app
