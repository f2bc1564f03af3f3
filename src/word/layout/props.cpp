#include "word/layout/props.h"

#include <QRegularExpression>
#include <algorithm>
#include <pugixml.hpp>
#include <cstring>

namespace word::layout {

namespace {

// The fragments the model keeps carry their prefixes but no namespace
// declarations, so elements are matched by local name.
const char* localName(const char* name)
{
    const char* colon = std::strrchr(name, ':');
    return colon ? colon + 1 : name;
}

bool isNamed(pugi::xml_node n, const char* local)
{
    return n.type() == pugi::node_element && std::strcmp(localName(n.name()), local) == 0;
}

pugi::xml_node child(pugi::xml_node n, const char* local)
{
    for (pugi::xml_node c = n.first_child(); c; c = c.next_sibling())
        if (isNamed(c, local))
            return c;
    return {};
}

QString attr(pugi::xml_node n, const char* local)
{
    for (pugi::xml_attribute a = n.first_attribute(); a; a = a.next_attribute())
        if (std::strcmp(localName(a.name()), local) == 0)
            return QString::fromUtf8(a.value());
    return {};
}

double number(pugi::xml_node n, const char* local, double fallback)
{
    bool ok = false;
    const double v = attr(n, local).toDouble(&ok);
    return ok ? v : fallback;
}

bool onOff(pugi::xml_node n)
{
    if (!n)
        return false;
    const QString v = attr(n, "val");
    return v.isEmpty() || !(v == u"0" || v == u"false" || v == u"off" || v == u"none");
}

// The first element of that local name anywhere below (or at) n.
pugi::xml_node find(pugi::xml_node n, const char* local)
{
    if (isNamed(n, local))
        return n;
    for (pugi::xml_node c = n.first_child(); c; c = c.next_sibling()) {
        if (pugi::xml_node hit = find(c, local))
            return hit;
    }
    return {};
}

bool parse(pugi::xml_document& doc, const QString& xml)
{
    const QByteArray utf8 = xml.toUtf8();
    return doc.load_buffer(utf8.constData(), size_t(utf8.size()), pugi::parse_default, pugi::encoding_utf8);
}

QColor colour(const QString& hex)
{
    if (hex.size() != 6)
        return {};
    return QColor(u'#' + hex);
}

Border parseBorder(pugi::xml_node b)
{
    Border out;
    const QString val = attr(b, "val");
    if (val.isEmpty() || val == u"nil" || val == u"none")
        return out;
    out.style = val == u"double" ? Border::Double
              : val.startsWith(u"dot")  ? Border::Dotted
              : val.startsWith(u"dash") ? Border::Dashed
              : val.startsWith(u"thick") ? Border::Thick
                                         : Border::Single;
    // w:sz is in eighths of a point; Word draws at least a quarter point.
    const double eighths = std::clamp(number(b, "sz", 4), 2.0, 96.0);
    out.width = eighths / 8.0 * UnitsPerPoint;
    if (out.style == Border::Double)
        out.width *= 3;
    out.space = std::clamp(number(b, "space", 0), 0.0, 31.0) * UnitsPerPoint;
    const QColor c = colour(attr(b, "color"));
    if (c.isValid())
        out.color = c;
    return out;
}

// Border sides in the order the props keep them; "start"/"end" are the
// names of left and right in newer files.
void readBorders(pugi::xml_node box, std::array<std::optional<Border>, 6>& out)
{
    static const char* const names[6][2] = { {"top", "top"}, {"left", "start"}, {"bottom", "bottom"},
                                             {"right", "end"}, {"insideH", "insideH"}, {"insideV", "insideV"} };
    for (int i = 0; i < 6; ++i) {
        pugi::xml_node b = child(box, names[i][0]);
        if (!b)
            b = child(box, names[i][1]);
        if (b)
            out[size_t(i)] = parseBorder(b);
    }
}

QColor shadingFill(pugi::xml_node shd)
{
    if (!shd)
        return {};
    const QColor fill = colour(attr(shd, "fill"));
    if (fill.isValid() && fill != Qt::white)
        return fill;
    // A solid pattern shows its colour instead of the fill.
    if (attr(shd, "val") == u"solid") {
        const QColor c = colour(attr(shd, "color"));
        return c.isValid() ? c : QColor(Qt::black);
    }
    return {};
}

void readMargins(pugi::xml_node mar, QMarginsF& m)
{
    auto side = [&](const char* a, const char* b, double fallback) {
        pugi::xml_node n = child(mar, a);
        if (!n)
            n = child(mar, b);
        if (!n || (attr(n, "type") != u"dxa" && !attr(n, "type").isEmpty()))
            return fallback;
        return std::clamp(number(n, "w", fallback / UnitsPerTwip), 0.0, 3000.0) * UnitsPerTwip;
    };
    m = QMarginsF(side("left", "start", m.left()), side("top", "top", m.top()),
                  side("right", "end", m.right()), side("bottom", "bottom", m.bottom()));
}

void applyParagraph(pugi::xml_node pPr, ParagraphProps& p)
{
    if (!pPr)
        return;
    for (pugi::xml_node c = pPr.first_child(); c; c = c.next_sibling()) {
        if (c.type() != pugi::node_element)
            continue;
        const char* l = localName(c.name());
        if (std::strcmp(l, "keepNext") == 0)
            p.keepNext = onOff(c);
        else if (std::strcmp(l, "keepLines") == 0)
            p.keepLines = onOff(c);
        else if (std::strcmp(l, "widowControl") == 0)
            p.widowControl = onOff(c);
        else if (std::strcmp(l, "contextualSpacing") == 0)
            p.contextualSpacing = onOff(c);
        else if (std::strcmp(l, "framePr") == 0)
            p.hasFrame = true;
        else if (std::strcmp(l, "pStyle") == 0)
            p.style = attr(c, "val");
        else if (std::strcmp(l, "shd") == 0)
            p.shading = shadingFill(c);
        else if (std::strcmp(l, "pBdr") == 0) {
            static const char* const sides[5] = {"top", "left", "bottom", "right", "between"};
            for (int i = 0; i < 5; ++i) {
                pugi::xml_node b = child(c, sides[i]);
                if (!b && i == 1)
                    b = child(c, "start");
                if (!b && i == 3)
                    b = child(c, "end");
                if (b)
                    p.borders[size_t(i)] = parseBorder(b);
            }
        }
    }
}

void applyTable(pugi::xml_node tblPr, TableProps& t)
{
    if (!tblPr)
        return;
    if (pugi::xml_node s = child(tblPr, "tblStyle"))
        t.style = attr(s, "val");
    if (pugi::xml_node w = child(tblPr, "tblW")) {
        const QString type = attr(w, "type");
        const double v = number(w, "w", 0);
        if (type == u"dxa" && v > 0)
            t.width = v * UnitsPerTwip;
        else if (type == u"pct" && v > 0)
            t.widthPct = attr(w, "w").endsWith(u'%') ? attr(w, "w").chopped(1).toDouble() / 100 : v / 5000;
    }
    if (pugi::xml_node ind = child(tblPr, "tblInd"))
        t.indent = std::clamp(number(ind, "w", 0), -15000.0, 15000.0) * UnitsPerTwip;
    if (pugi::xml_node jc = child(tblPr, "jc")) {
        const QString v = attr(jc, "val");
        t.align = v == u"center" ? Qt::AlignHCenter : (v == u"right" || v == u"end") ? Qt::AlignRight : Qt::AlignLeft;
    }
    if (pugi::xml_node b = child(tblPr, "tblBorders"))
        readBorders(b, t.borders);
    if (pugi::xml_node m = child(tblPr, "tblCellMar"))
        readMargins(m, t.cellMargins);
    if (pugi::xml_node s = child(tblPr, "shd"))
        t.shading = shadingFill(s);
}

double twips(pugi::xml_node n, const char* a, double fallbackUnits)
{
    bool ok = false;
    const double v = attr(n, a).toDouble(&ok);
    return ok ? v * UnitsPerTwip : fallbackUnits;
}

bool sanePage(const QSizeF& page, const QMarginsF& m)
{
    constexpr double Min = 72 * UnitsPerPoint;          // an inch
    constexpr double Max = 22 * 96.0;                   // Word's 22 inches
    if (!(page.width() >= Min && page.width() <= Max && page.height() >= Min && page.height() <= Max))
        return false;
    return m.left() + m.right() <= page.width() - Min / 2 && m.top() + m.bottom() <= page.height() - Min / 2;
}

} // namespace

// The uncached readers behind parseCell and parseRow.
CellProps parseCellXml(const QString& tcPrXml);
RowProps parseRowXml(const QString& rowOpenXml);

namespace {

NoteNumbering readNoteNumbering(pugi::xml_node pr, NoteNumbering n);

// Equal columns share the text's width less the space between them; columns
// of their own widths take them as written. Columns that cannot hold text
// (too many, too narrow, wider together than the text) make one column.
std::vector<std::pair<double, double>> parseColumns(pugi::xml_node cols, double textWidth, bool* lines)
{
    std::vector<std::pair<double, double>> out;
    *lines = onOff(child(cols, "sep")) || (attr(cols, "sep") == u"1" || attr(cols, "sep") == u"true" || attr(cols, "sep") == u"on");
    constexpr double MinColumn = 24;   // about 6 mm
    const QString eq = attr(cols, "equalWidth");
    const bool own = eq == u"0" || eq == u"false" || eq == u"off";
    if (own) {
        double x = 0;
        for (pugi::xml_node c = cols.first_child(); c; c = c.next_sibling()) {
            if (!isNamed(c, "col"))
                continue;
            const double w = twips(c, "w", 0);
            if (!(w >= MinColumn) || out.size() >= 45)
                return {};
            out.emplace_back(x, w);
            x += w + std::max(0.0, twips(c, "space", 0));
        }
        if (out.size() > 1 && out.back().first + out.back().second <= textWidth * 1.02 + 1)
            return out;
        out.clear();
        if (!child(cols, "col"))
            return out;
    }
    bool ok = false;
    const int n = attr(cols, "num").toInt(&ok);
    if (!ok || n < 2 || n > 45)
        return out;
    const double space = std::clamp(twips(cols, "space", 720 * UnitsPerTwip), 0.0, textWidth);
    const double w = (textWidth - (n - 1) * space) / n;
    if (!(w >= MinColumn))
        return out;
    for (int i = 0; i < n; ++i)
        out.emplace_back(i * (w + space), w);
    return out;
}

} // namespace

SectionProps parseSection(const QString& xml)
{
    SectionProps s;
    // The body's tail is not a whole document: take its last sectPr alone.
    static const QRegularExpression open(QStringLiteral("<([\\w.-]+:)?sectPr\\b"));
    const qsizetype at = xml.lastIndexOf(open);
    if (at < 0)
        return s;
    QString piece = xml.mid(at);
    const QRegularExpressionMatch m = open.match(piece);
    const QString close = QStringLiteral("</") + m.captured(1) + QStringLiteral("sectPr>");
    const qsizetype end = piece.indexOf(close);
    if (end >= 0)
        piece.truncate(end + close.size());
    pugi::xml_document doc;
    if (!parse(doc, QStringLiteral("<x>") + piece + QStringLiteral("</x>")))
        return s;
    pugi::xml_node sect;
    struct Last : pugi::xml_tree_walker {
        pugi::xml_node* out;
        bool for_each(pugi::xml_node& n) override
        {
            if (isNamed(n, "sectPr"))
                *out = n;
            return true;
        }
    } walker;
    walker.out = &sect;
    doc.traverse(walker);
    if (!sect)
        return s;
    const SectionProps defaults;
    if (pugi::xml_node sz = child(sect, "pgSz")) {
        s.page = QSizeF(twips(sz, "w", s.page.width()), twips(sz, "h", s.page.height()));
        // A landscape page whose sizes were written the other way round.
        if (attr(sz, "orient") == u"landscape" && s.page.width() < s.page.height())
            s.page.transpose();
    }
    if (pugi::xml_node mar = child(sect, "pgMar")) {
        // A negative top or bottom margin is kept even under a taller header: only its size counts.
        s.margins = QMarginsF(twips(mar, "left", s.margins.left()), std::abs(twips(mar, "top", s.margins.top())),
                              twips(mar, "right", s.margins.right()), std::abs(twips(mar, "bottom", s.margins.bottom())));
        s.margins.setLeft(s.margins.left() + std::max(0.0, twips(mar, "gutter", 0)));
        s.headerDistance = std::clamp(twips(mar, "header", s.headerDistance), 0.0, s.page.height() / 2);
        s.footerDistance = std::clamp(twips(mar, "footer", s.footerDistance), 0.0, s.page.height() / 2);
    }
    if (!sanePage(s.page, s.margins)) {
        const QSizeF page = sanePage(s.page, defaults.margins) ? s.page : defaults.page;
        s.page = page;
        s.margins = defaults.margins;
        s.headerDistance = defaults.headerDistance;
        s.footerDistance = defaults.footerDistance;
        s.fallback = true;
    }
    if (pugi::xml_node t = child(sect, "type")) {
        const QString v = attr(t, "val");
        s.start = v == u"continuous" ? SectionProps::Continuous
                : v == u"oddPage"    ? SectionProps::OddPage
                : v == u"evenPage"   ? SectionProps::EvenPage
                : v == u"nextColumn" ? SectionProps::NextColumn
                                     : SectionProps::NextPage;
    }
    if (pugi::xml_node cols = child(sect, "cols"))
        s.columns = parseColumns(cols, s.textWidth(), &s.columnLines);
    if (pugi::xml_node notes = child(sect, "footnotePr"))
        s.notes = readNoteNumbering(notes, NoteNumbering());
    s.titlePage = onOff(child(sect, "titlePg"));
    if (pugi::xml_node n = child(sect, "pgNumType")) {
        bool ok = false;
        const int start = attr(n, "start").toInt(&ok);
        if (ok && start >= 0)
            s.pageNumberStart = start;
    }
    for (pugi::xml_node c = sect.first_child(); c; c = c.next_sibling()) {
        const bool header = isNamed(c, "headerReference");
        if (!header && !isNamed(c, "footerReference"))
            continue;
        const QString type = attr(c, "type");
        const size_t slot = type == u"first" ? 1 : type == u"even" ? 2 : 0;
        (header ? s.headers : s.footers)[slot] = attr(c, "id");
    }
    return s;
}

CellProps parseCell(const QString& tcPrXml)
{
    // Tables repeat the same few cell properties; the layout runs on one thread.
    static QHash<QString, CellProps> cache;
    if (const auto hit = cache.constFind(tcPrXml); hit != cache.constEnd())
        return *hit;
    if (cache.size() > 4096)
        cache.clear();
    CellProps c = parseCellXml(tcPrXml);
    cache.insert(tcPrXml, c);
    return c;
}

CellProps parseCellXml(const QString& tcPrXml)
{
    CellProps c;
    pugi::xml_document doc;
    if (tcPrXml.isEmpty() || !parse(doc, tcPrXml))
        return c;
    const pugi::xml_node tcPr = doc.first_child();
    if (pugi::xml_node w = child(tcPr, "tcW")) {
        if (attr(w, "type") == u"dxa" || attr(w, "type").isEmpty())
            c.width = std::clamp(number(w, "w", -1), -1.0, 31680.0) * UnitsPerTwip;
        if (c.width <= 0)
            c.width = -1;
    }
    if (pugi::xml_node s = child(tcPr, "gridSpan"))
        c.gridSpan = std::clamp(int(number(s, "val", 1)), 1, 64);
    if (pugi::xml_node m = child(tcPr, "vMerge"))
        c.vMerge = attr(m, "val") == u"restart" ? CellProps::Restart : CellProps::Continue;
    if (pugi::xml_node b = child(tcPr, "tcBorders"))
        readBorders(b, c.borders);
    c.shading = shadingFill(child(tcPr, "shd"));
    if (pugi::xml_node m = child(tcPr, "tcMar")) {
        QMarginsF margins(-1, -1, -1, -1);
        readMargins(m, margins);
        c.margins = margins;
    }
    if (pugi::xml_node v = child(tcPr, "vAlign")) {
        const QString a = attr(v, "val");
        c.vAlign = a == u"center" ? CellProps::Center : a == u"bottom" ? CellProps::Bottom : CellProps::Top;
    }
    return c;
}

RowProps parseRow(const QString& rowOpenXml)
{
    static QHash<QString, RowProps> cache;
    if (const auto hit = cache.constFind(rowOpenXml); hit != cache.constEnd())
        return *hit;
    if (cache.size() > 4096)
        cache.clear();
    RowProps r = parseRowXml(rowOpenXml);
    cache.insert(rowOpenXml, r);
    return r;
}

RowProps parseRowXml(const QString& rowOpenXml)
{
    RowProps r;
    pugi::xml_document doc;
    // The row's opening is an unclosed <w:tr ...> followed by its properties.
    static const QRegularExpression rowTag(QStringLiteral("<([\\w.-]+:)?tr\\b[^>]*>"));
    if (!parse(doc, QStringLiteral("<x>") + QString(rowOpenXml).replace(rowTag, QString()) + QStringLiteral("</x>")))
        return r;
    const pugi::xml_node trPr = find(doc, "trPr");
    if (!trPr)
        return r;
    if (pugi::xml_node h = child(trPr, "trHeight")) {
        r.height = std::clamp(number(h, "val", 0), 0.0, 31680.0) * UnitsPerTwip;
        r.exactHeight = attr(h, "hRule") == u"exact";
    }
    r.header = onOff(child(trPr, "tblHeader"));
    r.cantSplit = onOff(child(trPr, "cantSplit"));
    return r;
}

namespace {

NoteNumbering readNoteNumbering(pugi::xml_node pr, NoteNumbering n)
{
    if (pugi::xml_node restart = child(pr, "numRestart")) {
        const QString v = attr(restart, "val");
        n.restart = v == u"eachPage" ? NoteNumbering::EachPage : v == u"eachSect" ? NoteNumbering::EachSection : NoteNumbering::Continuous;
    }
    if (pugi::xml_node start = child(pr, "numStart")) {
        bool ok = false;
        const int v = attr(start, "val").toInt(&ok);
        if (ok && v >= 0 && v < 100000)
            n.start = v;
    }
    if (pugi::xml_node fmt = child(pr, "numFmt"); fmt && !attr(fmt, "val").isEmpty())
        n.format = attr(fmt, "val");
    return n;
}

} // namespace

QString NoteNumbering::label(int n) const
{
    if (n <= 0 && format != u"decimal")
        return QString::number(n);
    auto roman = [](int v) {
        static const std::pair<int, const char*> parts[] = {{1000, "m"}, {900, "cm"}, {500, "d"}, {400, "cd"}, {100, "c"}, {90, "xc"},
                                                            {50, "l"}, {40, "xl"}, {10, "x"}, {9, "ix"}, {5, "v"}, {4, "iv"}, {1, "i"}};
        QString out;
        for (const auto& [value, text] : parts)
            for (; v >= value && out.size() < 40; v -= value)
                out += QLatin1String(text);
        return out;
    };
    // Letters and marks repeat: a..z, aa..zz; *, †, ‡, §, **, ...
    auto repeated = [](int v, const QString& set) {
        const int k = int(set.size());
        return QString(std::min(1 + (v - 1) / k, 20), set.at((v - 1) % k));
    };
    if (format == u"lowerRoman")
        return roman(n);
    if (format == u"upperRoman")
        return roman(n).toUpper();
    if (format == u"lowerLetter")
        return repeated(n, QStringLiteral("abcdefghijklmnopqrstuvwxyz"));
    if (format == u"upperLetter")
        return repeated(n, QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ"));
    if (format == u"chicago")
        return repeated(n, QStringLiteral("*\u2020\u2021\u00A7"));
    return QString::number(n);
}

NoteNumbering footnoteNumbering(const QByteArray& settingsXml)
{
    pugi::xml_document doc;
    if (!doc.load_buffer(settingsXml.constData(), size_t(settingsXml.size())))
        return {};
    return readNoteNumbering(child(doc.document_element(), "footnotePr"), NoteNumbering());
}

NoteNumbering endnoteNumbering(const QByteArray& settingsXml)
{
    NoteNumbering roman;
    roman.format = QStringLiteral("lowerRoman");
    pugi::xml_document doc;
    if (!doc.load_buffer(settingsXml.constData(), size_t(settingsXml.size())))
        return roman;
    return readNoteNumbering(child(doc.document_element(), "endnotePr"), roman);
}

bool evenAndOddHeaders(const QByteArray& settingsXml)
{
    pugi::xml_document doc;
    if (!doc.load_buffer(settingsXml.constData(), size_t(settingsXml.size())))
        return false;
    return onOff(child(doc.document_element(), "evenAndOddHeaders"));
}

void StyleProps::read(const QByteArray& stylesXml)
{
    pugi::xml_document doc;
    if (!doc.load_buffer(stylesXml.constData(), size_t(stylesXml.size())))
        return;
    const pugi::xml_node root = doc.document_element();
    auto xmlOf = [](pugi::xml_node n) {
        if (!n)
            return QString();
        struct Writer : pugi::xml_writer {
            QByteArray out;
            void write(const void* data, size_t size) override { out.append(static_cast<const char*>(data), qsizetype(size)); }
        } w;
        n.print(w, "", pugi::format_raw);
        return QString::fromUtf8(w.out);
    };
    if (pugi::xml_node dd = child(root, "docDefaults"))
        m_defaultPPr = xmlOf(child(child(dd, "pPrDefault"), "pPr"));
    for (pugi::xml_node s = root.first_child(); s; s = s.next_sibling()) {
        if (!isNamed(s, "style"))
            continue;
        Style st;
        st.basedOn = attr(child(s, "basedOn"), "val");
        st.pPr = xmlOf(child(s, "pPr"));
        st.tblPr = xmlOf(child(s, "tblPr"));
        st.tcPr = xmlOf(child(s, "tcPr"));
        if (pugi::xml_node v = child(child(s, "rPr"), "vanish"))
            st.vanish = onOff(v);
        const QString id = attr(s, "styleId");
        if (const QString d = attr(s, "default"); d == u"1" || d == u"true" || d == u"on") {
            if (attr(s, "type") == u"paragraph")
                m_defaultParagraphStyle = id;
            else if (attr(s, "type") == u"table")
                m_defaultTableStyle = id;
        }
        m_styles.insert(id, st);
    }
}

bool StyleProps::hiddenRun(const QString& rPrXml) const
{
    if (rPrXml.isEmpty() || (!rPrXml.contains(u"vanish") && !rPrXml.contains(u"rStyle")))
        return false;
    auto hit = m_hiddenCache.constFind(rPrXml);
    if (hit != m_hiddenCache.constEnd())
        return *hit;
    bool hidden = false;
    pugi::xml_document doc;
    if (parse(doc, rPrXml)) {
        const pugi::xml_node rPr = doc.first_child();
        if (pugi::xml_node v = child(rPr, "vanish")) {
            hidden = onOff(v);
        } else {
            QString id = attr(child(rPr, "rStyle"), "val");
            // basedOn chains may loop in damaged files.
            for (int depth = 0; !id.isEmpty() && depth < 20; ++depth) {
                const auto st = m_styles.constFind(id);
                if (st == m_styles.constEnd())
                    break;
                if (st->vanish) {
                    hidden = *st->vanish;
                    break;
                }
                id = st->basedOn;
            }
        }
    }
    m_hiddenCache.insert(rPrXml, hidden);
    return hidden;
}

ParagraphProps StyleProps::paragraph(const QString& pPrXml) const
{
    auto hit = m_cache.constFind(pPrXml);
    if (hit != m_cache.constEnd())
        return *hit;
    ParagraphProps p;
    pugi::xml_document direct;
    const bool hasDirect = !pPrXml.isEmpty() && parse(direct, pPrXml);
    QString styleId = hasDirect ? attr(child(direct.first_child(), "pStyle"), "val") : QString();
    if (styleId.isEmpty())
        styleId = m_defaultParagraphStyle;
    QStringList chain;
    for (QString id = styleId; !id.isEmpty() && chain.size() < 32 && !chain.contains(id); id = m_styles.value(id).basedOn)
        chain.prepend(id);
    pugi::xml_document d;
    if (!m_defaultPPr.isEmpty() && parse(d, m_defaultPPr))
        applyParagraph(d.first_child(), p);
    for (const QString& id : chain) {
        pugi::xml_document s;
        const QString xml = m_styles.value(id).pPr;
        if (!xml.isEmpty() && parse(s, xml))
            applyParagraph(s.first_child(), p);
    }
    if (hasDirect)
        applyParagraph(direct.first_child(), p);
    p.style = styleId;
    return *m_cache.insert(pPrXml, p);
}

TableProps StyleProps::table(const QString& tableOpenXml) const
{
    if (const auto hit = m_tableCache.constFind(tableOpenXml); hit != m_tableCache.constEnd())
        return *hit;
    TableProps t = tableUncached(tableOpenXml);
    m_tableCache.insert(tableOpenXml, t);
    return t;
}

TableProps StyleProps::tableUncached(const QString& tableOpenXml) const
{
    TableProps t;
    pugi::xml_document doc;
    // The table's opening: <w:tbl> (unclosed), tblPr and tblGrid.
    QString body = tableOpenXml;
    static const QRegularExpression tableTag(QStringLiteral("<([\\w.-]+:)?tbl\\b[^>]*>"));
    body.replace(tableTag, QString());
    if (!parse(doc, QStringLiteral("<x>") + body + QStringLiteral("</x>")))
        return t;
    const pugi::xml_node tblPr = find(doc, "tblPr");
    QString styleId = attr(child(tblPr, "tblStyle"), "val");
    if (styleId.isEmpty())
        styleId = m_defaultTableStyle;
    QStringList chain;
    for (QString id = styleId; !id.isEmpty() && chain.size() < 32 && !chain.contains(id); id = m_styles.value(id).basedOn)
        chain.prepend(id);
    for (const QString& id : chain) {
        pugi::xml_document s;
        const QString xml = m_styles.value(id).tblPr;
        if (!xml.isEmpty() && parse(s, xml))
            applyTable(s.first_child(), t);
    }
    applyTable(tblPr, t);
    if (pugi::xml_node grid = find(doc, "tblGrid")) {
        for (pugi::xml_node g = grid.first_child(); g; g = g.next_sibling())
            if (isNamed(g, "gridCol"))
                t.grid.push_back(std::clamp(number(g, "w", 0), 0.0, 31680.0) * UnitsPerTwip);
    }
    return t;
}

} // namespace word::layout
