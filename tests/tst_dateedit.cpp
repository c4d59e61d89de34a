// Mouse events go through the window system as a real click does, so an open drop-down sees
// clicks outside it.
#define QTEST_QPA_MOUSE_HANDLING

#include "controls/DateEdit.h"

#include "carddata/DayNumber.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCalendarWidget>
#include <QFile>
#include <QFontDatabase>
#include <QRandomGenerator>
#include <QScreen>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTest>
#include <QToolButton>

#include <climits>
#include <memory>

namespace {

const QString Blank = QStringLiteral("  .  .    ");

int dayOf(int year, int month, int day)
{
    return DayNumber::fromDate(QDate(year, month, day));
}

// An edit shown in a window of its own, placed where the test wants it.
std::unique_ptr<DateEdit> shownEdit(QPoint at = QPoint(40, 40))
{
    auto edit = std::make_unique<DateEdit>();
    edit->setGeometry(QRect(at, QSize(86, 21)));
    edit->show();
    edit->activateWindow();
    if (!QTest::qWaitForWindowExposed(edit.get()))
        return nullptr;
    return edit;
}

QToolButton *calendarButton(DateEdit &edit)
{
    return edit.findChild<QToolButton *>(QStringLiteral("calendarButton"));
}

// Opens the drop-down with a click on the button, as the user does.
QCalendarWidget *openCalendar(DateEdit &edit)
{
    QToolButton *button = calendarButton(edit);
    if (!button)
        return nullptr;
    QTest::mouseClick(button, Qt::LeftButton);
    auto *calendar = edit.findChild<QCalendarWidget *>(QStringLiteral("calendar"));
    if (!calendar || !calendar->isVisible())
        return nullptr;
    return calendar;
}

QAbstractItemView *dayTable(QCalendarWidget *calendar)
{
    return calendar->findChild<QAbstractItemView *>();
}

// The cell of the month shown that displays this day of the month.
QModelIndex cellOfDay(QAbstractItemView *table, int dayOfMonth)
{
    const QAbstractItemModel *model = table->model();
    for (int row = 0; row < model->rowCount(); ++row) {
        for (int column = 0; column < model->columnCount(); ++column) {
            const QModelIndex index = model->index(row, column);
            if (index.data().toString() == QString::number(dayOfMonth))
                return index;
        }
    }
    return {};
}

} // namespace

class TestDateEdit final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void valueRule_data();
    void valueRule();
    void anyTextIsSafe();

    void startsBlank();
    void setDate_data();
    void setDate();
    void setTextAndClear();

    void typing_data();
    void typing();
    void clickIntoADateKeepsThePlace();
    void blankingDigits_data();
    void blankingDigits();

    void calendarStartsAtTheDate_data();
    void calendarStartsAtTheDate();
    void calendarStaysOnScreen_data();
    void calendarStaysOnScreen();
    void pickByClick();
    void pickByKeyboard();
    void escapeLeavesTheDate();
    void clickElsewhereLeavesTheDate();
    void readOnlyEditDoesNotDropDown();

    void textFitsBesideTheButton_data();
    void textFitsBesideTheButton();
};

void TestDateEdit::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
}

void TestDateEdit::valueRule_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDate>("date");
    QTest::addColumn<int>("day");
    QTest::addColumn<bool>("shownAsIs"); // the edit can hold exactly this text

    const QDate none;
    QTest::newRow("complete date")
        << u"01.01.1960"_qs << QDate(1960, 1, 1) << dayOf(1960, 1, 1) << true;
    QTest::newRow("blank, as shown") << Blank << none << 0 << true;
    QTest::newRow("blank, as text()") << u".."_qs << none << 0 << false;
    QTest::newRow("day only") << u"15.  .    "_qs << none << 0 << true;
    QTest::newRow("day and month") << u"15.06.    "_qs << none << 0 << true;
    QTest::newRow("two year digits") << u"15.06.19  "_qs << none << 0 << true;
    QTest::newRow("three year digits") << u"15.06.196 "_qs << none << 0 << true;
    QTest::newRow("blank inside year") << u"15.06.19 0"_qs << none << 0 << true;
    QTest::newRow("one day digit") << u"5 .06.1960"_qs << none << 0 << true;
    QTest::newRow("one month digit") << u"15. 6.1960"_qs << none << 0 << true;
    QTest::newRow("partial, as text()") << u"15.6.1960"_qs << none << 0 << false;
    QTest::newRow("31 February") << u"31.02.1960"_qs << none << 0 << true;
    QTest::newRow("29 February, leap year")
        << u"29.02.1960"_qs << QDate(1960, 2, 29) << dayOf(1960, 2, 29) << true;
    QTest::newRow("29 February, 2000")
        << u"29.02.2000"_qs << QDate(2000, 2, 29) << dayOf(2000, 2, 29) << true;
    QTest::newRow("29 February, common year") << u"29.02.1961"_qs << none << 0 << true;
    QTest::newRow("29 February, 1900") << u"29.02.1900"_qs << none << 0 << true;
    QTest::newRow("31 April") << u"31.04.1960"_qs << none << 0 << true;
    QTest::newRow("day 00") << u"00.06.1960"_qs << none << 0 << true;
    QTest::newRow("month 00") << u"15.00.1960"_qs << none << 0 << true;
    QTest::newRow("month 13") << u"15.13.1960"_qs << none << 0 << true;
    QTest::newRow("day 32") << u"32.01.1960"_qs << none << 0 << true;
    QTest::newRow("year 0000") << u"01.01.0000"_qs << none << 0 << true;
    QTest::newRow("year 0001") << u"01.01.0001"_qs << QDate(1, 1, 1) << dayOf(1, 1, 1) << true;
    QTest::newRow("last date") << u"31.12.9999"_qs << QDate(9999, 12, 31) << dayOf(9999, 12, 31)
                               << true;
    QTest::newRow("30.12.1899 is day 0") << u"30.12.1899"_qs << QDate(1899, 12, 30) << 0 << true;
    QTest::newRow("31.12.1899 is day 1") << u"31.12.1899"_qs << QDate(1899, 12, 31) << 1 << true;
    QTest::newRow("01.01.1900 is day 2") << u"01.01.1900"_qs << QDate(1900, 1, 1) << 2 << true;
    QTest::newRow("29.12.1899 is day -1") << u"29.12.1899"_qs << QDate(1899, 12, 29) << -1 << true;
    QTest::newRow("empty string") << QString() << none << 0 << false;
    QTest::newRow("other separators") << u"01/01/1960"_qs << none << 0 << false;
    QTest::newRow("letters") << u"ab.cd.efgh"_qs << none << 0 << false;
    QTest::newRow("sign in the day") << u"+1.01.1960"_qs << none << 0 << false;
    QTest::newRow("non-ASCII digits") << u"٠١.٠١.١٩٦٠"_qs << none << 0 << false;
    QTest::newRow("leading space") << u" 01.01.1960"_qs << none << 0 << false;
    QTest::newRow("trailing character") << u"01.01.19601"_qs << none << 0 << false;
    QTest::newRow("cut short") << u"01.01.196"_qs << none << 0 << false;
    QTest::newRow("long junk") << QString(5000, u'9') << none << 0 << false;
}

void TestDateEdit::valueRule()
{
    QFETCH(QString, text);
    QFETCH(QDate, date);
    QFETCH(int, day);
    QFETCH(bool, shownAsIs);

    QCOMPARE(DateEdit::dateFromText(text), date);
    QCOMPARE(DateEdit::dayFromText(text), day);

    // The same text in the edit gives the same value.
    if (shownAsIs) {
        DateEdit edit;
        edit.setText(text);
        QCOMPARE(edit.displayText(), text);
        QCOMPARE(edit.date(), day);
        QCOMPARE(edit.qdate(), date);
    }
}

// Random texts of every length and of characters near the expected ones: nothing crashes, and
// whatever is taken as a date is exactly that date written out.
void TestDateEdit::anyTextIsSafe()
{
    QRandomGenerator random(20240229);
    const QString alphabet = u"0123456789.  9/-аZ\u0000\U0001F600"_qs;
    int datesSeen = 0;
    for (int round = 0; round < 200000; ++round) {
        const int length = round % 4 == 0 ? random.bounded(0, 24) : 10;
        QString text;
        for (int i = 0; i < length; ++i) {
            // Mostly digits and dots at the separator places, so real dates come up.
            const bool separatorPlace = i == 2 || i == 5;
            if (separatorPlace && random.bounded(8) != 0)
                text += u'.';
            else if (random.bounded(10) != 0)
                text += QChar(u'0' + random.bounded(10));
            else
                text += alphabet.at(random.bounded(alphabet.size()));
        }
        const QDate date = DateEdit::dateFromText(text);
        const int day = DateEdit::dayFromText(text);
        QCOMPARE(day, DayNumber::fromDate(date));
        if (date.isValid()) {
            ++datesSeen;
            QCOMPARE(DayNumber::toText(day), text);
        }
    }
    // The generator must have produced real dates too, or the check above proved nothing.
    QVERIFY2(datesSeen > 1000, qPrintable(QString::number(datesSeen)));
}

void TestDateEdit::startsBlank()
{
    DateEdit edit;
    QCOMPARE(edit.displayText(), Blank);
    QCOMPARE(edit.text(), u".."_qs);
    QCOMPARE(edit.maxLength(), 10);
    QCOMPARE(edit.date(), 0);
    QVERIFY(!edit.qdate().isValid());
    QCOMPARE(edit.palette().color(QPalette::Text), QColor(65, 65, 65));
    QCOMPARE(edit.palette().color(QPalette::Base), QColor(Qt::white));
    QVERIFY(calendarButton(edit));
}

void TestDateEdit::setDate_data()
{
    QTest::addColumn<int>("day");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("value");

    QTest::newRow("a birth date") << dayOf(1960, 1, 1) << u"01.01.1960"_qs << dayOf(1960, 1, 1);
    QTest::newRow("day 0 blanks") << 0 << Blank << 0;
    QTest::newRow("day 1") << 1 << u"31.12.1899"_qs << 1;
    QTest::newRow("day 2") << 2 << u"01.01.1900"_qs << 2;
    QTest::newRow("before day 0") << -1 << u"29.12.1899"_qs << -1;
    QTest::newRow("year 0001") << dayOf(1, 1, 1) << u"01.01.0001"_qs << dayOf(1, 1, 1);
    QTest::newRow("year 9999") << dayOf(9999, 12, 31) << u"31.12.9999"_qs << dayOf(9999, 12, 31);
    QTest::newRow("year 10000 blanks") << dayOf(10000, 1, 1) << Blank << 0;
    QTest::newRow("year 0 blanks") << dayOf(0, 12, 31) << Blank << 0;
    QTest::newRow("largest int blanks") << INT_MAX << Blank << 0;
    QTest::newRow("smallest int blanks") << INT_MIN << Blank << 0;
}

void TestDateEdit::setDate()
{
    QFETCH(int, day);
    QFETCH(QString, shown);
    QFETCH(int, value);

    DateEdit edit;
    edit.setText(u"05.05.1955"_qs); // a previous date must not survive
    edit.setDate(day);
    QCOMPARE(edit.displayText(), shown);
    QCOMPARE(edit.date(), value);
}

void TestDateEdit::setTextAndClear()
{
    DateEdit edit;
    QSignalSpy changed(&edit, &QLineEdit::textChanged);

    edit.setText(u"01.01.1960"_qs);
    QCOMPARE(edit.date(), dayOf(1960, 1, 1));
    QCOMPARE(edit.text(), u"01.01.1960"_qs);
    QCOMPARE(changed.count(), 1);

    edit.clear();
    QCOMPARE(edit.displayText(), Blank);
    QCOMPARE(edit.date(), 0);
    QCOMPARE(changed.count(), 2);

    edit.setText(u"19.05.1987"_qs);
    edit.setText(QString());
    QCOMPARE(edit.displayText(), Blank);
    QCOMPARE(changed.count(), 4);

    // Blanking a blank edit changes nothing, so nothing is signalled.
    edit.setText(QString());
    QCOMPARE(changed.count(), 4);

    // A partly blank text comes back character for character.
    edit.setText(u"01. 2.19  "_qs);
    QCOMPARE(edit.displayText(), u"01. 2.19  "_qs);
    const QString shown = edit.displayText();
    edit.setText(shown);
    QCOMPARE(edit.displayText(), shown);
    QCOMPARE(edit.date(), 0);
}

void TestDateEdit::typing_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("day");

    QTest::newRow("digits only") << u"01021960"_qs << u"01.02.1960"_qs << dayOf(1960, 2, 1);
    QTest::newRow("with the dots") << u"01.02.1960"_qs << u"01.02.1960"_qs << dayOf(1960, 2, 1);
    QTest::newRow("day and month") << u"0102"_qs << u"01.02.    "_qs << 0;
    QTest::newRow("year half typed") << u"010219"_qs << u"01.02.19  "_qs << 0;
    QTest::newRow("31 February") << u"31021960"_qs << u"31.02.1960"_qs << 0;
    QTest::newRow("day 1") << u"31121899"_qs << u"31.12.1899"_qs << 1;
    QTest::newRow("letters refused") << u"0x1y02z1960"_qs << u"01.02.1960"_qs << dayOf(1960, 2, 1);
    QTest::newRow("extra digits dropped")
        << u"0102196077"_qs << u"01.02.1960"_qs << dayOf(1960, 2, 1);
}

void TestDateEdit::typing()
{
    QFETCH(QString, keys);
    QFETCH(QString, shown);
    QFETCH(int, day);

    const auto edit = shownEdit();
    QVERIFY(edit);
    QSignalSpy changed(edit.get(), &QLineEdit::textChanged);

    // A click into the middle of the blank edit still starts at the first digit.
    QTest::mouseClick(edit.get(), Qt::LeftButton, {}, QPoint(40, 10));
    QCOMPARE(edit->cursorPosition(), 0);
    for (QChar key : keys) {
        const QString before = edit->displayText();
        const auto signalled = changed.count();
        QTest::keyClick(edit.get(), key.toLatin1());
        // Every change is signalled at once: the filter panel restarts its timer on it.
        if (edit->displayText() != before) {
            QVERIFY(changed.count() > signalled);
            QCOMPARE(changed.last().at(0).toString(), edit->text());
        }
    }

    QCOMPARE(edit->displayText(), shown);
    QCOMPARE(edit->date(), day);
}

void TestDateEdit::clickIntoADateKeepsThePlace()
{
    const auto edit = shownEdit();
    QVERIFY(edit);
    edit->setText(u"01.02.1960"_qs);
    // Between "19" and "60": from the caret at the end, back by the width of "60".
    QCOMPARE(edit->cursorPosition(), 10);
    const QRect caret = edit->inputMethodQuery(Qt::ImCursorRectangle).toRect();
    const int x = caret.center().x() - edit->fontMetrics().horizontalAdvance(u"60"_qs);
    QTest::mouseClick(edit.get(), Qt::LeftButton, {}, QPoint(x, edit->height() / 2));
    QCOMPARE(edit->cursorPosition(), 8);
    QTest::keyClicks(edit.get(), u"75"_qs);
    QCOMPARE(edit->displayText(), u"01.02.1975"_qs);
}

void TestDateEdit::blankingDigits_data()
{
    QTest::addColumn<int>("cursor");
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<QString>("shown");

    const int bs = Qt::Key_Backspace;
    const int del = Qt::Key_Delete;
    QTest::newRow("backspace the year") << 10 << QList<int>{bs, bs, bs, bs} << u"01.02.    "_qs;
    QTest::newRow("backspace across a dot")
        << 10 << QList<int>{bs, bs, bs, bs, bs} << u"01.0 .    "_qs;
    QTest::newRow("backspace everything") << 10 << QList<int>(10, bs) << Blank;
    QTest::newRow("delete the day") << 0 << QList<int>{del} << u" 1.02.1960"_qs;
    QTest::newRow("delete in the month") << 4 << QList<int>{del} << u"01.0 .1960"_qs;
}

void TestDateEdit::blankingDigits()
{
    QFETCH(int, cursor);
    QFETCH(QList<int>, keys);
    QFETCH(QString, shown);

    const auto edit = shownEdit();
    QVERIFY(edit);
    edit->setText(u"01.02.1960"_qs);
    edit->setCursorPosition(cursor);
    QSignalSpy changed(edit.get(), &QLineEdit::textChanged);
    for (int key : keys)
        QTest::keyClick(edit.get(), Qt::Key(key));

    QCOMPARE(edit->displayText(), shown);
    QCOMPARE(edit->date(), 0);
    QVERIFY(!changed.isEmpty());

    // Selecting all and deleting blanks the whole edit.
    edit->selectAll();
    QTest::keyClick(edit.get(), Qt::Key_Delete);
    QCOMPARE(edit->displayText(), Blank);
}

void TestDateEdit::calendarStartsAtTheDate_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDate>("selected");

    QTest::newRow("the edit's date") << u"15.06.1960"_qs << QDate(1960, 6, 15);
    QTest::newRow("blank: today") << QString() << QDate::currentDate();
    QTest::newRow("half typed: today") << u"15.06.19"_qs << QDate::currentDate();
    QTest::newRow("before 1900") << u"01.03.1850"_qs << QDate(1850, 3, 1);
}

void TestDateEdit::calendarStartsAtTheDate()
{
    QFETCH(QString, text);
    QFETCH(QDate, selected);

    const auto edit = shownEdit();
    QVERIFY(edit);
    // Dropped down before at another date: that date must not linger.
    edit->setText(u"05.05.1955"_qs);
    QCalendarWidget *calendar = openCalendar(*edit);
    QVERIFY(calendar);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QTRY_VERIFY(!calendar->isVisible());

    edit->setText(text);
    QCOMPARE(openCalendar(*edit), calendar);
    QCOMPARE(calendar->selectedDate(), selected);
    QCOMPARE(calendar->monthShown(), selected.month());
    QCOMPARE(calendar->yearShown(), selected.year());
    QCOMPARE(calendar->firstDayOfWeek(), Qt::Monday);
    QCOMPARE(calendar->locale().language(), QLocale::Russian);
    // The keys go to the calendar at once.
    QVERIFY(calendar->isAncestorOf(QApplication::focusWidget()));
    calendar->window()->close();
}

void TestDateEdit::calendarStaysOnScreen_data()
{
    QTest::addColumn<QString>("where");
    QTest::newRow("top left") << u"top left"_qs;
    QTest::newRow("bottom right") << u"bottom right"_qs;
}

void TestDateEdit::calendarStaysOnScreen()
{
    QFETCH(QString, where);

    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    const bool bottomRight = where == u"bottom right";
    const QPoint at = bottomRight ? area.bottomRight() - QPoint(90, 40) : area.topLeft();
    const auto edit = shownEdit(at);
    QVERIFY(edit);
    QCalendarWidget *calendar = openCalendar(*edit);
    QVERIFY(calendar);

    const QRect popup = calendar->window()->geometry();
    const QRect editRect(edit->mapToGlobal(QPoint(0, 0)), edit->size());
    QVERIFY2(area.contains(popup), qPrintable(where));
    // Below the edit when there is room, else above it; never over it.
    if (bottomRight)
        QCOMPARE(popup.bottom(), editRect.top() - 1);
    else
        QCOMPARE(popup.top(), editRect.bottom() + 1);
    QVERIFY(!popup.intersects(editRect));
    calendar->window()->close();
}

void TestDateEdit::pickByClick()
{
    const auto edit = shownEdit();
    QVERIFY(edit);
    edit->setText(u"05.05.1955"_qs);
    QSignalSpy changed(edit.get(), &QLineEdit::textChanged);
    QCalendarWidget *calendar = openCalendar(*edit);
    QVERIFY(calendar);

    QAbstractItemView *table = dayTable(calendar);
    QVERIFY(table);
    const QModelIndex cell = cellOfDay(table, 20);
    QVERIFY(cell.isValid());
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualRect(cell).center());

    QTRY_VERIFY(!calendar->isVisible());
    QCOMPARE(edit->displayText(), u"20.05.1955"_qs);
    QCOMPARE(edit->date(), dayOf(1955, 5, 20));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).toString(), u"20.05.1955"_qs);
}

void TestDateEdit::pickByKeyboard()
{
    const auto edit = shownEdit();
    QVERIFY(edit);
    edit->setText(u"31.12.1999"_qs);
    QSignalSpy changed(edit.get(), &QLineEdit::textChanged);
    QCalendarWidget *calendar = openCalendar(*edit);
    QVERIFY(calendar);

    // The next day lies in the next month and year.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);

    QTRY_VERIFY(!calendar->isVisible());
    QCOMPARE(edit->displayText(), u"01.01.2000"_qs);
    QCOMPARE(changed.count(), 1);

    // The picked date is an edit like any other: undo brings the old date back.
    QTest::keyClick(edit.get(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(edit->displayText(), u"31.12.1999"_qs);

    // Alt+Down drops the calendar down from the keyboard as well.
    QTest::keyClick(edit.get(), Qt::Key_Down, Qt::AltModifier);
    QTRY_VERIFY(calendar->isVisible());
    QCOMPARE(calendar->selectedDate(), QDate(1999, 12, 31));
    calendar->window()->close();
}

void TestDateEdit::escapeLeavesTheDate()
{
    const auto edit = shownEdit();
    QVERIFY(edit);
    edit->setText(u"05.05.1955"_qs);
    QSignalSpy changed(edit.get(), &QLineEdit::textChanged);
    QCalendarWidget *calendar = openCalendar(*edit);
    QVERIFY(calendar);

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);

    QTRY_VERIFY(!calendar->isVisible());
    QCOMPARE(edit->displayText(), u"05.05.1955"_qs);
    QCOMPARE(changed.count(), 0);
}

void TestDateEdit::clickElsewhereLeavesTheDate()
{
    const auto edit = shownEdit();
    QVERIFY(edit);
    QWidget elsewhere;
    elsewhere.setGeometry(500, 300, 100, 100);
    elsewhere.show();
    QVERIFY(QTest::qWaitForWindowExposed(&elsewhere));

    edit->setText(u"05.05.1955"_qs);
    QSignalSpy changed(edit.get(), &QLineEdit::textChanged);
    QCalendarWidget *calendar = openCalendar(*edit);
    QVERIFY(calendar);

    QTest::mouseClick(&elsewhere, Qt::LeftButton, {}, QPoint(50, 50));
    QTRY_VERIFY(!calendar->isVisible());
    QCOMPARE(edit->displayText(), u"05.05.1955"_qs);
    QCOMPARE(changed.count(), 0);

    // A second click on the button closes the calendar and leaves it closed.
    QVERIFY(openCalendar(*edit));
    QTest::mousePress(calendarButton(*edit), Qt::LeftButton);
    QTRY_VERIFY(!calendar->isVisible());
    QTest::qWait(50);
    QTest::mouseRelease(calendarButton(*edit), Qt::LeftButton);
    QTest::qWait(50);
    QVERIFY(!calendar->isVisible());
    QCOMPARE(changed.count(), 0);
}

void TestDateEdit::readOnlyEditDoesNotDropDown()
{
    const auto edit = shownEdit();
    QVERIFY(edit);
    edit->setText(u"05.05.1955"_qs);
    edit->setReadOnly(true);
    QTest::mouseClick(calendarButton(*edit), Qt::LeftButton);
    const auto *calendar = edit->findChild<QCalendarWidget *>(QStringLiteral("calendar"));
    QVERIFY(!calendar || !calendar->isVisible());
}

void TestDateEdit::textFitsBesideTheButton_data()
{
    QTest::addColumn<QString>("fontFile");
    QTest::addColumn<bool>("withBearings");

    // The Tahoma work-alike the windows are laid out for: the date sits in the edit as in any
    // roomy QLineEdit, with the room QLineEdit keeps for overhanging glyphs. In the face
    // fontconfig falls back to, whose bearings ask for 19 more pixels than an 86-pixel edit
    // has even without the button, every digit must still be in view.
    QTest::newRow("Tahoma") << u"/usr/share/wine/fonts/tahoma.ttf"_qs << true;
    QTest::newRow("DejaVu Sans") << u"/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"_qs << false;
}

void TestDateEdit::textFitsBesideTheButton()
{
    QFETCH(QString, fontFile);
    QFETCH(bool, withBearings);
    if (!QFile::exists(fontFile))
        QSKIP("font not installed");
    const int id = QFontDatabase::addApplicationFont(fontFile);
    QVERIFY(id >= 0);
    QFont font(QFontDatabase::applicationFontFamilies(id).value(0));
    font.setPixelSize(11); // Tahoma 8 pt, height -11

    // The filter panel's edit: 86 x 21.
    const auto edit = shownEdit();
    QVERIFY(edit);
    edit->setFont(font);
    edit->setText(u"28.08.2008"_qs);

    QStyleOptionFrame option;
    option.initFrom(edit.get());
    option.lineWidth
        = edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit.get());
    const QRect textArea = edit->style()
                               ->subElementRect(QStyle::SE_LineEditContents, &option, edit.get())
                               .marginsRemoved(edit->textMargins());
    // QLineEdit keeps a pixel free at either side of the text and one for the caret.
    const QFontMetrics metrics = edit->fontMetrics();
    int needed = metrics.horizontalAdvance(edit->displayText()) + 1;
    if (withBearings)
        needed += std::max(0, -metrics.minLeftBearing()) + std::max(0, -metrics.minRightBearing());
    QVERIFY2(needed <= textArea.width() - 2,
             qPrintable(u"text %1 px, room %2 px"_qs.arg(needed).arg(textArea.width() - 2)));

    const QRect button = calendarButton(*edit)->geometry();
    QVERIFY(button.left() > textArea.right());
    QVERIFY(edit->rect().contains(button));
    QVERIFY(button.width() >= 16 && button.height() >= 16); // room for the 16-pixel icon
}

QTEST_MAIN(TestDateEdit)
#include "tst_dateedit.moc"
