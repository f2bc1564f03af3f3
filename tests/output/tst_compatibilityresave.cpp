// The compatibility re-save: which files of the folder it works on, what it
// changes in them, and where it stops when a file cannot be read.

#include "app/isolatedmain.h"
#include "word/wordfixture.h"

#include "app/quilloraapplication.h"
#include "output/compatibilityresave.h"
#include "word/application.h"
#include "word/document.h"
#include "word/error.h"

#include <QUrl>

using namespace wordtest;

namespace {

// The engine keeps an attached template as a URL, as the file format does.
QString attachedFile(word::Document* doc)
{
    const QUrl url(doc->AttachedTemplate());
    return url.isLocalFile() ? url.toLocalFile() : doc->AttachedTemplate();
}

} // namespace

class TestCompatibilityResave : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }
    void chosenFiles_data();
    void chosenFiles();
    void attachesTheTemplate();
    void stopsAtAnUnreadableFile();

private:
    QString folder(const QString& name)
    {
        QDir(m_dir.path()).mkpath(name);
        return m_dir.filePath(name);
    }
    QTemporaryDir m_dir;
};

void TestCompatibilityResave::chosenFiles_data()
{
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<QStringList>("chosen");
    QTest::newRow("none") << QStringList { "szerzodes.dot" } << QStringList {};
    QTest::newRow("own subdocuments in name order")
        << QStringList { "szerzodes.dot", "szerzodes_aldok2.doc", "szerzodes_aldok1.doc" }
        << QStringList { "szerzodes_aldok1.doc", "szerzodes_aldok2.doc" };
    QTest::newRow("the user's other documents stay out")
        << QStringList { "szerzodes.dot", "szerzodes_aldok1.doc", "level.doc", "masik_aldok1.doc" }
        << QStringList { "szerzodes_aldok1.doc" };
    QTest::newRow("other extensions stay out")
        << QStringList { "szerzodes_aldok1.docx", "szerzodes_aldok1.dot", "szerzodes.doc" } << QStringList {};
    QTest::newRow("a folder of that name stays out") << QStringList { "szerzodes_aldok9.doc/" } << QStringList {};
}

void TestCompatibilityResave::chosenFiles()
{
    QFETCH(QStringList, present);
    QFETCH(QStringList, chosen);
    const QString dir = folder(QString::fromLatin1(QTest::currentDataTag()));
    for (const QString& name : present) {
        if (name.endsWith(QLatin1Char('/')))
            QVERIFY(QDir(dir).mkdir(name.chopped(1)));
        else
            QVERIFY(!writeDocx(dir, name, p(r("x"))).isEmpty());
    }
    QStringList expected;
    for (const QString& name : chosen)
        expected << QDir(dir).filePath(name);
    QCOMPARE(output::subdocumentFiles(QDir(dir).filePath(QStringLiteral("szerzodes.dot"))), expected);
}

void TestCompatibilityResave::attachesTheTemplate()
{
    const QString dir = folder(QStringLiteral("attach"));
    const QString saved = writeDocx(dir, QStringLiteral("adasveteli.dot"), p(r("fő")));
    const QString sub = writeDocx(dir, QStringLiteral("adasveteli_aldok1.doc"), p(r("a szerződés szövege")));
    const QString other = writeDocx(dir, QStringLiteral("level.doc"), p(r("a felhasználó levele")));
    QFile otherFile(other);
    QVERIFY(otherFile.open(QIODevice::ReadOnly));
    const QByteArray otherBefore = otherFile.readAll();
    otherFile.close();
    const QByteArray savedBefore = readPart(saved, QStringLiteral("word/document.xml"));
    const QString tpl = output::compatibilityTemplate(dir);

    output::CompatibilityResave(saved, tpl);

    word::Application check;
    word::Document* doc = check.Documents().Open(sub);
    QCOMPARE(attachedFile(doc), tpl);
    QVERIFY(doc->UpdateStylesOnOpen());
    QCOMPARE(doc->Content().Text(), QStringLiteral("a szerződés szövege"));
    QVERIFY(otherFile.open(QIODevice::ReadOnly));
    QCOMPARE(otherFile.readAll(), otherBefore);
    QCOMPARE(readPart(saved, QStringLiteral("word/document.xml")), savedBefore);
}

void TestCompatibilityResave::stopsAtAnUnreadableFile()
{
    const QString dir = folder(QStringLiteral("broken"));
    const QString saved = writeDocx(dir, QStringLiteral("m.dot"), p(r("fő")));
    const QString first = writeDocx(dir, QStringLiteral("m_aldok1.doc"), p(r("első")));
    QFile junk(QDir(dir).filePath(QStringLiteral("m_aldok2.doc")));
    QVERIFY(junk.open(QIODevice::WriteOnly));
    junk.write("nem dokumentum");
    junk.close();
    const QString third = writeDocx(dir, QStringLiteral("m_aldok3.doc"), p(r("harmadik")));
    const QString tpl = output::compatibilityTemplate(dir);
    QVERIFY_THROWS_EXCEPTION(word::Error, output::CompatibilityResave(saved, tpl));
    word::Application check;
    QCOMPARE(attachedFile(check.Documents().Open(first)), tpl);
    QVERIFY(attachedFile(check.Documents().Open(third)) != tpl);
}

QUILLORA_ISOLATED_TEST_MAIN(app::QuilloraApplication, TestCompatibilityResave)
#include "tst_compatibilityresave.moc"
