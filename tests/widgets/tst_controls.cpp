// The small controls: repeating speed buttons, the spin button's halves, the
// shaped button's outline, the clock's hands, the amount format and the anchors.
#include "widgets/anchors.h"
#include "widgets/artwork.h"
#include "widgets/tanalogclock.h"
#include "widgets/tcurrencyedit.h"
#include "widgets/tshapedbutton.h"
#include "widgets/tspeedbutton.h"
#include "widgets/tspinbutton.h"

#include <QtTest>

class TstControls : public QObject {
    Q_OBJECT
private slots:
    void speedButtonRepeatsWhileHeld_data();
    void speedButtonRepeatsWhileHeld();
    void spinButtonHalves();
    void spinButtonRepeatsAndStops();
    void shapedButtonAnswersOnlyInsideItsPicture_data();
    void shapedButtonAnswersOnlyInsideItsPicture();
    void shapedButtonTurns();
    void clockHands_data();
    void clockHands();
    void amountFormat_data();
    void amountFormat();
    void currencyEditShowsItsValue();
    void anchors_data();
    void anchors();
    void anchorsKeepWhatOthersChanged();
    void drawnIconsExist();
};

void TstControls::speedButtonRepeatsWhileHeld_data()
{
    QTest::addColumn<int>("interval");
    QTest::addColumn<int>("holdMs");
    QTest::addColumn<int>("atLeast");
    QTest::addColumn<int>("atMost");
    QTest::newRow("short press, one click") << 50 << 100 << 1 << 1;
    QTest::newRow("held, repeats every 50 ms") << 50 << 900 << 6 << 13;
    QTest::newRow("repeat off") << 0 << 900 << 1 << 1;
}

void TstControls::speedButtonRepeatsWhileHeld()
{
    QFETCH(int, interval);
    QFETCH(int, holdMs);
    QFETCH(int, atLeast);
    QFETCH(int, atMost);
    widgets::TSpeedButton b;
    b.setText(QStringLiteral(">>"));
    b.setRepeatInterval(interval);
    b.resize(65, 25);
    b.show();
    QVERIFY(QTest::qWaitForWindowExposed(&b));
    int clicks = 0;
    connect(&b, &QAbstractButton::clicked, &b, [&clicks] { ++clicks; });
    QTest::mousePress(&b, Qt::LeftButton);
    QTest::qWait(holdMs);
    QTest::mouseRelease(&b, Qt::LeftButton);
    QVERIFY2(clicks >= atLeast && clicks <= atMost, qPrintable(QString::number(clicks)));
}

void TstControls::spinButtonHalves()
{
    widgets::TSpinButton spin;
    spin.resize(20, 26);
    int top = 0, bottom = 0;
    connect(&spin, &widgets::TSpinButton::topClick, &spin, [&top] { ++top; });
    connect(&spin, &widgets::TSpinButton::bottomClick, &spin, [&bottom] { ++bottom; });
    QTest::mouseClick(&spin, Qt::LeftButton, {}, QPoint(10, 4));
    QTest::mouseClick(&spin, Qt::LeftButton, {}, QPoint(10, 22));
    QTest::mouseClick(&spin, Qt::LeftButton, {}, QPoint(10, 21));
    QCOMPARE(top, 1);
    QCOMPARE(bottom, 2);
    spin.setEnabled(false);
    QTest::mouseClick(&spin, Qt::LeftButton, {}, QPoint(10, 4));
    QCOMPARE(top, 1);
}

void TstControls::spinButtonRepeatsAndStops()
{
    widgets::TSpinButton spin;
    spin.resize(20, 26);
    int top = 0;
    connect(&spin, &widgets::TSpinButton::topClick, &spin, [&top] { ++top; });
    QTest::mousePress(&spin, Qt::LeftButton, {}, QPoint(10, 4));
    QTest::qWait(750);
    QTest::mouseRelease(&spin, Qt::LeftButton, {}, QPoint(10, 4));
    const int afterRelease = top;
    QVERIFY2(afterRelease >= 3, qPrintable(QString::number(afterRelease)));
    QTest::qWait(250);
    QCOMPARE(top, afterRelease);
}

void TstControls::shapedButtonAnswersOnlyInsideItsPicture_data()
{
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<int>("clicks");
    QTest::newRow("centre") << QPoint(44, 30) << 1;
    QTest::newRow("inside near the left rim") << QPoint(6, 30) << 1;
    QTest::newRow("outside, top left corner") << QPoint(3, 3) << 0;
    QTest::newRow("outside, bottom right corner") << QPoint(85, 57) << 0;
}

void TstControls::shapedButtonAnswersOnlyInsideItsPicture()
{
    QFETCH(QPoint, at);
    QFETCH(int, clicks);
    widgets::TShapedButton b;
    b.resize(88, 60);
    b.setPicture(widgets::Artwork::coin(QSize(88, 60)));
    int n = 0;
    connect(&b, &QAbstractButton::clicked, &b, [&n] { ++n; });
    QTest::mouseClick(&b, Qt::LeftButton, {}, at);
    QCOMPARE(n, clicks);
}

void TstControls::shapedButtonTurns()
{
    widgets::TShapedButton b;
    b.setPicture(widgets::Artwork::coin(QSize(80, 40)));
    QCOMPARE(b.sizeHint(), QSize(82, 42));
    b.setAngle(90);
    QCOMPARE(b.sizeHint(), QSize(42, 82));
    b.setAngle(-90);
    QCOMPARE(b.angle(), 270);
    b.setAngle(360);
    QCOMPARE(b.angle(), 0);
}

void TstControls::clockHands_data()
{
    QTest::addColumn<QTime>("time");
    QTest::addColumn<double>("hour");
    QTest::addColumn<double>("minute");
    QTest::addColumn<double>("second");
    QTest::newRow("noon") << QTime(12, 0, 0) << 0.0 << 0.0 << 0.0;
    QTest::newRow("three") << QTime(3, 0, 0) << 90.0 << 0.0 << 0.0;
    QTest::newRow("half past nine pm") << QTime(21, 30, 0) << 285.0 << 180.0 << 0.0;
    QTest::newRow("seconds move the minute hand") << QTime(0, 15, 30) << 7.5 << 93.0 << 180.0;
}

void TstControls::clockHands()
{
    QFETCH(QTime, time);
    QFETCH(double, hour);
    QFETCH(double, minute);
    QFETCH(double, second);
    const widgets::HandAngles a = widgets::TAnalogClock::handAngles(time);
    QCOMPARE(a.hour, hour);
    QCOMPARE(a.minute, minute);
    QCOMPARE(a.second, second);
}

void TstControls::amountFormat_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");
    const QString ft = QStringLiteral(",0 -Ft;-,0 -Ft");
    QTest::newRow("small") << ft << 5.0 << "5 -Ft";
    QTest::newRow("thousands") << ft << 1234567.0 << "1.234.567 -Ft";
    QTest::newRow("exact thousand") << ft << 1000.0 << "1.000 -Ft";
    QTest::newRow("rounded") << ft << 999.6 << "1.000 -Ft";
    QTest::newRow("zero") << ft << 0.0 << "0 -Ft";
    QTest::newRow("negative section") << ft << -25000.0 << "-25.000 -Ft";
    QTest::newRow("single section negative") << QStringLiteral(",0 Ft") << -1500.0 << "-1.500 Ft";
    QTest::newRow("decimals") << QStringLiteral(",0.00") << 1234.5 << "1.234,50";
    QTest::newRow("no grouping") << QStringLiteral("0") << 123456.0 << "123456";
    QTest::newRow("optional digits") << QStringLiteral("#,##0") << 0.0 << "0";
    QTest::newRow("prefix") << QStringLiteral("Ft ,0") << 2500.0 << "Ft 2.500";
}

void TstControls::amountFormat()
{
    QFETCH(QString, format);
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(widgets::TCurrencyEdit::formatAmount(format, value), expected);
}

void TstControls::currencyEditShowsItsValue()
{
    widgets::TCurrencyEdit e;
    e.setDisplayFormat(QStringLiteral(",0 -Ft;-,0 -Ft"));
    e.setValue(2500000);
    QCOMPARE(e.text(), QStringLiteral("2.500.000 -Ft"));
    QCOMPARE(e.value(), 2500000.0);
}

void TstControls::anchors_data()
{
    QTest::addColumn<int>("edges");
    QTest::addColumn<QRect>("expected");
    // Child at (10, 20, 100 x 30) in a 400 x 300 parent that grows to 500 x 350.
    QTest::newRow("left top") << int(Qt::LeftEdge | Qt::TopEdge) << QRect(10, 20, 100, 30);
    QTest::newRow("right bottom moves") << int(Qt::RightEdge | Qt::BottomEdge) << QRect(110, 70, 100, 30);
    QTest::newRow("left right stretches") << int(Qt::LeftEdge | Qt::RightEdge | Qt::TopEdge) << QRect(10, 20, 200, 30);
    QTest::newRow("all four") << int(Qt::LeftEdge | Qt::RightEdge | Qt::TopEdge | Qt::BottomEdge) << QRect(10, 20, 200, 80);
    QTest::newRow("left right bottom") << int(Qt::LeftEdge | Qt::RightEdge | Qt::BottomEdge) << QRect(10, 70, 200, 30);
}

void TstControls::anchors()
{
    QFETCH(int, edges);
    QFETCH(QRect, expected);
    QWidget parent;
    parent.resize(400, 300);
    auto* child = new QWidget(&parent);
    child->setGeometry(10, 20, 100, 30);
    auto* a = new widgets::Anchors(&parent);
    a->add(child, Qt::Edges(edges));
    parent.resize(500, 350);
    QCoreApplication::sendPostedEvents();
    a->apply();
    QCOMPARE(child->geometry(), expected);
}

// A label fitted to new text, and moved, between two resizes keeps its new
// size and place; only the anchored edge's motion is added.
void TstControls::anchorsKeepWhatOthersChanged()
{
    QWidget parent;
    parent.resize(400, 300);
    auto* label = new QWidget(&parent);
    label->setGeometry(40, 200, 10, 18);
    widgets::Anchors a(&parent);
    a.add(label, Qt::LeftEdge | Qt::BottomEdge);
    label->setGeometry(60, 200, 150, 18);     // fitted to "Eladó_Cégnév" and moved
    parent.resize(500, 350);
    a.apply();
    QCOMPARE(label->geometry(), QRect(60, 250, 150, 18));
    parent.resize(450, 320);
    a.apply();
    QCOMPARE(label->geometry(), QRect(60, 220, 150, 18));
}

void TstControls::drawnIconsExist()
{
    for (const char* name : {"document-open", "document-save", "document-print", "show-all", "edit-undo", "edit-cut",
                             "edit-copy", "edit-paste", "format-text-bold", "format-text-italic", "edit-find",
                             "tools-check-spelling", "view-switch"}) {
        const QIcon icon = widgets::Artwork::toolIcon(QLatin1String(name));
        QVERIFY2(!icon.isNull(), name);
        QVERIFY2(!icon.pixmap(24, 24).toImage().isNull(), name);
    }
    QVERIFY(widgets::Artwork::toolIcon(QStringLiteral("no-such-icon-anywhere")).isNull());
}

QTEST_MAIN(TstControls)
#include "tst_controls.moc"
