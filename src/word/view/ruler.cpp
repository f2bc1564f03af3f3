#include "word/view/ruler.h"

#include "word/view/pageview.h"

#include <QPainter>
#include <QScrollBar>

namespace word::view {

Ruler::Ruler(PageView* view, QWidget* parent)
    : QWidget(parent)
    , m_view(view)
{
    setObjectName(QStringLiteral("Ruler"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    connect(view->horizontalScrollBar(), &QScrollBar::valueChanged, this, [this] { update(); });
    connect(view, &PageView::zoomChanged, this, [this] { update(); });
}

QSize Ruler::sizeHint() const
{
    return QSize(200, 22);
}

void Ruler::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    const PageSetup& setup = m_view->pageSetup();
    const double scale = m_view->zoomPercent() / 100.0 * m_view->pixelsPerPoint();
    const QPoint origin = m_view->mapFromScene(QPointF(0, 0));
    const double left = origin.x() + m_view->viewport()->x();
    const double width = setup.paper.width() * scale;
    const QRectF paper(left, 3, width, height() - 6);
    p.fillRect(paper, QColor(200, 200, 200));
    p.fillRect(paper.adjusted(setup.margins.left() * scale, 0, -setup.margins.right() * scale, 0), Qt::white);
    p.setPen(palette().windowText().color());
    const double pointsPerCm = 72.0 / 2.54;
    QFont small = font();
    small.setPointSizeF(7);
    p.setFont(small);
    for (int mm = 0; mm * pointsPerCm / 10 <= setup.paper.width(); mm += 5) {
        const double x = paper.left() + mm * pointsPerCm / 10 * scale;
        const bool whole = mm % 10 == 0;
        p.drawLine(QPointF(x, paper.bottom()), QPointF(x, paper.bottom() - (whole ? 6 : 3)));
        if (whole && mm > 0 && scale > 0.5)
            p.drawText(QPointF(x - 4, paper.top() + 9), QString::number(mm / 10));
    }
}

} // namespace word::view
