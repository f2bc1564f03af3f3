// Party block assembly on small templates: which block goes where, the names
// the copies' fields get, the font size carried over, and where a broken
// template makes the assembly stop.

#include "templates/fielddiscovery.h"
#include "templates/partyblockassembly.h"
#include "word/application.h"
#include "word/document.h"
#include "word/wordfixture.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace wordtest;
using templates::AssemblyEnd;
using templates::PartyEntry;

Q_DECLARE_METATYPE(QList<PartyEntry>)

namespace {

const QString Seller = QStringLiteral("Eladó");
const QString Buyer = QStringLiteral("Vevő");

// The two blocks as the first two paragraphs, each bookmark over its text only.
QString blocks(bool legal = true, bool natural = true)
{
    QString out;
    const QString legalRuns = r(QStringLiteral("cégnév: ")) + bm(QStringLiteral("CegNev_1"), 1, r(QStringLiteral("***")))
        + r(QStringLiteral(", székhely: ")) + bm(QStringLiteral("Szekhely_1"), 2, r(QStringLiteral("***")));
    const QString naturalRuns = r(QStringLiteral("név: ")) + bm(QStringLiteral("Nev_1"), 4, r(QStringLiteral("***")));
    out += p(legal ? bm(QStringLiteral("Jogisz"), 0, legalRuns) : legalRuns);
    out += p(natural ? bm(QStringLiteral("Termsz"), 3, naturalRuns) : naturalRuns);
    return out;
}

// A paragraph "<label>: " with placeholder bookmark <name> over "[<name>]".
QString placeholder(const QString& label, const QString& name, int id, const QString& rPr = QString())
{
    return p(r(label + QStringLiteral(": ")) + bm(name, id, r(QLatin1Char('[') + name + QLatin1Char(']'), rPr)));
}

QStringList bookmarkNames(word::Document& doc)
{
    QStringList out;
    word::Bookmarks all = doc.Bookmarks();
    for (int i = 1; i <= all.Count(); ++i)
        out << all.Item(i).Name();
    return out;
}

QString textOf(word::Document& doc, const QString& bookmark)
{
    return doc.Bookmarks().Item(bookmark).Range().Text();
}

} // namespace

class TestPartyBlockAssembly : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void legalAndNaturalBlocks();
    void noEntryTicked();
    void fontSizeOfThePlaceholder();
    void mixedSizePlaceholder();
    void gapEndsTheNumbering();
    void tenthOccurrenceHasItsOwnNames();
    void copiedFieldName_data();
    void copiedFieldName();
    void brokenTemplates_data();
    void brokenTemplates();

private:
    word::Document* open(const QString& body);

    QTemporaryDir m_dir;
    word::Application m_app;
    int m_files = 0;
};

void TestPartyBlockAssembly::initTestCase()
{
    QVERIFY(m_dir.isValid());
}

word::Document* TestPartyBlockAssembly::open(const QString& body)
{
    const QString path = writeDocx(m_dir.path(), QStringLiteral("t%1.docx").arg(++m_files), body);
    return m_app.Documents().Open(path);
}

void TestPartyBlockAssembly::legalAndNaturalBlocks()
{
    word::Document* doc = open(blocks() + placeholder(Seller, "Eladó_1", 10) + placeholder(Buyer, "Vevő_1", 11)
                               + placeholder(Seller, "Eladó_2", 12));
    const QList<PartyEntry> parties { { Seller, true }, { Buyer, false } };
    QCOMPARE(templates::AssemblePartyBlocks(*doc, parties), AssemblyEnd::Complete);

    const QStringList names = bookmarkNames(*doc);
    QCOMPARE(names, (QStringList { "Eladó_CegNev_1", "Eladó_CegNev_2", "Eladó_Szekhely_1",
                                   "Eladó_Szekhely_2", "Vevő_Nev_1" }));
    QCOMPARE(textOf(*doc, "Eladó_CegNev_2"), QStringLiteral("***"));
    QCOMPARE(textOf(*doc, "Vevő_Nev_1"), QStringLiteral("***"));
    // The blocks are gone from the start; the first paragraph is the first placeholder's.
    const QString text = doc->Content().Text();
    QVERIFY2(text.startsWith(QStringLiteral("Eladó: cégnév: ***, székhely: ***\rVevő: név: ***\r")), qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("\rEladó: cégnév: ***, székhely: ***")));

    const templates::FieldDiscovery found = templates::DiscoverFields(*doc, false);
    QStringList fields;
    for (const auto& f : found.fields)
        fields << f.name;
    QCOMPARE(fields, (QStringList { "Eladó_CegNev", "Eladó_Szekhely", "Vevő_Nev" }));
    QCOMPARE(found.maxOccurrence, 2);
}

void TestPartyBlockAssembly::noEntryTicked()
{
    word::Document* doc = open(blocks() + placeholder(Seller, "Eladó_1", 10) + placeholder(Buyer, "Vevő_1", 11));
    const QList<PartyEntry> parties { { Seller, false }, { Buyer, false } };
    QCOMPARE(templates::AssemblePartyBlocks(*doc, parties), AssemblyEnd::Complete);
    const QString text = doc->Content().Text();
    QVERIFY2(!text.contains(QStringLiteral("cégnév")), qPrintable(text));
    QCOMPARE(bookmarkNames(*doc), (QStringList { "Eladó_Nev_1", "Vevő_Nev_1" }));
}

void TestPartyBlockAssembly::fontSizeOfThePlaceholder()
{
    word::Document* doc = open(blocks() + placeholder(Seller, "Eladó_1", 10, QStringLiteral("<w:sz w:val=\"20\"/>"))
                               + placeholder(Buyer, "Vevő_1", 11, QStringLiteral("<w:sz w:val=\"28\"/>")));
    const QList<PartyEntry> parties { { Seller, true }, { Buyer, false } };
    QCOMPARE(templates::AssemblePartyBlocks(*doc, parties), AssemblyEnd::Complete);
    const QString text = doc->Content().Text();
    const int legalStart = int(text.indexOf(QStringLiteral("cégnév")));
    const int legalEnd = int(text.indexOf(QLatin1Char('\r'), legalStart));
    QVERIFY(legalStart > 0 && legalEnd > legalStart);
    QCOMPARE(doc->Range(legalStart, legalEnd).Font().Size(), 10.0f);
    const int naturalStart = int(text.indexOf(QStringLiteral("név:"), legalEnd));
    const int naturalEnd = text.indexOf(QLatin1Char('\r'), naturalStart) < 0
        ? int(text.size()) : int(text.indexOf(QLatin1Char('\r'), naturalStart));
    QCOMPARE(doc->Range(naturalStart, naturalEnd).Font().Size(), 14.0f);
    // The label before the placeholder keeps the document's size.
    QVERIFY(doc->Range(0, legalStart).Font().Size() != 10.0f);
}

void TestPartyBlockAssembly::mixedSizePlaceholder()
{
    const QString mixed = p(r(QStringLiteral("Eladó: ")) + bm(QStringLiteral("Eladó_1"), 10,
                              r(QStringLiteral("[kicsi"), QStringLiteral("<w:sz w:val=\"16\"/>"))
                                  + r(QStringLiteral(" nagy]"), QStringLiteral("<w:sz w:val=\"32\"/>"))));
    word::Document* doc = open(blocks() + mixed + placeholder(Buyer, "Vevő_1", 11));
    const QList<PartyEntry> parties { { Seller, true }, { Buyer, false } };
    QCOMPARE(templates::AssemblePartyBlocks(*doc, parties), AssemblyEnd::Complete);
    QCOMPARE(bookmarkNames(*doc), (QStringList { "Eladó_CegNev_1", "Eladó_Szekhely_1", "Vevő_Nev_1" }));
}

void TestPartyBlockAssembly::gapEndsTheNumbering()
{
    word::Document* doc = open(blocks() + placeholder(Seller, "Eladó_1", 10) + placeholder(Seller, "Eladó_3", 12)
                               + placeholder(Buyer, "Vevő_1", 11));
    const QList<PartyEntry> parties { { Seller, true }, { Buyer, false } };
    QCOMPARE(templates::AssemblePartyBlocks(*doc, parties), AssemblyEnd::Complete);
    const QStringList names = bookmarkNames(*doc);
    QVERIFY(names.contains(QStringLiteral("Eladó_3")));
    QCOMPARE(textOf(*doc, "Eladó_3"), QStringLiteral("[Eladó_3]"));
    QVERIFY(!names.contains(QStringLiteral("Eladó_CegNev_3")));
    QVERIFY(names.contains(QStringLiteral("Eladó_CegNev_1")));
}

void TestPartyBlockAssembly::tenthOccurrenceHasItsOwnNames()
{
    QString body = blocks();
    for (int k = 1; k <= 10; ++k)
        body += placeholder(Seller, QStringLiteral("Eladó_%1").arg(k), 10 + k);
    body += placeholder(Buyer, "Vevő_1", 30);
    word::Document* doc = open(body);
    const QList<PartyEntry> parties { { Seller, false }, { Buyer, false } };
    QCOMPARE(templates::AssemblePartyBlocks(*doc, parties), AssemblyEnd::Complete);
    word::Bookmarks all = doc->Bookmarks();
    QVERIFY(all.Exists(QStringLiteral("Eladó_Nev_1")));
    QVERIFY(all.Exists(QStringLiteral("Eladó_Nev_9")));
    QVERIFY(all.Exists(QStringLiteral("Eladó_Nev_10")));
    // The first copy keeps its bookmark: it lies before the tenth one.
    QVERIFY(all.Item(QStringLiteral("Eladó_Nev_1")).Range().Start()
            < all.Item(QStringLiteral("Eladó_Nev_10")).Range().Start());
    const templates::FieldDiscovery found = templates::DiscoverFields(*doc, false);
    QCOMPARE(found.maxOccurrence, 10);
}

void TestPartyBlockAssembly::copiedFieldName_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("k");
    QTest::addColumn<QString>("expected");
    QTest::newRow("first copy") << "Eladó" << "CegNev_1" << 1 << "Eladó_CegNev_1";
    QTest::newRow("third copy, second buyer") << "Vevő2" << "Nev_1" << 3 << "Vevő2_Nev_3";
    QTest::newRow("tenth copy") << "Eladó" << "Nev_1" << 10 << "Eladó_Nev_10";
}

void TestPartyBlockAssembly::copiedFieldName()
{
    QFETCH(QString, entry);
    QFETCH(QString, field);
    QFETCH(int, k);
    QFETCH(QString, expected);
    QCOMPARE(templates::copiedFieldName(entry, field, k), expected);
}

void TestPartyBlockAssembly::brokenTemplates_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<QStringList>("bookmarksAfter");
    QTest::addColumn<QString>("textStart");

    const QString rest = placeholder(Seller, "Eladó_1", 10) + placeholder(Buyer, "Vevő_1", 11);
    QTest::newRow("no legal block: nothing changes")
        << blocks(false, true) + rest
        << QStringList { "CegNev_1", "Eladó_1", "Nev_1", "Szekhely_1", "Termsz", "Vevő_1" }
        << QStringLiteral("cégnév: ***, székhely: ***\rnév: ***\rEladó: [Eladó_1]");
    QTest::newRow("no natural block: the legal pass only")
        << blocks(true, false) + rest
        << QStringList { "Eladó_CegNev_1", "Eladó_Szekhely_1", "Nev_1", "Vevő_1" }
        << QStringLiteral("\rnév: ***\rEladó: cégnév: ***, székhely: ***\rVevő: [Vevő_1]");
    QTest::newRow("an entry without its first placeholder")
        << blocks() + placeholder(Buyer, "Vevő_1", 11)
        << QStringList { "Termsz", "Nev_1", "Vevő_1" }
        << QStringLiteral("\rnév: ***\rVevő: [Vevő_1]");
}

void TestPartyBlockAssembly::brokenTemplates()
{
    QFETCH(QString, body);
    QFETCH(QStringList, bookmarksAfter);
    QFETCH(QString, textStart);
    word::Document* doc = open(body);
    const QList<PartyEntry> parties { { Seller, true }, { Buyer, false } };
    QCOMPARE(templates::AssemblePartyBlocks(*doc, parties), AssemblyEnd::Stopped);
    QStringList names = bookmarkNames(*doc);
    bookmarksAfter.sort(Qt::CaseInsensitive);
    QCOMPARE(names, bookmarksAfter);
    const QString text = doc->Content().Text();
    QVERIFY2(text.startsWith(textStart), qPrintable(text));
}

QTEST_MAIN(TestPartyBlockAssembly)
#include "tst_partyblockassembly.moc"
