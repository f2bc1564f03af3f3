// The page layout without a window: page counts, where pages break, which
// header and footer a page gets, table column widths, bad page setups.

#include "wordfixture.h"

#include "word/document.h"
#include "word/layout/fields.h"
#include "word/layout/pagelayout.h"
#include "word/layout/props.h"
#include "word/model/docmodel.h"
#include "word/model/story.h"

#include <QTest>
#include <QTextDocument>
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

QString rel(const QString& id, const QString& type, const QString& target)
{
    return QStringLiteral("<Relationship Id=\"%1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/%2\" Target=\"%3\"/>")
        .arg(id, type, target);
}

} // namespace

class TestLayout : public QObject {
    Q_OBJECT
private slots:
    void pageCounts_data();
    void pageCounts();
    void breaksBefore_data();
    void breaksBefore();
    void sectionsKeepTheirPaper();
    void impossiblePageSetups_data();
    void impossiblePageSetups();
    void headersChosenAsWordChooses_data();
    void headersChosenAsWordChooses();
    void tableColumnsFollowTheGrid();
    void pageNumberFieldsInTheFooter();
    void incrementalRelayoutMatchesFull();

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

QTEST_MAIN(TestLayout)
#include "tst_layout.moc"
