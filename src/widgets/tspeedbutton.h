#pragma once
// A flat push button that repeats its click while it is held down.

#include <QToolButton>

namespace widgets {

class TSpeedButton : public QToolButton {
    Q_OBJECT
public:
    explicit TSpeedButton(QWidget* parent = nullptr);
    // Milliseconds between repeated clicks while held down; 0 switches repeating off.
    void setRepeatInterval(int ms);
};

} // namespace widgets
