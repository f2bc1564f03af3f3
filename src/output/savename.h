#pragma once
// How a finished document is saved depends on the file it was opened from: a
// contract assembled from a template (.sab) is saved under a new name as a
// document of its own; anything else was a document already and is saved as one.

#include <QString>

namespace output {

// True when the opened file is a template: its extension is ".sab" in any case.
bool isTemplateBased(const QString& openedFile);

// The name proposed for a contract made from a template: the template's file
// name without its folder, with ".dot" in place of its extension.
QString proposedDocumentName(const QString& templateFile);

} // namespace output
