#pragma once
// The real-world document collection the engine is checked against: its
// manifest, and canonical XML for comparing what the engine wrote back with
// what it read. Header-only, shared by the corpus suites.

#include <QDir>
#include <QFile>
#include <QHash>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <pugixml.hpp>

namespace corpus {

struct Entry {
    QString file;        // relative to the corpus folder
    QString format;      // "zip", "ole2-binary", ...
    QString malformed;   // empty for sound files
    QString note;
};

inline QString folder()
{
    return QString::fromUtf8(QUILLORA_CORPUS_DIR);
}

// Every row of MANIFEST.tsv, by its column names.
inline QList<Entry> readManifest()
{
    QFile f(QDir(folder()).filePath(QStringLiteral("MANIFEST.tsv")));
    QList<Entry> out;
    if (!f.open(QIODevice::ReadOnly))
        return out;
    // The manifest may come with Windows line ends; a stray '\r' would hide the last column.
    QList<QByteArray> lines = f.readAll().split('\n');
    for (QByteArray& line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
    }
    const QList<QByteArray> header = lines.value(0).split('\t');
    const qsizetype fileCol = header.indexOf("file"), formatCol = header.indexOf("format");
    const qsizetype malformedCol = header.indexOf("malformed"), noteCol = header.indexOf("note");
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QList<QByteArray> cols = lines.at(i).split('\t');
        if (cols.size() < header.size())
            continue;
        out.append(Entry{ QString::fromUtf8(cols.value(fileCol)), QString::fromUtf8(cols.value(formatCol)),
                          QString::fromUtf8(cols.value(malformedCol)).trimmed(), QString::fromUtf8(cols.value(noteCol)) });
    }
    return out;
}

// Sound OOXML packages: what the round trip has to bring back unchanged.
inline QList<Entry> soundPackages()
{
    QList<Entry> out;
    for (const Entry& e : readManifest()) {
        if (e.format == QLatin1String("zip") && e.malformed.isEmpty())
            out.append(e);
    }
    return out;
}

// ------------------------------------------------------------------ canonical XML

// Prefixes are resolved to namespace URIs (the same paragraph may be written
// with another prefix), attributes are sorted, namespace declarations dropped,
// and whitespace-only text is dropped except inside the text-carrying elements.
class Canonical {
public:
    static QString of(const pugi::xml_node& node)
    {
        QString out;
        write(node, out);
        return out;
    }

private:
    static QString uriOf(pugi::xml_node n, const QString& prefix)
    {
        const QByteArray attr = prefix.isEmpty() ? QByteArray("xmlns") : "xmlns:" + prefix.toUtf8();
        for (; n; n = n.parent()) {
            if (pugi::xml_attribute a = n.attribute(attr.constData()))
                return QString::fromUtf8(a.value());
        }
        return prefix;   // undeclared: keep what was written
    }

    static QString expanded(const pugi::xml_node& scope, const char* raw, bool isAttribute)
    {
        const QString name = QString::fromUtf8(raw);
        const qsizetype colon = name.indexOf(QLatin1Char(':'));
        if (colon < 0)
            return isAttribute ? name : QLatin1Char('{') + uriOf(scope, QString()) + QLatin1Char('}') + name;
        const QString prefix = name.left(colon);
        if (prefix == QLatin1String("xml"))
            return name;
        return QLatin1Char('{') + uriOf(scope, prefix) + QLatin1Char('}') + name.mid(colon + 1);
    }

    static bool keepsWhitespace(const QString& elementName)
    {
        return elementName.endsWith(QLatin1String("}t")) || elementName.endsWith(QLatin1String("}instrText"))
            || elementName.endsWith(QLatin1String("}delText")) || elementName.endsWith(QLatin1String("}delInstrText"));
    }

    static void write(const pugi::xml_node& n, QString& out)
    {
        const QString name = expanded(n, n.name(), false);
        QStringList attrs;
        for (const pugi::xml_attribute& a : n.attributes()) {
            const QString an = QString::fromUtf8(a.name());
            if (an == QLatin1String("xmlns") || an.startsWith(QLatin1String("xmlns:")))
                continue;
            attrs << expanded(n, a.name(), true) + QStringLiteral("=\"") + QString::fromUtf8(a.value()) + QLatin1Char('"');
        }
        std::sort(attrs.begin(), attrs.end());
        out += QLatin1Char('<') + name;
        for (const QString& a : attrs)
            out += QLatin1Char(' ') + a;
        out += QLatin1Char('>');
        for (const pugi::xml_node& c : n.children()) {
            if (c.type() == pugi::node_element) {
                write(c, out);
                continue;
            }
            if (c.type() != pugi::node_pcdata && c.type() != pugi::node_cdata)
                continue;
            const QString text = QString::fromUtf8(c.value());
            if (text.trimmed().isEmpty() && !keepsWhitespace(name))
                continue;
            out += text.toHtmlEscaped();
        }
        out += QStringLiteral("</") + name + QLatin1Char('>');
    }
};

// Canonical forms of every paragraph of a WordprocessingML part, in document order.
inline QStringList paragraphs(const pugi::xml_document& doc)
{
    QStringList out;
    struct Walker : pugi::xml_tree_walker {
        QStringList* out;
        bool for_each(pugi::xml_node& n) override
        {
            const QString name = QString::fromUtf8(n.name());
            if (n.type() == pugi::node_element && (name == QLatin1String("p") || name.endsWith(QLatin1String(":p"))))
                out->append(Canonical::of(n));
            return true;
        }
    } walker;
    walker.out = &out;
    const_cast<pugi::xml_document&>(doc).traverse(walker);
    return out;
}

} // namespace corpus
