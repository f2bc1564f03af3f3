// The file dialogs of the main window: the finished document, and the field data files.
#include "app/tform1.h"

#include <QFileDialog>

namespace app {

namespace {

QFileDialog* fileDialog(QWidget* owner, const char* name, QFileDialog::AcceptMode mode,
                        const QString& suffix, const QString& filter, const QString& title)
{
    auto* d = new QFileDialog(owner);
    d->setObjectName(QLatin1String(name));
    d->setOption(QFileDialog::DontUseNativeDialog);
    d->setAcceptMode(mode);
    d->setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    d->setDefaultSuffix(suffix);
    d->setNameFilter(filter);
    d->setWindowTitle(title);
    return d;
}

} // namespace

void TForm1::createDialogs()
{
    SaveDialog1 = fileDialog(this, "SaveDialog1", QFileDialog::AcceptSave, QStringLiteral("doc"),
                             QStringLiteral("Word dokumentum sablon (*.dot)"), QString());
    const QString dataFilter = QStringLiteral("Mezőadat fájlok (*.mza)");
    OpenDialog2 = fileDialog(this, "OpenDialog2", QFileDialog::AcceptOpen, QStringLiteral("mza"),
                             dataFilter, QStringLiteral("Mező adatok betöltése"));
    SaveDialog2 = fileDialog(this, "SaveDialog2", QFileDialog::AcceptSave, QStringLiteral("mza"),
                             dataFilter, QStringLiteral("Mező adatok mentése"));
}

} // namespace app
