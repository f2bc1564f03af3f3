#include "app/tform1.h"
#include "app/appearance.h"
#include "app/platform/datafolders.h"
#include "app/platform/filetyperegistration.h"
#include "app/platform/settingsstore.h"
#include "app/quilloraapplication.h"
#include "widgets/anchors.h"
#include "widgets/artwork.h"
#include "widgets/tmgrid.h"
#include "widgets/tprogresscylinder.h"
#include "widgets/tspeedbar.h"

#include <QAction>
#include <QApplication>
#include <QCalendarWidget>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QDir>
#include <QFileDialog>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStandardPaths>
#include <QStyleFactory>

// Resources of a static library are registered by hand, from the global namespace.
static void initResources()
{
    Q_INIT_RESOURCE(quillora);
}

namespace app {

namespace {

constexpr QSize kDesignClient(992, 658);
constexpr int kMaxDocumentsPath = 256;

QPixmap tile()
{
    return QPixmap(QStringLiteral(":/quillora/image1.png"));
}

// Flat menus: a thin frame, a light band behind the icons, the chosen item
// framed in the highlight colour.
QString flatMenuLook()
{
    return QStringLiteral(
        "QMenu { background: #ffffff; border: 1px solid #8a8890; padding: 2px; }"
        "QMenu::item { padding: 3px 24px 3px 24px; color: #000000; }"
        "QMenu::item:disabled { color: #8a8890; }"
        "QMenu::item:selected { background: #c1d2ee; border: 1px solid #316ac5; }"
        "QMenu::item:selected:disabled { background: #eeeeee; border: 1px solid #b0b0b0; }"
        "QMenu::separator { height: 1px; background: #c5c3ca; margin: 3px 2px 3px 24px; }"
        "QMenu::indicator { width: 13px; height: 13px; left: 6px; }");
}

QString flatMenuBarLook()
{
    return QStringLiteral(
        "QMenuBar { background: #cac8ce; border-bottom: 1px solid #a8a6ae; }"
        "QMenuBar::item { padding: 3px 8px; background: transparent; }"
        "QMenuBar::item:selected { background: #c1d2ee; border: 1px solid #316ac5; }"
        "QMenuBar::item:disabled { color: #8a8890; }");
}

// Turns the calendar and every part of it to the classic look.
void classicLook(QWidget* w)
{
    // One classic style for the whole run: widgets that use a style must never
    // outlive it, and the application outlives every window.
    static QPointer<QStyle> classic;
    if (!classic) {
        classic = QStyleFactory::create(QStringLiteral("Windows"));
        if (!classic)
            return;
        classic->setParent(QCoreApplication::instance());
    }
    w->setStyle(classic);
    for (QWidget* child : w->findChildren<QWidget*>())
        child->setStyle(classic);
}

} // namespace

TForm1::TForm1(QWidget* parent) : QMainWindow(parent), m_settings(std::make_unique<SettingsStore>())
{
    initResources();
    setObjectName(QStringLiteral("Form1"));
    setWindowIcon(QuilloraApplication::programIcon());
    applyFonts();
    createActions();
    createMenus();
    createFieldSide();
    createDocumentSide();
    createToolBar();
    createDialogs();
    resize(kDesignClient + QSize(0, menuBar()->sizeHint().height()));
    FormCreate();
    restorePlacement();
    connectTemplateHandlers();
    connectFieldHandlers();
    connectOutputHandlers();
    connectPrintHandlers();
    connectCommandHandlers();
}

TForm1::~TForm1() = default;

void TForm1::applyFonts()
{
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"), {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    QFont::insertSubstitutions(QStringLiteral("Tahoma"), {QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans")});
    QFont::insertSubstitutions(QStringLiteral("Arial"), {QStringLiteral("Liberation Sans")});
    QFont::insertSubstitutions(QStringLiteral("Times New Roman"), {QStringLiteral("Liberation Serif")});
    // The window's design font does not grow with the screen's resolution.
    QFont f(QStringLiteral("MS Sans Serif"));
    f.setPixelSize(11);
    setFont(f);
}

void TForm1::FormCreate()
{
    // 1. The cursors of the program's roles are the system's own; the splitter's is set where it is made.
    // 2. Menu font, scaled to the screen like the menus of the desktop.
    const double dpi = screen() ? screen()->logicalDotsPerInch() : 96.0;
    QFont menuFont(QStringLiteral("Tahoma"));
    menuFont.setPointSize(scaledMenuPointSize(8, dpi));
    menuBar()->setFont(menuFont);
    menuBar()->setStyleSheet(flatMenuBarLook());
    for (QMenu* m : findChildren<QMenu*>()) {
        m->setFont(menuFont);
        m->setStyleSheet(flatMenuLook());
    }
    // 3. Classic look for the calendar.
    classicLook(mc1);
    // 4. Caption.
    setWindowTitle(QStringLiteral("Zirkoma 1.4"));
    // 5. The progress bar sits 32 pixels above the bottom of the client area.
    QRect bar = FieldAnchors->designGeometry(pcyl1);
    bar.moveTop(kDesignClient.height() - 32);
    FieldAnchors->setDesignGeometry(pcyl1, bar);
    // 6. File types.
    FileTypeRegistration::forThisProgram().run();
    // 7. The compatibility-fix switch.
    officefix->setChecked(m_settings->officeFix());
    // 8. Today in the calendar.
    mc1->setSelectedDate(QDate::currentDate());
    // 9. Amounts are written with "." between the thousands: the process-wide number
    //    format becomes one that groups so, while the window keeps Hungarian texts.
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    setLocale(hungarianLocale());
    // 10. "Infó" stands at the right end of the menu bar (see createMenus).
    // 12, 13. The finished document's dialog and the documents folder.
    SaveDialog1->setWindowTitle(QStringLiteral("Szerződés mentése"));
    const QString docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    DocumentsPath = docs.size() <= kMaxDocumentsPath ? docs : QString();
    if (!DocumentsPath.isEmpty())
        SaveDialog1->setDirectory(DocumentsPath);
    // 14.
    SplitWidth = Panel1->width();
    // 15. Colours.
    pcyl1->setForeColor(progressForeColor());
    QPalette pal = palette();
    pal.setColor(QPalette::Window, windowColor());
    setPalette(pal);
    Panel1->setAutoFillBackground(true);
    Panel1->setPalette(pal);
    Edit4->setFrame(false);
    Edit4->setStyleSheet(QStringLiteral("QLineEdit { border: 1px solid #000000; background: #ffffff; }"));
    // 16. Tiles.
    QPalette side = FieldSide->palette();
    side.setBrush(QPalette::Window, QBrush(tile()));
    FieldSide->setPalette(side);
    FieldSide->setAutoFillBackground(true);
    Mgrid1->setBorderPattern(tile());
    // 17. Grid headings.
    Mgrid1->setCells(1, 0, QStringLiteral(" Mező neve:"));
    Mgrid1->setCells(2, 0, QStringLiteral(" Mező tartalma:"));
    // 18. Tool bar wallpaper.
    SpeedBar1->setWallpaper(tile());
    // 19. The tool bar's buttons come up as designed at every start.
    m_settings->removeToolBarCount();
    m_settings->sync();
}

void TForm1::showEvent(QShowEvent* e)
{
    QMainWindow::showEvent(e);
    if (m_shown)
        return;
    m_shown = true;
    FormShow();
}

void TForm1::FormShow()
{
    const QRect calendar = FieldAnchors->designGeometry(mc1);
    FieldAnchors->setDesignGeometry(Bevel1, calendar.adjusted(-2, -2, 2, 2));
    const QString dataDir = DataFolders::current().fieldDataFolder();
    OpenDialog2->setDirectory(dataDir);
    SaveDialog2->setDirectory(dataDir);
    setPanel1Width(SplitWidth);
    // The file of the command line opens once the window is on screen, from the event
    // loop, so its dialogs and failures are those of any other command.
    QMetaObject::invokeMethod(this, [this] { HandleCommandLine(); }, Qt::QueuedConnection);
}

void TForm1::restorePlacement()
{
    const QByteArray geometry = m_settings->windowGeometry();
    if (geometry.isEmpty() || !restoreGeometry(geometry)) {
        if (const QScreen* s = screen())
            move(s->availableGeometry().center() - rect().center());
    }
    restoreState(m_settings->windowState());
}

void TForm1::closeEvent(QCloseEvent* e)
{
    if (!FormCloseQuery()) {
        e->ignore();
        return;
    }
    FormClose();
    e->accept();
}

void TForm1::FormClose()
{
    m_settings->setOfficeFix(officefix->isChecked());
    m_settings->setWindowPlacement(saveGeometry(), saveState(), int(toolBarArea(SpeedBar1)));
    m_settings->sync();
    releaseDocument();
}

void TForm1::keyPressEvent(QKeyEvent* e)
{
    // enter1 is the window's default button: Enter in a control that does not use it clicks it.
    const bool enter = e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
    if (enter && e->modifiers() == Qt::NoModifier && enter1->isVisible() && enter1->isEnabled()) {
        enter1->click();
        e->accept();
        return;
    }
    QMainWindow::keyPressEvent(e);
}

void TForm1::ExitExecute()
{
    close();
}

void TForm1::officefixClick()
{
    officefix->toggle();
}

void TForm1::Nvjegy1Click()
{
    QMessageBox::about(this, QStringLiteral("Quillora névjegy"),
                       QStringLiteral("<b>Quillora 1.4</b><br>Szerződések összeállítása Word-sablonokból."));
}

} // namespace app
