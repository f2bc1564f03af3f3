#include "cli/checkcommand.h"

#include "cli/options.h"
#include "commands/speller.h"
#include "commands/spellingwalk.h"
#include "templates/headlessopen.h"
#include "templates/openpath.h"
#include "word/application.h"
#include "word/error.h"

#include <QSet>

namespace cli {

namespace {

struct CheckOptions {
    QString file;
    int sellers = 1;
    int buyers = 1;
    QStringList legal;
};

QString usage()
{
    return QStringLiteral("Használat: quillora-cli check FÁJL [--sellers N] [--buyers N] [--legal FÉL]...");
}

QString oneLine(QString text)
{
    return text.replace(QStringLiteral("\r\n"), QStringLiteral(" ")).replace(u'\r', u' ').replace(u'\n', u' ');
}

bool parse(const QStringList& args, CheckOptions& o, QString& error)
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
        if (a == u"--legal") {
            o.legal.append(value);
        } else if (a == u"--sellers" || a == u"--buyers") {
            if (!takeCount(a, value, a == u"--sellers" ? o.sellers : o.buyers, error))
                return false;
        } else {
            error = QStringLiteral("Ismeretlen kapcsoló: %1").arg(a);
            return false;
        }
    }
    if (o.file.isEmpty()) {
        error = QStringLiteral("Meg kell adni az ellenőrizendő fájlt.");
        return false;
    }
    return true;
}

} // namespace

int checkCommand(const QStringList& args, QTextStream& out, QTextStream& err)
{
    CheckOptions o;
    QString error;
    if (!parse(args, o, error)) {
        err << error << '\n' << usage() << Qt::endl;
        return kCheckBadInput;
    }
    word::Application app;
    templates::HeadlessOpening opened;
    try {
        opened = templates::openHeadless(app, o.file, o.sellers, o.buyers, o.legal);
    } catch (const word::Error& e) {
        const QString path = templates::openPathFor(o.file, o.sellers, o.buyers);
        err << QStringLiteral("A megnyitás sikertelen ! %1: %2").arg(path, oneLine(e.message())) << Qt::endl;
        return kCheckBadInput;
    }
    try {
        commands::Speller& speller = commands::Speller::shared();
        QSet<QString> reported;
        for (const commands::SpellingIssue& issue : commands::SpellingWalk::collect(*opened.doc, speller)) {
            // A repeated word is shown as it stands twice, and becomes one.
            const bool repeated = issue.kind == commands::SpellingIssue::Repeated;
            const QString shown = repeated ? issue.word + QLatin1Char(' ') + issue.word : issue.word;
            const QString key = repeated ? shown.toLower() : shown;
            if (reported.contains(key))
                continue;
            reported.insert(key);
            const QStringList suggestions = repeated ? QStringList{issue.word} : issue.suggestions.mid(0, 5);
            out << shown << '\t' << suggestions.join(QStringLiteral(", ")) << '\n';
        }
        out.flush();
        return reported.isEmpty() ? kCheckClean : kCheckFound;
    } catch (const word::Error& e) {
        err << oneLine(e.message()) << Qt::endl;
        return kCheckBadInput;
    }
}

} // namespace cli
