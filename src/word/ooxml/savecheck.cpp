#include "word/ooxml/savecheck.h"

#include "word/error.h"
#include "word/model/docmodel.h"
#include "word/model/formatprops.h"
#include "word/model/stringhash.h"
#include "word/ooxml/xmlnames.h"
#include "word/opc/package.h"
#include "word/opc/xmllimits.h"

#include <QHash>
#include <QTextBlock>
#include <QTextDocument>
#include <algorithm>
#include <numeric>
#include <cstring>
#include <string>
#include <unordered_map>

namespace word::ooxml {

namespace {

bool oneOf(const char* l, std::initializer_list<const char*> names)
{
    for (const char* n : names)
        if (std::strcmp(l, n) == 0)
            return true;
    return false;
}

// The text box ids of a story's object characters, in text order.
std::vector<int> textBoxIds(const model::DocModel& m)
{
    std::vector<int> out;
    for (QTextBlock b = m.text()->begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            if (f.hasProperty(model::prop::TextBoxId))
                for (int i = 0; i < it.fragment().length(); ++i)
                    out.push_back(f.intProperty(model::prop::TextBoxId));
        }
    return out;
}

// Text and bookmarks of a story as the written XML holds them: the text of
// runs (objects, deleted text and field codes left out) and each bookmark's
// span in that text.
class Extractor {
public:
    explicit Extractor(pugi::xml_node root) : m_n(root) {}

    void blocks(pugi::xml_node container, int depth = 0);
    QString text;
    struct Span { int start = -1; int end = -1; };
    std::unordered_map<QString, Span, model::StringHash, model::StringEqual> bookmarks;
    std::vector<pugi::xml_node> boxes;   // objects holding text boxes, in document order

private:
    void paragraphContent(pugi::xml_node parent, int depth);
    void run(pugi::xml_node r);
    void table(pugi::xml_node tbl, int depth);
    void collect(pugi::xml_node parent, const char* item, std::vector<pugi::xml_node>& out, int depth);
    bool holdsBlocks(pugi::xml_node n, int depth) const;
    void bookmark(pugi::xml_node n);

    XmlNames m_n;
    std::unordered_map<std::string, std::pair<QString, int>> m_open;   // w:id -> name, start
};

void Extractor::bookmark(pugi::xml_node n)
{
    const char* id = XmlNames::attr(n, "id").value();
    if (m_n.is(n, "bookmarkStart")) {
        const char* name = XmlNames::attr(n, "name").value();
        if (*name && !m_open.count(id))
            m_open.emplace(id, std::pair(QString::fromUtf8(name), int(text.size())));
        return;
    }
    const auto it = m_open.find(id);
    if (it == m_open.end())
        return;
    // A name used twice: the first to be complete is the bookmark.
    bookmarks.emplace(it->second.first, Span{ it->second.second, int(text.size()) });
    m_open.erase(it);
}

bool Extractor::holdsBlocks(pugi::xml_node n, int depth) const
{
    if (depth > 64)
        return false;
    for (pugi::xml_node c = n.first_child(); c; c = c.next_sibling()) {
        const char* l = m_n.local(c);
        if (l && (std::strcmp(l, "p") == 0 || std::strcmp(l, "tbl") == 0))
            return true;
        if (l && oneOf(l, {"sdt", "sdtContent", "customXml"}) && holdsBlocks(c, depth + 1))
            return true;
    }
    return false;
}

void Extractor::blocks(pugi::xml_node container, int depth)
{
    if (depth > 300)
        return;
    for (pugi::xml_node c = container.first_child(); c; c = c.next_sibling()) {
        const char* l = m_n.local(c);
        if (!l)
            continue;
        if (std::strcmp(l, "p") == 0)
            paragraphContent(c, depth + 1);
        else if (std::strcmp(l, "tbl") == 0)
            table(c, depth + 1);
        else if (std::strcmp(l, "bookmarkStart") == 0 || std::strcmp(l, "bookmarkEnd") == 0)
            bookmark(c);
        else if ((std::strcmp(l, "sdt") == 0 || std::strcmp(l, "customXml") == 0) && holdsBlocks(c, 0))
            blocks(std::strcmp(l, "sdt") == 0 ? m_n.child(c, "sdtContent") : c, depth + 1);
    }
}

void Extractor::paragraphContent(pugi::xml_node parent, int depth)
{
    if (depth > 300)
        return;
    for (pugi::xml_node c = parent.first_child(); c; c = c.next_sibling()) {
        const char* l = m_n.local(c);
        if (!l)
            continue;
        if (std::strcmp(l, "r") == 0)
            run(c);
        else if (std::strcmp(l, "bookmarkStart") == 0 || std::strcmp(l, "bookmarkEnd") == 0)
            bookmark(c);
        else if (std::strcmp(l, "sdt") == 0)
            paragraphContent(m_n.child(c, "sdtContent"), depth + 1);
        else if (oneOf(l, {"hyperlink", "fldSimple", "smartTag", "customXml", "ins", "moveTo", "dir", "bdo"}))
            paragraphContent(c, depth + 1);
    }
}

void Extractor::run(pugi::xml_node r)
{
    for (pugi::xml_node c = r.first_child(); c; c = c.next_sibling()) {
        const char* l = m_n.local(c);
        if (!l) {
            // mc:AlternateContent and other objects outside the main namespace
            if (!textBoxContents(c).empty())
                boxes.push_back(c);
            continue;
        }
        if (std::strcmp(l, "t") == 0) {
            for (pugi::xml_node t = c.first_child(); t; t = t.next_sibling())
                if (t.type() == pugi::node_pcdata || t.type() == pugi::node_cdata)
                    text += QString::fromUtf8(t.value());
        } else if (std::strcmp(l, "rPr") == 0) {
            continue;
        } else if (std::strcmp(l, "tab") == 0) {
            text += u'\t';
        } else if (std::strcmp(l, "noBreakHyphen") == 0) {
            text += QChar(0x2011);
        } else if (std::strcmp(l, "softHyphen") == 0) {
            text += QChar(0x00AD);
        } else if (!textBoxContents(c).empty()) {
            boxes.push_back(c);
        }
    }
}

void Extractor::collect(pugi::xml_node parent, const char* item, std::vector<pugi::xml_node>& out, int depth)
{
    for (pugi::xml_node c = parent.first_child(); c; c = c.next_sibling()) {
        const char* l = m_n.local(c);
        if (l && std::strcmp(l, item) == 0) {
            out.push_back(c);
        } else if (l && depth < 32 && (std::strcmp(l, "sdt") == 0 || std::strcmp(l, "customXml") == 0)) {
            const pugi::xml_node content = std::strcmp(l, "sdt") == 0 ? m_n.child(c, "sdtContent") : c;
            collect(content, item, out, depth + 1);
        }
    }
}

// A table as the model holds it: cells in grid order, the continuations of
// vertical merges and tables too wide to lay out kept aside, as XML only.
void Extractor::table(pugi::xml_node tbl, int depth)
{
    std::vector<pugi::xml_node> rows;
    collect(tbl, "tr", rows, 0);
    struct Cell { pugi::xml_node tc; bool cont; };
    std::vector<std::vector<Cell>> grid;
    int cols = 0;
    for (pugi::xml_node tr : rows) {
        const QString before = m_n.childVal(m_n.child(tr, "trPr"), "gridBefore");
        int col = before.isEmpty() ? 0 : std::clamp(before.toInt(), 0, 1000);
        std::vector<pugi::xml_node> tcs;
        collect(tr, "tc", tcs, 0);
        std::vector<Cell> cells;
        for (pugi::xml_node tc : tcs) {
            const pugi::xml_node tcPr = m_n.child(tc, "tcPr");
            const QString spanText = m_n.childVal(tcPr, "gridSpan");
            const pugi::xml_node vm = m_n.child(tcPr, "vMerge");
            cells.push_back({tc, vm && XmlNames::attrText(vm, "val") != u"restart"});
            col += std::clamp(spanText.isEmpty() ? 1 : spanText.toInt(), 1, 64);
        }
        cols = std::max(cols, col);
        grid.push_back(std::move(cells));
    }
    if (rows.empty() || cols == 0 || cols > 1000)
        return;
    for (size_t r = 0; r < grid.size(); ++r)
        for (const Cell& c : grid[r])
            if (!(c.cont && r > 0))
                blocks(c.tc, depth + 1);
}

// The model's text in the extractor's terms, with a map from model positions.
struct ModelText {
    QString text;
    std::vector<int> offsetAt;   // by model position
};

// Spans of the main text that go to subdocument files of their own: the
// paragraphs they touch are written as references there.
std::vector<std::pair<int, int>> subdocumentRegions(const model::DocModel& m)
{
    std::vector<std::pair<int, int>> out;
    const auto& markups = m.preserved().markups;
    for (const model::Subdocument& sd : m.subdocs) {
        if (sd.regionStart < 0 || sd.regionEnd < 0)
            continue;
        const auto a = m.anchors().markupPosition(markups[size_t(sd.regionStart)].handle);
        const auto b = m.anchors().markupPosition(markups[size_t(sd.regionEnd)].handle);
        if (a && b && *a <= *b)
            out.push_back({*a, *b});
    }
    return out;
}

ModelText modelText(const model::DocModel& m, std::vector<bool>* skippedAt = nullptr)
{
    ModelText out;
    const QTextDocument* doc = m.text();
    out.offsetAt.assign(size_t(doc->characterCount()) + 1, 0);
    out.text.reserve(doc->characterCount());
    const auto regions = subdocumentRegions(m);
    if (skippedAt)
        skippedAt->assign(out.offsetAt.size(), false);
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        const QString t = b.text();
        const int pos = b.position();
        const int last = pos + b.length() - 1;
        if (std::any_of(regions.begin(), regions.end(), [&](const auto& r) { return !(last < r.first || pos > r.second); })) {
            for (int p = pos; p <= last && size_t(p) < out.offsetAt.size(); ++p) {
                out.offsetAt[size_t(p)] = int(out.text.size());
                if (skippedAt)
                    (*skippedAt)[size_t(p)] = true;
            }
            continue;
        }
        // Line breaks and objects are not text in the written runs; the
        // characters between them go in whole.
        int written = int(out.text.size());
        const bool plain = !t.contains(QChar::LineSeparator) && !t.contains(QChar::ObjectReplacementCharacter);
        if (plain && size_t(pos) + size_t(t.size()) < out.offsetAt.size()) {
            std::iota(out.offsetAt.begin() + pos, out.offsetAt.begin() + pos + t.size(), written);
            written += int(t.size());
            out.text.append(t);
        } else {
            qsizetype from = 0;
            for (qsizetype i = 0; i < t.size(); ++i) {
                if (size_t(pos + i) < out.offsetAt.size())
                    out.offsetAt[size_t(pos + i)] = written;
                const QChar c = t.at(i);
                if (c == QChar::LineSeparator || c == QChar::ObjectReplacementCharacter) {
                    out.text.append(QStringView(t).mid(from, i - from));
                    from = i + 1;
                } else {
                    ++written;
                }
            }
            out.text.append(QStringView(t).mid(from));
        }
        if (size_t(pos + t.size()) < out.offsetAt.size())
            out.offsetAt[size_t(pos + t.size())] = written;
        // Positions of frame boundaries between blocks map to the text so far.
        const int next = b.next().isValid() ? b.next().position() : int(out.offsetAt.size());
        for (int p = pos + int(t.size()) + 1; p < next && size_t(p) < out.offsetAt.size(); ++p)
            out.offsetAt[size_t(p)] = int(out.text.size());
    }
    out.offsetAt.back() = int(out.text.size());
    return out;
}

QString firstDifference(const QString& want, const QString& got)
{
    qsizetype i = 0;
    while (i < want.size() && i < got.size() && want.at(i) == got.at(i))
        ++i;
    return QStringLiteral("„%1” helyett „%2”").arg(want.mid(i, 20), got.mid(i, 20));
}

QString compareStory(const model::DocModel& m, pugi::xml_node container, pugi::xml_node root,
                     const QHash<int, const model::DocModel*>& boxes);

// Each text box of m against every copy of its content in the written objects.
QString compareBoxes(const model::DocModel& m, const std::vector<pugi::xml_node>& objects, pugi::xml_node root,
                     const QHash<int, const model::DocModel*>& boxes)
{
    const std::vector<int> ids = textBoxIds(m);
    if (ids.size() != objects.size())
        return QStringLiteral("%1 szövegdoboz helyett %2 olvasható vissza").arg(ids.size()).arg(objects.size());
    for (size_t i = 0; i < ids.size(); ++i) {
        const model::DocModel* box = boxes.value(ids[i]);
        if (!box)
            continue;
        for (pugi::xml_node c : textBoxContents(objects[i])) {
            const QString why = compareStory(*box, c, root, {});
            if (!why.isEmpty())
                return QStringLiteral("%1. szövegdoboz: %2").arg(i + 1).arg(why);
        }
    }
    return {};
}

// Empty when the story's part gives back the model's text and bookmarks, else what differs.
QString compareStory(const model::DocModel& m, pugi::xml_node container, pugi::xml_node root,
                     const QHash<int, const model::DocModel*>& boxes)
{
    Extractor ex(root);
    ex.blocks(container);
    std::vector<bool> skipped;
    const ModelText mt = modelText(m, &skipped);
    if (ex.text != mt.text)
        return QStringLiteral("a szöveg eltér: %1").arg(firstDifference(mt.text, ex.text));
    // Bookmarks in subdocument text are in the subdocument's file.
    auto bookmarks = m.anchors().allBookmarks();
    bookmarks.erase(std::remove_if(bookmarks.begin(), bookmarks.end(),
                                   [&](const model::BookmarkInfo& b) {
                                       return skipped[size_t(b.start)] || skipped[size_t(b.end)];
                                   }),
                    bookmarks.end());
    if (bookmarks.size() != ex.bookmarks.size())
        return QStringLiteral("%1 könyvjelző helyett %2 olvasható vissza").arg(bookmarks.size()).arg(ex.bookmarks.size());
    for (const model::BookmarkInfo& b : bookmarks) {
        const auto it = ex.bookmarks.find(b.name);
        if (it == ex.bookmarks.end() || it->second.end < 0)
            return QStringLiteral("a(z) „%1” könyvjelző hiányzik").arg(b.name);
        const int s = mt.offsetAt[size_t(b.start)];
        const int e = mt.offsetAt[size_t(b.end)];
        if (it->second.start != s || it->second.end != e)
            return QStringLiteral("a(z) „%1” könyvjelző máshol áll").arg(b.name);
    }
    if (!boxes.isEmpty())
        return compareBoxes(m, ex.boxes, root, boxes);
    return {};
}

} // namespace

void verifySavedPackage(const QByteArray& packageBytes, const model::DocModel& main, const QStringList& writtenParts,
                        const QString& shownName)
{
    auto fail = [&](const QString& why) {
        throw Error(QStringLiteral("A(z) „%1” fájl mentése megszakadt, mert az elkészült fájl hibás lett volna (%2). "
                                   "A korábbi fájl változatlan maradt.").arg(shownName, why));
    };
    std::unique_ptr<opc::Package> pkg;
    try {
        pkg = opc::Package::fromOwnBytes(packageBytes, shownName);
    } catch (const Error& e) {
        fail(e.message());
    }
    QHash<QString, std::shared_ptr<pugi::xml_document>> parsed;
    for (const QString& name : writtenParts) {
        if (!pkg->hasPart(name))
            fail(QStringLiteral("hiányzik a(z) „%1” rész").arg(name));
        auto doc = std::make_shared<pugi::xml_document>();
        const QString problem = opc::parseOwnXml(pkg->part(name), *doc);
        if (!problem.isEmpty())
            fail(QStringLiteral("a(z) „%1” rész %2").arg(name, problem));
        parsed.insert(name, doc);
    }
    auto rootOf = [&](const QString& part) -> pugi::xml_node {
        const auto it = parsed.constFind(part);
        return it == parsed.constEnd() ? pugi::xml_node() : (*it)->document_element();
    };
    QHash<int, const model::DocModel*> boxes;
    for (const model::Story& s : main.stories())
        if (s.kind == model::Story::TextBox)
            boxes.insert(s.boxId, s.model.get());
    if (const pugi::xml_node root = rootOf(main.mainPart)) {
        const XmlNames names(root);
        const QString why = compareStory(main, names.child(root, "body"), root, boxes);
        if (!why.isEmpty())
            fail(QStringLiteral("fő szöveg: %1").arg(why));
    }
    QHash<QString, pugi::xml_node> nextNote;   // notes parts: the note element to compare next
    for (const model::Story& s : main.stories()) {
        const pugi::xml_node root = rootOf(s.part);
        if (!root || s.kind == model::Story::TextBox)   // boxes are compared inside their hosts
            continue;
        pugi::xml_node container = root;
        if (main.storyPartFrames.contains(s.part)) {
            pugi::xml_node n = nextNote.contains(s.part) ? nextNote.value(s.part).next_sibling() : root.first_child();
            while (n && n.type() != pugi::node_element)
                n = n.next_sibling();
            // Elements other than notes may stand ahead of them.
            const XmlNames names(root);
            while (n && XmlNames::attrText(n, "id") != s.noteId)
                n = n.next_sibling();
            if (!n)
                fail(QStringLiteral("a(z) „%1” részből hiányzik a(z) %2. jegyzet").arg(s.part, s.noteId));
            nextNote.insert(s.part, n);
            container = n;
        }
        const QString why = compareStory(*s.model, container, root, boxes);
        if (!why.isEmpty())
            fail(QStringLiteral("„%1”: %2").arg(s.part, why));
    }
}

} // namespace word::ooxml
