#include "word/opc/stagedfiles.h"

#include "word/error.h"

#include <QFileInfo>
#include <QSaveFile>

namespace word::opc {

namespace {

QString problem(const QSaveFile& f)
{
    switch (f.error()) {
    case QFileDevice::PermissionsError:
    case QFileDevice::OpenError:
        return QStringLiteral("nincs írási jog a mappához vagy a fájlhoz");
    case QFileDevice::WriteError:
    case QFileDevice::ResourceError:
        return QStringLiteral("írási hiba (megtelt a lemez?)");
    case QFileDevice::RenameError:
        return QStringLiteral("az elkészült fájl nem nevezhető át a helyére");
    default:
        return f.errorString();
    }
}

[[noreturn]] void fail(const QString& path, const QString& why)
{
    const QString shown = QFileInfo(path).fileName().isEmpty() ? path : QFileInfo(path).fileName();
    throw Error(QStringLiteral("A(z) „%1” fájl nem menthető: %2.").arg(shown, why));
}

} // namespace

StagedFiles::StagedFiles() = default;

StagedFiles::~StagedFiles()
{
    for (auto& f : m_files)
        if (f)
            f->cancelWriting();
}

void StagedFiles::stage(const QString& path, const QByteArray& bytes)
{
    if (QFileInfo(path).isDir())
        fail(path, QStringLiteral("ez egy mappa"));
    auto file = std::make_unique<QSaveFile>(path);
    if (!file->open(QIODevice::WriteOnly))
        fail(path, problem(*file));
    if (file->write(bytes) != bytes.size() || !file->flush()) {
        const QString why = problem(*file);
        file->cancelWriting();
        fail(path, why);
    }
    m_files.push_back(std::move(file));
}

void StagedFiles::commit()
{
    for (auto& f : m_files) {
        const QString path = f->fileName();
        const bool ok = f->commit();
        const QString why = ok ? QString() : problem(*f);
        f.reset();
        if (!ok)
            fail(path, why);
    }
    m_files.clear();
}

} // namespace word::opc
