// The rest of the automation surface the workflow uses: characters, font
// reads, selection moves, view settings, dialogs, documents and subdocuments.

#include "wordfixture.h"

#include "word/application.h"
#include "word/document.h"
#include "word/error.h"
#include "word/model/docmodel.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QUrl>
#include <QTextDocument>
#include <QTextOption>
#include <QtTest>

using namespace wordtest;

class TestAutomation : public QObject {
    Q_OBJECT

private:
    FixtureDocuments m_docs{QStringLiteral("a")};

    word::Document* open(const QString& body) { return m_docs.open(body); }

private slots:
    void firstCharacterDeletedTwice()
    {
        word::Document* doc = open(p(r("XYszöveg")));
        word::Range c = doc->Characters().Item(1);
        QCOMPARE(c.Text(), QStringLiteral("X"));
        c.Delete();
        c.Delete();
        QCOMPARE(doc->Content().Text(), QStringLiteral("szöveg"));
        QVERIFY_THROWS_EXCEPTION(word::Error, doc->Characters().Item(0));
        QVERIFY_THROWS_EXCEPTION(word::Error, doc->Characters().Item(doc->Characters().Count() + 1));
    }

    // The final paragraph mark is the document's last character, as in Word:
    // an empty document has one, and deleting it changes nothing.
    void finalMarkCounts()
    {
        word::Document* doc = open(p(QString()));
        QCOMPARE(doc->Characters().Count(), 1);
        word::Range mark = doc->Characters().Item(1);
        QCOMPARE(mark.Start(), 0);
        mark.Select();
        mark.Delete();
        QCOMPARE(doc->Content().Text(), QString());
        word::Document* two = open(p(r("ab")));
        QCOMPARE(two->Characters().Count(), 3);
        QCOMPARE(two->Characters().Item(2).Text(), QStringLiteral("b"));
        QCOMPARE(two->Characters().Item(3).Start(), 2);
    }

    void fontReads_data()
    {
        QTest::addColumn<QString>("body");
        QTest::addColumn<float>("size");
        QTest::addColumn<int>("bold");
        QTest::addColumn<int>("italic");
        QTest::newRow("uniform") << p(r("ab", "<w:b/><w:sz w:val=\"20\"/>")) << 10.0f << -1 << 0;
        QTest::newRow("mixed size") << p(r("a", "<w:sz w:val=\"20\"/>") + r("b", "<w:sz w:val=\"22\"/>")) << 9999999.0f << 0 << 0;
        QTest::newRow("mixed bold") << p(r("a", "<w:b/>") + r("b")) << 12.0f << 9999999 << 0;
        QTest::newRow("style bold") << p(r("ab"), "<w:pStyle w:val=\"Heading1\"/>") << 16.0f << -1 << 0;
        QTest::newRow("character style") << p(r("ab", "<w:rStyle w:val=\"Strong\"/>")) << 12.0f << 0 << -1;
        QTest::newRow("bold off") << p(r("ab", "<w:b w:val=\"0\"/>"), "<w:pStyle w:val=\"Heading1\"/>") << 16.0f << 0 << 0;
    }
    void fontReads()
    {
        QFETCH(QString, body);
        QFETCH(float, size);
        QFETCH(int, bold);
        QFETCH(int, italic);
        word::Document* doc = open(body);
        word::Font f = doc->Range(0, 2).Font();
        QCOMPARE(f.Size(), size);
        QCOMPARE(f.Bold(), bold);
        QCOMPARE(f.Italic(), italic);
    }

    void boldToggleAsTheCommandDoes()
    {
        word::Document* doc = open(p(r("a", "<w:b/>") + r("b")));
        word::Selection& s = doc->ActiveWindow().Selection();
        s.SetRange(0, 2);
        s.Font().setBold(~s.Font().Bold());   // mixed: ~9999999 is non-zero, so bold
        QCOMPARE(s.Font().Bold(), -1);
        s.Font().setBold(~s.Font().Bold());   // ~-1 == 0
        QCOMPARE(s.Font().Bold(), 0);
        s.Font().setItalic(-1);
        QCOMPARE(s.Font().Italic(), -1);
    }

    void selectionMoves()
    {
        word::Document* doc = open(p(r("abcdef")));
        word::Selection& s = doc->ActiveWindow().Selection();
        s.SetRange(2, 4);
        s.MoveLeft();
        QCOMPARE(s.Start(), 2);
        QCOMPARE(s.End(), 2);
        s.MoveLeft();
        QCOMPARE(s.Start(), 1);
        doc->Select();
        QCOMPARE(s.Text(), QStringLiteral("abcdef"));
        s.Move();
        QCOMPARE(s.Start(), s.End());
        QCOMPARE(s.Start(), 6);
        QVERIFY_THROWS_EXCEPTION(word::Error, s.SetRange(0, 99));
    }

    // The selection follows every edit made elsewhere exactly as a selecting
    // QTextCursor would, whether it lies within one paragraph or across
    // paragraphs and table cells, and the view's cursor shows it.
    void selectionFollowsEditsLikeACursor()
    {
        word::Document* doc = open(p(r("Első bekezdés szövege")) + p(r("második")) +
                                   QStringLiteral("<w:tbl><w:tr><w:tc>") + p(r("bal cella")) +
                                   QStringLiteral("</w:tc><w:tc>") + p(r("jobb")) +
                                   QStringLiteral("</w:tc></w:tr></w:tbl>") + p(r("utolsó bekezdés")));
        word::Selection& s = doc->ActiveWindow().Selection();
        quint32 seed = 12345;
        auto next = [&seed](int n) {
            seed = seed * 1103515245u + 12345u;
            return int((seed >> 8) % quint32(n));
        };
        const QStringList inserts{ QStringLiteral("x"), QStringLiteral("új\rsor"), QString() };
        for (int round = 0; round < 300; ++round) {
            const int last = doc->Content().End() - 1;
            int a = next(last + 1);
            int b = next(last + 1);
            if (a > b)
                std::swap(a, b);
            if (round % 3 == 0)
                b = std::min(last, a + next(4));   // mostly within one paragraph
            s.SetRange(a, b);
            QTextCursor ref(doc->textDocument());
            ref.setPosition(a);
            ref.setPosition(b, QTextCursor::KeepAnchor);
            const QString where = QStringLiteral("round %1, selection %2-%3").arg(round).arg(a).arg(b);
            QVERIFY2(s.Start() == ref.selectionStart() && s.End() == ref.selectionEnd(), qPrintable(where));

            // An edit somewhere else in the main text, or over the selection, or an undo.
            int e0 = next(last + 1);
            int e1 = std::min(last, e0 + next(5));
            const QString text = inserts.at(next(int(inserts.size())));
            try {
                if (round % 7 == 3)
                    doc->Undo();   // undo moves the selection as any edit does
                else
                    doc->Range(e0, e1).setText(text);
            } catch (const word::Error&) {
                continue;   // an edit the engine refuses (across cells) leaves both alone
            }
            QVERIFY2(s.Start() == ref.selectionStart() && s.End() == ref.selectionEnd(),
                     qPrintable(where + QStringLiteral(", after %1-%2 := \"%3\"").arg(e0).arg(e1).arg(text)));
            if (round % 5 == 0) {
                const QTextCursor& shown = s.cursor();
                QCOMPARE(shown.selectionStart(), s.Start());
                QCOMPARE(shown.selectionEnd(), s.End());
            }
        }
    }

    // Within one edit block a later edit announces no new block: a selection
    // placed inside the block must already be in a cursor when it comes.
    void selectionPlacedInsideAnEditBlock()
    {
        word::Document* doc = open(p(r("abcdef ghijkl")));
        word::Selection& s = doc->ActiveWindow().Selection();
        {
            word::model::DocModel::EditScope scope(doc->model());
            s.SetRange(8, 11);
            doc->model().replaceText(0, 0, QStringLiteral("xyz"));
        }
        QCOMPARE(s.Start(), 11);
        QCOMPARE(s.End(), 14);
        QCOMPARE(s.Text(), QStringLiteral("hij"));
    }

    void viewSettings()
    {
        word::Document* doc = open(p(r("x")));
        QSignalSpy spy(doc, &word::Document::viewSettingsChanged);
        word::View& v = doc->ActiveWindow().ActivePane().View();
        v.setShowAll(!v.ShowAll());
        QVERIFY(doc->ActiveWindow().View().ShowAll());
        QVERIFY(doc->textDocument()->defaultTextOption().flags() & QTextOption::ShowTabsAndSpaces);
        QVERIFY(doc->textDocument()->defaultTextOption().flags() & QTextOption::ShowLineAndParagraphSeparators);
        v.setShowAll(false);
        QVERIFY(!(doc->textDocument()->defaultTextOption().flags() & QTextOption::ShowTabsAndSpaces));
        doc->ActiveWindow().View().Zoom().setPercentage(70);
        QCOMPARE(doc->ActiveWindow().View().Zoom().Percentage(), 70);
        QVERIFY_THROWS_EXCEPTION(word::Error, doc->ActiveWindow().View().Zoom().setPercentage(9));
        QVERIFY_THROWS_EXCEPTION(word::Error, doc->ActiveWindow().View().Zoom().setPercentage(501));
        doc->ActiveWindow().setDisplayRulers(false);
        QVERIFY(!doc->ActiveWindow().DisplayRulers());
        doc->CommandBars()("Reviewing").setVisible(false);
        QVERIFY(!doc->CommandBars()("Reviewing").Visible());
        QVERIFY_THROWS_EXCEPTION(word::Error, doc->CommandBars()("Nincsilyen"));
        QVERIFY(spy.count() >= 5);
        QVERIFY(doc->Saved());   // view settings are no change of the document
    }

    void dialogsNeedAProvider()
    {
        word::Document* doc = open(p(r("x")));
        m_docs.app().setDialogProvider({});
        QVERIFY_THROWS_EXCEPTION(word::Error, m_docs.app().Dialogs().Item(112).Show());
        QVERIFY_THROWS_EXCEPTION(word::Error, doc->CheckGrammar());
        int shown = 0;
        m_docs.app().setDialogProvider([&](word::Document* d, int id) { shown = id; return d == doc ? -1 : 0; });
        QCOMPARE(m_docs.app().Dialogs().Item(896).Show(), -1);
        QCOMPARE(shown, 896);
        m_docs.app().setDialogProvider({});
    }

    void subdocumentsElsewhereAreNotFollowed()
    {
        QTemporaryDir elsewhere;
        const QString outside = writeDocx(elsewhere.path(), "kint.doc", p(bm("Titok", 1, r("titok"))));
        DocxRecipe recipe;
        recipe.body = p(QStringLiteral("<w:subDoc r:id=\"rIdS\"/>")) + p(r("mester"));
        recipe.extraDocumentRels = QStringLiteral("<Relationship Id=\"rIdS\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/subDocument\" "
                                                "Target=\"%1\" TargetMode=\"External\"/>").arg(QUrl::fromLocalFile(outside).toString());
        word::Document* doc = m_docs.app().Documents().Open(writeDocx(m_docs.dir(), "mester.docx", recipe));
        QCOMPARE(doc->Subdocuments().Count(), 1);
        doc->Subdocuments().setExpanded(true);
        QVERIFY(!doc->Bookmarks().Exists("Titok"));
        QCOMPARE(doc->Content().Text(), QStringLiteral("\rmester"));
    }

    void documentsAndQuit()
    {
        word::Application app;
        QVERIFY_THROWS_EXCEPTION(word::Error, app.ActiveDocument());
        QVERIFY_THROWS_EXCEPTION(word::Error, app.Documents().Open(QDir(m_docs.dir()).filePath("nincs.docx")));
        const QString a = writeDocx(m_docs.dir(), "egy.docx", p(r("1")));
        const QString b = writeDocx(m_docs.dir(), "ketto.docx", p(r("2")));
        app.Documents().Open(a);
        word::Document* second = app.Documents().Open(b);
        QCOMPARE(app.Documents().Count(), 2);
        QCOMPARE(app.ActiveDocument(), second);
        QCOMPARE(app.Documents().Item(1)->FullName(), QFileInfo(a).absoluteFilePath());
        second->Close();
        QCOMPARE(app.Documents().Count(), 1);
        app.Quit();
        QCOMPARE(app.Documents().Count(), 0);
    }

    void subdocumentSavedBesideAndFoundAgain()
    {
        QTemporaryDir out;
        word::Document* doc = open(p(bm("Nev_1", 1, r("Kiss Ödön"))) + p(r("második bekezdés")));
        QCOMPARE(doc->Subdocuments().Count(), 0);
        doc->Select();
        doc->Subdocuments().AddFromRange(doc->ActiveWindow().Selection().Range());
        QCOMPARE(doc->Subdocuments().Count(), 1);
        const QString master = QDir(out.path()).filePath("szerzodes.dot");
        doc->SaveAs(master);
        const QStringList docs = QDir(out.path()).entryList({"*.doc"});
        QCOMPARE(docs.size(), 1);
        QVERIFY(!readPart(master, "word/document.xml").contains("Kiss"));

        word::Document* again = m_docs.app().Documents().Open(master);
        QCOMPARE(again->Subdocuments().Count(), 1);
        QVERIFY(!again->Bookmarks().Exists("Nev_1"));
        again->Subdocuments().setExpanded(true);
        QVERIFY(again->Saved());
        QCOMPARE(again->Bookmarks().Item("Nev_1").Range().Text(), QStringLiteral("Kiss Ödön"));
        // A value written into the expanded subdocument goes back to its file.
        again->Bookmarks().Item("Nev_1").Select();
        again->ActiveWindow().Selection().setText("Nagy Éva");
        again->Bookmarks().Add("Nev_1");
        again->SaveAs();
        word::Document* third = m_docs.app().Documents().Open(master);
        third->Subdocuments().setExpanded(true);
        QCOMPARE(third->Bookmarks().Item("Nev_1").Range().Text(), QStringLiteral("Nagy Éva"));
        QCOMPARE(QDir(out.path()).entryList({"*.doc"}).size(), 1);
    }
};

QTEST_MAIN(TestAutomation)
#include "tst_automation.moc"
