// quillora-layout-bench: the page layout's speed on a long contract. It times
// laying out the whole document, painting one page, and a character typed in
// the middle of it (the relayout that typing causes plus the repaint of the
// changed line), each as the median of several rounds.
//
// Usage: quillora-layout-bench [occurrences]   (default 380: 362 pages)

#include "../contractgenerator.h"

#include "word/application.h"
#include "word/document.h"
#include "word/layout/pagelayout.h"
#include "word/layout/pagepainter.h"
#include "word/model/docmodel.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void report(const char* name, const std::vector<double>& ms, double limit)
{
    const double m = median(ms);
    std::printf("%-34s median %8.2f ms  best %8.2f ms  (limit %.0f ms) %s\n", name, m,
                *std::min_element(ms.begin(), ms.end()), limit, m <= limit ? "ok" : "OVER");
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int occurrences = argc > 1 ? std::max(1, std::atoi(argv[1])) : 380;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.docx"));
    const QString failed = ContractGenerator(40, occurrences).write(path);
    if (!failed.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(failed));
        return 2;
    }
    word::Application engine;
    word::Document* doc = engine.Documents().Open(path);
    word::model::DocModel& model = doc->model();
    auto* layout = word::layout::PageLayout::install(model);
    std::printf("document: %d paragraphs, %d pages\n", model.text()->blockCount(), layout->pageCount());

    std::vector<double> full;
    for (int i = 0; i < 5; ++i) {
        layout->relayout();
        full.push_back(layout->lastLayoutMs());
    }
    report("layout of the whole document", full, 300);

    // One page painted at the view's 100 % on a screen-sized image.
    const word::layout::PagePainter painter(*layout);
    QImage image(QSize(820, 1130), QImage::Format_ARGB32_Premultiplied);
    std::vector<double> paint;
    for (int i = 0; i < 9; ++i) {
        const int page = (i * 37) % layout->pageCount();
        QPainter p(&image);
        QElapsedTimer t;
        t.start();
        painter.paintPageAt(&p, page);
        p.end();
        paint.push_back(t.nsecsElapsed() / 1e6);
    }
    report("painting one page", paint, 16);

    // A character typed in the middle: the edit, the relayout it causes and
    // the repaint of the paragraph's page piece.
    QTextBlock target = model.text()->findBlockByNumber(model.text()->blockCount() / 2);
    while (target.isValid() && target.length() < 40)
        target = target.next();
    std::vector<double> typed, relayout;
    int incremental = 0;
    // The view repaints the exposed piece of the page it shows; that page is known.
    const int page = std::max(0, layout->pageOfPosition(target.position()));
    for (int i = 0; i < 15; ++i) {
        QElapsedTimer t;
        t.start();
        QTextCursor c(target);
        c.setPosition(target.position() + 10);
        c.insertText(QStringLiteral("x"));
        QPainter p(&image);
        p.setClipRect(QRectF(0, 0, 820, 60));
        painter.paintPageAt(&p, std::max(0, page));
        p.end();
        typed.push_back(t.nsecsElapsed() / 1e6);
        incremental += layout->lastLayoutIncremental();
        relayout.push_back(layout->lastLayoutMs());
    }
    report("typed character visible", typed, 20);
    report("  of which the relayout", relayout, 20);
    std::printf("typed characters laid out incrementally: %d of %zu\n", incremental, typed.size());
    return 0;
}
