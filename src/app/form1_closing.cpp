// The two moments that tie the subsystems together: the file named on the
// command line, opened when the window is first shown, and the closing, which
// offers to save unsaved changes and then releases the document.

#include "app/errorreport.h"
#include "app/messagebox.h"
#include "app/tform1.h"
#include "fields/recoveryhooks.h"
#include "templates/tpaletteopendialog.h"
#include "widgets/tcurrencyedit.h"
#include "word/application.h"
#include "word/document.h"
#include "word/error.h"
#include "word/view/documenthost.h"

#include <QDir>
#include <QFileInfo>

namespace app {

namespace {

// The folder part of the argument with the file's name as the file system
// stores it; the folder alone when the argument names no file.
QString storedName(const QString& argument)
{
    const QFileInfo info(argument);
    const QString folder = QDir::cleanPath(info.absolutePath()) + QLatin1Char('/');
    // Names here have one spelling only, the one on disk: there are no short aliases.
    return info.isFile() ? folder + info.fileName() : folder;
}

QString extensionOf(const QString& argument)
{
    const QString name = QFileInfo(argument).fileName();
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot).toLower();
}

} // namespace

void TForm1::HandleCommandLine()
{
    if (CommandLine.isEmpty())
        return;
    const QString argument = CommandLine.constFirst();
    const QString path = storedName(argument);
    const QString extension = extensionOf(argument);
    if (extension == QStringLiteral(".mza")) {
        LoadFieldFileFromCommandLine(path, argument);
        return;
    }
    if (extension == QStringLiteral(".sab")) {
        // The user still chooses the party counts: the dialog comes up with the file preset.
        TemplateDialog->setFileName(path);
        button1Click(this);
        return;
    }
    // A missing document is named in the failure message by its own path, not by its folder.
    TemplateDialog->setFileName(QFileInfo(argument).isFile() ? path : QFileInfo(argument).absoluteFilePath());
    button1Click(ce1);
}

bool TForm1::FormCloseQuery()
{
    try {
        if (!WordDoc || WordDoc->Saved())
            return true;
        const MessageSpec ask { QStringLiteral("Változtatásokat végzett a jelenlegi fájlon.\rKilépéskor a "
                                               "változtatások elvesznek.\r\rAkarja előbb menteni a jelenlegi fájlt ?"),
                                QStringLiteral("Quillora"), QMessageBox::Question,
                                QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel };
        const QMessageBox::StandardButton answer = showMessage(ask, this);
        if (answer == QMessageBox::Cancel)
            return false;
        if (answer != QMessageBox::Yes)
            return true;
        Button4Click(this);
        // A save the user broke off leaves the changes unsaved: they are not thrown
        // away behind the user's back, the window stays open.
        return !WordDoc || WordDoc->Saved();
    } catch (const word::Error& e) {
        // The changes were not written; closing now would lose them.
        reportError(e.message());
        return false;
    }
}

void TForm1::releaseDocument()
{
    // The window closes cleanly: nothing typed needs recovering any more.
    endRecovery();
    if (WordDoc && WordApp) {
        try {
            WordDoc->ActiveWindow().setDisplayRulers(SavedDisplayRulers);
            WordApp->setDisplayScrollBars(SavedDisplayScrollBars);
        } catch (const word::Error&) {
            // The engine's own display settings are a courtesy; the document goes in any case.
        }
    }
    WordDoc = nullptr;
    WordApp = nullptr;
    delete Browser.data();
}

} // namespace app
