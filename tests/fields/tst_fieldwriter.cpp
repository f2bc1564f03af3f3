// Writing a field's value at every occurrence bookmark through the engine:
// gaps in the occurrence numbers, writing twice, the empty value, values that
// must arrive exactly as typed, the progress reported, a failure half-way, and
// the time one write takes.

#include "docxfixture.h"
#include "fields/fieldwriter.h"
#include "fields/writeprogress.h"
#include "word/application.h"
#include "word/document.h"
#include "word/error.h"

#include <QtTest/QtTest>
#include <QTemporaryDir>

using namespace fieldtest;

namespace {

// Records every report so a test can check the order of the bar's steps.
class RecordingProgress : public fields::WriteProgress {
public:
    QStringList log;
    int throwAtEvents = -1;   // the n-th processEvents call throws, counting from 1
    int events = 0;
    void setMaximum(int m) override { log << QStringLiteral("max %1").arg(m); }
    void setPosition(int p) override { log << QStringLiteral("pos %1").arg(p); }
    void setTextVisible(bool v) override { log << (v ? QStringLiteral("text on") : QStringLiteral("text off")); }
    void processEvents() override
    {
        log << QStringLiteral("events");
        if (++events == throwAtEvents)
            throw word::Error(QStringLiteral("megszakítva"));
    }
};

QString textOf(word::Document& doc, const QString& bookmark)
{
    return doc.Bookmarks().Item(bookmark).Range().Text();
}

} // namespace

class TestFieldWriter : public QObject {
    Q_OBJECT
private slots:
    void init();
    void writesEveryOccurrence();
    void skipsMissingOccurrence();
    void secondWriteReplacesFirst();
    void emptyValueBecomesOneBlank();
    void valuesArriveAsTyped_data();
    void valuesArriveAsTyped();
    void twoDigitOccurrences();
    void otherFieldsUntouched();
    void progressSteps();
    void failureStopsTheLoop();
    void oneWriteWithinBudget();
    void thousandFieldsWithinBudget();
    void sampleContractWithinBudget();

private:
    word::Document* open(const QString& body);
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<word::Application> m_app;
    fields::NoWriteProgress m_quiet;
};

void TestFieldWriter::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_app = std::make_unique<word::Application>();
}

word::Document* TestFieldWriter::open(const QString& body)
{
    const QString path = writeDocx(m_dir->path(), QStringLiteral("doc.docx"), body);
    return m_app->Documents().Open(path);
}

void TestFieldWriter::writesEveryOccurrence()
{
    word::Document* doc = open(para(run("Eladó: ") + mark("Nev_1", "***") + run(", ")) +
                               para(mark("Nev_2", "***") + run(" aláírja.")) +
                               para(run("Tanú: ") + mark("Nev_3", "***")));
    fields::WriteFieldValue(*doc, "Nev", "Kovács Ödön", 3, m_quiet);
    for (const char* name : {"Nev_1", "Nev_2", "Nev_3"}) {
        QVERIFY(doc->Bookmarks().Exists(name));
        QCOMPARE(textOf(*doc, name), QStringLiteral("Kovács Ödön"));
    }
    const QString all = doc->Content().Text();
    QVERIFY2(all.contains("Eladó: Kovács Ödön, "), qPrintable(all));
    QVERIFY2(all.contains("Kovács Ödön aláírja."), qPrintable(all));
    QVERIFY(!all.contains("***"));
}

void TestFieldWriter::skipsMissingOccurrence()
{
    word::Document* doc = open(para(mark("Ar_1", "***") + run(" és ") + mark("Ar_3", "***")));
    fields::WriteFieldValue(*doc, "Ar", "100", 3, m_quiet);
    QCOMPARE(textOf(*doc, "Ar_1"), QStringLiteral("100"));
    QCOMPARE(textOf(*doc, "Ar_3"), QStringLiteral("100"));
    QVERIFY(!doc->Bookmarks().Exists("Ar_2"));
    QVERIFY(doc->Content().Text().startsWith("100 és 100"));
}

void TestFieldWriter::secondWriteReplacesFirst()
{
    word::Document* doc = open(para(mark("Hely_1", "***") + run("|") + mark("Hely_2", "***")));
    fields::WriteFieldValue(*doc, "Hely", "Győr", 2, m_quiet);
    fields::WriteFieldValue(*doc, "Hely", "Pécs", 2, m_quiet);
    QCOMPARE(textOf(*doc, "Hely_1"), QStringLiteral("Pécs"));
    QCOMPARE(textOf(*doc, "Hely_2"), QStringLiteral("Pécs"));
    QVERIFY(doc->Content().Text().startsWith("Pécs|Pécs"));
    QVERIFY(!doc->Content().Text().contains("Győr"));
}

void TestFieldWriter::emptyValueBecomesOneBlank()
{
    word::Document* doc = open(para(run("[") + mark("Megj_1", "valami") + run("]")));
    fields::WriteFieldValue(*doc, "Megj", QString(), 1, m_quiet);
    QCOMPARE(textOf(*doc, "Megj_1"), QStringLiteral(" "));
    QVERIFY(doc->Content().Text().startsWith("[ ]"));
    // The blank keeps the bookmark alive for the next value.
    fields::WriteFieldValue(*doc, "Megj", "x", 1, m_quiet);
    QVERIFY(doc->Content().Text().startsWith("[x]"));
}

void TestFieldWriter::valuesArriveAsTyped_data()
{
    QTest::addColumn<QString>("value");
    QTest::newRow("markup") << QStringLiteral("<b>A & B</b> &amp;");
    QTest::newRow("quotes") << QStringLiteral("\"Kft.\" 'Bt.' „Zrt.”");
    QTest::newRow("tab") << QStringLiteral("a\tb");
    QTest::newRow("outer blanks") << QStringLiteral("  közte  ");
    QTest::newRow("accents") << QStringLiteral("Árvíztűrő tükörfúrógép ŐŰ");
    QTest::newRow("amount") << QStringLiteral("1.234.567,-Ft");
    QTest::newRow("outside 1250") << QStringLiteral("Zoë 合同");
}

void TestFieldWriter::valuesArriveAsTyped()
{
    QFETCH(QString, value);
    word::Document* doc = open(para(run("(") + mark("F_1", "***") + run(")")) + para(mark("F_2", "***")));
    fields::WriteFieldValue(*doc, "F", value, 2, m_quiet);
    QCOMPARE(textOf(*doc, "F_1"), value);
    QCOMPARE(textOf(*doc, "F_2"), value);

    // Saved and opened again, the text is still exactly the value.
    const QString saved = m_dir->filePath("saved.docx");
    doc->SaveAs(saved);
    word::Application other;
    word::Document* back = other.Documents().Open(saved);
    QCOMPARE(textOf(*back, "F_1"), value);
    QCOMPARE(textOf(*back, "F_2"), value);
    QVERIFY(back->Content().Text().startsWith("(" + value + ")"));
}

void TestFieldWriter::twoDigitOccurrences()
{
    QString body;
    for (int k = 1; k <= 12; ++k)
        body += para(mark(QStringLiteral("Sz_%1").arg(k), "***"));
    word::Document* doc = open(body);
    fields::WriteFieldValue(*doc, "Sz", "ok", 12, m_quiet);
    for (int k = 1; k <= 12; ++k)
        QCOMPARE(textOf(*doc, QStringLiteral("Sz_%1").arg(k)), QStringLiteral("ok"));
}

void TestFieldWriter::otherFieldsUntouched()
{
    // Nev is a prefix of Nev2 and of Nev_Anyja; neither may change.
    word::Document* doc = open(para(mark("Nev_1", "a") + run(" ") + mark("Nev2_1", "b") + run(" ") +
                                    mark("Nev_Anyja_1", "c")));
    fields::WriteFieldValue(*doc, "Nev", "X", 2, m_quiet);
    QCOMPARE(textOf(*doc, "Nev_1"), QStringLiteral("X"));
    QCOMPARE(textOf(*doc, "Nev2_1"), QStringLiteral("b"));
    QCOMPARE(textOf(*doc, "Nev_Anyja_1"), QStringLiteral("c"));
}

void TestFieldWriter::progressSteps()
{
    word::Document* doc = open(para(mark("A_1", "***") + mark("A_3", "***")));
    RecordingProgress p;
    fields::WriteFieldValue(*doc, "A", "v", 3, p);
    const QStringList expected{"pos 0", "max 3",
                               "text on", "events", "pos 1",
                               "text on", "events", "pos 2",
                               "text on", "events", "pos 3",
                               "text off", "pos 0"};
    QCOMPARE(p.log, expected);
}

void TestFieldWriter::failureStopsTheLoop()
{
    word::Document* doc = open(para(mark("B_1", "1") + run("|") + mark("B_2", "2") + run("|") + mark("B_3", "3")));
    RecordingProgress p;
    p.throwAtEvents = 2;
    QVERIFY_THROWS_EXCEPTION(word::Error, fields::WriteFieldValue(*doc, "B", "új", 3, p));
    QCOMPARE(textOf(*doc, "B_1"), QStringLiteral("új"));
    QCOMPARE(textOf(*doc, "B_2"), QStringLiteral("2"));
    QCOMPARE(textOf(*doc, "B_3"), QStringLiteral("3"));
    // The bar stays where the loop stopped: neither switched off nor reset.
    QCOMPARE(p.log.last(), QStringLiteral("events"));
    QVERIFY(!p.log.contains("text off"));
}

void TestFieldWriter::oneWriteWithinBudget()
{
    // A contract-sized document: 60 fields, the busiest one at 10 places among
    // 200 paragraphs of prose.
    QString body;
    const QString prose = QStringLiteral("A felek megállapodnak abban, hogy a szerződés tárgyát képező ingatlant ");
    for (int p = 0; p < 200; ++p) {
        QString inner = run(prose);
        if (p % 20 == 0)
            inner += mark(QStringLiteral("Vételár_%1").arg(p / 20 + 1), "***");
        if (p < 60)
            inner += mark(QStringLiteral("Mező%1_1").arg(p), "***");
        body += para(inner + run(" napon."));
    }
    word::Document* doc = open(body);
    fields::WriteFieldValue(*doc, "Vételár", "1.000,-Ft", 10, m_quiet);   // warm-up
    // The median of many writes: one preempted write says nothing of the engine.
    const int rounds = 51;
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer t;
        t.start();
        fields::WriteFieldValue(*doc, "Vételár", QStringLiteral("%1,-Ft").arg(i), 10, m_quiet);
        times.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::nth_element(times.begin(), times.begin() + rounds / 2, times.end());
    const double ms = times[rounds / 2];
    qInfo("one value at 10 places, median: %.3f ms", ms);
    QCOMPARE(textOf(*doc, "Vételár_10"), QStringLiteral("%1,-Ft").arg(rounds - 1));
    // The time budget is the benchmark's (bench/); here only a cost that has
    // run away (no longer linear) fails, under sanitizers and on busy machines too.
    QVERIFY2(ms <= 20.0, qPrintable(QString::number(ms)));
}

void TestFieldWriter::thousandFieldsWithinBudget()
{
    // The engine benchmark's large contract: 1000 fields at 10 places each,
    // spread over prose paragraphs, filled field by field as the window does.
    const int fieldsCount = 1000;
    const int places = 10;
    QString body;
    const QString prose = QStringLiteral("A felek a jelen szerződésben foglaltakat kölcsönösen elfogadják, ");
    for (int k = 1; k <= places; ++k) {
        for (int f = 0; f < fieldsCount; f += 4) {
            QString inner;
            for (int g = f; g < f + 4 && g < fieldsCount; ++g)
                inner += run(prose) + mark(QStringLiteral("Mező%1_%2").arg(g).arg(k), QStringLiteral("………"));
            body += para(inner);
        }
    }
    word::Document* doc = open(body);
    qint64 ms = std::numeric_limits<qint64>::max();
    for (int round = 0; round < 3; ++round) {
        QElapsedTimer t;
        t.start();
        for (int f = 0; f < fieldsCount; ++f)
            fields::WriteFieldValue(*doc, QStringLiteral("Mező%1").arg(f), QStringLiteral("érték %1").arg(f), places, m_quiet);
        ms = std::min(ms, t.elapsed());
    }
    qInfo("1000 fields at 10 places: %lld ms", ms);
    for (int f = 0; f < fieldsCount; f += 97)
        QCOMPARE(textOf(*doc, QStringLiteral("Mező%1_%2").arg(f).arg(places)), QStringLiteral("érték %1").arg(f));
    QVERIFY2(ms <= 2500, qPrintable(QString::number(ms)));   // the budget itself is the benchmark's
}

void TestFieldWriter::sampleContractWithinBudget()
{
    const QString path = QStringLiteral(QUILLORA_BIN_DIR "/sablonok/adasveteli-tobbesel-tobbesvev.dot");
    if (!QFileInfo::exists(path))
        QSKIP("the sample templates are not built");
    word::Document* doc = m_app->Documents().Open(path);
    // Every field of the contract and the largest occurrence number, read
    // from the bookmark names as the field list is.
    QStringList names;
    int maxOccurrence = 1;
    const word::Bookmarks all = doc->Bookmarks();
    for (int i = 1; i <= all.Count(); ++i) {
        const QString name = all.Item(i).Name();
        const qsizetype cut = name.lastIndexOf(u'_');
        bool ok = false;
        const int k = name.mid(cut + 1).toInt(&ok);
        if (cut <= 0 || !ok)
            continue;
        maxOccurrence = std::max(maxOccurrence, k);
        if (k == 1)
            names << name.left(cut);
    }
    QVERIFY(names.size() > 10);
    double worst = 0;
    // Per field the best of three rounds, so a moment of a busy machine does
    // not count as the engine's time.
    for (const QString& field : names) {
        double best = 1e9;
        for (int round = 0; round < 3; ++round) {
            QElapsedTimer t;
            t.start();
            fields::WriteFieldValue(*doc, field, QStringLiteral("Kovács Ödön %1").arg(round), maxOccurrence, m_quiet);
            best = std::min(best, double(t.nsecsElapsed()) / 1e6);
        }
        worst = std::max(worst, best);
    }
    qInfo("sample contract, %lld fields, at most %d places: slowest write %.3f ms",
          qint64(names.size()), maxOccurrence, worst);
    QVERIFY2(worst <= 20.0, qPrintable(QString::number(worst)));   // the budget itself is the benchmark's
}

QTEST_MAIN(TestFieldWriter)
#include "tst_fieldwriter.moc"
