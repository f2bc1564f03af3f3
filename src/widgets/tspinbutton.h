#pragma once
// Two stacked arrow buttons in one control: the upper half reports topClick, the
// lower half bottomClick, repeating while the mouse button is held down.

#include <QTimer>
#include <QWidget>

namespace widgets {

class TSpinButton : public QWidget {
    Q_OBJECT
public:
    explicit TSpinButton(QWidget* parent = nullptr);
    QSize sizeHint() const override { return QSize(20, 26); }

signals:
    void topClick();
    void bottomClick();

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    enum class Half { None, Top, Bottom };
    void fire();
    void paintHalf(class QPainter& p, const QRect& r, bool up, bool down) const;

    Half m_pressed = Half::None;
    QTimer m_repeat;
};

} // namespace widgets
