#include "app/messagebox.h"

namespace app {

QString displayText(const QString& text)
{
    QString out = text;
    out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    out.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return out;
}

QMessageBox::StandardButton showMessage(const MessageSpec& spec, QWidget* parent)
{
    QMessageBox box(spec.icon, spec.caption, displayText(spec.text), spec.buttons, parent);
    if (spec.buttons & QMessageBox::Yes)
        box.setDefaultButton(QMessageBox::Yes);
    return QMessageBox::StandardButton(box.exec());
}

} // namespace app
