#include "templates/updown.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace templates {

static QToolButton* arrowButton(Qt::ArrowType arrow, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setArrowType(arrow);
    button->setAutoRepeat(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    return button;
}

UpDown::UpDown(QLineEdit* buddy, QWidget* parent)
    : QWidget(parent)
    , m_buddy(buddy)
    , m_up(arrowButton(Qt::UpArrow, this))
    , m_down(arrowButton(Qt::DownArrow, this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_up);
    layout->addWidget(m_down);
    connect(m_up, &QToolButton::clicked, this, [this] { step(+1); });
    connect(m_down, &QToolButton::clicked, this, [this] { step(-1); });
    m_buddy->installEventFilter(this);
    placeBesideBuddy();
    showPosition();
}

void UpDown::setRange(int minimum, int maximum)
{
    m_minimum = minimum;
    m_maximum = maximum;
    setPosition(qBound(minimum, m_position, maximum));
}

void UpDown::setPosition(int position)
{
    m_position = qBound(m_minimum, position, m_maximum);
    showPosition();
}

void UpDown::step(int delta)
{
    if (!isEnabled())
        return;
    const int next = m_position + delta;
    if (next < m_minimum || next > m_maximum) {
        emit changing(next, CounterDirection::None);
        return;
    }
    emit changing(next, delta > 0 ? CounterDirection::Up : CounterDirection::Down);
    m_position = next;
    showPosition();
}

void UpDown::placeBesideBuddy()
{
    const QRect edit = m_buddy->geometry();
    setGeometry(edit.right() + 1, edit.top(), 16, edit.height());
}

void UpDown::showPosition()
{
    m_buddy->setText(QString::number(m_position));
}

bool UpDown::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_buddy && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            step(key == Qt::Key_Up ? +1 : -1);
            return true;
        }
    }
    if (watched == m_buddy && (event->type() == QEvent::Move || event->type() == QEvent::Resize))
        placeBesideBuddy();
    return QWidget::eventFilter(watched, event);
}

// The edit follows the control: a disabled up-down leaves a disabled edit.
void UpDown::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::EnabledChange)
        m_buddy->setEnabled(isEnabled());
    QWidget::changeEvent(event);
}

} // namespace templates
