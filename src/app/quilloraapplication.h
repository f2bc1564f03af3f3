#pragma once
// The application object. An engine error or any other exception that escapes an
// event or command handler ends up here and is shown by the central error report;
// the program keeps running. It also carries the program's icon and puts Qt's own
// texts (standard buttons, file and print dialogs) into Hungarian.

#include <QApplication>
#include <QIcon>

class QTranslator;

namespace app {

class QuilloraApplication : public QApplication {
    Q_OBJECT
public:
    QuilloraApplication(int& argc, char** argv);
    ~QuilloraApplication() override;
    bool notify(QObject* receiver, QEvent* event) override;

    // The folder of Qt's own translations, where the Debian package
    // qt6-translations-l10n puts them.
    static QString defaultTranslationsFolder();
    // Installs Qt's Hungarian texts (qtbase_hu) from folder. False when the file is
    // missing or unreadable: Qt's texts then stay English and the program runs on.
    bool loadTranslations(const QString& folder = defaultTranslationsFolder());

    // The program's own icon, a quill over a page, in every size it is drawn in.
    static QIcon programIcon();

private:
    QTranslator* m_qtTranslator = nullptr;
};

} // namespace app
