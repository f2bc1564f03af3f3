// The anchor table against the edit rules, one rule per row, and against a
// plain list model over thousands of random edits, undo steps included.

#include "word/model/anchortable.h"

#include <QtTest/QtTest>
#include <algorithm>
#include <random>

using word::model::AnchorPoint;
using word::model::AnchorTable;
using word::model::BookmarkInfo;

namespace {

// "a:2-5 b:7-7" -> bookmarks a [2,5] and b [7,7], added in that order.
void addAll(AnchorTable& t, const QString& spec)
{
    for (const QString& item : spec.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QStringList nameRange = item.split(QLatin1Char(':'));
        const QStringList ends = nameRange.at(1).split(QLatin1Char('-'));
        t.addBookmark(nameRange.at(0), ends.at(0).toInt(), ends.at(1).toInt());
    }
}

QString describe(const std::vector<BookmarkInfo>& list)
{
    QStringList parts;
    for (const BookmarkInfo& b : list)
        parts << QStringLiteral("%1:%2-%3").arg(b.name).arg(b.start).arg(b.end);
    return parts.join(QLatin1Char(' '));
}

QString describePoints(const AnchorTable& t, int from = INT_MIN, int to = INT_MAX)
{
    QStringList parts;
    t.forEachPoint(from, to, [&](const AnchorPoint& p) {
        switch (p.kind) {
        case AnchorPoint::BookmarkStart: parts << QStringLiteral("[%1@%2").arg(p.name).arg(p.position); break;
        case AnchorPoint::BookmarkEnd: parts << QStringLiteral("%1]@%2").arg(p.name).arg(p.position); break;
        case AnchorPoint::Markup: parts << QStringLiteral("m%1@%2").arg(p.ref).arg(p.position); break;
        }
    });
    return parts.join(QLatin1Char(' '));
}

// ------------------------------------------------------------------ reference model

// The rules written out point by point over plain lists, O(n) per edit.
struct NaiveModel {
    struct Bm {
        QString name;
        int start, end, xmlId;
        quint64 time;
    };
    struct Mk {
        int handle, position, index, group;
        quint64 time;
    };
    std::vector<Bm> bms;
    std::vector<Mk> mks;
    quint64 clock = 0;

    Bm* find(const QString& name)
    {
        for (Bm& b : bms) {
            if (b.name.toCaseFolded() == name.toCaseFolded())
                return &b;
        }
        return nullptr;
    }

    void add(const QString& name, int s, int e, int xmlId)
    {
        if (Bm* b = find(name)) {
            b->start = s;
            b->end = e;
            b->time = ++clock;
            return;
        }
        bms.push_back(Bm{ name, s, e, xmlId, ++clock });
    }

    void remove(const QString& name)
    {
        std::erase_if(bms, [&](const Bm& b) { return b.name.toCaseFolded() == name.toCaseFolded(); });
    }

    void removeGroups(std::vector<int> handles)
    {
        std::vector<int> groups;
        for (const Mk& m : mks) {
            if (std::find(handles.begin(), handles.end(), m.handle) != handles.end() && m.group >= 0)
                groups.push_back(m.group);
        }
        std::erase_if(mks, [&](const Mk& m) {
            return std::find(handles.begin(), handles.end(), m.handle) != handles.end()
                || std::find(groups.begin(), groups.end(), m.group) != groups.end();
        });
    }

    void replaced(int pos, int removed, int added)
    {
        const int edge = pos + removed;
        const int delta = added - removed;
        if (removed == 0) {
            for (Bm& b : bms) {
                b.start += b.start > pos ? added : 0;
                b.end += b.end > pos ? added : 0;
            }
            for (Mk& m : mks)
                m.position += m.position > pos ? added : 0;
            return;
        }
        std::erase_if(bms, [&](const Bm& b) {
            if (b.start == b.end)
                return b.start > pos && b.start < edge;
            return b.start >= pos && b.end <= edge;
        });
        for (Bm& b : bms) {
            if (b.start > pos)
                b.start = b.start >= edge ? b.start + delta : pos + added;
            if (b.end > pos)
                b.end = b.end >= edge ? b.end + delta : pos;
        }
        std::vector<int> gone;
        for (const Mk& m : mks) {
            if (m.position > pos && m.position < edge)
                gone.push_back(m.handle);
        }
        removeGroups(gone);
        for (Mk& m : mks) {
            if (m.position >= edge)
                m.position += delta;
        }
    }

    std::vector<BookmarkInfo> docOrder(bool includeHidden) const
    {
        std::vector<Bm> sorted;
        for (const Bm& b : bms) {
            if (includeHidden || !b.name.startsWith(QLatin1Char('_')))
                sorted.push_back(b);
        }
        std::sort(sorted.begin(), sorted.end(), [](const Bm& a, const Bm& b) {
            return std::tuple(a.start, -a.end, a.time) < std::tuple(b.start, -b.end, b.time);
        });
        std::vector<BookmarkInfo> out;
        for (const Bm& b : sorted)
            out.push_back(BookmarkInfo{ b.name, b.start, b.end, b.xmlId });
        return out;
    }

    QString points() const
    {
        struct P {
            int position, rank;
            quint64 time;
            QString text;
        };
        std::vector<P> ps;
        for (const Bm& b : bms) {
            ps.push_back(P{ b.start, 2, b.time, QStringLiteral("[%1@%2").arg(b.name).arg(b.start) });
            ps.push_back(P{ b.end, b.start == b.end ? 3 : 0, b.time, QStringLiteral("%1]@%2").arg(b.name).arg(b.end) });
        }
        for (const Mk& m : mks)
            ps.push_back(P{ m.position, 1, m.time, QStringLiteral("m%1@%2").arg(m.index).arg(m.position) });
        std::sort(ps.begin(), ps.end(), [](const P& a, const P& b) {
            return std::tuple(a.position, a.rank, a.time) < std::tuple(b.position, b.rank, b.time);
        });
        QStringList parts;
        for (const P& p : ps)
            parts << p.text;
        return parts.join(QLatin1Char(' '));
    }
};

} // namespace

class TestAnchorTable : public QObject {
    Q_OBJECT

private slots:
    void replaced_data();
    void replaced();
    void markupEdits_data();
    void markupEdits();
    void orderAtOnePosition_data();
    void orderAtOnePosition();
    void nameLookup_data();
    void nameLookup();
    void addExistingMoves();
    void lookupFollowsChanges();
    void manyNames();
    void sortedByName();
    void hiddenNames();
    void inside_data();
    void inside();
    void removeMarkupTakesGroup();
    void snapshotRestore();
    void snapshotAcrossBranches();
    void snapshotOutlivesTable();
    void clearAndRestore();
    void randomAgainstModel_data();
    void randomAgainstModel();
};

void TestAnchorTable::replaced_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("pos");
    QTest::addColumn<int>("removed");
    QTest::addColumn<int>("added");
    QTest::addColumn<QString>("after");

    // Pure insertions.
    QTest::newRow("insert before shifts") << "a:10-15" << 2 << 0 << 3 << "a:13-18";
    QTest::newRow("insert after leaves") << "a:1-3" << 5 << 0 << 4 << "a:1-3";
    QTest::newRow("insert at start goes in") << "a:5-8" << 5 << 0 << 2 << "a:5-10";
    QTest::newRow("insert at end stays out") << "a:5-8" << 8 << 0 << 2 << "a:5-8";
    QTest::newRow("insert inside grows") << "a:5-8" << 6 << 0 << 3 << "a:5-11";
    QTest::newRow("insert at collapsed") << "a:5-5" << 5 << 0 << 3 << "a:5-5";
    QTest::newRow("empty edit") << "a:5-8" << 5 << 0 << 0 << "a:5-8";
    // The bookmark's own text replaced or deleted.
    QTest::newRow("whole text replaced") << "a:5-8" << 5 << 3 << 4 << "";
    QTest::newRow("whole text deleted") << "a:5-8" << 5 << 3 << 0 << "";
    QTest::newRow("whole hidden text replaced") << "_x:5-8" << 5 << 3 << 1 << "";
    QTest::newRow("inside span") << "a:6-7" << 5 << 4 << 1 << "";
    QTest::newRow("inside touching span start") << "a:5-7" << 5 << 4 << 1 << "";
    QTest::newRow("inside touching span end") << "a:6-9" << 5 << 4 << 1 << "";
    // Collapsed bookmarks at and between the span's edges.
    QTest::newRow("collapsed inside") << "a:7-7" << 5 << 4 << 1 << "";
    QTest::newRow("collapsed at span start") << "a:5-5" << 5 << 4 << 2 << "a:5-5";
    QTest::newRow("collapsed at span end") << "a:9-9" << 5 << 4 << 2 << "a:7-7";
    QTest::newRow("collapsed at span end, deleted") << "a:9-9" << 5 << 4 << 0 << "a:5-5";
    // Enclosing bookmarks.
    QTest::newRow("enclosing grows") << "a:2-12" << 5 << 3 << 6 << "a:2-15";
    QTest::newRow("enclosing shrinks") << "a:2-12" << 5 << 3 << 1 << "a:2-10";
    QTest::newRow("enclosing from span start") << "a:5-12" << 5 << 3 << 1 << "a:5-10";
    QTest::newRow("enclosing to span end") << "a:2-8" << 5 << 3 << 1 << "a:2-6";
    QTest::newRow("enclosing to span end, deleted") << "a:2-8" << 5 << 3 << 0 << "a:2-5";
    QTest::newRow("same-length replace inside") << "a:2-10" << 4 << 2 << 2 << "a:2-10";
    // Overlaps.
    QTest::newRow("overlaps span start") << "a:2-7" << 5 << 5 << 3 << "a:2-5";
    QTest::newRow("overlaps span end") << "a:7-12" << 5 << 5 << 3 << "a:8-10";
    QTest::newRow("overlaps span end, deleted") << "a:7-12" << 5 << 5 << 0 << "a:5-7";
    QTest::newRow("overlaps both sides") << "a:2-7 b:7-12" << 5 << 5 << 3 << "a:2-5 b:8-10";
    // Neighbours and nesting.
    QTest::newRow("nested inner goes") << "a:2-20 b:5-8" << 5 << 3 << 2 << "a:2-19";
    QTest::newRow("nested both kept") << "a:2-20 b:4-9" << 5 << 3 << 2 << "a:2-19 b:4-8";
    QTest::newRow("neighbour after span") << "a:2-5 b:8-10" << 5 << 3 << 1 << "a:2-5 b:6-8";
    QTest::newRow("neighbour before span") << "a:2-5" << 5 << 2 << 2 << "a:2-5";
    QTest::newRow("far after span") << "a:20-30" << 5 << 3 << 1 << "a:18-28";
}

void TestAnchorTable::replaced()
{
    QFETCH(QString, before);
    QFETCH(int, pos);
    QFETCH(int, removed);
    QFETCH(int, added);
    QFETCH(QString, after);

    AnchorTable t;
    addAll(t, before);
    t.replaced(pos, removed, added);
    QCOMPARE(describe(t.allBookmarks()), after);
    // The name index follows removals.
    for (const BookmarkInfo& b : t.allBookmarks())
        QVERIFY(t.hasBookmark(b.name));
    QCOMPARE(t.bookmarkCount(true), int(t.allBookmarks().size()));
}

void TestAnchorTable::markupEdits_data()
{
    // Markup as "position/group"; "x" in the result for a removed point.
    QTest::addColumn<QString>("markup");
    QTest::addColumn<int>("pos");
    QTest::addColumn<int>("removed");
    QTest::addColumn<int>("added");
    QTest::addColumn<QString>("after");

    QTest::newRow("at span start stays") << "5/-1" << 5 << 3 << 1 << "5";
    QTest::newRow("strictly inside goes") << "6/-1" << 5 << 3 << 1 << "x";
    QTest::newRow("at span end follows") << "8/-1" << 5 << 3 << 1 << "6";
    QTest::newRow("insertion at point") << "5/-1" << 5 << 0 << 3 << "5";
    QTest::newRow("group goes together") << "6/1 20/1 30/2" << 5 << 3 << 1 << "x x 28";
    QTest::newRow("group mate at span start goes") << "5/1 6/1" << 5 << 3 << 1 << "x x";
    QTest::newRow("group mate at span end goes") << "6/1 8/1" << 5 << 3 << 1 << "x x";
    QTest::newRow("group outside span shifts") << "10/1 20/1" << 5 << 3 << 1 << "8 18";
    QTest::newRow("ungrouped neighbours stay") << "6/-1 7/-1 9/-1" << 5 << 3 << 1 << "x x 7";
}

void TestAnchorTable::markupEdits()
{
    QFETCH(QString, markup);
    QFETCH(int, pos);
    QFETCH(int, removed);
    QFETCH(int, added);
    QFETCH(QString, after);

    AnchorTable t;
    std::vector<int> handles;
    int index = 0;
    for (const QString& item : markup.split(QLatin1Char(' '))) {
        const QStringList pg = item.split(QLatin1Char('/'));
        handles.push_back(t.addMarkup(pg.at(0).toInt(), index++, pg.at(1).toInt()));
    }
    t.replaced(pos, removed, added);
    QStringList got;
    for (int h : handles) {
        const auto p = t.markupPosition(h);
        got << (p ? QString::number(*p) : QStringLiteral("x"));
    }
    QCOMPARE(got.join(QLatin1Char(' ')), after);
}

void TestAnchorTable::orderAtOnePosition_data()
{
    QTest::addColumn<int>("pos");
    QTest::addColumn<int>("removed");
    QTest::addColumn<int>("added");
    QTest::addColumn<QString>("points");

    // b ends at 5, m0 and m1 sit at 5, a starts at 5, c is collapsed at 5;
    // m2 and d's start sit at 7, a and d end at 9.
    QTest::newRow("as added") << 0 << 0 << 0
                              << "[b@2 b]@5 m0@5 m1@5 [a@5 [c@5 c]@5 m2@7 [d@7 a]@9 d]@9";
    QTest::newRow("insertion at the position") << 5 << 0 << 2
                                               << "[b@2 b]@5 m0@5 m1@5 [a@5 [c@5 c]@5 m2@9 [d@9 a]@11 d]@11";
    QTest::newRow("everything shifted") << 1 << 0 << 3
                                        << "[b@5 b]@8 m0@8 m1@8 [a@8 [c@8 c]@8 m2@10 [d@10 a]@12 d]@12";
    // Deleting [5,7) brings the points of 7 to 5, where they fall into the order.
    QTest::newRow("points meeting after a deletion") << 5 << 2 << 0
                                                     << "[b@2 b]@5 m0@5 m1@5 m2@5 [a@5 [c@5 [d@5 c]@5 a]@7 d]@7";
}

void TestAnchorTable::orderAtOnePosition()
{
    QFETCH(int, pos);
    QFETCH(int, removed);
    QFETCH(int, added);
    QFETCH(QString, points);

    AnchorTable t;
    t.addBookmark(QStringLiteral("a"), 5, 9);
    t.addMarkup(5, 0);
    t.addBookmark(QStringLiteral("c"), 5, 5);
    t.addBookmark(QStringLiteral("b"), 2, 5);
    t.addMarkup(5, 1);
    t.addBookmark(QStringLiteral("d"), 7, 9);
    t.addMarkup(7, 2);
    t.replaced(pos, removed, added);
    QCOMPARE(describePoints(t), points);
}

void TestAnchorTable::nameLookup_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("asked");
    QTest::addColumn<bool>("found");

    QTest::newRow("same") << "Eladó_1" << "Eladó_1" << true;
    QTest::newRow("lower case") << "ELADÓ_1" << "eladó_1" << true;
    QTest::newRow("double acute O") << "Őrző" << "őRZŐ" << true;
    QTest::newRow("double acute U") << "Űrlap" << "űRLAP" << true;
    QTest::newRow("acute E") << "Év" << "éV" << true;
    QTest::newRow("o umlaut is not o double acute") << "Őr" << "Ör" << false;
    QTest::newRow("u umlaut is not u double acute") << "űr" << "ür" << false;
    QTest::newRow("accent matters") << "Eladó" << "Elado" << false;
    QTest::newRow("prefix is not a match") << "Vevő" << "Vevő2" << false;
    QTest::newRow("ASCII only") << "VEVO_NEV2" << "vevo_Nev2" << true;
    QTest::newRow("ASCII differs") << "Vevo_Nev" << "Vevo_Nem" << false;
    QTest::newRow("Greek with final sigma") << "ΟΡΟΣ" << "όροσ" << false;
    QTest::newRow("Greek") << "ΟΡΟΣ" << "οροσ" << true;
    QTest::newRow("outside the basic plane") << QString::fromUtf8("\xF0\x90\x90\x80x") << QString::fromUtf8("\xF0\x90\x90\xA8X") << true;
}

void TestAnchorTable::nameLookup()
{
    QFETCH(QString, stored);
    QFETCH(QString, asked);
    QFETCH(bool, found);

    AnchorTable t;
    t.addBookmark(stored, 3, 7);
    QCOMPARE(t.hasBookmark(asked), found);
    const auto b = t.bookmark(asked);
    QCOMPARE(b.has_value(), found);
    if (b) {
        QCOMPARE(b->name, stored);
        QCOMPARE(b->start, 3);
    }
    QCOMPARE(t.removeBookmark(asked), found);
    QCOMPARE(t.bookmarkCount(true), found ? 0 : 1);
}

void TestAnchorTable::addExistingMoves()
{
    AnchorTable t;
    t.addBookmark(QStringLiteral("Vevő_1"), 3, 7, 42);
    t.addBookmark(QStringLiteral("VEVŐ_1"), 10, 12, 7);
    QCOMPARE(t.bookmarkCount(true), 1);
    const auto b = t.bookmark(QStringLiteral("vevő_1"));
    QVERIFY(b);
    QCOMPARE(b->name, QStringLiteral("Vevő_1"));
    QCOMPARE(b->start, 10);
    QCOMPARE(b->end, 12);
    QCOMPARE(b->xmlId, 42);
    // Both old points are gone, not only hidden.
    QCOMPARE(describePoints(t), QStringLiteral("[Vevő_1@10 Vevő_1]@12"));
}

// One name asked for again and again while the bookmark comes and goes, the
// way a field is written: exists, select, replace, mark again, undo.
void TestAnchorTable::lookupFollowsChanges()
{
    const QString name = QStringLiteral("Vevő_Neve");
    AnchorTable t;
    QVERIFY(!t.hasBookmark(QStringLiteral("VEVŐ_NEVE")));   // missing, in another spelling
    t.addBookmark(name, 2, 5, 3);
    QVERIFY(t.hasBookmark(QStringLiteral("VEVŐ_NEVE")));
    QVERIFY(t.hasBookmark(name));
    QCOMPARE(t.bookmark(name)->end, 5);
    const auto before = t.snapshot();
    t.replaced(2, 3, 4);   // its whole text replaced: the bookmark goes
    QVERIFY(!t.hasBookmark(name));
    QVERIFY(!t.bookmark(name));
    t.addBookmark(name, 2, 6);
    QCOMPARE(t.bookmark(name)->end, 6);
    QCOMPARE(t.bookmark(name)->xmlId, -1);
    t.restore(*before);
    QCOMPARE(t.bookmark(name)->end, 5);
    QCOMPARE(t.bookmark(name)->xmlId, 3);
    QVERIFY(t.removeBookmark(QStringLiteral("VEVŐ_NEVE")));
    QVERIFY(!t.hasBookmark(name));
    t.addBookmark(QStringLiteral("vevő_neve"), 1, 1);
    QCOMPARE(t.bookmark(name)->name, QStringLiteral("vevő_neve"));
    QCOMPARE(t.storedName(QStringLiteral("VEVŐ_neve")), QStringLiteral("vevő_neve"));
    t.clear();
    QVERIFY(!t.hasBookmark(name));
    QVERIFY(t.storedName(name).isNull());
}

// Enough names to make the table of names grow many times over, short ones
// and ones of up to the longest a name may be, in one spelling stored and
// another asked.
void TestAnchorTable::manyNames()
{
    AnchorTable t;
    const auto nameOf = [](int i) {
        QString n = QStringLiteral("Ő%1_").arg(i);
        while (n.size() < 1 + i % 40)
            n += QChar(u'a' + (i + int(n.size())) % 26);
        return n;
    };
    const int count = 3000;
    for (int i = 0; i < count; ++i)
        t.addBookmark(nameOf(i), i * 3, i * 3 + 1);
    QCOMPARE(t.bookmarkCount(true), count);
    for (int i = 0; i < count; ++i) {
        const auto b = t.bookmark(nameOf(i).toUpper());
        QVERIFY2(b && b->name == nameOf(i) && b->start == i * 3, qPrintable(nameOf(i)));
    }
    QVERIFY(!t.hasBookmark(nameOf(count)));
    for (int i = 0; i < count; i += 2)
        QVERIFY(t.removeBookmark(nameOf(i).toLower()));
    for (int i = 0; i < count; ++i)
        QCOMPARE(t.hasBookmark(nameOf(i)), i % 2 == 1);
    for (int i = 0; i < count; i += 4)
        t.addBookmark(nameOf(i), 1, 2);
    for (int i = 0; i < count; ++i)
        QCOMPARE(t.hasBookmark(nameOf(i)), i % 2 == 1 || i % 4 == 0);
    QCOMPARE(t.bookmarkCount(true), count / 2 + count / 4);
}

void TestAnchorTable::sortedByName()
{
    AnchorTable t;
    const QStringList names{ "b", "Á", "A", "_h", "c", "a2", "Ő", "Ö", "é" };
    int p = 0;
    for (const QString& n : names)
        t.addBookmark(n, p, p + 1), p += 2;
    QStringList visible, all;
    for (const auto& b : t.bookmarksByName(false))
        visible << b.name;
    for (const auto& b : t.bookmarksByName(true))
        all << b.name;
    // Case-folded code-point order: ASCII letters, then the accented ones.
    QCOMPARE(visible, QStringList({ "A", "a2", "b", "c", "Á", "é", "Ö", "Ő" }));
    QCOMPARE(all, QStringList({ "_h", "A", "a2", "b", "c", "Á", "é", "Ö", "Ő" }));
    for (int i = 0; i < visible.size(); ++i)
        QCOMPARE(t.bookmarkByNameAt(i, false)->name, visible.at(i));
    QVERIFY(!t.bookmarkByNameAt(visible.size(), false));
    QVERIFY(!t.bookmarkByNameAt(-1, true));
    // The order follows additions and removals.
    t.removeBookmark(QStringLiteral("a2"));
    t.addBookmark(QStringLiteral("B2"), 1, 1);
    QCOMPARE(t.bookmarkByNameAt(1, false)->name, QStringLiteral("b"));
    QCOMPARE(t.bookmarkByNameAt(2, false)->name, QStringLiteral("B2"));
}

void TestAnchorTable::hiddenNames()
{
    AnchorTable t;
    addAll(t, QStringLiteral("_GoBack:1-1 _Toc123:2-9 Vevő_1:3-4"));
    QCOMPARE(t.bookmarkCount(false), 1);
    QCOMPARE(t.bookmarkCount(true), 3);
    QCOMPARE(describe(t.bookmarksInside(0, 10, false)), QStringLiteral("Vevő_1:3-4"));
    QCOMPARE(describe(t.allBookmarks()), QStringLiteral("_GoBack:1-1 _Toc123:2-9 Vevő_1:3-4"));
    t.replaced(2, 7, 1);   // takes _Toc123 and Vevő_1
    QCOMPARE(t.bookmarkCount(false), 0);
    QCOMPARE(t.bookmarkCount(true), 1);
}

void TestAnchorTable::inside_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("end");
    QTest::addColumn<bool>("hidden");
    QTest::addColumn<QString>("expected");

    QTest::newRow("outer range") << 2 << 10 << false << "a:2-10 b:2-6 c:4-4 e:10-10";
    QTest::newRow("with hidden") << 2 << 10 << true << "a:2-10 b:2-6 _h:3-5 c:4-4 e:10-10";
    QTest::newRow("partial overlap excluded") << 3 << 12 << false << "c:4-4 d:8-12 e:10-10";
    QTest::newRow("collapsed range") << 4 << 4 << false << "c:4-4";
    QTest::newRow("nothing") << 13 << 20 << false << "";
}

void TestAnchorTable::inside()
{
    QFETCH(int, start);
    QFETCH(int, end);
    QFETCH(bool, hidden);
    QFETCH(QString, expected);

    AnchorTable t;
    addAll(t, QStringLiteral("d:8-12 c:4-4 b:2-6 _h:3-5 a:2-10 e:10-10"));
    QCOMPARE(describe(t.bookmarksInside(start, end, hidden)), expected);
}

void TestAnchorTable::removeMarkupTakesGroup()
{
    AnchorTable t;
    const int begin = t.addMarkup(2, 0, 7);
    const int sep = t.addMarkup(4, 1, 7);
    const int other = t.addMarkup(5, 2, 8);
    const int end = t.addMarkup(6, 3, 7);
    t.removeMarkup(sep);
    QVERIFY(!t.markupPosition(begin));
    QVERIFY(!t.markupPosition(sep));
    QVERIFY(!t.markupPosition(end));
    QCOMPARE(t.markupPosition(other), std::optional<int>(5));
    t.removeMarkup(sep);   // a second time: nothing left to do
    QCOMPARE(describePoints(t), QStringLiteral("m2@5"));
}

void TestAnchorTable::snapshotRestore()
{
    AnchorTable t;
    addAll(t, QStringLiteral("a:2-5 b:8-12 _c:20-20"));
    const int m = t.addMarkup(9, 0, 1);
    const int mate = t.addMarkup(15, 1, 1);
    const QString first = describePoints(t);
    const auto s0 = t.snapshot();

    t.replaced(8, 2, 1);            // overlaps b's start, removes the markup group
    t.addBookmark(QStringLiteral("A"), 0, 1);
    t.removeBookmark(QStringLiteral("_c"));
    const int later = t.addMarkup(3, 2);
    const QString second = describePoints(t);
    const auto s1 = t.snapshot();
    QVERIFY(!t.markupPosition(m));

    t.replaced(0, 30, 0);
    QCOMPARE(describePoints(t), QString());

    t.restore(*s0);
    QCOMPARE(describePoints(t), first);
    QCOMPARE(t.markupPosition(m), std::optional<int>(9));
    QCOMPARE(t.markupPosition(mate), std::optional<int>(15));
    QVERIFY(!t.markupPosition(later));
    QCOMPARE(t.bookmark(QStringLiteral("a"))->start, 2);

    t.restore(*s1);   // forward again, as a redo does
    QCOMPARE(describePoints(t), second);
    QCOMPARE(t.markupPosition(later), std::optional<int>(3));
    QVERIFY(!t.hasBookmark(QStringLiteral("_c")));
}

void TestAnchorTable::snapshotAcrossBranches()
{
    AnchorTable t;
    addAll(t, QStringLiteral("a:2-5 b:8-12"));
    const auto base = t.snapshot();
    t.replaced(2, 3, 7);                  // branch one: a goes
    const QString one = describePoints(t);
    const auto s1 = t.snapshot();
    t.restore(*base);
    t.addBookmark(QStringLiteral("c"), 0, 20);   // branch two
    t.replaced(9, 0, 4);
    const QString two = describePoints(t);
    const auto s2 = t.snapshot();

    t.restore(*s1);
    QCOMPARE(describePoints(t), one);
    t.restore(*s2);
    QCOMPARE(describePoints(t), two);
    t.restore(*base);
    QCOMPARE(describePoints(t), QStringLiteral("[a@2 a]@5 [b@8 b]@12"));
}

void TestAnchorTable::snapshotOutlivesTable()
{
    std::shared_ptr<const AnchorTable::Snapshot> kept;
    {
        AnchorTable t;
        t.addBookmark(QStringLiteral("a"), 1, 2);
        kept = t.snapshot();
        t.replaced(0, 5, 0);
    }
    QVERIFY(kept.use_count() == 1);
    kept.reset();   // must not touch the destroyed table
}

void TestAnchorTable::clearAndRestore()
{
    AnchorTable t;
    addAll(t, QStringLiteral("a:2-5 _b:8-12"));
    const int m = t.addMarkup(3, 5, 2);
    const QString before = describePoints(t);
    const auto s = t.snapshot();
    t.clear();
    QCOMPARE(t.bookmarkCount(true), 0);
    QVERIFY(!t.markupPosition(m));
    t.restore(*s);
    QCOMPARE(describePoints(t), before);
    QCOMPARE(t.bookmarkCount(false), 1);
    QCOMPARE(t.markupPosition(m), std::optional<int>(3));
}

// ------------------------------------------------------------------ random

namespace {

struct RandomRun {
    std::mt19937 rng;
    AnchorTable table;
    NaiveModel model;
    int length = 200;
    int maxHandle = 0;
    std::vector<std::pair<std::shared_ptr<const AnchorTable::Snapshot>, std::pair<NaiveModel, int>>> snaps;

    explicit RandomRun(unsigned seed) : rng(seed) {}
    int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }

    QString name()
    {
        static const QStringList pool{ "Eladó_1", "eladó_2", "Vevő_1", "VEVŐ_2", "Űrlap", "őrző", "_Toc1", "_GoBack",
                                       "Ár",      "ÁR_3",    "név",    "Név_2",  "x",     "X1",   "é",     "É_é" };
        QString n = pool.at(pick(0, pool.size() - 1));
        return pick(0, 3) == 0 ? n.toUpper() : n;
    }

    void editText()
    {
        const int pos = pick(0, length);
        const int removed = pick(0, 2) == 0 ? 0 : pick(0, std::min(length - pos, 12));
        const int added = pick(0, 3) == 0 ? 0 : pick(0, 10);
        table.replaced(pos, removed, added);
        model.replaced(pos, removed, added);
        length += added - removed;
    }

    void step()
    {
        switch (pick(0, 19)) {
        case 0: case 1: case 2: case 3: case 4: case 5: case 6: case 7:
            editText();
            break;
        case 8: case 9: case 10: {
            int s = pick(0, length), e = pick(0, length);
            if (pick(0, 3) == 0)
                e = s;
            if (s > e)
                std::swap(s, e);
            const QString n = name();
            const int id = pick(-1, 99);
            table.addBookmark(n, s, e, id);
            model.add(n, s, e, id);
            break;
        }
        case 11: {
            const QString n = name();
            QCOMPARE(table.removeBookmark(n), model.find(n) != nullptr);
            model.remove(n);
            break;
        }
        case 12: case 13: {
            const int p = pick(0, length), index = pick(0, 999), group = pick(-1, 4);
            const int h = table.addMarkup(p, index, group);
            QVERIFY(h > maxHandle);
            maxHandle = h;
            model.mks.push_back(NaiveModel::Mk{ h, p, index, group, ++model.clock });
            break;
        }
        case 14: {
            const int h = pick(1, std::max(1, maxHandle));
            table.removeMarkup(h);
            model.removeGroups({ h });
            break;
        }
        case 15:
            snaps.emplace_back(table.snapshot(), std::pair(model, length));
            break;
        case 16: case 17:
            if (!snaps.empty()) {
                const auto& s = snaps.at(size_t(pick(0, int(snaps.size()) - 1)));
                table.restore(*s.first);
                const quint64 clock = model.clock;
                model = s.second.first;
                model.clock = clock;
                length = s.second.second;
            }
            break;
        case 18:
            if (!snaps.empty())
                snaps.erase(snaps.begin() + pick(0, int(snaps.size()) - 1));
            break;
        case 19:
            if (pick(0, 30) == 0) {
                table.clear();
                model.bms.clear();
                model.mks.clear();
            } else {
                editText();
            }
            break;
        }
    }

    void check()
    {
        QCOMPARE(describePoints(table), model.points());
        QCOMPARE(describe(table.allBookmarks()), describe(model.docOrder(true)));
        QCOMPARE(table.bookmarkCount(false), int(model.docOrder(false).size()));
        for (int h = 1; h <= maxHandle; ++h) {
            auto it = std::find_if(model.mks.begin(), model.mks.end(), [&](const auto& m) { return m.handle == h; });
            QCOMPARE(table.markupPosition(h), it == model.mks.end() ? std::nullopt : std::optional<int>(it->position));
        }
        int a = pick(-2, length + 2), b = pick(-2, length + 2);
        if (a > b)
            std::swap(a, b);
        std::vector<BookmarkInfo> inside;
        for (const auto& bm : model.docOrder(false)) {
            if (bm.start >= a && bm.end <= b)
                inside.push_back(bm);
        }
        QCOMPARE(describe(table.bookmarksInside(a, b, false)), describe(inside));
        // The same spelling asked again after the name set changed.
        const QString probe = name();
        QCOMPARE(table.hasBookmark(probe), model.find(probe) != nullptr);
        for (const auto& bm : model.bms) {
            const auto got = table.bookmark(bm.name.toLower());
            QVERIFY(got);
            QCOMPARE(got->xmlId, bm.xmlId);
        }
        checkNameOrder();
    }

    void checkNameOrder()
    {
        const auto byName = table.bookmarksByName(false);
        QCOMPARE(byName.size(), size_t(table.bookmarkCount(false)));
        for (size_t i = 1; i < byName.size(); ++i)
            QVERIFY(QString::compare(byName[i - 1].name.toCaseFolded(), byName[i].name.toCaseFolded()) < 0);
    }
};

} // namespace

void TestAnchorTable::randomAgainstModel_data()
{
    QTest::addColumn<unsigned>("seed");
    QTest::addColumn<int>("steps");
    for (unsigned seed : { 1u, 7u, 1234u, 99991u })
        QTest::newRow(qPrintable(QStringLiteral("seed %1").arg(seed))) << seed << 2500;
}

void TestAnchorTable::randomAgainstModel()
{
    QFETCH(unsigned, seed);
    QFETCH(int, steps);

    RandomRun run(seed);
    for (int i = 0; i < steps; ++i) {
        run.step();
        if (QTest::currentTestFailed())
            QFAIL(qPrintable(QStringLiteral("step %1 of seed %2").arg(i).arg(seed)));
        run.check();
        if (QTest::currentTestFailed())
            QFAIL(qPrintable(QStringLiteral("after step %1 of seed %2").arg(i).arg(seed)));
    }
}

QTEST_GUILESS_MAIN(TestAnchorTable)
#include "tst_anchortable.moc"
