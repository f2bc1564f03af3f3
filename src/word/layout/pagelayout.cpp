#include "word/layout/pagelayout.h"

#include "word/layout/floats.h"
#include "word/layout/pagepainter.h"
#include "word/model/docmodel.h"
#include "word/model/formatprops.h"
#include "word/opc/package.h"

#include <QPainter>
#include <QRawFont>
#include <QRegularExpression>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <QTextTable>
#include <cmath>

namespace word::layout {

namespace prop = word::model::prop;

namespace {

constexpr double DefaultTab = 48;        // Word's 1.25 cm default tab stops
constexpr double Epsilon = 0.01;
// Marks the additional formats of a block's layout that the page layout sets
// (hidden text, room for check boxes) among those others set (spelling).
constexpr int LayoutFormat = QTextFormat::UserProperty + 400;
constexpr QTextOption::Flags FormattingMarks = QTextOption::ShowTabsAndSpaces | QTextOption::ShowLineAndParagraphSeparators
                                             | QTextOption::ShowDocumentTerminator;

// Qt scales absolute letter spacing by the device's resolution over the
// screen's: what the layout asks for is divided by that, measured once.
double letterSpacingScale(QPaintDevice* device)
{
    static double scale = 0;
    if (scale > 0)
        return scale;
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(12);
    auto width = [&](double spacing) {
        QFont f = font;
        f.setLetterSpacing(QFont::AbsoluteSpacing, spacing);
        QTextLayout tl(QStringLiteral("xx"), f, device);
        tl.beginLayout();
        QTextLine line = tl.createLine();
        line.setLineWidth(10000);
        tl.endLayout();
        return line.cursorToX(1);
    };
    const double measured = (width(100) - width(0)) / 100;
    scale = measured > 0.1 && measured < 10 ? measured : 1;
    return scale;
}

} // namespace

QString footnoteId(const QTextCharFormat& cf)
{
    if (cf.intProperty(prop::CharKind) != prop::KindObject)
        return {};
    const QString xml = cf.stringProperty(prop::CharXml);
    if (!xml.contains(u"noteReference"))
        return {};
    static const QRegularExpression id(QStringLiteral("\\b(foot|end)noteReference\\b[^>]*\\b(?:\\w+:)?id=\"(-?\\d+)\""));
    const QRegularExpressionMatch m = id.match(xml);
    if (!m.hasMatch())
        return {};
    return m.capturedView(1) == u"end" ? QStringLiteral("e:") + m.captured(2) : m.captured(2);
}

QString noteKey(const model::Story& note)
{
    return note.kind == model::Story::Endnote ? QStringLiteral("e:") + note.noteId : note.noteId;
}

QFont noteNumberFont(const QTextCharFormat& cf)
{
    QFont font = cf.font();
    const double points = cf.fontPointSize() > 0 ? cf.fontPointSize() : 11;
    font.setPixelSize(std::max(1, qRound(points * 2 / 3 * UnitsPerPoint)));
    return font;
}

namespace {

bool sameRanges(const QList<QTextLayout::FormatRange>& a, const QList<QTextLayout::FormatRange>& b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (a[i].start != b[i].start || a[i].length != b[i].length || a[i].format != b[i].format)
            return false;
    return true;
}

QString blockSectPr(const QTextBlock& b)
{
    return b.blockFormat().stringProperty(prop::SectPrXml);
}

bool isPhantom(const QTextBlock& b)
{
    return b.blockFormat().boolProperty(prop::Phantom);
}

// Positions (relative to the block) of the page and column breaks in it,
// each with whether it is a column break.
std::vector<std::pair<int, bool>> breaksIn(const QTextBlock& b)
{
    std::vector<std::pair<int, bool>> out;
    for (auto it = b.begin(); !it.atEnd(); ++it) {
        const QTextFragment f = it.fragment();
        const int kind = f.charFormat().intProperty(prop::CharKind);
        if (kind != prop::KindPageBreak && kind != prop::KindColumnBreak)
            continue;
        const QString t = f.text();
        for (int i = 0; i < t.size(); ++i)
            if (t.at(i) == QChar::ObjectReplacementCharacter)
                out.emplace_back(f.position() - b.position() + i, kind == prop::KindColumnBreak);
    }
    return out;
}

} // namespace

// One top-level piece of the body: a paragraph or a table.
struct PageLayout::Item {
    QTextBlock block;
    QTextFrame* table = nullptr;
    int section = 0;
    quintptr key() const { return table ? quintptr(table) : quintptr(block.fragmentIndex()) * 2 + 1; }
    int first() const { return table ? table->firstPosition() - 1 : block.position(); }
    int last() const { return table ? table->lastPosition() + 1 : block.position() + block.length(); }
};

// Where the flow stands between two items.
struct PageLayout::State {
    int page = -1;
    double y = 0;
    bool pageEmpty = true;
    int section = 0;
    double prevAfter = 0;
    QString prevStyle;
    bool prevContextual = false;
    int floats = 0;              // wrapping objects on the current page
    int notes = 0;               // footnotes on the current page
    double notesHeight = 0;
    int column = 0;              // of the section's text columns
    double columnTop = 0;        // where the columns of this page's part of the section start
    double columnLimit = 0;      // balanced columns end here; 0 when they run to the page's foot
    int rules = 0;               // lines between columns on the current page
    bool naturalTop = false;     // the page or column began where the text before ran out, not at a break
    bool operator==(const State& o) const
    {
        return page == o.page && std::abs(y - o.y) < Epsilon && pageEmpty == o.pageEmpty && naturalTop == o.naturalTop
            && section == o.section
            && std::abs(prevAfter - o.prevAfter) < Epsilon && prevStyle == o.prevStyle
            && prevContextual == o.prevContextual && floats == o.floats && notes == o.notes
            && std::abs(notesHeight - o.notesHeight) < Epsilon && column == o.column
            && std::abs(columnTop - o.columnTop) < Epsilon && std::abs(columnLimit - o.columnLimit) < Epsilon && rules == o.rules;
    }
};

struct PageLayout::Record {
    quintptr key = 0;
    State start;
    int fragStart = 0;
};

// Lays out the body (or a story) item by item into pages and fragments.
class PageLayout::Flow {
public:
    Flow(PageLayout& l) : L(l) {}

    void item(const Item& it, State& st, const Item* next);
    double blockInCell(const QTextBlock& b, double x, double y, double width, std::vector<Fragment>& out, QString& prevStyle, double& prevAfter);
    double tableAt(QTextTable* t, double x, double y, double width, std::vector<Fragment>& out, State* st);
    void newPage(State& st, bool sectionStart);
    void ensurePage(State& st);
    // The next column of the section on this page, else a new page.
    void nextArea(State& st);
    // Before item j starts a continuous section: the columns of the section
    // ending on this page are laid out again, as short as they can be.
    void balance(const std::vector<Item>& items, size_t j, State& st);
    // The lowest text of the columns of st's page, from their top on.
    double columnsBottom(const State& st) const;
    // The columns of st's page end: the lines between them, when the section has them.
    void closeColumns(State& st);
    void placeEndnotes(State& st);
    double areaLeft(const State& st) const
    {
        return L.m_pages[size_t(st.page)].rect.left() + sec(st).margins.left() + sec(st).columnLeft(st.column);
    }
    double areaWidth(const State& st) const { return sec(st).columnWidth(st.column); }
    // Sets the block layout's formats for hidden text and check boxes.
    struct Prepared {
        bool hidden = false;     // the whole paragraph, its mark too, is hidden and takes no room
        double lead = 0;         // room for check boxes before the first character
        double minLine = 0;      // all its text hidden: the line still has its mark's height
    };
    Prepared prepareBlock(const QTextBlock& b);

    std::vector<Exclusion> exclusions;   // on the current page
    int balanceSection = -1;             // while balancing: the section, and the height its columns may take
    double balanceHeight = 0;

private:
    struct Line {
        double top = 0;
        double height = 0;
        int page = 0;
        double left = 0;         // the column's left edge
        double notes = 0;        // the height of the footnotes referred to in the line
        int firstNote = 0, lastNote = 0;   // [first, last) of the paragraph's references
    };
    struct NoteRef {
        int position = 0;        // in the block
        const model::Story* story = nullptr;
        double height = 0;
    };
    std::vector<NoteRef> noteRefs(const QTextBlock& b, double width);
    double noteHeight(const model::Story* story, double width);
    // The footnote room page takes now, and with notes of extra height added.
    double notesWith(int page, double extra) const
    {
        const double now = L.m_pages[size_t(page)].notesHeight;
        return extra > 0 ? now + extra + (now > 0 ? 0 : NoteSeparatorRoom) : now;
    }
    void addNote(State& st, int page, const model::Story* story, double height);
    void paragraph(const QTextBlock& b, State& st, const Item* next, bool retry);
    // One pass; false when a line went into a column of another width than
    // it was broken for, with the line before which the pass must change columns added to plan.
    bool paragraphPass(const QTextBlock& b, State& st, const Item* next, bool retry, std::vector<int>& plan);
    void placeFloats(const QTextBlock& b, State& st, double paraTop);
    double lineHeight(const QTextBlock& b, const QTextBlockFormat& bf, const QTextLine& line) const;
    QTextOption optionFor(const QTextBlockFormat& bf) const;
    double firstLineX(const QTextBlock& b, const QTextBlockFormat& bf) const;
    void shift(std::vector<Fragment>& frags, size_t from, double dx, double dy, int page);
    double bottom(const State& st) const
    {
        const double foot = L.m_pages[size_t(st.page)].notesTop();
        return st.columnLimit > 0 ? std::min(foot, st.columnLimit) : foot;
    }
    double top(const State& st) const { return L.m_pages[size_t(st.page)].bodyTop; }
    const SectionProps& sec(const State& st) const { return L.m_sections[size_t(st.section)]; }

    PageLayout& L;
};

PageLayout::Flow::Prepared PageLayout::Flow::prepareBlock(const QTextBlock& b)
{
    Prepared out;
    QTextLayout* tl = b.layout();
    if (!tl)
        return out;
    const bool shown = L.marksShown();
    QList<QTextLayout::FormatRange> mine;
    bool allHidden = true;
    QTextCharFormat gone;
    gone.setProperty(LayoutFormat, true);
    // Hidden text keeps its characters for the cursor but no room: a point
    // size of one pixel, one percent of its advance, and no ink.
    gone.setFontPointSize(0.75);
    gone.setFontLetterSpacingType(QFont::PercentageSpacing);
    gone.setFontLetterSpacing(1);
    gone.setFontUnderline(false);
    gone.setUnderlineStyle(QTextCharFormat::NoUnderline);
    gone.setFontStrikeOut(false);
    gone.setFontOverline(false);
    gone.setForeground(QBrush(Qt::transparent));
    gone.setBackground(QBrush(Qt::transparent));
    QTextCharFormat dotted;
    dotted.setProperty(LayoutFormat, true);
    dotted.setUnderlineStyle(QTextCharFormat::DotLine);
    // Qt sets a font at a whole number of pixels: 11 points (14.67 pixels)
    // are set at 15, every line a fortieth wider than Word's. A horizontal
    // stretch brings the advances back to the size asked for.
    const double defaultPoints = L.m_text->defaultFont().pointSizeF();
    for (auto it = b.begin(); !it.atEnd(); ++it) {
        const QTextFragment f = it.fragment();
        const QTextCharFormat cf = f.charFormat();
        if (cf.intProperty(prop::CharKind) == prop::KindObject || cf.isImageFormat())
            continue;
        const double points = cf.fontPointSize() > 0 ? cf.fontPointSize() : defaultPoints;
        const double pixels = points * UnitsPerPoint;
        const double whole = std::round(pixels);
        if (points <= 0 || whole < 1 || std::abs(pixels - whole) < 0.02)
            continue;
        const int own = cf.hasProperty(QTextFormat::FontStretch) && cf.fontStretch() > 0 ? cf.fontStretch() : 100;
        const int stretch = std::clamp(int(std::lround(own * pixels / whole)), 1, 4000);
        if (stretch == own)
            continue;
        QTextLayout::FormatRange r;
        r.start = f.position() - b.position();
        r.length = f.length();
        r.format.setProperty(LayoutFormat, true);
        r.format.setFontStretch(stretch);
        if (!mine.isEmpty() && mine.back().start + mine.back().length == r.start && mine.back().format == r.format)
            mine.back().length += r.length;
        else
            mine.append(r);
    }
    for (auto it = b.begin(); !it.atEnd(); ++it) {
        const QTextFragment f = it.fragment();
        if (!L.m_styles.hiddenRun(f.charFormat().stringProperty(prop::RPrXml))) {
            allHidden = false;
            continue;
        }
        QTextLayout::FormatRange r;
        r.start = f.position() - b.position();
        r.length = f.length();
        r.format = shown ? dotted : gone;
        if (!mine.isEmpty() && mine.back().start + mine.back().length == r.start)
            mine.back().length += r.length;
        else
            mine.append(r);
    }
    // A check box takes its room after the character before it (as letter
    // spacing) or, at the paragraph's start, before the first line.
    if (!L.m_boxes.empty()) {
        const int start = b.position(), end = b.position() + b.length() - 1;
        auto it = std::lower_bound(L.m_boxes.begin(), L.m_boxes.end(), start,
                                   [](const BoxPlace& p, int pos) { return p.position < pos; });
        const QString text = b.text();
        std::vector<std::pair<int, double>> room;   // character, extra spacing
        for (; it != L.m_boxes.end() && it->position <= end; ++it) {
            const int rel = it->position - start;
            if (rel == 0) {
                out.lead += it->width;
                continue;
            }
            if (!room.empty() && room.back().first == rel - 1)
                room.back().second += it->width;
            else
                room.emplace_back(rel - 1, it->width);
        }
        for (const auto& [at, width] : room) {
            if (at >= text.size() || text.at(at) == u'\t' || text.at(at) == QChar::LineSeparator)
                continue;   // a tab's or a line break's width is not its own: the box takes no room there
            QTextLayout::FormatRange r;
            r.start = at;
            r.length = 1;
            r.format.setProperty(LayoutFormat, true);
            r.format.setFontLetterSpacingType(QFont::AbsoluteSpacing);
            r.format.setFontLetterSpacing(width / letterSpacingScale(&L.m_device));
            mine.append(r);
        }
    }
    out.hidden = !shown && allHidden && L.m_styles.hiddenRun(b.charFormat().stringProperty(prop::RPrXml));
    if (!shown && allHidden && !mine.isEmpty())
        out.minLine = QFontMetricsF(QFont(b.charFormat().font(), &L.m_device)).height();
    QList<QTextLayout::FormatRange> others, old;
    for (const QTextLayout::FormatRange& r : tl->formats())
        (r.format.hasProperty(LayoutFormat) ? old : others).append(r);
    if (!sameRanges(old, mine)) {
        tl->setFormats(others + mine);
        // Qt counts new formats as a change of the paragraph and reports it
        // with the next edit, as if that edit had replaced the paragraph too:
        // the change is taken up here (this layout ignores it while it lays out).
        const_cast<QTextDocument*>(b.document())->markContentsDirty(b.position(), b.length());
    }
    return out;
}

QTextOption PageLayout::Flow::optionFor(const QTextBlockFormat& bf) const
{
    QTextOption opt = L.m_text->defaultTextOption();
    if (L.printing())
        opt.setFlags(opt.flags() & ~FormattingMarks);
    opt.setAlignment(bf.alignment());
    // Word measures tab stops from the margin, Qt from where the line
    // starts: the paragraph's indent.
    QList<QTextOption::Tab> tabs = bf.tabPositions();
    for (QTextOption::Tab& t : tabs)
        t.position -= bf.leftMargin();
    opt.setTabs(tabs);
    opt.setTabStopDistance(DefaultTab);
    opt.setUseDesignMetrics(true);
    opt.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    return opt;
}

double PageLayout::Flow::lineHeight(const QTextBlock& b, const QTextBlockFormat& bf, const QTextLine& line) const
{
    if (bf.lineHeightType() == QTextBlockFormat::FixedHeight)
        return std::max(1.0, bf.lineHeight());
    // Word's single line: the tallest font's. Qt's own measure only where an
    // object may stand taller than the text, for it takes the fonts at the
    // whole pixel size Qt sets them at.
    double fonts = 0;
    bool objects = false;
    const int from = line.textStart(), to = from + line.textLength();
    if (to <= from) {
        fonts = L.fontLineHeight(b.charFormatIndex(), b.charFormat());
    } else {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            const int start = f.position() - b.position();
            if (start >= to)
                break;
            if (start + f.length() <= from)
                continue;
            const QTextCharFormat cf = f.charFormat();
            objects = objects || cf.intProperty(prop::CharKind) == prop::KindObject || cf.isImageFormat();
            fonts = std::max(fonts, L.fontLineHeight(f.charFormatIndex(), cf));
        }
    }
    const double natural = fonts > 0 && !objects ? fonts : std::max<double>(line.ascent() + line.descent(), fonts);
    switch (bf.lineHeightType()) {
    case QTextBlockFormat::ProportionalHeight:
        return natural * std::clamp(bf.lineHeight(), 10.0, 1000.0) / 100.0;
    case QTextBlockFormat::MinimumHeight:
        return std::max(natural, bf.lineHeight());
    default:
        return natural;
    }
}

// The label of a numbered paragraph stands at the first line's indent; the
// text follows it at the hanging indent or the next tab stop.
double PageLayout::Flow::firstLineX(const QTextBlock& b, const QTextBlockFormat& bf) const
{
    const double left = bf.leftMargin();
    const double first = left + bf.textIndent();
    const QString label = bf.stringProperty(prop::ListLabel);
    if (label.isEmpty())
        return first;
    QFont f(b.charFormat().font(), &L.m_device);
    const double end = first + QFontMetricsF(f).horizontalAdvance(label);
    if (left > end + 1)
        return left;
    return (std::floor(end / DefaultTab) + 1) * DefaultTab;
}

double PageLayout::Flow::noteHeight(const model::Story* story, double width)
{
    PageLayout* nl = L.storyLayout(story);
    if (!nl)
        return 0;
    nl->setNoteLabel(story ? L.noteMark(noteKey(*story)) : QString());
    return nl->storyHeight(width);
}

std::vector<PageLayout::Flow::NoteRef> PageLayout::Flow::noteRefs(const QTextBlock& b, double width)
{
    std::vector<NoteRef> out;
    if (L.m_notesById.isEmpty())
        return out;
    for (auto it = b.begin(); !it.atEnd(); ++it) {
        const QTextFragment f = it.fragment();
        const QString id = footnoteId(f.charFormat());
        if (id.isEmpty())
            continue;
        const model::Story* story = L.m_notesById.value(id);
        if (!story)
            continue;
        const double h = noteHeight(story, width);
        for (int k = 0; k < f.length(); ++k)
            out.push_back({f.position() - b.position() + k, story, h});
    }
    return out;
}

void PageLayout::Flow::addNote(State& st, int page, const model::Story* story, double height)
{
    PageInfo& p = L.m_pages[size_t(page)];
    if (std::find(p.notes.begin(), p.notes.end(), story) != p.notes.end())
        return;
    // However long the notes, the page keeps a fifth of its body for text.
    const double most = (p.bodyBottom - p.bodyTop) * 0.8;
    p.notesHeight = std::min(most, notesWith(page, height));
    p.notes.push_back(story);
    if (page == st.page) {
        st.notes = int(p.notes.size());
        st.notesHeight = p.notesHeight;
    }
}

void PageLayout::Flow::nextArea(State& st)
{
    if (st.page >= 0 && st.column + 1 < sec(st).columnCount()) {
        ++st.column;
        st.y = st.columnTop;
        st.pageEmpty = true;
    } else {
        newPage(st, false);
    }
    // Reached because the text ran on; a break sets this back.
    st.naturalTop = true;
}

double PageLayout::Flow::columnsBottom(const State& st) const
{
    double lowest = st.y;
    for (size_t k = L.m_frags.size(); k-- > 0;) {
        const Fragment& f = L.m_frags[k];
        if (f.page != st.page)
            break;
        if (f.kind != Fragment::Float && f.rect.top() >= st.columnTop - Epsilon)
            lowest = std::max(lowest, f.rect.bottom());
    }
    return lowest;
}

void PageLayout::Flow::balance(const std::vector<Item>& items, size_t j, State& st)
{
    if (j == 0 || j > L.m_records.size() || st.page < 0 || items[j].section == st.section)
        return;
    const SectionProps& cur = sec(st);
    const SectionProps& next = L.m_sections[size_t(items[j].section)];
    if (cur.columnCount() < 2 || next.start != SectionProps::Continuous || next.page != cur.page)
        return;
    // The section's items that start on this page, from its first column.
    size_t k = j;
    while (k > 0 && items[k - 1].section == st.section && L.m_records[k - 1].start.page == st.page)
        --k;
    // The section's first item starts it (and its columns) itself; a later one must start in the first column.
    const State from = L.m_records[k].start;
    if (k == j || (from.section == st.section && from.column != 0))
        return;
    const int section = st.section;
    const int fragStart = L.m_records[k].fragStart;
    const double foot = L.m_pages[size_t(from.page)].notesTop();
    auto run = [&](double limit) {
        L.m_frags.resize(size_t(fragStart));
        L.m_pages.resize(size_t(from.page) + 1);
        PageInfo& p = L.m_pages[size_t(from.page)];
        p.notes.resize(std::min(p.notes.size(), size_t(std::max(0, from.notes))));
        p.notesHeight = from.notesHeight;
        p.columnRules.resize(std::min(p.columnRules.size(), size_t(std::max(0, from.rules))));
        // The wrapping objects the page had before these items.
        exclusions.clear();
        for (int f = fragStart; f-- > 0 && L.m_frags[size_t(f)].page >= from.page;) {
            const Fragment& fr = L.m_frags[size_t(f)];
            if (fr.page != from.page || fr.kind != Fragment::Float)
                continue;
            const FloatPlacement fp = placeFloat(fr.objectXml, p.rect, p.rect, 0);
            if (fp.wrap != Exclusion::None)
                exclusions.push_back({fr.rect.adjusted(-fp.distance.left(), -fp.distance.top(), fp.distance.right(), fp.distance.bottom()), fp.wrap});
        }
        st = from;
        balanceSection = section;
        balanceHeight = limit;
        L.m_records.resize(k);
        for (size_t i = k; i < j; ++i) {
            L.m_records.push_back({items[i].key(), st, int(L.m_frags.size())});
            item(items[i], st, &items[i + 1]);
            if (st.page != from.page)
                return false;
        }
        return true;
    };
    double lo = 0, hi = foot - L.m_pages[size_t(from.page)].bodyTop;
    if (hi > 1 && run(hi)) {
        while (hi - lo > 1) {
            const double mid = (lo + hi) / 2;
            if (run(mid))
                hi = mid;
            else
                lo = mid;
        }
        run(hi);
    } else {
        run(0);
    }
    balanceHeight = 0;
    balanceSection = -1;
}

void PageLayout::Flow::ensurePage(State& st)
{
    if (st.page < 0)
        newPage(st, true);
}

void PageLayout::Flow::closeColumns(State& st)
{
    if (st.page < 0 || size_t(st.page) >= L.m_pages.size())
        return;
    const SectionProps& s = sec(st);
    if (!s.columnLines || s.columnCount() < 2)
        return;
    const double bottom = columnsBottom(st);
    if (bottom <= st.columnTop + 1)
        return;
    PageInfo& page = L.m_pages[size_t(st.page)];
    const double left = page.rect.left() + s.margins.left();
    for (int c = 1; c < s.columnCount(); ++c) {
        const double x = left + (s.columnLeft(c - 1) + s.columnWidth(c - 1) + s.columnLeft(c)) / 2;
        page.columnRules.emplace_back(x, st.columnTop, x, bottom);
    }
    st.rules = int(page.columnRules.size());
}

void PageLayout::Flow::newPage(State& st, bool sectionStart)
{
    // A new section's page: its item has closed the columns before already.
    if (!sectionStart)
        closeColumns(st);
    PageInfo p;
    p.section = st.section;
    const SectionProps& s = L.m_sections[size_t(st.section)];
    const double y = L.m_pages.empty() ? 0 : L.m_pages.back().rect.bottom() + L.m_gap;
    p.rect = QRectF(0, y, s.page.width(), s.page.height());
    if (!L.m_pages.empty() && !sectionStart && L.m_pages.back().section == st.section)
        p.indexInSection = L.m_pages.back().indexInSection + 1;
    if (!L.m_pages.empty())
        p.number = L.m_pages.back().number + 1;
    if (p.indexInSection == 0 && s.pageNumberStart >= 0)
        p.number = s.pageNumberStart;
    // Odd and even section starts leave a blank page when the parity is wrong.
    if (p.indexInSection == 0 && !L.m_pages.empty()
        && ((s.start == SectionProps::OddPage && p.number % 2 == 0) || (s.start == SectionProps::EvenPage && p.number % 2 == 1))) {
        PageInfo blank = p;
        blank.bodyTop = y + s.margins.top();
        blank.bodyBottom = y + s.page.height() - s.margins.bottom();
        L.m_pages.push_back(blank);
        p.rect.moveTop(blank.rect.bottom() + L.m_gap);
        p.number += 1;
        p.indexInSection = 1;
    }
    L.m_pages.push_back(p);
    PageInfo& page = L.m_pages.back();
    L.choosePageStories(page);
    page.bodyTop = page.rect.top() + s.margins.top();
    page.bodyBottom = page.rect.bottom() - s.margins.bottom();
    if (page.header) {
        if (PageLayout* h = L.storyLayout(page.header))
            page.bodyTop = std::max(page.bodyTop, page.rect.top() + s.headerDistance + h->storyHeight(s.textWidth()));
    }
    if (page.footer) {
        if (PageLayout* f = L.storyLayout(page.footer))
            page.bodyBottom = std::min(page.bodyBottom, page.rect.bottom() - s.footerDistance - f->storyHeight(s.textWidth()));
    }
    // A header or footer that leaves no room still leaves a third of the page.
    if (page.bodyBottom - page.bodyTop < s.page.height() / 3) {
        page.bodyTop = page.rect.top() + s.margins.top();
        page.bodyBottom = page.rect.bottom() - s.margins.bottom();
    }
    st.page = int(L.m_pages.size()) - 1;
    st.y = page.bodyTop;
    st.pageEmpty = true;
    st.naturalTop = false;
    st.floats = 0;
    st.notes = 0;
    st.notesHeight = 0;
    st.column = 0;
    st.columnTop = st.y;
    st.columnLimit = 0;
    st.rules = 0;
    exclusions.clear();
}

void PageLayout::Flow::item(const Item& it, State& st, const Item* next)
{
    if (it.section != st.section) {
        const SectionProps::Start start = L.m_sections[size_t(it.section)].start;
        const bool samePaper = L.m_sections[size_t(it.section)].page == L.m_sections[size_t(st.section)].page;
        const int previous = st.section;
        closeColumns(st);
        st.section = it.section;
        if (st.page >= 0 && !(start == SectionProps::Continuous && samePaper)) {
            newPage(st, true);
        } else if (st.page >= 0) {
            // A continuous section's columns start below the text before it, all its columns.
            if (L.m_sections[size_t(previous)].columnCount() > 1)
                st.y = std::max(st.y, columnsBottom(st));
            st.column = 0;
            st.columnTop = st.y;
            st.columnLimit = 0;
        }
    }
    ensurePage(st);
    if (balanceHeight > 0 && it.section == balanceSection && st.columnLimit <= 0)
        st.columnLimit = st.columnTop + balanceHeight;
    if (it.table) {
        tableAt(static_cast<QTextTable*>(it.table), areaLeft(st), st.y, areaWidth(st), L.m_frags, &st);
        st.prevAfter = 0;
        st.prevStyle.clear();
        st.prevContextual = false;
        return;
    }
    paragraph(it.block, st, next, false);
}

void PageLayout::Flow::placeFloats(const QTextBlock& b, State& st, double paraTop)
{
    for (auto it = b.begin(); !it.atEnd(); ++it) {
        const QTextFragment f = it.fragment();
        const QTextCharFormat cf = f.charFormat();
        if (cf.intProperty(prop::CharKind) != prop::KindObject)
            continue;
        const QString xml = cf.stringProperty(prop::CharXml);
        if (!isFloating(xml) || (!L.marksShown() && L.m_styles.hiddenRun(cf.stringProperty(prop::RPrXml))))
            continue;
        const PageInfo& page = L.m_pages[size_t(st.page)];
        const SectionProps& s = sec(st);
        FloatPlacement fp = placeFloat(xml, page.rect, page.rect.marginsRemoved(s.margins), paraTop);
        Fragment frag;
        frag.kind = Fragment::Float;
        frag.page = st.page;
        frag.block = b;
        frag.rect = fp.rect;
        frag.objectXml = xml;
        frag.textBox = L.textBoxStory(cf);
        if (cf.isImageFormat())
            frag.imageName = cf.toImageFormat().name();
        L.m_frags.push_back(frag);
        if (fp.wrap != Exclusion::None) {
            exclusions.push_back({fp.rect.adjusted(-fp.distance.left(), -fp.distance.top(), fp.distance.right(),
                                                   fp.distance.bottom()), fp.wrap});
            ++st.floats;
        }
    }
}

void PageLayout::Flow::paragraph(const QTextBlock& b, State& st, const Item* next, bool retry)
{
    std::vector<int> plan;
    const State start = st;
    const size_t frags = L.m_frags.size(), pages = L.m_pages.size();
    const std::vector<Exclusion> kept = exclusions;
    for (int pass = 0; pass < 8; ++pass) {
        if (paragraphPass(b, st, next, retry, plan))
            return;
        st = start;
        L.m_frags.resize(frags);
        L.m_pages.resize(pages);
        exclusions = kept;
    }
    plan.clear();
    paragraphPass(b, st, next, retry, plan);
}

bool PageLayout::Flow::paragraphPass(const QTextBlock& b, State& st, const Item* next, bool retry, std::vector<int>& plan)
{
    QTextLayout* tl = b.layout();
    const QTextBlockFormat bf = b.blockFormat();
    const SectionProps& s = sec(st);
    const double columnX = areaLeft(st);
    if (isPhantom(b)) {
        // Qt's block around a table: a place for the cursor, no room on the page.
        tl->setTextOption(optionFor(bf));
        tl->beginLayout();
        QTextLine line = tl->createLine();
        if (line.isValid()) {
            line.setLineWidth(std::max(1.0, areaWidth(st)));
            line.setPosition(QPointF(0, 0));
        }
        tl->endLayout();
        tl->setPosition(QPointF(columnX, st.y));
        return true;
    }
    Prepared prep = prepareBlock(b);
    // The empty paragraph that ends columns with a continuous section break
    // takes no room, so the columns share only the text.
    if (b.length() <= 1 && !blockSectPr(b).isEmpty() && s.columnCount() > 1 && next
        && L.m_sections[size_t(next->section)].start == SectionProps::Continuous)
        prep.hidden = true;
    if (prep.hidden) {
        // A hidden paragraph, mark and all: its lines stand at one place and take no room.
        tl->setTextOption(optionFor(bf));
        tl->beginLayout();
        for (QTextLine line = tl->createLine(); line.isValid(); line = tl->createLine()) {
            line.setLineWidth(std::max(1.0, areaWidth(st)));
            line.setPosition(QPointF(0, 0));
        }
        tl->endLayout();
        tl->setPosition(QPointF(columnX, st.y));
        Fragment f;
        f.kind = Fragment::Lines;
        f.page = st.page;
        f.block = b;
        f.rect = QRectF(columnX, st.y, areaWidth(st), 0);
        L.m_frags.push_back(f);
        return true;
    }
    const ParagraphProps pp = L.m_styles.paragraph(bf.stringProperty(prop::PPrXml));
    double before = bf.topMargin();
    const double after = bf.bottomMargin();
    const bool contextual = pp.contextualSpacing && st.prevContextual && pp.style == st.prevStyle;
    if (contextual) {
        before = 0;
        st.y -= st.prevAfter;
    }
    if (!retry && !st.pageEmpty && bf.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore)
        newPage(st, false);
    auto widthIn = [&](const State& at) { return std::max(8.0, areaWidth(at) - bf.leftMargin() - bf.rightMargin()); };
    const double firstX = firstLineX(b, bf) + prep.lead;
    const std::vector<std::pair<int, bool>> breaks = breaksIn(b);
    const double paraTop = st.y;
    if (!retry)
        placeFloats(b, st, paraTop + before);

    tl->setTextOption(optionFor(bf));
    tl->beginLayout();
    std::vector<Line> lines;
    // As in Word, a paragraph that the text before pushed to the top of a
    // page or column loses its space before; after a break it keeps it.
    double y = st.y + (st.pageEmpty && (contextual || st.naturalTop) ? 0 : before);
    int firstOnPage = 0;          // first line on the current page
    bool startedEmpty = st.pageEmpty;
    size_t nextBreak = 0;
    const double fullBody = bottom(st) - top(st);
    const std::vector<NoteRef> refs = noteRefs(b, s.textWidth());
    size_t nextRef = 0;
    // The footnote room of the current page with the notes of this paragraph's lines on it.
    auto pageNotes = [&](double extra) {
        double mine = 0;
        for (const Line& li : lines)
            if (li.page == st.page)
                mine += li.notes;
        return notesWith(st.page, mine + extra);
    };
    for (;;) {
        QTextLine line = tl->createLine();
        if (!line.isValid())
            break;
        const int i = int(lines.size());
        if (std::find(plan.begin(), plan.end(), i) != plan.end() && i > 0) {
            nextArea(st);
            startedEmpty = true;
            firstOnPage = i;
            y = st.y;
        }
        const double width = widthIn(st);
        const double areaX = areaLeft(st);
        double x = i == 0 ? firstX : bf.leftMargin();
        double w = i == 0 ? width - (firstX - bf.leftMargin()) : width;
        // Lines beside a wrapping object get the wider side of it; above and
        // below ones go below it.
        const double guess = lines.empty() ? 16 : lines.back().height;
        for (const Exclusion& e : exclusions) {
            if (y + guess <= e.rect.top() || y >= e.rect.bottom())
                continue;
            if (e.wrap == Exclusion::TopBottom) {
                y = e.rect.bottom();
                continue;
            }
            const double colLeft = areaX + x, colRight = areaX + x + w;
            const double leftRoom = e.rect.left() - colLeft, rightRoom = colRight - e.rect.right();
            if (rightRoom >= leftRoom && rightRoom > 24) {
                x += std::max(0.0, e.rect.right() - colLeft);
                w = colRight - std::max(colLeft, e.rect.right());
            } else if (leftRoom > 24) {
                w = leftRoom;
            } else {
                y = e.rect.bottom();
            }
        }
        line.setLineWidth(std::max(4.0, w));
        while (nextBreak < breaks.size() && breaks[nextBreak].first < line.textStart())
            ++nextBreak;
        const bool hardBreak = nextBreak < breaks.size() && breaks[nextBreak].first < line.textStart() + line.textLength();
        if (hardBreak && breaks[nextBreak].first + 1 < line.textStart() + line.textLength())
            line.setNumColumns(breaks[nextBreak].first - line.textStart() + 1);
        const double h = std::max(prep.minLine, lineHeight(b, bf, line));
        const bool lastLine = line.textStart() + line.textLength() >= b.length() - 1;
        // The footnotes referred to in the line go to its page, and take their room there.
        const int firstNote = int(nextRef);
        double lineNotes = 0;
        while (nextRef < refs.size() && refs[nextRef].position < line.textStart() + line.textLength()) {
            lineNotes += refs[nextRef].height;
            ++nextRef;
        }
        const double noteRoom = refs.empty() ? 0 : pageNotes(lineNotes) - L.m_pages[size_t(st.page)].notesHeight;
        if (y + h > bottom(st) - noteRoom + Epsilon && !(startedEmpty && i == firstOnPage) && !(st.pageEmpty && i == firstOnPage && i == 0)) {
            // The line does not fit: it and maybe the ones before go to the next page.
            int k = i;
            if (pp.widowControl && lastLine && i - firstOnPage >= 2)
                k = i - 1;   // no widow: the last line does not stand alone
            if (pp.widowControl && k - firstOnPage == 1 && !lastLine)
                k = firstOnPage;   // no orphan: the first line does not stay alone
            if (pp.widowControl && k - firstOnPage == 1 && lastLine && i == 1)
                k = firstOnPage;
            if ((k == 0 || pp.keepLines) && !retry && !startedEmpty && h <= fullBody) {
                tl->endLayout();
                nextArea(st);
                paragraph(b, st, next, true);
                return true;
            }
            if (k <= firstOnPage)
                k = i;
            nextArea(st);
            // Lines broken for a column of another width are broken again for this one.
            if (std::abs(widthIn(st) - width) > Epsilon && k > 0 && plan.size() < 8) {
                tl->endLayout();
                plan.push_back(k);
                return false;
            }
            startedEmpty = true;
            y = st.y;
            for (int j = k; j < i; ++j) {
                lines[size_t(j)].page = st.page;
                lines[size_t(j)].left = areaLeft(st);
                lines[size_t(j)].top = y;
                y += lines[size_t(j)].height;
            }
            firstOnPage = k;
        }
        lines.push_back({y, h, st.page, areaLeft(st), lineNotes, firstNote, int(nextRef)});
        line.setPosition(QPointF(x, y + h - line.descent() - line.ascent()));
        y += h;
        st.pageEmpty = false;
        if (hardBreak) {
            // A column break in the last column (or with one column) starts a page.
            if (breaks[nextBreak].second) {
                nextArea(st);
                st.naturalTop = false;
            } else {
                newPage(st, false);
            }
            ++nextBreak;
            startedEmpty = true;
            firstOnPage = int(lines.size());
            y = st.y;
        }
    }
    tl->endLayout();
    // An empty paragraph still has its line, but endLayout may leave none.
    if (lines.empty()) {
        lines.push_back({y, 0, st.page, areaLeft(st)});
    }
    // Keep with next: a paragraph that leaves no room for the next one's
    // first line moves to the next page with it.
    // Balanced columns are as short as the text allows: a heading does not move on for its text there.
    // With widow control the next paragraph cannot leave one line alone at
    // the foot of the page, so a long one needs room for two.
    auto nextNeeds = [&]() {
        const QTextBlockFormat nbf = next->block.blockFormat();
        const ParagraphProps npp = L.m_styles.paragraph(nbf.stringProperty(prop::PPrXml));
        const double h = lines.back().height;
        const double perLine = std::max(1.0, widthIn(st) / std::max(1.0, h * 0.45));
        const int nLines = npp.widowControl && next->block.length() - 1 > perLine ? 2 : 1;
        const bool joined = npp.contextualSpacing && pp.contextualSpacing && npp.style == pp.style;
        return (joined ? 0.0 : after + nbf.topMargin()) + nLines * h;
    };
    if (pp.keepNext && !retry && next && !next->table && !startedEmpty && st.columnLimit <= 0 && lines.front().page == lines.back().page
        && y + nextNeeds() > bottom(st) && y - lines.front().top < fullBody / 2) {
        nextArea(st);
        paragraph(b, st, next, true);
        return true;
    }
    for (const Line& li : lines)
        for (int k = li.firstNote; k < li.lastNote; ++k)
            addNote(st, li.page, refs[size_t(k)].story, refs[size_t(k)].height);
    // The leftmost column the lines stand in: Qt takes no line left of its layout's position.
    double originX = lines.front().left;
    for (const Line& li : lines)
        originX = std::min(originX, li.left);
    const QPointF origin(originX, lines.front().top);
    tl->setPosition(origin);
    for (int i = 0; i < tl->lineCount(); ++i) {
        QTextLine line = tl->lineAt(i);
        const Line& li = lines[size_t(std::min<int>(i, int(lines.size()) - 1))];
        line.setPosition(QPointF(line.position().x() + li.left - origin.x(), line.position().y() - origin.y()));
    }
    // One fragment per page the paragraph is on, with the box its borders and shading take.
    const bool boxed = pp.hasBorders() || pp.shading.isValid();
    size_t start = 0;
    while (start < lines.size()) {
        size_t end = start;
        while (end + 1 < lines.size() && lines[end + 1].page == lines[start].page
               && std::abs(lines[end + 1].left - lines[start].left) < Epsilon)
            ++end;
        const double left = lines[start].left;
        // The width of the column the lines stand in.
        double areaW = s.textWidth();
        const PageInfo& linePage = L.m_pages[size_t(lines[start].page)];
        for (int c = 0; c < s.columnCount(); ++c)
            if (std::abs(linePage.rect.left() + s.margins.left() + s.columnLeft(c) - left) < 0.5)
                areaW = s.columnWidth(c);
        const double width = std::max(8.0, areaW - bf.leftMargin() - bf.rightMargin());
        if (boxed) {
            Fragment box;
            box.kind = Fragment::Box;
            box.page = lines[start].page;
            box.rect = QRectF(left + bf.leftMargin(), lines[start].top,
                              width, lines[end].top + lines[end].height - lines[start].top);
            box.fill = pp.shading;
            box.borders = {pp.borders[0], pp.borders[1], pp.borders[2], pp.borders[3]};
            // Paragraphs with the same borders share one box.
            if (start == 0 && !L.m_frags.empty()) {
                for (size_t k = L.m_frags.size(); k-- > 0;) {
                    Fragment& prev = L.m_frags[k];
                    if (prev.kind == Fragment::Lines && prev.block == b)
                        continue;
                    if (prev.kind == Fragment::Box && prev.page == box.page && prev.borders == box.borders
                        && std::abs(prev.rect.left() - box.rect.left()) < 1) {
                        prev.borders[2] = pp.borders[4];
                        box.borders[0] = Border();
                        box.rect.setTop(prev.rect.bottom());
                    }
                    break;
                }
            }
            L.m_frags.push_back(box);
        }
        Fragment f;
        f.kind = Fragment::Lines;
        f.page = lines[start].page;
        f.block = b;
        f.rect = QRectF(left, lines[start].top, areaW, lines[end].top + lines[end].height - lines[start].top);
        L.m_frags.push_back(f);
        start = end + 1;
    }
    st.y = y + after;
    st.prevAfter = after;
    st.prevStyle = pp.style;
    st.prevContextual = pp.contextualSpacing;
    return true;
}

// A paragraph inside a table cell or a story: no pages, just lines.
double PageLayout::Flow::blockInCell(const QTextBlock& b, double x, double y, double width, std::vector<Fragment>& out,
                                     QString& prevStyle, double& prevAfter)
{
    QTextLayout* tl = b.layout();
    const QTextBlockFormat bf = b.blockFormat();
    tl->setTextOption(optionFor(bf));
    const bool phantom = isPhantom(b);
    const Prepared prep = phantom ? Prepared() : prepareBlock(b);
    if (prep.hidden) {
        tl->beginLayout();
        for (QTextLine line = tl->createLine(); line.isValid(); line = tl->createLine()) {
            line.setLineWidth(std::max(1.0, width));
            line.setPosition(QPointF(0, 0));
        }
        tl->endLayout();
        tl->setPosition(QPointF(x, y));
        Fragment f;
        f.kind = Fragment::Lines;
        f.block = b;
        f.rect = QRectF(x, y, width, 0);
        out.push_back(f);
        return 0;
    }
    const ParagraphProps pp = phantom ? ParagraphProps() : L.m_styles.paragraph(bf.stringProperty(prop::PPrXml));
    double before = phantom ? 0 : bf.topMargin();
    if (pp.contextualSpacing && pp.style == prevStyle) {
        before = 0;
        y -= prevAfter;
    }
    const double inner = std::max(4.0, width - bf.leftMargin() - bf.rightMargin());
    double firstX = firstLineX(b, bf) + prep.lead;
    if (L.m_story && b == L.m_text->begin())
        firstX += L.m_noteLabelWidth;
    tl->beginLayout();
    double ly = before;
    for (int i = 0;; ++i) {
        QTextLine line = tl->createLine();
        if (!line.isValid())
            break;
        const double lx = i == 0 ? firstX : bf.leftMargin();
        line.setLineWidth(std::max(4.0, i == 0 ? inner - (firstX - bf.leftMargin()) : inner));
        const double h = phantom ? 0 : std::max(prep.minLine, lineHeight(b, bf, line));
        line.setPosition(QPointF(lx, ly + h - line.descent() - line.ascent()));
        ly += h;
    }
    tl->endLayout();
    tl->setPosition(QPointF(x, y));
    if (phantom)
        return 0;
    if (pp.hasBorders() || pp.shading.isValid()) {
        Fragment box;
        box.kind = Fragment::Box;
        box.rect = QRectF(x + bf.leftMargin(), y + before, inner, ly - before);
        box.fill = pp.shading;
        box.borders = {pp.borders[0], pp.borders[1], pp.borders[2], pp.borders[3]};
        out.push_back(box);
    }
    Fragment f;
    f.kind = Fragment::Lines;
    f.block = b;
    f.rect = QRectF(x, y, width, ly);
    out.push_back(f);
    prevStyle = pp.style;
    prevAfter = bf.bottomMargin();
    return ly + bf.bottomMargin();
}

void PageLayout::Flow::shift(std::vector<Fragment>& frags, size_t from, double dx, double dy, int page)
{
    for (size_t i = from; i < frags.size(); ++i) {
        Fragment& f = frags[i];
        f.rect.translate(dx, dy);
        f.page = page;
        if (f.kind == Fragment::Lines && f.offset.isNull()) {
            QTextLayout* tl = f.block.layout();
            tl->setPosition(tl->position() + QPointF(dx, dy));
        }
    }
}

double PageLayout::Flow::tableAt(QTextTable* t, double x, double y, double width, std::vector<Fragment>& out, State* st)
{
    const int index = t->format().intProperty(prop::TableIndex);
    const auto& tables = L.m_model->preserved().tables;
    const bool known = t->format().hasProperty(prop::TableIndex) && index >= 0 && size_t(index) < tables.size();
    TableProps tp = known ? L.m_styles.table(tables[size_t(index)].open) : TableProps();
    if (!known) {
        // A table made here, not read: a plain grid.
        Border b;
        b.style = Border::Single;
        b.width = 0.5 * UnitsPerPoint;
        for (auto& side : tp.borders)
            side = b;
    }
    const int rows = t->rows(), cols = t->columns();
    // Column widths: the grid as written, else the width shared out.
    std::vector<double> colW(static_cast<size_t>(cols), 0.0);
    double total = 0;
    if (int(tp.grid.size()) >= cols) {
        for (int c = 0; c < cols; ++c)
            total += colW[size_t(c)] = tp.grid[size_t(c)];
    }
    if (total < cols) {
        const double w = tp.width > 0 ? tp.width : tp.widthPct > 0 ? width * tp.widthPct : width;
        for (int c = 0; c < cols; ++c)
            colW[size_t(c)] = w / cols;
        total = w;
    }
    double left = x + tp.indent - tp.cellMargins.left();
    if (tp.align == Qt::AlignHCenter)
        left = x + (width - total) / 2;
    else if (tp.align == Qt::AlignRight)
        left = x + width - total;
    std::vector<double> colX(size_t(cols) + 1, left);
    for (int c = 0; c < cols; ++c)
        colX[size_t(c) + 1] = colX[size_t(c)] + colW[size_t(c)];

    struct CellBox {
        int row = 0, col = 0, span = 1, rowSpan = 1;
        CellProps props;
        size_t fragFrom = 0, fragTo = 0;     // the content's fragments in cellFrags, laid out from y 0
        double content = 0;
    };
    std::vector<std::vector<CellBox>> grid(static_cast<size_t>(rows));
    std::vector<RowProps> rowProps(static_cast<size_t>(rows));
    std::vector<double> rowH(static_cast<size_t>(rows), 0.0);
    std::vector<Fragment> cellFrags;
    for (int r = 0; r < rows; ++r) {
        if (known && size_t(r) < tables[size_t(index)].rowOpen.size())
            rowProps[size_t(r)] = parseRow(tables[size_t(index)].rowOpen[size_t(r)]);
        for (int c = 0; c < cols; ++c) {
            const QTextTableCell cell = t->cellAt(r, c);
            const QTextCharFormat cf = cell.format();
            if (cf.boolProperty(prop::CellAbsent))
                continue;
            CellBox box;
            box.row = r;
            box.col = c;
            box.props = parseCell(cf.stringProperty(prop::CellXml));
            box.span = std::clamp(box.props.gridSpan, 1, cols - c);
            if (known) {
                while (r + box.rowSpan < rows
                       && tables[size_t(index)].continuation.contains(model::PreservedTable::key(r + box.rowSpan, c)))
                    ++box.rowSpan;
            }
            const QMarginsF m = box.props.margins.value_or(tp.cellMargins);
            const QMarginsF cm(m.left() >= 0 ? m.left() : tp.cellMargins.left(), m.top() >= 0 ? m.top() : tp.cellMargins.top(),
                               m.right() >= 0 ? m.right() : tp.cellMargins.right(), m.bottom() >= 0 ? m.bottom() : tp.cellMargins.bottom());
            box.props.margins = cm;
            const double cx = colX[size_t(c)] + cm.left();
            const double cw = std::max(4.0, colX[size_t(c + box.span)] - colX[size_t(c)] - cm.left() - cm.right());
            box.fragFrom = cellFrags.size();
            double cy = cm.top();
            QString prevStyle;
            double prevAfter = 0;
            for (auto it = cell.begin(); !it.atEnd(); ++it) {
                if (QTextFrame* f = it.currentFrame()) {
                    if (auto* inner = qobject_cast<QTextTable*>(f))
                        cy += tableAt(inner, cx, cy, cw, cellFrags, nullptr);
                    prevStyle.clear();
                    prevAfter = 0;
                } else if (it.currentBlock().isValid()) {
                    cy += blockInCell(it.currentBlock(), cx, cy, cw, cellFrags, prevStyle, prevAfter);
                }
            }
            // The last paragraph's spacing after stays inside the cell, as in Word.
            box.content = cy + cm.bottom();
            box.fragTo = cellFrags.size();
            if (box.rowSpan == 1)
                rowH[size_t(r)] = std::max(rowH[size_t(r)], box.content);
            grid[size_t(r)].push_back(box);
        }
        const RowProps& rp = rowProps[size_t(r)];
        if (rp.exactHeight && rp.height > 0)
            rowH[size_t(r)] = rp.height;
        else
            rowH[size_t(r)] = std::max(rowH[size_t(r)], rp.height);
        rowH[size_t(r)] = std::max(rowH[size_t(r)], 1.0);
    }
    // A merged cell taller than the rows it spans makes its last row taller.
    for (int r = 0; r < rows; ++r) {
        for (const CellBox& box : grid[size_t(r)]) {
            if (box.rowSpan <= 1)
                continue;
            double sum = 0;
            for (int k = r; k < r + box.rowSpan; ++k)
                sum += rowH[size_t(k)];
            if (box.content > sum)
                rowH[size_t(r + box.rowSpan - 1)] += box.content - sum;
        }
    }
    auto edge = [&](const CellBox& box, int side) -> Border {
        if (box.props.borders[size_t(side)])
            return *box.props.borders[size_t(side)];
        const bool outer = side == 0 ? box.row == 0
                         : side == 2 ? box.row + box.rowSpan >= rows
                         : side == 1 ? box.col == 0
                                     : box.col + box.span >= cols;
        const int tableSide = outer ? side : (side == 0 || side == 2) ? 4 : 5;
        return tp.borders[size_t(tableSide)].value_or(Border());
    };

    int headerRows = 0;
    while (headerRows < rows && rowProps[size_t(headerRows)].header)
        ++headerRows;
    const double startY = y;
    int page = st ? st->page : -1;
    double headerTop = y;
    double dx = 0;          // the column the rows stand in now, from the one the table started in
    auto emitRow = [&](int r, double rowTop, int pageIndex, bool copy) {
        for (const CellBox& box : grid[size_t(r)]) {
            double h = 0;
            for (int k = r; k < r + box.rowSpan; ++k)
                h += rowH[size_t(k)];
            Fragment cellBox;
            cellBox.kind = Fragment::Box;
            cellBox.page = pageIndex;
            cellBox.rect = QRectF(colX[size_t(box.col)] + dx, rowTop, colX[size_t(box.col + box.span)] - colX[size_t(box.col)], h);
            cellBox.fill = box.props.shading.isValid() ? box.props.shading : tp.shading;
            for (int side = 0; side < 4; ++side)
                cellBox.borders[size_t(side)] = edge(box, side);
            out.push_back(cellBox);
            double dy = rowTop;
            const double free = h - box.content;
            if (box.props.vAlign == CellProps::Center)
                dy += free / 2;
            else if (box.props.vAlign == CellProps::Bottom)
                dy += free;
            const size_t from = out.size();
            for (size_t k = box.fragFrom; k < box.fragTo; ++k)
                out.push_back(cellFrags[k]);
            if (copy) {
                for (size_t k = from; k < out.size(); ++k) {
                    out[k].rect.translate(dx, dy);
                    out[k].page = pageIndex;
                }
            } else {
                shift(out, from, dx, dy, pageIndex);
            }
        }
    };
    // A new page for row r: header rows again at its top, drawn copies (their text stays where it is).
    auto breakPage = [&](int r) {
        nextArea(*st);
        page = st->page;
        y = st->y;
        dx = areaLeft(*st) - x;
        if (r == 0)
            headerTop = y;
        if (r == 0 || r < headerRows)
            return;
        for (int hr = 0; hr < headerRows; ++hr) {
            const size_t from = out.size();
            emitRow(hr, y, page, true);
            double rowTopOld = headerTop;
            for (int k = 0; k < hr; ++k)
                rowTopOld += rowH[size_t(k)];
            for (size_t k = from; k < out.size(); ++k) {
                if (out[k].kind == Fragment::Lines) {
                    const QPointF own = out[k].block.layout()->position();
                    out[k].offset = QPointF(dx, y - rowTopOld);
                    out[k].rect = QRectF(own + out[k].offset, out[k].rect.size());
                    if (out[k].offset.isNull())
                        out[k].offset = QPointF(0, 0.001);   // marks a copy
                }
            }
            y += rowH[size_t(hr)];
        }
    };
    // Rows that may break across pages: not header rows, no exact height,
    // no cell merged with another row's; cantSplit ones only when taller
    // than a page.
    std::vector<bool> splittable(size_t(rows), true);
    for (int r = 0; r < rows; ++r) {
        const RowProps& rp = rowProps[size_t(r)];
        if (r < headerRows || (rp.exactHeight && rp.height > 0))
            splittable[size_t(r)] = false;
        for (const CellBox& box : grid[size_t(r)])
            if (box.rowSpan > 1)
                for (int k = r; k < r + box.rowSpan && k < rows; ++k)
                    splittable[size_t(k)] = false;
    }
    // The lines of a row's cells, tops and bottoms relative to the row's top.
    auto rowLines = [&](int r) {
        std::vector<std::pair<double, double>> out;
        for (const CellBox& box : grid[size_t(r)]) {
            for (size_t k = box.fragFrom; k < box.fragTo; ++k) {
                const Fragment& fr = cellFrags[k];
                if (fr.kind != Fragment::Lines)
                    continue;
                const QTextLayout* tl = fr.block.layout();
                for (int l = 0; l < tl->lineCount(); ++l) {
                    const QTextLine line = tl->lineAt(l);
                    const double top = tl->position().y() + line.y();
                    out.emplace_back(top, top + line.height());
                }
            }
        }
        return out;
    };
    // The lowest place at or above limit that no line of the row crosses,
    // and whether a line lies wholly between from and it.
    auto findCut = [&](const std::vector<std::pair<double, double>>& lines, double from, double limit) {
        double cut = limit;
        for (bool moved = true; moved;) {
            moved = false;
            for (const auto& [top, bottom] : lines) {
                if (top < cut - Epsilon && bottom > cut + Epsilon && top >= from - Epsilon) {
                    cut = top;
                    moved = true;
                }
            }
        }
        bool some = false;
        for (const auto& [top, bottom] : lines)
            some |= top >= from - Epsilon && bottom <= cut + Epsilon;
        return std::make_pair(cut, some);
    };
    // Row r in parts, each on its page: [a, b) of its height placed at top.
    struct Slice {
        double a, b, top;
        int page;
        double dx;
    };
    auto emitParts = [&](int r, const std::vector<Slice>& parts) {
        auto partOf = [&](double at) {
            size_t i = 0;
            while (i + 1 < parts.size() && at >= parts[i + 1].a - Epsilon)
                ++i;
            return i;
        };
        for (const CellBox& box : grid[size_t(r)]) {
            for (const Slice& part : parts) {
                Fragment cellBox;
                cellBox.kind = Fragment::Box;
                cellBox.page = part.page;
                cellBox.rect = QRectF(colX[size_t(box.col)] + part.dx, part.top, colX[size_t(box.col + box.span)] - colX[size_t(box.col)], part.b - part.a);
                cellBox.fill = box.props.shading.isValid() ? box.props.shading : tp.shading;
                for (int side = 0; side < 4; ++side)
                    cellBox.borders[size_t(side)] = edge(box, side);
                out.push_back(cellBox);
            }
            for (size_t k = box.fragFrom; k < box.fragTo; ++k) {
                Fragment fr = cellFrags[k];
                if (fr.kind != Fragment::Lines) {
                    for (const Slice& part : parts) {
                        const double top = std::max(fr.rect.top(), part.a), bottom = std::min(fr.rect.bottom(), part.b);
                        if (bottom <= top)
                            continue;
                        Fragment piece = fr;
                        piece.page = part.page;
                        piece.rect = QRectF(fr.rect.left() + part.dx, top - part.a + part.top, fr.rect.width(), bottom - top);
                        out.push_back(piece);
                    }
                    continue;
                }
                QTextLayout* tl = fr.block.layout();
                const QPointF pos = tl->position();
                const size_t first = partOf(tl->lineCount() > 0 ? pos.y() + tl->lineAt(0).y() : fr.rect.top());
                const double base = parts[first].top - parts[first].a;
                tl->setPosition(pos + QPointF(parts[first].dx, base));
                std::vector<std::pair<double, double>> extent(parts.size(), {1e18, -1e18});
                for (int l = 0; l < tl->lineCount(); ++l) {
                    QTextLine line = tl->lineAt(l);
                    const size_t i = partOf(pos.y() + line.y());
                    const double move = (parts[i].top - parts[i].a) - base;
                    const double across = parts[i].dx - parts[first].dx;
                    if (std::abs(move) > Epsilon || std::abs(across) > Epsilon)
                        line.setPosition(line.position() + QPointF(across, move));
                    const double top = tl->position().y() + line.y();
                    extent[i].first = std::min(extent[i].first, top);
                    extent[i].second = std::max(extent[i].second, top + line.height());
                }
                if (tl->lineCount() == 0)
                    extent[first] = {fr.rect.top() + base, fr.rect.top() + base};
                for (size_t i = 0; i < parts.size(); ++i) {
                    if (extent[i].second < extent[i].first)
                        continue;
                    Fragment piece = fr;
                    piece.page = parts[i].page;
                    piece.rect = QRectF(fr.rect.left() + parts[i].dx, extent[i].first, fr.rect.width(), extent[i].second - extent[i].first);
                    out.push_back(piece);
                }
            }
        }
    };
    // The footnotes referred to in a row's cells: they go to the page the row starts on.
    auto rowNotes = [&](int r) {
        std::vector<NoteRef> out;
        if (!st || L.m_notesById.isEmpty())
            return out;
        for (const CellBox& box : grid[size_t(r)]) {
            const QTextTableCell cell = t->cellAt(r, box.col);
            for (auto it = cell.begin(); !it.atEnd(); ++it) {
                if (const QTextBlock b = it.currentBlock(); b.isValid()) {
                    const std::vector<NoteRef> refs = noteRefs(b, sec(*st).textWidth());
                    out.insert(out.end(), refs.begin(), refs.end());
                }
            }
        }
        return out;
    };
    for (int r = 0; r < rows; ++r) {
        const double h = rowH[size_t(r)];
        const std::vector<NoteRef> notes = rowNotes(r);
        double notesHeight = 0;
        for (const NoteRef& n : notes)
            notesHeight += n.height;
        // The body's foot on the current page with the row's notes there.
        auto foot = [&] {
            return bottom(*st) - (notesHeight > 0 ? notesWith(st->page, notesHeight) - L.m_pages[size_t(st->page)].notesHeight : 0);
        };
        auto addNotes = [&](int onPage) {
            for (const NoteRef& n : notes)
                addNote(*st, onPage, n.story, n.height);
        };
        if (st && y + h > foot() + Epsilon && !st->pageEmpty) {
            // What fits of a row that may break stays on this page.
            const bool part = splittable[size_t(r)] && !rowProps[size_t(r)].cantSplit && findCut(rowLines(r), 0, foot() - y).second;
            if (!part)
                breakPage(r);
        }
        if (st && y + h > foot() + Epsilon && splittable[size_t(r)]
            && (!rowProps[size_t(r)].cantSplit || h > bottom(*st) - top(*st))) {
            const std::vector<std::pair<double, double>> lines = rowLines(r);
            std::vector<Slice> parts;
            double a = 0;
            for (;;) {
                const double room = (parts.empty() ? foot() : bottom(*st)) - y;
                if (h - a <= room + Epsilon || parts.size() > 500) {
                    parts.push_back({a, h, y, page, dx});
                    y += h - a;
                    break;
                }
                auto [cut, some] = findCut(lines, a, a + room);
                if (!some) {
                    if (!st->pageEmpty) {
                        breakPage(r);
                        continue;
                    }
                    cut = a + std::max(room, 24.0);   // a line taller than the page: cut through it
                }
                parts.push_back({a, cut, y, page, dx});
                st->pageEmpty = false;
                breakPage(r);
                a = cut;
            }
            emitParts(r, parts);
            addNotes(parts.front().page);
            st->pageEmpty = false;
            continue;
        }
        emitRow(r, y, page, false);
        y += h;
        if (st) {
            addNotes(page);
            st->pageEmpty = false;
        }
    }
    L.m_tableRects.insert(t, QRectF(left, startY, total, y - startY));
    if (st)
        st->y = y;
    return y - startY;
}

// --- PageLayout

PageLayout::PageLayout(model::DocModel* model)
    : PageLayout(model, model->text(), false)
{
}

PageLayout::PageLayout(model::DocModel* model, QTextDocument* text, bool story)
    : QAbstractTextDocumentLayout(text)
    , m_model(model)
    , m_text(text)
    , m_story(story)
    , m_device(1, 1, QImage::Format_RGB32)
{
    m_device.setDotsPerMeterX(qRound(96 / 0.0254));
    m_device.setDotsPerMeterY(qRound(96 / 0.0254));
    setPaintDevice(&m_device);
    // Word forms no ligatures and kerns no pairs unless a run asks for it:
    // text that needs no shaping is set glyph by glyph, which also keeps
    // every letter in a PDF's text.
    QFont font = text->defaultFont();
    if (!(font.styleStrategy() & QFont::PreferNoShaping)) {
        font.setStyleStrategy(QFont::StyleStrategy(font.styleStrategy() | QFont::PreferNoShaping));
        const bool tracking = model != nullptr;
        if (tracking)
            model->setTracking(false);
        text->setDefaultFont(font);
        if (tracking)
            model->setTracking(true);
    }
}

PageLayout::~PageLayout() = default;

PageLayout* PageLayout::of(const model::DocModel& model)
{
    return qobject_cast<PageLayout*>(model.text()->documentLayout());
}

PageLayout* PageLayout::install(model::DocModel& model)
{
    if (PageLayout* existing = of(model))
        return existing;
    auto* layout = new PageLayout(&model);
    // Installing a layout reports the whole text as changed; that is no edit.
    model.setTracking(false);
    model.text()->setDocumentLayout(layout);
    model.setTracking(true);
    return layout;
}

void PageLayout::readDocumentProps()
{
    if (m_story)
        return;
    m_endnoteNumbering = endnoteNumbering({});
    const opc::Package* pkg = m_model->package();
    if (pkg && !m_model->mainPart.isEmpty()) {
        try {
            for (const opc::Relationship& r : pkg->relationships(m_model->mainPart)) {
                const QString part = pkg->resolve(m_model->mainPart, r.target);
                if (!pkg->hasPart(part))
                    continue;
                if (r.type.endsWith(u"/styles"))
                    m_styles.read(pkg->part(part));
                else if (r.type.endsWith(u"/settings")) {
                    m_evenOdd = evenAndOddHeaders(pkg->part(part));
                    m_noteNumbering = footnoteNumbering(pkg->part(part));
                    m_endnoteNumbering = endnoteNumbering(pkg->part(part));
                }
            }
        } catch (...) {
            // A package that cannot be read further is shown with Word's defaults.
        }
    }
    m_storyLayouts.clear();
    for (model::Story& s : m_model->stories()) {
        const bool note = (s.kind == model::Story::Footnote || s.kind == model::Story::Endnote) && s.noteType.isEmpty();
        if ((s.kind != model::Story::Header && s.kind != model::Story::Footer && !note) || !s.model)
            continue;
        auto* layout = new PageLayout(s.model.get(), s.model->text(), true);
        layout->m_styles = m_styles;
        layout->m_main = this;
        s.model->setTracking(false);
        s.model->text()->setDocumentLayout(layout);
        s.model->setTracking(true);
        m_storyLayouts.emplace_back(&s, layout);
    }
    for (model::Story& s : m_model->stories())
        if (s.model)
            connect(s.model.get(), &model::DocModel::changed, this, &PageLayout::storyChanged, Qt::UniqueConnection);
    m_notesById.clear();
    m_endnotesById.clear();
    for (const model::Story& s : m_model->stories()) {
        if (s.kind == model::Story::Footnote && s.noteType.isEmpty() && s.model && !m_notesById.contains(s.noteId))
            m_notesById.insert(s.noteId, &s);
        if (s.kind == model::Story::Endnote && s.noteType.isEmpty() && s.model && !m_endnotesById.contains(s.noteId))
            m_endnotesById.insert(s.noteId, &s);
    }
}

// The endnotes after the last line of the text, a separator line before
// them, each note whole on a page: one that does not fit where the text
// ends starts the next column or page.
void PageLayout::Flow::placeEndnotes(State& st)
{
    if (L.m_endnotes.empty())
        return;
    ensurePage(st);
    bool separated = false;
    for (const model::Story* note : L.m_endnotes) {
        const double h = noteHeight(note, areaWidth(st));
        const double room = separated ? 0 : NoteSeparatorRoom;
        if (st.y + room + h > bottom(st) + Epsilon && st.y > top(st) + Epsilon) {
            nextArea(st);
            separated = false;
        }
        PageInfo& p = L.m_pages[size_t(st.page)];
        if (!separated) {
            p.endnoteSeparator = st.y + NoteSeparatorRoom / 2;
            st.y += NoteSeparatorRoom;
            separated = true;
        }
        p.endnotes.push_back({note, areaLeft(st), st.y});
        st.y += h;
        st.pageEmpty = false;
    }
}

void PageLayout::numberNotes()
{
    m_noteNumbers.clear();
    m_noteMarks.clear();
    m_endnotes.clear();
    if (m_notesById.isEmpty() && m_endnotesById.isEmpty())
        return;
    int n = 0, e = 0;
    for (QTextBlock b = m_text->begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat cf = it.fragment().charFormat();
            const QString id = footnoteId(cf);
            if (id.isEmpty())
                continue;
            // A reference with a mark of its own written after it takes no number.
            const bool numbered = !cf.stringProperty(prop::CharXml).contains(u"customMarkFollows");
            if (id.startsWith(u"e:")) {
                const model::Story* note = m_endnotesById.value(id.mid(2));
                if (note && std::find(m_endnotes.begin(), m_endnotes.end(), note) == m_endnotes.end()) {
                    m_endnotes.push_back(note);
                    if (numbered)
                        m_noteMarks.insert(id, m_endnoteNumbering.label(m_endnoteNumbering.start - 1 + ++e));
                }
            } else if (m_notesById.contains(id) && !m_noteNumbers.contains(id) && numbered) {
                m_noteNumbers.insert(id, ++n);
            }
        }
    }
    // Until the pages are known, the notes count on through the document.
    const NoteNumbering& first = m_sections.empty() || !m_sections.front().notes ? m_noteNumbering : *m_sections.front().notes;
    for (auto it = m_noteNumbers.begin(); it != m_noteNumbers.end(); ++it) {
        it.value() += first.start - 1;
        m_noteMarks.insert(it.key(), first.label(it.value()));
    }
}

// With the pages laid out: numbers start again on each page or section
// where the numbering says so, in the order the notes stand on the pages.
void PageLayout::renumberNotes()
{
    if (m_noteNumbers.isEmpty())
        return;
    int counter = 0;
    for (size_t i = 0; i < m_pages.size(); ++i) {
        const PageInfo& p = m_pages[i];
        const SectionProps& s = m_sections[size_t(std::clamp(p.section, 0, int(m_sections.size()) - 1))];
        const NoteNumbering& n = s.notes ? *s.notes : m_noteNumbering;
        if (i == 0 || n.restart == NoteNumbering::EachPage
            || (n.restart == NoteNumbering::EachSection && p.section != m_pages[i - 1].section))
            counter = n.start - 1;
        for (const model::Story* note : p.notes) {
            if (!m_noteNumbers.contains(note->noteId))
                continue;
            m_noteNumbers[note->noteId] = ++counter;
            m_noteMarks[note->noteId] = n.label(counter);
        }
    }
}

void PageLayout::setNoteLabel(const QString& label)
{
    if (label == m_noteLabel)
        return;
    m_noteLabel = label;
    const QTextBlock first = m_text->begin();
    const QTextCharFormat cf = first.isValid() ? first.charFormat() : QTextCharFormat();
    // The number and a little room after it.
    m_noteLabelWidth = label.isEmpty() ? 0
                                       : QFontMetricsF(QFont(noteNumberFont(cf), &m_device)).horizontalAdvance(label) + 2;
    m_storyWidth = -1;
}

const model::DocModel* PageLayout::textBoxStory(const QTextCharFormat& cf) const
{
    if (!cf.hasProperty(prop::TextBoxId))
        return nullptr;
    const int id = cf.intProperty(prop::TextBoxId);
    const PageLayout* top = m_main ? m_main : this;
    for (const model::Story& s : top->m_model->stories())
        if (s.kind == model::Story::TextBox && s.boxId == id)
            return s.model.get();
    return nullptr;
}

PageLayout* PageLayout::storyLayout(const model::Story* story) const
{
    for (const auto& [s, l] : m_storyLayouts)
        if (s == story)
            return l;
    return nullptr;
}

// Word's choice: the first page's header when the section has a title page,
// the even one on even pages when the document keeps them apart, else the
// default; a reference the section lacks comes from the section before.
void PageLayout::choosePageStories(PageInfo& page) const
{
    const int slot = page.indexInSection == 0 && m_sections[size_t(page.section)].titlePage ? 1
                   : m_evenOdd && page.number % 2 == 0                                      ? 2
                                                                                            : 0;
    auto pick = [&](bool header) -> const model::Story* {
        for (int s = page.section; s >= 0; --s) {
            const auto& refs = header ? m_sections[size_t(s)].headers : m_sections[size_t(s)].footers;
            if (refs[size_t(slot)])
                return refs[size_t(slot)]->isEmpty() ? nullptr : m_model->storyByRelId(*refs[size_t(slot)]);
        }
        return nullptr;
    };
    page.header = pick(true);
    page.footer = pick(false);
}

double PageLayout::storyHeight(double width)
{
    if (!qFuzzyCompare(width, m_storyWidth)) {
        m_storyWidth = width;
        layoutFrom(-1, -1);
    }
    return m_storyHeight;
}

void PageLayout::setPageGap(double gap)
{
    m_gap = gap;
    relayout();
}

void PageLayout::setShowMarks(bool on)
{
    if (on == m_showMarks)
        return;
    const bool was = marksShown();
    m_showMarks = on;
    if (marksShown() != was)
        relayout();
}

bool PageLayout::marksShown() const
{
    if (m_main)
        return m_main->marksShown();
    return !m_printing && (m_showMarks || m_model->view.showAll);
}

bool PageLayout::printing() const
{
    return m_main ? m_main->printing() : m_printing;
}

void PageLayout::setPrinting(bool on)
{
    if (on == m_printing || m_story)
        return;
    const bool was = marksShown();
    m_printing = on;
    // The formatting marks change the option every line is laid out with.
    if (marksShown() != was || m_text->defaultTextOption().flags() & FormattingMarks)
        relayout();
}

void PageLayout::findCheckBoxes()
{
    m_boxes.clear();
    const int last = std::max(0, m_text->characterCount() - 1);
    const bool shown = marksShown();
    for (const CheckBoxField& f : checkBoxes(*m_model)) {
        if (f.hidden && !shown)
            continue;
        BoxPlace place;
        place.position = std::clamp(f.position, 0, last);
        place.checked = f.checked;
        double points = f.size;
        if (points <= 0) {
            QTextCursor c(m_text);
            c.setPosition(place.position);
            points = c.charFormat().fontPointSize();
        }
        if (!(points > 0))
            points = 11;
        // A box wider than a page is drawn no wider.
        place.width = std::min(points * UnitsPerPoint, 600.0);
        m_boxes.push_back(place);
    }
}

namespace {
// A font's single line as Word sets it, in ems: the Windows ascent and
// descent, and the external leading the font's line gap leaves beyond them.
// Qt adds the whole line gap, which makes Calibri's lines a fifth too tall.
double wordLineEms(const QFont& font)
{
    static QHash<QString, double> byFace;
    const QString key = font.family() + u'|' + QString::number(font.weight()) + u'|' + QString::number(int(font.style()));
    if (const auto it = byFace.constFind(key); it != byFace.constEnd())
        return *it;
    double ems = 0;
    const QRawFont raw = QRawFont::fromFont(font);
    const QByteArray os2 = raw.fontTable("OS/2"), hhea = raw.fontTable("hhea"), head = raw.fontTable("head");
    if (os2.size() >= 78 && hhea.size() >= 10 && head.size() >= 20) {
        const auto u16 = [](const QByteArray& t, int at) { return int((uchar(t[at]) << 8) | uchar(t[at + 1])); };
        const auto s16 = [&](const QByteArray& t, int at) { const int v = u16(t, at); return v >= 0x8000 ? v - 0x10000 : v; };
        const int upm = u16(head, 18);
        const int winAscent = u16(os2, 74), winDescent = u16(os2, 76);
        const int ascender = s16(hhea, 4), descender = s16(hhea, 6), gap = s16(hhea, 8);
        const int external = std::max(0, gap - ((winAscent + winDescent) - (ascender - descender)));
        if (upm >= 16 && winAscent + winDescent > 0)
            ems = double(winAscent + winDescent + external) / upm;
    }
    byFace.insert(key, ems);
    return ems;
}
} // namespace

double PageLayout::fontLineHeight(int formatIndex, const QTextCharFormat& cf) const
{
    if (const auto it = m_fontLines.constFind(formatIndex); it != m_fontLines.constEnd())
        return *it;
    double h = 0;
    if (cf.intProperty(prop::CharKind) != prop::KindObject && !cf.isImageFormat()) {
        const QFont font(cf.font().resolve(m_text->defaultFont()), &m_device);
        const double pixels = font.pixelSize() > 0 ? font.pixelSize() : font.pointSizeF() * UnitsPerPoint;
        h = wordLineEms(font) * pixels;
    }
    m_fontLines.insert(formatIndex, h);
    return h;
}

void PageLayout::storyChanged()
{
    if (!m_inLayout)
        emit update();
}

void PageLayout::relayout()
{
    if (!m_story && m_records.empty())
        readDocumentProps();
    for (auto& [story, layout] : m_storyLayouts)
        if (layout)
            layout->m_storyWidth = -1;
    layoutFrom(-1, -1);
}

void PageLayout::documentChanged(int from, int charsRemoved, int charsAdded)
{
    Q_UNUSED(charsRemoved);
    // A change with no place (from < 0) follows some edits of the model and
    // changes nothing a real change has not already reported.
    if (m_inLayout || (from < 0 && !m_pages.empty()))
        return;
    if (!m_story && m_records.empty())
        readDocumentProps();
    layoutFrom(from, from + charsAdded);
}

void PageLayout::layoutFrom(int from, int to)
{
    QElapsedTimer timer;
    timer.start();
    m_inLayout = true;
    const int oldPageCount = int(m_pages.size());
    const QSizeF oldSize = documentSize();
    findCheckBoxes();
    if (!m_story)
        numberNotes();
    Flow flow(*this);
    if (m_story) {
        // A header or footer: one column of the width it is shown at.
        m_frags.clear();
        m_tableRects.clear();
        std::vector<Fragment> frags;
        double y = 0;
        QString prevStyle;
        double prevAfter = 0;
        const double width = m_storyWidth > 0 ? m_storyWidth : 600;
        for (auto it = m_text->rootFrame()->begin(); !it.atEnd(); ++it) {
            if (auto* t = qobject_cast<QTextTable*>(it.currentFrame()))
                y += flow.tableAt(t, 0, y, width, frags, nullptr);
            else if (it.currentBlock().isValid())
                y += flow.blockInCell(it.currentBlock(), 0, y, width, frags, prevStyle, prevAfter);
        }
        for (Fragment& f : frags)
            f.page = 0;
        m_frags = std::move(frags);
        m_storyHeight = y - prevAfter;
        m_pages.assign(1, PageInfo());
        m_pages[0].rect = QRectF(0, 0, width, m_storyHeight);
        m_pageFrags.assign(1, {0, int(m_frags.size())});
        m_inLayout = false;
        m_lastMs = timer.nsecsElapsed() / 1e6;
        return;
    }

    // The body's items and sections as they are now.
    std::vector<Item> items;
    std::vector<QString> sectPrs;
    for (auto it = m_text->rootFrame()->begin(); !it.atEnd(); ++it) {
        Item item;
        item.section = int(sectPrs.size());
        if (QTextFrame* f = it.currentFrame()) {
            if (!qobject_cast<QTextTable*>(f))
                continue;
            item.table = f;
        } else {
            item.block = it.currentBlock();
            if (!item.block.isValid())
                continue;
            const QString sect = blockSectPr(item.block);
            if (!sect.isEmpty())
                sectPrs.push_back(sect);
        }
        items.push_back(item);
    }
    std::vector<SectionProps> sections;
    for (const QString& s : sectPrs)
        sections.push_back(parseSection(s));
    sections.push_back(parseSection(QString::fromUtf8(m_model->preserved().tail)));
    bool sectionsSame = sections.size() == m_sections.size();
    for (size_t i = 0; sectionsSame && i < sections.size(); ++i)
        sectionsSame = sections[i].page == m_sections[i].page && sections[i].margins == m_sections[i].margins
                    && sections[i].start == m_sections[i].start && sections[i].headers == m_sections[i].headers
                    && sections[i].footers == m_sections[i].footers && sections[i].titlePage == m_sections[i].titlePage
                    && sections[i].columns == m_sections[i].columns;
    m_sections = std::move(sections);

    // Where to start: the item before the changed one, as it started last time.
    std::vector<Record> old = std::move(m_records);
    std::vector<Fragment> oldFrags;          // the old fragments from oldFragBase on
    int oldFragBase = 0;
    std::vector<PageInfo> oldPages;
    // Items before the change are the old ones in the old order, and so are
    // the items after it counted from the end.
    const qsizetype tailShift = qsizetype(old.size()) - qsizetype(items.size());
    size_t k0 = 0;
    State st;
    bool incremental = from >= 0 && sectionsSame && !old.empty();
    if (incremental) {
        size_t k = 0;
        while (k + 1 < items.size() && items[k].last() <= from)
            ++k;
        k0 = k > 0 ? k - 1 : 0;
        incremental = k0 > 0 && k0 < old.size() && old[k0].key == items[k0].key();
        if (incremental) {
            const Record& r = old[k0];
            st = r.start;
            // Only the part from the restart on is set aside, by moving it.
            oldFragBase = r.fragStart;
            oldFrags.assign(std::make_move_iterator(m_frags.begin() + r.fragStart), std::make_move_iterator(m_frags.end()));
            oldPages = m_pages;
            m_frags.resize(size_t(r.fragStart));
            m_pages.resize(size_t(std::max(0, st.page + 1)));
            // The page the flow resumes on keeps the footnotes of the items before.
            if (st.page >= 0) {
                PageInfo& p = m_pages[size_t(st.page)];
                p.notes.resize(std::min(p.notes.size(), size_t(std::max(0, st.notes))));
                p.notesHeight = st.notesHeight;
                p.endnotes.clear();
                p.endnoteSeparator = -1;
                p.columnRules.resize(std::min(p.columnRules.size(), size_t(std::max(0, st.rules))));
            }
            // Floats of the page the flow resumes on wrap the text again.
            for (size_t k = m_frags.size(); k-- > 0 && m_frags[k].page >= st.page;) {
                const Fragment& f = m_frags[k];
                if (f.page == st.page && f.kind == Fragment::Float) {
                    const FloatPlacement fp = placeFloat(f.objectXml, m_pages[size_t(st.page)].rect, m_pages[size_t(st.page)].rect, 0);
                    if (fp.wrap != Exclusion::None)
                        flow.exclusions.push_back({f.rect.adjusted(-fp.distance.left(), -fp.distance.top(), fp.distance.right(), fp.distance.bottom()), fp.wrap});
                }
            }
        }
    }
    if (!incremental) {
        k0 = 0;
        st = State();
        m_frags.clear();
        m_pages.clear();
        m_tableRects.clear();
    }
    m_records.clear();
    m_records.reserve(items.size());
    m_records.assign(old.begin(), old.begin() + qsizetype(k0));
    bool converged = false;
    for (size_t j = k0; j < items.size(); ++j) {
        const Item& it = items[j];
        if (incremental && j > k0 && (it.first() > to || it.last() < from)) {
            const qsizetype hit = qsizetype(j) + tailShift;
            if (hit > qsizetype(k0) && hit < qsizetype(old.size()) && old[size_t(hit)].key == it.key() && old[size_t(hit)].start == st
                && old[size_t(hit)].fragStart >= oldFragBase) {
                // From here on the old layout holds: keep its fragments and pages.
                const Record& r = old[size_t(hit)];
                const int delta = int(m_frags.size()) - r.fragStart;
                m_frags.insert(m_frags.end(), std::make_move_iterator(oldFrags.begin() + (r.fragStart - oldFragBase)),
                               std::make_move_iterator(oldFrags.end()));
                // The notes of the current page's later items are the old ones: the flow agrees up to here.
                if (st.page >= 0 && size_t(st.page) < oldPages.size() && size_t(st.page) < m_pages.size()) {
                    m_pages[size_t(st.page)].notes = oldPages[size_t(st.page)].notes;
                    m_pages[size_t(st.page)].notesHeight = oldPages[size_t(st.page)].notesHeight;
                    m_pages[size_t(st.page)].columnRules = oldPages[size_t(st.page)].columnRules;
                    m_pages[size_t(st.page)].endnotes = oldPages[size_t(st.page)].endnotes;
                    m_pages[size_t(st.page)].endnoteSeparator = oldPages[size_t(st.page)].endnoteSeparator;
                }
                m_pages.insert(m_pages.end(), oldPages.begin() + std::min<qsizetype>(qsizetype(oldPages.size()), st.page + 1), oldPages.end());
                for (size_t k = size_t(hit); k < old.size(); ++k) {
                    Record rec = old[k];
                    rec.fragStart += delta;
                    m_records.push_back(rec);
                }
                converged = true;
                break;
            }
        }
        flow.balance(items, j, st);
        m_records.push_back({it.key(), st, int(m_frags.size())});
        flow.item(it, st, j + 1 < items.size() ? &items[j + 1] : nullptr);
    }
    if (m_pages.empty()) {
        st.section = int(m_sections.size()) - 1;
        flow.newPage(st, true);
    }
    if (!converged) {
        flow.placeEndnotes(st);
        flow.closeColumns(st);
    }
    finishPages();
    m_inLayout = false;
    m_lastIncremental = incremental;
    m_lastMs = timer.nsecsElapsed() / 1e6;
    if (documentSize() != oldSize)
        emit documentSizeChanged(documentSize());
    if (int(m_pages.size()) != oldPageCount)
        emit pageCountChanged(int(m_pages.size()));
    emit update();
}

void PageLayout::finishPages()
{
    if (!m_story)
        renumberNotes();
    // SECTIONPAGES: the pages of each page's section.
    for (size_t i = 0; i < m_pages.size();) {
        size_t j = i;
        while (j < m_pages.size() && m_pages[j].section == m_pages[i].section && (j == i || m_pages[j].indexInSection > 0))
            ++j;
        for (size_t k = i; k < j; ++k)
            m_pages[k].sectionPages = int(j - i);
        i = j;
    }
    m_pageFrags.assign(m_pages.size(), {0, 0});
    int page = -1;
    for (int i = 0; i < int(m_frags.size()); ++i) {
        const int p = m_frags[size_t(i)].page;
        if (p < 0 || p >= int(m_pages.size()))
            continue;
        if (p != page) {
            if (m_pageFrags[size_t(p)].second == 0)
                m_pageFrags[size_t(p)].first = i;
            page = p;
        }
        m_pageFrags[size_t(p)].second = i + 1;
    }
}

std::pair<int, int> PageLayout::pageFragments(int i) const
{
    if (i < 0 || size_t(i) >= m_pageFrags.size())
        return {0, 0};
    return m_pageFrags[size_t(i)];
}

int PageLayout::pageCount() const
{
    return int(m_pages.size());
}

QSizeF PageLayout::documentSize() const
{
    if (m_pages.empty())
        return QSizeF();
    double w = 0;
    for (const PageInfo& p : m_pages)
        w = std::max(w, p.rect.right());
    return QSizeF(w, m_pages.back().rect.bottom());
}

QRectF PageLayout::frameBoundingRect(QTextFrame* frame) const
{
    if (frame == m_text->rootFrame())
        return QRectF(QPointF(0, 0), documentSize());
    return m_tableRects.value(frame);
}

QRectF PageLayout::blockBoundingRect(const QTextBlock& block) const
{
    const QTextLayout* tl = block.layout();
    if (!tl || tl->lineCount() == 0)
        return QRectF();
    const QTextLine first = tl->lineAt(0);
    const QTextLine last = tl->lineAt(tl->lineCount() - 1);
    const QRectF r(0, first.y(), 1, last.y() + last.height() - first.y());
    return QRectF(tl->position() + QPointF(0, 0), QSizeF(std::max(1.0, tl->boundingRect().width()), r.bottom()));
}

int PageLayout::pageAt(const QPointF& point) const
{
    if (m_pages.empty())
        return -1;
    auto it = std::lower_bound(m_pages.begin(), m_pages.end(), point.y(),
                               [this](const PageInfo& p, double y) { return p.rect.bottom() + m_gap / 2 < y; });
    return int(std::min<size_t>(size_t(it - m_pages.begin()), m_pages.size() - 1));
}

int PageLayout::pageOfPosition(int position) const
{
    const QTextBlock b = m_text->findBlock(position);
    for (const Fragment& f : m_frags) {
        if (f.kind != Fragment::Lines || f.block != b || !f.offset.isNull())
            continue;
        const QTextLine line = b.layout()->lineForTextPosition(position - b.position());
        if (!line.isValid())
            return f.page;
        const double y = b.layout()->position().y() + line.y();
        if (y < f.rect.bottom() + Epsilon)
            return f.page;
    }
    return -1;
}

int PageLayout::hitTest(const QPointF& point, Qt::HitTestAccuracy accuracy) const
{
    const int page = pageAt(point);
    if (page < 0)
        return -1;
    const auto [from, to] = pageFragments(page);
    const Fragment* best = nullptr;
    double bestDistance = 1e18;
    QTextLine bestLine;
    for (int i = from; i < to; ++i) {
        const Fragment& f = m_frags[size_t(i)];
        if (f.kind != Fragment::Lines || !f.offset.isNull())
            continue;
        const QTextLayout* tl = f.block.layout();
        for (int l = 0; l < tl->lineCount(); ++l) {
            const QTextLine line = tl->lineAt(l);
            const QRectF r = line.rect().translated(tl->position());
            if (r.bottom() < f.rect.top() - Epsilon || r.top() > f.rect.bottom() + Epsilon)
                continue;
            const double dy = point.y() < r.top() ? r.top() - point.y() : point.y() > r.bottom() ? point.y() - r.bottom() : 0;
            const double dx = point.x() < f.rect.left() ? f.rect.left() - point.x()
                            : point.x() > f.rect.right() ? point.x() - f.rect.right() : 0;
            const double d = dy * 4 + dx;
            if (d < bestDistance) {
                bestDistance = d;
                best = &f;
                bestLine = line;
            }
        }
    }
    if (!best || (accuracy == Qt::ExactHit && bestDistance > 0))
        return -1;
    const double x = point.x() - best->block.layout()->position().x();
    return best->block.position() + bestLine.xToCursor(x);
}

void PageLayout::draw(QPainter* painter, const PaintContext& context)
{
    PagePainter pp(*this);
    const QRectF clip = context.clip.isValid() ? context.clip : QRectF(QPointF(0, 0), documentSize());
    for (int i = pageAt(clip.topLeft()); i >= 0 && i < pageCount(); ++i) {
        if (m_pages[size_t(i)].rect.top() > clip.bottom())
            break;
        pp.paintPage(painter, i, &context);
    }
}

void PageLayout::resizeInlineObject(QTextInlineObject item, int posInDocument, const QTextFormat& format)
{
    const QSizeF size = inlineObjectSize(format, posInDocument);
    item.setWidth(size.width());
    if (format.toCharFormat().intProperty(prop::CharKind) == prop::KindObject && isSymbol(format.stringProperty(prop::CharXml))
        && size.width() > 0) {
        const QFontMetricsF fm(QFont(format.toCharFormat().font(), &m_device));
        item.setAscent(fm.ascent());
        item.setDescent(fm.descent());
        return;
    }
    item.setAscent(size.height());
    item.setDescent(0);
}

QSizeF PageLayout::inlineObjectSize(const QTextFormat& format, int posInDocument) const
{
    Q_UNUSED(posInDocument);
    const QTextCharFormat cf = format.toCharFormat();
    const int kind = cf.intProperty(prop::CharKind);
    const QString xml = cf.stringProperty(prop::CharXml);
    if (kind == prop::KindPageBreak || kind == prop::KindColumnBreak)
        return QSizeF(0, 0);
    // A hidden picture or note reference takes no room either.
    if (!marksShown() && m_styles.hiddenRun(cf.stringProperty(prop::RPrXml)))
        return QSizeF(0, 0);
    if (isFloating(xml))
        return QSizeF(0, 0);
    if (isSymbol(xml)) {
        const QFontMetricsF fm(QFont(cf.font(), &m_device));
        return QSizeF(fm.horizontalAdvance(symbolText(xml)), fm.height());
    }
    if (const QString id = footnoteId(cf); !id.isEmpty()) {
        const QString mark = m_noteMarks.value(id);
        if (mark.isEmpty())
            return QSizeF(0, 0);
        const QFontMetricsF full(QFont(cf.font(), &m_device));
        return QSizeF(QFontMetricsF(QFont(noteNumberFont(cf), &m_device)).horizontalAdvance(mark), full.ascent());
    }
    if (format.isImageFormat()) {
        const QTextImageFormat img = format.toImageFormat();
        double w = img.width(), h = img.height();
        if (w <= 0 || h <= 0) {
            const QImage image = m_text->resource(QTextDocument::ImageResource, QUrl(img.name())).value<QImage>();
            w = image.isNull() ? 16 : image.width();
            h = image.isNull() ? 16 : image.height();
        }
        return QSizeF(std::min(w, 2000.0), std::min(h, 2000.0));
    }
    const QSizeF extent = inlineExtent(xml);
    return extent;
}

void PageLayout::positionInlineObject(QTextInlineObject, int, const QTextFormat&)
{
}

void PageLayout::drawInlineObject(QPainter* painter, const QRectF& rect, QTextInlineObject object, int posInDocument,
                                  const QTextFormat& format)
{
    Q_UNUSED(object);
    Q_UNUSED(posInDocument);
    PagePainter(*this).drawInline(painter, rect, format);
}

} // namespace word::layout
