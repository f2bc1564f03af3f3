#include "output/documentwriter.h"

#include "word/document.h"
#include "word/error.h"
#include "word/range.h"
#include "word/selection.h"

namespace output {

namespace {

constexpr int FullZoom = 100;
constexpr int WrapStop = 0;
constexpr int ReplaceAll = 2;

void removeSectionBreaks(word::Document& doc)
{
    word::Find find = doc.ActiveWindow().Selection().Find();
    find.setText(QStringLiteral("^b"));
    find.Replacement().setText(QString());
    find.setForward(true);
    find.setWrap(WrapStop);
    find.Execute(ReplaceAll);
}

} // namespace

void prepareAsSubdocument(word::Document& doc)
{
    try {
        doc.Select();
        doc.Subdocuments().AddFromRange(doc.ActiveWindow().Selection().Range());
        removeSectionBreaks(doc);
    } catch (const word::Error&) {
        // The contract is complete without the subdocument form; it is saved as it is.
    }
}

void writeDocument(word::Document& doc, const QString& path, int viewZoom)
{
    doc.ActiveWindow().Selection().Move();
    word::Zoom& zoom = doc.ActiveWindow().View().Zoom();
    zoom.setPercentage(FullZoom);
    try {
        doc.SaveAs(path);
    } catch (const word::Error&) {
        // The user keeps looking at the zoom they chose, whether or not the save worked.
        zoom.setPercentage(viewZoom);
        throw;
    }
    zoom.setPercentage(viewZoom);
}

} // namespace output
