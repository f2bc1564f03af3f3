#include "widgets/tshapedbutton.h"

#include <QPainter>
#include <QStyle>
#include <QTransform>

namespace widgets {

TShapedButton::TShapedButton(QWidget* parent) : QAbstractButton(parent)
{
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
}

void TShapedButton::setPicture(const QPixmap& pixmap)
{
    m_picture = pixmap;
    updateShape();
}

void TShapedButton::setAngle(int degrees)
{
    m_angle = ((degrees / 90) % 4 + 4) % 4 * 90;
    updateShape();
}

QSize TShapedButton::sizeHint() const
{
    return m_shown.isNull() ? QSize(32, 32) : m_shown.size() + QSize(2, 2);
}

QPixmap TShapedButton::shownPicture() const
{
    if (m_picture.isNull() || m_angle == 0)
        return m_picture;
    return m_picture.transformed(QTransform().rotate(m_angle));
}

QRect TShapedButton::pictureRect() const
{
    QRect r(QPoint(0, 0), m_shown.size());
    r.moveCenter(rect().center());
    return r;
}

void TShapedButton::updateShape()
{
    m_shown = shownPicture();
    if (m_shown.isNull() || !m_shown.hasAlphaChannel()) {
        clearMask();
        update();
        return;
    }
    // The mask is one pixel larger to the bottom right, where the pressed picture goes.
    QBitmap shape = m_shown.mask();
    QBitmap mask(size());
    mask.fill(Qt::color0);
    QPainter p(&mask);
    const QRect r = pictureRect();
    p.drawPixmap(r.topLeft(), shape);
    p.drawPixmap(r.topLeft() + QPoint(1, 1), shape);
    p.end();
    setMask(mask);
    update();
}

void TShapedButton::resizeEvent(QResizeEvent*)
{
    updateShape();
}

bool TShapedButton::hitButton(const QPoint& pos) const
{
    if (m_shown.isNull())
        return rect().contains(pos);
    const QPoint inPicture = pos - pictureRect().topLeft();
    if (!m_shown.rect().contains(inPicture))
        return false;
    return !m_shown.hasAlphaChannel() || qAlpha(m_shown.toImage().pixel(inPicture)) > 0;
}

void TShapedButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (m_shown.isNull())
        return;
    const QPoint shift = isDown() ? QPoint(1, 1) : QPoint(0, 0);
    const QIcon::Mode mode = isEnabled() ? QIcon::Normal : QIcon::Disabled;
    const QPixmap pm = mode == QIcon::Normal ? m_shown
        : style()->generatedIconPixmap(QIcon::Disabled, m_shown, nullptr);
    p.drawPixmap(pictureRect().topLeft() + shift, pm);
    if (hasFocus()) {
        p.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DotLine));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(pictureRect().adjusted(3, 3, -4, -4).translated(shift));
    }
}

} // namespace widgets
