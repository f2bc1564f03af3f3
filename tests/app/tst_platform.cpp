// The desktop-facing pieces: the single-instance lock, the office process check
// (on a made-up process table and on a real process), the file-type registration
// and the settings file in its good and bad states.
#include "isolatedmain.h"

#include "app/platform/filetyperegistration.h"
#include "app/platform/instancelock.h"
#include "app/platform/officeprocesses.h"
#include "app/platform/settingsstore.h"
#include "app/appearance.h"

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>

#include <unistd.h>

namespace {

void writeFile(const QString& path, const QByteArray& data)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(data);
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString settingsFile()
{
    return testenv::path(QStringLiteral("config/Quillora.ini"));
}

} // namespace

class TstPlatform : public QObject {
    Q_OBJECT
private slots:
    void lockFirstAndSecondHolder();
    void lockIsReleasedWithItsHolder();
    void lockInAMissingFolder();
    void lockPathFallsBackWithoutRuntimeFolder();
    void officeTable_data();
    void officeTable();
    void officeRealProcessIsFoundAndEnded();
    void registrationWritesTypesAndCommand();
    void registrationRunsHelpersOnlyOnChange();
    void registrationStopsAtFirstFailure();
    void registrationWithTheDesktopHelpers();
    void execArgumentQuoting_data();
    void execArgumentQuoting();
    void officeFixSetting_data();
    void officeFixSetting();
    void settingsRoundTrip();
    void unusableSettingsFile();
    void toolBarCountIsRemoved();
    void menuFontScaling_data();
    void menuFontScaling();
};

void TstPlatform::lockFirstAndSecondHolder()
{
    const QString path = testenv::path(QStringLiteral("runtime/one.lock"));
    app::InstanceLock first(path);
    QVERIFY(first.held());
    QVERIFY(!first.alreadyExists());
    app::InstanceLock second(path);
    QVERIFY(second.held());
    QVERIFY(second.alreadyExists());
    // A third start still sees others while the first has gone.
    app::InstanceLock third(path);
    QVERIFY(third.alreadyExists());
}

void TstPlatform::lockIsReleasedWithItsHolder()
{
    const QString path = testenv::path(QStringLiteral("runtime/two.lock"));
    {
        app::InstanceLock first(path);
        QVERIFY(!first.alreadyExists());
    }
    app::InstanceLock again(path);
    QVERIFY(!again.alreadyExists());
    // A lock held by another process counts too.
    QProcess holder;
    holder.start(QStringLiteral("flock"), {QStringLiteral("-s"), path, QStringLiteral("sleep"), QStringLiteral("5")});
    if (!holder.waitForStarted(2000))
        QSKIP("flock(1) is not available");
    // Poll: on a busy machine flock(1) may take a while to take the lock.
    bool held = false;
    for (int i = 0; i < 100 && !held; ++i) {
        QTest::qWait(50);
        held = app::InstanceLock(path).alreadyExists();
    }
    QVERIFY(held);
    holder.kill();
    holder.waitForFinished();
}

void TstPlatform::lockInAMissingFolder()
{
    app::InstanceLock lock(testenv::path(QStringLiteral("no/such/folder/Quillora.exe.lock")));
    QVERIFY(!lock.held());
    QVERIFY(!lock.alreadyExists());
}

void TstPlatform::lockPathFallsBackWithoutRuntimeFolder()
{
    const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
    QCOMPARE(app::InstanceLock::defaultPath(), testenv::path(QStringLiteral("runtime/Quillora.exe.lock")));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(testenv::path(QStringLiteral("gone"))));
    QCOMPARE(app::InstanceLock::defaultPath(), QDir(QDir::tempPath()).filePath(QStringLiteral("Quillora.exe.lock")));
    qunsetenv("XDG_RUNTIME_DIR");
    QCOMPARE(app::InstanceLock::defaultPath(), QDir(QDir::tempPath()).filePath(QStringLiteral("Quillora.exe.lock")));
    qputenv("XDG_RUNTIME_DIR", saved);
}

void TstPlatform::officeTable_data()
{
    QTest::addColumn<QStringList>("entries");   // "pid comm arg arg..."
    QTest::addColumn<qint64>("pid");            // 0: none found
    QTest::addColumn<bool>("visible");
    QTest::newRow("none") << QStringList{"12 bash bash", "40 soffice soffice"} << qint64(0) << true;
    QTest::newRow("visible") << QStringList{"12 bash bash", "77 soffice.bin /usr/lib/libreoffice/program/soffice.bin --writer"} << qint64(77) << true;
    QTest::newRow("headless") << QStringList{"77 soffice.bin soffice.bin --headless --convert-to docx"} << qint64(77) << false;
    QTest::newRow("invisible") << QStringList{"78 soffice.bin soffice.bin --invisible"} << qint64(78) << false;
    QTest::newRow("headless with a value") << QStringList{"79 soffice.bin soffice.bin --headless=true"} << qint64(79) << false;
    QTest::newRow("lowest id first") << QStringList{"900 soffice.bin soffice.bin", "88 soffice.bin soffice.bin --headless"} << qint64(88) << false;
    QTest::newRow("the word only as a file name") << QStringList{"81 soffice.bin soffice.bin /tmp/--headless.odt"} << qint64(81) << true;
}

void TstPlatform::officeTable()
{
    QFETCH(QStringList, entries);
    QFETCH(qint64, pid);
    QFETCH(bool, visible);
    QTemporaryDir proc;
    for (const QString& e : entries) {
        const QStringList parts = e.split(QLatin1Char(' '));
        const QString dir = proc.filePath(parts[0]);
        writeFile(dir + QStringLiteral("/comm"), parts[1].toUtf8() + '\n');
        writeFile(dir + QStringLiteral("/cmdline"), parts.mid(2).join(QChar(0)).toUtf8() + '\0');
    }
    writeFile(proc.filePath(QStringLiteral("self/comm")), "soffice.bin\n");   // not a process id
    const auto found = app::OfficeProcesses(proc.path(), ::getuid()).first();
    QCOMPARE(found.has_value(), pid != 0);
    if (!found)
        return;
    QCOMPARE(found->pid, pid);
    QCOMPARE(found->visible, visible);
    // Processes of another user are not ours to judge.
    QVERIFY(!app::OfficeProcesses(proc.path(), ::getuid() + 1).first());
}

void TstPlatform::officeRealProcessIsFoundAndEnded()
{
    // A copy of the shell named like the office process, started hidden.
    const QString fake = testenv::path(QStringLiteral("soffice.bin"));
    QFile::remove(fake);
    QVERIFY(QFile::copy(QStringLiteral("/bin/sh"), fake));
    QFile::setPermissions(fake, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    QProcess office;
    office.start(fake, {QStringLiteral("-c"), QStringLiteral("sleep 30; :"), QStringLiteral("--headless")});
    QVERIFY(office.waitForStarted(3000));
    // Other suites may run real office processes at the same time, so the table
    // read holds only this process: a link to its real /proc entry.
    QTemporaryDir table;
    QVERIFY(QFile::link(QStringLiteral("/proc/%1").arg(office.processId()),
                        table.filePath(QString::number(office.processId()))));
    std::optional<app::OfficeProcess> found;
    for (int i = 0; i < 100 && !found; ++i) {
        found = app::OfficeProcesses(table.path()).first();
        if (!found || found->pid != office.processId())
            found.reset(), QTest::qWait(20);
    }
    QVERIFY(found);
    QVERIFY(!found->visible);
    app::OfficeProcesses::terminate(found->pid);
    QVERIFY(office.waitForFinished(3000));
    QCOMPARE(office.exitStatus(), QProcess::CrashExit);
}

void TstPlatform::registrationWritesTypesAndCommand()
{
    QTemporaryDir data;
    const QString program = QStringLiteral("/opt/quillora/bin/quillora");
    app::FileTypeRegistration reg(data.path(), program);
    QVERIFY(reg.run([](const QString&, const QStringList&) { return true; }));
    const QString mime = QString::fromUtf8(readFile(data.filePath(QStringLiteral("mime/packages/quillora.xml"))));
    QVERIFY(mime.contains(QStringLiteral("<glob pattern=\"*.sab\"/>")));
    QVERIFY(mime.contains(QStringLiteral("<comment>Quillora sablon</comment>")));
    QVERIFY(mime.contains(QStringLiteral("<glob pattern=\"*.mza\"/>")));
    QVERIFY(mime.contains(QStringLiteral("<comment>Quillora mező adat</comment>")));
    // The .sab type comes before the .mza type.
    QVERIFY(mime.indexOf(QStringLiteral("*.sab")) < mime.indexOf(QStringLiteral("*.mza")));
    const QSettings desktop(data.filePath(QStringLiteral("applications/quillora.desktop")), QSettings::IniFormat);
    QCOMPARE(desktop.value(QStringLiteral("Desktop Entry/Exec")).toString(), program + QStringLiteral(" %f"));
    const QString types = QString::fromUtf8(readFile(data.filePath(QStringLiteral("applications/quillora.desktop"))));
    QVERIFY(types.contains(QStringLiteral("MimeType=application/x-quillora-sab;application/x-quillora-mza;")));
    const QString helper = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
    if (!helper.isEmpty()) {
        QProcess v;
        v.start(helper, {data.filePath(QStringLiteral("applications/quillora.desktop"))});
        QVERIFY(v.waitForFinished(5000));
        QCOMPARE(v.exitCode(), 0);
    }
}

void TstPlatform::registrationRunsHelpersOnlyOnChange()
{
    QTemporaryDir data;
    QStringList ran;
    const auto runner = [&ran](const QString& program, const QStringList&) { ran << program; return true; };
    QVERIFY(app::FileTypeRegistration(data.path(), QStringLiteral("/a/quillora")).run(runner));
    QCOMPARE(ran, QStringList({"update-mime-database", "update-desktop-database"}));
    ran.clear();
    QVERIFY(app::FileTypeRegistration(data.path(), QStringLiteral("/a/quillora")).run(runner));
    QVERIFY(ran.isEmpty());
    // The program moved: only the desktop entry changes.
    QVERIFY(app::FileTypeRegistration(data.path(), QStringLiteral("/b/quillora")).run(runner));
    QCOMPARE(ran, QStringList({"update-desktop-database"}));
}

void TstPlatform::registrationStopsAtFirstFailure()
{
    QTemporaryDir data;
    QStringList ran;
    const auto runner = [&ran](const QString& program, const QStringList&) { ran << program; return true; };
    // "mime" is a file, so the type package cannot be written: nothing after it is done.
    writeFile(data.filePath(QStringLiteral("mime")), "in the way");
    QVERIFY(!app::FileTypeRegistration(data.path(), QStringLiteral("/a/quillora")).run(runner));
    QVERIFY(!QFile::exists(data.filePath(QStringLiteral("applications/quillora.desktop"))));
    QVERIFY(ran.isEmpty());
    // A failing helper ends it too.
    QTemporaryDir other;
    const auto failing = [&ran](const QString& program, const QStringList&) { ran << program; return false; };
    QVERIFY(!app::FileTypeRegistration(other.path(), QStringLiteral("/a/quillora")).run(failing));
    QCOMPARE(ran, QStringList({"update-mime-database"}));
}

void TstPlatform::registrationWithTheDesktopHelpers()
{
    if (QStandardPaths::findExecutable(QStringLiteral("update-mime-database")).isEmpty())
        QSKIP("update-mime-database is not installed");
    QTemporaryDir data;
    QVERIFY(app::FileTypeRegistration(data.path(), QStringLiteral("/a/quillora")).run());
    // The desktop's type database now knows both extensions.
    const QByteArray globs = readFile(data.filePath(QStringLiteral("mime/globs2")));
    QVERIFY(globs.contains("application/x-quillora-sab:*.sab"));
    QVERIFY(globs.contains("application/x-quillora-mza:*.mza"));
    if (!QStandardPaths::findExecutable(QStringLiteral("update-desktop-database")).isEmpty()) {
        const QByteArray cache = readFile(data.filePath(QStringLiteral("applications/mimeinfo.cache")));
        QVERIFY(cache.contains("application/x-quillora-sab=quillora.desktop;"));
    }
}

void TstPlatform::execArgumentQuoting_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("expected");
    QTest::newRow("plain") << "/usr/bin/quillora" << "/usr/bin/quillora";
    QTest::newRow("blank") << "/home/a b/quillora" << "\"/home/a b/quillora\"";
    QTest::newRow("dollar") << "/x/$y/q" << "\"/x/\\\\$y/q\"";
    QTest::newRow("percent") << "/x/100%/q" << "/x/100%%/q";
}

void TstPlatform::execArgumentQuoting()
{
    QFETCH(QString, path);
    QFETCH(QString, expected);
    QCOMPARE(app::FileTypeRegistration::execArgument(path), expected);
}

void TstPlatform::officeFixSetting_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("ticked");
    QTest::newRow("no file") << QByteArray() << true;
    QTest::newRow("one") << QByteArray("[setting]\nofficefix=1\n") << true;
    QTest::newRow("zero") << QByteArray("[setting]\nofficefix=0\n") << false;
    QTest::newRow("other number") << QByteArray("[setting]\nofficefix=7\n") << true;
    QTest::newRow("not a number") << QByteArray("[setting]\nofficefix=igen\n") << true;
    QTest::newRow("empty value") << QByteArray("[setting]\nofficefix=\n") << true;
    QTest::newRow("other section") << QByteArray("[mas]\nofficefix=0\n") << true;
    QTest::newRow("garbage file") << QByteArray("\x01\x02[[[=\n\xff\xfe") << true;
}

void TstPlatform::officeFixSetting()
{
    QFETCH(QByteArray, file);
    QFETCH(bool, ticked);
    QFile::remove(settingsFile());
    // Settings files are cached by size and time; a row-specific tail tells them apart.
    if (!file.isEmpty())
        writeFile(settingsFile(), file + "\n[row]\n" + QByteArray(QTest::currentDataTag()).replace(' ', '_') + "=1\n");
    QCOMPARE(app::SettingsStore().officeFix(), ticked);
}

void TstPlatform::settingsRoundTrip()
{
    QFile::remove(settingsFile());
    {
        app::SettingsStore s;
        QCOMPARE(s.fileName(), settingsFile());
        s.setOfficeFix(false);
        s.setWindowPlacement("geo", "state", 4);
        QVERIFY(s.sync());
    }
    app::SettingsStore again;
    QVERIFY(!again.officeFix());
    QCOMPARE(again.windowGeometry(), QByteArray("geo"));
    QCOMPARE(again.windowState(), QByteArray("state"));
    QVERIFY(readFile(settingsFile()).contains("officefix=0"));
}

void TstPlatform::unusableSettingsFile()
{
    // A folder where the file should be: nothing can be read or written, yet
    // nothing fails louder than a false from sync().
    QFile::remove(settingsFile());
    QVERIFY(QDir().mkpath(settingsFile()));
    {
        app::SettingsStore s;
        QVERIFY(s.officeFix());
        s.setOfficeFix(false);
        s.removeToolBarCount();
        QVERIFY(!s.sync());
    }
    QVERIFY(QDir(settingsFile()).removeRecursively());
}

void TstPlatform::toolBarCountIsRemoved()
{
    writeFile(settingsFile(), "[TForm1SpeedBar1]\nCount=5\nPosition=2\n");
    {
        app::SettingsStore s;
        s.removeToolBarCount();
        QVERIFY(s.sync());
    }
    const QByteArray after = readFile(settingsFile());
    QVERIFY(!after.contains("Count"));
    QVERIFY(after.contains("Position=2"));
}

void TstPlatform::menuFontScaling_data()
{
    QTest::addColumn<int>("design");
    QTest::addColumn<double>("dpi");
    QTest::addColumn<int>("expected");
    QTest::newRow("96 dpi keeps the size") << 8 << 96.0 << 8;
    QTest::newRow("84 dpi") << 8 << 84.0 << 7;
    QTest::newRow("7.5 goes to 8") << 8 << 90.0 << 8;
    QTest::newRow("8.5 goes to 8") << 8 << 102.0 << 8;
    QTest::newRow("9.5 goes to 10") << 8 << 114.0 << 10;
    QTest::newRow("120 dpi") << 8 << 120.0 << 10;
    QTest::newRow("144 dpi") << 8 << 144.0 << 12;
    QTest::newRow("10.5 goes to 10") << 7 << 144.0 << 10;
}

void TstPlatform::menuFontScaling()
{
    QFETCH(int, design);
    QFETCH(double, dpi);
    QFETCH(int, expected);
    QCOMPARE(app::scaledMenuPointSize(design, dpi), expected);
}

QUILLORA_ISOLATED_TEST_MAIN(QApplication, TstPlatform)
#include "tst_platform.moc"
