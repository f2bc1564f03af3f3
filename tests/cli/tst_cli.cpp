// quillora-cli as a user runs it: exit statuses, the bookmark listing with its
// escaping, conversion, and one clear line on stderr for every failure.

#include "cli/bookmarkscommand.h"
#include "word/error.h"
#include "word/opc/package.h"
#include "word/zipfixture.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct Run {
    int status = -1;
    QString out;
    QString err;
};

Run runCli(const QStringList& args)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));   // the tool must choose offscreen itself
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(QUILLORA_BIN_DIR "/quillora-cli"), args);
    if (!p.waitForFinished(90'000)) {
        p.kill();
        p.waitForFinished();
        return {};
    }
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2,
            QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

// Bookmarks deliberately out of name order, one hidden, one spanning two
// paragraphs, one around a tab, a line break and a backslash, one collapsed.
QByteArray bookmarkBody()
{
    return "<w:p><w:bookmarkStart w:id=\"1\" w:name=\"Zeta\"/><w:r><w:t>első</w:t></w:r><w:bookmarkEnd w:id=\"1\"/>"
           "<w:r><w:t xml:space=\"preserve\"> </w:t></w:r>"
           "<w:bookmarkStart w:id=\"2\" w:name=\"_Rejtett\"/><w:r><w:t>rejtett</w:t></w:r><w:bookmarkEnd w:id=\"2\"/></w:p>"
           "<w:p><w:bookmarkStart w:id=\"3\" w:name=\"Alfa\"/><w:r><w:t>a\\b</w:t><w:tab/><w:t>c</w:t><w:br/><w:t>d</w:t></w:r>"
           "<w:bookmarkEnd w:id=\"3\"/></w:p>"
           "<w:p><w:bookmarkStart w:id=\"4\" w:name=\"Ketto\"/><w:r><w:t>egy</w:t></w:r></w:p>"
           "<w:p><w:r><w:t>kettő</w:t></w:r><w:bookmarkEnd w:id=\"4\"/>"
           "<w:bookmarkStart w:id=\"5\" w:name=\"Ures\"/><w:bookmarkEnd w:id=\"5\"/></w:p>";
}

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
    return path;
}

QString writeDocx(const QTemporaryDir& dir, const QString& name)
{
    return writeFile(dir, name, zipfixture::minimalDocx({}, zipfixture::documentXml(bookmarkBody())));
}

} // namespace

class TestCli : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void usageErrors_data();
    void usageErrors();
    void help();
    void unreadableFiles_data();
    void unreadableFiles();
    void bookmarksListing();
    void escaping_data();
    void escaping();
    void convertKeepsBookmarks();
    void convertToUnwritableTarget();
    void convertLegacy();
};

void TestCli::initTestCase()
{
    QVERIFY2(QFileInfo::exists(QStringLiteral(QUILLORA_BIN_DIR "/quillora-cli")), "quillora-cli is not built");
}

void TestCli::usageErrors_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("nothing") << QStringList();
    QTest::newRow("unknown command") << QStringList{QStringLiteral("nyomtat")};
    QTest::newRow("convert, one file") << QStringList{QStringLiteral("convert"), QStringLiteral("a.docx")};
    QTest::newRow("convert, three files") << QStringList{QStringLiteral("convert"), QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")};
    QTest::newRow("bookmarks, no file") << QStringList{QStringLiteral("bookmarks")};
    QTest::newRow("bookmarks, two files") << QStringList{QStringLiteral("bookmarks"), QStringLiteral("a"), QStringLiteral("b")};
}

void TestCli::usageErrors()
{
    QFETCH(QStringList, args);
    const Run r = runCli(args);
    QCOMPARE(r.status, 1);
    QVERIFY(r.out.isEmpty());
    QVERIFY2(r.err.contains(QStringLiteral("Használat")) || r.err.contains(QStringLiteral("Ismeretlen parancs")), qPrintable(r.err));
}

void TestCli::help()
{
    const Run r = runCli({QStringLiteral("--help")});
    QCOMPARE(r.status, 0);
    for (const char* command : {"convert", "bookmarks", "fill"})
        QVERIFY2(r.out.contains(QLatin1String(command)), command);
    QVERIFY(r.err.isEmpty());
}

void TestCli::unreadableFiles_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("content");   // null: the file is not created
    QTest::newRow("missing") << "bookmarks" << "nincs.docx" << QByteArray();
    QTest::newRow("junk") << "bookmarks" << "szemét.docx" << QByteArray("nem dokumentum\n").repeated(100);
    QTest::newRow("empty") << "bookmarks" << "üres.docx" << QByteArray("");
    QTest::newRow("truncated") << "bookmarks" << "csonka.docx" << zipfixture::minimalDocx().left(200);
    QTest::newRow("junk to convert") << "convert" << "szemét.doc" << QByteArray("\x01\x02\x03").repeated(500);
}

void TestCli::unreadableFiles()
{
    QFETCH(QString, command);
    QFETCH(QString, file);
    QFETCH(QByteArray, content);
    QTemporaryDir dir;
    const QString path = content.isNull() ? dir.filePath(file) : writeFile(dir, file, content);
    QStringList args{command, path};
    if (command == u"convert")
        args.append(dir.filePath(QStringLiteral("ki.docx")));
    const Run r = runCli(args);
    QCOMPARE(r.status, 2);
    QVERIFY(r.out.isEmpty());
    QVERIFY2(r.err.contains(file), qPrintable(r.err));
    QCOMPARE(r.err.trimmed().count(u'\n'), 0);   // one line
    QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("ki.docx"))));
}

void TestCli::bookmarksListing()
{
    QTemporaryDir dir;
    const Run r = runCli({QStringLiteral("bookmarks"), writeDocx(dir, QStringLiteral("könyvjelzők.docx"))});
    QCOMPARE(r.status, 0);
    QVERIFY2(r.err.isEmpty(), qPrintable(r.err));
    const QStringList expected{
        QStringLiteral("Zeta\telső"),
        QStringLiteral("_Rejtett\trejtett"),
        QStringLiteral("Alfa\ta\\\\b\\tc\\nd"),
        QStringLiteral("Ketto\tegy\\nkettő"),
        QStringLiteral("Ures\t"),
    };
    QCOMPARE(r.out.split(u'\n', Qt::SkipEmptyParts), expected);
}

void TestCli::escaping_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("escaped");
    QTest::newRow("plain, accented") << "Árvíztűrő" << "Árvíztűrő";
    QTest::newRow("backslash") << "C:\\a" << "C:\\\\a";
    QTest::newRow("backslash before n") << "\\n" << "\\\\n";
    QTest::newRow("tab") << "a\tb" << "a\\tb";
    QTest::newRow("paragraph mark") << "a\rb" << "a\\nb";
    QTest::newRow("line break") << "a\vb" << "a\\nb";
    QTest::newRow("newline") << "a\nb" << "a\\nb";
    QTest::newRow("Unicode separators") << QStringLiteral("a\u2029b\u2028c") << "a\\nb\\nc";
    QTest::newRow("empty") << "" << "";
}

void TestCli::escaping()
{
    QFETCH(QString, text);
    QFETCH(QString, escaped);
    QCOMPARE(cli::escapeBookmarkText(text), escaped);
}

void TestCli::convertKeepsBookmarks()
{
    QTemporaryDir dir;
    // A package under a legacy-looking name is still recognised by content.
    const QString in = writeDocx(dir, QStringLiteral("sablon.dot"));
    const QString out = dir.filePath(QStringLiteral("kész.docx"));
    const Run c = runCli({QStringLiteral("convert"), in, out});
    QCOMPARE(c.status, 0);
    QVERIFY2(c.err.isEmpty(), qPrintable(c.err));
    QVERIFY(c.out.isEmpty());
    const auto pkg = word::opc::Package::open(out);
    QCOMPARE(pkg->mainPartName(), QStringLiteral("word/document.xml"));
    const Run before = runCli({QStringLiteral("bookmarks"), in});
    const Run after = runCli({QStringLiteral("bookmarks"), out});
    QCOMPARE(after.status, 0);
    QCOMPARE(after.out, before.out);
}

void TestCli::convertToUnwritableTarget()
{
    QTemporaryDir dir;
    const QString in = writeDocx(dir, QStringLiteral("be.docx"));
    const QString target = dir.filePath(QStringLiteral("nincs-ilyen-mappa/ki.docx"));
    const Run r = runCli({QStringLiteral("convert"), in, target});
    QCOMPARE(r.status, 2);
    QVERIFY2(r.err.contains(QStringLiteral("ki.docx")), qPrintable(r.err));
    QCOMPARE(r.err.trimmed().count(u'\n'), 0);
    QVERIFY(!QFileInfo::exists(target));
}

void TestCli::convertLegacy()
{
    if (QStandardPaths::findExecutable(QStringLiteral("soffice")).isEmpty())
        QSKIP("LibreOffice is not installed");
    QTemporaryDir dir;
    const QString in = writeFile(dir, QStringLiteral("régi.doc"),
                                 "{\\rtf1\\ansi\\ansicpg1250{\\fonttbl{\\f0 Arial;}}\\f0 "
                                 "{\\*\\bkmkstart Vevo}Kiss P\\'e9ter{\\*\\bkmkend Vevo}\\par}");
    const QString out = dir.filePath(QStringLiteral("új.docx"));
    const Run c = runCli({QStringLiteral("convert"), in, out});
    QCOMPARE(c.status, 0);
    const Run b = runCli({QStringLiteral("bookmarks"), out});
    QCOMPARE(b.status, 0);
    QVERIFY2(b.out.split(u'\n').contains(QStringLiteral("Vevo\tKiss Péter")), qPrintable(b.out));
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
