#include "templates/fielddiscovery.h"

#include "word/document.h"
#include "word/error.h"

#include <QTableWidget>

namespace templates {

int occurrenceNumber(const QString& bookmarkName)
{
    const int n = int(bookmarkName.size());
    const bool oneDigit = n >= 2 && bookmarkName.at(n - 2) == QLatin1Char('_');
    const QString digits = oneDigit ? bookmarkName.right(1) : bookmarkName.right(2);
    bool ok = false;
    const int number = digits.toInt(&ok, 10);
    // Only plain decimal digits count: a sign is no part of a bookmark name.
    if (!ok || !digits.at(0).isDigit())
        return 0;
    return number;
}

static void caretToStart(word::Document& doc)
{
    doc.Characters().Item(1).Select();
    doc.ActiveWindow().Selection().MoveLeft();
}

static void readFields(const word::Bookmarks& listed, FieldDiscovery& out)
{
    for (int i = 1; i <= out.bookmarkCount; ++i) {
        const QString name = listed.Item(i).Name();
        const int occurrence = occurrenceNumber(name);
        out.maxOccurrence = std::max(out.maxOccurrence, occurrence);
        if (occurrence != 1)
            continue;
        DiscoveredField field;
        field.number = QString::number(out.fields.size() + 1) + QLatin1Char('.');
        field.name = name.left(name.size() - 2);
        out.fields.append(field);
    }
}

static void readValues(word::Document& doc, FieldDiscovery& out)
{
    word::Bookmarks all = doc.Bookmarks();
    for (DiscoveredField& field : out.fields) {
        field.value = all.Item(field.name + QStringLiteral("_1")).Range().Text();
        field.hasValue = true;
    }
}

FieldDiscovery DiscoverFields(word::Document& doc, bool withValues)
{
    FieldDiscovery out;
    doc.Select();
    const word::Bookmarks listed = doc.ActiveWindow().Selection().Bookmarks();
    out.bookmarkCount = listed.Count();
    try {
        readFields(listed, out);
        if (withValues)
            readValues(doc, out);
        caretToStart(doc);
    } catch (const word::Error&) {
        out.failed = true;
        caretToStart(doc);
    }
    return out;
}

static void setCell(QTableWidget& grid, int row, int column, const QString& text)
{
    if (QTableWidgetItem* item = grid.item(row, column)) {
        item->setText(text);
        return;
    }
    grid.setItem(row, column, new QTableWidgetItem(text));
}

void FillFieldGrid(QTableWidget& grid, const FieldDiscovery& discovery)
{
    if (discovery.fields.isEmpty()) {
        grid.setRowCount(2);
        setCell(grid, 1, 0, QString());
        setCell(grid, 1, 1, QString());
        return;
    }
    grid.setRowCount(int(discovery.fields.size()) + 1);
    int row = 1;
    for (const DiscoveredField& field : discovery.fields) {
        setCell(grid, row, 0, field.number);
        setCell(grid, row, 1, field.name);
        if (field.hasValue)
            setCell(grid, row, 2, field.value);
        ++row;
    }
}

} // namespace templates
