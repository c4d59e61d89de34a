#pragma once

#include <QDate>
#include <QLineEdit>

class QCalendarWidget;
class QFrame;
class QToolButton;

// A masked date edit for day, month and year in the Russian short form "dd.MM.yyyy".
//
// The text always has ten characters: the two separators stay in place and every digit not
// typed yet is a space. Qt reports the text two ways:
//   displayText()  keeps the blanks: an empty edit reads "  .  .    ", a half-typed one
//                  "01.02.19  ";
//   text()         drops the blanks (as QLineEdit does for every input mask): "..", "01.02.19".
// A complete date reads the same both ways. setText("01.01.1960") sets that date;
// setText(QString()) and clear() blank the edit.
//
// The value is a day number (day 0 is 30 December 1899). The edit holds a date only when all
// eight digits are typed and form a real calendar date with a year from 0001 on; a half-typed
// year, a day without a month, the 31st of February, month 13 or day 00 give day 0, so the
// card filter never filters on a date the user is still typing. Earlier dates give day 1,
// 0 (30 December 1899 itself) or below; whether a day counts as a date is the caller's
// threshold (DayNumber::holdsDate), not the edit's.
//
// A button at the right end drops down a calendar (also Alt+Down or F4); picking a day writes
// it into the edit as typing would, Escape or a click elsewhere leaves the edit as it was.
class DateEdit final : public QLineEdit
{
    Q_OBJECT

public:
    explicit DateEdit(QWidget *parent = nullptr);

    // The day number of the date shown, 0 when the edit holds no date.
    int date() const;
    // The date shown; a null QDate when the edit holds no date.
    QDate qdate() const;

    // Shows the date of that day number; day 0, or a day whose year does not fit four digits,
    // blanks the edit.
    void setDate(int day);

    // The rules above for any text at all: the edit's display text or text, or anything else
    // (wrong length, other characters) which then gives day 0 or a null date.
    static int dayFromText(QStringView text);
    static QDate dateFromText(QStringView text);

public:
    void showCalendar();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void placeCalendarButton();
    void createCalendar();
    void pickDate(QDate date);

    QToolButton *const m_calendarButton;
    // The drop-down is made on first use: most edits of a window are never dropped down.
    QFrame *m_popup = nullptr;
    QCalendarWidget *m_calendar = nullptr;
};
