#pragma once
// Writes a DocModel back as WordprocessingML. A paragraph whose text, look
// and anchors are as they were read is written from its original XML; any
// other is generated from the text runs, with each run's rPr as read (patched
// only where the engine changed the look) and the preserved markup, bookmarks
// and objects at their places.

#include <QByteArray>
#include <functional>

class QTextBlock;

namespace word::model { class DocModel; }

namespace word::ooxml {

// Lets the caller write something else for a block (the reference to a
// subdocument whose text goes to a file of its own): returns true when it
// has put its replacement (possibly nothing) into out.
using BlockSubstitute = std::function<bool(const QTextBlock&, QByteArray& out)>;

// The main part's XML.
QByteArray writeDocumentXml(const model::DocModel& model, const BlockSubstitute& substitute = {});
// A body holding the blocks of [start, end] only, framed like the main part.
QByteArray writeRangeXml(const model::DocModel& model, int start, int end);

} // namespace word::ooxml
