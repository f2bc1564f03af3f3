// The actions of ActionList1 and the menus that show them.
#include "app/actionlink.h"
#include "app/tform1.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>

namespace app {

namespace {

QAction* makeAction(QObject* list, QWidget* window, const char* name, const QString& category,
                    const QString& caption, const QKeySequence& shortcut = {}, bool enabled = true)
{
    auto* a = new QAction(caption, list);
    a->setObjectName(QLatin1String(name));
    a->setProperty("category", category);
    a->setShortcut(shortcut);
    a->setEnabled(enabled);
    // Shortcuts of an action only work while it is added to a visible widget.
    window->addAction(a);
    return a;
}

QAction* plainItem(QObject* parent, const char* name, const QString& caption)
{
    auto* a = new QAction(caption, parent);
    a->setObjectName(QLatin1String(name));
    return a;
}

QMenu* makeMenu(QWidget* parent, const char* name, const QString& title)
{
    auto* m = new QMenu(title, parent);
    m->setObjectName(QLatin1String(name));
    m->menuAction()->setObjectName(QLatin1String(name));
    return m;
}

} // namespace

void TForm1::createActions()
{
    ActionList1 = new QObject(this);
    ActionList1->setObjectName(QStringLiteral("ActionList1"));
    const QString file = QStringLiteral("Fájl"), word = QStringLiteral("Word"), edit = QStringLiteral("Edit");
    Open = makeAction(ActionList1, this, "Open", file, QStringLiteral("Megnyitás"));
    Save = makeAction(ActionList1, this, "Save", file, QStringLiteral("Kész dokumentum mentése"), {}, false);
    Print = makeAction(ActionList1, this, "Print", file, QStringLiteral("Nyomtatás"), QKeySequence(QStringLiteral("Ctrl+P")), false);
    Exit = makeAction(ActionList1, this, "Exit", file, QStringLiteral("Kilépés"), QKeySequence(QStringLiteral("Alt+F4")));
    Showall = makeAction(ActionList1, this, "Showall", word, QStringLiteral("Mindent mutat"));
    Seek = makeAction(ActionList1, this, "Seek", word, QStringLiteral("Keresés"));
    Replace = makeAction(ActionList1, this, "Replace", word, QStringLiteral("Csere"));
    Go_to = makeAction(ActionList1, this, "Go_to", word, QStringLiteral("Ugrás"));
    Grammar = makeAction(ActionList1, this, "Grammar", word, QStringLiteral("Helyesírás"));
    EditCopy1 = makeAction(ActionList1, this, "EditCopy1", edit, QStringLiteral("&Másolás      Ctrl+C"));
    EditCut1 = makeAction(ActionList1, this, "EditCut1", edit, QStringLiteral("&Kivágás      Ctrl+X"));
    EditPaste1 = makeAction(ActionList1, this, "EditPaste1", edit, QStringLiteral("&Beillesztés       Ctrl+V"));
    EditUndo1 = makeAction(ActionList1, this, "EditUndo1", edit, QStringLiteral("&Visszavonás    Ctrl+Z"));
    connect(Exit, &QAction::triggered, this, &TForm1::ExitExecute);
}

void TForm1::createMenus()
{
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));

    Fjl1 = makeMenu(bar, "Fjl1", QStringLiteral("&Fájl"));
    Megnyits1 = linkedItem(Fjl1, "Megnyits1", Open);
    Ments1 = linkedItem(Fjl1, "Ments1", Save);
    officefix = plainItem(Fjl1, "officefix", QStringLiteral("Office 2007- 2010 fix mentéskor"));
    officefix->setCheckable(true);
    officefix->setChecked(true);
    Nyomtats1 = linkedItem(Fjl1, "Nyomtats1", Print);
    Kilps1 = linkedItem(Fjl1, "Kilps1", Exit);
    Fjl1->addActions({Megnyits1, Ments1});
    Fjl1->addSeparator();
    Fjl1->addAction(officefix);
    Fjl1->addSeparator();
    Fjl1->addActions({Nyomtats1, Kilps1});
    bar->addMenu(Fjl1);

    Mezadatok1 = makeMenu(bar, "Mezadatok1", QStringLiteral("&Mező adatok"));
    Betlts1 = plainItem(Mezadatok1, "Betlts1", QStringLiteral("Betöltés"));
    Ments2 = plainItem(Mezadatok1, "Ments2", QStringLiteral("Mentés"));
    Trls1 = plainItem(Mezadatok1, "Trls1", QStringLiteral("Törlés"));
    Mezadatok1->addActions({Betlts1, Ments2});
    Mezadatok1->addSeparator();
    Mezadatok1->addAction(Trls1);
    bar->addMenu(Mezadatok1);

    Word1 = makeMenu(bar, "Word1", QStringLiteral("&Dokumentum"));
    Nagyts1 = makeMenu(Word1, "Nagyts1", QStringLiteral("Nagyítás"));
    auto* zoomGroup = new QActionGroup(Nagyts1);
    zoomGroup->setExclusive(true);
    const std::pair<const char*, const char*> zooms[] = {
        {"N2001", "200%"}, {"N1501", "150%"}, {"N1001", "100%"}, {"N751", "80%"}, {"N501", "50%"}};
    QAction** zoomItems[] = {&N2001, &N1501, &N1001, &N751, &N501};
    for (int i = 0; i < 5; ++i) {
        QAction* a = plainItem(Nagyts1, zooms[i].first, QString::fromLatin1(zooms[i].second));
        a->setCheckable(true);
        zoomGroup->addAction(a);
        Nagyts1->addAction(a);
        *zoomItems[i] = a;
    }
    // The default item of the zoom menu is drawn bold.
    Nagyts1->setDefaultAction(N1001);
    Word1->addMenu(Nagyts1);
    Mindentmutat1 = linkedItem(Word1, "Mindentmutat1", Showall);
    Mindentmutat1->setCheckable(true);
    Word1->addAction(Mindentmutat1);
    Word1->addSeparator();
    Szerkeszts1 = makeMenu(Word1, "Szerkeszts1", QStringLiteral("Szerkesztés"));
    Visszavons1 = linkedItem(Szerkeszts1, "Visszavons1", EditUndo1);
    Kivgs1 = linkedItem(Szerkeszts1, "Kivgs1", EditCut1, QStringLiteral("&Kivágás           Ctrl+X"));
    Msols1 = linkedItem(Szerkeszts1, "Msols1", EditCopy1, QStringLiteral("&Másolás           Ctrl+C"));
    Beilleszts1 = linkedItem(Szerkeszts1, "Beilleszts1", EditPaste1);
    Szerkeszts1->addAction(Visszavons1);
    Szerkeszts1->addSeparator();
    Szerkeszts1->addActions({Kivgs1, Msols1, Beilleszts1});
    Szerkeszts1->addSeparator();
    Word1->addMenu(Szerkeszts1);
    Word1->addSeparator();
    Flkvr1 = plainItem(Word1, "Flkvr1", QStringLiteral("Félkövér          Ctrl+F"));
    Dlt1 = plainItem(Word1, "Dlt1", QStringLiteral("Dőlt                 Ctrl+D"));
    Word1->addActions({Flkvr1, Dlt1});
    Word1->addSeparator();
    Keress2 = linkedItem(Word1, "Keress2", Seek, QStringLiteral("Keresés           Ctrl+I"));
    Csere2 = linkedItem(Word1, "Csere2", Replace);
    Ugrs2 = linkedItem(Word1, "Ugrs2", Go_to);
    Word1->addActions({Keress2, Csere2, Ugrs2});
    Word1->addSeparator();
    Helyesrs1 = linkedItem(Word1, "Helyesrs1", Grammar);
    Word1->addAction(Helyesrs1);
    Word1->menuAction()->setEnabled(false);
    bar->addMenu(Word1);

    Nzet1 = makeMenu(bar, "Nzet1", QStringLiteral("&Nézet"));
    Dokumentum1 = plainItem(Nzet1, "Dokumentum1", QStringLiteral("Dokumentum"));
    Bevitelimezk1 = plainItem(Nzet1, "Bevitelimezk1", QStringLiteral("Beviteli mezők"));
    Osztott1 = plainItem(Nzet1, "Osztott1", QStringLiteral("Osztott"));
    Nzet1->addActions({Dokumentum1, Bevitelimezk1, Osztott1});
    bar->addMenu(Nzet1);

    // "Infó" stands apart at the right end of the bar: a bar of its own in the
    // corner, which still answers Alt+I.
    auto* corner = new QMenuBar(bar);
    corner->setObjectName(QStringLiteral("InfoBar"));
    infoMenu = makeMenu(corner, "info1", QStringLiteral("&Infó"));
    info1 = infoMenu->menuAction();
    Sg1 = plainItem(infoMenu, "Sg1", QStringLiteral("Súgó"));
    Nvjegy1 = plainItem(infoMenu, "Nvjegy1", QStringLiteral("Névjegy"));
    infoMenu->addActions({Sg1, Nvjegy1});
    corner->addMenu(infoMenu);
    bar->setCornerWidget(corner, Qt::TopRightCorner);
    connect(Nvjegy1, &QAction::triggered, this, &TForm1::Nvjegy1Click);

    PopupMenu2 = makeMenu(this, "PopupMenu2", QString());
    Betlts2 = plainItem(PopupMenu2, "Betlts2", QStringLiteral("Betöltés"));
    Ments3 = plainItem(PopupMenu2, "Ments3", QStringLiteral("Mentés"));
    Trls2 = plainItem(PopupMenu2, "Trls2", QStringLiteral("Törlés"));
    PopupMenu2->addActions({Betlts2, Ments3});
    PopupMenu2->addSeparator();
    PopupMenu2->addAction(Trls2);

    RxPopupMenu1 = makeMenu(this, "RxPopupMenu1", QString());
    Keress1 = plainItem(RxPopupMenu1, "Keress1", QStringLiteral("Keresés"));
    Csere1 = plainItem(RxPopupMenu1, "Csere1", QStringLiteral("Csere"));
    Ugrs1 = plainItem(RxPopupMenu1, "Ugrs1", QStringLiteral("Ugrás"));
    RxPopupMenu1->addActions({Keress1, Csere1, Ugrs1});
}

} // namespace app
