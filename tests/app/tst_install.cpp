// The installed program: where it finds and keeps its folders under any prefix,
// when it leaves the file types to the system package, its icon, and the desktop
// files of the package as the desktop's own validators see them.
#include "isolatedmain.h"

#include "app/platform/datafolders.h"
#include "app/platform/filetyperegistration.h"
#include "app/quilloraapplication.h"
#include "app/tform1.h"

#include <QMessageBox>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTimer>

using app::DataFolders;
using app::FileTypeRegistration;

namespace {

void writeFile(const QString& path, const QByteArray& data, QFileDevice::Permissions perms = {})
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY2(f.open(QIODevice::WriteOnly), qPrintable(path));
    f.write(data);
    f.close();
    if (perms)
        QFile::setPermissions(path, perms);
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList filesBelow(const QString& dir)
{
    QStringList out;
    QDirIterator it(dir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        out << QDir(dir).relativeFilePath(it.next());
    out.sort();
    return out;
}

// An unpacked package: <root>/usr/bin and the samples under <root>/usr/share/quillora.
struct Prefix {
    QTemporaryDir root;
    QString bin() const { return root.filePath(QStringLiteral("usr/bin")); }
    QString share() const { return root.filePath(QStringLiteral("usr/share/quillora")); }
    void addSample(const QString& rel, const QByteArray& data)
    {
        writeFile(QDir(share()).filePath(rel), data, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
    }
};

const QFileDevice::Permissions kExecutable =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;

struct ToolLog {
    QStringList calls;
    FileTypeRegistration::ToolRunner runner()
    {
        return [this](const QString& program, const QStringList&) {
            calls << program;
            return true;
        };
    }
};

QString runTool(const QString& tool, const QStringList& args, int* exitCode)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(tool, args);
    if (!p.waitForFinished(30000))
        return QStringLiteral("did not finish");
    *exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return QString::fromUtf8(p.readAll());
}

} // namespace

class TstInstall : public QObject {
    Q_OBJECT
private slots:
    void layout_data();
    void layout();
    void buildTreeKeepsFoldersBesideTheProgram();
    void firstStartSeedsTheUserFolders();
    void seedingNeverOverwrites();
    void missingSamplesGiveEmptyFolders();
    void unwritableDataHomeUsesTheSamplesReadOnly();
    void execProgram_data();
    void execProgram();
    void systemRegistration_data();
    void systemRegistration();
    void systemRegistrationWritesNothing();
    void systemRegistrationRemovesAShadowingEntry();
    void installedRegistrationNamesTheInstalledProgram();
    void packageTypesMatchTheUserRegistration();
    void validators_data();
    void validators();
    void programIconOnWindowAndAboutBox();
};

void TstInstall::layout_data()
{
    QTest::addColumn<QString>("programFolder");
    QTest::addColumn<QStringList>("folders");
    QTest::addColumn<bool>("installed");
    QTest::newRow("build tree: sablonok beside") << "build/bin" << QStringList{"build/bin/sablonok"} << false;
    QTest::newRow("build tree: mezoadatok beside") << "build/bin" << QStringList{"build/bin/mezoadatok"} << false;
    QTest::newRow("installed bin") << "usr/bin" << QStringList{"usr/share/quillora"} << true;
    QTest::newRow("bin without samples") << "opt/q/bin" << QStringList{} << true;
    QTest::newRow("some other folder") << "portable" << QStringList{} << false;
}

void TstInstall::layout()
{
    QFETCH(QString, programFolder);
    QFETCH(QStringList, folders);
    QFETCH(bool, installed);
    QTemporaryDir root;
    QVERIFY(QDir(root.path()).mkpath(programFolder));
    for (const QString& f : folders)
        QVERIFY(QDir(root.path()).mkpath(f));
    const auto expected = installed ? DataFolders::Layout::Installed : DataFolders::Layout::BesideProgram;
    QCOMPARE(DataFolders::layoutOf(root.filePath(programFolder)), expected);
}

void TstInstall::buildTreeKeepsFoldersBesideTheProgram()
{
    // This suite itself runs from the build tree.
    DataFolders& folders = DataFolders::current();
    QCOMPARE(folders.layout(), DataFolders::Layout::BesideProgram);
    const QString bin = QCoreApplication::applicationDirPath();
    QCOMPARE(folders.templatesFolder(), QDir(bin).filePath(QStringLiteral("sablonok")));
    QCOMPARE(folders.fieldDataFolder(), QDir(bin).filePath(QStringLiteral("mezoadatok")));
    QCOMPARE(folders.programDataFolder(), bin);
    QVERIFY(QFileInfo::exists(QDir(folders.programDataFolder()).filePath(QStringLiteral("Normal2003.dot"))));
    QVERIFY(folders.prepare());
    QVERIFY(!QDir(testenv::path(QStringLiteral("data"))).exists(QStringLiteral("Quillora")));
}

void TstInstall::firstStartSeedsTheUserFolders()
{
    Prefix prefix;
    prefix.addSample(QStringLiteral("sablonok/minta.sab"), "minta-1\r\n");
    prefix.addSample(QStringLiteral("sablonok/minta-egyesel-egyesvev.dot"), "dot");
    prefix.addSample(QStringLiteral("mezoadatok/minta.mza"), "mza");
    prefix.addSample(QStringLiteral("Normal2003.dot"), "styles");
    QTemporaryDir home;
    DataFolders folders(prefix.bin(), home.path());
    QCOMPARE(folders.layout(), DataFolders::Layout::Installed);
    QVERIFY(folders.prepare());
    QVERIFY(!folders.readOnly());
    QCOMPARE(folders.templatesFolder(), home.filePath(QStringLiteral("Quillora/sablonok")));
    QCOMPARE(folders.fieldDataFolder(), home.filePath(QStringLiteral("Quillora/mezoadatok")));
    QCOMPARE(QFileInfo(folders.programDataFolder()).canonicalFilePath(), QFileInfo(prefix.share()).canonicalFilePath());
    QCOMPARE(filesBelow(folders.templatesFolder()), (QStringList{"minta-egyesel-egyesvev.dot", "minta.sab"}));
    QCOMPARE(filesBelow(folders.fieldDataFolder()), QStringList{"minta.mza"});
    QCOMPARE(readFile(QDir(folders.templatesFolder()).filePath(QStringLiteral("minta.sab"))), QByteArray("minta-1\r\n"));
    // The copies are the user's to change, though the samples are read-only.
    QVERIFY(QFileInfo(QDir(folders.fieldDataFolder()).filePath(QStringLiteral("minta.mza"))).permissions() & QFileDevice::WriteOwner);
    // The style template is not the user's: it stays with the samples.
    QVERIFY(!QFileInfo::exists(home.filePath(QStringLiteral("Quillora/Normal2003.dot"))));
    QVERIFY(folders.fieldDataSaveRefusal(QDir(folders.fieldDataFolder()).filePath(QStringLiteral("uj.mza"))).isEmpty());
}

void TstInstall::seedingNeverOverwrites()
{
    Prefix prefix;
    prefix.addSample(QStringLiteral("sablonok/minta.sab"), "sample");
    prefix.addSample(QStringLiteral("mezoadatok/minta.mza"), "sample");
    QTemporaryDir home;
    // The user already has a field data folder with a file of the sample's name.
    writeFile(home.filePath(QStringLiteral("Quillora/mezoadatok/minta.mza")), "mine");
    DataFolders folders(prefix.bin(), home.path());
    QVERIFY(folders.prepare());
    QCOMPARE(readFile(home.filePath(QStringLiteral("Quillora/mezoadatok/minta.mza"))), QByteArray("mine"));
    QCOMPARE(readFile(home.filePath(QStringLiteral("Quillora/sablonok/minta.sab"))), QByteArray("sample"));
    // A sample the user changed or removed later is left so at the next start.
    writeFile(home.filePath(QStringLiteral("Quillora/sablonok/minta.sab")), "changed");
    QVERIFY(DataFolders(prefix.bin(), home.path()).prepare());
    QCOMPARE(readFile(home.filePath(QStringLiteral("Quillora/sablonok/minta.sab"))), QByteArray("changed"));
    QVERIFY(QFile::remove(home.filePath(QStringLiteral("Quillora/sablonok/minta.sab"))));
    QVERIFY(DataFolders(prefix.bin(), home.path()).prepare());
    QVERIFY(!QFileInfo::exists(home.filePath(QStringLiteral("Quillora/sablonok/minta.sab"))));
}

void TstInstall::missingSamplesGiveEmptyFolders()
{
    Prefix prefix;
    QVERIFY(QDir().mkpath(prefix.bin()));
    QTemporaryDir home;
    DataFolders folders(prefix.bin(), home.path());
    QVERIFY(folders.prepare());
    QVERIFY(!folders.readOnly());
    QVERIFY(QFileInfo(folders.templatesFolder()).isDir());
    QVERIFY(QFileInfo(folders.fieldDataFolder()).isDir());
    QVERIFY(filesBelow(folders.templatesFolder()).isEmpty());
    QVERIFY(filesBelow(folders.fieldDataFolder()).isEmpty());
}

void TstInstall::unwritableDataHomeUsesTheSamplesReadOnly()
{
    Prefix prefix;
    prefix.addSample(QStringLiteral("sablonok/minta.sab"), "sample");
    prefix.addSample(QStringLiteral("mezoadatok/minta.mza"), "sample");
    // A data home below a plain file cannot be made, whoever runs the suite.
    QTemporaryDir home;
    writeFile(home.filePath(QStringLiteral("file")), "x");
    const QString dataHome = home.filePath(QStringLiteral("file/share"));
    DataFolders folders(prefix.bin(), dataHome);
    QVERIFY(!folders.prepare());
    QVERIFY(folders.readOnly());
    QCOMPARE(QFileInfo(folders.templatesFolder()).canonicalFilePath(),
             QFileInfo(QDir(prefix.share()).filePath(QStringLiteral("sablonok"))).canonicalFilePath());
    QCOMPARE(QFileInfo(folders.fieldDataFolder()).canonicalFilePath(),
             QFileInfo(QDir(prefix.share()).filePath(QStringLiteral("mezoadatok"))).canonicalFilePath());
    QVERIFY(QFileInfo::exists(QDir(folders.templatesFolder()).filePath(QStringLiteral("minta.sab"))));
    // Saving a field data file among the samples is refused with the reason.
    const QString target = QDir(folders.fieldDataFolder()).filePath(QStringLiteral("uj.mza"));
    const QString refusal = folders.fieldDataSaveRefusal(target);
    QVERIFY2(refusal.startsWith(QStringLiteral("A mezőadat fájl nem menthető: ") + target), qPrintable(refusal));
    QVERIFY2(refusal.contains(QStringLiteral("csak olvasható")), qPrintable(refusal));
    QVERIFY2(refusal.contains(QDir(dataHome).filePath(QStringLiteral("Quillora"))), qPrintable(refusal));
    // Anywhere else the save goes ahead.
    QVERIFY(folders.fieldDataSaveRefusal(home.filePath(QStringLiteral("uj.mza"))).isEmpty());
}

void TstInstall::execProgram_data()
{
    QTest::addColumn<QString>("program");
    QTest::newRow("plain") << "/usr/bin/quillora";
    QTest::newRow("blank") << "/home/kovács jános/bin/quillora";
    QTest::newRow("quote and dollar") << "/opt/a\"b$c/quillora";
    QTest::newRow("backslash") << "/opt/a\\b/quillora";
    QTest::newRow("percent") << "/opt/100%/quillora";
}

void TstInstall::execProgram()
{
    // What the registration writes, read back, is the program it was written for.
    QFETCH(QString, program);
    const FileTypeRegistration reg(QStringLiteral("/nonexistent"), program);
    QCOMPARE(FileTypeRegistration::execProgram(reg.desktopEntry()), program);
    QCOMPARE(FileTypeRegistration::execProgram(QStringLiteral("[Desktop Entry]\nName=Q\nExec=quillora %f\n")),
             QStringLiteral("quillora"));
}

void TstInstall::systemRegistration_data()
{
    QTest::addColumn<QString>("exec");   // {program} and {bin} stand for the fake program and its folder
    QTest::addColumn<bool>("withMime");
    QTest::addColumn<bool>("registered");
    QTest::newRow("absolute, this program") << "{program} %f" << true << true;
    QTest::newRow("bare name on the search path") << "quillora %f" << true << true;
    QTest::newRow("through a symbolic link") << "{bin}/link-to-quillora %f" << true << true;
    QTest::newRow("another program") << "/usr/bin/quillora-other %f" << true << false;
    QTest::newRow("unknown bare name") << "quillora-nowhere %f" << true << false;
    QTest::newRow("no mime package") << "{program} %f" << false << false;
}

void TstInstall::systemRegistration()
{
    QFETCH(QString, exec);
    QFETCH(bool, withMime);
    QFETCH(bool, registered);
    QTemporaryDir root;
    const QString bin = root.filePath(QStringLiteral("bin"));
    const QString program = QDir(bin).filePath(QStringLiteral("quillora"));
    writeFile(program, "#!/bin/sh\n", kExecutable);
    QVERIFY(QFile::link(program, QDir(bin).filePath(QStringLiteral("link-to-quillora"))));
    const QString system = root.filePath(QStringLiteral("share"));
    exec.replace(QStringLiteral("{program}"), program).replace(QStringLiteral("{bin}"), bin);
    writeFile(QDir(system).filePath(QStringLiteral("applications/quillora.desktop")),
              QStringLiteral("[Desktop Entry]\nType=Application\nName=Quillora\nExec=%1\n").arg(exec).toUtf8());
    if (withMime)
        writeFile(QDir(system).filePath(QStringLiteral("mime/packages/quillora.xml")), "<mime-info/>");
    const QByteArray oldPath = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(bin) + ':' + oldPath);
    FileTypeRegistration reg(root.filePath(QStringLiteral("home")), program);
    reg.setSystemDataDirs({root.filePath(QStringLiteral("elsewhere")), system});
    const bool found = reg.systemRegistersThisProgram();
    qputenv("PATH", oldPath);
    QCOMPARE(found, registered);
}

void TstInstall::systemRegistrationWritesNothing()
{
    QTemporaryDir root;
    const QString program = root.filePath(QStringLiteral("usr/bin/quillora"));
    writeFile(program, "#!/bin/sh\n", kExecutable);
    const QString system = root.filePath(QStringLiteral("usr/share"));
    writeFile(QDir(system).filePath(QStringLiteral("applications/quillora.desktop")),
              QStringLiteral("[Desktop Entry]\nExec=%1 %f\n").arg(program).toUtf8());
    writeFile(QDir(system).filePath(QStringLiteral("mime/packages/quillora.xml")), "<mime-info/>");
    const QString home = root.filePath(QStringLiteral("home"));
    FileTypeRegistration reg(home, program);
    reg.setSystemDataDirs({system});
    ToolLog tools;
    QVERIFY(reg.run(tools.runner()));
    QVERIFY(filesBelow(home).isEmpty());
    QVERIFY(tools.calls.isEmpty());
    // Without the package's registration the user's own is written as before.
    reg.setSystemDataDirs({});
    QVERIFY(reg.run(tools.runner()));
    QCOMPARE(filesBelow(home), (QStringList{"applications/quillora.desktop", "mime/packages/quillora.xml"}));
    QCOMPARE(tools.calls, (QStringList{"update-mime-database", "update-desktop-database"}));
}

void TstInstall::systemRegistrationRemovesAShadowingEntry()
{
    QTemporaryDir root;
    const QString program = root.filePath(QStringLiteral("usr/bin/quillora"));
    writeFile(program, "#!/bin/sh\n", kExecutable);
    const QString system = root.filePath(QStringLiteral("usr/share"));
    writeFile(QDir(system).filePath(QStringLiteral("applications/quillora.desktop")),
              QStringLiteral("[Desktop Entry]\nExec=%1 %f\n").arg(program).toUtf8());
    writeFile(QDir(system).filePath(QStringLiteral("mime/packages/quillora.xml")), "<mime-info/>");
    // A build tree run earlier registered itself for this user.
    const QString home = root.filePath(QStringLiteral("home"));
    const QString buildProgram = root.filePath(QStringLiteral("src/build/bin/quillora"));
    writeFile(buildProgram, "#!/bin/sh\n", kExecutable);
    FileTypeRegistration fromBuild(home, buildProgram);
    fromBuild.setSystemDataDirs({});
    QVERIFY(fromBuild.run(ToolLog().runner()));
    QCOMPARE(filesBelow(home).size(), 2);

    FileTypeRegistration installed(home, program);
    installed.setSystemDataDirs({system});
    ToolLog tools;
    QVERIFY(installed.run(tools.runner()));
    QVERIFY(filesBelow(home).isEmpty());
    QCOMPARE(tools.calls, (QStringList{"update-mime-database", "update-desktop-database"}));
    // Nothing left to remove: the next start writes and runs nothing.
    tools.calls.clear();
    QVERIFY(installed.run(tools.runner()));
    QVERIFY(tools.calls.isEmpty());
}

void TstInstall::installedRegistrationNamesTheInstalledProgram()
{
    // An unpacked package outside the system folders registers itself for the
    // user with its own path and its own icon, never the build tree's.
    Prefix prefix;
    const QString program = QDir(prefix.bin()).filePath(QStringLiteral("quillora"));
    writeFile(program, "#!/bin/sh\n", kExecutable);
    const QString icon = prefix.root.filePath(QStringLiteral("usr/share/icons/hicolor/scalable/apps/quillora.svg"));
    writeFile(icon, "<svg/>");
    QTemporaryDir home;
    FileTypeRegistration reg(home.path(), program);
    reg.setSystemDataDirs({});
    reg.setIcon(icon);
    QVERIFY(reg.run(ToolLog().runner()));
    const QSettings entry(home.filePath(QStringLiteral("applications/quillora.desktop")), QSettings::IniFormat);
    QCOMPARE(entry.value(QStringLiteral("Desktop Entry/Exec")).toString(), program + QStringLiteral(" %f"));
    QCOMPARE(entry.value(QStringLiteral("Desktop Entry/Icon")).toString(), icon);
    QVERIFY(!readFile(home.filePath(QStringLiteral("applications/quillora.desktop"))).contains(QByteArrayLiteral("build")));
}

void TstInstall::packageTypesMatchTheUserRegistration()
{
    // The package and the per-user registration must name the same types, or the
    // desktop would know two different sets depending on how the program came.
    const QString packaging = QStringLiteral(QUILLORA_SOURCE_DIR "/packaging/");
    const FileTypeRegistration reg(QStringLiteral("/nonexistent"), QStringLiteral("/usr/bin/quillora"));
    QCOMPARE(QString::fromUtf8(readFile(packaging + QStringLiteral("quillora.xml"))), reg.mimePackage());
    const QSettings package(packaging + QStringLiteral("quillora.desktop"), QSettings::IniFormat);
    const QString user = reg.desktopEntry();
    const QString types = package.value(QStringLiteral("Desktop Entry/MimeType")).toStringList().join(u';');
    QVERIFY(!types.isEmpty());
    QVERIFY2(user.contains(QStringLiteral("MimeType=") + types), qPrintable(types));
    QCOMPARE(package.value(QStringLiteral("Desktop Entry/Icon")).toString(), QStringLiteral("quillora"));
    QCOMPARE(FileTypeRegistration::execProgram(QString::fromUtf8(readFile(packaging + QStringLiteral("quillora.desktop")))),
             QStringLiteral("quillora"));
}

void TstInstall::validators_data()
{
    QTest::addColumn<QString>("tool");
    QTest::addColumn<QStringList>("args");
    const QString packaging = QStringLiteral(QUILLORA_SOURCE_DIR "/packaging/");
    const QString metainfo = QStringLiteral(QUILLORA_BIN_DIR "/../packaging/hu.quillora.Quillora.metainfo.xml");
    QTest::newRow("package desktop entry") << "desktop-file-validate" << QStringList{packaging + "quillora.desktop"};
    QTest::newRow("metainfo") << "appstreamcli" << QStringList{"validate", "--no-net", metainfo};
}

void TstInstall::validators()
{
    QFETCH(QString, tool);
    QFETCH(QStringList, args);
    const QString exe = QStandardPaths::findExecutable(tool);
    if (exe.isEmpty())
        QSKIP(qPrintable(tool + QStringLiteral(" is not installed")));
    QVERIFY2(QFileInfo::exists(args.constLast()), qPrintable(args.constLast()));
    int exitCode = -1;
    const QString output = runTool(exe, args, &exitCode);
    QVERIFY2(exitCode == 0, qPrintable(output));
    // desktop-file-validate reports problems it does not count as errors on its output too.
    if (tool == QLatin1String("desktop-file-validate"))
        QVERIFY2(output.trimmed().isEmpty(), qPrintable(output));
}

void TstInstall::programIconOnWindowAndAboutBox()
{
    const QIcon icon = app::QuilloraApplication::programIcon();
    for (int side : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QPixmap pm = icon.pixmap(QSize(side, side));
        QCOMPARE(pm.size(), QSize(side, side));
        // A drawn icon, not an empty square: its corners are clear, its middle is not.
        const QImage img = pm.toImage();
        QCOMPARE(qAlpha(img.pixel(0, side - 1)), 0);
        QVERIFY(qAlpha(img.pixel(side / 2, side / 2)) > 0);
    }
    QCOMPARE(qApp->windowIcon().cacheKey() != 0, true);
    QCOMPARE(qApp->windowIcon().pixmap(32).toImage(), icon.pixmap(32).toImage());

    app::TForm1 form;
    QCOMPARE(form.windowIcon().pixmap(48).toImage(), icon.pixmap(48).toImage());
    QImage shown;
    bool found = false;
    QTimer::singleShot(0, &form, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box) {
            found = true;
            shown = box->iconPixmap().toImage();
            box->accept();
        }
    });
    form.Nvjegy1Click();
    QVERIFY(found);
    QVERIFY(!shown.isNull());
    QCOMPARE(shown.convertToFormat(QImage::Format_ARGB32),
             icon.pixmap(shown.size()).toImage().convertToFormat(QImage::Format_ARGB32));
}

QUILLORA_ISOLATED_TEST_MAIN(app::QuilloraApplication, TstInstall)
#include "tst_install.moc"
