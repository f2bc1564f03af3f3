#include "app/actionlink.h"

#include <QAction>

namespace app {

QAction* linkedItem(QObject* parent, const char* name, QAction* source, const QString& caption)
{
    auto* item = new QAction(parent);
    item->setObjectName(QLatin1String(name));
    // The action's own shortcut works in the whole window; the item only shows it
    // and answers it while its menu has the focus, so the two never compete.
    item->setShortcutContext(Qt::WidgetShortcut);
    const auto sync = [item, source, caption] {
        item->setText(caption.isEmpty() ? source->text() : caption);
        item->setEnabled(source->isEnabled());
        item->setCheckable(source->isCheckable());
        item->setChecked(source->isChecked());
        item->setShortcut(source->shortcut());
        item->setIcon(source->icon());
    };
    sync();
    QObject::connect(source, &QAction::changed, item, sync);
    QObject::connect(item, &QAction::triggered, source, [source] { source->trigger(); });
    return item;
}

} // namespace app
