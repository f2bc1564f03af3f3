#include "fields/currencyformat.h"

#include <cmath>

namespace fields {

namespace {

// Beyond this a double no longer holds every whole number, and the amount
// would show digits nobody typed.
constexpr double kLargest = 1e15;

std::optional<double> parse(const QString& text, QLocale locale)
{
    // Grouping is refused so that an amount this helper has already formatted
    // ("1.234.567,-Ft") or one with stray separators is not read as a number.
    locale.setNumberOptions(locale.numberOptions() | QLocale::RejectGroupSeparator);
    bool ok = false;
    const double x = locale.toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(x) || std::fabs(x) >= kLargest)
        return std::nullopt;
    return x;
}

} // namespace

QString CurrencyFormat::grouped(qint64 value)
{
    // The magnitude as unsigned: the most negative value has no positive counterpart.
    const quint64 magnitude = value < 0 ? 0 - quint64(value) : quint64(value);
    QString digits = QString::number(magnitude);
    for (qsizetype i = digits.size() - 3; i > 0; i -= 3)
        digits.insert(i, u'.');
    return value < 0 ? u'-' + digits : digits;
}

std::optional<QString> CurrencyFormat::forint(const QString& text, const QLocale& locale)
{
    const std::optional<double> x = parse(text, locale);
    if (!x)
        return std::nullopt;
    // Half away from zero, as amounts are rounded by hand; a value that rounds
    // to zero shows as 0, never as -0.
    const qint64 whole = static_cast<qint64>(std::llround(*x));
    return grouped(whole) + QStringLiteral(",-Ft");
}

} // namespace fields
