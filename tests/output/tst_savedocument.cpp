// Saving the finished document: the choice between the template-based and the
// direct save, the proposed names, the writing at full zoom, and the save
// through the main window with its dialog, messages and reopening.

#include "app/isolatedmain.h"
#include "windowdriver.h"
#include "word/wordfixture.h"

#include "app/quilloraapplication.h"
#include "app/tform1.h"
#include "app/tform2.h"
#include "output/compatibilityresave.h"
#include "output/documentwriter.h"
#include "output/savename.h"
#include "templates/tpaletteopendialog.h"
#include "templates/updown.h"
#include "widgets/tcurrencyedit.h"
#include "word/application.h"
#include "word/document.h"
#include "word/error.h"
#include "word/range.h"
#include "word/selection.h"

#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QTimer>

using namespace wordtest;
using outputtest::SeenBox;
using outputtest::SeenDialog;

namespace {

const QString Done = QStringLiteral("A mentés sikeresen megtörtént");
const QString SectionBreak = QStringLiteral("<w:sectPr><w:type w:val=\"continuous\"/></w:sectPr>");

QString sample(const QString& name)
{
    return QStringLiteral(QUILLORA_BIN_DIR "/sablonok/") + name;
}

// Chooses the template in the open dialog with one seller and one buyer.
void chooseTemplate(tpaletteopendialog* dlg, const QString& file)
{
    QTimer::singleShot(0, dlg, [=] {
        dlg->fileDialog()->selectFile(file);
        QMetaObject::invokeMethod(dlg->fileDialog(), "accept");
    });
}

// A change the user makes by typing, so the document counts as unsaved.
void typeSomething(word::Document& doc)
{
    doc.ActiveWindow().Selection().SetRange(0, 0);
    doc.ActiveWindow().Selection().TypeText(QStringLiteral("Módosítva. "));
}

} // namespace

class TestSaveDocument : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();

    void branch_data();
    void branch();
    void proposedName_data();
    void proposedName();

    void writeKeepsTheViewZoom();
    void failedWriteKeepsOldFileAndZoom();
    void subdocumentPreparation();

    void templateSaveWritesAndReopens_data();
    void templateSaveWritesAndReopens();
    void cancelSavesNothing();
    void secondSaveIsDirectInPlace_data();
    void secondSaveIsDirectInPlace();
    void directSaveProposesTheOpenedFile();
    void saveActionRunsTheSave();

private:
    void openTemplate();
    void openDirectly(const QString& path);

    QTemporaryDir m_dir;
    std::unique_ptr<app::TForm1> m_form;
    std::unique_ptr<app::TForm2> m_form2;
    word::Application m_app;
};

void TestSaveDocument::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY2(QFileInfo::exists(sample(QStringLiteral("adasveteli.sab"))), "the samples are built");
    m_form = std::make_unique<app::TForm1>();
    m_form2 = std::make_unique<app::TForm2>(m_form.get());
    m_form->setForm2(m_form2.get());
    m_form->DocumentsPath = m_dir.path();
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
}

void TestSaveDocument::cleanup()
{
    outputtest::stopAnswering();
    // Nothing of a failed case may stay on screen for the next one.
    while (QWidget* modal = QApplication::activeModalWidget())
        modal->close();
    // The next case opens its own document without being asked about this one.
    if (m_form->WordDoc)
        m_form->WordDoc->setSaved(true);
}

void TestSaveDocument::branch_data()
{
    QTest::addColumn<QString>("opened");
    QTest::addColumn<bool>("templateBased");
    QTest::newRow("template") << "/a/minta.sab" << true;
    QTest::newRow("template in capitals") << "/a/MINTA.SAB" << true;
    QTest::newRow("mixed case") << "/a/minta.Sab" << true;
    QTest::newRow("saved document") << "/a/minta.dot" << false;
    QTest::newRow("legacy document") << "/a/minta.doc" << false;
    QTest::newRow("sab only in the folder") << "/a/b.sab/minta" << false;
    QTest::newRow("sab inside the name") << "/a/minta.sab.dot" << false;
    QTest::newRow("nothing opened") << "" << false;
}

void TestSaveDocument::branch()
{
    QFETCH(QString, opened);
    QFETCH(bool, templateBased);
    QCOMPARE(output::isTemplateBased(opened), templateBased);
}

void TestSaveDocument::proposedName_data()
{
    QTest::addColumn<QString>("templateFile");
    QTest::addColumn<QString>("proposal");
    QTest::newRow("plain") << "/sablonok/minta.sab" << "minta.dot";
    QTest::newRow("capitals keep the stem") << "/x/Adásvételi.SAB" << "Adásvételi.dot";
    QTest::newRow("dots in the stem") << "/x/bérleti.2024.sab" << "bérleti.2024.dot";
    QTest::newRow("dot in the folder only") << "/x.y/minta" << "minta.dot";
    QTest::newRow("no folder") << "minta.sab" << "minta.dot";
}

void TestSaveDocument::proposedName()
{
    QFETCH(QString, templateFile);
    QFETCH(QString, proposal);
    QCOMPARE(output::proposedDocumentName(templateFile), proposal);
}

void TestSaveDocument::writeKeepsTheViewZoom()
{
    word::Document* doc = m_app.Documents().Open(writeDocx(m_dir.path(), QStringLiteral("zoom.docx"), p(r("szöveg"))));
    doc->ActiveWindow().View().Zoom().setPercentage(70);
    doc->ActiveWindow().Selection().SetRange(0, 3);
    const QString target = m_dir.filePath(QStringLiteral("zoom.dot"));
    output::writeDocument(*doc, target, 70);
    QVERIFY(QFileInfo::exists(target));
    QCOMPARE(doc->ActiveWindow().View().Zoom().Percentage(), 70);
    QCOMPARE(doc->FullName(), target);
    // The selection is collapsed before writing.
    QCOMPARE(doc->ActiveWindow().Selection().Start(), doc->ActiveWindow().Selection().End());
    QVERIFY(m_app.Documents().Open(target)->Content().Text().contains(QStringLiteral("szöveg")));
}

void TestSaveDocument::failedWriteKeepsOldFileAndZoom()
{
    const QString path = writeDocx(m_dir.path(), QStringLiteral("old.docx"), p(r("régi")));
    const QByteArray before = readPart(path, QStringLiteral("word/document.xml"));
    word::Document* doc = m_app.Documents().Open(path);
    typeSomething(*doc);
    doc->ActiveWindow().View().Zoom().setPercentage(150);
    const QString nowhere = m_dir.filePath(QStringLiteral("nincs/ilyen/mappa.dot"));
    QVERIFY_THROWS_EXCEPTION(word::Error, output::writeDocument(*doc, nowhere, 150));
    QVERIFY(!doc->Saved());
    QCOMPARE(doc->ActiveWindow().View().Zoom().Percentage(), 150);
    QCOMPARE(readPart(path, QStringLiteral("word/document.xml")), before);
}

void TestSaveDocument::subdocumentPreparation()
{
    word::Document* doc = m_app.Documents().Open(writeDocx(
        m_dir.path(), QStringLiteral("parts.docx"), p(r("első"), SectionBreak) + p(r("második"), SectionBreak) + p(r("vége"))));
    output::prepareAsSubdocument(*doc);
    QCOMPARE(doc->Subdocuments().Count(), 1);
    word::Find again = doc->Content().Find();
    again.setText(QStringLiteral("^b"));
    QVERIFY2(!again.Execute(), "no section break is left");
    QVERIFY(doc->Content().Text().contains(QStringLiteral("második")));
}

void TestSaveDocument::openTemplate()
{
    chooseTemplate(m_form->TemplateDialog, sample(QStringLiteral("adasveteli.sab")));
    m_form->button1Click(m_form.get());
    QVERIFY(m_form->WordDoc);
    QTRY_VERIFY(!m_form2->isVisible());
}

void TestSaveDocument::openDirectly(const QString& path)
{
    m_form->TemplateDialog->setFileName(path);
    m_form->button1Click(m_form->ce1);
    QVERIFY(m_form->WordDoc);
    QTRY_VERIFY(!m_form2->isVisible());
}

void TestSaveDocument::templateSaveWritesAndReopens_data()
{
    QTest::addColumn<bool>("officefix");
    QTest::addColumn<QString>("message");
    QTest::newRow("compatibility fix on") << true << "A mentés sikeresen megtörtént, Office 2007-2010 fix következik";
    QTest::newRow("compatibility fix off") << false << "A mentés sikeresen megtörtént";
}

void TestSaveDocument::templateSaveWritesAndReopens()
{
    QFETCH(bool, officefix);
    QFETCH(QString, message);
    m_form->officefix->setChecked(officefix);
    openTemplate();
    typeSomething(*m_form->WordDoc);
    m_form->Edit1->setText(QStringLiteral("70"));
    m_form->WordDoc->ActiveWindow().View().Zoom().setPercentage(70);
    const QString target = m_dir.filePath(officefix ? QStringLiteral("javitott.dot") : QStringLiteral("szerzodes.dot"));
    SeenDialog dialog;
    SeenBox box;
    outputtest::answerFileDialog(m_form->SaveDialog1, &dialog, target);
    outputtest::answerBox(&box, QMessageBox::Ok);
    word::Document* before = m_form->WordDoc;
    m_form->Button4Click(m_form.get());

    QCOMPARE(dialog.folder, m_dir.path());
    QCOMPARE(QFileInfo(dialog.proposal).fileName(), QStringLiteral("adasveteli.dot"));
    QCOMPARE(box.caption, QStringLiteral("Mentés eredménye"));
    QCOMPARE(box.text, message);
    QCOMPARE(box.icon, QMessageBox::Information);
    QVERIFY(QFileInfo::exists(target));
    // The subdocument file beside the contract carries the compatibility template
    // only when the fix is on.
    const QString subdocument = output::subdocumentFiles(target).value(0);
    QVERIFY(QFileInfo::exists(subdocument));
    word::Application other;
    const QString attached = other.Documents().Open(subdocument)->AttachedTemplate();
    QCOMPARE(attached.endsWith(QStringLiteral("/Normal2003.dot")), officefix);
    // The saved file is the current document now, unchanged and named in the caption.
    QVERIFY(m_form->WordDoc);
    QVERIFY(m_form->WordDoc != before);
    QCOMPARE(m_form->WordDoc->FullName(), target);
    QVERIFY(m_form->WordDoc->Saved());
    QVERIFY2(m_form->WordDoc->Content().Text().contains(QStringLiteral("Módosítva. ")), qPrintable(m_form->WordDoc->Content().Text().left(80)));
    QVERIFY(m_form->windowTitle().endsWith(QStringLiteral(" - ") + QFileInfo(target).fileName()));
    QCOMPARE(m_form->TemplateDialog->FileName(), target);
    QCOMPARE(m_form->TemplateDialog->FilterIndex(), 2);
    QCOMPARE(m_form->WordDoc->Subdocuments().Count(), 1);
    QCOMPARE(m_form->WordDoc->ActiveWindow().View().Zoom().Percentage(), 70);
}

void TestSaveDocument::cancelSavesNothing()
{
    openTemplate();
    typeSomething(*m_form->WordDoc);
    const QString sab = m_form->TemplateDialog->FileName();
    const QStringList filesBefore = QDir(m_dir.path()).entryList(QDir::Files);
    word::Document* doc = m_form->WordDoc;
    SeenDialog dialog;
    outputtest::answerFileDialog(m_form->SaveDialog1, &dialog, QString());
    m_form->Button4Click(m_form.get());
    QVERIFY(dialog.shown);
    QCOMPARE(m_form->WordDoc, doc);
    QVERIFY(!doc->Saved());
    QCOMPARE(doc->Subdocuments().Count(), 0);
    QCOMPARE(m_form->TemplateDialog->FileName(), sab);
    QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files), filesBefore);
}

void TestSaveDocument::secondSaveIsDirectInPlace_data()
{
    QTest::addColumn<bool>("confirm");
    QTest::newRow("No leaves it unsaved") << false;
    QTest::newRow("Yes overwrites in place") << true;
}

void TestSaveDocument::secondSaveIsDirectInPlace()
{
    QFETCH(bool, confirm);
    openTemplate();
    const QString target = m_dir.filePath(confirm ? QStringLiteral("masodik-igen.dot") : QStringLiteral("masodik-nem.dot"));
    SeenDialog dialog;
    SeenBox done;
    outputtest::answerFileDialog(m_form->SaveDialog1, &dialog, target);
    outputtest::answerBox(&done, QMessageBox::Ok);
    m_form->Button4Click(m_form.get());
    QCOMPARE(m_form->WordDoc->FullName(), target);

    typeSomething(*m_form->WordDoc);
    word::Document* reopened = m_form->WordDoc;
    SeenDialog noDialog;
    SeenBox question;
    SeenBox result;
    outputtest::answerFileDialog(m_form->SaveDialog1, &noDialog, QString());
    outputtest::answerBox(&question, confirm ? QMessageBox::Yes : QMessageBox::No,
                          [&result] { outputtest::answerBox(&result, QMessageBox::Ok); });
    m_form->Button4Click(m_form.get());

    QCOMPARE(question.caption, QStringLiteral("Mentés megerősítése"));
    QCOMPARE(question.text, QStringLiteral("A jelenlegi fájl aldokumentumokat tartalmaz.\nIlyen esetben a mentés "
                                           "felülírja a jelenlegi fájlt.\n\nAkarja folytatni a mentést ?"));
    QCOMPARE(question.buttons, QMessageBox::Yes | QMessageBox::No);
    QVERIFY2(!noDialog.shown, "a document with subdocuments is saved where it is");
    QCOMPARE(m_form->WordDoc, reopened);   // nothing is reopened
    QCOMPARE(m_form->WordDoc->Saved(), confirm);
    if (confirm)
        QTRY_COMPARE(result.text, Done);
    word::Application other;
    const bool written = other.Documents().Open(target)->Content().Text().contains(QStringLiteral("Módosítva. "));
    QCOMPARE(written, confirm);
}

void TestSaveDocument::directSaveProposesTheOpenedFile()
{
    const QString path = writeDocx(m_dir.path(), QStringLiteral("kesz.dot"), p(r("kész szerződés")));
    openDirectly(path);
    typeSomething(*m_form->WordDoc);
    const QString copy = m_dir.filePath(QStringLiteral("masolat.dot"));
    word::Document* doc = m_form->WordDoc;
    SeenDialog dialog;
    SeenBox box;
    outputtest::answerFileDialog(m_form->SaveDialog1, &dialog, copy);
    outputtest::answerBox(&box, QMessageBox::Ok);
    m_form->Button4Click(m_form.get());
    QCOMPARE(dialog.proposal, path);
    QCOMPARE(box.text, Done);
    QCOMPARE(m_form->WordDoc, doc);
    QVERIFY(doc->Saved());
    QCOMPARE(doc->Subdocuments().Count(), 0);   // a direct save makes no subdocument
    QCOMPARE(m_form->TemplateDialog->FileName(), path);
    word::Application other;
    QVERIFY(other.Documents().Open(copy)->Content().Text().startsWith(QStringLiteral("Módosítva. ")));
    QVERIFY(!other.Documents().Open(path)->Content().Text().contains(QStringLiteral("Módosítva. ")));
}

void TestSaveDocument::saveActionRunsTheSave()
{
    const QString path = writeDocx(m_dir.path(), QStringLiteral("akcio.dot"), p(r("a")));
    openDirectly(path);
    typeSomething(*m_form->WordDoc);
    QVERIFY(m_form->Save->isEnabled());
    SeenDialog dialog;
    SeenBox box;
    outputtest::answerFileDialog(m_form->SaveDialog1, &dialog, m_dir.filePath(QStringLiteral("akcio-mentve.dot")));
    outputtest::answerBox(&box, QMessageBox::Ok);
    m_form->Save->trigger();
    QVERIFY(dialog.shown);
    QVERIFY(m_form->WordDoc->Saved());
}

QUILLORA_ISOLATED_TEST_MAIN(app::QuilloraApplication, TestSaveDocument)
#include "tst_savedocument.moc"
