#pragma once
// The template open dialog: a file dialog with the party panel on its right.
// The panel, shown only while the template type is selected, sets how many
// sellers and buyers the contract has and which parties are legal persons.
// One instance lives as long as the main window, so the counts, the ticks,
// the file name and the file type carry over from one opening to the next.

#include "templates/foldersteering.h"
#include "templates/partylist.h"

#include <QDialog>

#include <functional>

class QFileDialog;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;

namespace templates {

class UpDown;

// The entries and ticks of a check list such as lista1 or the main window's globlist.
QList<PartyEntry> entriesOf(const QListWidget& list);
void setListEntries(QListWidget* list, const QList<PartyEntry>& entries);

} // namespace templates

// The class keeps the name the rest of the program knows it by.
class tpaletteopendialog : public QDialog {
    Q_OBJECT
public:
    using PathSource = std::function<QString()>;
    // globlist: the main window's party list, which mirrors lista1 after every
    // closing; documentsPath gives the user's documents folder when it is needed.
    tpaletteopendialog(QListWidget* globlist, PathSource documentsPath, QWidget* owner);
    ~tpaletteopendialog() override;

    // Runs the dialog; true when a file was chosen with OK.
    bool Execute();

    QString FileName() const { return m_fileName; }
    void setFileName(const QString& fileName) { m_fileName = fileName; }
    int FilterIndex() const { return m_filterIndex; }
    void setFilterIndex(int index);
    QString InitialDir() const { return m_initialDir; }
    void setInitialDir(const QString& dir) { m_initialDir = dir; }
    int SellerCount() const { return m_sellerCount; }
    int BuyerCount() const { return m_buyerCount; }
    // The counts as the dialog would leave them (crash recovery reopens without it).
    void setPartyCounts(int sellers, int buyers) { m_sellerCount = sellers; m_buyerCount = buyers; }
    const templates::FolderSteering& steering() const { return m_steering; }

    static QString filter();
    static QStringList nameFilters();
    // The program's templates folder: "sablonok" beside the program (see app::DataFolders).
    static QString templatesFolder();

    QFileDialog* fileDialog() const { return m_files; }
    QFrame* panel() const { return m_panel; }
    templates::UpDown* Updown1() const { return m_updown1; }
    templates::UpDown* Updown2() const { return m_updown2; }
    templates::UpDown* Updown3() const { return m_updown3; }
    QListWidget* lista1() const { return m_lista1; }

    // The showing and closing halves of Execute, around the modal loop.
    void beginShowing();
    void endShowing(bool accepted);

private:
    void buildPanel();
    QLineEdit* addCounterEdit(const char* name, int top);
    QLabel* addLabel(const char* name, const QString& caption, int left, int top, int width);
    void fillPartyList();
    void showTypeLook(bool templateType);
    void moveInto(const QString& folder);
    void onSellerChanging(int newValue, templates::CounterDirection direction);
    void onBuyerChanging(int newValue, templates::CounterDirection direction);
    void onFolderChanged();
    void onTypeChanged(const QString& nameFilter);
    int currentFilterIndex() const;
    QList<templates::PartyEntry> listEntries() const;

    QListWidget* m_globlist;
    PathSource m_documentsPath;
    QString m_fileName;
    QString m_initialDir;
    int m_filterIndex = 1;
    int m_sellerCount = 0;
    int m_buyerCount = 0;
    templates::FolderSteering m_steering;

    QFileDialog* m_files = nullptr;
    QFrame* m_panel = nullptr;
    templates::UpDown* m_updown1 = nullptr;
    templates::UpDown* m_updown2 = nullptr;
    templates::UpDown* m_updown3 = nullptr;
    QListWidget* m_lista1 = nullptr;
};
