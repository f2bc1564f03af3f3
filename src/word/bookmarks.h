#pragma once
// Bookmarks collection and Bookmark handle of the automation surface.
// Names are matched without regard to case and keep their original spelling.
// Hidden bookmarks (names beginning with "_") are kept but never listed.

#include <QString>

namespace word {

class Document;
class Range;
namespace model { class DocModel; }

class Bookmark {
public:
    Bookmark(Document* doc, QString name);
    QString Name() const;        // the stored spelling; throws when it no longer exists
    void Select() const;
    word::Range Range() const;
    void Delete();               // the bookmark goes, its text stays

private:
    Document* m_doc;
    QString m_name;
};

class Bookmarks {
public:
    // Whole document (sorted by name) when restricted is false; otherwise those
    // lying wholly inside [start, end), in document order (by start, longer first).
    // The whole document's collection spans every story (main text, headers,
    // footers, notes, comments); a restricted one lists a span of one story.
    Bookmarks(Document* doc, bool restricted, int start, int end);
    Bookmarks(Document* doc, model::DocModel* story, int start, int end);   // restricted, in story (null: main)
    int Count() const;
    Bookmark Item(int index) const;            // 1-based
    Bookmark Item(const QString& name) const;  // throws when no such bookmark
    bool Exists(const QString& name) const;
    // Marks the given range, or the document window's selection when none is
    // given. An existing bookmark of that name moves. Invalid names throw.
    Bookmark Add(const QString& name);
    Bookmark Add(const QString& name, const word::Range& range);

private:
    model::DocModel& storyModel() const;
    // Marks [start, end] of target; the name has been checked.
    Bookmark addAt(const QString& name, model::DocModel& target, int start, int end);
    Document* m_doc;
    model::DocModel* m_story = nullptr;
    bool m_restricted;
    int m_start;
    int m_end;
};

} // namespace word
