#include "word/selection.h"

#include "word/bookmarks.h"
#include "word/document.h"
#include "word/error.h"
#include "word/model/docmodel.h"
#include "word/model/textaccess.h"

#include <QTextDocument>

namespace word {

Selection::Selection(Document* doc) : m_doc(doc), m_cursor(doc->textDocument()) {}

int Selection::Start() const { return m_cursor.selectionStart(); }

int Selection::End() const { return m_cursor.selectionEnd(); }

void Selection::SetRange(int start, int end)
{
    const int last = m_doc->model().endPosition();
    if (start < 0 || end < start || end > last)
        throw Error(QStringLiteral("Érvénytelen kijelölés: %1–%2 (a dokumentum hossza %3).").arg(start).arg(end).arg(last));
    {
        model::DocModel::QuietCursors quiet(m_doc->model());
        m_cursor.setPosition(start);
        m_cursor.setPosition(end, QTextCursor::KeepAnchor);
    }
    m_doc->notifySelectionChanged();
}

QString Selection::Text() const { return model::wordText(m_doc->model(), Start(), End()); }

void Selection::setText(const QString& text)
{
    const int start = Start();
    const int end = End();
    model::DocModel& m = m_doc->model();
    const int newEnd = m.replaceText(start, end, text, m.formatForReplacing(start, end));
    SetRange(start, newEnd);
}

word::Range Selection::Range() const { return word::Range(m_doc, Start(), End()); }

word::Bookmarks Selection::Bookmarks() const { return word::Bookmarks(m_doc, true, Start(), End()); }

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
    SetRange(p, p);
}

void Selection::Move(int count)
{
    const int last = m_doc->model().endPosition();
    int p = count > 0 ? End() : Start();
    if (Start() != End())
        count += count > 0 ? -1 : (count < 0 ? 1 : 0);   // collapsing is the first unit
    p = std::clamp(p + count, 0, last);
    SetRange(p, p);
}

void Selection::Copy() const { Range().Copy(); }

void Selection::Cut()
{
    word::Range r = Range();
    r.Cut();
    SetRange(r.Start(), r.End());
}

void Selection::Paste()
{
    word::Range r = Range();
    r.Paste();
    SetRange(r.Start(), r.End());
}

void Selection::Delete()
{
    word::Range r = Range();
    r.Delete();
    SetRange(r.Start(), r.End());
}

void Selection::TypeText(const QString& text)
{
    const int start = Start();
    const int end = End();
    model::DocModel& m = m_doc->model();
    const int newEnd = m.replaceText(start, end, text, m.formatForReplacing(start, end));
    SetRange(newEnd, newEnd);
}

} // namespace word
