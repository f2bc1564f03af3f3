#include "word/ooxml/docreader.h"

#include "word/error.h"
#include "word/model/docmodel.h"
#include "word/model/formatprops.h"
#include "word/model/imagestore.h"
#include "word/ooxml/numbering.h"
#include "word/ooxml/settingspart.h"
#include "word/ooxml/stylesheet.h"
#include "word/ooxml/xmlnames.h"
#include "word/opc/package.h"
#include "word/opc/xmllimits.h"

#include <QFileInfo>
#include <QImage>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>
#include <QUrl>
#include <cstring>

namespace word::ooxml {

namespace prop = model::prop;

QString lookSignature(const QTextCharFormat& f)
{
    QString sig(2, QLatin1Char('-'));
    if (f.fontWeight() >= QFont::Bold)
        sig[0] = QLatin1Char('B');
    if (f.fontItalic())
        sig[1] = QLatin1Char('I');
    return sig + QString::number(f.fontPointSize());
}

namespace {

const QString kImageRel = QStringLiteral("/image");
const QString kSubDocRel = QStringLiteral("/subDocument");

bool oneOf(const char* l, std::initializer_list<const char*> names)
{
    for (const char* n : names)
        if (std::strcmp(l, n) == 0)
            return true;
    return false;
}

// Children of a run that take no room in the text: kept as markup between runs.
bool zeroWidthRunChild(const char* l)
{
    return oneOf(l, {"fldChar", "instrText", "delInstrText", "lastRenderedPageBreak", "delText", "annotationRef",
                     "footnoteRef", "endnoteRef", "separator", "continuationSeparator", "dayShort", "monthShort",
                     "yearShort", "dayLong", "monthLong", "yearLong", "pgNum"});
}

// Paragraph-level elements that wrap runs: their content is read as text,
// their own tags are kept as a markup pair around it.
bool runWrapper(const char* l)
{
    return oneOf(l, {"hyperlink", "fldSimple", "smartTag", "customXml", "ins", "moveTo", "dir", "bdo", "sdt"});
}

bool propertyChild(const char* l)
{
    const size_t n = std::strlen(l);
    return (n > 2 && std::strcmp(l + n - 2, "Pr") == 0) || std::strcmp(l, "fldData") == 0;
}

struct Container {
    QTextCursor cur;
    bool fresh = true;           // the current block is empty and stands for no paragraph yet
    QByteArray pendingChunk;     // verbatim container-level XML waiting for the next paragraph
    QString pendingPrefix;       // the same without bookmarks, for a regenerated paragraph
    std::vector<pugi::xml_node> pendingBookmarks;
    bool forceRegenerate = false;
    int lastParagraph = -1;      // ParaIndex of the last paragraph read here
    QTextTable* lastTable = nullptr;
    bool lastWasTable = false;
};

void markPhantom(QTextCursor& cur)
{
    QTextBlockFormat bf;
    bf.setProperty(prop::Phantom, true);
    cur.setBlockFormat(bf);
}

struct OpenBookmark {
    QString name;
    int position;
    QString xml;
};

class Reader {
public:
    Reader(model::DocModel& m, const opc::Package& pkg, const ReadOptions& o) : m_model(m), m_pkg(pkg), m_options(o) {}
    void run();

private:
    void readSideParts();
    void readBody(pugi::xml_node body);
    void readBlocks(pugi::xml_node container, Container& ctx, pugi::xml_node stopAt = {}, bool atEnd = true);
    void readParagraph(pugi::xml_node p, Container& ctx);
    void readTable(pugi::xml_node tbl, Container& ctx);
    void readWrapperBlock(pugi::xml_node n, Container& ctx);
    void flushTrailing(Container& ctx);
    void appendTrailing(Container& ctx, const QByteArray& xml);
    void startBlock(Container& ctx, const QTextBlockFormat& bf, const QTextCharFormat& cf);
    void placePendingBookmarks(Container& ctx, int position);
    void readRunLevel(pugi::xml_node parent, QTextCursor& cur, const QTextCharFormat& paraChars, const QString& paraStyle);
    void readRun(pugi::xml_node r, QTextCursor& cur, const QTextCharFormat& paraChars, const QString& paraStyle);
    void insertSpecial(QTextCursor& cur, QChar c, QTextCharFormat f, const QString& xml, int kind);
    void insertDrawing(QTextCursor& cur, pugi::xml_node obj, QTextCharFormat f, const QString& xml);
    QTextCharFormat runFormat(pugi::xml_node rPr, const QTextCharFormat& paraChars, const QString& paraStyle);
    void bookmarkStart(pugi::xml_node n, int pos);
    void bookmarkEnd(pugi::xml_node n, int pos);
    void markup(int pos, const QString& xml, int group = -1) { m_model.addMarkup(pos, xml, group); }
    QString numberingLabel(pugi::xml_node pPr, const QString& styleId, QTextBlockFormat& bf);
    void showInList(QTextCursor& cur);
    void finish();

    model::DocModel& m_model;
    const opc::Package& m_pkg;
    const ReadOptions& m_options;
    QString m_part;
    XmlNames m_n;
    StyleSheet m_styles;
    Numbering m_numbering;
    bool m_hasNumbering = false;
    QHash<QString, OpenBookmark> m_open;        // by w:id
    QHash<QString, QString> m_rels;             // id -> absolute part name or external target
    QHash<QString, QTextCharFormat> m_runFormats;
    QHash<QString, QTextList*> m_lists;         // by numId and level, with the parent levels' labels
    QString m_listKey;                          // of the paragraph being read
    Numbering::Display m_listDisplay;
    std::vector<bool> m_forced;                 // paragraphs never written verbatim
    int m_tables = 0;
};

void Reader::run()
{
    m_part = m_pkg.mainPartName();
    pugi::xml_document doc;
    opc::parseXml(m_pkg.part(m_part), doc, m_part);
    const pugi::xml_node root = doc.document_element();
    m_n.init(root);
    if (!m_n.found() || !m_n.is(root, "document"))
        throw Error(QStringLiteral("A(z) „%1” fájl fő része nem Word-dokumentum (hiányzik a „document” gyökérelem).")
                        .arg(QFileInfo(m_pkg.fileName()).fileName()));
    m_model.mainPart = m_part;
    m_model.preserved().wPrefix = QString::fromStdString(m_n.prefix());
    m_model.preserved().rPrefix = QString::fromStdString(m_n.relPrefix());
    for (const opc::Relationship& r : m_pkg.relationships(m_part))
        m_rels.insert(r.id, r.external ? r.target : m_pkg.resolve(m_part, r.target));
    readSideParts();

    m_model.beginLoad();
    QByteArray head = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n";
    head += openTag(root).toUtf8();
    QByteArray tail;
    pugi::xml_node body;
    for (pugi::xml_node c = root.first_child(); c; c = c.next_sibling()) {
        if (m_n.is(c, "body") && !body) {
            body = c;
            head += openTag(c).toUtf8();
        } else if (c.type() == pugi::node_element) {
            (body ? tail : head) += nodeXmlUtf8(c);
        }
    }
    if (!body)
        throw Error(QStringLiteral("A(z) „%1” fájl dokumentumrészében nincs törzs („body”).")
                        .arg(QFileInfo(m_pkg.fileName()).fileName()));
    pugi::xml_node sectPr = m_n.child(body, "sectPr");
    m_model.preserved().head = head;
    m_model.preserved().tail = (sectPr ? nodeXmlUtf8(sectPr) : QByteArray()) + closeTag(body).toUtf8() + tail
                               + closeTag(root).toUtf8();
    readBody(body);
    finish();
    m_model.endLoad();
}

void Reader::readSideParts()
{
    QString stylesPart, numberingPart, settingsPart;
    for (const opc::Relationship& r : m_pkg.relationships(m_part)) {
        if (r.external)
            continue;
        if (r.type.endsWith(u"/styles"))
            stylesPart = m_pkg.resolve(m_part, r.target);
        else if (r.type.endsWith(u"/numbering"))
            numberingPart = m_pkg.resolve(m_part, r.target);
        else if (r.type.endsWith(u"/settings"))
            settingsPart = m_pkg.resolve(m_part, r.target);
        else if (r.type.endsWith(kSubDocRel))
            ;   // found where the body refers to it
    }
    if (!m_options.stylesOverride.isEmpty())
        m_styles.read(m_options.stylesOverride, QStringLiteral("styles.xml"));
    else if (!stylesPart.isEmpty() && m_pkg.hasPart(stylesPart))
        m_styles.read(m_pkg.part(stylesPart), stylesPart);
    if (!numberingPart.isEmpty() && m_pkg.hasPart(numberingPart)) {
        m_numbering.read(m_pkg.part(numberingPart), numberingPart);
        m_hasNumbering = true;
    }
    if (!settingsPart.isEmpty() && m_pkg.hasPart(settingsPart)) {
        const SettingsInfo s = readSettings(m_pkg.part(settingsPart), settingsPart);
        m_model.updateStylesOnOpen = s.updateStyles;
        if (!s.attachedTemplateId.isEmpty()) {
            for (const opc::Relationship& r : m_pkg.relationships(settingsPart))
                if (r.id == s.attachedTemplateId)
                    m_model.attachedTemplate = r.target;
        }
    }
}

void Reader::readBody(pugi::xml_node body)
{
    Container ctx;
    ctx.cur = QTextCursor(m_model.text());
    readBlocks(body, ctx, m_n.child(body, "sectPr"));
}

void Reader::readBlocks(pugi::xml_node container, Container& ctx, pugi::xml_node stopAt, bool atEnd)
{
    for (pugi::xml_node c = container.first_child(); c && c != stopAt; c = c.next_sibling()) {
        if (c.type() != pugi::node_element)
            continue;
        const char* l = m_n.local(c);
        if (l && std::strcmp(l, "p") == 0) {
            readParagraph(c, ctx);
        } else if (l && std::strcmp(l, "tbl") == 0) {
            readTable(c, ctx);
        } else if (l && (std::strcmp(l, "bookmarkStart") == 0 || std::strcmp(l, "bookmarkEnd") == 0)) {
            ctx.pendingBookmarks.push_back(c);
            ctx.pendingChunk += nodeXmlUtf8(c);
        } else if (l && (std::strcmp(l, "sdt") == 0 || std::strcmp(l, "customXml") == 0)) {
            readWrapperBlock(c, ctx);
        } else if (l && propertyChild(l)) {
            continue;   // sectPr, tcPr, customXmlPr: read by the caller
        } else {
            const QByteArray xml = nodeXmlUtf8(c);
            ctx.pendingChunk += xml;
            ctx.pendingPrefix += QString::fromUtf8(xml);
        }
    }
    if (atEnd)
        flushTrailing(ctx);
}

// A block-level content control or custom XML element: its paragraphs and
// tables are read as the container's own, its tags kept around them.
void Reader::readWrapperBlock(pugi::xml_node n, Container& ctx)
{
    QString open = openTag(n);
    pugi::xml_node content;
    for (pugi::xml_node c = n.first_child(); c; c = c.next_sibling()) {
        const char* l = m_n.local(c);
        if (l && std::strcmp(l, "sdtContent") == 0)
            content = c;
        else if (l && propertyChild(l))
            open += nodeXml(c);
    }
    const bool isSdt = m_n.is(n, "sdt");
    const QString sdtContentTag = QString::fromStdString(m_n.qualified("sdtContent"));
    if (isSdt)
        open += u'<' + sdtContentTag + u'>';
    ctx.pendingChunk += open.toUtf8();
    ctx.pendingPrefix += open;
    if (isSdt && content)
        readBlocks(content, ctx, {}, false);
    else if (!isSdt)
        readBlocks(n, ctx, {}, false);
    const QString close = isSdt ? QStringLiteral("</") + sdtContentTag + u'>' + closeTag(n) : closeTag(n);
    appendTrailing(ctx, close.toUtf8());
}

// XML closing a wrapper goes with what came last: pending items, the last
// paragraph or the last table.
void Reader::appendTrailing(Container& ctx, const QByteArray& xml)
{
    if (!ctx.pendingChunk.isEmpty() || (ctx.lastParagraph < 0 && !ctx.lastWasTable)) {
        ctx.pendingChunk += xml;
        ctx.pendingPrefix += QString::fromUtf8(xml);
        return;
    }
    if (ctx.lastWasTable && ctx.lastTable) {
        QTextTableFormat tf = ctx.lastTable->format();
        tf.setProperty(prop::SuffixXml, tf.stringProperty(prop::SuffixXml) + QString::fromUtf8(xml));
        ctx.lastTable->setFormat(tf);
        return;
    }
    m_model.preserved().paragraphs[size_t(ctx.lastParagraph)].chunk += xml;
    QTextCursor c = ctx.cur;
    QTextBlockFormat bf = c.blockFormat();
    bf.setProperty(prop::SuffixXml, bf.stringProperty(prop::SuffixXml) + QString::fromUtf8(xml));
    c.setBlockFormat(bf);
}

// Container-level items after the last paragraph or table.
void Reader::flushTrailing(Container& ctx)
{
    if (ctx.fresh && ctx.lastWasTable)
        markPhantom(ctx.cur);
    if (ctx.pendingChunk.isEmpty() && ctx.pendingBookmarks.empty())
        return;
    const bool toLastParagraph = !ctx.fresh && ctx.lastParagraph >= 0;
    placePendingBookmarks(ctx, ctx.cur.block().position() + ctx.cur.block().length() - 1);
    if (toLastParagraph) {
        m_model.preserved().paragraphs[size_t(ctx.lastParagraph)].chunk += ctx.pendingChunk;
        QTextBlockFormat bf = ctx.cur.blockFormat();
        bf.setProperty(prop::SuffixXml, bf.stringProperty(prop::SuffixXml) + ctx.pendingPrefix);
        ctx.cur.setBlockFormat(bf);
    } else {
        QTextBlockFormat bf = ctx.cur.blockFormat();
        bf.setProperty(prop::Phantom, true);
        bf.setProperty(prop::PrefixXml, ctx.pendingPrefix);
        ctx.cur.setBlockFormat(bf);
    }
    ctx.pendingChunk.clear();
    ctx.pendingPrefix.clear();
}

void Reader::placePendingBookmarks(Container& ctx, int position)
{
    for (pugi::xml_node b : ctx.pendingBookmarks) {
        if (m_n.is(b, "bookmarkStart"))
            bookmarkStart(b, position);
        else
            bookmarkEnd(b, position);
    }
    ctx.pendingBookmarks.clear();
}

void Reader::startBlock(Container& ctx, const QTextBlockFormat& bf, const QTextCharFormat& cf)
{
    if (ctx.fresh) {
        ctx.cur.setBlockFormat(bf);
        ctx.cur.setBlockCharFormat(cf);
    } else {
        ctx.cur.insertBlock(bf, cf);
    }
    ctx.fresh = false;
}

QString Reader::numberingLabel(pugi::xml_node pPr, const QString& styleId, QTextBlockFormat& bf)
{
    if (!m_hasNumbering)
        return {};
    const pugi::xml_node numPr = m_n.child(pPr, "numPr");
    int ilvl = 0;
    QString numId;
    if (numPr) {
        numId = m_n.childVal(numPr, "numId");
        const QString lvl = m_n.childVal(numPr, "ilvl");
        ilvl = lvl.isEmpty() ? 0 : lvl.toInt();
    } else {
        numId = m_styles.styleNumId(styleId, &ilvl);
    }
    if (numId.isEmpty() || numId == u"0")
        return {};
    const QString label = m_numbering.nextLabel(numId, ilvl);
    m_listDisplay = m_numbering.display(numId, ilvl);
    // Parent numbers are part of what Qt draws as prefix, so a new parent number starts a new list.
    const qsizetype prefixLength = label.size() - m_listDisplay.suffix.size() - m_numbering.lastOwnNumber().size();
    m_listDisplay.prefix = label.left(std::max<qsizetype>(0, prefixLength));
    m_listKey = numId + u'/' + QString::number(ilvl) + u'/' + m_listDisplay.prefix;
    const int indent = m_numbering.levelIndent(numId, ilvl);
    if (indent >= 0 && !m_n.child(pPr, "ind"))
        bf.setLeftMargin(indent / 15.0);
    return label;
}

// Numbered paragraphs join a QTextList so a view draws their labels; the
// label text itself stays out of the document's text, as in Word.
void Reader::showInList(QTextCursor& cur)
{
    if (m_listDisplay.style == 0)
        return;
    auto it = m_lists.constFind(m_listKey);
    if (it != m_lists.constEnd()) {
        (*it)->add(cur.block());
        return;
    }
    QTextListFormat lf;
    lf.setStyle(QTextListFormat::Style(m_listDisplay.style));
    lf.setIndent(0);
    lf.setNumberPrefix(m_listDisplay.prefix);
    lf.setNumberSuffix(m_listDisplay.suffix);
    m_lists.insert(m_listKey, cur.createList(lf));
}

void Reader::readParagraph(pugi::xml_node p, Container& ctx)
{
    const pugi::xml_node pPr = m_n.child(p, "pPr");
    const QString styleId = m_n.childVal(pPr, "pStyle");
    QTextBlockFormat bf;
    QTextCharFormat paraChars;
    m_styles.paragraphLook(styleId, bf, paraChars);
    StyleSheet::applyParagraphProperties(m_n, pPr, bf);

    auto& paras = m_model.preserved().paragraphs;
    const int index = int(paras.size());
    model::PreservedParagraph pp;
    pp.chunk = ctx.pendingChunk + nodeXmlUtf8(p);
    paras.push_back(std::move(pp));
    m_forced.push_back(ctx.forceRegenerate);
    ctx.forceRegenerate = false;
    bf.setProperty(prop::ParaIndex, index);
    if (pPr) {
        pugi::xml_node sect = m_n.child(pPr, "sectPr");
        if (sect) {
            bf.setProperty(prop::SectPrXml, nodeXml(sect));
            pugi::xml_document copy;
            copy.append_copy(pPr).remove_child(m_n.qualified("sectPr").c_str());
            bf.setProperty(prop::PPrXml, nodeXml(copy.first_child()));
        } else {
            bf.setProperty(prop::PPrXml, nodeXml(pPr));
        }
    }
    if (!ctx.pendingPrefix.isEmpty())
        bf.setProperty(prop::PrefixXml, ctx.pendingPrefix);
    const QString label = numberingLabel(pPr, styleId, bf);
    if (!label.isEmpty())
        bf.setProperty(prop::ListLabel, label);
    QTextCharFormat markChars = paraChars;
    StyleSheet::applyRunProperties(m_n, m_n.child(pPr, "rPr"), markChars);
    startBlock(ctx, bf, markChars);
    if (!label.isEmpty())
        showInList(ctx.cur);
    ctx.pendingChunk.clear();
    ctx.pendingPrefix.clear();
    placePendingBookmarks(ctx, ctx.cur.position());
    readRunLevel(p, ctx.cur, paraChars, styleId);
    ctx.lastParagraph = index;
    ctx.lastWasTable = false;
}

QTextCharFormat Reader::runFormat(pugi::xml_node rPr, const QTextCharFormat& paraChars, const QString& paraStyle)
{
    const QString xml = rPr ? nodeXml(rPr) : QString();
    const QString key = paraStyle + QChar(0x1F) + xml;
    auto hit = m_runFormats.constFind(key);
    if (hit != m_runFormats.constEnd())
        return *hit;
    QTextCharFormat f = paraChars;
    const QString charStyle = m_n.childVal(rPr, "rStyle");
    if (!charStyle.isEmpty())
        m_styles.characterStyle(charStyle, f);
    StyleSheet::applyRunProperties(m_n, rPr, f);
    if (!xml.isEmpty())
        f.setProperty(prop::RPrXml, xml);
    f.setProperty(prop::LookSig, lookSignature(f));
    return *m_runFormats.insert(key, f);
}

void Reader::readRunLevel(pugi::xml_node parent, QTextCursor& cur, const QTextCharFormat& paraChars, const QString& paraStyle)
{
    for (pugi::xml_node c = parent.first_child(); c; c = c.next_sibling()) {
        if (c.type() != pugi::node_element)
            continue;
        const char* l = m_n.local(c);
        if (!l) {
            markup(cur.position(), nodeXml(c));
            continue;
        }
        if (std::strcmp(l, "pPr") == 0)
            continue;
        if (std::strcmp(l, "r") == 0) {
            readRun(c, cur, paraChars, paraStyle);
        } else if (std::strcmp(l, "bookmarkStart") == 0) {
            bookmarkStart(c, cur.position());
        } else if (std::strcmp(l, "bookmarkEnd") == 0) {
            bookmarkEnd(c, cur.position());
        } else if (std::strcmp(l, "subDoc") == 0) {
            model::Subdocument sd;
            const QString relId = XmlNames::attrText(c, "id");
            for (const opc::Relationship& r : m_pkg.relationships(m_part))
                if (r.id == relId)
                    sd.target = r.target;
            sd.relId = relId;
            sd.referenceMarkup = m_model.addMarkup(cur.position(), nodeXml(c), -1);
            m_model.subdocs.push_back(sd);
        } else if (runWrapper(l)) {
            const int group = m_model.preserved().nextGroup++;
            QString open = openTag(c);
            pugi::xml_node content = c;
            for (pugi::xml_node k = c.first_child(); k; k = k.next_sibling()) {
                const char* kl = m_n.local(k);
                if (kl && std::strcmp(kl, "sdtContent") == 0)
                    content = k;
                else if (kl && propertyChild(kl))
                    open += nodeXml(k);
            }
            if (content != c)
                open += openTag(content);
            markup(cur.position(), open, group);
            readRunLevel(content, cur, paraChars, paraStyle);
            markup(cur.position(), content != c ? closeTag(content) + closeTag(c) : closeTag(c), group);
        } else if (!propertyChild(l)) {
            markup(cur.position(), nodeXml(c));
        }
    }
}

void Reader::insertSpecial(QTextCursor& cur, QChar c, QTextCharFormat f, const QString& xml, int kind)
{
    if (!xml.isEmpty())
        f.setProperty(prop::CharXml, xml);
    if (kind != prop::KindNone)
        f.setProperty(prop::CharKind, kind);
    cur.insertText(QString(c), f);
}

void Reader::readRun(pugi::xml_node r, QTextCursor& cur, const QTextCharFormat& paraChars, const QString& paraStyle)
{
    const pugi::xml_node rPr = m_n.child(r, "rPr");
    const QTextCharFormat f = runFormat(rPr, paraChars, paraStyle);
    const QString rPrXml = rPr ? nodeXml(rPr) : QString();
    QString text;
    auto flush = [&] {
        if (!text.isEmpty())
            cur.insertText(text, f);
        text.clear();
    };
    for (pugi::xml_node c = r.first_child(); c; c = c.next_sibling()) {
        if (c.type() != pugi::node_element)
            continue;
        const char* l = m_n.local(c);
        if (l && std::strcmp(l, "rPr") == 0)
            continue;
        if (l && std::strcmp(l, "t") == 0) {
            for (pugi::xml_node t = c.first_child(); t; t = t.next_sibling())
                if (t.type() == pugi::node_pcdata || t.type() == pugi::node_cdata)
                    text += QString::fromUtf8(t.value());
            continue;
        }
        if (l && std::strcmp(l, "tab") == 0 && !c.first_attribute()) {
            text += u'\t';
            continue;
        }
        if (l && std::strcmp(l, "br") == 0 && !c.first_attribute()) {
            text += QChar::LineSeparator;
            continue;
        }
        flush();
        const QString xml = nodeXml(c);
        if (l && zeroWidthRunChild(l)) {
            markup(cur.position(), QStringLiteral("<%1r>").arg(QString::fromStdString(m_n.prefix())) + rPrXml + xml
                                       + QStringLiteral("</%1r>").arg(QString::fromStdString(m_n.prefix())));
        } else if (l && std::strcmp(l, "tab") == 0) {
            insertSpecial(cur, u'\t', f, xml, prop::KindNone);
        } else if (l && (std::strcmp(l, "br") == 0 || std::strcmp(l, "cr") == 0)) {
            const QString type = XmlNames::attrText(c, "type");
            if (type == u"page")
                insertSpecial(cur, QChar::ObjectReplacementCharacter, f, xml, prop::KindPageBreak);
            else if (type == u"column")
                insertSpecial(cur, QChar::ObjectReplacementCharacter, f, xml, prop::KindColumnBreak);
            else
                insertSpecial(cur, QChar::LineSeparator, f, xml, prop::KindNone);
        } else if (l && std::strcmp(l, "noBreakHyphen") == 0) {
            insertSpecial(cur, QChar(0x2011), f, xml, prop::KindNone);
        } else if (l && std::strcmp(l, "softHyphen") == 0) {
            insertSpecial(cur, QChar(0x00AD), f, xml, prop::KindNone);
        } else {
            insertDrawing(cur, c, f, xml);
        }
    }
    flush();
}

// Drawings, pictures, objects, note references and anything else with a
// place in the line: one object character holding the XML. Pictures whose
// image can be found are shown.
void Reader::insertDrawing(QTextCursor& cur, pugi::xml_node obj, QTextCharFormat f, const QString& xml)
{
    f.setProperty(prop::CharXml, xml);
    f.setProperty(prop::CharKind, int(prop::KindObject));
    QString embed;
    qint64 cx = 0, cy = 0;
    // The picture and its extent, wherever they sit in the drawing's subtree.
    struct Finder : pugi::xml_tree_walker {
        QString* embed;
        qint64* cx;
        qint64* cy;
        bool for_each(pugi::xml_node& n) override
        {
            const char* name = n.name();
            const char* colon = std::strchr(name, ':');
            const char* l = colon ? colon + 1 : name;
            if (std::strcmp(l, "blip") == 0 && embed->isEmpty())
                *embed = XmlNames::attrText(n, "embed");
            else if (std::strcmp(l, "extent") == 0 && !*cx) {
                *cx = XmlNames::attrText(n, "cx").toLongLong();
                *cy = XmlNames::attrText(n, "cy").toLongLong();
            }
            return embed->isEmpty() || !*cx;
        }
    } finder;
    finder.embed = &embed;
    finder.cx = &cx;
    finder.cy = &cy;
    obj.traverse(finder);
    const QString part = m_rels.value(embed);
    if (embed.isEmpty() || part.isEmpty() || !m_pkg.hasPart(part)) {
        cur.insertText(QString(QChar::ObjectReplacementCharacter), f);
        return;
    }
    const QUrl url(QStringLiteral("quillora-image:/") + part);
    // Decoded when first drawn, within the document's pixel budget.
    model::ImageStore::of(m_model.text()).add(url, m_pkg.part(part));
    QTextImageFormat img;
    img.merge(f);
    img.setName(url.toString());
    if (cx > 0 && cy > 0) {
        img.setWidth(cx / 9525.0);
        img.setHeight(cy / 9525.0);
    }
    cur.insertText(QString(QChar::ObjectReplacementCharacter), img);
}

void Reader::bookmarkStart(pugi::xml_node n, int pos)
{
    const QString id = XmlNames::attrText(n, "id");
    const QString name = XmlNames::attrText(n, "name");
    if (name.isEmpty() || m_open.contains(id)) {
        markup(pos, nodeXml(n));
        return;
    }
    m_open.insert(id, {name, pos, nodeXml(n)});
}

void Reader::bookmarkEnd(pugi::xml_node n, int pos)
{
    const QString id = XmlNames::attrText(n, "id");
    const auto it = m_open.find(id);
    if (it == m_open.end()) {
        markup(pos, nodeXml(n));
        return;
    }
    const OpenBookmark b = *it;
    m_open.erase(it);
    // A name used twice: Word keeps the first; the second is kept as it was written.
    if (m_model.anchors().hasBookmark(b.name)) {
        markup(b.position, b.xml);
        markup(pos, nodeXml(n));
        return;
    }
    bool ok = false;
    const int xmlId = id.toInt(&ok);
    m_model.anchors().addBookmark(b.name, b.position, pos, ok ? xmlId : -1);
    if (ok)
        m_model.preserved().maxBookmarkId = std::max(m_model.preserved().maxBookmarkId, xmlId);
}

void Reader::readTable(pugi::xml_node tbl, Container& ctx)
{
    std::vector<pugi::xml_node> rows;
    QString open = openTag(tbl);
    QString rowLead;   // row-level items (bookmarks, markup) before a row
    std::vector<QString> rowLeads;
    for (pugi::xml_node c = tbl.first_child(); c; c = c.next_sibling()) {
        if (c.type() != pugi::node_element)
            continue;
        if (m_n.is(c, "tr")) {
            rows.push_back(c);
            rowLeads.push_back(rowLead);
            rowLead.clear();
        } else if (m_n.is(c, "tblPr") || m_n.is(c, "tblGrid")) {
            open += nodeXml(c);
        } else {
            rowLead += nodeXml(c);
        }
    }
    // Rows and cells, with the grid columns each cell starts at.
    struct CellRef { pugi::xml_node tc; int col; int span; bool cont; };
    std::vector<std::vector<CellRef>> grid;
    int cols = 0;
    for (pugi::xml_node tr : rows) {
        std::vector<CellRef> cells;
        int col = 0;
        const pugi::xml_node trPr = m_n.child(tr, "trPr");
        const QString before = m_n.childVal(trPr, "gridBefore");
        col += before.isEmpty() ? 0 : std::max(0, before.toInt());
        for (pugi::xml_node tc = tr.first_child(); tc; tc = tc.next_sibling()) {
            if (!m_n.is(tc, "tc"))
                continue;
            const pugi::xml_node tcPr = m_n.child(tc, "tcPr");
            const QString spanText = m_n.childVal(tcPr, "gridSpan");
            const int span = std::clamp(spanText.isEmpty() ? 1 : spanText.toInt(), 1, 64);
            const pugi::xml_node vm = m_n.child(tcPr, "vMerge");
            const bool cont = vm && XmlNames::attrText(vm, "val") != u"restart";
            cells.push_back({tc, col, span, cont});
            col += span;
        }
        cols = std::max(cols, col);
        grid.push_back(std::move(cells));
    }
    if (rows.empty() || cols == 0 || cols > 1000) {
        const QByteArray xml = nodeXmlUtf8(tbl);
        ctx.pendingChunk += xml;
        ctx.pendingPrefix += QString::fromUtf8(xml);
        return;
    }
    if (ctx.fresh) {
        // Qt keeps a block before a table at the start of a container or
        // between two tables; no paragraph of the file stands for it.
        markPhantom(ctx.cur);
    }
    const int tableIndex = int(m_model.preserved().tables.size());
    m_model.preserved().tables.push_back({open});
    QTextTableFormat tf;
    tf.setProperty(prop::TableIndex, tableIndex);
    tf.setBorder(0.5);
    tf.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    tf.setCellPadding(2);
    tf.setCellSpacing(0);
    if (!ctx.pendingPrefix.isEmpty())
        tf.setProperty(prop::PrefixXml, ctx.pendingPrefix);
    QTextTable* table = ctx.cur.insertTable(int(rows.size()), cols, tf);
    std::vector<pugi::xml_node> leadBookmarks = std::move(ctx.pendingBookmarks);
    ctx.pendingBookmarks.clear();
    ctx.pendingChunk.clear();
    ctx.pendingPrefix.clear();
    // First the shape: continuation cells of vertical merges and grid cells
    // no tc stands for. Cells are not merged in the text model: a merged
    // cell shows as its first grid cell, the others stay empty and are not
    // written, so every paragraph keeps its own block.
    std::vector<std::vector<bool>> used(rows.size(), std::vector<bool>(size_t(cols), false));
    // By index: nested tables read below add to the vector and may move it.
    auto pt = [this, tableIndex]() -> model::PreservedTable& { return m_model.preserved().tables[size_t(tableIndex)]; };
    for (size_t r = 0; r < rows.size(); ++r) {
        for (const CellRef& cr : grid[r]) {
            if (cr.col >= cols)
                continue;
            used[r][size_t(cr.col)] = true;   // the spanned columns stay "unused": nothing is written for them
            if (cr.cont && r > 0)
                pt().continuation.insert(model::PreservedTable::key(int(r), cr.col), nodeXml(cr.tc));
        }
        QString rowOpen = rowLeads[r] + openTag(rows[r]);
        for (pugi::xml_node c = rows[r].first_child(); c; c = c.next_sibling()) {
            if (m_n.is(c, "trPr") || m_n.is(c, "tblPrEx"))
                rowOpen += nodeXml(c);
        }
        pt().rowOpen.push_back(rowOpen);
    }
    pt().tail = rowLead;
    // Then the content, in document order, so anchors are placed where the text ends up.
    bool first = true;
    for (size_t r = 0; r < rows.size(); ++r) {
        for (const CellRef& cr : grid[r]) {
            if (cr.col >= cols || pt().continuation.contains(model::PreservedTable::key(int(r), cr.col)))
                continue;
            QTextTableCell cell = table->cellAt(int(r), cr.col);
            const pugi::xml_node tcPr = m_n.child(cr.tc, "tcPr");
            Container inner;
            inner.cur = cell.firstCursorPosition();
            if (first) {
                inner.pendingBookmarks = leadBookmarks;
                inner.forceRegenerate = !leadBookmarks.empty();
                leadBookmarks.clear();
                first = false;
            }
            readBlocks(cr.tc, inner);
            // The cell's format shares its character with the first block's
            // mark format, which the paragraph just set: add ours afterwards.
            QTextCharFormat cf = cell.format();
            cf.setProperty(prop::CellXml, tcPr ? nodeXml(tcPr) : QString());
            cell.setFormat(cf);
        }
        for (int k = 0; k < cols; ++k) {
            if (used[r][size_t(k)] && !pt().continuation.contains(model::PreservedTable::key(int(r), k)))
                continue;
            QTextTableCell cell = table->cellAt(int(r), k);
            QTextCharFormat cf = cell.format();
            cf.setProperty(prop::CellAbsent, true);
            cell.setFormat(cf);
            QTextCursor cc = cell.firstCursorPosition();
            markPhantom(cc);
        }
    }
    if (!leadBookmarks.empty())
        placePendingBookmarks(ctx, table->firstPosition());
    ctx.cur.setPosition(table->lastPosition() + 1);
    ctx.fresh = true;
    ctx.lastTable = table;
    ctx.lastWasTable = true;
    ctx.lastParagraph = -1;
}

void Reader::finish()
{
    for (auto it = m_open.cbegin(); it != m_open.cend(); ++it)
        markup(it->position, it->xml);
    m_open.clear();
    auto& paras = m_model.preserved().paragraphs;
    for (QTextBlock b = m_model.text()->begin(); b.isValid(); b = b.next()) {
        const QVariant idx = b.blockFormat().property(prop::ParaIndex);
        if (!idx.isValid())
            continue;
        const size_t i = size_t(idx.toInt());
        if (i < paras.size())
            paras[i].signature = m_forced[i] ? 0 : model::blockSignature(b, m_model.anchors());
    }
}

} // namespace

void readDocument(model::DocModel& model, const opc::Package& pkg, const ReadOptions& options)
{
    Reader(model, pkg, options).run();
}

} // namespace word::ooxml
