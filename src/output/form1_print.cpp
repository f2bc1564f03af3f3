// The main window's print command: the print dialog, then the document's
// pages through the page painter. Guarded: a failure shows nothing.

#include "app/tform1.h"
#include "word/document.h"
#include "word/view/documenthost.h"
#include "word/view/printing.h"

#include <QAction>

namespace app {

void TForm1::connectPrintHandlers()
{
    connect(Print, &QAction::triggered, this, [this] { Button2Click(); });
}

void TForm1::Button2Click()
{
    try {
        if (Browser && Browser->Document())
            word::view::printWithDialog(*Browser->Document(), this);
    } catch (...) {
        // Printing is guarded: nothing is reported.
    }
}

} // namespace app
