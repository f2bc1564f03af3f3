#include "app/quilloraapplication.h"
#include "app/errorreport.h"
#include "word/error.h"

namespace app {

QuilloraApplication::QuilloraApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool QuilloraApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const word::Error& e) {
        reportError(e.message());
    } catch (const std::exception& e) {
        reportError(QString::fromUtf8(e.what()));
    }
    return false;
}

} // namespace app
