// The tool bar SpeedBar1: its buttons from top to bottom, the zoom box with its
// spin button, and the gaps that group them.
#include "app/tform1.h"
#include "commands/viewcommands.h"
#include "widgets/artwork.h"
#include "widgets/tspeedbar.h"
#include "widgets/tspinbutton.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QStyle>
#include <QToolButton>

namespace app {

namespace {

// An empty stretch of the bar that keeps its length along the bar's direction,
// sized so that the next item starts at its designed distance from the last one.
void gap(QToolBar* bar, int top, int height, int nextTop)
{
    const int spacing = bar->style()->pixelMetric(QStyle::PM_ToolBarItemSpacing, nullptr, bar);
    const int length = nextTop - top - height - 2 * spacing;
    if (length <= 0)
        return;
    auto* w = new QWidget(bar);
    const auto fit = [w, length](Qt::Orientation o) {
        w->setFixedSize(o == Qt::Vertical ? QSize(1, length) : QSize(length, 1));
    };
    fit(bar->orientation());
    QObject::connect(bar, &QToolBar::orientationChanged, w, fit);
    bar->addWidget(w);
}

QToolButton* speedItem(QToolBar* bar, const char* name, const QString& icon, const QString& caption,
                       const QString& hint, bool enabled)
{
    auto* b = new QToolButton(bar);
    b->setObjectName(QLatin1String(name));
    b->setIcon(widgets::Artwork::toolIcon(icon));
    b->setText(caption);
    // A hint is "short|long": the short part is the tool tip, the long one the status tip.
    b->setToolTip(hint.section(QLatin1Char('|'), 0, 0));
    b->setStatusTip(hint.section(QLatin1Char('|'), 1));
    b->setAutoRaise(true);
    b->setFocusPolicy(Qt::NoFocus);
    b->setFixedSize(24, 24);
    b->setIconSize(QSize(18, 18));
    b->setEnabled(enabled);
    bar->addWidget(b);
    return b;
}

void triggers(QToolButton* button, QAction* action)
{
    QObject::connect(button, &QToolButton::clicked, action, [action] { action->trigger(); });
}

} // namespace

void TForm1::createToolBar()
{
    SpeedBar1 = new widgets::TSpeedBar(QStringLiteral("SpeedBar1"), this);
    SpeedBar1->setObjectName(QStringLiteral("SpeedBar1"));
    SpeedBar1->setOrientation(Qt::Vertical);
    SpeedBar1->setFloatable(false);
    SpeedBar1->setMovable(true);
    SpeedBar1->setToolButtonStyle(Qt::ToolButtonIconOnly);
    SpeedBar1->setContextMenuPolicy(Qt::PreventContextMenu);
    addToolBar(Qt::RightToolBarArea, SpeedBar1);

    SpeedItem6 = speedItem(SpeedBar1, "SpeedItem6", QStringLiteral("document-open"), QStringLiteral("Megnyitás"), QStringLiteral("Megnyitás|"), true);
    gap(SpeedBar1, 20, 24, 52);
    SpeedItem7 = speedItem(SpeedBar1, "SpeedItem7", QStringLiteral("document-save"), QStringLiteral("Kész dokumentum mentése"), QStringLiteral("Kész dokumentum mentése|"), false);
    gap(SpeedBar1, 52, 24, 84);
    SpeedItem1 = speedItem(SpeedBar1, "SpeedItem1", QStringLiteral("document-print"), QStringLiteral("Nyomtatás"), QStringLiteral("Nyomtatás"), false);
    // The zoom box and its spin button sit in a holder of their own, inside
    // which SpeedBar1PosChanged places them for the edge the bar is docked at.
    gap(SpeedBar1, 84, 24, commands::kZoomBoxStart);
    ZoomBox = new QWidget(SpeedBar1);
    ZoomBox->setObjectName(QStringLiteral("ZoomBox"));
    ZoomBox->setFixedSize(commands::kZoomBoxThickness, commands::kZoomBoxLength);
    Edit1 = new QLineEdit(QStringLiteral("70"), ZoomBox);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setReadOnly(true);
    Edit1->setAlignment(Qt::AlignCenter);
    Edit1->setFixedSize(28, 21);
    Edit1->setToolTip(QStringLiteral("Nagyítás (%)"));
    Edit1->setEnabled(false);
    spb1 = new widgets::TSpinButton(ZoomBox);
    spb1->setObjectName(QStringLiteral("spb1"));
    spb1->setFixedSize(20, 26);
    spb1->setToolTip(QStringLiteral("Nagyítás (%)"));
    spb1->setEnabled(false);
    SpeedBar1->addWidget(ZoomBox);
    gap(SpeedBar1, commands::kZoomBoxStart, commands::kZoomBoxLength, 204);
    SpeedItem4 = speedItem(SpeedBar1, "SpeedItem4", QStringLiteral("show-all"), QStringLiteral("Mindent mutat"), QStringLiteral("Mindent mutat"), false);
    SpeedItem4->setCheckable(true);
    gap(SpeedBar1, 204, 24, 260);
    SpeedItem10 = speedItem(SpeedBar1, "SpeedItem10", QStringLiteral("edit-undo"), QStringLiteral("Visszavonás (Ctrl+Z)"), QStringLiteral("Visszavonás (Ctrl+Z)|"), false);
    gap(SpeedBar1, 260, 24, 300);
    SpeedItem11 = speedItem(SpeedBar1, "SpeedItem11", QStringLiteral("edit-cut"), QStringLiteral("Kivágás (Ctrl+X)"), QStringLiteral("Kivágás (Ctrl+X)|"), false);
    gap(SpeedBar1, 300, 24, 332);
    SpeedItem12 = speedItem(SpeedBar1, "SpeedItem12", QStringLiteral("edit-copy"), QStringLiteral("Másolás (Ctrl+C) "), QStringLiteral("Másolás (Ctrl+C)| "), false);
    gap(SpeedBar1, 332, 24, 364);
    SpeedItem13 = speedItem(SpeedBar1, "SpeedItem13", QStringLiteral("edit-paste"), QStringLiteral("Beillesztés (Ctrl+V)"), QStringLiteral("Beillesztés (Ctrl+V)|"), false);
    gap(SpeedBar1, 364, 24, 404);
    SpeedItem8 = speedItem(SpeedBar1, "SpeedItem8", QStringLiteral("format-text-bold"), QStringLiteral("Félkövér (Ctrl+F)"), QStringLiteral("Félkövér (Ctrl+F)|"), false);
    gap(SpeedBar1, 404, 24, 436);
    SpeedItem9 = speedItem(SpeedBar1, "SpeedItem9", QStringLiteral("format-text-italic"), QStringLiteral("Dőlt (Ctrl+D)"), QStringLiteral("Dőlt (Ctrl+D)|"), false);
    gap(SpeedBar1, 436, 24, 500);
    SpeedItem3 = speedItem(SpeedBar1, "SpeedItem3", QStringLiteral("edit-find"), QStringLiteral("Keresés"), QStringLiteral("Keresés|"), false);
    SpeedItem3->setMenu(RxPopupMenu1);
    SpeedItem3->setPopupMode(QToolButton::InstantPopup);
    SpeedItem3->setStyleSheet(QStringLiteral("QToolButton::menu-indicator { image: none; }"));
    gap(SpeedBar1, 500, 24, 532);
    SpeedItem2 = speedItem(SpeedBar1, "SpeedItem2", QStringLiteral("tools-check-spelling"), QStringLiteral("Nyelvtan"), QStringLiteral("Helyesírás"), false);
    gap(SpeedBar1, 532, 24, 588);
    SpeedItem5 = speedItem(SpeedBar1, "SpeedItem5", QStringLiteral("view-switch"), QStringLiteral("Nézet váltás"), QStringLiteral("Nézet váltás|"), true);

    // The print button mirrors its action's state; the others start on their own
    // and are enabled by document loading.
    connect(Print, &QAction::changed, SpeedItem1, [this] { SpeedItem1->setEnabled(Print->isEnabled()); });
    triggers(SpeedItem6, Open);
    triggers(SpeedItem7, Save);
    triggers(SpeedItem1, Print);
    triggers(SpeedItem4, Showall);
    triggers(SpeedItem11, EditCut1);
    triggers(SpeedItem12, EditCopy1);
    triggers(SpeedItem13, EditPaste1);
    triggers(SpeedItem2, Grammar);
}

} // namespace app
