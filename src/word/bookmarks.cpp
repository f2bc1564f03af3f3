#include "word/bookmarks.h"

#include "word/document.h"
#include "word/error.h"
#include "word/model/docmodel.h"

#include <algorithm>

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

void requireValidName(const QString& name)
{
    if (!validName(name))
        throw Error(QStringLiteral("A(z) „%1” nem érvényes könyvjelzőnév: 1–40 karakter lehet, betűvel kell kezdődnie, "
                                   "és csak betűt, számjegyet és aláhúzásjelet tartalmazhat.").arg(name));
}

// A number that changes with every change of any story of the document.
quint64 documentRevision(const model::DocModel& main)
{
    quint64 r = main.revision();
    for (const model::Story& s : main.stories())
        r += s.model->revision();
    return r + main.stories().size();
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
    const quint64 revision = restricted ? m.revision() : documentRevision(m);
    if (cache.model != &m || cache.revision != revision || cache.restricted != restricted
        || (restricted && (cache.start != start || cache.end != end))) {
        if (restricted) {
            cache.items = m.anchors().bookmarksInside(start, end, false);
        } else {
            cache.items = m.anchors().bookmarksByName(false);
            if (!m.stories().empty()) {
                for (const model::Story& s : m.stories())
                    for (model::BookmarkInfo& b : s.model->anchors().bookmarksByName(false))
                        if (!m.anchors().hasBookmark(b.name))
                            cache.items.push_back(std::move(b));
                std::stable_sort(cache.items.begin(), cache.items.end(), [](const auto& a, const auto& b) {
                    return a.name.compare(b.name, Qt::CaseInsensitive) < 0;
                });
            }
        }
        cache.model = &m;
        cache.revision = revision;
        cache.restricted = restricted;
        cache.start = start;
        cache.end = end;
    }
    return cache.items;
}

// The story holding the named bookmark (the main text first), or null.
model::DocModel* storyOf(Document* doc, const QString& name)
{
    model::DocModel& main = doc->model();
    if (main.anchors().hasBookmark(name))
        return &main;
    for (model::Story& s : main.stories())
        if (s.model->anchors().hasBookmark(name))
            return s.model.get();
    return nullptr;
}

model::DocModel* storyOrNull(Document* doc, model::DocModel* m) { return m == &doc->model() ? nullptr : m; }

} // namespace

Bookmark::Bookmark(Document* doc, QString name) : m_doc(doc), m_name(std::move(name)) {}

QString Bookmark::Name() const
{
    model::DocModel* m = storyOf(m_doc, m_name);
    if (!m)
        throw Error(notFound(m_name));
    return m->anchors().storedName(m_name);
}

void Bookmark::Select() const
{
    model::DocModel* m = storyOf(m_doc, m_name);
    if (!m)
        throw Error(notFound(m_name));
    const auto b = m->anchors().bookmark(m_name);
    m_doc->ActiveWindow().Selection().SetRange(storyOrNull(m_doc, m), b->start, b->end);
}

word::Range Bookmark::Range() const
{
    model::DocModel* m = storyOf(m_doc, m_name);
    if (!m)
        throw Error(notFound(m_name));
    const auto b = m->anchors().bookmark(m_name);
    return word::Range(m_doc, storyOrNull(m_doc, m), b->start, b->end);
}

void Bookmark::Delete()
{
    model::DocModel* m = storyOf(m_doc, m_name);
    if (!m || !m->removeBookmark(m_name))
        throw Error(notFound(m_name));
}

Bookmarks::Bookmarks(Document* doc, bool restricted, int start, int end)
    : m_doc(doc), m_restricted(restricted), m_start(start), m_end(end)
{
}

Bookmarks::Bookmarks(Document* doc, model::DocModel* story, int start, int end)
    : m_doc(doc), m_story(story), m_restricted(true), m_start(start), m_end(end)
{
}

model::DocModel& Bookmarks::storyModel() const { return m_story ? *m_story : m_doc->model(); }

int Bookmarks::Count() const
{
    if (!m_restricted && m_doc->model().stories().empty())
        return m_doc->model().anchors().bookmarkCount(false);
    return int(listing(storyModel(), m_restricted, m_start, m_end).size());
}

Bookmark Bookmarks::Item(int index) const
{
    const auto& items = listing(storyModel(), m_restricted, m_start, m_end);
    if (index < 1 || index > int(items.size()))
        throw Error(QStringLiteral("Nincs %1. sorszámú könyvjelző (%2 könyvjelző van).").arg(index).arg(items.size()));
    return Bookmark(m_doc, items[size_t(index - 1)].name);
}

Bookmark Bookmarks::Item(const QString& name) const
{
    if (!m_restricted) {
        model::DocModel* m = storyOf(m_doc, name);
        if (!m)
            throw Error(notFound(name));
        return Bookmark(m_doc, m->anchors().storedName(name));
    }
    const auto b = storyModel().anchors().bookmark(name);
    if (!b)
        throw Error(notFound(name));
    if (b->start < m_start || b->end > m_end)
        throw Error(QStringLiteral("A(z) „%1” nevű könyvjelző nincs a kijelölt részben.").arg(name));
    return Bookmark(m_doc, b->name);
}

bool Bookmarks::Exists(const QString& name) const
{
    if (!m_restricted)
        return storyOf(m_doc, name) != nullptr;
    const auto b = storyModel().anchors().bookmark(name);
    return b && b->start >= m_start && b->end <= m_end;
}

Bookmark Bookmarks::Add(const QString& name)
{
    requireValidName(name);
    const Selection& s = m_doc->ActiveWindow().Selection();
    return addAt(name, s.story() ? *s.story() : m_doc->model(), s.Start(), s.End());
}

Bookmark Bookmarks::Add(const QString& name, const word::Range& range)
{
    requireValidName(name);
    if (range.document() != m_doc)
        throw Error(QStringLiteral("A(z) „%1” könyvjelző tartománya másik dokumentumban van.").arg(name));
    return addAt(name, range.storyModel(), range.Start(), range.End());
}

Bookmark Bookmarks::addAt(const QString& name, model::DocModel& target, int start, int end)
{
    // A name lives once in a document: adding it in one story moves it from another.
    model::DocModel* holder = storyOf(m_doc, name);
    if (holder && holder != &target)
        holder->removeBookmark(name);
    target.addBookmark(name, start, end);
    return Bookmark(m_doc, name);
}

} // namespace word
