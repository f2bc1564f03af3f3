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
    // SetRange without telling the views.
    void place(model::DocModel* story, int start, int end);
    // Puts the selection into the cursors at once, for positions known to lie in the story.
    void moveTo(model::DocModel* story, int start, int end);
    void replaceSelected(const QString& text, bool collapse);
    model::DocModel& storyModel() const;
    const QTextCursor& cur() const { return m_story ? m_storyCursor : m_cursor; }
    QTextCursor& cur() { return m_story ? m_storyCursor : m_cursor; }
    // Puts a selection placed but not yet moved to into the cursors.
    void settle() const;
    void dropPending() const;

    Document* m_doc;
    QTextCursor m_cursor;
    model::DocModel* m_story = nullptr;
    QTextCursor m_storyCursor;
    // A selection placed within one paragraph, outside an edit block, waits
    // here, in no cursor: moving cursors there costs an edit block of its
    // own, and setting a selecting cursor two frame lookups. Within one
    // paragraph Qt's selection rules (whole cells and tables) change nothing.
    // It goes into the cursors when it is read as a cursor, and before its
    // story's next edit.
    struct Pending {
        QPointer<QObject> storyObject;   // the story's model, as a QObject
        bool inStory;                    // false: the main text
        int start;
        int end;
    };
    mutable std::optional<Pending> m_pending;
};

} // namespace word
