// Hostile and broken input at the package level: every case must end in a
// clear error naming the file and the reason, quickly, without a crash.

#include "word/error.h"
#include "word/opc/package.h"
#include "word/opc/xmllimits.h"
#include "word/zipfixture.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>
#include <pugixml.hpp>

using word::opc::Package;
using namespace zipfixture;

namespace {

QByteArray randomBytes(qsizetype n, quint32 seed)
{
    QRandomGenerator gen(seed);
    QByteArray out(n, Qt::Uninitialized);
    for (qsizetype i = 0; i < n; ++i)
        out[i] = char(gen.generate());
    return out;
}

QByteArray manyEntries(int count)
{
    QList<Item> items{{"[Content_Types].xml", contentTypes()}, {"_rels/.rels", packageRels()},
                      {"word/document.xml", documentXml()}};
    for (int i = items.size(); i < count; ++i)
        items.append({QByteArray("word/media/f") + QByteArray::number(i) + ".bin", "x", true});
    return makeZip(items);
}

QByteArray duplicateExact()
{
    QByteArray zip = minimalDocx({{"word/documenX.xml", documentXml()}});
    zip.replace("word/documenX.xml", "word/document.xml");
    return zip;
}

QByteArray sizeLie()
{
    // 200 KiB that the headers claim to be 1000 bytes: small enough to pass
    // every declared-size check, so only the inflating itself can catch it.
    QByteArray zip = minimalDocx({{"word/media/big.bin", QByteArray(200 * 1024, 'A')}});
    patchDeclaredSize(zip, "word/media/big.bin", 1000);
    return zip;
}

QByteArray declaredHuge(quint32 perPart, int parts)
{
    QList<Item> extra;
    for (int i = 0; i < parts; ++i)
        extra.append({QByteArray("word/media/r") + QByteArray::number(i) + ".bin", randomBytes(1024 * 1024, quint32(i)), true});
    QByteArray zip = minimalDocx(extra);
    for (int i = 0; i < parts; ++i)
        patchDeclaredSize(zip, QByteArray("word/media/r") + QByteArray::number(i) + ".bin", perPart);
    return zip;
}

QByteArray billionLaughs()
{
    return "<?xml version=\"1.0\"?>\n<!DOCTYPE lolz [\n<!ENTITY lol \"lol\">\n"
           "<!ENTITY lol2 \"&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;\">\n"
           "<!ENTITY lol3 \"&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;\">\n"
           "<!ENTITY lol9 \"&lol3;&lol3;&lol3;&lol3;&lol3;&lol3;&lol3;&lol3;&lol3;&lol3;\">\n]>\n"
           "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\">"
           "<w:body><w:p><w:r><w:t>&lol9;</w:t></w:r></w:p></w:body></w:document>";
}

QByteArray nested(int depth)
{
    return "<?xml version=\"1.0\"?>" + QByteArray("<a>").repeated(depth) + "x" + QByteArray("</a>").repeated(depth);
}

QByteArray malformedCorpusColumn(const QStringList& header, const QStringList& fields)
{
    const qsizetype col = header.indexOf(QStringLiteral("malformed"));
    return col >= 0 && col < fields.size() ? fields[col].toUtf8() : QByteArray();
}

} // namespace

class TestHostile : public QObject {
    Q_OBJECT
private slots:
    void refusedPackages_data();
    void refusedPackages();
    void acceptedAtTheLimits_data();
    void acceptedAtTheLimits();
    void refusedFiles_data();
    void refusedFiles();
    void refusedXml_data();
    void refusedXml();
    void xmlAccepted_data();
    void xmlAccepted();
    void textLimitSpansParts();
    void truncatedAnywhere();
    void corpusMalformed_data();
    void corpusMalformed();
};

void TestHostile::refusedPackages_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("reason");   // a word the message must contain
    const QByteArray good = minimalDocx();
    QTest::newRow("zip bomb") << minimalDocx({{"word/media/zeros.bin", QByteArray(50 * 1024 * 1024, '\0')}}) << "tömörített";
    QTest::newRow("size header lies") << sizeLie() << "sérült";
    QTest::newRow("part declared over 64 MiB") << declaredHuge(70u << 20, 1) << "64 MiB";
    QTest::newRow("parts declared over 256 MiB") << declaredHuge(60u << 20, 5) << "256 MiB";
    QTest::newRow("10,001 entries") << manyEntries(10'001) << "túl sok";
    QTest::newRow("parent path") << minimalDocx({{"../evil", "x"}}) << "evil";
    QTest::newRow("parent path inside") << minimalDocx({{"word/../../evil.xml", "x"}}) << "evil";
    QTest::newRow("encoded parent path") << minimalDocx({{"word/%2e%2e/%2e%2e/evil.xml", "x"}}) << "evil";
    QTest::newRow("absolute path") << minimalDocx({{"/etc/evil", "x"}}) << "abszolút";
    QTest::newRow("backslash") << minimalDocx({{"word\\..\\..\\evil", "x"}}) << "perjel";
    QTest::newRow("drive letter") << minimalDocx({{"C:/evil", "x"}}) << "meghajtó";
    QTest::newRow("duplicate name") << duplicateExact() << "kétszer";
    QTest::newRow("duplicate, other case") << minimalDocx({{"Word/Document.XML", documentXml()}}) << "kétszer";
    QTest::newRow("duplicate after normalising") << minimalDocx({{"word/./document.xml", documentXml()}}) << "kétszer";
    QTest::newRow("no content types") << makeZip({{"_rels/.rels", packageRels()}, {"word/document.xml", documentXml()}})
                                      << "Content_Types";
    QTest::newRow("DOCTYPE in content types")
        << makeZip({{"[Content_Types].xml", "<!DOCTYPE x [<!ENTITY a \"b\">]><Types/>"}, {"_rels/.rels", packageRels()}})
        << "DOCTYPE";
    QTest::newRow("random junk") << randomBytes(4096, 7) << "zip";
    QTest::newRow("empty") << QByteArray() << "üres";
    QTest::newRow("cut in half") << good.left(good.size() / 2) << "zip";
    QTest::newRow("cut before the end record") << good.left(good.size() - 10) << "zip";
    QTest::newRow("OLE container, not a document") << QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + QByteArray(1000, '\0')
                                                   << "OLE";
}

void TestHostile::refusedPackages()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    QElapsedTimer timer;
    timer.start();
    try {
        Package::fromBytes(bytes, QStringLiteral("támadó.docx"));
        QFAIL("the package was accepted");
    } catch (const word::Error& e) {
        QVERIFY2(e.message().contains(QStringLiteral("„támadó.docx”")), qPrintable(e.message()));
        QVERIFY2(e.message().contains(reason), qPrintable(e.message()));
    }
    QVERIFY(timer.elapsed() < 5000);
}

void TestHostile::acceptedAtTheLimits_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("10,000 entries") << manyEntries(10'000);
    QTest::newRow("small part, high ratio") << minimalDocx({{"word/media/zeros.bin", QByteArray(100 * 1024, '\0')}});
    QTest::newRow("big incompressible part") << minimalDocx({{"word/media/r.bin", randomBytes(3 * 1024 * 1024, 3)}});
    QTest::newRow("folder entries") << minimalDocx({{"word/", ""}, {"word/media/", ""}});
    QTest::newRow("odd but harmless names") << minimalDocx({{"[trash]/0000.dat", "x"}, {"word/media/kép 1.png", "y"}});
}

void TestHostile::acceptedAtTheLimits()
{
    QFETCH(QByteArray, bytes);
    try {
        const auto pkg = Package::fromBytes(bytes, QStringLiteral("ok.docx"));
        QCOMPARE(pkg->mainPartName(), QStringLiteral("word/document.xml"));
    } catch (const word::Error& e) {
        QFAIL(qPrintable(e.message()));
    }
}

void TestHostile::refusedFiles_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing") << "nincs-ilyen.docx" << "nem létezik";
    QTest::newRow("folder") << "mappa.docx" << "mappa";
    QTest::newRow("empty file") << "ures.docx" << "üres";
    QTest::newRow("junk under a .docx name") << "szemet.docx" << "zip";
}

void TestHostile::refusedFiles()
{
    QFETCH(QString, name);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    QDir(dir.path()).mkdir(QStringLiteral("mappa.docx"));
    QFile empty(dir.filePath(QStringLiteral("ures.docx")));
    QVERIFY(empty.open(QIODevice::WriteOnly));
    empty.close();
    QFile junk(dir.filePath(QStringLiteral("szemet.docx")));
    QVERIFY(junk.open(QIODevice::WriteOnly));
    junk.write(randomBytes(10'000, 11));
    junk.close();
    try {
        Package::open(dir.filePath(name));
        QFAIL("the file was accepted");
    } catch (const word::Error& e) {
        QVERIFY2(e.message().contains(name), qPrintable(e.message()));
        QVERIFY2(e.message().contains(reason), qPrintable(e.message()));
    }
}

void TestHostile::refusedXml_data()
{
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<QString>("reason");
    QTest::newRow("billion laughs") << billionLaughs() << "DOCTYPE";
    QTest::newRow("external entity") << QByteArray("<?xml version=\"1.0\"?><!doctype r [<!ENTITY x SYSTEM \"file:///etc/passwd\">]><r>&x;</r>")
                                     << "DOCTYPE";
    QTest::newRow("DOCTYPE after a comment") << QByteArray("<!-- c --><!DOCTYPE r><r/>") << "DOCTYPE";
    const QString utf16 = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-16\"?><!DOCTYPE r><r/>");
    QTest::newRow("DOCTYPE in UTF-16")
        << QByteArray("\xFF\xFE") + QByteArray(reinterpret_cast<const char*>(utf16.utf16()), utf16.size() * 2) << "DOCTYPE";
    QTest::newRow("257 deep") << nested(257) << "256";
    QTest::newRow("300 deep") << nested(300) << "256";
    QTest::newRow("100,000 deep") << nested(100'000) << "256";
    QTest::newRow("not well-formed") << QByteArray("<a><b></a>") << "XML";
    QTest::newRow("unclosed") << QByteArray("<a>") << "XML";
    QTest::newRow("no root") << QByteArray("<?xml version=\"1.0\"?>") << "XML";
    QTest::newRow("unknown encoding") << QByteArray("<?xml version=\"1.0\" encoding=\"EBCDIC-XY\"?><a/>") << "kódolás";
}

void TestHostile::refusedXml()
{
    QFETCH(QByteArray, xml);
    QFETCH(QString, reason);
    // Stored, so that the ratio check leaves even highly repetitive XML to the parser.
    const auto pkg = Package::fromBytes(makeZip({{"[Content_Types].xml", contentTypes()}, {"_rels/.rels", packageRels()},
                                                 {"word/document.xml", xml, true}}),
                                        QStringLiteral("x.docx"));
    pugi::xml_document doc;
    try {
        pkg->parsePart(pkg->mainPartName(), doc);
        QFAIL("the XML was accepted");
    } catch (const word::Error& e) {
        QVERIFY2(e.message().contains(QStringLiteral("„x.docx”")), qPrintable(e.message()));
        QVERIFY2(e.message().contains(QStringLiteral("word/document.xml")), qPrintable(e.message()));
        QVERIFY2(e.message().contains(reason), qPrintable(e.message()));
    }
    QVERIFY(!doc.document_element());
}

void TestHostile::xmlAccepted_data()
{
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<QString>("text");   // what the first text node must read
    const QString hu = QStringLiteral("Árvíztűrő tükörfúrógép");
    const QByteArray body = "<r><t>" + hu.toUtf8() + "</t></r>";
    QTest::newRow("plain") << body << hu;
    QTest::newRow("UTF-8 BOM") << QByteArray("\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>") + body << hu;
    QByteArray le = QByteArray("\xFF\xFE");
    const QString s16 = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-16\"?>") + QString::fromUtf8(body);
    le.append(reinterpret_cast<const char*>(s16.utf16()), s16.size() * 2);
    QTest::newRow("UTF-16 LE with BOM") << le << hu;
    QTest::newRow("ISO-8859-1") << QByteArray("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><r><t>\xC1rv\xEDz</t></r>")
                                << QStringLiteral("Árvíz");
    QTest::newRow("DOCTYPE text in a comment") << QByteArray("<r><!-- <!DOCTYPE x> --><t>a</t></r>") << "a";
    QTest::newRow("DOCTYPE text in CDATA") << QByteArray("<r><t><![CDATA[<!DOCTYPE x>]]></t></r>") << "<!DOCTYPE x>";
    QTest::newRow("256 deep") << nested(256).replace("x", "y") << "y";
    QTest::newRow("space-only text kept") << QByteArray("<r><t xml:space=\"preserve\"> </t></r>") << " ";
}

void TestHostile::xmlAccepted()
{
    QFETCH(QByteArray, xml);
    QFETCH(QString, text);
    pugi::xml_document doc;
    word::opc::parseXml(xml, doc, QStringLiteral("word/document.xml"));
    const pugi::xml_node n = doc.find_node([](pugi::xml_node x) {
        return x.type() == pugi::node_pcdata || x.type() == pugi::node_cdata;
    });
    QCOMPARE(QString::fromUtf8(n.value()), text);
    // Serialising gives UTF-8 that parses to the same text.
    pugi::xml_document again;
    word::opc::parseXml(word::opc::serializeXml(doc), again, QStringLiteral("again"));
    QCOMPARE(QString::fromUtf8(again.document_element().text().get()),
             QString::fromUtf8(doc.document_element().text().get()));
}

void TestHostile::textLimitSpansParts()
{
    // Each part alone is under the limit of 10 million characters, the two together are not.
    const QByteArray part = "<r><t>" + QByteArray(6'000'000, 'a') + "</t></r>";
    QVERIFY_THROWS_EXCEPTION(word::Error, Package::fromBytes(minimalDocx({{"word/a.xml", part, true}, {"word/b.xml", part, true}}), QStringLiteral("t.docx")));
    // A part added after the open counts against the same budget when it is parsed.
    const auto pkg = Package::fromBytes(minimalDocx({{"word/a.xml", part, true}}), QStringLiteral("t.docx"));
    pkg->setPart(QStringLiteral("word/b.xml"), part);
    pugi::xml_document doc;
    pkg->parsePart(QStringLiteral("word/a.xml"), doc);
    QCOMPARE(pkg->textBudget().used(), 6'000'000);
    try {
        pkg->parsePart(QStringLiteral("word/b.xml"), doc);
        QFAIL("the text limit was not kept");
    } catch (const word::Error& e) {
        QVERIFY2(e.message().contains(QStringLiteral("10 millió")), qPrintable(e.message()));
    }
    word::opc::TextBudget budget(10);
    pugi::xml_document small;
    QVERIFY_THROWS_EXCEPTION(word::Error, word::opc::parseXml("<r>Árvíztűrő!!</r>", small, QStringLiteral("p"), budget));
    word::opc::parseXml("<r>Árvíztűrő</r>", small, QStringLiteral("p"), budget);
    QCOMPARE(budget.used(), 9);
}

void TestHostile::truncatedAnywhere()
{
    const QByteArray good = minimalDocx({{"word/media/r.bin", randomBytes(20'000, 5)}});
    int refused = 0;
    for (qsizetype cut = 0; cut < good.size(); cut += 97) {
        try {
            Package::fromBytes(good.left(cut), QStringLiteral("c.docx"));
        } catch (const word::Error& e) {
            QVERIFY(e.message().contains(QStringLiteral("„c.docx”")));
            ++refused;
        }
    }
    QCOMPARE(refused, int((good.size() + 96) / 97));
}

void TestHostile::corpusMalformed_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("note");
    QFile manifest(QStringLiteral(QUILLORA_CORPUS_DIR "/MANIFEST.tsv"));
    if (!manifest.open(QIODevice::ReadOnly))
        QSKIP("the corpus is not present");
    const QStringList header = QString::fromUtf8(manifest.readLine()).trimmed().split(u'\t');
    while (!manifest.atEnd()) {
        const QStringList f = QString::fromUtf8(manifest.readLine()).chopped(1).split(u'\t');
        const QByteArray note = malformedCorpusColumn(header, f);
        if (!note.trimmed().isEmpty())
            QTest::newRow(qPrintable(f[0])) << f[0] << note;
    }
}

void TestHostile::corpusMalformed()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, note);
    const QString name = QFileInfo(file).fileName();
    QElapsedTimer timer;
    timer.start();
    QString error;
    try {
        const auto pkg = Package::open(QStringLiteral(QUILLORA_CORPUS_DIR "/") + file);
        for (const QString& part : pkg->partNames()) {
            if (!part.endsWith(QStringLiteral(".xml")) && !part.endsWith(QStringLiteral(".rels")))
                continue;
            pugi::xml_document doc;
            pkg->parsePart(part, doc);
        }
        pkg->mainPartName();
    } catch (const word::Error& e) {
        error = e.message();
    }
    QVERIFY(timer.elapsed() < 10'000);
    if (!error.isEmpty())
        QVERIFY2(error.contains(name), qPrintable(error));
    // What the manifest says is wrong must be caught, not opened as if sound.
    if (note.contains("bad-zip") || note.contains("truncated"))
        QVERIFY2(error.contains(QStringLiteral("zip")), qPrintable(error));
    if (note.contains("encrypted"))
        QVERIFY2(error.contains(QStringLiteral("jelszóval védett")), qPrintable(error));
    if (note.contains("DOCTYPE"))
        QVERIFY2(error.contains(QStringLiteral("DOCTYPE")), qPrintable(error));
}

QTEST_GUILESS_MAIN(TestHostile)
#include "tst_hostile.moc"
