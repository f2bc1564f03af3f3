#include "word/selection.h"

#include "word/bookmarks.h"
#include "word/document.h"
#include "word/error.h"
#include "word/model/docmodel.h"
#include "word/model/textaccess.h"

#include <QTextDocument>

namespace word {

Selection::Selection(Document* doc) : m_doc(doc), m_cursor(doc->textDocument()) {}

int Selection::Start() const { return cur().selectionStart(); }

int Selection::End() const { return cur().selectionEnd(); }

model::DocModel& Selection::storyModel() const { return m_story ? *m_story : m_doc->model(); }

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
    const int last = (story ? *story : m_doc->model()).endPosition();
    if (start < 0 || end < start || end > last)
        throw Error(QStringLiteral("Érvénytelen kijelölés: %1–%2 (a dokumentum hossza %3).").arg(start).arg(end).arg(last));
    if (story && story != m_story)
        m_storyCursor = QTextCursor(story->text());
    m_story = story;
    {
        model::DocModel::QuietCursors quiet(storyModel());
        QTextCursor& c = m_story ? m_storyCursor : m_cursor;
        c.setPosition(start);
        c.setPosition(end, QTextCursor::KeepAnchor);
    }
}

QString Selection::Text() const { return model::wordText(storyModel(), Start(), End()); }

void Selection::setText(const QString& text)
{
    const int start = Start();
    const int end = End();
    model::DocModel& m = storyModel();
    // The selection moves inside the replacement's edit block, without one
    // of its own; the views hear of it once the block is closed.
    {
        model::DocModel::EditScope scope(m);
        place(m_story, start, m.replaceText(start, end, text));
    }
    m_doc->notifySelectionChanged();
}

word::Range Selection::Range() const { return word::Range(m_doc, m_story, Start(), End()); }

word::Bookmarks Selection::Bookmarks() const { return word::Bookmarks(m_doc, m_story, Start(), End()); }

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
    SetRange(m_story, p, p);
}

void Selection::Move(int count)
{
    const int last = storyModel().endPosition();
    int p = count > 0 ? End() : Start();
    if (Start() != End())
        count += count > 0 ? -1 : (count < 0 ? 1 : 0);   // collapsing is the first unit
    p = std::clamp(p + count, 0, last);
    SetRange(m_story, p, p);
}

void Selection::Copy() const { Range().Copy(); }

void Selection::Cut()
{
    word::Range r = Range();
    r.Cut();
    SetRange(m_story, r.Start(), r.End());
}

void Selection::Paste()
{
    word::Range r = Range();
    r.Paste();
    SetRange(m_story, r.Start(), r.End());
}

void Selection::Delete()
{
    word::Range r = Range();
    r.Delete();
    SetRange(m_story, r.Start(), r.End());
}

void Selection::TypeText(const QString& text)
{
    const int start = Start();
    const int end = End();
    model::DocModel& m = storyModel();
    {
        model::DocModel::EditScope scope(m);
        const int newEnd = m.replaceText(start, end, text);
        place(m_story, newEnd, newEnd);
    }
    m_doc->notifySelectionChanged();
}

} // namespace word
