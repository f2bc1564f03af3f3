#include "app/appearance.h"

#include <cmath>

namespace app {

Qt::CursorShape systemCursor(CursorRole role)
{
    switch (role) {
    case CursorRole::HandPoint:
        return Qt::PointingHandCursor;
    case CursorRole::Drag:
    case CursorRole::MultiDrag:
        return Qt::BusyCursor;            // the arrow with the hourglass of a starting program
    case CursorRole::VerticalSplit:
        return Qt::SizeVerCursor;
    case CursorRole::HorizontalSplit:
        return Qt::SizeHorCursor;
    case CursorRole::NoDrop:
        return Qt::ForbiddenCursor;
    case CursorRole::DatabaseWait:
        return Qt::WaitCursor;
    }
    return Qt::ArrowCursor;
}

int scaledMenuPointSize(int designPoints, double dpi)
{
    // std::nearbyint follows the current rounding mode, which is to-nearest-even.
    return int(std::nearbyint(designPoints * dpi / 96.0));
}

} // namespace app
