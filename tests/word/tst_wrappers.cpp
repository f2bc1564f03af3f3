// Edits across the markup that wraps content: every edit the engine or a view
// makes must leave a document that saves, reads back as the model and gains no
// schema error, whatever wrapper the edited text lies in.

#include "wordfixture.h"

#include "word/bookmarks.h"
#include "word/document.h"
#include "word/error.h"
#include "word/model/docmodel.h"

#include <QGuiApplication>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QtTest>
#include <functional>

using namespace wordtest;

namespace {

struct Kind {
    const char* name;
    QString xml;   // block-level XML holding the bookmark of the kind's name around "alpha beta"
};

QString inPara(const QString& open, const QString& close, const QString& name, int id)
{
    return QStringLiteral("<w:p>%1%2%3</w:p>").arg(open, bm(name, id, r(QStringLiteral("alpha beta"))), close);
}

QString cellTable(const QString& rowsXml)
{
    return QStringLiteral("<w:tbl><w:tblPr><w:tblW w:w=\"0\" w:type=\"auto\"/></w:tblPr><w:tblGrid><w:gridCol w:w=\"4000\"/>"
                          "<w:gridCol w:w=\"4000\"/></w:tblGrid>%1</w:tbl><w:p/>").arg(rowsXml);
}

QString cell(const QString& inner) { return QStringLiteral("<w:tc><w:tcPr><w:tcW w:w=\"4000\" w:type=\"dxa\"/></w:tcPr>%1</w:tc>").arg(inner); }

QString sdtPr(int id) { return QStringLiteral("<w:sdtPr><w:id w:val=\"%1\"/></w:sdtPr>").arg(id); }

// Every kind of wrapper, each around a bookmark named after it.
std::vector<Kind> kinds()
{
    const QString date = QStringLiteral("w:author=\"Szerző\" w:date=\"2024-01-01T00:00:00Z\"");
    const QString bmPara = QStringLiteral("<w:p>%1</w:p>");
    return {
        {"Hyperlink", inPara(QStringLiteral("<w:hyperlink w:anchor=\"cel\" w:history=\"1\">"), QStringLiteral("</w:hyperlink>"), QStringLiteral("Hyperlink"), 1)},
        {"Insertion", inPara(QStringLiteral("<w:ins w:id=\"901\" %1>").arg(date), QStringLiteral("</w:ins>"), QStringLiteral("Insertion"), 2)},
        {"MoveTo", inPara(QStringLiteral("<w:moveTo w:id=\"902\" %1>").arg(date), QStringLiteral("</w:moveTo>"), QStringLiteral("MoveTo"), 3)},
        {"SimpleField", inPara(QStringLiteral("<w:fldSimple w:instr=\" MERGEFIELD nev \">"), QStringLiteral("</w:fldSimple>"), QStringLiteral("SimpleField"), 4)},
        {"InlineControl", inPara(QStringLiteral("<w:sdt>%1<w:sdtContent>").arg(sdtPr(801)), QStringLiteral("</w:sdtContent></w:sdt>"), QStringLiteral("InlineControl"), 5)},
        {"SmartTag", inPara(QStringLiteral("<w:smartTag w:uri=\"urn:schemas-microsoft-com:office:smarttags\" w:element=\"place\">"), QStringLiteral("</w:smartTag>"), QStringLiteral("SmartTag"), 6)},
        {"InlineCustomXml", inPara(QStringLiteral("<w:customXml w:uri=\"urn:quillora\" w:element=\"nev\">"), QStringLiteral("</w:customXml>"), QStringLiteral("InlineCustomXml"), 7)},
        {"ComplexField", inPara(QStringLiteral("<w:r><w:fldChar w:fldCharType=\"begin\"/></w:r><w:r><w:instrText xml:space=\"preserve\"> REF cel </w:instrText></w:r>"
                                               "<w:r><w:fldChar w:fldCharType=\"separate\"/></w:r>"),
                                QStringLiteral("<w:r><w:fldChar w:fldCharType=\"end\"/></w:r>"), QStringLiteral("ComplexField"), 8)},
        {"CommentRange", inPara(QStringLiteral("<w:commentRangeStart w:id=\"0\"/>"), QStringLiteral("<w:commentRangeEnd w:id=\"0\"/>"), QStringLiteral("CommentRange"), 9)},
        {"PermissionRange", inPara(QStringLiteral("<w:permStart w:id=\"5\" w:edGrp=\"everyone\"/>"), QStringLiteral("<w:permEnd w:id=\"5\"/>"), QStringLiteral("PermissionRange"), 10)},
        {"BlockControl", QStringLiteral("<w:sdt>%1<w:sdtContent>%2</w:sdtContent></w:sdt>").arg(sdtPr(802), bmPara.arg(bm(QStringLiteral("BlockControl"), 11, r(QStringLiteral("alpha beta")))))},
        {"BlockCustomXml", QStringLiteral("<w:customXml w:uri=\"urn:quillora\" w:element=\"blokk\">%1</w:customXml>").arg(bmPara.arg(bm(QStringLiteral("BlockCustomXml"), 12, r(QStringLiteral("alpha beta")))))},
        {"RowControl", cellTable(QStringLiteral("<w:sdt>%1<w:sdtContent><w:tr>%2%3</w:tr></w:sdtContent></w:sdt>")
                                     .arg(sdtPr(803), cell(bmPara.arg(bm(QStringLiteral("RowControl"), 13, r(QStringLiteral("alpha beta"))))), cell(QStringLiteral("<w:p/>"))))},
        {"CellControl", cellTable(QStringLiteral("<w:tr><w:sdt>%1<w:sdtContent>%2</w:sdtContent></w:sdt>%3</w:tr>")
                                      .arg(sdtPr(804), cell(bmPara.arg(bm(QStringLiteral("CellControl"), 14, r(QStringLiteral("alpha beta"))))), cell(QStringLiteral("<w:p/>"))))},
    };
}

QString allKinds()
{
    QString body = QStringLiteral("<w:p>%1</w:p>").arg(r(QStringLiteral("Eleje")));
    for (const Kind& k : kinds())
        body += k.xml + QStringLiteral("<w:p>%1</w:p>").arg(r(QStringLiteral("köz")));
    return body;
}

// How the field side writes a value: select the bookmark, replace, mark again.
void fill(word::Document& doc, const QString& name, const QString& value)
{
    doc.Bookmarks().Item(name).Select();
    doc.ActiveWindow().Selection().setText(value);
    doc.Bookmarks().Add(name);
}

int middleOf(word::Document& doc, const QString& name)
{
    const word::Range r = doc.Bookmarks().Item(name).Range();
    return (r.Start() + r.End()) / 2;
}

using Edit = std::function<void(word::Document&, const QString& name)>;

int count(const QByteArray& xml, const QString& pattern)
{
    return int(QString::fromUtf8(xml).count(QRegularExpression(pattern)));
}

} // namespace

class TestWrappers : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(m_docs.dir().size() > 0); }
    void everyKindSurvivesTheEdit_data();
    void everyKindSurvivesTheEdit();
    void splitWrapperContinuesInTheNextParagraph();
    void blockControlKeepsBothHalves();
    void emptiedWrappers();
    void rowAndCellControlsKeepTheirBookmarks();
    void typingBesideAnObjectWritesNoCopyOfIt();
    void viewTypingUndoBringsBookmarksBack();
    void emptyParagraphTextTakesTheMarkLook();
    void headerAndFooterBookmarksAreFilled();
    void textBoxesAreStoriesOfTheirOwn();
    void refillAtTheDocumentEnd();
    void undoRunsOverEveryStory();
    void writtenFilesGainNoSchemaError();
    void writtenFilesOpenInLibreOffice();

private:
    word::Document* reopen(word::Document* doc, const QString& file);
    FixtureDocuments m_docs{QStringLiteral("wrap")};
    QList<QPair<QString, QString>> m_written;
    int m_serial = 0;
};

word::Document* TestWrappers::reopen(word::Document* doc, const QString& file)
{
    const QString original = doc->FullName();
    const QString out = QDir(m_docs.dir()).filePath(QStringLiteral("%1-%2.docx").arg(file).arg(++m_serial));
    doc->SaveAs(out);   // the save reads its own output back and throws on any difference
    m_written.append({out, original});
    return m_docs.app().Documents().Open(out);
}

void TestWrappers::everyKindSurvivesTheEdit_data()
{
    QTest::addColumn<int>("edit");
    QTest::newRow("fill with two lines") << 0;
    QTest::newRow("fill with tab, accents, markup characters") << 1;
    QTest::newRow("split inside") << 2;
    QTest::newRow("merge with the next paragraph") << 3;
    QTest::newRow("delete the whole text") << 4;
    QTest::newRow("cut and paste to the start") << 5;
    QTest::newRow("fill, undo, redo") << 6;
}

// Each edit is made at the bookmark of every wrapper kind of one document,
// which then saves (checking itself), reopens and keeps what it should.
void TestWrappers::everyKindSurvivesTheEdit()
{
    QFETCH(int, edit);
    const QString special = QStringLiteral("tab\there <&>\" ÁÉŐŰ áéőű");
    const std::vector<Edit> edits = {
        [](word::Document& d, const QString& n) { fill(d, n, QStringLiteral("első sor\rmásodik sor")); },
        [&](word::Document& d, const QString& n) { fill(d, n, special); },
        [](word::Document& d, const QString& n) { const int m = middleOf(d, n); d.Range(m, m).setText(QStringLiteral("\r")); },
        [](word::Document& d, const QString& n) {
            const word::Range r = d.Bookmarks().Item(n).Range();
            const QTextBlock b = d.textDocument()->findBlock(r.End());
            d.Range(b.position() + b.length() - 1, b.position() + b.length()).Delete();
        },
        [](word::Document& d, const QString& n) { d.Bookmarks().Item(n).Range().setText(QString()); },
        [](word::Document& d, const QString& n) {
            word::Range r = d.Bookmarks().Item(n).Range();
            r.Cut();
            d.Range(0, 0).Paste();
        },
        [](word::Document& d, const QString& n) {
            // Two steps, as in Word: the new text, then the bookmark marked again.
            fill(d, n, QStringLiteral("új\rérték"));
            QVERIFY(d.Undo(2));
            QVERIFY2(d.Bookmarks().Exists(n), qPrintable(n));
            QCOMPARE(d.Bookmarks().Item(n).Range().Text(), QStringLiteral("alpha beta"));
            QVERIFY(d.Redo(2));
        },
    };
    word::Document* doc = m_docs.open(allKinds());
    for (const Kind& k : kinds())
        edits[size_t(edit)](*doc, QString::fromLatin1(k.name));
    if (QTest::currentTestFailed())
        return;
    const QString before = doc->Content().Text();
    word::Document* back = nullptr;
    try {
        back = reopen(doc, QStringLiteral("edit%1").arg(edit));
    } catch (const word::Error& e) {
        QFAIL(qPrintable(e.message()));
    }
    QCOMPARE(back->Content().Text(), before);
    for (const Kind& k : kinds()) {
        const QString name = QString::fromLatin1(k.name);
        if (edit == 0 || edit == 1) {
            QVERIFY2(back->Bookmarks().Exists(name), k.name);
            QCOMPARE(back->Bookmarks().Item(name).Range().Text(), edit == 0 ? QStringLiteral("első sor\rmásodik sor") : special);
        }
        if (edit == 6)
            QCOMPARE(back->Bookmarks().Item(name).Range().Text(), QStringLiteral("új\rérték"));
        if (edit == 5)
            QVERIFY2(back->Bookmarks().Exists(name), k.name);   // it travelled with its text
    }
    if (edit != 0)
        return;
    // Filled again once read back: the value now spans paragraphs of the file.
    for (const Kind& k : kinds()) {
        const QString name = QString::fromLatin1(k.name);
        fill(*back, name, QStringLiteral("harmadik\rnegyedik"));
        word::Document* again = nullptr;
        try {
            again = reopen(back, QStringLiteral("refill-%1").arg(name));
        } catch (const word::Error& e) {
            QFAIL(qPrintable(name + u' ' + e.message()));
        }
        QCOMPARE(again->Bookmarks().Item(name).Range().Text(), QStringLiteral("harmadik\rnegyedik"));
    }
}

void TestWrappers::splitWrapperContinuesInTheNextParagraph()
{
    word::Document* doc = m_docs.open(kinds()[0].xml + kinds()[4].xml);
    fill(*doc, QStringLiteral("Hyperlink"), QStringLiteral("egy\rkettő\rhárom"));
    fill(*doc, QStringLiteral("InlineControl"), QStringLiteral("egy\rkettő"));
    word::Document* back = reopen(doc, QStringLiteral("split"));
    const QByteArray xml = readPart(back->FullName(), QStringLiteral("word/document.xml"));
    QCOMPARE(count(xml, QStringLiteral("<w:hyperlink w:anchor=\"cel\"")), 3);   // one per paragraph, same target
    QCOMPARE(count(xml, QStringLiteral("<w:sdt>")), 2);
    QCOMPARE(count(xml, QStringLiteral("<w:id w:val=\"801\"/>")), 1);   // the copy has an id of its own
    QCOMPARE(back->Bookmarks().Item(QStringLiteral("Hyperlink")).Range().Text(), QStringLiteral("egy\rkettő\rhárom"));
}

void TestWrappers::blockControlKeepsBothHalves()
{
    word::Document* doc = m_docs.open(kinds()[10].xml + kinds()[11].xml);
    fill(*doc, QStringLiteral("BlockControl"), QStringLiteral("egy\rkettő"));
    fill(*doc, QStringLiteral("BlockCustomXml"), QStringLiteral("három\rnégy"));
    word::Document* back = reopen(doc, QStringLiteral("block"));
    const QByteArray xml = readPart(back->FullName(), QStringLiteral("word/document.xml"));
    QCOMPARE(count(xml, QStringLiteral("<w:sdt>")), 1);
    QCOMPARE(count(xml, QStringLiteral("<w:customXml ")), 1);
    QVERIFY(xml.contains("<w:sdtContent><w:p>"));
    QCOMPARE(count(xml, QStringLiteral("</w:p><w:p>")), 2);   // two paragraphs inside each wrapper
}

// Word leaves an emptied content control in place; a hyperlink goes with its text.
void TestWrappers::emptiedWrappers()
{
    word::Document* doc = m_docs.open(kinds()[0].xml + kinds()[4].xml);
    doc->Bookmarks().Item(QStringLiteral("Hyperlink")).Range().setText(QString());
    doc->Bookmarks().Item(QStringLiteral("InlineControl")).Range().setText(QString());
    const QByteArray xml = readPart(reopen(doc, QStringLiteral("empty"))->FullName(), QStringLiteral("word/document.xml"));
    QCOMPARE(count(xml, QStringLiteral("<w:hyperlink")), 0);
    QCOMPARE(count(xml, QStringLiteral("<w:sdt>")), 1);
}

void TestWrappers::rowAndCellControlsKeepTheirBookmarks()
{
    word::Document* doc = m_docs.open(kinds()[12].xml + kinds()[13].xml);
    QVERIFY(doc->Bookmarks().Exists(QStringLiteral("RowControl")));
    QVERIFY(doc->Bookmarks().Exists(QStringLiteral("CellControl")));
    fill(*doc, QStringLiteral("RowControl"), QStringLiteral("sor"));
    fill(*doc, QStringLiteral("CellControl"), QStringLiteral("cella"));
    word::Document* back = reopen(doc, QStringLiteral("rowcell"));
    QCOMPARE(back->Bookmarks().Item(QStringLiteral("RowControl")).Range().Text(), QStringLiteral("sor"));
    QCOMPARE(back->Bookmarks().Item(QStringLiteral("CellControl")).Range().Text(), QStringLiteral("cella"));
    const QByteArray xml = readPart(back->FullName(), QStringLiteral("word/document.xml"));
    QVERIFY(xml.contains("<w:sdtContent><w:tr>"));
    QVERIFY(xml.contains("<w:sdtContent><w:tc>"));
}

// Text typed in the page next to an object takes the object's run format;
// neither a tab nor letters may write the object once more.
void TestWrappers::typingBesideAnObjectWritesNoCopyOfIt()
{
    const QString shape = QStringLiteral("<w:r><w:pict><v:rect xmlns:v=\"urn:schemas-microsoft-com:vml\" style=\"width:20pt;height:10pt\"/></w:pict></w:r>");
    word::Document* doc = m_docs.open(QStringLiteral("<w:p>%1%2</w:p>").arg(r(QStringLiteral("előtte ")), shape));
    const int after = doc->Content().Text().indexOf(QChar::ObjectReplacementCharacter) + 1;
    QVERIFY(after > 0);
    QTextCursor typing(doc->textDocument());
    typing.setPosition(after);
    typing.insertText(QStringLiteral("\tx"));
    const QByteArray xml = readPart(reopen(doc, QStringLiteral("object"))->FullName(), QStringLiteral("word/document.xml"));
    QCOMPARE(count(xml, QStringLiteral("<v:rect")), 1);
    QVERIFY(xml.contains("<w:tab/>"));
}

void TestWrappers::viewTypingUndoBringsBookmarksBack()
{
    word::Document* doc = m_docs.open(QStringLiteral("<w:p>%1</w:p>").arg(bm(QStringLiteral("Nev"), 1, r(QStringLiteral("abc")))));
    const word::Range r = doc->Bookmarks().Item(QStringLiteral("Nev")).Range();
    doc->textDocument()->documentLayout();   // as in a view: Qt reports edits of a laid-out document only
    QTextCursor typing(doc->textDocument());
    typing.setPosition(r.Start());
    typing.setPosition(r.End(), QTextCursor::KeepAnchor);
    typing.insertText(QStringLiteral("wxyz"));   // the whole text replaced: the bookmark goes
    QVERIFY(!doc->Bookmarks().Exists(QStringLiteral("Nev")));
    doc->textDocument()->undo();
    QVERIFY(doc->Bookmarks().Exists(QStringLiteral("Nev")));
    QCOMPARE(doc->Bookmarks().Item(QStringLiteral("Nev")).Range().Text(), QStringLiteral("abc"));
    doc->textDocument()->redo();
    QCOMPARE(doc->Content().Text().left(4), QStringLiteral("wxyz"));
    QVERIFY(!doc->Bookmarks().Exists(QStringLiteral("Nev")));
}

void TestWrappers::emptyParagraphTextTakesTheMarkLook()
{
    word::Document* doc = m_docs.open(QStringLiteral("<w:p w14:paraId=\"1A2B3C4D\" xmlns:w14=\"http://schemas.microsoft.com/office/word/2010/wordml\">"
                                                     "<w:pPr><w:rPr><w:color w:val=\"FF0000\"/><w:u w:val=\"single\"/></w:rPr></w:pPr></w:p>"));
    QTextCursor typing(doc->textDocument());
    typing.insertText(QStringLiteral("piros"));
    const QByteArray xml = readPart(reopen(doc, QStringLiteral("mark"))->FullName(), QStringLiteral("word/document.xml"));
    QVERIFY2(xml.contains("<w:r><w:rPr><w:color w:val=\"FF0000\"/><w:u w:val=\"single\"/></w:rPr><w:t>piros</w:t></w:r>"), xml.constData());
    QVERIFY(xml.contains("w14:paraId=\"1A2B3C4D\""));
}

// A field whose first place is in the body is written in the header and the
// footer too, through the whole document's collection.
void TestWrappers::headerAndFooterBookmarksAreFilled()
{
    DocxRecipe recipe;
    recipe.body = QStringLiteral("<w:p>%1</w:p><w:sectPr><w:headerReference w:type=\"default\" r:id=\"rIdH\"/>"
                                 "<w:footerReference w:type=\"default\" r:id=\"rIdF\"/></w:sectPr>")
                      .arg(bm(QStringLiteral("Szam_1"), 1, r(QStringLiteral("***"))));
    const QString hdr = QStringLiteral("<w:hdr xmlns:w=\"%1\"><w:p>%2</w:p></w:hdr>").arg(QLatin1String(kW), bm(QStringLiteral("Szam_2"), 2, r(QStringLiteral("***"))));
    const QString ftr = QStringLiteral("<w:ftr xmlns:w=\"%1\"><w:p>%2</w:p></w:ftr>").arg(QLatin1String(kW), bm(QStringLiteral("Szam_3"), 3, r(QStringLiteral("***"))));
    recipe.extraParts = {{QStringLiteral("word/header1.xml"), hdr.toUtf8()}, {QStringLiteral("word/footer1.xml"), ftr.toUtf8()}};
    recipe.extraDocumentRels = QStringLiteral(
        "<Relationship Id=\"rIdH\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/header\" Target=\"header1.xml\"/>"
        "<Relationship Id=\"rIdF\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/footer\" Target=\"footer1.xml\"/>");
    word::Document* doc = m_docs.app().Documents().Open(writeDocx(m_docs.dir(), QStringLiteral("hdr.docx"), recipe));
    QCOMPARE(doc->Bookmarks().Count(), 3);
    doc->Select();
    QCOMPARE(doc->ActiveWindow().Selection().Bookmarks().Count(), 1);   // the main text's own
    for (int k = 1; k <= 3; ++k)
        fill(*doc, QStringLiteral("Szam_%1").arg(k), QStringLiteral("2024/17"));
    QVERIFY(!doc->Saved());
    word::Document* back = reopen(doc, QStringLiteral("hdr"));
    QVERIFY(readPart(back->FullName(), QStringLiteral("word/header1.xml")).contains("2024/17"));
    QVERIFY(readPart(back->FullName(), QStringLiteral("word/footer1.xml")).contains("2024/17"));
    QCOMPARE(back->Bookmarks().Item(QStringLiteral("Szam_3")).Range().Text(), QStringLiteral("2024/17"));
}

// A text box is a story: its bookmarks are the document's, a value written
// into one lands in the box and in its fallback copy, and a box left alone
// keeps its XML as it was.
void TestWrappers::textBoxesAreStoriesOfTheirOwn()
{
    const QString untouched = QStringLiteral("<w:p><w:r><w:t>Marad így</w:t></w:r></w:p>");
    word::Document* doc = m_docs.open(QStringLiteral("<w:p>%1%2</w:p><w:p>%3</w:p>")
                                          .arg(bm(QStringLiteral("Szam_1"), 1, r(QStringLiteral("***"))),
                                               textBox(QStringLiteral("<w:p>%1</w:p>").arg(bm(QStringLiteral("Szam_2"), 2, r(QStringLiteral("***"))))),
                                               textBox(untouched)));
    QCOMPARE(doc->Bookmarks().Count(), 2);
    QCOMPARE(doc->Bookmarks().Item(QStringLiteral("Szam_2")).Range().Text(), QStringLiteral("***"));
    doc->Select();
    QCOMPARE(doc->ActiveWindow().Selection().Bookmarks().Count(), 1);
    const QString value = QStringLiteral("első sor\rmásodik <&>\"\tvég");
    fill(*doc, QStringLiteral("Szam_2"), value);
    const QString inModel = doc->Bookmarks().Item(QStringLiteral("Szam_2")).Range().Text();
    QVERIFY(inModel.contains(QStringLiteral("második <&>\"")));
    QVERIFY(!doc->Saved());

    word::Document* back = reopen(doc, QStringLiteral("box"));
    const QByteArray xml = readPart(back->FullName(), QStringLiteral("word/document.xml"));
    QCOMPARE(count(xml, QStringLiteral("második &lt;&amp;&gt;\"")), 2);   // the box and its fallback
    QCOMPARE(count(xml, QStringLiteral("<w:bookmarkStart[^>]*Szam_2")), 2);
    QCOMPARE(count(xml, QStringLiteral("<w:t>Marad így</w:t>")), 2);
    QCOMPARE(back->Bookmarks().Item(QStringLiteral("Szam_2")).Range().Text(), inModel);

    // Saved again, unchanged since the save and then with the main text
    // changed: the box keeps the value both times.
    word::Document* again = reopen(doc, QStringLiteral("box-again"));
    QCOMPARE(again->Bookmarks().Item(QStringLiteral("Szam_2")).Range().Text(), inModel);
    fill(*back, QStringLiteral("Szam_1"), QStringLiteral("2024/17"));
    word::Document* third = reopen(back, QStringLiteral("box-third"));
    QCOMPARE(third->Bookmarks().Item(QStringLiteral("Szam_2")).Range().Text(), inModel);
    QCOMPARE(third->Bookmarks().Item(QStringLiteral("Szam_1")).Range().Text(), QStringLiteral("2024/17"));
    QCOMPARE(count(readPart(third->FullName(), QStringLiteral("word/document.xml")), QStringLiteral("második &lt;&amp;&gt;\"")), 2);
}

// A bookmark spanning the last two paragraphs, as a two-line value leaves
// it at the end of the text, filled again.
void TestWrappers::refillAtTheDocumentEnd()
{
    word::Document* doc = m_docs.open(QStringLiteral("<w:p>%1<w:bookmarkStart w:id=\"1\" w:name=\"Szam_1\"/>%2</w:p><w:p>%3<w:bookmarkEnd w:id=\"1\"/></w:p>")
                                          .arg(r(QStringLiteral("Szám: ")), r(QStringLiteral("A")), r(QStringLiteral("B"))));
    QCOMPARE(doc->Bookmarks().Item(QStringLiteral("Szam_1")).Range().Text(), QStringLiteral("A\rB"));
    for (const QString& value : {QStringLiteral("A\rB"), QStringLiteral("C\nD"), QStringLiteral("E")}) {
        fill(*doc, QStringLiteral("Szam_1"), value);
        word::Document* back = nullptr;
        try {
            back = reopen(doc, QStringLiteral("end"));
        } catch (const word::Error& e) {
            QFAIL(qPrintable(value + u' ' + e.message()));
        }
        QCOMPARE(back->Bookmarks().Item(QStringLiteral("Szam_1")).Range().Text(), QString(value).replace(u'\n', u'\r'));
        doc = back;
    }
}

// Edits in the main text, a header and a text box undo in the reverse order
// they were made, and redo in theirs.
void TestWrappers::undoRunsOverEveryStory()
{
    DocxRecipe recipe;
    recipe.body = QStringLiteral("<w:p>%1%2</w:p><w:sectPr><w:headerReference w:type=\"default\" r:id=\"rIdH\"/></w:sectPr>")
                      .arg(bm(QStringLiteral("Fo"), 1, r(QStringLiteral("***"))),
                           textBox(QStringLiteral("<w:p>%1</w:p>").arg(bm(QStringLiteral("Doboz"), 2, r(QStringLiteral("***"))))));
    const QString hdr = QStringLiteral("<w:hdr xmlns:w=\"%1\"><w:p>%2</w:p></w:hdr>").arg(QLatin1String(kW), bm(QStringLiteral("Fej"), 3, r(QStringLiteral("***"))));
    recipe.extraParts = {{QStringLiteral("word/header1.xml"), hdr.toUtf8()}};
    recipe.extraDocumentRels = QStringLiteral(
        "<Relationship Id=\"rIdH\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/header\" Target=\"header1.xml\"/>");
    word::Document* doc = m_docs.app().Documents().Open(writeDocx(m_docs.dir(), QStringLiteral("undo-stories.docx"), recipe));
    const auto text = [&](const char* name) {
        try {
            return doc->Bookmarks().Item(QLatin1String(name)).Range().Text();
        } catch (const word::Error& e) {
            return e.message();
        }
    };
    // A fill is two steps: the text written, the bookmark set again.
    fill(*doc, QStringLiteral("Fo"), QStringLiteral("egy"));
    fill(*doc, QStringLiteral("Fej"), QStringLiteral("kettő"));
    fill(*doc, QStringLiteral("Doboz"), QStringLiteral("három"));
    QVERIFY(doc->Undo(2));
    QCOMPARE(text("Doboz"), QStringLiteral("***"));
    QCOMPARE(text("Fej"), QStringLiteral("kettő"));
    QVERIFY(doc->Undo(2));
    QCOMPARE(text("Fej"), QStringLiteral("***"));
    QCOMPARE(text("Fo"), QStringLiteral("egy"));
    QVERIFY(doc->Redo(2));
    QCOMPARE(text("Fej"), QStringLiteral("kettő"));
    QCOMPARE(text("Doboz"), QStringLiteral("***"));
    QVERIFY(doc->Undo(6));
    QCOMPARE(text("Fo"), QStringLiteral("***"));
    QVERIFY(!doc->Undo());
    QVERIFY(doc->Redo(6));
    QCOMPARE(text("Doboz"), QStringLiteral("három"));
    doc->UndoClear();
    QVERIFY(!doc->Undo());
    word::Document* back = reopen(doc, QStringLiteral("undo-stories"));
    QCOMPARE(back->Bookmarks().Item(QStringLiteral("Fej")).Range().Text(), QStringLiteral("kettő"));
    QCOMPARE(back->Bookmarks().Item(QStringLiteral("Doboz")).Range().Text(), QStringLiteral("három"));
}

void TestWrappers::writtenFilesGainNoSchemaError()
{
    QVERIFY(m_written.size() >= 10);
    const QStringList errors = schemaErrors(m_written);
    QVERIFY2(errors.isEmpty(), qPrintable(errors.join(u'\n')));
}

// Every file the edits wrote is opened by LibreOffice, in one run over all of
// them, and shows the text the engine reads back from it.
void TestWrappers::writtenFilesOpenInLibreOffice()
{
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty())
        QSKIP("LibreOffice is not installed");
    QVERIFY(m_written.size() >= 10);
    QTemporaryDir profile, out;
    QStringList files;
    for (const auto& [written, original] : m_written)
        files << written;
    const QString failed = libreOfficeToText(soffice, files, out.path(), profile.path(), 240'000);
    QVERIFY2(failed.isEmpty(), qPrintable(failed));
    for (const auto& [written, original] : m_written) {
        QFile txt(QDir(out.path()).filePath(QFileInfo(written).completeBaseName() + QStringLiteral(".txt")));
        QVERIFY2(txt.open(QIODevice::ReadOnly), qPrintable(QFileInfo(written).fileName() + QStringLiteral(" was not opened")));
        const QSet<QString> theirs = wordsOf(QString::fromUtf8(txt.readAll()));
        const QSet<QString> ours = wordsOf(m_docs.app().Documents().Open(written)->Content().Text());
        const QSet<QString> missing = QSet<QString>(ours).subtract(theirs);
        QVERIFY2(missing.size() * 10 <= ours.size(),
                 qPrintable(QFileInfo(written).fileName() + QStringLiteral(": ") + QStringList(missing.values()).join(u' ')));
    }
}

QTEST_MAIN(TestWrappers)
#include "tst_wrappers.moc"
