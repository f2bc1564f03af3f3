#include "templates/openpath.h"

#include <QFileInfo>

namespace templates {

QString variantSuffix(int sellerCount, int buyerCount)
{
    const QString sellers = sellerCount <= 1 ? QStringLiteral("-egyesel") : QStringLiteral("-tobbesel");
    const QString buyers = buyerCount <= 1 ? QStringLiteral("-egyesvev") : QStringLiteral("-tobbesvev");
    return sellers + buyers + QStringLiteral(".dot");
}

// The extension is what follows the last dot of the file-name part; a dot in
// a folder name does not count.
static int extensionStart(const QString& fileName)
{
    const int slash = int(fileName.lastIndexOf(QLatin1Char('/')));
    const int dot = int(fileName.lastIndexOf(QLatin1Char('.')));
    return dot > slash ? dot : -1;
}

bool isTemplateFile(const QString& fileName)
{
    const int dot = extensionStart(fileName);
    return dot >= 0 && fileName.mid(dot).compare(QLatin1String(".sab"), Qt::CaseInsensitive) == 0;
}

QString openPathFor(const QString& fileName, int sellerCount, int buyerCount)
{
    if (!isTemplateFile(fileName))
        return fileName;
    return fileName.left(extensionStart(fileName)) + variantSuffix(sellerCount, buyerCount);
}

QString fileNamePart(const QString& fileName)
{
    return QFileInfo(fileName).fileName();
}

} // namespace templates
