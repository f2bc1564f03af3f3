#include "word/view/printing.h"

#include "word/document.h"
#include "word/layout/pagelayout.h"
#include "word/layout/pagepainter.h"
#include "word/layout/pdfexport.h"

#include <QPrintDialog>
#include <QPrinter>

namespace word::view {

bool printDocument(word::Document& doc, QPrinter& printer, const QList<int>& pages)
{
    word::layout::PageLayout* layout = word::layout::PageLayout::install(doc.model());
    printer.setFullPage(true);
    if (printer.docName().isEmpty())
        printer.setDocName(word::layout::documentTitle(doc.model()));
    if (printer.outputFormat() == QPrinter::PdfFormat)
        printer.setPdfVersion(QPagedPaintDevice::PdfVersion_1_4);
    return word::layout::PagePainter::paintDocument(*layout, printer, pages);
}

bool printWithDialog(word::Document& doc, QWidget* parent)
{
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, parent);
    dialog.setObjectName(QStringLiteral("PrintDialog"));
    word::layout::PageLayout* layout = word::layout::PageLayout::install(doc.model());
    dialog.setMinMax(1, std::max(1, layout->pageCount()));
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    QList<int> pages;
    if (printer.printRange() == QPrinter::PageRange) {
        for (int p = printer.fromPage(); p <= printer.toPage(); ++p)
            pages.append(p - 1);
    }
    const int copies = std::max(1, printer.copyCount());
    printer.setCopyCount(1);
    QList<int> all = pages;
    if (all.isEmpty())
        for (int p = 0; p < layout->pageCount(); ++p)
            all.append(p);
    QList<int> run;
    for (int c = 0; c < copies; ++c)
        run += all;
    return printDocument(doc, printer, run);
}

} // namespace word::view
