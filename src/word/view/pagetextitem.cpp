#include "word/view/pagetextitem.h"

#include "word/document.h"
#include "word/error.h"

#include <QGraphicsSceneContextMenuEvent>
#include <QGraphicsSceneDragDropEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QTextCursor>

namespace word::view {

PageTextItem::PageTextItem(word::Document* doc)
    : m_doc(doc)
{
    setDocument(doc->textDocument());
    setTextInteractionFlags(Qt::TextEditorInteraction);
    setFlag(QGraphicsItem::ItemIsFocusable, true);
    // Paint only what is exposed: a keystroke repaints a line, not every page.
    setFlag(QGraphicsItem::ItemUsesExtendedStyleOption, true);
    setAcceptDrops(true);
    showEngineSelection();
}

void PageTextItem::showEngineSelection()
{
    if (!m_doc)
        return;
    // Read without taking: a selection in a header, a note or a text box
    // stays there (the page edits the main text only) and is not shown.
    const word::Selection& selection = m_doc->ActiveWindow().Selection();
    if (selection.story())
        return;
    // A fresh cursor: the engine's own may carry keep-position flags that
    // would change how typing at it behaves.
    const QTextCursor& engine = selection.cursor();
    QTextCursor shown(document());
    shown.setPosition(engine.anchor());
    shown.setPosition(engine.position(), QTextCursor::KeepAnchor);
    m_anchor = shown.anchor();
    m_position = shown.position();
    setTextCursor(shown);
}

// The user's cursor moves and selections become the engine's selection, so
// that commands acting on the selection act on what the user sees selected.
void PageTextItem::takeViewSelection()
{
    if (!m_doc)
        return;
    const QTextCursor shown = textCursor();
    if (shown.anchor() == m_anchor && shown.position() == m_position)
        return;
    m_anchor = shown.anchor();
    m_position = shown.position();
    QTextCursor& engine = m_doc->ActiveWindow().Selection().takeIntoMainText();
    engine.setPosition(m_anchor);
    engine.setPosition(m_position, QTextCursor::KeepAnchor);
}

bool PageTextItem::sceneEvent(QEvent* event)
{
    const bool handled = QGraphicsTextItem::sceneEvent(event);
    takeViewSelection();
    return handled;
}

template <typename Fn>
void PageTextItem::runEngine(Fn&& fn)
{
    if (!m_doc)
        return;
    takeViewSelection();
    try {
        fn(m_doc->ActiveWindow().Selection());
    } catch (const word::Error& e) {
        emit engineFailed(e.message());
    }
    showEngineSelection();
}

void PageTextItem::copy()
{
    runEngine([](word::Selection& s) { s.Copy(); });
}

void PageTextItem::cut()
{
    runEngine([](word::Selection& s) { s.Cut(); });
}

void PageTextItem::paste()
{
    runEngine([](word::Selection& s) { s.Paste(); });
}

void PageTextItem::keyPressEvent(QKeyEvent* event)
{
    if (event == QKeySequence::Copy) {
        copy();
        return;
    }
    if (event == QKeySequence::Cut) {
        cut();
        return;
    }
    if (event == QKeySequence::Paste) {
        paste();
        return;
    }
    // Text typed over a selection replaces it through the engine, so the
    // bookmarks it covers follow whatever the lengths (Qt reports a
    // replacement of equal length like a change of formatting).
    const QString typed = event->text();
    if (m_doc && textCursor().hasSelection() && !typed.isEmpty() && typed.at(0).isPrint()
        && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
        runEngine([&typed](word::Selection& s) { s.TypeText(typed); });
        return;
    }
    // One undo order for the whole document, headers, notes and boxes included.
    if (m_doc && (event == QKeySequence::Undo || event == QKeySequence::Redo)) {
        if (event == QKeySequence::Undo)
            m_doc->Undo();
        else
            m_doc->Redo();
        return;
    }
    QGraphicsTextItem::keyPressEvent(event);
}

void PageTextItem::contextMenuEvent(QGraphicsSceneContextMenuEvent* event)
{
    QMenu menu;
    const bool selected = textCursor().hasSelection();
    menu.addAction(QStringLiteral("Kivágás"), this, [this] { cut(); })->setEnabled(selected);
    menu.addAction(QStringLiteral("Másolás"), this, [this] { copy(); })->setEnabled(selected);
    menu.addAction(QStringLiteral("Beillesztés"), this, [this] { paste(); });
    menu.exec(event->screenPos());
}

// Dragged text would move without its bookmarks; moving text is done with
// cut and paste instead.
void PageTextItem::dragEnterEvent(QGraphicsSceneDragDropEvent* event)
{
    event->ignore();
}

void PageTextItem::dragMoveEvent(QGraphicsSceneDragDropEvent* event)
{
    event->ignore();
}

void PageTextItem::dropEvent(QGraphicsSceneDragDropEvent* event)
{
    event->ignore();
}

} // namespace word::view
