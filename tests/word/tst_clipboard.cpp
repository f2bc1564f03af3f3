// Cut, Copy and Paste carry text, look and bookmarks; the party block
// assembly of the template workflow is the demanding case.

#include "wordfixture.h"

#include "word/application.h"
#include "word/document.h"
#include "word/error.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QTemporaryDir>
#include <QtTest>

using namespace wordtest;

class TestClipboard : public QObject {
    Q_OBJECT

private:
    FixtureDocuments m_docs{QStringLiteral("c")};

    word::Document* open(const QString& body) { return m_docs.open(body); }

    // The legal-person and natural-person blocks first, then a contract with placeholders.
    static QString templateBody()
    {
        return p(QStringLiteral("<w:bookmarkStart w:id=\"1\" w:name=\"Jogisz\"/>") + r("Cég: ")
                 + bm("CegNev_1", 2, r("cégnév")) + QStringLiteral("<w:bookmarkEnd w:id=\"1\"/>"))
               + p(QStringLiteral("<w:bookmarkStart w:id=\"3\" w:name=\"Termsz\"/>") + r("Név: ")
                   + bm("Nev_1", 4, r("név", "<w:b/>")) + QStringLiteral("<w:bookmarkEnd w:id=\"3\"/>"))
               + p(r("Eladó: ") + bm("Eladó_1", 5, r("[E1]", "<w:sz w:val=\"20\"/>")) + r(" és ") + bm("Eladó_2", 6, r("[E2]")))
               + p(r("Vevő: ") + bm("Vevő_1", 7, r("[V1]")));
    }

    // One pass of the assembly, as the workflow drives it.
    static void pass(word::Document* doc, const QString& block, const QString& entry)
    {
        word::Bookmarks b = doc->Bookmarks();
        word::Selection& s = doc->ActiveWindow().Selection();
        for (int k = 1; b.Exists(entry + QStringLiteral("_%1").arg(k)); ++k) {
            b.Item(entry + QStringLiteral("_%1").arg(k)).Select();
            const float size = s.Font().Size();
            s.Paste();
            b.Item(block).Select();
            s.Font().setSize(size);
            const int n = s.Bookmarks().Count();
            for (int j = 2; j <= n; ++j) {
                b.Item(block).Select();
                QString name = s.Bookmarks().Item(j).Name();
                name[name.size() - 1] = QString::number(k).at(0);
                s.Bookmarks().Item(j).Select();
                s.setText(QStringLiteral("***"));
                b.Add(entry + u'_' + name);
            }
            b.Item(block).Delete();
        }
    }

private slots:
    void copyPutsThreeFormats()
    {
        word::Document* doc = open(p(bm("Hely", 1, r("ő ű", "<w:b/>"))));
        doc->Bookmarks().Item("Hely").Select();
        doc->ActiveWindow().Selection().Copy();
        const QMimeData* data = QGuiApplication::clipboard()->mimeData();
        QVERIFY(data->hasFormat(QStringLiteral("application/x-quillora-fragment")));
        QCOMPARE(data->text(), QStringLiteral("ő ű"));
        QVERIFY(data->hasHtml());
        QVERIFY(data->html().contains(QStringLiteral("ő ű")));
    }

    void cutAndPasteBringBookmarksBack()
    {
        word::Document* doc = open(p(r("A ") + bm("Blokk", 1, r("x ") + bm("Belul", 2, r("y")))) + p(r("cél: ") + bm("Cel", 3, r("C"))));
        doc->Bookmarks().Item("Blokk").Select();
        doc->ActiveWindow().Selection().Cut();
        QVERIFY(!doc->Bookmarks().Exists("Blokk"));
        QVERIFY(!doc->Bookmarks().Exists("Belul"));
        doc->Bookmarks().Item("Cel").Select();
        doc->ActiveWindow().Selection().Paste();
        QVERIFY(!doc->Bookmarks().Exists("Cel"));
        QCOMPARE(doc->Bookmarks().Item("Blokk").Range().Text(), QStringLiteral("x y"));
        QCOMPARE(doc->Bookmarks().Item("Belul").Range().Text(), QStringLiteral("y"));
        QCOMPARE(doc->Content().Text(), QStringLiteral("A \rcél: x y"));
    }

    void pasteKeepsExistingNames()
    {
        word::Document* doc = open(p(bm("Egy", 1, r("egy")) + r(" ") + bm("Ketto", 2, r("kettő"))));
        doc->Bookmarks().Item("Egy").Select();
        doc->ActiveWindow().Selection().Copy();
        doc->Bookmarks().Item("Ketto").Select();
        doc->ActiveWindow().Selection().Paste();
        QCOMPARE(doc->Bookmarks().Item("Egy").Range().Start(), 0);   // the original stays where it was
        QCOMPARE(doc->Content().Text(), QStringLiteral("egy egy"));
    }

    void pasteOfPlainTextFromOtherPrograms()
    {
        word::Document* doc = open(p(bm("Hely", 1, r("régi", "<w:i/>"))));
        QGuiApplication::clipboard()->setText(QStringLiteral("külső\nszöveg"));
        doc->Bookmarks().Item("Hely").Select();
        doc->ActiveWindow().Selection().Paste();
        QCOMPARE(doc->Content().Text(), QStringLiteral("külső\rszöveg"));
        QCOMPARE(doc->Range(0, 5).Font().Italic(), -1);   // takes the look of what it replaced
    }

    void pasteWithEmptyClipboardFails()
    {
        word::Document* doc = open(p(r("abc")));
        QGuiApplication::clipboard()->clear();
        QVERIFY_THROWS_EXCEPTION(word::Error, doc->ActiveWindow().Selection().Paste());
        QCOMPARE(doc->Content().Text(), QStringLiteral("abc"));
    }

    void partyBlockAssembly()
    {
        word::Document* doc = open(templateBody());
        word::Bookmarks b = doc->Bookmarks();
        word::Selection& s = doc->ActiveWindow().Selection();
        b.Item("Jogisz").Select();
        s.Cut();
        pass(doc, "Jogisz", QStringLiteral("Eladó"));
        b.Item("Termsz").Select();
        s.Cut();
        pass(doc, "Termsz", QStringLiteral("Vevő"));
        word::Range first = doc->Characters().Item(1);
        first.Delete();
        first.Delete();

        QVERIFY(!b.Exists("Jogisz"));
        QVERIFY(!b.Exists("Termsz"));
        QVERIFY(!b.Exists("CegNev_1"));
        QCOMPARE(b.Item(QStringLiteral("Eladó_CegNev_1")).Range().Text(), QStringLiteral("***"));
        QCOMPARE(b.Item(QStringLiteral("Eladó_CegNev_2")).Range().Text(), QStringLiteral("***"));
        QCOMPARE(b.Item(QStringLiteral("Vevő_Nev_1")).Range().Text(), QStringLiteral("***"));
        QCOMPARE(doc->Content().Text(), QStringLiteral("Eladó: Cég: *** és Cég: ***\rVevő: Név: ***"));
        // The first copy took the placeholder's size; the natural-person copy kept its bold.
        QCOMPARE(b.Item(QStringLiteral("Eladó_CegNev_1")).Range().Font().Size(), 10.0f);
        QCOMPARE(b.Item(QStringLiteral("Vevő_Nev_1")).Range().Font().Bold(), -1);
        // Field discovery over the whole document sees the fields in document order.
        doc->Select();
        QStringList listed;
        for (int i = 1; i <= s.Bookmarks().Count(); ++i)
            listed << s.Bookmarks().Item(i).Name();
        QCOMPARE(listed, (QStringList{QStringLiteral("Eladó_CegNev_1"), QStringLiteral("Eladó_CegNev_2"), QStringLiteral("Vevő_Nev_1")}));
        // Everything survives a save.
        const QString saved = QDir(m_docs.dir()).filePath(QStringLiteral("assembled.dot"));
        doc->SaveAs(saved);
        word::Document* again = m_docs.app().Documents().Open(saved);
        QCOMPARE(again->Content().Text(), doc->Content().Text());
        QCOMPARE(again->Bookmarks().Count(), 3);
    }
};

QTEST_MAIN(TestClipboard)
#include "tst_clipboard.moc"
