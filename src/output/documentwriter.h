#pragma once
// Writing the finished document through the engine. The document is always
// written while its view stands at 100 percent, so the file keeps the natural
// zoom, and the user's zoom comes back afterwards.

#include <QString>

namespace word { class Document; }

namespace output {

// Turns the whole content into one subdocument and removes its section breaks,
// so the contract is stored as a master document with the text beside it.
// Failures are swallowed: the document is then written as it stands.
void prepareAsSubdocument(word::Document& doc);

// Collapses the selection, writes the document at 100 percent zoom and brings the
// zoom back to viewZoom. An empty path saves in place under the document's name.
// Throws word::Error when the file cannot be written; the old file is then whole
// and the document keeps its unsaved mark.
void writeDocument(word::Document& doc, const QString& path, int viewZoom);

} // namespace output
