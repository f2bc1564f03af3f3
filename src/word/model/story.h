#pragma once
// The stories of a document besides its main text: headers and footers,
// footnotes, endnotes, comments and text boxes. Each has a model of its own (text,
// bookmarks, preserved XML), read from and written back to its part.
//
// Headers and footers are found through the relationships of the main part:
// a section's <w:headerReference w:type=".." r:id=".."/> names relId. Notes
// and comments are one story per note, in the order of their part; noteId
// is the note's w:id, which the main text's reference marks use.
//
// A text box lives inside a drawing or VML object of another story (its
// host, in part). The host's object character carries the box's boxId; the
// writer puts the box's content back into every w:txbxContent of the object
// (DrawingML and its VML fallback) once the box has changed since it was read.

#include <QString>
#include <QtGlobal>
#include <memory>

namespace word::model {

class DocModel;

struct Story {
    enum Kind { Header, Footer, Footnote, Endnote, Comment, TextBox };
    Kind kind = Header;
    QString part;       // absolute part name, e.g. "word/header1.xml"
    QString relId;      // headers and footers: the main part's relationship id
    QString noteId;     // notes and comments: the w:id of the note
    QString noteType;   // notes: w:type ("separator", "continuationSeparator", ...) or empty for a real note
    int boxId = -1;     // text boxes: the id the host's object character carries
    std::unique_ptr<DocModel> model;
    quint64 writtenRevision = 0;   // the model's revision when its part was last read or written
    quint64 readRevision = 0;      // the model's revision when it was read
};

} // namespace word::model
