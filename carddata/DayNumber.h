#pragma once

#include <QDate>
#include <QString>

// Dates are whole day numbers: day 0 is 30 December 1899, day 1 the day after.
// An empty date reads as day 0.
namespace DayNumber {

// The threshold below which a date counts as "no date": only days after 31 December 1899 count.
constexpr int FirstCountedDay = 2;

constexpr bool holdsDate(int day)
{
    return day >= FirstCountedDay;
}

int fromDate(QDate date); // an invalid date gives day 0
QDate toDate(int day);

// "dd.MM.yyyy", the way the card table and the report write a date.
QString toText(int day);

} // namespace DayNumber
