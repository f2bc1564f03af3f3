// Start-up: the checks that may refuse to start (screen, second instance, running
// office word processor), then the main window and the progress window.
#include "app/messagebox.h"
#include "app/platform/datafolders.h"
#include "app/platform/instancelock.h"
#include "app/platform/officeprocesses.h"
#include "app/quilloraapplication.h"
#include "app/startup.h"
#include "app/tform1.h"
#include "app/tform2.h"
#include "fields/recoveryhooks.h"

#include <QScreen>
#include <QThread>

int main(int argc, char** argv)
{
    app::QuilloraApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillora"));
    QApplication::setOrganizationName(QStringLiteral("Quillora"));
    QGuiApplication::setDesktopFileName(QStringLiteral("quillora"));
    // Qt's own texts in Hungarian before the first box; without the file they stay English.
    application.loadTranslations();
    // Values typed before an unexpected end are offered back before anything else.
    const std::optional<fields::RecoveryState> recovery = app::offerRecovery();

    // The lock is held from here until the process ends, also by a second instance.
    std::unique_ptr<app::InstanceLock> lock;
    app::StartupEnvironment env;
    const QScreen* screen = QGuiApplication::primaryScreen();
    env.screen = screen ? screen->geometry().size() : QSize();
    env.takeInstanceLock = [&lock] {
        lock = std::make_unique<app::InstanceLock>(app::InstanceLock::defaultPath());
        return lock->alreadyExists();
    };
    env.findOffice = [] { return app::OfficeProcesses().first(); };
    env.ask = [](const app::MessageSpec& spec) { return app::showMessage(spec) == QMessageBox::Yes; };
    env.terminate = &app::OfficeProcesses::terminate;
    env.sleep = [](int ms) { QThread::msleep(ms); };
    if (!app::checkStartup(env).run)
        return 0;

    // The user's folders are seeded before the window looks into them.
    app::DataFolders::current().prepare();
    app::TForm1 form1;
    app::TForm2 form2(&form1);
    form1.setForm2(&form2);
    form1.CommandLine = QCoreApplication::arguments().mid(1);
    if (recovery) {
        form1.CommandLine.clear();
        QMetaObject::invokeMethod(&form1, [&form1, state = *recovery] { app::restoreRecovery(form1, state); },
                                  Qt::QueuedConnection);
    }
    form1.show();
    return QApplication::exec();
}
