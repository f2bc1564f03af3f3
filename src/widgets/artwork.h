#pragma once
// The pictures of the program's own: tool bar icons (the desktop's icon theme is
// asked first; where it has no fitting icon a small drawn one is used), the
// program icon and the coin of the currency button.

#include <QIcon>
#include <QPixmap>

namespace widgets {

class Artwork {
public:
    // name: an icon theme name such as "document-open", or one of our own names
    // ("show-all", "view-switch"); unknown names give a null icon.
    static QIcon toolIcon(const QString& name);
    static QIcon programIcon();
    static QPixmap coin(const QSize& size);
    static bool canDraw(const QString& name);
};

} // namespace widgets
