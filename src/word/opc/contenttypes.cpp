#include "word/opc/contenttypes.h"

#include "word/opc/partname.h"
#include "word/opc/xmllimits.h"

#include <pugixml.hpp>

namespace word::opc {

namespace {

const char kNamespace[] = "http://schemas.openxmlformats.org/package/2006/content-types";

QString extensionOf(const QString& partName)
{
    const qsizetype dot = partName.lastIndexOf(u'.');
    if (dot < 0 || partName.indexOf(u'/', dot) >= 0)
        return {};
    return partName.mid(dot + 1).toLower();
}

QString localName(const char* qualified)
{
    const QString n = QString::fromUtf8(qualified);
    return n.mid(n.indexOf(u':') + 1);
}

} // namespace

QString ContentTypes::read(const QByteArray& xml, TextBudget& budget)
{
    pugi::xml_document doc;
    const QString problem = parseXmlChecked(xml, doc, budget);
    if (!problem.isEmpty())
        return problem;
    const pugi::xml_node root = doc.document_element();
    if (localName(root.name()) != u"Types")
        return QStringLiteral("nem tartalomtípus-leírás");
    for (pugi::xml_node n = root.first_child(); n; n = n.next_sibling()) {
        const QString what = localName(n.name());
        const QString type = QString::fromUtf8(n.attribute("ContentType").value());
        if (what == u"Default") {
            const QString ext = QString::fromUtf8(n.attribute("Extension").value());
            m_defaultIndex.insert(ext.toLower(), m_defaults.size());
            m_defaults.append({ext, type});
        } else if (what == u"Override") {
            m_overrides.append({QString::fromUtf8(n.attribute("PartName").value()), type});
        }
    }
    rebuildOverrideIndex();
    m_changed = false;
    return {};
}

void ContentTypes::rebuildOverrideIndex()
{
    m_overrideIndex.clear();
    for (qsizetype i = 0; i < m_overrides.size(); ++i)
        m_overrideIndex.insert(partname::key(m_overrides[i].name), i);
}

QString ContentTypes::defaultFor(const QString& extension) const
{
    const auto it = m_defaultIndex.constFind(extension.toLower());
    return it == m_defaultIndex.cend() ? QString() : m_defaults[*it].type;
}

QString ContentTypes::typeOf(const QString& partName) const
{
    const auto it = m_overrideIndex.constFind(partname::key(partName));
    if (it != m_overrideIndex.cend())
        return m_overrides[*it].type;
    return defaultFor(extensionOf(partName));
}

void ContentTypes::setType(const QString& partName, const QString& type)
{
    if (type.isEmpty() || typeOf(partName) == type)
        return;
    const QString k = partname::key(partName);
    const auto it = m_overrideIndex.constFind(k);
    if (it != m_overrideIndex.cend()) {
        m_overrides[*it].type = type;
    } else if (defaultFor(extensionOf(partName)) == type) {
        return;
    } else {
        m_overrideIndex.insert(k, m_overrides.size());
        m_overrides.append({u'/' + partName, type});
    }
    m_changed = true;
}

void ContentTypes::removeOverride(const QString& partName)
{
    const auto it = m_overrideIndex.constFind(partname::key(partName));
    if (it == m_overrideIndex.cend())
        return;
    m_overrides.removeAt(*it);
    rebuildOverrideIndex();
    m_changed = true;
}

QByteArray ContentTypes::toXml() const
{
    pugi::xml_document doc;
    pugi::xml_node decl = doc.append_child(pugi::node_declaration);
    decl.append_attribute("version") = "1.0";
    decl.append_attribute("encoding") = "UTF-8";
    decl.append_attribute("standalone") = "yes";
    pugi::xml_node types = doc.append_child("Types");
    types.append_attribute("xmlns") = kNamespace;
    for (const Entry& e : m_defaults) {
        pugi::xml_node n = types.append_child("Default");
        n.append_attribute("Extension") = e.name.toUtf8().constData();
        n.append_attribute("ContentType") = e.type.toUtf8().constData();
    }
    for (const Entry& e : m_overrides) {
        pugi::xml_node n = types.append_child("Override");
        n.append_attribute("PartName") = e.name.toUtf8().constData();
        n.append_attribute("ContentType") = e.type.toUtf8().constData();
    }
    return serializeXml(doc);
}

} // namespace word::opc
