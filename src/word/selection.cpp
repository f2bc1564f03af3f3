#include "word/selection.h"

#include "word/bookmarks.h"
#include "word/document.h"
#include "word/error.h"
#include "word/model/docmodel.h"
#include "word/model/textaccess.h"

#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>

namespace word {

Selection::Selection(Document* doc) : m_doc(doc), m_cursor(doc->textDocument()) {}

Selection::~Selection() { dropPending(); }

int Selection::Start() const { return m_pending ? m_pending->start : cur().selectionStart(); }

int Selection::End() const { return m_pending ? m_pending->end : cur().selectionEnd(); }

const QTextCursor& Selection::cursor() const
{
    settle();
    return m_cursor;
}

QTextCursor& Selection::takeIntoMainText()
{
    settle();
    m_story = nullptr;
    return m_cursor;
}

model::DocModel* Selection::story() const
{
    return m_pending ? static_cast<model::DocModel*>(m_pending->storyObject.data()) : m_story;
}

model::DocModel& Selection::storyModel() const
{
    model::DocModel* s = story();
    return s ? *s : m_doc->model();
}

void Selection::settle() const
{
    if (!m_pending)
        return;
    const Pending p = *m_pending;
    dropPending();
    auto* story = static_cast<model::DocModel*>(p.storyObject.data());
    if (p.inStory && !story)
        return;   // the story is gone; the selection stays where it was
    const_cast<Selection*>(this)->moveTo(story, p.start, p.end);
}

void Selection::dropPending() const
{
    if (!m_pending)
        return;
    auto* m = m_pending->inStory ? static_cast<model::DocModel*>(m_pending->storyObject.data()) : &m_doc->model();
    m_pending.reset();
    if (m)
        m->callBeforeNextEdit(nullptr);
}

void Selection::SetRange(int start, int end) { SetRange(nullptr, start, end); }

void Selection::SetRange(model::DocModel* story, int start, int end)
{
    place(story, start, end);
    m_doc->notifySelectionChanged();
}

void Selection::place(model::DocModel* story, int start, int end)
{
    if (story == &m_doc->model())
        story = nullptr;
    model::DocModel& m = story ? *story : m_doc->model();
    const int last = m.endPosition();
    if (start < 0 || end < start || end > last)
        throw Error(QStringLiteral("Érvénytelen kijelölés: %1–%2 (a dokumentum hossza %3).").arg(start).arg(end).arg(last));
    // Inside an edit block the cursors move cheaply, and the next edit may
    // come without a new block to announce it. Across paragraphs Qt's
    // selection rules may move the ends (into whole cells and tables), and
    // only a cursor knows how.
    const QTextBlock b = m.text()->findBlock(start);
    if (m.inEditScope() || end >= b.position() + b.length()) {
        moveTo(story, start, end);
        return;
    }
    dropPending();
    m_pending = Pending{ story, story != nullptr, start, end };
    m.callBeforeNextEdit([this] { settle(); });
}

void Selection::moveTo(model::DocModel* story, int start, int end)
{
    dropPending();
    if (story && story != m_story)
        m_storyCursor = QTextCursor(story->text());
    m_story = story;
    model::DocModel::QuietCursors quiet(storyModel());
    QTextCursor& c = cur();
    c.setPosition(start);
    c.setPosition(end, QTextCursor::KeepAnchor);
}

QString Selection::Text() const { return model::wordText(storyModel(), Start(), End()); }

void Selection::setText(const QString& text) { replaceSelected(text, false); }

word::Range Selection::Range() const { return word::Range(m_doc, story(), Start(), End()); }

word::Bookmarks Selection::Bookmarks() const { return word::Bookmarks(m_doc, story(), Start(), End()); }

word::Font Selection::Font() const { return word::Font(m_doc, Start(), End()); }

word::Characters Selection::Characters() const { return word::Characters(m_doc, Start(), End()); }

word::Find Selection::Find() const { return word::Find(m_doc, Start(), End(), true); }

void Selection::MoveLeft(int count)
{
    if (count < 1)
        return;
    int p = Start();
    if (Start() != End())
        --count;   // the first step only collapses
    p = std::max(0, p - count);
    SetRange(story(), p, p);
}

void Selection::Move(int count)
{
    const int last = storyModel().endPosition();
    int p = count > 0 ? End() : Start();
    if (Start() != End())
        count += count > 0 ? -1 : (count < 0 ? 1 : 0);   // collapsing is the first unit
    p = std::clamp(p + count, 0, last);
    SetRange(story(), p, p);
}

void Selection::Copy() const { Range().Copy(); }

void Selection::Cut()
{
    word::Range r = Range();
    r.Cut();
    SetRange(story(), r.Start(), r.End());
}

void Selection::Paste()
{
    word::Range r = Range();
    r.Paste();
    SetRange(story(), r.Start(), r.End());
}

void Selection::Delete()
{
    word::Range r = Range();
    r.Delete();
    SetRange(story(), r.Start(), r.End());
}

void Selection::TypeText(const QString& text) { replaceSelected(text, true); }

// The selection is placed anew once the replacement's edit block is closed;
// one still waiting is not put into the cursors first, since it moves anyway.
void Selection::replaceSelected(const QString& text, bool collapse)
{
    const int start = Start();
    const int end = End();
    model::DocModel* in = story();
    model::DocModel& m = storyModel();
    const std::optional<Pending> waiting = m_pending;
    dropPending();
    int newEnd = start;
    try {
        model::DocModel::EditScope scope(m);
        newEnd = m.replaceText(start, end, text);
    } catch (...) {
        if (waiting)
            place(in, waiting->start, waiting->end);
        throw;
    }
    place(in, collapse ? newEnd : start, newEnd);
    m_doc->notifySelectionChanged();
}

} // namespace word
