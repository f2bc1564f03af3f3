#include "word/view/pagesetup.h"

#include "word/document.h"
#include "word/model/docmodel.h"

#include <QRegularExpression>

namespace word::view {

namespace {

constexpr double PointsPerTwip = 1.0 / 20.0;

// The attributes of the first element of that local name, by local name; the
// namespace prefix is whatever the writer chose.
QHash<QString, QString> elementAttributes(const QString& xml, const QString& element)
{
    QHash<QString, QString> out;
    const QRegularExpression tag(QStringLiteral("<(?:[\\w.-]+:)?%1\\b([^>]*)>").arg(element));
    const QRegularExpressionMatch m = tag.match(xml);
    if (!m.hasMatch())
        return out;
    static const QRegularExpression attr(QStringLiteral("(?:[\\w.-]+:)?(\\w+)\\s*=\\s*\"([^\"]*)\""));
    auto it = attr.globalMatch(m.captured(1));
    while (it.hasNext()) {
        const QRegularExpressionMatch a = it.next();
        out.insert(a.captured(1), a.captured(2));
    }
    return out;
}

// A twips value when present and sensible (up to 22 inches), else fallback.
// A negative top or bottom margin is the same distance, kept even when a
// header is taller, so only its size counts here.
double twipsToPoints(const QHash<QString, QString>& attrs, const char* name, double fallback,
                     bool signedDistance = false)
{
    bool ok = false;
    double twips = attrs.value(QLatin1String(name)).toDouble(&ok);
    if (ok && signedDistance)
        twips = std::abs(twips);
    if (!ok || twips < 0 || twips > 31680)
        return fallback;
    return twips * PointsPerTwip;
}

} // namespace

PageSetup pageSetupFromXml(const QByteArray& sectPrXml)
{
    PageSetup page;
    const QString xml = QString::fromUtf8(sectPrXml);
    static const QRegularExpression sectPr(QStringLiteral("<(?:[\\w.-]+:)?sectPr\\b"));
    const int sect = int(xml.lastIndexOf(sectPr));
    if (sect < 0)
        return page;
    const QString last = xml.mid(sect);
    const auto size = elementAttributes(last, QStringLiteral("pgSz"));
    page.paper.setWidth(twipsToPoints(size, "w", page.paper.width()));
    page.paper.setHeight(twipsToPoints(size, "h", page.paper.height()));
    const auto mar = elementAttributes(last, QStringLiteral("pgMar"));
    page.margins.setTop(twipsToPoints(mar, "top", page.margins.top(), true));
    page.margins.setBottom(twipsToPoints(mar, "bottom", page.margins.bottom(), true));
    page.margins.setLeft(twipsToPoints(mar, "left", page.margins.left()));
    page.margins.setRight(twipsToPoints(mar, "right", page.margins.right()));
    // Margins that leave no room for text are not honoured.
    if (page.margins.left() + page.margins.right() > page.paper.width() - 36
        || page.margins.top() + page.margins.bottom() > page.paper.height() - 36)
        page.margins = PageSetup().margins;
    return page;
}

PageSetup pageSetupOf(const word::Document& doc)
{
    return pageSetupFromXml(doc.model().preserved().tail);
}

} // namespace word::view
