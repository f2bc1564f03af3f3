#include "word/ooxml/docwriter.h"

#include "word/model/docmodel.h"
#include "word/model/formatprops.h"
#include "word/ooxml/docreader.h"
#include "word/ooxml/runproperties.h"
#include "word/ooxml/xmlnames.h"

#include <QRegularExpression>
#include <algorithm>
#include <QSet>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>

namespace word::ooxml {

namespace prop = model::prop;

namespace {

// The w:id of a content control's open XML (in its sdtPr), or of a tracked
// change's start tag; empty when it has none.
const QRegularExpression& controlIdPattern()
{
    static const QRegularExpression re(QStringLiteral("(<(?:[A-Za-z_][\\w.-]*:)?id\\s+(?:[A-Za-z_][\\w.-]*:)?val=\")(-?\\d+)(\")"));
    return re;
}
const QRegularExpression& changeIdPattern()
{
    static const QRegularExpression re(QStringLiteral("^(<[^>]*?\\s(?:[A-Za-z_][\\w.-]*:)?id=\")(-?\\d+)(\")"));
    return re;
}
const QRegularExpression& paraIdPattern()
{
    static const QRegularExpression re(QStringLiteral("\\s+[A-Za-z_][\\w.-]*:(?:paraId|textId)=\"[^\"]*\""));
    return re;
}

// Whether open starts with the start tag of the WordprocessingML element local.
bool startsElement(const QString& open, const QString& wq, QLatin1String local)
{
    const qsizetype n = 1 + wq.size() + local.size();
    return open.size() > n && open.at(0) == u'<' && QStringView(open).mid(1, wq.size()) == wq
           && QStringView(open).mid(1 + wq.size(), local.size()) == local
           && (open.at(n) == u' ' || open.at(n) == u'>' || open.at(n) == u'/');
}

bool isControl(const QString& open, const QString& wq) { return startsElement(open, wq, QLatin1String("sdt")); }

bool isChange(const QString& open, const QString& wq)
{
    for (const char* l : {"ins", "del", "moveTo", "moveFrom"})
        if (startsElement(open, wq, QLatin1String(l)))
            return true;
    return false;
}

bool isHyperlink(const QString& open, const QString& wq) { return startsElement(open, wq, QLatin1String("hyperlink")); }

bool isSimpleField(const QString& open, const QString& wq) { return startsElement(open, wq, QLatin1String("fldSimple")); }

// A special character writes the XML it was read from only when that XML is
// its own: text typed next to an object takes the object's format, and a tab
// typed after a picture must not write the picture again.
bool charXmlFits(QChar c, const QString& xml, const QString& wq)
{
    auto is = [&](QLatin1String local) { return startsElement(xml, wq, local); };
    switch (c.unicode()) {
    case 0xFFFC:
        return true;
    case '\t':
        return is(QLatin1String("tab")) || is(QLatin1String("ptab"));
    case 0x2028:
        return is(QLatin1String("br")) || is(QLatin1String("cr"));
    case 0x2011:
        return is(QLatin1String("noBreakHyphen"));
    case 0x00AD:
        return is(QLatin1String("softHyphen"));
    default:
        return false;
    }
}

// xml with the content of each of its text boxes (the boxes the reader and
// the save check see) replaced by content; as it was when it does not parse.
QString withTextBoxContent(const QString& xml, const QByteArray& content)
{
    constexpr unsigned flags = pugi::parse_default | pugi::parse_ws_pcdata;
    pugi::xml_document doc;
    const QByteArray utf8 = xml.toUtf8();
    if (!doc.load_buffer(utf8.constData(), size_t(utf8.size()), flags, pugi::encoding_utf8) || !doc.first_child())
        return xml;
    for (pugi::xml_node box : textBoxContents(doc.first_child())) {
        while (box.first_child())
            box.remove_child(box.first_child());
        if (!box.append_buffer(content.constData(), size_t(content.size()), flags | pugi::parse_fragment, pugi::encoding_utf8))
            return xml;
    }
    return nodeXml(doc.first_child());
}

std::vector<int> parsePath(const QString& path)
{
    std::vector<int> out;
    if (path.isEmpty())
        return out;
    for (QStringView part : QStringView(path).split(u',')) {
        bool ok = false;
        const int v = part.toInt(&ok);
        if (ok)
            out.push_back(v);
    }
    return out;
}

// The block wrappers open at one level of containers (a frame, a cell's
// content, a table's rows, a row's cells), with the inline wrappers that run
// on from one paragraph into the next.
struct Level {
    std::vector<int> path;
    std::vector<int> carry;   // markup indices of inline opens continued in the next paragraph
};

class Writer {
public:
    Writer(const model::DocModel& m, BlockSubstitute skip, WriteIds* ids)
        : m_model(m), m_pre(m.preserved()), m_skip(std::move(skip)), m_wq(m.preserved().wPrefix)
    {
        if (!ids) {
            m_ownIds = WriteIds::startingAfter(m);
            ids = &m_ownIds;
        }
        m_ids = ids;
        m_bookmarkEnd = u'<' + tag("bookmarkEnd") + u' ' + tag("id") + QStringLiteral("=\"");
        m_bookmarkStart = u'<' + tag("bookmarkStart") + u' ' + tag("id") + QStringLiteral("=\"");
        m_nameAttr = QStringLiteral("\" ") + tag("name") + QStringLiteral("=\"");
        m_runOpen = u'<' + tag("r") + u'>';
        m_runClose = QStringLiteral("</") + tag("r") + u'>';
        m_textOpen = u'<' + tag("t") + u'>';
        m_textOpenKeep = u'<' + tag("t") + QStringLiteral(" xml:space=\"preserve\">");
        m_textClose = QStringLiteral("</") + tag("t") + u'>';
        m_tab = u'<' + tag("tab") + QStringLiteral("/>");
        m_br = u'<' + tag("br") + QStringLiteral("/>");
        m_out.reserve(m_pre.head.size() + m_pre.tail.size() + m.text()->characterCount() * 3 + 4096);
    }
    QByteArray run(int from, int to);

private:
    int writeFrame(QTextFrame* frame);
    int writeCell(const QTextTableCell& cell);
    void writeTable(QTextTable* t);
    bool writeBlock(const QTextBlock& b, Level& level);
    void generateParagraph(const QTextBlock& b, bool firstUse, Level& level);
    void writeAnchor(const model::AnchorPoint& p);
    void enterPath(std::vector<int>& open, const QString& path);
    void leavePath(std::vector<int>& open) { enterPath(open, QString()); }
    QString wrapperOpen(const QString& xml, bool copy);
    const QString& closeOf(int group);
    void writeItem(const QVariant& ref);
    void writeRun(QStringView text, const QTextCharFormat& f, int formatIndex);
    QString runProperties(const QTextCharFormat& f, int formatIndex);
    QString objectXml(const QTextCharFormat& f, const QString& xml);
    bool holdsChangedBox(const QTextBlock& b) const;
    int bookmarkId(const model::AnchorPoint& p);
    QString tag(const char* local) const { return m_wq + QLatin1String(local); }
    void put(const QString& s) { m_buf += s; if (m_buf.size() > 8192) flush(); }
    void put(const QByteArray& s) { flush(); m_out += s; }
    void flush() { m_out += m_buf.toUtf8(); m_buf.clear(); }

    const model::DocModel& m_model;
    const model::PreservedDocument& m_pre;
    BlockSubstitute m_skip;
    QString m_wq;   // the WordprocessingML prefix with its colon, as the part uses it
    // Tags written for every run and bookmark, made once per write.
    QString m_bookmarkEnd, m_bookmarkStart, m_nameAttr, m_runOpen, m_runClose;
    QString m_textOpen, m_textOpenKeep, m_textClose, m_tab, m_br;
    QString m_body;   // content of the run being written
    QByteArray m_out;
    QString m_buf;
    QSet<int> m_usedParagraphs;
    QHash<int, QString> m_runProperties;   // by the document's format index
    QHash<int, int> m_bookmarkIds;   // ids given in this write to bookmarks read without one, by serial
    WriteIds m_ownIds;
    WriteIds* m_ids = nullptr;
    QSet<int> m_openedWrappers;          // block wrappers opened so far: a second opening is a copy
    QSet<int> m_writtenItems;
    QHash<int, int> m_closeOfGroup;      // markup index of each inline wrapper's close, by group
    int m_from = -1;
    int m_to = -1;
};

QByteArray Writer::run(int from, int to)
{
    m_from = from;
    m_to = to;
    put(m_pre.head);
    const int blocks = writeFrame(m_model.text()->rootFrame());
    // A header, footer, note or comment holds at least one paragraph.
    if (blocks == 0 && !m_pre.head.contains("body>") && !m_pre.head.isEmpty())
        put(u'<' + tag("p") + QStringLiteral("/>"));
    flush();
    m_out += m_pre.tail;
    return m_out;
}

int Writer::writeFrame(QTextFrame* frame)
{
    Level level;
    int written = 0;
    for (QTextFrame::iterator it = frame->begin(); !it.atEnd(); ++it) {
        if (QTextFrame* child = it.currentFrame()) {
            if (auto* t = qobject_cast<QTextTable*>(child)) {
                if (m_from < 0 || !(t->lastPosition() < m_from || t->firstPosition() > m_to)) {
                    enterPath(level.path, t->format().stringProperty(prop::BlockPath));
                    ++written;
                }
                level.carry.clear();
                writeTable(t);
            }
            continue;
        }
        written += writeBlock(it.currentBlock(), level) ? 1 : 0;
    }
    leavePath(level.path);
    return written;
}

// Opens and closes block wrappers so that exactly those of path are open.
void Writer::enterPath(std::vector<int>& open, const QString& path)
{
    const std::vector<int> want = parsePath(path);
    size_t common = 0;
    while (common < open.size() && common < want.size() && open[common] == want[common])
        ++common;
    while (open.size() > common) {
        const int w = open.back();
        open.pop_back();
        if (w >= 0 && size_t(w) < m_pre.wrappers.size())
            put(m_pre.wrappers[size_t(w)].close);
    }
    for (size_t i = common; i < want.size(); ++i) {
        const int w = want[i];
        if (w < 0 || size_t(w) >= m_pre.wrappers.size())
            continue;   // an index from another document: the content is written without it
        const bool copy = m_openedWrappers.contains(w);
        m_openedWrappers.insert(w);
        put(wrapperOpen(m_pre.wrappers[size_t(w)].open, copy));
        open.push_back(w);
    }
}

// A wrapper's open XML as it is written now: a content control whose id has
// been written already, and any copy of a tracked change, get a new id.
QString Writer::wrapperOpen(const QString& xml, bool copy)
{
    if (isControl(xml, m_wq)) {
        const QRegularExpressionMatch m = controlIdPattern().match(xml);
        if (!m.hasMatch())
            return xml;
        const QString id = m.captured(2);
        if (!copy && !m_ids->controlIds.contains(id)) {
            m_ids->controlIds.insert(id);
            return xml;
        }
        const QString fresh = QString::number(m_ids->nextWrapper++);
        m_ids->controlIds.insert(fresh);
        return xml.left(m.capturedStart(2)) + fresh + xml.mid(m.capturedEnd(2));
    }
    if (copy && isChange(xml, m_wq)) {
        const QRegularExpressionMatch m = changeIdPattern().match(xml);
        if (m.hasMatch())
            return xml.left(m.capturedStart(2)) + QString::number(m_ids->nextWrapper++) + xml.mid(m.capturedEnd(2));
    }
    return xml;
}

const QString& Writer::closeOf(int group)
{
    static const QString none;
    if (m_closeOfGroup.isEmpty()) {
        for (size_t i = 0; i < m_pre.markups.size(); ++i)
            if (m_pre.markups[i].role == model::Markup::Close)
                m_closeOfGroup.insert(m_pre.markups[i].group, int(i));
    }
    const auto it = m_closeOfGroup.constFind(group);
    return it == m_closeOfGroup.constEnd() ? none : m_pre.markups[size_t(*it)].xml;
}

void Writer::writeItem(const QVariant& ref)
{
    if (!ref.isValid())
        return;
    const int i = ref.toInt();
    if (i < 0 || size_t(i) >= m_pre.items.size() || m_writtenItems.contains(i))
        return;
    m_writtenItems.insert(i);
    put(m_pre.items[size_t(i)]);
}

bool Writer::writeBlock(const QTextBlock& b, Level& level)
{
    if (m_from >= 0 && (b.position() + b.length() - 1 < m_from || b.position() > m_to))
        return false;
    const QTextBlockFormat bf = b.blockFormat();
    const QString path = bf.stringProperty(prop::BlockPath);
    if (m_skip) {
        QByteArray replacement;
        if (m_skip(b, replacement)) {
            if (!replacement.isEmpty()) {
                enterPath(level.path, path);
                put(replacement);
            }
            return !replacement.isEmpty();
        }
    }
    if (bf.boolProperty(prop::Phantom)) {
        bool anchored = false;
        m_model.anchors().forEachPoint(b.position(), b.position(), [&](const model::AnchorPoint&) { anchored = true; });
        const QVariant ref = bf.property(prop::PrefixRef);
        const bool hasItem = ref.isValid() && !m_writtenItems.contains(ref.toInt());
        if (b.length() <= 1 && !anchored && !hasItem)
            return false;
        enterPath(level.path, path);
        writeItem(ref);
        if (b.length() <= 1 && !anchored)
            return false;
        generateParagraph(b, true, level);
        return true;
    }
    enterPath(level.path, path);
    const QVariant idx = bf.property(prop::ParaIndex);
    const bool firstUse = !idx.isValid() || !m_usedParagraphs.contains(idx.toInt());
    if (idx.isValid() && m_from < 0 && firstUse && level.carry.empty()) {
        const int i = idx.toInt();
        if (i >= 0 && size_t(i) < m_pre.paragraphs.size()) {
            const model::PreservedParagraph& pp = m_pre.paragraphs[size_t(i)];
            if (pp.signature != 0 && !pp.edited && pp.signature == model::blockSignature(b, m_model.anchors())
                && !holdsChangedBox(b)) {
                m_usedParagraphs.insert(i);
                // The chunk holds the items kept before and after the paragraph.
                for (const int p : {prop::PrefixRef, prop::SuffixRef}) {
                    const QVariant r = bf.property(p);
                    if (r.isValid())
                        m_writtenItems.insert(r.toInt());
                }
                put(pp.chunk);
                return true;
            }
        }
    }
    if (idx.isValid())
        m_usedParagraphs.insert(idx.toInt());
    writeItem(bf.property(prop::PrefixRef));
    generateParagraph(b, firstUse, level);
    // A split paragraph's halves share the items after it: they follow the last half.
    const QVariant suffix = bf.property(prop::SuffixRef);
    if (suffix.isValid() && !(b.next().isValid() && b.next().blockFormat().property(prop::SuffixRef) == suffix))
        writeItem(suffix);
    return true;
}

void Writer::generateParagraph(const QTextBlock& b, bool firstUse, Level& level)
{
    const QTextBlockFormat bf = b.blockFormat();
    const QString attrs = bf.stringProperty(prop::ParaAttrs);
    if (attrs.isEmpty())
        put(u'<' + tag("p") + u'>');
    else   // the second half of a split paragraph is a paragraph of its own: no ids of the first
        put((firstUse ? attrs : QString(attrs).remove(paraIdPattern())) + u'>');
    QString pPr = bf.stringProperty(prop::PPrXml);
    const QString sect = bf.stringProperty(prop::SectPrXml);
    if (!sect.isEmpty()) {
        if (pPr.isEmpty()) {
            pPr = u'<' + tag("pPr") + u'>' + sect + QStringLiteral("</") + tag("pPr") + u'>';
        } else {
            qsizetype at = pPr.indexOf(u'<' + tag("pPrChange"));
            if (at < 0)
                at = pPr.lastIndexOf(u"</");
            if (at < 0) {   // <w:pPr/>
                pPr = u'<' + tag("pPr") + u'>' + sect + QStringLiteral("</") + tag("pPr") + u'>';
            } else {
                pPr.insert(at, sect);
            }
        }
    }
    put(pPr);
    const int from = b.position();
    const int to = from + b.length() - 1;
    const std::vector<model::AnchorPoint> points = m_model.anchors().points(from, to);
    // Inline wrappers open in this paragraph, outermost first. Those carried
    // from the paragraph before open again, with ids of their own.
    std::vector<int> open;
    for (const int m : level.carry) {
        put(wrapperOpen(m_pre.markups[size_t(m)].xml, true));
        open.push_back(m);
    }
    level.carry.clear();
    // A hyperlink whose text is gone goes too.
    QSet<int> dropped;
    for (size_t i = 0; i + 1 < points.size(); ++i) {
        const model::AnchorPoint& p = points[i];
        if (p.kind != model::AnchorPoint::Markup || m_pre.markups[size_t(p.ref)].role != model::Markup::Open
            || !isHyperlink(m_pre.markups[size_t(p.ref)].xml, m_wq))
            continue;
        const model::AnchorPoint& q = points[i + 1];
        if (q.kind == model::AnchorPoint::Markup && q.position == p.position
            && m_pre.markups[size_t(q.ref)].role == model::Markup::Close
            && m_pre.markups[size_t(q.ref)].group == m_pre.markups[size_t(p.ref)].group) {
            dropped.insert(p.ref);
            dropped.insert(q.ref);
        }
    }
    auto point = [&](const model::AnchorPoint& p) {
        if (p.kind != model::AnchorPoint::Markup || p.ref < 0 || size_t(p.ref) >= m_pre.markups.size()) {
            writeAnchor(p);
            return;
        }
        const model::Markup& mk = m_pre.markups[size_t(p.ref)];
        if (mk.role == model::Markup::Standalone) {
            writeAnchor(p);
            return;
        }
        if (dropped.contains(p.ref))
            return;
        if (mk.role == model::Markup::Open) {
            // A tracked change may hold runs, controls and smart tags but no
            // hyperlink or simple field: such a wrapper opening inside one
            // (text pasted there) goes around it instead.
            std::vector<int> lifted;
            if (isHyperlink(mk.xml, m_wq) || isSimpleField(mk.xml, m_wq)) {
                auto change = std::find_if(open.begin(), open.end(),
                                           [&](int m) { return isChange(m_pre.markups[size_t(m)].xml, m_wq); });
                lifted.assign(change, open.end());
                for (auto r = lifted.rbegin(); r != lifted.rend(); ++r)
                    put(closeOf(m_pre.markups[size_t(*r)].group));
                open.erase(change, open.end());
            }
            put(wrapperOpen(mk.xml, false));
            open.push_back(p.ref);
            for (const int m : lifted) {
                put(wrapperOpen(m_pre.markups[size_t(m)].xml, true));
                open.push_back(m);
            }
            return;
        }
        // A close: the wrappers opened inside it close first and open again after it.
        auto it = std::find_if(open.begin(), open.end(),
                               [&](int m) { return m_pre.markups[size_t(m)].group == mk.group; });
        if (it == open.end())
            return;   // its open went with an edit
        const std::vector<int> inner(it + 1, open.end());
        for (auto r = inner.rbegin(); r != inner.rend(); ++r)
            put(closeOf(m_pre.markups[size_t(*r)].group));
        put(mk.xml);
        open.erase(it, open.end());
        for (const int m : inner) {
            put(wrapperOpen(m_pre.markups[size_t(m)].xml, true));
            open.push_back(m);
        }
    };
    // Among the markup at one position, wrappers already open there close
    // before others open: two wrappers that merely touch never nest.
    auto closesOpen = [&](const model::AnchorPoint& p) {
        if (p.kind != model::AnchorPoint::Markup || p.ref < 0 || size_t(p.ref) >= m_pre.markups.size())
            return false;
        const model::Markup& mk = m_pre.markups[size_t(p.ref)];
        return mk.role == model::Markup::Close && std::any_of(open.begin(), open.end(), [&](int m) {
                   return m_pre.markups[size_t(m)].group == mk.group;
               });
    };
    size_t next = 0;
    auto anchorsUpTo = [&](int pos) {
        while (next < points.size() && points[next].position <= pos) {
            size_t end = next;
            while (end < points.size() && points[end].position == points[next].position
                   && points[end].kind == model::AnchorPoint::Markup)
                ++end;
            if (end - next < 2) {
                point(points[next++]);
                continue;
            }
            std::vector<bool> done(end - next, false);
            for (size_t i = next; i < end; ++i)
                if (closesOpen(points[i])) {
                    point(points[i]);
                    done[i - next] = true;
                }
            for (size_t i = next; i < end; ++i)
                if (!done[i - next])
                    point(points[i]);
            next = end;
        }
    };
    // The block's text once, cut at the fragments, which follow each other
    // from the block's start.
    const QString blockText = b.text();
    int fragStart = 0;
    for (auto it = b.begin(); !it.atEnd(); ++it) {
        const QTextFragment frag = it.fragment();
        const QStringView text = QStringView(blockText).mid(fragStart, frag.length());
        const QTextCharFormat f = frag.charFormat();
        const int formatIndex = frag.charFormatIndex();
        const int pos = from + fragStart;
        fragStart += frag.length();
        int done = 0;
        while (done < text.size()) {
            anchorsUpTo(pos + done);
            int stop = int(text.size());
            if (next < points.size() && points[next].position - pos < stop)
                stop = points[next].position - pos;
            if (stop <= done)
                stop = done + 1;
            writeRun(text.mid(done, stop - done), f, formatIndex);
            done = stop;
        }
    }
    anchorsUpTo(to);
    // Wrappers still open end with the paragraph; those that end in a later
    // paragraph of this container go on there.
    for (auto r = open.rbegin(); r != open.rend(); ++r)
        put(closeOf(m_pre.markups[size_t(*r)].group));
    for (const int m : open) {
        const auto closeIt = m_closeOfGroup.constFind(m_pre.markups[size_t(m)].group);
        if (closeIt == m_closeOfGroup.constEnd())
            continue;
        const auto closePos = m_model.anchors().markupPosition(m_pre.markups[size_t(*closeIt)].handle);
        if (!closePos || *closePos <= to)
            continue;
        const QTextBlock closeBlock = m_model.text()->findBlock(*closePos);
        if (QTextCursor(closeBlock).currentFrame() == QTextCursor(b).currentFrame())
            level.carry.push_back(m);
    }
    put(QStringLiteral("</") + tag("p") + u'>');
}

int Writer::bookmarkId(const model::AnchorPoint& p)
{
    if (p.xmlId >= 0)
        return p.xmlId;
    // Both ends of a new bookmark take the same new id.
    auto it = m_bookmarkIds.constFind(p.ref);
    if (it != m_bookmarkIds.constEnd())
        return *it;
    const int id = m_ids->nextBookmark++;
    m_bookmarkIds.insert(p.ref, id);
    return id;
}

void Writer::writeAnchor(const model::AnchorPoint& p)
{
    if (p.kind == model::AnchorPoint::Markup) {
        if (p.ref >= 0 && size_t(p.ref) < m_pre.markups.size())
            put(m_pre.markups[size_t(p.ref)].xml);
        return;
    }
    const int id = bookmarkId(p);
    if (p.kind == model::AnchorPoint::BookmarkEnd) {
        m_buf += m_bookmarkEnd;
        m_buf += QString::number(id);
        put(QStringLiteral("\"/>"));
        return;
    }
    m_buf += m_bookmarkStart;
    m_buf += QString::number(id);
    m_buf += m_nameAttr;
    appendEscaped(m_buf, p.name, true);
    put(QStringLiteral("\"/>"));
}

QString Writer::runProperties(const QTextCharFormat& f, int formatIndex)
{
    const auto known = m_runProperties.constFind(formatIndex);
    if (known != m_runProperties.constEnd())
        return *known;
    const QString rPr = f.stringProperty(prop::RPrXml);
    const QString sig = f.stringProperty(prop::LookSig);
    const QString now = lookSignature(f);
    if (sig == now) {
        m_runProperties.insert(formatIndex, rPr);
        return rPr;
    }
    RunLook was = parseLookSignature(sig);
    if (sig.isEmpty())
        was.size = -1;   // a run of unknown origin: write its size
    const QString patched = patchRunProperties(rPr, m_wq, was, parseLookSignature(now));
    m_runProperties.insert(formatIndex, patched);
    return patched;
}

// An object's XML; a text box changed since it was read takes its story's content.
QString Writer::objectXml(const QTextCharFormat& f, const QString& xml)
{
    if (m_ids->changedBoxes.isEmpty() || !f.hasProperty(prop::TextBoxId))
        return xml;
    const model::DocModel* box = m_ids->changedBoxes.value(f.intProperty(prop::TextBoxId));
    if (!box)
        return xml;
    return withTextBoxContent(xml, writeDocumentXml(*box, {}, m_ids));
}

bool Writer::holdsChangedBox(const QTextBlock& b) const
{
    if (m_ids->changedBoxes.isEmpty())
        return false;
    for (auto it = b.begin(); !it.atEnd(); ++it) {
        const QTextCharFormat f = it.fragment().charFormat();
        if (f.hasProperty(prop::TextBoxId) && m_ids->changedBoxes.contains(f.intProperty(prop::TextBoxId)))
            return true;
    }
    return false;
}

void Writer::writeRun(QStringView text, const QTextCharFormat& f, int formatIndex)
{
    const QString charXml = f.stringProperty(prop::CharXml);
    m_body.clear();
    qsizetype plainFrom = -1;
    auto flushText = [&](qsizetype to) {
        if (plainFrom < 0)
            return;
        const QStringView plain = text.mid(plainFrom, to - plainFrom);
        m_body += plain.front().isSpace() || plain.back().isSpace() ? m_textOpenKeep : m_textOpen;
        appendEscaped(m_body, plain, false);
        m_body += m_textClose;
        plainFrom = -1;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const ushort u = c.unicode();
        const bool special = u == '\t' || c == QChar::LineSeparator || c == QChar::ObjectReplacementCharacter
                             || u == 0x2011 || u == 0x00AD;
        if (!special) {
            if (plainFrom < 0)
                plainFrom = i;
            continue;
        }
        flushText(i);
        if (!charXml.isEmpty() && charXmlFits(c, charXml, m_wq))
            m_body += objectXml(f, charXml);
        else if (u == '\t')
            m_body += m_tab;
        else if (c == QChar::LineSeparator)
            m_body += m_br;
        else if (u == 0x2011)
            m_body += u'<' + tag("noBreakHyphen") + QStringLiteral("/>");
        else if (u == 0x00AD)
            m_body += u'<' + tag("softHyphen") + QStringLiteral("/>");
    }
    flushText(text.size());
    if (m_body.isEmpty())
        return;
    m_buf += m_runOpen;
    m_buf += runProperties(f, formatIndex);
    m_buf += m_body;
    put(m_runClose);
}

void Writer::writeTable(QTextTable* t)
{
    const QTextTableFormat tf = t->format();
    if (m_from >= 0 && (t->lastPosition() < m_from || t->firstPosition() > m_to))
        return;
    const QVariant idx = tf.property(prop::TableIndex);
    const model::PreservedTable* pt = idx.isValid() && size_t(idx.toInt()) < m_pre.tables.size()
                                          ? &m_pre.tables[size_t(idx.toInt())] : nullptr;
    put(tf.stringProperty(prop::PrefixXml));
    if (pt) {
        put(pt->open);
    } else {
        put(QStringLiteral("<%1><%2><%3 %4=\"0\" %5=\"auto\"/></%2><%6>")
                .arg(tag("tbl"), tag("tblPr"), tag("tblW"), tag("w"), tag("type"), tag("tblGrid")));
        for (int c = 0; c < t->columns(); ++c)
            put(u'<' + tag("gridCol") + QStringLiteral("/>"));
        put(QStringLiteral("</") + tag("tblGrid") + u'>');
    }
    std::vector<int> rowWrappers;
    for (int r = 0; r < t->rows(); ++r) {
        const size_t ri = size_t(r);
        if (pt && ri < pt->rowPath.size())
            enterPath(rowWrappers, pt->rowPath[ri]);
        const QString rowOpen = pt && ri < pt->rowOpen.size() ? pt->rowOpen[ri] : QString();
        put(rowOpen.isEmpty() ? u'<' + tag("tr") + u'>' : rowOpen);
        std::vector<int> cellWrappers;
        for (int c = 0; c < t->columns(); ++c) {
            const QTextTableCell cell = t->cellAt(r, c);
            const QTextCharFormat cf = cell.format();
            const QString cont = pt ? pt->continuation.value(model::PreservedTable::key(r, c)) : QString();
            if (!cont.isEmpty()) {
                enterPath(cellWrappers, cf.stringProperty(prop::CellPath));
                put(cf.stringProperty(prop::CellLeadXml));
                put(cont);
                continue;
            }
            if (cell.row() != r || cell.column() != c || cf.boolProperty(prop::CellAbsent))
                continue;
            enterPath(cellWrappers, cf.stringProperty(prop::CellPath));
            put(cf.stringProperty(prop::CellLeadXml));
            put(u'<' + tag("tc") + u'>' + cf.stringProperty(prop::CellXml));
            if (writeCell(cell) == 0)
                put(u'<' + tag("p") + QStringLiteral("/>"));
            put(QStringLiteral("</") + tag("tc") + u'>');
        }
        leavePath(cellWrappers);
        if (pt && ri < pt->rowTail.size())
            put(pt->rowTail[ri]);
        put(QStringLiteral("</") + tag("tr") + u'>');
    }
    leavePath(rowWrappers);
    if (pt)
        put(pt->tail);
    put(QStringLiteral("</") + tag("tbl") + u'>');
    put(tf.stringProperty(prop::SuffixXml));
}

int Writer::writeCell(const QTextTableCell& cell)
{
    int paragraphs = 0;
    Level level;
    bool lastWasTable = false;
    for (QTextFrame::iterator it = cell.begin(); !it.atEnd(); ++it) {
        if (QTextFrame* child = it.currentFrame()) {
            if (auto* t = qobject_cast<QTextTable*>(child)) {
                enterPath(level.path, t->format().stringProperty(prop::BlockPath));
                level.carry.clear();
                writeTable(t);
                lastWasTable = true;
            }
            continue;
        }
        if (writeBlock(it.currentBlock(), level)) {
            ++paragraphs;
            lastWasTable = false;
        }
    }
    leavePath(level.path);
    // A cell ends with a paragraph, also after a table inside it.
    if (lastWasTable && paragraphs > 0)
        put(u'<' + tag("p") + QStringLiteral("/>"));
    return paragraphs;
}

} // namespace

WriteIds WriteIds::startingAfter(const model::DocModel& main)
{
    WriteIds ids;
    int bookmarks = main.preserved().maxBookmarkId;
    int wrappers = main.preserved().maxWrapperId;
    for (const model::Story& s : main.stories()) {
        bookmarks = std::max(bookmarks, s.model->preserved().maxBookmarkId);
        wrappers = std::max(wrappers, s.model->preserved().maxWrapperId);
        if (s.kind == model::Story::TextBox && s.model->revision() != s.readRevision)
            ids.changedBoxes.insert(s.boxId, s.model.get());
    }
    ids.nextBookmark = bookmarks + 1;
    ids.nextWrapper = wrappers + 1;
    return ids;
}

QByteArray writeDocumentXml(const model::DocModel& model, const BlockSubstitute& skip, WriteIds* ids)
{
    return Writer(model, skip, ids).run(-1, -1);
}

QByteArray writeRangeXml(const model::DocModel& model, int start, int end)
{
    return Writer(model, {}, nullptr).run(start, end);
}

} // namespace word::ooxml
