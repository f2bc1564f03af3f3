#include "widgets/tcurrencyedit.h"

#include <cmath>

namespace widgets {

namespace {

constexpr QChar kThousands = u'.';
constexpr QChar kDecimal = u',';

bool isDigitPart(QChar c)
{
    return c == u'0' || c == u'#' || c == u',' || c == u'.';
}

struct Section {
    QString prefix;
    QString digits;
    QString suffix;
};

Section splitSection(const QString& sec)
{
    int first = -1;
    for (int i = 0; i < sec.size() && first < 0; ++i) {
        if (sec[i] == u'0' || sec[i] == u'#')
            first = i;
    }
    if (first < 0)
        return {sec, {}, {}};
    int start = first, end = first;
    while (start > 0 && isDigitPart(sec[start - 1]))
        --start;
    while (end < sec.size() && isDigitPart(sec[end]))
        ++end;
    return {sec.left(start), sec.mid(start, end - start), sec.mid(end)};
}

QString groupThousands(const QString& intPart)
{
    QString out;
    for (int i = 0; i < intPart.size(); ++i) {
        if (i > 0 && (intPart.size() - i) % 3 == 0)
            out += kThousands;
        out += intPart[i];
    }
    return out;
}

QString formatDigits(const QString& pattern, double magnitude)
{
    const int point = pattern.indexOf(u'.');
    const QString intPattern = point < 0 ? pattern : pattern.left(point);
    const QString fracPattern = point < 0 ? QString() : pattern.mid(point + 1);
    const int decimals = int(fracPattern.count(u'0') + fracPattern.count(u'#'));
    const QString fixed = QString::number(magnitude, 'f', decimals);
    QString intPart = fixed.section(u'.', 0, 0);
    const QString fracPart = decimals > 0 ? fixed.section(u'.', 1, 1) : QString();
    const int minDigits = int(intPattern.count(u'0'));
    if (intPart == QLatin1String("0") && minDigits == 0)
        intPart.clear();
    while (intPart.size() < minDigits)
        intPart.prepend(u'0');
    if (intPattern.contains(u','))
        intPart = groupThousands(intPart);
    return decimals > 0 ? intPart + kDecimal + fracPart : intPart;
}

} // namespace

TCurrencyEdit::TCurrencyEdit(QWidget* parent) : QLineEdit(parent)
{
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

void TCurrencyEdit::setValue(double v)
{
    m_value = v;
    setText(formatAmount(m_format, v));
}

void TCurrencyEdit::setDisplayFormat(const QString& format)
{
    m_format = format;
    setText(formatAmount(m_format, m_value));
}

QString TCurrencyEdit::formatAmount(const QString& format, double value)
{
    const QStringList sections = format.split(u';');
    const bool negative = value < 0;
    const bool ownNegative = negative && sections.size() > 1 && !sections[1].isEmpty();
    const Section s = splitSection(ownNegative ? sections[1] : sections[0]);
    if (s.digits.isEmpty())
        return s.prefix;
    QString digits = formatDigits(s.digits, std::fabs(value));
    if (negative && !ownNegative)
        digits.prepend(u'-');
    return s.prefix + digits + s.suffix;
}

} // namespace widgets
