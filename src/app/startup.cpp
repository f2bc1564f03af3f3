#include "app/startup.h"

namespace app {

namespace startupmessages {

MessageSpec screenTooSmall()
{
    return {QStringLiteral("A program működéséhez szükséges legkisebb felbontás 1024x768 !"),
            QStringLiteral("Quillora Hiba"), QMessageBox::Critical, QMessageBox::Ok};
}

MessageSpec alreadyRunning()
{
    return {QStringLiteral("A Quillora egy példánya már fut a rendszeren.\rEnnek ellenére folytatja ? "),
            QStringLiteral("Quillora figyelmeztetés"), QMessageBox::Warning,
            QMessageBox::Yes | QMessageBox::No};
}

MessageSpec officeRunning()
{
    return {QStringLiteral("A Word egy vagy több példánya jelenleg aktív. Ez problémákat okozhat.\r"
                           "Kérem eőbb zárja be a futó Word példányokat.\n\rEnnek ellenére folytatja ? "),
            QStringLiteral("Quillora figyelmeztetés"), QMessageBox::Warning,
            QMessageBox::Yes | QMessageBox::No};
}

} // namespace startupmessages

StartupDecision checkStartup(const StartupEnvironment& env)
{
    StartupDecision d;
    if (env.screen.width() < 1024 || env.screen.height() < 768) {
        env.ask(startupmessages::screenTooSmall());
        return d;
    }
    d.alreadyRunning = env.takeInstanceLock();
    if (d.alreadyRunning && !env.ask(startupmessages::alreadyRunning()))
        return d;
    const std::optional<OfficeProcess> office = env.findOffice();
    if (office && !env.ask(startupmessages::officeRunning()))
        return d;
    // Only a hidden one, and only when no other instance of ours may be using it.
    if (office && !office->visible && !d.alreadyRunning) {
        env.terminate(office->pid);
        env.sleep(10);
        d.officeEnded = true;
    }
    d.run = true;
    return d;
}

} // namespace app
