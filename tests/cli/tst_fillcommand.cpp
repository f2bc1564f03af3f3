// quillora-cli fill, run as the built program: every sample variant filled
// from the sample field data file, --set by field name, the errors of a wrong
// command line, and the result opened by LibreOffice when it is installed.

#include "fields/fielddatafile.h"
#include "templates/fielddiscovery.h"
#include "word/application.h"
#include "word/document.h"

#include <QtTest/QtTest>
#include <QTemporaryDir>

namespace {

const QString kBin = QStringLiteral(QUILLORA_BIN_DIR);
const QString kData = kBin + QStringLiteral("/mezoadatok/adasveteli-egyesel-egyesvev.mza");
const QString kTemplate = kBin + QStringLiteral("/sablonok/adasveteli.sab");

struct Run {
    int code = -1;
    QString out;
    QString err;
};

Run runCli(const QStringList& args)
{
    QProcess p;
    p.start(kBin + QStringLiteral("/quillora-cli"), args);
    Run r;
    if (!p.waitForFinished(60000))
        return r;
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

QString textAt(word::Document& doc, const QString& bookmark)
{
    return doc.Bookmarks().Item(bookmark).Range().Text();
}

// Every place of the field: <name>_1 up to <name>_<max> where they exist.
QStringList placesOf(word::Document& doc, const QString& field, int maxOccurrence)
{
    QStringList names;
    for (int k = 1; k <= maxOccurrence; ++k) {
        const QString name = field + u'_' + QString::number(k);
        if (doc.Bookmarks().Exists(name))
            names << name;
    }
    return names;
}

} // namespace

class TestFillCommand : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void fillsEveryVariant_data();
    void fillsEveryVariant();
    void knownValuesOfTheFittingVariant();
    void setByName_data();
    void setByName();
    void setNamingNoFieldFails();
    void headerPlaceIsFilledAndListed();
    void usageErrors_data();
    void usageErrors();
    void unreadableInputFails_data();
    void unreadableInputFails();
    void libreOfficeOpensTheResult();

private:
    QTemporaryDir m_dir;
};

void TestFillCommand::initTestCase()
{
    if (!QFileInfo::exists(kBin + "/quillora-cli") || !QFileInfo::exists(kTemplate) || !QFileInfo::exists(kData))
        QSKIP("quillora-cli and the samples are not built");
}

void TestFillCommand::fillsEveryVariant_data()
{
    QTest::addColumn<int>("sellers");
    QTest::addColumn<int>("buyers");
    QTest::addColumn<QStringList>("legal");
    QTest::newRow("1-1 legal seller") << 1 << 1 << QStringList{"Eladó"};
    QTest::newRow("1-2 natural") << 1 << 2 << QStringList();
    QTest::newRow("2-1 legal second seller") << 2 << 1 << QStringList{"Eladó2"};
    QTest::newRow("2-2 legal buyer") << 2 << 2 << QStringList{"Vevő2"};
}

void TestFillCommand::fillsEveryVariant()
{
    QFETCH(int, sellers);
    QFETCH(int, buyers);
    QFETCH(QStringList, legal);
    const QString out = m_dir.filePath(QStringLiteral("kesz-%1-%2.docx").arg(sellers).arg(buyers));
    QStringList args{"fill", kTemplate, "--out", out, "--sellers", QString::number(sellers),
                     "--buyers", QString::number(buyers), "--data", kData};
    for (const QString& e : legal)
        args << "--legal" << e;
    const Run r = runCli(args);
    QVERIFY2(r.code == 0, qPrintable(r.err));

    word::Application app;
    word::Document* doc = app.Documents().Open(out);
    QVERIFY(!doc->Bookmarks().Exists("Jogisz"));
    QVERIFY(!doc->Bookmarks().Exists("Termsz"));
    const templates::FieldDiscovery found = templates::DiscoverFields(*doc, false);
    QVERIFY(!found.fields.isEmpty());
    const QStringList lines = fields::FieldDataFile::readLines(kData);
    for (qsizetype i = 0; i < found.fields.size(); ++i) {
        const QString field = found.fields[i].name;
        // Line i + 2 of the file belongs to field i + 1; an empty line is one blank.
        const QString line = i + 1 < lines.size() ? lines[i + 1] : QString();
        const QString expected = i + 1 >= lines.size() ? QStringLiteral("***")
                                 : line.isEmpty()      ? QStringLiteral(" ")
                                                       : line;
        for (const QString& place : placesOf(*doc, field, found.maxOccurrence))
            QVERIFY2(textAt(*doc, place) == expected, qPrintable(place + ": " + textAt(*doc, place)));
    }
}

void TestFillCommand::knownValuesOfTheFittingVariant()
{
    const QString out = m_dir.filePath("egyes.docx");
    const Run r = runCli({"fill", kTemplate, "--out", out, "--legal", "Eladó", "--data", kData});
    QVERIFY2(r.code == 0, qPrintable(r.err));
    word::Application app;
    word::Document* doc = app.Documents().Open(out);
    QCOMPARE(textAt(*doc, "Eladó_Cégnév_1"), QStringLiteral("Dunakavics Ingatlanforgalmazó Kft."));
    QCOMPARE(textAt(*doc, "Eladó_Cégnév_2"), QStringLiteral("Dunakavics Ingatlanforgalmazó Kft."));
    QCOMPARE(textAt(*doc, "Vevő_Név_1"), QStringLiteral("Kovács Ödön"));
    QCOMPARE(textAt(*doc, "Vevő_AnyjaNeve_1"), QStringLiteral("Fűzi Erzsébet"));
    QCOMPARE(textAt(*doc, "Vételár_1"), QStringLiteral("48.500.000,-Ft"));
    QCOMPARE(textAt(*doc, "KeltDátum_1"), QStringLiteral("2026. december 8."));
    QCOMPARE(textAt(*doc, "ÜgyvédNeve_2"), QStringLiteral("dr. Tóth Éva"));
    const QString all = doc->Content().Text();
    QVERIFY(!all.contains("***"));
    QVERIFY(all.contains("vételárát 48.500.000,-Ft, azaz negyvennyolcmillió-ötszázezer forint"));
}

void TestFillCommand::setByName_data()
{
    QTest::addColumn<QString>("value");
    QTest::newRow("markup and quotes") << QStringLiteral("<Kovács & \"Társa\"> 'Bt.'");
    QTest::newRow("outer blanks and tab") << QStringLiteral("  Nagy\tIlona  ");
    QTest::newRow("accents") << QStringLiteral("Őrszentmiklós, Űrhajós u. 1.");
    QTest::newRow("outside windows-1250") << QStringLiteral("Zoë 合同");
    QTest::newRow("empty is one blank") << QString();
}

void TestFillCommand::setByName()
{
    QFETCH(QString, value);
    const QString out = m_dir.filePath("set.docx");
    const Run r = runCli({"fill", kTemplate, "--out", out, "--legal", "Eladó", "--data", kData,
                          "--set", "Vevő_Név=" + value,
                          "--set", "keltdátum=2027. január 2."});
    QVERIFY2(r.code == 0, qPrintable(r.err));
    word::Application app;
    word::Document* doc = app.Documents().Open(out);
    const QString expected = value.isEmpty() ? QStringLiteral(" ") : value;
    QCOMPARE(textAt(*doc, "Vevő_Név_1"), expected);
    QCOMPARE(textAt(*doc, "Vevő_Név_2"), expected);
    QCOMPARE(textAt(*doc, "KeltDátum_1"), QStringLiteral("2027. január 2."));
    // The rest still comes from the data file.
    QCOMPARE(textAt(*doc, "Vevő_AnyjaNeve_1"), QStringLiteral("Fűzi Erzsébet"));
}

void TestFillCommand::setNamingNoFieldFails()
{
    const QString out = m_dir.filePath("nincs.docx");
    const Run r = runCli({"fill", kTemplate, "--out", out, "--set", "Nincsilyen=1"});
    // Not a wrong command line but a document without that field: the
    // status of a file that does not fit.
    QCOMPARE(r.code, 2);
    QVERIFY2(r.err.contains("Nincsilyen"), qPrintable(r.err));
    QVERIFY(!QFileInfo::exists(out));
}

// The contract number's first place is in the body, its second in the
// header: a two-line value fills both, and bookmarks lists the header's too.
void TestFillCommand::headerPlaceIsFilledAndListed()
{
    const QString out = m_dir.filePath("header.docx");
    const Run r = runCli({"fill", kTemplate, "--out", out, "--data", kData, "--set", "Szerződésszám=2026/118\nII. példány"});
    QVERIFY2(r.code == 0, qPrintable(r.err));
    word::Application app;
    word::Document* doc = app.Documents().Open(out);
    QCOMPARE(textAt(*doc, "Szerződésszám_1"), QStringLiteral("2026/118\rII. példány"));
    QCOMPARE(textAt(*doc, "Szerződésszám_2"), QStringLiteral("2026/118\rII. példány"));
    const Run listed = runCli({"bookmarks", out});
    QCOMPARE(listed.code, 0);
    QVERIFY2(listed.out.contains(QStringLiteral("Szerződésszám_2\t2026/118\\nII. példány\n")), qPrintable(listed.out));
}

void TestFillCommand::usageErrors_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("mentioned");
    QTest::newRow("no out") << QStringList{"fill", kTemplate} << "--out";
    QTest::newRow("no template") << QStringList{"fill", "--out", "x.docx"} << "sablon";
    QTest::newRow("unknown option") << QStringList{"fill", kTemplate, "--out", "x", "--foo", "1"} << "--foo";
    QTest::newRow("bad count") << QStringList{"fill", kTemplate, "--out", "x", "--sellers", "két"} << "két";
    QTest::newRow("three buyers") << QStringList{"fill", kTemplate, "--out", "x", "--buyers", "3"} << "--buyers";
    QTest::newRow("set without =") << QStringList{"fill", kTemplate, "--out", "x", "--set", "Név"} << "Név";
    QTest::newRow("unknown party") << QStringList{"fill", kTemplate, "--out", "x", "--legal", "Vevő2"} << "Vevő2";
    QTest::newRow("missing value") << QStringList{"fill", kTemplate, "--out"} << "--out";
}

void TestFillCommand::usageErrors()
{
    QFETCH(QStringList, args);
    QFETCH(QString, mentioned);
    const Run r = runCli(args);
    QCOMPARE(r.code, 1);
    QVERIFY2(r.err.contains(mentioned), qPrintable(r.err));
}

void TestFillCommand::unreadableInputFails_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("missing data file") << "data";
    QTest::newRow("data file is a folder") << "folder";
    QTest::newRow("missing template variant") << "template";
}

void TestFillCommand::unreadableInputFails()
{
    QFETCH(QString, kind);
    const QString out = m_dir.filePath("hiba.docx");
    QStringList args{"fill", kTemplate, "--out", out};
    if (kind == "data")
        args << "--data" << m_dir.filePath("nincs.mza");
    if (kind == "folder")
        args << "--data" << m_dir.path();
    if (kind == "template")
        args[1] = m_dir.filePath("nincs.sab");
    const Run r = runCli(args);
    QCOMPARE(r.code, 2);
    QCOMPARE(r.err.count(u'\n'), 1);   // one clear line
    QVERIFY(!QFileInfo::exists(out));
}

void TestFillCommand::libreOfficeOpensTheResult()
{
    const QString soffice = QStandardPaths::findExecutable("soffice");
    if (soffice.isEmpty())
        QSKIP("LibreOffice is not installed");
    const QString out = m_dir.filePath("lo.docx");
    const Run r = runCli({"fill", kTemplate, "--out", out, "--sellers", "2", "--buyers", "2",
                          "--legal", "Eladó", "--data", kData});
    QVERIFY2(r.code == 0, qPrintable(r.err));
    QTemporaryDir profile;
    QProcess lo;
    lo.start(soffice, {"--headless", "-env:UserInstallation=" + QUrl::fromLocalFile(profile.path()).toString(),
                       "--convert-to", "txt:Text (encoded):UTF8", "--outdir", m_dir.path(), out});
    QVERIFY(lo.waitForFinished(90000));
    QFile txt(m_dir.filePath("lo.txt"));
    QVERIFY2(txt.open(QIODevice::ReadOnly), qPrintable(QString::fromUtf8(lo.readAllStandardError())));
    const QString text = QString::fromUtf8(txt.readAll());
    QVERIFY(text.contains("INGATLAN ADÁSVÉTELI SZERZŐDÉS"));
    QVERIFY(text.contains("Dunakavics Ingatlanforgalmazó Kft."));
}

QTEST_MAIN(TestFillCommand)
#include "tst_fillcommand.moc"
