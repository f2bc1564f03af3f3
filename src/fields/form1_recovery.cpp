// The main window's handlers of crash recovery: what the field side holds is
// gathered from the window and handed to fields::RecoveryFile.

#include "app/errorreport.h"
#include "app/messagebox.h"
#include "app/tform1.h"
#include "fields/recoveryhooks.h"
#include "templates/headlessopen.h"
#include "templates/tpaletteopendialog.h"
#include "widgets/tcurrencyedit.h"
#include "widgets/tmgrid.h"
#include "word/error.h"

#include <QFileInfo>
#include <QListWidget>

namespace app {

namespace {

QString recoveryPath()
{
    return fields::RecoveryFile::defaultPath();
}

fields::RecoveryState stateOf(TForm1& form)
{
    fields::RecoveryState s;
    s.file = form.TemplateDialog->FileName();
    s.sellers = form.TemplateDialog->SellerCount();
    s.buyers = form.TemplateDialog->BuyerCount();
    for (const templates::PartyEntry& p : templates::entriesOf(*form.globlist))
        if (p.legal)
            s.legal.append(p.text);
    for (int r = 1; r < form.Mgrid1->rowCount(); ++r) {
        const QString name = form.Mgrid1->cells(1, r);
        if (!name.isEmpty())
            s.values.append({name, form.Mgrid1->cells(2, r)});
    }
    return s;
}

int rowOf(const widgets::TMgrid& grid, const QString& field)
{
    for (int r = 1; r < grid.rowCount(); ++r)
        if (grid.cells(1, r) == field)
            return r;
    return -1;
}

} // namespace

void recordRecovery(TForm1& form)
{
    if (!form.WordDoc || !form.TemplateDialog || form.TemplateDialog->FileName().isEmpty())
        return;
    fields::RecoveryFile::write(recoveryPath(), stateOf(form));
}

void endRecovery()
{
    fields::RecoveryFile::remove(recoveryPath());
}

std::optional<fields::RecoveryState> offerRecovery()
{
    const QString path = recoveryPath();
    QString problem;
    const std::optional<fields::RecoveryState> state = fields::RecoveryFile::read(path, &problem);
    if (!state) {
        if (!problem.isEmpty()) {
            fields::RecoveryFile::remove(path);
            reportError(problem);
        }
        return std::nullopt;
    }
    if (fields::RecoveryFile::writerIsRunning(*state))
        return std::nullopt;
    if (!QFileInfo(state->file).isFile()) {
        fields::RecoveryFile::remove(path);
        reportError(QStringLiteral("A kitöltött mezők nem állíthatók vissza: a(z) „%1” fájl már nem létezik.")
                        .arg(state->file));
        return std::nullopt;
    }
    const MessageSpec ask{QStringLiteral("A program legutóbb váratlanul leállt. Visszaállítja a kitöltött mezőket?"),
                          QStringLiteral("Quillora"), QMessageBox::Question, QMessageBox::Yes | QMessageBox::No};
    if (showMessage(ask) != QMessageBox::Yes) {
        fields::RecoveryFile::remove(path);
        return std::nullopt;
    }
    return state;
}

void restoreRecovery(TForm1& form, const fields::RecoveryState& state)
{
    form.TemplateDialog->setFileName(state.file);
    form.TemplateDialog->setPartyCounts(state.sellers, state.buyers);
    templates::setListEntries(form.globlist, templates::partiesFor(state.sellers, state.buyers, state.legal));
    form.button1Click(form.ce1);
    if (!form.WordDoc)
        return;   // the open failed and said why; the file stays for the next start
    for (const auto& [field, value] : state.values) {
        const int row = rowOf(*form.Mgrid1, field);
        if (row < 0)
            continue;
        form.Mgrid1->setCells(2, row, value);
        try {
            form.WriteFieldValue(field, value);
        } catch (const word::Error&) {
            // As with the entry box: the grid keeps the value.
        }
    }
    recordRecovery(form);
}

} // namespace app
