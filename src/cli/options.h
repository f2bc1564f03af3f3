#pragma once
// Pieces of argument handling and output shared by the commands.

#include <QString>

namespace cli {

// Reads a seller or buyer count. The template dialog offers one or two of
// each; so does the tool. On a bad value, error names the option and the text.
bool takeCount(const QString& option, const QString& text, int& count, QString& error);

// One output line per record: backslash, tab and every kind of line or
// paragraph break are escaped as \\, \t and \n.
QString escapeLine(const QString& text);

} // namespace cli
