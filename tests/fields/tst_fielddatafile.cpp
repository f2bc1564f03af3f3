// Field data files: line splitting, code page detection, the exact bytes
// written, the load's placement into the value column, and files that cannot
// be read or written.

#include "fields/fielddatafile.h"
#include "word/error.h"

#include <QtTest/QtTest>
#include <QTemporaryDir>

using fields::FieldDataFile;

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

QStringList column(int rows)
{
    QStringList c;
    for (int i = 0; i < rows; ++i)
        c << QStringLiteral("old %1").arg(i);
    return c;
}

} // namespace

class TestFieldDataFile : public QObject {
    Q_OBJECT
private slots:
    void splitLines_data();
    void splitLines();
    void decode_data();
    void decode();
    void encodesThreeFieldsExactly();
    void encodesUnencodableAsUtf8WithMark();
    void encodeKeepsLinesAligned();
    void place_data();
    void place();
    void clearRestoresHeader();
    void roundTripThroughFile_data();
    void roundTripThroughFile();
    void windows1250FileByteExact();
    void megabyteLine();
    void binaryJunkReadsAsText();
    void readErrors_data();
    void readErrors();
    void writeErrors();
};

void TestFieldDataFile::splitLines_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines");
    const QStringList abc{QStringLiteral("a"), QString(), QStringLiteral("c")};
    QTest::newRow("crlf") << QStringLiteral("a\r\n\r\nc\r\n") << abc;
    QTest::newRow("lone lf") << QStringLiteral("a\n\nc\n") << abc;
    QTest::newRow("lone cr") << QStringLiteral("a\r\rc\r") << abc;
    QTest::newRow("mixed") << QStringLiteral("a\r\n\rc\n") << abc;
    QTest::newRow("no final break") << QStringLiteral("a\r\n\r\nc") << abc;
    QTest::newRow("lf cr is two breaks") << QStringLiteral("a\n\rc") << abc;
    QTest::newRow("empty") << QString() << QStringList();
    QTest::newRow("one break") << QStringLiteral("\r\n") << QStringList{QString()};
    QTest::newRow("blanks and tabs kept") << QStringLiteral(" x \t\r\n")
                                         << QStringList{QStringLiteral(" x \t")};
}

void TestFieldDataFile::splitLines()
{
    QFETCH(QString, text);
    QFETCH(QStringList, lines);
    QCOMPARE(FieldDataFile::splitLines(text), lines);
}

void TestFieldDataFile::decode_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("ascii") << QByteArray("abc") << QStringLiteral("abc");
    QTest::newRow("1250 accents") << QByteArray("Gy\xF5r F\xFBz") << QStringLiteral("Győr Fűz");
    QTest::newRow("utf8 accents") << QByteArray("Gy\xC5\x91r F\xC5\xB1z") << QStringLiteral("Győr Fűz");
    QTest::newRow("utf8 with mark") << QByteArray("\xEF\xBB\xBFGy\xC5\x91r") << QStringLiteral("Győr");
    QTest::newRow("mark on ascii") << QByteArray("\xEF\xBB\xBF" "abc") << QStringLiteral("abc");
    QTest::newRow("broken utf8 is 1250") << QByteArray("\xC5\x91\xF5") << QStringLiteral("Ĺ‘ő");
    QTest::newRow("truncated utf8 is 1250") << QByteArray("x\xC5") << QStringLiteral("xĹ");
    QTest::newRow("nul ends text") << QByteArray("ab\0cd", 5) << QStringLiteral("ab");
    QTest::newRow("nul before utf8") << QByteArray("a\0\xC5\x91", 4) << QStringLiteral("a");
    QTest::newRow("nul first") << QByteArray("\0abc", 4) << QString();
}

void TestFieldDataFile::decode()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(FieldDataFile::decode(bytes), text);
}

void TestFieldDataFile::encodesThreeFieldsExactly()
{
    const QStringList c{FieldDataFile::header(), QStringLiteral("a"), QString(), QStringLiteral("c")};
    QCOMPARE(FieldDataFile::encode(c), QByteArray(" Mez\xF5 tartalma:\r\na\r\n\r\nc\r\n"));
}

void TestFieldDataFile::encodesUnencodableAsUtf8WithMark()
{
    const QStringList c{FieldDataFile::header(), QStringLiteral("São Tomé 合同"), QStringLiteral("ő")};
    const QByteArray bytes = FieldDataFile::encode(c);
    QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
    QCOMPARE(FieldDataFile::splitLines(FieldDataFile::decode(bytes)), c);
}

void TestFieldDataFile::encodeKeepsLinesAligned()
{
    const QStringList c{FieldDataFile::header(), QStringLiteral("x\ny\rz"), QStringLiteral("last")};
    const QStringList back = FieldDataFile::splitLines(FieldDataFile::decode(FieldDataFile::encode(c)));
    QCOMPARE(back.size(), 3);
    QCOMPARE(back[1], QStringLiteral("x y z"));
    QCOMPARE(back[2], QStringLiteral("last"));
}

void TestFieldDataFile::place_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("expected");
    const QString h = FieldDataFile::header();
    QTest::newRow("exact, empty comes back as blank")
        << 4 << QStringList{h, "a", "", "c"} << QStringList{h, "a", " ", "c"};
    QTest::newRow("two lines into five rows")
        << 5 << QStringList{"anything", "v1"} << QStringList{h, "v1", "", "", ""};
    QTest::newRow("ten lines into five rows")
        << 5 << QStringList{"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"}
        << QStringList{h, "1", "2", "3", "4"};
    QTest::newRow("no lines") << 3 << QStringList() << QStringList{h, "", ""};
    QTest::newRow("blanks kept") << 2 << QStringList{h, "  x  "} << QStringList{h, "  x  "};
    QTest::newRow("empty column") << 0 << QStringList{"x"} << QStringList();
}

void TestFieldDataFile::place()
{
    QFETCH(int, rows);
    QFETCH(QStringList, lines);
    QFETCH(QStringList, expected);
    QStringList c = column(rows);
    FieldDataFile::place(c, lines);
    QCOMPARE(c, expected);
}

void TestFieldDataFile::clearRestoresHeader()
{
    QStringList c = column(4);
    FieldDataFile::clear(c);
    QCOMPARE(c, (QStringList{FieldDataFile::header(), "", "", ""}));
}

void TestFieldDataFile::roundTripThroughFile_data()
{
    QTest::addColumn<QStringList>("values");
    QTest::newRow("plain") << QStringList{"a", "", "c"};
    QTest::newRow("markup characters") << QStringList{"<b>&amp;</b>", "\"idéző\" 'jel'", "a\tb"};
    QTest::newRow("outer blanks") << QStringList{"  bal", "jobb  ", " "};
    QTest::newRow("accents") << QStringList{"Árvíztűrő tükörfúrógép", "ŐŰ", "Ödön"};
    QTest::newRow("outside the code page") << QStringList{"Zoë", "合同", "õ"};
}

void TestFieldDataFile::roundTripThroughFile()
{
    QFETCH(QStringList, values);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("adat.mza"));
    const QStringList saved = QStringList{FieldDataFile::header()} + values;
    FieldDataFile::write(path, saved);

    QStringList loaded = column(saved.size());
    FieldDataFile::place(loaded, FieldDataFile::readLines(path));
    for (qsizetype i = 0; i < saved.size(); ++i) {
        const QString expected = saved[i].isEmpty() ? QStringLiteral(" ") : saved[i];
        QCOMPARE(loaded[i], expected);
    }
}

void TestFieldDataFile::windows1250FileByteExact()
{
    // As the Windows program writes it: the header and two values with ő and ű.
    const QByteArray bytes(" Mez\xF5 tartalma:\r\nKiss \xD6" "d\xF6n\r\nF\xFBzfa u. 2\xF5\r\n");
    QTemporaryDir dir;
    const QString in = dir.filePath(QStringLiteral("be.mza"));
    writeAll(in, bytes);
    const QStringList lines = FieldDataFile::readLines(in);
    QCOMPARE(lines, (QStringList{FieldDataFile::header(), "Kiss Ödön", "Fűzfa u. 2ő"}));

    const QString out = dir.filePath(QStringLiteral("ki.mza"));
    FieldDataFile::write(out, lines);
    QCOMPARE(readAll(out), bytes);
}

void TestFieldDataFile::megabyteLine()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("long.mza"));
    const QString value = QString(1 << 20, u'ő');
    FieldDataFile::write(path, {FieldDataFile::header(), value, QStringLiteral("z")});
    QCOMPARE(QFileInfo(path).size(), qint64(17 + (1 << 20) + 2 + 3));
    const QStringList lines = FieldDataFile::readLines(path);
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines[1], value);
    QCOMPARE(lines[2], QStringLiteral("z"));
}

void TestFieldDataFile::binaryJunkReadsAsText()
{
    // Any bytes are text in Windows-1250: junk loads like a file of odd lines,
    // split at its line-break bytes and cut at its first NUL.
    QByteArray junk;
    quint32 x = 12345;
    for (int i = 0; i < 4096; ++i) {
        x = x * 1103515245u + 12345u;
        const char b = char((x >> 16) & 0xFF);
        junk.append(b == 0 ? char(1) : b);
    }
    junk.insert(3000, '\0');
    junk.insert(100, "\r\nx\ry\n");
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("junk.mza"));
    writeAll(path, junk);
    const QStringList lines = FieldDataFile::readLines(path);
    const QByteArray head = junk.left(junk.indexOf('\0'));
    // Every byte but the line breaks is one character.
    QCOMPARE(lines.join(QString()).size(), head.size() - head.count('\r') - head.count('\n'));
    QVERIFY(!lines.join(QString()).contains(QChar(0)));
}

void TestFieldDataFile::readErrors_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("missing") << "missing";
    QTest::newRow("folder") << "folder";
    QTest::newRow("too large") << "large";
    QTest::newRow("unreadable") << "unreadable";
}

void TestFieldDataFile::readErrors()
{
    QFETCH(QString, kind);
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("x.mza"));
    if (kind == "folder")
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("x.mza")));
    if (kind == "large") {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QVERIFY(f.resize(FieldDataFile::kMaxBytes + 1));   // sparse, costs no disk
    }
    if (kind == "unreadable") {
        writeAll(path, QByteArray("h\r\n"));
        QFile::setPermissions(path, QFileDevice::Permissions());
        QFile probe(path);
        if (probe.open(QIODevice::ReadOnly))
            QSKIP("this user reads files regardless of their permissions");
    }
    try {
        FieldDataFile::readLines(path);
        QFAIL("no error");
    } catch (const word::Error& e) {
        QVERIFY2(e.message().contains(path), qPrintable(e.message()));
        QVERIFY(e.message().contains(QStringLiteral("mezőadat fájl")));
    }
}

void TestFieldDataFile::writeErrors()
{
    QTemporaryDir dir;
    const QStringList c{FieldDataFile::header()};
    QVERIFY_THROWS_EXCEPTION(word::Error, FieldDataFile::write(dir.path(), c));
    QVERIFY_THROWS_EXCEPTION(word::Error,
                             FieldDataFile::write(dir.filePath(QStringLiteral("nincs/x.mza")), c));
}

QTEST_APPLESS_MAIN(TestFieldDataFile)
#include "tst_fielddatafile.moc"
