// Real-world packages through the engine: every sound one is opened, saved
// under a new name and opened again, and must come back with the same text,
// the same bookmarks, the same parts and, paragraph by paragraph, the same
// XML; every broken one must fail with an engine error or open and survive
// the same round trip, and never crash or hang.

#include "corpusmanifest.h"
#include "wordfixture.h"

#include "word/application.h"
#include "word/document.h"
#include "word/error.h"
#include "word/model/docmodel.h"
#include "word/opc/package.h"

#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QtTest/QtTest>

namespace {

// What the engine shows of a document: its paragraphs' text and its
// bookmarks (hidden ones included) with their place and text.
struct Observed {
    QStringList paragraphs;
    QStringList bookmarks;
};

void observeStory(word::Document& doc, word::model::DocModel* story, const QString& label, Observed& o)
{
    word::model::DocModel& m = story ? *story : doc.model();
    for (QTextBlock b = m.text()->begin(); b.isValid(); b = b.next())
        o.paragraphs << label + b.text();
    for (const auto& bm : m.anchors().allBookmarks()) {
        o.bookmarks << label + QStringLiteral("%1@%2-%3=%4").arg(bm.name).arg(bm.start).arg(bm.end)
                           .arg(word::Range(&doc, story, bm.start, bm.end).Text());
    }
}

// Every story: the main text, then headers, footers, notes and comments.
Observed observe(word::Document& doc)
{
    Observed o;
    observeStory(doc, nullptr, QString(), o);
    for (const word::model::Story& s : doc.model().stories())
        observeStory(doc, s.model.get(), s.part + u'#' + s.noteId + u':', o);
    return o;
}

// Where two strings part, with some context on both sides.
QString divergence(const QString& a, const QString& b)
{
    qsizetype common = 0;
    while (common < a.size() && common < b.size() && a.at(common) == b.at(common))
        ++common;
    const qsizetype from = std::max<qsizetype>(0, common - 80);
    const auto excerpt = [&](const QString& s) {
        return (from > 0 ? QStringLiteral("…") : QString()) + s.mid(from, 80 + 160);
    };
    return QStringLiteral("\"%1\" became \"%2\"").arg(excerpt(a), excerpt(b));
}

// The first difference of two lists, for a failure message that says where.
QString firstDifference(const QStringList& before, const QStringList& after)
{
    for (qsizetype i = 0; i < std::max(before.size(), after.size()); ++i) {
        if (before.value(i) != after.value(i)) {
            return QStringLiteral("item %1 of %2/%3: %4")
                .arg(i).arg(before.size()).arg(after.size())
                .arg(divergence(before.value(i), after.value(i)));
        }
    }
    return QString();
}

// Runs one step of a round trip, naming the step in the engine's error.
template <class Fn>
auto during(const char* what, Fn&& fn)
{
    try {
        return fn();
    } catch (const word::Error& e) {
        throw word::Error(QString::fromLatin1(what) + QStringLiteral(": ") + e.message());
    }
}

QString settingsPartOf(const word::opc::Package& pkg, const QString& mainPart)
{
    for (const auto& r : pkg.relationships(mainPart)) {
        if (!r.external && r.type.endsWith(QLatin1String("/settings")))
            return pkg.resolve(mainPart, r.target);
    }
    return QString();
}

QString relsOf(const QString& part)
{
    const qsizetype slash = part.lastIndexOf(QLatin1Char('/'));
    return part.left(slash + 1) + QStringLiteral("_rels/") + part.mid(slash + 1) + QStringLiteral(".rels");
}

// The parts a save writes anew: the main part, the settings it keeps the
// template in, their relationships, the content types and the properties.
bool rewritten(const QString& part, const QString& mainPart, const QString& settingsPart)
{
    return part == mainPart || part == relsOf(mainPart) || part == settingsPart
        || (!settingsPart.isEmpty() && part == relsOf(settingsPart))
        || part == QLatin1String("[Content_Types].xml") || part.startsWith(QLatin1String("docProps/"));
}

QStringList canonicalParagraphs(const word::opc::Package& pkg, const QString& part)
{
    pugi::xml_document doc;
    pkg.parsePart(part, doc);
    return corpus::paragraphs(doc);
}

QString canonicalPart(const word::opc::Package& pkg, const QString& part)
{
    pugi::xml_document doc;
    pkg.parsePart(part, doc);
    return corpus::Canonical::of(doc.document_element());
}

bool isXml(const QString& part)
{
    return part.endsWith(QLatin1String(".xml")) || part.endsWith(QLatin1String(".rels"));
}

// Compares the two packages part by part; returns what differs, one line each.
QStringList packageDifferences(const QString& originalPath, const QString& savedPath)
{
    QStringList problems;
    const auto before = word::opc::Package::open(originalPath);
    const auto after = word::opc::Package::open(savedPath);
    const QString mainPart = before->mainPartName();
    const QString settingsPart = settingsPartOf(*after, after->mainPartName());
    if (after->mainPartName() != mainPart)
        problems << QStringLiteral("main part %1 became %2").arg(mainPart, after->mainPartName());
    const QStringList beforeParts = before->partNames(), afterParts = after->partNames();
    for (const QString& p : beforeParts) {
        if (!afterParts.contains(p))
            problems << QStringLiteral("part %1 is missing").arg(p);
    }
    for (const QString& p : afterParts) {
        if (!beforeParts.contains(p) && !rewritten(p, mainPart, settingsPart))
            problems << QStringLiteral("part %1 was added").arg(p);
    }
    for (const QString& p : beforeParts) {
        if (!afterParts.contains(p) || rewritten(p, mainPart, settingsPart) || before->part(p) == after->part(p))
            continue;
        if (!isXml(p) || canonicalPart(*before, p) != canonicalPart(*after, p))
            problems << QStringLiteral("untouched part %1 changed").arg(p);
    }
    if (after->hasPart(mainPart)) {
        const QString diff = firstDifference(canonicalParagraphs(*before, mainPart), canonicalParagraphs(*after, mainPart));
        if (!diff.isEmpty())
            problems << QStringLiteral("paragraph XML differs: ") + diff;
    }
    return problems;
}

// Opens, saves as savedPath and opens the result; returns what differs.
QStringList roundTrip(const QString& path, const QString& savedPath)
{
    QStringList problems;
    Observed first;
    {
        word::Application app;
        word::Document* doc = during("opening", [&] { return app.Documents().Open(path); });
        first = observe(*doc);
        during("saving", [&] { doc->SaveAs(savedPath); return 0; });
    }
    word::Application app;
    word::Document* again = during("reopening the saved file", [&] { return app.Documents().Open(savedPath); });
    const Observed second = observe(*again);
    const QString text = firstDifference(first.paragraphs, second.paragraphs);
    if (!text.isEmpty())
        problems << QStringLiteral("paragraph text differs: ") + text;
    const QString marks = firstDifference(first.bookmarks, second.bookmarks);
    if (!marks.isEmpty())
        problems << QStringLiteral("bookmarks differ: ") + marks;
    return problems;
}

// Broken on purpose in a way no reader can get past: these must be refused.
bool mustBeRefused(const corpus::Entry& e)
{
    for (const char* reason : { "bad-zip", "DOCTYPE", "not-wellformed", "encrypted" }) {
        if (e.malformed.contains(QLatin1String(reason)))
            return true;
    }
    return false;
}

} // namespace

class TestCorpus : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void roundTrip_data();
    void roundTrip();
    void malformed_data();
    void malformed();
    void savedFilesGainNoSchemaError();

private:
    QTemporaryDir m_out;
    QList<QPair<QString, QString>> m_saved;   // written file, original
};

void TestCorpus::initTestCase()
{
    if (!QFileInfo::exists(QDir(corpus::folder()).filePath(QStringLiteral("MANIFEST.tsv"))))
        QSKIP("the document corpus is not present on this machine");
    QVERIFY(m_out.isValid());
}

void TestCorpus::roundTrip_data()
{
    QTest::addColumn<QString>("file");
    for (const corpus::Entry& e : corpus::soundPackages())
        QTest::newRow(qPrintable(e.file)) << e.file;
}

void TestCorpus::roundTrip()
{
    QFETCH(QString, file);
    const QString path = QDir(corpus::folder()).filePath(file);
    // Same name (and extension) as the original, in a folder of its own.
    const QString saved = m_out.filePath(QString(file).replace(QLatin1Char('/'), QLatin1Char('_')));
    QStringList problems;
    try {
        problems = ::roundTrip(path, saved);
        problems += packageDifferences(path, saved);
    } catch (const word::Error& e) {
        QFAIL(qPrintable(QStringLiteral("%1: engine error: %2").arg(file, e.message())));
    }
    m_saved.append({saved, path});
    if (!problems.isEmpty())
        QFAIL(qPrintable(file + QStringLiteral(":\n  ") + problems.join(QStringLiteral("\n  "))));
}

void TestCorpus::malformed_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("refuse");
    for (const corpus::Entry& e : corpus::readManifest()) {
        if (e.format == QLatin1String("zip") && !e.malformed.isEmpty())
            QTest::newRow(qPrintable(e.file)) << e.file << mustBeRefused(e);
    }
}

// A broken package either fails with an engine error that says something, or
// opens as well as its data allows and then survives a save and a reopen.
void TestCorpus::malformed()
{
    QFETCH(QString, file);
    QFETCH(bool, refuse);
    const QString path = QDir(corpus::folder()).filePath(file);
    const QString saved = m_out.filePath(QStringLiteral("broken_") + QFileInfo(file).fileName());
    try {
        word::Application app;
        app.Documents().Open(path);
    } catch (const word::Error& e) {
        QVERIFY2(!e.message().trimmed().isEmpty(), qPrintable(file + QStringLiteral(": an error without a message")));
        return;
    }
    if (refuse)
        QFAIL(qPrintable(file + QStringLiteral(": opened although it cannot be read correctly")));
    QStringList problems;
    try {
        problems = ::roundTrip(path, saved);
    } catch (const word::Error& e) {
        // Refusing to write what could not be read whole is fine, if it says why.
        QVERIFY2(!e.message().trimmed().isEmpty(), qPrintable(file + QStringLiteral(": an error without a message")));
    }
    if (!problems.isEmpty())
        QFAIL(qPrintable(file + QStringLiteral(":\n  ") + problems.join(QStringLiteral("\n  "))));
}

// Every file the round trip wrote, checked against the ECMA-376 schemas: it
// has no error its original had not.
void TestCorpus::savedFilesGainNoSchemaError()
{
    QVERIFY2(m_saved.size() > 50, "the round trip has written the corpus");
    const QStringList errors = wordtest::schemaErrors(m_saved);
    QVERIFY2(errors.isEmpty(), qPrintable(errors.join(u'\n')));
}

QTEST_MAIN(TestCorpus)
#include "tst_corpus.moc"
