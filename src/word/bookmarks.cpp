#include "word/bookmarks.h"

#include "word/document.h"
#include "word/error.h"
#include "word/model/docmodel.h"

namespace word {

namespace {

QString notFound(const QString& name)
{
    return QStringLiteral("A(z) „%1” nevű könyvjelző nem létezik.").arg(name);
}

// Word's rule: 1 to 40 characters, a letter first, then letters, digits and underscores.
bool validName(const QString& name)
{
    if (name.isEmpty() || name.size() > 40 || !name.front().isLetter())
        return false;
    for (QChar c : name) {
        if (!(c.isLetter() || c.isDigit() || c == u'_'))
            return false;
    }
    return true;
}

// The listing a collection shows, kept while the document does not change:
// callers walk Item(1..Count) and would otherwise list everything each time.
struct Listing {
    const model::DocModel* model = nullptr;
    quint64 revision = ~0ULL;
    bool restricted = false;
    int start = 0, end = 0;
    std::vector<model::BookmarkInfo> items;
};

const std::vector<model::BookmarkInfo>& listing(const model::DocModel& m, bool restricted, int start, int end)
{
    static Listing cache;
    if (cache.model != &m || cache.revision != m.revision() || cache.restricted != restricted
        || (restricted && (cache.start != start || cache.end != end))) {
        cache.items = restricted ? m.anchors().bookmarksInside(start, end, false) : m.anchors().bookmarksByName(false);
        cache.model = &m;
        cache.revision = m.revision();
        cache.restricted = restricted;
        cache.start = start;
        cache.end = end;
    }
    return cache.items;
}

} // namespace

Bookmark::Bookmark(Document* doc, QString name) : m_doc(doc), m_name(std::move(name)) {}

QString Bookmark::Name() const
{
    const auto b = m_doc->model().anchors().bookmark(m_name);
    if (!b)
        throw Error(notFound(m_name));
    return b->name;
}

void Bookmark::Select() const
{
    const auto b = m_doc->model().anchors().bookmark(m_name);
    if (!b)
        throw Error(notFound(m_name));
    m_doc->ActiveWindow().Selection().SetRange(b->start, b->end);
}

word::Range Bookmark::Range() const
{
    const auto b = m_doc->model().anchors().bookmark(m_name);
    if (!b)
        throw Error(notFound(m_name));
    return word::Range(m_doc, b->start, b->end);
}

void Bookmark::Delete()
{
    if (!m_doc->model().removeBookmark(m_name))
        throw Error(notFound(m_name));
}

Bookmarks::Bookmarks(Document* doc, bool restricted, int start, int end)
    : m_doc(doc), m_restricted(restricted), m_start(start), m_end(end)
{
}

int Bookmarks::Count() const
{
    if (!m_restricted)
        return m_doc->model().anchors().bookmarkCount(false);
    return int(listing(m_doc->model(), true, m_start, m_end).size());
}

Bookmark Bookmarks::Item(int index) const
{
    const auto& items = listing(m_doc->model(), m_restricted, m_start, m_end);
    if (index < 1 || index > int(items.size()))
        throw Error(QStringLiteral("Nincs %1. sorszámú könyvjelző (%2 könyvjelző van).").arg(index).arg(items.size()));
    return Bookmark(m_doc, items[size_t(index - 1)].name);
}

Bookmark Bookmarks::Item(const QString& name) const
{
    const auto b = m_doc->model().anchors().bookmark(name);
    if (!b)
        throw Error(notFound(name));
    if (m_restricted && (b->start < m_start || b->end > m_end))
        throw Error(QStringLiteral("A(z) „%1” nevű könyvjelző nincs a kijelölt részben.").arg(name));
    return Bookmark(m_doc, b->name);
}

bool Bookmarks::Exists(const QString& name) const
{
    const auto b = m_doc->model().anchors().bookmark(name);
    return b && (!m_restricted || (b->start >= m_start && b->end <= m_end));
}

Bookmark Bookmarks::Add(const QString& name)
{
    const Selection& s = m_doc->ActiveWindow().Selection();
    return Add(name, word::Range(m_doc, s.Start(), s.End()));
}

Bookmark Bookmarks::Add(const QString& name, const word::Range& range)
{
    if (!validName(name))
        throw Error(QStringLiteral("A(z) „%1” nem érvényes könyvjelzőnév: 1–40 karakter lehet, betűvel kell kezdődnie, "
                                   "és csak betűt, számjegyet és aláhúzásjelet tartalmazhat.").arg(name));
    if (range.document() != m_doc)
        throw Error(QStringLiteral("A(z) „%1” könyvjelző tartománya másik dokumentumban van.").arg(name));
    m_doc->model().addBookmark(name, range.Start(), range.End());
    return Bookmark(m_doc, name);
}

} // namespace word
