#include "word/layout/pdfexport.h"

#include "word/layout/pagelayout.h"
#include "word/layout/pagepainter.h"
#include "word/layout/xmlutil.h"
#include "word/model/docmodel.h"
#include "word/opc/package.h"

#include <QFileInfo>
#include <QPdfWriter>
#include <QSaveFile>

namespace word::layout {

QString documentTitle(const model::DocModel& model)
{
    const opc::Package* pkg = model.package();
    if (pkg) {
        try {
            for (const opc::Relationship& r : pkg->relationships(QString())) {
                if (!r.type.endsWith(u"/core-properties"))
                    continue;
                const QString part = pkg->resolve(QString(), r.target);
                if (!pkg->hasPart(part))
                    continue;
                pugi::xml_document doc;
                const QByteArray data = pkg->part(part);
                if (!doc.load_buffer(data.constData(), size_t(data.size())))
                    continue;
                const QString title = QString::fromUtf8(xml::find(doc, "title").text().get()).trimmed();
                if (!title.isEmpty())
                    return title;
            }
        } catch (...) {
            // No readable core properties: the file's name will do.
        }
    }
    return QFileInfo(model.filePath).completeBaseName();
}

bool writePdf(model::DocModel& model, const QString& path, QString* error)
{
    PageLayout* layout = PageLayout::install(model);
    // The file appears whole or not at all.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = QStringLiteral("A PDF nem írható: %1 (%2)").arg(path, file.errorString());
        return false;
    }
    {
        QPdfWriter writer(&file);
        writer.setResolution(300);
        writer.setTitle(documentTitle(model));
        writer.setCreator(QStringLiteral("Quillora"));
        if (!PagePainter::paintDocument(*layout, writer)) {
            if (error)
                *error = QStringLiteral("A PDF nem készíthető el: %1").arg(path);
            file.cancelWriting();
            return false;
        }
    }
    if (!file.commit()) {
        if (error)
            *error = QStringLiteral("A PDF nem írható: %1 (%2)").arg(path, file.errorString());
        return false;
    }
    return true;
}

} // namespace word::layout
