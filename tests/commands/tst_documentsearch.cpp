// Find, replace and go to over engine documents, as the "Keresés és csere"
// dialog runs them: forward search with the question at the end, the two
// options, replacing the match and all matches in one undo step, bookmarks
// after a replacement, unknown codes refused before anything changes, and the
// go-to targets by number, relative step and name.

#include "commands/documentgoto.h"
#include "commands/documentsearch.h"
#include "word/wordfixture.h"

#include "word/bookmarks.h"
#include "word/document.h"
#include "word/error.h"

#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextDocument>
#include <QtTest/QtTest>

using namespace wordtest;
using commands::DocumentGoTo;
using commands::DocumentSearch;
using commands::GoToKind;
using commands::SearchOptions;

namespace {

// "Alma körte alma. Almafa" ¶ "második alma" ¶
QString fruitBody()
{
    return p(r("Alma körte alma. Almafa")) + p(r("második ") + bm("Gyumolcs", 1, r("alma")));
}

QString selected(word::Document* doc)
{
    return doc->ActiveWindow().Selection().Text();
}

int selStart(word::Document* doc) { return doc->ActiveWindow().Selection().Start(); }

} // namespace

class TestDocumentSearch : public QObject {
    Q_OBJECT
private slots:
    void rangeFindMovesTheRange();
    void findNextSteps_data();
    void findNextSteps();
    void endOfDocumentAsksOnce_data();
    void endOfDocumentAsksOnce();
    void specialCodes_data();
    void specialCodes();
    void unknownCodeChangesNothing_data();
    void unknownCodeChangesNothing();
    void replaceSelectedMatchThenFindNext();
    void replaceWithoutMatchOnlyFinds();
    void replaceAllIsOneUndoStep();
    void replacementKeepsEnclosingBookmark();

    void goToNumbers_data();
    void goToNumbers();
    void goToMissing_data();
    void goToMissing();
    void goToBookmarksInDocumentOrder();
    void goToPages();

private:
    FixtureDocuments m_docs { QStringLiteral("search") };
};

void TestDocumentSearch::rangeFindMovesTheRange()
{
    word::Document* doc = m_docs.open(fruitBody());
    word::Range r = doc->Content();
    word::Find f = r.Find();
    f.setText(QStringLiteral("körte"));
    QVERIFY(f.Execute());
    QCOMPARE(r.Start(), 5);
    QCOMPARE(r.End(), 10);
    QCOMPARE(r.Text(), QStringLiteral("körte"));
    // The selection is not the searched range and stays where it was.
    QCOMPARE(selStart(doc), 0);
    QCOMPARE(doc->ActiveWindow().Selection().End(), 0);

    word::Range whole = doc->Content();
    word::Find g = whole.Find();
    g.setText(QStringLiteral("körte"));
    g.Replacement().setText(QStringLiteral("szilva"));
    QVERIFY(g.Execute(1));
    QCOMPARE(whole.Text(), QStringLiteral("szilva"));
    QCOMPARE(whole.Start(), 5);
}

void TestDocumentSearch::findNextSteps_data()
{
    QTest::addColumn<bool>("matchCase");
    QTest::addColumn<bool>("wholeWords");
    QTest::addColumn<QList<int>>("starts");   // successive hits, stopping at the end
    QTest::newRow("plain") << false << false << QList<int>{0, 11, 17, 32};
    QTest::newRow("match case") << true << false << QList<int>{11, 32};
    QTest::newRow("whole words") << false << true << QList<int>{0, 11, 32};
    QTest::newRow("both") << true << true << QList<int>{11, 32};
}

void TestDocumentSearch::findNextSteps()
{
    QFETCH(bool, matchCase);
    QFETCH(bool, wholeWords);
    QFETCH(QList<int>, starts);
    word::Document* doc = m_docs.open(fruitBody());
    DocumentSearch search(*doc);
    const SearchOptions o{QStringLiteral("alma"), {}, matchCase, wholeWords};
    for (int s : starts) {
        QVERIFY(search.findNext(o, [] { return false; }));
        QCOMPARE(selStart(doc), s);
        QCOMPARE(selected(doc).toLower(), QStringLiteral("alma"));
    }
    QVERIFY(!search.findNext(o, [] { return false; }));
    QCOMPARE(selStart(doc), starts.back());   // a miss leaves the selection
    QCOMPARE(search.count(o), int(starts.size()));
}

void TestDocumentSearch::endOfDocumentAsksOnce_data()
{
    QTest::addColumn<bool>("goOn");
    QTest::newRow("yes goes on from the start") << true;
    QTest::newRow("no stops") << false;
}

void TestDocumentSearch::endOfDocumentAsksOnce()
{
    QFETCH(bool, goOn);
    word::Document* doc = m_docs.open(fruitBody());
    doc->ActiveWindow().Selection().SetRange(20, 20);   // inside "Almafa", after every "körte"
    DocumentSearch search(*doc);
    int asked = 0;
    const bool found = search.findNext({QStringLiteral("körte")}, [&] { ++asked; return goOn; });
    QCOMPARE(asked, 1);
    QCOMPARE(found, goOn);
    QCOMPARE(selStart(doc), goOn ? 5 : 20);

    // Nowhere at all: asked, then nothing.
    asked = 0;
    QVERIFY(!search.findNext({QStringLiteral("banán")}, [&] { ++asked; return true; }));
    QCOMPARE(asked, 1);
}

void TestDocumentSearch::specialCodes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    QTest::newRow("paragraph mark") << "Almafa^p" << 17 << 7;
    QTest::newRow("tab") << "a^tb" << 0 << 3;
    QTest::newRow("caret") << "x^^y" << 4 << 3;
}

void TestDocumentSearch::specialCodes()
{
    QFETCH(QString, text);
    QFETCH(int, start);
    QFETCH(int, length);
    word::Document* doc = m_docs.open(fruitBody() + p(r("a\tb x^y")));
    DocumentSearch search(*doc);
    QVERIFY(search.findNext({text}, [] { return false; }));
    const int base = text == u"Almafa^p" ? 0 : doc->textDocument()->lastBlock().position();
    QCOMPARE(selStart(doc), base + start);
    QCOMPARE(doc->ActiveWindow().Selection().End() - selStart(doc), length);
}

void TestDocumentSearch::unknownCodeChangesNothing_data()
{
    QTest::addColumn<QString>("find");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<QString>("code");
    QTest::newRow("in the find text") << "alma^x" << "" << "^x";
    QTest::newRow("section break in the replacement") << "alma" << "^b" << "^b";
    QTest::newRow("unknown in the replacement") << "alma" << "k^q" << "^q";
}

void TestDocumentSearch::unknownCodeChangesNothing()
{
    QFETCH(QString, find);
    QFETCH(QString, replacement);
    QFETCH(QString, code);
    word::Document* doc = m_docs.open(fruitBody());
    const QString before = doc->Content().Text();
    DocumentSearch search(*doc);
    try {
        search.replaceAll({find, replacement});
        QFAIL("an unknown code was taken");
    } catch (const word::Error& e) {
        QVERIFY2(e.message().contains(code), qPrintable(e.message()));
    }
    QCOMPARE(doc->Content().Text(), before);
    QVERIFY(doc->Saved());
    QVERIFY(!doc->Undo());   // not even an empty undo step
}

void TestDocumentSearch::replaceSelectedMatchThenFindNext()
{
    word::Document* doc = m_docs.open(fruitBody());
    DocumentSearch search(*doc);
    const SearchOptions o{QStringLiteral("alma"), QStringLiteral("szilva"), true, true};
    QVERIFY(search.findNext(o, [] { return false; }));
    QCOMPARE(selStart(doc), 11);
    bool next = false;
    QVERIFY(search.replaceCurrent(o, [] { return false; }, &next));
    QVERIFY(next);
    QCOMPARE(doc->Content().Text().left(23), QStringLiteral("Alma körte szilva. Alma"));
    // The next match is the one in the second paragraph, two characters further now.
    QCOMPARE(selStart(doc), 34);
    QCOMPARE(selected(doc), QStringLiteral("alma"));
}

void TestDocumentSearch::replaceWithoutMatchOnlyFinds()
{
    word::Document* doc = m_docs.open(fruitBody());
    doc->ActiveWindow().Selection().SetRange(5, 10);   // "körte" is selected, not a match
    DocumentSearch search(*doc);
    const QString before = doc->Content().Text();
    QVERIFY(!search.replaceCurrent({QStringLiteral("alma"), QStringLiteral("x"), true, false}, [] { return false; }));
    QCOMPARE(doc->Content().Text(), before);
    QCOMPARE(selStart(doc), 11);
}

void TestDocumentSearch::replaceAllIsOneUndoStep()
{
    word::Document* doc = m_docs.open(fruitBody());
    const QString before = doc->Content().Text();
    DocumentSearch search(*doc);
    QCOMPARE(search.replaceAll({QStringLiteral("alma"), QStringLiteral("körte^t")}), 4);
    QCOMPARE(doc->Content().Text(), QStringLiteral("körte\t körte körte\t. körte\tfa\rmásodik körte\t"));
    QVERIFY(!doc->Saved());
    QVERIFY(doc->Undo());
    QCOMPARE(doc->Content().Text(), before);
    QVERIFY(doc->Bookmarks().Exists(QStringLiteral("Gyumolcs")));
    QCOMPARE(doc->Bookmarks().Item(QStringLiteral("Gyumolcs")).Range().Text(), QStringLiteral("alma"));
    QCOMPARE(search.replaceAll({QStringLiteral("banán"), QStringLiteral("x")}), 0);
}

void TestDocumentSearch::replacementKeepsEnclosingBookmark()
{
    word::Document* doc = m_docs.open(p(r("Eleje ") + bm("Nagy", 1, r("a jó alma itt")) + r(" vége")));
    DocumentSearch search(*doc);
    QCOMPARE(search.replaceAll({QStringLiteral("alma"), QStringLiteral("cseresznye")}), 1);
    QCOMPARE(doc->Bookmarks().Item(QStringLiteral("Nagy")).Range().Text(), QStringLiteral("a jó cseresznye itt"));
}

void TestDocumentSearch::goToNumbers_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("from");      // selection start before
    QTest::addColumn<QString>("spec");
    QTest::addColumn<QString>("textAt");   // the text that starts where the selection lands
    QTest::newRow("line 3") << int(GoToKind::Line) << 0 << "3" << "harmadik";
    QTest::newRow("line +2 from line 1") << int(GoToKind::Line) << 0 << "+2" << "harmadik";
    QTest::newRow("line -1 from line 3") << int(GoToKind::Line) << 17 << "-1" << "második";
    QTest::newRow("next line") << int(GoToKind::Line) << 0 << "" << "második";
    QTest::newRow("section 2") << int(GoToKind::Section) << 0 << "2" << "második";
    QTest::newRow("section +1") << int(GoToKind::Section) << 0 << "+1" << "második";
    QTest::newRow("table 1") << int(GoToKind::Table) << 0 << "1" << "cella";
    QTest::newRow("next table") << int(GoToKind::Table) << 0 << "" << "cella";
}

// "első" ¶ (end of section 1) "második" ¶ "harmadik" ¶ then a table with "cella".
static QString numberedBody()
{
    return p(r("első"), QStringLiteral("<w:sectPr><w:type w:val=\"nextPage\"/></w:sectPr>")) + p(r("második"))
           + p(r("harmadik"))
           + QStringLiteral("<w:tbl><w:tr><w:tc><w:p><w:r><w:t>cella</w:t></w:r></w:p></w:tc></w:tr></w:tbl>")
           + p(r("vége"));
}

void TestDocumentSearch::goToNumbers()
{
    QFETCH(int, kind);
    QFETCH(int, from);
    QFETCH(QString, spec);
    QFETCH(QString, textAt);
    word::Document* doc = m_docs.open(numberedBody());
    doc->ActiveWindow().Selection().SetRange(from, from);
    DocumentGoTo go(*doc);
    go.go(GoToKind(kind), spec);
    const QString raw = doc->textDocument()->toRawText();
    QCOMPARE(raw.mid(selStart(doc), textAt.size()), textAt);
}

void TestDocumentSearch::goToMissing_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("spec");
    QTest::addColumn<QString>("message");
    QTest::newRow("line 99") << int(GoToKind::Line) << "99" << "nincs 99. sor";
    QTest::newRow("line -5") << int(GoToKind::Line) << "-5" << "nincs -4. sor";
    QTest::newRow("table 2") << int(GoToKind::Table) << "2" << "nincs 2. táblázat";
    QTest::newRow("section 3") << int(GoToKind::Section) << "3" << "nincs 3. szakasz";
    QTest::newRow("page 7") << int(GoToKind::Page) << "7" << "nincs 7. oldal";
    QTest::newRow("not a number") << int(GoToKind::Line) << "abc" << "Érvénytelen szám";
    QTest::newRow("sign alone") << int(GoToKind::Page) << "+" << "Érvénytelen szám";
    QTest::newRow("no such bookmark") << int(GoToKind::Bookmark) << "Nincsilyen" << "Nincs „Nincsilyen”";
}

void TestDocumentSearch::goToMissing()
{
    QFETCH(int, kind);
    QFETCH(QString, spec);
    QFETCH(QString, message);
    word::Document* doc = m_docs.open(numberedBody());
    doc->ActiveWindow().Selection().SetRange(1, 2);
    try {
        DocumentGoTo(*doc).go(GoToKind(kind), spec);
        QFAIL("a place that does not exist was reached");
    } catch (const word::Error& e) {
        QVERIFY2(e.message().contains(message, Qt::CaseInsensitive), qPrintable(e.message()));
    }
    QCOMPARE(selStart(doc), 1);
    QCOMPARE(doc->ActiveWindow().Selection().End(), 2);
}

void TestDocumentSearch::goToBookmarksInDocumentOrder()
{
    word::Document* doc = m_docs.open(p(bm("Zeta", 1, r("z szöveg")) + r(" ") + bm("_Rejtett", 2, r("r"))) +
                                      p(bm("Nev_1", 3, r("első hely")) + r(" ") + bm("Alfa", 4, r("a"))) +
                                      p(bm("Nev_2", 5, r("második hely"))));
    DocumentGoTo go(*doc);
    QCOMPARE(go.bookmarks(), (QStringList{"Zeta", "Nev_1", "Alfa", "Nev_2"}));
    QCOMPARE(go.count(GoToKind::Bookmark), 4);
    go.go(GoToKind::Bookmark, QStringLiteral("nev_2"));
    QCOMPARE(selected(doc), QStringLiteral("második hely"));
}

void TestDocumentSearch::goToPages()
{
    QString body;
    for (int i = 1; i <= 40; ++i)
        body += p(r(QStringLiteral("Bekezdés %1").arg(i)));
    word::Document* doc = m_docs.open(body);
    QTextDocument* text = doc->textDocument();
    text->setPageSize(QSizeF(300, 200));
    DocumentGoTo go(*doc);
    const int pages = text->documentLayout()->pageCount();
    QVERIFY2(pages >= 3, qPrintable(QString::number(pages)));
    QCOMPARE(go.count(GoToKind::Page), pages);
    QCOMPARE(go.current(GoToKind::Page), 1);
    go.go(GoToKind::Page, QStringLiteral("3"));
    const QTextBlock b = text->findBlock(selStart(doc));
    text->documentLayout()->blockBoundingRect(b);
    // Where the paragraph's first line stands: a paragraph that does not fit
    // is pushed onto the next page by its lines, not by its block's top.
    const double y = b.layout()->position().y() + b.layout()->lineAt(0).y();
    QVERIFY2(y >= 2 * 200 - 1 && y < 3 * 200, qPrintable(QString::number(y)));
    QCOMPARE(b.position(), selStart(doc));
    QCOMPARE(go.current(GoToKind::Page), 3);
    go.go(GoToKind::Page, QStringLiteral("-1"));
    QCOMPARE(go.current(GoToKind::Page), 2);
}

QTEST_MAIN(TestDocumentSearch)
#include "tst_documentsearch.moc"
