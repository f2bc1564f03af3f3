// Bookmarks through the automation surface: naming rules, listing order, how
// they follow edits, and the write-a-value-at-every-place workflow.

#include "wordfixture.h"

#include "word/application.h"
#include "word/document.h"
#include "word/error.h"

#include <QAbstractTextDocumentLayout>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <QtTest>

using namespace wordtest;

class TestBookmarks : public QObject {
    Q_OBJECT

private:
    FixtureDocuments m_docs{QStringLiteral("d")};
    int m_serial = 0;

    word::Document* open(const QString& body) { return m_docs.open(body); }

    static QStringList names(const word::Bookmarks& b)
    {
        QStringList out;
        for (int i = 1; i <= b.Count(); ++i)
            out << b.Item(i).Name();
        return out;
    }

private slots:
    void addValidatesNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("valid");
        QTest::newRow("plain") << "Nev_1" << true;
        QTest::newRow("accented") << "Eladó_Név_1" << true;
        QTest::newRow("long accents") << "őűáéíóöúü" << true;
        QTest::newRow("forty") << QString(40, u'a') << true;
        QTest::newRow("forty-one") << QString(41, u'a') << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("digit first") << "1Nev" << false;
        QTest::newRow("underscore first") << "_Rejtett" << false;
        QTest::newRow("space") << "Nev 1" << false;
        QTest::newRow("hyphen") << "Nev-1" << false;
        QTest::newRow("digits after letter") << "A123" << true;
    }
    void addValidatesNames()
    {
        QFETCH(QString, name);
        QFETCH(bool, valid);
        word::Document* doc = open(p(r("abc")));
        word::Range range = doc->Range(0, 2);
        if (!valid) {
            QVERIFY_THROWS_EXCEPTION(word::Error, doc->Bookmarks().Add(name, range));
            QCOMPARE(doc->Bookmarks().Count(), 0);
            return;
        }
        doc->Bookmarks().Add(name, range);
        QVERIFY(doc->Bookmarks().Exists(name));
        QCOMPARE(doc->Bookmarks().Item(name).Range().Text(), QStringLiteral("ab"));
    }

    void missingBookmarkErrorNamesIt()
    {
        word::Document* doc = open(p(r("abc")));
        try {
            doc->Bookmarks().Item(QStringLiteral("Nev_1")).Select();
            QFAIL("no error");
        } catch (const word::Error& e) {
            QCOMPARE(e.message(), QStringLiteral("A(z) „Nev_1” nevű könyvjelző nem létezik."));
        }
    }

    void namesMatchWithoutCaseAndKeepSpelling()
    {
        word::Document* doc = open(p(bm(QStringLiteral("Vevő_Név"), 1, r("x"))));
        QVERIFY(doc->Bookmarks().Exists(QStringLiteral("VEVŐ_NÉV")));
        QCOMPARE(doc->Bookmarks().Item(QStringLiteral("vevő_név")).Name(), QStringLiteral("Vevő_Név"));
    }

    void hiddenBookmarksAreKeptButNotListed()
    {
        word::Document* doc = open(p(bm(QStringLiteral("_GoBack"), 1, r("a")) + bm(QStringLiteral("Lathato"), 2, r("b"))));
        QCOMPARE(doc->Bookmarks().Count(), 1);
        QCOMPARE(names(doc->Bookmarks()), QStringList{QStringLiteral("Lathato")});
        QVERIFY(doc->Bookmarks().Exists(QStringLiteral("_GoBack")));
        doc->Select();
        QCOMPARE(doc->ActiveWindow().Selection().Bookmarks().Count(), 1);
    }

    void documentListsByNameSelectionByPosition()
    {
        // C starts first, A encloses B, so by position: C, A (longer), B.
        const QString body = p(bm(QStringLiteral("C"), 1, r("c")) + QStringLiteral("<w:bookmarkStart w:id=\"2\" w:name=\"A\"/>")
                               + bm(QStringLiteral("B"), 3, r("b")) + r("x") + QStringLiteral("<w:bookmarkEnd w:id=\"2\"/>"));
        word::Document* doc = open(body);
        QCOMPARE(names(doc->Bookmarks()), (QStringList{"A", "B", "C"}));
        doc->Select();
        QCOMPARE(names(doc->ActiveWindow().Selection().Bookmarks()), (QStringList{"C", "A", "B"}));
    }

    void selectionBookmarksAreThoseWhollyInside()
    {
        word::Document* doc = open(p(bm(QStringLiteral("Egy"), 1, r("egy")) + r(" ") + bm(QStringLiteral("Ketto"), 2, r("ketto"))));
        word::Selection& s = doc->ActiveWindow().Selection();
        s.SetRange(0, 5);   // "egy k"
        QCOMPARE(names(s.Bookmarks()), QStringList{QStringLiteral("Egy")});
    }

    void replacingWholeTextRemovesBookmark()
    {
        word::Document* doc = open(p(r("a") + bm(QStringLiteral("Nev_1"), 1, r("***")) + r("b")));
        doc->Bookmarks().Item(QStringLiteral("Nev_1")).Select();
        doc->ActiveWindow().Selection().setText(QStringLiteral("Kovács Ödön"));
        QVERIFY(!doc->Bookmarks().Exists(QStringLiteral("Nev_1")));
        QCOMPARE(doc->ActiveWindow().Selection().Text(), QStringLiteral("Kovács Ödön"));
    }

    void enclosingBookmarkFollowsEdit()
    {
        const QString body = p(QStringLiteral("<w:bookmarkStart w:id=\"1\" w:name=\"Blokk\"/>") + r("ab")
                               + bm(QStringLiteral("Belso"), 2, r("cd")) + r("ef") + QStringLiteral("<w:bookmarkEnd w:id=\"1\"/>"));
        word::Document* doc = open(body);
        doc->Bookmarks().Item(QStringLiteral("Belso")).Select();
        doc->ActiveWindow().Selection().setText(QStringLiteral("12345"));
        QCOMPARE(doc->Bookmarks().Item(QStringLiteral("Blokk")).Range().Text(), QStringLiteral("ab12345ef"));
        QVERIFY(!doc->Bookmarks().Exists(QStringLiteral("Belso")));
    }

    void textTypedAtEndStaysOutside()
    {
        word::Document* doc = open(p(bm(QStringLiteral("Nev_1"), 1, r("abc")) + r("z")));
        word::Range end = doc->Range(3, 3);
        end.setText(QStringLiteral("XY"));
        QCOMPARE(doc->Bookmarks().Item(QStringLiteral("Nev_1")).Range().Text(), QStringLiteral("abc"));
    }

    void writeValueWorkflow_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("text") << "Kiss Ödön" << "Kiss Ödön";
        QTest::newRow("accents") << "ő ű" << "ő ű";
        QTest::newRow("empty becomes blank") << " " << " ";
        QTest::newRow("longer") << "Budapest, Fő utca 1." << "Budapest, Fő utca 1.";
    }
    void writeValueWorkflow()
    {
        QFETCH(QString, value);
        QFETCH(QString, expected);
        const QString body = p(r("Eladó: ") + bm(QStringLiteral("Eladó_Név_1"), 1, r("***", "<w:b/>")) + r(", "))
                             + p(r("Aláírás: ") + bm(QStringLiteral("Eladó_Név_2"), 2, r("***")));
        word::Document* doc = open(body);
        word::Bookmarks bms = doc->Bookmarks();
        word::Selection& sel = doc->ActiveWindow().Selection();
        for (int round = 0; round < 2; ++round) {   // writing twice leaves only the second value
            for (int k = 1; k <= 2; ++k) {
                const QString name = QStringLiteral("Eladó_Név_%1").arg(k);
                QVERIFY(bms.Exists(name));
                bms.Item(name).Select();
                sel.setText(round == 0 ? QStringLiteral("előző") : value);
                QCOMPARE(sel.Text(), round == 0 ? QStringLiteral("előző") : expected);
                bms.Add(name);
                QCOMPARE(bms.Item(name).Range().Text(), round == 0 ? QStringLiteral("előző") : expected);
            }
        }
        // The value takes the look of the text it replaced.
        QCOMPARE(bms.Item(QStringLiteral("Eladó_Név_1")).Range().Font().Bold(), -1);
        QCOMPARE(doc->Content().Text(), QStringLiteral("Eladó: %1, \rAláírás: %1").arg(expected));
        // And survives a save and a reopen.
        const QString saved = QDir(m_docs.dir()).filePath(QStringLiteral("written%1.docx").arg(++m_serial));
        doc->SaveAs(saved);
        word::Document* again = m_docs.app().Documents().Open(saved);
        for (int k = 1; k <= 2; ++k)
            QCOMPARE(again->Bookmarks().Item(QStringLiteral("Eladó_Név_%1").arg(k)).Range().Text(), expected);
    }

    void addExistingNameMoves()
    {
        word::Document* doc = open(p(bm(QStringLiteral("Hely"), 1, r("abc")) + r("def")));
        doc->Bookmarks().Add(QStringLiteral("HELY"), doc->Range(3, 6));
        QCOMPARE(doc->Bookmarks().Count(), 1);
        QCOMPARE(doc->Bookmarks().Item(QStringLiteral("Hely")).Range().Text(), QStringLiteral("def"));
    }

    void deleteKeepsText()
    {
        word::Document* doc = open(p(bm(QStringLiteral("Jogisz"), 1, r("blokk"))));
        doc->Bookmarks().Item(QStringLiteral("Jogisz")).Delete();
        QVERIFY(!doc->Bookmarks().Exists(QStringLiteral("Jogisz")));
        QCOMPARE(doc->Content().Text(), QStringLiteral("blokk"));
        QVERIFY_THROWS_EXCEPTION(word::Error, doc->Bookmarks().Item(QStringLiteral("Jogisz")).Delete());
    }

    // A view edits the QTextDocument directly; bookmarks follow and Saved drops.
    void directEditsOfAViewAreFollowed()
    {
        word::Document* doc = open(p(r("ab") + bm(QStringLiteral("Nev_1"), 1, r("cd")) + r("ef")));
        doc->textDocument()->documentLayout();   // a view lays the document out
        QTextCursor c(doc->textDocument());
        c.setPosition(1);
        c.insertText(QStringLiteral("XYZ"));
        QCOMPARE(doc->Bookmarks().Item(QStringLiteral("Nev_1")).Range().Text(), QStringLiteral("cd"));
        QVERIFY(!doc->Saved());
        c.setPosition(0);
        c.setPosition(2, QTextCursor::KeepAnchor);
        c.removeSelectedText();
        QCOMPARE(doc->Bookmarks().Item(QStringLiteral("Nev_1")).Range().Text(), QStringLiteral("cd"));
        // Engine edits in the same laid-out document are not counted twice.
        doc->Bookmarks().Item(QStringLiteral("Nev_1")).Select();
        doc->ActiveWindow().Selection().setText(QStringLiteral("új"));
        doc->Bookmarks().Add(QStringLiteral("Nev_1"));
        QCOMPARE(doc->Bookmarks().Item(QStringLiteral("Nev_1")).Range().Text(), QStringLiteral("új"));
        QCOMPARE(doc->Content().Text(), QStringLiteral("YZbújef"));
        QVERIFY(doc->Undo(2));   // the bookmark, then the text
        QCOMPARE(doc->Content().Text(), QStringLiteral("YZbcdef"));
        QCOMPARE(doc->Bookmarks().Item(QStringLiteral("Nev_1")).Range().Text(), QStringLiteral("cd"));
    }

    void bookmarksSpanningParagraphsAndCells()
    {
        const QString body = QStringLiteral("<w:bookmarkStart w:id=\"1\" w:name=\"Tabla\"/>")
                             + QStringLiteral("<w:tbl><w:tblGrid><w:gridCol/><w:gridCol/></w:tblGrid><w:tr>"
                                              "<w:tc>%1</w:tc><w:tc>%2</w:tc></w:tr></w:tbl>")
                                   .arg(p(r("A1")), p(bm(QStringLiteral("Cella"), 2, r("B1"))))
                             + QStringLiteral("<w:bookmarkEnd w:id=\"1\"/>") + p(r("utána"));
        word::Document* doc = open(body);
        QCOMPARE(doc->Bookmarks().Item(QStringLiteral("Cella")).Range().Text(), QStringLiteral("B1"));
        const QString table = doc->Bookmarks().Item(QStringLiteral("Tabla")).Range().Text();
        QVERIFY2(table.contains(QStringLiteral("A1")) && table.contains(QStringLiteral("B1")), qPrintable(table));
        QVERIFY(!table.contains(QStringLiteral("utána")));
    }
};

QTEST_MAIN(TestBookmarks)
#include "tst_bookmarks.moc"
