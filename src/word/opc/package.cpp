#include "word/opc/package.h"

#include "word/error.h"
#include "word/opc/packageimpl.h"
#include "word/opc/partname.h"

#include <QFileInfo>
#include <limits>
#include <pugixml.hpp>

namespace word::opc {

namespace {

const char kRelationshipsNs[] = "http://schemas.openxmlformats.org/package/2006/relationships";
const QString kRelationshipsType = QStringLiteral("application/vnd.openxmlformats-package.relationships+xml");
const QString kOfficeDocument = QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument");
const QString kOfficeDocumentStrict = QStringLiteral("http://purl.oclc.org/ooxml/officeDocument/relationships/officeDocument");

QString localName(const char* qualified)
{
    const QString n = QString::fromUtf8(qualified);
    return n.mid(n.indexOf(u':') + 1);
}

QString withoutLeadingSlash(const QString& name)
{
    return name.startsWith(u'/') ? name.mid(1) : name;
}

bool isContentTypesName(const QString& name)
{
    return partname::key(name) == u"[content_types].xml";
}

} // namespace

QString openErrorMessage(const QString& displayName, const QString& reason)
{
    return QStringLiteral("A(z) „%1” fájl nem nyitható meg: %2.").arg(displayName, reason);
}

Package::Impl::~Impl()
{
    if (source)
        zip_discard(source);
}

QString Package::Impl::displayName() const
{
    const QString name = QFileInfo(fileName).fileName();
    return name.isEmpty() ? fileName : name;
}

const PackageEntry* Package::Impl::find(const QString& name) const
{
    const auto it = index.constFind(partname::key(name));
    return it == index.cend() ? nullptr : &entries[*it];
}

void Package::Impl::rebuildIndex()
{
    index.clear();
    for (size_t i = 0; i < entries.size(); ++i)
        index.insert(partname::key(entries[i].name), i);
}

namespace {

bool isRelationshipsName(const QString& name)
{
    return name.endsWith(QStringLiteral(".rels"), Qt::CaseInsensitive);
}

// Parts the census reads: XML by name or by declared type. Pictures and other
// binary parts are never parsed.
bool isXmlPart(const QString& name, const ContentTypes& types)
{
    if (isRelationshipsName(name) || name.endsWith(QStringLiteral(".xml"), Qt::CaseInsensitive))
        return true;
    const QString type = types.typeOf(name);
    return type.endsWith(QStringLiteral("xml"), Qt::CaseInsensitive);
}

} // namespace

void Package::Impl::checkParts()
{
    if (ownOutput)
        return;
    XmlCensus census;
    for (const PackageEntry& e : entries) {
        if (!isXmlPart(e.name, contentTypes))
            continue;
        // A broken relationships part would lose every link of its part on
        // the next save, so it is parsed here; other parts are parsed, and
        // their faults reported, when they are read.
        const bool rels = isRelationshipsName(e.name);
        const QString problem = rels ? censusOf(e.data, census) : quickCensusOf(e.data, census);
        if (!problem.isEmpty() && rels)
            fail(QStringLiteral("a(z) „%1” kapcsolatleíró rész hibás: %2").arg(e.name, problem));
        if (census.text > kMaxTextChars)
            fail(QStringLiteral("a szövege túllépi a megengedett %1 millió karaktert (az összes részben együtt)")
                     .arg(kMaxTextChars / 1'000'000));
        if (census.anchors > kMaxAnchors)
            fail(QStringLiteral("túl sok könyvjelzőt és tartományhatárt tartalmaz (legfeljebb %1 millió lehet)")
                     .arg(kMaxAnchors / 1'000'000));
    }
    bookmarkStarts = census.bookmarks;
}

void Package::Impl::fail(const QString& reason) const
{
    throw Error(openErrorMessage(displayName(), reason));
}

Package::Package() : d(std::make_unique<Impl>()) {}
Package::~Package() = default;

QString Package::fileName() const
{
    return d->fileName;
}

QStringList Package::partNames() const
{
    QStringList names;
    names.reserve(qsizetype(d->entries.size()));
    for (const PackageEntry& e : d->entries)
        names.append(e.name);
    return names;
}

bool Package::hasPart(const QString& name) const
{
    return d->find(name) != nullptr;
}

QByteArray Package::part(const QString& name) const
{
    const PackageEntry* e = d->find(name);
    if (!e)
        throw Error(QStringLiteral("A(z) „%1” fájlban nincs „%2” nevű rész.").arg(d->displayName(), withoutLeadingSlash(name)));
    return e->data;
}

void Package::setPart(const QString& name, const QByteArray& data, const QString& contentType)
{
    const QString n = withoutLeadingSlash(name);
    const QString problem = partname::entryProblem(n);
    if (!problem.isEmpty() || isContentTypesName(n) || n.endsWith(u'/'))
        throw Error(QStringLiteral("Szabálytalan részlet név: „%1”.").arg(name));
    const auto it = d->index.constFind(partname::key(n));
    if (it != d->index.cend()) {
        d->entries[*it].data = data;
        d->entries[*it].modified = true;
    } else {
        d->index.insert(partname::key(n), d->entries.size());
        d->entries.push_back({n, data, -1, true});
    }
    d->contentTypes.setType(n, contentType);
    if (n.endsWith(QStringLiteral(".rels"), Qt::CaseInsensitive))
        d->relationshipCache.clear();
}

void Package::removePart(const QString& name)
{
    const auto it = d->index.constFind(partname::key(name));
    if (it == d->index.cend())
        return;
    d->contentTypes.removeOverride(d->entries[*it].name);
    d->entries.erase(d->entries.begin() + qsizetype(*it));
    d->rebuildIndex();
    d->relationshipCache.clear();
}

QString Package::contentType(const QString& name) const
{
    const PackageEntry* e = d->find(name);
    return d->contentTypes.typeOf(e ? e->name : withoutLeadingSlash(name));
}

TextBudget& Package::textBudget() const
{
    return d->budget;
}

qint64 Package::bookmarkStartCount() const
{
    return d->bookmarkStarts;
}

void Package::parsePart(const QString& name, pugi::xml_document& doc) const
{
    const QByteArray data = part(name);
    const QString problem = parseXmlChecked(data, doc, d->budget);
    if (!problem.isEmpty())
        d->fail(QStringLiteral("a(z) „%1” rész %2").arg(withoutLeadingSlash(name), problem));
}

QList<Relationship> Package::relationships(const QString& sourcePart) const
{
    const QString relsName = partname::relationshipsPartOf(sourcePart);
    const QString k = partname::key(relsName);
    const auto cached = d->relationshipCache.constFind(k);
    if (cached != d->relationshipCache.cend())
        return *cached;
    QList<Relationship> rels;
    if (hasPart(relsName)) {
        pugi::xml_document doc;
        parsePart(relsName, doc);
        for (pugi::xml_node n = doc.document_element().first_child(); n; n = n.next_sibling()) {
            if (n.type() != pugi::node_element || localName(n.name()) != u"Relationship")
                continue;
            rels.append({QString::fromUtf8(n.attribute("Id").value()), QString::fromUtf8(n.attribute("Type").value()),
                         QString::fromUtf8(n.attribute("Target").value()),
                         QString::fromUtf8(n.attribute("TargetMode").value()).compare(u"External", Qt::CaseInsensitive) == 0});
        }
    }
    d->relationshipCache.insert(k, rels);
    return rels;
}

QString Package::resolve(const QString& sourcePart, const QString& target) const
{
    const QString resolved = partname::resolve(sourcePart, target);
    if (resolved.isEmpty())
        return resolved;
    const PackageEntry* e = d->find(resolved);
    return e ? e->name : resolved;
}

QString Package::mainPartName() const
{
    for (const Relationship& r : relationships(QString())) {
        if (r.external || (r.type != kOfficeDocument && r.type != kOfficeDocumentStrict))
            continue;
        const QString name = resolve(QString(), r.target);
        if (!name.isEmpty() && hasPart(name))
            return name;
    }
    throw Error(QStringLiteral("A(z) „%1” fájlban nem található a fő dokumentumrész; nem Word-dokumentum vagy sérült.")
                    .arg(d->displayName()));
}

QString Package::addRelationship(const QString& sourcePart, const QString& type, const QString& target, bool external)
{
    const QList<Relationship> existing = relationships(sourcePart);
    int highest = 0;
    for (const Relationship& r : existing) {
        if (r.type == type && r.target == target && r.external == external)
            return r.id;
        if (r.id.startsWith(QStringLiteral("rId")))
            highest = qMax(highest, r.id.mid(3).toInt());
    }
    const QString id = QStringLiteral("rId%1").arg(highest + 1);
    const QString relsName = partname::relationshipsPartOf(sourcePart);
    pugi::xml_document doc;
    if (hasPart(relsName)) {
        // Never rewritten from scratch: that would drop the links it holds.
        TextBudget unlimited(std::numeric_limits<qint64>::max());
        const QString problem = parseXmlChecked(part(relsName), doc, unlimited);
        if (!problem.isEmpty())
            d->fail(QStringLiteral("a(z) „%1” kapcsolatleíró rész hibás: %2").arg(relsName, problem));
    }
    pugi::xml_node root = doc.document_element();
    if (!root) {
        root = doc.append_child("Relationships");
        root.append_attribute("xmlns") = kRelationshipsNs;
    }
    // Written with the prefix the root uses, so the new element lands in its namespace.
    const QString rootName = QString::fromUtf8(root.name());
    const QString prefix = rootName.left(rootName.indexOf(u':') + 1);
    pugi::xml_node rel = root.append_child((prefix + QStringLiteral("Relationship")).toUtf8().constData());
    rel.append_attribute("Id") = id.toUtf8().constData();
    rel.append_attribute("Type") = type.toUtf8().constData();
    rel.append_attribute("Target") = target.toUtf8().constData();
    if (external)
        rel.append_attribute("TargetMode") = "External";
    setPart(relsName, serializeXml(doc), kRelationshipsType);
    return id;
}

} // namespace word::opc
