#include "app/platform/datafolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace app {

namespace {

const QString kTemplates = QStringLiteral("sablonok");
const QString kFieldData = QStringLiteral("mezoadatok");

// Copies every file below from into to, keeping the sub-folders; a file that is
// there already is left alone. A copy is the user's, so it is made writable.
void seed(const QString& from, const QString& to)
{
    QDirIterator it(from, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    const QDir source(from);
    while (it.hasNext()) {
        const QString file = it.next();
        const QString target = QDir(to).filePath(source.relativeFilePath(file));
        if (QFileInfo::exists(target))
            continue;
        QDir().mkpath(QFileInfo(target).absolutePath());
        if (QFile::copy(file, target))
            QFile::setPermissions(target, QFile::permissions(target) | QFileDevice::WriteOwner | QFileDevice::ReadOwner);
    }
}

bool isInside(const QString& path, const QString& folder)
{
    const QString f = QFileInfo(folder).canonicalFilePath();
    const QString p = QFileInfo(QFileInfo(path).absolutePath()).canonicalFilePath();
    return !f.isEmpty() && !p.isEmpty() && (p == f || p.startsWith(f + QLatin1Char('/')));
}

} // namespace

DataFolders::DataFolders(QString programFolder, QString dataHome)
    : m_programFolder(std::move(programFolder)), m_dataHome(std::move(dataHome)), m_layout(layoutOf(m_programFolder))
{
}

DataFolders& DataFolders::current()
{
    static DataFolders folders(QCoreApplication::applicationDirPath(),
                               QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    return folders;
}

DataFolders::Layout DataFolders::layoutOf(const QString& programFolder)
{
    // The build tree makes the program's folders beside the executable; an
    // installed program is the one in a bin folder without them.
    const QDir dir(programFolder);
    if (dir.exists(kTemplates) || dir.exists(kFieldData))
        return Layout::BesideProgram;
    if (QFileInfo(programFolder).fileName() == QLatin1String("bin"))
        return Layout::Installed;
    return Layout::BesideProgram;
}

QString DataFolders::samplesFolder() const
{
    if (m_layout == Layout::BesideProgram)
        return m_programFolder;
    return QDir::cleanPath(m_programFolder + QStringLiteral("/../share/quillora"));
}

QString DataFolders::userFolder() const
{
    if (m_dataHome.isEmpty())
        return QString();
    return QDir(m_dataHome).filePath(QStringLiteral("Quillora"));
}

QString DataFolders::folder(const QString& name) const
{
    if (m_layout == Layout::Installed && !m_readOnly)
        return QDir(userFolder()).filePath(name);
    return QDir(samplesFolder()).filePath(name);
}

bool DataFolders::prepare()
{
    m_readOnly = false;
    if (m_layout == Layout::BesideProgram)
        return true;
    const QString user = userFolder();
    for (const QString& name : {kTemplates, kFieldData}) {
        const QString target = QDir(user).filePath(name);
        const bool fresh = !QFileInfo::exists(target);
        if (user.isEmpty() || !QDir().mkpath(target) || !QFileInfo(target).isDir()) {
            m_readOnly = true;
            return false;
        }
        if (fresh)
            seed(QDir(samplesFolder()).filePath(name), target);
    }
    return true;
}

QString DataFolders::fieldDataSaveRefusal(const QString& path) const
{
    if (!m_readOnly || !isInside(path, samplesFolder()))
        return QString();
    return QStringLiteral("A mezőadat fájl nem menthető: %1\r"
                          "A telepített minták mappája csak olvasható, a saját adatmappája (%2) pedig "
                          "nem hozható létre. Válasszon egy írható mappát, például a dokumentumok mappáját.")
        .arg(QDir::toNativeSeparators(path), QDir::toNativeSeparators(userFolder()));
}

} // namespace app
