#include "app/platform/filetyperegistration.h"
#include "app/platform/datafolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>

namespace app {

namespace {

enum class WriteResult { Unchanged, Written, Failed };

WriteResult writeIfChanged(const QString& path, const QByteArray& content)
{
    QFile old(path);
    if (old.open(QIODevice::ReadOnly) && old.readAll() == content)
        return WriteResult::Unchanged;
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return WriteResult::Failed;
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(content) != content.size() || !f.commit())
        return WriteResult::Failed;
    return WriteResult::Written;
}

QString readText(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(f.read(1 << 20));
}

// A program named without a folder is looked up on the search path, as the desktop does.
QString canonicalProgram(const QString& program)
{
    const QString path = program.contains(QLatin1Char('/')) ? program : QStandardPaths::findExecutable(program);
    return path.isEmpty() ? QString() : QFileInfo(path).canonicalFilePath();
}

const QString kDesktopName = QStringLiteral("applications/quillora.desktop");
const QString kMimeName = QStringLiteral("mime/packages/quillora.xml");

} // namespace

FileTypeRegistration::FileTypeRegistration(QString dataHome, QString programPath)
    : m_dataHome(std::move(dataHome)), m_programPath(std::move(programPath))
{
    setSystemDataDirs(QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation));
}

FileTypeRegistration FileTypeRegistration::forThisProgram()
{
    FileTypeRegistration r(defaultDataHome(), QCoreApplication::applicationFilePath());
    // Installed, the package's icon lies under the prefix; beside the program there is none.
    const DataFolders& folders = DataFolders::current();
    if (folders.layout() == DataFolders::Layout::Installed) {
        const QString icon = QDir::cleanPath(folders.samplesFolder() + QStringLiteral("/../icons/hicolor/scalable/apps/quillora.svg"));
        if (QFileInfo::exists(icon))
            r.setIcon(icon);
    }
    return r;
}

void FileTypeRegistration::setSystemDataDirs(const QStringList& dirs)
{
    m_systemDirs.clear();
    const QString own = QDir::cleanPath(m_dataHome);
    for (const QString& d : dirs) {
        if (!d.isEmpty() && QDir::cleanPath(d) != own)
            m_systemDirs << d;
    }
}

QString FileTypeRegistration::execProgram(const QString& desktopEntry)
{
    QString exec;
    for (const QString& line : desktopEntry.split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1String("Exec="))) {
            exec = line.mid(5).trimmed();
            break;
        }
    }
    // The value's own escapes first (a doubled backslash), then the quoting of the argument.
    exec.replace(QStringLiteral("\\\\"), QStringLiteral("\\"));
    exec.replace(QStringLiteral("%%"), QStringLiteral("%"));
    if (!exec.startsWith(QLatin1Char('"')))
        return exec.section(QLatin1Char(' '), 0, 0);
    QString program;
    for (qsizetype i = 1; i < exec.size(); ++i) {
        const QChar c = exec.at(i);
        if (c == u'"')
            break;
        if (c == u'\\' && i + 1 < exec.size())
            program += exec.at(++i);
        else
            program += c;
    }
    return program;
}

bool FileTypeRegistration::runsThisProgram(const QString& desktopEntryFile) const
{
    const QString text = readText(desktopEntryFile);
    if (text.isEmpty())
        return false;
    const QString program = canonicalProgram(execProgram(text));
    return !program.isEmpty() && program == QFileInfo(m_programPath).canonicalFilePath();
}

bool FileTypeRegistration::systemRegistersThisProgram() const
{
    bool desktop = false;
    bool mime = false;
    for (const QString& dir : m_systemDirs) {
        desktop = desktop || runsThisProgram(QDir(dir).filePath(kDesktopName));
        mime = mime || QFileInfo::exists(QDir(dir).filePath(kMimeName));
    }
    return desktop && mime;
}

bool FileTypeRegistration::removeShadowingEntry(const ToolRunner& runTool) const
{
    // The user's entry of the same name hides the system's; one that runs another
    // program is a leftover of an earlier run from elsewhere.
    const QString entry = desktopEntryPath();
    if (!QFileInfo::exists(entry) || runsThisProgram(entry))
        return true;
    if (!QFile::remove(entry))
        return false;
    const bool hadMime = QFileInfo::exists(mimePackagePath());
    if (hadMime && (!QFile::remove(mimePackagePath()) ||
                    !runTool(QStringLiteral("update-mime-database"), {m_dataHome + QStringLiteral("/mime")})))
        return false;
    return runTool(QStringLiteral("update-desktop-database"), {m_dataHome + QStringLiteral("/applications")});
}

QString FileTypeRegistration::defaultDataHome()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
}

FileTypeRegistration::ToolRunner FileTypeRegistration::defaultToolRunner()
{
    return [](const QString& program, const QStringList& args) {
        const QString exe = QStandardPaths::findExecutable(program);
        if (exe.isEmpty())
            return true;
        QProcess p;
        p.start(exe, args);
        if (!p.waitForFinished(5000)) {
            p.kill();
            p.waitForFinished(1000);
            return false;
        }
        return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    };
}

QString FileTypeRegistration::mimePackagePath() const
{
    return QDir(m_dataHome).filePath(kMimeName);
}

QString FileTypeRegistration::desktopEntryPath() const
{
    return QDir(m_dataHome).filePath(kDesktopName);
}

QString FileTypeRegistration::mimePackage() const
{
    return QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
        "  <mime-type type=\"application/x-quillora-sab\">\n"
        "    <comment>Quillora sablon</comment>\n"
        "    <glob pattern=\"*.sab\"/>\n"
        "  </mime-type>\n"
        "  <mime-type type=\"application/x-quillora-mza\">\n"
        "    <comment>Quillora mező adat</comment>\n"
        "    <glob pattern=\"*.mza\"/>\n"
        "  </mime-type>\n"
        "</mime-info>\n");
}

QString FileTypeRegistration::execArgument(const QString& path)
{
    // A desktop entry splits Exec at blanks and gives some characters a meaning of
    // their own, so such a path is quoted; inside quotes four characters are escaped.
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    QString arg = path;
    arg.replace(QLatin1Char('%'), QStringLiteral("%%"));
    const bool quote = std::any_of(arg.begin(), arg.end(), [](QChar c) { return reserved.contains(c); });
    if (quote) {
        QString escaped;
        for (QChar c : arg) {
            if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
                escaped += QLatin1Char('\\');
            escaped += c;
        }
        arg = QLatin1Char('"') + escaped + QLatin1Char('"');
    }
    // The key's value is a string of the desktop entry format, where a backslash is doubled.
    arg.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    return arg;
}

QString FileTypeRegistration::desktopEntry() const
{
    QString icon;
    if (!m_icon.isEmpty())
        icon = QStringLiteral("Icon=%1\n").arg(QString(m_icon).replace(QLatin1Char('\\'), QStringLiteral("\\\\")));
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Name=Quillora\n"
                          "Comment=Szerződések összeállítása Word-sablonokból\n"
                          "Exec=%1 %f\n"
                          "%2"
                          "Terminal=false\n"
                          "MimeType=application/x-quillora-sab;application/x-quillora-mza;\n"
                          "Categories=Office;\n")
        .arg(execArgument(m_programPath), icon);
}

bool FileTypeRegistration::run(const ToolRunner& runTool) const
{
    if (systemRegistersThisProgram())
        return removeShadowingEntry(runTool);
    const WriteResult mime = writeIfChanged(mimePackagePath(), mimePackage().toUtf8());
    if (mime == WriteResult::Failed)
        return false;
    const WriteResult desktop = writeIfChanged(desktopEntryPath(), desktopEntry().toUtf8());
    if (desktop == WriteResult::Failed)
        return false;
    if (mime == WriteResult::Written && !runTool(QStringLiteral("update-mime-database"), {m_dataHome + QStringLiteral("/mime")}))
        return false;
    if (desktop == WriteResult::Written)
        return runTool(QStringLiteral("update-desktop-database"), {m_dataHome + QStringLiteral("/applications")});
    return true;
}

} // namespace app
