#pragma once
// The compatibility re-save after a template-based save: the subdocument files
// written beside the saved contract are opened once more in an engine of their
// own, made to take their styles from the program's compatibility template,
// and written back. Older word processors then show them with the styles they
// know.

#include <QString>
#include <QStringList>

namespace output {

// The program's compatibility template, looked for in the program's own folder.
QString compatibilityTemplate(const QString& programFolder);

// The subdocument files of the document saved at savedPath, in name order.
// Other files of the folder are the user's own and are never touched.
QStringList subdocumentFiles(const QString& savedPath);

// Re-saves every subdocument file of savedPath with templatePath attached.
// Throws word::Error at the first file that cannot be opened or written; the
// files before it are done, the ones after it are left as they were.
void CompatibilityResave(const QString& savedPath, const QString& templatePath);

} // namespace output
