#include "app/platform/filetyperegistration.h"

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

} // namespace

FileTypeRegistration::FileTypeRegistration(QString dataHome, QString programPath)
    : m_dataHome(std::move(dataHome)), m_programPath(std::move(programPath))
{
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
    return m_dataHome + QStringLiteral("/mime/packages/quillora.xml");
}

QString FileTypeRegistration::desktopEntryPath() const
{
    return m_dataHome + QStringLiteral("/applications/quillora.desktop");
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
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Name=Quillora\n"
                          "Comment=Szerződések összeállítása Word-sablonokból\n"
                          "Exec=%1 %f\n"
                          "Terminal=false\n"
                          "MimeType=application/x-quillora-sab;application/x-quillora-mza;\n"
                          "Categories=Office;\n")
        .arg(execArgument(m_programPath));
}

bool FileTypeRegistration::run(const ToolRunner& runTool) const
{
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
