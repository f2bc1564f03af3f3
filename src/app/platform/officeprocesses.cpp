#include "app/platform/officeprocesses.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <vector>

#include <csignal>

namespace app {

namespace {

QByteArray readSmall(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.read(64 * 1024);
}

bool startedHidden(const QByteArray& cmdline)
{
    for (const QByteArray& arg : cmdline.split('\0')) {
        if (arg.startsWith("--headless") || arg.startsWith("--invisible"))
            return true;
    }
    return false;
}

} // namespace

OfficeProcesses::OfficeProcesses(QString procRoot, uint uid) : m_root(std::move(procRoot)), m_uid(uid) {}

std::optional<OfficeProcess> OfficeProcesses::first() const
{
    const QStringList names = QDir(m_root).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    std::vector<qint64> pids;
    for (const QString& name : names) {
        bool ok = false;
        const qint64 pid = name.toLongLong(&ok);
        if (ok && pid > 0)
            pids.push_back(pid);
    }
    std::sort(pids.begin(), pids.end());
    for (qint64 pid : pids) {
        if (auto found = read(m_root + QLatin1Char('/') + QString::number(pid), pid))
            return found;
    }
    return std::nullopt;
}

std::optional<OfficeProcess> OfficeProcesses::read(const QString& pidDir, qint64 pid) const
{
    if (readSmall(pidDir + QStringLiteral("/comm")).trimmed() != "soffice.bin")
        return std::nullopt;
    if (QFileInfo(pidDir).ownerId() != m_uid)
        return std::nullopt;
    return OfficeProcess{pid, !startedHidden(readSmall(pidDir + QStringLiteral("/cmdline")))};
}

void OfficeProcesses::terminate(qint64 pid)
{
    if (pid > 0)
        ::kill(pid_t(pid), SIGKILL);
}

} // namespace app
