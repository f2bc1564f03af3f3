#include "output/savename.h"

#include <QFileInfo>

namespace output {

bool isTemplateBased(const QString& openedFile)
{
    // Only the file's own name counts: a dot in a folder name is no extension.
    return QFileInfo(openedFile).fileName().endsWith(QStringLiteral(".sab"), Qt::CaseInsensitive);
}

QString proposedDocumentName(const QString& templateFile)
{
    const QString name = QFileInfo(templateFile).fileName();
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    const QString stem = dot > 0 ? name.left(dot) : name;
    return stem + QStringLiteral(".dot");
}

} // namespace output
