// Limits that span a whole package or document: numbering labels, text and
// range ends across parts, relationships parts, declared encodings, the
// attached template's whereabouts and the decoded pixels of pictures. Every
// hostile file is built here in code.

#include "word/document.h"
#include "word/error.h"
#include "word/model/docmodel.h"
#include "word/model/formatprops.h"
#include "word/model/imagestore.h"
#include "word/ooxml/numbering.h"
#include "word/opc/package.h"
#include "word/opc/xmllimits.h"
#include "word/wordfixture.h"
#include "word/zipfixture.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QImage>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QtTest>
#include <pugixml.hpp>

#include <sys/stat.h>

using namespace wordtest;
using word::opc::Package;

namespace {

QString numberingXml(const QString& start, const QString& fmt, const QString& lvlText)
{
    return QStringLiteral("<w:numbering xmlns:w=\"%1\"><w:abstractNum w:abstractNumId=\"0\"><w:lvl w:ilvl=\"0\">"
                          "<w:start w:val=\"%2\"/><w:numFmt w:val=\"%3\"/><w:lvlText w:val=\"%4\"/></w:lvl>"
                          "<w:lvl w:ilvl=\"1\"><w:start w:val=\"%2\"/><w:numFmt w:val=\"%3\"/>"
                          "<w:lvlText w:val=\"%1.%2.\"/></w:lvl></w:abstractNum>"
                          "<w:num w:numId=\"1\"><w:abstractNumId w:val=\"0\"/></w:num></w:numbering>")
        .arg(QLatin1String(kW), start, fmt, lvlText.toHtmlEscaped());
}

QString numbered(const QString& text, int ilvl = 0)
{
    return p(r(text), QStringLiteral("<w:numPr><w:ilvl w:val=\"%1\"/><w:numId w:val=\"1\"/></w:numPr>").arg(ilvl));
}

QStringList labelsOf(word::Document* doc)
{
    QStringList labels;
    for (QTextBlock b = doc->textDocument()->begin(); b.isValid(); b = b.next()) {
        const QString label = b.blockFormat().stringProperty(word::model::prop::ListLabel);
        if (!label.isEmpty())
            labels << label;
    }
    return labels;
}

QString errorOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const word::Error& e) {
        return e.message();
    }
    return {};
}

QByteArray xmlPart(const QByteArray& root, const QByteArray& inner, const QByteArray& encoding = "UTF-8",
                   const QByteArray& attributes = {})
{
    return "<?xml version=\"1.0\" encoding=\"" + encoding + "\"?><" + root + attributes + ">" + inner + "</" + root
        + ">";
}

quint32 crc32(const QByteArray& data)
{
    quint32 c = 0xFFFFFFFFu;
    for (const char ch : data) {
        c ^= static_cast<unsigned char>(ch);
        for (int k = 0; k < 8; ++k)
            c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
    }
    return ~c;
}

// A real PNG of w x h pixels, its header then made to claim claimW x claimH.
QByteArray png(int w, int h, int claimW = 0, int claimH = 0)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::darkCyan);
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    img.save(&buf, "PNG");
    if (claimW > 0) {
        // Signature (8), length (4), "IHDR" (4), width and height (8), ..., CRC over type and data.
        qToBigEndian<quint32>(quint32(claimW), bytes.data() + 16);
        qToBigEndian<quint32>(quint32(claimH), bytes.data() + 20);
        qToBigEndian<quint32>(crc32(bytes.mid(12, 17)), bytes.data() + 29);
    }
    return bytes;
}

QString picture(const QString& rid)
{
    return QStringLiteral("<w:r><w:drawing><wp:inline xmlns:wp=\"http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing\">"
                          "<wp:extent cx=\"952500\" cy=\"952500\"/><a:graphic xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\">"
                          "<a:graphicData><a:blip r:embed=\"%1\"/></a:graphicData></a:graphic></wp:inline></w:drawing></w:r>")
        .arg(rid);
}

QStringList imageNames(QTextDocument* doc)
{
    QStringList names;
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat())
                names << it.fragment().charFormat().toImageFormat().name();
    return names;
}

bool isFrame(const QImage& img)
{
    return !img.isNull() && img.pixelColor(img.width() / 2, img.height() / 2).alpha() == 0;
}

struct XmlCensusPair {
    word::opc::XmlCensus full, quick;
};

// The part counted by the parse and by the quick look; both must take it.
XmlCensusPair censusBoth(const QByteArray& xml)
{
    XmlCensusPair c;
    const QString parsed = word::opc::censusOf(xml, c.full);
    const QString quick = word::opc::quickCensusOf(xml, c.quick);
    if (!parsed.isEmpty() || !quick.isEmpty())
        qWarning() << "census refused:" << parsed << quick;
    return c;
}

} // namespace

class TestBudgets : public QObject {
    Q_OBJECT

private:
    FixtureDocuments m_docs{QStringLiteral("budget")};
    QTemporaryDir m_dir;

    QString write(const DocxRecipe& recipe, const QString& name = QString())
    {
        static int serial = 0;
        return writeDocx(m_dir.path(), name.isEmpty() ? QStringLiteral("d%1.docx").arg(++serial) : name, recipe);
    }

private slots:
    void numberingLabelsStayShort_data();
    void numberingLabelsStayShort();
    void hugeLetterStartOpensAtOnce();
    void textLimitSpansTheWholePackage();
    void anchorLimitSpansTheWholePackage();
    void quickCensusAgreesWithTheParse();
    void censusKnowsEveryRangeEnd();
    void censusRefusesDoctypeWhereTheParseDoes();
    void textCountsCharactersNotBytes();
    void brokenRelationshipsRefuseThePackage_data();
    void brokenRelationshipsRefuseThePackage();
    void windows1252IsNotLatin1();
    void attachedTemplateOnlyFromItsPlaces_data();
    void attachedTemplateOnlyFromItsPlaces();
    void picturesDecodeWhenFirstDrawn();
    void pixelBudgetSpansTheDocument();
    void headerOverBudgetIsNeverDecoded();
};

void TestBudgets::numberingLabelsStayShort_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("fmt");
    QTest::addColumn<QString>("lvlText");
    QTest::addColumn<QString>("firstLabel");
    QTest::newRow("letters from two billion") << "2000000000" << "lowerLetter" << "%1)"
                                              << QString(64, u'x');
    QTest::newRow("upper letters at the top of int") << "2147483647" << "upperLetter" << "%1."
                                                     << QString(64, u'W');
    QTest::newRow("decimal at the top of int") << "2147483647" << "decimal" << "%1." << "2147483647.";
    QTest::newRow("a long level text") << "1" << "decimal" << QString(300, u'x') + "%1" << QString(64, u'x');
    QTest::newRow("the number repeated") << "1" << "lowerLetter" << QString("%1").repeated(100)
                                         << QString(64, u'a');
    QTest::newRow("small stays as it was") << "3" << "lowerLetter" << "(%1)" << "(c)";
}

void TestBudgets::numberingLabelsStayShort()
{
    QFETCH(QString, start);
    QFETCH(QString, fmt);
    QFETCH(QString, lvlText);
    QFETCH(QString, firstLabel);
    word::ooxml::Numbering numbering;
    numbering.read(numberingXml(start, fmt, lvlText).toUtf8(), QStringLiteral("numbering.xml"));
    QCOMPARE(numbering.nextLabel(QStringLiteral("1"), 0), firstLabel);
    // The counter goes on (and never wraps past the top of int); the sublevel stays short too.
    for (int i = 0; i < 3; ++i) {
        const QString next = numbering.nextLabel(QStringLiteral("1"), 0);
        QVERIFY2(next.size() <= word::ooxml::Numbering::kMaxLabelChars, qPrintable(next.left(80)));
        QVERIFY(!next.contains(u'-'));
        const QString sub = numbering.nextLabel(QStringLiteral("1"), 1);
        QVERIFY2(sub.size() <= word::ooxml::Numbering::kMaxLabelChars, qPrintable(sub.left(80)));
    }
}

void TestBudgets::hugeLetterStartOpensAtOnce()
{
    DocxRecipe recipe;
    recipe.numberingXml = numberingXml(QStringLiteral("2000000000"), QStringLiteral("lowerLetter"), QStringLiteral("%1)"));
    recipe.body = numbered(QStringLiteral("első")) + numbered(QStringLiteral("második"));
    const QString path = write(recipe);
    QVERIFY(QFileInfo(path).size() < 4096);
    QElapsedTimer clock;
    clock.start();
    word::Document* doc = m_docs.app().Documents().Open(path);
    QVERIFY2(clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed())));
    const QStringList labels = labelsOf(doc);
    QCOMPARE(labels.size(), 2);
    for (const QString& l : labels)
        QCOMPARE(l.size(), word::ooxml::Numbering::kMaxLabelChars);
}

void TestBudgets::textLimitSpansTheWholePackage()
{
    using zipfixture::minimalDocx;
    const QByteArray six = xmlPart("r", "<t>" + QByteArray(6'000'000, 'a') + "</t>");
    const QByteArray four = xmlPart("r", "<t>" + QByteArray(3'900'000, 'b') + "</t>");
    // Each part alone is under 10 million characters; together they are over it.
    const QString refused = errorOf([&] {
        Package::fromBytes(minimalDocx({{"word/a.xml", six, true}, {"word/header1.xml", six, true}}), "sok.docx");
    });
    QVERIFY2(refused.contains(QStringLiteral("„sok.docx”")) && refused.contains(QStringLiteral("10 millió")),
             qPrintable(refused));
    QVERIFY2(refused.contains(QStringLiteral("összes részben")), qPrintable(refused));
    // Just under the limit across parts opens.
    const auto pkg = Package::fromBytes(minimalDocx({{"word/a.xml", six, true}, {"word/b.xml", four, true}}), "elfer.docx");
    QVERIFY(pkg->hasPart(QStringLiteral("word/b.xml")));
    // Pictures are not text, whatever they hold.
    Package::fromBytes(minimalDocx({{"word/media/a.png", QByteArray(12'000'000, 'x'), true}}), "kep.docx");
}

void TestBudgets::anchorLimitSpansTheWholePackage()
{
    using zipfixture::minimalDocx;
    const QByteArray w = "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"";
    auto ends = [&](const QByteArray& element, int n) {
        return xmlPart("w:hdr", QByteArray("<w:" + element + "/>").repeated(n), "UTF-8", " " + w);
    };
    const QString refused = errorOf([&] {
        Package::fromBytes(minimalDocx({{"word/header1.xml", ends("bookmarkStart", 600'000), true},
                                        {"word/footer1.xml", ends("commentRangeEnd", 400'001), true}}),
                           "jelzok.docx");
    });
    QVERIFY2(refused.contains(QStringLiteral("„jelzok.docx”")) && refused.contains(QStringLiteral("1 millió")),
             qPrintable(refused));
    Package::fromBytes(minimalDocx({{"word/header1.xml", ends("bookmarkStart", 600'000), true},
                                    {"word/footer1.xml", ends("permEnd", 399'997), true}}),
                       "elfer.docx");
}

// The one-pass count finds the anchors the parse finds, and never less text:
// quoted '>' and markup inside attributes, comments and CDATA are not
// elements; an entity reference counts as its letters. Then over every XML
// part of the corpus.
void TestBudgets::quickCensusAgreesWithTheParse()
{
    using word::opc::XmlCensus;
    const QByteArray tricky =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><?mso-application progid=\"<w:bookmarkStart/>\"?>"
        "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\">"
        "<!-- <w:bookmarkStart w:id=\"9\"/> --><w:p w:x=\"a>b <w:bookmarkEnd/>\" w:y='c>\"d'>"
        "<w:bookmarkStart w:id=\"1\" w:name=\"x\"/><w:r><w:t>Árvíztűrő &amp; társa</w:t></w:r>"
        "<w:r><w:t><![CDATA[<w:bookmarkEnd w:id=\"1\"/>]]></w:t></w:r><w:bookmarkEnd\tw:id=\"1\"/></w:p></w:document>";
    XmlCensus full, quick;
    QVERIFY(word::opc::censusOf(tricky, full).isEmpty());
    QVERIFY(word::opc::quickCensusOf(tricky, quick).isEmpty());
    QCOMPARE(full.anchors, 2);
    QCOMPARE(quick.anchors, full.anchors);
    QCOMPARE(quick.text, full.text + 4);   // "&amp;" is one character once parsed
    XmlCensus refused;
    QVERIFY(!word::opc::quickCensusOf("<!DOCTYPE x [<!ENTITY a \"b\">]><x>&a;</x>", refused).isEmpty());

    int parts = 0;
    QDirIterator it(QStringLiteral(QUILLORA_CORPUS_DIR), {"*.docx", "*.dotx", "*.docm"}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo file(it.next());
        std::unique_ptr<Package> pkg;
        try {
            pkg = Package::open(file.filePath());
        } catch (const word::Error&) {
            continue;   // the corpus holds damaged files on purpose
        }
        for (const QString& name : pkg->partNames()) {
            if (!name.endsWith(QStringLiteral(".xml")))
                continue;
            const QByteArray data = pkg->part(name);
            XmlCensus a, b;
            if (!word::opc::censusOf(data, a).isEmpty())
                continue;
            QVERIFY(word::opc::quickCensusOf(data, b).isEmpty());
            QVERIFY2(b.anchors == a.anchors && b.text >= a.text,
                     qPrintable(QStringLiteral("%1 %2: anchors %3/%4, text %5/%6").arg(file.fileName(), name)
                                    .arg(b.anchors).arg(a.anchors).arg(b.text).arg(a.text)));
            ++parts;
        }
    }
    if (QDir(QStringLiteral(QUILLORA_CORPUS_DIR)).exists())
        QVERIFY(parts > 100);
}

void TestBudgets::brokenRelationshipsRefuseThePackage_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QByteArray>("data");
    QTest::newRow("document's, cut short") << QByteArray("word/_rels/document.xml.rels")
                                           << QByteArray("<?xml version=\"1.0\"?><Relationships><Relationship Id=\"rId1\"");
    QTest::newRow("a header's, not XML") << QByteArray("word/_rels/header1.xml.rels") << QByteArray("\x01\x02 semmi");
    QTest::newRow("with a DOCTYPE") << QByteArray("word/_rels/document.xml.rels")
                                    << QByteArray("<!DOCTYPE r [<!ENTITY a \"b\">]><Relationships/>");
}

void TestBudgets::brokenRelationshipsRefuseThePackage()
{
    QFETCH(QByteArray, name);
    QFETCH(QByteArray, data);
    const QString message = errorOf([&] { Package::fromBytes(zipfixture::minimalDocx({{name, data}}), "kapcs.docx"); });
    QVERIFY2(message.contains(QStringLiteral("„kapcs.docx”")) && message.contains(QString::fromUtf8(name))
                 && message.contains(QStringLiteral("kapcsolatleíró")),
             qPrintable(message));
    // Opened as a document, the same damage is refused alike.
    DocxRecipe recipe;
    recipe.body = p(r("x"));
    recipe.extraParts.append({QString::fromUtf8(name), data});
    const QString path = write(recipe);
    const QString opened = errorOf([&] { m_docs.app().Documents().Open(path); });
    QVERIFY2(opened.contains(QStringLiteral("kapcsolatleíró")), qPrintable(opened));
}

void TestBudgets::windows1252IsNotLatin1()
{
    // 0x80 euro, 0x93/0x94 quotes, 0x96 en dash, 0x8A S caron, 0xE9 e acute (as in Latin-1).
    const QByteArray part = xmlPart("r", "<t>\x80 \x93x\x94 \x96 \x8A \xE9</t>", "windows-1252");
    pugi::xml_document doc;
    word::opc::parseXml(part, doc, QStringLiteral("p.xml"));
    QCOMPARE(QString::fromUtf8(doc.document_element().child_value("t")),
             QString::fromUtf8("\u20AC \u201Cx\u201D \u2013 \u0160 \u00E9"));
    const QByteArray latin1 = xmlPart("r", "<t>\x80\xE9</t>", "ISO-8859-1");
    word::opc::parseXml(latin1, doc, QStringLiteral("p.xml"));
    QCOMPARE(QString::fromUtf8(doc.document_element().child_value("t")), QString::fromUtf8("\u0080\u00E9"));
}

void TestBudgets::attachedTemplateOnlyFromItsPlaces_data()
{
    QTest::addColumn<QString>("where");
    QTest::addColumn<bool>("taken");
    QTest::newRow("beside the document") << "beside" << true;
    QTest::newRow("beside the program") << "program" << true;
    QTest::newRow("in another folder") << "elsewhere" << false;
    QTest::newRow("a link beside pointing elsewhere") << "link" << false;
    QTest::newRow("a FIFO beside") << "fifo" << false;
    QTest::newRow("a device") << "device" << false;
    QTest::newRow("a legacy file beside") << "legacy" << false;
    QTest::newRow("missing") << "missing" << false;
}

void TestBudgets::attachedTemplateOnlyFromItsPlaces()
{
    QFETCH(QString, where);
    QFETCH(bool, taken);
    QTemporaryDir docDir, otherDir;
    DocxRecipe tpl;
    tpl.body = p(r("sablon"));
    tpl.stylesXml = defaultStyles().replace(QStringLiteral("<w:sz w:val=\"24\"/>"), QStringLiteral("<w:sz w:val=\"40\"/>"));
    const QString name = QStringLiteral("i11sablon-%1.dotx").arg(where);
    QString target = QDir(docDir.path()).filePath(name);
    QString cleanup;
    if (where == u"beside") {
        writeDocx(docDir.path(), name, tpl);
    } else if (where == u"program") {
        target = writeDocx(QCoreApplication::applicationDirPath(), name, tpl);
        cleanup = target;
    } else if (where == u"elsewhere") {
        target = writeDocx(otherDir.path(), name, tpl);
    } else if (where == u"link") {
        QVERIFY(QFile::link(writeDocx(otherDir.path(), name, tpl), target));
    } else if (where == u"fifo") {
        QCOMPARE(::mkfifo(QFile::encodeName(target).constData(), 0600), 0);
    } else if (where == u"device") {
        target = QStringLiteral("/dev/zero");
    } else if (where == u"legacy") {
        QFile f(target);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + QByteArray(4096, '\0'));
    }
    DocxRecipe recipe;
    recipe.body = p(r("szöveg"));
    recipe.settingsXml = QStringLiteral("<w:settings xmlns:w=\"%1\" xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
                                        "<w:attachedTemplate r:id=\"rIdT\"/><w:linkStyles/></w:settings>")
                             .arg(QLatin1String(kW));
    recipe.settingsRels = QStringLiteral("<Relationship Id=\"rIdT\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/attachedTemplate\" "
                                         "Target=\"%1\" TargetMode=\"External\"/>")
                              .arg(QUrl::fromLocalFile(target).toString().toHtmlEscaped());
    const QString path = writeDocx(docDir.path(), QStringLiteral("doc.docx"), recipe);
    QElapsedTimer clock;
    clock.start();
    word::Application app;
    word::Document* doc = app.Documents().Open(path);
    if (!cleanup.isEmpty())
        QFile::remove(cleanup);
    QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(doc->Content().Font().Size(), taken ? 20.0f : 12.0f);
}

void TestBudgets::picturesDecodeWhenFirstDrawn()
{
    DocxRecipe recipe;
    recipe.body = p(picture(QStringLiteral("rIdP1")) + picture(QStringLiteral("rIdP2")));
    recipe.extraDocumentRels = QStringLiteral(
        "<Relationship Id=\"rIdP1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/image\" Target=\"media/a.png\"/>"
        "<Relationship Id=\"rIdP2\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/image\" Target=\"media/b.png\"/>");
    recipe.extraParts = {{QStringLiteral("word/media/a.png"), png(30, 20)}, {QStringLiteral("word/media/b.png"), QByteArray("nem kép")}};
    word::Document* doc = m_docs.app().Documents().Open(write(recipe));
    QTextDocument* text = doc->textDocument();
    word::model::ImageStore& store = word::model::ImageStore::of(text);
    QCOMPARE(store.pixelsUsed(), 0);   // nothing decoded at load
    const QStringList names = imageNames(text);
    QCOMPARE(names.size(), 2);
    const QImage a = text->resource(QTextDocument::ImageResource, QUrl(names[0])).value<QImage>();
    QCOMPARE(a.size(), QSize(30, 20));
    QCOMPARE(store.pixelsUsed(), 600);
    // A picture that does not decode is drawn as an empty frame, and costs nothing.
    QVERIFY(isFrame(text->resource(QTextDocument::ImageResource, QUrl(names[1])).value<QImage>()));
    QCOMPARE(store.pixelsUsed(), 600);
    // Drawing the first again decodes nothing more.
    text->resource(QTextDocument::ImageResource, QUrl(names[0]));
    QCOMPARE(store.pixelsUsed(), 600);
}

// Every element that ends a range counts, whatever its prefix and however
// it is closed; names that only look like one do not. Bookmark starts are
// counted apart too, for the reader to make room for them.
void TestBudgets::censusKnowsEveryRangeEnd()
{
    const char* const ranges[] = { "bookmarkStart", "bookmarkEnd", "permStart", "permEnd", "commentRangeStart",
                                   "commentRangeEnd", "moveFromRangeStart", "moveToRangeEnd", "customXmlInsRangeStart" };
    const char* const others[] = { "permEnds", "bookmarkEnded", "Start", "RangeStarts", "perm", "t", "bookmark",
                                   "rangeEnd", "xpermEndx" };
    QByteArray xml = "<w:document xmlns:w=\"urn:w\" xmlns:v=\"urn:v\"><w:body>";
    for (const char* r : ranges) {
        xml += QByteArray("<w:") + r + " w:id=\"1\"/>";
        xml += QByteArray("<") + r + "/>";
        xml += QByteArray("<v:") + r + "></v:" + r + ">";
    }
    for (const char* o : others)
        xml += QByteArray("<w:") + o + "/>";
    xml += "</w:body></w:document>";
    XmlCensusPair counts = censusBoth(xml);
    QCOMPARE(counts.full.anchors, qint64(std::size(ranges) * 3));
    QCOMPARE(counts.quick.anchors, counts.full.anchors);
    // Bookmarks are counted once each, by their starts.
    QCOMPARE(counts.full.bookmarks, qint64(3));
    QCOMPARE(counts.quick.bookmarks, counts.full.bookmarks);
}

// A DOCTYPE anywhere outside comments, CDATA and processing instructions,
// in any case, is refused by the quick look as by the parse.
void TestBudgets::censusRefusesDoctypeWhereTheParseDoes()
{
    const std::pair<QByteArray, bool> inputs[] = {
        { "<!DOCTYPE r><r/>", true },
        { "<!doctype r><r/>", true },
        { "<?xml version=\"1.0\"?><!DocType r [<!ENTITY a \"b\">]><r>&a;</r>", true },
        { "<!-- c --><!DOCTYPE r><r/>", true },
        { "<?pi x?><!DOCTYPE r><r/>", true },
        { "<r/><!DOCTYPE", true },
        { "<r><!-- <!DOCTYPE x> --></r>", false },
        { "<r><t><![CDATA[<!DOCTYPE x>]]></t></r>", false },
        { "<?pi <!DOCTYPE x> ?><r/>", false },
        { "<r><!DOCTYP/></r>", false },
    };
    for (const auto& [xml, refused] : inputs) {
        word::opc::XmlCensus census;
        pugi::xml_document doc;
        word::opc::TextBudget budget;
        QCOMPARE(word::opc::quickCensusOf(xml, census).contains(QStringLiteral("DOCTYPE")), refused);
        QCOMPARE(word::opc::parseXmlChecked(xml, doc, budget).contains(QStringLiteral("DOCTYPE")), refused);
    }
}

// Text is counted in characters (code points), however its bytes fall;
// the parse counts exactly what the budget is charged.
void TestBudgets::textCountsCharactersNotBytes()
{
    const QString pieces[] = { QStringLiteral("a"), QStringLiteral("é"), QStringLiteral("ő"), QStringLiteral("€"),
                               QStringLiteral("😀"), QStringLiteral("Árvíztűrő tükörfúrógép") };
    for (int length = 0; length < 40; ++length) {
        QString text;
        for (int i = 0; i < length; ++i)
            text += pieces[(i * 7 + length) % std::size(pieces)];
        const QByteArray xml = "<r><t>" + text.toUtf8() + "</t><![CDATA[" + text.toUtf8() + "]]></r>";
        const qint64 chars = 2 * qint64(text.toUcs4().size());
        word::opc::TextBudget budget;
        pugi::xml_document doc;
        word::opc::parseXml(xml, doc, QStringLiteral("p"), budget);
        QCOMPARE(budget.used(), chars);
        const XmlCensusPair counts = censusBoth(xml);
        QCOMPARE(counts.full.text, chars);
        QCOMPARE(counts.quick.text, chars);
    }
}

void TestBudgets::pixelBudgetSpansTheDocument()
{
    QTextDocument doc;
    word::model::ImageStore& store = word::model::ImageStore::of(&doc);
    QCOMPARE(&word::model::ImageStore::of(&doc), &store);
    QCOMPARE(store.pixelLimit(), 256'000'000);
    store.setPixelLimit(1000);
    for (int i = 0; i < 3; ++i)
        store.add(QUrl(QStringLiteral("quillora-image:/m/%1.png").arg(i)), png(20, 20));
    auto drawn = [&](int i) {
        return doc.resource(QTextDocument::ImageResource, QUrl(QStringLiteral("quillora-image:/m/%1.png").arg(i))).value<QImage>();
    };
    QCOMPARE(drawn(0).size(), QSize(20, 20));
    QCOMPARE(drawn(2).size(), QSize(20, 20));
    // The third would pass the budget of 1000 pixels: an empty frame, and it stays one.
    QVERIFY(isFrame(drawn(1)));
    QCOMPARE(store.pixelsUsed(), 800);
    store.setPixelLimit(word::model::ImageStore::kMaxPixels);
    QVERIFY(isFrame(drawn(1)));
    QVERIFY(doc.resource(QTextDocument::ImageResource, QUrl(QStringLiteral("quillora-image:/m/9.png"))).isNull());
}

void TestBudgets::headerOverBudgetIsNeverDecoded()
{
    // 20000 x 20000 claimed (400 M pixels, 1.6 GB decoded) by a file of a few hundred bytes.
    QTextDocument doc;
    word::model::ImageStore& store = word::model::ImageStore::of(&doc);
    const QUrl url(QStringLiteral("quillora-image:/m/huge.png"));
    store.add(url, png(8, 8, 20000, 20000));
    QElapsedTimer clock;
    clock.start();
    const QImage img = doc.resource(QTextDocument::ImageResource, url).value<QImage>();
    QVERIFY(clock.elapsed() < 1000);
    QVERIFY(isFrame(img));
    QVERIFY(img.width() <= 128 && img.height() <= 128);
    QCOMPARE(store.pixelsUsed(), 0);
}

QTEST_MAIN(TestBudgets)
#include "tst_budgets.moc"
