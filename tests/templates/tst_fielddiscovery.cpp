// Field discovery: which bookmarks become fields, MaxOccurrence, the grid rows
// and the insertion point afterwards.

#include "templates/fielddiscovery.h"
#include "word/application.h"
#include "word/document.h"
#include "word/wordfixture.h"

#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

using namespace wordtest;
using templates::DiscoverFields;
using templates::FieldDiscovery;

namespace {

// A paragraph per bookmark, each holding "text of <name>".
QString bookmarkedBody(const QStringList& names)
{
    QString body;
    int id = 0;
    for (const QString& name : names)
        body += p(r(QStringLiteral("Mező: ")) + bm(name, id++, r(QStringLiteral("szöveg ") + name)));
    return body;
}

QStringList fieldNames(const FieldDiscovery& d)
{
    QStringList out;
    for (const auto& f : d.fields)
        out << f.number + QLatin1Char(' ') + f.name;
    return out;
}

} // namespace

class TestFieldDiscovery : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void occurrenceNumber_data();
    void occurrenceNumber();
    void discovery_data();
    void discovery();
    void valuesOfAReopenedDocument();
    void caretEndsAtTheStart();
    void gridRows();
    void gridWithoutFields();

private:
    word::Document* open(const QString& body);

    QTemporaryDir m_dir;
    word::Application m_app;
    int m_files = 0;
};

void TestFieldDiscovery::initTestCase()
{
    QVERIFY(m_dir.isValid());
}

word::Document* TestFieldDiscovery::open(const QString& body)
{
    const QString path = writeDocx(m_dir.path(), QStringLiteral("d%1.docx").arg(++m_files), body);
    return m_app.Documents().Open(path);
}

void TestFieldDiscovery::occurrenceNumber_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("expected");
    QTest::newRow("first place") << "Nev_1" << 1;
    QTest::newRow("second place") << "Nev_2" << 2;
    QTest::newRow("two digits") << "Ar_12" << 12;
    QTest::newRow("tenth") << "Eladó_Név_10" << 10;
    QTest::newRow("block name") << "Jogisz" << 0;
    QTest::newRow("other block name") << "Termsz" << 0;
    QTest::newRow("no underscore, two digits") << "Nev01" << 1;
    QTest::newRow("underscore then two digits") << "Nev_01" << 1;
    QTest::newRow("letter before the digit") << "Cim1" << 0;
    QTest::newRow("ends in a letter") << "Nev_x" << 0;
    QTest::newRow("one character") << "A" << 0;
    QTest::newRow("accented base") << "Vevő_1" << 1;
}

void TestFieldDiscovery::occurrenceNumber()
{
    QFETCH(QString, name);
    QFETCH(int, expected);
    QCOMPARE(templates::occurrenceNumber(name), expected);
}

void TestFieldDiscovery::discovery_data()
{
    QTest::addColumn<QStringList>("bookmarks");
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<int>("maxOccurrence");

    QTest::newRow("document order, repeated field")
        << QStringList { "Nev_1", "Cim_1", "Nev_2", "Datum_1" }
        << QStringList { "1. Nev", "2. Cim", "3. Datum" } << 2;
    QTest::newRow("two-digit occurrence makes no row")
        << QStringList { "Nev_1", "Ar_12" } << QStringList { "1. Nev" } << 12;
    QTest::newRow("block names make no row")
        << QStringList { "Jogisz", "Nev_1", "Termsz" } << QStringList { "1. Nev" } << 1;
    QTest::newRow("two digits without an underscore")
        << QStringList { "Nev01", "Nev_01" } << QStringList { "1. Nev", "2. Nev_" } << 1;
    QTest::newRow("underscores in the base stay")
        << QStringList { "Eladó_Cégnév_1", "Eladó_Cégnév_2" } << QStringList { "1. Eladó_Cégnév" } << 2;
    QTest::newRow("no bookmark") << QStringList {} << QStringList {} << 1;
    QTest::newRow("no first place") << QStringList { "Nev_2", "Cim_3" } << QStringList {} << 3;
}

void TestFieldDiscovery::discovery()
{
    QFETCH(QStringList, bookmarks);
    QFETCH(QStringList, fields);
    QFETCH(int, maxOccurrence);
    word::Document* doc = open(bookmarks.isEmpty() ? p(r(QStringLiteral("Üres szerződés."))) : bookmarkedBody(bookmarks));
    const FieldDiscovery found = DiscoverFields(*doc, false);
    QCOMPARE(fieldNames(found), fields);
    QCOMPARE(found.maxOccurrence, maxOccurrence);
    QCOMPARE(found.bookmarkCount, int(bookmarks.size()));
    QVERIFY(!found.failed);
    for (const auto& f : found.fields)
        QVERIFY(!f.hasValue);
}

void TestFieldDiscovery::valuesOfAReopenedDocument()
{
    word::Document* doc = open(bookmarkedBody({ "Vételár_1", "Település_1", "Vételár_2" }));
    const FieldDiscovery found = DiscoverFields(*doc, true);
    QCOMPARE(found.fields.size(), 2);
    QVERIFY(found.fields[0].hasValue);
    QCOMPARE(found.fields[0].value, QStringLiteral("szöveg Vételár_1"));
    QCOMPARE(found.fields[1].value, QStringLiteral("szöveg Település_1"));
}

void TestFieldDiscovery::caretEndsAtTheStart()
{
    word::Document* doc = open(bookmarkedBody({ "Nev_1", "Cim_1" }));
    doc->Range(8, 12).Select();
    DiscoverFields(*doc, false);
    const word::Selection& sel = doc->ActiveWindow().Selection();
    QCOMPARE(sel.Start(), 0);
    QCOMPARE(sel.End(), 0);
    // Reading and selecting is no change: a reopened document stays saved.
    QVERIFY(doc->Saved());
}

void TestFieldDiscovery::gridRows()
{
    word::Document* doc = open(bookmarkedBody({ "Nev_1", "Cim_1", "Nev_2", "Datum_1" }));
    QTableWidget grid(9, 3);
    grid.setItem(0, 1, new QTableWidgetItem(QStringLiteral(" Mező neve:")));
    grid.setItem(1, 2, new QTableWidgetItem(QStringLiteral("korábbi érték")));
    templates::FillFieldGrid(grid, DiscoverFields(*doc, false));
    QCOMPARE(grid.rowCount(), 4);
    QCOMPARE(grid.item(0, 1)->text(), QStringLiteral(" Mező neve:"));
    QCOMPARE(grid.item(3, 0)->text(), QStringLiteral("3."));
    QCOMPARE(grid.item(3, 1)->text(), QStringLiteral("Datum"));
    // A template's values are not read: what the user typed before stays.
    QCOMPARE(grid.item(1, 2)->text(), QStringLiteral("korábbi érték"));

    templates::FillFieldGrid(grid, DiscoverFields(*doc, true));
    QCOMPARE(grid.item(1, 2)->text(), QStringLiteral("szöveg Nev_1"));
}

void TestFieldDiscovery::gridWithoutFields()
{
    word::Document* doc = open(p(r(QStringLiteral("Nincs könyvjelző."))));
    QTableWidget grid(5, 3);
    grid.setItem(1, 0, new QTableWidgetItem(QStringLiteral("1.")));
    grid.setItem(1, 1, new QTableWidgetItem(QStringLiteral("Régi")));
    templates::FillFieldGrid(grid, DiscoverFields(*doc, false));
    QCOMPARE(grid.rowCount(), 2);
    QCOMPARE(grid.item(1, 0)->text(), QString());
    QCOMPARE(grid.item(1, 1)->text(), QString());
}

QTEST_MAIN(TestFieldDiscovery)
#include "tst_fielddiscovery.moc"
