// Files the engine saved must be readable by another word processor: every
// sound package of the corpus is opened and saved, and LibreOffice (when
// installed) converts the saved files to plain text, which has to carry the
// document's words. Conversion runs in a few batches with a private profile
// and a time limit per batch, so one stuck file cannot hang the suite.

#include "corpusmanifest.h"
#include "wordfixture.h"

#include "word/application.h"
#include "word/document.h"
#include "word/error.h"

#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QtTest/QtTest>

namespace {

constexpr int kBatchSize = 35;
constexpr int kBatchMilliseconds = 60'000;
constexpr double kWordsFound = 0.5;

struct Saved {
    QString file;                // as listed in the manifest
    QString savedPath;           // empty when the engine failed
    QString engineError;
    QSet<QString> words;         // of the engine's own text, four letters or more
};

} // namespace

class TestCorpusLibreOffice : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void converts_data();
    void converts();

private:
    Saved save(const corpus::Entry& e, int index);
    QString convertBatch(const QStringList& paths);

    QTemporaryDir m_dir;
    QString m_soffice;
    QHash<QString, Saved> m_saved;
    QHash<QString, QString> m_batchFailure;   // saved path -> why its batch failed
};

Saved TestCorpusLibreOffice::save(const corpus::Entry& e, int index)
{
    Saved s;
    s.file = e.file;
    // A number in front: the corpus has equal base names in different folders.
    const QString target = m_dir.filePath(QStringLiteral("saved/%1_%2").arg(index, 3, 10, QLatin1Char('0'))
                                              .arg(QFileInfo(e.file).fileName()));
    try {
        word::Application app;
        word::Document* doc = app.Documents().Open(QDir(corpus::folder()).filePath(e.file));
        doc->SaveAs(target);
        for (QTextBlock b = doc->textDocument()->begin(); b.isValid(); b = b.next())
            s.words += wordtest::wordsOf(b.text());
        s.savedPath = target;
    } catch (const word::Error& err) {
        s.engineError = err.message();
    }
    return s;
}

// Returns an empty string, or why the batch did not finish.
QString TestCorpusLibreOffice::convertBatch(const QStringList& paths)
{
    return wordtest::libreOfficeToText(m_soffice, paths, m_dir.filePath(QStringLiteral("text")),
                                       m_dir.filePath(QStringLiteral("profile")), kBatchMilliseconds);
}

void TestCorpusLibreOffice::initTestCase()
{
    if (!QFileInfo::exists(QDir(corpus::folder()).filePath(QStringLiteral("MANIFEST.tsv"))))
        QSKIP("the document corpus is not present on this machine");
    m_soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (m_soffice.isEmpty())
        QSKIP("LibreOffice (soffice) is not installed");
    QVERIFY(m_dir.isValid());
    QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("saved")));

    QStringList pending;
    int index = 0;
    for (const corpus::Entry& e : corpus::soundPackages()) {
        const Saved s = save(e, index++);
        m_saved.insert(e.file, s);
        if (!s.savedPath.isEmpty())
            pending << s.savedPath;
    }
    for (qsizetype i = 0; i < pending.size(); i += kBatchSize) {
        const QStringList batch = pending.mid(i, kBatchSize);
        const QString why = convertBatch(batch);
        for (const QString& p : batch) {
            if (!why.isEmpty())
                m_batchFailure.insert(p, why);
        }
    }
}

void TestCorpusLibreOffice::converts_data()
{
    QTest::addColumn<QString>("file");
    for (const corpus::Entry& e : corpus::soundPackages())
        QTest::newRow(qPrintable(e.file)) << e.file;
}

void TestCorpusLibreOffice::converts()
{
    QFETCH(QString, file);
    const Saved s = m_saved.value(file);
    if (!s.engineError.isEmpty())
        QSKIP(qPrintable(QStringLiteral("the engine could not save it (%1); the round-trip suite reports that").arg(s.engineError)));
    const QString text = m_dir.filePath(QStringLiteral("text/") + QFileInfo(s.savedPath).completeBaseName()
                                        + QStringLiteral(".txt"));
    QFile f(text);
    if (!f.open(QIODevice::ReadOnly)) {
        QFAIL(qPrintable(QStringLiteral("%1: LibreOffice did not convert the saved file%2")
                             .arg(file, m_batchFailure.contains(s.savedPath) ? QStringLiteral(" (") + m_batchFailure.value(s.savedPath) + QLatin1Char(')') : QString())));
    }
    const QString converted = QString::fromUtf8(f.readAll());
    if (s.words.isEmpty())
        return;
    QStringList missing;
    for (const QString& w : s.words) {
        if (!converted.contains(w))
            missing << w;
    }
    const double found = 1.0 - double(missing.size()) / double(s.words.size());
    QVERIFY2(found >= kWordsFound,
             qPrintable(QStringLiteral("%1: LibreOffice reads only %2 % of the words, missing e.g. %3")
                            .arg(file).arg(int(found * 100)).arg(missing.mid(0, 8).join(QStringLiteral(", ")))));
}

QTEST_MAIN(TestCorpusLibreOffice)
#include "tst_corpus_lo.moc"
