#pragma once
// The look that the main window sets up at creation: the system cursors for the
// program's cursor roles, the menu font scaled to the screen, the design colours.

#include <QColor>
#include <QCursor>
#include <QLocale>

namespace app {

enum class CursorRole { HandPoint, Drag, MultiDrag, VerticalSplit, HorizontalSplit, NoDrop, DatabaseWait };

// The system's own cursor for a role.
Qt::CursorShape systemCursor(CursorRole role);

// designPoints * dpi / 96, rounded to the nearest integer, halves to the even one.
int scaledMenuPointSize(int designPoints, double dpi);

// The language of the windows, the calendar and the date helper, whatever the
// system's locale is. Numbers keep the process-wide format set at creation.
inline QLocale hungarianLocale() { return QLocale(QLocale::Hungarian, QLocale::Hungary); }

inline QColor windowColor() { return QColor(202, 200, 206); }
inline QColor progressForeColor() { return QColor(176, 176, 176); }

} // namespace app
