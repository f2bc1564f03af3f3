#include "word/layout/pagepainter.h"

#include "word/layout/fields.h"
#include "word/layout/floats.h"
#include "word/layout/pagelayout.h"
#include "word/model/docmodel.h"
#include "word/model/formatprops.h"

#include <QPagedPaintDevice>
#include <QPainter>
#include <QTextDocument>
#include <QTextLayout>

namespace word::layout {

namespace prop = word::model::prop;

namespace {

// The context's selections that touch block, as ranges of the block.
QList<QTextLayout::FormatRange> selectionsIn(const QTextBlock& block,
                                             const QAbstractTextDocumentLayout::PaintContext* context)
{
    QList<QTextLayout::FormatRange> out;
    if (!context)
        return out;
    const int start = block.position(), end = block.position() + block.length();
    for (const auto& sel : context->selections) {
        const int a = sel.cursor.selectionStart(), b = sel.cursor.selectionEnd();
        if (b <= start || a >= end || a == b)
            continue;
        QTextLayout::FormatRange r;
        r.start = std::max(a, start) - start;
        r.length = std::min(b, end) - start - r.start;
        r.format = sel.format;
        out.append(r);
    }
    return out;
}

Qt::PenStyle penStyle(Border::Style s)
{
    switch (s) {
    case Border::Dotted:
        return Qt::DotLine;
    case Border::Dashed:
        return Qt::DashLine;
    default:
        return Qt::SolidLine;
    }
}

} // namespace

void drawBorders(QPainter* painter, const QRectF& box, const std::array<Border, 4>& b)
{
    const QPointF corners[4][2] = {{box.topLeft(), box.topRight()}, {box.topLeft(), box.bottomLeft()},
                                   {box.bottomLeft(), box.bottomRight()}, {box.topRight(), box.bottomRight()}};
    for (int side = 0; side < 4; ++side) {
        const Border& border = b[size_t(side)];
        if (!border.visible())
            continue;
        QPen pen(border.color, border.style == Border::Double ? border.width / 3 : border.width, penStyle(border.style),
                 Qt::FlatCap);
        painter->setPen(pen);
        const QPointF a = corners[side][0], z = corners[side][1];
        if (border.style == Border::Double) {
            const bool horizontal = side == 0 || side == 2;
            const QPointF d = horizontal ? QPointF(0, border.width / 3) : QPointF(border.width / 3, 0);
            painter->drawLine(a - d, z - d);
            painter->drawLine(a + d, z + d);
        } else {
            painter->drawLine(a, z);
        }
    }
}

void PagePainter::paintPage(QPainter* painter, int index, const QAbstractTextDocumentLayout::PaintContext* context) const
{
    if (index < 0 || index >= m_layout.pageCount())
        return;
    const PageInfo& page = m_layout.page(index);
    painter->save();
    painter->fillRect(page.rect, Qt::white);
    painter->setClipRect(page.rect, Qt::IntersectClip);
    const SectionProps& s = m_layout.section(page.section);
    // Headers and footers are set back while the body is edited, as in Word.
    if (context)
        painter->setOpacity(0.55);
    if (page.header) {
        if (const PageLayout* h = m_layout.storyLayout(page.header))
            paintStory(painter, *h, QPointF(page.rect.left() + s.margins.left(), page.rect.top() + s.headerDistance), index);
    }
    if (page.footer) {
        if (PageLayout* f = m_layout.storyLayout(page.footer)) {
            const double height = f->storyHeight(s.textWidth());
            paintStory(painter, *f, QPointF(page.rect.left() + s.margins.left(),
                                            page.rect.bottom() - s.footerDistance - height), index);
        }
    }
    painter->setOpacity(1);
    const auto [from, to] = m_layout.pageFragments(index);
    const auto& frags = m_layout.fragments();
    paintNotes(painter, index);
    paintEndnotes(painter, index);
    if (!page.columnRules.empty()) {
        painter->save();
        painter->setPen(QPen(Qt::black, 0.75));
        for (const QLineF& rule : page.columnRules)
            painter->drawLine(rule);
        painter->restore();
    }
    for (int i = from; i < to; ++i) {
        const Fragment& f = frags[size_t(i)];
        if (f.kind == Fragment::Float && f.page == index && placeFloat(f.objectXml, page.rect, page.rect, 0).behindText)
            paintFloat(painter, f);
    }
    for (int i = from; i < to; ++i) {
        const Fragment& f = frags[size_t(i)];
        if (f.page != index)
            continue;
        // The view repaints small pieces (a typed character, the cursor).
        if (context && context->clip.isValid() && !f.rect.adjusted(-4, -4, 4, 4).intersects(context->clip))
            continue;
        if (f.kind == Fragment::Float) {
            if (!placeFloat(f.objectXml, page.rect, page.rect, 0).behindText)
                paintFloat(painter, f);
            continue;
        }
        paintFragment(painter, f, page.rect, context);
    }
    painter->restore();
}

void PagePainter::paintFragment(QPainter* painter, const Fragment& f, const QRectF& pageRect,
                                const QAbstractTextDocumentLayout::PaintContext* context) const
{
    if (f.kind == Fragment::Box) {
        if (f.fill.isValid())
            painter->fillRect(f.rect, f.fill);
        drawBorders(painter, f.rect, f.borders);
        return;
    }
    QTextLayout* tl = f.block.layout();
    if (!tl)
        return;
    const QPointF origin = tl->position() + f.offset;
    // Only the lines of this fragment: a paragraph split over two pages has
    // the rest of its lines on the next one.
    const QRectF clip(pageRect.left(), f.rect.top() - 0.5, pageRect.width(), f.rect.height() + 1);
    QList<QTextLayout::FormatRange> selections = f.offset.isNull() ? selectionsIn(f.block, context) : QList<QTextLayout::FormatRange>();
    // QTextLayout adds its own position to the one it is given.
    tl->draw(painter, f.offset, selections, clip);
    if (const auto* owner = qobject_cast<const PageLayout*>(f.block.document()->documentLayout()))
        paintCheckBoxes(painter, *owner, f.block, f.offset, clip);
    const QTextBlockFormat bf = f.block.blockFormat();
    const QString label = bf.stringProperty(prop::ListLabel);
    if (!label.isEmpty() && tl->lineCount() > 0) {
        const QTextLine first = tl->lineAt(0);
        const double y = origin.y() + first.y();
        if (y >= clip.top() && y < clip.bottom()) {
            painter->setFont(QFont(f.block.charFormat().font(), painter->device()));
            painter->setPen(f.block.charFormat().foreground().style() == Qt::NoBrush ? QColor(Qt::black)
                                                                                       : f.block.charFormat().foreground().color());
            QFont font = f.block.charFormat().font();
            font.setPixelSize(qMax(1, qRound(font.pointSizeF() * UnitsPerPoint)));
            painter->setFont(font);
            // The fragment stands in the column of its lines, the first one included.
            painter->drawText(QPointF(f.rect.left() + bf.leftMargin() + bf.textIndent(), y + first.ascent()), label);
        }
    }
    if (context && context->cursorPosition >= f.block.position()
        && context->cursorPosition < f.block.position() + f.block.length() && f.offset.isNull()) {
        const int rel = context->cursorPosition - f.block.position();
        const QTextLine line = tl->lineForTextPosition(rel);
        const double y = line.isValid() ? origin.y() + line.y() : origin.y();
        if (y >= clip.top() && y < clip.bottom()) {
            painter->setPen(context->palette.color(QPalette::Text));
            tl->drawCursor(painter, f.offset, rel, 1);
        }
    }
}

void PagePainter::paintStory(QPainter* painter, const PageLayout& story, const QPointF& origin, int pageIndex) const
{
    const PageInfo& page = m_layout.page(pageIndex);
    const std::vector<PageField> fields = pageFields(*story.model());
    painter->save();
    painter->translate(origin);
    const QRectF all(-10000, -10000, 20000, 20000);
    for (const Fragment& f : story.fragments()) {
        if (f.kind != Fragment::Lines) {
            paintFragment(painter, f, all, nullptr);
            continue;
        }
        QTextLayout* tl = f.block.layout();
        const int bStart = f.block.position(), bEnd = bStart + f.block.length();
        // The fields' cached results give way to this page's values: the
        // paragraph is laid out again with them, as the text that prints.
        std::vector<std::pair<std::pair<int, int>, QString>> values;   // [start, end) in the block, value
        for (const PageField& pf : fields) {
            if (pf.start < bStart || pf.start >= bEnd)
                continue;
            const int value = pf.kind == PageField::Page ? page.number
                            : pf.kind == PageField::NumPages ? m_layout.pageCount()
                                                             : page.sectionPages;
            values.push_back({{pf.start - bStart, std::min(pf.end, bEnd - 1) - bStart}, QString::number(value)});
        }
        if (values.empty()) {
            tl->draw(painter, QPointF(0, 0), {}, QRectF());
            paintCheckBoxes(painter, story, f.block, QPointF(0, 0), QRectF());
            continue;
        }
        std::sort(values.begin(), values.end());
        QString text;
        QList<QTextLayout::FormatRange> formats;
        int from = 0;
        auto addRun = [&](const QString& piece, int at) {
            if (piece.isEmpty())
                return;
            QTextCursor c(f.block);
            c.setPosition(bStart + std::min(at + 1, f.block.length() - 1));
            QTextLayout::FormatRange r;
            r.start = int(text.size());
            r.length = int(piece.size());
            r.format = c.charFormat();
            // Hidden text stays out of the printed line as it does out of the laid-out one.
            if (!story.marksShown() && story.m_styles.hiddenRun(r.format.stringProperty(prop::RPrXml)))
                return;
            formats.append(r);
            text += piece;
        };
        const QString original = f.block.text();
        for (const auto& [range, value] : values) {
            if (range.first < from)
                continue;
            for (int k = from; k < range.first; ++k)
                addRun(original.mid(k, 1), k);
            addRun(value, range.first);
            from = std::max(range.first, range.second);
        }
        for (int k = from; k < original.size(); ++k)
            addRun(original.mid(k, 1), k);
        QTextLayout shown(text, f.block.charFormat().font(), const_cast<QImage*>(&m_layout.m_device));
        shown.setTextOption(tl->textOption());
        shown.setFormats(formats);
        shown.beginLayout();
        for (int i = 0; i < tl->lineCount(); ++i) {
            QTextLine line = shown.createLine();
            if (!line.isValid())
                break;
            line.setLineWidth(tl->lineAt(i).width());
            line.setPosition(tl->lineAt(i).position());
        }
        shown.endLayout();
        shown.draw(painter, tl->position());
    }
    for (const Fragment& f : story.fragments())
        if (f.kind == Fragment::Float)
            paintFloat(painter, f);
    painter->restore();
}

namespace {
// The short line above a page's notes: a third of the text's width, at most two inches.
void drawNoteSeparator(QPainter* painter, double left, double y, double textWidth)
{
    painter->setPen(QPen(Qt::black, 0.75));
    painter->drawLine(QPointF(left, y), QPointF(left + std::min(textWidth / 3, 192.0), y));
}
} // namespace

void PagePainter::paintNotes(QPainter* painter, int index) const
{
    const PageInfo& page = m_layout.page(index);
    if (page.notes.empty())
        return;
    const SectionProps& s = m_layout.section(page.section);
    const double left = page.rect.left() + s.margins.left();
    const double top = page.notesTop();
    painter->save();
    painter->setClipRect(QRectF(page.rect.left(), top, page.rect.width(), page.bodyBottom - top), Qt::IntersectClip);
    drawNoteSeparator(painter, left, top + NoteSeparatorRoom / 2, s.textWidth());
    double y = top + NoteSeparatorRoom;
    for (const model::Story* note : page.notes)
        y += paintNote(painter, note, QPointF(left, y), s.textWidth(), index);
    painter->restore();
}

void PagePainter::paintEndnotes(QPainter* painter, int index) const
{
    const PageInfo& page = m_layout.page(index);
    if (page.endnotes.empty())
        return;
    const SectionProps& s = m_layout.section(page.section);
    painter->save();
    if (page.endnoteSeparator >= 0)
        drawNoteSeparator(painter, page.endnotes.front().left, page.endnoteSeparator, s.textWidth());
    for (const PageInfo::PlacedNote& n : page.endnotes)
        paintNote(painter, n.story, QPointF(n.left, n.top), s.columnWidth(0), index);
    painter->restore();
}

double PagePainter::paintNote(QPainter* painter, const model::Story* note, const QPointF& at, double width, int index) const
{
    PageLayout* nl = m_layout.storyLayout(note);
    if (!nl)
        return 0;
    nl->setNoteLabel(m_layout.noteMark(noteKey(*note)));
    const double h = nl->storyHeight(width);
    paintStory(painter, *nl, at, index);
    const QTextBlock first = nl->m_text->begin();
    const QTextLayout* tl = first.isValid() ? first.layout() : nullptr;
    if (tl && tl->lineCount() > 0 && !nl->noteLabel().isEmpty()) {
        const QTextLine line = tl->lineAt(0);
        painter->save();
        painter->setFont(noteNumberFont(first.charFormat()));
        painter->setPen(Qt::black);
        painter->drawText(at + tl->position() + QPointF(line.x() - nl->noteLabelWidth(), line.y() + line.ascent() * 0.6),
                          nl->noteLabel());
        painter->restore();
    }
    return h;
}

void PagePainter::paintCheckBoxes(QPainter* painter, const PageLayout& owner, const QTextBlock& block, const QPointF& offset,
                                  const QRectF& clip)
{
    const auto& boxes = owner.m_boxes;
    if (boxes.empty())
        return;
    const int start = block.position(), end = block.position() + block.length() - 1;
    auto it = std::lower_bound(boxes.begin(), boxes.end(), start,
                               [](const PageLayout::BoxPlace& p, int pos) { return p.position < pos; });
    const QTextLayout* tl = block.layout();
    if (it == boxes.end() || it->position > end || !tl || tl->lineCount() == 0)
        return;
    painter->save();
    painter->setBrush(Qt::NoBrush);
    // Boxes at one place stand side by side, the last ending where the text goes on.
    double used = 0;       // the room of the boxes after this one at its place
    int prev = -1;
    std::vector<PageLayout::BoxPlace> here;
    for (; it != boxes.end() && it->position <= end; ++it)
        here.push_back(*it);
    for (size_t i = here.size(); i-- > 0;) {
        const PageLayout::BoxPlace& b = here[i];
        const int rel = b.position - start;
        if (rel != prev)
            used = 0;
        prev = rel;
        QTextLine line = tl->lineForTextPosition(rel);
        if (!line.isValid())
            line = tl->lineAt(tl->lineCount() - 1);
        const QPointF origin = tl->position() + offset;
        const double right = origin.x() + line.cursorToX(rel) - used;
        used += b.width;
        const double baseline = origin.y() + line.y() + line.ascent();
        if (clip.isValid() && (baseline < clip.top() || baseline > clip.bottom() + line.descent()))
            continue;
        const double side = b.width * 0.75;
        const QRectF box(right - b.width + (b.width - side) / 2, baseline - side, side, side);
        QPen pen(Qt::black, std::max(0.75, side / 14));
        painter->setPen(pen);
        painter->drawRect(box);
        if (b.checked) {
            const QRectF in = box.adjusted(side * 0.12, side * 0.12, -side * 0.12, -side * 0.12);
            painter->drawLine(in.topLeft(), in.bottomRight());
            painter->drawLine(in.topRight(), in.bottomLeft());
        }
    }
    painter->restore();
}

void PagePainter::paintFloat(QPainter* painter, const Fragment& f) const
{
    const QTextDocument* text = f.block.document();
    if (!f.imageName.isEmpty()) {
        const QImage image = text->resource(QTextDocument::ImageResource, QUrl(f.imageName)).value<QImage>();
        if (!image.isNull()) {
            painter->drawImage(f.rect, image);
            return;
        }
    }
    QStringList paragraphs;
    if (f.textBox) {
        for (QTextBlock b = f.textBox->text()->begin(); b.isValid(); b = b.next())
            paragraphs << b.text().remove(QChar::ObjectReplacementCharacter).replace(QChar::LineSeparator, u' ');
    } else {
        paragraphs = textBoxParagraphs(f.objectXml);
    }
    painter->save();
    painter->setPen(QPen(QColor(120, 120, 120), 0.75));
    painter->setBrush(Qt::NoBrush);
    if (paragraphs.isEmpty()) {
        // A picture that cannot be shown: an empty frame of its size.
        painter->drawRect(f.rect);
        painter->restore();
        return;
    }
    QFont font(QStringLiteral("Calibri"));
    font.setPixelSize(qRound(11 * UnitsPerPoint));
    painter->setFont(font);
    painter->setPen(Qt::black);
    const QRectF inner = f.rect.adjusted(9.6, 4.8, -9.6, -4.8);
    double y = inner.top();
    for (const QString& p : paragraphs) {
        QTextLayout tl(p, font, painter->device());
        QTextOption opt;
        opt.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        opt.setUseDesignMetrics(true);
        tl.setTextOption(opt);
        tl.beginLayout();
        double ly = 0;
        for (QTextLine line = tl.createLine(); line.isValid(); line = tl.createLine()) {
            line.setLineWidth(std::max(4.0, inner.width()));
            line.setPosition(QPointF(0, ly));
            ly += line.height();
        }
        tl.endLayout();
        tl.draw(painter, QPointF(inner.left(), y));
        y += std::max(ly, 14.0);
    }
    painter->restore();
}

void PagePainter::drawInline(QPainter* painter, const QRectF& rect, const QTextFormat& format) const
{
    const QTextCharFormat cf = format.toCharFormat();
    const QString xml = cf.stringProperty(prop::CharXml);
    if (isFloating(xml) || cf.intProperty(prop::CharKind) == prop::KindPageBreak
        || cf.intProperty(prop::CharKind) == prop::KindColumnBreak)
        return;
    if (!m_layout.marksShown() && m_layout.m_styles.hiddenRun(cf.stringProperty(prop::RPrXml)))
        return;
    if (isSymbol(xml)) {
        QFont font = cf.font();
        font.setPixelSize(qMax(1, qRound(font.pointSizeF() * UnitsPerPoint)));
        painter->setFont(font);
        painter->setPen(cf.foreground().style() == Qt::NoBrush ? QColor(Qt::black) : cf.foreground().color());
        painter->drawText(QPointF(rect.left(), rect.top() + QFontMetricsF(font).ascent()), symbolText(xml));
        return;
    }
    if (const QString id = footnoteId(cf); !id.isEmpty()) {
        const QString mark = m_layout.noteMark(id);
        if (!mark.isEmpty()) {
            painter->save();
            painter->setFont(noteNumberFont(cf));
            painter->setPen(cf.foreground().style() == Qt::NoBrush ? QColor(Qt::black) : cf.foreground().color());
            // Raised: the number's baseline at two fifths of the text's height.
            painter->drawText(QPointF(rect.left(), rect.bottom() - rect.height() * 0.4), mark);
            painter->restore();
        }
        return;
    }
    if (format.isImageFormat()) {
        const QImage image = m_layout.m_text->resource(QTextDocument::ImageResource, QUrl(format.toImageFormat().name())).value<QImage>();
        if (!image.isNull()) {
            painter->drawImage(rect, image);
            return;
        }
    }
    if (rect.width() > 1 && rect.height() > 1) {
        painter->save();
        painter->setPen(QPen(QColor(150, 150, 150), 0.75));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(rect);
        painter->restore();
    }
}

void PagePainter::paintPageAt(QPainter* painter, int page) const
{
    painter->save();
    painter->translate(-m_layout.pageRect(page).topLeft());
    paintPage(painter, page, nullptr);
    painter->restore();
}

bool PagePainter::paintDocument(const PageLayout& constLayout, QPagedPaintDevice& device, const QList<int>& pages)
{
    // Pages print without hidden text and formatting marks; the view gets
    // its layout back afterwards.
    PageLayout& layout = const_cast<PageLayout&>(constLayout);
    struct PrintPass {
        PageLayout& l;
        bool was;
        ~PrintPass() { l.setPrinting(was); }
    } pass{layout, layout.printing()};
    layout.setPrinting(true);
    QList<int> list = pages;
    if (list.isEmpty())
        for (int i = 0; i < layout.pageCount(); ++i)
            list.append(i);
    auto sizeOf = [&](int i) {
        const QSizeF units = layout.pageRect(i).size();
        return QPageSize(units / UnitsPerPoint, QPageSize::Point, QString(), QPageSize::ExactMatch);
    };
    if (list.isEmpty())
        return false;
    device.setPageMargins(QMarginsF(0, 0, 0, 0));
    device.setPageSize(sizeOf(list.first()));
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    const PagePainter pp(layout);
    bool first = true;
    for (int i : list) {
        if (i < 0 || i >= layout.pageCount())
            continue;
        if (!first) {
            device.setPageSize(sizeOf(i));
            device.newPage();
        }
        first = false;
        painter.save();
        const double scale = device.logicalDpiX() / 96.0;
        painter.scale(scale, scale);
        pp.paintPageAt(&painter, i);
        painter.restore();
    }
    painter.end();
    return true;
}

} // namespace word::layout
