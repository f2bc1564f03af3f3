#pragma once
// Reading the XML fragments the model keeps: they carry their prefixes but no
// namespace declarations, so elements and attributes are matched by local name.

#include <QString>
#include <pugixml.hpp>
#include <cstring>

namespace word::layout::xml {

inline const char* localName(const char* name)
{
    const char* colon = std::strrchr(name, ':');
    return colon ? colon + 1 : name;
}

inline bool isNamed(pugi::xml_node n, const char* local)
{
    return n.type() == pugi::node_element && std::strcmp(localName(n.name()), local) == 0;
}

inline pugi::xml_node child(pugi::xml_node n, const char* local)
{
    for (pugi::xml_node c = n.first_child(); c; c = c.next_sibling())
        if (isNamed(c, local))
            return c;
    return {};
}

inline QString attr(pugi::xml_node n, const char* local)
{
    for (pugi::xml_attribute a = n.first_attribute(); a; a = a.next_attribute())
        if (std::strcmp(localName(a.name()), local) == 0)
            return QString::fromUtf8(a.value());
    return {};
}

// The first element of that local name at or below n.
inline pugi::xml_node find(pugi::xml_node n, const char* local)
{
    if (isNamed(n, local))
        return n;
    for (pugi::xml_node c = n.first_child(); c; c = c.next_sibling()) {
        if (pugi::xml_node hit = find(c, local))
            return hit;
    }
    return {};
}

inline bool parse(pugi::xml_document& doc, const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    return doc.load_buffer(utf8.constData(), size_t(utf8.size()), pugi::parse_default, pugi::encoding_utf8);
}

} // namespace word::layout::xml
