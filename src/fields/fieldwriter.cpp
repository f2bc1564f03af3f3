#include "fields/fieldwriter.h"

#include "fields/writeprogress.h"
#include "word/document.h"

namespace fields {

QString occurrenceText(const QString& value)
{
    return value.isEmpty() ? QStringLiteral(" ") : value;
}

QString occurrenceName(const QString& field, int k)
{
    return field + u'_' + QString::number(k);
}

void WriteFieldValue(word::Document& doc, const QString& field, const QString& value,
                     int maxOccurrence, WriteProgress& progress)
{
    progress.setPosition(0);
    progress.setMaximum(maxOccurrence);
    word::Bookmarks bookmarks = doc.Bookmarks();
    word::Selection& selection = doc.ActiveWindow().Selection();
    const QString text = occurrenceText(value);
    for (int k = 1; k <= maxOccurrence; ++k) {
        progress.setTextVisible(true);
        progress.processEvents();
        progress.setPosition(k);
        const QString name = occurrenceName(field, k);
        if (!bookmarks.Exists(name))
            continue;
        bookmarks.Item(name).Select();
        selection.setText(text);
        bookmarks.Add(name);
    }
    progress.setTextVisible(false);
    progress.setPosition(0);
}

} // namespace fields
