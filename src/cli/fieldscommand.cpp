#include "cli/fieldscommand.h"

#include "cli/command.h"
#include "cli/options.h"
#include "templates/headlessopen.h"
#include "templates/openpath.h"
#include "word/application.h"
#include "word/error.h"

namespace cli {

namespace {

struct FieldsOptions {
    QString file;
    int sellers = 1;
    int buyers = 1;
    QStringList legal;
};

QString usage()
{
    return QStringLiteral("Használat: quillora-cli fields FÁJL [--sellers N] [--buyers N] [--legal FÉL]...");
}

bool parse(const QStringList& args, FieldsOptions& o, QString& error)
{
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (!a.startsWith(QStringLiteral("--"))) {
            if (!o.file.isEmpty()) {
                error = QStringLiteral("Csak egy fájl adható meg (fölösleges: „%1”).").arg(a);
                return false;
            }
            o.file = a;
            continue;
        }
        if (i + 1 >= args.size()) {
            error = QStringLiteral("A(z) %1 után hiányzik az érték.").arg(a);
            return false;
        }
        const QString value = args[++i];
        if (a == u"--legal")
            o.legal.append(value);
        else if (a == u"--sellers" || a == u"--buyers") {
            if (!takeCount(a, value, a == u"--sellers" ? o.sellers : o.buyers, error))
                return false;
        } else {
            error = QStringLiteral("Ismeretlen kapcsoló: %1").arg(a);
            return false;
        }
    }
    if (o.file.isEmpty()) {
        error = QStringLiteral("Meg kell adni a megnyitandó fájlt.");
        return false;
    }
    return true;
}

} // namespace

int fieldsCommand(const QStringList& args, QTextStream& out, QTextStream& err)
{
    FieldsOptions o;
    QString error;
    if (!parse(args, o, error)) {
        err << error << '\n' << usage() << Qt::endl;
        return kExitUsage;
    }
    word::Application app;
    templates::HeadlessOpening opened;
    try {
        opened = templates::openHeadless(app, o.file, o.sellers, o.buyers, o.legal);
    } catch (const word::Error& e) {
        const QString path = templates::openPathFor(o.file, o.sellers, o.buyers);
        err << QStringLiteral("A megnyitás sikertelen ! %1: %2").arg(path, e.message()) << Qt::endl;
        return kExitFile;
    }
    const templates::FieldDiscovery& found = opened.discovery;
    if (found.fields.isEmpty())
        out << "\t\t\n";   // the grid keeps one empty field row
    for (const templates::DiscoveredField& f : found.fields)
        out << f.number << '\t' << f.name << '\t' << escapeLine(f.hasValue ? f.value : QString()) << '\n';
    out.flush();
    return kExitOk;
}

} // namespace cli
