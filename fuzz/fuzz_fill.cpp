// The whole headless workflow on one input: open, field discovery, every
// field filled, save, reopen; the reopened document must hold each value at
// the first place of its field.

#include "fields/fieldwriter.h"
#include "fields/writeprogress.h"
#include "fuzzsupport.h"
#include "templates/fielddiscovery.h"
#include "word/application.h"
#include "word/bookmarks.h"
#include "word/document.h"
#include "word/error.h"
#include "word/legacy/legacyimport.h"
#include "word/range.h"

#include <QFile>
#include <QTemporaryDir>

namespace {

QString valueFor(int i)
{
    return QStringLiteral("Érték%1 ő").arg(i);
}

// Writes every discovered field; the values written, by field name.
QList<QPair<QString, QString>> fillAll(word::Document& doc)
{
    const templates::FieldDiscovery found = templates::DiscoverFields(doc, false);
    fields::NoWriteProgress progress;
    QList<QPair<QString, QString>> written;
    for (int i = 0; i < found.fields.size(); ++i) {
        const QString& name = found.fields[i].name;
        if (name.isEmpty())
            continue;
        fields::WriteFieldValue(doc, name, valueFor(i), found.maxOccurrence, progress);
        written.append({name, valueFor(i)});
    }
    return written;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::ensureApplication();
    const QByteArray input = fuzz::bytes(data, size);
    // A legacy form would start the converter, which is not what is fuzzed here.
    if (word::legacy::sniffBytes(input) != word::legacy::Format::Ooxml)
        return 0;
    static QTemporaryDir dir;
    const QString in = dir.filePath(QStringLiteral("in.docx"));
    const QString out = dir.filePath(QStringLiteral("out.docx"));
    QFile f(in);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(input) != input.size())
        return 0;
    f.close();
    QFile::remove(out);
    word::Application app;
    QList<QPair<QString, QString>> written;
    try {
        word::Document* doc = app.Documents().Open(in);
        written = fillAll(*doc);
        doc->SaveAs(out);
        doc->Close();
    } catch (const word::Error&) {
        return 0;   // refused input, or a field the engine could not write: both are reported, not crashes
    }
    // A document that was saved must open again and show what was written.
    word::Document* again = app.Documents().Open(out);
    word::Bookmarks marks = again->Bookmarks();
    for (const auto& [name, value] : written) {
        const QString first = fields::occurrenceName(name, 1);
        if (!marks.Exists(first))
            continue;   // a field known only by later places keeps no first place to check
        FUZZ_CHECK(marks.Item(first).Range().Text() == fields::occurrenceText(value));
    }
    again->Close();
    return 0;
}
