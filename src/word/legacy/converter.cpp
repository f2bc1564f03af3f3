// Conversion of legacy documents to OOXML through LibreOffice.

#include "word/error.h"
#include "word/legacy/legacyimport.h"
#include "word/opc/package.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QUrl>

#include <csignal>
#include <optional>
#include <unistd.h>

namespace word::legacy {

namespace {

template<typename E = Error>
[[noreturn]] void fail(const QString& path, const QString& reason)
{
    const QString shown = QFileInfo(path).fileName().isEmpty() ? path : QFileInfo(path).fileName();
    throw E(QStringLiteral("A(z) „%1” fájl nem nyitható meg: %2.").arg(shown, reason));
}

QString findConverter()
{
    for (const char* name : {"soffice", "libreoffice"}) {
        const QString exe = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (!exe.isEmpty())
            return exe;
    }
    return {};
}

QString inputSuffix(Format f)
{
    switch (f) {
    case Format::Rtf: return QStringLiteral("rtf");
    case Format::WordXml: return QStringLiteral("xml");
    default: return QStringLiteral("doc");
    }
}

// The last lines the converter wrote, for the error message.
QString converterOutput(QProcess& p)
{
    QString out = QString::fromLocal8Bit(p.readAllStandardError() + p.readAllStandardOutput()).simplified();
    if (out.size() > 300)
        out = QStringLiteral("…") + out.right(300);
    return out.isEmpty() ? QStringLiteral("nincs üzenet") : out;
}

// LibreOffice takes seconds to set up a fresh profile; one private profile
// serves every conversion of this process. A conversion that had to be
// killed may have left it half-written, so it is then thrown away.
std::unique_ptr<QTemporaryDir>& sharedProfile()
{
    static std::unique_ptr<QTemporaryDir> profile;
    if (!profile || !profile->isValid())
        profile = std::make_unique<QTemporaryDir>();
    return profile;
}

// The conversion under way, for cancelConversion().
struct Running {
    QProcess* process = nullptr;
    QEventLoop* loop = nullptr;
    bool cancelled = false;
};

Running& running()
{
    static Running r;
    return r;
}

ConversionHooks& hooks()
{
    static ConversionHooks h;
    return h;
}

void killGroup(QProcess& p)
{
    // The converter runs in a session of its own; its helpers go with it.
    if (p.processId() > 0)
        ::kill(-pid_t(p.processId()), SIGKILL);
    p.kill();
    p.waitForFinished(5000);
}

// Waits for the converter to end, turning the event loop in the main
// thread. False when the time ran out; throws Cancelled when the user ended it.
bool waitForConverter(QProcess& p, const QString& path, int timeoutMs)
{
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || QThread::currentThread() != app->thread() || running().process)
        return p.waitForFinished(timeoutMs);
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&p, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    running() = {&p, &loop, false};
    struct Ended {
        ~Ended()
        {
            running() = {};
            if (hooks().finished)
                hooks().finished();
        }
    } ended;
    if (hooks().started)
        hooks().started();
    timer.start(timeoutMs);
    if (p.state() != QProcess::NotRunning && !running().cancelled)
        loop.exec();
    if (running().cancelled) {
        killGroup(p);
        sharedProfile().reset();
        fail<Cancelled>(path, QStringLiteral("az átalakítást megszakította"));
    }
    return p.state() == QProcess::NotRunning;
}

QByteArray runConverter(const QString& path, const QString& exe, Format format, int timeoutMs)
{
    QTemporaryDir tmp;
    if (!tmp.isValid())
        fail(path, QStringLiteral("nem hozható létre ideiglenes mappa az átalakításhoz"));
    // A fixed input name keeps odd file names (a leading "-", say) away from the command line.
    const QString input = tmp.filePath(QStringLiteral("input.") + inputSuffix(format));
    if (!QFile::copy(path, input))
        fail(path, QStringLiteral("a fájl nem olvasható"));
    const QString outDir = tmp.filePath(QStringLiteral("out"));
    QProcess p;
    p.setProgram(exe);
    p.setArguments({QStringLiteral("--headless"), QStringLiteral("--norestore"), QStringLiteral("--nologo"),
                    QStringLiteral("--nolockcheck"),
                    QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(sharedProfile()->path()).toString(),
                    QStringLiteral("--convert-to"), QStringLiteral("docx:MS Word 2007 XML"),
                    QStringLiteral("--outdir"), outDir, input});
    p.setWorkingDirectory(tmp.path());
    p.setChildProcessModifier([] { ::setsid(); });
    p.start();
    if (!p.waitForStarted(10'000))
        fail(path, QStringLiteral("a LibreOffice nem indítható el (%1)").arg(p.errorString()));
    if (!waitForConverter(p, path, timeoutMs)) {
        killGroup(p);
        sharedProfile().reset();
        fail(path, QStringLiteral("a LibreOffice %1 másodperc alatt sem alakította át").arg(qMax(1, (timeoutMs + 999) / 1000)));
    }
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        fail(path, QStringLiteral("a LibreOffice nem tudta átalakítani (kilépési kód: %1; %2)").arg(p.exitCode()).arg(converterOutput(p)));
    QFile out(QDir(outDir).filePath(QStringLiteral("input.docx")));
    if (!out.open(QIODevice::ReadOnly))
        fail(path, QStringLiteral("a LibreOffice nem tudta átalakítani (%1)").arg(converterOutput(p)));
    return out.readAll();
}

// A conversion done ahead of its open (convertAhead), with the file's size and
// time so that a file changed in between is converted afresh.
struct Ahead {
    QString path;
    qint64 size = -1;
    QDateTime modified;
    QByteArray bytes;
    QString failure;
};

std::optional<Ahead>& ahead()
{
    static std::optional<Ahead> a;
    return a;
}

Ahead describe(const QString& path)
{
    const QFileInfo info(path);
    return {info.absoluteFilePath(), info.size(), info.lastModified(), {}, {}};
}

std::optional<Ahead> takeAhead(const QString& path)
{
    std::optional<Ahead> kept;
    kept.swap(ahead());
    if (!kept)
        return kept;
    const Ahead now = describe(path);
    if (kept && (kept->path != now.path || kept->size != now.size || kept->modified != now.modified))
        kept.reset();
    return kept;
}

bool needsConversion(Format f)
{
    return f == Format::WordBinary || f == Format::Rtf || f == Format::WordXml;
}

} // namespace

void convertAhead(const QString& path)
{
    ahead().reset();
    if (!needsConversion(sniff(path)))
        return;
    Ahead made = describe(path);
    try {
        made.bytes = convertToOoxml(path);
    } catch (const Cancelled&) {
        throw;
    } catch (const Error& e) {
        made.failure = e.message();
    }
    ahead() = std::move(made);
}

void cancelConversion()
{
    Running& r = running();
    if (!r.process || r.cancelled)
        return;
    r.cancelled = true;
    if (r.process->processId() > 0)
        ::kill(-pid_t(r.process->processId()), SIGKILL);
    r.loop->quit();
}

bool conversionRunning()
{
    return running().process != nullptr;
}

void setConversionHooks(ConversionHooks h)
{
    hooks() = std::move(h);
}

QByteArray convertToOoxml(const QString& path, int timeoutMs)
{
    const QFileInfo info(path);
    if (!info.exists())
        fail(path, QStringLiteral("a fájl nem létezik"));
    if (info.isDir())
        fail(path, QStringLiteral("ez egy mappa, nem fájl"));
    const Format format = sniff(path);
    if (format == Format::Encrypted)
        fail(path, QStringLiteral("a fájl jelszóval védett (titkosított); jelszóval védett dokumentumot a program nem tud megnyitni"));
    if (format == Format::Unknown || format == Format::Ooxml)
        fail(path, QStringLiteral("nem régi Word-formátumú dokumentum, így nem alakítható át"));
    const QString exe = findConverter();
    if (exe.isEmpty())
        fail(path, QStringLiteral("régi Word-formátumú (.doc, .rtf) fájl megnyitásához telepíteni kell a LibreOffice programot (soffice)"));
    return runConverter(path, exe, format, timeoutMs);
}

std::unique_ptr<opc::Package> openPackage(const QString& path, Format* detected)
{
    const Format format = sniff(path);
    if (detected)
        *detected = format;
    // What was converted ahead serves this open only.
    std::optional<Ahead> kept = takeAhead(path);
    if (!needsConversion(format)) {
        // Package::open names every other fault: missing, empty, junk, password.
        return opc::Package::open(path);
    }
    if (kept) {
        if (!kept->failure.isEmpty())
            throw Error(kept->failure);
        return opc::Package::fromBytes(kept->bytes, path);
    }
    return opc::Package::fromBytes(convertToOoxml(path), path);
}

} // namespace word::legacy
