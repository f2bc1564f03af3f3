#include "word/ooxml/numbering.h"

#include "word/ooxml/xmlnames.h"
#include "word/opc/xmllimits.h"

#include <QTextListFormat>

#include <algorithm>
#include <limits>

namespace word::ooxml {

namespace {

// An indent beyond a page's width is no indent anyone meant (31680 twips = 22 in).
constexpr int kMaxIndentTwips = 31680;

QString roman(int n)
{
    static const std::pair<int, const char*> parts[] = {{1000, "m"}, {900, "cm"}, {500, "d"}, {400, "cd"},
        {100, "c"}, {90, "xc"}, {50, "l"}, {40, "xl"}, {10, "x"}, {9, "ix"}, {5, "v"}, {4, "iv"}, {1, "i"}};
    QString out;
    for (const auto& [value, text] : parts) {
        while (n >= value) {
            out += QLatin1String(text);
            n -= value;
        }
    }
    return out;
}

// a, b, ... z, aa, bb, ...: Word repeats the letter rather than counting in
// base 26. The repetition is capped at the label limit, so a start value of
// two billion costs 64 characters, not eighty million.
QString letters(int n)
{
    if (n <= 0)
        return QString();
    const QChar c(u'a' + (n - 1) % 26);
    return QString(qMin<qsizetype>((n - 1) / 26 + 1, Numbering::kMaxLabelChars), c);
}

// The next count after n; a counter at the top of int stays there.
int advanced(int n)
{
    return n < std::numeric_limits<int>::max() ? n + 1 : n;
}

} // namespace

QString Numbering::formatNumber(int n, const QString& fmt)
{
    if (fmt == u"lowerLetter")
        return letters(n);
    if (fmt == u"upperLetter")
        return letters(n).toUpper();
    if (fmt == u"lowerRoman")
        return n > 0 && n < 4000 ? roman(n) : QString::number(n);
    if (fmt == u"upperRoman")
        return n > 0 && n < 4000 ? roman(n).toUpper() : QString::number(n);
    if (fmt == u"decimalZero")
        return n < 10 ? u'0' + QString::number(n) : QString::number(n);
    if (fmt == u"none" || fmt == u"bullet")
        return QString();
    if (fmt == u"ordinal")
        return QString::number(n) + u'.';
    return QString::number(n);
}

void Numbering::read(const QByteArray& numberingXml, const QString& partName)
{
    pugi::xml_document doc;
    opc::parseXml(numberingXml, doc, partName);
    const pugi::xml_node root = doc.document_element();
    const XmlNames n(root);
    for (pugi::xml_node a = root.first_child(); a; a = a.next_sibling()) {
        if (n.is(a, "abstractNum")) {
            QVector<Level> levels(9);
            for (pugi::xml_node l = a.first_child(); l; l = l.next_sibling()) {
                if (!n.is(l, "lvl"))
                    continue;
                const int ilvl = XmlNames::attrText(l, "ilvl").toInt();
                if (ilvl < 0 || ilvl > 8)
                    continue;
                Level& lv = levels[ilvl];
                const QString start = n.childVal(l, "start");
                if (!start.isEmpty())
                    lv.start = start.toInt();
                const QString fmt = n.childVal(l, "numFmt");
                if (!fmt.isEmpty())
                    lv.numFmt = fmt;
                lv.text = n.childVal(l, "lvlText");
                lv.legal = XmlNames::onOff(n.child(l, "isLgl"), false);
                const pugi::xml_node ind = n.child(n.child(l, "pPr"), "ind");
                const QString left = XmlNames::attrText(ind, "left");
                lv.indent = left.isEmpty() ? -1 : left.toInt();
                const QString hanging = XmlNames::attrText(ind, "hanging");
                const QString firstLine = XmlNames::attrText(ind, "firstLine");
                if (!hanging.isEmpty())
                    lv.firstLine = -std::clamp(hanging.toInt(), 0, kMaxIndentTwips);
                else if (!firstLine.isEmpty())
                    lv.firstLine = std::clamp(firstLine.toInt(), 0, kMaxIndentTwips);
            }
            m_abstract.insert(XmlNames::attrText(a, "abstractNumId"), levels);
        } else if (n.is(a, "num")) {
            Instance inst;
            inst.abstractId = n.childVal(a, "abstractNumId");
            for (pugi::xml_node o = a.first_child(); o; o = o.next_sibling()) {
                if (!n.is(o, "lvlOverride"))
                    continue;
                const QString so = n.childVal(o, "startOverride");
                if (!so.isEmpty())
                    inst.startOverride.insert(XmlNames::attrText(o, "ilvl").toInt(), so.toInt());
            }
            m_instances.insert(XmlNames::attrText(a, "numId"), inst);
        }
    }
}

const Numbering::Level* Numbering::level(const QString& numId, int ilvl) const
{
    const auto inst = m_instances.constFind(numId);
    if (inst == m_instances.constEnd() || ilvl < 0 || ilvl > 8)
        return nullptr;
    const auto abs = m_abstract.constFind(inst->abstractId);
    return abs == m_abstract.constEnd() ? nullptr : &(*abs)[ilvl];
}

int Numbering::levelIndent(const QString& numId, int ilvl) const
{
    const Level* lv = level(numId, ilvl);
    return lv ? lv->indent : -1;
}

std::optional<int> Numbering::levelFirstLine(const QString& numId, int ilvl) const
{
    const Level* lv = level(numId, ilvl);
    return lv ? lv->firstLine : std::nullopt;
}

Numbering::Display Numbering::display(const QString& numId, int ilvl) const
{
    Display d;
    const Level* lv = level(numId, ilvl);
    if (!lv || lv->numFmt == u"none")
        return d;
    if (lv->numFmt == u"bullet") {
        d.style = QTextListFormat::ListDisc;
        return d;
    }
    const QString own = QStringLiteral("%") + QString::number(ilvl + 1);
    const qsizetype at = lv->text.indexOf(own);
    if (at < 0)
        return d;
    d.style = lv->numFmt == u"lowerLetter" ? QTextListFormat::ListLowerAlpha
              : lv->numFmt == u"upperLetter" ? QTextListFormat::ListUpperAlpha
              : lv->numFmt == u"lowerRoman" ? QTextListFormat::ListLowerRoman
              : lv->numFmt == u"upperRoman" ? QTextListFormat::ListUpperRoman
                                             : QTextListFormat::ListDecimal;
    d.prefix = lv->text.left(at);
    d.suffix = lv->text.mid(at + own.size());
    return d;
}

QString Numbering::nextLabel(const QString& numId, int ilvl)
{
    const Level* lv = level(numId, ilvl);
    if (!lv)
        return {};
    const Instance& inst = m_instances[numId];
    const QVector<Level>& levels = m_abstract[inst.abstractId];
    QVector<int>& counters = m_counters[inst.abstractId];
    if (counters.isEmpty())
        counters.fill(0, 9);
    for (int l = 0; l < 9; ++l) {
        if (l == ilvl) {
            const int start = inst.startOverride.value(l, levels[l].start);
            counters[l] = counters[l] == 0 ? start : advanced(counters[l]);
        } else if (l > ilvl) {
            counters[l] = 0;
        } else if (counters[l] == 0) {
            counters[l] = inst.startOverride.value(l, levels[l].start);
        }
    }
    if (lv->numFmt == u"bullet") {
        const QChar c = lv->text.isEmpty() ? QChar(0x2022) : lv->text.at(0);
        // Symbol-font bullets live in the private use area; show a plain bullet for them.
        return c.unicode() >= 0xE000 && c.unicode() <= 0xF8FF ? QString(QChar(0x2022)) : limited(lv->text);
    }
    m_lastOwn = formatNumber(counters[ilvl], lv->legal ? QStringLiteral("decimal") : lv->numFmt);
    return limited(expand(lv->text, levels, counters, ilvl, lv->legal));
}

// The level text with every %1..%9 up to ilvl replaced by that level's
// number. One pass over the text: a number that itself contains "%2" is
// never expanded again, and the output grows with the text only.
QString Numbering::expand(const QString& text, const QVector<Level>& levels, const QVector<int>& counters,
                          int ilvl, bool legal)
{
    QString label;
    for (qsizetype i = 0; i < text.size() && label.size() <= kMaxLabelChars; ++i) {
        const QChar c = text.at(i);
        const int l = i + 1 < text.size() ? text.at(i + 1).digitValue() - 1 : -1;
        if (c != u'%' || l < 0 || l > ilvl) {
            label += c;
            continue;
        }
        const QString fmt = legal ? QStringLiteral("decimal") : levels[l].numFmt;
        label += formatNumber(counters[l], fmt);
        ++i;
    }
    return label;
}

QString Numbering::limited(QString label)
{
    if (label.size() > kMaxLabelChars)
        label.truncate(kMaxLabelChars);
    return label;
}

} // namespace word::ooxml
