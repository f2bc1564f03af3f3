#include "word/range.h"

#include "word/bookmarks.h"
#include "word/document.h"
#include "word/error.h"
#include "word/model/clipboard.h"
#include "word/model/docmodel.h"
#include "word/model/fragment.h"
#include "word/model/textaccess.h"

#include <QTextCursor>
#include <QTextDocument>

namespace word {

struct Range::Tracker {
    QTextCursor cursor;
};

namespace {

void checkBounds(const model::DocModel& m, int start, int end)
{
    const int last = m.endPosition();
    if (start < 0 || end < start || end > last)
        throw Error(QStringLiteral("Érvénytelen tartomány: %1–%2 (a dokumentum hossza %3).").arg(start).arg(end).arg(last));
}

} // namespace

Range::Range(Document* doc, int start, int end) : Range(doc, nullptr, start, end) {}

Range::Range(Document* doc, model::DocModel* story, int start, int end)
    : m_doc(doc), m_story(story), m_track(std::make_shared<Tracker>())
{
    model::DocModel& m = storyModel();
    checkBounds(m, start, end);
    model::DocModel::QuietCursors quiet(m);
    m_track->cursor = QTextCursor(m.text());
    m_track->cursor.setPosition(start);
    m_track->cursor.setPosition(end, QTextCursor::KeepAnchor);
}

model::DocModel& Range::storyModel() const { return m_story ? *m_story : m_doc->model(); }

Range::~Range() = default;

Range::Range(const Range& o) : m_doc(o.m_doc), m_story(o.m_story), m_track(std::make_shared<Tracker>(*o.m_track)) {}

Range& Range::operator=(const Range& o)
{
    if (this != &o) {
        m_doc = o.m_doc;
        m_story = o.m_story;
        m_track = std::make_shared<Tracker>(*o.m_track);
    }
    return *this;
}

int Range::Start() const { return m_track->cursor.selectionStart(); }

int Range::End() const { return m_track->cursor.selectionEnd(); }

void Range::SetRange(int start, int end)
{
    checkBounds(storyModel(), start, end);
    model::DocModel::QuietCursors quiet(storyModel());
    m_track->cursor.setPosition(start);
    m_track->cursor.setPosition(end, QTextCursor::KeepAnchor);
}

QString Range::Text() const { return model::wordText(storyModel(), Start(), End()); }

void Range::setText(const QString& text)
{
    const int start = Start();
    const int end = End();
    model::DocModel& m = storyModel();
    model::DocModel::EditScope scope(m);   // the range moves inside the replacement's edit block
    const int newEnd = m.replaceText(start, end, text);
    SetRange(start, newEnd);
}

word::Bookmarks Range::Bookmarks() const { return word::Bookmarks(m_doc, m_story, Start(), End()); }

word::Font Range::Font() const { return word::Font(m_doc, Start(), End()); }

word::Characters Range::Characters() const { return word::Characters(m_doc, Start(), End()); }

word::Find Range::Find() const
{
    // The Find outlives no Range it was made from in any use of the surface,
    // but a weak link costs nothing and keeps a late hit harmless.
    std::weak_ptr<Tracker> track = m_track;
    Document* doc = m_doc;
    return word::Find(m_doc, Start(), End(), false, [track, doc](int start, int end) {
        const std::shared_ptr<Tracker> t = track.lock();
        if (!t)
            return;
        model::DocModel::QuietCursors quiet(doc->model());
        t->cursor.setPosition(start);
        t->cursor.setPosition(end, QTextCursor::KeepAnchor);
    });
}

void Range::Select() const { m_doc->ActiveWindow().Selection().SetRange(m_story, Start(), End()); }

void Range::Delete()
{
    int start = Start();
    int end = End();
    model::DocModel& m = storyModel();
    if (start == end) {
        if (end >= m.endPosition())
            return;   // nothing follows: Word deletes nothing either
        end = start + 1;
    }
    m.replaceText(start, end, QString(), QTextCharFormat());
    SetRange(start, start);
}

void Range::Copy() const
{
    if (Start() == End())
        throw Error(QStringLiteral("A másoláshoz nincs kijelölt szöveg."));
    model::putOnClipboard(model::extractFragment(storyModel(), Start(), End()));
}

void Range::Cut()
{
    Copy();
    const int start = Start();
    storyModel().replaceText(start, End(), QString(), QTextCharFormat());
    SetRange(start, start);
}

void Range::Paste()
{
    const int start = Start();
    const int end = End();
    model::DocModel& m = storyModel();
    const model::Fragment f = model::takeFromClipboard(m.formatForReplacing(start, end));
    if (f.isEmpty())
        throw Error(QStringLiteral("A vágólap üres, nincs mit beilleszteni."));
    model::DocModel::EditScope scope(m);
    if (end > start)
        m.replaceText(start, end, QString(), QTextCharFormat());
    const int newEnd = model::insertFragment(m, start, f);
    SetRange(newEnd, newEnd);
}

void Range::Collapse(bool toStart)
{
    const int p = toStart ? Start() : End();
    SetRange(p, p);
}

} // namespace word
