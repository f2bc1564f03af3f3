#pragma once
// The selection of a document window. It exists without any view; a document
// host view shares it both ways through cursor() and Document::selectionChanged.

#include "word/range.h"
#include <QTextCursor>

namespace word {

class Document;

class Selection {
public:
    explicit Selection(Document* doc);

    int Start() const;
    int End() const;
    void SetRange(int start, int end);
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

    QTextCursor& cursor() { return m_cursor; }
    const QTextCursor& cursor() const { return m_cursor; }

private:
    Document* m_doc;
    QTextCursor m_cursor;
};

} // namespace word
