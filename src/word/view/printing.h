#pragma once
// Printing a document through the page layout and painter, the same pages the
// view shows and quillora-cli pdf writes.

#include <QList>

class QPrinter;
class QWidget;

namespace word { class Document; }

namespace word::view {

// Prints the chosen pages (all when empty, 0-based) of doc on printer.
// Returns false when the printer could not start.
bool printDocument(word::Document& doc, QPrinter& printer, const QList<int>& pages = {});

// The print dialog (its PDF printer included) and then the printing; a
// cancelled dialog prints nothing. Returns true when something was printed.
bool printWithDialog(word::Document& doc, QWidget* parent);

} // namespace word::view
