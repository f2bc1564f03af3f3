#include "commands/spellcontextmenu.h"

#include "commands/spellhighlighter.h"
#include "commands/spellingwalk.h"
#include "word/document.h"
#include "word/error.h"
#include "word/view/pagetextitem.h"
#include "word/view/pageview.h"

#include <QAbstractTextDocumentLayout>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTextDocument>

namespace commands {

SpellContextMenu* SpellContextMenu::attach(word::view::PageView* view, word::Document* doc, Speller& speller)
{
    if (auto* existing = view->findChild<SpellContextMenu*>(QString(), Qt::FindDirectChildrenOnly))
        return existing;
    return new SpellContextMenu(view, doc, speller);
}

SpellContextMenu::SpellContextMenu(word::view::PageView* view, word::Document* doc, Speller& speller)
    : QObject(view), m_view(view), m_doc(doc), m_speller(speller)
{
    setObjectName(QStringLiteral("SpellContextMenu"));
    view->viewport()->installEventFilter(this);
}

int SpellContextMenu::positionAt(const QPoint& viewportPoint) const
{
    if (!m_view || !m_view->textItem())
        return -1;
    const QPointF inItem = m_view->textItem()->mapFromScene(m_view->mapToScene(viewportPoint));
    return m_view->textItem()->document()->documentLayout()->hitTest(inItem, Qt::ExactHit);
}

void SpellContextMenu::replaceWord(int start, int length, const QString& with)
{
    if (!m_doc)
        return;
    const int end = commands::replaceWord(*m_doc, start, start + length, with);
    m_doc->ActiveWindow().Selection().SetRange(end, end);
}

QMenu* SpellContextMenu::menuAt(int pos)
{
    if (!m_doc || pos < 0)
        return nullptr;
    SpellHighlighter* h = SpellHighlighter::of(m_doc->textDocument());
    const std::optional<WordSpan> w = h ? h->misspeltAt(pos) : std::nullopt;
    if (!w)
        return nullptr;
    const QString word = m_doc->textDocument()->toRawText().mid(w->start, w->length);
    auto* menu = new QMenu;
    menu->setObjectName(QStringLiteral("SpellMenu"));
    const QStringList suggestions = m_speller.suggestions(word, 6);
    for (const QString& s : suggestions) {
        QAction* a = menu->addAction(s);
        QFont f = a->font();
        f.setBold(true);
        a->setFont(f);
        const int start = w->start, length = w->length;
        connect(a, &QAction::triggered, this, [this, start, length, s] { replaceWord(start, length, s); });
    }
    if (suggestions.isEmpty())
        menu->addAction(QStringLiteral("(nincs javaslat)"))->setEnabled(false);
    menu->addSeparator();
    QAction* add = menu->addAction(QStringLiteral("Felvétel a szótárba"));
    add->setObjectName(QStringLiteral("addToDictionary"));
    connect(add, &QAction::triggered, this, [this, word] {
        try {
            m_speller.addToDictionary(word);
        } catch (const word::Error& e) {
            if (m_view && m_view->textItem())
                emit m_view->textItem()->engineFailed(e.message());
            return;
        }
        if (m_doc)
            if (SpellHighlighter* hl = SpellHighlighter::of(m_doc->textDocument()))
                hl->recheckAll();
    });
    menu->addSeparator();
    if (m_view && m_view->textItem()) {
        word::view::PageTextItem* item = m_view->textItem();
        const bool selected = item->textCursor().hasSelection();
        menu->addAction(QStringLiteral("Kivágás"), item, [item] { item->cut(); })->setEnabled(selected);
        menu->addAction(QStringLiteral("Másolás"), item, [item] { item->copy(); })->setEnabled(selected);
        menu->addAction(QStringLiteral("Beillesztés"), item, [item] { item->paste(); });
    }
    return menu;
}

bool SpellContextMenu::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::ContextMenu || !m_view || watched != m_view->viewport())
        return QObject::eventFilter(watched, event);
    auto* e = static_cast<QContextMenuEvent*>(event);
    std::unique_ptr<QMenu> menu(menuAt(positionAt(e->pos())));
    if (!menu)
        return false;   // the page's own menu
    menu->exec(e->globalPos());
    return true;
}

} // namespace commands
