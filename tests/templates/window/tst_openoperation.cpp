// The open operation through the main window: the dialog's choice, the variant
// loaded into a new document host, the assembled contract with its fields in
// the grid, the saved mark, the empty undo history, the user's clipboard given
// back, the progress window, and the failure message.

#include "app/isolatedmain.h"

#include "app/quilloraapplication.h"
#include "app/tform1.h"
#include "app/tform2.h"
#include "templates/headlessopen.h"
#include "templates/tpaletteopendialog.h"
#include "templates/updown.h"
#include "widgets/autosizelabel.h"
#include "widgets/tcurrencyedit.h"
#include "widgets/tmgrid.h"
#include "widgets/tprogresscylinder.h"
#include "word/application.h"
#include "word/document.h"
#include "word/view/documenthost.h"

#include <QPushButton>

#include <QClipboard>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QMimeData>
#include <QTextDocument>
#include <QTimer>
#include <QToolButton>

namespace {

const QString PrivateFormat = QStringLiteral("application/x-other-program");

QString samplesFolder()
{
    return QStringLiteral(QUILLORA_BIN_DIR "/sablonok");
}

QString sample(const QString& name)
{
    return samplesFolder() + QLatin1Char('/') + name;
}

// Brings a counter to the wanted value the way the user does, by clicking.
void setCounter(templates::UpDown* updown, int wanted)
{
    while (updown->position() < wanted)
        QTest::mouseClick(updown->upButton(), Qt::LeftButton);
    while (updown->position() > wanted)
        QTest::mouseClick(updown->downButton(), Qt::LeftButton);
}

// Once the dialog runs: sets the counts, ticks the legal persons, chooses file.
void chooseInDialog(tpaletteopendialog* dlg, int sellers, int buyers, const QStringList& legal,
                    const QString& file)
{
    QTimer::singleShot(0, dlg, [=] {
        setCounter(dlg->Updown1(), sellers);
        setCounter(dlg->Updown2(), buyers);
        for (int i = 0; i < dlg->lista1()->count(); ++i) {
            QListWidgetItem* item = dlg->lista1()->item(i);
            item->setCheckState(legal.contains(item->text()) ? Qt::Checked : Qt::Unchecked);
        }
        dlg->fileDialog()->selectFile(file);
        QMetaObject::invokeMethod(dlg->fileDialog(), "accept");
    });
}

// Answers the next message box with the given button and reports its caption and text.
void answerMessageBox(QString* caption, QString* text, QMessageBox::StandardButton answer = QMessageBox::Ok)
{
    QTimer::singleShot(0, [=] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            answerMessageBox(caption, text, answer);
            return;
        }
        *caption = box->windowTitle();
        *text = box->text();
        box->button(answer)->click();
    });
}

// The dialog comes after the question has been answered: wait for it.
void cancelDialogWhenShown(tpaletteopendialog* dlg)
{
    QTimer::singleShot(0, dlg, [dlg] {
        if (!dlg->isVisible()) {
            cancelDialogWhenShown(dlg);
            return;
        }
        dlg->reject();
    });
}

void putUserClipboard()
{
    auto* data = new QMimeData;
    data->setText(QStringLiteral("a felhasználó szövege"));
    data->setData(PrivateFormat, QByteArray("\x01\x02 saját adat"));
    QGuiApplication::clipboard()->setMimeData(data);
}

QStringList gridNames(const widgets::TMgrid& grid)
{
    QStringList out;
    for (int r = 1; r < grid.rowCount(); ++r)
        out << grid.cells(1, r);
    return out;
}

} // namespace

class TestOpenOperation : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void openVariant_data();
    void openVariant();
    void cancelChangesNothing();
    void unsavedChangesNoThenCancel();
    void missingVariantReportsTheVariant();
    void reopenSavedDocumentWithoutDialog();
    void cancelledConversionKeepsTheDocument();
    void engineTime();
    void pageViewShowsTheContract();

private:
    std::unique_ptr<app::TForm1> m_form;
    std::unique_ptr<app::TForm2> m_form2;
};

void TestOpenOperation::initTestCase()
{
    QVERIFY2(QFileInfo::exists(sample(QStringLiteral("adasveteli.sab"))), "the samples are built");
    m_form = std::make_unique<app::TForm1>();
    m_form2 = std::make_unique<app::TForm2>(m_form.get());
    m_form->setForm2(m_form2.get());
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
}

void TestOpenOperation::cleanupTestCase()
{
    m_form2.reset();
    m_form.reset();
}

void TestOpenOperation::openVariant_data()
{
    QTest::addColumn<int>("sellers");
    QTest::addColumn<int>("buyers");
    QTest::addColumn<QStringList>("legal");
    QTest::addColumn<QString>("variant");
    QTest::addColumn<QStringList>("someFields");
    QTest::addColumn<QStringList>("noFields");

    QTest::newRow("one seller, one buyer, nobody legal")
        << 1 << 1 << QStringList {} << "adasveteli-egyesel-egyesvev.dot"
        << QStringList { "Eladó_Név", "Vevő_Név", "Vételár" } << QStringList { "Eladó_Cégnév", "Név" };
    QTest::newRow("two buyers, the first seller legal")
        << 1 << 2 << QStringList { "Eladó" } << "adasveteli-egyesel-tobbesvev.dot"
        << QStringList { "Eladó_Cégnév", "Vevő_Név", "Vevő2_Név" } << QStringList { "Eladó_Név", "Cégnév" };
    QTest::newRow("two sellers, the second legal")
        << 2 << 1 << QStringList { "Eladó2" } << "adasveteli-tobbesel-egyesvev.dot"
        << QStringList { "Eladó_Név", "Eladó2_Cégnév", "Vevő_Név" } << QStringList { "Vevő2_Név" };
    QTest::newRow("two and two, buyers legal")
        << 2 << 2 << QStringList { "Vevő", "Vevő2" } << "adasveteli-tobbesel-tobbesvev.dot"
        << QStringList { "Eladó2_Név", "Vevő_Cégnév", "Vevő2_Cégnév", "KeltDátum" }
        << QStringList { "Vevő_Név" };
}

void TestOpenOperation::openVariant()
{
    QFETCH(int, sellers);
    QFETCH(int, buyers);
    QFETCH(QStringList, legal);
    QFETCH(QString, variant);
    QFETCH(QStringList, someFields);
    QFETCH(QStringList, noFields);
    app::TForm1& form = *m_form;
    putUserClipboard();
    const QPointer<word::view::DocumentHost> previous = form.Browser;
    // The engine's own settings are read at the first open only.
    const bool firstOpen = !form.WordDoc;
    form.SavedDisplayRulers = false;

    chooseInDialog(form.TemplateDialog, sellers, buyers, legal, sample(QStringLiteral("adasveteli.sab")));
    form.button1Click(&form);

    QCOMPARE(form.OpenPath, sample(variant));
    QVERIFY(form.WordDoc);
    QCOMPARE(form.WordApp, form.WordDoc->Application());
    QVERIFY(form.Browser);
    QVERIFY(form.Browser != previous);
    QVERIFY(!previous);   // the old host is gone
    QCOMPARE(form.Browser->Document(), form.WordDoc);
    QCOMPARE(form.windowTitle(), QStringLiteral("Zirkoma 1.4 - adasveteli.sab"));
    QVERIFY(form.WordDoc->Saved());
    QVERIFY(!form.WordDoc->textDocument()->isUndoAvailable());
    QVERIFY(!form.WordDoc->Undo());
    QVERIFY(!form.WordDoc->Bookmarks().Exists(QStringLiteral("Jogisz")));
    QVERIFY(!form.WordDoc->Bookmarks().Exists(QStringLiteral("Termsz")));
    QCOMPARE(form.SavedDisplayRulers, firstOpen);
    // Both blocks and the two paragraphs they leave are gone from the start.
    QVERIFY(form.WordDoc->Content().Text().startsWith(QStringLiteral("INGATLAN ADÁSVÉTELI SZERZŐDÉS\r")));

    const QMimeData* clip = QGuiApplication::clipboard()->mimeData();
    QCOMPARE(clip->text(), QStringLiteral("a felhasználó szövege"));
    QCOMPARE(clip->data(PrivateFormat), QByteArray("\x01\x02 saját adat"));

    const QStringList names = gridNames(*form.Mgrid1);
    for (const QString& f : someFields)
        QVERIFY2(names.contains(f), qPrintable(f));
    for (const QString& f : noFields)
        QVERIFY2(!names.contains(f), qPrintable(f));
    QCOMPARE(form.RxLabel4->text(), QStringLiteral("%1 mező").arg(names.size()));
    QCOMPARE(form.RxLabel2->text(), QStringLiteral("1."));
    QCOMPARE(form.RxLabel3->text(), names.first());
    QVERIFY(form.MaxOccurrence >= 2);
    QCOMPARE(form.TemplateDialog->SellerCount(), sellers);
    QCOMPARE(form.TemplateDialog->BuyerCount(), buyers);

    // The progress window stays until the host reports the document complete.
    QVERIFY(form.Form2->isVisible());
    QTRY_VERIFY(!form.Form2->isVisible());
    QCOMPARE(form.Form2->pcyl2->position(), form.Form2->pcyl2->maximum());
    QVERIFY(form.Save->isEnabled());
    QVERIFY(!form.RxClock1);
}

void TestOpenOperation::cancelChangesNothing()
{
    app::TForm1& form = *m_form;
    word::Document* before = form.WordDoc;
    const QString path = form.OpenPath;
    QTimer::singleShot(0, form.TemplateDialog, [&form] { form.TemplateDialog->reject(); });
    form.button1Click(&form);
    QCOMPARE(form.WordDoc, before);
    QCOMPARE(form.OpenPath, path);
    QVERIFY(!form.Form2->isVisible());
}

// Changes, "No" to saving them, then Cancel in the dialog: the document stays.
void TestOpenOperation::unsavedChangesNoThenCancel()
{
    app::TForm1& form = *m_form;
    word::Document* before = form.WordDoc;
    QVERIFY(before);
    before->ActiveWindow().Selection().SetRange(0, 0);
    before->ActiveWindow().Selection().TypeText(QStringLiteral("módosítás "));
    QVERIFY(!before->Saved());
    QString caption, text;
    answerMessageBox(&caption, &text, QMessageBox::No);
    cancelDialogWhenShown(form.TemplateDialog);
    form.button1Click(&form);
    QCOMPARE(caption, QStringLiteral("Quillora"));
    QVERIFY(text.startsWith(QStringLiteral("Változtatásokat végzett a jelenlegi fájlon.")));
    QCOMPARE(form.WordDoc, before);
    QVERIFY(!form.WordDoc->Saved());
    QVERIFY(form.WordDoc->Content().Text().startsWith(QStringLiteral("módosítás ")));
    form.WordDoc->setSaved(true);
}

void TestOpenOperation::missingVariantReportsTheVariant()
{
    app::TForm1& form = *m_form;
    QTemporaryDir dir;
    const QString lonely = dir.filePath(QStringLiteral("magany.sab"));
    QFile f(lonely);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.close();
    const QString title = form.windowTitle();
    const QString firstField = form.Mgrid1->cells(1, 1);

    QString caption, text;
    answerMessageBox(&caption, &text);
    chooseInDialog(form.TemplateDialog, 1, 2, {}, lonely);
    form.button1Click(&form);

    QCOMPARE(caption, QStringLiteral("Hiba"));
    const QString variant = dir.filePath(QStringLiteral("magany-egyesel-tobbesvev.dot"));
    // The variant, then the engine's reason on a line of its own.
    QVERIFY2(text.startsWith(QStringLiteral("A megnyitás sikertelen !\n") + variant + u'\n'), qPrintable(text));
    QVERIFY(text.size() > QStringLiteral("A megnyitás sikertelen !\n").size() + variant.size() + 1);
    QCOMPARE(form.OpenPath, variant);
    QVERIFY(!form.WordDoc);
    QVERIFY(!form.WordApp);
    QVERIFY(form.Browser);            // a new, empty host
    QVERIFY(!form.Browser->Document());
    QVERIFY(!form.Form2->isVisible());
    QCOMPARE(form.windowTitle(), title);
    QCOMPARE(form.Mgrid1->cells(1, 1), firstField);
}

// A finished document is reopened unchanged, without the dialog, and the grid
// shows the text at each field's first place.
void TestOpenOperation::reopenSavedDocumentWithoutDialog()
{
    app::TForm1& form = *m_form;
    QTemporaryDir dir;
    word::Application engine;
    templates::HeadlessOpening made = templates::openHeadless(
        engine, sample(QStringLiteral("adasveteli.sab")), 1, 1, {});
    // Written as value writing does: the new text, then the bookmark around it again.
    made.doc->Bookmarks().Item(QStringLiteral("Vételár_1")).Select();
    made.doc->ActiveWindow().Selection().setText(QStringLiteral("42.000.000"));
    made.doc->Bookmarks().Add(QStringLiteral("Vételár_1"));
    const QString saved = dir.filePath(QStringLiteral("kesz.dot"));
    made.doc->SaveAs(saved);

    form.TemplateDialog->setFileName(saved);
    form.TemplateDialog->setFilterIndex(2);
    // The failed load before this one left no document: this is a first open again.
    QVERIFY(!form.WordDoc);
    form.SavedDisplayRulers = false;
    form.button1Click(form.ce1);
    QVERIFY(form.SavedDisplayRulers);
    QCOMPARE(form.OpenPath, saved);
    QVERIFY(form.WordDoc);
    QCOMPARE(form.windowTitle(), QStringLiteral("Zirkoma 1.4 - kesz.dot"));
    const QStringList names = gridNames(*form.Mgrid1);
    const int row = int(names.indexOf(QStringLiteral("Vételár"))) + 1;
    QVERIFY(row > 0);
    QCOMPARE(form.Mgrid1->cells(2, row), QStringLiteral("42.000.000"));
    QTRY_VERIFY(!form.Form2->isVisible());
}

// "Mégse" while a legacy file converts: the document shown before stays, with
// its host, its caption and its fields, and no error is reported.
void TestOpenOperation::cancelledConversionKeepsTheDocument()
{
    app::TForm1& form = *m_form;
    chooseInDialog(form.TemplateDialog, 1, 1, {}, sample(QStringLiteral("adasveteli.sab")));
    form.button1Click(&form);
    QTRY_VERIFY(!form.Form2->isVisible());
    QVERIFY(form.WordDoc);
    word::Document* before = form.WordDoc;
    const QPointer<word::view::DocumentHost> host = form.Browser;
    const QString path = form.OpenPath;
    const QString title = form.windowTitle();
    const QStringList fields = gridNames(*form.Mgrid1);
    const QString text = before->Content().Text();

    // A stand-in converter that never finishes.
    QTemporaryDir dir;
    QFile script(dir.filePath(QStringLiteral("soffice")));
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\nexec sleep 300\n");
    script.close();
    QVERIFY(script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    const QByteArray oldPath = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(dir.path()) + ':' + oldPath);
    const QString rtf = dir.filePath(QStringLiteral("regi.rtf"));
    QFile f(rtf);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("{\\rtf1\\ansi Szia}");
    f.close();

    bool clicked = false;
    QStringList boxes;
    QTimer watcher;
    watcher.setInterval(20);
    connect(&watcher, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            boxes << box->text();
            box->button(box->standardButtons().testFlag(QMessageBox::Ok) ? QMessageBox::Ok : QMessageBox::No)->click();
        } else if (!clicked && form.Form2->Megse->isVisible()) {
            clicked = true;
            QTest::mouseClick(form.Form2->Megse, Qt::LeftButton);
        }
    });
    watcher.start();
    form.TemplateDialog->setFileName(rtf);
    QElapsedTimer clock;
    clock.start();
    form.button1Click(form.ce1);
    watcher.stop();
    qputenv("PATH", oldPath);

    QVERIFY(clicked);
    QVERIFY2(clock.elapsed() < 10'000, qPrintable(QString::number(clock.elapsed())));
    QVERIFY2(boxes.isEmpty(), qPrintable(boxes.join(u'|')));
    QCOMPARE(form.WordDoc, before);
    QCOMPARE(form.Browser.data(), host.data());
    QCOMPARE(form.Browser->Document(), before);
    QCOMPARE(form.OpenPath, path);
    QCOMPARE(form.windowTitle(), title);
    QCOMPARE(gridNames(*form.Mgrid1), fields);
    QCOMPARE(before->Content().Text(), text);
    QVERIFY(!form.Form2->isVisible());
}

// Engine time of the largest variant: loading, assembly and discovery, without
// the window's fixed pauses.
void TestOpenOperation::engineTime()
{
    word::Application engine;
    QElapsedTimer t;
    qint64 best = std::numeric_limits<qint64>::max();
    for (int i = 0; i < 5; ++i) {
        t.start();
        templates::HeadlessOpening o = templates::openHeadless(
            engine, sample(QStringLiteral("adasveteli.sab")), 2, 2, { QStringLiteral("Eladó") });
        best = std::min(best, t.elapsed());
        QVERIFY(o.discovery.fields.size() > 30);
        o.doc->Close();
    }
    qInfo("largest variant, engine time: %lld ms", best);
    // The budget itself (50 ms) is the benchmark's to hold; on a loaded or
    // instrumented build only a runaway cost fails here.
    QVERIFY2(best <= 500, qPrintable(QString::number(best)));

    // The same through the window, without the dialog: everything but the two
    // fixed pauses of 150 ms (the page layout of the view included).
    app::TForm1& form = *m_form;
    chooseInDialog(form.TemplateDialog, 2, 2, { QStringLiteral("Eladó") }, sample(QStringLiteral("adasveteli.sab")));
    form.button1Click(&form);
    QTRY_VERIFY(!form.Form2->isVisible());
    qint64 window = std::numeric_limits<qint64>::max();
    for (int i = 0; i < 3; ++i) {
        t.start();
        form.button1Click(form.ce1);
        window = std::min(window, t.elapsed() - 300);
        QCOMPARE(form.OpenPath, sample(QStringLiteral("adasveteli-tobbesel-tobbesvev.dot")));
        QTRY_VERIFY(!form.Form2->isVisible());
    }
    qInfo("largest variant through the window, besides the pauses: %lld ms", window);
}

// The assembled contract is drawn as white pages with text on the grey desk.
// With QUILLORA_SCREENSHOT set, the whole window is saved there as well.
void TestOpenOperation::pageViewShowsTheContract()
{
    app::TForm1& form = *m_form;
    form.resize(1280, 860);
    chooseInDialog(form.TemplateDialog, 1, 2, { QStringLiteral("Eladó") }, sample(QStringLiteral("adasveteli.sab")));
    form.button1Click(&form);
    QTRY_VERIFY(!form.Form2->isVisible());
    QTest::qWait(100);
    const QImage page = form.Browser->grab().toImage();
    int white = 0, dark = 0, grey = 0;
    for (int y = 0; y < page.height(); y += 2) {
        for (int x = 0; x < page.width(); x += 2) {
            const QColor c = page.pixelColor(x, y);
            if (c.lightness() > 245)
                ++white;
            else if (c.lightness() < 100)
                ++dark;
            else if (qAbs(c.red() - 128) < 6 && qAbs(c.green() - 128) < 6 && qAbs(c.blue() - 128) < 6)
                ++grey;
        }
    }
    const int all = (page.width() / 2) * (page.height() / 2);
    QVERIFY2(white > all / 4, "a white page fills much of the view");
    QVERIFY2(dark > all / 400, "text is drawn on the page");
    QVERIFY2(grey > 0, "the desk shows around the page");
    const QString target = qEnvironmentVariable("QUILLORA_SCREENSHOT");
    if (!target.isEmpty())
        QVERIFY(form.grab().save(target));
}

QUILLORA_ISOLATED_TEST_MAIN(app::QuilloraApplication, TestOpenOperation)
#include "tst_openoperation.moc"
