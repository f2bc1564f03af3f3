#pragma once
// The checks that run before any window exists: the screen must be large enough,
// a second instance runs only on the user's Yes, and a running office word
// processor is pointed out; a hidden one is ended under a narrow rule. Every
// outside fact and every answer comes in through StartupEnvironment, so the
// decisions can be exercised without a screen, a process table or a user.

#include "app/messagebox.h"
#include "app/platform/officeprocesses.h"

#include <QSize>
#include <functional>
#include <optional>

namespace app {

namespace startupmessages {
MessageSpec screenTooSmall();
MessageSpec alreadyRunning();
MessageSpec officeRunning();
}

struct StartupEnvironment {
    QSize screen;
    // Takes the single-instance lock; true when another instance already held it.
    std::function<bool()> takeInstanceLock;
    std::function<std::optional<OfficeProcess>()> findOffice;
    // Shows a box; true when the user answered Yes.
    std::function<bool(const MessageSpec&)> ask;
    std::function<void(qint64 pid)> terminate;
    std::function<void(int ms)> sleep;
};

struct StartupDecision {
    bool run = false;
    bool alreadyRunning = false;
    bool officeEnded = false;
};

StartupDecision checkStartup(const StartupEnvironment& env);

} // namespace app
