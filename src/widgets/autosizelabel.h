#pragma once
// A caption sized to its text, as the window's labels under the field grid
// are: every new text takes the width it needs. A plain QLabel keeps the size
// it was placed with, so a longer field name was cut to the width of the
// first one.

#include <QLabel>

namespace widgets {

class AutoSizeLabel : public QLabel {
public:
    using QLabel::QLabel;
    // Hides QLabel's: called through this class, a new text resizes the label.
    void setText(const QString& text)
    {
        QLabel::setText(text);
        adjustSize();
    }
    void clear()
    {
        QLabel::clear();
        adjustSize();
    }
};

} // namespace widgets
