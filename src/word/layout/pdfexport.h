#pragma once
// A document as PDF, through the page layout and the page painter: one PDF
// page per page with its own paper size, fonts embedded, text selectable,
// the document's title in the metadata.

#include <QString>

namespace word::model { class DocModel; }

namespace word::layout {

// The title of the document's core properties, else the file's base name.
QString documentTitle(const model::DocModel& model);

// Lays the document out (installing the layout when it has none) and writes
// it to path. On failure returns false and says why in error (Hungarian).
bool writePdf(model::DocModel& model, const QString& path, QString* error = nullptr);

} // namespace word::layout
