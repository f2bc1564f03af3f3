// Legacy import: recognising legacy forms by content and converting them
// through LibreOffice into packages the engine can open.

#include "word/error.h"
#include "word/legacy/compoundfile.h"
#include "word/legacy/legacyimport.h"
#include "word/opc/package.h"
#include "word/wordfixture.h"
#include "word/zipfixture.h"

#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>
#include <pugixml.hpp>

using word::legacy::Format;

Q_DECLARE_METATYPE(word::legacy::Format)

namespace {

constexpr quint32 kEnd = 0xFFFFFFFE;
constexpr quint32 kFree = 0xFFFFFFFF;

void put32(QByteArray& b, qsizetype at, quint32 v) { qToLittleEndian<quint32>(v, b.data() + at); }
void put16(QByteArray& b, qsizetype at, quint16 v) { qToLittleEndian<quint16>(v, b.data() + at); }

void dirEntry(QByteArray& sector, int slot, const QString& name, int type, quint32 start, quint32 size)
{
    const qsizetype at = slot * 128;
    for (qsizetype i = 0; i < name.size(); ++i)
        put16(sector, at + 2 * i, name[i].unicode());
    put16(sector, at + 0x40, quint16((name.size() + 1) * 2));
    sector[at + 0x42] = char(type);
    put32(sector, at + 0x44, kFree);
    put32(sector, at + 0x48, kFree);
    put32(sector, at + 0x4C, slot == 0 ? 1 : kFree);
    put32(sector, at + 0x74, start);
    put32(sector, at + 0x78, size);
}

// A compound file of 512-byte sectors: sector 0 the allocation table, 1 the
// directory, 2-9 a 4096-byte stream.
QByteArray compoundFile(const QStringList& streams, quint16 fibFlags)
{
    QByteArray header(512, '\0');
    header.replace(0, 8, QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8));
    put16(header, 0x18, 0x3E);
    put16(header, 0x1A, 3);
    put16(header, 0x1C, 0xFFFE);
    put16(header, 0x1E, 9);
    put16(header, 0x20, 6);
    put32(header, 0x2C, 1);
    put32(header, 0x30, 1);
    put32(header, 0x38, 4096);
    put32(header, 0x3C, kEnd);
    put32(header, 0x44, kEnd);
    for (int i = 0; i < 109; ++i)
        put32(header, 0x4C + 4 * i, i == 0 ? 0 : kFree);
    QByteArray fat(512, '\xFF');
    put32(fat, 0, 0xFFFFFFFD);
    put32(fat, 4, kEnd);
    for (quint32 s = 2; s < 10; ++s)
        put32(fat, 4 * s, s == 9 ? kEnd : s + 1);
    QByteArray dir(512, '\0');
    dirEntry(dir, 0, QStringLiteral("Root Entry"), 5, kEnd, 0);
    for (int i = 0; i < streams.size(); ++i)
        dirEntry(dir, i + 1, streams[i], 2, i == 0 ? 2 : kEnd, i == 0 ? 4096 : 0);
    QByteArray stream(4096, '\0');
    put16(stream, 0, 0xA5EC);
    put16(stream, 10, fibFlags);
    return header + fat + dir + stream;
}

QByteArray rtf()
{
    // Windows-1250 escapes and a Unicode escape, as Word writes Hungarian text.
    return "{\\rtf1\\ansi\\ansicpg1250\\deff0{\\fonttbl{\\f0 Times New Roman;}}\\f0\\fs24 "
           "Ad\\'e1sv\\'e9teli szerz\\'f5d\\'e9s \\u369?r\\par V\\'e9ge.\\par}";
}

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
    return path;
}

QString mainText(const word::opc::Package& pkg)
{
    pugi::xml_document doc;
    pkg.parsePart(pkg.mainPartName(), doc);
    QString text;
    for (const pugi::xpath_node& t : doc.select_nodes("//*[local-name()='t']"))
        text += QString::fromUtf8(t.node().text().get());
    return text;
}

bool haveConverter()
{
    return !QStandardPaths::findExecutable(QStringLiteral("soffice")).isEmpty();
}

} // namespace

class TestLegacy : public QObject {
    Q_OBJECT
private slots:
    void sniff_data();
    void sniff();
    void packageNamesLegacyForms_data();
    void packageNamesLegacyForms();
    void rtfConverts();
    void junkWithDocName();
    void encryptedIsNotConverted();
    void missingConverter();
    void timeLimit();
    void conversionAheadServesTheNextOpen();
};

void TestLegacy::sniff_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<Format>("format");
    QTest::newRow("package under a .doc name") << "a.doc" << zipfixture::minimalDocx() << Format::Ooxml;
    QTest::newRow("RTF under a .doc name") << "a.doc" << rtf() << Format::Rtf;
    QTest::newRow("RTF after BOM and blank line") << "a.rtf" << QByteArray("\xEF\xBB\xBF\r\n") + rtf() << Format::Rtf;
    QTest::newRow("Word 2003 XML") << "a.doc"
                                   << QByteArray("<?xml version=\"1.0\"?><?mso-application progid=\"Word.Document\"?>"
                                                 "<w:wordDocument xmlns:w=\"http://schemas.microsoft.com/office/word/2003/wordml\"/>")
                                   << Format::WordXml;
    QTest::newRow("Word 97 binary under a .docx name") << "a.docx" << compoundFile({QStringLiteral("WordDocument")}, 0)
                                                      << Format::WordBinary;
    QTest::newRow("encrypted Word 97 binary") << "a.doc" << compoundFile({QStringLiteral("WordDocument")}, 0x0100)
                                              << Format::Encrypted;
    QTest::newRow("encrypted package")
        << "a.docx" << compoundFile({QStringLiteral("EncryptedPackage"), QStringLiteral("EncryptionInfo")}, 0) << Format::Encrypted;
    QTest::newRow("OLE file of another program") << "a.doc" << compoundFile({QStringLiteral("Workbook")}, 0) << Format::Unknown;
    QTest::newRow("OLE signature, then nothing") << "a.doc" << compoundFile({QStringLiteral("WordDocument")}, 0).left(300)
                                                 << Format::Unknown;
    QTest::newRow("plain XML") << "a.doc" << QByteArray("<?xml version=\"1.0\"?><a/>") << Format::Unknown;
    QTest::newRow("junk") << "a.doc" << QByteArray("Ez nem dokumentum.\n").repeated(50) << Format::Unknown;
    QTest::newRow("empty") << "a.doc" << QByteArray() << Format::Unknown;
}

void TestLegacy::sniff()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(Format, format);
    QTemporaryDir dir;
    QCOMPARE(word::legacy::sniff(writeFile(dir, name, bytes)), format);
}

void TestLegacy::packageNamesLegacyForms_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("reason");
    QTest::newRow("Word 97 binary") << compoundFile({QStringLiteral("WordDocument")}, 0) << "Word 97";
    QTest::newRow("encrypted Word 97 binary") << compoundFile({QStringLiteral("WordDocument")}, 0x0100) << "jelszóval védett";
    QTest::newRow("encrypted package")
        << compoundFile({QStringLiteral("EncryptionInfo"), QStringLiteral("EncryptedPackage")}, 0) << "jelszóval védett";
}

void TestLegacy::packageNamesLegacyForms()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    try {
        word::opc::Package::fromBytes(bytes, QStringLiteral("régi.doc"));
        QFAIL("accepted as a package");
    } catch (const word::Error& e) {
        QVERIFY2(e.message().contains(QStringLiteral("régi.doc")), qPrintable(e.message()));
        QVERIFY2(e.message().contains(reason), qPrintable(e.message()));
    }
}

void TestLegacy::rtfConverts()
{
    if (!haveConverter())
        QSKIP("LibreOffice is not installed");
    QTemporaryDir dir;
    const QString path = writeFile(dir, QStringLiteral("-szerződés.doc"), rtf());
    Format detected = Format::Unknown;
    const auto pkg = word::legacy::openPackage(path, &detected);
    QCOMPARE(detected, Format::Rtf);
    const QString text = mainText(*pkg);
    QVERIFY2(text.contains(QStringLiteral("Adásvételi szerződés ű")), qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("Vége.")));
}

void TestLegacy::junkWithDocName()
{
    QTemporaryDir dir;
    const QString path = writeFile(dir, QStringLiteral("szemét.doc"), QByteArray("\x01\x02junk").repeated(300));
    for (int round = 0; round < 2; ++round) {
        try {
            if (round == 0)
                word::legacy::openPackage(path);
            else
                word::legacy::convertToOoxml(path);
            QFAIL("junk was accepted");
        } catch (const word::Error& e) {
            QVERIFY2(e.message().contains(QStringLiteral("„szemét.doc”")), qPrintable(e.message()));
            QVERIFY2(e.message().contains(QStringLiteral("nem")), qPrintable(e.message()));
        }
    }
}

void TestLegacy::encryptedIsNotConverted()
{
    QTemporaryDir dir;
    const QString path = writeFile(dir, QStringLiteral("titkos.doc"), compoundFile({QStringLiteral("WordDocument")}, 0x0100));
    QElapsedTimer timer;
    timer.start();
    try {
        word::legacy::openPackage(path);
        QFAIL("an encrypted file was accepted");
    } catch (const word::Error& e) {
        QVERIFY2(e.message().contains(QStringLiteral("jelszóval védett")), qPrintable(e.message()));
    }
    QVERIFY(timer.elapsed() < 1000);   // refused before any converter ran
}

void TestLegacy::missingConverter()
{
    QTemporaryDir dir;
    const QString path = writeFile(dir, QStringLiteral("régi.rtf"), rtf());
    const QByteArray savedPath = qgetenv("PATH");
    qputenv("PATH", dir.path().toLocal8Bit());
    QString message;
    try {
        word::legacy::convertToOoxml(path);
    } catch (const word::Error& e) {
        message = e.message();
    }
    qputenv("PATH", savedPath);
    QVERIFY2(message.contains(QStringLiteral("LibreOffice")), qPrintable(message));
    QVERIFY(message.contains(QStringLiteral("régi.rtf")));
}

void TestLegacy::timeLimit()
{
    if (!haveConverter())
        QSKIP("LibreOffice is not installed");
    QTemporaryDir dir;
    const QString path = writeFile(dir, QStringLiteral("lassú.rtf"), rtf());
    QElapsedTimer timer;
    timer.start();
    QVERIFY_THROWS_EXCEPTION(word::Error, word::legacy::convertToOoxml(path, 1));
    QVERIFY(timer.elapsed() < 15'000);
    // The killed conversion leaves nothing behind that spoils the next one.
    const QByteArray docx = word::legacy::convertToOoxml(path);
    QVERIFY(word::opc::Package::fromBytes(docx, path)->hasPart(QStringLiteral("word/document.xml")));
}

// convertAhead() converts once; the next open of the unchanged file takes the
// result, a failure included, and a file changed in between is converted again.
// A stand-in "soffice" counts its runs and hands back a prepared package.
void TestLegacy::conversionAheadServesTheNextOpen()
{
    QTemporaryDir dir;
    const QString docx = wordtest::writeDocx(dir.path(), QStringLiteral("kesz.docx"), wordtest::p(wordtest::r(QStringLiteral("átalakítva"))));
    const QString runs = dir.filePath(QStringLiteral("runs"));
    const QString failFlag = dir.filePath(QStringLiteral("fail"));
    QFile script(dir.filePath(QStringLiteral("soffice")));
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\necho x >> '" + QFile::encodeName(runs) + "'\n"
                 "[ -f '" + QFile::encodeName(failFlag) + "' ] && { echo rossz >&2; exit 3; }\n"
                 "prev=; for a in \"$@\"; do [ \"$prev\" = --outdir ] && out=\"$a\"; prev=\"$a\"; done\n"
                 "mkdir -p \"$out\" && cp '" + QFile::encodeName(docx) + "' \"$out/input.docx\"\n");
    script.close();
    QVERIFY(script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    const QByteArray savedPath = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(dir.path()) + ':' + savedPath);
    auto runCount = [&] {
        QFile f(runs);
        return f.open(QIODevice::ReadOnly) ? int(f.readAll().count('x')) : 0;
    };
    const QString path = writeFile(dir, QStringLiteral("régi.rtf"), rtf());

    word::legacy::convertAhead(path);
    QCOMPARE(runCount(), 1);
    QCOMPARE(mainText(*word::legacy::openPackage(path)), QStringLiteral("átalakítva"));
    QCOMPARE(runCount(), 1);
    // Only the one open: the next converts afresh.
    word::legacy::openPackage(path);
    QCOMPARE(runCount(), 2);

    // Changed in between: converted again.
    word::legacy::convertAhead(path);
    QFile grow(path);
    QVERIFY(grow.open(QIODevice::Append));
    grow.write(" ");
    grow.close();
    word::legacy::openPackage(path);
    QCOMPARE(runCount(), 4);

    // A failure is kept and reported by the open, without a second run.
    QFile(failFlag).open(QIODevice::WriteOnly);
    word::legacy::convertAhead(path);
    QCOMPARE(runCount(), 5);
    QString message;
    try {
        word::legacy::openPackage(path);
    } catch (const word::Error& e) {
        message = e.message();
    }
    QCOMPARE(runCount(), 5);
    QVERIFY2(message.contains(QStringLiteral("régi.rtf")) && message.contains(QStringLiteral("kilépési kód: 3")), qPrintable(message));

    // A package needs no conversion.
    word::legacy::convertAhead(docx);
    QCOMPARE(runCount(), 5);
    qputenv("PATH", savedPath);
}

QTEST_GUILESS_MAIN(TestLegacy)
#include "tst_legacy.moc"
