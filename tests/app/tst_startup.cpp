// The start-up decisions: which boxes appear in which order, what the answers
// lead to, and when a hidden office process is ended.
#include "app/startup.h"

#include <QtTest>

using app::MessageSpec;
using app::OfficeProcess;

namespace {

struct Run {
    QStringList asked;        // captions and first words of the boxes shown, in order
    QList<qint64> terminated;
    QList<int> slept;
    app::StartupDecision decision;
};

Run runStartup(QSize screen, bool otherInstance, std::optional<OfficeProcess> office, QList<bool> answers)
{
    Run r;
    app::StartupEnvironment env;
    env.screen = screen;
    bool lockTaken = false;
    env.takeInstanceLock = [&] { lockTaken = true; return otherInstance; };
    env.findOffice = [&] {
        r.asked << (lockTaken ? "office looked up after the lock" : "office looked up before the lock");
        return office;
    };
    env.ask = [&](const MessageSpec& spec) {
        r.asked << spec.caption;
        return answers.isEmpty() ? false : answers.takeFirst();
    };
    env.terminate = [&](qint64 pid) { r.terminated << pid; };
    env.sleep = [&](int ms) { r.slept << ms; };
    r.decision = app::checkStartup(env);
    return r;
}

const QString kError = QStringLiteral("Quillora Hiba");
const QString kWarn = QStringLiteral("Quillora figyelmeztetés");
const QString kLooked = QStringLiteral("office looked up after the lock");

} // namespace

class TstStartup : public QObject {
    Q_OBJECT
private slots:
    void screenSize_data();
    void screenSize();
    void decisions_data();
    void decisions();
    void boxTexts();
};

void TstStartup::screenSize_data()
{
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<bool>("runs");
    QTest::newRow("exactly 1024x768") << QSize(1024, 768) << true;
    QTest::newRow("1023x768") << QSize(1023, 768) << false;
    QTest::newRow("1024x767") << QSize(1024, 767) << false;
    QTest::newRow("1280x720") << QSize(1280, 720) << false;
    QTest::newRow("1280x1024") << QSize(1280, 1024) << true;
    QTest::newRow("no screen") << QSize() << false;
}

void TstStartup::screenSize()
{
    QFETCH(QSize, screen);
    QFETCH(bool, runs);
    const Run r = runStartup(screen, false, std::nullopt, {});
    QCOMPARE(r.decision.run, runs);
    // A refused screen shows box A and nothing else; no lock was taken before it.
    const QStringList expected = runs ? QStringList{kLooked} : QStringList{kError};
    QCOMPARE(r.asked, expected);
}

void TstStartup::decisions_data()
{
    QTest::addColumn<bool>("otherInstance");
    QTest::addColumn<int>("office");          // 0 none, 1 visible, 2 hidden
    QTest::addColumn<QList<bool>>("answers");
    QTest::addColumn<bool>("runs");
    QTest::addColumn<QStringList>("asked");
    QTest::addColumn<bool>("ended");
    QTest::newRow("alone, no office") << false << 0 << QList<bool>{} << true << QStringList{kLooked} << false;
    QTest::newRow("second instance, No") << true << 0 << QList<bool>{false} << false << QStringList{kWarn} << false;
    QTest::newRow("second instance, Yes") << true << 0 << QList<bool>{true} << true << QStringList{kWarn, kLooked} << false;
    QTest::newRow("visible office, Yes") << false << 1 << QList<bool>{true} << true << QStringList{kLooked, kWarn} << false;
    QTest::newRow("visible office, No") << false << 1 << QList<bool>{false} << false << QStringList{kLooked, kWarn} << false;
    QTest::newRow("hidden office, Yes: ended") << false << 2 << QList<bool>{true} << true << QStringList{kLooked, kWarn} << true;
    QTest::newRow("hidden office, No: left alone") << false << 2 << QList<bool>{false} << false << QStringList{kLooked, kWarn} << false;
    QTest::newRow("second instance, hidden office, Yes Yes: left alone")
        << true << 2 << QList<bool>{true, true} << true << QStringList{kWarn, kLooked, kWarn} << false;
}

void TstStartup::decisions()
{
    QFETCH(bool, otherInstance);
    QFETCH(int, office);
    QFETCH(QList<bool>, answers);
    QFETCH(bool, runs);
    QFETCH(QStringList, asked);
    QFETCH(bool, ended);
    std::optional<OfficeProcess> proc;
    if (office)
        proc = OfficeProcess{4242, office == 1};
    const Run r = runStartup(QSize(1280, 1024), otherInstance, proc, answers);
    QCOMPARE(r.decision.run, runs);
    QCOMPARE(r.decision.alreadyRunning, otherInstance);
    QCOMPARE(r.asked, asked);
    QCOMPARE(r.decision.officeEnded, ended);
    QCOMPARE(r.terminated, ended ? QList<qint64>{4242} : QList<qint64>{});
    QCOMPARE(r.slept, ended ? QList<int>{10} : QList<int>{});
}

void TstStartup::boxTexts()
{
    const MessageSpec a = app::startupmessages::screenTooSmall();
    QCOMPARE(a.text, QStringLiteral("A program működéséhez szükséges legkisebb felbontás 1024x768 !"));
    QCOMPARE(a.icon, QMessageBox::Critical);
    QCOMPARE(a.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    const MessageSpec b = app::startupmessages::alreadyRunning();
    QCOMPARE(b.text, QStringLiteral("A Quillora egy példánya már fut a rendszeren.\rEnnek ellenére folytatja ? "));
    QCOMPARE(b.icon, QMessageBox::Warning);
    QCOMPARE(b.buttons, QMessageBox::Yes | QMessageBox::No);
    const MessageSpec c = app::startupmessages::officeRunning();
    QVERIFY(c.text.startsWith(QStringLiteral("A Word egy vagy több példánya jelenleg aktív. Ez problémákat okozhat.\r")));
    QVERIFY(c.text.endsWith(QStringLiteral(".\n\rEnnek ellenére folytatja ? ")));
    QCOMPARE(c.caption, kWarn);
    // Shown on screen, every carriage return is a line break.
    QCOMPARE(app::displayText(b.text), QStringLiteral("A Quillora egy példánya már fut a rendszeren.\nEnnek ellenére folytatja ? "));
    QCOMPARE(app::displayText(QStringLiteral("a\r\nb\n\rc\rd")), QStringLiteral("a\nb\n\nc\nd"));
}

QTEST_MAIN(TstStartup)
#include "tst_startup.moc"
