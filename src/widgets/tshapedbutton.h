#pragma once
// A button that is its picture: it takes the shape of the bitmap's opaque pixels,
// answers clicks only there, and can be turned by quarter turns.

#include <QAbstractButton>
#include <QBitmap>
#include <QPixmap>

namespace widgets {

class TShapedButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit TShapedButton(QWidget* parent = nullptr);

    void setPicture(const QPixmap& pixmap);
    QPixmap picture() const { return m_picture; }
    // Quarter turns clockwise: 0, 90, 180 or 270 degrees.
    void setAngle(int degrees);
    int angle() const { return m_angle; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    bool hitButton(const QPoint& pos) const override;

private:
    QPixmap shownPicture() const;
    QRect pictureRect() const;
    void updateShape();

    QPixmap m_picture;
    QPixmap m_shown;
    int m_angle = 0;
};

} // namespace widgets
