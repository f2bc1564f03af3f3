#include "cli/pdfcommand.h"

#include "cli/command.h"
#include "cli/fillcommand.h"
#include "word/document.h"
#include "word/layout/pagelayout.h"
#include "word/layout/pdfexport.h"

#include <QDir>
#include <QTemporaryDir>

namespace cli {

namespace {

QString usage()
{
    return QStringLiteral("Használat: quillora-cli pdf BEMENET KIMENET.pdf [--sellers N] [--buyers N] "
                          "[--legal FÉL]... [--data FÁJL.mza] [--set NÉV=ÉRTÉK]...");
}

} // namespace

int writeDocumentPdf(word::Document& doc, const QString& path, QTextStream& err)
{
    QString error;
    if (!word::layout::writePdf(doc.model(), path, &error)) {
        err << error << Qt::endl;
        return kExitFile;
    }
    return kExitOk;
}

// The two file names are the first two plain arguments; the rest are fill's
// options. The filled document goes to a temporary Word file, the PDF to OUT.
int pdfCommand(const QStringList& args, QTextStream& out, QTextStream& err)
{
    QStringList files, rest;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i].startsWith(QStringLiteral("--")) && args[i] != u"--") {
            rest << args[i];
            if (i + 1 < args.size())
                rest << args[++i];
            continue;
        }
        files << args[i];
    }
    if (files.size() != 2) {
        err << QStringLiteral("Meg kell adni a bemenetet és a PDF kimenetet.") << Qt::endl << usage() << Qt::endl;
        return kExitUsage;
    }
    QTemporaryDir scratch;
    if (!scratch.isValid()) {
        err << QStringLiteral("Nem hozható létre ideiglenes mappa.") << Qt::endl;
        return kExitFile;
    }
    FillOptions options;
    QString error;
    rest << QStringLiteral("--out") << QDir(scratch.path()).filePath(QStringLiteral("kesz.docx"))
         << QStringLiteral("--pdf") << files[1];
    if (!parseFillOptions(QStringList{files[0]} + rest, options, error)) {
        err << error << Qt::endl << usage() << Qt::endl;
        return kExitUsage;
    }
    QString quiet;
    QTextStream sink(&quiet);
    const int status = runFill(options, sink, err);
    if (status == kExitOk)
        out << QStringLiteral("PDF mentve: %1").arg(files[1]) << Qt::endl;
    return status;
}

} // namespace cli
