#include "cli/fillcommand.h"

#include "cli/command.h"
#include "cli/options.h"
#include "cli/pdfcommand.h"
#include "fields/fielddatafile.h"
#include "fields/fieldwriter.h"
#include "fields/writeprogress.h"
#include "templates/headlessopen.h"
#include "templates/openpath.h"
#include "word/application.h"
#include "word/document.h"
#include "word/error.h"

namespace cli {

namespace {

QString oneLine(QString text)
{
    return text.replace(QStringLiteral("\r\n"), QStringLiteral(" ")).replace(u'\r', u' ').replace(u'\n', u' ');
}

QString usage()
{
    return QStringLiteral("Használat: quillora-cli fill SABLON --out KIMENET [--sellers N] [--buyers N] "
                          "[--legal FÉL]... [--data FÁJL.mza] [--set NÉV=ÉRTÉK]... [--pdf KIMENET.pdf]");
}

bool takeSet(const QString& text, FillOptions& options, QString& error)
{
    const qsizetype eq = text.indexOf(u'=');
    if (eq <= 0) {
        error = QStringLiteral("A --set alakja NÉV=ÉRTÉK, nem „%1”.").arg(text);
        return false;
    }
    options.sets.append({text.left(eq), text.mid(eq + 1)});
    return true;
}

bool takeOption(const QString& name, const QString& value, FillOptions& o, QString& error)
{
    if (name == u"--out")
        o.outPath = value;
    else if (name == u"--pdf")
        o.pdfPath = value;
    else if (name == u"--data")
        o.dataPath = value;
    else if (name == u"--legal")
        o.legal.append(value);
    else if (name == u"--sellers")
        return takeCount(name, value, o.sellers, error);
    else if (name == u"--buyers")
        return takeCount(name, value, o.buyers, error);
    else if (name == u"--set")
        return takeSet(value, o, error);
    else {
        error = QStringLiteral("Ismeretlen kapcsoló: %1").arg(name);
        return false;
    }
    return true;
}

bool checkLegal(const FillOptions& o, QString& error)
{
    const QList<templates::PartyEntry> parties = templates::partiesFor(o.sellers, o.buyers, o.legal);
    for (const QString& entry : o.legal) {
        const bool known = std::any_of(parties.begin(), parties.end(), [&](const auto& p) {
            return p.text.compare(entry, Qt::CaseInsensitive) == 0;
        });
        if (!known) {
            error = QStringLiteral("A(z) „%1” fél nem szerepel a szerződésben (eladók: %2, vevők: %3).")
                        .arg(entry).arg(o.sellers).arg(o.buyers);
            return false;
        }
    }
    return true;
}

// The grid after discovery, as rows of field name and value; a value that
// is empty leaves its field as the template has it.
struct Row {
    QString name;
    QString value;
    bool write = false;
};

QList<Row> rowsOf(const templates::FieldDiscovery& found)
{
    QList<Row> rows;
    for (const templates::DiscoveredField& f : found.fields)
        rows.append({f.name, f.hasValue ? f.value : QString(), false});
    if (rows.isEmpty())
        rows.append(Row());   // the window keeps one empty field row, so lines land alike
    return rows;
}

void placeData(const QString& path, QList<Row>& rows)
{
    QStringList column{fields::FieldDataFile::header()};
    for (const Row& r : rows)
        column.append(r.value);
    fields::FieldDataFile::place(column, fields::FieldDataFile::readLines(path));
    for (qsizetype i = 0; i < rows.size(); ++i)
        rows[i].value = column[i + 1];
}

int findRow(const QList<Row>& rows, const QString& name)
{
    for (int i = 0; i < rows.size(); ++i) {
        if (!rows[i].name.isEmpty() && rows[i].name == name)
            return i;
    }
    // Bookmark names match without regard to case, so field names do too.
    for (int i = 0; i < rows.size(); ++i) {
        if (!rows[i].name.isEmpty() && rows[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

int writeRows(word::Document& doc, const QList<Row>& rows, int maxOccurrence)
{
    fields::NoWriteProgress progress;
    int written = 0;
    for (const Row& r : rows) {
        if (r.name.isEmpty() || (!r.write && r.value.isEmpty()))
            continue;
        fields::WriteFieldValue(doc, r.name, r.value, maxOccurrence, progress);
        ++written;
    }
    return written;
}

} // namespace

bool parseFillOptions(const QStringList& args, FillOptions& o, QString& error)
{
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (!a.startsWith(QStringLiteral("--")) || a == u"--") {
            if (!o.templatePath.isEmpty()) {
                error = QStringLiteral("Csak egy sablon adható meg (fölösleges: „%1”).").arg(a);
                return false;
            }
            o.templatePath = a;
            continue;
        }
        if (i + 1 >= args.size()) {
            error = QStringLiteral("A(z) %1 után hiányzik az érték.").arg(a);
            return false;
        }
        if (!takeOption(a, args[++i], o, error))
            return false;
    }
    if (o.templatePath.isEmpty() || o.outPath.isEmpty()) {
        error = QStringLiteral("Meg kell adni a sablont és a --out kimenetet.");
        return false;
    }
    return checkLegal(o, error);
}

int runFill(const FillOptions& o, QTextStream& out, QTextStream& err)
{
    word::Application app;
    templates::HeadlessOpening opened;
    try {
        opened = templates::openHeadless(app, o.templatePath, o.sellers, o.buyers, o.legal);
    } catch (const word::Error& e) {
        const QString path = templates::openPathFor(o.templatePath, o.sellers, o.buyers);
        err << QStringLiteral("A megnyitás sikertelen ! %1: %2").arg(path, oneLine(e.message())) << Qt::endl;
        return kExitFile;
    }
    QList<Row> rows = rowsOf(opened.discovery);
    try {
        if (!o.dataPath.isEmpty())
            placeData(o.dataPath, rows);
    } catch (const word::Error& e) {
        err << oneLine(e.message()) << Qt::endl;
        return kExitFile;
    }
    for (const auto& [name, value] : o.sets) {
        const int r = findRow(rows, name);
        if (r < 0) {
            err << QStringLiteral("Nincs „%1” nevű mező a dokumentumban (%2); a --set nem alkalmazható.")
                       .arg(name, opened.openPath)
                << Qt::endl;
            return kExitFile;
        }
        rows[r].value = value;
        rows[r].write = true;
    }
    try {
        const int written = writeRows(*opened.doc, rows, opened.discovery.maxOccurrence);
        opened.doc->SaveAs(o.outPath);
        out << QStringLiteral("%1 mező kitöltve, mentve: %2").arg(written).arg(o.outPath) << Qt::endl;
        if (!o.pdfPath.isEmpty() && writeDocumentPdf(*opened.doc, o.pdfPath, err) != kExitOk)
            return kExitFile;
    } catch (const word::Error& e) {
        err << oneLine(e.message()) << Qt::endl;
        return kExitFile;
    }
    return kExitOk;
}

int fillCommand(const QStringList& args, QTextStream& out, QTextStream& err)
{
    FillOptions options;
    QString error;
    if (!parseFillOptions(args, options, error)) {
        err << error << Qt::endl << usage() << Qt::endl;
        return kExitUsage;
    }
    return runFill(options, out, err);
}

} // namespace cli
