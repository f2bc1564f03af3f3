#include "fields/fieldnavigation.h"

#include <algorithm>

namespace fields {

int FieldNavigation::backRow(int currentRow, int rowCount)
{
    if (rowCount < 2)
        return currentRow;
    return std::clamp(currentRow - 1, 1, rowCount - 1);
}

int FieldNavigation::nextRow(int currentRow, int rowCount)
{
    if (rowCount < 2)
        return currentRow;
    return std::clamp(currentRow + 1, 1, rowCount - 1);
}

int FieldNavigation::gridKey(int key, bool editorOpen)
{
    if (editorOpen)
        return key;
    switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Home:
        return Qt::Key_Up;
    case Qt::Key_Right:
    case Qt::Key_End:
        return Qt::Key_Down;
    default:
        return key;
    }
}

FieldNavigation::EntryAction FieldNavigation::entryAction(int key, Qt::KeyboardModifiers modifiers)
{
    if (key == Qt::Key_F)
        return modifiers.testFlag(Qt::ControlModifier) ? EntryAction::Currency : EntryAction::None;
    if (key == Qt::Key_Up)
        return EntryAction::Back;
    if (key == Qt::Key_Down)
        return EntryAction::Next;
    return EntryAction::None;
}

int FieldNavigation::valueColumnWidth(int gridWidth, int width0, int width1)
{
    return std::max(kMinValueColumnWidth, gridWidth - width1 - width0 - 24);
}

} // namespace fields
