// quillora-bench: times the engine on generated contracts the way the program
// drives it: open, write every field value at each of its bookmarks, save.
// Prints milliseconds (processor time of the engine's thread, which budgets
// are held to, and wall clock) and peak memory per step, the growth from 1000 to 3000
// fields, and the budgets each step is held to. Exits non-zero when a written
// bookmark does not read back its value, before or after saving.
// Options: --repeat N (default 3), --strict (exit 3 on a missed budget),
// --fields N (one size alone), --phases (the parts of a save timed on their
// own, after the run: writing the main part's XML, and the self-check).

#include "contractgenerator.h"

#include "word/application.h"
#include "word/document.h"
#include "word/error.h"
#include "word/model/docmodel.h"
#include "word/ooxml/docwriter.h"
#include "word/ooxml/savecheck.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <optional>

namespace {

struct Step {
    double ms = 0;      // wall clock
    double cpuMs = 0;   // this thread's processor time: what the engine costs on a busy machine
    long peakKb = 0;
};

struct Run {
    int fields = 0;
    int occurrences = 0;
    Step open, write, save;
    QString problem;   // empty when every bookmark read back its value
};

struct Budget {
    int fields, occurrences;
    double open, write, save;
    long peakMb;   // 0: none
};

const Budget kBudgets[] = { { 30, 3, 15, 5, 10, 0 }, { 1000, 10, 250, 250, 150, 300 } };
constexpr double kMaxGrowth = 3.6;
// The aims the engine works towards, beyond the budgets it must keep: at
// N=1000 K=10, 60 % of the open, write and save times of the engine before
// its stories and self-checking save (73, 80 and 76 ms), and at most 3.3
// times the cost for three times the work. Reported, not counted as misses.
// Those times were taken on another machine: on a new one, build that engine
// (the commit before the stories came in) and compare the two here, in turn.
constexpr double kAim[] = { 0.6 * 73, 0.6 * 80, 0.6 * 76 };
constexpr double kAimGrowth = 3.3;

long statusKb(const char* key)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : f.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(qstrlen(key)).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

// Lets the high-water mark start again from the present resident size, so
// each step reports its own peak. Without this right, peaks are cumulative.
bool resetPeak()
{
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    return f.open(QIODevice::WriteOnly) && f.write("5") == 1;
}

double threadCpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

Step timed(const std::function<void()>& fn)
{
    resetPeak();
    QElapsedTimer t;
    t.start();
    const double cpu0 = threadCpuMs();
    fn();
    Step s;
    s.cpuMs = threadCpuMs() - cpu0;
    s.ms = double(t.nsecsElapsed()) / 1e6;
    s.peakKb = statusKb("VmHWM:");
    return s;
}

// The field writer's loop: every occurrence that exists is selected,
// overwritten, and bookmarked again around the new text.
void writeFields(word::Document& doc, int fields, int occurrences)
{
    word::Bookmarks bookmarks = doc.Bookmarks();
    word::Selection& selection = doc.ActiveWindow().Selection();
    for (int f = 0; f < fields; ++f) {
        const QString value = ContractGenerator::valueFor(f);
        for (int k = 1; k <= occurrences; ++k) {
            const QString name = ContractGenerator::bookmarkName(f, k);
            if (!bookmarks.Exists(name))
                continue;
            bookmarks.Item(name).Select();
            selection.setText(value);
            bookmarks.Add(name);
        }
    }
}

QString checkValues(word::Document& doc, int fields, int occurrences)
{
    word::Bookmarks bookmarks = doc.Bookmarks();
    for (int f = 0; f < fields; ++f) {
        for (int k = 1; k <= occurrences; ++k) {
            const QString name = ContractGenerator::bookmarkName(f, k);
            if (!bookmarks.Exists(name))
                return QStringLiteral("bookmark %1 is missing").arg(name);
            const QString text = bookmarks.Item(name).Range().Text();
            if (text != ContractGenerator::valueFor(f))
                return QStringLiteral("bookmark %1 reads \"%2\" instead of \"%3\"").arg(name, text, ContractGenerator::valueFor(f));
        }
    }
    return QString();
}

Run runOnce(const QString& source, const QString& target, int fields, int occurrences)
{
    Run r;
    r.fields = fields;
    r.occurrences = occurrences;
    word::Application app;
    word::Document* doc = nullptr;
    r.open = timed([&] { doc = app.Documents().Open(source); });
    r.write = timed([&] { writeFields(*doc, fields, occurrences); });
    r.save = timed([&] { doc->SaveAs(target); });
    r.problem = checkValues(*doc, fields, occurrences);
    if (!r.problem.isEmpty())
        return r;
    word::Application again;
    word::Document* reopened = again.Documents().Open(target);
    r.problem = checkValues(*reopened, fields, occurrences);
    if (!r.problem.isEmpty())
        r.problem = QStringLiteral("after saving: ") + r.problem;
    return r;
}

// The save's parts on the written document, each the fastest of five.
void printPhases(const QString& source, const QString& target, int fields, int occurrences)
{
    word::Application app;
    word::Document* doc = app.Documents().Open(source);
    writeFields(*doc, fields, occurrences);
    doc->SaveAs(target);
    QFile f(target);
    if (!f.open(QIODevice::ReadOnly))
        return;
    const QByteArray bytes = f.readAll();
    double xml = 1e9, check = 1e9;
    for (int i = 0; i < 5; ++i) {
        xml = std::min(xml, timed([&] { word::ooxml::writeDocumentXml(doc->model()); }).cpuMs);
        check = std::min(check, timed([&] {
                                    word::ooxml::verifySavedPackage(bytes, doc->model(), { doc->model().mainPart },
                                                                    QStringLiteral("bench"));
                                }).cpuMs);
    }
    std::printf("  save's parts: main part XML %.2f ms cpu, self-check %.2f ms cpu\n", xml, check);
}

// The fastest of several repetitions: the machine is shared, and the
// slowest runs measure the neighbours rather than the engine.
Run best(const QList<Run>& runs)
{
    Run b = runs.first();
    for (const Run& r : runs) {
        for (auto [best, run] : { std::pair(&b.open, &r.open), std::pair(&b.write, &r.write), std::pair(&b.save, &r.save) }) {
            best->ms = std::min(best->ms, run->ms);
            best->cpuMs = std::min(best->cpuMs, run->cpuMs);
        }
        b.open.peakKb = std::max(b.open.peakKb, r.open.peakKb);
        b.write.peakKb = std::max(b.write.peakKb, r.write.peakKb);
        b.save.peakKb = std::max(b.save.peakKb, r.save.peakKb);
        if (!r.problem.isEmpty())
            b.problem = r.problem;
    }
    return b;
}

std::optional<Budget> budgetFor(const Run& r)
{
    for (const Budget& b : kBudgets) {
        if (b.fields == r.fields && b.occurrences == r.occurrences)
            return b;
    }
    return std::nullopt;
}

QString verdict(double value, double limit)
{
    return value <= limit ? QStringLiteral("ok   (≤ %1)").arg(limit) : QStringLiteral("MISS (≤ %1)").arg(limit);
}

int misses = 0;

void printStep(const char* name, const Step& s, std::optional<double> limit, long peakMb)
{
    QString line = QStringLiteral("  %1 %2 ms cpu %3 ms wall   peak %4 MB")
                       .arg(QString::fromLatin1(name), -6)
                       .arg(s.cpuMs, 9, 'f', 2)
                       .arg(s.ms, 9, 'f', 2)
                       .arg(double(s.peakKb) / 1024.0, 7, 'f', 1);
    if (limit) {
        line += QStringLiteral("   cpu ") + verdict(s.cpuMs, *limit);
        misses += s.cpuMs > *limit;
    }
    if (peakMb > 0) {
        line += QStringLiteral("   memory ") + verdict(double(s.peakKb) / 1024.0, double(peakMb));
        misses += s.peakKb > peakMb * 1024;
    }
    std::printf("%s\n", qPrintable(line));
}

void print(const Run& r, int repetitions)
{
    std::printf("N=%d K=%d (%d bookmarks, best of %d)\n", r.fields, r.occurrences, r.fields * r.occurrences, repetitions);
    const auto b = budgetFor(r);
    printStep("open", r.open, b ? std::optional(b->open) : std::nullopt, b ? b->peakMb : 0);
    printStep("write", r.write, b ? std::optional(b->write) : std::nullopt, b ? b->peakMb : 0);
    printStep("save", r.save, b ? std::optional(b->save) : std::nullopt, b ? b->peakMb : 0);
    if (!r.problem.isEmpty())
        std::printf("  WRONG RESULT: %s\n", qPrintable(r.problem));
    if (r.fields == 1000 && r.occurrences == 10) {
        const double cpu[] = { r.open.cpuMs, r.write.cpuMs, r.save.cpuMs };
        std::printf("  aim: ");
        for (int i = 0; i < 3; ++i)
            std::printf("%s %s%s%s", i == 0 ? "open" : i == 1 ? "write" : "save",
                        qPrintable(QStringLiteral("%1 of ≤ %2 ms").arg(cpu[i], 0, 'f', 1).arg(kAim[i], 0, 'f', 1)),
                        cpu[i] <= kAim[i] ? " reached" : " not reached", i < 2 ? ";  " : "");
        std::printf("\n");
    }
}

void printGrowth(const Run& small, const Run& large)
{
    std::printf("growth N=%d / N=%d in cpu time (budget ≤ %.1f)\n", large.fields, small.fields, kMaxGrowth);
    const std::pair<const char*, double> steps[] = { { "open", large.open.cpuMs / small.open.cpuMs },
                                                     { "write", large.write.cpuMs / small.write.cpuMs },
                                                     { "save", large.save.cpuMs / small.save.cpuMs } };
    for (const auto& [name, ratio] : steps) {
        std::printf("  %-6s %5.2f   %s   aim ≤ %.1f %s\n", name, ratio, ratio <= kMaxGrowth ? "ok" : "MISS", kAimGrowth,
                    ratio <= kAimGrowth ? "reached" : "not reached");
        misses += ratio > kMaxGrowth;
    }
}

int repetitionsFromArgs(const QStringList& args)
{
    const int i = args.indexOf(QStringLiteral("--repeat"));
    const int n = i >= 0 ? args.value(i + 1).toInt() : 3;
    return std::max(1, n);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication qapp(argc, argv);
    const QStringList args = qapp.arguments();
    const int repetitions = repetitionsFromArgs(args);
    const bool strict = args.contains(QStringLiteral("--strict"));
    if (!resetPeak())
        std::printf("note: /proc/self/clear_refs not writable; peaks are cumulative\n");

    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fprintf(stderr, "cannot create a temporary folder\n");
        return 2;
    }
    const std::pair<int, int> sizes[] = { { 30, 3 }, { 1000, 10 }, { 3000, 10 } };
    QList<Run> results;
    bool wrong = false;
    // --fields N runs that size alone (for a profiler), without the growth.
    const int onlyAt = args.indexOf(QStringLiteral("--fields"));
    const int only = onlyAt >= 0 ? args.value(onlyAt + 1).toInt() : 0;
    for (const auto& [fields, occurrences] : sizes) {
        if (only > 0 && fields != only)
            continue;
        const QString source = dir.filePath(QStringLiteral("contract-%1x%2.docx").arg(fields).arg(occurrences));
        const QString why = ContractGenerator(fields, occurrences).write(source);
        if (!why.isEmpty()) {
            std::fprintf(stderr, "cannot write the test document: %s\n", qPrintable(why));
            return 2;
        }
        QList<Run> runs;
        try {
            for (int i = 0; i < repetitions; ++i)
                runs << runOnce(source, dir.filePath(QStringLiteral("out-%1.docx").arg(i)), fields, occurrences);
        } catch (const word::Error& e) {
            std::printf("N=%d K=%d: engine error: %s\n", fields, occurrences, qPrintable(e.message()));
            return 1;
        }
        results << best(runs);
        print(results.last(), repetitions);
        if (args.contains(QStringLiteral("--phases")))
            printPhases(source, dir.filePath(QStringLiteral("phases.docx")), fields, occurrences);
        wrong = wrong || !results.last().problem.isEmpty();
    }
    if (results.size() == 3)
        printGrowth(results.at(1), results.at(2));
    std::printf("%s; %d budget miss(es)\n", wrong ? "WRONG RESULTS" : "all bookmarks read back their values", misses);
    if (wrong)
        return 1;
    return strict && misses > 0 ? 3 : 0;
}
