// The party list of the template dialog follows its counters: entries come and
// go at the end of their group and the ticks stay with their entries.

#include "templates/partylist.h"

#include <QtTest>

using templates::CounterDirection;
using templates::PartyEntry;
using templates::PartyList;

Q_DECLARE_METATYPE(QList<PartyEntry>)

namespace {

// A step of the counters as the dialog reports it: which counter, its new
// value, the direction, and the seller counter's position at that moment.
struct Step {
    char counter;        // 'E' sellers, 'V' buyers
    int newValue;
    CounterDirection direction;
    int sellerPosition;
};

QString describe(const QList<PartyEntry>& entries)
{
    QStringList out;
    for (const PartyEntry& e : entries)
        out << (e.legal ? QStringLiteral("[x]") : QStringLiteral("[ ]")) + e.text;
    return out.join(QLatin1Char(','));
}

} // namespace

Q_DECLARE_METATYPE(QList<Step>)

class TestPartyList : public QObject {
    Q_OBJECT
private slots:
    void entryName_data();
    void entryName();
    void initialList();
    void counters_data();
    void counters();
    void outOfStepListIsSafe();
};

void TestPartyList::entryName_data()
{
    QTest::addColumn<QString>("word");
    QTest::addColumn<int>("n");
    QTest::addColumn<QString>("expected");
    QTest::newRow("first seller") << QStringLiteral("Eladó") << 1 << QStringLiteral("Eladó");
    QTest::newRow("second seller") << QStringLiteral("Eladó") << 2 << QStringLiteral("Eladó2");
    QTest::newRow("second buyer") << QStringLiteral("Vevő") << 2 << QStringLiteral("Vevő2");
    QTest::newRow("twelfth buyer") << QStringLiteral("Vevő") << 12 << QStringLiteral("Vevő12");
}

void TestPartyList::entryName()
{
    QFETCH(QString, word);
    QFETCH(int, n);
    QFETCH(QString, expected);
    QCOMPARE(PartyList::entryName(word, n), expected);
}

void TestPartyList::initialList()
{
    const PartyList list = PartyList::initial();
    QCOMPARE(describe(list.entries()), QStringLiteral("[x]Eladó,[ ]Vevő"));
}

void TestPartyList::counters_data()
{
    QTest::addColumn<QList<PartyEntry>>("start");
    QTest::addColumn<QList<Step>>("steps");
    QTest::addColumn<QString>("expected");

    const QList<PartyEntry> initial = PartyList::initial().entries();
    using D = CounterDirection;
    QTest::newRow("sellers up") << initial << QList<Step> { { 'E', 2, D::Up, 1 } }
                                << QStringLiteral("[x]Eladó,[ ]Eladó2,[ ]Vevő");
    QTest::newRow("buyers up after sellers up")
        << initial << QList<Step> { { 'E', 2, D::Up, 1 }, { 'V', 2, D::Up, 2 } }
        << QStringLiteral("[x]Eladó,[ ]Eladó2,[ ]Vevő,[ ]Vevő2");
    QTest::newRow("buyers up with one seller") << initial << QList<Step> { { 'V', 2, D::Up, 1 } }
                                               << QStringLiteral("[x]Eladó,[ ]Vevő,[ ]Vevő2");
    const QList<PartyEntry> ticked = {
        { QStringLiteral("Eladó"), false }, { QStringLiteral("Eladó2"), true },
        { QStringLiteral("Vevő"), true }, { QStringLiteral("Vevő2"), false } };
    QTest::newRow("sellers down keeps the buyers' ticks")
        << ticked << QList<Step> { { 'E', 1, D::Down, 2 } }
        << QStringLiteral("[ ]Eladó,[x]Vevő,[ ]Vevő2");
    QTest::newRow("buyers down removes the last buyer")
        << ticked << QList<Step> { { 'V', 1, D::Down, 2 } }
        << QStringLiteral("[ ]Eladó,[x]Eladó2,[x]Vevő");
    // Entries after the buyers (the usufructuaries) stay after them.
    const QList<PartyEntry> withLater = {
        { QStringLiteral("Eladó"), false }, { QStringLiteral("Vevő"), false },
        { QStringLiteral("Haszonélvező"), true } };
    QTest::newRow("new buyer before the usufructuaries")
        << withLater << QList<Step> { { 'V', 2, D::Up, 1 } }
        << QStringLiteral("[ ]Eladó,[ ]Vevő,[ ]Vevő2,[x]Haszonélvező");
    QTest::newRow("new seller before the buyers")
        << withLater << QList<Step> { { 'E', 2, D::Up, 1 } }
        << QStringLiteral("[ ]Eladó,[ ]Eladó2,[ ]Vevő,[x]Haszonélvező");
    QTest::newRow("refused steps change nothing")
        << initial << QList<Step> { { 'E', 0, D::None, 1 }, { 'V', 3, D::None, 1 } }
        << QStringLiteral("[x]Eladó,[ ]Vevő");
    QTest::newRow("down and up again gives an unticked entry")
        << ticked << QList<Step> { { 'E', 1, D::Down, 2 }, { 'E', 2, D::Up, 1 } }
        << QStringLiteral("[ ]Eladó,[ ]Eladó2,[x]Vevő,[ ]Vevő2");
}

void TestPartyList::counters()
{
    QFETCH(QList<PartyEntry>, start);
    QFETCH(QList<Step>, steps);
    QFETCH(QString, expected);
    PartyList list;
    list.setEntries(start);
    for (const Step& s : steps) {
        if (s.counter == 'E')
            list.sellerCounterChanging(s.newValue, s.direction);
        else
            list.buyerCounterChanging(s.newValue, s.direction, s.sellerPosition);
    }
    QCOMPARE(describe(list.entries()), expected);
}

// A list emptied from outside must not make a counter step crash.
void TestPartyList::outOfStepListIsSafe()
{
    PartyList list;
    list.sellerCounterChanging(1, CounterDirection::Down);
    list.buyerCounterChanging(2, CounterDirection::Up, 2);
    QCOMPARE(describe(list.entries()), QStringLiteral("[ ]Vevő2"));
}

QTEST_APPLESS_MAIN(TestPartyList)
#include "tst_partylist.moc"
