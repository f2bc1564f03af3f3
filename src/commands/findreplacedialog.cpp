#include "commands/findreplacedialog.h"

#include "commands/documentsearch.h"
#include "word/document.h"
#include "word/error.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTabBar>
#include <QVBoxLayout>

namespace commands {

namespace {

const QString kCaption = QStringLiteral("Quillora");

QPushButton* button(QWidget* parent, const char* name, const QString& text)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}

// A selection worth searching for: one line of text, not too long.
QString searchableSelection(word::Document& doc)
{
    const QString text = doc.ActiveWindow().Selection().Text();
    if (text.isEmpty() || text.size() > 255 || text.contains(u'\r') || text.contains(u'\v'))
        return {};
    return text;
}

} // namespace

FindReplaceDialog::FindReplaceDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FindReplaceDialog"));
    setWindowTitle(QStringLiteral("Keresés és csere"));
    setModal(false);
    build();
}

void FindReplaceDialog::build()
{
    auto* outer = new QVBoxLayout(this);
    m_tabs = new QTabBar(this);
    m_tabs->setObjectName(QStringLiteral("tabs"));
    m_tabs->addTab(QStringLiteral("Keresés"));
    m_tabs->addTab(QStringLiteral("Csere"));
    m_tabs->addTab(QStringLiteral("Ugrás"));
    m_tabs->setExpanding(false);
    outer->addWidget(m_tabs);

    m_findPage = new QWidget(this);
    auto* grid = new QGridLayout(m_findPage);
    grid->setContentsMargins(0, 0, 0, 0);
    m_find = new QLineEdit(m_findPage);
    m_find->setObjectName(QStringLiteral("findText"));
    grid->addWidget(new QLabel(QStringLiteral("Keresett szöveg:"), m_findPage), 0, 0);
    grid->addWidget(m_find, 0, 1);
    m_replaceRow = new QWidget(m_findPage);
    auto* replaceRow = new QHBoxLayout(m_replaceRow);
    replaceRow->setContentsMargins(0, 0, 0, 0);
    m_replace = new QLineEdit(m_replaceRow);
    m_replace->setObjectName(QStringLiteral("replaceText"));
    auto* replaceLabel = new QLabel(QStringLiteral("Csere erre:"), m_findPage);
    replaceLabel->setObjectName(QStringLiteral("replaceLabel"));
    grid->addWidget(replaceLabel, 1, 0);
    replaceRow->addWidget(m_replace);
    grid->addWidget(m_replaceRow, 1, 1);
    m_matchCase = new QCheckBox(QStringLiteral("Kis- és nagybetű megkülönböztetése"), m_findPage);
    m_matchCase->setObjectName(QStringLiteral("matchCase"));
    m_wholeWords = new QCheckBox(QStringLiteral("Csak teljes szavak"), m_findPage);
    m_wholeWords->setObjectName(QStringLiteral("wholeWords"));
    grid->addWidget(m_matchCase, 2, 1);
    grid->addWidget(m_wholeWords, 3, 1);
    grid->setColumnStretch(1, 1);
    outer->addWidget(m_findPage);

    m_goToPage = new QWidget(this);
    auto* goToRow = new QHBoxLayout(m_goToPage);
    goToRow->setContentsMargins(0, 0, 0, 0);
    auto* kindsBox = new QVBoxLayout;
    kindsBox->addWidget(new QLabel(QStringLiteral("Ugrás erre:"), m_goToPage));
    m_kinds = new QListWidget(m_goToPage);
    m_kinds->setObjectName(QStringLiteral("goToKinds"));
    m_kinds->addItems({QStringLiteral("Oldal"), QStringLiteral("Szakasz"), QStringLiteral("Sor"),
                       QStringLiteral("Könyvjelző"), QStringLiteral("Táblázat")});
    m_kinds->setCurrentRow(0);
    m_kinds->setMaximumWidth(150);
    kindsBox->addWidget(m_kinds);
    goToRow->addLayout(kindsBox);
    auto* targetBox = new QVBoxLayout;
    m_goToLabel = new QLabel(m_goToPage);
    m_goToTarget = new QComboBox(m_goToPage);
    m_goToTarget->setObjectName(QStringLiteral("goToTarget"));
    m_goToTarget->setEditable(true);
    m_goToTarget->setInsertPolicy(QComboBox::NoInsert);
    targetBox->addWidget(m_goToLabel);
    targetBox->addWidget(m_goToTarget);
    auto* hint = new QLabel(QStringLiteral("A + és a - jel a jelenlegi helyhez képest lép: a +2 kettővel előre."),
                            m_goToPage);
    hint->setWordWrap(true);
    targetBox->addWidget(hint);
    targetBox->addStretch();
    goToRow->addLayout(targetBox, 1);
    outer->addWidget(m_goToPage);
    connect(m_kinds, &QListWidget::currentRowChanged, this, [this] { updateGoToKind(); });

    auto* buttons = new QHBoxLayout;
    m_special = button(this, "special", QStringLiteral("Speciális"));
    auto* specials = new QMenu(m_special);
    const std::pair<const char*, const char*> codes[] = {
        {"Bekezdésjel", "^p"}, {"Tabulátor", "^t"}, {"Sortörés", "^l"},
        {"Oldaltörés", "^m"}, {"Szakasztörés", "^b"}, {"Kalap karakter (^)", "^^"}};
    for (const auto& [text, code] : codes) {
        QAction* a = specials->addAction(QString::fromUtf8(text));
        a->setObjectName(QStringLiteral("code_") + QString::fromLatin1(code + 1));
        const QString c = QString::fromLatin1(code);
        connect(a, &QAction::triggered, this, [this, c] { insertCode(c); });
    }
    m_special->setMenu(specials);
    buttons->addWidget(m_special);
    buttons->addStretch();
    m_previousButton = button(this, "previous", QStringLiteral("Előző"));
    m_replaceButton = button(this, "replace", QStringLiteral("Csere"));
    m_replaceAllButton = button(this, "replaceAll", QStringLiteral("Az összes cseréje"));
    m_nextButton = button(this, "next", QStringLiteral("Következő"));
    m_nextButton->setDefault(true);
    QPushButton* close = button(this, "close", QStringLiteral("Bezárás"));
    for (QPushButton* b : {m_previousButton, m_replaceButton, m_replaceAllButton, m_nextButton, close})
        buttons->addWidget(b);
    outer->addLayout(buttons);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    connect(m_replaceButton, &QPushButton::clicked, this, [this] { replaceOne(); });
    connect(m_replaceAllButton, &QPushButton::clicked, this, [this] { replaceAll(); });
    connect(m_previousButton, &QPushButton::clicked, this, [this] { goTo(true); });
    connect(m_nextButton, &QPushButton::clicked, this, [this] {
        if (tab() == GoToTab)
            goTo();
        else
            findNext();
    });
    connect(m_tabs, &QTabBar::currentChanged, this, [this] { updateTab(); });
    m_lastEdit = m_find;
    connect(m_find, &QLineEdit::cursorPositionChanged, this, [this] { if (m_find->hasFocus()) m_lastEdit = m_find; });
    connect(m_replace, &QLineEdit::cursorPositionChanged, this, [this] { if (m_replace->hasFocus()) m_lastEdit = m_replace; });
    updateGoToKind();
    updateTab();
    resize(520, 230);
}

FindReplaceDialog::Tab FindReplaceDialog::tab() const { return Tab(m_tabs->currentIndex()); }

void FindReplaceDialog::setTab(Tab t)
{
    m_tabs->setCurrentIndex(int(t));
    updateTab();
}

void FindReplaceDialog::updateTab()
{
    const Tab t = tab();
    m_findPage->setVisible(t != GoToTab);
    m_replaceRow->setVisible(t == ReplaceTab);
    if (auto* label = findChild<QLabel*>(QStringLiteral("replaceLabel")))
        label->setVisible(t == ReplaceTab);
    m_goToPage->setVisible(t == GoToTab);
    m_special->setVisible(t != GoToTab);
    m_replaceButton->setVisible(t == ReplaceTab);
    m_replaceAllButton->setVisible(t == ReplaceTab);
    m_previousButton->setVisible(t == GoToTab);
    m_nextButton->setText(t == GoToTab ? QStringLiteral("Ugrás") : QStringLiteral("Következő"));
}

GoToKind FindReplaceDialog::goToKind() const { return GoToKind(std::max(0, m_kinds->currentRow())); }

void FindReplaceDialog::updateGoToKind()
{
    static const char* prompts[] = {"Adja meg az oldalszámot:", "Adja meg a szakasz számát:",
                                    "Adja meg a sor számát:", "Adja meg a könyvjelző nevét:",
                                    "Adja meg a táblázat számát:"};
    const GoToKind kind = goToKind();
    m_goToLabel->setText(QString::fromUtf8(prompts[int(kind)]));
    m_goToTarget->clear();
    if (kind == GoToKind::Bookmark && m_doc)
        m_goToTarget->addItems(DocumentGoTo(*m_doc, m_pages).bookmarks());
    m_goToTarget->setCurrentIndex(kind == GoToKind::Bookmark ? 0 : -1);
    if (kind != GoToKind::Bookmark)
        m_goToTarget->clearEditText();
    m_previousButton->setEnabled(kind != GoToKind::Bookmark);
}

void FindReplaceDialog::showFor(word::Document* doc, Tab t)
{
    m_doc = doc;
    if (doc) {
        const QString selected = searchableSelection(*doc);
        if (!selected.isEmpty())
            m_find->setText(selected);
    }
    setTab(t);
    updateGoToKind();
    show();
    raise();
    activateWindow();
    if (t == GoToTab)
        m_goToTarget->setFocus();
    else
        m_find->setFocus();
    m_find->selectAll();
}

void FindReplaceDialog::insertCode(const QString& code)
{
    QLineEdit* target = tab() == ReplaceTab ? m_lastEdit : m_find;
    target->insert(code);
    target->setFocus();
}

QMessageBox::StandardButton FindReplaceDialog::notice(const QString& text, QMessageBox::Icon icon,
                                                      QMessageBox::StandardButtons buttons)
{
    if (m_notice)
        return m_notice(text, icon, buttons);
    QMessageBox box(icon, kCaption, text, buttons, this);
    return QMessageBox::StandardButton(box.exec());
}

template <typename Fn>
void FindReplaceDialog::guarded(Fn&& fn)
{
    if (!m_doc) {
        notice(QStringLiteral("Nincs megnyitott dokumentum."), QMessageBox::Warning);
        return;
    }
    try {
        fn(*m_doc);
    } catch (const word::Error& e) {
        notice(e.message(), QMessageBox::Warning);
    }
}

namespace {

SearchOptions optionsOf(const QLineEdit* find, const QLineEdit* replace, const QCheckBox* matchCase,
                        const QCheckBox* wholeWords)
{
    return {find->text(), replace->text(), matchCase->isChecked(), wholeWords->isChecked()};
}

} // namespace

void FindReplaceDialog::findNext()
{
    guarded([this](word::Document& doc) {
        DocumentSearch search(doc);
        const auto ask = [this] {
            return notice(QStringLiteral("A keresés elérte a dokumentum végét. Folytatja az elejétől?"),
                          QMessageBox::Question, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
        };
        if (!search.findNext(optionsOf(m_find, m_replace, m_matchCase, m_wholeWords), ask))
            notice(QStringLiteral("A keresett elem nem található."), QMessageBox::Information);
    });
}

void FindReplaceDialog::replaceOne()
{
    guarded([this](word::Document& doc) {
        DocumentSearch search(doc);
        const auto ask = [this] {
            return notice(QStringLiteral("A keresés elérte a dokumentum végét. Folytatja az elejétől?"),
                          QMessageBox::Question, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
        };
        bool next = false;
        search.replaceCurrent(optionsOf(m_find, m_replace, m_matchCase, m_wholeWords), ask, &next);
        if (!next)
            notice(QStringLiteral("A keresett elem nem található."), QMessageBox::Information);
    });
}

void FindReplaceDialog::replaceAll()
{
    guarded([this](word::Document& doc) {
        const int n = DocumentSearch(doc).replaceAll(optionsOf(m_find, m_replace, m_matchCase, m_wholeWords));
        notice(n == 0 ? QStringLiteral("A keresett elem nem található.")
                      : QStringLiteral("A keresés befejeződött: %1 csere történt.").arg(n),
               QMessageBox::Information);
    });
}

void FindReplaceDialog::goTo(bool backwards)
{
    guarded([this, backwards](word::Document& doc) {
        QString spec = m_goToTarget->currentText().trimmed();
        const GoToKind kind = goToKind();
        // "Előző" with nothing entered steps one back, as "Ugrás" steps one on.
        if (backwards && kind != GoToKind::Bookmark && spec.isEmpty())
            spec = QStringLiteral("-1");
        DocumentGoTo(doc, m_pages).go(kind, spec);
    });
}

} // namespace commands
