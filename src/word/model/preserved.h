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
};

struct Markup {
    QString xml;             // written verbatim at its position
    int group = -1;          // markup written as a pair (wrapper open/close) shares a group
    int handle = -1;         // AnchorTable handle, -1 when not placed
};

struct PreservedTable {
    QString open;            // <w:tbl ...> + tblPr + tblGrid, written before the first row
    QString tail;            // table-level items after the last row
    std::vector<QString> rowOpen;           // what opens each row: <w:tr>, tblPrEx, trPr
    QHash<quint64, QString> continuation;   // vertically merged cells below the first, verbatim
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
    int maxBookmarkId = 0;
    int nextGroup = 0;

    void clear() { *this = PreservedDocument(); }
};

} // namespace word::model
