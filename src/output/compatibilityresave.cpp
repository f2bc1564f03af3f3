#include "output/compatibilityresave.h"

#include "word/application.h"
#include "word/document.h"

#include <QDir>
#include <QFileInfo>

namespace output {

QString compatibilityTemplate(const QString& programFolder)
{
    return QDir(programFolder).filePath(QStringLiteral("Normal2003.dot"));
}

QStringList subdocumentFiles(const QString& savedPath)
{
    const QFileInfo saved(savedPath);
    // The engine names them after the master: <name>_aldok<n>.doc.
    const QString pattern = saved.completeBaseName() + QStringLiteral("_aldok*.doc");
    const QDir folder = saved.absoluteDir();
    QStringList out;
    for (const QString& name : folder.entryList({ pattern }, QDir::Files | QDir::CaseSensitive, QDir::Name))
        out << folder.filePath(name);
    return out;
}

void CompatibilityResave(const QString& savedPath, const QString& templatePath)
{
    // A separate engine: the document on screen is not disturbed by the pass.
    word::Application engine;
    for (const QString& file : subdocumentFiles(savedPath)) {
        word::Document* doc = engine.Documents().Open(file);
        doc->setUpdateStylesOnOpen(true);
        doc->setAttachedTemplate(templatePath);
        doc->SaveAs();
        doc->Close();
    }
    engine.Quit();
}

} // namespace output
