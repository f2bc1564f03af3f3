#pragma once
// quillora-cli convert IN OUT: opens IN in any form the engine reads (OOXML
// under any name, or a legacy form through the importer) and saves it as an
// OOXML package to OUT without changing it.

#include <QStringList>
#include <QTextStream>

namespace cli {

int convertCommand(const QStringList& args, QTextStream& out, QTextStream& err);

} // namespace cli
