#include "widgets/tspeedbar.h"

#include <QPainter>
#include <QStyleOptionToolBar>

namespace widgets {

TSpeedBar::TSpeedBar(const QString& title, QWidget* parent) : QToolBar(title, parent)
{
    setAttribute(Qt::WA_StyledBackground, false);
}

void TSpeedBar::setWallpaper(const QPixmap& tile)
{
    m_wallpaper = tile;
    update();
}

void TSpeedBar::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QRect r = rect();
    if (m_wallpaper.isNull())
        p.fillRect(r, palette().color(QPalette::Window));
    else
        p.drawTiledPixmap(r, m_wallpaper);
    // Lowered outer bevel, raised inner bevel.
    const QColor light = palette().color(QPalette::Light), dark = palette().color(QPalette::Dark);
    p.setPen(dark);
    p.drawLine(r.topLeft(), r.topRight());
    p.drawLine(r.topLeft(), r.bottomLeft());
    p.setPen(light);
    p.drawLine(r.bottomLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomRight());
    const QRect in = r.adjusted(1, 1, -1, -1);
    p.setPen(light);
    p.drawLine(in.topLeft(), in.topRight());
    p.drawLine(in.topLeft(), in.bottomLeft());
    p.setPen(dark);
    p.drawLine(in.bottomLeft(), in.bottomRight());
    p.drawLine(in.topRight(), in.bottomRight());
    if (!isMovable())
        return;
    QStyleOptionToolBar opt;
    initStyleOption(&opt);
    opt.rect = style()->subElementRect(QStyle::SE_ToolBarHandle, &opt, this);
    if (opt.rect.isValid())
        style()->drawPrimitive(QStyle::PE_IndicatorToolBarHandle, &opt, &p, this);
}

} // namespace widgets
