// Every input the fuzzers once found a fault with, kept in fuzz/regressions/
// and read here the way its fuzz target reads it: each must now be opened or
// refused with a clear error, never crash, hang or trip a sanitizer.

#include "word/application.h"
#include "word/document.h"
#include "word/error.h"
#include "word/legacy/legacyimport.h"
#include "word/model/docmodel.h"
#include "word/ooxml/docreader.h"
#include "word/opc/package.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>

class TestFuzzRegressions : public QObject {
    Q_OBJECT
private slots:
    void findings_data();
    void findings();
};

void TestFuzzRegressions::findings_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("path");
    const QDir root(QStringLiteral(QUILLORA_SOURCE_DIR "/fuzz/regressions"));
    int rows = 0;
    for (const QString& target : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QDir dir(root.filePath(target));
        for (const QString& file : dir.entryList(QDir::Files)) {
            QTest::newRow(qPrintable(target + u'/' + file)) << target << dir.filePath(file);
            ++rows;
        }
    }
    if (!rows)
        QSKIP("no fuzz findings are kept");
}

void TestFuzzRegressions::findings()
{
    QFETCH(QString, target);
    QFETCH(QString, path);
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray input = f.readAll();
    QElapsedTimer clock;
    clock.start();
    try {
        if (target == u"fuzz_fill") {
            if (word::legacy::sniffBytes(input) != word::legacy::Format::Ooxml)
                return;
            QTemporaryDir dir;
            const QString in = dir.filePath(QStringLiteral("in.docx"));
            QFile out(in);
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write(input);
            out.close();
            word::Application app;
            word::Document* doc = app.Documents().Open(in);
            doc->SaveAs(dir.filePath(QStringLiteral("out.docx")));
            app.Documents().Open(dir.filePath(QStringLiteral("out.docx")));
        } else {
            auto pkg = word::opc::Package::fromBytes(input, QStringLiteral("lelet.docx"));
            if (target == u"fuzz_docreader") {
                word::model::DocModel model;
                word::ooxml::readDocument(model, *pkg);
            }
        }
    } catch (const word::Error& e) {
        QVERIFY2(!e.message().isEmpty(), "a refusal must say why");
    }
    QVERIFY2(clock.elapsed() < 20'000, qPrintable(QString::number(clock.elapsed())));
}

QTEST_MAIN(TestFuzzRegressions)
#include "tst_fuzzregressions.moc"
