#include "word/ooxml/runproperties.h"

#include "word/ooxml/xmlnames.h"

#include <pugixml.hpp>
#include <cmath>
#include <cstring>

namespace word::ooxml {

namespace {

const char* const kOrder[] = {"rStyle", "rFonts", "b", "bCs", "i", "iCs", "caps", "smallCaps", "strike", "dstrike",
    "outline", "shadow", "emboss", "imprint", "noProof", "snapToGrid", "vanish", "webHidden", "color", "spacing", "w",
    "kern", "position", "sz", "szCs", "highlight", "u", "effect", "bdr", "shd", "fitText", "vertAlign", "rtl", "cs",
    "em", "lang", "eastAsianLayout", "specVanish", "oMath", "rPrChange"};

int rank(const char* name)
{
    const char* colon = std::strchr(name, ':');
    const char* l = colon ? colon + 1 : name;
    for (size_t i = 0; i < std::size(kOrder); ++i)
        if (std::strcmp(kOrder[i], l) == 0)
            return int(i);
    return int(std::size(kOrder));
}

pugi::xml_node findChild(pugi::xml_node rPr, const std::string& qname)
{
    for (pugi::xml_node c = rPr.first_child(); c; c = c.next_sibling())
        if (qname == c.name())
            return c;
    return {};
}

pugi::xml_node ensureChild(pugi::xml_node rPr, const std::string& w, const char* local)
{
    const std::string qname = w + local;
    if (pugi::xml_node c = findChild(rPr, qname))
        return c;
    const int r = rank(local);
    for (pugi::xml_node c = rPr.first_child(); c; c = c.next_sibling()) {
        if (c.type() == pugi::node_element && rank(c.name()) > r)
            return rPr.insert_child_before(qname.c_str(), c);
    }
    return rPr.append_child(qname.c_str());
}

void setVal(pugi::xml_node n, const std::string& w, const char* value)
{
    pugi::xml_attribute a = XmlNames::attr(n, "val");
    if (!a)
        a = n.append_attribute((w + "val").c_str());
    a.set_value(value);
}

void setToggle(pugi::xml_node rPr, const std::string& w, const char* local, bool on)
{
    pugi::xml_node n = ensureChild(rPr, w, local);
    if (on) {
        n.remove_attribute(XmlNames::attr(n, "val"));
        return;
    }
    setVal(n, w, "0");
}

} // namespace

RunLook parseLookSignature(const QString& sig)
{
    RunLook l;
    if (sig.size() < 2)
        return l;
    l.bold = sig.at(0) == u'B';
    l.italic = sig.at(1) == u'I';
    l.size = sig.mid(2).toDouble();
    return l;
}

QString patchRunProperties(const QString& rPrXml, const QString& w, const RunLook& was, const RunLook& now)
{
    const std::string pfx = w.toStdString();
    pugi::xml_document doc;
    const QByteArray src = rPrXml.isEmpty() ? QByteArray() : rPrXml.toUtf8();
    pugi::xml_node rPr;
    if (!src.isEmpty() && doc.load_buffer(src.constData(), size_t(src.size()), pugi::parse_default | pugi::parse_ws_pcdata))
        rPr = doc.first_child();
    if (!rPr)
        rPr = doc.append_child((pfx + "rPr").c_str());
    if (was.bold != now.bold) {
        setToggle(rPr, pfx, "b", now.bold);
        setToggle(rPr, pfx, "bCs", now.bold);
    }
    if (was.italic != now.italic) {
        setToggle(rPr, pfx, "i", now.italic);
        setToggle(rPr, pfx, "iCs", now.italic);
    }
    if (now.size > 0 && std::abs(was.size - now.size) > 0.01) {
        const std::string hp = std::to_string(int(std::lround(now.size * 2)));
        setVal(ensureChild(rPr, pfx, "sz"), pfx, hp.c_str());
        setVal(ensureChild(rPr, pfx, "szCs"), pfx, hp.c_str());
    }
    return nodeXml(rPr);
}

} // namespace word::ooxml
