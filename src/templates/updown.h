#pragma once
// An up-down control attached to a read-only edit: two small arrow buttons
// beside the edit (and the arrow keys inside it) step a position within a
// range, and the edit always shows the position. Before the position moves,
// changing() tells the new value and the direction; a step that would leave
// the range is reported with no direction and changes nothing.

#include "templates/partylist.h"

#include <QWidget>

class QLineEdit;
class QToolButton;

namespace templates {

class UpDown : public QWidget {
    Q_OBJECT
public:
    UpDown(QLineEdit* buddy, QWidget* parent);

    void setRange(int minimum, int maximum);
    void setPosition(int position);
    int position() const { return m_position; }
    int minimum() const { return m_minimum; }
    int maximum() const { return m_maximum; }

    void stepUp() { step(+1); }
    void stepDown() { step(-1); }

    QToolButton* upButton() const { return m_up; }
    QToolButton* downButton() const { return m_down; }

signals:
    void changing(int newValue, templates::CounterDirection direction);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void step(int delta);
    void placeBesideBuddy();
    void showPosition();

    QLineEdit* m_buddy;
    QToolButton* m_up;
    QToolButton* m_down;
    int m_minimum = 0;
    int m_maximum = 100;
    int m_position = 0;
};

} // namespace templates
