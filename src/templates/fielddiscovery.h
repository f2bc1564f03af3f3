#pragma once
// Field discovery: the bookmarks of a loaded document become the rows of the
// field grid. A bookmark <base>_1 makes the field <base> known; <base>_2,
// <base>_3, ... are further places of the same field and only raise
// MaxOccurrence, the number of places value writing visits.

#include <QList>
#include <QString>

class QTableWidget;

namespace word { class Document; }

namespace templates {

// The occurrence number read from the end of a bookmark name: the last
// character when the one before it is "_", otherwise the last two characters;
// 0 when that is not a decimal number.
int occurrenceNumber(const QString& bookmarkName);

struct DiscoveredField {
    QString number;      // "1.", "2.", ...
    QString name;        // the bookmark name without its last two characters
    QString value;       // text at <name>_1, read for reopened documents only
    bool hasValue = false;
};

struct FieldDiscovery {
    int bookmarkCount = 0;          // the bookmarks of the whole document
    QList<DiscoveredField> fields;  // in document order
    int maxOccurrence = 1;
    bool failed = false;            // an engine call of the guarded part failed
};

// Selects the whole document, lists its bookmarks and reads the fields; at the
// end the insertion point stands at the start of the document. Failures while
// listing the bookmarks are thrown (word::Error); failures after that end the
// reading early with failed set and the fields found so far.
FieldDiscovery DiscoverFields(word::Document& doc, bool readValues);

// Writes the discovery into the grid: row 0 stays the header, row r holds
// number, name and (when read) value of field r. Without any field the grid
// keeps one empty field row, and column 2 of that row is left as it was.
void FillFieldGrid(QTableWidget& grid, const FieldDiscovery& discovery);

} // namespace templates
