#include "word/layout/floats.h"

#include "word/layout/props.h"
#include "word/layout/xmlutil.h"

#include <QHash>
#include <QRegularExpression>

namespace word::layout {

using namespace xml;

namespace {

constexpr double EmuPerUnit = 9525.0;    // 914400 EMU per inch, 96 units per inch

double emu(const QString& v)
{
    bool ok = false;
    const double e = v.toDouble(&ok);
    return ok ? std::clamp(e / EmuPerUnit, -20000.0, 20000.0) : 0;
}

// A VML style's length ("12pt", "1.5in", "3cm", "40px", a bare number is points... mostly).
double cssLength(const QString& v)
{
    static const QRegularExpression re(QStringLiteral("^\\s*(-?[0-9.]+)\\s*([a-z%]*)"));
    const QRegularExpressionMatch m = re.match(v);
    if (!m.hasMatch())
        return 0;
    const double n = m.captured(1).toDouble();
    const QString u = m.captured(2);
    if (u == u"in")
        return n * 96;
    if (u == u"cm")
        return n * 96 / 2.54;
    if (u == u"mm")
        return n * 96 / 25.4;
    if (u == u"px")
        return n;
    if (u.isEmpty())
        return n / EmuPerUnit > 1 ? n / EmuPerUnit : n * UnitsPerPoint;
    return n * UnitsPerPoint;
}

QHash<QString, QString> cssStyle(const QString& style)
{
    QHash<QString, QString> out;
    for (const QString& part : style.split(u';', Qt::SkipEmptyParts)) {
        const qsizetype colon = part.indexOf(u':');
        if (colon > 0)
            out.insert(part.left(colon).trimmed().toLower(), part.mid(colon + 1).trimmed());
    }
    return out;
}

pugi::xml_node vmlShape(pugi::xml_node root)
{
    for (const char* name : {"shape", "rect", "roundrect", "oval", "group", "line"}) {
        if (pugi::xml_node s = find(root, name))
            if (!attr(s, "style").isEmpty())
                return s;
    }
    return {};
}

double along(const QString& relative, const QRectF& page, const QRectF& margins, double paraTop, bool horizontal)
{
    if (relative == u"page")
        return horizontal ? page.left() : page.top();
    if (relative == u"paragraph" || relative == u"line" || relative == u"text")
        return paraTop;
    if (relative == u"rightMargin" || relative == u"outsideMargin")
        return margins.right();
    if (relative == u"bottomMargin")
        return margins.bottom();
    if (relative == u"leftMargin" || relative == u"insideMargin")
        return page.left();
    if (relative == u"topMargin")
        return page.top();
    return horizontal ? margins.left() : margins.top();    // margin, column, character
}

double extentOf(const QString& relative, const QRectF& page, const QRectF& margins, bool horizontal)
{
    if (relative == u"page")
        return horizontal ? page.width() : page.height();
    if (relative == u"leftMargin" || relative == u"insideMargin")
        return margins.left() - page.left();
    if (relative == u"rightMargin" || relative == u"outsideMargin")
        return page.right() - margins.right();
    if (relative == u"topMargin")
        return margins.top() - page.top();
    if (relative == u"bottomMargin")
        return page.bottom() - margins.bottom();
    return horizontal ? margins.width() : margins.height();
}

double aligned(const QString& align, double origin, double room, double size)
{
    if (align == u"center")
        return origin + (room - size) / 2;
    if (align == u"right" || align == u"bottom" || align == u"outside")
        return origin + room - size;
    return origin;
}

FloatPlacement placeAnchor(pugi::xml_node anchor, const QRectF& page, const QRectF& margins, double paraTop)
{
    FloatPlacement fp;
    const pugi::xml_node extent = child(anchor, "extent");
    const QSizeF size(std::max(1.0, emu(attr(extent, "cx"))), std::max(1.0, emu(attr(extent, "cy"))));
    double x = margins.left(), y = paraTop;
    if (pugi::xml_node h = child(anchor, "positionH")) {
        const QString rel = attr(h, "relativeFrom");
        const double origin = along(rel, page, margins, paraTop, true);
        if (pugi::xml_node off = child(h, "posOffset"))
            x = origin + emu(QString::fromUtf8(off.text().get()));
        else if (pugi::xml_node al = child(h, "align"))
            x = aligned(QString::fromUtf8(al.text().get()), origin, extentOf(rel, page, margins, true), size.width());
    }
    if (pugi::xml_node v = child(anchor, "positionV")) {
        const QString rel = attr(v, "relativeFrom");
        const double origin = along(rel, page, margins, paraTop, false);
        if (pugi::xml_node off = child(v, "posOffset"))
            y = origin + emu(QString::fromUtf8(off.text().get()));
        else if (pugi::xml_node al = child(v, "align"))
            y = aligned(QString::fromUtf8(al.text().get()), origin, extentOf(rel, page, margins, false), size.height());
    }
    fp.rect = QRectF(QPointF(x, y), size);
    fp.behindText = attr(anchor, "behindDoc") == u"1" || attr(anchor, "behindDoc") == u"true";
    fp.distance = QMarginsF(emu(attr(anchor, "distL")), emu(attr(anchor, "distT")), emu(attr(anchor, "distR")),
                            emu(attr(anchor, "distB")));
    if (child(anchor, "wrapSquare") || child(anchor, "wrapTight") || child(anchor, "wrapThrough"))
        fp.wrap = Exclusion::Square;
    else if (child(anchor, "wrapTopAndBottom"))
        fp.wrap = Exclusion::TopBottom;
    return fp;
}

FloatPlacement placeVml(pugi::xml_node shape, const QRectF& page, const QRectF& margins, double paraTop)
{
    FloatPlacement fp;
    const auto css = cssStyle(attr(shape, "style"));
    const QSizeF size(std::max(1.0, cssLength(css.value(QStringLiteral("width")))),
                      std::max(1.0, cssLength(css.value(QStringLiteral("height")))));
    const QString relH = css.value(QStringLiteral("mso-position-horizontal-relative"), QStringLiteral("text"));
    const QString relV = css.value(QStringLiteral("mso-position-vertical-relative"), QStringLiteral("text"));
    const QString hRel = relH == u"text" || relH == u"char" ? QStringLiteral("margin") : relH;
    const QString vRel = relV == u"text" || relV == u"line" ? QStringLiteral("paragraph") : relV;
    double x = along(hRel, page, margins, paraTop, true) + cssLength(css.value(QStringLiteral("margin-left")))
             + cssLength(css.value(QStringLiteral("left")));
    double y = along(vRel, page, margins, paraTop, false) + cssLength(css.value(QStringLiteral("margin-top")))
             + cssLength(css.value(QStringLiteral("top")));
    const QString alH = css.value(QStringLiteral("mso-position-horizontal"));
    if (!alH.isEmpty() && alH != u"absolute")
        x = aligned(alH, along(hRel, page, margins, paraTop, true), extentOf(hRel, page, margins, true), size.width());
    const QString alV = css.value(QStringLiteral("mso-position-vertical"));
    if (!alV.isEmpty() && alV != u"absolute")
        y = aligned(alV, along(vRel, page, margins, paraTop, false), extentOf(vRel, page, margins, false), size.height());
    fp.rect = QRectF(QPointF(x, y), size);
    fp.behindText = css.value(QStringLiteral("z-index")).startsWith(u'-');
    const pugi::xml_node wrap = find(shape, "wrap");
    const QString type = attr(wrap, "type");
    fp.wrap = type == u"square" || type == u"tight" || type == u"through" ? Exclusion::Square
            : type == u"topAndBottom"                                   ? Exclusion::TopBottom
            : wrap                                                      ? Exclusion::None
                                                                        : Exclusion::Square;
    fp.distance = QMarginsF(12, 0, 12, 0);
    return fp;
}

} // namespace

bool isFloating(const QString& objectXml)
{
    if (objectXml.contains(u":anchor"))
        return objectXml.contains(u"<wp:anchor") || QRegularExpression(QStringLiteral("<[\\w]+:anchor[\\s>]")).match(objectXml).hasMatch();
    return objectXml.contains(u"position:absolute");
}

FloatPlacement placeFloat(const QString& objectXml, const QRectF& page, const QRectF& margins, double paraTop)
{
    pugi::xml_document doc;
    if (!parse(doc, objectXml))
        return {};
    if (pugi::xml_node anchor = find(doc, "anchor"))
        return placeAnchor(anchor, page, margins, paraTop);
    if (pugi::xml_node shape = vmlShape(doc))
        return placeVml(shape, page, margins, paraTop);
    return {};
}

QSizeF inlineExtent(const QString& objectXml)
{
    if (objectXml.isEmpty() || isSymbol(objectXml))
        return QSizeF(0, 0);
    pugi::xml_document doc;
    if (!parse(doc, objectXml))
        return QSizeF(0, 0);
    if (pugi::xml_node in = find(doc, "inline")) {
        const pugi::xml_node extent = child(in, "extent");
        return QSizeF(std::clamp(emu(attr(extent, "cx")), 0.0, 2000.0), std::clamp(emu(attr(extent, "cy")), 0.0, 2000.0));
    }
    if (pugi::xml_node shape = vmlShape(doc)) {
        const auto css = cssStyle(attr(shape, "style"));
        return QSizeF(std::clamp(cssLength(css.value(QStringLiteral("width"))), 0.0, 2000.0),
                      std::clamp(cssLength(css.value(QStringLiteral("height"))), 0.0, 2000.0));
    }
    return QSizeF(0, 0);
}

QStringList textBoxParagraphs(const QString& objectXml)
{
    QStringList out;
    if (!objectXml.contains(u"txbxContent"))
        return out;
    pugi::xml_document doc;
    if (!parse(doc, objectXml))
        return out;
    pugi::xml_node content = find(doc, "txbxContent");
    struct Walker : pugi::xml_tree_walker {
        QStringList* out;
        bool for_each(pugi::xml_node& n) override
        {
            if (isNamed(n, "p"))
                out->append(QString());
            else if (isNamed(n, "t") && !out->isEmpty())
                out->last() += QString::fromUtf8(n.text().get());
            else if (isNamed(n, "tab") && !out->isEmpty())
                out->last() += u'\t';
            return true;
        }
    } walker;
    walker.out = &out;
    content.traverse(walker);
    return out;
}

bool isSymbol(const QString& objectXml)
{
    return objectXml.startsWith(u'<') && QRegularExpression(QStringLiteral("^<(\\w+:)?sym\\b")).match(objectXml).hasMatch();
}

QString symbolFont(const QString& objectXml)
{
    pugi::xml_document doc;
    if (!parse(doc, objectXml))
        return {};
    return attr(doc.first_child(), "font");
}

QString symbolText(const QString& objectXml)
{
    pugi::xml_document doc;
    if (!parse(doc, objectXml))
        return QStringLiteral("?");
    bool ok = false;
    uint code = attr(doc.first_child(), "char").toUInt(&ok, 16);
    if (!ok)
        return QStringLiteral("?");
    const QString font = attr(doc.first_child(), "font").toLower();
    if (code >= 0xF000 && code <= 0xF0FF)
        code -= 0xF000;
    if (font.startsWith(u"wingdings")) {
        // The Wingdings characters documents use for check boxes and bullets.
        static const QHash<uint, uint> wingdings = {
            {0x6F, 0x2610}, {0xA8, 0x2610}, {0x71, 0x2751}, {0x78, 0x2612}, {0xFD, 0x2612}, {0xFE, 0x2611},
            {0xFC, 0x2714}, {0xFB, 0x2718}, {0x9F, 0x2022}, {0x6C, 0x25CF}, {0x6E, 0x25A0}, {0xA7, 0x25AA},
            {0xD8, 0x27A2}, {0xE0, 0x27A2}, {0x4A, 0x263A}, {0x2A, 0x2709}, {0x28, 0x260E}, {0x76, 0x2756},
            {0x77, 0x2B25}, {0xA1, 0x25CB}};
        return QString(QChar(char16_t(wingdings.value(code, 0x25A1))));
    }
    if (font == u"symbol") {
        if (code >= 0x41 && code <= 0x5A) {
            static const char16_t upper[] = u"ΑΒΧΔΕΦΓΗΙϑΚΛΜΝΟΠΘΡΣΤΥςΩΞΨΖ";
            return QString(QChar(upper[code - 0x41]));
        }
        if (code >= 0x61 && code <= 0x7A) {
            static const char16_t lower[] = u"αβχδεφγηιϕκλμνοπθρστυϖωξψζ";
            return QString(QChar(lower[code - 0x61]));
        }
        static const QHash<uint, uint> symbol = {{0xB7, 0x2022}, {0xD7, 0x00D7}, {0xB4, 0x00D7}, {0xB3, 0x2265},
                                                 {0xA3, 0x2264}, {0xB1, 0x00B1}, {0xAE, 0x2192}, {0xE3, 0x00A9},
                                                 {0xD2, 0x00AE}, {0xA5, 0x221E}, {0xB9, 0x2260}};
        return QString(QChar(char16_t(symbol.value(code, code))));
    }
    return QString(QChar(char16_t(code)));
}

} // namespace word::layout
