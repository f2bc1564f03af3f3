// The main window as it comes up: its command set with captions, shortcuts and
// start states, the menus in order, the tool bar, the dialogs, the creation
// steps, the setting carried from one start to the next, and the central error
// report catching what escapes a handler.
#include "isolatedmain.h"

#include "app/errorreport.h"
#include "app/quilloraapplication.h"
#include "app/tform1.h"
#include "app/tform2.h"
#include "widgets/tmgrid.h"
#include "widgets/tprogresscylinder.h"
#include "widgets/anchors.h"
#include "widgets/tanalogclock.h"
#include "widgets/tcurrencyedit.h"
#include "widgets/tspeedbar.h"
#include "widgets/tspeedbutton.h"
#include "widgets/tspinbutton.h"
#include "word/error.h"

#include <QAction>
#include <QCalendarWidget>
#include <QFileDialog>
#include <QLabel>
#include <QListWidget>
#include <QTextEdit>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSettings>
#include <QToolButton>

namespace {

QString plain(QString text)
{
    return text.remove(QLatin1Char('&'));
}

// "text" for an item, "-" for a separator, "text>" for a submenu.
QStringList itemsOf(const QMenu* menu)
{
    QStringList out;
    for (const QAction* a : menu->actions()) {
        if (a->isSeparator())
            out << QStringLiteral("-");
        else
            out << plain(a->text()) + (a->menu() ? QStringLiteral(">") : QString());
    }
    return out;
}

QString settingsFile()
{
    return testenv::path(QStringLiteral("config/Quillora.ini"));
}

} // namespace

class TstMainWindow : public QObject {
    Q_OBJECT
private slots:
    void actions_data();
    void actions();
    void menuBarOrder();
    void menus_data();
    void menus();
    void menuItemsFollowTheirActions();
    void infoMenuStandsAtTheRightEnd();
    void toolBar_data();
    void toolBar();
    void toolBarStartsAtItsEdgeAndKeepsIt();
    void dialogs();
    void creationSteps();
    void overlongDocumentsFolderIsNotUsed();
    void fieldSideFollowsTheWindow();
    void officefixCarriesOverToTheNextStart();
    void malformedSettingCountsAsTicked();
    void toolBarCountIsDeletedAtCreation();
    void fileTypesAreRegisteredAtCreation();
    void progressWindow();
    void enterClicksTheDefaultButton();
    void errorsEscapingHandlersAreReported_data();
    void errorsEscapingHandlersAreReported();
};

void TstMainWindow::actions_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("category");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("shortcut");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("Open") << "Open" << "Fájl" << "Megnyitás" << "" << true;
    QTest::newRow("Save") << "Save" << "Fájl" << "Kész dokumentum mentése" << "" << false;
    QTest::newRow("Print") << "Print" << "Fájl" << "Nyomtatás" << "Ctrl+P" << false;
    QTest::newRow("Exit") << "Exit" << "Fájl" << "Kilépés" << "Alt+F4" << true;
    QTest::newRow("Showall") << "Showall" << "Word" << "Mindent mutat" << "" << true;
    QTest::newRow("Seek") << "Seek" << "Word" << "Keresés" << "" << true;
    QTest::newRow("Replace") << "Replace" << "Word" << "Csere" << "" << true;
    QTest::newRow("Go_to") << "Go_to" << "Word" << "Ugrás" << "" << true;
    QTest::newRow("Grammar") << "Grammar" << "Word" << "Helyesírás" << "" << true;
    QTest::newRow("EditCopy1") << "EditCopy1" << "Edit" << "&Másolás      Ctrl+C" << "" << true;
    QTest::newRow("EditCut1") << "EditCut1" << "Edit" << "&Kivágás      Ctrl+X" << "" << true;
    QTest::newRow("EditPaste1") << "EditPaste1" << "Edit" << "&Beillesztés       Ctrl+V" << "" << true;
    QTest::newRow("EditUndo1") << "EditUndo1" << "Edit" << "&Visszavonás    Ctrl+Z" << "" << true;
}

void TstMainWindow::actions()
{
    QFETCH(QString, name);
    QFETCH(QString, category);
    QFETCH(QString, caption);
    QFETCH(QString, shortcut);
    QFETCH(bool, enabled);
    app::TForm1 form;
    auto* a = form.ActionList1->findChild<QAction*>(name);
    QVERIFY(a);
    QCOMPARE(a->property("category").toString(), category);
    QCOMPARE(a->text(), caption);
    QCOMPARE(a->shortcut().toString(), shortcut);
    QCOMPARE(a->isEnabled(), enabled);
    QCOMPARE(form.ActionList1->findChildren<QAction*>().size(), 13);
}

void TstMainWindow::menuBarOrder()
{
    app::TForm1 form;
    QStringList titles;
    for (const QAction* a : form.menuBar()->actions())
        titles << plain(a->text());
    QCOMPARE(titles, QStringList({"Fájl", "Mező adatok", "Dokumentum", "Nézet"}));
    QVERIFY(!form.Word1->menuAction()->isEnabled());
    QVERIFY(form.Fjl1->menuAction()->isEnabled());
}

void TstMainWindow::menus_data()
{
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QStringList>("items");
    QTest::newRow("Fájl") << "Fjl1" << QStringList{"Megnyitás", "Kész dokumentum mentése", "-", "Office 2007- 2010 fix mentéskor", "-", "Nyomtatás", "Kilépés"};
    QTest::newRow("Mező adatok") << "Mezadatok1" << QStringList{"Betöltés", "Mentés", "-", "Törlés"};
    QTest::newRow("Dokumentum") << "Word1" << QStringList{"Nagyítás>", "Mindent mutat", "-", "Szerkesztés>", "-",
        "Félkövér          Ctrl+F", "Dőlt                 Ctrl+D", "-", "Keresés           Ctrl+I", "Csere", "Ugrás", "-", "Helyesírás"};
    QTest::newRow("Nagyítás") << "Nagyts1" << QStringList{"200%", "150%", "100%", "80%", "50%"};
    QTest::newRow("Szerkesztés") << "Szerkeszts1" << QStringList{"Visszavonás    Ctrl+Z", "-", "Kivágás           Ctrl+X", "Másolás           Ctrl+C", "Beillesztés       Ctrl+V", "-"};
    QTest::newRow("Nézet") << "Nzet1" << QStringList{"Dokumentum", "Beviteli mezők", "Osztott"};
    QTest::newRow("Infó") << "info1" << QStringList{"Súgó", "Névjegy"};
    QTest::newRow("PopupMenu2") << "PopupMenu2" << QStringList{"Betöltés", "Mentés", "-", "Törlés"};
    QTest::newRow("RxPopupMenu1") << "RxPopupMenu1" << QStringList{"Keresés", "Csere", "Ugrás"};
}

void TstMainWindow::menus()
{
    QFETCH(QString, menu);
    QFETCH(QStringList, items);
    app::TForm1 form;
    const auto* m = form.findChild<QMenu*>(menu);
    QVERIFY(m);
    QCOMPARE(itemsOf(m), items);
}

void TstMainWindow::menuItemsFollowTheirActions()
{
    app::TForm1 form;
    // Items start in their action's state and follow it.
    QVERIFY(!form.Ments1->isEnabled());
    QVERIFY(!form.Nyomtats1->isEnabled());
    QCOMPARE(form.Nyomtats1->shortcut().toString(), QStringLiteral("Ctrl+P"));
    form.Save->setEnabled(true);
    QVERIFY(form.Ments1->isEnabled());
    // Choosing the item runs the action (whatever handler the action has is not ours here).
    disconnect(form.Save, &QAction::triggered, nullptr, nullptr);
    int saved = 0;
    connect(form.Save, &QAction::triggered, &form, [&saved] { ++saved; });
    form.Ments1->trigger();
    QCOMPARE(saved, 1);
    // The tick: on by default, toggled by its command.
    QVERIFY(form.officefix->isCheckable());
    QVERIFY(form.officefix->isChecked());
    form.officefixClick();
    QVERIFY(!form.officefix->isChecked());
    form.officefix->trigger();
    QVERIFY(form.officefix->isChecked());
    QCOMPARE(form.Nagyts1->defaultAction(), form.N1001);
    // Exit closes the window.
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.Kilps1->trigger();
    QVERIFY(!form.isVisible());
}

void TstMainWindow::infoMenuStandsAtTheRightEnd()
{
    app::TForm1 form;
    form.show();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QMenuBar* bar = form.menuBar();
    QWidget* corner = bar->cornerWidget(Qt::TopRightCorner);
    QVERIFY(corner && corner->isVisible());
    const QRect info = corner->geometry();
    const QRect nezet = bar->actionGeometry(form.Nzet1->menuAction());
    QVERIFY(info.left() > nezet.right());
    QVERIFY(bar->width() - info.right() < 12);
    QCOMPARE(form.info1->text(), QStringLiteral("&Infó"));
    QTest::keyClick(&form, Qt::Key_I, Qt::AltModifier);
    QTRY_VERIFY(form.infoMenu->isVisible());
    form.infoMenu->close();
}

void TstMainWindow::toolBar_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("tip");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("SpeedItem6") << "SpeedItem6" << "Megnyitás" << "Megnyitás" << true;
    QTest::newRow("SpeedItem7") << "SpeedItem7" << "Kész dokumentum mentése" << "Kész dokumentum mentése" << false;
    QTest::newRow("SpeedItem1") << "SpeedItem1" << "Nyomtatás" << "Nyomtatás" << false;
    QTest::newRow("SpeedItem4") << "SpeedItem4" << "Mindent mutat" << "Mindent mutat" << false;
    QTest::newRow("SpeedItem10") << "SpeedItem10" << "Visszavonás (Ctrl+Z)" << "Visszavonás (Ctrl+Z)" << false;
    QTest::newRow("SpeedItem11") << "SpeedItem11" << "Kivágás (Ctrl+X)" << "Kivágás (Ctrl+X)" << false;
    QTest::newRow("SpeedItem12") << "SpeedItem12" << "Másolás (Ctrl+C) " << "Másolás (Ctrl+C)" << false;
    QTest::newRow("SpeedItem13") << "SpeedItem13" << "Beillesztés (Ctrl+V)" << "Beillesztés (Ctrl+V)" << false;
    QTest::newRow("SpeedItem8") << "SpeedItem8" << "Félkövér (Ctrl+F)" << "Félkövér (Ctrl+F)" << false;
    QTest::newRow("SpeedItem9") << "SpeedItem9" << "Dőlt (Ctrl+D)" << "Dőlt (Ctrl+D)" << false;
    QTest::newRow("SpeedItem3") << "SpeedItem3" << "Keresés" << "Keresés" << false;
    QTest::newRow("SpeedItem2") << "SpeedItem2" << "Nyelvtan" << "Helyesírás" << false;
    QTest::newRow("SpeedItem5") << "SpeedItem5" << "Nézet váltás" << "Nézet váltás" << true;
}

void TstMainWindow::toolBar()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QString, tip);
    QFETCH(bool, enabled);
    app::TForm1 form;
    auto* b = form.SpeedBar1->findChild<QToolButton*>(name);
    QVERIFY(b);
    QCOMPARE(b->text(), caption);
    QCOMPARE(b->toolTip(), tip);
    QCOMPARE(b->isEnabled(), enabled);
    QVERIFY(!b->icon().isNull());
}

void TstMainWindow::toolBarStartsAtItsEdgeAndKeepsIt()
{
    QFile::remove(settingsFile());
    {
        app::TForm1 form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.toolBarArea(form.SpeedBar1), Qt::RightToolBarArea);
        QCOMPARE(form.SpeedBar1->orientation(), Qt::Vertical);
        // From top to bottom in the designed order, with the designed gaps between groups.
        const QList<QWidget*> order = {form.SpeedItem6, form.SpeedItem7, form.SpeedItem1, form.Edit1, form.spb1,
                                       form.SpeedItem4, form.SpeedItem10, form.SpeedItem11, form.SpeedItem12,
                                       form.SpeedItem13, form.SpeedItem8, form.SpeedItem9, form.SpeedItem3,
                                       form.SpeedItem2, form.SpeedItem5};
        const QList<int> designTop = {20, 52, 84, 150, 172, 204, 260, 300, 332, 364, 404, 436, 500, 532, 588};
        const auto top = [&](QWidget* w) { return w->mapTo(form.SpeedBar1, QPoint()).y(); };
        const int shift = top(order[0]) - designTop[0];
        for (int i = 0; i < order.size(); ++i)
            QVERIFY2(qAbs(top(order[i]) - shift - designTop[i]) <= 2,
                     qPrintable(order[i]->objectName() + QStringLiteral(" at ") + QString::number(top(order[i]))));
        QVERIFY(!form.Edit1->isEnabled() && form.Edit1->isReadOnly());
        QCOMPARE(form.Edit1->text(), QStringLiteral("70"));
        // The user docks it at the top; that edge is remembered.
        form.removeToolBar(form.SpeedBar1);
        form.addToolBar(Qt::TopToolBarArea, form.SpeedBar1);
        form.SpeedBar1->show();
        form.close();
    }
    app::TForm1 again;
    again.show();
    QVERIFY(QTest::qWaitForWindowExposed(&again));
    QCOMPARE(again.toolBarArea(again.SpeedBar1), Qt::TopToolBarArea);
    QCOMPARE(again.SpeedBar1->orientation(), Qt::Horizontal);
    QVERIFY(again.SpeedItem6->x() < again.SpeedItem5->x());
    QFile::remove(settingsFile());
}

void TstMainWindow::dialogs()
{
    app::TForm1 form;
    QCOMPARE(form.SaveDialog1->windowTitle(), QStringLiteral("Szerződés mentése"));
    QCOMPARE(form.SaveDialog1->defaultSuffix(), QStringLiteral("doc"));
    QCOMPARE(form.SaveDialog1->nameFilters(), QStringList{QStringLiteral("Word dokumentum sablon (*.dot)")});
    QCOMPARE(form.SaveDialog1->acceptMode(), QFileDialog::AcceptSave);
    QVERIFY(!form.SaveDialog1->testOption(QFileDialog::DontConfirmOverwrite));
    QCOMPARE(form.OpenDialog2->windowTitle(), QStringLiteral("Mező adatok betöltése"));
    QCOMPARE(form.SaveDialog2->windowTitle(), QStringLiteral("Mező adatok mentése"));
    for (QFileDialog* d : {form.OpenDialog2, form.SaveDialog2}) {
        QCOMPARE(d->defaultSuffix(), QStringLiteral("mza"));
        QCOMPARE(d->nameFilters(), QStringList{QStringLiteral("Mezőadat fájlok (*.mza)")});
    }
    QCOMPARE(form.DocumentsPath, QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    // At first showing both field data dialogs open in mezoadatok beside the program.
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const QString dataDir = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("mezoadatok"));
    QCOMPARE(form.OpenDialog2->directory().absolutePath(), QDir(dataDir).absolutePath());
    QCOMPARE(form.SaveDialog2->directory().absolutePath(), QDir(dataDir).absolutePath());
}

void TstMainWindow::creationSteps()
{
    app::TForm1 form;
    QCOMPARE(form.objectName(), QStringLiteral("Form1"));
    QCOMPARE(form.windowTitle(), QStringLiteral("Zirkoma 1.4"));
    QCOMPARE(form.FieldAnchors->designGeometry(form.pcyl1), QRect(7, 658 - 32, 388, 24));
    QCOMPARE(form.pcyl1->foreColor(), QColor(176, 176, 176));
    QCOMPARE(form.palette().color(QPalette::Window), QColor(202, 200, 206));
    QCOMPARE(form.Panel1->palette().color(QPalette::Window), QColor(202, 200, 206));
    QCOMPARE(form.mc1->selectedDate(), QDate::currentDate());
    QCOMPARE(form.mc1->style()->name().toLower(), QStringLiteral("windows"));
    QCOMPARE(form.SplitWidth, 548);
    QCOMPARE(form.Mgrid1->cells(0, 0), QString());
    QCOMPARE(form.Mgrid1->cells(1, 0), QStringLiteral(" Mező neve:"));
    QCOMPARE(form.Mgrid1->cells(2, 0), QStringLiteral(" Mező tartalma:"));
    QCOMPARE(form.Mgrid1->rowCount(), 40);
    QVERIFY(!form.Mgrid1->borderPattern().isNull());
    QCOMPARE(form.Mgrid1->borderPattern().size(), QSize(64, 64));
    QVERIFY(!form.SpeedBar1->wallpaper().isNull());
    QVERIFY(!form.Edit4->hasFrame());
    // Amounts group their thousands with ".".
    QCOMPARE(QLocale().toString(1234567), QStringLiteral("1.234.567"));
    for (QWidget* hidden : {static_cast<QWidget*>(form.Image1), static_cast<QWidget*>(form.ce1),
                            static_cast<QWidget*>(form.globlist), static_cast<QWidget*>(form.RichEdit1)})
        QVERIFY(hidden->isHidden());
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(form.panel1Width(), 548);
    QCOMPARE(form.Bevel1->size(), form.mc1->size() + QSize(4, 4));
    QCOMPARE(form.Bevel1->geometry().center(), form.mc1->geometry().center());
    // The bar keeps its distances to the side's left, right and bottom edges.
    QCOMPARE(form.pcyl1->x(), 7);
    QCOMPARE(form.FieldSide->width() - form.pcyl1->geometry().right() - 1, 405 - 395);
    QCOMPARE(form.FieldSide->height() - form.pcyl1->y(), 32);
}

void TstMainWindow::overlongDocumentsFolderIsNotUsed()
{
    // A documents folder longer than 256 characters would be cut into a wrong path.
    const QString dirs = testenv::path(QStringLiteral("config/user-dirs.dirs"));
    const QString longName = QString(120, QLatin1Char('d'));
    const QString folder = QStringLiteral("$HOME/%1/%1/%1").arg(longName);
    QFile f(dirs);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QStringLiteral("XDG_DOCUMENTS_DIR=\"%1\"\n").arg(folder).toUtf8());
    f.close();
    QVERIFY(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation).size() > 256);
    {
        app::TForm1 form;
        QVERIFY(form.DocumentsPath.isEmpty());
    }
    QFile::remove(dirs);
    app::TForm1 form;
    QVERIFY(!form.DocumentsPath.isEmpty());
    QVERIFY(form.DocumentsPath.size() <= 256);
}

void TstMainWindow::fieldSideFollowsTheWindow()
{
    app::TForm1 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const QRect grid = form.Mgrid1->geometry();
    const QRect next = form.Next->geometry();
    const QRect back = form.Back->geometry();
    form.resize(form.width() + 100, form.height() + 60);
    QTRY_COMPARE(form.Mgrid1->height(), grid.height() + 60);
    // Anchored right and bottom: moves; anchored left and bottom: moves down only.
    QCOMPARE(form.Next->y(), next.y() + 60);
    QCOMPARE(form.Back->geometry(), back.translated(0, 60));
    QVERIFY(form.Next->x() >= next.x());
}

void TstMainWindow::officefixCarriesOverToTheNextStart()
{
    QFile::remove(settingsFile());
    {
        app::TForm1 first;
        QVERIFY(first.officefix->isChecked());
        first.officefixClick();
        first.show();
        first.close();
    }
    {
        app::TForm1 second;
        QVERIFY(!second.officefix->isChecked());
        second.officefix->trigger();
        second.show();
        second.close();
    }
    app::TForm1 third;
    QVERIFY(third.officefix->isChecked());
    QFile::remove(settingsFile());
}

void TstMainWindow::malformedSettingCountsAsTicked()
{
    QFile f(settingsFile());
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("[setting]\nofficefix=nem\n[padding]\nmalformed=1\n");
    f.close();
    app::TForm1 form;
    QVERIFY(form.officefix->isChecked());
    // A settings file that cannot be read at all: the window still comes up and closes.
    QFile::remove(settingsFile());
    QVERIFY(QDir().mkpath(settingsFile()));
    {
        app::TForm1 blocked;
        QVERIFY(blocked.officefix->isChecked());
        blocked.show();
        blocked.close();
    }
    QVERIFY(QDir(settingsFile()).removeRecursively());
}

void TstMainWindow::toolBarCountIsDeletedAtCreation()
{
    QFile f(settingsFile());
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("[TForm1SpeedBar1]\nCount=14\nButton0=SpeedItem6,6,20\n");
    f.close();
    app::TForm1 form;
    QSettings check(settingsFile(), QSettings::IniFormat);
    QVERIFY(!check.contains(QStringLiteral("TForm1SpeedBar1/Count")));
    QFile::remove(settingsFile());
}

void TstMainWindow::fileTypesAreRegisteredAtCreation()
{
    const QString desktop = testenv::path(QStringLiteral("data/applications/quillora.desktop"));
    app::TForm1 form;
    QVERIFY(QFile::exists(testenv::path(QStringLiteral("data/mime/packages/quillora.xml"))));
    const QSettings entry(desktop, QSettings::IniFormat);
    QCOMPARE(entry.value(QStringLiteral("Desktop Entry/Exec")).toString(),
             QCoreApplication::applicationFilePath() + QStringLiteral(" %f"));
}

void TstMainWindow::progressWindow()
{
    app::TForm1 form;
    app::TForm2 form2(&form);
    form.setForm2(&form2);
    QCOMPARE(form2.objectName(), QStringLiteral("Form2"));
    QCOMPARE(form2.size(), QSize(315, 33));
    QVERIFY(form2.windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(form2.isHidden());
    widgets::TProgressCylinder* bar = form.Form2->pcyl2;
    QCOMPARE(bar->objectName(), QStringLiteral("pcyl2"));
    QCOMPARE(bar->minimum(), 0);
    QCOMPARE(bar->maximum(), 6);
    QCOMPARE(bar->position(), 0);
    QCOMPARE(bar->text(), QStringLiteral("0%"));
    for (int i = 0; i < 8; ++i)
        bar->stepIt();
    QCOMPARE(bar->text(), QStringLiteral("Kész"));
    form2.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form2));
    QCOMPARE(bar->size(), form2.size());
}

void TstMainWindow::enterClicksTheDefaultButton()
{
    app::TForm1 form;
    form.show();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    int clicks = 0;
    connect(form.enter1, &QPushButton::clicked, &form, [&clicks] { ++clicks; });
    form.Edit4->setFocus();
    QTest::keyClick(form.Edit4, Qt::Key_Return);
    QCOMPARE(clicks, 1);
    // A grid in row mode leaves Enter to the window as well.
    form.Mgrid1->setFocus();
    QTest::keyClick(form.Mgrid1, Qt::Key_Return);
    QCOMPARE(clicks, 2);
}

void TstMainWindow::errorsEscapingHandlersAreReported_data()
{
    QTest::addColumn<bool>("engineError");
    QTest::newRow("engine error") << true;
    QTest::newRow("other exception") << false;
}

void TstMainWindow::errorsEscapingHandlersAreReported()
{
    QFETCH(bool, engineError);
    QStringList reports;
    app::setErrorPresenter([&reports](const QString& text) { reports << text; });
    QPushButton button;
    connect(&button, &QPushButton::clicked, &button, [engineError] {
        if (engineError)
            throw word::Error(QStringLiteral("A könyvjelző nem létezik: Vevő_3"));
        throw std::runtime_error("általános hiba");
    });
    button.show();
    QVERIFY(QTest::qWaitForWindowExposed(&button));
    QTest::mouseClick(&button, Qt::LeftButton);
    QCOMPARE(reports, QStringList{engineError ? QStringLiteral("A könyvjelző nem létezik: Vevő_3")
                                              : QStringLiteral("általános hiba")});
    // The program goes on: the next click is handled again.
    QTest::mouseClick(&button, Qt::LeftButton);
    QCOMPARE(reports.size(), 2);
    app::setErrorPresenter({});
}

QUILLORA_ISOLATED_TEST_MAIN(app::QuilloraApplication, TstMainWindow)
#include "tst_mainwindow.moc"
