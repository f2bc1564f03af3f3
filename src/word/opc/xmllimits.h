#pragma once
// Safe XML parsing for package parts: refuses DOCTYPE (and so every entity
// trick), nesting deeper than 256 and more text than the package allows.

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <pugixml.hpp>

namespace word::opc {

constexpr int kMaxXmlDepth = 256;
constexpr qint64 kMaxTextChars = 10'000'000;
// Range ends (bookmarks, comment, permission and move ranges, ...) in all
// parts of a package together.
constexpr qint64 kMaxAnchors = 1'000'000;

// What one part holds that the package-wide limits count.
struct XmlCensus {
    qint64 text = 0;      // characters of element content and CDATA
    qint64 anchors = 0;   // range start and end elements
    qint64 bookmarks = 0; // of those, bookmark starts
};

// The characters of text (element content and CDATA) parsed so far from one
// package. Each part is measured once when it is parsed, so a document cannot
// slip past the limit by spreading its text over many parts. Parse each part
// once per package; a second parse counts its text again.
class TextBudget {
public:
    explicit TextBudget(qint64 limit = kMaxTextChars) : m_limit(limit) {}
    qint64 used() const { return m_used; }
    qint64 limit() const { return m_limit; }
    // Adds n characters; false (and nothing added) when that would pass the limit.
    bool consume(qint64 n);
    void reset() { m_used = 0; }

private:
    qint64 m_used = 0;
    qint64 m_limit;
};

// Parses data into doc; throws word::Error naming partName and the fault.
// A UTF-8 BOM before the declaration is accepted, and so are UTF-16 and
// ISO-8859-1 parts (converted to UTF-8, the declaration adjusted). Text,
// whitespace-only text included, comments and processing instructions are
// kept, so serializeXml gives back the same XML meaning.
void parseXml(const QByteArray& data, pugi::xml_document& doc, const QString& partName);
// The same, counting the part's text against budget (the package's running
// total), and keeping in parsed, when given, the bytes the parser read.
void parseXml(const QByteArray& data, pugi::xml_document& doc, const QString& partName, TextBudget& budget,
              QByteArray* parsed = nullptr);
// The same, keeping in parsed the very bytes the parser read (the part as
// UTF-8 without a byte order mark): xml_node::offset_debug() counts in them.
void parseXml(const QByteArray& data, pugi::xml_document& doc, const QString& partName, QByteArray& parsed);
// The reason data is refused, phrased to follow "the part ...", or an empty
// string when doc holds the parsed part. Used by callers that word the error.
QString parseXmlChecked(const QByteArray& data, pugi::xml_document& doc, TextBudget& budget,
                        QByteArray* parsed = nullptr);

// Parses XML this program has just written, to check it: the parse alone,
// without the checks that keep hostile files out. The reason it fails, or
// an empty string.
QString parseOwnXml(const QByteArray& data, pugi::xml_document& doc);

// Parses data (without a text limit of its own) and counts what it holds.
// Returns the reason the part cannot be parsed, as parseXmlChecked does, or
// an empty string.
QString censusOf(const QByteArray& data, XmlCensus& census);
// The same count in one pass over the bytes, without a parse: text as
// written (entity references count as their letters, so never too low),
// anchors by element name. Only an encoding the engine does not read and a
// DOCTYPE are reported; faults of the markup are left to the parse.
QString quickCensusOf(const QByteArray& data, XmlCensus& census);

// UTF-8, no indentation; adds the usual standalone declaration when doc has none.
QByteArray serializeXml(const pugi::xml_document& doc);

} // namespace word::opc
