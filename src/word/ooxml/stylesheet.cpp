#include "word/ooxml/stylesheet.h"

#include "word/opc/xmllimits.h"

#include <QColor>
#include <QTextOption>

namespace word::ooxml {

namespace {

constexpr double kTwipsPerPixel = 15.0;   // 1440 twips per inch, 96 pixels per inch

double twips(const QString& v) { return v.toDouble() / kTwipsPerPixel; }

QColor highlightColor(const QString& name)
{
    static const QHash<QString, QColor> colours = {
        {"yellow", Qt::yellow}, {"green", Qt::green}, {"cyan", Qt::cyan}, {"magenta", Qt::magenta},
        {"blue", Qt::blue}, {"red", Qt::red}, {"darkBlue", Qt::darkBlue}, {"darkCyan", Qt::darkCyan},
        {"darkGreen", Qt::darkGreen}, {"darkMagenta", Qt::darkMagenta}, {"darkRed", Qt::darkRed},
        {"darkYellow", Qt::darkYellow}, {"darkGray", Qt::darkGray}, {"lightGray", Qt::lightGray},
        {"black", Qt::black}, {"white", Qt::white}};
    return colours.value(name);
}

QString fontFamily(const XmlNames& n, pugi::xml_node rFonts)
{
    QString f = XmlNames::attrText(rFonts, "ascii");
    if (f.isEmpty())
        f = XmlNames::attrText(rFonts, "hAnsi");
    if (!f.isEmpty())
        return f;
    const QString theme = XmlNames::attrText(rFonts, "asciiTheme") + XmlNames::attrText(rFonts, "hAnsiTheme");
    if (theme.startsWith(u"minor"))
        return QStringLiteral("Calibri");
    if (theme.startsWith(u"major"))
        return QStringLiteral("Calibri Light");
    return {};
}

void applyUnderline(const QString& v, QTextCharFormat& f)
{
    if (v == u"none") {
        f.setUnderlineStyle(QTextCharFormat::NoUnderline);
        return;
    }
    if (v == u"dotted")
        f.setUnderlineStyle(QTextCharFormat::DotLine);
    else if (v == u"dash")
        f.setUnderlineStyle(QTextCharFormat::DashUnderline);
    else if (v == u"wave")
        f.setUnderlineStyle(QTextCharFormat::WaveUnderline);
    else
        f.setUnderlineStyle(QTextCharFormat::SingleUnderline);
}

Qt::Alignment alignment(const QString& jc)
{
    if (jc == u"center")
        return Qt::AlignHCenter;
    if (jc == u"right" || jc == u"end")
        return Qt::AlignRight;
    if (jc == u"both" || jc == u"distribute")
        return Qt::AlignJustify;
    return Qt::AlignLeft;
}

} // namespace

StyleSheet::StyleSheet()
{
    // Word's own defaults for a document that brings no styles part.
    m_defaults.chars.setFontFamilies({QStringLiteral("Times New Roman")});
    m_defaults.chars.setFontPointSize(10);
}

void StyleSheet::applyRunProperties(const XmlNames& n, pugi::xml_node rPr, QTextCharFormat& f)
{
    for (pugi::xml_node c = rPr.first_child(); c; c = c.next_sibling()) {
        const char* l = n.local(c);
        if (!l)
            continue;
        const QString l8 = QString::fromLatin1(l);
        if (l8 == u"rFonts") {
            const QString fam = fontFamily(n, c);
            if (!fam.isEmpty())
                f.setFontFamilies({fam});
        } else if (l8 == u"b") {
            f.setFontWeight(XmlNames::onOff(c, true) ? QFont::Bold : QFont::Normal);
        } else if (l8 == u"i") {
            f.setFontItalic(XmlNames::onOff(c, true));
        } else if (l8 == u"strike" || l8 == u"dstrike") {
            f.setFontStrikeOut(XmlNames::onOff(c, true));
        } else if (l8 == u"caps") {
            f.setFontCapitalization(XmlNames::onOff(c, true) ? QFont::AllUppercase : QFont::MixedCase);
        } else if (l8 == u"smallCaps") {
            f.setFontCapitalization(XmlNames::onOff(c, true) ? QFont::SmallCaps : QFont::MixedCase);
        } else if (l8 == u"sz") {
            const double hp = XmlNames::attrText(c, "val").toDouble();
            if (hp > 0)
                f.setFontPointSize(hp / 2.0);
        } else if (l8 == u"u") {
            applyUnderline(XmlNames::attrText(c, "val"), f);
        } else if (l8 == u"color") {
            const QString v = XmlNames::attrText(c, "val");
            if (v.size() == 6)
                f.setForeground(QColor(u'#' + v));
        } else if (l8 == u"highlight") {
            const QColor col = highlightColor(XmlNames::attrText(c, "val"));
            if (col.isValid())
                f.setBackground(col);
            else
                f.clearBackground();
        } else if (l8 == u"shd") {
            const QString fill = XmlNames::attrText(c, "fill");
            if (fill.size() == 6)
                f.setBackground(QColor(u'#' + fill));
        } else if (l8 == u"vertAlign") {
            const QString v = XmlNames::attrText(c, "val");
            f.setVerticalAlignment(v == u"superscript" ? QTextCharFormat::AlignSuperScript
                                   : v == u"subscript" ? QTextCharFormat::AlignSubScript
                                                       : QTextCharFormat::AlignNormal);
        }
    }
}

void StyleSheet::applyParagraphProperties(const XmlNames& n, pugi::xml_node pPr, QTextBlockFormat& f)
{
    for (pugi::xml_node c = pPr.first_child(); c; c = c.next_sibling()) {
        const char* l = n.local(c);
        if (!l)
            continue;
        const QString l8 = QString::fromLatin1(l);
        if (l8 == u"jc") {
            f.setAlignment(alignment(XmlNames::attrText(c, "val")));
        } else if (l8 == u"ind") {
            QString left = XmlNames::attrText(c, "left");
            if (left.isEmpty())
                left = XmlNames::attrText(c, "start");
            QString right = XmlNames::attrText(c, "right");
            if (right.isEmpty())
                right = XmlNames::attrText(c, "end");
            if (!left.isEmpty())
                f.setLeftMargin(twips(left));
            if (!right.isEmpty())
                f.setRightMargin(twips(right));
            const QString first = XmlNames::attrText(c, "firstLine");
            const QString hanging = XmlNames::attrText(c, "hanging");
            if (!first.isEmpty())
                f.setTextIndent(twips(first));
            if (!hanging.isEmpty())
                f.setTextIndent(-twips(hanging));
        } else if (l8 == u"spacing") {
            const QString before = XmlNames::attrText(c, "before");
            const QString after = XmlNames::attrText(c, "after");
            const QString line = XmlNames::attrText(c, "line");
            const QString rule = XmlNames::attrText(c, "lineRule");
            if (!before.isEmpty())
                f.setTopMargin(twips(before));
            if (!after.isEmpty())
                f.setBottomMargin(twips(after));
            if (!line.isEmpty() && (rule.isEmpty() || rule == u"auto"))
                f.setLineHeight(line.toDouble() / 240.0 * 100.0, QTextBlockFormat::ProportionalHeight);
            else if (!line.isEmpty() && rule == u"exact")
                f.setLineHeight(twips(line), QTextBlockFormat::FixedHeight);
            else if (!line.isEmpty())
                f.setLineHeight(twips(line), QTextBlockFormat::MinimumHeight);
        } else if (l8 == u"pageBreakBefore") {
            if (XmlNames::onOff(c, true))
                f.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        } else if (l8 == u"tabs") {
            QList<QTextOption::Tab> tabs;
            for (pugi::xml_node t = c.first_child(); t; t = t.next_sibling()) {
                if (!n.is(t, "tab") || XmlNames::attrText(t, "val") == u"clear")
                    continue;
                const QString v = XmlNames::attrText(t, "val");
                const auto type = v == u"right" || v == u"end" ? QTextOption::RightTab
                                  : v == u"center"              ? QTextOption::CenterTab
                                  : v == u"decimal"             ? QTextOption::DelimiterTab
                                                                : QTextOption::LeftTab;
                tabs.append(QTextOption::Tab(twips(XmlNames::attrText(t, "pos")), type));
            }
            if (!tabs.isEmpty())
                f.setTabPositions(tabs);
        }
    }
}

void StyleSheet::read(const QByteArray& stylesXml, const QString& partName)
{
    opc::parseXml(stylesXml, m_doc, partName);
    const pugi::xml_node root = m_doc.document_element();
    m_names.init(root);
    m_cache.clear();
    if (pugi::xml_node dd = m_names.child(root, "docDefaults")) {
        StyleSheet::applyRunProperties(m_names, m_names.child(m_names.child(dd, "rPrDefault"), "rPr"), m_defaults.chars);
        StyleSheet::applyParagraphProperties(m_names, m_names.child(m_names.child(dd, "pPrDefault"), "pPr"), m_defaults.block);
    }
    for (pugi::xml_node s = root.first_child(); s; s = s.next_sibling()) {
        if (!m_names.is(s, "style"))
            continue;
        Style st;
        st.type = XmlNames::attrText(s, "type");
        st.basedOn = m_names.childVal(s, "basedOn");
        st.pPr = m_names.child(s, "pPr");
        st.rPr = m_names.child(s, "rPr");
        const QString id = XmlNames::attrText(s, "styleId");
        const QString def = XmlNames::attrText(s, "default");
        if (st.type == u"paragraph" && (def == u"1" || def == u"true" || def == u"on"))
            m_defaultParagraph = id;
        m_styles.insert(id, st);
    }
}

const StyleSheet::Look& StyleSheet::resolved(const QString& styleId, int depth) const
{
    auto hit = m_cache.constFind(styleId);
    if (hit != m_cache.constEnd())
        return *hit;
    Look look = m_defaults;
    const auto it = m_styles.constFind(styleId);
    if (it != m_styles.constEnd() && depth < 32) {
        if (!it->basedOn.isEmpty() && it->basedOn != styleId)
            look = resolved(it->basedOn, depth + 1);
        applyParagraphProperties(m_names, it->pPr, look.block);
        applyRunProperties(m_names, it->rPr, look.chars);
    }
    return *m_cache.insert(styleId, look);
}

void StyleSheet::paragraphLook(const QString& styleId, QTextBlockFormat& block, QTextCharFormat& chars) const
{
    const Look& l = resolved(styleId.isEmpty() ? m_defaultParagraph : styleId, 0);
    block = l.block;
    chars = l.chars;
}

void StyleSheet::characterStyle(const QString& styleId, QTextCharFormat& chars) const
{
    QStringList chain;
    for (QString id = styleId; !id.isEmpty() && chain.size() < 32 && !chain.contains(id);) {
        chain.prepend(id);
        const auto it = m_styles.constFind(id);
        id = it == m_styles.constEnd() ? QString() : it->basedOn;
    }
    for (const QString& id : chain)
        applyRunProperties(m_names, m_styles.value(id).rPr, chars);
}

QString StyleSheet::styleNumId(const QString& styleId, int* ilvl) const
{
    QString id = styleId.isEmpty() ? m_defaultParagraph : styleId;
    for (int depth = 0; depth < 32 && !id.isEmpty(); ++depth) {
        const auto it = m_styles.constFind(id);
        if (it == m_styles.constEnd())
            return {};
        const pugi::xml_node numPr = m_names.child(it->pPr, "numPr");
        if (numPr) {
            const QString lvl = m_names.childVal(numPr, "ilvl");
            *ilvl = lvl.isEmpty() ? 0 : lvl.toInt();
            return m_names.childVal(numPr, "numId");
        }
        id = it->basedOn;
    }
    return {};
}

} // namespace word::ooxml
