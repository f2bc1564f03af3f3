// quillora-cli check, run as the built program: misspelt words with their
// suggestions, each word once, the exit statuses for none, some and bad input,
// a missing dictionary, and a sample template opened with fill's options.

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest/QtTest>
#include <zip.h>

namespace {

const QString kBin = QStringLiteral(QUILLORA_BIN_DIR);
const QString kTemplate = kBin + QStringLiteral("/sablonok/adasveteli.sab");

struct Run {
    int code = -1;
    QString out;
    QString err;
};

Run runCli(const QStringList& args, const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment())
{
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(kBin + QStringLiteral("/quillora-cli"), args);
    Run r;
    if (!p.waitForFinished(60000))
        return r;
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

// The smallest WordprocessingML package: one paragraph per line of text.
QString writeDocx(const QString& path, const QStringList& paragraphs)
{
    QString body;
    for (const QString& text : paragraphs)
        body += text.isEmpty() ? QStringLiteral("<w:p/>")
                               : QStringLiteral("<w:p><w:r><w:t xml:space=\"preserve\">%1</w:t></w:r></w:p>").arg(text.toHtmlEscaped());
    const QByteArray parts[][2] = {
        {"[Content_Types].xml",
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
         "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
         "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
         "<Override PartName=\"/word/document.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/></Types>"},
        {"_rels/.rels",
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
         "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" Target=\"word/document.xml\"/></Relationships>"},
        {"word/document.xml",
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?><w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"><w:body>"
             + body.toUtf8() + "<w:sectPr/></w:body></w:document>"},
    };
    int error = 0;
    zip_t* z = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!z)
        return {};
    std::vector<QByteArray> keep;
    for (const auto& part : parts) {
        keep.push_back(part[1]);
        zip_source_t* src = zip_source_buffer(z, keep.back().constData(), zip_uint64_t(keep.back().size()), 0);
        zip_file_add(z, part[0].constData(), src, ZIP_FL_OVERWRITE);
    }
    return zip_close(z) == 0 ? path : QString();
}

} // namespace

class TestCheckCommand : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void misspeltWordsOncePerLine();
    void cleanDocuments_data();
    void cleanDocuments();
    void badInput_data();
    void badInput();
    void missingDictionary();
    void sampleTemplateWithFillOptions();

private:
    QTemporaryDir m_dir;
};

void TestCheckCommand::initTestCase()
{
    if (!QFileInfo::exists(kBin + "/quillora-cli"))
        QSKIP("quillora-cli is not built");
    QVERIFY(m_dir.isValid());
}

void TestCheckCommand::misspeltWordsOncePerLine()
{
    const QString doc = writeDocx(m_dir.filePath(QStringLiteral("hibas.docx")),
                                  {QStringLiteral("Ez a szerzödés érvényes, a kutyya ugat."),
                                   QStringLiteral("Még egy szerzödés és egy qxzvb."),
                                   QStringLiteral("A felek a a szerződést aláírták, és a a vevő fizet.")});
    QVERIFY(!doc.isEmpty());
    const Run r = runCli({QStringLiteral("check"), doc});
    QCOMPARE(r.code, 1);
    QVERIFY2(r.err.isEmpty(), qPrintable(r.err));
    const QStringList lines = r.out.split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 4);
    QStringList words;
    for (const QString& line : lines) {
        const QStringList cols = line.split(u'\t');
        QCOMPARE(cols.size(), 2);
        words << cols[0];
        const QStringList suggestions = cols[1].isEmpty() ? QStringList() : cols[1].split(QStringLiteral(", "));
        QVERIFY2(suggestions.size() <= 5, qPrintable(line));
    }
    QCOMPARE(words, (QStringList{"szerzödés", "kutyya", "qxzvb", "a a"}));
    QCOMPARE(lines[3], QStringLiteral("a a\ta"));
    QVERIFY2(lines[0].section(u'\t', 1).split(QStringLiteral(", ")).contains(QStringLiteral("szerződés")),
             qPrintable(lines[0]));
}

void TestCheckCommand::cleanDocuments_data()
{
    QTest::addColumn<QStringList>("paragraphs");
    QTest::newRow("correct Hungarian") << QStringList{"Az adásvételi szerződés tárgya az ingatlan.", "Kelt Győrben."};
    // A document without any character cannot be opened headless yet (the
    // opening's discovery asks for its first character); a blank one can.
    QTest::newRow("blank") << QStringList{QStringLiteral(" ")};
    QTest::newRow("numbers and codes") << QStringList{"01-09-123456 12345678-2-41 1.234.567,-Ft"};
}

void TestCheckCommand::cleanDocuments()
{
    QFETCH(QStringList, paragraphs);
    const QString doc = writeDocx(m_dir.filePath(QStringLiteral("jo.docx")), paragraphs);
    const Run r = runCli({QStringLiteral("check"), doc});
    QVERIFY2(r.code == 0, qPrintable(r.err + r.out));
    QCOMPARE(r.out, QString());
}

void TestCheckCommand::badInput_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("message");
    QTest::newRow("no file") << QStringList{"check"} << "Meg kell adni";
    QTest::newRow("missing file") << QStringList{"check", "/nincs/ilyen.docx"} << "A megnyitás sikertelen !";
    QTest::newRow("unknown option") << QStringList{"check", "x.docx", "--out", "y"} << "Ismeretlen kapcsoló";
    QTest::newRow("bad count") << QStringList{"check", "x.docx", "--sellers", "3"} << "--sellers";
    QTest::newRow("two files") << QStringList{"check", "a.docx", "b.docx"} << "Csak egy fájl";
}

void TestCheckCommand::badInput()
{
    QFETCH(QStringList, args);
    QFETCH(QString, message);
    const Run r = runCli(args);
    QCOMPARE(r.code, 2);
    QVERIFY2(r.err.contains(message), qPrintable(r.err));
    QCOMPARE(r.out, QString());
}

void TestCheckCommand::missingDictionary()
{
    QTemporaryDir empty;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QUILLORA_HUNSPELL_DIR"), empty.path());
    const QString doc = writeDocx(m_dir.filePath(QStringLiteral("szotar.docx")), {QStringLiteral("Szöveg.")});
    const Run r = runCli({QStringLiteral("check"), doc}, env);
    QCOMPARE(r.code, 2);
    QVERIFY2(r.err.contains(QStringLiteral("hunspell-hu")), qPrintable(r.err));
}

void TestCheckCommand::sampleTemplateWithFillOptions()
{
    if (!QFileInfo::exists(kTemplate))
        QSKIP("the samples are not built");
    const Run r = runCli({QStringLiteral("check"), kTemplate, QStringLiteral("--buyers"), QStringLiteral("2"),
                          QStringLiteral("--legal"), QStringLiteral("Eladó")});
    QVERIFY2(r.code == 0 || r.code == 1, qPrintable(r.err));
    for (const QString& line : r.out.split(u'\n', Qt::SkipEmptyParts))
        QVERIFY2(line.count(u'\t') == 1, qPrintable(line));
}

QTEST_GUILESS_MAIN(TestCheckCommand)
#include "tst_checkcommand.moc"
