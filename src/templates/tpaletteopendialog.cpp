#include "templates/tpaletteopendialog.h"

#include "templates/updown.h"
#include "app/platform/datafolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

#include <functional>

namespace templates {

namespace {

// The first showing in a run of the program starts the party list afresh;
// later showings take it over from the main window.
bool firstShowing = true;

constexpr int PanelWidth = 216;

// The file dialog lives inside the template dialog. Its OK and Cancel must
// end the outer dialog instead of hiding the embedded one.
class EmbeddedFileDialog : public QFileDialog {
public:
    EmbeddedFileDialog(QWidget* parent, std::function<void(int)> finish)
        : QFileDialog(parent, Qt::Widget)
        , m_finish(std::move(finish))
    {
    }
    void done(int result) override { m_finish(result); }

private:
    std::function<void(int)> m_finish;
};

} // namespace

QList<PartyEntry> entriesOf(const QListWidget& list)
{
    QList<PartyEntry> entries;
    for (int i = 0; i < list.count(); ++i) {
        const QListWidgetItem* item = list.item(i);
        entries.append({ item->text(), item->checkState() == Qt::Checked });
    }
    return entries;
}

void setListEntries(QListWidget* list, const QList<PartyEntry>& entries)
{
    list->clear();
    for (const PartyEntry& entry : entries) {
        auto* item = new QListWidgetItem(entry.text, list);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        item->setCheckState(entry.legal ? Qt::Checked : Qt::Unchecked);
    }
}

} // namespace templates

using namespace templates;

QString tpaletteopendialog::filter()
{
    return QStringLiteral("Quillora sablonok (*.sab)|*.sab|Előzőleg Mentett Dokumentumok (*.dot)|*.dot|"
                          "Word dokumentumok (*.doc)|*.doc|");
}

QStringList tpaletteopendialog::nameFilters()
{
    // The pairs of the filter above, in the form the file dialog reads.
    QStringList out;
    const QStringList parts = filter().split(QLatin1Char('|'), Qt::SkipEmptyParts);
    for (int i = 0; i + 1 < parts.size(); i += 2)
        out << parts.at(i);
    return out;
}

QString tpaletteopendialog::templatesFolder()
{
    return app::DataFolders::current().templatesFolder();
}

tpaletteopendialog::tpaletteopendialog(QListWidget* globlist, PathSource documentsPath,
                                       QWidget* owner)
    : QDialog(owner)
    , m_globlist(globlist)
    , m_documentsPath(std::move(documentsPath))
    , m_initialDir(templatesFolder())
{
    setObjectName(QStringLiteral("TemplateDialog"));
    m_files = new EmbeddedFileDialog(this, [this](int result) { done(result); });
    m_files->setObjectName(QStringLiteral("FileDialog"));
    m_files->setOption(QFileDialog::DontUseNativeDialog, true);
    m_files->setOption(QFileDialog::DontConfirmOverwrite, true);
    m_files->setAcceptMode(QFileDialog::AcceptOpen);
    m_files->setFileMode(QFileDialog::AnyFile);
    m_files->setNameFilters(nameFilters());
    // Set last: the file dialog makes itself a window again while it is set up.
    m_files->setWindowFlags(Qt::Widget);
    connect(m_files, &QFileDialog::directoryEntered, this, [this] { onFolderChanged(); });
    connect(m_files, &QFileDialog::filterSelected, this,
            [this](const QString& nameFilter) { onTypeChanged(nameFilter); });

    buildPanel();
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_files, 1);
    layout->addWidget(m_panel);
    resize(860, 480);
    setFixedSize(size());
}

tpaletteopendialog::~tpaletteopendialog() = default;

QLabel* tpaletteopendialog::addLabel(const char* name, const QString& caption, int left, int top,
                                     int width)
{
    auto* label = new QLabel(caption, m_panel);
    label->setObjectName(QLatin1String(name));
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    label->setGeometry(left, top, width, 20);
    label->adjustSize();
    return label;
}

QLineEdit* tpaletteopendialog::addCounterEdit(const char* name, int top)
{
    auto* edit = new QLineEdit(QStringLiteral("0"), m_panel);
    edit->setObjectName(QLatin1String(name));
    edit->setReadOnly(true);
    edit->setMaxLength(3);
    edit->setGeometry(6, top, 50, 20);
    return edit;
}

void tpaletteopendialog::buildPanel()
{
    m_panel = new QFrame(this);
    m_panel->setObjectName(QStringLiteral("Panel1"));
    m_panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    m_panel->setFixedWidth(PanelWidth);
    m_panel->setAutoFillBackground(true);
    m_panel->setBackgroundRole(QPalette::Button);

    addLabel("Label1", QStringLiteral("Eladók:"), 6, 5, 80);
    m_updown1 = new UpDown(addCounterEdit("edit1", 20), m_panel);
    m_updown1->setObjectName(QStringLiteral("Updown1"));
    m_updown1->setRange(1, 2);
    m_updown1->setPosition(1);

    addLabel("Label2", QStringLiteral("Vevők:"), 6, 50, 80);
    m_updown2 = new UpDown(addCounterEdit("edit2", 65), m_panel);
    m_updown2->setObjectName(QStringLiteral("Updown2"));
    m_updown2->setRange(1, 2);
    m_updown2->setPosition(1);

    // The usufructuaries are shown but not yet counted.
    addLabel("Label3", QStringLiteral("H.élvezők:"), 6, 95, 100);
    m_updown3 = new UpDown(addCounterEdit("edit3", 110), m_panel);
    m_updown3->setObjectName(QStringLiteral("Updown3"));
    m_updown3->setRange(0, 5);
    m_updown3->setPosition(0);
    m_updown3->setEnabled(false);

    addLabel("Labellist", QStringLiteral("Jogi személyek:"), 90, 5, 80);
    m_lista1 = new QListWidget(m_panel);
    m_lista1->setObjectName(QStringLiteral("lista1"));
    m_lista1->setGeometry(88, 20, 120, 213);

    connect(m_updown1, &UpDown::changing, this,
            [this](int value, CounterDirection direction) { onSellerChanging(value, direction); });
    connect(m_updown2, &UpDown::changing, this,
            [this](int value, CounterDirection direction) { onBuyerChanging(value, direction); });
}

void tpaletteopendialog::setFilterIndex(int index)
{
    m_filterIndex = qBound(1, index, int(nameFilters().size()));
}

bool tpaletteopendialog::Execute()
{
    beginShowing();
    const bool accepted = exec() == QDialog::Accepted;
    endShowing(accepted);
    return accepted;
}

void tpaletteopendialog::beginShowing()
{
    // A dialog inside a dialog stays hidden until it is shown itself.
    m_files->show();
    m_files->selectNameFilter(nameFilters().at(m_filterIndex - 1));
    const QFileInfo chosen(m_fileName);
    const bool inFolder = !m_fileName.isEmpty() && chosen.absoluteDir().exists()
        && m_fileName.contains(QLatin1Char('/'));
    m_files->setDirectory(inFolder ? chosen.absolutePath() : m_initialDir);
    m_files->selectFile(chosen.fileName());

    fillPartyList();
    showTypeLook(m_filterIndex == FolderSteering::TemplateFilter);
    m_steering.shown(m_filterIndex);
    // The platform reports the folder the dialog opens in as a folder change.
    m_steering.folderChanged(m_filterIndex);
}

void tpaletteopendialog::endShowing(bool accepted)
{
    if (accepted) {
        m_fileName = m_files->selectedFiles().value(0);
        m_filterIndex = currentFilterIndex();
    }
    m_sellerCount = m_updown1->position();
    m_buyerCount = m_updown2->position();
    if (m_globlist)
        setListEntries(m_globlist, listEntries());
}

void tpaletteopendialog::fillPartyList()
{
    if (firstShowing) {
        m_lista1->setFont(QFont(QStringLiteral("Arial"), 9));
        setListEntries(m_lista1, PartyList::initial().entries());
        firstShowing = false;
        return;
    }
    setListEntries(m_lista1, m_globlist ? entriesOf(*m_globlist) : QList<PartyEntry>());
}

void tpaletteopendialog::showTypeLook(bool templateType)
{
    setWindowTitle(dialogTitle(templateType ? FolderSteering::TemplateFilter : 0));
    m_panel->setVisible(templateType);
}

void tpaletteopendialog::moveInto(const QString& folder)
{
    m_files->setDirectory(folder);
    m_files->selectFile(QString());
}

void tpaletteopendialog::onSellerChanging(int newValue, CounterDirection direction)
{
    PartyList list;
    list.setEntries(listEntries());
    list.sellerCounterChanging(newValue, direction);
    setListEntries(m_lista1, list.entries());
}

void tpaletteopendialog::onBuyerChanging(int newValue, CounterDirection direction)
{
    PartyList list;
    list.setEntries(listEntries());
    list.buyerCounterChanging(newValue, direction, m_updown1->position());
    setListEntries(m_lista1, list.entries());
}

void tpaletteopendialog::onFolderChanged()
{
    m_steering.folderChanged(currentFilterIndex());
}

void tpaletteopendialog::onTypeChanged(const QString& nameFilter)
{
    const int index = int(nameFilters().indexOf(nameFilter)) + 1;
    // Picking the type that is already selected is no change of type.
    if (index < 1 || index == m_steering.TypeIndexSeen)
        return;
    const QString documents = m_documentsPath ? m_documentsPath() : QString();
    const auto move = [this, index, documents](TypeChangeEffect::Move target) {
        moveInto(target == TypeChangeEffect::ToDocuments ? documents : templatesFolder());
        m_steering.folderChanged(index);
    };
    const TypeChangeEffect effect = m_steering.typeChanged(
        index, !documents.isEmpty() && QDir(documents).exists(), QDir(templatesFolder()).exists(), move);
    if (effect.changesLook)
        showTypeLook(effect.templateType);
}

int tpaletteopendialog::currentFilterIndex() const
{
    const int index = int(nameFilters().indexOf(m_files->selectedNameFilter())) + 1;
    return index >= 1 ? index : m_filterIndex;
}

QList<PartyEntry> tpaletteopendialog::listEntries() const
{
    return entriesOf(*m_lista1);
}
