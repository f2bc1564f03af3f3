#pragma once
// The calendar helper's text: a date in the system's long date format, without
// any time of day.

#include <QDate>
#include <QLocale>
#include <QString>

namespace fields {

class DateFormat {
public:
    static QString longDate(QDate date, const QLocale& locale = QLocale::system());
};

} // namespace fields
