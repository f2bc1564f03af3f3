// The file the open operation loads for the dialog's choice.

#include "templates/openpath.h"

#include <QtTest>

using namespace templates;

class TestOpenPath : public QObject {
    Q_OBJECT
private slots:
    void variantSuffix_data();
    void variantSuffix();
    void openPath_data();
    void openPath();
};

void TestOpenPath::variantSuffix_data()
{
    QTest::addColumn<int>("sellers");
    QTest::addColumn<int>("buyers");
    QTest::addColumn<QString>("expected");
    const char* sel[] = { "-egyesel", "-egyesel", "-tobbesel" };
    const char* vev[] = { "-egyesvev", "-egyesvev", "-tobbesvev" };
    for (int s = 0; s <= 2; ++s) {
        for (int b = 0; b <= 2; ++b) {
            QTest::addRow("%d sellers, %d buyers", s, b)
                << s << b << QString::fromLatin1(sel[s]) + QLatin1String(vev[b]) + QLatin1String(".dot");
        }
    }
    QTest::newRow("more than two") << 5 << 3 << QStringLiteral("-tobbesel-tobbesvev.dot");
}

void TestOpenPath::variantSuffix()
{
    QFETCH(int, sellers);
    QFETCH(int, buyers);
    QFETCH(QString, expected);
    QCOMPARE(templates::variantSuffix(sellers, buyers), expected);
}

void TestOpenPath::openPath_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<int>("sellers");
    QTest::addColumn<int>("buyers");
    QTest::addColumn<QString>("expected");
    QTest::newRow("template, one seller two buyers")
        << "/srv/Sablonok/adasveteli.sab" << 1 << 2 << "/srv/Sablonok/adasveteli-egyesel-tobbesvev.dot";
    QTest::newRow("upper-case extension")
        << "/home/u/Sablon.SAB" << 2 << 1 << "/home/u/Sablon-tobbesel-egyesvev.dot";
    QTest::newRow("counts before the first run") << "/t/a.sab" << 0 << 0 << "/t/a-egyesel-egyesvev.dot";
    QTest::newRow("saved document unchanged") << "/d/szerzodes.dot" << 2 << 2 << "/d/szerzodes.dot";
    QTest::newRow("word document unchanged") << "/d/level.doc" << 2 << 2 << "/d/level.doc";
    QTest::newRow("dot in the folder name") << "/d/v1.sab/level" << 1 << 1 << "/d/v1.sab/level";
    QTest::newRow("dotted base name") << "/d/a.b.sab" << 1 << 1 << "/d/a.b-egyesel-egyesvev.dot";
}

void TestOpenPath::openPath()
{
    QFETCH(QString, chosen);
    QFETCH(int, sellers);
    QFETCH(int, buyers);
    QFETCH(QString, expected);
    QCOMPARE(openPathFor(chosen, sellers, buyers), expected);
}

QTEST_APPLESS_MAIN(TestOpenPath)
#include "tst_openpath.moc"
