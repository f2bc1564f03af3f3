// quillora-cli: the headless tool over the engine and the workflow code.
// Every command is one entry of the table below.

#include "cli/bookmarkscommand.h"
#include "cli/checkcommand.h"
#include "cli/command.h"
#include "cli/convertcommand.h"
#include "cli/fieldscommand.h"
#include "cli/fillcommand.h"
#include "cli/pdfcommand.h"
#include "word/error.h"

#include <QGuiApplication>
#include <cstdio>
#include <exception>

namespace {

const cli::Command kCommands[] = {
    {"convert", "BEMENET KIMENET", "a dokumentumot (bármely olvasható formában) OOXML-ként menti változatlanul",
     cli::convertCommand},
    {"bookmarks", "FÁJL", "a könyvjelzők listája dokumentumsorrendben: név, TAB, szöveg (\\\\, \\t, \\n jelöléssel)",
     cli::bookmarksCommand},
    {"fill", "SABLON --out KIMENET [...]", "sablon kitöltése mezőadat-fájlból és --set értékekből", cli::fillCommand},
    {"fields", "FÁJL [--sellers N] [--buyers N] [--legal FÉL]...",
     "a mezők listája, ahogy a megnyitás kitölti: sorszám, TAB, mezőnév, TAB, érték", cli::fieldsCommand},
    {"pdf", "BEMENET KIMENET.pdf [...]", "a dokumentum PDF-ként, a fill kapcsolóival kitöltve", cli::pdfCommand},
    {"check", "FÁJL [--sellers N] [--buyers N] [--legal FÉL]...",
     "helyesírás-ellenőrzés: soronként egy hibás szó, TAB, legfeljebb öt javaslat; kilépési kód 0 nincs hiba, 1 van, 2 hibás bemenet",
     cli::checkCommand},
};

void printUsage(QTextStream& s)
{
    s << "Használat: quillora-cli PARANCS [ARGUMENTUMOK]\n\nParancsok:\n";
    for (const cli::Command& c : kCommands)
        s << "  " << c.name << ' ' << QString::fromUtf8(c.arguments) << "\n      " << QString::fromUtf8(c.summary) << '\n';
    s << "\nKilépési kód: 0 siker, 1 hibás parancssor, 2 egy fájl nem olvasható vagy nem írható.\n";
    s.flush();
}

const cli::Command* findCommand(const QString& name)
{
    for (const cli::Command& c : kCommands) {
        if (name == QLatin1String(c.name))
            return &c;
    }
    return nullptr;
}

int dispatch(const QStringList& args, QTextStream& out, QTextStream& err)
{
    if (args.isEmpty()) {
        printUsage(err);
        return cli::kExitUsage;
    }
    if (args[0] == u"--help" || args[0] == u"-h" || args[0] == u"help") {
        printUsage(out);
        return cli::kExitOk;
    }
    const cli::Command* command = findCommand(args[0]);
    if (!command) {
        err << QStringLiteral("Ismeretlen parancs: „%1”. A parancsok listája: quillora-cli --help").arg(args[0]) << Qt::endl;
        return cli::kExitUsage;
    }
    try {
        return command->run(args.mid(1), out, err);
    } catch (const word::Error& e) {
        err << QString(e.message()).replace(u'\r', u' ').replace(u'\n', u' ') << Qt::endl;
    } catch (const std::exception& e) {
        err << QStringLiteral("Váratlan hiba: %1").arg(QString::fromLocal8Bit(e.what())) << Qt::endl;
    }
    return cli::kExitFile;
}

// Qt's own notes (a missing runtime folder, font lookups) would mix into the
// one line a failing command writes; only real failures get through.
void quietMessages(QtMsgType type, const QMessageLogContext&, const QString& msg)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", msg.toLocal8Bit().constData());
}

} // namespace

int main(int argc, char** argv)
{
    qInstallMessageHandler(quietMessages);
    // The engine's clipboard calls need a GUI application; no display is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    const int status = dispatch(args, out, err);
    out.flush();
    err.flush();
    return status;
}
