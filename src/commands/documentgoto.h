#pragma once
// The "Ugrás" targets of a document: pages, sections, lines, bookmarks and
// tables, found by number ("3"), relative to the selection ("+2", "-1"; an
// empty entry is the next one) or, for bookmarks, by name.

#include <QList>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace word { class Document; }

namespace commands {

enum class GoToKind { Page, Section, Line, Bookmark, Table };

struct GoToSpan {
    int start = 0;
    int end = 0;
};

class DocumentGoTo {
public:
    // The pages as rectangles in the coordinates of the document's layout,
    // top to bottom. Without it the layout's page size cuts the text into pages.
    using PageRects = std::function<QList<QRectF>()>;

    explicit DocumentGoTo(word::Document& doc, PageRects pages = {});

    // How many there are, and which one (1-based) holds the selection's start.
    int count(GoToKind kind) const;
    int current(GoToKind kind) const;

    // Every listed bookmark (hidden ones aside), in document order, the
    // occurrence bookmarks of the fields among them.
    QStringList bookmarks() const;

    // Where spec leads; throws word::Error saying what does not exist or
    // what is not a number. A page, section, line or table is the place at
    // its start; a bookmark is its text.
    GoToSpan resolve(GoToKind kind, const QString& spec) const;

    // resolve, then select the place and bring it into view.
    void go(GoToKind kind, const QString& spec);

    static QString kindName(GoToKind kind);   // "oldal", "szakasz", ...

private:
    int startOf(GoToKind kind, int index) const;   // index 1-based, valid
    std::vector<int> startsOf(GoToKind kind) const;
    std::vector<int> pageStarts() const;
    word::Document& m_doc;
    PageRects m_pages;
};

} // namespace commands
