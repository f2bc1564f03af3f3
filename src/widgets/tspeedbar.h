#pragma once
// The tool bar of the main window: a tool bar with a tiled wallpaper and a
// raised inner, lowered outer bevel, whose transparent buttons show the wallpaper.

#include <QPixmap>
#include <QToolBar>

namespace widgets {

class TSpeedBar : public QToolBar {
    Q_OBJECT
public:
    explicit TSpeedBar(const QString& title, QWidget* parent = nullptr);
    void setWallpaper(const QPixmap& tile);
    QPixmap wallpaper() const { return m_wallpaper; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QPixmap m_wallpaper;
};

} // namespace widgets
