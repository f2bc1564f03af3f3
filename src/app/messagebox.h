#pragma once
// Message boxes as the workflow states them: text, caption, icon and buttons.
// Texts use a lone carriage return as their line break.

#include <QMessageBox>
#include <QString>

namespace app {

struct MessageSpec {
    QString text;
    QString caption;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
};

// The text as a Qt message box shows it: every carriage return, alone or before a
// line feed, becomes one line break.
QString displayText(const QString& text);

// Shows the box modally and returns the button pressed.
QMessageBox::StandardButton showMessage(const MessageSpec& spec, QWidget* parent = nullptr);

} // namespace app
