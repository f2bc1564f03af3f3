#include "widgets/tspeedbutton.h"

namespace widgets {

TSpeedButton::TSpeedButton(QWidget* parent) : QToolButton(parent)
{
    setAutoRaise(true);
    setToolButtonStyle(Qt::ToolButtonTextOnly);
    setFocusPolicy(Qt::NoFocus);
    setAutoRepeatDelay(400);
}

void TSpeedButton::setRepeatInterval(int ms)
{
    setAutoRepeat(ms > 0);
    if (ms > 0)
        setAutoRepeatInterval(ms);
}

} // namespace widgets
