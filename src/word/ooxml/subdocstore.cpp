#include "word/ooxml/subdocstore.h"

#include "word/error.h"
#include "word/legacy/legacyimport.h"
#include "word/model/docmodel.h"
#include "word/model/fragment.h"
#include "word/ooxml/docreader.h"
#include "word/ooxml/docwriter.h"
#include "word/opc/stagedfiles.h"
#include "word/model/formatprops.h"
#include "word/opc/package.h"

#include <QDir>
#include <QFileInfo>
#include <QTextBlock>
#include <QTextDocument>
#include <QUrl>

namespace word::ooxml {

namespace {

const QString kSubDocRel = QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships/subDocument");

// Subdocuments are followed only to files beside the master document: a
// document must not make the engine read whatever path or address it names.
QString localPath(const QString& target, const QString& masterPath)
{
    const QString p = target.contains(u"://") ? QUrl(target).toLocalFile() : target;
    if (p.isEmpty())
        return {};
    const QDir dir = QFileInfo(masterPath).absoluteDir();
    const QString inDir = dir.filePath(QFileInfo(p).fileName());
    const QString asGiven = QFileInfo(p).isRelative() ? dir.filePath(p) : p;
    return QFileInfo(asGiven).absoluteFilePath() == QFileInfo(inDir).absoluteFilePath() ? inDir : QString();
}

} // namespace

bool SubdocStore::regionOf(size_t i, int& start, int& end) const
{
    const model::Subdocument& sd = m_model.subdocs[i];
    if (sd.regionStart < 0 || sd.regionEnd < 0)
        return false;
    const auto& markups = m_model.preserved().markups;
    const auto a = m_model.anchors().markupPosition(markups[size_t(sd.regionStart)].handle);
    const auto b = m_model.anchors().markupPosition(markups[size_t(sd.regionEnd)].handle);
    if (!a || !b || *b < *a)
        return false;
    start = *a;
    end = *b;
    return true;
}

void SubdocStore::addFromRange(int start, int end)
{
    QTextDocument* doc = m_model.text();
    const QTextBlock first = doc->findBlock(start);
    QTextBlock last = doc->findBlock(std::max(start, end > start ? end - 1 : end));
    if (!first.isValid() || !last.isValid())
        throw Error(QStringLiteral("A kijelölt tartományból nem hozható létre aldokumentum."));
    model::DocModel::EditScope scope(m_model);
    model::Subdocument sd;
    sd.regionStart = m_model.addMarkup(first.position(), QString(), -1);
    sd.regionEnd = m_model.addMarkup(last.position() + last.length() - 1, QString(), -1);
    m_model.subdocs.push_back(sd);
    m_model.markChanged();
}

void SubdocStore::writeFiles(const QString& masterPath, opc::StagedFiles& staged)
{
    opc::Package* master = m_model.package();
    const QFileInfo mi(masterPath);
    for (size_t i = 0; i < m_model.subdocs.size(); ++i) {
        int start = 0, end = 0;
        if (!regionOf(i, start, end))
            continue;
        model::Subdocument& sd = m_model.subdocs[i];
        if (sd.fullPath.isEmpty() || sd.referenceMarkup < 0) {
            // Named after the master, with an extension the compatibility pass picks up.
            sd.fullPath = mi.absoluteDir().filePath(QStringLiteral("%1_aldok%2.doc").arg(mi.completeBaseName()).arg(i + 1));
            sd.target = QFileInfo(sd.fullPath).fileName();
        } else if (QFileInfo(sd.fullPath).absolutePath() != mi.absolutePath()) {
            // Saved into another folder: the copy goes beside the new master.
            sd.fullPath = mi.absoluteDir().filePath(QFileInfo(sd.fullPath).fileName());
        }
        std::unique_ptr<opc::Package> pkg = opc::Package::fromBytes(master->toBytes(), sd.fullPath);
        pkg->setPart(m_model.mainPart, writeRangeXml(m_model, start, end));
        staged.stage(sd.fullPath, pkg->toBytes());
        if (sd.referenceMarkup < 0)
            sd.relId = master->addRelationship(m_model.mainPart, kSubDocRel, sd.target, true);
    }
}

QByteArray SubdocStore::mainDocumentXml(WriteIds* ids) const
{
    struct Region { int start, end; QString relId; bool needsReference; };
    std::vector<Region> regions;
    for (size_t i = 0; i < m_model.subdocs.size(); ++i) {
        int s = 0, e = 0;
        if (regionOf(i, s, e))
            regions.push_back({s, e, m_model.subdocs[i].relId, m_model.subdocs[i].referenceMarkup < 0});
    }
    if (regions.empty())
        return writeDocumentXml(m_model, {}, ids);
    const QString w = m_model.preserved().wPrefix;
    return writeDocumentXml(m_model, [&](const QTextBlock& b, QByteArray& out) {
        const int bs = b.position();
        const int be = bs + b.length() - 1;
        for (const Region& r : regions) {
            if (be < r.start || bs > r.end)
                continue;
            if (r.needsReference && bs <= r.start) {
                out = QStringLiteral("<%1p><%1subDoc xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\" "
                                     "r:id=\"%2\"/></%1p>").arg(w, r.relId).toUtf8();
            }
            return true;
        }
        return false;
    }, ids);
}

void SubdocStore::expandAll()
{
    for (size_t i = 0; i < m_model.subdocs.size(); ++i) {
        model::Subdocument& sd = m_model.subdocs[i];
        if (sd.regionStart >= 0 || sd.referenceMarkup < 0)
            continue;
        const auto at = m_model.anchors().markupPosition(m_model.preserved().markups[size_t(sd.referenceMarkup)].handle);
        const QString path = localPath(sd.target, m_model.filePath);
        if (!at || path.isEmpty() || !QFileInfo::exists(path))
            continue;
        model::DocModel sub;
        try {
            const auto pkg = legacy::openPackage(path);
            readDocument(sub, *pkg);
        } catch (const Error&) {
            continue;   // Word shows such a subdocument collapsed, as a link
        }
        sd.fullPath = path;
        const model::Fragment f = model::extractFragment(sub, 0, sub.endPosition());
        const QTextBlock host = m_model.text()->findBlock(*at);
        const int end = host.position() + host.length() - 1;
        model::DocModel::EditScope scope(m_model);
        const int regionStart = m_model.replaceText(end, end, QStringLiteral("\r"));
        m_model.setBlockProperty(regionStart, regionStart, model::prop::ParaIndex, QVariant());
        const int regionEnd = model::insertFragment(m_model, regionStart, f, true);
        sd.regionStart = m_model.addMarkup(regionStart, QString(), -1);
        sd.regionEnd = m_model.addMarkup(regionEnd, QString(), -1);
    }
}

} // namespace word::ooxml
