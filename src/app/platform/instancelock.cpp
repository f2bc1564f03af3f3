#include "app/platform/instancelock.h"

#include <QDir>
#include <QFileInfo>
#include <QThread>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace app {

QString InstanceLock::defaultPath()
{
    QString dir = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (dir.isEmpty() || !QFileInfo(dir).isDir())
        dir = QDir::tempPath();
    return QDir(dir).filePath(QStringLiteral("Quillora.exe.lock"));
}

InstanceLock::InstanceLock(const QString& path)
{
    m_fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (m_fd < 0)
        return;
    if (::flock(m_fd, LOCK_EX | LOCK_NB) == 0) {
        ::flock(m_fd, LOCK_SH);
        return;
    }
    m_alreadyExists = errno == EWOULDBLOCK;
    // Another starter may hold the lock exclusively for the moment of its own
    // check; a shared lock is granted as soon as it has stepped down.
    for (int i = 0; i < 50; ++i) {
        if (::flock(m_fd, LOCK_SH | LOCK_NB) == 0)
            return;
        QThread::msleep(10);
    }
}

InstanceLock::~InstanceLock()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

} // namespace app
