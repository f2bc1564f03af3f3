#include "windowdriver.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileInfo>
#include <QLineEdit>
#include <QTimer>

namespace outputtest {

namespace {

constexpr int PollMs = 10;
constexpr int Attempts = 300;
int generation = 0;

void pollBox(SeenBox* seen, QMessageBox::StandardButton answer, std::function<void()> then, int gen, int left)
{
    QTimer::singleShot(PollMs, [=] {
        if (gen != generation)
            return;
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            if (left > 0)
                pollBox(seen, answer, then, gen, left - 1);
            return;
        }
        seen->caption = box->windowTitle();
        seen->text = box->text();
        seen->icon = box->icon();
        seen->buttons = box->standardButtons();
        seen->shown = true;
        if (QAbstractButton* button = box->button(answer))
            button->click();
        else
            box->close();
        if (then)
            then();
    });
}

// selectFile() does nothing while the file-name field has focus, as it has once
// the dialog is up: the name is typed into the field, as a user would.
void choose(QFileDialog* dialog, const QString& path)
{
    const QFileInfo info(path);
    dialog->setDirectory(info.absolutePath());
    if (auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
        name->setText(info.fileName());
    else
        dialog->selectFile(path);
}

void pollDialog(QFileDialog* dialog, SeenDialog* seen, const QString& path, int gen, int left)
{
    QTimer::singleShot(PollMs, dialog, [=] {
        if (gen != generation)
            return;
        if (!dialog->isVisible()) {
            if (left > 0)
                pollDialog(dialog, seen, path, gen, left - 1);
            return;
        }
        seen->folder = dialog->directory().absolutePath();
        const QStringList proposal = dialog->selectedFiles();
        seen->proposal = proposal.isEmpty() ? QString() : proposal.constFirst();
        seen->shown = true;
        if (path.isEmpty()) {
            dialog->reject();
            return;
        }
        choose(dialog, path);
        QMetaObject::invokeMethod(dialog, "accept");
    });
}

} // namespace

void answerBox(SeenBox* seen, QMessageBox::StandardButton answer, std::function<void()> then)
{
    pollBox(seen, answer, std::move(then), generation, Attempts);
}

void answerFileDialog(QFileDialog* dialog, SeenDialog* seen, const QString& path)
{
    pollDialog(dialog, seen, path, generation, Attempts);
}

void stopAnswering()
{
    ++generation;
}

} // namespace outputtest
