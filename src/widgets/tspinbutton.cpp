#include "widgets/tspinbutton.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOption>

namespace widgets {

namespace {
constexpr int kInitialPause = 400;
constexpr int kRepeatInterval = 100;
}

TSpinButton::TSpinButton(QWidget* parent) : QWidget(parent)
{
    connect(&m_repeat, &QTimer::timeout, this, [this] {
        m_repeat.setInterval(kRepeatInterval);
        fire();
    });
}

void TSpinButton::fire()
{
    if (m_pressed == Half::Top)
        emit topClick();
    else if (m_pressed == Half::Bottom)
        emit bottomClick();
}

void TSpinButton::mousePressEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton || !isEnabled())
        return;
    m_pressed = e->position().y() < height() / 2.0 ? Half::Top : Half::Bottom;
    update();
    fire();
    m_repeat.start(kInitialPause);
}

void TSpinButton::mouseReleaseEvent(QMouseEvent*)
{
    m_repeat.stop();
    m_pressed = Half::None;
    update();
}

void TSpinButton::changeEvent(QEvent* e)
{
    if (e->type() == QEvent::EnabledChange && !isEnabled()) {
        m_repeat.stop();
        m_pressed = Half::None;
    }
    QWidget::changeEvent(e);
}

void TSpinButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const int half = height() / 2;
    paintHalf(p, QRect(0, 0, width(), half), true, m_pressed == Half::Top);
    paintHalf(p, QRect(0, half, width(), height() - half), false, m_pressed == Half::Bottom);
}

void TSpinButton::paintHalf(QPainter& p, const QRect& r, bool up, bool down) const
{
    QStyleOptionButton opt;
    opt.initFrom(this);
    opt.rect = r;
    opt.state |= down ? QStyle::State_Sunken : QStyle::State_Raised;
    style()->drawPrimitive(QStyle::PE_PanelButtonBevel, &opt, &p, this);
    QStyleOption arrow;
    arrow.initFrom(this);
    arrow.rect = r.adjusted(3, 1, -3, -1).translated(down ? 1 : 0, down ? 1 : 0);
    style()->drawPrimitive(up ? QStyle::PE_IndicatorArrowUp : QStyle::PE_IndicatorArrowDown, &arrow, &p, this);
}

} // namespace widgets
