// Crash recovery through the real window. The suite starts itself as a child
// process that opens a document in the main window and confirms values one
// after another through the entry box; the child is killed with SIGKILL in
// the middle of that. A second child starts as the program does after such
// an end: it must ask the restore question, reopen the file and put every
// confirmed value back into the grid and the document.

#include "../docxfixture.h"
#include "app/isolatedmain.h"
#include "app/quilloraapplication.h"
#include "app/tform1.h"
#include "app/tform2.h"
#include "fields/recoveryfile.h"
#include "fields/recoveryhooks.h"
#include "templates/tpaletteopendialog.h"
#include "widgets/tcurrencyedit.h"
#include "widgets/tmgrid.h"
#include "word/bookmarks.h"
#include "word/document.h"
#include "word/range.h"

#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest/QtTest>

#include <csignal>
#include <cstdio>

using namespace fieldtest;

namespace {

const char kChildMode[] = "QUILLORA_RECOVERY_CHILD";
const char kChildDoc[] = "QUILLORA_RECOVERY_DOC";

QString valueFor(int i)
{
    return QStringLiteral("%1. érték – Győr, Árpád út %2").arg(i).arg(i * 7);
}

void say(const QString& line)
{
    std::fprintf(stdout, "%s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

// Presses the given button on every box that comes up from now on and
// reports its caption and text.
void answerBoxes(QMessageBox::StandardButton button)
{
    static QMessageBox::StandardButton answer = QMessageBox::NoButton;
    static QTimer* timer = nullptr;
    answer = button;
    if (timer)
        return;
    timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, [] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        // A report has nothing but OK.
        QAbstractButton* button = box->button(answer) ? box->button(answer) : box->button(QMessageBox::Ok);
        if (!button)
            return;
        say(QStringLiteral("BOX %1|%2").arg(box->windowTitle(), box->text()));
        button->click();
    });
    timer->start(20);
}

struct Window {
    app::TForm1 form;
    app::TForm2 progress{&form};
    Window()
    {
        form.setForm2(&progress);
        form.show();
    }
};

// The child that fills: opens the document the way a file named at start is
// opened, then confirms a new value every few milliseconds until it is killed.
int fillUntilKilled(const QString& doc)
{
    Window w;
    w.form.TemplateDialog->setFileName(doc);
    w.form.button1Click(w.form.ce1);
    if (!w.form.WordDoc)
        return 2;
    int i = 0;
    auto* timer = new QTimer(&w.form);
    QObject::connect(timer, &QTimer::timeout, [&] {
        const int row = w.form.Mgrid1->currentRow();
        const QString field = w.form.Mgrid1->cells(1, row);
        w.form.Edit4->selectAll();
        for (const QChar c : valueFor(++i))
            QTest::sendKeyEvent(QTest::Click, w.form.Edit4, Qt::Key_A, QString(c), Qt::NoModifier);
        QTest::keyClick(w.form.Edit4, Qt::Key_Return);
        say(QStringLiteral("CONFIRMED %1=%2").arg(field, valueFor(i)));
        if (row == w.form.Mgrid1->rowCount() - 1)
            timer->stop();   // every field has a value; wait for the end
    });
    timer->start(30);
    return QApplication::exec();
}

// The child that starts after the crash: the question, then the window, then
// the restored values; then a clean close answering No to the save question.
int restoreAndClose()
{
    answerBoxes(qEnvironmentVariable(kChildMode) == u"restore-no" ? QMessageBox::No : QMessageBox::Yes);
    const std::optional<fields::RecoveryState> state = app::offerRecovery();
    say(QStringLiteral("OFFERED %1").arg(state ? 1 : 0));
    if (!state)
        return 0;
    Window w;
    app::restoreRecovery(w.form, *state);
    if (!w.form.WordDoc)
        return 3;
    for (int r = 1; r < w.form.Mgrid1->rowCount(); ++r) {
        const QString field = w.form.Mgrid1->cells(1, r);
        const QString place = field + QStringLiteral("_1");
        const QString inDoc = w.form.WordDoc->Bookmarks().Exists(place)
                                  ? w.form.WordDoc->Bookmarks().Item(place).Range().Text() : QString();
        say(QStringLiteral("ROW %1=%2|%3").arg(field, w.form.Mgrid1->cells(2, r), inDoc));
    }
    say(QStringLiteral("FILE %1").arg(QFileInfo::exists(fields::RecoveryFile::defaultPath())));
    answerBoxes(QMessageBox::No);
    w.form.close();
    say(QStringLiteral("CLOSED FILE %1").arg(QFileInfo::exists(fields::RecoveryFile::defaultPath())));
    return 0;
}

} // namespace

class TestRecovery : public QObject {
    Q_OBJECT
private slots:
    void killedInTheMiddleOfAFill();
    void noRemovesTheFile();
    void damagedOrOrphanedFileIsReportedOnce_data();
    void damagedOrOrphanedFileIsReportedOnce();
    void fileRoundTrip();

private:
    QProcess* child(const QString& mode, const QString& doc = QString());
    QTemporaryDir m_dir;
};

QProcess* TestRecovery::child(const QString& mode, const QString& doc)
{
    auto* p = new QProcess(this);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QLatin1String(kChildMode), mode);
    env.insert(QLatin1String(kChildDoc), doc);
    p->setProcessEnvironment(env);
    p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p->start(QCoreApplication::applicationFilePath(), {});
    return p;
}

void TestRecovery::killedInTheMiddleOfAFill()
{
    const QString body = para(run("Név: ") + mark("Nev_1", "...")) + para(run("Cím: ") + mark("Cim_1", "..."))
        + para(run("Kelt: ") + mark("Kelt_1", "...")) + para(run("Ár: ") + mark("Ar_1", "...") + run(" ") + mark("Ar_2", "..."))
        + para(run("Tanú: ") + mark("Tanu_1", "..."));
    const QString doc = writeDocx(m_dir.path(), QStringLiteral("szerzodes.docx"), body);
    QProcess* fill = child(QStringLiteral("fill"), doc);
    QMap<QString, QString> confirmed;
    QElapsedTimer clock;
    clock.start();
    while (confirmed.size() < 3 && clock.elapsed() < 60'000) {
        if (!fill->waitForReadyRead(1000) && fill->state() != QProcess::Running)
            break;
        while (fill->canReadLine()) {
            const QString line = QString::fromUtf8(fill->readLine()).trimmed();
            if (line.startsWith(QStringLiteral("CONFIRMED ")))
                confirmed.insert(line.mid(10).section(u'=', 0, 0), line.section(u'=', 1));
        }
    }
    QCOMPARE(confirmed.size(), 3);
    ::kill(pid_t(fill->processId()), SIGKILL);
    QVERIFY(fill->waitForFinished(10'000));
    QCOMPARE(fill->exitStatus(), QProcess::CrashExit);
    QVERIFY(QFileInfo::exists(fields::RecoveryFile::defaultPath()));

    QProcess* restore = child(QStringLiteral("restore"));
    QVERIFY(restore->waitForFinished(60'000));
    QCOMPARE(restore->exitCode(), 0);
    const QStringList lines = QString::fromUtf8(restore->readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    QVERIFY2(!lines.isEmpty(), "the restoring child said nothing");
    QCOMPARE(lines.first(), QStringLiteral("BOX Quillora|A program legutóbb váratlanul leállt. Visszaállítja a kitöltött mezőket?"));
    QVERIFY(lines.contains(QStringLiteral("OFFERED 1")));
    QMap<QString, QString> grid, inDoc;
    for (const QString& l : lines) {
        if (!l.startsWith(QStringLiteral("ROW ")))
            continue;
        const QString field = l.mid(4).section(u'=', 0, 0);
        grid.insert(field, l.section(u'=', 1).section(u'|', 0, 0));
        inDoc.insert(field, l.section(u'|', 1));
    }
    QCOMPARE(grid.size(), 5);
    for (auto it = confirmed.cbegin(); it != confirmed.cend(); ++it) {
        QCOMPARE(grid.value(it.key()), it.value());
        QCOMPARE(inDoc.value(it.key()), it.value());
    }
    // The restored state is recorded again, and a clean close removes it.
    QVERIFY(lines.contains(QStringLiteral("FILE 1")));
    QVERIFY(lines.contains(QStringLiteral("CLOSED FILE 0")));
    QVERIFY(!QFileInfo::exists(fields::RecoveryFile::defaultPath()));
}

void TestRecovery::noRemovesTheFile()
{
    const QString doc = writeDocx(m_dir.path(), QStringLiteral("nem.docx"), para(mark("A_1", "a")));
    fields::RecoveryState state;
    state.file = doc;
    state.values = {{QStringLiteral("A"), QStringLiteral("x")}};
    state.pid = 999'999'999;   // no such process: an unclean end
    QVERIFY(fields::RecoveryFile::write(fields::RecoveryFile::defaultPath(), state));
    QProcess* p = child(QStringLiteral("restore-no"));
    QVERIFY(p->waitForFinished(30'000));
    const QString out = QString::fromUtf8(p->readAllStandardOutput());
    QVERIFY2(out.contains(QStringLiteral("BOX Quillora|A program legutóbb")), qPrintable(out));
    QVERIFY(out.contains(QStringLiteral("OFFERED 0")));
    QVERIFY(!QFileInfo::exists(fields::RecoveryFile::defaultPath()));
}

void TestRecovery::damagedOrOrphanedFileIsReportedOnce_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("reason");
    QTest::newRow("not JSON") << QByteArray("\x01\x02{{{") << "sérült";
    QTest::newRow("wrong counts") << QByteArray("{\"format\":1,\"file\":\"/x\",\"sellers\":-4,\"buyers\":1,\"legal\":[],\"values\":[]}")
                                  << "sérült";
    QTest::newRow("missing template") << QByteArray("{\"format\":1,\"pid\":999999999,\"file\":\"/nincs/ilyen.sab\",\"sellers\":1,"
                                                    "\"buyers\":1,\"legal\":[],\"values\":[]}")
                                      << "már nem létezik";
}

void TestRecovery::damagedOrOrphanedFileIsReportedOnce()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, reason);
    const QString path = fields::RecoveryFile::defaultPath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(content);
    f.close();
    for (int run = 0; run < 2; ++run) {
        QProcess* p = child(QStringLiteral("restore"));
        QVERIFY(p->waitForFinished(30'000));
        QCOMPARE(p->exitCode(), 0);
        const QString out = QString::fromUtf8(p->readAllStandardOutput());
        QVERIFY2(out.contains(QStringLiteral("OFFERED 0")), qPrintable(out));
        // Reported at the first start only, and never as the restore question.
        QCOMPARE(out.count(QStringLiteral("BOX ")), run == 0 ? 1 : 0);
        if (run == 0)
            QVERIFY2(out.contains(reason), qPrintable(out));
        QVERIFY(!out.contains(QStringLiteral("Visszaállítja")));
        QVERIFY(!QFileInfo::exists(path));
    }
}

void TestRecovery::fileRoundTrip()
{
    const QString path = m_dir.filePath(QStringLiteral("r/Quillora.recovery"));
    fields::RecoveryState s;
    s.file = QStringLiteral("/sablonok/adásvételi.sab");
    s.sellers = 2;
    s.buyers = 3;
    s.legal = {QStringLiteral("1. Eladó"), QStringLiteral("3. Vevő")};
    s.values = {{QStringLiteral("Nev"), QStringLiteral("Kovács Ödön\r\nsor")}, {QStringLiteral("Ar"), QString()}};
    s.pid = 42;
    QVERIFY(fields::RecoveryFile::write(path, s));
    QCOMPARE(fields::RecoveryFile::read(path).value(), s);
    // Another running instance's file is no trace of a crash; a dead writer's is.
    s.pid = QProcess::execute(QStringLiteral("true")) == 0 ? 999'999'999 : 0;
    QVERIFY(!fields::RecoveryFile::writerIsRunning(s));
    QVERIFY(QFile::remove(path));
    QVERIFY(!fields::RecoveryFile::read(path).has_value());
}

int main(int argc, char** argv)
{
    const QString mode = qEnvironmentVariable(kChildMode);
    if (!mode.isEmpty()) {
        // A child keeps the folders its parent gave it.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        app::QuilloraApplication app(argc, argv);
        if (mode == u"fill")
            return fillUntilKilled(qEnvironmentVariable(kChildDoc));
        return restoreAndClose();
    }
    testenv::isolate();
    app::QuilloraApplication app(argc, argv);
    TestRecovery tc;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&tc, argc, argv);
}

#include "tst_recovery.moc"
