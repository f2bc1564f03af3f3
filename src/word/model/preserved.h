#pragma once
// What was read but is not part of the text model, kept verbatim for writing
// back: the original XML of every paragraph (with the container-level markup
// before it), zero-width markup, tables' structure and the part's frame.

#include <QByteArray>
#include <QHash>
#include <QString>
#include <vector>

namespace word::model {

struct PreservedParagraph {
    QByteArray chunk;        // container-level XML before the paragraph + the paragraph itself
    quint64 signature = 0;   // of the block as built, text + formats + anchors
    // Its text or formats were edited since: it is written anew, and its
    // signature need not be compared.
    bool edited = false;
};

struct Markup {
    // An inline wrapper (hyperlink, content control, tracked change, simple
    // field, smart tag, custom XML) is a pair of markups sharing a group: the
    // open holds its start tag and properties, the close its end tag. The
    // writer nests them anew for every paragraph, so edits cannot break them.
    enum Role : int { Standalone = 0, Open = 1, Close = 2 };
    QString xml;             // written verbatim at its position
    int group = -1;          // markup written as a pair (wrapper open/close) shares a group
    int handle = -1;         // AnchorTable handle, -1 when not placed
    int role = Standalone;
};

// A block-level wrapper (content control or custom XML around paragraphs,
// tables, rows or cells). Blocks name the wrappers they lie in by index, in
// their BlockPath (outermost first); the writer opens and closes them where
// the path changes, so splitting a paragraph keeps both halves inside.
struct BlockWrapper {
    QString open;            // start tag, properties and, for a control, <w:sdtContent>
    QString close;           // the matching end tags
};

struct PreservedTable {
    QString open;            // <w:tbl ...> + tblPr + tblGrid, written before the first row
    QString tail;            // table-level items after the last row
    std::vector<QString> rowOpen;           // what opens each row: <w:tr>, tblPrEx, trPr
    QHash<quint64, QString> continuation;   // vertically merged cells below the first, verbatim
    std::vector<QString> rowPath;           // BlockPath of each row (row-level wrappers)
    std::vector<QString> rowTail;           // row-level XML after a row's last cell
    static quint64 key(int row, int col) { return (quint64(quint32(row)) << 32) | quint32(col); }
};

struct PreservedDocument {
    QByteArray head;         // everything before the body's content (declaration, root, background, <w:body>)
    QByteArray tail;         // the final sectPr, </w:body> and whatever follows
    QString wPrefix;         // prefix of the WordprocessingML namespace ("w" mostly)
    QString rPrefix;         // prefix of the relationships namespace
    std::vector<PreservedParagraph> paragraphs;
    std::vector<Markup> markups;
    std::vector<PreservedTable> tables;
    std::vector<BlockWrapper> wrappers;
    // Container-level XML kept before or after a paragraph (PrefixRef, SuffixRef):
    // written once even when the paragraph has been split.
    std::vector<QString> items;
    int maxBookmarkId = 0;
    int maxWrapperId = 0;    // largest w:id of a content control or tracked change read
    int nextGroup = 0;

    void clear() { *this = PreservedDocument(); }
};

} // namespace word::model
