#pragma once
// The page layout of a document, shared by the page view, printing and PDF
// export. It is the QTextDocument's own document layout: every paragraph is
// laid out in its block's QTextLayout with the real fonts, so the editing
// machinery of Qt (cursor, selection, hit testing) works on the pages as
// they print.
//
// Coordinates are layout units (pixels at 96 dpi, the unit of the model's
// block formats); the pages stand one below the other with a gap between
// them, page 0 at the origin. Pagination follows the sections of the
// document with their own page setup, headers and footers (chosen as Word
// chooses them), manual and section breaks, keep and widow rules, tables
// with their borders and merged cells (rows breaking across pages between
// lines), floating objects, text columns (balanced before a continuous
// section), footnotes at the foot of their page, hidden text and legacy
// check boxes.
//
// Hidden text and the room of check boxes are additional formats of the
// blocks' layouts, marked as the layout's own, beside those others set.
//
// An edit lays out again from the changed paragraph's page; as soon as a
// paragraph after the edit starts where it started before, the rest of the
// old layout is kept.

#include "word/layout/fields.h"
#include "word/layout/props.h"

#include <QAbstractTextDocumentLayout>
#include <QElapsedTimer>
#include <QHash>
#include <QImage>
#include <QLineF>
#include <QPointer>
#include <QTextBlock>
#include <QTextFrame>
#include <memory>
#include <vector>

class QTextTable;

namespace word::model { class DocModel; struct Story; }

namespace word::layout {

class PagePainter;

struct PageInfo {
    int section = 0;
    QRectF rect;                 // the paper, in document coordinates
    double bodyTop = 0;          // where the text may start and must end
    double bodyBottom = 0;
    int number = 1;              // the value of PAGE
    int indexInSection = 0;      // 0 for a section's first page
    int sectionPages = 1;        // SECTIONPAGES
    const model::Story* header = nullptr;
    const model::Story* footer = nullptr;
    // Footnotes at the page's foot, in the order of their references, and
    // the room they take above bodyBottom, their separator line included.
    std::vector<const model::Story*> notes;
    double notesHeight = 0;
    // Endnotes, after the document's last line and on the pages after it:
    // each with its top, and where the separator line before them stands (-1: none).
    struct PlacedNote {
        const model::Story* story;
        double left;
        double top;
    };
    std::vector<PlacedNote> endnotes;
    double endnoteSeparator = -1;
    std::vector<QLineF> columnRules;   // the lines between text columns (w:sep)
    double notesTop() const { return bodyBottom - notesHeight; }
};

// The room above a page's first footnote that its separator line stands in.
constexpr double NoteSeparatorRoom = 16;

// The key of a note reference (an object character's XML): a footnote's
// w:id, or "e:" and the w:id for an endnote; empty for anything else.
QString footnoteId(const QTextCharFormat& cf);
// The same key for the note's story.
QString noteKey(const model::Story& note);
// The font a note's number is drawn in: two thirds of the text's, in units.
QFont noteNumberFont(const QTextCharFormat& cf);

// A paragraph, a table cell's box or a floating object as placed on a page.
struct Fragment {
    enum Kind { Lines, Box, Float };
    Kind kind = Lines;
    int page = -1;
    QTextBlock block;            // Lines: the paragraph; Float: its anchor paragraph
    QPointF offset;              // Lines: a copy drawn away from the block's place (repeated header rows)
    QRectF rect;                 // Box: the cell or paragraph box; Float: the object
    std::array<Border, 4> borders;   // Box: top, left, bottom, right
    QColor fill;                 // Box: shading
    QString objectXml;           // Float: the drawing's XML
    QString imageName;           // Float: the picture's resource name
    const model::DocModel* textBox = nullptr;   // Float: the text box's story, when it has one
};

class PageLayout : public QAbstractTextDocumentLayout {
    Q_OBJECT
public:
    // A main document: its stories (headers, footers) get layouts of their own.
    explicit PageLayout(model::DocModel* model);
    ~PageLayout() override;

    // Makes a layout the document layout of model's text (and of its stories'
    // texts) without counting that as an edit; returns it (owned by the text).
    static PageLayout* install(model::DocModel& model);
    // The layout installed on model's text, or null.
    static PageLayout* of(const model::DocModel& model);

    // QAbstractTextDocumentLayout
    void draw(QPainter* painter, const PaintContext& context) override;
    int hitTest(const QPointF& point, Qt::HitTestAccuracy accuracy) const override;
    int pageCount() const override;
    QSizeF documentSize() const override;
    QRectF frameBoundingRect(QTextFrame* frame) const override;
    QRectF blockBoundingRect(const QTextBlock& block) const override;

    const PageInfo& page(int i) const { return m_pages.at(size_t(i)); }
    QRectF pageRect(int i) const { return m_pages.at(size_t(i)).rect; }
    int pageAt(const QPointF& point) const;
    int pageOfPosition(int position) const;
    const SectionProps& section(int i) const { return m_sections.at(size_t(i)); }
    int sectionCount() const { return int(m_sections.size()); }
    double pageGap() const { return m_gap; }
    void setPageGap(double gap);
    // Formatting marks on: hidden text is shown, dotted underlined. The
    // document's View.ShowAll turns them on as well.
    void setShowMarks(bool on);
    bool showMarks() const { return m_showMarks; }
    // Whether hidden text takes its room and is drawn: marks on, not printing.
    bool marksShown() const;
    // Laid out as printed: no hidden text, no formatting marks, whatever the
    // view shows. Printing and PDF export turn it on while they paint.
    void setPrinting(bool on);
    bool printing() const;
    // The milliseconds the last layout pass took, and whether it was incremental.
    double lastLayoutMs() const { return m_lastMs; }
    bool lastLayoutIncremental() const { return m_lastIncremental; }
    // Lays out again from the start (after a change the text does not report).
    void relayout();

    // A story's layout: content laid out at width, top at 0.
    double storyHeight(double width);
    const model::DocModel* model() const { return m_model; }
    const std::vector<Fragment>& fragments() const { return m_frags; }
    // First and one-past-last fragment of page i.
    std::pair<int, int> pageFragments(int i) const;
    PageLayout* storyLayout(const model::Story* story) const;
    // The story of the text box an object character names (prop::TextBoxId), or null.
    const model::DocModel* textBoxStory(const QTextCharFormat& cf) const;
    // The number a footnote shows (by its w:id), 0 when it has none.
    int noteNumber(const QString& id) const { return m_noteNumbers.value(id); }
    // The number as the document writes it (1, i, a, *), empty when the note has none.
    QString noteMark(const QString& id) const { return m_noteMarks.value(id); }
    const model::Story* noteStory(const QString& id) const { return m_notesById.value(id); }
    // A footnote's layout: the number it starts with, drawn in the room it keeps before its first line.
    void setNoteLabel(const QString& label);
    const QString& noteLabel() const { return m_noteLabel; }
    double noteLabelWidth() const { return m_noteLabelWidth; }

protected:
    void documentChanged(int from, int charsRemoved, int charsAdded) override;
    void resizeInlineObject(QTextInlineObject item, int posInDocument, const QTextFormat& format) override;
    void positionInlineObject(QTextInlineObject item, int posInDocument, const QTextFormat& format) override;
    void drawInlineObject(QPainter* painter, const QRectF& rect, QTextInlineObject object, int posInDocument,
                          const QTextFormat& format) override;

private:
    // A story's text changed (a header filled, a box written): show it.
    void storyChanged();
    // Word's single line height for a run's font (0 for objects), by format index.
    double fontLineHeight(int formatIndex, const QTextCharFormat& cf) const;
    mutable QHash<int, double> m_fontLines;
    friend class PagePainter;
    struct Item;
    struct State;
    struct Record;
    class Flow;

    PageLayout(model::DocModel* model, QTextDocument* text, bool story);
    void layoutFrom(int from, int to);
    void choosePageStories(PageInfo& page) const;
    QSizeF inlineObjectSize(const QTextFormat& format, int posInDocument) const;
    void finishPages();
    void readDocumentProps();

    model::DocModel* m_model;
    QTextDocument* m_text;
    bool m_story = false;
    double m_storyWidth = -1;
    double m_storyHeight = 0;
    QImage m_device;                          // 96 dpi: fonts are measured as the units mean
    StyleProps m_styles;
    bool m_evenOdd = false;
    std::vector<SectionProps> m_sections;
    std::vector<PageInfo> m_pages;
    std::vector<Fragment> m_frags;
    std::vector<std::pair<int, int>> m_pageFrags;
    std::vector<Record> m_records;            // per top-level item, as last laid out
    QHash<QTextFrame*, QRectF> m_tableRects;
    QHash<QString, int> m_noteNumbers;        // footnote id -> its number
    QHash<QString, QString> m_noteMarks;      // footnote id -> its number as written
    NoteNumbering m_noteNumbering;            // the settings' footnote numbering
    NoteNumbering m_endnoteNumbering;         // the settings' endnote numbering
    QHash<QString, const model::Story*> m_endnotesById;
    std::vector<const model::Story*> m_endnotes;   // in the order of their first references
    void renumberNotes();
    QHash<QString, const model::Story*> m_notesById;
    QString m_noteLabel;
    double m_noteLabelWidth = 0;
    void numberNotes();
    std::vector<std::pair<const model::Story*, QPointer<PageLayout>>> m_storyLayouts;
    double m_gap = 16;
    bool m_showMarks = false;
    double m_lastMs = 0;
    bool m_lastIncremental = false;
    bool m_inLayout = false;
    bool m_printing = false;
    PageLayout* m_main = nullptr;             // a story's: the body's layout
    struct BoxPlace {
        int position = 0;
        bool checked = false;
        double width = 0;                     // the room it takes, units
    };
    std::vector<BoxPlace> m_boxes;            // legacy check boxes, by position
    void findCheckBoxes();
};

} // namespace word::layout
