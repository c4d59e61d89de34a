// The date edit's value rule over any text at all: DateEdit::dayFromText and dateFromText,
// checked against the calendar written out plainly here.
#include "controls/DateEdit.h"

#include "carddata/DayNumber.h"
#include "fuzz/FuzzInput.h"

#include <QDate>
#include <QString>

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace {

// The proleptic Gregorian calendar, independent of QDate.
bool isLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month)
{
    static constexpr std::array<int, 12> days{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : days[static_cast<size_t>(month - 1)];
}

// Days from 1 January of year 1 to the date.
qint64 daysSinceYearOne(int year, int month, int day)
{
    const qint64 before = year - 1;
    qint64 days = 365 * before + before / 4 - before / 100 + before / 400;
    for (int m = 1; m < month; ++m)
        days += daysInMonth(year, m);
    return days + day - 1;
}

// The card index counts days from 30 December 1899.
qint64 dayNumber(int year, int month, int day)
{
    return daysSinceYearOne(year, month, day) - daysSinceYearOne(1899, 12, 30);
}

struct Ymd
{
    int year = 0;
    int month = 0;
    int day = 0;
};

// The rule: ten characters "dd.MM.yyyy" of ASCII digits naming a real date with a year from 1.
std::optional<Ymd> referenceDate(QStringView text)
{
    if (text.size() != 10)
        return std::nullopt;
    std::array<int, 10> digits{};
    for (size_t i = 0; i < digits.size(); ++i) {
        const char16_t c = text[static_cast<qsizetype>(i)].unicode();
        if (i == 2 || i == 5) {
            if (c != u'.')
                return std::nullopt;
        } else if (c >= u'0' && c <= u'9') {
            digits[i] = c - u'0';
        } else {
            return std::nullopt;
        }
    }
    const Ymd date{digits[6] * 1000 + digits[7] * 100 + digits[8] * 10 + digits[9],
                   digits[3] * 10 + digits[4], digits[0] * 10 + digits[1]};
    if (date.year < 1 || date.month < 1 || date.month > 12 || date.day < 1
        || date.day > daysInMonth(date.year, date.month))
        return std::nullopt;
    return date;
}

QString written(const Ymd &date)
{
    return QStringLiteral("%1.%2.%3")
        .arg(date.day, 2, 10, QChar(u'0'))
        .arg(date.month, 2, 10, QChar(u'0'))
        .arg(date.year, 4, 10, QChar(u'0'));
}

void checkText(QStringView text)
{
    const int day = DateEdit::dayFromText(text);
    const QDate date = DateEdit::dateFromText(text);
    const std::optional<Ymd> expected = referenceDate(text);
    // Built only for a failure message; one pass of arg(), so that a '%' in the text stays put.
    auto context = [&] {
        return QStringLiteral("text %1: day %2, date %3")
            .arg(FuzzInput::shown(text), QString::number(day), date.toString(Qt::ISODate));
    };

    if (!expected) {
        FUZZ_CHECK(day == 0, context());
        FUZZ_CHECK(!date.isValid(), context());
        return;
    }
    const qint64 want = dayNumber(expected->year, expected->month, expected->day);
    FUZZ_CHECK(day == want, QString(context() + QStringLiteral(", want day %1").arg(want)));
    FUZZ_CHECK(date.isValid() && date.year() == expected->year && date.month() == expected->month
                   && date.day() == expected->day,
               context());
    FUZZ_CHECK(DayNumber::fromDate(date) == day, context());
    // The day a date edit yields writes back as the very text that was typed.
    FUZZ_CHECK(DayNumber::toText(day) == text,
               QString(context() + u", written back " + DayNumber::toText(day)));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = FuzzInput::decode(data, size);
    checkText(text);
    // Inside a longer text, as a view that is not the whole string.
    if (text.size() > 10)
        checkText(QStringView(text).sliced(1, 10));

    // A real date made from the first bytes, so that every run also meets the valid path
    // anywhere in years 0001 to 9999.
    if (size >= 4) {
        Ymd date;
        date.year = 1 + ((data[0] << 8) | data[1]) % 9999;
        date.month = 1 + data[2] % 12;
        date.day = 1 + data[3] % daysInMonth(date.year, date.month);
        checkText(written(date));
    }
    return 0;
}
