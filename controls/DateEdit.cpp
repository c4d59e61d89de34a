#include "controls/DateEdit.h"

#include "carddata/DayNumber.h"
#include "controls/EditColours.h"

#include <QCalendarWidget>
#include <QFontMetrics>
#include <QFrame>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// '0' is Qt's optional digit: a blank may stand anywhere and typing a space blanks a digit, so
// every character keeps its place and setText(displayText()) gives back the same edit.
const QString Mask = QStringLiteral("00.00.0000; ");
constexpr int TextLength = 10;
// The icon at its drawn size, so it stays crisp; the button is still narrow enough for
// "00.00.0000" to fit an 86-pixel edit in Tahoma 8 pt, and even in the wider fallback face.
constexpr int CalendarButtonWidth = 16;
constexpr int CalendarIconSize = 16;

// Digits at text[from, from + count) as a number; -1 if any of them is not an ASCII digit.
int digitsAt(QStringView text, qsizetype from, qsizetype count)
{
    int value = 0;
    for (qsizetype i = from; i < from + count; ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return -1;
        value = value * 10 + (c - u'0');
    }
    return value;
}

// The drop-down frame. As any popup it closes on Escape or on a press outside it; a press on
// the button that opened it must not then be handed on to the button, or the calendar would
// open again at once.
class CalendarPopup final : public QFrame
{
public:
    CalendarPopup(QWidget *button, QWidget *parent)
        : QFrame(parent, Qt::Popup)
        , m_button(button)
    { }

protected:
    void mousePressEvent(QMouseEvent *event) override
    {
        const QPoint global = event->globalPosition().toPoint();
        const QRect buttonRect(m_button->mapToGlobal(QPoint(0, 0)), m_button->size());
        setAttribute(Qt::WA_NoMouseReplay, buttonRect.contains(global));
        QFrame::mousePressEvent(event);
    }

private:
    QWidget *const m_button;
};

} // namespace

DateEdit::DateEdit(QWidget *parent)
    : QLineEdit(parent)
    , m_calendarButton(new QToolButton(this))
{
    setInputMask(Mask);
    setMaxLength(TextLength);

    useEditColours(this);

    m_calendarButton->setObjectName(QStringLiteral("calendarButton"));
    m_calendarButton->setAutoRaise(true);
    m_calendarButton->setFocusPolicy(Qt::NoFocus);
    m_calendarButton->setCursor(Qt::ArrowCursor);
    m_calendarButton->setToolButtonStyle(Qt::ToolButtonIconOnly);
    m_calendarButton->setToolTip(QStringLiteral("Календарь"));
    m_calendarButton->setIconSize(QSize(CalendarIconSize, CalendarIconSize));
    m_calendarButton->setIcon(QIcon(QStringLiteral(":/icons/calendar.svg")));
    connect(m_calendarButton, &QToolButton::clicked, this, &DateEdit::showCalendar);

    setTextMargins(0, 0, CalendarButtonWidth, 0);
    placeCalendarButton();
}

int DateEdit::date() const
{
    return dayFromText(displayText());
}

QDate DateEdit::qdate() const
{
    return dateFromText(displayText());
}

void DateEdit::setDate(int day)
{
    const QDate shown = day == 0 ? QDate() : DayNumber::toDate(day);
    if (shown.isValid() && shown.year() >= 1 && shown.year() <= 9999)
        setText(DayNumber::toText(day));
    else
        setText(QString());
}

QDate DateEdit::dateFromText(QStringView text)
{
    if (text.size() != TextLength || text[2] != u'.' || text[5] != u'.')
        return {};
    const int day = digitsAt(text, 0, 2);
    const int month = digitsAt(text, 3, 2);
    const int year = digitsAt(text, 6, 4);
    // Year 0000 would be 1 BC to QDate; the edit has no such year.
    if (day < 0 || month < 0 || year < 1)
        return {};
    // QDate refuses day 00, month 00 or 13, and days past the end of the month.
    return QDate(year, month, day);
}

int DateEdit::dayFromText(QStringView text)
{
    return DayNumber::fromDate(dateFromText(text));
}

void DateEdit::showCalendar()
{
    if (isReadOnly() || !isEnabled())
        return;
    if (!m_popup)
        createCalendar();

    const QDate shown = qdate();
    m_calendar->setSelectedDate(shown.isValid() ? shown : QDate::currentDate());
    // Seven rows (the day names and six weeks) of a comfortable height below the month bar;
    // the calendar's own hint leaves the last week half cut once the skin frames the table.
    const QFontMetrics metrics(m_calendar->font());
    const QWidget *monthBar
        = m_calendar->findChild<QWidget *>(QStringLiteral("qt_calendar_navigationbar"));
    const int monthBarHeight = monthBar ? monthBar->sizeHint().height() : metrics.height() + 10;
    const QSize cell(metrics.horizontalAdvance(QStringLiteral("00")) + 14, metrics.height() + 6);
    m_calendar->setMinimumSize(7 * cell.width() + 4, monthBarHeight + 7 * cell.height() + 4);
    m_popup->adjustSize();

    // Below the edit if there is room, else above it; never off the screen.
    const QSize size = m_popup->size();
    const QPoint below = mapToGlobal(QPoint(0, height()));
    const QScreen *screen = QGuiApplication::screenAt(below);
    if (!screen)
        screen = this->screen();
    const QRect area = screen->availableGeometry();
    const int x = std::max(area.left(), std::min(below.x(), area.right() + 1 - size.width()));
    int y = below.y();
    if (y + size.height() > area.bottom() + 1) {
        const int above = mapToGlobal(QPoint(0, 0)).y() - size.height();
        y = above >= area.top() ? above : std::max(area.top(), area.bottom() + 1 - size.height());
    }
    // The client rectangle, not move(): a popup has no frame, whatever the platform reports.
    m_popup->setGeometry(QRect(QPoint(x, y), size));
    m_popup->show();
    m_calendar->setFocus(Qt::PopupFocusReason);
}

void DateEdit::createCalendar()
{
    m_popup = new CalendarPopup(m_calendarButton, this);
    // A popup is a window of its own: let it take the edit's font and colours all the same.
    m_popup->setAttribute(Qt::WA_WindowPropagation);
    m_popup->setFrameShape(QFrame::StyledPanel);
    auto *layout = new QVBoxLayout(m_popup);
    layout->setContentsMargins(1, 1, 1, 1);

    m_calendar = new QCalendarWidget(m_popup);
    m_calendar->setObjectName(QStringLiteral("calendar"));
    m_calendar->setLocale(locale());
    m_calendar->setFirstDayOfWeek(Qt::Monday);
    m_calendar->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    m_calendar->setGridVisible(true);
    // Every date the edit can show can be picked, and no other.
    m_calendar->setDateRange(QDate(1, 1, 1), QDate(9999, 12, 31));
    layout->addWidget(m_calendar);

    // A single click picks the day; Enter and double click arrive as activated.
    connect(m_calendar, &QCalendarWidget::clicked, this, &DateEdit::pickDate);
    connect(m_calendar, &QCalendarWidget::activated, this, &DateEdit::pickDate);
}

void DateEdit::pickDate(QDate date)
{
    m_popup->close();
    setFocus(Qt::PopupFocusReason);
    if (!date.isValid() || isReadOnly())
        return;
    // Inserted over the whole text like typed input, so Ctrl+Z takes the picked date back.
    selectAll();
    insert(DayNumber::toText(DayNumber::fromDate(date)));
}

void DateEdit::keyPressEvent(QKeyEvent *event)
{
    const bool dropDown = (event->key() == Qt::Key_Down && event->modifiers() == Qt::AltModifier)
        || (event->key() == Qt::Key_F4 && event->modifiers() == Qt::NoModifier);
    if (dropDown) {
        showCalendar();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void DateEdit::mousePressEvent(QMouseEvent *event)
{
    QLineEdit::mousePressEvent(event);
    // A click anywhere into a blank edit starts the date at its first digit.
    if (event->button() == Qt::LeftButton && text() == QStringLiteral("..") && !hasSelectedText())
        setCursorPosition(0);
}

void DateEdit::resizeEvent(QResizeEvent *event)
{
    QLineEdit::resizeEvent(event);
    placeCalendarButton();
}

void DateEdit::placeCalendarButton()
{
    QStyleOptionFrame option;
    initStyleOption(&option);
    const QRect contents = style()->subElementRect(QStyle::SE_LineEditContents, &option, this);
    m_calendarButton->setGeometry(contents.right() + 1 - CalendarButtonWidth, contents.top(),
                                  CalendarButtonWidth, contents.height());
}
