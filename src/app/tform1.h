#pragma once
// The main window. It owns everything the user works with: the field side on
// the left (ScrollBox1), the tool bar SpeedBar1, the splitter RxSplitter1 and the
// document side Panel1 on the right, the menu bar, the actions and the dialogs.
//
// The window's own code builds the components and runs the shell's commands. The
// handlers of each subsystem are defined in that subsystem's folder
// (src/<subsystem>/form1_<subsystem>.cpp) and wired up in its connect...Handlers()
// function, which construction calls once every component exists. Components are
// public so that those handler files reach them under their own names.

#include <QMainWindow>
#include <QPointer>
#include <QStringList>
#include <memory>

class QAction;
class QCalendarWidget;
class QFileDialog;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QScrollArea;
class QSplitter;
class QTextEdit;
class QToolButton;
class tpaletteopendialog;

namespace word { class Application; class Document; }
namespace word::view { class DocumentHost; }
namespace widgets {
class Anchors;
class AutoSizeLabel;
class TAnalogClock;
class TCurrencyEdit;
class TMgrid;
class TProgressCylinder;
class TShapedButton;
class TSpeedBar;
class TSpeedButton;
class TSpinButton;
}
namespace app { class SettingsStore; class TForm2; }

namespace app {

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    // The progress window, created by start-up right after this window.
    void setForm2(TForm2* form) { Form2 = form; }

    // ---- Values shared by the subsystems; they live as long as the window ----
    word::Document* WordDoc = nullptr;            // empty while no document is loaded
    word::Application* WordApp = nullptr;
    std::shared_ptr<word::Application> Engine;    // the engine behind WordApp, when one is made
    QPointer<word::view::DocumentHost> Browser;   // created anew inside Panel1 for every load
    tpaletteopendialog* TemplateDialog = nullptr; // made by the template opening code
    QString OpenPath;
    QString DocumentsPath;                        // at most 256 characters; empty when longer
    int MaxOccurrence = 1;
    int EditRow = 0;
    int SplitWidth = 0;
    bool SavedDisplayRulers = true;
    bool SavedDisplayScrollBars = true;
    TForm2* Form2 = nullptr;

    // ---- Layout ----
    QSplitter* RxSplitter1 = nullptr;
    QScrollArea* ScrollBox1 = nullptr;
    QWidget* FieldSide = nullptr;                 // the scrolled content of ScrollBox1
    QFrame* Panel1 = nullptr;
    widgets::TSpeedBar* SpeedBar1 = nullptr;
    int panel1Width() const;
    void setPanel1Width(int width);

    // ---- Field side ----
    widgets::TMgrid* Mgrid1 = nullptr;
    QPushButton* adat1 = nullptr;
    widgets::TSpeedButton* Back = nullptr;
    widgets::TSpeedButton* Next = nullptr;
    QLabel* RxLabel1 = nullptr;
    widgets::AutoSizeLabel* RxLabel2 = nullptr;   // both sized to their text
    widgets::AutoSizeLabel* RxLabel3 = nullptr;
    QLabel* RxLabel4 = nullptr;
    QFrame* Panel2 = nullptr;
    QLineEdit* Edit4 = nullptr;
    QPushButton* enter1 = nullptr;
    QFrame* Bevel1 = nullptr;
    QCalendarWidget* mc1 = nullptr;
    widgets::TShapedButton* BitBtn1 = nullptr;
    widgets::TProgressCylinder* pcyl1 = nullptr;
    widgets::Anchors* FieldAnchors = nullptr;

    // ---- Document side (Panel1) ----
    widgets::TAnalogClock* RxClock1 = nullptr;
    QLabel* Image1 = nullptr;                     // hidden; holds the 64 x 64 tile
    widgets::TCurrencyEdit* ce1 = nullptr;        // hidden
    QListWidget* globlist = nullptr;              // hidden check list of the parties
    QTextEdit* RichEdit1 = nullptr;               // hidden clipboard store

    // ---- Tool bar (top to bottom) ----
    QToolButton* SpeedItem6 = nullptr;
    QToolButton* SpeedItem7 = nullptr;
    QToolButton* SpeedItem1 = nullptr;
    QWidget* ZoomBox = nullptr;                   // holds Edit1 and spb1
    QLineEdit* Edit1 = nullptr;
    widgets::TSpinButton* spb1 = nullptr;
    QToolButton* SpeedItem4 = nullptr;
    QToolButton* SpeedItem10 = nullptr;
    QToolButton* SpeedItem11 = nullptr;
    QToolButton* SpeedItem12 = nullptr;
    QToolButton* SpeedItem13 = nullptr;
    QToolButton* SpeedItem8 = nullptr;
    QToolButton* SpeedItem9 = nullptr;
    QToolButton* SpeedItem3 = nullptr;
    QToolButton* SpeedItem2 = nullptr;
    QToolButton* SpeedItem5 = nullptr;

    // ---- ActionList1 ----
    QObject* ActionList1 = nullptr;
    QAction* Open = nullptr;
    QAction* Save = nullptr;
    QAction* Print = nullptr;
    QAction* Exit = nullptr;
    QAction* Showall = nullptr;
    QAction* Seek = nullptr;
    QAction* Replace = nullptr;
    QAction* Go_to = nullptr;
    QAction* Grammar = nullptr;
    QAction* EditCopy1 = nullptr;
    QAction* EditCut1 = nullptr;
    QAction* EditPaste1 = nullptr;
    QAction* EditUndo1 = nullptr;

    // ---- MainMenu1; an item bound to an action follows its text and state ----
    QMenu* Fjl1 = nullptr;
    QAction* Megnyits1 = nullptr;
    QAction* Ments1 = nullptr;
    QAction* officefix = nullptr;
    QAction* Nyomtats1 = nullptr;
    QAction* Kilps1 = nullptr;
    QMenu* Mezadatok1 = nullptr;
    QAction* Betlts1 = nullptr;
    QAction* Ments2 = nullptr;
    QAction* Trls1 = nullptr;
    QMenu* Word1 = nullptr;                       // "Dokumentum", disabled until a load
    QMenu* Nagyts1 = nullptr;
    QAction* N2001 = nullptr;
    QAction* N1501 = nullptr;
    QAction* N1001 = nullptr;
    QAction* N751 = nullptr;                      // "80%"
    QAction* N501 = nullptr;
    QAction* Mindentmutat1 = nullptr;
    QMenu* Szerkeszts1 = nullptr;
    QAction* Visszavons1 = nullptr;
    QAction* Kivgs1 = nullptr;
    QAction* Msols1 = nullptr;
    QAction* Beilleszts1 = nullptr;
    QAction* Flkvr1 = nullptr;
    QAction* Dlt1 = nullptr;
    QAction* Keress2 = nullptr;
    QAction* Csere2 = nullptr;
    QAction* Ugrs2 = nullptr;
    QAction* Helyesrs1 = nullptr;
    QMenu* Nzet1 = nullptr;
    QAction* Dokumentum1 = nullptr;
    QAction* Bevitelimezk1 = nullptr;
    QAction* Osztott1 = nullptr;
    QMenu* infoMenu = nullptr;
    QAction* info1 = nullptr;                     // the "Infó" entry at the right end
    QAction* Sg1 = nullptr;
    QAction* Nvjegy1 = nullptr;

    // ---- Pop-up menus ----
    QMenu* PopupMenu2 = nullptr;                  // dropped down by adat1
    QAction* Betlts2 = nullptr;
    QAction* Ments3 = nullptr;
    QAction* Trls2 = nullptr;
    QMenu* RxPopupMenu1 = nullptr;                // dropped down by SpeedItem3
    QAction* Keress1 = nullptr;
    QAction* Csere1 = nullptr;
    QAction* Ugrs1 = nullptr;

    // ---- Dialogs ----
    QFileDialog* SaveDialog1 = nullptr;           // finished document
    QFileDialog* OpenDialog2 = nullptr;           // field data files
    QFileDialog* SaveDialog2 = nullptr;

    // ---- Shell (src/app) ----
    void ExitExecute();
    void officefixClick();
    void Nvjegy1Click();
    SettingsStore& settings() { return *m_settings; }

    // ---- Template opening (src/templates/form1_templates.cpp) ----
    void connectTemplateHandlers();
    void button1Click(QObject* sender);
    void BrowserDocumentComplete();
    void AssemblePartyBlocks();
    void Button3Click();

    // ---- Field entry (src/fields/form1_fields.cpp) ----
    void connectFieldHandlers();
    void Mgrid1SelectCell(int col, int row, bool& canSelect);
    void Mgrid1Setting(int row, int col, int& fcolor, bool& bold, bool& italic, bool& underline);
    void Mgrid1KeyDown(int& key, Qt::KeyboardModifiers shift);
    void Mgrid1MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, const QPoint& pos);
    void Mgrid1MouseUp();
    void Mgrid1Resize();
    void Mgrid1Click();
    void BackClick();
    void NextClick();
    void Edit4KeyDown(int key, Qt::KeyboardModifiers shift);
    void ScrollBox1Click();
    void kitoltClick();
    void Mgrid1EditModeChange(bool emode);
    // Writes one value at every occurrence bookmark of the field; throws word::Error.
    void WriteFieldValue(const QString& field, const QString& value);
    void mc1DblClick();
    void BitBtn1Click();
    void save2Click();
    void load1Click();
    void delClick();
    void adat1Click();
    // Throws word::Error when the file cannot be read; the grid is then unchanged.
    void LoadFieldFile(const QString& path);
    // A field data file named on the command line: longPath is the folder of the
    // argument with the file's name as stored on disk, argument the path as given.
    // A file that cannot be read is reported and leaves the grid as it was.
    void LoadFieldFileFromCommandLine(const QString& longPath, const QString& argument);

    // ---- Saving the finished document (src/output) ----
    void connectOutputHandlers();
    void Button4Click(QObject* sender);

    // ---- Printing (src/output/form1_print.cpp) ----
    void connectPrintHandlers();
    void Button2Click();

    // ---- View and editing commands (src/commands/form1_commands.cpp) ----
    void connectCommandHandlers();
    void spe1Change();
    void spb1TopClick();
    void spb1BottomClick();
    void N2001Click();
    void N1501Click();
    void N1001Click();
    void N751Click();
    void N501Click();
    void SpeedItem4Click();
    void SpeedItem5Click();
    void Dokumentum1Click();
    void Bevitelimezk1Click();
    void Osztott1Click();
    void RxSplitter1PosChanged();
    void SpeedBar1PosChanged();
    int edgeMargin() const;                       // 4 with the tool bar at the top or bottom, else 40
    void Button5Click();
    void Keress1Click();
    void Csere1Click();
    void Ugrs1Click();
    void SpeedItem8Click();
    void SpeedItem9Click();
    void SpeedItem10Click();
    void EditCut1Execute();
    void EditCopy1Execute();
    void EditPaste1Execute();

    // ---- Command line and closing (src/app/form1_closing.cpp) ----
    // The arguments after the program's name; start-up sets them before the first show.
    QStringList CommandLine;
    // Opens the file named first on the command line, once the window is shown.
    void HandleCommandLine();
    // The close query: true when the window may close.
    bool FormCloseQuery();
    // Gives the engine its view settings back and releases the document and its host.
    void releaseDocument();

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    // Construction, one concern per file (tform1_*.cpp).
    void createActions();
    void createMenus();
    void createToolBar();
    void createFieldSide();
    void createDocumentSide();
    void createDialogs();
    void FormCreate();
    void FormShow();
    void FormClose();
    void applyFonts();
    void restorePlacement();

    std::unique_ptr<SettingsStore> m_settings;
    bool m_shown = false;
};

} // namespace app
