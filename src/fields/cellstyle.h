#pragma once
// How a cell of the field grid is lettered: header bold italic black, the
// number navy bold, the name dark blue, the value black.

#include <QColor>

namespace fields {

struct CellStyle {
    QColor color;
    bool bold = false;
    bool italic = false;
    bool underline = false;

    // The grid font's own style comes in as base; only what differs is set.
    static CellStyle forCell(int row, int column, const CellStyle& base);
};

} // namespace fields
