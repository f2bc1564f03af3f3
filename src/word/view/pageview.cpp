#include "word/view/pageview.h"

#include "word/document.h"
#include "word/layout/pagelayout.h"
#include "word/model/docmodel.h"
#include "word/view/pagetextitem.h"

#include <QGraphicsScene>
#include <QPainter>
#include <QTextDocument>

namespace word::view {

namespace {

const QColor DeskColour(128, 128, 128);
constexpr double DeskMargin = 18.0;    // desk visible around the pages, in scene units
constexpr double PageGap = 12.0;       // desk between two pages

} // namespace

PageView::PageView(word::Document* doc, QWidget* parent)
    : QGraphicsView(parent)
    , m_doc(doc)
    , m_setup(pageSetupOf(*doc))
{
    setObjectName(QStringLiteral("PageView"));
    auto* scene = new QGraphicsScene(this);
    setScene(scene);
    setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    setFrameShape(QFrame::NoFrame);
    setViewportUpdateMode(QGraphicsView::MinimalViewportUpdate);
    setCacheMode(QGraphicsView::CacheNone);

    // The page size tells code that steps through pages how tall one is; the
    // layout itself takes each section's own paper.
    QTextDocument* text = doc->textDocument();
    doc->model().setTracking(false);
    text->setPageSize(m_setup.paper * m_pxPerPt);
    doc->model().setTracking(true);
    m_layout = word::layout::PageLayout::install(doc->model());
    // The pages touch in the layout; the desk between them is painted over
    // the margins where they meet, where no text goes.
    m_layout->setPageGap(0);
    m_text = new PageTextItem(doc);
    m_text->setZValue(1);
    scene->addItem(m_text);
    connect(m_layout, &QAbstractTextDocumentLayout::documentSizeChanged, this, [this] { updateSceneRect(); });
    updateSceneRect();
    m_text->setFocus();
}

PageView::~PageView()
{
    // The text item must let go of the engine's document before the scene goes.
    delete m_text;
}

int PageView::pageCount() const
{
    return m_layout ? std::max(1, m_layout->pageCount()) : 1;
}

QRectF PageView::pageRect(int i) const
{
    if (!m_layout || i < 0 || i >= m_layout->pageCount())
        return QRectF();
    return m_layout->pageRect(i);
}

void PageView::updateSceneRect()
{
    if (!m_layout)
        return;
    const QRectF all(QPointF(0, 0), m_layout->documentSize());
    scene()->setSceneRect(all.adjusted(-DeskMargin, -DeskMargin, DeskMargin, DeskMargin));
    scene()->update();
}

void PageView::drawBackground(QPainter* painter, const QRectF& rect)
{
    painter->fillRect(rect, DeskColour);
    if (!m_layout)
        return;
    painter->setPen(QPen(QColor(60, 60, 60), 0));
    for (int i = m_layout->pageAt(rect.topLeft()); i >= 0 && i < m_layout->pageCount(); ++i) {
        const QRectF page = m_layout->pageRect(i);
        if (page.top() > rect.bottom())
            break;
        painter->fillRect(page.translated(3, 3), QColor(90, 90, 90));
        painter->fillRect(page, Qt::white);
        painter->drawRect(page);
    }
}

void PageView::drawForeground(QPainter* painter, const QRectF& rect)
{
    if (!m_layout)
        return;
    for (int i = std::max(1, m_layout->pageAt(rect.topLeft())); i < m_layout->pageCount(); ++i) {
        const QRectF page = m_layout->pageRect(i);
        if (page.top() - PageGap > rect.bottom())
            break;
        const QRectF above = m_layout->pageRect(i - 1);
        const double half = std::min(PageGap / 2, m_layout->section(m_layout->page(i).section).margins.top() / 2);
        painter->fillRect(QRectF(std::min(page.left(), above.left()) - 1, page.top() - half,
                                 std::max(page.width(), above.width()) + 6, 2 * half), DeskColour);
        painter->setPen(QPen(QColor(60, 60, 60), 0));
        painter->drawLine(QPointF(above.left(), page.top() - half), QPointF(above.right(), page.top() - half));
        painter->drawLine(QPointF(page.left(), page.top() + half), QPointF(page.right(), page.top() + half));
    }
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
