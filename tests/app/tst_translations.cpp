// Qt's own texts in Hungarian: the buttons of the message boxes, the file and
// print dialogs, and the calendar, whatever the system's locale is (the suites
// run under C.UTF-8). Without the translation file the texts stay English and
// nothing else changes.
#include "isolatedmain.h"

#include "app/messagebox.h"
#include "app/quilloraapplication.h"
#include "app/startup.h"
#include "app/tform1.h"

#include <QCalendarWidget>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

Q_DECLARE_METATYPE(app::MessageSpec)

namespace {

struct ShownBox {
    QMap<QMessageBox::StandardButton, QString> texts;
    QString caption;
    bool found = false;
};

// Shows spec as the program does and reads the buttons of the box on screen.
ShownBox showAndRead(const app::MessageSpec& spec)
{
    ShownBox shown;
    QTimer::singleShot(0, qApp, [&shown] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        shown.found = true;
        shown.caption = box->windowTitle();
        for (QAbstractButton* b : box->buttons())
            shown.texts.insert(box->standardButton(b), b->text());
        box->reject();
    });
    app::showMessage(spec);
    return shown;
}

app::MessageSpec saveQuestion()
{
    return {QStringLiteral("Akarja előbb menteni a jelenlegi fájlt ?"), QStringLiteral("Quillora"), QMessageBox::Question,
            QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel};
}

QStringList buttonTexts(QWidget* dialog)
{
    QStringList out;
    for (QDialogButtonBox* box : dialog->findChildren<QDialogButtonBox*>()) {
        for (QAbstractButton* b : box->buttons())
            out << QString(b->text()).remove(u'&');   // where the accelerator sits is the translation's choice
    }
    return out;
}

} // namespace

class TstTranslations : public QObject {
    Q_OBJECT
private slots:
    void missingFileKeepsEnglish();
    void messageBoxButtons_data();
    void messageBoxButtons();
    void saveDialogOfTheFinishedDocument();
    void fieldDataDialogs();
    void printDialog();
    void calendarIsHungarianNumbersKeepTheirFormat();
};

void TstTranslations::missingFileKeepsEnglish()
{
    auto* application = qobject_cast<app::QuilloraApplication*>(qApp);
    QVERIFY(!application->loadTranslations(testenv::path(QStringLiteral("no-translations-here"))));
    const ShownBox b = showAndRead(app::startupmessages::alreadyRunning());
    QVERIFY(b.found);
    QCOMPARE(b.texts.value(QMessageBox::Yes), QStringLiteral("&Yes"));
    QCOMPARE(b.texts.value(QMessageBox::No), QStringLiteral("&No"));
    // The real file is there on a machine set up for the program.
    QVERIFY2(application->loadTranslations(),
             qPrintable(QStringLiteral("qtbase_hu.qm is missing from ") + app::QuilloraApplication::defaultTranslationsFolder()));
}

void TstTranslations::messageBoxButtons_data()
{
    QTest::addColumn<app::MessageSpec>("spec");
    QTest::addColumn<QStringList>("expected");   // Yes, No, Cancel; empty where the box has no such button
    QTest::newRow("box B") << app::startupmessages::alreadyRunning() << QStringList{"&Igen", "&Nem", ""};
    QTest::newRow("box C") << app::startupmessages::officeRunning() << QStringList{"&Igen", "&Nem", ""};
    QTest::newRow("save question") << saveQuestion() << QStringList{"&Igen", "&Nem", "Mégse"};
}

void TstTranslations::messageBoxButtons()
{
    QFETCH(app::MessageSpec, spec);
    QFETCH(QStringList, expected);
    const ShownBox b = showAndRead(spec);
    QVERIFY(b.found);
    QCOMPARE(b.caption, spec.caption);
    QCOMPARE(b.texts.value(QMessageBox::Yes), expected.at(0));
    QCOMPARE(b.texts.value(QMessageBox::No), expected.at(1));
    QCOMPARE(b.texts.value(QMessageBox::Cancel), expected.at(2));
}

void TstTranslations::saveDialogOfTheFinishedDocument()
{
    app::TForm1 form;
    QFileDialog* d = form.SaveDialog1;
    QVERIFY(d);
    QCOMPARE(d->windowTitle(), QStringLiteral("Szerződés mentése"));
    QCOMPARE(buttonTexts(d), (QStringList{"Mentés", "Mégse"}));
    // The labels of the dialog are Hungarian too.
    QStringList labels;
    for (QLabel* l : d->findChildren<QLabel*>())
        labels << QString(l->text()).remove(u'&');
    QVERIFY2(labels.contains(QStringLiteral("Fájl neve:")), qPrintable(labels.join(u'|')));
    QVERIFY2(labels.contains(QStringLiteral("Fájlok típusa:")), qPrintable(labels.join(u'|')));
}

void TstTranslations::fieldDataDialogs()
{
    app::TForm1 form;
    QCOMPARE(buttonTexts(form.OpenDialog2), (QStringList{"Megnyitás", "Mégse"}));
    QCOMPARE(buttonTexts(form.SaveDialog2), (QStringList{"Mentés", "Mégse"}));
}

void TstTranslations::printDialog()
{
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Nyomtatás"));
    const QStringList texts = buttonTexts(&dialog);
    QVERIFY2(texts.contains(QStringLiteral("Mégse")), qPrintable(texts.join(u'|')));
    QVERIFY2(!texts.contains(QStringLiteral("Cancel")) && !texts.contains(QStringLiteral("Print")), qPrintable(texts.join(u'|')));
}

void TstTranslations::calendarIsHungarianNumbersKeepTheirFormat()
{
    app::TForm1 form;
    QCalendarWidget* mc1 = form.mc1;
    QCOMPARE(mc1->locale().language(), QLocale::Hungarian);
    QCOMPARE(mc1->firstDayOfWeek(), Qt::Monday);
    mc1->setSelectedDate(QDate(2026, 12, 8));
    mc1->setCurrentPage(2026, 12);
    auto* month = mc1->findChild<QToolButton*>(QStringLiteral("qt_calendar_monthbutton"));
    QVERIFY(month);
    QCOMPARE(month->text(), QStringLiteral("december"));
    // Amounts still group thousands with "." (the process-wide number format).
    QCOMPARE(QLocale().toString(1234567), QStringLiteral("1.234.567"));
    QCOMPARE(QLocale().decimalPoint(), QStringLiteral(","));
}

QUILLORA_ISOLATED_TEST_MAIN(app::QuilloraApplication, TstTranslations)
#include "tst_translations.moc"
