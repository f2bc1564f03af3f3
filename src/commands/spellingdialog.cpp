#include "commands/spellingdialog.h"

#include "word/document.h"
#include "word/error.h"

#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTextEdit>
#include <QTimer>
#include <QVBoxLayout>

namespace commands {

namespace {

QPushButton* button(QWidget* parent, const char* name, const QString& text)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}

QString visible(QString text)
{
    for (QChar& c : text) {
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator || c == u'\t' || c == QChar::Nbsp)
            c = u' ';
    }
    return text;
}

} // namespace

SpellingDialog::SpellingDialog(word::Document& doc, Speller& speller, QWidget* parent)
    : QDialog(parent), m_doc(doc), m_speller(speller), m_walk(std::make_unique<SpellingWalk>(doc, speller))
{
    setObjectName(QStringLiteral("SpellingDialog"));
    setWindowTitle(QStringLiteral("Helyesírás és nyelvhelyesség: magyar"));
    build();
}

SpellingDialog::~SpellingDialog() = default;

void SpellingDialog::build()
{
    auto* grid = new QGridLayout(this);
    m_kindLabel = new QLabel(QStringLiteral("Nincs a szótárban:"), this);
    m_kindLabel->setObjectName(QStringLiteral("kind"));
    grid->addWidget(m_kindLabel, 0, 0);
    m_sentence = new QTextEdit(this);
    m_sentence->setObjectName(QStringLiteral("sentence"));
    m_sentence->setReadOnly(true);
    m_sentence->setMinimumHeight(90);
    grid->addWidget(m_sentence, 1, 0, 4, 1);
    grid->addWidget(new QLabel(QStringLiteral("Javaslatok:"), this), 5, 0);
    m_suggestions = new QListWidget(this);
    m_suggestions->setObjectName(QStringLiteral("suggestions"));
    grid->addWidget(m_suggestions, 6, 0, 4, 1);

    QPushButton* skip = button(this, "skip", QStringLiteral("Kihagyás"));
    m_ignoreAll = button(this, "ignoreAll", QStringLiteral("Mindet kihagyja"));
    m_add = button(this, "addToDictionary", QStringLiteral("Felvétel a szótárba"));
    m_replace = button(this, "replace", QStringLiteral("Csere"));
    m_replaceAll = button(this, "replaceAll", QStringLiteral("Mindet cseréli"));
    QPushButton* close = button(this, "close", QStringLiteral("Bezárás"));
    grid->addWidget(skip, 1, 1);
    grid->addWidget(m_ignoreAll, 2, 1);
    grid->addWidget(m_add, 3, 1);
    grid->addWidget(m_replace, 6, 1);
    grid->addWidget(m_replaceAll, 7, 1);
    grid->addWidget(close, 9, 1);
    grid->setColumnStretch(0, 1);

    connect(skip, &QPushButton::clicked, this, [this] { act([] {}); });
    connect(m_ignoreAll, &QPushButton::clicked, this, [this] { act([this] { m_walk->ignoreAll(); }); });
    connect(m_add, &QPushButton::clicked, this, [this] { act([this] { m_walk->addToDictionary(); }); });
    connect(m_replace, &QPushButton::clicked, this, [this] { act([this] { m_walk->replace(chosen()); }); });
    connect(m_replaceAll, &QPushButton::clicked, this, [this] { act([this] { m_walk->replaceAll(chosen()); }); });
    connect(m_suggestions, &QListWidget::itemDoubleClicked, m_replace, &QPushButton::click);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    resize(560, 330);
}

QPushButton* SpellingDialog::buttonNamed(const QString& name) const
{
    return findChild<QPushButton*>(name);
}

QString SpellingDialog::chosen() const
{
    if (m_issue && m_issue->kind == SpellingIssue::Repeated)
        return QString();
    const QListWidgetItem* item = m_suggestions->currentItem();
    return item ? item->text() : m_issue->word;
}

void SpellingDialog::act(const std::function<void()>& fn)
{
    try {
        fn();
    } catch (const word::Error& e) {
        if (m_notice)
            m_notice(e.message(), QMessageBox::Warning);
        else
            QMessageBox::warning(this, QStringLiteral("Quillora"), e.message());
        return;
    }
    advance();
}

void SpellingDialog::showIssue(const SpellingIssue& issue)
{
    const bool repeated = issue.kind == SpellingIssue::Repeated;
    m_kindLabel->setText(repeated ? QStringLiteral("Ismétlődő szó:") : QStringLiteral("Nincs a szótárban:"));
    const QString sentence = visible(issue.sentence);
    const int at = issue.sentenceOffset;
    const int len = issue.end - issue.start;
    m_sentence->setHtml(QStringLiteral("%1<span style=\"color:#c00000; font-weight:bold; text-decoration:underline\">%2</span>%3")
                            .arg(sentence.left(at).toHtmlEscaped(), sentence.mid(at, len).toHtmlEscaped(),
                                 sentence.mid(at + len).toHtmlEscaped()));
    m_suggestions->clear();
    if (repeated) {
        m_suggestions->addItem(QStringLiteral("(a szó törlése)"));
    } else if (issue.suggestions.isEmpty()) {
        m_suggestions->addItem(QStringLiteral("(nincs javaslat)"));
        m_suggestions->item(0)->setFlags(Qt::NoItemFlags);
    } else {
        m_suggestions->addItems(issue.suggestions);
    }
    m_suggestions->setCurrentRow(repeated || !issue.suggestions.isEmpty() ? 0 : -1);
    m_replace->setText(repeated ? QStringLiteral("Törlés") : QStringLiteral("Csere"));
    m_replace->setEnabled(repeated || !issue.suggestions.isEmpty());
    m_replaceAll->setEnabled(!repeated && !issue.suggestions.isEmpty());
    m_add->setEnabled(!repeated);
    m_ignoreAll->setEnabled(!repeated);
    // The word is shown selected in the page too.
    if (issue.story < 0)
        m_doc.ActiveWindow().Selection().SetRange(issue.start, issue.end);
}

void SpellingDialog::advance()
{
    m_issue = m_walk->next();
    if (!m_issue) {
        m_finished = true;
        accept();
        return;
    }
    showIssue(*m_issue);
    if (m_onIssue) {
        // From the event loop, so that the test's answer runs inside exec().
        QTimer::singleShot(0, this, [this] {
            if (m_onIssue && m_issue && isVisible())
                m_onIssue(*this);
        });
    }
}

void SpellingDialog::run()
{
    m_issue = m_walk->next();
    if (m_issue) {
        showIssue(*m_issue);
        if (m_onIssue)
            QTimer::singleShot(0, this, [this] { if (m_onIssue && m_issue) m_onIssue(*this); });
        if (exec() != QDialog::Accepted || !m_finished)
            return;
    } else {
        m_finished = true;
    }
    const QString done = QStringLiteral("A helyesírás-ellenőrzés befejeződött.");
    if (m_notice)
        m_notice(done, QMessageBox::Information);
    else
        QMessageBox::information(parentWidget(), QStringLiteral("Quillora"), done);
}

} // namespace commands
