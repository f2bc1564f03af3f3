#pragma once
// The forint amount helper: a number typed in the entry box becomes a whole
// forint amount with "." grouping and ",-Ft" after it (1234567 -> 1.234.567,-Ft).

#include <QLocale>
#include <QString>
#include <optional>

namespace fields {

class CurrencyFormat {
public:
    // The amount text for a number written in locale's notation, or nothing
    // when text is no number (empty, letters, an amount already formatted,
    // too large to hold whole forints exactly).
    static std::optional<QString> forint(const QString& text, const QLocale& locale);
    // Groups the digits of a whole number by three with ".".
    static QString grouped(qint64 value);
};

} // namespace fields
