#include "word/ooxml/xmlnames.h"

#include "word/model/stringhash.h"

#include <cstring>

namespace word::ooxml {

void XmlNames::init(pugi::xml_node root)
{
    for (pugi::xml_attribute a = root.first_attribute(); a; a = a.next_attribute()) {
        const char* name = a.name();
        const char* value = a.value();
        if (std::strncmp(name, "xmlns", 5) != 0)
            continue;
        std::string pfx = name[5] == ':' ? std::string(name + 6) + ":" : std::string();
        if (std::strcmp(value, kWordNs) == 0 || std::strcmp(value, kWordNsStrict) == 0) {
            m_w = pfx;
            m_found = true;
        } else if (std::strcmp(value, kRelNs) == 0 || std::strcmp(value, kRelNsStrict) == 0) {
            m_r = pfx;
        }
    }
}

pugi::xml_attribute XmlNames::attr(pugi::xml_node n, const char* localName)
{
    for (pugi::xml_attribute a = n.first_attribute(); a; a = a.next_attribute()) {
        const char* name = a.name();
        const char* colon = std::strchr(name, ':');
        const char* l = colon ? colon + 1 : name;
        if (std::strcmp(l, localName) == 0 && std::strncmp(name, "xmlns", 5) != 0)
            return a;
    }
    return {};
}

bool XmlNames::onOff(pugi::xml_node n, bool fallback)
{
    if (!n)
        return fallback;
    const pugi::xml_attribute v = attr(n, "val");
    if (!v)
        return true;
    const char* s = v.value();
    return !(std::strcmp(s, "0") == 0 || std::strcmp(s, "false") == 0 || std::strcmp(s, "off") == 0);
}

namespace {
struct Utf8Writer : pugi::xml_writer {
    QByteArray out;
    void write(const void* data, size_t size) override { out.append(static_cast<const char*>(data), qsizetype(size)); }
};
} // namespace

QByteArray nodeXmlUtf8(pugi::xml_node n)
{
    Utf8Writer w;
    n.print(w, "", pugi::format_raw, pugi::encoding_utf8);
    return w.out;
}

namespace {
quint64 hashString(quint64 h, const char* s)
{
    return model::detail::mix(h ^ model::detail::hashBytes(s, std::strlen(s)), 0x9fb21c651e98df25ULL);
}
} // namespace

quint64 nodeHash(pugi::xml_node n)
{
    if (!n)
        return 0;
    quint64 h = hashString(quint64(n.type()) + 1, n.name());
    if (n.type() == pugi::node_pcdata || n.type() == pugi::node_cdata)
        return hashString(h, n.value());
    for (pugi::xml_attribute a = n.first_attribute(); a; a = a.next_attribute())
        h = hashString(hashString(h, a.name()), a.value());
    for (pugi::xml_node c = n.first_child(); c; c = c.next_sibling())
        h = model::detail::mix(h ^ nodeHash(c), 0xc2b2ae3d27d4eb4fULL);
    return h;
}

bool sameNode(pugi::xml_node a, pugi::xml_node b)
{
    if (!a || !b)
        return !a && !b;
    if (a.type() != b.type() || std::strcmp(a.name(), b.name()) != 0 || std::strcmp(a.value(), b.value()) != 0)
        return false;
    pugi::xml_attribute x = a.first_attribute(), y = b.first_attribute();
    for (; x && y; x = x.next_attribute(), y = y.next_attribute())
        if (std::strcmp(x.name(), y.name()) != 0 || std::strcmp(x.value(), y.value()) != 0)
            return false;
    if (x || y)
        return false;
    pugi::xml_node c = a.first_child(), d = b.first_child();
    for (; c && d; c = c.next_sibling(), d = d.next_sibling())
        if (!sameNode(c, d))
            return false;
    return !c && !d;
}

QString nodeXml(pugi::xml_node n) { return QString::fromUtf8(nodeXmlUtf8(n)); }

void appendEscaped(QString& out, QStringView text, bool attribute)
{
    // Runs of characters that need nothing go in whole.
    const char16_t* d = text.utf16();
    const qsizetype n = text.size();
    qsizetype from = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = d[i];
        if (c > u'>')
            continue;
        QStringView with;
        switch (c) {
        case u'&': with = u"&amp;"; break;
        case u'<': with = u"&lt;"; break;
        case u'>': with = u"&gt;"; break;
        case u'"':
            if (!attribute)
                continue;
            with = u"&quot;";
            break;
        default:
            if (c >= 0x20 || c == u'\t' || c == u'\n' || c == u'\r')
                continue;
            break;   // not representable in XML 1.0: left out
        }
        out.append(QStringView(d + from, i - from));
        out.append(with);
        from = i + 1;
    }
    out.append(QStringView(d + from, n - from));
}

QString openTag(pugi::xml_node n)
{
    QString s = u'<' + QString::fromUtf8(n.name());
    for (pugi::xml_attribute a = n.first_attribute(); a; a = a.next_attribute()) {
        s += u' ' + QString::fromUtf8(a.name()) + QStringLiteral("=\"");
        appendEscaped(s, QString::fromUtf8(a.value()), true);
        s += u'"';
    }
    return s + u'>';
}

QString closeTag(pugi::xml_node n) { return QStringLiteral("</") + QString::fromUtf8(n.name()) + u'>'; }

namespace {
bool isTextBoxContent(pugi::xml_node n)
{
    const char* colon = std::strchr(n.name(), ':');
    return std::strcmp(colon ? colon + 1 : n.name(), "txbxContent") == 0;
}

void collectTextBoxes(pugi::xml_node n, std::vector<pugi::xml_node>& out, int depth)
{
    for (pugi::xml_node c = n.first_child(); c; c = c.next_sibling()) {
        if (c.type() != pugi::node_element)
            continue;
        if (isTextBoxContent(c))
            out.push_back(c);
        else if (depth < 64)
            collectTextBoxes(c, out, depth + 1);
    }
}

// The markup-compatibility branch (Choice or Fallback) a node lies in under object.
const char* branchOf(pugi::xml_node n, pugi::xml_node object)
{
    for (; n && n != object; n = n.parent()) {
        const char* colon = std::strchr(n.name(), ':');
        const char* local = colon ? colon + 1 : n.name();
        if (std::strcmp(local, "Choice") == 0 || std::strcmp(local, "Fallback") == 0)
            return local;
    }
    return "";
}
} // namespace

std::vector<pugi::xml_node> textBoxContents(pugi::xml_node object)
{
    std::vector<pugi::xml_node> out;
    if (isTextBoxContent(object))
        out.push_back(object);
    else
        collectTextBoxes(object, out, 0);
    return out;
}

pugi::xml_node singleTextBox(pugi::xml_node object)
{
    const std::vector<pugi::xml_node> boxes = textBoxContents(object);
    if (boxes.size() == 1)
        return boxes[0];
    if (boxes.size() == 2 && std::strcmp(branchOf(boxes[0], object), "Choice") == 0
        && std::strcmp(branchOf(boxes[1], object), "Fallback") == 0)
        return boxes[0];
    return {};
}

} // namespace word::ooxml
