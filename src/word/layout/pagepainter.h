#pragma once
// Paints the pages of a PageLayout: paper, header and footer (with the page's
// PAGE, NUMPAGES and SECTIONPAGES), paragraph and cell boxes, text (with the
// layout's additional formats, such as spelling marks), floating objects,
// and, for the view, the selection and the cursor. The view, printing and
// PDF export all paint through it.

#include "word/layout/props.h"

#include <QAbstractTextDocumentLayout>

class QPagedPaintDevice;
class QTextBlock;

namespace word::model { struct Story; }

namespace word::layout {

class PageLayout;
struct Fragment;

class PagePainter {
public:
    explicit PagePainter(const PageLayout& layout) : m_layout(layout) {}

    // Page i where the layout places it (document coordinates). context is
    // the view's (selection, cursor); without it the page is painted as printed.
    void paintPage(QPainter* painter, int page, const QAbstractTextDocumentLayout::PaintContext* context = nullptr) const;
    // Page i with its paper's top left corner at the painter's origin.
    void paintPageAt(QPainter* painter, int page) const;
    // An inline object of a line: picture (an empty frame when it cannot be
    // shown), symbol character, note reference.
    void drawInline(QPainter* painter, const QRectF& rect, const QTextFormat& format) const;

    // Every page (or those listed, 0-based) onto a printer or PDF writer, one
    // device page per page with its own paper size. False when painting could not start.
    static bool paintDocument(const PageLayout& layout, QPagedPaintDevice& device, const QList<int>& pages = {});

private:
    void paintStory(QPainter* painter, const PageLayout& story, const QPointF& origin, int page) const;
    void paintFragment(QPainter* painter, const Fragment& f, const QRectF& clip,
                       const QAbstractTextDocumentLayout::PaintContext* context) const;
    void paintFloat(QPainter* painter, const Fragment& f) const;
    // The page's footnotes below their separator line, each with its number.
    void paintNotes(QPainter* painter, int page) const;
    void paintEndnotes(QPainter* painter, int page) const;
    // One note's story at its place, its number before its first line; returns its height.
    double paintNote(QPainter* painter, const word::model::Story* note, const QPointF& at, double width, int page) const;
    // The legacy check boxes of block (laid out by owner), drawn at the end of the room they took.
    static void paintCheckBoxes(QPainter* painter, const PageLayout& owner, const QTextBlock& block, const QPointF& offset,
                                const QRectF& clip);

    const PageLayout& m_layout;
};

void drawBorders(QPainter* painter, const QRectF& box, const std::array<Border, 4>& borders);

} // namespace word::layout
