#pragma once
// Moving between the rows of the field grid and what the keys of the field
// side mean. Row 0 is the header; rows 1 .. rowCount-1 are the fields. The
// moves stop at both ends instead of wrapping around.

#include <Qt>

namespace fields {

class FieldNavigation {
public:
    // The row Back / Next lead to; the current row when there is nowhere to go
    // (first or last field, or a grid without field rows).
    static int backRow(int currentRow, int rowCount);
    static int nextRow(int currentRow, int rowCount);

    // The key the grid handles in place of the pressed one: with the in-place
    // editor closed Left and Home go one field up and Right and End one field
    // down; with it open every key stays as it is, so the caret moves.
    static int gridKey(int key, bool editorOpen);

    enum class EntryAction { None, Currency, Back, Next };
    // What a key pressed in the entry box does besides being passed on.
    static EntryAction entryAction(int key, Qt::KeyboardModifiers modifiers);

    // Width for the value column so that the three columns and 24 pixels of
    // scroll bar and frame fill the grid; never less than a sliver, so the
    // column cannot vanish under a narrow grid.
    static int valueColumnWidth(int gridWidth, int width0, int width1);
    static constexpr int kMinValueColumnWidth = 16;
};

} // namespace fields
