// Legacy documents of the corpus (Word 97-2003, Word 6, Word 2.x, Word 2003
// XML) convert through LibreOffice and open as packages with a main part.
// Kept apart from the other legacy suites: each conversion takes seconds.

#include "word/error.h"
#include "word/legacy/legacyimport.h"
#include "word/opc/package.h"

#include <QStandardPaths>
#include <QtTest>
#include <pugixml.hpp>

using word::legacy::Format;

namespace {

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

class TestLegacyCorpus : public QObject {
    Q_OBJECT
private slots:
    void corpusLegacy_data();
    void corpusLegacy();
};

void TestLegacyCorpus::corpusLegacy_data()
{
    QTest::addColumn<QString>("file");
    QFile manifest(QStringLiteral(QUILLORA_CORPUS_DIR "/MANIFEST.tsv"));
    if (!manifest.open(QIODevice::ReadOnly))
        QSKIP("the corpus is not present");
    if (!haveConverter())
        QSKIP("LibreOffice is not installed");
    const QStringList header = QString::fromUtf8(manifest.readLine()).trimmed().split(u'\t');
    const qsizetype formatCol = header.indexOf(QStringLiteral("format"));
    const qsizetype malformedCol = header.indexOf(QStringLiteral("malformed"));
    const QStringList legacy{QStringLiteral("ole2-binary"), QStringLiteral("word2-binary"), QStringLiteral("wordml-2003-xml")};
    while (!manifest.atEnd()) {
        const QStringList f = QString::fromUtf8(manifest.readLine()).chopped(1).split(u'\t');
        if (f.size() > malformedCol && legacy.contains(f[formatCol]) && f[malformedCol].trimmed().isEmpty())
            QTest::newRow(qPrintable(f[0])) << f[0];
    }
}

void TestLegacyCorpus::corpusLegacy()
{
    QFETCH(QString, file);
    const QString path = QStringLiteral(QUILLORA_CORPUS_DIR "/") + file;
    QVERIFY(word::legacy::sniff(path) != Format::Unknown);
    try {
        const auto pkg = word::legacy::openPackage(path);
        QCOMPARE(pkg->fileName(), path);
        QVERIFY(pkg->hasPart(pkg->mainPartName()));
        QVERIFY(!mainText(*pkg).trimmed().isEmpty());
    } catch (const word::Error& e) {
        QFAIL(qPrintable(e.message()));
    }
}

QTEST_GUILESS_MAIN(TestLegacyCorpus)
#include "tst_legacy_corpus.moc"
