// The main window's save of the finished document. Which way it saves depends
// on the file the document was opened from; the writing itself is done by
// output::writeDocument.

#include "app/errorreport.h"
#include "app/messagebox.h"
#include "app/platform/datafolders.h"
#include "app/tform1.h"
#include "output/compatibilityresave.h"
#include "output/documentwriter.h"
#include "output/savename.h"
#include "templates/tpaletteopendialog.h"
#include "widgets/tcurrencyedit.h"
#include "word/document.h"
#include "word/error.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>

namespace app {

namespace {

// The template dialog's entry for documents saved earlier.
constexpr int SavedDocumentsFilter = 2;

const QString ResultCaption = QStringLiteral("Mentés eredménye");

void reportSaved(TForm1& form, const QString& text)
{
    showMessage({ text, ResultCaption, QMessageBox::Information, QMessageBox::Ok }, &form);
}

// Shows SaveDialog1 in the documents folder with the given proposal; empty when cancelled.
QString askFileName(TForm1& form, const QString& proposal)
{
    QFileDialog& dialog = *form.SaveDialog1;
    if (!form.DocumentsPath.isEmpty())
        dialog.setDirectory(form.DocumentsPath);
    dialog.selectFile(proposal);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return QDir::cleanPath(dialog.selectedFiles().constFirst());
}

bool confirmSaveInPlace(TForm1& form)
{
    const MessageSpec ask { QStringLiteral("A jelenlegi fájl aldokumentumokat tartalmaz.\rIlyen esetben a "
                                           "mentés felülírja a jelenlegi fájlt.\r\rAkarja folytatni a mentést ?"),
                            QStringLiteral("Mentés megerősítése"), QMessageBox::Question,
                            QMessageBox::Yes | QMessageBox::No };
    return showMessage(ask, &form) == QMessageBox::Yes;
}

int viewZoom(const TForm1& form)
{
    return form.Edit1->text().toInt();
}

void resaveForCompatibility(const QString& path)
{
    try {
        output::CompatibilityResave(path, output::compatibilityTemplate(app::DataFolders::current().programDataFolder()));
    } catch (const word::Error& e) {
        // The contract itself is written; the user is told and still gets it on screen.
        reportError(e.message());
    }
}

void saveFromTemplate(TForm1& form)
{
    const QString path = askFileName(form, output::proposedDocumentName(form.TemplateDialog->FileName()));
    if (path.isEmpty())
        return;
    output::prepareAsSubdocument(*form.WordDoc);
    output::writeDocument(*form.WordDoc, path, viewZoom(form));
    form.WordDoc->setSaved(true);
    if (form.officefix->isChecked()) {
        reportSaved(form, QStringLiteral("A mentés sikeresen megtörtént, Office 2007-2010 fix következik"));
        resaveForCompatibility(path);
    } else {
        reportSaved(form, QStringLiteral("A mentés sikeresen megtörtént"));
    }
    form.TemplateDialog->setFileName(path);
    form.TemplateDialog->setFilterIndex(SavedDocumentsFilter);
    // The saved file becomes the current document: the user goes on with what is on disk.
    form.button1Click(form.ce1);
}

void saveDirect(TForm1& form)
{
    if (form.WordDoc->Subdocuments().Count() > 0) {
        // The subdocuments are files of their own beside this one; a new name would
        // leave them behind, so the document is only ever saved where it is.
        if (!confirmSaveInPlace(form))
            return;
        output::writeDocument(*form.WordDoc, QString(), viewZoom(form));
    } else {
        const QString path = askFileName(form, form.TemplateDialog->FileName());
        if (path.isEmpty())
            return;
        output::writeDocument(*form.WordDoc, path, viewZoom(form));
    }
    form.WordDoc->setSaved(true);
    reportSaved(form, QStringLiteral("A mentés sikeresen megtörtént"));
}

} // namespace

void TForm1::connectOutputHandlers()
{
    QObject::connect(Save, &QAction::triggered, this, [this] { Button4Click(this); });
}

void TForm1::Button4Click(QObject*)
{
    if (!WordDoc)
        return;
    if (output::isTemplateBased(TemplateDialog->FileName()))
        saveFromTemplate(*this);
    else
        saveDirect(*this);
}

} // namespace app
