#include "app/errorreport.h"
#include "app/messagebox.h"

#include <QApplication>

namespace app {

namespace {
std::function<void(const QString&)>& presenter()
{
    static std::function<void(const QString&)> p;
    return p;
}
}

void setErrorPresenter(std::function<void(const QString&)> p)
{
    presenter() = std::move(p);
}

void reportError(const QString& text)
{
    if (presenter()) {
        presenter()(text);
        return;
    }
    showMessage({text, QStringLiteral("Quillora"), QMessageBox::Critical, QMessageBox::Ok},
                QApplication::activeWindow());
}

} // namespace app
