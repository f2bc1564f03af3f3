// quillora-cli pdf and fill --pdf, run as the built program on the sample
// contract: the PDF's pages against the layout, selectable text with the
// field values in it, embedded fonts, the title, and the exit codes.

#include "word/application.h"
#include "word/document.h"
#include "word/layout/pagelayout.h"
#include "word/view/printing.h"

#include <QPrinter>

#include <QtTest/QtTest>
#include <QTemporaryDir>

namespace {

const QString kBin = QStringLiteral(QUILLORA_BIN_DIR);
const QString kData = kBin + QStringLiteral("/mezoadatok/adasveteli-egyesel-egyesvev.mza");
const QString kTemplate = kBin + QStringLiteral("/sablonok/adasveteli.sab");
const QString kVariant = kBin + QStringLiteral("/sablonok/adasveteli-egyesel-egyesvev.dot");

int runCli(const QStringList& args, QString* err = nullptr)
{
    QProcess p;
    p.start(kBin + QStringLiteral("/quillora-cli"), args);
    if (!p.waitForFinished(60000))
        return -1;
    if (err)
        *err = QString::fromUtf8(p.readAllStandardError());
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

// The output of a poppler tool, or a null string when it is not installed.
QString poppler(const QString& tool, const QStringList& args)
{
    QProcess p;
    p.start(tool, args);
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return QString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace

class TestPdfCommand : public QObject {
    Q_OBJECT
private slots:
    void pdfOfTheSample();
    void fillWritesThePdfBeside();
    void printingGivesTheSamePages();
    void exitCodes_data();
    void exitCodes();

private:
    QTemporaryDir m_dir;
};

void TestPdfCommand::pdfOfTheSample()
{
    const QString out = m_dir.filePath(QStringLiteral("minta.pdf"));
    QCOMPARE(runCli({QStringLiteral("pdf"), kVariant, out}), 0);
    QFile f(out);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray pdf = f.readAll();
    QVERIFY(pdf.startsWith("%PDF-"));
    QVERIFY(pdf.contains("/FontFile2"));                 // fonts embedded
    // As many pages as the layout of the same document has.
    word::Application app;
    word::Document* doc = app.Documents().Open(kVariant);
    auto* layout = word::layout::PageLayout::install(doc->model());
    const QString info = poppler(QStringLiteral("pdfinfo"), {out});
    if (info.isNull())
        QSKIP("poppler-utils is not installed");
    QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+%1\\n").arg(layout->pageCount()))), qPrintable(info));
    QVERIFY(info.contains(QStringLiteral("Title:")));
    QVERIFY(!info.section(QStringLiteral("Title:"), 1).section(u'\n', 0, 0).trimmed().isEmpty());
    const QString text = poppler(QStringLiteral("pdftotext"), {out, QStringLiteral("-")});
    QVERIFY(text.contains(QStringLiteral("INGATLAN ADÁSVÉTELI SZERZŐDÉS")));
    QVERIFY(text.contains(QStringLiteral("Esedékesség")));   // the table's heading row
}

void TestPdfCommand::fillWritesThePdfBeside()
{
    const QString docx = m_dir.filePath(QStringLiteral("kesz.docx"));
    const QString pdf = m_dir.filePath(QStringLiteral("kesz.pdf"));
    QCOMPARE(runCli({QStringLiteral("fill"), kTemplate, QStringLiteral("--out"), docx, QStringLiteral("--legal"),
                     QStringLiteral("Eladó"), QStringLiteral("--data"), kData, QStringLiteral("--set"),
                     QStringLiteral("KeltHelye=Győrszentiván"), QStringLiteral("--pdf"), pdf}),
             0);
    QVERIFY(QFile::exists(docx));
    QVERIFY(QFile::exists(pdf));
    const QString text = poppler(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    if (text.isNull())
        QSKIP("poppler-utils is not installed");
    QVERIFY(text.contains(QStringLiteral("Győrszentiván")));
}

// The PDF printer of the print dialog and the command line paint the same pages.
void TestPdfCommand::printingGivesTheSamePages()
{
    const QString cli = m_dir.filePath(QStringLiteral("cli.pdf"));
    const QString printed = m_dir.filePath(QStringLiteral("printed.pdf"));
    QCOMPARE(runCli({QStringLiteral("pdf"), kVariant, cli}), 0);
    word::Application app;
    word::Document* doc = app.Documents().Open(kVariant);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(printed);
    QVERIFY(word::view::printDocument(*doc, printer));
    const QString a = poppler(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), cli, QStringLiteral("-")});
    const QString b = poppler(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), printed, QStringLiteral("-")});
    if (a.isNull())
        QSKIP("poppler-utils is not installed");
    QVERIFY(a.count(u'\f') >= 2);
    QCOMPARE(b.count(u'\f'), a.count(u'\f'));
    QCOMPARE(b, a);
}

void TestPdfCommand::exitCodes_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("code");
    QTest::newRow("no output named") << QStringList{QStringLiteral("pdf"), kVariant} << 1;
    QTest::newRow("unknown option") << QStringList{QStringLiteral("pdf"), kVariant, QStringLiteral("x.pdf"), QStringLiteral("--nope"), QStringLiteral("1")} << 1;
    QTest::newRow("missing input") << QStringList{QStringLiteral("pdf"), QStringLiteral("/nonexistent/a.docx"), QStringLiteral("x.pdf")} << 2;
    QTest::newRow("unwritable output") << QStringList{QStringLiteral("pdf"), kVariant, QStringLiteral("/nonexistent/dir/x.pdf")} << 2;
}

void TestPdfCommand::exitCodes()
{
    QFETCH(QStringList, args);
    QFETCH(int, code);
    QString err;
    QCOMPARE(runCli(args, &err), code);
    QVERIFY(!err.trimmed().isEmpty());
}

QTEST_MAIN(TestPdfCommand)
#include "tst_pdfcommand.moc"
