#pragma once
// Writes a DocModel back as WordprocessingML. A paragraph whose text, look
// and anchors are as they were read is written from its original XML; any
// other is generated from the text runs, with each run's rPr as read (patched
// only where the engine changed the look) and the preserved markup, bookmarks
// and objects at their places.

#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QString>
#include <functional>

class QTextBlock;

namespace word::model { class DocModel; }

namespace word::ooxml {

// Lets the caller write something else for a block (the reference to a
// subdocument whose text goes to a file of its own): returns true when it
// has put its replacement (possibly nothing) into out.
using BlockSubstitute = std::function<bool(const QTextBlock&, QByteArray& out)>;

// Ids given while writing the parts of one package, which share their id
// spaces: bookmarks, and content controls with tracked changes. Starts from
// the largest ids read, so ids given anew never meet ids kept.
struct WriteIds {
    int nextBookmark = 1;
    int nextWrapper = 1;
    QSet<QString> controlIds;   // content-control ids written so far
    // Text boxes changed since they were read, by boxId: their objects are
    // written with the box's content.
    QHash<int, const model::DocModel*> changedBoxes;
    static WriteIds startingAfter(const model::DocModel& main);   // over the main model and its stories
};

// The main part's XML (for a story's model: its part, or its note element).
QByteArray writeDocumentXml(const model::DocModel& model, const BlockSubstitute& substitute = {},
                            WriteIds* ids = nullptr);
// A body holding the blocks of [start, end] only, framed like the main part.
QByteArray writeRangeXml(const model::DocModel& model, int start, int end);

} // namespace word::ooxml
