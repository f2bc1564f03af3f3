// The two dialogs of the commands, driven through their widgets: "Keresés és
// csere" with its tabs, options, special codes, replacing and going to, and
// "Helyesírás és nyelvhelyesség: magyar" stepping through a document to its
// closing notice.

#include "commands/findreplacedialog.h"
#include "commands/speller.h"
#include "commands/spellingdialog.h"
#include "word/wordfixture.h"

#include "word/bookmarks.h"
#include "word/document.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTabBar>
#include <QTextEdit>
#include <QtTest/QtTest>

using namespace wordtest;
using commands::FindReplaceDialog;

namespace {

struct Notices {
    QStringList texts;
    QMessageBox::StandardButton answer = QMessageBox::Yes;
    FindReplaceDialog::Notice hook()
    {
        return [this](const QString& text, QMessageBox::Icon, QMessageBox::StandardButtons buttons) {
            texts << text;
            return buttons.testFlag(answer) ? answer : QMessageBox::Ok;
        };
    }
};

QPushButton* buttonOf(QWidget* w, const char* name)
{
    return w->findChild<QPushButton*>(QLatin1String(name));
}

} // namespace

class TestCommandDialogs : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void eachShowOpensItsTab_data();
    void eachShowOpensItsTab();
    void findThroughTheButtons();
    void specialMenuInsertsCodes_data();
    void specialMenuInsertsCodes();
    void unknownCodeIsRefusedClearly();
    void replaceAllReportsTheCount();
    void goToListsBookmarksAndSelects();
    void goToMissingPageSaysSo();
    void spellingDialogStepsToTheEnd();
    void spellingDialogOnCleanDocumentOnlyNotices();

private:
    FixtureDocuments m_docs { QStringLiteral("dialogs") };
    QTemporaryDir m_dir;
    std::unique_ptr<commands::Speller> m_speller;
};

void TestCommandDialogs::initTestCase()
{
    m_speller = std::make_unique<commands::Speller>(commands::Speller::defaultDictionaryFolder(),
                                                    m_dir.filePath(QStringLiteral("sajat.dic")));
}

void TestCommandDialogs::eachShowOpensItsTab_data()
{
    QTest::addColumn<int>("tab");
    QTest::addColumn<bool>("replaceShown");
    QTest::addColumn<bool>("goToShown");
    QTest::newRow("Keresés") << int(FindReplaceDialog::FindTab) << false << false;
    QTest::newRow("Csere") << int(FindReplaceDialog::ReplaceTab) << true << false;
    QTest::newRow("Ugrás") << int(FindReplaceDialog::GoToTab) << false << true;
}

void TestCommandDialogs::eachShowOpensItsTab()
{
    QFETCH(int, tab);
    QFETCH(bool, replaceShown);
    QFETCH(bool, goToShown);
    word::Document* doc = m_docs.open(p(r("Az eladó neve és címe.")));
    doc->ActiveWindow().Selection().SetRange(3, 8);
    FindReplaceDialog dlg(nullptr);
    dlg.showFor(doc, FindReplaceDialog::Tab(tab));
    QVERIFY(dlg.isVisible());
    QVERIFY(!dlg.isModal());
    QCOMPARE(dlg.windowTitle(), QStringLiteral("Keresés és csere"));
    auto* tabs = dlg.findChild<QTabBar*>(QStringLiteral("tabs"));
    QCOMPARE(tabs->count(), 3);
    QCOMPARE(tabs->tabText(0), QStringLiteral("Keresés"));
    QCOMPARE(tabs->tabText(1), QStringLiteral("Csere"));
    QCOMPARE(tabs->tabText(2), QStringLiteral("Ugrás"));
    QCOMPARE(tabs->currentIndex(), tab);
    QCOMPARE(dlg.findEdit()->text(), QStringLiteral("eladó"));
    QCOMPARE(dlg.replaceEdit()->isVisible(), replaceShown);
    QCOMPARE(buttonOf(&dlg, "replaceAll")->isVisible(), replaceShown);
    QCOMPARE(dlg.goToKinds()->isVisible(), goToShown);
    QCOMPARE(dlg.findChild<QCheckBox*>(QStringLiteral("matchCase"))->text(),
             QStringLiteral("Kis- és nagybetű megkülönböztetése"));
    QCOMPARE(dlg.findChild<QCheckBox*>(QStringLiteral("wholeWords"))->text(), QStringLiteral("Csak teljes szavak"));
}

void TestCommandDialogs::findThroughTheButtons()
{
    word::Document* doc = m_docs.open(p(r("Alma alma almafa.")));
    FindReplaceDialog dlg(nullptr);
    Notices n;
    n.answer = QMessageBox::No;
    dlg.setNotice(n.hook());
    dlg.showFor(doc, FindReplaceDialog::FindTab);
    dlg.findEdit()->setText(QStringLiteral("alma"));
    dlg.findChild<QCheckBox*>(QStringLiteral("matchCase"))->setChecked(true);
    dlg.findChild<QCheckBox*>(QStringLiteral("wholeWords"))->setChecked(true);
    QTest::mouseClick(buttonOf(&dlg, "next"), Qt::LeftButton);
    QCOMPARE(doc->ActiveWindow().Selection().Start(), 5);
    QCOMPARE(doc->ActiveWindow().Selection().End(), 9);
    QVERIFY(n.texts.isEmpty());
    QTest::mouseClick(buttonOf(&dlg, "next"), Qt::LeftButton);
    QCOMPARE(n.texts, (QStringList{"A keresés elérte a dokumentum végét. Folytatja az elejétől?",
                                   "A keresett elem nem található."}));
    QCOMPARE(doc->ActiveWindow().Selection().Start(), 5);
}

void TestCommandDialogs::specialMenuInsertsCodes_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("code");
    QTest::newRow("paragraph") << "code_p" << "^p";
    QTest::newRow("tab") << "code_t" << "^t";
    QTest::newRow("line break") << "code_l" << "^l";
    QTest::newRow("page break") << "code_m" << "^m";
    QTest::newRow("section break") << "code_b" << "^b";
    QTest::newRow("caret") << "code_^" << "^^";
}

void TestCommandDialogs::specialMenuInsertsCodes()
{
    QFETCH(QString, action);
    QFETCH(QString, code);
    FindReplaceDialog dlg(nullptr);
    dlg.showFor(nullptr, FindReplaceDialog::FindTab);
    dlg.findEdit()->setText(QStringLiteral("x"));
    dlg.findEdit()->end(false);
    QMenu* menu = buttonOf(&dlg, "special")->menu();
    QVERIFY(menu);
    QAction* a = menu->findChild<QAction*>(action);
    QVERIFY(a);
    a->trigger();
    QCOMPARE(dlg.findEdit()->text(), QStringLiteral("x") + code);
}

void TestCommandDialogs::unknownCodeIsRefusedClearly()
{
    word::Document* doc = m_docs.open(p(r("Alma körte.")));
    FindReplaceDialog dlg(nullptr);
    Notices n;
    dlg.setNotice(n.hook());
    dlg.showFor(doc, FindReplaceDialog::ReplaceTab);
    dlg.findEdit()->setText(QStringLiteral("alma^z"));
    dlg.replaceEdit()->setText(QStringLiteral("x"));
    QTest::mouseClick(buttonOf(&dlg, "replaceAll"), Qt::LeftButton);
    QCOMPARE(n.texts.size(), 1);
    QVERIFY2(n.texts[0].contains(QStringLiteral("„^z”")), qPrintable(n.texts[0]));
    QCOMPARE(doc->Content().Text(), QStringLiteral("Alma körte."));
    QVERIFY(doc->Saved());
}

void TestCommandDialogs::replaceAllReportsTheCount()
{
    word::Document* doc = m_docs.open(p(r("Alma alma almafa.")));
    FindReplaceDialog dlg(nullptr);
    Notices n;
    dlg.setNotice(n.hook());
    dlg.showFor(doc, FindReplaceDialog::ReplaceTab);
    dlg.findEdit()->setText(QStringLiteral("alma"));
    dlg.replaceEdit()->setText(QStringLiteral("körte"));
    QTest::mouseClick(buttonOf(&dlg, "replaceAll"), Qt::LeftButton);
    QCOMPARE(n.texts, QStringList{"A keresés befejeződött: 3 csere történt."});
    QCOMPARE(doc->Content().Text(), QStringLiteral("körte körte körtefa."));
    QVERIFY(doc->Undo());
    QCOMPARE(doc->Content().Text(), QStringLiteral("Alma alma almafa."));

    // "Csere": the first press finds, the second replaces and finds on.
    doc->ActiveWindow().Selection().SetRange(0, 0);
    n.texts.clear();
    QTest::mouseClick(buttonOf(&dlg, "replace"), Qt::LeftButton);
    QCOMPARE(doc->ActiveWindow().Selection().Text(), QStringLiteral("Alma"));
    QTest::mouseClick(buttonOf(&dlg, "replace"), Qt::LeftButton);
    QCOMPARE(doc->Content().Text(), QStringLiteral("körte alma almafa."));
    QCOMPARE(doc->ActiveWindow().Selection().Start(), 6);
    QVERIFY(n.texts.isEmpty());
}

void TestCommandDialogs::goToListsBookmarksAndSelects()
{
    word::Document* doc = m_docs.open(p(bm("Vevo_1", 1, r("Kiss Anna")) + r(" és ") + bm("Elado_1", 2, r("Nagy Béla"))) +
                                      p(bm("Vevo_2", 3, r("Kiss Anna"))));
    FindReplaceDialog dlg(nullptr);
    Notices n;
    dlg.setNotice(n.hook());
    dlg.showFor(doc, FindReplaceDialog::GoToTab);
    dlg.goToKinds()->setCurrentRow(3);   // "Könyvjelző"
    QCOMPARE(dlg.goToKinds()->currentItem()->text(), QStringLiteral("Könyvjelző"));
    QStringList listed;
    for (int i = 0; i < dlg.goToEdit()->count(); ++i)
        listed << dlg.goToEdit()->itemText(i);
    QCOMPARE(listed, (QStringList{"Vevo_1", "Elado_1", "Vevo_2"}));
    dlg.goToEdit()->setCurrentIndex(1);
    QTest::mouseClick(buttonOf(&dlg, "next"), Qt::LeftButton);
    QCOMPARE(doc->ActiveWindow().Selection().Text(), QStringLiteral("Nagy Béla"));
    QVERIFY(n.texts.isEmpty());
}

void TestCommandDialogs::goToMissingPageSaysSo()
{
    word::Document* doc = m_docs.open(p(r("Egy oldal.")));
    FindReplaceDialog dlg(nullptr);
    Notices n;
    dlg.setNotice(n.hook());
    dlg.showFor(doc, FindReplaceDialog::GoToTab);
    dlg.goToKinds()->setCurrentRow(0);
    dlg.goToEdit()->setEditText(QStringLiteral("5"));
    QTest::mouseClick(buttonOf(&dlg, "next"), Qt::LeftButton);
    QCOMPARE(n.texts, QStringList{"A dokumentumban nincs 5. oldal (összesen 1 van)."});
}

void TestCommandDialogs::spellingDialogStepsToTheEnd()
{
    word::Document* doc = m_docs.open(p(r("Ez a szerzödés. Egy kutyya ugat.")) + p(r("Még egy kutyya és a a ház.")));
    commands::SpellingDialog dlg(*doc, *m_speller, nullptr);
    QCOMPARE(dlg.windowTitle(), QStringLiteral("Helyesírás és nyelvhelyesség: magyar"));
    for (const char* name : {"skip", "ignoreAll", "addToDictionary", "replace", "replaceAll", "close"})
        QVERIFY2(dlg.buttonNamed(QLatin1String(name)), name);
    QCOMPARE(dlg.buttonNamed("skip")->text(), QStringLiteral("Kihagyás"));
    QCOMPARE(dlg.buttonNamed("ignoreAll")->text(), QStringLiteral("Mindet kihagyja"));
    QCOMPARE(dlg.buttonNamed("addToDictionary")->text(), QStringLiteral("Felvétel a szótárba"));
    QCOMPARE(dlg.buttonNamed("replaceAll")->text(), QStringLiteral("Mindet cseréli"));
    QCOMPARE(dlg.buttonNamed("close")->text(), QStringLiteral("Bezárás"));
    QStringList seen, notices;
    dlg.setNotice([&](const QString& text, QMessageBox::Icon) { notices << text; });
    dlg.setOnIssue([&](commands::SpellingDialog& d) {
        const commands::SpellingIssue* issue = d.current();
        seen << issue->word;
        if (issue->word == u"szerzödés") {
            QVERIFY(d.sentenceView()->toPlainText() == QStringLiteral("Ez a szerzödés."));
            QCOMPARE(d.suggestionList()->currentItem()->text(), issue->suggestions.value(0));
            for (int i = 0; i < d.suggestionList()->count(); ++i)
                if (d.suggestionList()->item(i)->text() == u"szerződés")
                    d.suggestionList()->setCurrentRow(i);
            d.buttonNamed("replace")->click();
        } else if (issue->word == u"kutyya") {
            d.buttonNamed("ignoreAll")->click();
        } else {
            QCOMPARE(d.buttonNamed("replace")->text(), QStringLiteral("Törlés"));
            d.buttonNamed("replace")->click();
        }
    });
    dlg.run();
    QCOMPARE(seen, (QStringList{"szerzödés", "kutyya", "a"}));
    QCOMPARE(notices, QStringList{"A helyesírás-ellenőrzés befejeződött."});
    QCOMPARE(doc->Content().Text(), QStringLiteral("Ez a szerződés. Egy kutyya ugat.\rMég egy kutyya és a ház."));
}

void TestCommandDialogs::spellingDialogOnCleanDocumentOnlyNotices()
{
    word::Document* doc = m_docs.open(p(QString()));
    commands::SpellingDialog dlg(*doc, *m_speller, nullptr);
    QStringList notices;
    dlg.setNotice([&](const QString& text, QMessageBox::Icon) { notices << text; });
    dlg.setOnIssue([](commands::SpellingDialog&) { QFAIL("an empty document has no issue"); });
    dlg.run();
    QVERIFY(dlg.finished());
    QCOMPARE(notices, QStringList{"A helyesírás-ellenőrzés befejeződött."});
}

QTEST_MAIN(TestCommandDialogs)
#include "tst_commanddialogs.moc"
