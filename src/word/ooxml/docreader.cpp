#include "word/ooxml/docreader.h"

#include "word/error.h"
#include "word/model/docmodel.h"
#include "word/model/formatprops.h"
#include "word/model/imagestore.h"
#include "word/model/stringhash.h"
#include "word/ooxml/numbering.h"
#include "word/ooxml/settingspart.h"
#include "word/ooxml/stylesheet.h"
#include "word/ooxml/xmlnames.h"
#include "word/opc/package.h"
#include "word/opc/xmllimits.h"

#include <QFileInfo>
#include <QImage>
#include <QSet>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>
#include <QUrl>
#include <algorithm>
#include <atomic>
#include <cctype>
#include <climits>
#include <cstring>
#include <string_view>
#include <unordered_map>

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
constexpr qint64 kMaxTableCells = 1'000'000;

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
    QString path;                // BlockPath of the block wrappers open here
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
    pugi::xml_node node;   // the start, for keeping it as written if it stays unmatched
    int order;             // the order the starts were met in
};

class Reader {
public:
    Reader(model::DocModel& m, const opc::Package& pkg, const ReadOptions& o) : m_model(&m), m_pkg(pkg), m_options(o) {}
    void run();

private:
    void readSideParts();
    void readBody(pugi::xml_node body);
    void readStories();
    model::Story& newStory(model::DocModel& main, model::Story::Kind kind, const QString& part);
    void readStory(pugi::xml_node container, const QByteArray& head, const QByteArray& tail);
    void readPendingBoxes(model::DocModel& main);
    void readBlocks(pugi::xml_node container, Container& ctx, pugi::xml_node stopAt = {}, bool atEnd = true);
    void readParagraph(pugi::xml_node p, Container& ctx);
    // An element as the part has it, cut from the bytes it was parsed from,
    // or written out when it cannot be found there.
    QByteArray asWritten(pugi::xml_node n) const;
    qsizetype startInSource(pugi::xml_node n) const;
    qsizetype endInSource(pugi::xml_node n, int depth = 0) const;
    QByteArray m_source;   // the part being read, as the parser read it
    void readTable(pugi::xml_node tbl, Container& ctx);
    struct Wrapped {
        pugi::xml_node node;
        QString path;
        QString lead;
    };
    void collectWrapped(pugi::xml_node parent, const char* item, const QString& path, std::vector<Wrapped>& out,
                        QString& lead, int depth);
    void readWrapperBlock(pugi::xml_node n, Container& ctx);
    int addWrapper(pugi::xml_node n, pugi::xml_node* content);
    void noteWrapperId(pugi::xml_node n);
    void flushTrailing(Container& ctx);
    int addItem(const QString& xml);
    QString markRunProperties(pugi::xml_node rPr);
    QString stripMarkOnly(pugi::xml_node rPr) const;
    QHash<QString, QString> m_markRunProps;     // paragraph mark rPr -> the same as a run's
    int fieldGroup(pugi::xml_node c, const char* local);
    void startBlock(Container& ctx, const QTextBlockFormat& bf, const QTextCharFormat& cf);
    void placePendingBookmarks(Container& ctx, int position);
    void readRunLevel(pugi::xml_node parent, QTextCursor& cur, const QTextCharFormat& paraChars, const QString& paraStyle);
    void readRun(pugi::xml_node r, QTextCursor& cur, const QTextCharFormat& paraChars, const QString& paraStyle);
    // Run text not yet inserted at the cursor of the run level being read.
    void flushRunText(QTextCursor& cur);
    QString m_runText;
    QTextCharFormat m_runTextFormat;
    void insertSpecial(QTextCursor& cur, QChar c, QTextCharFormat f, const QString& xml, int kind);
    void insertDrawing(QTextCursor& cur, pugi::xml_node obj, QTextCharFormat f, const QString& xml);
    QTextCharFormat runFormat(pugi::xml_node rPr, const QTextCharFormat& paraChars, const QString& paraStyle);
    void bookmarkStart(pugi::xml_node n, int pos);
    void bookmarkEnd(pugi::xml_node n, int pos);
    void markup(int pos, const QString& xml, int group = -1) { m_model->addMarkup(pos, xml, group); }
    QString numberingLabel(pugi::xml_node pPr, const QString& styleId, QTextBlockFormat& bf);
    void showInList(QTextCursor& cur);
    void finish();

    model::DocModel* m_model;
    const opc::Package& m_pkg;
    const ReadOptions& m_options;
    QString m_part;
    XmlNames m_n;
    StyleSheet m_styles;
    Numbering m_numbering;
    bool m_hasNumbering = false;
    std::unordered_map<std::string, OpenBookmark> m_open;   // by w:id
    int m_openOrder = 0;
    QHash<QString, QString> m_rels;             // id -> absolute part name or external target
    // Run formats by paragraph style and run properties, found by the
    // properties' structure. The properties are kept in a document of the
    // reader's own, since the parts they were read from go before it does.
    struct RunFormat {
        QString paraStyle;
        pugi::xml_node rPr;
        QTextCharFormat format;
    };
    std::unordered_map<quint64, std::vector<RunFormat>> m_runFormats;
    pugi::xml_document m_runFormatNodes;
    QHash<QString, QTextList*> m_lists;         // by numId and level, with the parent levels' labels
    QString m_listKey;                          // of the paragraph being read
    Numbering::Display m_listDisplay;
    std::vector<bool> m_forced;                 // paragraphs never written verbatim
    std::vector<int> m_fieldGroups;             // markup groups of the complex fields open, innermost last
    int m_tables = 0;
    qint64 m_cells = 0;                         // table cells read from the whole package
    // Text boxes met in the story being read, read as stories of their own once it is done.
    struct PendingBox {
        pugi::xml_node content;   // the object's first w:txbxContent
        int id;
    };
    std::vector<PendingBox> m_pendingBoxes;
    bool m_inBox = false;                       // a box inside a box stays part of its object
};

// Box ids are unique in the process, so an object pasted from another
// document never names a box of this one.
std::atomic<int> nextBoxId{0};

void Reader::run()
{
    m_part = m_pkg.mainPartName();
    pugi::xml_document doc;
    opc::parseXml(m_pkg.part(m_part), doc, m_part, m_source);
    const pugi::xml_node root = doc.document_element();
    m_n.init(root);
    if (!m_n.found() || !m_n.is(root, "document"))
        throw Error(QStringLiteral("A(z) „%1” fájl fő része nem Word-dokumentum (hiányzik a „document” gyökérelem).")
                        .arg(QFileInfo(m_pkg.fileName()).fileName()));
    m_model->mainPart = m_part;
    m_model->preserved().wPrefix = QString::fromStdString(m_n.prefix());
    m_model->preserved().rPrefix = QString::fromStdString(m_n.relPrefix());
    for (const opc::Relationship& r : m_pkg.relationships(m_part))
        m_rels.insert(r.id, r.external ? r.target : m_pkg.resolve(m_part, r.target));
    readSideParts();

    m_model->beginLoad();
    // Room made ahead for the bookmarks the census counted, up to many more
    // than a long contract holds; past that the tables grow as bookmarks
    // come, so that a file of bare starts cannot make the reader reserve
    // much for bookmarks it never adds.
    constexpr qint64 kReservedBookmarks = 1 << 17;
    m_model->anchors().reserveBookmarks(int(std::min<qint64>(m_pkg.bookmarkStartCount(), kReservedBookmarks)));
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
    m_model->preserved().head = head;
    m_model->preserved().tail = (sectPr ? nodeXmlUtf8(sectPr) : QByteArray()) + closeTag(body).toUtf8() + tail
                               + closeTag(root).toUtf8();
    readBody(body);
    finish();
    m_model->endLoad();
    model::DocModel* main = m_model;
    readPendingBoxes(*main);
    m_model = main;
    readStories();
}

// The stories beside the main text: each header and footer part, and each
// note and comment of the notes and comments parts, into a model of its own.
void Reader::readStories()
{
    model::DocModel* main = m_model;
    const QString mainPart = m_part;
    struct Ref { model::Story::Kind kind; QString part; QString relId; };
    std::vector<Ref> refs;
    QSet<QString> seen;
    for (const opc::Relationship& r : m_pkg.relationships(mainPart)) {
        if (r.external)
            continue;
        model::Story::Kind kind;
        if (r.type.endsWith(u"/header"))
            kind = model::Story::Header;
        else if (r.type.endsWith(u"/footer"))
            kind = model::Story::Footer;
        else if (r.type.endsWith(u"/footnotes"))
            kind = model::Story::Footnote;
        else if (r.type.endsWith(u"/endnotes"))
            kind = model::Story::Endnote;
        else if (r.type.endsWith(u"/comments"))
            kind = model::Story::Comment;
        else
            continue;
        const QString part = m_pkg.resolve(mainPart, r.target);
        // A story whose part is missing is left out, as Word does; the reference stays.
        if (!m_pkg.hasPart(part) || part == mainPart || seen.contains(part))
            continue;
        seen.insert(part);
        refs.push_back({kind, part, r.id});
    }
    for (const Ref& ref : refs) {
        pugi::xml_document doc;
        opc::parseXml(m_pkg.part(ref.part), doc, ref.part, m_source);
        const pugi::xml_node root = doc.document_element();
        m_n.init(root);
        if (!m_n.found())
            throw Error(QStringLiteral("A(z) „%1” fájl „%2” része nem WordprocessingML.")
                            .arg(QFileInfo(m_pkg.fileName()).fileName(), ref.part));
        m_part = ref.part;
        m_rels.clear();
        for (const opc::Relationship& r : m_pkg.relationships(m_part))
            m_rels.insert(r.id, r.external ? r.target : m_pkg.resolve(m_part, r.target));
        const QByteArray decl = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n";
        if (ref.kind == model::Story::Header || ref.kind == model::Story::Footer) {
            model::Story& st = newStory(*main, ref.kind, ref.part);
            st.relId = ref.relId;
            readStory(root, decl + openTag(root).toUtf8(), closeTag(root).toUtf8());
            readPendingBoxes(*main);
            continue;
        }
        const char* noteName = ref.kind == model::Story::Footnote ? "footnote"
                               : ref.kind == model::Story::Endnote ? "endnote" : "comment";
        QByteArray frameHead = decl + openTag(root).toUtf8();
        for (pugi::xml_node c = root.first_child(); c; c = c.next_sibling()) {
            if (c.type() != pugi::node_element)
                continue;
            if (!m_n.is(c, noteName)) {
                frameHead += nodeXmlUtf8(c);   // nothing but notes is expected here: kept ahead of them
                continue;
            }
            model::Story& st = newStory(*main, ref.kind, ref.part);
            st.noteId = XmlNames::attrText(c, "id");
            st.noteType = XmlNames::attrText(c, "type");
            readStory(c, openTag(c).toUtf8(), closeTag(c).toUtf8());
            readPendingBoxes(*main);
        }
        main->storyPartFrames.insert(ref.part, {frameHead, closeTag(root).toUtf8()});
    }
    for (model::Story& st : main->stories())
        st.writtenRevision = st.readRevision = st.model->revision();
    m_model = main;
    m_part = mainPart;
}

model::Story& Reader::newStory(model::DocModel& main, model::Story::Kind kind, const QString& part)
{
    model::Story st;
    st.kind = kind;
    st.part = part;
    st.model = std::make_unique<model::DocModel>();
    st.model->mainPart = part;
    m_model = st.model.get();
    main.adoptStoryUndo(*st.model);
    main.stories().push_back(std::move(st));
    return main.stories().back();
}

// The text boxes of the story just read, each into a story of main's, in
// the order their objects stand in the text.
void Reader::readPendingBoxes(model::DocModel& main)
{
    std::vector<PendingBox> pending;
    pending.swap(m_pendingBoxes);
    m_inBox = true;
    for (const PendingBox& box : pending) {
        model::Story& st = newStory(main, model::Story::TextBox, m_part);
        st.boxId = box.id;
        readStory(box.content, {}, {});
    }
    m_inBox = false;
}

// Reads the blocks of container into m_model, a story's own model.
void Reader::readStory(pugi::xml_node container, const QByteArray& head, const QByteArray& tail)
{
    m_model->preserved().wPrefix = QString::fromStdString(m_n.prefix());
    m_model->preserved().rPrefix = QString::fromStdString(m_n.relPrefix());
    m_model->preserved().head = head;
    m_model->preserved().tail = tail;
    m_open.clear();
    m_lists.clear();
    m_forced.clear();
    m_fieldGroups.clear();
    m_model->beginLoad();
    Container ctx;
    ctx.cur = QTextCursor(m_model->text());
    readBlocks(container, ctx);
    finish();
    m_model->endLoad();
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
        // Subdocuments are found where the body refers to them.
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
        m_model->updateStylesOnOpen = s.updateStyles;
        if (!s.attachedTemplateId.isEmpty()) {
            for (const opc::Relationship& r : m_pkg.relationships(settingsPart))
                if (r.id == s.attachedTemplateId)
                    m_model->attachedTemplate = r.target;
        }
    }
}

void Reader::readBody(pugi::xml_node body)
{
    Container ctx;
    ctx.cur = QTextCursor(m_model->text());
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

// True when n holds a paragraph or a table at block level, directly or
// inside further block wrappers.
bool holdsBlocks(const XmlNames& names, pugi::xml_node n, int depth = 0)
{
    if (depth > 64)
        return false;
    for (pugi::xml_node c = n.first_child(); c; c = c.next_sibling()) {
        const char* l = names.local(c);
        if (!l)
            continue;
        if (std::strcmp(l, "p") == 0 || std::strcmp(l, "tbl") == 0)
            return true;
        if ((std::strcmp(l, "sdt") == 0 || std::strcmp(l, "sdtContent") == 0 || std::strcmp(l, "customXml") == 0)
            && holdsBlocks(names, c, depth + 1))
            return true;
    }
    return false;
}

// Records the w:id of a content control or a tracked change, so that copies
// the writer makes get ids of their own.
void Reader::noteWrapperId(pugi::xml_node n)
{
    pugi::xml_node idNode = n;
    if (m_n.is(n, "sdt"))
        idNode = m_n.child(m_n.child(n, "sdtPr"), "id");
    const QString v = XmlNames::attrText(idNode, m_n.is(n, "sdt") ? "val" : "id");
    bool ok = false;
    const qint64 id = v.toLongLong(&ok);
    if (ok && id > m_model->preserved().maxWrapperId && id < 0x7fffffff)
        m_model->preserved().maxWrapperId = int(id);
}

// A block wrapper's tags, kept once for all the blocks inside it; content is
// set to the element whose children are those blocks.
int Reader::addWrapper(pugi::xml_node n, pugi::xml_node* content)
{
    QString open = openTag(n);
    *content = n;
    for (pugi::xml_node c = n.first_child(); c; c = c.next_sibling()) {
        const char* l = m_n.local(c);
        if (l && std::strcmp(l, "sdtContent") == 0)
            *content = c;
        else if (l && propertyChild(l))
            open += nodeXml(c);
    }
    QString close = closeTag(n);
    if (*content != n) {
        open += openTag(*content);
        close = closeTag(*content) + close;
    }
    noteWrapperId(n);
    auto& wrappers = m_model->preserved().wrappers;
    wrappers.push_back({open, close});
    return int(wrappers.size()) - 1;
}

// A block-level content control or custom XML element: its paragraphs and
// tables are read as the container's own, each carrying the wrapper in its
// path. One that holds no paragraph is kept as it is.
void Reader::readWrapperBlock(pugi::xml_node n, Container& ctx)
{
    if (!holdsBlocks(m_n, n)) {
        const QByteArray xml = nodeXmlUtf8(n);
        ctx.pendingChunk += xml;
        ctx.pendingPrefix += QString::fromUtf8(xml);
        return;
    }
    pugi::xml_node content;
    const int index = addWrapper(n, &content);
    const QString outer = ctx.path;
    ctx.path = outer.isEmpty() ? QString::number(index) : outer + u',' + QString::number(index);
    readBlocks(content, ctx, {}, false);
    ctx.path = outer;
}

int Reader::addItem(const QString& xml)
{
    auto& items = m_model->preserved().items;
    items.push_back(xml);
    return int(items.size()) - 1;
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
        model::PreservedParagraph& last = m_model->preserved().paragraphs[size_t(ctx.lastParagraph)];
        last.chunk += ctx.pendingChunk;
        QTextBlockFormat bf = ctx.cur.blockFormat();
        bf.setProperty(prop::SuffixRef, addItem(ctx.pendingPrefix));
        ctx.cur.setBlockFormat(bf);
    } else {
        QTextBlockFormat bf = ctx.cur.blockFormat();
        bf.setProperty(prop::Phantom, true);
        bf.setProperty(prop::PrefixRef, addItem(ctx.pendingPrefix));
        if (!ctx.path.isEmpty())
            bf.setProperty(prop::BlockPath, ctx.path);
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
    // The level's indents stand unless the paragraph sets its own, attribute
    // by attribute as Word merges them.
    const pugi::xml_node ind = m_n.child(pPr, "ind");
    const bool ownLeft = ind && (ind.attribute(m_n.qualified("left").c_str()) || ind.attribute(m_n.qualified("start").c_str()));
    const bool ownFirst = ind && (ind.attribute(m_n.qualified("hanging").c_str()) || ind.attribute(m_n.qualified("firstLine").c_str()));
    const int indent = m_numbering.levelIndent(numId, ilvl);
    if (indent >= 0 && !ownLeft)
        bf.setLeftMargin(indent / 15.0);
    if (const std::optional<int> first = m_numbering.levelFirstLine(numId, ilvl); first && !ownFirst)
        bf.setTextIndent(*first / 15.0);
    return label;
}

// The characters and instructions of one complex field share a markup group,
// so an edit that removes one of them removes the field's whole frame and
// leaves its result as plain text, never a field without its end.
int Reader::fieldGroup(pugi::xml_node c, const char* local)
{
    const bool fldChar = std::strcmp(local, "fldChar") == 0;
    const bool instr = std::strcmp(local, "instrText") == 0 || std::strcmp(local, "delInstrText") == 0;
    if (!fldChar && !instr)
        return -1;
    const QString type = fldChar ? XmlNames::attrText(c, "fldCharType") : QString();
    if (type == u"begin") {
        m_fieldGroups.push_back(m_model->preserved().nextGroup++);
        return m_fieldGroups.back();
    }
    if (m_fieldGroups.empty())
        return -1;
    const int g = m_fieldGroups.back();
    if (type == u"end")
        m_fieldGroups.pop_back();
    return g;
}

// The paragraph mark's properties as the rPr of a run: without the marks of
// tracked changes that only a paragraph mark may carry.
QString Reader::markRunProperties(pugi::xml_node rPr)
{
    if (!rPr || !rPr.first_child())
        return {};
    // Paragraph marks of one look repeat throughout a document.
    const QString key = nodeXml(rPr);
    const auto hit = m_markRunProps.constFind(key);
    if (hit != m_markRunProps.constEnd())
        return *hit;
    return *m_markRunProps.insert(key, stripMarkOnly(rPr));
}

QString Reader::stripMarkOnly(pugi::xml_node rPr) const
{
    pugi::xml_document copy;
    pugi::xml_node c = copy.append_copy(rPr);
    for (pugi::xml_node k = c.first_child(); k;) {
        const pugi::xml_node next = k.next_sibling();
        const char* l = m_n.local(k);
        if (l && (std::strcmp(l, "ins") == 0 || std::strcmp(l, "del") == 0 || std::strcmp(l, "moveFrom") == 0
                  || std::strcmp(l, "moveTo") == 0 || std::strcmp(l, "rPrChange") == 0))
            c.remove_child(k);
        k = next;
    }
    return c.first_child() ? nodeXml(c) : QString();
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

    auto& paras = m_model->preserved().paragraphs;
    const int index = int(paras.size());
    model::PreservedParagraph pp;
    pp.chunk = ctx.pendingChunk + asWritten(p);
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
            bf.setProperty(prop::PPrXml, QString::fromUtf8(asWritten(pPr)));
        }
    }
    if (!ctx.pendingPrefix.isEmpty())
        bf.setProperty(prop::PrefixRef, addItem(ctx.pendingPrefix));
    if (!ctx.path.isEmpty())
        bf.setProperty(prop::BlockPath, ctx.path);
    if (p.first_attribute()) {
        QString attrs = openTag(p);
        attrs.chop(1);
        bf.setProperty(prop::ParaAttrs, attrs);
    }
    const QString label = numberingLabel(pPr, styleId, bf);
    if (!label.isEmpty())
        bf.setProperty(prop::ListLabel, label);
    QTextCharFormat markChars = paraChars;
    const pugi::xml_node markRPr = m_n.child(pPr, "rPr");
    StyleSheet::applyRunProperties(m_n, markRPr, markChars);
    // Text typed into an empty paragraph takes the look of its mark, as in Word.
    const QString markRunPr = markRunProperties(markRPr);
    if (!markRunPr.isEmpty())
        markChars.setProperty(prop::RPrXml, markRunPr);
    markChars.setProperty(prop::LookSig, lookSignature(markChars));
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

// Where a node's markup starts: offset_debug() gives the offset of an
// element's or instruction's name and of other nodes' values.
qsizetype Reader::startInSource(pugi::xml_node n) const
{
    const ptrdiff_t at = n.offset_debug();
    if (at < 0)
        return -1;
    switch (n.type()) {
    case pugi::node_element:
    case pugi::node_declaration: return at - 1;   // "<"
    case pugi::node_pi: return at - 2;            // "<?"
    case pugi::node_comment: return at - 4;       // "<!--"
    case pugi::node_cdata: return at - 9;         // "<![CDATA["
    case pugi::node_pcdata: return at;
    default: return -1;
    }
}

// Where a node's markup ends: where its next sibling starts (whitespace is
// a node of its own), or for a last child where its parent's end tag starts.
qsizetype Reader::endInSource(pugi::xml_node n, int depth) const
{
    if (const pugi::xml_node next = n.next_sibling())
        return startInSource(next);
    const pugi::xml_node parent = n.parent();
    if (!parent || depth > 512)
        return -1;
    if (parent.type() == pugi::node_document) {
        const qsizetype gt = m_source.lastIndexOf('>');
        return gt < 0 ? -1 : gt + 1;
    }
    const qsizetype parentEnd = endInSource(parent, depth + 1);
    return parentEnd <= 0 ? -1 : m_source.lastIndexOf('<', parentEnd - 1);
}

QByteArray Reader::asWritten(pugi::xml_node n) const
{
    const qsizetype start = startInSource(n);
    const qsizetype end = start < 0 ? -1 : endInSource(n);
    if (start < 0 || end <= start || end > m_source.size())
        return nodeXmlUtf8(n);
    const std::string_view slice(m_source.constData() + start, size_t(end - start));
    // It must be this element: its start tag, and its end tag or an empty tag.
    const std::string_view name(n.name());
    bool whole = slice.size() > name.size() + 2 && slice[0] == '<' && slice.substr(1, name.size()) == name
                 && !std::isalnum(static_cast<unsigned char>(slice[name.size() + 1])) && slice.back() == '>';
    if (whole && !slice.ends_with("/>")) {
        const size_t close = slice.rfind("</");
        whole = close != std::string_view::npos && close > 0 && slice.substr(close + 2, name.size()) == name;
        for (size_t i = close + 2 + name.size(); whole && i + 1 < slice.size(); ++i)
            whole = std::isspace(static_cast<unsigned char>(slice[i]));
    } else if (whole && n.first_child()) {
        whole = false;
    }
    return whole ? QByteArray(slice.data(), qsizetype(slice.size())) : nodeXmlUtf8(n);
}

QTextCharFormat Reader::runFormat(pugi::xml_node rPr, const QTextCharFormat& paraChars, const QString& paraStyle)
{
    const quint64 key = nodeHash(rPr) ^ model::StringHash()(paraStyle);
    std::vector<RunFormat>& bucket = m_runFormats[key];
    for (const RunFormat& r : bucket)
        if (r.paraStyle == paraStyle && sameNode(r.rPr, rPr))
            return r.format;
    QTextCharFormat f = paraChars;
    const QString charStyle = m_n.childVal(rPr, "rStyle");
    if (!charStyle.isEmpty())
        m_styles.characterStyle(charStyle, f);
    StyleSheet::applyRunProperties(m_n, rPr, f);
    if (rPr)
        f.setProperty(prop::RPrXml, nodeXml(rPr));
    f.setProperty(prop::LookSig, lookSignature(f));
    // Qt hashes the format of every insertion, unless the format already
    // holds its hash; a comparison with a copy of its own leaves it one,
    // and the copies insertions make keep it.
    QTextCharFormat copy = f;
    copy.clearProperty(QTextFormat::ObjectIndex);
    [[maybe_unused]] const bool same = copy == f;
    bucket.push_back({ paraStyle, rPr ? m_runFormatNodes.append_copy(rPr) : pugi::xml_node(), f });
    return f;
}

void Reader::readRunLevel(pugi::xml_node parent, QTextCursor& cur, const QTextCharFormat& paraChars, const QString& paraStyle)
{
    for (pugi::xml_node c = parent.first_child(); c; c = c.next_sibling()) {
        if (c.type() != pugi::node_element)
            continue;
        const char* l = m_n.local(c);
        if (l && std::strcmp(l, "r") == 0) {
            readRun(c, cur, paraChars, paraStyle);
            continue;
        }
        // Everything else takes the cursor's position: the text so far goes in first.
        flushRunText(cur);
        if (!l) {
            markup(cur.position(), nodeXml(c));
            continue;
        }
        if (std::strcmp(l, "pPr") == 0)
            continue;
        if (std::strcmp(l, "bookmarkStart") == 0) {
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
            sd.referenceMarkup = m_model->addMarkup(cur.position(), nodeXml(c), -1);
            m_model->subdocs.push_back(sd);
        } else if (runWrapper(l)) {
            noteWrapperId(c);
            const int group = m_model->preserved().nextGroup++;
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
            m_model->addMarkup(cur.position(), open, group, model::Markup::Open);
            readRunLevel(content, cur, paraChars, paraStyle);
            m_model->addMarkup(cur.position(), content != c ? closeTag(content) + closeTag(c) : closeTag(c), group,
                               model::Markup::Close);
        } else if (!propertyChild(l)) {
            markup(cur.position(), nodeXml(c));
        }
    }
    flushRunText(cur);
}

void Reader::flushRunText(QTextCursor& cur)
{
    if (m_runText.isEmpty())
        return;
    cur.insertText(m_runText, m_runTextFormat);
    m_runText.resize(0);   // keeps its room for the next runs
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
    // Text of runs in a row that look the same goes in with one insertion.
    if (!m_runText.isEmpty() && !(m_runTextFormat == f))
        flushRunText(cur);
    m_runTextFormat = f;
    for (pugi::xml_node c = r.first_child(); c; c = c.next_sibling()) {
        if (c.type() != pugi::node_element)
            continue;
        const char* l = m_n.local(c);
        if (l && std::strcmp(l, "rPr") == 0)
            continue;
        if (l && std::strcmp(l, "t") == 0) {
            for (pugi::xml_node t = c.first_child(); t; t = t.next_sibling())
                if (t.type() == pugi::node_pcdata || t.type() == pugi::node_cdata)
                    m_runText += QString::fromUtf8(t.value());
            continue;
        }
        if (l && std::strcmp(l, "tab") == 0 && !c.first_attribute()) {
            m_runText += u'\t';
            continue;
        }
        if (l && std::strcmp(l, "br") == 0 && !c.first_attribute()) {
            m_runText += QChar::LineSeparator;
            continue;
        }
        flushRunText(cur);
        const QString xml = nodeXml(c);
        if (l && zeroWidthRunChild(l)) {
            markup(cur.position(), QStringLiteral("<%1r>").arg(QString::fromStdString(m_n.prefix())) + f.stringProperty(prop::RPrXml) + xml
                                       + QStringLiteral("</%1r>").arg(QString::fromStdString(m_n.prefix())),
                   fieldGroup(c, l));
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
}

// Drawings, pictures, objects, note references and anything else with a
// place in the line: one object character holding the XML. Pictures whose
// image can be found are shown.
void Reader::insertDrawing(QTextCursor& cur, pugi::xml_node obj, QTextCharFormat f, const QString& xml)
{
    f.setProperty(prop::CharXml, xml);
    f.setProperty(prop::CharKind, int(prop::KindObject));
    if (!m_inBox && xml.contains(u"txbxContent")) {
        // A single box (its VML fallback holds the same content) is a story;
        // groups of boxes stay verbatim in their object, marked -1.
        if (const pugi::xml_node box = singleTextBox(obj)) {
            const int id = nextBoxId++;
            f.setProperty(prop::TextBoxId, id);
            m_pendingBoxes.push_back({box, id});
        } else if (!textBoxContents(obj).empty()) {
            f.setProperty(prop::TextBoxId, -1);
        }
    }
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
    model::ImageStore::of(m_model->text()).add(url, m_pkg.part(part));
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
    const char* id = XmlNames::attr(n, "id").value();
    const pugi::xml_attribute name = XmlNames::attr(n, "name");
    if (!*name.value() || m_open.count(id)) {
        markup(pos, nodeXml(n));
        return;
    }
    m_open.emplace(id, OpenBookmark{ QString::fromUtf8(name.value()), pos, n, m_openOrder++ });
}

void Reader::bookmarkEnd(pugi::xml_node n, int pos)
{
    const char* id = XmlNames::attr(n, "id").value();
    const auto it = m_open.find(id);
    if (it == m_open.end()) {
        markup(pos, nodeXml(n));
        return;
    }
    const OpenBookmark b = std::move(it->second);
    m_open.erase(it);
    // A name used twice: Word keeps the first; the second is kept as it was written.
    if (m_model->anchors().hasBookmark(b.name)) {
        markup(b.position, nodeXml(b.node));
        markup(pos, nodeXml(n));
        return;
    }
    char* end = nullptr;
    const long xmlId = std::strtol(id, &end, 10);
    const bool ok = end != id && *end == 0 && xmlId >= INT_MIN && xmlId <= INT_MAX;
    m_model->anchors().addBookmark(b.name, b.position, pos, ok ? int(xmlId) : -1);
    if (ok)
        m_model->preserved().maxBookmarkId = std::max(m_model->preserved().maxBookmarkId, int(xmlId));
}

// Rows of a table, or cells of a row, that lie in content controls or custom
// XML: the wrappers go to the model's list and each row or cell keeps the
// path of those around it. Other items between them are kept as lead XML of
// the next one (trail: after the last).
void Reader::collectWrapped(pugi::xml_node parent, const char* item, const QString& path, std::vector<Wrapped>& out,
                            QString& lead, int depth)
{
    for (pugi::xml_node c = parent.first_child(); c; c = c.next_sibling()) {
        if (c.type() != pugi::node_element)
            continue;
        const char* l = m_n.local(c);
        if (l && std::strcmp(l, item) == 0) {
            out.push_back({c, path, lead});
            lead.clear();
        } else if (l && depth < 32 && (std::strcmp(l, "sdt") == 0 || std::strcmp(l, "customXml") == 0)) {
            pugi::xml_node content;
            const int index = addWrapper(c, &content);
            const QString inner = path.isEmpty() ? QString::number(index) : path + u',' + QString::number(index);
            const size_t before = out.size();
            collectWrapped(content, item, inner, out, lead, depth + 1);
            if (out.size() == before) {   // nothing of ours inside: keep the wrapper as it is
                m_model->preserved().wrappers.pop_back();
                lead += nodeXml(c);
            }
        } else if (!(l && (propertyChild(l) || std::strcmp(l, "tblGrid") == 0 || std::strcmp(l, "tblPrEx") == 0))) {
            lead += nodeXml(c);
        }
    }
}

void Reader::readTable(pugi::xml_node tbl, Container& ctx)
{
    QString open = openTag(tbl);
    for (pugi::xml_node c = tbl.first_child(); c; c = c.next_sibling())
        if (m_n.is(c, "tblPr") || m_n.is(c, "tblGrid"))
            open += nodeXml(c);
    const size_t wrappersBefore = m_model->preserved().wrappers.size();
    std::vector<Wrapped> rowItems;
    QString rowLead;   // row-level items (bookmarks, markup) before a row, or after the last
    collectWrapped(tbl, "tr", QString(), rowItems, rowLead, 0);
    std::vector<pugi::xml_node> rows;
    for (const Wrapped& w : rowItems)
        rows.push_back(w.node);
    // Rows and cells, with the grid columns each cell starts at.
    struct CellRef { pugi::xml_node tc; int col; int span; bool cont; QString path; QString lead; };
    std::vector<std::vector<CellRef>> grid;
    std::vector<QString> rowTrail;
    int cols = 0;
    for (pugi::xml_node tr : rows) {
        std::vector<CellRef> cells;
        int col = 0;
        const pugi::xml_node trPr = m_n.child(tr, "trPr");
        const QString before = m_n.childVal(trPr, "gridBefore");
        col += before.isEmpty() ? 0 : std::clamp(before.toInt(), 0, 1000);
        std::vector<Wrapped> cellItems;
        QString cellLead;
        collectWrapped(tr, "tc", QString(), cellItems, cellLead, 0);
        for (const Wrapped& w : cellItems) {
            const pugi::xml_node tcPr = m_n.child(w.node, "tcPr");
            const QString spanText = m_n.childVal(tcPr, "gridSpan");
            const int span = std::clamp(spanText.isEmpty() ? 1 : spanText.toInt(), 1, 64);
            const pugi::xml_node vm = m_n.child(tcPr, "vMerge");
            const bool cont = vm && XmlNames::attrText(vm, "val") != u"restart";
            cells.push_back({w.node, col, span, cont, w.path, w.lead});
            col += span;
        }
        rowTrail.push_back(cellLead);
        cols = std::max(cols, col);
        m_cells += std::max(col, 1);
        if (m_cells > kMaxTableCells)
            throw Error(QStringLiteral("A(z) „%1” fájl táblázatai túl sok cellát tartalmaznak (legfeljebb %2 lehet).")
                            .arg(QFileInfo(m_pkg.fileName()).fileName())
                            .arg(kMaxTableCells));
        grid.push_back(std::move(cells));
    }
    if (rows.empty() || cols == 0 || cols > 1000) {
        m_model->preserved().wrappers.resize(wrappersBefore);
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
    const int tableIndex = int(m_model->preserved().tables.size());
    model::PreservedTable preservedTable;
    preservedTable.open = open;
    m_model->preserved().tables.push_back(std::move(preservedTable));
    QTextTableFormat tf;
    tf.setProperty(prop::TableIndex, tableIndex);
    tf.setBorder(0.5);
    tf.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    tf.setCellPadding(2);
    tf.setCellSpacing(0);
    if (!ctx.pendingPrefix.isEmpty())
        tf.setProperty(prop::PrefixXml, ctx.pendingPrefix);
    if (!ctx.path.isEmpty())
        tf.setProperty(prop::BlockPath, ctx.path);
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
    auto pt = [this, tableIndex]() -> model::PreservedTable& { return m_model->preserved().tables[size_t(tableIndex)]; };
    for (size_t r = 0; r < rows.size(); ++r) {
        for (const CellRef& cr : grid[r]) {
            if (cr.col >= cols)
                continue;
            used[r][size_t(cr.col)] = true;   // the spanned columns stay "unused": nothing is written for them
            if (cr.cont && r > 0)
                pt().continuation.insert(model::PreservedTable::key(int(r), cr.col), nodeXml(cr.tc));
        }
        QString rowOpen = rowItems[r].lead + openTag(rows[r]);
        for (pugi::xml_node c = rows[r].first_child(); c; c = c.next_sibling()) {
            if (m_n.is(c, "trPr") || m_n.is(c, "tblPrEx"))
                rowOpen += nodeXml(c);
        }
        pt().rowOpen.push_back(rowOpen);
        pt().rowPath.push_back(rowItems[r].path);
        pt().rowTail.push_back(rowTrail[r]);
    }
    pt().tail = rowLead;
    // Then the content, in document order, so anchors are placed where the text ends up.
    bool first = true;
    for (size_t r = 0; r < rows.size(); ++r) {
        for (const CellRef& cr : grid[r]) {
            if (cr.col >= cols)
                continue;
            QTextTableCell cell = table->cellAt(int(r), cr.col);
            if (!cr.path.isEmpty() || !cr.lead.isEmpty()) {
                QTextCharFormat cf = cell.format();
                cf.setProperty(prop::CellPath, cr.path);
                cf.setProperty(prop::CellLeadXml, cr.lead);
                cell.setFormat(cf);
            }
            if (pt().continuation.contains(model::PreservedTable::key(int(r), cr.col)))
                continue;
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
            if (!cr.path.isEmpty() || !cr.lead.isEmpty()) {
                cf.setProperty(prop::CellPath, cr.path);
                cf.setProperty(prop::CellLeadXml, cr.lead);
            }
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
    // Starts left without an end stay as written, in the order they came.
    std::vector<const OpenBookmark*> unmatched;
    for (const auto& [id, b] : m_open)
        unmatched.push_back(&b);
    std::sort(unmatched.begin(), unmatched.end(), [](const OpenBookmark* a, const OpenBookmark* b) { return a->order < b->order; });
    for (const OpenBookmark* b : unmatched)
        markup(b->position, nodeXml(b->node));
    m_open.clear();
    auto& paras = m_model->preserved().paragraphs;
    for (QTextBlock b = m_model->text()->begin(); b.isValid(); b = b.next()) {
        const QVariant idx = b.blockFormat().property(prop::ParaIndex);
        if (!idx.isValid())
            continue;
        const size_t i = size_t(idx.toInt());
        if (i < paras.size())
            paras[i].signature = m_forced[i] ? 0 : model::blockSignature(b, m_model->anchors());
    }
}

} // namespace

void readDocument(model::DocModel& model, const opc::Package& pkg, const ReadOptions& options)
{
    Reader(model, pkg, options).run();
}

} // namespace word::ooxml
