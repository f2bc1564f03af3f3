#include "word/opc/flatpackagereader.h"

#include "word/opc/packageimpl.h"
#include "word/opc/partname.h"

#include <QSet>
#include <pugixml.hpp>

namespace word::opc {

namespace {

QString localName(const char* qualified)
{
    const QString n = QString::fromUtf8(qualified);
    return n.mid(n.indexOf(u':') + 1);
}

QString attribute(const pugi::xml_node& n, const char* local)
{
    for (const pugi::xml_attribute& a : n.attributes()) {
        if (localName(a.name()) == QLatin1String(local))
            return QString::fromUtf8(a.value());
    }
    return {};
}

pugi::xml_node childNamed(const pugi::xml_node& n, const char* local)
{
    for (pugi::xml_node c = n.first_child(); c; c = c.next_sibling()) {
        if (c.type() == pugi::node_element && localName(c.name()) == QLatin1String(local))
            return c;
    }
    return {};
}

// The inline part as a document of its own. Namespaces declared further up
// (on the envelope) are carried onto its root so every prefix stays bound.
QByteArray inlinePart(const pugi::xml_node& xmlData)
{
    pugi::xml_node root;
    for (pugi::xml_node c = xmlData.first_child(); c && !root; c = c.next_sibling())
        root = c.type() == pugi::node_element ? c : pugi::xml_node();
    if (!root)
        return {};
    pugi::xml_document doc;
    pugi::xml_node copy = doc.append_copy(root);
    for (pugi::xml_node up = xmlData; up && up.type() == pugi::node_element; up = up.parent()) {
        for (const pugi::xml_attribute& a : up.attributes()) {
            const QByteArray name(a.name());
            if ((name == "xmlns" || name.startsWith("xmlns:")) && !copy.attribute(a.name()))
                copy.append_attribute(a.name()) = a.value();
        }
    }
    return serializeXml(doc);
}

QByteArray contentTypesXml(const QList<QPair<QString, QString>>& types)
{
    pugi::xml_document doc;
    pugi::xml_node t = doc.append_child("Types");
    t.append_attribute("xmlns") = "http://schemas.openxmlformats.org/package/2006/content-types";
    pugi::xml_node rels = t.append_child("Default");
    rels.append_attribute("Extension") = "rels";
    rels.append_attribute("ContentType") = "application/vnd.openxmlformats-package.relationships+xml";
    pugi::xml_node xml = t.append_child("Default");
    xml.append_attribute("Extension") = "xml";
    xml.append_attribute("ContentType") = "application/xml";
    for (const auto& [name, type] : types) {
        pugi::xml_node o = t.append_child("Override");
        o.append_attribute("PartName") = (u'/' + name).toUtf8().constData();
        o.append_attribute("ContentType") = type.toUtf8().constData();
    }
    return serializeXml(doc);
}

} // namespace

bool looksLikeFlatPackage(const QByteArray& data)
{
    const QByteArray head = data.left(4096);
    return !data.startsWith("PK") && head.contains("<?xml") && head.contains(":package")
        && head.contains("http://schemas.microsoft.com/office/2006/xmlPackage");
}

void FlatPackageReader::run()
{
    // Base64 images count as text here; the parts' own text is counted when they are parsed.
    TextBudget envelopeBudget(kMaxTotalBytes);
    pugi::xml_document doc;
    const QString problem = parseXmlChecked(d.raw, doc, envelopeBudget);
    if (!problem.isEmpty())
        d.fail(QStringLiteral("az XML-csomag %1").arg(problem));
    QList<QPair<QString, QString>> types;
    QSet<QString> seen;
    qint64 total = 0;
    for (pugi::xml_node part = doc.document_element().first_child(); part; part = part.next_sibling()) {
        if (part.type() != pugi::node_element || localName(part.name()) != u"part")
            continue;
        if (qsizetype(d.entries.size()) >= kMaxEntries)
            d.fail(QStringLiteral("túl sok részt tartalmaz (legfeljebb %1 lehet)").arg(kMaxEntries));
        QString name = attribute(part, "name");
        if (name.startsWith(u'/'))
            name.remove(0, 1);
        const QString bad = partname::entryProblem(name);
        if (!bad.isEmpty() || name.endsWith(u'/'))
            d.fail(QStringLiteral("szabálytalan részlet név („%1”)").arg(name));
        if (seen.contains(partname::key(name)))
            d.fail(QStringLiteral("a(z) „%1” rész kétszer szerepel benne").arg(name));
        seen.insert(partname::key(name));
        const pugi::xml_node xmlData = childNamed(part, "xmlData");
        const QByteArray data = xmlData ? inlinePart(xmlData)
                                        : QByteArray::fromBase64(QByteArray(childNamed(part, "binaryData").text().get()));
        if (data.size() > kMaxPartBytes)
            d.fail(QStringLiteral("a(z) „%1” rész túl nagy (legfeljebb 64 MiB lehet)").arg(name));
        total += data.size();
        if (total > kMaxTotalBytes)
            d.fail(QStringLiteral("túl nagy (összesen legfeljebb 256 MiB lehet)"));
        d.entries.push_back({name, data, -1, true});
        types.append({name, attribute(part, "contentType")});
    }
    if (d.entries.empty())
        d.fail(QStringLiteral("egyetlen részt sem tartalmaz"));
    d.contentTypes.read(contentTypesXml(types), d.budget);
    d.rebuildIndex();
    d.checkParts();
    d.raw.clear();   // every part now lives on its own
}

} // namespace word::opc
