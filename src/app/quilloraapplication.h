#pragma once
// The application object. An engine error or any other exception that escapes an
// event or command handler ends up here and is shown by the central error report;
// the program keeps running.

#include <QApplication>

namespace app {

class QuilloraApplication : public QApplication {
    Q_OBJECT
public:
    QuilloraApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

} // namespace app
