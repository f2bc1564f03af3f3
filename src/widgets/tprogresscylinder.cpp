#include "widgets/tprogresscylinder.h"

#include <QLinearGradient>
#include <QPainter>
#include <algorithm>

namespace widgets {

TProgressCylinder::TProgressCylinder(QWidget* parent) : QWidget(parent)
{
    m_foreColor = palette().color(QPalette::Button);
    m_foreLineColor = palette().color(QPalette::Highlight);
    m_shadowColor = palette().color(QPalette::Button);
    QFont f(QStringLiteral("Arial"));
    f.setBold(true);
    setFont(f);
}

void TProgressCylinder::setRange(int minimum, int maximum)
{
    m_min = minimum;
    m_max = std::max(minimum, maximum);
    m_pos = std::clamp(m_pos, m_min, m_max);
    update();
}

void TProgressCylinder::setPosition(int pos)
{
    pos = std::clamp(pos, m_min, m_max);
    if (pos == m_pos)
        return;
    m_pos = pos;
    update();
}

void TProgressCylinder::stepIt()
{
    const int next = m_pos + m_step;
    if (next > m_max && !m_stopAtMax) {
        setPosition(m_min);
        return;
    }
    setPosition(next);
}

void TProgressCylinder::setShowText(bool on)
{
    m_showText = on;
    update();
}

int TProgressCylinder::percent() const
{
    if (m_max == m_min)
        return 100;
    return int(qint64(m_pos - m_min) * 100 / (m_max - m_min));
}

QString TProgressCylinder::text() const
{
    if (m_pos >= m_max)
        return QStringLiteral("Kész");
    return QString::number(percent()) + QLatin1Char('%');
}

void TProgressCylinder::setForeColor(const QColor& c) { m_foreColor = c; update(); }
void TProgressCylinder::setForeLineColor(const QColor& c) { m_foreLineColor = c; update(); }
void TProgressCylinder::setBackColor(const QColor& c) { m_backColor = c; update(); }
void TProgressCylinder::setBorderColor(const QColor& c) { m_borderColor = c; update(); }
void TProgressCylinder::setShadowColor(const QColor& c) { m_shadowColor = c; update(); }

void TProgressCylinder::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QRect r = rect();
    // Silver bevel: outer raised, inner lowered, one pixel each.
    const QColor light(Qt::white), silver(192, 192, 192), dark(128, 128, 128);
    p.setPen(light);
    p.drawLine(r.topLeft(), r.topRight());
    p.drawLine(r.topLeft(), r.bottomLeft());
    p.setPen(dark);
    p.drawLine(r.bottomLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomRight());
    const QRect mid = r.adjusted(1, 1, -1, -1);
    p.setPen(dark);
    p.drawLine(mid.topLeft(), mid.topRight());
    p.drawLine(mid.topLeft(), mid.bottomLeft());
    p.setPen(silver);
    p.drawLine(mid.bottomLeft(), mid.bottomRight());
    p.drawLine(mid.topRight(), mid.bottomRight());
    const QRect box = r.adjusted(2, 2, -2, -2);
    p.fillRect(box, m_backColor);
    p.setPen(m_borderColor);
    p.drawRect(box.adjusted(0, 0, -1, -1));
    const QRect inner = box.adjusted(1, 1, -1, -1);
    paintBar(p, inner);
    if (m_showText)
        paintText(p, inner);
}

void TProgressCylinder::paintBar(QPainter& p, const QRect& inner) const
{
    const int span = m_max - m_min;
    const int filled = span > 0 ? int(qint64(inner.width()) * (m_pos - m_min) / span) : inner.width();
    if (filled <= 0)
        return;
    const QRect bar(inner.left(), inner.top(), filled, inner.height());
    // Lit from above: a highlight a third of the way down, darker towards both rims.
    QLinearGradient g(bar.topLeft(), bar.bottomLeft());
    g.setColorAt(0.0, m_foreColor.darker(125));
    g.setColorAt(0.33, m_foreColor.lighter(135));
    g.setColorAt(1.0, m_foreColor.darker(150));
    p.fillRect(bar, g);
    p.setPen(m_foreLineColor);
    p.drawLine(bar.topRight(), bar.bottomRight());
}

void TProgressCylinder::paintText(QPainter& p, const QRect& inner) const
{
    QFont f = font();
    f.setPixelSize(std::max(8, inner.height() * 3 / 5));
    p.setFont(f);
    p.setPen(m_shadowColor);
    p.drawText(inner.translated(1, 1), Qt::AlignCenter, text());
    p.setPen(Qt::black);
    p.drawText(inner, Qt::AlignCenter, text());
}

} // namespace widgets
