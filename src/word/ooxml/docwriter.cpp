#include "word/ooxml/docwriter.h"

#include "word/model/docmodel.h"
#include "word/model/formatprops.h"
#include "word/ooxml/docreader.h"
#include "word/ooxml/runproperties.h"
#include "word/ooxml/xmlnames.h"

#include <QSet>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>

namespace word::ooxml {

namespace prop = model::prop;

namespace {

class Writer {
public:
    Writer(const model::DocModel& m, BlockSubstitute skip)
        : m_model(m), m_pre(m.preserved()), m_skip(std::move(skip)), m_wq(m.preserved().wPrefix)
    {
        m_nextId = m_pre.maxBookmarkId + 1;
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
    void writeFrame(QTextFrame* frame);
    int writeCell(const QTextTableCell& cell);
    void writeTable(QTextTable* t);
    bool writeBlock(const QTextBlock& b);
    void generateParagraph(const QTextBlock& b);
    void writeAnchor(const model::AnchorPoint& p);
    void writeRun(const QString& text, const QTextCharFormat& f);
    QString runProperties(const QTextCharFormat& f);
    int bookmarkId(const QString& name);
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
    QHash<QString, int> m_ids;   // bookmark ids given in this write, by folded name
    int m_nextId = 1;
    int m_from = -1;
    int m_to = -1;
};

QByteArray Writer::run(int from, int to)
{
    m_from = from;
    m_to = to;
    put(m_pre.head);
    writeFrame(m_model.text()->rootFrame());
    flush();
    m_out += m_pre.tail;
    return m_out;
}

void Writer::writeFrame(QTextFrame* frame)
{
    for (QTextFrame::iterator it = frame->begin(); !it.atEnd(); ++it) {
        if (QTextFrame* child = it.currentFrame()) {
            if (auto* t = qobject_cast<QTextTable*>(child))
                writeTable(t);
            continue;
        }
        writeBlock(it.currentBlock());
    }
}

bool Writer::writeBlock(const QTextBlock& b)
{
    if (m_from >= 0 && (b.position() + b.length() - 1 < m_from || b.position() > m_to))
        return false;
    if (m_skip) {
        QByteArray replacement;
        if (m_skip(b, replacement)) {
            put(replacement);
            return !replacement.isEmpty();
        }
    }
    const QTextBlockFormat bf = b.blockFormat();
    if (bf.boolProperty(prop::Phantom)) {
        put(bf.stringProperty(prop::PrefixXml));
        bool anchored = false;
        m_model.anchors().forEachPoint(b.position(), b.position(), [&](const model::AnchorPoint&) { anchored = true; });
        if (b.length() <= 1 && !anchored)
            return false;
        generateParagraph(b);
        return true;
    }
    const QVariant idx = bf.property(prop::ParaIndex);
    if (idx.isValid() && m_from < 0) {
        const int i = idx.toInt();
        if (i >= 0 && size_t(i) < m_pre.paragraphs.size() && !m_usedParagraphs.contains(i)) {
            const model::PreservedParagraph& pp = m_pre.paragraphs[size_t(i)];
            if (pp.signature != 0 && pp.signature == model::blockSignature(b, m_model.anchors())) {
                m_usedParagraphs.insert(i);
                put(pp.chunk);
                return true;
            }
        }
    }
    if (idx.isValid())
        m_usedParagraphs.insert(idx.toInt());
    put(bf.stringProperty(prop::PrefixXml));
    generateParagraph(b);
    put(bf.stringProperty(prop::SuffixXml));
    return true;
}

void Writer::generateParagraph(const QTextBlock& b)
{
    const QTextBlockFormat bf = b.blockFormat();
    put(u'<' + tag("p") + u'>');
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
    std::vector<model::AnchorPoint> points;
    m_model.anchors().forEachPoint(from, to, [&](const model::AnchorPoint& p) { points.push_back(p); });
    size_t next = 0;
    auto anchorsUpTo = [&](int pos) {
        while (next < points.size() && points[next].position <= pos)
            writeAnchor(points[next++]);
    };
    for (auto it = b.begin(); !it.atEnd(); ++it) {
        const QTextFragment frag = it.fragment();
        const QString text = frag.text();
        const QTextCharFormat f = frag.charFormat();
        int pos = frag.position();
        int done = 0;
        while (done < text.size()) {
            anchorsUpTo(pos + done);
            int stop = int(text.size());
            if (next < points.size() && points[next].position - pos < stop)
                stop = points[next].position - pos;
            if (stop <= done)
                stop = done + 1;
            writeRun(text.mid(done, stop - done), f);
            done = stop;
        }
    }
    anchorsUpTo(to);
    put(QStringLiteral("</") + tag("p") + u'>');
}

int Writer::bookmarkId(const QString& name)
{
    // Both ends of a bookmark come with its stored spelling, so no folding is needed.
    const QString& key = name;
    auto it = m_ids.constFind(key);
    if (it != m_ids.constEnd())
        return *it;
    const auto info = m_model.anchors().bookmark(name);
    const int id = info && info->xmlId >= 0 ? info->xmlId : m_nextId++;
    m_ids.insert(key, id);
    return id;
}

void Writer::writeAnchor(const model::AnchorPoint& p)
{
    if (p.kind == model::AnchorPoint::Markup) {
        if (p.ref >= 0 && size_t(p.ref) < m_pre.markups.size())
            put(m_pre.markups[size_t(p.ref)].xml);
        return;
    }
    const int id = bookmarkId(p.name);
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

QString Writer::runProperties(const QTextCharFormat& f)
{
    const QString rPr = f.stringProperty(prop::RPrXml);
    const QString sig = f.stringProperty(prop::LookSig);
    const QString now = lookSignature(f);
    if (sig == now)
        return rPr;
    RunLook was = parseLookSignature(sig);
    if (sig.isEmpty())
        was.size = -1;   // a run of unknown origin: write its size
    return patchRunProperties(rPr, m_wq, was, parseLookSignature(now));
}

void Writer::writeRun(const QString& text, const QTextCharFormat& f)
{
    const QString charXml = f.stringProperty(prop::CharXml);
    m_body.clear();
    qsizetype plainFrom = -1;
    auto flushText = [&](qsizetype to) {
        if (plainFrom < 0)
            return;
        const QStringView plain = QStringView(text).mid(plainFrom, to - plainFrom);
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
        if (!charXml.isEmpty())
            m_body += charXml;
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
    m_buf += runProperties(f);
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
    for (int r = 0; r < t->rows(); ++r) {
        const QString rowOpen = pt && size_t(r) < pt->rowOpen.size() ? pt->rowOpen[size_t(r)] : QString();
        put(rowOpen.isEmpty() ? u'<' + tag("tr") + u'>' : rowOpen);
        for (int c = 0; c < t->columns(); ++c) {
            const QString cont = pt ? pt->continuation.value(model::PreservedTable::key(r, c)) : QString();
            if (!cont.isEmpty()) {
                put(cont);
                continue;
            }
            const QTextTableCell cell = t->cellAt(r, c);
            if (cell.row() != r || cell.column() != c || cell.format().boolProperty(prop::CellAbsent))
                continue;
            put(u'<' + tag("tc") + u'>' + cell.format().stringProperty(prop::CellXml));
            if (writeCell(cell) == 0)
                put(u'<' + tag("p") + QStringLiteral("/>"));
            put(QStringLiteral("</") + tag("tc") + u'>');
        }
        put(QStringLiteral("</") + tag("tr") + u'>');
    }
    if (pt)
        put(pt->tail);
    put(QStringLiteral("</") + tag("tbl") + u'>');
    put(tf.stringProperty(prop::SuffixXml));
}

int Writer::writeCell(const QTextTableCell& cell)
{
    int paragraphs = 0;
    for (QTextFrame::iterator it = cell.begin(); !it.atEnd(); ++it) {
        if (QTextFrame* child = it.currentFrame()) {
            if (auto* t = qobject_cast<QTextTable*>(child))
                writeTable(t);
            continue;
        }
        paragraphs += writeBlock(it.currentBlock()) ? 1 : 0;
    }
    return paragraphs;
}

} // namespace

QByteArray writeDocumentXml(const model::DocModel& model, const BlockSubstitute& skip)
{
    return Writer(model, skip).run(-1, -1);
}

QByteArray writeRangeXml(const model::DocModel& model, int start, int end)
{
    return Writer(model, {}).run(start, end);
}

} // namespace word::ooxml
