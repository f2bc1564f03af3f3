#include "word/opc/xmllimits.h"

#include "word/error.h"

#include <QRegularExpression>
#include <QStringDecoder>
#include <array>
#include <bit>
#include <cstring>
#include <limits>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace word::opc {

bool TextBudget::consume(qint64 n)
{
    if (n > m_limit - m_used)
        return false;
    m_used += n;
    return true;
}

namespace {

const QString kDoctypeProblem = QStringLiteral("DOCTYPE-deklarációt tartalmaz, ami nem megengedett");

// Finds "<!DOCTYPE" (any case) outside comments, CDATA sections and
// processing instructions. Looking at the bytes before parsing means that no
// parser ever sees a document type declaration, whatever it would do with it.
bool hasDoctype(const QByteArray& utf8)
{
    const char* p = utf8.constData();
    const char* end = p + utf8.size();
    auto skipPast = [&](const char* from, const char* token) {
        const char* hit = static_cast<const char*>(memmem(from, end - from, token, std::strlen(token)));
        return hit ? hit + std::strlen(token) : end;
    };
    while (p < end) {
        const char* lt = static_cast<const char*>(memchr(p, '<', end - p));
        if (!lt)
            return false;
        const qsizetype left = end - lt;
        if (left < 2 || (lt[1] != '!' && lt[1] != '?')) {
            p = lt + 1;   // a tag: the common case
        } else if (left >= 4 && std::memcmp(lt, "<!--", 4) == 0) {
            p = skipPast(lt + 4, "-->");
        } else if (left >= 9 && std::memcmp(lt, "<![CDATA[", 9) == 0) {
            p = skipPast(lt + 9, "]]>");
        } else if (left >= 2 && lt[1] == '?') {
            p = skipPast(lt + 2, "?>");
        } else if (left >= 9 && qstrnicmp(lt, "<!DOCTYPE", 9) == 0) {
            return true;
        } else {
            p = lt + 1;
        }
    }
    return false;
}

QString declaredEncoding(const QByteArray& utf8)
{
    static const QRegularExpression re(
        QStringLiteral("^\\s*<\\?xml[^>]*?encoding\\s*=\\s*[\"']([A-Za-z0-9._-]+)[\"']"));
    const auto m = re.match(QString::fromLatin1(utf8.left(256)));
    return m.hasMatch() ? m.captured(1).toLower() : QString();
}

// Windows-1252 is Latin-1 except for 0x80-0x9F, where it has printable
// characters (the euro sign, typographic quotes, dashes, ...) instead of
// control codes. The five bytes it leaves undefined read as U+FFFD.
QString fromWindows1252(const QByteArray& data)
{
    static const char16_t high[32] = {
        0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD,
        0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
        0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};
    QString out(data.size(), Qt::Uninitialized);
    QChar* o = out.data();
    for (const char ch : data) {
        const auto b = static_cast<unsigned char>(ch);
        *o++ = b >= 0x80 && b < 0xA0 ? QChar(high[b - 0x80]) : QChar(b);
    }
    return out;
}

// Brings data to UTF-8 without a byte order mark. Sets problem when the
// encoding is one the engine does not read.
QByteArray toUtf8(const QByteArray& data, QString& problem)
{
    auto decodeWith = [&](QStringConverter::Encoding enc, qsizetype skip) {
        QStringDecoder dec(enc);
        const QString s = dec.decode(QByteArrayView(data.constData() + skip, data.size() - skip));
        if (dec.hasError())
            problem = QStringLiteral("érvénytelen UTF-16 kódolású szöveget tartalmaz");
        return s.toUtf8();
    };
    if (data.startsWith("\xEF\xBB\xBF"))
        return data.mid(3);
    if (data.startsWith("\xFF\xFE"))
        return decodeWith(QStringConverter::Utf16LE, 2);
    if (data.startsWith("\xFE\xFF"))
        return decodeWith(QStringConverter::Utf16BE, 2);
    if (data.startsWith(QByteArray("<\0?\0", 4)))
        return decodeWith(QStringConverter::Utf16LE, 0);
    if (data.startsWith(QByteArray("\0<\0?", 4)))
        return decodeWith(QStringConverter::Utf16BE, 0);
    const QString enc = declaredEncoding(data);
    if (enc.isEmpty() || enc == u"utf-8" || enc == u"utf8" || enc == u"us-ascii" || enc == u"ascii")
        return data;
    if (enc == u"iso-8859-1" || enc == u"latin1" || enc == u"latin-1")
        return QString::fromLatin1(data).toUtf8();
    if (enc == u"windows-1252" || enc == u"cp1252")
        return fromWindows1252(data).toUtf8();
    if (enc.startsWith(u"utf-16"))
        return data;   // declared UTF-16 but written as 8-bit text: read as it is
    problem = QStringLiteral("nem támogatott karakterkódolású (%1)").arg(enc);
    return {};
}

QString syntaxProblem(const pugi::xml_parse_result& r)
{
    QString what;
    switch (r.status) {
    case pugi::status_out_of_memory: return QStringLiteral("feldolgozásához nincs elég memória");
    case pugi::status_end_element_mismatch: what = QStringLiteral("a záró elemek nem illeszkednek"); break;
    case pugi::status_no_document_element: what = QStringLiteral("nincs gyökéreleme"); break;
    case pugi::status_bad_attribute: what = QStringLiteral("hibás attribútum"); break;
    case pugi::status_bad_doctype: return kDoctypeProblem;
    default: what = QStringLiteral("szintaktikai hiba"); break;
    }
    return QStringLiteral("nem jól formált XML (%1 a(z) %2. bájtnál)").arg(what).arg(r.offset + 1);
}

// Characters of UTF-8 text: its bytes less its continuation bytes
// (10xxxxxx), counted eight at a time.
qint64 characterCount(const char* from, const char* to)
{
    constexpr quint64 kHigh = 0x8080808080808080ULL;
    constexpr quint64 kOnes = 0x0101010101010101ULL;
    qint64 continuation = 0;
    const char* p = from;
    for (; to - p >= 8; p += 8) {
        quint64 w;
        std::memcpy(&w, p, 8);
        // One bit a continuation byte, at the bottom of its byte; the
        // multiplication adds the eight bytes up into the top one.
        continuation += qint64((((w & ~(w << 1) & kHigh) >> 7) * kOnes) >> 56);
    }
    for (; p < to; ++p)
        continuation += (static_cast<unsigned char>(*p) & 0xC0) == 0x80;
    return qint64(to - from) - continuation;
}

qint64 characterCount(const char* utf8)
{
    return characterCount(utf8, utf8 + std::strlen(utf8));
}

// Walks the tree (the parser's walk has no recursion) to check the nesting
// depth and add up the text. Returns the reason for refusal, or an empty
// string. The parser's own walk asks nothing across the library for the
// links from node to node; a contract has a few hundred thousand nodes.
QString checkTree(pugi::xml_document& doc, TextBudget& budget)
{
    struct Walker : pugi::xml_tree_walker {
        qint64 text = 0;
        QString problem;
        bool for_each(pugi::xml_node& node) override
        {
            switch (node.type()) {
            case pugi::node_element:
                if (depth() + 1 > kMaxXmlDepth) {
                    problem = QStringLiteral("%1 szintnél mélyebben egymásba ágyazott elemeket tartalmaz").arg(kMaxXmlDepth);
                    return false;
                }
                return true;
            case pugi::node_pcdata:
            case pugi::node_cdata:
                text += characterCount(node.value());
                return true;
            case pugi::node_doctype:
                problem = kDoctypeProblem;
                return false;
            default:
                return true;
            }
        }
    } walker;
    doc.traverse(walker);
    if (!walker.problem.isEmpty())
        return walker.problem;
    if (!budget.consume(walker.text))
        return QStringLiteral("túllépi a dokumentum szövegére megengedett %1 millió karaktert")
            .arg(budget.limit() / 1'000'000);
    return {};
}

void markUtf8(pugi::xml_document& doc)
{
    pugi::xml_node decl = doc.first_child();
    if (decl.type() != pugi::node_declaration)
        return;
    if (pugi::xml_attribute enc = decl.attribute("encoding"))
        enc.set_value("UTF-8");
}

constexpr unsigned kParseFlags = pugi::parse_default | pugi::parse_declaration | pugi::parse_comments
    | pugi::parse_pi | pugi::parse_ws_pcdata | pugi::parse_doctype;

// The part as UTF-8 in utf8, or the reason it is refused before any parse:
// an encoding the engine does not read, or a DOCTYPE.
QString admitted(const QByteArray& data, QByteArray& utf8)
{
    QString problem;
    utf8 = toUtf8(data, problem);
    if (problem.isEmpty() && hasDoctype(utf8))
        problem = kDoctypeProblem;
    return problem;
}

} // namespace

QString parseXmlChecked(const QByteArray& data, pugi::xml_document& doc, TextBudget& budget, QByteArray* parsed)
{
    doc.reset();
    QByteArray utf8;
    QString problem = admitted(data, utf8);
    if (!problem.isEmpty())
        return problem;
    if (parsed)
        *parsed = utf8;
    const pugi::xml_parse_result r = doc.load_buffer(utf8.constData(), size_t(utf8.size()), kParseFlags, pugi::encoding_utf8);
    if (!r) {
        const QString why = syntaxProblem(r);
        doc.reset();
        return why;
    }
    problem = checkTree(doc, budget);
    if (!problem.isEmpty()) {
        doc.reset();
        return problem;
    }
    markUtf8(doc);
    return {};
}

QString parseOwnXml(const QByteArray& data, pugi::xml_document& doc)
{
    const pugi::xml_parse_result r = doc.load_buffer(data.constData(), size_t(data.size()), kParseFlags, pugi::encoding_utf8);
    return r ? QString() : syntaxProblem(r);
}

namespace {

enum class AnchorKind { None, Bookmark, Other };

// Whether an element (by its qualified name) ends a range, and whether that
// range is a bookmark (counted once, at its start).
AnchorKind anchorKind(std::string_view qualified)
{
    // The shortest such name is "permEnd"; all end in 't' or 'd'. Nearly
    // every element of a document fails this first test.
    if (qualified.size() < 7 || (qualified.back() != 't' && qualified.back() != 'd'))
        return AnchorKind::None;
    const size_t colon = qualified.find(':');
    const std::string_view l = colon == std::string_view::npos ? qualified : qualified.substr(colon + 1);
    if (l == "bookmarkStart")
        return AnchorKind::Bookmark;
    return l == "bookmarkEnd" || l == "permStart" || l == "permEnd" || l.ends_with("RangeStart") || l.ends_with("RangeEnd")
        ? AnchorKind::Other
        : AnchorKind::None;
}

void count(AnchorKind kind, qint64& anchors, qint64& bookmarks)
{
    anchors += kind != AnchorKind::None;
    bookmarks += kind == AnchorKind::Bookmark;
}

} // namespace

namespace {

const char* findSequence(const char* from, const char* end, const char* what)
{
    return static_cast<const char*>(memmem(from, size_t(end - from), what, std::strlen(what)));
}

// The bytes that end an element's name.
constexpr std::array<bool, 256> kEndsName = [] {
    std::array<bool, 256> t{};
    for (const unsigned char c : { '>', '/', ' ', '\t', '\r', '\n' })
        t[c] = true;
    return t;
}();

// The first '>', '"' or '\'' from p on, or end. Sixteen bytes at a time
// where the processor has SSE2 (every x86-64 one does).
const char* tagStop(const char* p, const char* end)
{
#if defined(__SSE2__)
    const __m128i gt = _mm_set1_epi8('>');
    const __m128i dq = _mm_set1_epi8('"');
    const __m128i sq = _mm_set1_epi8('\'');
    for (; end - p >= 16; p += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i hit = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, gt), _mm_cmpeq_epi8(v, dq)), _mm_cmpeq_epi8(v, sq));
        if (const int mask = _mm_movemask_epi8(hit))
            return p + std::countr_zero(unsigned(mask));
    }
#endif
    while (p < end && *p != '>' && *p != '"' && *p != '\'')
        ++p;
    return p;
}

// One pass over UTF-8 markup without building a tree. Text is counted as
// written, so an entity reference counts as its letters: the count may be a
// little high, never low. Markup that ends early is counted as far as it goes;
// the reader's own parse reports it.
// Returns false, with the census unchanged, at a DOCTYPE.
bool scanMarkup(const QByteArray& utf8, XmlCensus& census)
{
    const char* p = utf8.constData();
    const char* const end = p + utf8.size();
    qint64 text = 0, anchors = 0, bookmarks = 0;
    while (p < end) {
        if (*p != '<') {
            const char* lt = static_cast<const char*>(std::memchr(p, '<', size_t(end - p)));
            const char* stop = lt ? lt : end;
            text += characterCount(p, stop);
            p = stop;
            continue;
        }
        if (end - p >= 4 && std::memcmp(p, "<!--", 4) == 0) {
            const char* close = findSequence(p + 4, end, "-->");
            p = close ? close + 3 : end;
            continue;
        }
        if (end - p >= 9 && std::memcmp(p, "<![CDATA[", 9) == 0) {
            const char* close = findSequence(p + 9, end, "]]>");
            text += characterCount(p + 9, close ? close : end);
            p = close ? close + 3 : end;
            continue;
        }
        if (end - p >= 2 && p[1] == '?') {
            const char* close = findSequence(p + 2, end, "?>");
            p = close ? close + 2 : end;
            continue;
        }
        if (end - p >= 9 && p[1] == '!' && qstrnicmp(p, "<!DOCTYPE", 9) == 0)
            return false;
        // An element's tag: its name, then on to the '>' outside quotes.
        const char* name = ++p;
        while (p < end && !kEndsName[static_cast<unsigned char>(*p)])
            ++p;
        if (p > name && *name != '/')
            count(anchorKind(std::string_view(name, size_t(p - name))), anchors, bookmarks);
        // On to the '>' that ends the tag; a quoted value may hold one.
        for (;;) {
            p = tagStop(p, end);
            if (p == end || *p == '>')
                break;
            const char* close = static_cast<const char*>(std::memchr(p + 1, *p, size_t(end - p - 1)));
            p = close ? close + 1 : end;
        }
        if (p < end)
            ++p;
    }
    census.text += text;
    census.anchors += anchors;
    census.bookmarks += bookmarks;
    return true;
}

} // namespace

QString quickCensusOf(const QByteArray& data, XmlCensus& census)
{
    // The scan finds a DOCTYPE where the parse's own look before parsing
    // would: outside comments, CDATA sections and processing instructions.
    QString problem;
    const QByteArray utf8 = toUtf8(data, problem);
    if (problem.isEmpty() && !scanMarkup(utf8, census))
        problem = kDoctypeProblem;
    return problem;
}

QString censusOf(const QByteArray& data, XmlCensus& census)
{
    pugi::xml_document doc;
    TextBudget unlimited(std::numeric_limits<qint64>::max());
    const QString problem = parseXmlChecked(data, doc, unlimited);
    if (!problem.isEmpty())
        return problem;
    census.text += unlimited.used();
    struct Counter : pugi::xml_tree_walker {
        qint64 anchors = 0, bookmarks = 0;
        bool for_each(pugi::xml_node& n) override
        {
            if (n.type() == pugi::node_element)
                count(anchorKind(std::string_view(n.name())), anchors, bookmarks);
            return true;
        }
    } counter;
    doc.traverse(counter);
    census.anchors += counter.anchors;
    census.bookmarks += counter.bookmarks;
    return {};
}

void parseXml(const QByteArray& data, pugi::xml_document& doc, const QString& partName, TextBudget& budget,
              QByteArray* parsed)
{
    const QString problem = parseXmlChecked(data, doc, budget, parsed);
    if (!problem.isEmpty())
        throw Error(QStringLiteral("A(z) „%1” rész nem dolgozható fel: %2.").arg(partName, problem));
}

void parseXml(const QByteArray& data, pugi::xml_document& doc, const QString& partName, QByteArray& parsed)
{
    TextBudget budget;
    parseXml(data, doc, partName, budget, &parsed);
}

void parseXml(const QByteArray& data, pugi::xml_document& doc, const QString& partName)
{
    TextBudget budget;
    parseXml(data, doc, partName, budget);
}

namespace {
struct ByteWriter : pugi::xml_writer {
    QByteArray out;
    void write(const void* data, size_t size) override { out.append(static_cast<const char*>(data), qsizetype(size)); }
};
} // namespace

QByteArray serializeXml(const pugi::xml_document& doc)
{
    ByteWriter w;
    if (doc.first_child().type() != pugi::node_declaration)
        w.out = QByteArrayLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n");
    doc.save(w, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
    return w.out;
}

} // namespace word::opc
