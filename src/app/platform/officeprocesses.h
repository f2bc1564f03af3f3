#pragma once
// Running office word processors of this user: processes named soffice.bin.
// One started with --headless or --invisible has no window the user could see.

#include <QString>
#include <optional>
#include <sys/types.h>
#include <unistd.h>

namespace app {

struct OfficeProcess {
    qint64 pid = 0;
    bool visible = true;
};

class OfficeProcesses {
public:
    // procRoot and uid are parameters so that a made-up process table can be read.
    explicit OfficeProcesses(QString procRoot = QStringLiteral("/proc"), uint uid = ::getuid());

    // The office process with the lowest id, if any.
    std::optional<OfficeProcess> first() const;

    // Ends the process at once; the result is not looked at.
    static void terminate(qint64 pid);

private:
    std::optional<OfficeProcess> read(const QString& pidDir, qint64 pid) const;

    QString m_root;
    uint m_uid;
};

} // namespace app
