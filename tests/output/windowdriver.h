#pragma once
// Answers the modal windows that the main window's commands bring up, the way
// a user would, from the event loop while the command runs. Each answerer waits
// a few seconds at most, so a window that never comes fails the case instead of
// hanging it.

#include <QFileDialog>
#include <QMessageBox>
#include <QString>
#include <functional>

namespace outputtest {

// What a message box showed, filled in when it is answered.
struct SeenBox {
    QString caption;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    bool shown = false;
};

// Answers the next message box with the button given, then runs then (which may
// wait for the next window). A box without that button is closed.
void answerBox(SeenBox* seen, QMessageBox::StandardButton answer, std::function<void()> then = {});

// What the save dialog offered, filled in when it is answered.
struct SeenDialog {
    QString folder;
    QString proposal;   // the full path the dialog would return as it stands
    bool shown = false;
};

// Waits for the file dialog to come up, notes its proposal, then chooses path
// (an empty path cancels the dialog).
void answerFileDialog(QFileDialog* dialog, SeenDialog* seen, const QString& path);

// Ends every answerer still waiting, so none reaches into the next case.
void stopAnswering();

} // namespace outputtest
