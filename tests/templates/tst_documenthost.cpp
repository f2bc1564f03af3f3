// The document host: loading, the asynchronous "document complete", the page
// view with the section's paper and margins, the view settings, the selection
// shared with the engine, and the clipboard keys going through the engine so
// that bookmarks travel with the text.

#include "word/application.h"
#include "word/document.h"
#include "word/view/documenthost.h"
#include "word/view/pagesetup.h"
#include "word/view/pagetextitem.h"
#include "word/view/pageview.h"
#include "word/view/ruler.h"

#include <QClipboard>
#include <QMimeData>
#include <QSignalSpy>
#include <QTextDocument>
#include <QtTest>

using word::view::DocumentHost;
using word::view::PageSetup;

namespace {

QString sample(const QString& name)
{
    return QStringLiteral(QUILLORA_BIN_DIR "/sablonok/") + name;
}

const QString Variant = QStringLiteral("adasveteli-egyesel-egyesvev.dot");

QPair<int, int> bookmarkSpan(word::Document& doc, const QString& name)
{
    const word::Range r = doc.Bookmarks().Item(name).Range();
    return { r.Start(), r.End() };
}

} // namespace

class TestDocumentHost : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void completeIsReportedLater();
    void failedLoadHasNoDocument();
    void hostingChangesNothingInTheDocument();
    void pageSetup_data();
    void pageSetup();
    void pagesOfTheSample();
    void viewSettingsFollowTheEngine();
    void selectionSharedBothWays();
    void storySelectionStaysInItsStory();
    void cutAndPasteCarryBookmarks();
    void typingKeepsBookmarksInPlace();
    void typingOverASelectionGoesThroughTheEngine();
    void destroyingTheHostClosesTheDocument();
    void applicationGoingFirstLeavesAnEmptyHost();

private:
    DocumentHost* load(const QString& path);
    // The sample loaded into the panel, and the panel on screen.
    bool loadShown(DocumentHost*& host);

    word::Application m_app;
    std::unique_ptr<QWidget> m_panel;
};

void TestDocumentHost::init()
{
    m_panel = std::make_unique<QWidget>();
    m_panel->resize(700, 600);
}

void TestDocumentHost::cleanup()
{
    m_panel.reset();
}

DocumentHost* TestDocumentHost::load(const QString& path)
{
    auto* host = new DocumentHost(&m_app, m_panel.get());
    host->resize(m_panel->size());
    host->Navigate(path);
    (void)QTest::qWaitFor([host] { return host->pageView() != nullptr; });   // the callers check it
    return host;
}

bool TestDocumentHost::loadShown(DocumentHost*& host)
{
    host = load(sample(Variant));
    m_panel->show();
    return host->pageView() && QTest::qWaitForWindowExposed(m_panel.get());
}

void TestDocumentHost::completeIsReportedLater()
{
    auto* host = new DocumentHost(&m_app, m_panel.get());
    QSignalSpy complete(host, &DocumentHost::documentComplete);
    host->Navigate(sample(Variant));
    QVERIFY(host->Document());
    QCOMPARE(complete.count(), 0);
    QVERIFY(!host->pageView());
    QTRY_COMPARE(complete.count(), 1);
    QVERIFY(host->pageView());
}

void TestDocumentHost::failedLoadHasNoDocument()
{
    auto* host = new DocumentHost(&m_app, m_panel.get());
    QSignalSpy complete(host, &DocumentHost::documentComplete);
    host->Navigate(sample(QStringLiteral("nincs-ilyen.dot")));
    QVERIFY(!host->Document());
    QVERIFY(!host->errorMessage().isEmpty());
    QVERIFY(!host->pageView());
    QTest::qWait(30);
    QCOMPARE(complete.count(), 0);
}

// Laying the text out for the page view is no edit: the bookmarks stay where
// they are, the document stays saved and there is nothing to undo.
void TestDocumentHost::hostingChangesNothingInTheDocument()
{
    word::Application plainApp;
    word::Document* plain = plainApp.Documents().Open(sample(Variant));
    DocumentHost* host = nullptr;
    QVERIFY(loadShown(host));
    word::Document& doc = *host->Document();
    QVERIFY(doc.Saved());
    QVERIFY(!doc.textDocument()->isUndoAvailable());
    for (const QString& name : { QStringLiteral("Jogisz"), QStringLiteral("Termsz"), QStringLiteral("Eladó_1"),
                                 QStringLiteral("KeltDátum_3") })
        QCOMPARE(bookmarkSpan(doc, name), bookmarkSpan(*plain, name));
    QVERIFY(doc.Saved());
}

void TestDocumentHost::pageSetup_data()
{
    QTest::addColumn<QString>("xml");
    QTest::addColumn<QSizeF>("paper");
    QTest::addColumn<QMarginsF>("margins");
    const PageSetup a4;
    QTest::newRow("letter, other prefix")
        << "<x:body><x:sectPr><x:pgSz x:w=\"12240\" x:h=\"15840\"/><x:pgMar x:top=\"1440\" x:right=\"720\" "
           "x:bottom=\"1080\" x:left=\"1800\"/></x:sectPr></x:body>"
        << QSizeF(612, 792) << QMarginsF(90, 72, 36, 54);
    QTest::newRow("the last section counts")
        << "<w:sectPr><w:pgSz w:w=\"5000\" w:h=\"5000\"/></w:sectPr><w:sectPr><w:pgSz w:w=\"11906\" "
           "w:h=\"16838\" w:orient=\"portrait\"/></w:sectPr>"
        << QSizeF(595.3, 841.9) << a4.margins;
    QTest::newRow("no section properties") << "<w:body/>" << a4.paper << a4.margins;
    QTest::newRow("margins wider than the paper")
        << "<w:sectPr><w:pgSz w:w=\"11906\" w:h=\"16838\"/><w:pgMar w:left=\"9000\" w:right=\"9000\"/></w:sectPr>"
        << QSizeF(595.3, 841.9) << a4.margins;
    QTest::newRow("negative top margin means the same distance")
        << "<w:sectPr><w:pgMar w:top=\"-1440\" w:bottom=\"1440\" w:left=\"1440\" w:right=\"1440\"/></w:sectPr>"
        << a4.paper << QMarginsF(72, 72, 72, 72);
}

void TestDocumentHost::pageSetup()
{
    QFETCH(QString, xml);
    QFETCH(QSizeF, paper);
    QFETCH(QMarginsF, margins);
    const PageSetup page = word::view::pageSetupFromXml(xml.toUtf8());
    QVERIFY(qAbs(page.paper.width() - paper.width()) < 0.1);
    QVERIFY(qAbs(page.paper.height() - paper.height()) < 0.1);
    QCOMPARE(page.margins.left(), margins.left());
    QCOMPARE(page.margins.top(), margins.top());
    QCOMPARE(page.margins.right(), margins.right());
    QCOMPARE(page.margins.bottom(), margins.bottom());
}

void TestDocumentHost::pagesOfTheSample()
{
    DocumentHost* host = load(sample(QStringLiteral("adasveteli-tobbesel-tobbesvev.dot")));
    word::view::PageView* view = host->pageView();
    QVERIFY(view);
    // The contract and the separate registration consent page.
    QVERIFY(view->pageCount() >= 2);
    const double px = view->pixelsPerPoint();
    QVERIFY(qAbs(view->pageRect(0).width() - 595.3 * px) < 1);
    QVERIFY(qAbs(view->pageRect(1).top() - 841.9 * px) < 1);
    QCOMPARE(view->pageCount(), host->Document()->textDocument()->pageCount());
}

void TestDocumentHost::viewSettingsFollowTheEngine()
{
    DocumentHost* host = load(sample(Variant));
    word::Document& doc = *host->Document();
    word::Window& window = doc.ActiveWindow();
    window.View().Zoom().setPercentage(150);
    QCOMPARE(host->pageView()->transform().m11(), 1.5);
    QCOMPARE(host->pageView()->zoomPercent(), 150);
    window.View().setShowAll(true);
    QVERIFY(doc.textDocument()->defaultTextOption().flags() & QTextOption::ShowLineAndParagraphSeparators);
    window.View().setShowAll(false);
    QVERIFY(!(doc.textDocument()->defaultTextOption().flags() & QTextOption::ShowTabsAndSpaces));
    window.setDisplayRulers(true);
    QVERIFY(!host->ruler()->isHidden());
    window.setDisplayRulers(false);
    QVERIFY(host->ruler()->isHidden());
    m_app.setDisplayScrollBars(false);
    QCOMPARE(host->pageView()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    m_app.setDisplayScrollBars(true);
    QCOMPARE(host->pageView()->verticalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
}

void TestDocumentHost::selectionSharedBothWays()
{
    DocumentHost* host = nullptr;
    QVERIFY(loadShown(host));
    word::Document& doc = *host->Document();
    word::view::PageTextItem* item = host->pageView()->textItem();
    doc.ActiveWindow().Selection().SetRange(200, 210);
    QCOMPARE(item->textCursor().selectionStart(), 200);
    QCOMPARE(item->textCursor().selectionEnd(), 210);

    host->pageView()->setFocus();
    QTest::keyClick(host->pageView()->viewport(), Qt::Key_End);
    const QTextCursor shown = item->textCursor();
    QVERIFY(shown.position() > 210);
    QCOMPARE(doc.ActiveWindow().Selection().Start(), shown.position());
    QCOMPARE(doc.ActiveWindow().Selection().End(), shown.position());
}

// A value written at a header's bookmark through the shown document's
// selection lands in the header: showing the selection does not pull it back
// into the main text, and the page keeps the user's cursor.
void TestDocumentHost::storySelectionStaysInItsStory()
{
    DocumentHost* host = nullptr;
    QVERIFY(loadShown(host));
    word::Document& doc = *host->Document();
    const QString body = doc.Content().Text();
    doc.ActiveWindow().Selection().SetRange(200, 210);
    const QString name = QStringLiteral("Szerződésszám_2");
    doc.Bookmarks().Item(name).Select();
    QVERIFY(doc.ActiveWindow().Selection().story());
    doc.ActiveWindow().Selection().setText(QStringLiteral("2026/118"));
    doc.Bookmarks().Add(name);
    QCOMPARE(doc.Bookmarks().Item(name).Range().Text(), QStringLiteral("2026/118"));
    QCOMPARE(doc.Content().Text(), body);
    QCOMPARE(host->pageView()->textItem()->textCursor().selectionStart(), 200);
}

void TestDocumentHost::cutAndPasteCarryBookmarks()
{
    DocumentHost* host = nullptr;
    QVERIFY(loadShown(host));
    word::Document& doc = *host->Document();
    const auto [start, end] = bookmarkSpan(doc, QStringLiteral("Vételár_1"));
    doc.ActiveWindow().Selection().SetRange(start - 1, end + 1);
    host->pageView()->setFocus();
    QTest::keyClick(host->pageView()->viewport(), Qt::Key_X, Qt::ControlModifier);
    QVERIFY(!doc.Bookmarks().Exists(QStringLiteral("Vételár_1")));
    const QStringList formats = QGuiApplication::clipboard()->mimeData()->formats();
    QVERIFY(formats.contains(QStringLiteral("text/plain")));
    QVERIFY(formats.size() > 2);   // the engine's own fragment besides text and html

    doc.ActiveWindow().Selection().SetRange(start - 1, start - 1);
    QTest::keyClick(host->pageView()->viewport(), Qt::Key_V, Qt::ControlModifier);
    QVERIFY(doc.Bookmarks().Exists(QStringLiteral("Vételár_1")));
    QCOMPARE(bookmarkSpan(doc, QStringLiteral("Vételár_1")), qMakePair(start, end));
    QCOMPARE(doc.Bookmarks().Item(QStringLiteral("Vételár_1")).Range().Text(), QStringLiteral("***"));
}

// A key typed over a selected one-character bookmark replaces it as any
// other replacement does: the bookmark goes, and one undo brings back the
// character and the bookmark.
void TestDocumentHost::typingOverASelectionGoesThroughTheEngine()
{
    DocumentHost* host = nullptr;
    QVERIFY(loadShown(host));
    word::Document& doc = *host->Document();
    const auto [start, end] = bookmarkSpan(doc, QStringLiteral("Foglaló_1"));
    doc.Bookmarks().Add(QStringLiteral("Egy"), doc.Range(start, start + 1));
    const QString before = doc.Range(start, start + 1).Text();
    doc.ActiveWindow().Selection().SetRange(start, start + 1);
    host->pageView()->setFocus();
    QTest::keyClicks(host->pageView()->viewport(), QStringLiteral("Q"));
    QCOMPARE(doc.Range(start, start + 1).Text(), QStringLiteral("Q"));
    QVERIFY(!doc.Bookmarks().Exists(QStringLiteral("Egy")));
    QCOMPARE(doc.ActiveWindow().Selection().Start(), start + 1);
    QVERIFY(doc.Undo());
    QCOMPARE(doc.Range(start, start + 1).Text(), before);
    QVERIFY(doc.Bookmarks().Exists(QStringLiteral("Egy")));
    QCOMPARE(bookmarkSpan(doc, QStringLiteral("Foglaló_1")), qMakePair(start, end));
}

void TestDocumentHost::typingKeepsBookmarksInPlace()
{
    DocumentHost* host = nullptr;
    QVERIFY(loadShown(host));
    word::Document& doc = *host->Document();
    const auto [start, end] = bookmarkSpan(doc, QStringLiteral("Foglaló_1"));
    doc.ActiveWindow().Selection().SetRange(start - 1, start - 1);
    host->pageView()->setFocus();
    QTest::keyClicks(host->pageView()->viewport(), QStringLiteral("abc"));
    QCOMPARE(bookmarkSpan(doc, QStringLiteral("Foglaló_1")), qMakePair(start + 3, end + 3));
    QCOMPARE(doc.Bookmarks().Item(QStringLiteral("Foglaló_1")).Range().Text(), QStringLiteral("***"));
    QVERIFY(!doc.Saved());
}

void TestDocumentHost::destroyingTheHostClosesTheDocument()
{
    DocumentHost* host = load(sample(Variant));
    QPointer<word::Document> doc = host->Document();
    const int open = m_app.Documents().Count();
    delete host;
    QVERIFY(!doc);
    QCOMPARE(m_app.Documents().Count(), open - 1);
}

// At the program's end the engine may go before the window and its host.
void TestDocumentHost::applicationGoingFirstLeavesAnEmptyHost()
{
    auto engine = std::make_unique<word::Application>();
    auto* host = new DocumentHost(engine.get(), m_panel.get());
    host->Navigate(sample(Variant));
    QTRY_VERIFY(host->pageView());
    m_panel->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_panel.get()));
    engine.reset();
    QVERIFY(!host->Document());
    QVERIFY(!host->pageView());
    m_panel->repaint();
    delete host;
}

QTEST_MAIN(TestDocumentHost)
#include "tst_documenthost.moc"
