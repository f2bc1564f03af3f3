#pragma once
// quillora-cli fields: opens a file the way the window does (the variant for
// the party counts and the party blocks for a template) and prints the field
// grid's rows: number, TAB, field name, TAB, value.

#include <QStringList>
#include <QTextStream>

namespace cli {

int fieldsCommand(const QStringList& args, QTextStream& out, QTextStream& err);

} // namespace cli
