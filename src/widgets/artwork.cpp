#include "widgets/artwork.h"

#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <functional>

namespace widgets {

namespace {

using Drawer = std::function<void(QPainter&)>;   // draws on a 48 x 48 canvas

const QColor kInk(52, 58, 78);
const QColor kPaper(252, 252, 248);

void page(QPainter& p, const QRectF& r)
{
    p.setPen(QPen(kInk, 2));
    p.setBrush(kPaper);
    p.drawRect(r);
    p.setPen(QPen(QColor(150, 156, 176), 2));
    for (double y = r.top() + 8; y < r.bottom() - 4; y += 6)
        p.drawLine(QPointF(r.left() + 5, y), QPointF(r.right() - 5, y));
}

void letter(QPainter& p, const QString& text, bool bold, bool italic, const QColor& c)
{
    QFont f(QStringLiteral("Liberation Serif"));
    f.setPixelSize(40);
    f.setBold(bold);
    f.setItalic(italic);
    p.setFont(f);
    p.setPen(c);
    p.drawText(QRectF(0, 0, 48, 48), Qt::AlignCenter, text);
}

void drawOpen(QPainter& p)
{
    p.setPen(QPen(QColor(150, 110, 20), 2));
    p.setBrush(QColor(236, 196, 80));
    p.drawRoundedRect(QRectF(4, 10, 40, 32), 3, 3);
    p.setBrush(QColor(250, 220, 120));
    QPainterPath flap;
    flap.moveTo(4, 42);
    flap.lineTo(12, 20);
    flap.lineTo(46, 20);
    flap.lineTo(40, 42);
    flap.closeSubpath();
    p.drawPath(flap);
}

void drawSave(QPainter& p)
{
    p.setPen(QPen(QColor(24, 50, 110), 2));
    p.setBrush(QColor(60, 100, 190));
    p.drawRoundedRect(QRectF(5, 5, 38, 38), 3, 3);
    p.setBrush(kPaper);
    p.drawRect(QRectF(12, 5, 24, 15));
    p.setBrush(QColor(200, 204, 214));
    p.drawRect(QRectF(13, 28, 22, 15));
}

void drawPrint(QPainter& p)
{
    page(p, QRectF(13, 4, 22, 18));
    p.setPen(QPen(kInk, 2));
    p.setBrush(QColor(170, 174, 186));
    p.drawRoundedRect(QRectF(4, 18, 40, 18), 3, 3);
    p.setBrush(kPaper);
    p.drawRect(QRectF(12, 30, 24, 14));
}

void drawUndo(QPainter& p)
{
    p.setPen(QPen(QColor(40, 90, 170), 5, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    QPainterPath arc;
    arc.moveTo(12, 20);
    arc.cubicTo(26, 8, 46, 16, 40, 34);
    p.drawPath(arc);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 90, 170));
    p.drawPolygon(QPolygonF({QPointF(3, 22), QPointF(18, 10), QPointF(19, 28)}));
}

void drawCut(QPainter& p)
{
    p.setPen(QPen(QColor(90, 96, 110), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(14, 4), QPointF(31, 32));
    p.drawLine(QPointF(34, 4), QPointF(17, 32));
    p.setPen(QPen(QColor(180, 30, 30), 3));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(14, 37), 7, 7);
    p.drawEllipse(QPointF(34, 37), 7, 7);
}

void drawCopy(QPainter& p)
{
    page(p, QRectF(4, 4, 26, 32));
    page(p, QRectF(18, 12, 26, 32));
}

void drawPaste(QPainter& p)
{
    p.setPen(QPen(QColor(110, 70, 30), 2));
    p.setBrush(QColor(190, 140, 80));
    p.drawRoundedRect(QRectF(6, 6, 30, 38), 3, 3);
    p.setBrush(QColor(200, 204, 214));
    p.drawRect(QRectF(14, 3, 14, 7));
    page(p, QRectF(20, 18, 24, 28));
}

void drawFind(QPainter& p)
{
    p.setPen(QPen(kInk, 4));
    p.setBrush(QColor(200, 225, 250));
    p.drawEllipse(QPointF(19, 19), 13, 13);
    p.setPen(QPen(kInk, 7, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(29, 29), QPointF(42, 42));
}

void drawSpelling(QPainter& p)
{
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPixelSize(19);
    f.setBold(true);
    p.setFont(f);
    p.setPen(kInk);
    p.drawText(QRectF(0, 2, 48, 22), Qt::AlignCenter, QStringLiteral("ABC"));
    p.setPen(QPen(QColor(30, 140, 50), 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(QPolygonF({QPointF(10, 34), QPointF(19, 42), QPointF(38, 26)}));
}

void drawViewSwitch(QPainter& p)
{
    p.setPen(QPen(kInk, 2));
    p.setBrush(kPaper);
    p.drawRect(QRectF(4, 8, 40, 32));
    p.setBrush(QColor(200, 210, 235));
    p.drawRect(QRectF(4, 8, 15, 32));
    p.setPen(QPen(QColor(40, 90, 170), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(24, 24), QPointF(39, 24));
    p.drawLine(QPointF(33, 18), QPointF(39, 24));
    p.drawLine(QPointF(33, 30), QPointF(39, 24));
}

const QHash<QString, Drawer>& drawers()
{
    static const QHash<QString, Drawer> map = {
        {QStringLiteral("document-open"), drawOpen},
        {QStringLiteral("document-save"), drawSave},
        {QStringLiteral("document-print"), drawPrint},
        {QStringLiteral("edit-undo"), drawUndo},
        {QStringLiteral("edit-cut"), drawCut},
        {QStringLiteral("edit-copy"), drawCopy},
        {QStringLiteral("edit-paste"), drawPaste},
        {QStringLiteral("edit-find"), drawFind},
        {QStringLiteral("tools-check-spelling"), drawSpelling},
        {QStringLiteral("view-switch"), drawViewSwitch},
        {QStringLiteral("format-text-bold"), [](QPainter& p) { letter(p, QStringLiteral("B"), true, false, kInk); }},
        {QStringLiteral("format-text-italic"), [](QPainter& p) { letter(p, QStringLiteral("I"), false, true, kInk); }},
        {QStringLiteral("show-all"), [](QPainter& p) { letter(p, QStringLiteral("¶"), true, false, QColor(40, 90, 170)); }},
    };
    return map;
}

QPixmap render(const Drawer& draw, int side)
{
    QPixmap pm(side, side);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(side / 48.0, side / 48.0);
    draw(p);
    return pm;
}

} // namespace

bool Artwork::canDraw(const QString& name)
{
    return drawers().contains(name);
}

QIcon Artwork::toolIcon(const QString& name)
{
    if (QIcon::hasThemeIcon(name))
        return QIcon::fromTheme(name);
    const auto it = drawers().constFind(name);
    if (it == drawers().constEnd())
        return QIcon();
    QIcon icon;
    for (int side : {16, 24, 32, 48})
        icon.addPixmap(render(*it, side));
    return icon;
}

QIcon Artwork::programIcon()
{
    const Drawer draw = [](QPainter& p) {
        page(p, QRectF(7, 3, 30, 40));
        QPainterPath quill;
        quill.moveTo(44, 4);
        quill.cubicTo(30, 8, 22, 22, 20, 40);
        quill.cubicTo(28, 30, 40, 22, 44, 4);
        p.setPen(QPen(QColor(20, 60, 130), 1.5));
        p.setBrush(QColor(70, 120, 200));
        p.drawPath(quill);
    };
    QIcon icon;
    for (int side : {16, 32, 48, 64, 128})
        icon.addPixmap(render(draw, side));
    return icon;
}

QPixmap Artwork::coin(const QSize& size)
{
    QPixmap pm(size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(pm.rect()).adjusted(1, 1, -2, -2);
    QRadialGradient g(r.center() - QPointF(r.width() / 5, r.height() / 4), r.width() * 0.7);
    g.setColorAt(0, QColor(255, 236, 150));
    g.setColorAt(0.6, QColor(222, 176, 52));
    g.setColorAt(1, QColor(160, 112, 20));
    p.setPen(QPen(QColor(120, 84, 10), 2));
    p.setBrush(g);
    p.drawEllipse(r);
    p.setPen(QPen(QColor(150, 106, 18), 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(r.adjusted(5, 5, -5, -5));
    QFont f(QStringLiteral("Liberation Serif"));
    f.setBold(true);
    f.setPixelSize(int(r.height() * 0.45));
    p.setFont(f);
    p.setPen(QColor(255, 246, 200));
    p.drawText(r.translated(1, 1), Qt::AlignCenter, QStringLiteral("Ft"));
    p.setPen(QColor(110, 74, 6));
    p.drawText(r, Qt::AlignCenter, QStringLiteral("Ft"));
    return pm;
}

} // namespace widgets
