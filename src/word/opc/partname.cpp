#include "word/opc/partname.h"

#include <QRegularExpression>
#include <QStringList>

namespace word::opc::partname {

namespace {

QString percentDecoded(const QString& s)
{
    if (!s.contains(u'%'))
        return s;
    return QString::fromUtf8(QByteArray::fromPercentEncoding(s.toUtf8()));
}

bool hasControlCharacter(const QString& s)
{
    for (QChar c : s) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            return true;
    }
    return false;
}

QString rawProblem(const QString& name)
{
    if (name.isEmpty())
        return QStringLiteral("üres név");
    if (hasControlCharacter(name))
        return QStringLiteral("vezérlőkaraktert tartalmaz");
    if (name.contains(u'\\'))
        return QStringLiteral("fordított perjelet tartalmaz");
    if (name.startsWith(u'/'))
        return QStringLiteral("abszolút útvonal");
    static const QRegularExpression drive(QStringLiteral("^[A-Za-z]:"));
    if (drive.match(name).hasMatch())
        return QStringLiteral("meghajtóbetűjellel kezdődik");
    if (name.split(u'/').contains(QStringLiteral("..")))
        return QStringLiteral("kilép a csomagból („..”)");
    return {};
}

} // namespace

QString entryProblem(const QString& entryName)
{
    const QString raw = rawProblem(entryName);
    if (!raw.isEmpty())
        return raw;
    // An encoded "..", "/" or "\" must not sneak past the checks above.
    const QString decoded = percentDecoded(entryName);
    return decoded == entryName ? QString() : rawProblem(decoded);
}

QString key(const QString& name)
{
    const QStringList segments = percentDecoded(name).split(u'/');
    QStringList kept;
    kept.reserve(segments.size());
    for (const QString& s : segments) {
        if (!s.isEmpty() && s != u".")
            kept.append(s);
    }
    return kept.join(u'/').normalized(QString::NormalizationForm_C).toCaseFolded();
}

QString directoryOf(const QString& partName)
{
    const qsizetype slash = partName.lastIndexOf(u'/');
    return slash < 0 ? QString() : partName.left(slash + 1);
}

QString relationshipsPartOf(const QString& sourcePart)
{
    QString source = sourcePart;
    if (source.startsWith(u'/'))
        source.remove(0, 1);
    if (source.isEmpty())
        return QStringLiteral("_rels/.rels");
    const QString dir = directoryOf(source);
    return dir + QStringLiteral("_rels/") + source.mid(dir.size()) + QStringLiteral(".rels");
}

bool isExternalTarget(const QString& target)
{
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
    return scheme.match(target).hasMatch();
}

QString resolve(const QString& sourcePart, const QString& target)
{
    QString t = target.trimmed();
    const qsizetype cut = t.indexOf(QRegularExpression(QStringLiteral("[#?]")));
    if (cut >= 0)
        t.truncate(cut);
    if (t.isEmpty() || isExternalTarget(t))
        return {};
    t = percentDecoded(t);
    const QString joined = t.startsWith(u'/') ? t : directoryOf(sourcePart.startsWith(u'/') ? sourcePart.mid(1) : sourcePart) + t;
    QStringList out;
    for (const QString& s : joined.split(u'/')) {
        if (s.isEmpty() || s == u".")
            continue;
        if (s == u"..") {
            if (out.isEmpty())
                return {};
            out.removeLast();
            continue;
        }
        out.append(s);
    }
    return out.join(u'/');
}

} // namespace word::opc::partname
