// The opening path without a window, as quillora-cli runs it: the party
// entries for the counts, the variant loaded, assembled and discovered.

#include "templates/headlessopen.h"
#include "word/application.h"
#include "word/document.h"
#include "word/error.h"

#include <QtTest>

using templates::PartyEntry;

namespace {

QString sample(const QString& name)
{
    return QStringLiteral(QUILLORA_BIN_DIR "/sablonok/") + name;
}

QString describe(const QList<PartyEntry>& entries)
{
    QStringList out;
    for (const PartyEntry& e : entries)
        out << (e.legal ? QStringLiteral("[x]") : QStringLiteral("[ ]")) + e.text;
    return out.join(QLatin1Char(','));
}

} // namespace

class TestHeadlessOpen : public QObject {
    Q_OBJECT
private slots:
    void parties_data();
    void parties();
    void sampleVariants_data();
    void sampleVariants();
    void missingVariantThrows();
};

void TestHeadlessOpen::parties_data()
{
    QTest::addColumn<int>("sellers");
    QTest::addColumn<int>("buyers");
    QTest::addColumn<QStringList>("legal");
    QTest::addColumn<QString>("expected");
    QTest::newRow("one and one") << 1 << 1 << QStringList {} << "[ ]Eladó,[ ]Vevő";
    QTest::newRow("two buyers, first seller legal")
        << 1 << 2 << QStringList { "Eladó" } << "[x]Eladó,[ ]Vevő,[ ]Vevő2";
    QTest::newRow("names without regard to case")
        << 2 << 1 << QStringList { "eladó2", "VEVŐ" } << "[ ]Eladó,[x]Eladó2,[x]Vevő";
}

void TestHeadlessOpen::parties()
{
    QFETCH(int, sellers);
    QFETCH(int, buyers);
    QFETCH(QStringList, legal);
    QFETCH(QString, expected);
    QCOMPARE(describe(templates::partiesFor(sellers, buyers, legal)), expected);
}

void TestHeadlessOpen::sampleVariants_data()
{
    QTest::addColumn<int>("sellers");
    QTest::addColumn<int>("buyers");
    QTest::addColumn<QStringList>("legal");
    QTest::addColumn<int>("partyFields");
    // Legal block: 6 fields, natural block: 8 fields; every party once per block copy.
    QTest::newRow("1+1") << 1 << 1 << QStringList {} << 16;
    QTest::newRow("1+2") << 1 << 2 << QStringList { "Eladó" } << 6 + 16;
    QTest::newRow("2+1") << 2 << 1 << QStringList { "Eladó2" } << 8 + 6 + 8;
    QTest::newRow("2+2") << 2 << 2 << QStringList { "Vevő", "Vevő2" } << 16 + 12;
}

void TestHeadlessOpen::sampleVariants()
{
    QFETCH(int, sellers);
    QFETCH(int, buyers);
    QFETCH(QStringList, legal);
    QFETCH(int, partyFields);
    word::Application app;
    const templates::HeadlessOpening o = templates::openHeadless(
        app, sample(QStringLiteral("adasveteli.sab")), sellers, buyers, legal);
    QVERIFY(o.isTemplate);
    QCOMPARE(o.assembly, templates::AssemblyEnd::Complete);
    int parties = 0;
    for (const auto& f : o.discovery.fields) {
        if (f.name.startsWith(QStringLiteral("Eladó")) || f.name.startsWith(QStringLiteral("Vevő")))
            ++parties;
        QVERIFY2(!f.hasValue, "a template's values are not read");
    }
    QCOMPARE(parties, partyFields);
    // The contract's own fields come after the parties', the same in every variant.
    QCOMPARE(o.discovery.fields.size() - parties, 18);   // the last, the contract number, stands in the header too
    // The place and date of signing stand three times (contract, countersignature, consent).
    QCOMPARE(o.discovery.maxOccurrence, 3);
    // Every party is described twice: in the contract and in the registration consent.
    word::Bookmarks all = o.doc->Bookmarks();
    for (const PartyEntry& p : templates::partiesFor(sellers, buyers, legal)) {
        const QString field = p.text + (p.legal ? QStringLiteral("_Cégnév_2") : QStringLiteral("_Név_2"));
        QVERIFY2(all.Exists(field), qPrintable(field));
    }
}

void TestHeadlessOpen::missingVariantThrows()
{
    word::Application app;
    QVERIFY_THROWS_EXCEPTION(word::Error, templates::openHeadless(app, sample(QStringLiteral("nincs.sab")), 1, 1, {}));
}

QTEST_MAIN(TestHeadlessOpen)
#include "tst_headlessopen.moc"
