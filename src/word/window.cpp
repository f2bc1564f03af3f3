#include "word/document.h"

#include "word/error.h"
#include "word/model/docmodel.h"

#include <QTextDocument>
#include <QTextOption>

namespace word {

namespace {

const QStringList& knownCommandBars()
{
    static const QStringList names = {QStringLiteral("reviewing"), QStringLiteral("standard"),
                                      QStringLiteral("formatting"), QStringLiteral("drawing"), QStringLiteral("tables and borders")};
    return names;
}

} // namespace

int Zoom::Percentage() const { return m_doc->model().view.zoom; }

void Zoom::setPercentage(int percent)
{
    if (percent < 10 || percent > 500)
        throw Error(QStringLiteral("Érvénytelen nagyítás: %1% (10 és 500 között lehet).").arg(percent));
    if (m_doc->model().view.zoom == percent)
        return;
    m_doc->model().view.zoom = percent;
    emit m_doc->viewSettingsChanged();
}

bool View::ShowAll() const { return m_doc->model().view.showAll; }

void View::setShowAll(bool on)
{
    m_doc->model().view.showAll = on;
    // The marks belong to the document's own text option, so every view of it shows them.
    QTextDocument* doc = m_doc->textDocument();
    QTextOption opt = doc->defaultTextOption();
    const auto marks = QTextOption::ShowTabsAndSpaces | QTextOption::ShowLineAndParagraphSeparators
                       | QTextOption::ShowDocumentTerminator;
    opt.setFlags(on ? opt.flags() | marks : opt.flags() & ~marks);
    doc->setDefaultTextOption(opt);
    emit m_doc->viewSettingsChanged();
}

word::View& Pane::View() { return m_doc->ActiveWindow().View(); }

Window::Window(Document* doc) : m_doc(doc), m_view(doc), m_pane(doc), m_selection(doc) {}

bool Window::DisplayRulers() const { return m_doc->model().view.displayRulers; }

void Window::setDisplayRulers(bool on)
{
    if (m_doc->model().view.displayRulers == on)
        return;
    m_doc->model().view.displayRulers = on;
    emit m_doc->viewSettingsChanged();
}

bool CommandBar::Visible() const
{
    return m_doc->model().view.commandBars.value(m_name.toLower(), m_name.compare(u"Standard", Qt::CaseInsensitive) == 0);
}

void CommandBar::setVisible(bool on)
{
    m_doc->model().view.commandBars.insert(m_name.toLower(), on);
    emit m_doc->viewSettingsChanged();
}

CommandBar CommandBars::Item(const QString& name) const
{
    if (!knownCommandBars().contains(name.toLower()))
        throw Error(QStringLiteral("Nincs „%1” nevű eszköztár.").arg(name));
    return CommandBar(m_doc, name);
}

} // namespace word
