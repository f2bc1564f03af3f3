#pragma once
// What the page layout reads from the XML the model keeps verbatim: section,
// paragraph, table, row and cell properties. Lengths are layout units, pixels
// at 96 dpi, the unit the model's block formats use (1 twip = 1/15 unit).
//
// Parsing is forgiving: whatever is missing or absurd takes Word's default,
// and a page that could hold no text falls back to A4 with 2.5 cm margins.

#include <QColor>
#include <algorithm>
#include <QHash>
#include <QMarginsF>
#include <QSizeF>
#include <QString>
#include <array>
#include <optional>
#include <vector>

namespace word::opc { class Package; }

namespace word::layout {

constexpr double UnitsPerTwip = 1.0 / 15.0;
constexpr double UnitsPerPoint = 96.0 / 72.0;

struct Border {
    enum Style { None, Single, Double, Dotted, Dashed, Thick };
    Style style = None;
    double width = 0;        // units
    double space = 0;        // distance from the text, units
    QColor color = Qt::black;
    bool visible() const { return style != None && width > 0; }
    bool operator==(const Border& o) const
    {
        return style == o.style && qFuzzyCompare(width + 1, o.width + 1) && color == o.color;
    }
};

// How footnotes are numbered (w:footnotePr of the settings or a section).
struct NoteNumbering {
    enum Restart { Continuous, EachSection, EachPage };
    Restart restart = Continuous;
    int start = 1;
    QString format = QStringLiteral("decimal");   // w:numFmt
    // A number as this numbering writes it.
    QString label(int n) const;
};

struct SectionProps {
    enum Start { NextPage, Continuous, OddPage, EvenPage, NextColumn };
    QSizeF page { 793.7, 1122.5 };                     // A4
    QMarginsF margins { 94.5, 94.5, 94.5, 94.5 };      // 2.5 cm
    double headerDistance = 47.2;                      // 1.25 cm
    double footerDistance = 47.2;
    Start start = NextPage;
    bool titlePage = false;
    int pageNumberStart = -1;                          // pgNumType w:start, -1 when it goes on
    // Header and footer references by type: 0 default, 1 first, 2 even.
    std::array<std::optional<QString>, 3> headers;
    std::array<std::optional<QString>, 3> footers;
    bool fallback = false;                             // the page setup was impossible and replaced
    // Text columns (w:cols): each one's left edge from the left margin and
    // its width; empty for one column of the text's width.
    std::vector<std::pair<double, double>> columns;
    bool columnLines = false;                          // w:sep: a line between the columns
    std::optional<NoteNumbering> notes;                // the section's own footnote numbering

    double textWidth() const { return page.width() - margins.left() - margins.right(); }
    int columnCount() const { return columns.empty() ? 1 : int(columns.size()); }
    double columnLeft(int i) const { return columns.empty() ? 0 : columns[size_t(std::clamp(i, 0, columnCount() - 1))].first; }
    double columnWidth(int i) const { return columns.empty() ? textWidth() : columns[size_t(std::clamp(i, 0, columnCount() - 1))].second; }
};

// sectPr XML (or any text whose last w:sectPr is the one meant).
SectionProps parseSection(const QString& xml);

struct ParagraphProps {
    std::array<Border, 5> borders;   // top, left, bottom, right, between
    QColor shading;                  // invalid when none
    bool keepNext = false;
    bool keepLines = false;
    bool widowControl = true;
    bool contextualSpacing = false;
    bool hasFrame = false;           // framePr: a positioned paragraph
    QString style;
    bool hasBorders() const
    {
        for (const Border& b : borders)
            if (b.visible())
                return true;
        return false;
    }
};

struct CellProps {
    double width = -1;               // tcW in units, -1 when not given
    int gridSpan = 1;
    enum Merge { NoMerge, Restart, Continue } vMerge = NoMerge;
    std::array<std::optional<Border>, 6> borders;   // top, left, bottom, right, insideH, insideV
    QColor shading;
    std::optional<QMarginsF> margins;
    enum VAlign { Top, Center, Bottom } vAlign = Top;
};

struct RowProps {
    double height = 0;               // units
    bool exactHeight = false;
    bool header = false;
    bool cantSplit = false;
};

struct TableProps {
    std::vector<double> grid;        // gridCol widths, units
    double width = -1;               // tblW dxa, -1 when auto or missing
    double widthPct = -1;            // tblW pct, 0..1
    double indent = 0;               // tblInd
    Qt::Alignment align = Qt::AlignLeft;
    std::array<std::optional<Border>, 6> borders;   // top, left, bottom, right, insideH, insideV
    QMarginsF cellMargins { 7.2, 0, 7.2, 0 };       // Word's 0.19 cm left and right
    QColor shading;
    QString style;
};

// Styles (w:styles) as far as the layout needs them: paragraph properties the
// model's block formats do not carry, and table styles' borders and margins.
class StyleProps {
public:
    void read(const QByteArray& stylesXml);
    // Style first (its basedOn chain, the document defaults below it), then pPrXml.
    ParagraphProps paragraph(const QString& pPrXml) const;
    // The table style's properties with tblPr over them.
    TableProps table(const QString& tableOpenXml) const;
    // Whether a run of these run properties is hidden text: its own vanish,
    // else its character style's (through basedOn).
    bool hiddenRun(const QString& rPrXml) const;

private:
    TableProps tableUncached(const QString& tableOpenXml) const;
    struct Style {
        QString basedOn;
        QString pPr;
        QString tblPr;
        QString tcPr;
        std::optional<bool> vanish;   // the style's own rPr vanish, when it says
    };
    QHash<QString, Style> m_styles;
    QString m_defaultPPr;
    QString m_defaultParagraphStyle;
    QString m_defaultTableStyle;
    mutable QHash<QString, ParagraphProps> m_cache;
    mutable QHash<QString, TableProps> m_tableCache;
    mutable QHash<QString, bool> m_hiddenCache;
};

CellProps parseCell(const QString& tcPrXml);
RowProps parseRow(const QString& rowOpenXml);

// The evenAndOddHeaders setting of a settings part.
bool evenAndOddHeaders(const QByteArray& settingsXml);
// The footnote numbering of a settings part.
NoteNumbering footnoteNumbering(const QByteArray& settingsXml);
// The settings' endnote numbering (lower-case Roman unless they say otherwise).
NoteNumbering endnoteNumbering(const QByteArray& settingsXml);

} // namespace word::layout
