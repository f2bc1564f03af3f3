#pragma once
// The single-instance guard: an advisory lock on Quillora.exe.lock in the user's
// runtime folder. Every running instance holds it shared; when an exclusive try
// fails, another instance is running. The lock lives as long as this object, and
// the program keeps it until the process ends.

#include <QString>

namespace app {

class InstanceLock {
public:
    // The lock file in $XDG_RUNTIME_DIR, or in the temporary folder when that is missing.
    static QString defaultPath();

    explicit InstanceLock(const QString& path);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // True when another holder had the lock at construction. A lock file that
    // cannot be opened counts as no other instance.
    bool alreadyExists() const { return m_alreadyExists; }
    bool held() const { return m_fd >= 0; }

private:
    int m_fd = -1;
    bool m_alreadyExists = false;
};

} // namespace app
