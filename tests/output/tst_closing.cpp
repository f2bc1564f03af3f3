// The main window's command line and closing: the file named first on the
// command line opened by its kind, the question about unsaved changes when the
// window closes, and the release of the document afterwards.

#include "app/isolatedmain.h"
#include "windowdriver.h"
#include "word/wordfixture.h"

#include "app/errorreport.h"
#include "app/quilloraapplication.h"
#include "app/tform1.h"
#include "app/tform2.h"
#include "fields/fielddatafile.h"
#include "templates/tpaletteopendialog.h"
#include "widgets/tcurrencyedit.h"
#include "widgets/tmgrid.h"
#include "word/application.h"
#include "word/document.h"
#include "word/selection.h"
#include "word/view/documenthost.h"

#include <QAction>
#include <QTimer>

using namespace wordtest;
using outputtest::SeenBox;
using outputtest::SeenDialog;

namespace {

const QString CloseQuestion = QStringLiteral("Változtatásokat végzett a jelenlegi fájlon.\nKilépéskor a változtatások "
                                             "elvesznek.\n\nAkarja előbb menteni a jelenlegi fájlt ?");

QString sample(const QString& name)
{
    return QStringLiteral(QUILLORA_BIN_DIR "/sablonok/") + name;
}

// A main window with its progress window, as start-up makes them.
struct Window {
    app::TForm1 form;
    app::TForm2 progress { &form };
    Window() { form.setForm2(&progress); }
};

// Waits for the template dialog, notes the file it offers, and cancels it.
void noteAndCancel(tpaletteopendialog* dlg, QString* offered, int left = 300)
{
    QTimer::singleShot(10, dlg, [=] {
        if (!dlg->isVisible()) {
            if (left > 0)
                noteAndCancel(dlg, offered, left - 1);
            return;
        }
        *offered = dlg->fileDialog()->selectedFiles().value(0);
        dlg->reject();
    });
}

void typeSomething(word::Document& doc)
{
    doc.ActiveWindow().Selection().SetRange(0, 0);
    doc.ActiveWindow().Selection().TypeText(QStringLiteral("Módosítva. "));
}

} // namespace

class TestClosing : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();

    void templateOnCommandLineShowsTheDialog_data();
    void templateOnCommandLineShowsTheDialog();
    void documentOnCommandLineOpensAtOnce_data();
    void documentOnCommandLineOpensAtOnce();
    void missingDocumentIsNamedInTheFailure();
    void fieldDataOnCommandLineFillsTheGrid();
    void noArgumentOpensNothing();
    void firstShowRunsTheCommandLine();

    void closeQueryAsksOnlyWithChanges_data();
    void closeQueryAsksOnlyWithChanges();
    void closeQueryYesSavesFirst();
    void closeQueryYesButSaveCancelledStaysOpen();
    void closeButtonWithCancelKeepsWindow();
    void closingReleasesTheDocument();

private:
    void openDocument(Window& w, const QString& path);
    QTemporaryDir m_dir;
};

void TestClosing::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY2(QFileInfo::exists(sample(QStringLiteral("adasveteli.sab"))), "the samples are built");
    app::setErrorPresenter([](const QString& text) { QFAIL(qPrintable(QStringLiteral("error report: ") + text)); });
}

void TestClosing::cleanup()
{
    outputtest::stopAnswering();
    while (QWidget* modal = QApplication::activeModalWidget())
        modal->close();
}

void TestClosing::openDocument(Window& w, const QString& path)
{
    w.form.TemplateDialog->setFileName(path);
    w.form.button1Click(w.form.ce1);
    QVERIFY(w.form.WordDoc);
    QTRY_VERIFY(!w.progress.isVisible());
}

void TestClosing::templateOnCommandLineShowsTheDialog_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("lower case") << "sablon.sab";
    QTest::newRow("upper case") << "SABLON.SAB";
}

void TestClosing::templateOnCommandLineShowsTheDialog()
{
    QFETCH(QString, name);
    const QString path = m_dir.filePath(name);
    QVERIFY(QFile::copy(sample(QStringLiteral("adasveteli.sab")), path));
    Window w;
    w.form.CommandLine = { path, QStringLiteral("ignored-second-argument") };
    QString offered;
    noteAndCancel(w.form.TemplateDialog, &offered);
    w.form.HandleCommandLine();
    QCOMPARE(offered, path);
    QCOMPARE(w.form.TemplateDialog->FileName(), path);
    QVERIFY2(!w.form.WordDoc, "cancelling the dialog opens nothing");
    QFile::remove(path);
}

void TestClosing::documentOnCommandLineOpensAtOnce_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("relative");
    QTest::newRow(".dot") << "kesz.dot" << false;
    QTest::newRow(".doc") << "regi.doc" << false;
    QTest::newRow("relative path") << "relativ.dot" << true;
}

void TestClosing::documentOnCommandLineOpensAtOnce()
{
    QFETCH(QString, name);
    QFETCH(bool, relative);
    const QString path = writeDocx(m_dir.path(), name, p(r("kész szerződés")));
    const QString cwd = QDir::currentPath();
    QDir::setCurrent(m_dir.path());
    Window w;
    w.form.CommandLine = { relative ? name : path };
    QString offered;
    noteAndCancel(w.form.TemplateDialog, &offered, 20);
    w.form.HandleCommandLine();
    QDir::setCurrent(cwd);
    QVERIFY2(offered.isEmpty(), "no dialog for a document");
    QVERIFY(w.form.WordDoc);
    QCOMPARE(w.form.WordDoc->FullName(), path);
    QCOMPARE(w.form.TemplateDialog->FileName(), path);
    QVERIFY(w.form.windowTitle().endsWith(QStringLiteral(" - ") + name));
}

void TestClosing::missingDocumentIsNamedInTheFailure()
{
    const QString missing = m_dir.filePath(QStringLiteral("nincs.dot"));
    Window w;
    w.form.CommandLine = { missing };
    SeenBox box;
    outputtest::answerBox(&box, QMessageBox::Ok);
    w.form.HandleCommandLine();
    QVERIFY(!w.form.WordDoc);
    QCOMPARE(box.caption, QStringLiteral("Hiba"));
    // The path, then the engine's reason on a line of its own.
    QVERIFY2(box.text.startsWith(QStringLiteral("A megnyitás sikertelen !\n") + missing + u'\n'), qPrintable(box.text));
}

void TestClosing::fieldDataOnCommandLineFillsTheGrid()
{
    const QString path = m_dir.filePath(QStringLiteral("adatok.mza"));
    const QStringList values { fields::FieldDataFile::header(), QStringLiteral("Kovács Anna"), QStringLiteral("Budapest") };
    fields::FieldDataFile::write(path, values);
    Window w;
    w.form.CommandLine = { path };
    QString offered;
    noteAndCancel(w.form.TemplateDialog, &offered, 20);
    w.form.HandleCommandLine();
    QVERIFY(offered.isEmpty());
    QVERIFY2(!w.form.WordDoc, "a field data file opens no document");
    QCOMPARE(w.form.Mgrid1->cells(2, 1), values.at(1));
    QCOMPARE(w.form.Mgrid1->cells(2, 2), values.at(2));
}

void TestClosing::noArgumentOpensNothing()
{
    Window w;
    QString offered;
    noteAndCancel(w.form.TemplateDialog, &offered, 20);
    w.form.HandleCommandLine();
    QTest::qWait(300);
    QVERIFY(offered.isEmpty());
    QVERIFY(!w.form.WordDoc);
}

void TestClosing::firstShowRunsTheCommandLine()
{
    const QString path = writeDocx(m_dir.path(), QStringLiteral("indulas.dot"), p(r("indulás")));
    Window w;
    w.form.CommandLine = { path };
    w.form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w.form));
    QTRY_VERIFY(w.form.WordDoc);
    QCOMPARE(w.form.WordDoc->FullName(), path);
    // Showing the window again does not open the file a second time.
    word::Document* first = w.form.WordDoc;
    w.form.hide();
    w.form.show();
    QTest::qWait(100);
    QCOMPARE(w.form.WordDoc, first);
    w.form.WordDoc->setSaved(true);
}

void TestClosing::closeQueryAsksOnlyWithChanges_data()
{
    QTest::addColumn<bool>("withDocument");
    QTest::addColumn<bool>("changed");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("mayClose");
    QTest::newRow("no document") << false << false << int(QMessageBox::Cancel) << false << true;
    QTest::newRow("saved document") << true << false << int(QMessageBox::Cancel) << false << true;
    QTest::newRow("changes, Cancel") << true << true << int(QMessageBox::Cancel) << true << false;
    QTest::newRow("changes, No") << true << true << int(QMessageBox::No) << true << true;
}

void TestClosing::closeQueryAsksOnlyWithChanges()
{
    QFETCH(bool, withDocument);
    QFETCH(bool, changed);
    QFETCH(int, answer);
    QFETCH(bool, asked);
    QFETCH(bool, mayClose);
    const QString path = writeDocx(m_dir.path(), QStringLiteral("zaras.dot"), p(r("zárás")));
    const QByteArray before = readPart(path, QStringLiteral("word/document.xml"));
    Window w;
    if (withDocument)
        openDocument(w, path);
    if (changed)
        typeSomething(*w.form.WordDoc);
    SeenBox box;
    SeenDialog dialog;
    outputtest::answerBox(&box, QMessageBox::StandardButton(answer));
    outputtest::answerFileDialog(w.form.SaveDialog1, &dialog, QString());
    const bool result = w.form.FormCloseQuery();
    if (!asked)
        QTest::qWait(100);   // a question would have been answered by now
    QCOMPARE(box.shown, asked);
    QCOMPARE(result, mayClose);
    QVERIFY(!dialog.shown);
    QCOMPARE(readPart(path, QStringLiteral("word/document.xml")), before);
    if (asked) {
        QCOMPARE(box.caption, QStringLiteral("Quillora"));
        QCOMPARE(box.text, CloseQuestion);
        QCOMPARE(box.icon, QMessageBox::Question);
        QCOMPARE(box.buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    }
    if (w.form.WordDoc)
        w.form.WordDoc->setSaved(true);
}

void TestClosing::closeQueryYesSavesFirst()
{
    const QString path = writeDocx(m_dir.path(), QStringLiteral("igen.dot"), p(r("igen")));
    Window w;
    openDocument(w, path);
    typeSomething(*w.form.WordDoc);
    SeenBox question;
    SeenBox done;
    SeenDialog dialog;
    outputtest::answerBox(&question, QMessageBox::Yes, [&done] { outputtest::answerBox(&done, QMessageBox::Ok); });
    const QString copy = m_dir.filePath(QStringLiteral("igen-mentve.dot"));
    outputtest::answerFileDialog(w.form.SaveDialog1, &dialog, copy);
    QVERIFY(w.form.FormCloseQuery());
    QCOMPARE(question.text, CloseQuestion);
    QVERIFY(dialog.shown);
    QTRY_VERIFY(done.shown);
    word::Application other;
    QVERIFY(other.Documents().Open(copy)->Content().Text().startsWith(QStringLiteral("Módosítva. ")));
}

void TestClosing::closeQueryYesButSaveCancelledStaysOpen()
{
    const QString path = writeDocx(m_dir.path(), QStringLiteral("megse.dot"), p(r("mégse")));
    Window w;
    openDocument(w, path);
    typeSomething(*w.form.WordDoc);
    SeenBox question;
    SeenDialog dialog;
    outputtest::answerBox(&question, QMessageBox::Yes);
    outputtest::answerFileDialog(w.form.SaveDialog1, &dialog, QString());
    // The user asked for the changes to be kept; they are not dropped silently.
    QVERIFY(!w.form.FormCloseQuery());
    QVERIFY(dialog.shown);
    QVERIFY(w.form.WordDoc && !w.form.WordDoc->Saved());
    w.form.WordDoc->setSaved(true);
}

void TestClosing::closeButtonWithCancelKeepsWindow()
{
    const QString path = writeDocx(m_dir.path(), QStringLiteral("ablak.dot"), p(r("ablak")));
    Window w;
    w.form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w.form));
    openDocument(w, path);
    typeSomething(*w.form.WordDoc);
    SeenBox question;
    outputtest::answerBox(&question, QMessageBox::Cancel);
    w.form.Exit->trigger();
    QVERIFY(question.shown);
    QVERIFY(w.form.isVisible());
    QVERIFY(w.form.WordDoc);
    QVERIFY(w.form.Browser);

    SeenBox second;
    outputtest::answerBox(&second, QMessageBox::No);
    w.form.Exit->trigger();
    QVERIFY(second.shown);
    QVERIFY(!w.form.isVisible());
    QVERIFY(!w.form.WordDoc);
    QVERIFY(!w.form.Browser);
}

void TestClosing::closingReleasesTheDocument()
{
    const QString path = writeDocx(m_dir.path(), QStringLiteral("elenged.dot"), p(r("elengedés")));
    Window w;
    openDocument(w, path);
    // The engine's own setting, kept at the first open, is given back at closing.
    w.form.SavedDisplayScrollBars = false;
    QVERIFY(w.form.WordApp->DisplayScrollBars());
    const std::shared_ptr<word::Application> engine = w.form.Engine;
    w.form.releaseDocument();
    QVERIFY(!w.form.WordDoc);
    QVERIFY(!w.form.WordApp);
    QVERIFY(!w.form.Browser);
    QVERIFY(!engine->DisplayScrollBars());
    // Releasing again, with nothing loaded, is harmless.
    w.form.releaseDocument();
    QVERIFY(!w.form.Browser);
}

QUILLORA_ISOLATED_TEST_MAIN(app::QuilloraApplication, TestClosing)
#include "tst_closing.moc"
