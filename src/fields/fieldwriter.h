#pragma once
// Writing one field's value into the document: at every occurrence bookmark
// <field>_1 .. <field>_<maxOccurrence> that exists, the bookmark's text is
// replaced and the bookmark put back around the new text, so the same field
// can be written again and again.

#include <QString>

namespace word { class Document; }

namespace fields {

class WriteProgress;

// The text written for a value: an empty value becomes one blank, so that the
// occurrence keeps a character for its bookmark to span.
QString occurrenceText(const QString& value);

// The bookmark name of the k-th place of a field.
QString occurrenceName(const QString& field, int k);

// Throws word::Error from the engine; the occurrences before the failing one
// stay written and the progress stays where it was.
void WriteFieldValue(word::Document& doc, const QString& field, const QString& value,
                     int maxOccurrence, WriteProgress& progress);

} // namespace fields
