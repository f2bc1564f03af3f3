#include "fields/cellstyle.h"

namespace fields {

CellStyle CellStyle::forCell(int row, int column, const CellStyle& base)
{
    CellStyle s = base;
    s.underline = false;
    if (row == 0) {
        s.color = QColor(0, 0, 0);
        s.bold = true;
        s.italic = true;
        return s;
    }
    if (column == 0) {
        s.color = QColor(0, 0, 128);
        s.bold = true;
        return s;
    }
    s.color = column == 1 ? QColor(0, 0, 176) : QColor(0, 0, 0);
    return s;
}

} // namespace fields
