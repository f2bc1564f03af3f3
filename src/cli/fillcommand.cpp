#include "cli/fillcommand.h"

#include "fields/fielddatafile.h"
#include "fields/fieldwriter.h"
#include "fields/writeprogress.h"
#include "templates/fielddiscovery.h"
#include "templates/openpath.h"
#include "templates/partyblockassembly.h"
#include "templates/partylist.h"
#include "word/application.h"
#include "word/document.h"
#include "word/error.h"

namespace cli {

namespace {

constexpr int kUsage = 2;
constexpr int kFailed = 1;

QString usage()
{
    return QStringLiteral("Használat: quillora-cli fill SABLON --out KIMENET [--sellers N] [--buyers N] "
                          "[--legal FÉL]... [--data FÁJL.mza] [--set NÉV=ÉRTÉK]...");
}

bool takeCount(const QString& option, const QString& text, int& count, QString& error)
{
    bool ok = false;
    const int n = text.toInt(&ok);
    if (ok && n >= 0 && n <= 99) {
        count = n;
        return true;
    }
    error = QStringLiteral("A(z) %1 értéke 0 és 99 közötti egész szám legyen, nem „%2”.").arg(option, text);
    return false;
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

QList<templates::PartyEntry> partiesFor(const FillOptions& o)
{
    QList<templates::PartyEntry> parties;
    const auto group = [&](const QString& word, int count) {
        for (int n = 1; n <= count; ++n) {
            const QString entry = templates::PartyList::entryName(word, n);
            parties.append({entry, o.legal.contains(entry, Qt::CaseInsensitive)});
        }
    };
    group(templates::PartyList::sellerWord(), o.sellers);
    group(templates::PartyList::buyerWord(), o.buyers);
    return parties;
}

bool checkLegal(const FillOptions& o, QString& error)
{
    const QList<templates::PartyEntry> parties = partiesFor(o);
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
    try {
        word::Application app;
        const QString openPath = templates::openPathFor(o.templatePath, o.sellers, o.buyers);
        word::Document* doc = app.Documents().Open(openPath);
        const bool isTemplate = templates::isTemplateFile(o.templatePath);
        if (isTemplate)
            templates::AssemblePartyBlocks(*doc, partiesFor(o));
        const templates::FieldDiscovery found = templates::DiscoverFields(*doc, !isTemplate);
        QList<Row> rows = rowsOf(found);
        if (!o.dataPath.isEmpty())
            placeData(o.dataPath, rows);
        for (const auto& [name, value] : o.sets) {
            const int r = findRow(rows, name);
            if (r < 0) {
                err << QStringLiteral("Nincs „%1” nevű mező a dokumentumban (%2).").arg(name, openPath) << Qt::endl;
                return kUsage;
            }
            rows[r].value = value;
            rows[r].write = true;
        }
        const int written = writeRows(*doc, rows, found.maxOccurrence);
        doc->SaveAs(o.outPath);
        out << QStringLiteral("%1 mező kitöltve, mentve: %2").arg(written).arg(o.outPath) << Qt::endl;
        return 0;
    } catch (const word::Error& e) {
        err << QString(e.message()).replace(u'\r', u'\n') << Qt::endl;
        return kFailed;
    }
}

int fillCommand(const QStringList& args, QTextStream& out, QTextStream& err)
{
    FillOptions options;
    QString error;
    if (!parseFillOptions(args, options, error)) {
        err << error << Qt::endl << usage() << Qt::endl;
        return kUsage;
    }
    return runFill(options, out, err);
}

} // namespace cli
