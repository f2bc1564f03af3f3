#include "cli/options.h"

namespace cli {

bool takeCount(const QString& option, const QString& text, int& count, QString& error)
{
    bool ok = false;
    const int n = text.toInt(&ok);
    if (ok && (n == 1 || n == 2)) {
        count = n;
        return true;
    }
    error = QStringLiteral("A(z) %1 értéke 1 vagy 2 lehet, nem „%2”.").arg(option, text);
    return false;
}

QString escapeLine(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        switch (c.unicode()) {
        case u'\\': out += QStringLiteral("\\\\"); break;
        case u'\t': out += QStringLiteral("\\t"); break;
        case u'\r':     // paragraph and cell ends, as the engine reports them
        case u'\n':
        case u'\v':     // line break
        case 0x2028:
        case 0x2029: out += QStringLiteral("\\n"); break;
        default: out += c;
        }
    }
    return out;
}

} // namespace cli
