// The page layout without a window: page counts, where pages break, which
// header and footer a page gets, table column widths, bad page setups.

#include "wordfixture.h"

#include "word/document.h"
#include "word/layout/fields.h"
#include "word/layout/pagelayout.h"
#include "word/layout/pagepainter.h"
#include "word/layout/props.h"
#include "word/model/docmodel.h"
#include "word/model/story.h"

#include <QBuffer>
#include <QFontDatabase>
#include <QElapsedTimer>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QTextDocument>
#include <QTextLayout>
#include <QTextTable>

using namespace wordtest;
using word::layout::PageLayout;

namespace {

QString paras(int n, const QString& pPr = QString())
{
    QString out;
    for (int i = 0; i < n; ++i)
        out += p(r(QStringLiteral("Bekezdés %1").arg(i)), pPr);
    return out;
}

QString pageBreak()
{
    return QStringLiteral("<w:p><w:r><w:br w:type=\"page\"/></w:r></w:p>");
}

QString sectPr(const QString& inner)
{
    return QStringLiteral("<w:p><w:pPr><w:sectPr>%1</w:sectPr></w:pPr></w:p>").arg(inner);
}

const QString A4 = QStringLiteral("<w:pgSz w:w=\"11906\" w:h=\"16838\"/><w:pgMar w:top=\"1417\" w:right=\"1417\" w:bottom=\"1417\" w:left=\"1417\" w:header=\"708\" w:footer=\"708\"/>");
const QString A4Landscape = QStringLiteral("<w:pgSz w:w=\"16838\" w:h=\"11906\" w:orient=\"landscape\"/><w:pgMar w:top=\"1417\" w:right=\"1417\" w:bottom=\"1417\" w:left=\"1417\"/>");

// The page of the paragraph whose text begins with text.
int pageOf(PageLayout& layout, QTextDocument* text, const QString& start)
{
    for (QTextBlock b = text->begin(); b.isValid(); b = b.next())
        if (b.text().startsWith(start))
            return layout.pageOfPosition(b.position());
    return -2;
}

QString headerPart(const QString& text)
{
    return QStringLiteral("<w:hdr xmlns:w=\"%1\"><w:p><w:r><w:t>%2</w:t></w:r></w:p></w:hdr>").arg(QLatin1String(kW), text);
}

// Where, in document coordinates, the paragraph starting with start shows
// the character at its offset of piece.
QPointF placeOf(QTextDocument* text, const QString& start, const QString& piece)
{
    for (QTextBlock b = text->begin(); b.isValid(); b = b.next()) {
        if (!b.text().startsWith(start))
            continue;
        const int at = int(b.text().indexOf(piece));
        if (at < 0)
            return QPointF(-1, -1);
        // The line that holds the character (not one it ends).
        QTextLine line = b.layout()->lineAt(0);
        for (int i = 0; i < b.layout()->lineCount(); ++i)
            if (b.layout()->lineAt(i).textStart() <= at)
                line = b.layout()->lineAt(i);
        return b.layout()->position() + QPointF(line.cursorToX(at), line.y());
    }
    return QPointF(-1, -1);
}

QString checkBox(const QString& inside)
{
    return QStringLiteral("<w:r><w:fldChar w:fldCharType=\"begin\"><w:ffData><w:name w:val=\"Jelolo\"/><w:enabled/>"
                          "<w:checkBox>%1</w:checkBox></w:ffData></w:fldChar></w:r>"
                          "<w:r><w:instrText xml:space=\"preserve\"> FORMCHECKBOX </w:instrText></w:r>"
                          "<w:r><w:fldChar w:fldCharType=\"end\"/></w:r>").arg(inside);
}

// The pages a PDF holds.
int pdfPages(const QByteArray& pdf)
{
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?!s)"));
    int n = 0;
    for (auto it = page.globalMatch(QString::fromLatin1(pdf)); it.hasNext(); it.next())
        ++n;
    return n;
}

QString noteRef(const QString& id)
{
    return QStringLiteral("<w:r><w:rPr><w:vertAlign w:val=\"superscript\"/></w:rPr><w:footnoteReference w:id=\"%1\"/></w:r>").arg(id);
}

// A footnotes part: the separators, then each note of (id, paragraphs).
QByteArray footnotesPart(const QList<QPair<QString, int>>& notes)
{
    QString out = QStringLiteral("<w:footnotes xmlns:w=\"%1\">"
                                 "<w:footnote w:type=\"separator\" w:id=\"-1\"><w:p><w:r><w:separator/></w:r></w:p></w:footnote>"
                                 "<w:footnote w:type=\"continuationSeparator\" w:id=\"0\"><w:p><w:r><w:continuationSeparator/></w:r></w:p></w:footnote>")
                      .arg(QLatin1String(kW));
    for (const auto& [id, count] : notes) {
        out += QStringLiteral("<w:footnote w:id=\"%1\">").arg(id);
        for (int i = 0; i < count; ++i)
            out += QStringLiteral("<w:p>%1<w:r><w:t xml:space=\"preserve\"> Jegyzet %2 sora %3</w:t></w:r></w:p>")
                       .arg(i == 0 ? QStringLiteral("<w:r><w:rPr><w:vertAlign w:val=\"superscript\"/></w:rPr><w:footnoteRef/></w:r>") : QString(), id)
                       .arg(i);
        out += QStringLiteral("</w:footnote>");
    }
    return (out + QStringLiteral("</w:footnotes>")).toUtf8();
}

QString rel(const QString& id, const QString& type, const QString& target)
{
    return QStringLiteral("<Relationship Id=\"%1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/%2\" Target=\"%3\"/>")
        .arg(id, type, target);
}

} // namespace

class TestLayout : public QObject {
    Q_OBJECT
private slots:
    void textBoxShowsItsStory();
    void pageCounts_data();
    void pageCounts();
    void breaksBefore_data();
    void breaksBefore();
    void spaceBeforeAtTheTopOfAPage();
    void sectionsKeepTheirPaper();
    void impossiblePageSetups_data();
    void impossiblePageSetups();
    void headersChosenAsWordChooses_data();
    void headersChosenAsWordChooses();
    void tableColumnsFollowTheGrid();
    void pageNumberFieldsInTheFooter();
    void incrementalRelayoutMatchesFull();
    void hiddenTextTakesNoRoom();
    void hiddenTextFormatsAreNoEdit();
    void hiddenParagraphsAndPrinting();
    void printedTextLeavesHiddenOut();
    void checkBoxesTakeTheirRoomAndShow();
    void footnotesAtTheFootOfTheirPage();
    void endnotesAfterTheText();
    void tabStopsCountFromTheMargin();
    void cellKeepsItsLastParagraphsSpacing();
    void fontSizesBetweenWholePixels();
    void headingKeepsWithTwoLinesOfItsText();
    void singleLinesAsWordSetsThem_data();
    void singleLinesAsWordSetsThem();
    void footnoteNumbering_data();
    void footnoteNumbering();
    void tableRowsBreakAcrossPages_data();
    void tableRowsBreakAcrossPages();
    void columnsOfASection_data();
    void columnsOfASection();
    void columnBreaks();
    void columnsBalanceBeforeAContinuousSection();
    void hostileValuesStayBounded();

private:
    PageLayout* open(const QString& body);
    PageLayout* openRecipe(const DocxRecipe& recipe);
    FixtureDocuments m_docs{QStringLiteral("layout")};
    word::Document* m_doc = nullptr;
};

PageLayout* TestLayout::open(const QString& body)
{
    m_doc = m_docs.open(body);
    return m_doc ? PageLayout::install(m_doc->model()) : nullptr;
}

PageLayout* TestLayout::openRecipe(const DocxRecipe& recipe)
{
    static int serial = 0;
    const QString path = writeDocx(m_docs.dir(), QStringLiteral("r%1.docx").arg(++serial), recipe);
    m_doc = m_docs.app().Documents().Open(path);
    return m_doc ? PageLayout::install(m_doc->model()) : nullptr;
}

// A floating text box is drawn from its story, and a value written into the
// story asks the view to paint again.
void TestLayout::textBoxShowsItsStory()
{
    PageLayout* layout = open(p(r(QStringLiteral("Mellette álló szöveg.")) + textBox(p(bm(QStringLiteral("Szam_2"), 1, r(QStringLiteral("***")))))));
    QVERIFY(layout);
    const word::layout::Fragment* box = nullptr;
    for (const word::layout::Fragment& f : layout->fragments())
        if (f.kind == word::layout::Fragment::Float)
            box = &f;
    QVERIFY(box && box->textBox);
    QCOMPARE(box->textBox->text()->toPlainText(), QStringLiteral("***"));
    QSignalSpy repaint(layout, &QAbstractTextDocumentLayout::update);
    m_doc->Bookmarks().Item(QStringLiteral("Szam_2")).Range().setText(QStringLiteral("2026/118"));
    QVERIFY(!repaint.isEmpty());
    QCOMPARE(box->textBox->text()->toPlainText(), QStringLiteral("2026/118"));
}

void TestLayout::pageCounts_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<int>("pages");
    QTest::newRow("empty document") << QString() << 1;
    QTest::newRow("a few paragraphs") << paras(5) << 1;
    QTest::newRow("a manual page break") << paras(2) + pageBreak() + paras(2) << 2;
    QTest::newRow("two page breaks") << paras(1) + pageBreak() + pageBreak() + paras(1) << 3;
    // 12 pt Times lines are 18.4 units: an A4 body of 936 units holds about 50.
    QTest::newRow("long text flows on") << paras(120) << 3;
    QTest::newRow("exact 36 pt lines") << paras(40, QStringLiteral("<w:spacing w:line=\"720\" w:lineRule=\"exact\"/>")) << 3;
    QTest::newRow("next page section") << paras(1) + sectPr(A4) + paras(1) << 2;
    // A section's type says how that section starts.
    QTest::newRow("continuous section") << paras(1) + sectPr(A4) + paras(1) + sectPr(A4 + QStringLiteral("<w:type w:val=\"continuous\"/>")) + paras(1) << 2;
    QTest::newRow("three next page sections") << paras(1) + sectPr(A4) + paras(1) + sectPr(A4) + paras(1) << 3;
}

void TestLayout::pageCounts()
{
    QFETCH(QString, body);
    QFETCH(int, pages);
    PageLayout* layout = open(body);
    QVERIFY(layout);
    QCOMPARE(layout->pageCount(), pages);
    QCOMPARE(m_doc->textDocument()->pageCount(), pages);
}

void TestLayout::breaksBefore_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<int>("page");     // of the paragraph starting "Cél"
    QTest::newRow("page break before") << paras(2) + p(r(QStringLiteral("Cél")), QStringLiteral("<w:pageBreakBefore/>")) << 1;
    QTest::newRow("no break") << paras(2) + p(r(QStringLiteral("Cél"))) << 0;
    // 49 lines fill the first page; a heading kept with its text goes over.
    QTest::newRow("keep with next at the foot") << paras(49) + p(r(QStringLiteral("Cél")), QStringLiteral("<w:keepNext/>")) + paras(1) << 1;
    QTest::newRow("without keep with next") << paras(49) + p(r(QStringLiteral("Cél"))) + paras(1) << 0;
}

void TestLayout::breaksBefore()
{
    QFETCH(QString, body);
    QFETCH(int, page);
    PageLayout* layout = open(body);
    QVERIFY(layout);
    QCOMPARE(pageOf(*layout, m_doc->textDocument(), QStringLiteral("Cél")), page);
}

// A paragraph that the text before pushes onto a new page starts at the body's
// top, without its space before, as in Word; after a manual page break, and
// on the first page, it keeps the space.
void TestLayout::spaceBeforeAtTheTopOfAPage()
{
    const QString spaced = QStringLiteral("<w:spacing w:before=\"480\"/>");   // 24 pt, 32 units
    PageLayout* layout = open(paras(40, spaced) + pageBreak() + p(r(QStringLiteral("Törés után")), spaced));
    QVERIFY(layout);
    QTextDocument* text = m_doc->textDocument();
    const auto topOf = [&](const QString& start) {
        const int page = pageOf(*layout, text, start);
        return placeOf(text, start, start.left(1)).y() - layout->page(page).bodyTop;
    };
    const QString first = QStringLiteral("Bekezdés 0");
    QCOMPARE(pageOf(*layout, text, first), 0);
    QVERIFY2(std::abs(topOf(first) - 32) < 1, qPrintable(QString::number(topOf(first))));
    int onNext = -1;
    for (int i = 1; i < 40 && onNext < 0; ++i)
        if (pageOf(*layout, text, QStringLiteral("Bekezdés %1").arg(i)) == 1)
            onNext = i;
    QVERIFY(onNext > 0);
    const QString pushed = QStringLiteral("Bekezdés %1").arg(onNext);
    QVERIFY2(std::abs(topOf(pushed)) < 1, qPrintable(QString::number(topOf(pushed))));
    const QString afterBreak = QStringLiteral("Törés után");
    QVERIFY(pageOf(*layout, text, afterBreak) > 1);
    QVERIFY2(std::abs(topOf(afterBreak) - 32) < 1, qPrintable(QString::number(topOf(afterBreak))));
}

void TestLayout::sectionsKeepTheirPaper()
{
    PageLayout* layout = open(p(r(QStringLiteral("Álló"))) + sectPr(A4) + p(r(QStringLiteral("Fekvő"))) + sectPr(A4Landscape)
                              + p(r(QStringLiteral("Megint álló"))));
    QVERIFY(layout);
    QCOMPARE(layout->pageCount(), 3);
    QVERIFY(layout->pageRect(0).height() > layout->pageRect(0).width());
    QVERIFY(layout->pageRect(1).width() > layout->pageRect(1).height());
    QCOMPARE(qRound(layout->pageRect(1).width()), qRound(16838 / 15.0));
    QCOMPARE(pageOf(*layout, m_doc->textDocument(), QStringLiteral("Fekvő")), 1);
    // Pages stand one below the other.
    QVERIFY(layout->pageRect(2).top() >= layout->pageRect(1).bottom());
}

void TestLayout::impossiblePageSetups_data()
{
    QTest::addColumn<QString>("sect");
    QTest::addColumn<bool>("fallback");
    QTest::newRow("zero size") << QStringLiteral("<w:pgSz w:w=\"0\" w:h=\"0\"/>") << true;
    QTest::newRow("negative size") << QStringLiteral("<w:pgSz w:w=\"-5000\" w:h=\"16838\"/>") << true;
    QTest::newRow("huge size") << QStringLiteral("<w:pgSz w:w=\"9999999\" w:h=\"16838\"/>") << true;
    QTest::newRow("margins wider than the paper") << QStringLiteral("<w:pgSz w:w=\"11906\" w:h=\"16838\"/><w:pgMar w:left=\"8000\" w:right=\"8000\" w:top=\"1000\" w:bottom=\"1000\"/>") << true;
    QTest::newRow("sound A4") << A4 << false;
}

void TestLayout::impossiblePageSetups()
{
    QFETCH(QString, sect);
    QFETCH(bool, fallback);
    const word::layout::SectionProps s = word::layout::parseSection(QStringLiteral("<w:sectPr>%1</w:sectPr>").arg(sect));
    QCOMPARE(s.fallback, fallback);
    QVERIFY(s.textWidth() > 50);
    QVERIFY(s.page.height() - s.margins.top() - s.margins.bottom() > 50);
    PageLayout* layout = open(paras(3) + sectPr(sect) + paras(3));
    QVERIFY(layout);
    QCOMPARE(layout->pageCount(), 2);
}

void TestLayout::headersChosenAsWordChooses_data()
{
    QTest::addColumn<QString>("sect");
    QTest::addColumn<bool>("evenOdd");
    QTest::addColumn<QStringList>("headers");   // header text of pages 1..3
    const QString refs = QStringLiteral("<w:headerReference w:type=\"default\" r:id=\"rIdH1\"/>"
                                        "<w:headerReference w:type=\"first\" r:id=\"rIdH2\"/>"
                                        "<w:headerReference w:type=\"even\" r:id=\"rIdH3\"/>");
    QTest::newRow("default only") << refs << false << QStringList{"Alap", "Alap", "Alap"};
    QTest::newRow("title page") << refs + QStringLiteral("<w:titlePg/>") << false << QStringList{"Első", "Alap", "Alap"};
    QTest::newRow("even and odd") << refs << true << QStringList{"Alap", "Páros", "Alap"};
    QTest::newRow("both") << refs + QStringLiteral("<w:titlePg/>") << true << QStringList{"Első", "Páros", "Alap"};
    QTest::newRow("missing part left out") << QStringLiteral("<w:headerReference w:type=\"default\" r:id=\"rIdNone\"/>") << false
                                           << QStringList{"", "", ""};
}

void TestLayout::headersChosenAsWordChooses()
{
    QFETCH(QString, sect);
    QFETCH(bool, evenOdd);
    QFETCH(QStringList, headers);
    DocxRecipe recipe;
    // The three pages are one section; the fixture's final section after it has no text.
    recipe.body = paras(1) + pageBreak() + paras(1) + pageBreak()
                + p(r(QStringLiteral("Vége")), QStringLiteral("<w:sectPr xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">%1%2</w:sectPr>").arg(sect, A4));
    recipe.extraDocumentRels = rel(QStringLiteral("rIdH1"), QStringLiteral("header"), QStringLiteral("header1.xml"))
                             + rel(QStringLiteral("rIdH2"), QStringLiteral("header"), QStringLiteral("header2.xml"))
                             + rel(QStringLiteral("rIdH3"), QStringLiteral("header"), QStringLiteral("header3.xml"));
    recipe.extraParts = {{QStringLiteral("word/header1.xml"), headerPart(QStringLiteral("Alap")).toUtf8()},
                         {QStringLiteral("word/header2.xml"), headerPart(QStringLiteral("Első")).toUtf8()},
                         {QStringLiteral("word/header3.xml"), headerPart(QStringLiteral("Páros")).toUtf8()}};
    if (evenOdd)
        recipe.settingsXml = QStringLiteral("<w:settings xmlns:w=\"%1\"><w:evenAndOddHeaders/></w:settings>").arg(QLatin1String(kW));
    PageLayout* layout = openRecipe(recipe);
    QVERIFY(layout);
    if (m_doc->model().stories().empty() && !headers.join(QString()).isEmpty())
        QSKIP("the reader does not read header stories");
    QCOMPARE(layout->pageCount(), 3);
    for (int i = 0; i < 3; ++i) {
        const word::model::Story* h = layout->page(i).header;
        const QString text = h ? h->model->text()->toPlainText().trimmed() : QString();
        QCOMPARE(text, headers.at(i));
    }
}

void TestLayout::tableColumnsFollowTheGrid()
{
    const QString tbl = QStringLiteral(
        "<w:tbl><w:tblPr><w:tblW w:w=\"0\" w:type=\"auto\"/><w:tblBorders><w:top w:val=\"single\" w:sz=\"8\"/>"
        "<w:insideV w:val=\"nil\"/></w:tblBorders></w:tblPr><w:tblGrid><w:gridCol w:w=\"1500\"/><w:gridCol w:w=\"4500\"/>"
        "<w:gridCol w:w=\"3000\"/></w:tblGrid>"
        "<w:tr><w:tc><w:tcPr><w:tcW w:w=\"1500\" w:type=\"dxa\"/></w:tcPr><w:p><w:r><w:t>A</w:t></w:r></w:p></w:tc>"
        "<w:tc><w:tcPr><w:gridSpan w:val=\"2\"/></w:tcPr><w:p><w:r><w:t>BC</w:t></w:r></w:p></w:tc></w:tr>"
        "<w:tr><w:tc><w:p><w:r><w:t>D</w:t></w:r></w:p></w:tc><w:tc><w:p><w:r><w:t>E</w:t></w:r></w:p></w:tc>"
        "<w:tc><w:p><w:r><w:t>F</w:t></w:r></w:p></w:tc></w:tr></w:tbl>");
    PageLayout* layout = open(p(r(QStringLiteral("Előtte"))) + tbl + p(r(QStringLiteral("Utána"))));
    QVERIFY(layout);
    std::vector<QRectF> cells;
    std::vector<bool> topBorder, innerBorder;
    for (const word::layout::Fragment& f : layout->fragments()) {
        if (f.kind != word::layout::Fragment::Box)
            continue;
        cells.push_back(f.rect);
        topBorder.push_back(f.borders[0].visible());
        innerBorder.push_back(f.borders[3].visible());
    }
    QCOMPARE(cells.size(), size_t(5));
    QCOMPARE(qRound(cells[0].width()), 100);          // 1500 twips
    QCOMPARE(qRound(cells[1].width()), 500);          // 4500 + 3000 twips, spanned
    QCOMPARE(qRound(cells[3].width()), 300);
    QCOMPARE(qRound(cells[3].left() - cells[2].left()), 100);
    QVERIFY(cells[2].top() >= cells[0].bottom() - 0.01);
    QVERIFY(topBorder[0] && topBorder[1]);
    QVERIFY(!topBorder[2]);                            // insideH not given: none
    QVERIFY(!innerBorder[0]);                          // insideV nil
}

// The footer's PAGE, NUMPAGES and SECTIONPAGES are found with the text they
// show, and pages count on from the section's pgNumType start.
void TestLayout::pageNumberFieldsInTheFooter()
{
    const QString footer = QStringLiteral(
        "<w:ftr xmlns:w=\"%1\"><w:p><w:r><w:t xml:space=\"preserve\">Oldal </w:t></w:r>"
        "<w:fldSimple w:instr=\" PAGE \\* MERGEFORMAT \"><w:r><w:t>1</w:t></w:r></w:fldSimple>"
        "<w:r><w:t xml:space=\"preserve\"> / </w:t></w:r>"
        "<w:r><w:fldChar w:fldCharType=\"begin\"/></w:r><w:r><w:instrText xml:space=\"preserve\"> NUMPAGES </w:instrText></w:r>"
        "<w:r><w:fldChar w:fldCharType=\"separate\"/></w:r><w:r><w:t>9</w:t></w:r><w:r><w:fldChar w:fldCharType=\"end\"/></w:r>"
        "</w:p></w:ftr>").arg(QLatin1String(kW));
    DocxRecipe recipe;
    recipe.body = paras(1) + pageBreak() + paras(1) + pageBreak()
                + p(r(QStringLiteral("Vége")), QStringLiteral("<w:sectPr xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
                                                              "<w:footerReference w:type=\"default\" r:id=\"rIdF1\"/>%1<w:pgNumType w:start=\"5\"/></w:sectPr>").arg(A4));
    recipe.extraDocumentRels = rel(QStringLiteral("rIdF1"), QStringLiteral("footer"), QStringLiteral("footer1.xml"));
    recipe.extraParts = {{QStringLiteral("word/footer1.xml"), footer.toUtf8()}};
    PageLayout* layout = openRecipe(recipe);
    QVERIFY(layout);
    QCOMPARE(layout->pageCount(), 3);
    const word::model::Story* f = layout->page(0).footer;
    QVERIFY(f);
    QCOMPARE(layout->page(2).footer, f);
    const std::vector<word::layout::PageField> fields = word::layout::pageFields(*f->model);
    QCOMPARE(fields.size(), size_t(2));
    const QString text = f->model->text()->toPlainText();
    QCOMPARE(fields[0].kind, word::layout::PageField::Page);
    QCOMPARE(text.mid(fields[0].start, fields[0].end - fields[0].start), QStringLiteral("1"));
    QCOMPARE(fields[1].kind, word::layout::PageField::NumPages);
    QCOMPARE(text.mid(fields[1].start, fields[1].end - fields[1].start), QStringLiteral("9"));
    QCOMPARE(layout->page(0).number, 5);
    QCOMPARE(layout->page(2).number, 7);
    QCOMPARE(layout->page(1).sectionPages, 3);
    // The footer takes its room above the bottom margin only when it needs more.
    QVERIFY(layout->page(0).bodyBottom <= layout->pageRect(0).bottom() - 1417 / 15.0 + 0.01);
}

// Typing in one paragraph must give the layout a full pass would give.
void TestLayout::incrementalRelayoutMatchesFull()
{
    PageLayout* layout = open(paras(150));
    QVERIFY(layout);
    QTextDocument* text = m_doc->textDocument();
    QTextCursor c(text->findBlockByNumber(60));
    c.movePosition(QTextCursor::EndOfBlock);
    c.insertText(QString(400, u'x'));
    QVERIFY(layout->lastLayoutIncremental());
    std::vector<std::pair<int, double>> after;
    for (QTextBlock b = text->begin(); b.isValid(); b = b.next())
        after.push_back({layout->pageOfPosition(b.position()), b.layout()->position().y()});
    const int pages = layout->pageCount();
    layout->relayout();
    QCOMPARE(layout->pageCount(), pages);
    int i = 0;
    for (QTextBlock b = text->begin(); b.isValid(); b = b.next(), ++i) {
        QCOMPARE(layout->pageOfPosition(b.position()), after[size_t(i)].first);
        QVERIFY(qAbs(b.layout()->position().y() - after[size_t(i)].second) < 0.01);
    }
}

// Hidden text (its own vanish or its character style's) is laid out with no
// room unless formatting marks are on, when it shows dotted underlined.
void TestLayout::hiddenTextTakesNoRoom()
{
    DocxRecipe recipe;
    recipe.stylesXml = defaultStyles().replace(
        QStringLiteral("</w:styles>"),
        QStringLiteral("<w:style w:type=\"character\" w:styleId=\"Rejtett\"><w:name w:val=\"Rejtett\"/><w:rPr><w:vanish/></w:rPr></w:style>"
                       "<w:style w:type=\"character\" w:styleId=\"Belole\"><w:name w:val=\"Belole\"/><w:basedOn w:val=\"Rejtett\"/></w:style>"
                       "</w:styles>"));
    recipe.body = p(r(QStringLiteral("Minta ")) + r(QStringLiteral("szöveg")))
                + p(r(QStringLiteral("Saját ")) + r(QStringLiteral("REJTETT SZÖVEG "), QStringLiteral("<w:vanish/>")) + r(QStringLiteral("szöveg")))
                + p(r(QStringLiteral("Stílus ")) + r(QStringLiteral("REJTETT SZÖVEG "), QStringLiteral("<w:rStyle w:val=\"Belole\"/>")) + r(QStringLiteral("szöveg")))
                + p(r(QStringLiteral("Kikapcsolt ")) + r(QStringLiteral("LÁTHATÓ "), QStringLiteral("<w:rStyle w:val=\"Rejtett\"/><w:vanish w:val=\"0\"/>")) + r(QStringLiteral("szöveg")))
                // An object in the line (a symbol) hidden as well.
                + p(r(QStringLiteral("Jel ")) + QStringLiteral("<w:r><w:rPr><w:vanish/></w:rPr><w:sym w:font=\"Symbol\" w:char=\"F0B7\"/></w:r>")
                    + r(QStringLiteral("szöveg")));
    PageLayout* layout = openRecipe(recipe);
    QVERIFY(layout);
    QTextDocument* text = m_doc->textDocument();
    const double plain = placeOf(text, QStringLiteral("Minta"), QStringLiteral("szöveg")).x();
    const double own = placeOf(text, QStringLiteral("Saját"), QStringLiteral("szöveg")).x();
    const double styled = placeOf(text, QStringLiteral("Stílus"), QStringLiteral("szöveg")).x();
    const double shownByVal = placeOf(text, QStringLiteral("Kikapcsolt"), QStringLiteral("szöveg")).x();
    const double ownStart = placeOf(text, QStringLiteral("Saját"), QStringLiteral("REJTETT")).x();
    // "Saját " and "Minta " differ a little: the hidden run itself must take under a unit.
    QVERIFY2(std::abs(own - ownStart) < 1, qPrintable(QStringLiteral("%1 %2").arg(own).arg(ownStart)));
    QVERIFY(std::abs(styled - placeOf(text, QStringLiteral("Stílus"), QStringLiteral("REJTETT")).x()) < 1);
    QVERIFY(shownByVal - placeOf(text, QStringLiteral("Kikapcsolt"), QStringLiteral("LÁTHATÓ")).x() > 40);
    QVERIFY(plain > 0);
    const double symbolRoom = placeOf(text, QStringLiteral("Jel"), QStringLiteral("szöveg")).x()
                            - placeOf(text, QStringLiteral("Jel"), QString(QChar::ObjectReplacementCharacter)).x();
    QVERIFY2(symbolRoom < 0.5, qPrintable(QString::number(symbolRoom)));

    // The engine's View.ShowAll shows it, with a dotted underline.
    m_doc->ActiveWindow().View().setShowAll(true);
    QVERIFY(layout->marksShown());
    const double ownShown = placeOf(text, QStringLiteral("Saját"), QStringLiteral("szöveg")).x();
    QVERIFY(ownShown - ownStart > 80);
    QVERIFY(placeOf(text, QStringLiteral("Stílus"), QStringLiteral("szöveg")).x() - ownStart > 80);
    QVERIFY(placeOf(text, QStringLiteral("Jel"), QStringLiteral("szöveg")).x()
            - placeOf(text, QStringLiteral("Jel"), QString(QChar::ObjectReplacementCharacter)).x() > 3);
    bool dotted = false;
    for (QTextBlock b = text->begin(); b.isValid(); b = b.next())
        if (b.text().startsWith(QStringLiteral("Saját")))
            for (const QTextLayout::FormatRange& f : b.layout()->formats())
                dotted |= f.start == 6 && f.length == 15 && f.format.underlineStyle() == QTextCharFormat::DotLine;
    QVERIFY(dotted);
    // Printing lays it out as hidden again, and gives the view its layout back.
    layout->setPrinting(true);
    QVERIFY(!layout->marksShown());
    QVERIFY(std::abs(placeOf(text, QStringLiteral("Saját"), QStringLiteral("szöveg")).x() - ownStart) < 1);
    QVERIFY(!(text->defaultTextOption().flags() & QTextOption::ShowTabsAndSpaces)
            || !(text->begin().layout()->textOption().flags() & QTextOption::ShowTabsAndSpaces));
    layout->setPrinting(false);
    QCOMPARE(placeOf(text, QStringLiteral("Saját"), QStringLiteral("szöveg")).x(), ownShown);
    m_doc->ActiveWindow().View().setShowAll(false);
    QVERIFY(std::abs(placeOf(text, QStringLiteral("Saját"), QStringLiteral("szöveg")).x() - own) < 0.01);
}

// The layout's own formats for hidden text are no edit: the next real edit
// is reported as itself, so bookmarks elsewhere stay where they were.
void TestLayout::hiddenTextFormatsAreNoEdit()
{
    PageLayout* layout = open(p(r(QStringLiteral("Előtte ")) + r(QStringLiteral("rejtett"), QStringLiteral("<w:vanish/>")))
                              + p(r(QStringLiteral("Közte ")) + bm(QStringLiteral("Jelzo"), 1, r(QStringLiteral("jelölt szöveg")))));
    QVERIFY(layout);
    layout->setShowMarks(true);
    layout->setShowMarks(false);
    QTextCursor c(m_doc->textDocument());
    c.movePosition(QTextCursor::End);
    c.insertText(QStringLiteral(" új"));
    QCOMPARE(m_doc->Bookmarks().Item(QStringLiteral("Jelzo")).Range().Text(), QStringLiteral("jelölt szöveg"));
}

// A paragraph hidden mark and all takes no room on the page; the PDF of a
// document shown with its hidden text has the pages of the printed layout.
void TestLayout::hiddenParagraphsAndPrinting()
{
    QString hidden;
    for (int i = 0; i < 30; ++i)
        hidden += p(r(QStringLiteral("Rejtett %1").arg(i), QStringLiteral("<w:vanish/>")), QStringLiteral("<w:rPr><w:vanish/></w:rPr>"));
    // Text hidden but the mark not: the empty paragraph stays.
    QString marksKept;
    for (int i = 0; i < 30; ++i)
        marksKept += p(r(QStringLiteral("Rejtett %1").arg(i), QStringLiteral("<w:vanish/>")));
    PageLayout* layout = open(paras(45) + hidden + p(r(QStringLiteral("Cél"))));
    QVERIFY(layout);
    QTextDocument* text = m_doc->textDocument();
    QCOMPARE(layout->pageCount(), 1);
    QCOMPARE(pageOf(*layout, text, QStringLiteral("Cél")), 0);
    layout->setShowMarks(true);
    QCOMPARE(layout->pageCount(), 2);
    QCOMPARE(pageOf(*layout, text, QStringLiteral("Cél")), 1);
    QByteArray pdf;
    {
        QBuffer buffer(&pdf);
        QVERIFY(buffer.open(QIODevice::WriteOnly));
        QPdfWriter writer(&buffer);
        QVERIFY(word::layout::PagePainter::paintDocument(*layout, writer));
    }
    QCOMPARE(pdfPages(pdf), 1);
    QVERIFY(layout->marksShown());
    QCOMPARE(layout->pageCount(), 2);

    layout = open(paras(45) + marksKept + p(r(QStringLiteral("Cél"))));
    QVERIFY(layout);
    QCOMPARE(pageOf(*layout, m_doc->textDocument(), QStringLiteral("Cél")), 1);
}

// FORMCHECKBOX fields take the room of their box, the field's size or the
// text's, and show an empty or a crossed box there.
void TestLayout::checkBoxesTakeTheirRoomAndShow()
{
    const QString empty = checkBox(QStringLiteral("<w:size w:val=\"30\"/><w:default w:val=\"0\"/>"));
    const QString crossed = checkBox(QStringLiteral("<w:sizeAuto/><w:default w:val=\"0\"/><w:checked/>"));
    const QString byDefault = checkBox(QStringLiteral("<w:sizeAuto/><w:default w:val=\"1\"/>"));
    QString hiddenBox = checkBox(QStringLiteral("<w:size w:val=\"30\"/>"));
    hiddenBox.replace(QStringLiteral("<w:r><w:fldChar"), QStringLiteral("<w:r><w:rPr><w:vanish/></w:rPr><w:fldChar"));
    PageLayout* layout = open(p(r(QStringLiteral("Minta Igen  Nem")))
                              + p(r(QStringLiteral("Első Igen ")) + empty + r(QStringLiteral(" Nem")))
                              + p(r(QStringLiteral("Második Igen ")) + crossed + byDefault + r(QStringLiteral(" Nem")))
                              + p(crossed + r(QStringLiteral("Harmadik")))
                              + p(r(QStringLiteral("Rejtett Igen ")) + hiddenBox + r(QStringLiteral(" Nem"))));
    QVERIFY(layout);
    QTextDocument* text = m_doc->textDocument();
    const std::vector<word::layout::CheckBoxField> boxes = word::layout::checkBoxes(m_doc->model());
    QCOMPARE(boxes.size(), size_t(5));
    QVERIFY(boxes[4].hidden && !boxes[0].hidden);
    QCOMPARE(boxes[0].checked, false);
    QCOMPARE(boxes[0].size, 15.0);
    QCOMPARE(boxes[1].checked, true);
    QCOMPARE(boxes[1].size, 0.0);
    QCOMPARE(boxes[2].checked, true);

    auto gap = [&](const QString& start) {
        return placeOf(text, start, QStringLiteral(" Nem")).x() - placeOf(text, start, QStringLiteral("Igen")).x();
    };
    const double plain = gap(QStringLiteral("Minta"));
    // 15 pt; two boxes of the 12 pt text.
    QVERIFY2(std::abs(gap(QStringLiteral("Első")) - plain - 20) < 0.6, qPrintable(QString::number(gap(QStringLiteral("Első")) - plain)));
    QVERIFY(std::abs(gap(QStringLiteral("Második")) - plain - 32) < 0.6);
    const double third = placeOf(text, QStringLiteral("Harmadik"), QStringLiteral("Harmadik")).x() - layout->pageRect(0).left()
                       - layout->section(0).margins.left();
    QVERIFY(std::abs(third - 16) < 0.6);
    // A hidden box takes its room only while marks are shown.
    auto hiddenGap = [&] {
        return placeOf(text, QStringLiteral("Rejtett"), QStringLiteral(" Nem")).x() - placeOf(text, QStringLiteral("Rejtett"), QStringLiteral("Igen")).x();
    };
    QVERIFY(std::abs(hiddenGap() - plain) < 0.6);
    layout->setShowMarks(true);
    QVERIFY(std::abs(hiddenGap() - plain - 20) < 0.6);
    layout->setShowMarks(false);

    // Drawn: the box's frame, and its middle inked only when crossed.
    QImage page(layout->pageRect(0).size().toSize(), QImage::Format_RGB32);
    page.fill(Qt::white);
    {
        QPainter painter(&page);
        word::layout::PagePainter(*layout).paintPageAt(&painter, 0);
    }
    auto dark = [&](const QPointF& at) {
        const QPoint pt = (at - layout->pageRect(0).topLeft()).toPoint();
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy)
                if (qGray(page.pixel(pt + QPoint(dx, dy))) < 128)
                    return true;
        return false;
    };
    auto boxMiddle = [&](const QString& start, const QString& after, double width) {
        const QPointF end = placeOf(text, start, after);
        QTextBlock b = text->findBlock(0);
        for (; b.isValid() && !b.text().startsWith(start); b = b.next()) {}
        const double baseline = end.y() + b.layout()->lineAt(0).ascent();
        return QPointF(end.x() - width / 2, baseline - width * 0.375);
    };
    const QPointF firstMiddle = boxMiddle(QStringLiteral("Első"), QStringLiteral(" Nem"), 20);
    QVERIFY(!dark(firstMiddle));
    QVERIFY(dark(firstMiddle + QPointF(-7.5, 0)));      // the frame's left side
    QVERIFY(dark(boxMiddle(QStringLiteral("Második"), QStringLiteral(" Nem"), 16)));
    QVERIFY(dark(boxMiddle(QStringLiteral("Második"), QStringLiteral(" Nem"), 16) - QPointF(16, 0)));
}

// 11 points are 14.67 pixels: the text takes the room of that size, not of
// the 15 pixels Qt sets the font at.
void TestLayout::fontSizesBetweenWholePixels()
{
    const QString text = QStringLiteral("Eladó kijelenti, hogy kizárólagos tulajdonát képezi az ingatlan");
    const auto run = [&](int halfPoints) {
        return p(r(text, QStringLiteral("<w:rFonts w:ascii=\"Liberation Serif\" w:hAnsi=\"Liberation Serif\"/><w:sz w:val=\"%1\"/>").arg(halfPoints)));
    };
    PageLayout* layout = open(run(22) + run(24));
    QVERIFY(layout);
    QTextDocument* doc = m_doc->textDocument();
    QTextBlock small = doc->begin(), large = small.next();
    const double smallWidth = small.layout()->lineAt(0).naturalTextWidth();
    const double largeWidth = large.layout()->lineAt(0).naturalTextWidth();
    // A whole percent of stretch leaves a little; 15 pixels would be 15 / 16.
    QVERIFY2(std::abs(smallWidth / largeWidth - 11.0 / 12.0) < 0.006, qPrintable(QStringLiteral("%1 %2").arg(smallWidth).arg(largeWidth)));
}

// A heading kept with its text goes over with it when only one line of a
// long, widow-controlled paragraph would stand under it at the foot.
void TestLayout::headingKeepsWithTwoLinesOfItsText()
{
    const QString heading = p(r(QStringLiteral("Fejezetcím")), QStringLiteral("<w:keepNext/>"));
    const QString text = p(r(QStringLiteral("Szöveg ") + QStringLiteral("hosszú bekezdés, amely több sorra tördelődik, ").repeated(8)));
    for (int filler = 36; filler < 50; ++filler) {
        PageLayout* layout = open(paras(filler) + heading + text + QStringLiteral("<w:sectPr>") + A4 + QStringLiteral("</w:sectPr>"));
        QVERIFY(layout);
        QTextDocument* doc = m_doc->textDocument();
        QTextBlock b = doc->begin();
        while (b.isValid() && !b.text().startsWith(u"Fejezetcím"))
            b = b.next();
        QVERIFY(b.isValid());
        const QTextBlock body = b.next();
        QVERIFY(body.layout()->lineCount() > 2);
        const int headingPage = layout->pageOfPosition(b.position());
        const int firstLine = layout->pageOfPosition(body.position());
        const int secondLine = layout->pageOfPosition(body.position() + body.layout()->lineAt(1).textStart());
        QVERIFY2(headingPage == firstLine && firstLine == secondLine, qPrintable(QStringLiteral("%1 filler: %2 %3 %4").arg(filler).arg(headingPage).arg(firstLine).arg(secondLine)));
    }
}

// Single line spacing is the font's Windows ascent and descent and its
// external leading, as in Word: Calibri's (here Carlito's) line is 1.22 em,
// not the 1.44 em its whole line gap would give; Times New Roman's is 1.15 em.
void TestLayout::singleLinesAsWordSetsThem_data()
{
    QTest::addColumn<QString>("family");
    QTest::addColumn<double>("ems");
    QTest::newRow("Carlito") << QStringLiteral("Carlito") << 2500 / 2048.0;
    QTest::newRow("Liberation Serif") << QStringLiteral("Liberation Serif") << 2355 / 2048.0;
}

void TestLayout::singleLinesAsWordSetsThem()
{
    QFETCH(QString, family);
    QFETCH(double, ems);
    if (!QFontDatabase::families().contains(family))
        QSKIP("the font is not installed");
    const QString look = QStringLiteral("<w:rFonts w:ascii=\"%1\" w:hAnsi=\"%1\"/><w:sz w:val=\"24\"/>").arg(family);
    const QString pPr = QStringLiteral("<w:spacing w:before=\"0\" w:after=\"0\" w:line=\"240\" w:lineRule=\"auto\"/>");
    PageLayout* layout = open(p(r(QStringLiteral("Egyik"), look), pPr) + p(r(QStringLiteral("Másik"), look), pPr));
    QVERIFY(layout);
    QTextDocument* text = m_doc->textDocument();
    const double pitch = placeOf(text, QStringLiteral("Másik"), QStringLiteral("M")).y() - placeOf(text, QStringLiteral("Egyik"), QStringLiteral("E")).y();
    QVERIFY2(std::abs(pitch - 12 * ems * 96 / 72) < 0.3, qPrintable(QString::number(pitch)));
}

// A cell is as tall as its margins, its lines and its last paragraph's
// spacing after: Word keeps that spacing inside the cell.
void TestLayout::cellKeepsItsLastParagraphsSpacing()
{
    const auto table = [](int after) {
        QString rows;
        for (int i = 0; i < 3; ++i)
            rows += QStringLiteral("<w:tr><w:tc><w:tcPr><w:tcMar><w:top w:w=\"72\" w:type=\"dxa\"/><w:bottom w:w=\"72\" w:type=\"dxa\"/></w:tcMar></w:tcPr>"
                                   "<w:p><w:pPr><w:spacing w:before=\"0\" w:after=\"%1\" w:line=\"240\" w:lineRule=\"auto\"/></w:pPr>"
                                   "<w:r><w:t>Sor %2</w:t></w:r></w:p></w:tc></w:tr>").arg(after).arg(i);
        return QStringLiteral("<w:tbl><w:tblGrid><w:gridCol w:w=\"4000\"/></w:tblGrid>%1</w:tbl><w:p/>").arg(rows);
    };
    double pitch[2] = {0, 0};
    for (int k = 0; k < 2; ++k) {
        PageLayout* layout = open(table(k == 0 ? 0 : 288));
        QVERIFY(layout);
        QTextDocument* text = m_doc->textDocument();
        pitch[k] = placeOf(text, QStringLiteral("Sor 1"), QStringLiteral("S")).y() - placeOf(text, QStringLiteral("Sor 0"), QStringLiteral("S")).y();
    }
    QVERIFY2(std::abs(pitch[1] - pitch[0] - 288 / 15.0) < 0.5, qPrintable(QStringLiteral("%1 %2").arg(pitch[0]).arg(pitch[1])));
}

// A tab stop stands where Word puts it, measured from the margin whatever
// the paragraph's indent, and a right tab at the margin keeps its text on
// the line (a table of contents' page numbers).
void TestLayout::tabStopsCountFromTheMargin()
{
    const auto tabbed = [](int indent, int pos, const QString& type, const QString& text) {
        return QStringLiteral("<w:p><w:pPr><w:tabs><w:tab w:val=\"%1\" w:pos=\"%2\"/></w:tabs><w:ind w:left=\"%3\"/></w:pPr>"
                              "<w:r><w:t>%4</w:t></w:r><w:r><w:tab/><w:t>12</w:t></w:r></w:p>")
            .arg(type).arg(pos).arg(indent).arg(text);
    };
    // Text width: 11906 - 2 * 1417 = 9072 twips.
    PageLayout* layout = open(tabbed(0, 5000, QStringLiteral("left"), QStringLiteral("Nulla")) + tabbed(600, 5000, QStringLiteral("left"), QStringLiteral("Hatszáz"))
                              + tabbed(300, 9072, QStringLiteral("right"), QStringLiteral("Tartalom")) + QStringLiteral("<w:sectPr>") + A4 + QStringLiteral("</w:sectPr>"));
    QVERIFY(layout);
    QTextDocument* text = m_doc->textDocument();
    const double plain = placeOf(text, QStringLiteral("Nulla"), QStringLiteral("12")).x();
    QCOMPARE(qRound(placeOf(text, QStringLiteral("Hatszáz"), QStringLiteral("12")).x()), qRound(plain));
    QCOMPARE(qRound(plain - placeOf(text, QStringLiteral("Nulla"), QStringLiteral("Nulla")).x()), qRound(5000 / 15.0));
    for (QTextBlock b = text->begin(); b.isValid(); b = b.next())
        if (b.text().startsWith(u"Tartalom"))
            QCOMPARE(b.layout()->lineCount(), 1);
}

// Endnotes follow the last line of the text under a separator line, numbered
// i, ii, ... in the order of their references; what does not fit goes on to
// the next page, each note whole.
void TestLayout::endnotesAfterTheText()
{
    const auto ref = [](const char* id) {
        return QStringLiteral("<w:r><w:rPr><w:vertAlign w:val=\"superscript\"/></w:rPr><w:endnoteReference w:id=\"%1\"/></w:r>").arg(QLatin1String(id));
    };
    QString part = QStringLiteral("<w:endnotes xmlns:w=\"%1\"><w:endnote w:type=\"separator\" w:id=\"-1\"><w:p><w:r><w:separator/></w:r></w:p></w:endnote>"
                                  "<w:endnote w:type=\"continuationSeparator\" w:id=\"0\"><w:p><w:r><w:continuationSeparator/></w:r></w:p></w:endnote>")
                       .arg(QLatin1String(kW));
    for (const auto& [id, lines] : {std::pair("2", 1), std::pair("1", 30)}) {
        part += QStringLiteral("<w:endnote w:id=\"%1\">").arg(QLatin1String(id));
        for (int i = 0; i < lines; ++i)
            part += p(r(QStringLiteral("Végjegyzet %1 sora %2").arg(QLatin1String(id)).arg(i)));
        part += QStringLiteral("</w:endnote>");
    }
    part += QStringLiteral("</w:endnotes>");
    DocxRecipe recipe;
    recipe.body = p(r(QStringLiteral("Első")) + ref("2")) + paras(30) + p(r(QStringLiteral("Utolsó")) + ref("1"));
    recipe.extraDocumentRels = rel(QStringLiteral("rIdE"), QStringLiteral("endnotes"), QStringLiteral("endnotes.xml"));
    recipe.extraParts = {{QStringLiteral("word/endnotes.xml"), part.toUtf8()}};
    PageLayout* layout = openRecipe(recipe);
    QVERIFY(layout);
    QCOMPARE(layout->noteMark(QStringLiteral("e:2")), QStringLiteral("i"));
    QCOMPARE(layout->noteMark(QStringLiteral("e:1")), QStringLiteral("ii"));
    QTextDocument* text = m_doc->textDocument();
    const int last = pageOf(*layout, text, QStringLiteral("Utolsó"));
    QCOMPARE(layout->pageCount(), last + 2);   // the long note does not fit after the text
    const auto& here = layout->page(last).endnotes;
    QCOMPARE(here.size(), size_t(1));
    QCOMPARE(here[0].story->noteId, QStringLiteral("2"));
    QVERIFY(layout->page(last).endnoteSeparator > placeOf(text, QStringLiteral("Utolsó"), QStringLiteral("Utolsó")).y());
    QVERIFY(here[0].top > layout->page(last).endnoteSeparator);
    const auto& next = layout->page(last + 1).endnotes;
    QCOMPARE(next.size(), size_t(1));
    QCOMPARE(next[0].story->noteId, QStringLiteral("1"));
    QCOMPARE(qRound(next[0].top - word::layout::NoteSeparatorRoom), qRound(layout->page(last + 1).bodyTop));
}

// Notes are numbered in the order of their references, stand at the foot of
// the page their reference line is on, under a separator line, and the body
// ends above them; a line whose note does not fit goes over with it.
void TestLayout::footnotesAtTheFootOfTheirPage()
{
    DocxRecipe recipe;
    recipe.body = p(r(QStringLiteral("Első")) + noteRef(QStringLiteral("5")) + r(QStringLiteral(" vége")))
                + paras(20) + p(r(QStringLiteral("Másik")) + noteRef(QStringLiteral("7"))) + paras(24)
                + p(r(QStringLiteral("Jegyzettel")) + noteRef(QStringLiteral("3"))) + paras(3)
                + QStringLiteral("<w:tbl><w:tblGrid><w:gridCol w:w=\"4000\"/></w:tblGrid><w:tr><w:tc>")
                + p(r(QStringLiteral("Cellában")) + noteRef(QStringLiteral("9"))) + QStringLiteral("</w:tc></w:tr></w:tbl>")
                + p(r(QStringLiteral("Vége")));
    recipe.extraDocumentRels = rel(QStringLiteral("rIdN"), QStringLiteral("footnotes"), QStringLiteral("footnotes.xml"));
    recipe.extraParts = {{QStringLiteral("word/footnotes.xml"), footnotesPart({{QStringLiteral("3"), 10}, {QStringLiteral("5"), 1}, {QStringLiteral("7"), 1}, {QStringLiteral("9"), 2}})}};
    PageLayout* layout = openRecipe(recipe);
    QVERIFY(layout);
    QTextDocument* text = m_doc->textDocument();
    const word::model::Story* five = layout->noteStory(QStringLiteral("5"));
    const word::model::Story* three = layout->noteStory(QStringLiteral("3"));
    QVERIFY(five && three);
    QVERIFY(!layout->noteStory(QStringLiteral("-1")));     // separators are no notes
    QCOMPARE(layout->noteNumber(QStringLiteral("5")), 1);
    QCOMPARE(layout->noteNumber(QStringLiteral("7")), 2);
    QCOMPARE(layout->noteNumber(QStringLiteral("3")), 3);

    // The reference shows its number and takes its room.
    const double markRoom = placeOf(text, QStringLiteral("Első"), QStringLiteral(" vége")).x()
                          - placeOf(text, QStringLiteral("Első"), QString(QChar::ObjectReplacementCharacter)).x();
    QVERIFY2(markRoom > 3 && markRoom < 12, qPrintable(QString::number(markRoom)));

    // Without its ten-line note the paragraph would end page 1; with it, it goes over.
    QCOMPARE(pageOf(*layout, text, QStringLiteral("Jegyzettel")), 1);
    const word::model::Story* seven = layout->noteStory(QStringLiteral("7"));
    QCOMPARE(layout->page(0).notes, (std::vector<const word::model::Story*>{five, seven}));
    // A note referred to in a table cell as well.
    const word::model::Story* nine = layout->noteStory(QStringLiteral("9"));
    QCOMPARE(layout->noteNumber(QStringLiteral("9")), 4);
    QCOMPARE(layout->page(1).notes, (std::vector<const word::model::Story*>{three, nine}));
    const double twoNotes = layout->page(0).notesHeight;
    QVERIFY(twoNotes > word::layout::NoteSeparatorRoom + 2 * 10 && twoNotes < word::layout::NoteSeparatorRoom + 2 * 30);
    QVERIFY(layout->page(1).notesHeight > word::layout::NoteSeparatorRoom + 12 * 15);
    for (int i = 0; i < layout->pageCount(); ++i) {
        const auto [from, to] = layout->pageFragments(i);
        for (int k = from; k < to; ++k)
            QVERIFY(layout->fragments()[size_t(k)].rect.bottom() <= layout->page(i).notesTop() + 0.01);
    }

    // Drawn: the separator line, a third of the text's width at most, and the notes below it.
    QImage page(layout->pageRect(0).size().toSize(), QImage::Format_RGB32);
    page.fill(Qt::white);
    {
        QPainter painter(&page);
        word::layout::PagePainter(*layout).paintPageAt(&painter, 0);
    }
    const double left = layout->section(0).margins.left();
    const int lineY = qRound(layout->page(0).notesTop() - layout->pageRect(0).top() + word::layout::NoteSeparatorRoom / 2);
    auto inkAt = [&](int x, int y0, int y1) {
        for (int y = y0; y <= y1; ++y)
            if (qGray(page.pixel(x, y)) < 160)
                return true;
        return false;
    };
    QVERIFY(inkAt(qRound(left + 40), lineY - 1, lineY + 1));
    QVERIFY(!inkAt(qRound(left + 300), lineY - 1, lineY + 1));
    int noteInk = 0;
    for (int x = qRound(left); x < qRound(left + 200); ++x)
        noteInk += inkAt(x, lineY + 4, qRound(layout->page(0).bodyBottom - layout->pageRect(0).top())) ? 1 : 0;
    QVERIFY(noteInk > 20);

    // Typing between two references of a page lays out as a full pass would.
    QTextCursor c(text->findBlockByNumber(5));
    c.insertText(QStringLiteral("gépelt "));
    QVERIFY(layout->lastLayoutIncremental());
    std::vector<std::pair<size_t, double>> notes;
    for (int i = 0; i < layout->pageCount(); ++i)
        notes.push_back({layout->page(i).notes.size(), layout->page(i).notesHeight});
    const int lastPage = pageOf(*layout, text, QStringLiteral("Jegyzettel"));
    layout->relayout();
    QCOMPARE(pageOf(*layout, text, QStringLiteral("Jegyzettel")), lastPage);
    QCOMPARE(size_t(layout->pageCount()), notes.size());
    for (int i = 0; i < layout->pageCount(); ++i) {
        QCOMPARE(layout->page(i).notes.size(), notes[size_t(i)].first);
        QCOMPARE(layout->page(i).notesHeight, notes[size_t(i)].second);
    }
    QCOMPARE(layout->page(0).notesHeight, twoNotes);
}

void TestLayout::tableRowsBreakAcrossPages_data()
{
    QTest::addColumn<QString>("trPr");
    QTest::addColumn<int>("bigCell");        // paragraphs of the tall cell
    QTest::addColumn<int>("firstPage");      // the page of its first paragraph
    QTest::addColumn<int>("lastPage");       // and of its last
    // 30 paragraphs before leave about 19 lines of page 1.
    QTest::newRow("breaks at a line") << QString() << 30 << 0 << 1;
    QTest::newRow("cantSplit moves whole") << QStringLiteral("<w:trPr><w:cantSplit/></w:trPr>") << 30 << 1 << 1;
    QTest::newRow("taller than a page") << QString() << 160 << 0 << 3;
    // Too tall for any page, it starts on a page of its own and breaks all the same.
    QTest::newRow("cantSplit taller than a page") << QStringLiteral("<w:trPr><w:cantSplit/></w:trPr>") << 160 << 1 << 4;
}

// A row that does not fit on the rest of the page breaks between lines, its
// cells' boxes on both pages and the header row again on top of the next;
// cantSplit rows go over whole.
void TestLayout::tableRowsBreakAcrossPages()
{
    QFETCH(QString, trPr);
    QFETCH(int, bigCell);
    QFETCH(int, firstPage);
    QFETCH(int, lastPage);
    auto cell = [](const QString& word, int n) {
        QString out = QStringLiteral("<w:tc><w:tcPr><w:tcW w:w=\"4000\" w:type=\"dxa\"/></w:tcPr>");
        for (int i = 0; i < n; ++i)
            out += p(r(QStringLiteral("%1 %2").arg(word).arg(i)));
        return out + QStringLiteral("</w:tc>");
    };
    const QString tbl = QStringLiteral("<w:tbl><w:tblPr><w:tblW w:w=\"8000\" w:type=\"dxa\"/><w:tblBorders><w:top w:val=\"single\" w:sz=\"8\"/>"
                                       "<w:bottom w:val=\"single\" w:sz=\"8\"/><w:insideH w:val=\"single\" w:sz=\"8\"/></w:tblBorders></w:tblPr>"
                                       "<w:tblGrid><w:gridCol w:w=\"4000\"/><w:gridCol w:w=\"4000\"/></w:tblGrid>")
                      + QStringLiteral("<w:tr><w:trPr><w:tblHeader/></w:trPr>") + cell(QStringLiteral("Fej"), 1) + cell(QStringLiteral("Fejléc"), 1) + QStringLiteral("</w:tr>")
                      + QStringLiteral("<w:tr>") + trPr + cell(QStringLiteral("Cella"), bigCell) + cell(QStringLiteral("Kicsi"), 5) + QStringLiteral("</w:tr>")
                      + QStringLiteral("</w:tbl>");
    PageLayout* layout = open(paras(30) + tbl + p(r(QStringLiteral("Utána"))));
    QVERIFY(layout);
    QTextDocument* text = m_doc->textDocument();
    QCOMPARE(pageOf(*layout, text, QStringLiteral("Cella 0")), firstPage);
    QCOMPARE(pageOf(*layout, text, QStringLiteral("Cella %1").arg(bigCell - 1)), lastPage);
    QCOMPARE(pageOf(*layout, text, QStringLiteral("Kicsi 4")), firstPage);
    // Every line of the tall cell lies in the body of a page, and the cell's lines keep their order.
    double prevY = -1;
    for (QTextBlock b = text->begin(); b.isValid(); b = b.next()) {
        if (!b.text().startsWith(QStringLiteral("Cella ")))
            continue;
        const int page = layout->pageOfPosition(b.position());
        QVERIFY(page >= 0);
        const double y = b.layout()->position().y() + b.layout()->lineAt(0).y();
        {
            QVERIFY2(y >= layout->page(page).bodyTop - 0.01 && y + b.layout()->lineAt(0).height() <= layout->page(page).bodyBottom + 0.01,
                     qPrintable(b.text()));
        }
        QVERIFY(y > prevY);
        prevY = y;
    }
    // The row's cell boxes stand on each of its pages; the header is repeated on every page after the first.
    {
        for (int page = firstPage; page <= lastPage; ++page) {
            int boxes = 0, headerCopies = 0;
            const auto [from, to] = layout->pageFragments(page);
            for (int k = from; k < to; ++k) {
                const word::layout::Fragment& f = layout->fragments()[size_t(k)];
                if (f.page != page)
                    continue;
                boxes += f.kind == word::layout::Fragment::Box ? 1 : 0;
                headerCopies += f.kind == word::layout::Fragment::Lines && !f.offset.isNull() ? 1 : 0;
            }
            QVERIFY2(boxes >= 2, qPrintable(QString::number(page)));
            QCOMPARE(headerCopies, page == 0 ? 0 : 2);   // the header row itself is on page 1
        }
    }
    QVERIFY(pageOf(*layout, text, QStringLiteral("Utána")) >= lastPage);
}

void TestLayout::columnsOfASection_data()
{
    QTest::addColumn<QString>("cols");
    QTest::addColumn<QList<double>>("lefts");     // each column's left edge from the margin
    QTest::addColumn<QList<double>>("widths");
    // A4 with 2.5 cm margins: 604.8 units of text.
    QTest::newRow("two equal") << QStringLiteral("<w:cols w:num=\"2\" w:space=\"720\"/>") << QList<double>{0, 326.4}
                               << QList<double>{278.4, 278.4};
    QTest::newRow("three, default space") << QStringLiteral("<w:cols w:num=\"3\"/>") << QList<double>{0, 217.6, 435.2}
                                          << QList<double>{169.6, 169.6, 169.6};
    QTest::newRow("own widths") << QStringLiteral("<w:cols w:num=\"2\" w:space=\"100\" w:equalWidth=\"0\"><w:col w:w=\"3000\" w:space=\"500\"/><w:col w:w=\"5000\"/></w:cols>")
                                << QList<double>{0, 233.3} << QList<double>{200, 333.3};
    QTest::newRow("own widths wider than the text") << QStringLiteral("<w:cols w:num=\"2\" w:equalWidth=\"0\"><w:col w:w=\"6000\" w:space=\"500\"/><w:col w:w=\"6000\"/></w:cols>")
                                                    << QList<double>{0, 326.4} << QList<double>{278.4, 278.4};
    QTest::newRow("too many") << QStringLiteral("<w:cols w:num=\"100000\"/>") << QList<double>{0} << QList<double>{604.8};
    QTest::newRow("space past the text") << QStringLiteral("<w:cols w:num=\"2\" w:space=\"999999999\"/>") << QList<double>{0} << QList<double>{604.8};
    QTest::newRow("negative width") << QStringLiteral("<w:cols w:equalWidth=\"0\"><w:col w:w=\"-5\"/><w:col w:w=\"3000\"/></w:cols>")
                                    << QList<double>{0} << QList<double>{604.8};
}

// The text runs down each column of a page in turn, columns as the section
// sets them, and a page holds as many lines as its columns do.
void TestLayout::columnsOfASection()
{
    QFETCH(QString, cols);
    QFETCH(QList<double>, lefts);
    QFETCH(QList<double>, widths);
    const word::layout::SectionProps s = word::layout::parseSection(QStringLiteral("<w:sectPr>%1%2</w:sectPr>").arg(A4, cols));
    QCOMPARE(s.columnCount(), int(lefts.size()));
    for (int i = 0; i < s.columnCount(); ++i) {
        QVERIFY2(std::abs(s.columnLeft(i) - lefts[i]) < 0.2, qPrintable(QString::number(s.columnLeft(i))));
        QVERIFY2(std::abs(s.columnWidth(i) - widths[i]) < 0.2, qPrintable(QString::number(s.columnWidth(i))));
    }
    // The paragraphs fill the columns of a page one after the other, each from its top.
    const int n = int(lefts.size());
    PageLayout* layout = open(paras(55 * n + 10) + sectPr(A4 + cols));
    QVERIFY(layout);
    QTextDocument* text = m_doc->textDocument();
    const double margin = layout->pageRect(0).left() + 1417 / 15.0;
    const double top0 = placeOf(text, QStringLiteral("Bekezdés 0"), QStringLiteral("B")).y();
    int page = 0, column = 0, inColumn = 0, perColumn = -1;
    for (int i = 0; i < 55 * n + 10; ++i) {
        const QString name = QStringLiteral("Bekezdés %1").arg(i);
        const int pg = pageOf(*layout, text, name);
        const QPointF at = placeOf(text, name, QStringLiteral("B"));
        int c = -1;
        for (int k = 0; k < n; ++k)
            if (std::abs(at.x() - margin - lefts[k]) < 0.5)
                c = k;
        QVERIFY2(c >= 0, qPrintable(name));
        if (pg != page || c != column) {
            // The next column of the page, or the first of the next page.
            QVERIFY2((pg == page && c == column + 1) || (pg == page + 1 && c == 0 && column == n - 1), qPrintable(name));
            if (perColumn < 0)
                perColumn = inColumn;
            QCOMPARE(inColumn, perColumn);
            QVERIFY(std::abs(at.y() - (top0 + layout->pageRect(pg).top())) < 0.5);
            page = pg;
            column = c;
            inColumn = 0;
        }
        ++inColumn;
        QVERIFY(at.y() + 15 < layout->page(pg).bodyBottom);
    }
    QVERIFY(perColumn > 40 && perColumn < 60);
    QCOMPARE(page, 1);

    // A paragraph running through the columns: each line as wide as the column it stands in.
    QString words;
    for (int i = 0; i < 900; ++i)
        words += QStringLiteral("szó%1 ").arg(i);
    layout = open(paras(30) + p(r(words)) + sectPr(A4 + cols));
    QVERIFY(layout);
    text = m_doc->textDocument();
    QTextBlock b = text->findBlockByNumber(30);
    QVERIFY(b.layout()->lineCount() > 50);
    for (int i = 0; i < b.layout()->lineCount(); ++i) {
        const QTextLine line = b.layout()->lineAt(i);
        const double x = b.layout()->position().x() + line.x();
        double pageLeft = margin;
        for (int pg = 0; pg < layout->pageCount(); ++pg)
            if (b.layout()->position().y() + line.y() >= layout->pageRect(pg).top())
                pageLeft = layout->pageRect(pg).left() + 1417 / 15.0;
        int c = -1;
        for (int k = 0; k < n; ++k)
            if (std::abs(x - pageLeft - lefts[k]) < 0.5)
                c = k;
        QVERIFY2(c >= 0, qPrintable(QString::number(i)));
        QVERIFY2(line.width() <= widths[c] + 0.5, qPrintable(QStringLiteral("%1: %2 in %3").arg(i).arg(line.width()).arg(widths[c])));
    }
}

// A column break goes on in the next column, in the last one on the next
// page; a continuous section's columns start below the text before them.
void TestLayout::columnBreaks()
{
    const QString twoCols = QStringLiteral("<w:cols w:num=\"2\" w:space=\"720\"/>");
    const QString columnBreak = QStringLiteral("<w:r><w:br w:type=\"column\"/></w:r>");
    PageLayout* layout = open(paras(3) + sectPr(A4)
                              + p(r(QStringLiteral("Első")) + columnBreak) + p(r(QStringLiteral("Második")))
                              + p(r(QStringLiteral("Harmadik")) + columnBreak + r(QStringLiteral("Negyedik")))
                              + sectPr(A4 + twoCols + QStringLiteral("<w:type w:val=\"continuous\"/>"))
                              + p(r(QStringLiteral("Egy")) + columnBreak) + p(r(QStringLiteral("Kettő"))));
    QVERIFY(layout);
    QTextDocument* text = m_doc->textDocument();
    const double margin = layout->pageRect(0).left() + 1417 / 15.0;
    const QPointF first = placeOf(text, QStringLiteral("Első"), QStringLiteral("Első"));
    const QPointF second = placeOf(text, QStringLiteral("Második"), QStringLiteral("Második"));
    const QPointF fourth = placeOf(text, QStringLiteral("Harmadik"), QStringLiteral("Negyedik"));
    QCOMPARE(pageOf(*layout, text, QStringLiteral("Első")), 0);
    QCOMPARE(pageOf(*layout, text, QStringLiteral("Második")), 0);
    // The columns start below the one-column paragraphs, not at the page's top.
    QVERIFY(first.y() > layout->page(0).bodyTop + 3 * 15);
    QVERIFY(std::abs(second.y() - first.y()) < 0.5);
    QVERIFY(std::abs(second.x() - margin - 326.4) < 0.5);
    QVERIFY(std::abs(first.x() - margin) < 0.5);
    // The break in the last column: the next page, its first column.
    QVERIFY(fourth.y() > layout->pageRect(1).top());
    QVERIFY2(std::abs(fourth.x() - margin) < 0.5, qPrintable(QStringLiteral("%1 %2").arg(fourth.x()).arg(margin)));
    // In the fixture's one-column last section a column break starts a page.
    QCOMPARE(pageOf(*layout, text, QStringLiteral("Egy")), 2);
    QCOMPARE(pageOf(*layout, text, QStringLiteral("Kettő")), 3);
}

// Columns that a continuous section follows share their text evenly, and the
// section after them starts below the longest; other columns fill down.
void TestLayout::columnsBalanceBeforeAContinuousSection()
{
    const QString twoCols = QStringLiteral("<w:cols w:num=\"2\" w:space=\"720\"/>");
    const QString continuous = QStringLiteral("<w:type w:val=\"continuous\"/>");
    for (const bool balanced : {true, false}) {
        // The balanced columns have a line between them.
        const QString cols = balanced ? QStringLiteral("<w:cols w:num=\"2\" w:space=\"720\" w:sep=\"1\"/>") : twoCols;
        PageLayout* layout = open(p(r(QStringLiteral("Fent"))) + sectPr(A4) + paras(20) + sectPr(A4 + cols + continuous)
                                  + p(r(QStringLiteral("Utána"))) + sectPr(A4 + (balanced ? continuous : QString())));
        QVERIFY(layout);
        QTextDocument* text = m_doc->textDocument();
        const double margin = layout->pageRect(0).left() + 1417 / 15.0;
        int left = 0, right = 0;
        double lowest = 0;
        for (int i = 0; i < 20; ++i) {
            const QString name = QStringLiteral("Bekezdés %1").arg(i);
            QCOMPARE(pageOf(*layout, text, name), 0);
            const QPointF at = placeOf(text, name, QStringLiteral("B"));
            (at.x() < margin + 100 ? left : right) += 1;
            lowest = std::max(lowest, at.y());
        }
        if (balanced) {
            // The empty paragraph holding the section break takes no room.
            QVERIFY2(left == right, qPrintable(QStringLiteral("%1 %2").arg(left).arg(right)));
            QCOMPARE(pageOf(*layout, text, QStringLiteral("Utána")), 0);
            const QPointF after = placeOf(text, QStringLiteral("Utána"), QStringLiteral("U"));
            QVERIFY(after.y() > lowest);
            QVERIFY(std::abs(after.x() - margin) < 0.5);
            QCOMPARE(layout->page(0).columnRules.size(), size_t(1));
            const QLineF rule = layout->page(0).columnRules.front();
            QVERIFY(std::abs(rule.x1() - margin - 302.4) < 0.5 && std::abs(rule.x2() - rule.x1()) < 0.01);
            QVERIFY(rule.y1() <= placeOf(text, QStringLiteral("Bekezdés 0"), QStringLiteral("B")).y() + 0.5);
            QVERIFY(rule.y2() > lowest && rule.y2() <= after.y());
            // Typing in the columns gives the layout a full pass gives.
            QTextCursor c(text->findBlockByNumber(12));
            c.insertText(QStringLiteral("gépelt szöveg "));
            const double y = placeOf(text, QStringLiteral("Utána"), QStringLiteral("U")).y();
            layout->relayout();
            QCOMPARE(placeOf(text, QStringLiteral("Utána"), QStringLiteral("U")).y(), y);
        } else {
            QCOMPARE(left, 20);
            QCOMPARE(pageOf(*layout, text, QStringLiteral("Utána")), 1);
            QVERIFY(layout->page(0).columnRules.empty());
        }
    }
}

// Sizes, counts and references no sound document has: laid out in bounded
// time and pages, nothing drawn outside reason.
void TestLayout::hostileValuesStayBounded()
{
    QString boxes;
    for (int i = 0; i < 300; ++i)
        boxes += checkBox(QStringLiteral("<w:size w:val=\"3276\"/><w:checked/>"));
    QString hidden;
    for (int i = 0; i < 200; ++i)
        hidden += p(r(QStringLiteral("Rejtett"), QStringLiteral("<w:vanish/>")), QStringLiteral("<w:rPr><w:vanish/></w:rPr>"));
    QString tall = QStringLiteral("<w:tbl><w:tblGrid><w:gridCol w:w=\"3000\"/></w:tblGrid><w:tr><w:trPr><w:cantSplit/></w:trPr><w:tc>");
    for (int i = 0; i < 400; ++i)
        tall += p(r(QStringLiteral("Sor %1").arg(i)));
    tall += QStringLiteral("</w:tc></w:tr></w:tbl>");
    const QString continuous = QStringLiteral("<w:type w:val=\"continuous\"/>");
    DocxRecipe recipe;
    recipe.body = p(r(QStringLiteral("Dobozok ")) + boxes + r(QStringLiteral(" vége")))
                + p(r(QStringLiteral("Hiányzó")) + noteRef(QStringLiteral("99")) + noteRef(QStringLiteral("-1")) + noteRef(QStringLiteral("1")))
                + hidden + sectPr(A4 + QStringLiteral("<w:cols w:num=\"45\" w:space=\"0\"/>"))
                + tall + sectPr(A4 + QStringLiteral("<w:cols w:num=\"2\"/>") + continuous)
                + p(r(QStringLiteral("Utána"))) + sectPr(A4 + continuous);
    recipe.extraDocumentRels = rel(QStringLiteral("rIdN"), QStringLiteral("footnotes"), QStringLiteral("footnotes.xml"));
    recipe.extraParts = {{QStringLiteral("word/footnotes.xml"), footnotesPart({{QStringLiteral("1"), 400}})}};
    QElapsedTimer timer;
    timer.start();
    PageLayout* layout = openRecipe(recipe);
    QVERIFY(layout);
    QVERIFY2(timer.elapsed() < 20000, qPrintable(QString::number(timer.elapsed())));
    QTextDocument* text = m_doc->textDocument();
    QCOMPARE(layout->section(0).columnCount(), 1);
    QCOMPARE(layout->noteNumber(QStringLiteral("99")), 0);
    QCOMPARE(layout->noteNumber(QStringLiteral("-1")), 0);
    QCOMPARE(layout->noteNumber(QStringLiteral("1")), 1);
    // The 400-line note keeps a fifth of its page for the text.
    const int notePage = pageOf(*layout, text, QStringLiteral("Hiányzó"));
    QVERIFY(notePage >= 0);
    const word::layout::PageInfo& pg = layout->page(notePage);
    QVERIFY(pg.notesHeight <= (pg.bodyBottom - pg.bodyTop) * 0.8 + 0.01);
    // 400 lines in a column, some 50 a page: about 8 pages, nowhere near one a line.
    QVERIFY2(layout->pageCount() < 30, qPrintable(QString::number(layout->pageCount())));
    QVERIFY(pageOf(*layout, text, QStringLiteral("Utána")) >= pageOf(*layout, text, QStringLiteral("Sor 399")));
    QImage page(layout->pageRect(0).size().toSize(), QImage::Format_RGB32);
    QPainter painter(&page);
    for (int i = 0; i < layout->pageCount(); ++i)
        word::layout::PagePainter(*layout).paintPageAt(&painter, i);
}

void TestLayout::footnoteNumbering_data()
{
    QTest::addColumn<QString>("settings");      // footnotePr of the settings
    QTest::addColumn<QString>("section");       // footnotePr of the section
    QTest::addColumn<QStringList>("marks");     // of the notes on pages 1 and 2
    QTest::newRow("default") << QString() << QString() << QStringList{"1", "2", "3"};
    QTest::newRow("roman from 3") << QStringLiteral("<w:numFmt w:val=\"lowerRoman\"/><w:numStart w:val=\"3\"/>") << QString()
                                  << QStringList{"iii", "iv", "v"};
    QTest::newRow("each page") << QString() << QStringLiteral("<w:numRestart w:val=\"eachPage\"/>") << QStringList{"1", "2", "1"};
    QTest::newRow("section over settings") << QStringLiteral("<w:numFmt w:val=\"upperLetter\"/>")
                                           << QStringLiteral("<w:numFmt w:val=\"chicago\"/>") << QStringList{"*", "\u2020", "\u2021"};
}

// Marks as the settings or the section write them, counted on or started
// again on each page.
void TestLayout::footnoteNumbering()
{
    QFETCH(QString, settings);
    QFETCH(QString, section);
    QFETCH(QStringList, marks);
    DocxRecipe recipe;
    recipe.body = p(r(QStringLiteral("Egy")) + noteRef(QStringLiteral("4")) + r(QStringLiteral("Kettő")) + noteRef(QStringLiteral("2")))
                + paras(60) + p(r(QStringLiteral("Három")) + noteRef(QStringLiteral("6")))
                + sectPr(A4 + (section.isEmpty() ? QString() : QStringLiteral("<w:footnotePr>%1</w:footnotePr>").arg(section)));
    recipe.extraDocumentRels = rel(QStringLiteral("rIdN"), QStringLiteral("footnotes"), QStringLiteral("footnotes.xml"));
    recipe.extraParts = {{QStringLiteral("word/footnotes.xml"), footnotesPart({{QStringLiteral("2"), 1}, {QStringLiteral("4"), 1}, {QStringLiteral("6"), 1}})}};
    if (!settings.isEmpty())
        recipe.settingsXml = QStringLiteral("<w:settings xmlns:w=\"%1\"><w:footnotePr>%2</w:footnotePr></w:settings>").arg(QLatin1String(kW), settings);
    PageLayout* layout = openRecipe(recipe);
    QVERIFY(layout);
    QCOMPARE(pageOf(*layout, m_doc->textDocument(), QStringLiteral("Három")), 1);
    QCOMPARE((QStringList{layout->noteMark(QStringLiteral("4")), layout->noteMark(QStringLiteral("2")), layout->noteMark(QStringLiteral("6"))}), marks);
    QCOMPARE(layout->page(1).notes, std::vector<const word::model::Story*>{layout->noteStory(QStringLiteral("6"))});
}

// The PDF of a document shown with its marks: no hidden text in the body or
// in a footer whose page number is printed, the footnote with its number.
void TestLayout::printedTextLeavesHiddenOut()
{
    const QString footer = QStringLiteral(
        "<w:ftr xmlns:w=\"%1\"><w:p><w:r><w:t xml:space=\"preserve\">Oldal </w:t></w:r>"
        "<w:r><w:rPr><w:vanish/></w:rPr><w:t xml:space=\"preserve\">LABREJTETT </w:t></w:r>"
        "<w:fldSimple w:instr=\" PAGE \"><w:r><w:t>9</w:t></w:r></w:fldSimple></w:p></w:ftr>").arg(QLatin1String(kW));
    DocxRecipe recipe;
    recipe.body = p(r(QStringLiteral("Látható ")) + r(QStringLiteral("TESTREJTETT "), QStringLiteral("<w:vanish/>")) + r(QStringLiteral("szöveg"))
                    + noteRef(QStringLiteral("1")))
                // A font with ligatures: Word sets (and the PDF keeps) every letter.
                + p(r(QStringLiteral("affiliation after office"), QStringLiteral("<w:rFonts w:ascii=\"Carlito\" w:hAnsi=\"Carlito\"/>")))
                + p(r(QStringLiteral("Vége")), QStringLiteral("<w:sectPr xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
                                                          "<w:footerReference w:type=\"default\" r:id=\"rIdF1\"/>%1</w:sectPr>").arg(A4));
    recipe.extraDocumentRels = rel(QStringLiteral("rIdF1"), QStringLiteral("footer"), QStringLiteral("footer1.xml"))
                             + rel(QStringLiteral("rIdN"), QStringLiteral("footnotes"), QStringLiteral("footnotes.xml"));
    recipe.extraParts = {{QStringLiteral("word/footer1.xml"), footer.toUtf8()},
                         {QStringLiteral("word/footnotes.xml"), footnotesPart({{QStringLiteral("1"), 1}})}};
    PageLayout* layout = openRecipe(recipe);
    QVERIFY(layout);
    layout->setShowMarks(true);
    const QString pdf = m_docs.dir() + QStringLiteral("/rejtett.pdf");
    {
        QPdfWriter writer(pdf);
        QVERIFY(word::layout::PagePainter::paintDocument(*layout, writer));
    }
    QProcess poppler;
    poppler.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    if (!poppler.waitForFinished(30000) || poppler.exitStatus() != QProcess::NormalExit || poppler.exitCode() != 0)
        QSKIP("pdftotext (poppler-utils) is not available");
    const QString text = QString::fromUtf8(poppler.readAllStandardOutput());
    QVERIFY2(text.contains(QStringLiteral("Látható")) && text.contains(QStringLiteral("szöveg")), qPrintable(text));
    QVERIFY2(!text.contains(QStringLiteral("REJTETT")), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("affiliation after office")), qPrintable(text));
    QVERIFY(text.contains(QRegularExpression(QStringLiteral("Oldal\\s*1"))));
    QVERIFY(text.contains(QStringLiteral("Jegyzet 1 sora 0")));
    QVERIFY(layout->marksShown());
}

QTEST_MAIN(TestLayout)
#include "tst_layout.moc"
