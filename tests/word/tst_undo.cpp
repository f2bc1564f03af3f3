// Undo brings text and bookmarks back together; Saved and UndoClear.

#include "wordfixture.h"

#include "word/application.h"
#include "word/document.h"
#include "word/error.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace wordtest;

class TestUndo : public QObject {
    Q_OBJECT

private:
    FixtureDocuments m_docs{QStringLiteral("u")};

    word::Document* open(const QString& body) { return m_docs.open(body); }

private slots:
    void freshDocumentIsSavedWithNothingToUndo()
    {
        word::Document* doc = open(p(r("abc")));
        QVERIFY(doc->Saved());
        QVERIFY(!doc->Undo());
    }

    void changesClearSaved_data()
    {
        QTest::addColumn<int>("change");
        QTest::newRow("text") << 0;
        QTest::newRow("formatting") << 1;
        QTest::newRow("bookmark added") << 2;
        QTest::newRow("bookmark deleted") << 3;
    }
    void changesClearSaved()
    {
        QFETCH(int, change);
        word::Document* doc = open(p(bm("Nev_1", 1, r("abc"))));
        switch (change) {
        case 0: doc->Range(0, 1).setText("X"); break;
        case 1: doc->Range(0, 2).Font().setBold(1); break;
        case 2: doc->Bookmarks().Add("Uj", doc->Range(1, 2)); break;
        case 3: doc->Bookmarks().Item("Nev_1").Delete(); break;
        }
        QVERIFY(!doc->Saved());
        doc->setSaved(true);
        QVERIFY(doc->Saved());
    }

    void undoRestoresTextAndBookmark()
    {
        word::Document* doc = open(p(r("a") + bm("Nev_1", 1, r("***")) + r("b")));
        word::Selection& s = doc->ActiveWindow().Selection();
        doc->Bookmarks().Item("Nev_1").Select();
        s.setText(QStringLiteral("Kovács"));
        QVERIFY(!doc->Bookmarks().Exists("Nev_1"));
        doc->Bookmarks().Add("Nev_1");
        QCOMPARE(doc->Bookmarks().Item("Nev_1").Range().Text(), QStringLiteral("Kovács"));
        // Marking the bookmark is a step of its own, back and forth.
        QVERIFY(doc->Undo());
        QCOMPARE(doc->Content().Text(), QStringLiteral("aKovácsb"));
        QVERIFY(!doc->Bookmarks().Exists("Nev_1"));
        QVERIFY(doc->Redo());
        QCOMPARE(doc->Bookmarks().Item("Nev_1").Range().Text(), QStringLiteral("Kovács"));
        doc->Bookmarks().Item("Nev_1").Delete();
        QVERIFY(!doc->Bookmarks().Exists("Nev_1"));
        QVERIFY(doc->Undo());
        QCOMPARE(doc->Bookmarks().Item("Nev_1").Range().Text(), QStringLiteral("Kovács"));
        QVERIFY(doc->Undo(2));
        QCOMPARE(doc->Content().Text(), QStringLiteral("a***b"));
        QCOMPARE(doc->Bookmarks().Item("Nev_1").Range().Text(), QStringLiteral("***"));
    }

    void undoOfCutBringsBlockBookmarks()
    {
        word::Document* doc = open(p(bm("Jogisz", 1, r("x") + bm("CegNev_1", 2, r("y")))) + p(r("z")));
        doc->Bookmarks().Item("Jogisz").Select();
        doc->ActiveWindow().Selection().Cut();
        QCOMPARE(doc->Bookmarks().Count(), 0);
        doc->Undo();
        QCOMPARE(doc->Bookmarks().Item("CegNev_1").Range().Text(), QStringLiteral("y"));
        QCOMPARE(doc->Bookmarks().Item("Jogisz").Range().Text(), QStringLiteral("xy"));
    }

    void undoClearEmptiesHistory()
    {
        word::Document* doc = open(p(r("abc")));
        doc->Range(0, 3).setText("def");
        doc->UndoClear();
        QVERIFY(!doc->Undo());
        QCOMPARE(doc->Content().Text(), QStringLiteral("def"));
    }

    void undoOfFontSize()
    {
        word::Document* doc = open(p(r("abc", "<w:sz w:val=\"24\"/>")));
        doc->Content().Font().setSize(9);
        QCOMPARE(doc->Content().Font().Size(), 9.0f);
        doc->Undo();
        QCOMPARE(doc->Content().Font().Size(), 12.0f);
    }
};

QTEST_MAIN(TestUndo)
#include "tst_undo.moc"
