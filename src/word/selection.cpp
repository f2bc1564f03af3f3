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

int Selection::Start() const
{
    if (m_pending)
        return m_pending->start;
    return m_split ? std::min(cur().position(), m_end.position()) : cur().selectionStart();
}

int Selection::End() const
{
    if (m_pending)
        return m_pending->end;
    return m_split ? std::max(cur().position(), m_end.position()) : cur().selectionEnd();
}

const QTextCursor& Selection::cursor() const
{
    settle();
    if (!m_story)
        join();
    return m_cursor;
}

QTextCursor& Selection::takeIntoMainText()
{
    settle();
    join();
    m_story = nullptr;
    return m_cursor;
}

void Selection::join() const
{
    if (!m_split)
        return;
    model::DocModel::QuietCursors quiet(storyModel());
    QTextCursor& c = cur();
    c.setPosition(c.position());
    c.setPosition(m_end.position(), QTextCursor::KeepAnchor);
    park();
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
    model::DocModel::QuietCursors quiet(story ? *story : m_doc->model());
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
    const int last = (story ? *story : m_doc->model()).endPosition();
    if (start < 0 || end < start || end > last)
        throw Error(QStringLiteral("Érvénytelen kijelölés: %1–%2 (a dokumentum hossza %3).").arg(start).arg(end).arg(last));
    if (story == &m_doc->model())
        story = nullptr;
    model::DocModel& m = story ? *story : m_doc->model();
    // Across paragraphs Qt's selection rules may move the ends (into whole
    // cells and tables), and only a cursor knows how.
    const QTextBlock b = m.text()->findBlock(start);
    if (end >= b.position() + b.length()) {
        model::DocModel::QuietCursors quiet(m);
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
    if (story == &m_doc->model())
        story = nullptr;
    if (story && story != m_story)
        m_storyCursor = QTextCursor(story->text());
    m_story = story;
    model::DocModel& m = storyModel();
    model::DocModel::QuietCursors quiet(m);
    QTextCursor& c = cur();
    c.setPosition(start);
    if (end != start) {
        const QTextBlock b = m.text()->findBlock(start);
        if (end < b.position() + b.length()) {
            if (m_end.isNull() || m_end.document() != m.text())
                m_end = QTextCursor(m.text());
            m_end.setKeepPositionOnInsert(false);
            m_end.setPosition(end);
            m_split = true;
            return;
        }
        c.setPosition(end, QTextCursor::KeepAnchor);
    }
    park();
}

// An end cursor not in use waits at the start, where no edit moves it: Qt
// reports every cursor an edit moved, and that costs more than the move.
void Selection::park() const
{
    m_split = false;
    if (!m_end.isNull() && m_end.position() != 0) {
        m_end.setKeepPositionOnInsert(true);
        m_end.setPosition(0);
    }
}

QString Selection::Text() const { return model::wordText(storyModel(), Start(), End()); }

void Selection::setText(const QString& text)
{
    const int start = Start();
    const int end = End();
    model::DocModel* in = story();
    model::DocModel& m = storyModel();
    // The selection moves inside the replacement's edit block, without one
    // of its own; the views hear of it once the block is closed. A selection
    // still waiting is not put into the cursors first: it is moved anyway.
    const std::optional<Pending> waiting = m_pending;
    dropPending();
    try {
        model::DocModel::EditScope scope(m);
        park();
        moveTo(in, start, m.replaceText(start, end, text));
    } catch (...) {
        if (waiting)
            place(in, waiting->start, waiting->end);
        throw;
    }
    m_doc->notifySelectionChanged();
}

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

void Selection::TypeText(const QString& text)
{
    const int start = Start();
    const int end = End();
    model::DocModel* in = story();
    model::DocModel& m = storyModel();
    const std::optional<Pending> waiting = m_pending;
    dropPending();
    try {
        model::DocModel::EditScope scope(m);
        park();
        const int newEnd = m.replaceText(start, end, text);
        moveTo(in, newEnd, newEnd);
    } catch (...) {
        if (waiting)
            place(in, waiting->start, waiting->end);
        throw;
    }
    m_doc->notifySelectionChanged();
}

} // namespace word
