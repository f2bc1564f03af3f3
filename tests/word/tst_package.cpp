// The package layer on well-formed input: content types, relationships,
// target resolution, editing, and saving that keeps untouched parts unchanged.

#include "word/error.h"
#include "word/opc/package.h"
#include "word/opc/xmllimits.h"
#include "word/zipfixture.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>
#include <pugixml.hpp>
#include <sys/resource.h>
#include <csignal>

using word::opc::Package;
using namespace zipfixture;

namespace {

const QString kMainType = QStringLiteral("application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml");

QByteArray documentRels()
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
           "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
           "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/image\" Target=\"media/image1.png\"/>"
           "<Relationship Id=\"rId7\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/hyperlink\" Target=\"https://example.org/x\" TargetMode=\"External\"/>"
           "<Relationship Id=\"rId3\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/customXml\" Target=\"../customXml/item1.xml\"/>"
           "</Relationships>";
}

QByteArray richDocx()
{
    return minimalDocx({{"word/_rels/document.xml.rels", documentRels()},
                        {"word/media/image1.png", QByteArray("\x89PNG\r\n\x1a\n", 8) + QByteArray(3000, '\x07'), true},
                        {"customXml/item1.xml", "<a/>"}});
}

// The compressed bytes of every entry, read without inflating.
QHash<QString, QByteArray> rawEntries(const QByteArray& zipBytes)
{
    QHash<QString, QByteArray> out;
    zip_error_t err;
    zip_error_init(&err);
    zip_source_t* src = zip_source_buffer_create(zipBytes.constData(), zip_uint64_t(zipBytes.size()), 0, &err);
    zip_t* z = zip_open_from_source(src, ZIP_RDONLY, &err);
    for (zip_int64_t i = 0; z && i < zip_get_num_entries(z, 0); ++i) {
        zip_stat_t st;
        zip_stat_index(z, zip_uint64_t(i), 0, &st);
        zip_file_t* f = zip_fopen_index(z, zip_uint64_t(i), ZIP_FL_COMPRESSED);
        QByteArray data(qsizetype(st.comp_size), Qt::Uninitialized);
        zip_fread(f, data.data(), st.comp_size);
        zip_fclose(f);
        out.insert(QString::fromUtf8(st.name), data);
    }
    if (z)
        zip_discard(z);
    return out;
}

QStringList corpusFiles(bool malformed)
{
    QFile manifest(QStringLiteral(QUILLORA_CORPUS_DIR "/MANIFEST.tsv"));
    if (!manifest.open(QIODevice::ReadOnly))
        return {};
    const QStringList header = QString::fromUtf8(manifest.readLine()).trimmed().split(u'\t');
    const qsizetype formatCol = header.indexOf(QStringLiteral("format"));
    const qsizetype malformedCol = header.indexOf(QStringLiteral("malformed"));
    QStringList files;
    while (!manifest.atEnd()) {
        const QStringList f = QString::fromUtf8(manifest.readLine()).chopped(1).split(u'\t');
        if (f.size() <= qMax(formatCol, malformedCol) || (f[formatCol] != u"zip" && f[formatCol] != u"flat-opc-xml"))
            continue;
        if (f[malformedCol].trimmed().isEmpty() != malformed)
            files.append(f[0]);
    }
    return files;
}

} // namespace

class TestPackage : public QObject {
    Q_OBJECT
private slots:
    void contentTypes_data();
    void contentTypes();
    void relationships();
    void resolve_data();
    void resolve();
    void mainPart_data();
    void mainPart();
    void partLookupIgnoresCase();
    void unchangedRoundTripKeepsBytes();
    void editedPartsAndNewContentTypes();
    void removedPartDropsOverride();
    void addRelationship();
    void saveOverSourceFile();
    void failedSaveLeavesOldFile();
    void readOnlyFolderLeavesOldFile();
    void flatPackage();
    void flatPackageRefused_data();
    void flatPackageRefused();
    void corpusRoundTrip_data();
    void corpusRoundTrip();

private:
    void roundTrip(const QString& file);
};

void TestPackage::contentTypes_data()
{
    QTest::addColumn<QString>("part");
    QTest::addColumn<QString>("type");
    QTest::newRow("override") << "word/document.xml" << kMainType;
    QTest::newRow("override, other spelling") << "/Word/Document.XML" << kMainType;
    QTest::newRow("default, extension case differs") << "customXml/item1.xml" << "application/xml";
    QTest::newRow("default by extension") << "word/media/image1.png" << "image/png";
    QTest::newRow("rels default") << "word/_rels/document.xml.rels" << "application/vnd.openxmlformats-package.relationships+xml";
    QTest::newRow("no type known") << "word/media/photo.jpeg" << "";
}

void TestPackage::contentTypes()
{
    QFETCH(QString, part);
    QFETCH(QString, type);
    const auto pkg = Package::fromBytes(richDocx(), QStringLiteral("a.docx"));
    QCOMPARE(pkg->contentType(part), type);
}

void TestPackage::relationships()
{
    const auto pkg = Package::fromBytes(richDocx(), QStringLiteral("a.docx"));
    const auto rels = pkg->relationships(QStringLiteral("word/document.xml"));
    QCOMPARE(rels.size(), 3);
    QCOMPARE(rels[1].id, QStringLiteral("rId7"));
    QVERIFY(rels[1].external);
    QVERIFY(!rels[0].external);
    QCOMPARE(rels[0].target, QStringLiteral("media/image1.png"));
    QCOMPARE(pkg->resolve(QStringLiteral("word/document.xml"), rels[0].target), QStringLiteral("word/media/image1.png"));
    QCOMPARE(pkg->resolve(QStringLiteral("word/document.xml"), rels[1].target), QString());
    QVERIFY(pkg->relationships(QStringLiteral("word/media/image1.png")).isEmpty());
    QCOMPARE(pkg->relationships(QString()).size(), 1);
}

void TestPackage::resolve_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("expected");
    QTest::newRow("sibling") << "word/document.xml" << "styles.xml" << "word/styles.xml";
    QTest::newRow("parent folder") << "word/document.xml" << "../customXml/item1.xml" << "customXml/item1.xml";
    QTest::newRow("absolute") << "word/document.xml" << "/word/media/image1.png" << "word/media/image1.png";
    QTest::newRow("from the package") << "" << "word/document.xml" << "word/document.xml";
    QTest::newRow("dot segments") << "word/document.xml" << "./media/./image1.png" << "word/media/image1.png";
    QTest::newRow("percent-encoded") << "word/document.xml" << "media/image%201.png" << "word/media/image 1.png";
    QTest::newRow("fragment dropped") << "word/sub/x.xml" << "../y.xml#bm" << "word/y.xml";
    QTest::newRow("climbs out") << "word/document.xml" << "../../etc/passwd" << "";
    QTest::newRow("external URL") << "word/document.xml" << "http://example.org/a.png" << "";
    QTest::newRow("file URL") << "word/document.xml" << "file:///etc/passwd" << "";
    QTest::newRow("stored spelling wins") << "word/document.xml" << "MEDIA/Image1.PNG" << "word/media/image1.png";
}

void TestPackage::resolve()
{
    QFETCH(QString, source);
    QFETCH(QString, target);
    QFETCH(QString, expected);
    const auto pkg = Package::fromBytes(richDocx(), QStringLiteral("a.docx"));
    QCOMPARE(pkg->resolve(source, target), expected);
}

void TestPackage::mainPart_data()
{
    QTest::addColumn<QByteArray>("rels");
    QTest::addColumn<QString>("expected");   // empty: mainPartName throws
    const QByteArray strict = "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                              "<Relationship Id=\"r\" Type=\"http://purl.oclc.org/ooxml/officeDocument/relationships/officeDocument\" "
                              "Target=\"/word/document.xml\"/></Relationships>";
    const QByteArray other = "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                             "<Relationship Id=\"r\" Type=\"http://example.org/other\" Target=\"word/document.xml\"/></Relationships>";
    QTest::newRow("transitional") << QByteArray(packageRels()) << "word/document.xml";
    QTest::newRow("strict, absolute target") << strict << "word/document.xml";
    QTest::newRow("target is a missing part") << QByteArray(packageRels("word/nothere.xml")) << "";
    QTest::newRow("no officeDocument relationship") << other << "";
}

void TestPackage::mainPart()
{
    QFETCH(QByteArray, rels);
    QFETCH(QString, expected);
    const auto pkg = Package::fromBytes(
        makeZip({Item{"[Content_Types].xml", zipfixture::contentTypes()}, Item{"_rels/.rels", rels}, Item{"word/document.xml", documentXml()}}),
        QStringLiteral("a.docx"));
    if (expected.isEmpty()) {
        QVERIFY_THROWS_EXCEPTION(word::Error, pkg->mainPartName());
        return;
    }
    QCOMPARE(pkg->mainPartName(), expected);
}

void TestPackage::partLookupIgnoresCase()
{
    const auto pkg = Package::fromBytes(richDocx(), QStringLiteral("a.docx"));
    QVERIFY(pkg->hasPart(QStringLiteral("/WORD/document.xml")));
    QCOMPARE(pkg->part(QStringLiteral("Word/Document.xml")), documentXml());
    QVERIFY(!pkg->partNames().contains(QStringLiteral("[Content_Types].xml")));
    try {
        pkg->part(QStringLiteral("word/missing.xml"));
        QFAIL("a missing part was handed out");
    } catch (const word::Error& e) {
        QVERIFY(e.message().contains(QStringLiteral("a.docx")));
        QVERIFY(e.message().contains(QStringLiteral("word/missing.xml")));
    }
}

void TestPackage::unchangedRoundTripKeepsBytes()
{
    const QByteArray original = richDocx();
    const auto pkg = Package::fromBytes(original, QStringLiteral("a.docx"));
    const QByteArray written = pkg->toBytes();
    // Untouched entries are copied compressed as they were, not recompressed.
    const auto before = rawEntries(original);
    const auto after = rawEntries(written);
    QCOMPARE(after.keys().size(), before.keys().size());
    for (auto it = before.cbegin(); it != before.cend(); ++it)
        QCOMPARE(after.value(it.key()), it.value());
    const auto again = Package::fromBytes(written, QStringLiteral("a.docx"));
    QCOMPARE(again->partNames(), pkg->partNames());
    for (const QString& name : pkg->partNames())
        QCOMPARE(again->part(name), pkg->part(name));
}

void TestPackage::editedPartsAndNewContentTypes()
{
    const QByteArray original = richDocx();
    auto pkg = Package::fromBytes(original, QStringLiteral("a.docx"));
    const QByteArray newDoc = documentXml("<w:p><w:r><w:t>Új szöveg: őŐűŰ</w:t></w:r></w:p>");
    pkg->setPart(QStringLiteral("word/document.xml"), newDoc);
    pkg->setPart(QStringLiteral("/word/settings.xml"), "<w:settings/>",
                 QStringLiteral("application/vnd.openxmlformats-officedocument.wordprocessingml.settings+xml"));
    pkg->setPart(QStringLiteral("word/media/photo.jpeg"), "JPEGDATA", QStringLiteral("image/jpeg"));
    const QByteArray written = pkg->toBytes();
    const auto raw = rawEntries(written);
    QVERIFY(raw.value(QStringLiteral("[Content_Types].xml")) != rawEntries(original).value(QStringLiteral("[Content_Types].xml")));
    QCOMPARE(raw.value(QStringLiteral("word/media/image1.png")), rawEntries(original).value(QStringLiteral("word/media/image1.png")));

    const auto again = Package::fromBytes(written, QStringLiteral("a.docx"));
    QCOMPARE(again->part(QStringLiteral("word/document.xml")), newDoc);
    QCOMPARE(again->contentType(QStringLiteral("word/settings.xml")),
             QStringLiteral("application/vnd.openxmlformats-officedocument.wordprocessingml.settings+xml"));
    QCOMPARE(again->contentType(QStringLiteral("word/media/photo.jpeg")), QStringLiteral("image/jpeg"));
    QCOMPARE(again->contentType(QStringLiteral("word/document.xml")), kMainType);
    QCOMPARE(again->contentType(QStringLiteral("word/media/image1.png")), QStringLiteral("image/png"));
    QVERIFY_THROWS_EXCEPTION(word::Error, pkg->setPart(QStringLiteral("../evil.xml"), "x"));
    QVERIFY_THROWS_EXCEPTION(word::Error, pkg->setPart(QStringLiteral("[Content_Types].xml"), "x"));
}

void TestPackage::removedPartDropsOverride()
{
    auto pkg = Package::fromBytes(richDocx(), QStringLiteral("a.docx"));
    pkg->removePart(QStringLiteral("word/document.xml"));
    QVERIFY(!pkg->hasPart(QStringLiteral("word/document.xml")));
    const auto again = Package::fromBytes(pkg->toBytes(), QStringLiteral("a.docx"));
    QVERIFY(!again->hasPart(QStringLiteral("word/document.xml")));
    QCOMPARE(again->contentType(QStringLiteral("word/document.xml")), QStringLiteral("application/xml"));
}

void TestPackage::addRelationship()
{
    auto pkg = Package::fromBytes(richDocx(), QStringLiteral("a.docx"));
    const QString type = QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships/subDocument");
    const QString id = pkg->addRelationship(QStringLiteral("word/document.xml"), type, QStringLiteral("file:///x/b.docx"), true);
    QCOMPARE(id, QStringLiteral("rId8"));
    QCOMPARE(pkg->addRelationship(QStringLiteral("word/document.xml"), type, QStringLiteral("file:///x/b.docx"), true), id);
    const QString first = pkg->addRelationship(QStringLiteral("word/media/image1.png"), type, QStringLiteral("x.xml"));
    QCOMPARE(first, QStringLiteral("rId1"));
    const auto again = Package::fromBytes(pkg->toBytes(), QStringLiteral("a.docx"));
    const auto rels = again->relationships(QStringLiteral("word/document.xml"));
    QCOMPARE(rels.size(), 4);
    QCOMPARE(rels.last().id, id);
    QVERIFY(rels.last().external);
    QCOMPARE(again->relationships(QStringLiteral("word/media/image1.png")).size(), 1);
    QVERIFY(again->hasPart(QStringLiteral("word/media/_rels/image1.png.rels")));
}

void TestPackage::saveOverSourceFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("szerződés.docx"));
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(richDocx());
    }
    auto pkg = Package::open(path);
    QCOMPARE(pkg->fileName(), path);
    pkg->setPart(QStringLiteral("word/document.xml"), documentXml("<w:p/>"));
    pkg->save(path);
    const auto again = Package::open(path);
    QCOMPARE(again->part(QStringLiteral("word/document.xml")), documentXml("<w:p/>"));
    QCOMPARE(again->part(QStringLiteral("word/media/image1.png")), pkg->part(QStringLiteral("word/media/image1.png")));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

void TestPackage::failedSaveLeavesOldFile()
{
    // A file size limit makes the write fail half-way, as a full disk would.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("old.docx"));
    const QByteArray old = minimalDocx();
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(old);
    }
    auto pkg = Package::open(path);
    QByteArray noise(2 * 1024 * 1024, Qt::Uninitialized);
    for (qsizetype i = 0; i < noise.size(); ++i)
        noise[i] = char(QRandomGenerator::global()->generate());
    pkg->setPart(QStringLiteral("word/media/noise.bin"), noise, QStringLiteral("application/octet-stream"));

    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 256 * 1024;
    setrlimit(RLIMIT_FSIZE, &small);
    bool threw = false;
    QString message;
    try {
        pkg->save(path);
    } catch (const word::Error& e) {
        threw = true;
        message = e.message();
    }
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);

    QVERIFY(threw);
    QVERIFY(message.contains(QStringLiteral("old.docx")));
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), old);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("old.docx")});
}

void TestPackage::readOnlyFolderLeavesOldFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("old.docx"));
    const QByteArray old = minimalDocx();
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(old);
    }
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    QFile probe(dir.filePath(QStringLiteral("probe")));
    if (probe.open(QIODevice::WriteOnly)) {
        probe.remove();
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QSKIP("the folder stays writable for this user (root)");
    }
    auto pkg = Package::open(path);
    pkg->setPart(QStringLiteral("word/document.xml"), documentXml("<w:p/>"));
    QVERIFY_THROWS_EXCEPTION(word::Error, pkg->save(path));
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), old);
}

namespace {

QByteArray flatPackage(const QByteArray& extraParts = {})
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
           "<?mso-application progid=\"Word.Document\"?>\n"
           "<pkg:package xmlns:pkg=\"http://schemas.microsoft.com/office/2006/xmlPackage\" "
           "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\">\n"
           "<pkg:part pkg:name=\"/_rels/.rels\" pkg:contentType=\"application/vnd.openxmlformats-package.relationships+xml\">"
           "<pkg:xmlData>" + QByteArray(packageRels()).mid(QByteArray(packageRels()).indexOf("<Relationships")) + "</pkg:xmlData></pkg:part>\n"
           "<pkg:part pkg:name=\"/word/document.xml\" pkg:contentType=\"" + kMainType.toUtf8() + "\"><pkg:xmlData>"
           "<w:document><w:body><w:p><w:r><w:t xml:space=\"preserve\">Lapos csomag: ő </w:t></w:r></w:p></w:body></w:document>"
           "</pkg:xmlData></pkg:part>\n"
           "<pkg:part pkg:name=\"/word/media/image1.png\" pkg:contentType=\"image/png\" pkg:compression=\"store\">"
           "<pkg:binaryData>" + QByteArray("\x89PNG\r\n\x1a\n\x00\x01\x02", 11).toBase64() + "</pkg:binaryData></pkg:part>\n"
        + extraParts + "</pkg:package>";
}

} // namespace

void TestPackage::flatPackage()
{
    const auto pkg = Package::fromBytes(::flatPackage(), QStringLiteral("lapos.xml"));
    QCOMPARE(pkg->mainPartName(), QStringLiteral("word/document.xml"));
    QCOMPARE(pkg->contentType(QStringLiteral("word/document.xml")), kMainType);
    QCOMPARE(pkg->part(QStringLiteral("word/media/image1.png")), QByteArray("\x89PNG\r\n\x1a\n\x00\x01\x02", 11));
    // The inline part stands alone: the prefix bound on the envelope is bound on its root.
    pugi::xml_document doc;
    pkg->parsePart(QStringLiteral("word/document.xml"), doc);
    QCOMPARE(QString::fromUtf8(doc.document_element().attribute("xmlns:w").value()),
             QStringLiteral("http://schemas.openxmlformats.org/wordprocessingml/2006/main"));
    QCOMPARE(QString::fromUtf8(doc.select_node("//w:t").node().text().get()), QStringLiteral("Lapos csomag: ő "));
    // Saved, it is an ordinary zip package.
    const QByteArray zip = pkg->toBytes();
    QVERIFY(zip.startsWith("PK"));
    const auto again = Package::fromBytes(zip, QStringLiteral("lapos.docx"));
    QCOMPARE(again->partNames(), pkg->partNames());
    QCOMPARE(again->contentType(QStringLiteral("word/media/image1.png")), QStringLiteral("image/png"));
    QCOMPARE(again->part(QStringLiteral("word/document.xml")), pkg->part(QStringLiteral("word/document.xml")));
}

void TestPackage::flatPackageRefused_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("reason");
    QTest::newRow("escaping part name")
        << ::flatPackage("<pkg:part pkg:name=\"/../evil\" pkg:contentType=\"x/y\"><pkg:binaryData>AA==</pkg:binaryData></pkg:part>")
        << "evil";
    QTest::newRow("duplicate part")
        << ::flatPackage("<pkg:part pkg:name=\"/WORD/document.xml\" pkg:contentType=\"x/y\"><pkg:binaryData>AA==</pkg:binaryData></pkg:part>")
        << "kétszer";
    QTest::newRow("DOCTYPE") << QByteArray(::flatPackage()).replace("<?mso-application", "<!DOCTYPE x><?mso-application") << "DOCTYPE";
    QTest::newRow("cut off") << ::flatPackage().left(900) << "XML";
}

void TestPackage::flatPackageRefused()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    try {
        Package::fromBytes(bytes, QStringLiteral("lapos.xml"));
        QFAIL("accepted");
    } catch (const word::Error& e) {
        QVERIFY2(e.message().contains(QStringLiteral("lapos.xml")), qPrintable(e.message()));
        QVERIFY2(e.message().contains(reason), qPrintable(e.message()));
    }
}

void TestPackage::corpusRoundTrip_data()
{
    QTest::addColumn<QString>("file");
    const QStringList files = corpusFiles(false);
    if (files.isEmpty())
        QSKIP("the corpus is not present");
    for (const QString& f : files)
        QTest::newRow(qPrintable(f)) << f;
}

void TestPackage::corpusRoundTrip()
{
    QFETCH(QString, file);
    try {
        roundTrip(file);
    } catch (const word::Error& e) {
        QFAIL(qPrintable(e.message()));
    }
}

void TestPackage::roundTrip(const QString& file)
{
    const auto pkg = Package::open(QStringLiteral(QUILLORA_CORPUS_DIR "/") + file);
    const QString main = pkg->mainPartName();
    QVERIFY(pkg->hasPart(main));
    pugi::xml_document doc;
    pkg->parsePart(main, doc);
    QVERIFY(doc.document_element());
    const auto again = Package::fromBytes(pkg->toBytes(), file);
    QCOMPARE(again->partNames(), pkg->partNames());
    for (const QString& name : pkg->partNames()) {
        QCOMPARE(again->part(name), pkg->part(name));
        QCOMPARE(again->contentType(name), pkg->contentType(name));
    }
    QCOMPARE(again->mainPartName(), main);
}

QTEST_GUILESS_MAIN(TestPackage)
#include "tst_package.moc"
