#include "word/view/pageview.h"

#include "word/document.h"
#include "word/model/docmodel.h"
#include "word/view/pagetextitem.h"

#include <QAbstractTextDocumentLayout>
#include <QGraphicsRectItem>
#include <QGraphicsScene>
#include <QGuiApplication>
#include <QScreen>
#include <QTextDocument>
#include <QTextFrame>

namespace word::view {

namespace {

const QColor DeskColour(128, 128, 128);
constexpr double DeskMargin = 18.0;    // desk visible around the pages, in layout pixels
constexpr double PageGap = 12.0;       // desk between two pages

double screenPixelsPerPoint()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInchY() : 96.0;
    return (dpi > 0 ? dpi : 96.0) / 72.0;
}

} // namespace

PageView::PageView(word::Document* doc, QWidget* parent)
    : QGraphicsView(parent)
    , m_doc(doc)
    , m_setup(pageSetupOf(*doc))
    , m_pxPerPt(screenPixelsPerPoint())
{
    setObjectName(QStringLiteral("PageView"));
    auto* scene = new QGraphicsScene(this);
    scene->setBackgroundBrush(DeskColour);
    setScene(scene);
    setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    setFrameShape(QFrame::NoFrame);
    setViewportUpdateMode(QGraphicsView::MinimalViewportUpdate);

    // The first layout of a document reports its whole text as inserted at
    // position 0. That is no edit: the model must not move its bookmarks.
    doc->model().setTracking(false);
    doc->textDocument()->documentLayout();
    doc->model().setTracking(true);
    applyPageLayout();
    m_text = new PageTextItem(doc);
    m_text->setZValue(1);
    scene->addItem(m_text);
    connect(doc->textDocument()->documentLayout(), &QAbstractTextDocumentLayout::documentSizeChanged,
            this, [this] { rebuildPages(); });
    rebuildPages();
    m_text->setFocus();
}

PageView::~PageView()
{
    // The text item must let go of the engine's document before the scene goes.
    delete m_text;
}

// The paper becomes the layout's page size and the margins the root frame's,
// so the layout breaks pages where the paper ends. The margins are changed
// only when they differ, and that change is no edit of the user's: the saved
// mark and the empty undo history of a fresh document stay as they were.
void PageView::applyPageLayout()
{
    QTextDocument* text = m_doc->textDocument();
    const QSizeF paper = m_setup.paper * m_pxPerPt;
    text->setPageSize(paper);
    QTextFrameFormat root = text->rootFrame()->frameFormat();
    const QMarginsF m = m_setup.margins * m_pxPerPt;
    if (qFuzzyCompare(root.leftMargin(), m.left()) && qFuzzyCompare(root.rightMargin(), m.right())
        && qFuzzyCompare(root.topMargin(), m.top()) && qFuzzyCompare(root.bottomMargin(), m.bottom()))
        return;
    const bool saved = m_doc->Saved();
    const bool hadUndo = text->isUndoAvailable();
    root.setLeftMargin(m.left());
    root.setRightMargin(m.right());
    root.setTopMargin(m.top());
    root.setBottomMargin(m.bottom());
    text->rootFrame()->setFrameFormat(root);
    if (!hadUndo)
        m_doc->UndoClear();
    m_doc->setSaved(saved);
}

QRectF PageView::pageRect(int i) const
{
    const QSizeF paper = m_setup.paper * m_pxPerPt;
    return QRectF(0, i * paper.height(), paper.width(), paper.height());
}

// Pages follow each other without a gap in the layout; the desk between them
// is painted over the bottom and top margins where the pages meet, where the
// layout never puts text.
void PageView::rebuildPages()
{
    if (!m_doc)
        return;
    const int count = std::max(1, m_doc->textDocument()->pageCount());
    while (m_pages.size() > count) {
        delete m_pages.takeLast();
        delete m_gaps.takeLast();
    }
    while (m_pages.size() < count) {
        auto* page = scene()->addRect(QRectF(), QPen(QColor(60, 60, 60)), Qt::white);
        page->setZValue(0);
        m_pages.append(page);
        auto* gap = scene()->addRect(QRectF(), Qt::NoPen, DeskColour);
        gap->setZValue(2);
        m_gaps.append(gap);
    }
    for (int i = 0; i < count; ++i) {
        const QRectF page = pageRect(i);
        m_pages[i]->setRect(page);
        const double half = std::min(PageGap / 2, m_setup.margins.bottom() * m_pxPerPt / 2);
        m_gaps[i]->setRect(i == 0 ? QRectF() : QRectF(page.left() - 1, page.top() - half,
                                                      page.width() + 2, 2 * half));
    }
    const QRectF all(0, 0, pageRect(0).width(), count * pageRect(0).height());
    scene()->setSceneRect(all.adjusted(-DeskMargin, -DeskMargin, DeskMargin, DeskMargin));
}

void PageView::setZoomPercent(int percent)
{
    percent = qBound(10, percent, 500);
    if (percent == m_zoom)
        return;
    m_zoom = percent;
    setTransform(QTransform::fromScale(percent / 100.0, percent / 100.0));
    emit zoomChanged(percent);
}

void PageView::focusInEvent(QFocusEvent* event)
{
    QGraphicsView::focusInEvent(event);
    if (m_text)
        m_text->setFocus();
}

} // namespace word::view
