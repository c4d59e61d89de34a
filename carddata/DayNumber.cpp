#include "carddata/DayNumber.h"

namespace DayNumber {

namespace {
// Julian day of 30 December 1899, day 0.
constexpr qint64 JulianDayZero = 2415019;
} // namespace

int fromDate(QDate date)
{
    if (!date.isValid())
        return 0;
    return static_cast<int>(date.toJulianDay() - JulianDayZero);
}

QDate toDate(int day)
{
    return QDate::fromJulianDay(JulianDayZero + day);
}

QString toText(int day)
{
    const QDate date = toDate(day);
    if (!date.isValid())
        return {};
    // Written by hand: this runs for every date cell that is painted or printed.
    const int year = date.year();
    if (year < 0 || year > 9999)
        return date.toString(u"dd.MM.yyyy");
    const char16_t text[10] = {
        char16_t(u'0' + date.day() / 10),
        char16_t(u'0' + date.day() % 10),
        u'.',
        char16_t(u'0' + date.month() / 10),
        char16_t(u'0' + date.month() % 10),
        u'.',
        char16_t(u'0' + year / 1000),
        char16_t(u'0' + year / 100 % 10),
        char16_t(u'0' + year / 10 % 10),
        char16_t(u'0' + year % 10),
    };
    return QStringView(text, 10).toString();
}

} // namespace DayNumber
