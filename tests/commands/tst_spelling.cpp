// The spelling check without a window: the Hungarian checker and the user's
// word list, a missing dictionary, which words are checked, the walk through a
// document with its unknown and repeated words, replacements that keep
// formatting and bookmarks, and the underline in the page: marks only in the
// layout, only changed paragraphs checked again, suggestions in the context menu.

#include "commands/spellcontextmenu.h"
#include "commands/speller.h"
#include "commands/spellhighlighter.h"
#include "commands/spellingwalk.h"
#include "word/wordfixture.h"

#include "word/bookmarks.h"
#include "word/document.h"
#include "word/error.h"
#include "word/view/pageview.h"

#include <QMenu>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QtTest/QtTest>

using namespace wordtest;
using commands::SpellingIssue;
using commands::SpellingWalk;

class TestSpelling : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void knownAndUnknownWords_data();
    void knownAndUnknownWords();
    void suggestionsOfAMisspeltWord();
    void userDictionaryIsAPlainWordList();
    void missingDictionaryNamesThePackage();
    void checkableWords_data();
    void checkableWords();
    void walkFindsUnknownAndRepeated();
    void walkOfEmptyAndForeignDocumentsEnds_data();
    void walkOfEmptyAndForeignDocumentsEnds();
    void replacementKeepsFormatAndBookmark();
    void replaceAllAndIgnoreAll();
    void headersAndFootersAfterTheMainText();
    void underlineLivesInTheLayoutOnly();
    void onlyChangedParagraphsAreCheckedAgain();
    void contextMenuOffersSuggestions();

private:
    commands::Speller& speller() { return *m_speller; }
    QTemporaryDir m_dir;
    std::unique_ptr<commands::Speller> m_speller;
    FixtureDocuments m_docs { QStringLiteral("spelling") };
};

void TestSpelling::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_speller = std::make_unique<commands::Speller>(commands::Speller::defaultDictionaryFolder(),
                                                    m_dir.filePath(QStringLiteral("sajat.dic")));
}

void TestSpelling::knownAndUnknownWords_data()
{
    QTest::addColumn<QString>("word");
    QTest::addColumn<bool>("correct");
    QTest::newRow("contract") << "szerződés" << true;
    QTest::newRow("compound") << "adásvételi" << true;
    QTest::newRow("suffixed") << "ingatlanról" << true;
    QTest::newRow("capitalised") << "Eladó" << true;
    QTest::newRow("wrong accent") << "szerzödés" << false;
    QTest::newRow("doubled letter") << "kutyya" << false;
    QTest::newRow("nonsense") << "qxzvb" << false;
}

void TestSpelling::knownAndUnknownWords()
{
    QFETCH(QString, word);
    QFETCH(bool, correct);
    QCOMPARE(speller().isCorrect(word), correct);
}

void TestSpelling::suggestionsOfAMisspeltWord()
{
    const QStringList s = speller().suggestions(QStringLiteral("szerzödés"));
    QVERIFY2(s.contains(QStringLiteral("szerződés")), qPrintable(s.join(u',')));
    QVERIFY(speller().suggestions(QStringLiteral("szerzödés"), 2).size() <= 2);
}

void TestSpelling::userDictionaryIsAPlainWordList()
{
    const QString path = m_dir.filePath(QStringLiteral("masik/szotar.dic"));
    {
        commands::Speller s(commands::Speller::defaultDictionaryFolder(), path);
        QVERIFY(!s.isCorrect(QStringLiteral("Quillorás")));
        s.addToDictionary(QStringLiteral("Quillorás"));
        s.addToDictionary(QStringLiteral("Quillorás"));   // once only
        s.addToDictionary(QStringLiteral("kvxzy"));
        QVERIFY(s.isCorrect(QStringLiteral("Quillorás")));
    }
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(f.readAll()), QStringLiteral("Quillorás\nkvxzy\n"));
    commands::Speller again(commands::Speller::defaultDictionaryFolder(), path);
    QVERIFY(again.isCorrect(QStringLiteral("Quillorás")));
    QVERIFY(again.isCorrect(QStringLiteral("kvxzy")));
    QVERIFY(!again.isCorrect(QStringLiteral("kvxzyy")));
}

void TestSpelling::missingDictionaryNamesThePackage()
{
    QTemporaryDir empty;
    try {
        commands::Speller s(empty.path(), m_dir.filePath(QStringLiteral("x.dic")));
        QFAIL("a checker without a dictionary was made");
    } catch (const word::Error& e) {
        QVERIFY2(e.message().contains(QStringLiteral("hunspell-hu")), qPrintable(e.message()));
        QVERIFY2(e.message().contains(QStringLiteral("hu_HU.dic")), qPrintable(e.message()));
    }
}

void TestSpelling::checkableWords_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("words");
    QTest::newRow("plain") << "Ez egy ház." << QStringList{"Ez", "egy", "ház"};
    QTest::newRow("codes and names left out") << "01-09-123456 Eladó_Cégnév 12345678-2-41 A4"
                                               << QStringList{};
    QTest::newRow("capitals only left out") << "ÁFA és KFT" << QStringList{"és"};
    QTest::newRow("inner hyphen joins") << "adás-vétel -kor" << QStringList{"adás-vétel", "kor"};
    QTest::newRow("single capital") << "A ház" << QStringList{"A", "ház"};
}

void TestSpelling::checkableWords()
{
    QFETCH(QString, text);
    QFETCH(QStringList, words);
    QStringList got;
    for (const commands::WordSpan& w : commands::checkableWords(text))
        got << text.mid(w.start, w.length);
    QCOMPARE(got, words);
}

void TestSpelling::walkFindsUnknownAndRepeated()
{
    word::Document* doc = m_docs.open(p(r("Ez a szerzödés érvényes. Második mondat.")) + p(r("A ház a a kertben áll.")));
    const QList<SpellingIssue> issues = SpellingWalk::collect(*doc, speller());
    QCOMPARE(issues.size(), 2);
    QCOMPARE(issues[0].kind, SpellingIssue::Unknown);
    QCOMPARE(issues[0].word, QStringLiteral("szerzödés"));
    QCOMPARE(issues[0].sentence, QStringLiteral("Ez a szerzödés érvényes."));
    QCOMPARE(issues[0].sentence.mid(issues[0].sentenceOffset, 9), QStringLiteral("szerzödés"));
    QVERIFY(issues[0].suggestions.contains(QStringLiteral("szerződés")));
    QCOMPARE(issues[1].kind, SpellingIssue::Repeated);
    QCOMPARE(issues[1].word, QStringLiteral("a"));
    QCOMPARE(doc->Range(issues[1].start, issues[1].end).Text(), QStringLiteral(" a"));
    QCOMPARE(issues[1].sentence, QStringLiteral("A ház a a kertben áll."));
    QVERIFY(doc->Saved());   // looking changes nothing

    // Deleting the repeated word leaves one.
    SpellingWalk walk(*doc, speller());
    QVERIFY(walk.next());
    std::optional<SpellingIssue> repeated = walk.next();
    QVERIFY(repeated && repeated->kind == SpellingIssue::Repeated);
    walk.replace(QString());
    QVERIFY(!walk.next());
    QVERIFY(doc->Content().Text().endsWith(QStringLiteral("A ház a kertben áll.")));
}

void TestSpelling::walkOfEmptyAndForeignDocumentsEnds_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<int>("minIssues");
    QTest::newRow("empty") << p(QString()) << 0;
    QTest::newRow("English") << p(r("The quick brown fox jumps over the lazy dog.")) << 3;
    QTest::newRow("numbers only") << p(r("2026. 12. 09. 1.234.567,-Ft")) << 0;
}

void TestSpelling::walkOfEmptyAndForeignDocumentsEnds()
{
    QFETCH(QString, body);
    QFETCH(int, minIssues);
    word::Document* doc = m_docs.open(body);
    const QList<SpellingIssue> issues = SpellingWalk::collect(*doc, speller());
    QVERIFY2(issues.size() >= minIssues, qPrintable(QString::number(issues.size())));
    if (minIssues == 0)
        QCOMPARE(issues.size(), 0);
}

void TestSpelling::replacementKeepsFormatAndBookmark()
{
    word::Document* doc = m_docs.open(p(r("Cím: ") + bm("Targy", 1, r("a szerzödés tárgya", "<w:b/>")) + r(" vége")));
    SpellingWalk walk(*doc, speller());
    std::optional<SpellingIssue> issue = walk.next();
    QVERIFY(issue);
    QCOMPARE(issue->word, QStringLiteral("szerzödés"));
    walk.replace(QStringLiteral("szerződés"));
    QVERIFY(!walk.next());
    const word::Range mark = doc->Bookmarks().Item(QStringLiteral("Targy")).Range();
    QCOMPARE(mark.Text(), QStringLiteral("a szerződés tárgya"));
    QCOMPARE(mark.Font().Bold(), -1);
    QVERIFY(doc->Undo());
    QCOMPARE(doc->Bookmarks().Item(QStringLiteral("Targy")).Range().Text(), QStringLiteral("a szerzödés tárgya"));
}

void TestSpelling::replaceAllAndIgnoreAll()
{
    const QString body = p(r("Egy szerzödés, két szerzödés, egy kutyya és még egy kutyya."));
    word::Document* doc = m_docs.open(body);
    SpellingWalk walk(*doc, speller());
    std::optional<SpellingIssue> issue = walk.next();
    QCOMPARE(issue->word, QStringLiteral("szerzödés"));
    walk.replaceAll(QStringLiteral("szerződés"));
    issue = walk.next();
    QVERIFY(issue);
    QCOMPARE(issue->word, QStringLiteral("kutyya"));   // the second "szerzödés" went without asking
    commands::Speller own(commands::Speller::defaultDictionaryFolder(), m_dir.filePath(QStringLiteral("ign.dic")));
    SpellingWalk ignoring(*doc, own);
    issue = ignoring.next();
    QCOMPARE(issue->word, QStringLiteral("kutyya"));
    ignoring.ignoreAll();
    QVERIFY(!ignoring.next());
    QCOMPARE(doc->Content().Text(), QStringLiteral("Egy szerződés, két szerződés, egy kutyya és még egy kutyya."));
}

// The walk goes through the main text first, then the header and the footer;
// a replacement there is written to that story's own part.
void TestSpelling::headersAndFootersAfterTheMainText()
{
    DocxRecipe recipe;
    recipe.body = QStringLiteral("<w:p>%1</w:p><w:sectPr><w:headerReference w:type=\"default\" r:id=\"rIdH\"/>"
                                 "<w:footerReference w:type=\"default\" r:id=\"rIdF\"/></w:sectPr>")
                      .arg(r(QStringLiteral("A szerzödés szövege.")));
    const QString hdr = QStringLiteral("<w:hdr xmlns:w=\"%1\"><w:p>%2</w:p></w:hdr>")
                            .arg(QLatin1String(kW), bm(QStringLiteral("Szam_2"), 2, r(QStringLiteral("Fejléc kutyya"))));
    const QString ftr = QStringLiteral("<w:ftr xmlns:w=\"%1\"><w:p>%2</w:p></w:ftr>")
                            .arg(QLatin1String(kW), r(QStringLiteral("Lábléc a a vége")));
    recipe.extraParts = {{QStringLiteral("word/header1.xml"), hdr.toUtf8()}, {QStringLiteral("word/footer1.xml"), ftr.toUtf8()}};
    recipe.extraDocumentRels = QStringLiteral(
        "<Relationship Id=\"rIdH\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/header\" Target=\"header1.xml\"/>"
        "<Relationship Id=\"rIdF\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/footer\" Target=\"footer1.xml\"/>");
    word::Document* doc = m_docs.app().Documents().Open(writeDocx(m_docs.dir(), QStringLiteral("lapfej.docx"), recipe));

    const QList<SpellingIssue> all = SpellingWalk::collect(*doc, speller());
    QCOMPARE(all.size(), 3);
    QCOMPARE(all[0].word, QStringLiteral("szerzödés"));
    QCOMPARE(all[0].story, -1);
    QCOMPARE(all[1].word, QStringLiteral("kutyya"));
    QVERIFY(all[1].story >= 0);
    QCOMPARE(all[1].sentence, QStringLiteral("Fejléc kutyya"));
    QCOMPARE(all[2].kind, SpellingIssue::Repeated);
    QVERIFY(all[2].story >= 0 && all[2].story != all[1].story);

    SpellingWalk walk(*doc, speller());
    QVERIFY(walk.next());                       // the main text's word, left alone
    std::optional<SpellingIssue> inHeader = walk.next();
    QVERIFY(inHeader && inHeader->word == QStringLiteral("kutyya"));
    walk.replace(QStringLiteral("kutya"));
    std::optional<SpellingIssue> inFooter = walk.next();
    QVERIFY(inFooter && inFooter->kind == SpellingIssue::Repeated);
    walk.replace(QString());
    QVERIFY(!walk.next());
    QCOMPARE(doc->Bookmarks().Item(QStringLiteral("Szam_2")).Range().Text(), QStringLiteral("Fejléc kutya"));
    QCOMPARE(doc->Content().Text(), QStringLiteral("A szerzödés szövege."));
    QVERIFY(!doc->Saved());
    const QString saved = QDir(m_docs.dir()).filePath(QStringLiteral("lapfej-javitott.docx"));
    doc->SaveAs(saved);
    const auto textOf = [&](const QString& part) {
        return QString::fromUtf8(readPart(saved, part)).remove(QRegularExpression(QStringLiteral("<[^>]*>"))).trimmed();
    };
    QCOMPARE(textOf(QStringLiteral("word/header1.xml")), QStringLiteral("Fejléc kutya"));
    QCOMPARE(textOf(QStringLiteral("word/footer1.xml")), QStringLiteral("Lábléc a vége"));
    word::Document* back = m_docs.app().Documents().Open(saved);
    QCOMPARE(back->Bookmarks().Item(QStringLiteral("Szam_2")).Range().Text(), QStringLiteral("Fejléc kutya"));
}

namespace {

QList<QTextLayout::FormatRange> waves(const QTextBlock& b)
{
    QList<QTextLayout::FormatRange> out;
    for (const QTextLayout::FormatRange& f : b.layout()->formats())
        if (f.format.underlineStyle() == QTextCharFormat::WaveUnderline)
            out << f;
    return out;
}

} // namespace

void TestSpelling::underlineLivesInTheLayoutOnly()
{
    word::Document* doc = m_docs.open(p(r("Ez a szerzödés.")) + p(r("Helyes mondat ez.")) + p(r("Rosz kutyya.")));
    auto* h = commands::SpellHighlighter::attach(doc->textDocument(), speller());
    QCOMPARE(commands::SpellHighlighter::attach(doc->textDocument(), speller()), h);
    QCOMPARE(h->pendingParagraphs(), 3);
    h->checkNow();
    QCOMPARE(h->pendingParagraphs(), 0);
    const QTextBlock first = doc->textDocument()->begin();
    QCOMPARE(waves(first).size(), 1);
    QCOMPARE(waves(first)[0].start, 5);
    QCOMPARE(waves(first)[0].length, 9);
    QCOMPARE(waves(first.next()).size(), 0);
    QCOMPARE(waves(first.next().next()).size(), 2);
    QVERIFY(h->misspeltAt(7));
    QCOMPARE(h->misspeltAt(7)->start, 5);
    QVERIFY(!h->misspeltAt(1));
    // The document's own formats, its saved mark and its undo history are untouched.
    QTextCursor c(doc->textDocument());
    c.setPosition(7);
    QCOMPARE(c.charFormat().underlineStyle(), QTextCharFormat::NoUnderline);
    QVERIFY(doc->Saved());
    QVERIFY(!doc->Undo());
}

void TestSpelling::onlyChangedParagraphsAreCheckedAgain()
{
    QString body;
    for (int i = 0; i < 30; ++i)
        body += p(r(QStringLiteral("A %1. bekezdés szövege.").arg(i)));
    word::Document* doc = m_docs.open(body);
    auto* h = commands::SpellHighlighter::attach(doc->textDocument(), speller());
    h->checkNow();
    const int afterFirst = h->checkedParagraphs();
    QCOMPARE(afterFirst, 30);
    const QTextBlock tenth = doc->textDocument()->findBlockByNumber(10);
    doc->Range(tenth.position(), tenth.position()).setText(QStringLiteral("kutyya "));
    QCOMPARE(h->pendingParagraphs(), 1);
    // Typing waits for a quiet moment: nothing is checked at once.
    QCOMPARE(h->checkedParagraphs(), afterFirst);
    QTRY_COMPARE_WITH_TIMEOUT(h->checkedParagraphs(), afterFirst + 1, 3000);
    QCOMPARE(waves(doc->textDocument()->findBlockByNumber(10)).size(), 1);
    QCOMPARE(h->pendingParagraphs(), 0);
}

void TestSpelling::contextMenuOffersSuggestions()
{
    word::Document* doc = m_docs.open(p(r("Ez a ") + bm("Hely", 1, r("szerzödés")) + r(" szövege.")));
    word::view::PageView view(doc, nullptr);
    auto* h = commands::SpellHighlighter::attach(doc->textDocument(), speller());
    h->checkNow();
    auto* menus = commands::SpellContextMenu::attach(&view, doc, speller());
    QVERIFY(!menus->menuAt(1));   // a correct word: the page's own menu
    std::unique_ptr<QMenu> menu(menus->menuAt(8));
    QVERIFY(menu);
    QStringList texts;
    for (QAction* a : menu->actions())
        texts << a->text();
    QVERIFY2(texts.contains(QStringLiteral("szerződés")), qPrintable(texts.join(u'|')));
    QVERIFY(texts.contains(QStringLiteral("Felvétel a szótárba")));
    QVERIFY(texts.contains(QStringLiteral("Másolás")));
    for (QAction* a : menu->actions())
        if (a->text() == QStringLiteral("szerződés"))
            a->trigger();
    QCOMPARE(doc->Content().Text(), QStringLiteral("Ez a szerződés szövege."));
    QCOMPARE(doc->Bookmarks().Item(QStringLiteral("Hely")).Range().Text(), QStringLiteral("szerződés"));
}

QTEST_MAIN(TestSpelling)
#include "tst_spelling.moc"
