// Reading and writing back: what the engine did not touch comes back with the
// same XML meaning, and what it changed keeps everything it did not change.

#include "wordfixture.h"

#include "word/application.h"
#include "word/document.h"
#include "word/error.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <QtTest>
#include <pugixml.hpp>

using namespace wordtest;

namespace {

// The body's children as canonical strings (attributes sorted, whitespace-only text dropped).
void canon(pugi::xml_node n, QString& out)
{
    if (n.type() == pugi::node_pcdata) {
        out += QString::fromUtf8(n.value());
        return;
    }
    if (n.type() != pugi::node_element)
        return;
    QStringList attrs;
    for (pugi::xml_attribute a = n.first_attribute(); a; a = a.next_attribute())
        attrs << QString::fromUtf8(a.name()) + u'=' + QString::fromUtf8(a.value());
    attrs.sort();
    out += u'<' + QString::fromUtf8(n.name()) + u' ' + attrs.join(u' ') + u'>';
    for (pugi::xml_node c = n.first_child(); c; c = c.next_sibling())
        canon(c, out);
    out += QStringLiteral("</>");
}

QStringList bodyItems(const QByteArray& documentXml)
{
    pugi::xml_document doc;
    doc.load_buffer(documentXml.constData(), size_t(documentXml.size()), pugi::parse_default | pugi::parse_ws_pcdata_single);
    QStringList items;
    for (pugi::xml_node c = doc.document_element().first_child().first_child(); c; c = c.next_sibling()) {
        QString s;
        canon(c, s);
        if (!s.isEmpty())
            items << s;
    }
    return items;
}

} // namespace

class TestRoundTrip : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    word::Application m_app;
    int m_serial = 0;

    QString write(const DocxRecipe& recipe) { return writeDocx(m_dir.path(), QStringLiteral("in%1.docx").arg(++m_serial), recipe); }
    QString out() { return m_dir.filePath(QStringLiteral("out%1.docx").arg(++m_serial)); }

private slots:
    void untouchedBodyKeepsItsMeaning_data()
    {
        QTest::addColumn<QString>("body");
        QTest::newRow("plain") << p(r("Szerződés ő ű"));
        QTest::newRow("run properties") << p(r("félkövér", "<w:b/><w:sz w:val=\"28\"/>") + r(" dőlt", "<w:i/>"), "<w:jc w:val=\"both\"/>");
        QTest::newRow("bookmarks nested and hidden")
            << p(QStringLiteral("<w:bookmarkStart w:id=\"4\" w:name=\"Kulso\"/>") + bm("_GoBack", 7, QString())
                 + bm("Eladó_Név_1", 5, r("***")) + QStringLiteral("<w:bookmarkEnd w:id=\"4\"/>"));
        QTest::newRow("bookmark across paragraphs")
            << p(QStringLiteral("<w:bookmarkStart w:id=\"1\" w:name=\"Jogisz\"/>") + r("egy")) + p(r("kettő") + QStringLiteral("<w:bookmarkEnd w:id=\"1\"/>"));
        QTest::newRow("field and hyperlink")
            << p(QStringLiteral("<w:r><w:fldChar w:fldCharType=\"begin\"/></w:r><w:r><w:instrText xml:space=\"preserve\"> PAGE </w:instrText></w:r>"
                                "<w:r><w:fldChar w:fldCharType=\"separate\"/></w:r>") + r("1")
                 + QStringLiteral("<w:r><w:fldChar w:fldCharType=\"end\"/></w:r><w:hyperlink w:anchor=\"x\">") + r("link") + QStringLiteral("</w:hyperlink>"));
        QTest::newRow("tracked changes") << p(QStringLiteral("<w:ins w:id=\"1\" w:author=\"A\">") + r("új") + QStringLiteral("</w:ins><w:del w:id=\"2\" w:author=\"A\"><w:r><w:delText>régi</w:delText></w:r></w:del>"));
        QTest::newRow("section break") << p(r("első"), QStringLiteral("<w:sectPr><w:type w:val=\"continuous\"/></w:sectPr>")) + p(r("második"));
        QTest::newRow("table with merges")
            << QStringLiteral("<w:tbl><w:tblPr><w:tblW w:w=\"0\" w:type=\"auto\"/></w:tblPr><w:tblGrid><w:gridCol/><w:gridCol/></w:tblGrid>"
                              "<w:tr><w:tc><w:tcPr><w:gridSpan w:val=\"2\"/></w:tcPr>%1</w:tc></w:tr>"
                              "<w:tr><w:tc><w:tcPr><w:vMerge w:val=\"restart\"/></w:tcPr>%2</w:tc><w:tc>%3</w:tc></w:tr>"
                              "<w:tr><w:tc><w:tcPr><w:vMerge/></w:tcPr><w:p/></w:tc><w:tc>%4</w:tc></w:tr></w:tbl>")
                   .arg(p(r("Horizontal merge")), p(r("Vert merged")), p(r("B2")), p(r("B3")))
            + p(r("után"));
        QTest::newRow("content control") << QStringLiteral("<w:sdt><w:sdtPr><w:alias w:val=\"X\"/></w:sdtPr><w:sdtContent>%1</w:sdtContent></w:sdt>").arg(p(r("mező")))
                                            + p(r("vége"));
        QTest::newRow("tabs and breaks") << p(r("a") + QStringLiteral("<w:r><w:tab/><w:t>b</w:t><w:br/><w:t>c</w:t><w:br w:type=\"page\"/></w:r>"));
    }
    void untouchedBodyKeepsItsMeaning()
    {
        QFETCH(QString, body);
        DocxRecipe recipe;
        recipe.body = body;
        const QString in = write(recipe);
        word::Document* doc = m_app.Documents().Open(in);
        const QString saved = out();
        doc->SaveAs(saved);
        QCOMPARE(bodyItems(readPart(saved, "word/document.xml")), bodyItems(readPart(in, "word/document.xml")));
        QVERIFY(doc->Saved());
    }

    void textOfMergedCellsIsRead()
    {
        DocxRecipe recipe;
        recipe.body = QStringLiteral("<w:tbl><w:tblGrid><w:gridCol/><w:gridCol/></w:tblGrid>"
                                   "<w:tr><w:tc><w:tcPr><w:gridSpan w:val=\"2\"/></w:tcPr>%1</w:tc></w:tr>"
                                   "<w:tr><w:tc>%2</w:tc><w:tc>%3</w:tc></w:tr></w:tbl>").arg(p(r("H")), p(r("A")), p(r("B")))
                    + p(r("z"));
        word::Document* doc = m_app.Documents().Open(write(recipe));
        QCOMPARE(doc->Content().Text().remove(QChar(0xFDD0)).remove(QChar(0xFDD1)), QStringLiteral("H\rA\rB\rz"));
    }

    void editedParagraphKeepsRunProperties()
    {
        DocxRecipe recipe;
        recipe.body = p(r("Név: ") + bm("Nev_1", 3, r("***", "<w:rFonts w:ascii=\"Arial\"/><w:color w:val=\"FF0000\"/>")), "<w:jc w:val=\"center\"/>")
                    + p(r("változatlan"));
        const QString in = write(recipe);
        word::Document* doc = m_app.Documents().Open(in);
        doc->Bookmarks().Item("Nev_1").Select();
        doc->ActiveWindow().Selection().setText(QStringLiteral("Kovács Éva"));
        doc->Bookmarks().Add("Nev_1");
        doc->ActiveWindow().Selection().Font().setSize(10);
        const QString saved = out();
        doc->SaveAs(saved);
        const QByteArray xml = readPart(saved, "word/document.xml");
        const QStringList before = bodyItems(readPart(in, "word/document.xml"));
        const QStringList after = bodyItems(xml);
        QCOMPARE(after.size(), before.size());
        QCOMPARE(after[1], before[1]);   // the untouched paragraph
        QVERIFY2(after[0].contains(QStringLiteral("Kovács Éva")), qPrintable(after[0]));
        QVERIFY(after[0].contains(QStringLiteral("w:ascii=Arial")));
        QVERIFY(after[0].contains(QStringLiteral("w:val=FF0000")));
        QVERIFY(after[0].contains(QStringLiteral("<w:jc w:val=center>")));
        QVERIFY2(after[0].contains(QStringLiteral("<w:sz w:val=20>")), qPrintable(after[0]));
        QVERIFY(after[0].contains(QStringLiteral("w:name=Nev_1")));
        // Reading back gives the same text, bookmark and size.
        word::Document* again = m_app.Documents().Open(saved);
        QCOMPARE(again->Bookmarks().Item("Nev_1").Range().Text(), QStringLiteral("Kovács Éva"));
        QCOMPARE(again->Bookmarks().Item("Nev_1").Range().Font().Size(), 10.0f);
    }

    // Paragraphs left alone are written as they were read, whatever was
    // edited around them; edited ones are written anew (a run's needless
    // xml:space goes), text, format and typing in the view alike.
    void paragraphsLeftAloneWrittenAsRead()
    {
        const QString keep = QStringLiteral("<w:r><w:t xml:space=\"preserve\">%1</w:t></w:r>");
        DocxRecipe recipe;
        recipe.body = p(keep.arg(QStringLiteral("egy"))) + p(bm("Nev_1", 3, r("***"))) + p(keep.arg(QStringLiteral("három")))
                      + p(keep.arg(QStringLiteral("négy"))) + p(keep.arg(QStringLiteral("öt")));
        word::Document* doc = m_app.Documents().Open(write(recipe));
        doc->Bookmarks().Item("Nev_1").Range().setText(QStringLiteral("Kovács Éva"));
        const int four = int(doc->Content().Text().indexOf(QStringLiteral("négy")));
        doc->Range(four, four + 2).Font().setBold(1);
        const int five = int(doc->Content().Text().indexOf(QStringLiteral("öt")));
        QTextCursor typing(doc->textDocument());
        typing.setPosition(five + 2);
        typing.insertText(QStringLiteral("ödik"));
        const QString saved = out();
        doc->SaveAs(saved);
        const QString xml = QString::fromUtf8(readPart(saved, "word/document.xml"));
        QVERIFY2(xml.contains(keep.arg(QStringLiteral("egy"))), qPrintable(xml));
        QVERIFY(xml.contains(keep.arg(QStringLiteral("három"))));
        QVERIFY(xml.contains(QStringLiteral("Kovács Éva")));
        QVERIFY(!xml.contains(keep.arg(QStringLiteral("négy"))));
        QVERIFY(xml.contains(QStringLiteral("<w:b/>")));
        QVERIFY(!xml.contains(keep.arg(QStringLiteral("öt"))));
        QVERIFY(xml.contains(QStringLiteral("ötödik")));
        word::Document* again = m_app.Documents().Open(saved);
        QCOMPARE(again->Content().Text(), QStringLiteral("egy\rKovács Éva\rhárom\rnégy\rötödik"));
        QCOMPARE(again->Range(four, four + 2).Font().Bold(), -1);   // Word's True
    }

    // A paragraph left alone keeps its bytes: quoting, character references,
    // comments and line breaks in the markup, in the body and in a cell.
    void untouchedParagraphsKeepTheirBytes()
    {
        const QByteArray first = "<w:p><w:pPr><w:jc w:val='center'/></w:pPr><w:r><w:t xml:space='preserve'>caf&#233; &amp; "
                                 "t\xC3\xA9\x61</w:t></w:r><!-- megjegyz\xC3\xA9s --></w:p>";
        const QByteArray inCell = "<w:p>\r\n  <w:r><w:t>cella</w:t></w:r>\r\n</w:p>";
        const QByteArray xml = QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n<w:document xmlns:w=\"")
            + kW + "\"><w:body>" + first
            + "<w:tbl><w:tblGrid><w:gridCol w:w=\"2000\"/></w:tblGrid><w:tr><w:tc>" + inCell + "</w:tc></w:tr></w:tbl>"
            + "<w:p><w:pPr><w:jc w:val='right'/></w:pPr><w:bookmarkStart w:id=\"1\" w:name=\"Nev_1\"/><w:r><w:t>***</w:t></w:r>"
              "<w:bookmarkEnd w:id=\"1\"/></w:p>"
            + "<w:p><w:r><w:t>v\xC3\xA9ge</w:t></w:r></w:p></w:body></w:document>";
        DocxRecipe recipe;
        recipe.extraParts = { { QStringLiteral("word/document.xml"), xml } };
        word::Document* doc = m_app.Documents().Open(write(recipe));
        doc->Bookmarks().Item("Nev_1").Range().setText(QStringLiteral("Kovács Éva"));
        const QString saved = out();
        doc->SaveAs(saved);
        const QByteArray written = readPart(saved, "word/document.xml");
        QVERIFY2(written.contains(first), written.constData());
        QVERIFY(written.contains(inCell));
        QVERIFY(written.contains("Kov\xC3\xA1" "cs \xC3\x89va"));
        // The edited paragraph is written anew around its properties as read.
        QVERIFY(written.contains("<w:pPr><w:jc w:val='right'/></w:pPr>"));
        word::Document* again = m_app.Documents().Open(saved);
        QCOMPARE(again->Content().Text().remove(QChar(0xFDD0)).remove(QChar(0xFDD1)),
                 QStringLiteral("café & téa\rcella\rKovács Éva\rvége"));
    }

    void bookmarkIdsStayUnique()
    {
        DocxRecipe recipe;
        recipe.body = p(bm("A_1", 0, r("a")) + r(" ") + bm("B_1", 1, r("b")));
        word::Document* doc = m_app.Documents().Open(write(recipe));
        doc->Bookmarks().Add("Uj_1", doc->Range(0, 3));
        doc->Bookmarks().Add("Masik_1", doc->Range(1, 2));
        const QString saved = out();
        doc->SaveAs(saved);
        const QString xml = QString::fromUtf8(readPart(saved, "word/document.xml"));
        QRegularExpression re(QStringLiteral("bookmarkStart w:id=\"(\\d+)\""));
        QStringList ids;
        for (auto it = re.globalMatch(xml); it.hasNext();)
            ids << it.next().captured(1);
        QCOMPARE(ids.size(), 4);
        ids.removeDuplicates();
        QCOMPARE(ids.size(), 4);
        word::Document* again = m_app.Documents().Open(saved);
        QCOMPARE(again->Bookmarks().Item("Uj_1").Range().Text(), QStringLiteral("a b"));
    }

    void otherPrefixAndStrictNamespace_data()
    {
        QTest::addColumn<QString>("prefix");
        QTest::newRow("x prefix") << "x";
        QTest::newRow("wp prefix") << "ww";
    }
    void otherPrefixAndStrictNamespace()
    {
        QFETCH(QString, prefix);
        DocxRecipe recipe;
        recipe.prefix = prefix;
        recipe.body = p(bm("Nev_1", 1, r("érték")));
        word::Document* doc = m_app.Documents().Open(write(recipe));
        QCOMPARE(doc->Bookmarks().Item("Nev_1").Range().Text(), QStringLiteral("érték"));
        doc->Bookmarks().Item("Nev_1").Select();
        doc->ActiveWindow().Selection().setText("új");
        doc->Bookmarks().Add("Nev_1");
        const QString saved = out();
        doc->SaveAs(saved);
        QVERIFY(readPart(saved, "word/document.xml").contains((prefix + QStringLiteral(":bookmarkStart")).toUtf8()));
        QCOMPARE(m_app.Documents().Open(saved)->Bookmarks().Item("Nev_1").Range().Text(), QStringLiteral("új"));
    }

    void settingsAreWrittenAndRead()
    {
        DocxRecipe recipe;
        recipe.body = p(r("x"));
        word::Document* doc = m_app.Documents().Open(write(recipe));
        QVERIFY(!doc->UpdateStylesOnOpen());
        doc->setUpdateStylesOnOpen(true);
        doc->setAttachedTemplate(m_dir.filePath("Normal2003.dot"));
        QVERIFY(!doc->Saved());
        const QString saved = out();
        doc->SaveAs(saved);
        QVERIFY(doc->Saved());
        word::Document* again = m_app.Documents().Open(saved);
        QVERIFY(again->UpdateStylesOnOpen());
        QVERIFY(again->AttachedTemplate().endsWith(QStringLiteral("Normal2003.dot")));
    }

    void stylesComeFromTheAttachedTemplateWhenAsked()
    {
        DocxRecipe tpl;
        tpl.body = p(r("sablon"));
        tpl.stylesXml = defaultStyles().replace(QStringLiteral("<w:sz w:val=\"24\"/>"), QStringLiteral("<w:sz w:val=\"40\"/>"));
        const QString tplPath = writeDocx(m_dir.path(), "Normal2003.dot", tpl);
        DocxRecipe recipe;
        recipe.body = p(r("szöveg"));
        word::Document* doc = m_app.Documents().Open(write(recipe));
        QCOMPARE(doc->Content().Font().Size(), 12.0f);
        doc->setUpdateStylesOnOpen(true);
        doc->setAttachedTemplate(tplPath);
        const QString saved = out();
        doc->SaveAs(saved);
        QCOMPARE(m_app.Documents().Open(saved)->Content().Font().Size(), 20.0f);
    }

    void saveInPlaceAndFailedSave()
    {
        DocxRecipe recipe;
        recipe.body = p(r("helyben"));
        const QString in = write(recipe);
        word::Document* doc = m_app.Documents().Open(in);
        doc->Content().setText("módosítva");
        doc->SaveAs();
        QCOMPARE(m_app.Documents().Open(in)->Content().Text(), QStringLiteral("módosítva"));
        doc->Content().setText("más");
        QVERIFY_THROWS_EXCEPTION(word::Error, doc->SaveAs(m_dir.filePath("nincs/ilyen/mappa/x.docx")));
        QVERIFY(!doc->Saved());
    }
};

QTEST_MAIN(TestRoundTrip)
#include "tst_roundtrip.moc"
