#pragma once
// Element and attribute matching by namespace rather than by prefix: a part
// may bind WordprocessingML to any prefix (or none), in its transitional or
// its Strict namespace. Prefixes are taken from the part's root element,
// where every producer declares them.

#include <QString>
#include <vector>
#include <pugixml.hpp>
#include <cstring>
#include <string>

namespace word::ooxml {

class XmlNames {
public:
    XmlNames() = default;
    explicit XmlNames(pugi::xml_node root) { init(root); }
    void init(pugi::xml_node root);

    bool found() const { return m_found; }
    // The local name of a WordprocessingML element, or nullptr for other nodes.
    const char* local(pugi::xml_node n) const
    {
        if (n.type() != pugi::node_element)
            return nullptr;
        const char* name = n.name();
        if (std::strncmp(name, m_w.c_str(), m_w.size()) != 0)
            return nullptr;
        name += m_w.size();
        return std::strchr(name, ':') ? nullptr : name;
    }
    bool is(pugi::xml_node n, const char* localName) const
    {
        const char* l = local(n);
        return l && std::strcmp(l, localName) == 0;
    }
    pugi::xml_node child(pugi::xml_node n, const char* localName) const
    {
        for (pugi::xml_node c = n.first_child(); c; c = c.next_sibling())
            if (is(c, localName))
                return c;
        return {};
    }
    std::string qualified(const char* localName) const { return m_w + localName; }
    const std::string& prefix() const { return m_w; }          // "w:" or ""
    const std::string& relPrefix() const { return m_r; }       // "r:" or ""

    // Attribute by local name, whatever its prefix (producers differ there).
    static pugi::xml_attribute attr(pugi::xml_node n, const char* localName);
    static QString attrText(pugi::xml_node n, const char* localName)
    {
        const pugi::xml_attribute a = attr(n, localName);
        return a ? QString::fromUtf8(a.value()) : QString();
    }
    // w:val of the named child; empty when absent.
    QString childVal(pugi::xml_node n, const char* localName) const
    {
        return attrText(child(n, localName), "val");
    }
    // A toggle property (w:b, w:i ...): absent -> fallback, present -> its w:val.
    static bool onOff(pugi::xml_node n, bool fallback);

private:
    std::string m_w = "w:";
    std::string m_r = "r:";
    bool m_found = false;
};

// XML text of a node as written, without any formatting added.
QString nodeXml(pugi::xml_node n);
QByteArray nodeXmlUtf8(pugi::xml_node n);
// A hash of a node's structure (names, attributes, text), equal for nodes
// that write the same XML, and the comparison that goes with it: for
// caching by content without writing the node out.
quint64 nodeHash(pugi::xml_node n);
bool sameNode(pugi::xml_node a, pugi::xml_node b);
// "<name attr=...>" of an element, for writing a wrapper around regenerated content.
QString openTag(pugi::xml_node n);
QString closeTag(pugi::xml_node n);
void appendEscaped(QString& out, QStringView text, bool attribute);

// The outermost w:txbxContent elements under an object, in document order:
// a DrawingML box and its VML fallback, or the boxes of a group.
std::vector<pugi::xml_node> textBoxContents(pugi::xml_node object);
// The box an object holds when it holds exactly one text, kept in one copy
// or in a markup-compatibility Choice and its Fallback; else a null node.
pugi::xml_node singleTextBox(pugi::xml_node object);

inline constexpr const char* kWordNs = "http://schemas.openxmlformats.org/wordprocessingml/2006/main";
inline constexpr const char* kWordNsStrict = "http://purl.oclc.org/ooxml/wordprocessingml/main";
inline constexpr const char* kRelNs = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
inline constexpr const char* kRelNsStrict = "http://purl.oclc.org/ooxml/officeDocument/relationships";

} // namespace word::ooxml
