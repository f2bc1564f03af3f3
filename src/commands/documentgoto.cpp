#include "commands/documentgoto.h"

#include "word/bookmarks.h"
#include "word/document.h"
#include "word/error.h"
#include "word/model/docmodel.h"
#include "word/model/formatprops.h"

#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextLayout>
#include <QTextTable>
#include <vector>

namespace commands {

namespace {

QTextDocument* laidOut(word::Document& doc)
{
    // The first layout of a document reports its whole text as changed,
    // which is no edit; the model must not take it for one.
    QTextDocument* text = doc.textDocument();
    doc.model().setTracking(false);
    text->documentLayout();
    doc.model().setTracking(true);
    return text;
}

void collectTables(QTextFrame* frame, std::vector<int>& starts)
{
    for (QTextFrame* child : frame->childFrames()) {
        if (qobject_cast<QTextTable*>(child))
            starts.push_back(child->firstPosition());
        collectTables(child, starts);
    }
}

std::vector<int> tableStarts(QTextDocument* text)
{
    std::vector<int> starts;
    collectTables(text->rootFrame(), starts);
    std::sort(starts.begin(), starts.end());
    return starts;
}

// A section ends with the paragraph that carries its section properties; the
// last section ends with the document.
std::vector<int> sectionStarts(QTextDocument* text)
{
    std::vector<int> starts{0};
    for (QTextBlock b = text->begin(); b.isValid(); b = b.next()) {
        const QTextBlock next = b.next();
        if (next.isValid() && !b.blockFormat().stringProperty(word::model::prop::SectPrXml).isEmpty())
            starts.push_back(next.position());
    }
    return starts;
}

std::vector<int> lineStarts(QTextDocument* text)
{
    std::vector<int> starts;
    QAbstractTextDocumentLayout* layout = text->documentLayout();
    for (QTextBlock b = text->begin(); b.isValid(); b = b.next()) {
        layout->blockBoundingRect(b);   // lays the block out when it is not yet
        const QTextLayout* tl = b.layout();
        if (!tl || tl->lineCount() == 0) {
            starts.push_back(b.position());
            continue;
        }
        for (int i = 0; i < tl->lineCount(); ++i)
            starts.push_back(b.position() + tl->lineAt(i).textStart());
    }
    return starts;
}

// The line starts of the text with the height at which each line begins.
std::vector<std::pair<int, double>> linesWithHeights(QTextDocument* text)
{
    std::vector<std::pair<int, double>> out;
    QAbstractTextDocumentLayout* layout = text->documentLayout();
    for (QTextBlock b = text->begin(); b.isValid(); b = b.next()) {
        const double top = layout->blockBoundingRect(b).top();
        const QTextLayout* tl = b.layout();
        if (!tl || tl->lineCount() == 0) {
            out.push_back({b.position(), top});
            continue;
        }
        for (int i = 0; i < tl->lineCount(); ++i)
            out.push_back({b.position() + tl->lineAt(i).textStart(), tl->position().y() + tl->lineAt(i).y()});
    }
    return out;
}

QList<QRectF> pagesBySize(QTextDocument* text)
{
    QList<QRectF> rects;
    const QSizeF page = text->pageSize();
    const int pages = text->documentLayout()->pageCount();
    if (page.height() <= 0 || pages <= 1)
        return {QRectF(0, 0, 1e9, 1e12)};
    for (int i = 0; i < pages; ++i)
        rects << QRectF(0, i * page.height(), page.width(), page.height());
    return rects;
}

int indexHolding(const std::vector<int>& starts, int pos)
{
    const auto it = std::upper_bound(starts.begin(), starts.end(), pos);
    return std::max(1, int(it - starts.begin()));
}

bool parseNumber(const QString& text, int& value)
{
    bool ok = false;
    value = text.toInt(&ok);
    return ok;
}

} // namespace

DocumentGoTo::DocumentGoTo(word::Document& doc, PageRects pages) : m_doc(doc), m_pages(std::move(pages))
{
    laidOut(doc);
}

// A page starts with the first line that begins on it; a page on which no
// line begins (the rest of a tall table row) starts where the last one did.
std::vector<int> DocumentGoTo::pageStarts() const
{
    QTextDocument* text = m_doc.textDocument();
    QList<QRectF> pages = m_pages ? m_pages() : QList<QRectF>();
    if (pages.isEmpty())
        pages = pagesBySize(text);
    std::vector<int> starts(size_t(std::max<qsizetype>(1, pages.size())), -1);
    for (const auto& [pos, y] : linesWithHeights(text)) {
        for (qsizetype i = 0; i < pages.size(); ++i) {
            if (y < pages[i].bottom() - 0.5) {
                if (starts[size_t(i)] < 0)
                    starts[size_t(i)] = pos;
                break;
            }
        }
    }
    starts[0] = 0;
    for (size_t i = 1; i < starts.size(); ++i)
        if (starts[i] < 0)
            starts[i] = starts[i - 1];
    return starts;
}

QString DocumentGoTo::kindName(GoToKind kind)
{
    switch (kind) {
    case GoToKind::Page: return QStringLiteral("oldal");
    case GoToKind::Section: return QStringLiteral("szakasz");
    case GoToKind::Line: return QStringLiteral("sor");
    case GoToKind::Bookmark: return QStringLiteral("könyvjelző");
    case GoToKind::Table: return QStringLiteral("táblázat");
    }
    return {};
}

std::vector<int> DocumentGoTo::startsOf(GoToKind kind) const
{
    QTextDocument* text = m_doc.textDocument();
    switch (kind) {
    case GoToKind::Page: return pageStarts();
    case GoToKind::Section: return sectionStarts(text);
    case GoToKind::Line: return lineStarts(text);
    case GoToKind::Table: return tableStarts(text);
    case GoToKind::Bookmark: break;
    }
    return {};
}

int DocumentGoTo::count(GoToKind kind) const
{
    if (kind == GoToKind::Bookmark)
        return int(bookmarks().size());
    return int(startsOf(kind).size());
}

int DocumentGoTo::current(GoToKind kind) const
{
    const std::vector<int> starts = startsOf(kind);
    if (starts.empty())
        return 0;
    const int pos = m_doc.ActiveWindow().Selection().Start();
    if (kind == GoToKind::Table && pos < starts.front())
        return 0;
    return indexHolding(starts, pos);
}

int DocumentGoTo::startOf(GoToKind kind, int index) const
{
    return startsOf(kind)[size_t(index - 1)];
}

QStringList DocumentGoTo::bookmarks() const
{
    QStringList names;
    const word::Bookmarks all = m_doc.Content().Bookmarks();
    for (int i = 1; i <= all.Count(); ++i)
        names << all.Item(i).Name();
    return names;
}

GoToSpan DocumentGoTo::resolve(GoToKind kind, const QString& specIn) const
{
    const QString spec = specIn.trimmed();
    if (kind == GoToKind::Bookmark) {
        if (spec.isEmpty())
            throw word::Error(QStringLiteral("Adja meg a könyvjelző nevét."));
        const word::Bookmarks all = m_doc.Bookmarks();
        if (!all.Exists(spec))
            throw word::Error(QStringLiteral("Nincs „%1” nevű könyvjelző a dokumentumban.").arg(spec));
        const word::Range r = all.Item(spec).Range();
        return {r.Start(), r.End()};
    }
    const int total = count(kind);
    int target = 0;
    if (spec.isEmpty() || spec.startsWith(u'+') || spec.startsWith(u'-')) {
        int step = 1;
        if (!spec.isEmpty() && (spec.size() == 1 || !parseNumber(spec, step)))
            throw word::Error(QStringLiteral("Érvénytelen szám: „%1”.").arg(spec));
        target = current(kind) + step;
    } else if (!parseNumber(spec, target)) {
        throw word::Error(QStringLiteral("Érvénytelen szám: „%1”. Számot (például 3), vagy +/- jellel "
                                         "viszonylagos lépést (például +2) adjon meg.").arg(spec));
    }
    if (total == 0)
        throw word::Error(QStringLiteral("A dokumentumban nincs %1.").arg(kindName(kind)));
    if (target < 1 || target > total)
        throw word::Error(QStringLiteral("A dokumentumban nincs %1. %2 (összesen %3 van).")
                              .arg(target).arg(kindName(kind)).arg(total));
    const int pos = startOf(kind, target);
    return {pos, pos};
}

void DocumentGoTo::go(GoToKind kind, const QString& spec)
{
    const GoToSpan s = resolve(kind, spec);
    m_doc.ActiveWindow().Selection().SetRange(s.start, s.end);
}

} // namespace commands
