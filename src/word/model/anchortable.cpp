#include "word/model/anchortable.h"

#include "word/model/anchortree.h"
#include "word/model/stringhash.h"

#include <QHash>
#include <QSet>
#include <QVarLengthArray>
#include <algorithm>
#include <bit>
#include <climits>
#include <utility>

namespace word::model {

using detail::AnchorNode;
using detail::AnchorTree;

namespace {

// Bookmark names compare without regard to case. Most names need no folding
// or only ASCII folding; those keep clear of the general conversion, which
// costs far more than the lookup it serves.
using FoldBuffer = QVarLengthArray<char16_t, 64>;

// The lookup key of name: name itself when folding changes nothing, else its
// folding in buf, or in general for a name with surrogates.
QStringView foldedKey(const QString& name, FoldBuffer& buf, QString& general)
{
    const qsizetype n = name.size();
    qsizetype i = 0;
    while (i < n && name[i].unicode() < 0x80 && !(name[i].unicode() >= u'A' && name[i].unicode() <= u'Z'))
        ++i;
    if (i == n)
        return name;
    buf.resize(n);
    std::copy_n(name.utf16(), i, buf.data());
    for (; i < n; ++i) {
        const char16_t c = name[i].unicode();
        if (c < 0x80) {
            buf[i] = (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c;
        } else if (QChar::isSurrogate(c)) {
            general = name.toCaseFolded();
            return general;
        } else {
            buf[i] = char16_t(QChar::toCaseFolded(char32_t(c)));
        }
    }
    return QStringView(buf.data(), n);
}

QString foldedName(const QString& name)
{
    FoldBuffer buf;
    QString general;
    const QStringView key = foldedKey(name, buf, general);
    if (key.data() == name.constData())
        return name;
    return general.isNull() ? key.toString() : general;
}

// Case-folded bookmark names, each with the serial of its bookmark (0 once
// the bookmark is gone). Names are never taken out (but by clear()), so a
// bookmark keeps its name's entry and finds it again when it comes back.
// Open addressing over slots of one cache line, which hold a short name
// themselves: in a long contract a lookup costs one miss of the cache for
// the slot and one for the entry, where a node-based map cost four.
class NameTable {
public:
    // The entry of key, or -1.
    int find(QStringView key) const { return find(key, StringHash()(key)); }
    // The entry of key, added (with serial 0) when missing.
    std::pair<int, bool> insert(const QString& key)
    {
        const size_t h = StringHash()(key);
        if (const int e = find(key, h); e >= 0)
            return { e, false };
        return { add(key, h), true };
    }
    // The entry of a key known to be missing.
    int addMissing(const QString& key) { return add(key, StringHash()(key)); }
    int& serial(int entry) { return m_entries[size_t(entry)].serial; }
    int serial(int entry) const { return m_entries[size_t(entry)].serial; }
    const QString& key(int entry) const { return m_entries[size_t(entry)].key; }
    void clear()
    {
        m_slots.clear();
        m_entries.clear();
    }
    // Room for n names without growing.
    void reserve(size_t n)
    {
        m_entries.reserve(n);
        if (n * 2 > m_slots.size())
            grow(std::bit_ceil(n * 2));
    }

private:
    static constexpr int kInline = 27;              // characters a slot holds itself
    static constexpr quint16 kLong = 0xFFFF;        // the name is in its entry only
    struct Slot {
        quint32 tag = 0;                            // 0: empty
        quint32 entry = 0;
        quint16 length = 0;
        char16_t text[kInline];
    };
    static_assert(sizeof(Slot) == 64);
    struct Entry {
        QString key;
        size_t hash;
        int serial;
    };

    int add(const QString& key, size_t h)
    {
        if ((m_entries.size() + 1) * 2 > m_slots.size())
            grow(std::max<size_t>(16, m_slots.size() * 2));
        const int e = int(m_entries.size());
        m_entries.push_back({ key, h, 0 });
        place(h, quint32(e), key);
        return e;
    }
    int find(QStringView key, size_t h) const
    {
        if (m_slots.empty())
            return -1;
        const quint32 tag = tagOf(h);
        for (size_t i = h & mask();; i = (i + 1) & mask()) {
            const Slot& s = m_slots[i];
            if (s.tag == 0)
                return -1;
            if (s.tag == tag && holds(s, key))
                return int(s.entry);
        }
    }
    static quint32 tagOf(size_t h) { return quint32(quint64(h) >> 32) | 1u; }
    size_t mask() const { return m_slots.size() - 1; }
    bool holds(const Slot& s, QStringView key) const
    {
        if (s.length == kLong)
            return key == m_entries[s.entry].key;
        return s.length == key.size() && std::equal(s.text, s.text + s.length, key.utf16());
    }
    void place(size_t h, quint32 entry, QStringView key)
    {
        size_t i = h & mask();
        while (m_slots[i].tag != 0)
            i = (i + 1) & mask();
        Slot& s = m_slots[i];
        s.tag = tagOf(h);
        s.entry = entry;
        if (key.size() <= kInline) {
            s.length = quint16(key.size());
            std::copy_n(key.utf16(), key.size(), s.text);
        } else {
            s.length = kLong;
        }
    }
    void grow(size_t slotCount)
    {
        m_slots.assign(slotCount, Slot());
        for (size_t e = 0; e < m_entries.size(); ++e)
            place(m_entries[e].hash, quint32(e), m_entries[e].key);
    }

    std::vector<Slot> m_slots;       // a power of two of them, at most half in use
    std::vector<Entry> m_entries;    // in the order the names came
};

// Order of the points at one position. A collapsed bookmark's end sorts after
// every start so that it never comes before its own start.
enum Rank : quint8 { RankEnd = 0, RankMarkup = 1, RankStart = 2, RankCollapsedEnd = 3 };

struct BookmarkState {
    QString name;
    QString folded;      // the name's lookup key, kept to fold each name once
    int xmlId = -1;
    int start = 0;
    int end = 0;
    quint64 startSeq = 0;
    quint64 endSeq = 0;
};

struct MarkupState {
    int position = 0;
    int index = 0;
    int group = -1;
    quint64 seq = 0;
};

struct BookmarkChange {
    int serial;
    std::optional<BookmarkState> before;
    std::optional<BookmarkState> after;
};

struct MarkupChange {
    int handle;
    std::optional<MarkupState> before;
    std::optional<MarkupState> after;
};

// One reversible change: the listed points are taken out, every remaining
// point after shiftPos moves by shiftDelta, and the listed points go back in
// with their new state. Running it backwards swaps before/after and negates
// the shift; both directions are exact because the points between the edges
// of an edit are always among the listed ones.
struct Step {
    int shiftPos = 0;
    int shiftDelta = 0;
    std::vector<BookmarkChange> bookmarks;
    std::vector<MarkupChange> markups;
    bool empty() const { return shiftDelta == 0 && bookmarks.empty() && markups.empty(); }
};

struct BookmarkRecord {
    QString name;
    QString folded;
    int xmlId = -1;
    AnchorNode* start = nullptr;
    AnchorNode* end = nullptr;
    int nameEntry = -1;   // its entry in the table of names
};

// Bookmark records by serial. Serials only grow (a bookmark placed anew
// takes a fresh one, and undo steps name them), so the way from a serial to
// its record is a plain array, four bytes a serial ever given; the records
// lie together in a second array whose free places are taken again first.
// A lookup costs two reads, where a node-based map cost three misses of the
// cache in a long contract. References are valid until the next emplace.
class RecordStore {
public:
    const BookmarkRecord* find(int serial) const
    {
        const size_t s = size_t(serial);
        if (s >= m_placeOf.size() || m_placeOf[s] == 0)
            return nullptr;
        return &m_items[m_placeOf[s] - 1].rec;
    }
    const BookmarkRecord& at(int serial) const
    {
        const BookmarkRecord* r = find(serial);
        Q_ASSERT(r);
        return *r;
    }
    void emplace(int serial, BookmarkRecord&& rec)
    {
        Q_ASSERT(serial > 0 && !find(serial));
        if (size_t(serial) >= m_placeOf.size())
            m_placeOf.resize(std::max<size_t>(size_t(serial) + 1, m_placeOf.size() * 2), 0);
        quint32 place;
        if (!m_free.empty()) {
            place = m_free.back();
            m_free.pop_back();
            m_items[place] = Item{ std::move(rec), serial };
        } else {
            place = quint32(m_items.size());
            m_items.push_back(Item{ std::move(rec), serial });
        }
        m_placeOf[size_t(serial)] = place + 1;
        ++m_size;
    }
    void erase(int serial)
    {
        const quint32 place = m_placeOf[size_t(serial)] - 1;
        m_placeOf[size_t(serial)] = 0;
        m_items[place] = Item();   // lets go of the names
        m_free.push_back(place);
        --m_size;
    }
    size_t size() const { return m_size; }
    void reserve(size_t n)
    {
        m_items.reserve(n);
        m_placeOf.reserve(n + 1);
    }
    void clear()
    {
        m_placeOf.clear();
        m_items.clear();
        m_free.clear();
        m_size = 0;
    }
    // fn(serial, record) for every record, in no particular order.
    template <class Fn>
    void forEach(Fn&& fn) const
    {
        for (const Item& i : m_items)
            if (i.serial != 0)
                fn(i.serial, i.rec);
    }

private:
    struct Item {
        BookmarkRecord rec;
        int serial = 0;   // 0: a free place
    };
    std::vector<quint32> m_placeOf;   // serial -> place + 1, 0 when none
    std::vector<Item> m_items;
    std::vector<quint32> m_free;
    size_t m_size = 0;
};

struct MarkupRecord {
    int index = 0;
    int group = -1;
    AnchorNode* node = nullptr;
};

bool isHidden(const QString& name)
{
    return name.startsWith(QLatin1Char('_'));
}

} // namespace

// The history kept for snapshots: a tree of versions, each reached from its
// parent by one step. Branches appear when changes follow a restore to an
// older version; they stay reachable for as long as snapshots are alive.
struct Version {
    Version* parent = nullptr;
    int depth = 0;
    Step step;
};

struct Journal {
    std::vector<std::unique_ptr<Version>> versions;
    Version* current = nullptr;
    int liveSnapshots = 0;

    Journal() { reset(); }
    void reset()
    {
        versions.clear();
        versions.push_back(std::make_unique<Version>());
        current = versions.back().get();
    }
};

struct AnchorTable::Snapshot {
    std::shared_ptr<Journal> journal;
    Version* version = nullptr;
    Snapshot(std::shared_ptr<Journal> j, Version* v) : journal(std::move(j)), version(v) { ++journal->liveSnapshots; }
    ~Snapshot() { --journal->liveSnapshots; }
    Snapshot(const Snapshot&) = delete;
    Snapshot& operator=(const Snapshot&) = delete;
};

struct AnchorTable::Impl {
    AnchorTree tree;
    RecordStore bookmarks;   // by serial
    NameTable byName;
    // The last name looked up, as asked, and its entry (-1: not found). A
    // caller works on one bookmark several times in a row (exists, select,
    // replace, mark again), and folding and hashing its name each time cost
    // more than the rest of those calls.
    mutable QString lastName;
    mutable int lastEntry = -1;
    QHash<int, MarkupRecord> markups;                    // by handle
    QHash<int, QList<int>> groups;                       // group -> handles
    int hiddenCount = 0;
    int nextSerial = 1;
    int nextHandle = 1;
    quint64 nextSeq = 1;
    std::shared_ptr<Journal> journal = std::make_shared<Journal>();
    // The last snapshot handed out: asked again before any change (an edit's
    // state after is the next edit's state before), it is handed out again.
    // While it lives the journal is never reset, so its version is current
    // only if nothing changed since.
    mutable std::weak_ptr<const Snapshot> lastSnapshot;

    // Serials in name order, rebuilt after the set of names changed.
    mutable std::vector<int> sortedAll;
    mutable std::vector<int> sortedVisible;
    mutable bool sortedValid = false;

    // Applying steps.
    void detachBookmark(int serial);
    void attachBookmark(int serial, const BookmarkState& s);
    void detachMarkup(int handle);
    void attachMarkup(int handle, const MarkupState& s);
    void apply(const Step& step, bool forward);
    void commit(Step step);

    // Reading state.
    BookmarkState stateOf(int serial) const;
    MarkupState stateOfMarkup(int handle) const;
    BookmarkInfo infoOf(int serial) const;
    const std::vector<int>& sorted(bool includeHidden) const;
    int serialOf(const QString& name) const
    {
        if (lastName.isNull() || name != lastName) {
            // The key is folded on the stack: most lookups find a name, and
            // the found entry's own key serves from then on.
            FoldBuffer buf;
            QString general;
            const QStringView key = foldedKey(name, buf, general);
            lastEntry = byName.find(key);
            lastName = name;
        }
        return lastEntry >= 0 ? byName.serial(lastEntry) : 0;
    }
    QString foldedOf(const QString& name) const
    {
        return lastEntry >= 0 && name == lastName ? byName.key(lastEntry) : foldedName(name);
    }
    void forgetLookup() const
    {
        lastName = QString();
        lastEntry = -1;
    }

    // Building steps.
    void collectSpan(int pos, int removed, int added, Step& step) const;
    void removeGroupsOf(const QList<int>& handles, Step& step, QHash<int, size_t>& markupAt) const;
    BookmarkState newState(const QString& name, int xmlId, int start, int end);
};

// ---------------------------------------------------------------- applying

void AnchorTable::Impl::detachBookmark(int serial)
{
    const BookmarkRecord& rec = bookmarks.at(serial);
    tree.erase(rec.start);
    tree.erase(rec.end);
    byName.serial(rec.nameEntry) = 0;
    if (isHidden(rec.name))
        --hiddenCount;
    bookmarks.erase(serial);
}

void AnchorTable::Impl::attachBookmark(int serial, const BookmarkState& s)
{
    const bool collapsed = s.start == s.end;
    BookmarkRecord rec;
    rec.name = s.name;
    rec.folded = s.folded;
    rec.xmlId = s.xmlId;
    rec.start = tree.insert(s.start, RankStart, s.startSeq, AnchorPoint::BookmarkStart, serial);
    rec.end = tree.insert(s.end, collapsed ? RankCollapsedEnd : RankEnd, s.endSeq, AnchorPoint::BookmarkEnd, serial);
    if (lastEntry >= 0 && s.folded == byName.key(lastEntry)) {
        rec.nameEntry = lastEntry;
    } else if (lastEntry < 0 && !lastName.isNull() && s.name == lastName) {
        // Just looked up and missing, as when a document's bookmarks are read.
        rec.nameEntry = lastEntry = byName.addMissing(s.folded);
    } else {
        const auto [entry, added] = byName.insert(s.folded);
        rec.nameEntry = entry;
        if (added && lastEntry < 0)
            forgetLookup();   // the name last found missing may be this one
    }
    byName.serial(rec.nameEntry) = serial;
    if (isHidden(s.name))
        ++hiddenCount;
    bookmarks.emplace(serial, std::move(rec));
}

void AnchorTable::Impl::detachMarkup(int handle)
{
    auto it = markups.find(handle);
    Q_ASSERT(it != markups.end());
    tree.erase(it->node);
    if (it->group >= 0) {
        auto g = groups.find(it->group);
        g->removeOne(handle);
        if (g->isEmpty())
            groups.erase(g);
    }
    markups.erase(it);
}

void AnchorTable::Impl::attachMarkup(int handle, const MarkupState& s)
{
    MarkupRecord rec;
    rec.index = s.index;
    rec.group = s.group;
    rec.node = tree.insert(s.position, RankMarkup, s.seq, AnchorPoint::Markup, handle);
    markups.insert(handle, rec);
    if (s.group >= 0)
        groups[s.group].append(handle);
}

void AnchorTable::Impl::apply(const Step& step, bool forward)
{
    bool namesChanged = false;
    for (const BookmarkChange& c : step.bookmarks) {
        const auto& from = forward ? c.before : c.after;
        const auto& to = forward ? c.after : c.before;
        if (from)
            detachBookmark(c.serial);
        namesChanged = namesChanged || !from || !to || from->name != to->name;
    }
    for (const MarkupChange& c : step.markups) {
        if (forward ? c.before : c.after)
            detachMarkup(c.handle);
    }
    tree.shiftAfter(step.shiftPos, forward ? step.shiftDelta : -step.shiftDelta);
    for (const BookmarkChange& c : step.bookmarks) {
        if (const auto& to = forward ? c.after : c.before)
            attachBookmark(c.serial, *to);
    }
    for (const MarkupChange& c : step.markups) {
        if (const auto& to = forward ? c.after : c.before)
            attachMarkup(c.handle, *to);
    }
    if (namesChanged)
        sortedValid = false;
}

// Applies a new change. History is kept only while someone holds a snapshot
// that could ask to come back to an earlier state.
void AnchorTable::Impl::commit(Step step)
{
    if (step.empty())
        return;
    apply(step, true);
    Journal& j = *journal;
    if (j.liveSnapshots == 0) {
        if (j.versions.size() > 1)
            j.reset();
        return;
    }
    auto v = std::make_unique<Version>();
    v->parent = j.current;
    v->depth = j.current->depth + 1;
    v->step = std::move(step);
    j.current = v.get();
    j.versions.push_back(std::move(v));
}

// ---------------------------------------------------------------- reading

BookmarkState AnchorTable::Impl::stateOf(int serial) const
{
    const BookmarkRecord& r = bookmarks.at(serial);
    BookmarkState s;
    s.name = r.name;
    s.folded = r.folded;
    s.xmlId = r.xmlId;
    s.start = tree.positionOf(r.start);
    s.end = tree.positionOf(r.end);
    s.startSeq = r.start->seq;
    s.endSeq = r.end->seq;
    return s;
}

MarkupState AnchorTable::Impl::stateOfMarkup(int handle) const
{
    const MarkupRecord& r = markups[handle];
    return MarkupState{ tree.positionOf(r.node), r.index, r.group, r.node->seq };
}

BookmarkInfo AnchorTable::Impl::infoOf(int serial) const
{
    const BookmarkRecord& r = bookmarks.at(serial);
    return BookmarkInfo{ r.name, tree.positionOf(r.start), tree.positionOf(r.end), r.xmlId };
}

const std::vector<int>& AnchorTable::Impl::sorted(bool includeHidden) const
{
    if (!sortedValid) {
        std::vector<std::pair<QString, int>> keyed;
        keyed.reserve(bookmarks.size());
        bookmarks.forEach([&](int serial, const BookmarkRecord& rec) { keyed.emplace_back(rec.folded, serial); });
        // Folded names are unique within the table, so the folded order is total.
        std::sort(keyed.begin(), keyed.end(),
                  [](const auto& a, const auto& b) { return QString::compare(a.first, b.first) < 0; });
        sortedAll.clear();
        sortedVisible.clear();
        for (const auto& k : keyed) {
            sortedAll.push_back(k.second);
            if (!isHidden(bookmarks.at(k.second).name))
                sortedVisible.push_back(k.second);
        }
        sortedValid = true;
    }
    return includeHidden ? sortedAll : sortedVisible;
}

// ---------------------------------------------------------------- building

BookmarkState AnchorTable::Impl::newState(const QString& name, int xmlId, int start, int end)
{
    BookmarkState s{ name, foldedOf(name), xmlId, start, end, nextSeq, nextSeq + 1 };
    nextSeq += 2;
    return s;
}

// Every point in (pos, pos + removed] is taken out and, unless removed,
// put back where the edit rules send it; so are the other ends of the
// bookmarks concerned and the whole groups of removed markup.
void AnchorTable::Impl::collectSpan(int pos, int removed, int added, Step& step) const
{
    const int end = pos + removed;
    const int delta = added - removed;
    // An edit touches a few points mostly: they are gathered on the stack.
    QVarLengthArray<const AnchorNode*, 16> hits;
    tree.forEach(pos, end, [&](const AnchorNode* n, int) { hits.push_back(n); });

    QVarLengthArray<int, 16> serials;
    QHash<int, size_t> markupAt;
    QList<int> dropped;
    for (const AnchorNode* n : hits) {
        if (n->kind == AnchorPoint::Markup) {
            const MarkupState s = stateOfMarkup(n->ref);
            if (s.position == pos)
                continue;
            MarkupChange c{ n->ref, s, std::nullopt };
            if (s.position == end) {
                c.after = s;
                c.after->position = pos + added;
            } else {
                dropped.append(n->ref);
            }
            markupAt.insert(n->ref, step.markups.size());
            step.markups.push_back(std::move(c));
            continue;
        }
        serials.push_back(n->ref);
    }
    // Each bookmark once, however many of its points lie in the span.
    std::sort(serials.begin(), serials.end());
    serials.erase(std::unique(serials.begin(), serials.end()), serials.end());
    for (int serial : serials) {
        const BookmarkState s = stateOf(serial);
        const bool inside = s.start < s.end ? (s.start >= pos && s.end <= end)
                                            : (s.start > pos && s.start < end);
        const bool touched = (s.start > pos && s.start <= end) || (s.end > pos && s.end <= end);
        if (!inside && !touched)
            continue;
        BookmarkChange c{ serial, s, std::nullopt };
        if (!inside) {
            c.after = s;
            c.after->start = s.start <= pos ? s.start : (s.start >= end ? s.start + delta : pos + added);
            c.after->end = s.end <= pos ? s.end : (s.end >= end ? s.end + delta : pos);
        }
        step.bookmarks.push_back(std::move(c));
    }
    removeGroupsOf(dropped, step, markupAt);
}

void AnchorTable::Impl::removeGroupsOf(const QList<int>& handles, Step& step, QHash<int, size_t>& markupAt) const
{
    QSet<int> doneGroups;
    for (int h : handles) {
        const int group = markups[h].group;
        if (group < 0 || doneGroups.contains(group))
            continue;
        doneGroups.insert(group);
        for (int mate : groups.value(group)) {
            auto at = markupAt.find(mate);
            if (at != markupAt.end()) {
                step.markups[*at].after.reset();
                continue;
            }
            markupAt.insert(mate, step.markups.size());
            step.markups.push_back(MarkupChange{ mate, stateOfMarkup(mate), std::nullopt });
        }
    }
}

// ---------------------------------------------------------------- public

AnchorTable::AnchorTable() : d(std::make_unique<Impl>()) {}
AnchorTable::~AnchorTable() = default;

void AnchorTable::addBookmark(const QString& name, int start, int end, int xmlId)
{
    Q_ASSERT(!name.isEmpty());
    if (start > end)
        std::swap(start, end);
    const int serial = d->serialOf(name);
    if (d->journal->liveSnapshots == 0) {
        // Nothing can ask for the state before: no step to record (this is
        // how a document's bookmarks are read).
        if (d->journal->versions.size() > 1)
            d->journal->reset();
        if (serial) {
            const BookmarkRecord& r = d->bookmarks.at(serial);
            BookmarkState after = d->newState(r.name, r.xmlId, start, end);
            d->detachBookmark(serial);
            d->attachBookmark(serial, after);
        } else {
            d->attachBookmark(d->nextSerial++, d->newState(name, xmlId, start, end));
            d->sortedValid = false;
        }
        return;
    }
    Step step;
    if (serial) {
        BookmarkState before = d->stateOf(serial);
        BookmarkState after = d->newState(before.name, before.xmlId, start, end);
        step.bookmarks.push_back(BookmarkChange{ serial, std::move(before), std::move(after) });
    } else {
        step.bookmarks.push_back(BookmarkChange{ d->nextSerial++, std::nullopt, d->newState(name, xmlId, start, end) });
    }
    d->commit(std::move(step));
}

bool AnchorTable::removeBookmark(const QString& name)
{
    const int serial = d->serialOf(name);
    if (!serial)
        return false;
    Step step;
    step.bookmarks.push_back(BookmarkChange{ serial, d->stateOf(serial), std::nullopt });
    d->commit(std::move(step));
    return true;
}

std::optional<BookmarkInfo> AnchorTable::bookmark(const QString& name) const
{
    const int serial = d->serialOf(name);
    if (!serial)
        return std::nullopt;
    return d->infoOf(serial);
}

QString AnchorTable::storedName(const QString& name) const
{
    const int serial = d->serialOf(name);
    return serial ? d->bookmarks.at(serial).name : QString();
}

bool AnchorTable::hasBookmark(const QString& name) const
{
    return d->serialOf(name) != 0;
}

int AnchorTable::bookmarkCount(bool includeHidden) const
{
    const int all = int(d->bookmarks.size());
    return includeHidden ? all : all - d->hiddenCount;
}

std::vector<BookmarkInfo> AnchorTable::bookmarksByName(bool includeHidden) const
{
    std::vector<BookmarkInfo> out;
    const auto& serials = d->sorted(includeHidden);
    out.reserve(serials.size());
    for (int serial : serials)
        out.push_back(d->infoOf(serial));
    return out;
}

std::optional<BookmarkInfo> AnchorTable::bookmarkByNameAt(int index, bool includeHidden) const
{
    const auto& serials = d->sorted(includeHidden);
    if (index < 0 || size_t(index) >= serials.size())
        return std::nullopt;
    return d->infoOf(serials[size_t(index)]);
}

namespace {

// A bookmark met in a walk over the points.
struct SpanEntry {
    int serial;
    int start = -1;
    int end = -1;
    int order = 0;   // the order its start was met in
};

// Document order: by start, longer first, then in the order the starts were met.
void sortInDocumentOrder(std::vector<SpanEntry>& entries)
{
    std::sort(entries.begin(), entries.end(), [](const SpanEntry& a, const SpanEntry& b) {
        if (a.start != b.start)
            return a.start < b.start;
        if (a.end != b.end)
            return a.end > b.end;
        return a.order < b.order;
    });
}

// Bookmarks with both ends among the visited points, in document order.
struct InsideCollector {
    using Entry = SpanEntry;
    QHash<int, Entry> entries;
    int starts = 0;

    void add(const AnchorNode* n, int position)
    {
        if (n->kind == AnchorPoint::Markup)
            return;
        Entry& e = entries[n->ref];
        e.serial = n->ref;
        if (n->kind == AnchorPoint::BookmarkStart) {
            e.start = position;
            e.order = starts++;
        } else {
            e.end = position;
        }
    }

    std::vector<Entry> complete() const
    {
        std::vector<Entry> out;
        for (const Entry& e : entries) {
            if (e.start >= 0 && e.end >= 0)
                out.push_back(e);
        }
        sortInDocumentOrder(out);
        return out;
    }
};

} // namespace

std::vector<BookmarkInfo> AnchorTable::bookmarksInside(int start, int end, bool includeHidden) const
{
    InsideCollector collect;
    d->tree.forEach(start, end, [&](const AnchorNode* n, int p) { collect.add(n, p); });
    std::vector<BookmarkInfo> out;
    for (const auto& e : collect.complete()) {
        const BookmarkRecord& r = d->bookmarks.at(e.serial);
        if (!includeHidden && isHidden(r.name))
            continue;
        out.push_back(BookmarkInfo{ r.name, e.start, e.end, r.xmlId });
    }
    return out;
}

std::vector<BookmarkInfo> AnchorTable::allBookmarks() const
{
    // bookmarksInside over the whole table, with the bookmarks found by serial
    // in a flat table: every serial below nextSerial, each bookmark's start
    // met before its end.
    std::vector<int> slot(size_t(d->nextSerial), -1);
    std::vector<SpanEntry> entries;
    entries.reserve(d->bookmarks.size());
    d->tree.forEach(INT_MIN, INT_MAX, [&](const AnchorNode* n, int p) {
        if (n->kind == AnchorPoint::Markup)
            return;
        int& at = slot[size_t(n->ref)];
        if (at < 0) {
            at = int(entries.size());
            entries.push_back({ n->ref, -1, -1, at });
        }
        (n->kind == AnchorPoint::BookmarkStart ? entries[size_t(at)].start : entries[size_t(at)].end) = p;
    });
    sortInDocumentOrder(entries);
    std::vector<BookmarkInfo> out;
    out.reserve(entries.size());
    for (const SpanEntry& e : entries) {
        const BookmarkRecord& r = d->bookmarks.at(e.serial);
        out.push_back(BookmarkInfo{ r.name, e.start, e.end, r.xmlId });
    }
    return out;
}

int AnchorTable::addMarkup(int position, int markupIndex, int group)
{
    const int handle = d->nextHandle++;
    Step step;
    step.markups.push_back(MarkupChange{ handle, std::nullopt, MarkupState{ position, markupIndex, group, d->nextSeq++ } });
    d->commit(std::move(step));
    return handle;
}

std::optional<int> AnchorTable::markupPosition(int handle) const
{
    auto it = d->markups.constFind(handle);
    if (it == d->markups.cend())
        return std::nullopt;
    return d->tree.positionOf(it->node);
}

void AnchorTable::removeMarkup(int handle)
{
    if (!d->markups.contains(handle))
        return;
    Step step;
    QHash<int, size_t> markupAt;
    markupAt.insert(handle, 0);
    step.markups.push_back(MarkupChange{ handle, d->stateOfMarkup(handle), std::nullopt });
    d->removeGroupsOf({ handle }, step, markupAt);
    d->commit(std::move(step));
}

void AnchorTable::forEachPoint(int from, int to, const std::function<void(const AnchorPoint&)>& fn) const
{
    // Collected first so that fn may change the table.
    for (const AnchorPoint& p : points(from, to))
        fn(p);
}

std::vector<AnchorPoint> AnchorTable::points(int from, int to) const
{
    std::vector<AnchorPoint> points;
    d->tree.forEach(from, to, [&](const AnchorNode* n, int p) {
        const auto kind = AnchorPoint::Kind(n->kind);
        if (kind == AnchorPoint::Markup) {
            points.push_back(AnchorPoint{ kind, p, d->markups[n->ref].index, QString(), n->ref });
            return;
        }
        const auto& b = d->bookmarks.at(n->ref);
        points.push_back(AnchorPoint{ kind, p, n->ref, b.name, -1, b.xmlId });
    });
    return points;
}

quint64 AnchorTable::pointsHash(int from, int to) const
{
    quint64 h = 1469598103934665603ULL;   // FNV-1a over whole words
    auto add = [&h](quint64 v) { h = (h ^ v) * 1099511628211ULL; };
    d->tree.forEach(from, to, [&](const AnchorNode* n, int p) {
        add(quint64(n->kind) + 7);
        add(quint64(p - from));
        if (n->kind == AnchorPoint::Markup) {
            add(quint64(d->markups.value(n->ref).index));
        } else {
            const BookmarkRecord& b = d->bookmarks.at(n->ref);
            add(StringHash()(b.name));
            add(quint64(qint64(b.xmlId) + 2));
        }
    });
    return h;
}

void AnchorTable::replaced(int pos, int removed, int added)
{
    Q_ASSERT(pos >= 0 && removed >= 0 && added >= 0);
    Step step;
    step.shiftPos = pos;
    step.shiftDelta = added - removed;
    if (removed > 0)
        d->collectSpan(pos, removed, added, step);
    d->commit(std::move(step));
}

std::shared_ptr<const AnchorTable::Snapshot> AnchorTable::snapshot() const
{
    if (std::shared_ptr<const Snapshot> last = d->lastSnapshot.lock(); last && last->version == d->journal->current)
        return last;
    auto s = std::make_shared<const Snapshot>(d->journal, d->journal->current);
    d->lastSnapshot = s;
    return s;
}

void AnchorTable::restore(const Snapshot& s)
{
    Q_ASSERT(s.journal == d->journal);
    if (s.journal != d->journal)
        return;
    Journal& j = *d->journal;
    // Undo up to the common ancestor, then redo down to the target.
    Version* up = j.current;
    Version* down = s.version;
    std::vector<Version*> redo;
    while (up != down) {
        if (up->depth >= down->depth) {
            d->apply(up->step, false);
            up = up->parent;
        } else {
            redo.push_back(down);
            down = down->parent;
        }
    }
    for (auto it = redo.rbegin(); it != redo.rend(); ++it)
        d->apply((*it)->step, true);
    j.current = s.version;
}

void AnchorTable::reserveBookmarks(int count)
{
    if (count <= 0)
        return;
    d->bookmarks.reserve(size_t(count));
    d->byName.reserve(size_t(count));
}

void AnchorTable::clear()
{
    if (d->journal->liveSnapshots == 0) {
        d->tree.clear();
        d->bookmarks.clear();
        d->byName.clear();
        d->forgetLookup();
        d->markups.clear();
        d->groups.clear();
        d->hiddenCount = 0;
        d->sortedValid = false;
        d->journal->reset();
        return;
    }
    Step step;
    d->bookmarks.forEach([&](int serial, const BookmarkRecord&) {
        step.bookmarks.push_back(BookmarkChange{ serial, d->stateOf(serial), std::nullopt });
    });
    for (auto it = d->markups.cbegin(); it != d->markups.cend(); ++it)
        step.markups.push_back(MarkupChange{ it.key(), d->stateOfMarkup(it.key()), std::nullopt });
    d->commit(std::move(step));
}

} // namespace word::model
