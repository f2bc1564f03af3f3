// The currency and date helpers on arbitrary text and dates.

#include "fields/currencyformat.h"
#include "fields/dateformat.h"
#include "fuzzsupport.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const QLocale locales[] = {QLocale(QLocale::Hungarian, QLocale::Hungary), QLocale::c(),
                                      QLocale(QLocale::English, QLocale::UnitedStates)};
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    for (const QLocale& locale : locales) {
        if (const auto amount = fields::CurrencyFormat::forint(text, locale)) {
            FUZZ_CHECK(amount->endsWith(QStringLiteral(",-Ft")));
            // An amount is never taken for a number a second time.
            FUZZ_CHECK(!fields::CurrencyFormat::forint(*amount, locale).has_value());
        }
    }
    if (size >= 8) {
        qint64 value = 0;
        std::memcpy(&value, data, sizeof value);
        const QString g = fields::CurrencyFormat::grouped(value);
        FUZZ_CHECK(!g.isEmpty());
        const QDate date = QDate::fromJulianDay(value % (1LL << 40));
        for (const QLocale& locale : locales)
            fields::DateFormat::longDate(date, locale);
    }
    return 0;
}
