#pragma once
// An analogue clock face that follows the system time, second by second.

#include <QTime>
#include <QTimer>
#include <QWidget>

namespace widgets {

struct HandAngles {
    double hour = 0;     // degrees clockwise from twelve
    double minute = 0;
    double second = 0;
};

class TAnalogClock : public QWidget {
    Q_OBJECT
public:
    explicit TAnalogClock(QWidget* parent = nullptr);

    static HandAngles handAngles(const QTime& t);
    // The time shown; invalid means "now".
    void setFixedTime(const QTime& t);
    QTime shownTime() const;

protected:
    void paintEvent(QPaintEvent*) override;
    void showEvent(QShowEvent*) override;
    void hideEvent(QHideEvent*) override;

private:
    void paintFace(QPainter& p) const;
    void paintHands(QPainter& p, const HandAngles& a) const;

    QTimer m_tick;
    QTime m_fixed;
};

} // namespace widgets
