#include "widgets/anchors.h"

#include <QEvent>
#include <QWidget>

namespace widgets {

Anchors::Anchors(QWidget* parent) : QObject(parent), m_parent(parent)
{
    parent->installEventFilter(this);
}

void Anchors::add(QWidget* child, Qt::Edges edges)
{
    m_entries.push_back({child, edges, child->geometry(), m_parent->size(), child->geometry(), m_parent->size()});
}

void Anchors::setDesignGeometry(QWidget* child, const QRect& design)
{
    for (Entry& e : m_entries) {
        if (e.child == child) {
            e.design = design;
            e.placed = place(e, m_parent->size());
            e.placedFor = m_parent->size();
            child->setGeometry(e.placed);
        }
    }
}

QRect Anchors::designGeometry(QWidget* child) const
{
    for (const Entry& e : m_entries) {
        if (e.child == child)
            return e.design;
    }
    return child->geometry();
}

QRect Anchors::place(const Entry& e, const QSize& parentSize)
{
    const int dw = parentSize.width() - e.parentDesign.width();
    const int dh = parentSize.height() - e.parentDesign.height();
    QRect r = e.design;
    const bool left = e.edges & Qt::LeftEdge, right = e.edges & Qt::RightEdge;
    const bool top = e.edges & Qt::TopEdge, bottom = e.edges & Qt::BottomEdge;
    if (left && right)
        r.setWidth(std::max(0, r.width() + dw));
    else if (right)
        r.translate(dw, 0);
    if (top && bottom)
        r.setHeight(std::max(0, r.height() + dh));
    else if (bottom)
        r.translate(0, dh);
    return r;
}

void Anchors::apply()
{
    const QSize size = m_parent->size();
    for (Entry& e : m_entries) {
        if (!e.child)
            continue;
        if (e.child->geometry() != e.placed) {
            // Moved or sized since it was placed: that is where it belongs now.
            e.design = e.child->geometry();
            e.parentDesign = e.placedFor;
        }
        e.placed = place(e, size);
        e.placedFor = size;
        e.child->setGeometry(e.placed);
    }
}

bool Anchors::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_parent && event->type() == QEvent::Resize)
        apply();
    return false;
}

} // namespace widgets
