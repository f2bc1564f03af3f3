#include "word/model/fragment.h"

#include "word/model/docmodel.h"
#include "word/model/formatprops.h"

#include <QDataStream>
#include <QHash>
#include <QIODevice>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace word::model {

namespace {

constexpr quint32 kMagic = 0x51464732;   // "QFG2"

// Where a block came from means nothing elsewhere: a pasted paragraph is
// always written anew, and container wrappers stay with their container.
QTextBlockFormat portable(QTextBlockFormat f)
{
    f.clearProperty(prop::ParaIndex);
    f.clearProperty(prop::PrefixXml);
    f.clearProperty(prop::SuffixXml);
    f.clearProperty(prop::Phantom);
    f.clearProperty(prop::SubdocSlot);
    f.clearProperty(prop::PrefixRef);
    f.clearProperty(prop::SuffixRef);
    f.clearProperty(prop::ParaAttrs);
    f.clearProperty(QTextFormat::ObjectIndex);
    return f;
}

bool portableMarkup(const QString& xml)
{
    // Markup that carries an id or refers to another part would be duplicated.
    return !(xml.contains(u"bookmark") || xml.contains(u"subDoc") || xml.contains(u"commentRange")
             || xml.contains(u"permStart") || xml.contains(u"permEnd") || xml.isEmpty());
}

} // namespace

int Fragment::length() const
{
    int n = 0;
    for (const Block& b : blocks) {
        for (const Run& r : b.runs)
            n += int(r.text.size());
        n += b.paragraphEnd ? 1 : 0;
    }
    return n;
}

QString Fragment::plainText() const
{
    QString s;
    for (const Block& b : blocks) {
        for (const Run& r : b.runs) {
            for (QChar c : r.text) {
                if (c == QChar::LineSeparator)
                    s += u'\n';
                else if (c != QChar::ObjectReplacementCharacter)
                    s += c;
            }
        }
        if (b.paragraphEnd)
            s += u'\n';
    }
    return s;
}

QString Fragment::html() const
{
    QTextDocument doc;
    QTextCursor c(&doc);
    bool first = true;
    for (const Block& b : blocks) {
        if (!first)
            c.insertBlock(b.format);
        else
            c.setBlockFormat(b.format);
        first = false;
        for (const Run& r : b.runs) {
            QString text = r.text;
            text.remove(QChar::ObjectReplacementCharacter);
            c.insertText(text, r.format);
        }
    }
    return doc.toHtml();
}

QByteArray Fragment::serialize() const
{
    QByteArray out;
    QDataStream s(&out, QIODevice::WriteOnly);
    s << kMagic << quint32(blocks.size());
    for (const Block& b : blocks) {
        s << QTextFormat(b.format) << QTextFormat(b.markFormat) << b.paragraphEnd << quint32(b.runs.size());
        for (const Run& r : b.runs)
            s << r.text << QTextFormat(r.format);
    }
    s << quint32(bookmarks.size());
    for (const Bookmark& m : bookmarks)
        s << m.name << qint32(m.start) << qint32(m.end);
    s << quint32(markups.size());
    for (const MarkupItem& m : markups)
        s << qint32(m.position) << m.xml << qint32(m.group) << qint32(m.role);
    return out;
}

Fragment Fragment::deserialize(const QByteArray& data)
{
    Fragment f;
    QDataStream s(data);
    quint32 magic = 0, nBlocks = 0;
    s >> magic >> nBlocks;
    if (magic != kMagic || nBlocks > 10'000'000)
        return {};
    for (quint32 i = 0; i < nBlocks && s.status() == QDataStream::Ok; ++i) {
        Block b;
        QTextFormat bf, mf;
        quint32 nRuns = 0;
        s >> bf >> mf >> b.paragraphEnd >> nRuns;
        b.format = bf.toBlockFormat();
        b.markFormat = mf.toCharFormat();
        for (quint32 k = 0; k < nRuns && s.status() == QDataStream::Ok; ++k) {
            Run r;
            QTextFormat rf;
            s >> r.text >> rf;
            r.format = rf.toCharFormat();
            b.runs.push_back(std::move(r));
        }
        f.blocks.push_back(std::move(b));
    }
    quint32 n = 0;
    s >> n;
    for (quint32 i = 0; i < n && s.status() == QDataStream::Ok; ++i) {
        Bookmark m;
        qint32 a = 0, e = 0;
        s >> m.name >> a >> e;
        m.start = a;
        m.end = e;
        f.bookmarks.push_back(m);
    }
    s >> n;
    for (quint32 i = 0; i < n && s.status() == QDataStream::Ok; ++i) {
        MarkupItem m;
        qint32 p = 0, g = 0, role = 0;
        s >> p >> m.xml >> g >> role;
        m.position = p;
        m.group = g;
        m.role = role;
        f.markups.push_back(m);
    }
    if (s.status() != QDataStream::Ok)
        return {};
    const int len = f.length();
    for (const Bookmark& m : f.bookmarks)
        if (m.start < 0 || m.end < m.start || m.end > len)
            return {};
    for (const MarkupItem& m : f.markups)
        if (m.position < 0 || m.position > len)
            return {};
    return f;
}

Fragment Fragment::fromPlainText(const QString& text, const QTextCharFormat& format)
{
    Fragment f;
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace(u'\r', u'\n');
    const QStringList paras = t.split(u'\n');
    for (qsizetype i = 0; i < paras.size(); ++i) {
        Block b;
        if (!paras[i].isEmpty())
            b.runs.push_back({paras[i], format});
        b.paragraphEnd = i + 1 < paras.size();
        f.blocks.push_back(std::move(b));
    }
    return f;
}

Fragment extractFragment(const DocModel& model, int start, int end)
{
    Fragment f;
    QTextDocument* doc = model.text();
    for (QTextBlock b = doc->findBlock(start); b.isValid() && b.position() <= end; b = b.next()) {
        const int bStart = b.position();
        const int bEnd = bStart + b.length() - 1;   // the paragraph mark
        if (bStart > end || (bStart == end && !f.blocks.empty()))
            break;
        Fragment::Block blk;
        blk.format = portable(b.blockFormat());
        blk.markFormat = b.charFormat();
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment frag = it.fragment();
            const int fs = std::max(start, frag.position());
            const int fe = std::min(end, frag.position() + frag.length());
            if (fe <= fs)
                continue;
            blk.runs.push_back({frag.text().mid(fs - frag.position(), fe - fs), frag.charFormat()});
        }
        blk.paragraphEnd = end > bEnd;
        f.blocks.push_back(std::move(blk));
    }
    for (const BookmarkInfo& bm : model.anchors().bookmarksInside(start, end, true))
        f.bookmarks.push_back({bm.name, bm.start - start, bm.end - start});
    const auto& markups = model.preserved().markups;
    QHash<int, int> groupCount;
    std::vector<std::pair<int, int>> found;   // position, markup index
    model.anchors().forEachPoint(start, end, [&](const AnchorPoint& p) {
        if (p.kind != AnchorPoint::Markup || p.ref < 0 || size_t(p.ref) >= markups.size())
            return;
        found.push_back({p.position, p.ref});
        ++groupCount[markups[size_t(p.ref)].group];
    });
    // A wrapper or a field travels only with all of its points.
    QHash<int, int> groupTotal;
    if (!groupCount.isEmpty()) {
        for (const Markup& m : markups)
            if (m.group >= 0 && groupCount.contains(m.group) && model.anchors().markupPosition(m.handle))
                ++groupTotal[m.group];
    }
    for (const auto& [pos, idx] : found) {
        const Markup& m = markups[size_t(idx)];
        if (!portableMarkup(m.xml) || (m.group >= 0 && groupCount.value(m.group) != groupTotal.value(m.group)))
            continue;
        f.markups.push_back({pos - start, m.xml, m.group, m.role});
    }
    return f;
}

int insertFragment(DocModel& model, int pos, const Fragment& f, bool adoptLastFormat)
{
    if (f.isEmpty())
        return pos;
    DocModel::EditScope scope(model);
    const int length = f.length();
    // The text goes in through replaceText so the anchors and undo follow;
    // formats are applied as the pieces are inserted.
    QTextCursor c(model.text());
    int at = pos;
    for (size_t i = 0; i < f.blocks.size(); ++i) {
        const Fragment::Block& b = f.blocks[i];
        for (const Fragment::Run& r : b.runs)
            at = model.replaceText(at, at, r.text, r.format, true);
        c.setPosition(at);
        if (b.paragraphEnd) {
            const QTextBlockFormat host = c.blockFormat();
            const QTextCharFormat hostMark = c.blockCharFormat();
            // A pasted paragraph lies in the wrappers of the place it goes to.
            QTextBlockFormat pasted = portable(b.format);
            pasted.setProperty(prop::BlockPath, host.property(prop::BlockPath));
            c.setBlockFormat(pasted);
            c.setBlockCharFormat(b.markFormat);
            at = model.replaceText(at, at, QStringLiteral("\r"), hostMark, true);
            c.setPosition(at);
            c.setBlockFormat(host);
        } else if (adoptLastFormat && i + 1 == f.blocks.size()) {
            QTextBlockFormat pasted = portable(b.format);
            pasted.setProperty(prop::BlockPath, c.blockFormat().property(prop::BlockPath));
            c.setBlockFormat(pasted);
            c.setBlockCharFormat(b.markFormat);
        }
    }
    Q_ASSERT(at == pos + length);
    for (const Fragment::Bookmark& m : f.bookmarks) {
        if (!model.anchors().hasBookmark(m.name))
            model.addBookmark(m.name, pos + m.start, pos + m.end);
    }
    QHash<int, int> groups;
    for (const Fragment::MarkupItem& m : f.markups) {
        int g = -1;
        if (m.group >= 0) {
            auto it = groups.find(m.group);
            if (it == groups.end())
                it = groups.insert(m.group, model.preserved().nextGroup++);
            g = *it;
        }
        model.addMarkup(pos + m.position, m.xml, g, m.role);
    }
    return pos + length;
}

} // namespace word::model
