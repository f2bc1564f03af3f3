#pragma once
// Small WordprocessingML packages for the field suites, written to a folder.

#include <QString>

namespace fieldtest {

// A paragraph <w:p> holding the given run and bookmark XML.
QString para(const QString& inner);
// A plain run.
QString run(const QString& text);
// A bookmark named name around one run of text.
QString mark(const QString& name, const QString& text);
// Writes a package whose body is bodyXml to dir/fileName and returns its path.
QString writeDocx(const QString& dir, const QString& fileName, const QString& bodyXml);

} // namespace fieldtest
