#pragma once
// A menu item or button bound to an action takes the action's text (unless it has
// its own), its enabled and checked state and its shortcut, and triggers the
// action when chosen. The item stays an object of its own, so it keeps its own name.

#include <QString>

class QAction;
class QObject;

namespace app {

QAction* linkedItem(QObject* parent, const char* name, QAction* source, const QString& caption = QString());

} // namespace app
