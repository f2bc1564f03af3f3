#pragma once
// quillora-cli pdf IN OUT.pdf: the document opened the way fill opens it (the
// same options), written as PDF through the page layout.

#include <QStringList>
#include <QTextStream>

namespace word { class Document; }

namespace cli {

// Writes doc as PDF to path; a failure goes to err. Returns an exit status.
int writeDocumentPdf(word::Document& doc, const QString& path, QTextStream& err);

int pdfCommand(const QStringList& args, QTextStream& out, QTextStream& err);

} // namespace cli
