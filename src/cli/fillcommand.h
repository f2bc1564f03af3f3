#pragma once
// quillora-cli fill: a contract filled without a window. The template is opened
// the way the window opens it (variant for the party counts, party blocks,
// field discovery), the values come from a field data file by line and from
// --set by field name, every field with a value is written at all its places,
// and the document is saved.

#include <QString>
#include <QStringList>
#include <QTextStream>

namespace cli {

struct FillOptions {
    QString templatePath;
    QString outPath;
    QString pdfPath;                    // --pdf: the PDF written beside the Word file, or empty
    int sellers = 1;
    int buyers = 1;
    QStringList legal;                  // party entries that are legal persons
    QString dataPath;                   // a field data file, or empty
    QList<QPair<QString, QString>> sets;   // field name, value; in command-line order
};

// Parses the arguments after "fill"; on a usage error returns false and puts a
// Hungarian message into error.
bool parseFillOptions(const QStringList& args, FillOptions& options, QString& error);

// Exit status as for every command: 0 done, 1 the command line is wrong (also
// a --legal naming no party), 2 a file could not be read or written, or a
// --set names no field of the opened document.
int runFill(const FillOptions& options, QTextStream& out, QTextStream& err);

// The whole command: parse, then run.
int fillCommand(const QStringList& args, QTextStream& out, QTextStream& err);

} // namespace cli
