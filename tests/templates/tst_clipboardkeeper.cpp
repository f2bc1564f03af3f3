// The user's clipboard survives the open operation's own use of it.

#include "templates/clipboardkeeper.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QtTest>

using templates::ClipboardKeeper;

class TestClipboardKeeper : public QObject {
    Q_OBJECT
private slots:
    void everyFormatComesBack_data();
    void everyFormatComesBack();
    void emptyClipboardStaysEmpty();
    void givingBackTwiceDoesNotRepeat();
};

void TestClipboardKeeper::everyFormatComesBack_data()
{
    QTest::addColumn<QStringList>("formats");
    QTest::newRow("plain text") << QStringList { "text/plain" };
    QTest::newRow("rich text and a private format")
        << QStringList { "text/plain", "text/html", "application/x-other-program-fragment" };
    QTest::newRow("image bytes") << QStringList { "image/png" };
}

void TestClipboardKeeper::everyFormatComesBack()
{
    QFETCH(QStringList, formats);
    QClipboard* clipboard = QGuiApplication::clipboard();
    auto* original = new QMimeData;
    for (const QString& f : formats)
        original->setData(f, (f + QStringLiteral(" tartalom: árvíztűrő")).toUtf8());
    clipboard->setMimeData(original);

    ClipboardKeeper keeper(clipboard);
    keeper.setAside();
    QVERIFY(keeper.holdsContent());
    // The assembly overwrites the clipboard with its own fragments.
    clipboard->setText(QStringLiteral("blokk"));
    keeper.giveBack();

    const QMimeData* back = clipboard->mimeData();
    QVERIFY(back);
    for (const QString& f : formats)
        QCOMPARE(back->data(f), (f + QStringLiteral(" tartalom: árvíztűrő")).toUtf8());
    QVERIFY(!keeper.holdsContent());
}

void TestClipboardKeeper::emptyClipboardStaysEmpty()
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    ClipboardKeeper keeper(clipboard);
    keeper.setAside();
    QVERIFY(!keeper.holdsContent());
    clipboard->setText(QStringLiteral("blokk"));
    keeper.giveBack();
    QVERIFY(clipboard->text().isEmpty());
}

void TestClipboardKeeper::givingBackTwiceDoesNotRepeat()
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setText(QStringLiteral("első"));
    ClipboardKeeper keeper(clipboard);
    keeper.setAside();
    keeper.giveBack();
    QCOMPARE(clipboard->text(), QStringLiteral("első"));
    clipboard->setText(QStringLiteral("második"));
    keeper.giveBack();
    QVERIFY(clipboard->text().isEmpty());
}

QTEST_MAIN(TestClipboardKeeper)
#include "tst_clipboardkeeper.moc"
