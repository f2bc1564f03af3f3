#pragma once
// Which file the open operation loads for the file chosen in the template
// dialog. A template (.sab) only names the contract: the file loaded is the
// variant beside it that matches the party counts, for example
// adasveteli.sab with one seller and two buyers gives
// adasveteli-egyesel-tobbesvev.dot. Any other file is loaded as it is.

#include <QString>

namespace templates {

// "-egyesel" for at most one seller, "-tobbesel" for more; likewise
// "-egyesvev"/"-tobbesvev" for the buyers; then ".dot".
QString variantSuffix(int sellerCount, int buyerCount);

bool isTemplateFile(const QString& fileName);   // the extension is .sab, in any case

QString openPathFor(const QString& fileName, int sellerCount, int buyerCount);

// The file-name part of a path, without its folder (for the window caption).
QString fileNamePart(const QString& fileName);

} // namespace templates
