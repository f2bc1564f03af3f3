#include "fields/dateformat.h"

namespace fields {

QString DateFormat::longDate(QDate date, const QLocale& locale)
{
    // The locale's long format is a date format; formatting a QDate (not a
    // QDateTime) guarantees no time part even if a locale's pattern had one.
    return locale.toString(date, QLocale::LongFormat);
}

} // namespace fields
