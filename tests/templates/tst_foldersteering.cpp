// When the template dialog moves itself between the templates folder and the
// documents folder as the user changes the file type.

#include "templates/foldersteering.h"

#include <QtTest>

using templates::FolderSteering;
using templates::TypeChangeEffect;

namespace {

// One user action on an open dialog: 'f' a folder change in the current type,
// 't' a change to the given type.
struct Action {
    char kind;
    int filter;
};

using Move = TypeChangeEffect::Move;

// Plays the actions on a dialog opened with the template type, reporting each
// move the way the platform does, and returns the moves made.
QList<int> play(FolderSteering& s, const QList<Action>& actions, bool docsExist = true,
                bool templatesExist = true)
{
    QList<int> moves;
    int current = 1;
    s.shown(current);
    s.folderChanged(current);
    for (const Action& a : actions) {
        if (a.kind == 'f') {
            s.folderChanged(current);
            continue;
        }
        current = a.filter;
        const TypeChangeEffect e = s.typeChanged(current, docsExist, templatesExist,
                                                 [&](Move) { s.folderChanged(current); });
        moves << int(e.move);
    }
    return moves;
}

} // namespace

Q_DECLARE_METATYPE(QList<Action>)

class TestFolderSteering : public QObject {
    Q_OBJECT
private slots:
    void titles();
    void shownResetsTheCount();
    void moves_data();
    void moves();
    void lookFollowsTheType_data();
    void lookFollowsTheType();
};

void TestFolderSteering::titles()
{
    QCOMPARE(templates::dialogTitle(1), QStringLiteral("Szerződés sablon megnyitása"));
    QCOMPARE(templates::dialogTitle(2), QStringLiteral("Word állomány megnyitása"));
    QCOMPARE(templates::dialogTitle(3), QStringLiteral("Word állomány megnyitása"));
}

void TestFolderSteering::shownResetsTheCount()
{
    FolderSteering s;
    s.FolderChangeCount = 7;
    s.shown(3);
    QCOMPARE(s.FolderChangeCount, 0);
    QCOMPARE(s.TypeIndexSeen, 3);
    QCOMPARE(s.FolderIndexSeen, 3);
}

void TestFolderSteering::moves_data()
{
    QTest::addColumn<QList<Action>>("actions");
    QTest::addColumn<bool>("docsExist");
    QTest::addColumn<bool>("templatesExist");
    QTest::addColumn<QList<int>>("expected");

    const int stay = Move::Stay, docs = Move::ToDocuments, tpl = Move::ToTemplates;
    QTest::newRow(".doc right after opening")
        << QList<Action> { { 't', 3 } } << true << true << QList<int> { docs };
    QTest::newRow("after browsing in the template type")
        << QList<Action> { { 'f', 0 }, { 't', 3 } } << true << true << QList<int> { stay };
    QTest::newRow("back to templates")
        << QList<Action> { { 't', 3 }, { 't', 1 } } << true << true << QList<int> { docs, tpl };
    QTest::newRow("between .dot and .doc nothing moves")
        << QList<Action> { { 't', 2 }, { 't', 3 } } << true << true << QList<int> { docs, stay };
    QTest::newRow("coming back counts as one folder change")
        << QList<Action> { { 'f', 0 }, { 't', 3 }, { 't', 1 }, { 't', 2 } } << true << true
        << QList<int> { stay, tpl, docs };
    QTest::newRow("coming back then browsing stops the move")
        << QList<Action> { { 't', 3 }, { 't', 1 }, { 'f', 0 }, { 't', 2 } } << true << true
        << QList<int> { docs, tpl, stay };
    QTest::newRow("no documents folder")
        << QList<Action> { { 't', 3 } } << false << true << QList<int> { stay };
    QTest::newRow("no templates folder")
        << QList<Action> { { 't', 2 }, { 't', 1 } } << true << false << QList<int> { docs, stay };
    // Without a move the return to the template type does not reset the count
    // to 1, and the folder report of the next move does not count either.
    QTest::newRow("return without a documents folder")
        << QList<Action> { { 't', 2 }, { 't', 1 }, { 't', 3 } } << false << true
        << QList<int> { stay, tpl, stay };
}

void TestFolderSteering::moves()
{
    QFETCH(QList<Action>, actions);
    QFETCH(bool, docsExist);
    QFETCH(bool, templatesExist);
    QFETCH(QList<int>, expected);
    FolderSteering s;
    QCOMPARE(play(s, actions, docsExist, templatesExist), expected);
}

void TestFolderSteering::lookFollowsTheType_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<bool>("changesLook");
    QTest::addColumn<bool>("templateType");
    QTest::newRow("leave templates") << 1 << 3 << true << false;
    QTest::newRow("return to templates") << 2 << 1 << true << true;
    QTest::newRow("dot to doc") << 2 << 3 << false << false;
}

void TestFolderSteering::lookFollowsTheType()
{
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(bool, changesLook);
    QFETCH(bool, templateType);
    FolderSteering s;
    s.shown(from);
    const TypeChangeEffect e = s.typeChanged(to, true, true, [](Move) {});
    QCOMPARE(e.changesLook, changesLook);
    if (changesLook)
        QCOMPARE(e.templateType, templateType);
    QCOMPARE(s.TypeIndexSeen, to);
}

QTEST_APPLESS_MAIN(TestFolderSteering)
#include "tst_foldersteering.moc"
