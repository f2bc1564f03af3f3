#pragma once
// The selection of a document window. It exists without any view; a document
// host view shares it both ways through cursor() and Document::selectionChanged.

#include "word/range.h"
#include <QPointer>
#include <QTextCursor>
#include <optional>

namespace word {

class Document;
namespace model { class DocModel; }

class Selection {
public:
    explicit Selection(Document* doc);
    ~Selection();
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;

    int Start() const;
    int End() const;
    void SetRange(int start, int end);   // in the main text
    // Moves the selection into a story (null: the main text), as Word does
    // when a bookmark of a header is selected.
    void SetRange(model::DocModel* story, int start, int end);
    model::DocModel* story() const;
    QString Text() const;
    void setText(const QString& text);   // afterwards spans exactly the new text

    word::Range Range() const;
    word::Bookmarks Bookmarks() const;
    word::Font Font() const;
    word::Characters Characters() const;
    word::Find Find() const;

    void MoveLeft(int count = 1);        // collapsed: moves left; else collapses to start
    void Move(int count = 1);            // collapses (to the end for count > 0) and moves count-1 further
    void Copy() const;
    void Cut();
    void Paste();
    void Delete();
    void TypeText(const QString& text);

    // The selection in the main text, which a view shares; when the
    // selection stands in another story, that story's is not this one.
    const QTextCursor& cursor() const;
    // For a view that moves the selection: brings it back into the main text.
    QTextCursor& takeIntoMainText();

private:
    // SetRange without telling the views: for moves inside an edit block,
    // which is told of once the block is closed.
    void place(model::DocModel* story, int start, int end);
    // place() for positions known to lie in the story.
    void moveTo(model::DocModel* story, int start, int end);
    model::DocModel& storyModel() const;
    QTextCursor& cur() const { return m_story ? m_storyCursor : m_cursor; }
    // Makes a selection held as two ends one cursor's selection again.
    void join() const;
    void park() const;
    // Puts a selection placed but not yet moved to into the cursors.
    void settle() const;
    void dropPending() const;

    Document* m_doc;
    mutable QTextCursor m_cursor;
    model::DocModel* m_story = nullptr;
    mutable QTextCursor m_storyCursor;
    // A selection within one paragraph is held as two collapsed cursors: its
    // start in cur(), its end in m_end. Qt adjusts both through every edit
    // exactly as it adjusts the two ends of a selection, and within one
    // paragraph its own selection rules (whole cells and tables) change
    // nothing; but setting a cursor's selection costs two frame lookups.
    mutable QTextCursor m_end;
    mutable bool m_split = false;
    // A selection placed outside an edit block waits here, in no cursor:
    // moving cursors there costs an edit block of its own. It goes into the
    // cursors when it is read as a cursor, and before its story's next edit.
    struct Pending {
        QPointer<QObject> storyObject;   // the story's model, as a QObject
        bool inStory;                    // false: the main text
        int start;
        int end;
    };
    mutable std::optional<Pending> m_pending;
};

} // namespace word
