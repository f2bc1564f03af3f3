#include "widgets/tanalogclock.h"

#include <QPainter>
#include <QRadialGradient>
#include <algorithm>

namespace widgets {

TAnalogClock::TAnalogClock(QWidget* parent) : QWidget(parent)
{
    m_tick.setInterval(1000);
    connect(&m_tick, &QTimer::timeout, this, qOverload<>(&QWidget::update));
}

HandAngles TAnalogClock::handAngles(const QTime& t)
{
    HandAngles a;
    a.second = t.second() * 6.0;
    a.minute = t.minute() * 6.0 + t.second() * 0.1;
    a.hour = (t.hour() % 12) * 30.0 + t.minute() * 0.5;
    return a;
}

void TAnalogClock::setFixedTime(const QTime& t)
{
    m_fixed = t;
    update();
}

QTime TAnalogClock::shownTime() const
{
    return m_fixed.isValid() ? m_fixed : QTime::currentTime();
}

void TAnalogClock::showEvent(QShowEvent*)
{
    m_tick.start();
}

void TAnalogClock::hideEvent(QHideEvent*)
{
    m_tick.stop();
}

void TAnalogClock::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const int side = std::min(width(), height());
    p.translate(width() / 2.0, height() / 2.0);
    p.scale(side / 200.0, side / 200.0);
    paintFace(p);
    paintHands(p, handAngles(shownTime()));
}

void TAnalogClock::paintFace(QPainter& p) const
{
    QRadialGradient g(QPointF(-30, -30), 130);
    g.setColorAt(0, QColor(250, 250, 252));
    g.setColorAt(1, QColor(205, 203, 212));
    p.setPen(QPen(QColor(90, 88, 100), 3));
    p.setBrush(g);
    p.drawEllipse(QPointF(0, 0), 95, 95);
    for (int i = 0; i < 60; ++i) {
        const bool hourMark = i % 5 == 0;
        p.setPen(QPen(QColor(60, 60, 70), hourMark ? 4 : 1.2));
        p.drawLine(QPointF(0, hourMark ? -78 : -84), QPointF(0, -88));
        p.rotate(6);
    }
}

void TAnalogClock::paintHands(QPainter& p, const HandAngles& a) const
{
    const auto hand = [&p](double angle, double length, double width, const QColor& c) {
        p.save();
        p.rotate(angle);
        p.setPen(QPen(c, width, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(0, 12), QPointF(0, -length));
        p.restore();
    };
    hand(a.hour, 50, 7, QColor(40, 40, 60));
    hand(a.minute, 74, 4.5, QColor(40, 40, 60));
    hand(a.second, 82, 1.5, QColor(176, 32, 32));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(176, 32, 32));
    p.drawEllipse(QPointF(0, 0), 4, 4);
}

} // namespace widgets
