#pragma once
// Positions in the text that must follow every edit exactly: the two ends of
// every bookmark and the zero-width markup the model keeps verbatim (field
// characters, comment anchors, proofing marks, permission ranges, ...).
//
// Edits are reported as "characters [pos, pos + removed) were replaced by
// `added` characters". Cost per edit, per lookup and per insertion is
// logarithmic in the number of points (plus the points inside the edited
// span), so writing ten thousand bookmarked values stays linear overall.
//
// Edit rules (Word's):
//  - points before pos stay; points after pos + removed shift by added - removed;
//  - on a pure insertion (removed == 0) points at pos stay at pos, so text typed
//    at a bookmark's end stays outside it and text typed at its start goes in;
//  - a non-empty bookmark whose whole text is replaced or deleted is removed,
//    and so is every bookmark (and markup point) lying strictly inside the span;
//    a collapsed bookmark exactly at either edge of the span stays at that edge;
//  - a bookmark that encloses the span grows or shrinks with it; one that
//    overlaps the span's start keeps its start and ends at pos; one that
//    overlaps the span's end begins right after the new text;
//  - markup points with a group id are removed together: when one point of a
//    group goes, the whole group goes (a field's begin, separator and end).
//
// Bookmark names are matched without regard to case (Unicode case folding) and
// keep their spelling. Names beginning with "_" are hidden: kept and reported
// by allBookmarks(), never by the listing functions that take includeHidden=false.

#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace word::model {

struct BookmarkInfo {
    QString name;
    int start = 0;
    int end = 0;
    int xmlId = -1;      // the w:id it was read with, -1 for bookmarks added since
};

struct AnchorPoint {
    enum Kind { BookmarkStart, BookmarkEnd, Markup };
    Kind kind;
    int position;
    int ref;             // bookmark serial for bookmark points, markup index for Markup
    QString name;        // the bookmark's name for bookmark points
    int handle = -1;     // the markup handle for Markup points
    int xmlId = -1;      // the bookmark's w:id as read, for bookmark points
};

class AnchorTable {
public:
    AnchorTable();
    ~AnchorTable();
    AnchorTable(const AnchorTable&) = delete;
    AnchorTable& operator=(const AnchorTable&) = delete;

    // Bookmarks. add() with an existing name moves that bookmark (it keeps its
    // xmlId and its stored spelling).
    void addBookmark(const QString& name, int start, int end, int xmlId = -1);
    bool removeBookmark(const QString& name);
    std::optional<BookmarkInfo> bookmark(const QString& name) const;
    // The bookmark's name as stored (its spelling), or a null string: no
    // positions worked out.
    QString storedName(const QString& name) const;
    bool hasBookmark(const QString& name) const;
    int bookmarkCount(bool includeHidden) const;
    std::vector<BookmarkInfo> bookmarksByName(bool includeHidden) const;           // sorted by name
    std::vector<BookmarkInfo> bookmarksInside(int start, int end, bool includeHidden) const; // doc order: by start, then longer first
    std::vector<BookmarkInfo> allBookmarks() const;                                 // doc order, hidden included
    // The index-th (0-based) bookmark in name order, without building the whole
    // list: repeated calls between two changes of the name set cost O(log n).
    std::optional<BookmarkInfo> bookmarkByNameAt(int index, bool includeHidden) const;

    // Zero-width markup. Points at one position keep the order they were added in.
    // Returns a handle for markupPosition()/removeMarkup(). removeMarkup() takes
    // the point's whole group with it.
    int addMarkup(int position, int markupIndex, int group = -1);
    std::optional<int> markupPosition(int handle) const;
    void removeMarkup(int handle);

    // Every point with from <= position <= to, in document order. At one position:
    // bookmark ends before markup before bookmark starts, each kind in insertion order;
    // the end of a collapsed bookmark comes after all starts, so it never precedes
    // its own start.
    void forEachPoint(int from, int to, const std::function<void(const AnchorPoint&)>& fn) const;
    // The points in [from, to], in order.
    std::vector<AnchorPoint> points(int from, int to) const;
    // A hash of the points in [from, to]: their kinds, their positions less
    // from, their names (or markup indexes) and xml ids. Equal for equal
    // points; costs no copies, for the signature of every paragraph.
    quint64 pointsHash(int from, int to) const;

    // The text changed: [pos, pos + removed) became `added` characters.
    void replaced(int pos, int removed, int added);

    // Snapshot and restore, for undo: restoring brings every bookmark and
    // markup point back as it was when the snapshot was taken, markup handles
    // included. Taking a snapshot is O(1): while any snapshot is alive, every
    // change is kept as a reversible step, and restore() walks back and forth
    // along those steps (undo and redo cost what the undone edits cost). When no
    // snapshot is alive, changes keep no history at all. A snapshot may outlive
    // the table; restoring it into another table is a programming error.
    struct Snapshot;
    std::shared_ptr<const Snapshot> snapshot() const;
    void restore(const Snapshot& s);

    void clear();
    // Room for count bookmarks, so that reading a document's many does not
    // grow the name table and the records again and again.
    void reserveBookmarks(int count);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace word::model
