#include "carddata/CardTable.h"
#include "carddata/DataSource.h"
#include "carddata/DayNumber.h"
#include "carddata/MemTable.h"
#include "cardlist/CardGridColumns.h"
#include "controls/DataGrid.h"
#include "controls/DataGridModel.h"
#include "controls/GridFindDialog.h"
#include "controls/IndicatorHeader.h"
#include "controls/MultiTitleHeader.h"
#include "tests/CardTableFixture.h"
#include "tests/GuiTestMain.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFontInfo>
#include <QHelpEvent>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>
#include <limits>
#include <optional>

namespace {

int day(int year, int month, int dayOfMonth)
{
    return DayNumber::fromDate(QDate(year, month, dayOfMonth));
}

// One row of the small table; std::nullopt leaves a field empty.
struct Row
{
    std::optional<int> n;
    QString t;
    std::optional<int> d;
    std::optional<bool> b;
    std::optional<int> s;
};

enum Column { ColN, ColT, ColD, ColB, ColSex, ColFree, ColumnCount };

// A small table with a field of each kind, shown in a grid with one column per field, a key-list
// column and an unbound one.
struct GridFixture
{
    explicit GridFixture(const QList<Row> &rows = defaultRows(), bool sourceFirst = false)
    {
        table.addField(u"N"_qs, FieldType::Integer);
        table.addField(u"T"_qs, FieldType::Text, 60);
        table.addField(u"D"_qs, FieldType::Date);
        table.addField(u"B"_qs, FieldType::Boolean);
        table.addField(u"S"_qs, FieldType::Integer);
        for (const Row &row : rows)
            add(row);
        table.first();
        source.setDataSet(&table);
        if (sourceFirst)
            grid.setDataSource(&source);
        grid.setColumns(columns());
        if (!sourceFirst)
            grid.setDataSource(&source);
        grid.resize(640, 300);
    }

    static QList<Row> defaultRows()
    {
        return {
            {3, u"Бета"_qs, day(1960, 1, 2), true, 1},
            {1, u"альфа"_qs, {}, {}, 0},
            {{}, u"Гамма: текст длиннее любой узкой колонки"_qs, day(1970, 5, 5), false, 7},
            {2, u"бета-версия"_qs, day(2000, 1, 1), {}, {}},
        };
    }

    static QList<DataGridColumn> columns()
    {
        QList<DataGridColumn> list(ColumnCount);
        list[ColN].fieldName = u"N"_qs;
        list[ColN].title = u"Номер"_qs;
        list[ColT].fieldName = u"T"_qs;
        list[ColT].title = u"Текст"_qs;
        list[ColT].width = 120;
        list[ColD].fieldName = u"D"_qs;
        list[ColD].title = u"Даты|дата"_qs;
        list[ColB].fieldName = u"B"_qs;
        list[ColB].title = u"Даты|флаг"_qs;
        list[ColSex].fieldName = u"S"_qs;
        list[ColSex].title = u"Пол"_qs;
        list[ColSex].alignment = Qt::AlignCenter;
        list[ColSex].keyList = {{u"1"_qs, u"муж"_qs}, {u"0"_qs, u"жен"_qs}};
        list[ColFree].title = u"Без поля|а|б"_qs;
        return list;
    }

    void add(const Row &row)
    {
        table.append();
        if (row.n)
            table.fieldByName(u"N")->setAsInteger(*row.n);
        table.fieldByName(u"T")->setAsString(row.t);
        if (row.d)
            table.fieldByName(u"D")->setAsDate(*row.d);
        if (row.b)
            table.fieldByName(u"B")->setAsBoolean(*row.b);
        if (row.s)
            table.fieldByName(u"S")->setAsInteger(*row.s);
        table.post();
    }

    QString text(int row, int column) const
    {
        return grid.model()->index(row, column).data().toString();
    }

    QPoint cellCentre(int row, int column) const
    {
        return grid.visualRect(grid.model()->index(row, column)).center();
    }

    void filterTo(std::function<bool(const QString &)> accept)
    {
        MemField *t = table.fieldByName(u"T");
        table.setOnFilterRecord([t, accept](MemTable &, bool &ok) { ok = accept(t->asString()); });
        table.setFiltered(false);
        table.setFiltered(true);
    }

    MemTable table;
    DataSource source;
    DataGrid grid;
    QAbstractItemModelTester tester{grid.model(),
                                    QAbstractItemModelTester::FailureReportingMode::QtTest};
};

// Answers the next modal message box with the button, noting its title and text.
struct MessageBoxAnswer
{
    void arm(QMessageBox::StandardButton button)
    {
        QTimer::singleShot(0, [this, button] { answer(button, 100); });
    }

    void answer(QMessageBox::StandardButton button, int triesLeft)
    {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box) {
            if (triesLeft > 0)
                QTimer::singleShot(10,
                                   [this, button, triesLeft] { answer(button, triesLeft - 1); });
            return;
        }
        shown = true;
        title = box->windowTitle();
        text = box->text();
        box->button(button)->click();
    }

    bool shown = false;
    QString title;
    QString text;
};

void typeText(QWidget *widget, const QString &text)
{
    for (const QChar ch : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(ch), Qt::NoModifier);
}

QString describe(const GridTitleCell &cell)
{
    return QStringLiteral("%1 %2+%3 %4-%5/%6 %7:%8")
        .arg(cell.text)
        .arg(cell.level)
        .arg(cell.levelSpan)
        .arg(cell.firstColumn)
        .arg(cell.lastColumn)
        .arg(cell.columnSpan)
        .arg(cell.x)
        .arg(cell.width);
}

// The card list's 26 column titles and their widths (64 standing for the default).
QStringList cardTitles()
{
    QStringList titles;
    for (const DataGridColumn &column : CardGridColumns::columns())
        titles << column.title;
    return titles;
}

QList<int> cardWidths()
{
    QList<int> widths;
    for (const DataGridColumn &column : CardGridColumns::columns())
        widths << (column.width < 0 ? 64 : column.width);
    return widths;
}

QList<bool> cardVisibility(bool personal)
{
    QList<bool> visible(26);
    for (int i = 0; i < 26; ++i)
        visible[i] = i == 0 || (personal ? i <= 7 : i >= 8);
    return visible;
}

// The card list's grid and its columns over the card table, which counts the full-name texts it
// is asked for. The test sets the data source when it wants the model reset.
struct CardGrid : CardTableFixture
{
    explicit CardGrid(int persons)
        : CardTableFixture(persons)
    {
        table.first();
        QList<DataGridColumn> columns = CardGridColumns::columns();
        const QList<bool> visible = cardVisibility(true);
        for (int i = 0; i < columns.size(); ++i)
            columns[i].visible = visible[i];
        grid.setColumns(columns);
        grid.resize(900, 400);
    }

    DataGrid grid;
};

} // namespace

class TestDataGrid : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cellTexts_data();
    void cellTexts();
    void alignment_data();
    void alignment();
    void yesNoFieldIsAReadOnlyCheckBox();
    void rowCountFollowsTable();
    void viewMovesTableCursor();
    void tableCursorMovesView();
    void defaultWidths_data();
    void defaultWidths();
    void hidingKeepsWidthAndMarker();
    void titleLayout_data();
    void titleLayout();
    void titleHeightFollowsVisibleLevels();
    void titleClick_data();
    void titleClick();
    void titleDragResizesWithoutClick();
    void ctrlDelete_data();
    void ctrlDelete();
    void ctrlDeleteOnEmptyGrid();
    void doubleClick();
    void paintsColumnLinesBelowRowsAndIndicator();
    void toolTipOnlyForCutOffText_data();
    void toolTipOnlyForCutOffText();
    void find_data();
    void find();
    void findDialogStaysAndIsReused();
    void gridKeysWinOverWindowShortcuts();
    void millionRows();
    void filterAndRefreshAtDemoSize();
};

void TestDataGrid::initTestCase()
{
    quietOffscreenPlatform();
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
}

void TestDataGrid::cellTexts_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("expected");

    QTest::newRow("integer") << 0 << int(ColN) << u"3"_qs;
    QTest::newRow("empty integer") << 2 << int(ColN) << QString();
    QTest::newRow("text") << 1 << int(ColT) << u"альфа"_qs;
    QTest::newRow("date") << 0 << int(ColD) << u"02.01.1960"_qs;
    QTest::newRow("empty date") << 1 << int(ColD) << QString();
    QTest::newRow("yes/no has no text") << 0 << int(ColB) << QString();
    QTest::newRow("key 1") << 0 << int(ColSex) << u"муж"_qs;
    QTest::newRow("key 0") << 1 << int(ColSex) << u"жен"_qs;
    QTest::newRow("value without key") << 2 << int(ColSex) << QString();
    QTest::newRow("empty value in key list") << 3 << int(ColSex) << QString();
    QTest::newRow("unbound") << 0 << int(ColFree) << QString();
}

void TestDataGrid::cellTexts()
{
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QString, expected);

    GridFixture f;
    f.table.setCurrentRow(3);
    QCOMPARE(f.text(row, column), expected);
    // Reading a cell never moves the table's cursor.
    QCOMPARE(f.table.currentRow(), 3);
}

void TestDataGrid::alignment_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("expected");

    QTest::newRow("integer field: right") << int(ColN) << int(Qt::AlignRight | Qt::AlignVCenter);
    QTest::newRow("text field: left") << int(ColT) << int(Qt::AlignLeft | Qt::AlignVCenter);
    QTest::newRow("column's own: centre") << int(ColSex) << int(Qt::AlignCenter);
    QTest::newRow("unbound: left") << int(ColFree) << int(Qt::AlignLeft | Qt::AlignVCenter);
}

void TestDataGrid::alignment()
{
    QFETCH(int, column);
    QFETCH(int, expected);

    GridFixture f;
    QCOMPARE(f.grid.model()->index(0, column).data(Qt::TextAlignmentRole).toInt(), expected);
}

void TestDataGrid::yesNoFieldIsAReadOnlyCheckBox()
{
    GridFixture f;
    f.grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.grid));
    const auto state = [&f](int row) {
        return f.grid.model()->index(row, ColB).data(Qt::CheckStateRole).value<Qt::CheckState>();
    };
    QCOMPARE(state(0), Qt::Checked);
    QCOMPARE(state(1), Qt::Unchecked); // empty
    QCOMPARE(state(2), Qt::Unchecked);
    QVERIFY(!f.grid.model()->index(1, ColN).data(Qt::CheckStateRole).isValid());

    // Clicking the box changes nothing.
    QTest::mouseClick(f.grid.viewport(), Qt::LeftButton, {}, f.cellCentre(0, ColB));
    QTest::mouseClick(f.grid.viewport(), Qt::LeftButton, {}, f.cellCentre(0, ColB));
    QCOMPARE(state(0), Qt::Checked);
    QVERIFY(!(f.grid.model()->flags(f.grid.model()->index(0, ColB)) & Qt::ItemIsUserCheckable));
    QVERIFY(!(f.grid.model()->flags(f.grid.model()->index(0, ColT)) & Qt::ItemIsEditable));
}

void TestDataGrid::rowCountFollowsTable()
{
    GridFixture f;
    QAbstractItemModel *model = f.grid.model();
    QCOMPARE(model->rowCount(), 4);

    f.filterTo([](const QString &t) { return t.contains(u"ета"); });
    QCOMPARE(model->rowCount(), 2);
    QCOMPARE(f.text(1, ColT), u"бета-версия"_qs);

    // Sorting reaches the hidden rows too; the grid still shows only the accepted ones.
    QVERIFY(f.table.sortByField(u"N"));
    QCOMPARE(model->rowCount(), 2);
    QCOMPARE(f.text(0, ColN), u"2"_qs);
    QCOMPARE(f.text(1, ColN), u"3"_qs);

    f.table.setCurrentRow(0);
    f.table.deleteCurrent();
    QCOMPARE(model->rowCount(), 1);
    QCOMPARE(f.text(0, ColT), u"Бета"_qs);

    f.table.setFiltered(false);
    QCOMPARE(model->rowCount(), 3);
    f.add({9, u"новая"_qs, {}, {}, {}});
    QCOMPARE(model->rowCount(), 4);
    QCOMPARE(f.text(3, ColT), u"новая"_qs);
}

void TestDataGrid::viewMovesTableCursor()
{
    GridFixture f;
    f.grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.grid));
    QCOMPARE(f.table.currentRow(), 0);

    QTest::mouseClick(f.grid.viewport(), Qt::LeftButton, {}, f.cellCentre(2, ColD));
    QCOMPARE(f.table.currentRow(), 2);
    QTest::keyClick(&f.grid, Qt::Key_Down);
    QCOMPARE(f.table.currentRow(), 3);
    QTest::keyClick(&f.grid, Qt::Key_Home, Qt::ControlModifier);
    QCOMPARE(f.table.currentRow(), 0);

    // A click on the indicator picks that row too.
    IndicatorHeader *indicator = f.grid.indicatorHeader();
    QTest::mouseClick(indicator->viewport(), Qt::LeftButton, {},
                      QPoint(indicator->width() / 2,
                             indicator->sectionViewportPosition(1) + f.grid.rowHeight(1) / 2));
    QCOMPARE(f.table.currentRow(), 1);

    // Ctrl+click on the current row keeps it highlighted.
    QTest::mouseClick(f.grid.viewport(), Qt::LeftButton, Qt::ControlModifier,
                      f.cellCentre(1, ColT));
    QVERIFY(f.grid.selectionModel()->isRowSelected(1, QModelIndex()));
    QCOMPARE(f.table.currentRow(), 1);
}

void TestDataGrid::tableCursorMovesView()
{
    GridFixture f;
    f.grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.grid));
    const auto viewShows = [&f](int row) {
        const QModelIndex current = f.grid.currentIndex();
        return current.row() == row && f.grid.selectionModel()->isRowSelected(row, QModelIndex())
            && f.grid.selectionModel()->selectedRows().size() == 1
            && f.grid.indicatorHeader()->indicatorRow() == row;
    };

    f.table.setCurrentRow(2);
    QVERIFY(viewShows(2));

    // Sorting keeps the current record current, wherever it lands.
    QVERIFY(f.table.sortByField(u"T"));
    QCOMPARE(f.text(f.table.currentRow(), ColT).left(5), u"Гамма"_qs);
    QVERIFY(viewShows(f.table.currentRow()));

    // Filtering makes the first row current.
    f.filterTo([](const QString &t) { return !t.startsWith(u'а'); });
    QCOMPARE(f.table.currentRow(), 0);
    QVERIFY(viewShows(0));

    // Deleting the last row makes the one before it current.
    f.table.setCurrentRow(2);
    f.table.deleteCurrent();
    QCOMPARE(f.table.currentRow(), 1);
    QVERIFY(viewShows(1));

    // Nothing left to show: no current row anywhere.
    f.filterTo([](const QString &) { return false; });
    QCOMPARE(f.table.currentRow(), -1);
    QVERIFY(!f.grid.currentIndex().isValid());
    QCOMPARE(f.grid.indicatorHeader()->indicatorRow(), -1);

    // A row far down is scrolled into view.
    f.table.setFiltered(false);
    for (int i = 0; i < 500; ++i)
        f.add({i, QString::number(i), {}, {}, {}});
    f.table.setCurrentRow(400);
    QVERIFY(viewShows(400));
    const QRect rect = f.grid.visualRect(f.grid.model()->index(400, ColN));
    QVERIFY(f.grid.viewport()->rect().contains(rect));
}

void TestDataGrid::defaultWidths_data()
{
    QTest::addColumn<bool>("sourceFirst");
    QTest::newRow("columns, then data source") << false;
    QTest::newRow("data source, then columns") << true;
}

void TestDataGrid::defaultWidths()
{
    QFETCH(bool, sourceFirst);

    GridFixture f(GridFixture::defaultRows(), sourceFirst);
    const int zero = f.grid.fontMetrics().horizontalAdvance(u'0');
    QCOMPARE(f.grid.columnWidth(ColN), 10 * zero + 4); // an integer field's display width is 10
    QCOMPARE(f.grid.columnWidth(ColT), 120); // the column's own width
    QCOMPARE(f.grid.columnWidth(ColD), 10 * zero + 4);
    QCOMPARE(f.grid.columnWidth(ColFree), 64);

    // The rule follows the font; a width the column gives stays.
    QFont font = f.grid.font();
    font.setPointSizeF(QFontInfo(font).pointSizeF() * 2);
    f.grid.setFont(font);
    const int widerZero = f.grid.fontMetrics().horizontalAdvance(u'0');
    QVERIFY(widerZero > zero);
    QCOMPARE(f.grid.columnWidth(ColN), 10 * widerZero + 4);
    QCOMPARE(f.grid.columnWidth(ColT), 120);
    QCOMPARE(f.grid.rowHeight(0), f.grid.fontMetrics().height() + 4);
}

void TestDataGrid::hidingKeepsWidthAndMarker()
{
    GridFixture f;
    f.grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.grid));
    f.grid.setColumnWidth(ColD, 123);
    f.grid.setSortMarker(ColD, SortMarker::Down);

    f.grid.setColumnVisible(ColD, false);
    QVERIFY(!f.grid.isColumnVisible(ColD));
    QVERIFY(f.grid.isColumnHidden(ColD));
    QCOMPARE(f.grid.sortMarker(ColD), SortMarker::Down);
    QCOMPARE(f.grid.gridColumn(ColD).width, 123);

    f.grid.setColumnVisible(ColD, true);
    QVERIFY(f.grid.isColumnVisible(ColD));
    QCOMPARE(f.grid.columnWidth(ColD), 123);
    QCOMPARE(f.grid.sortMarker(ColD), SortMarker::Down);
    QCOMPARE(f.grid.gridColumn(ColD).sortMarker, SortMarker::Down);
}

void TestDataGrid::titleLayout_data()
{
    QTest::addColumn<QStringList>("titles");
    QTest::addColumn<QList<bool>>("visible");
    QTest::addColumn<QList<int>>("widths");
    QTest::addColumn<int>("levels");
    QTest::addColumn<QStringList>("cells");

    QTest::newRow("card list, personal set")
        << cardTitles() << cardVisibility(true) << cardWidths() << 2
        << QStringList{u"ФИО 0+2 0-0/1 0:150"_qs,        u"Дата рождения 0+2 1-1/1 150:64"_qs,
                       u"Пол 0+2 2-2/1 214:64"_qs,       u"Гражданство 0+2 3-3/1 278:150"_qs,
                       u"Паспорт 0+1 4-7/4 428:400"_qs,  u"серия 1+1 4-4/1 428:100"_qs,
                       u"номер 1+1 5-5/1 528:100"_qs,    u"дата выдачи 1+1 6-6/1 628:100"_qs,
                       u"кем выдан 1+1 7-7/1 728:100"_qs};

    QTest::newRow("card list, work set")
        << cardTitles() << cardVisibility(false) << cardWidths() << 3
        << QStringList{u"ФИО 0+3 0-0/1 0:150"_qs,
                       u"Пересечение границы 0+3 8-8/1 150:64"_qs,
                       u"Первичная регистрация 0+1 9-10/2 214:143"_qs,
                       u"норма 1+2 9-9/1 214:64"_qs,
                       u"вьезд-выезд 1+2 10-10/1 278:79"_qs,
                       u"Пропуск 0+1 11-14/4 357:256"_qs,
                       u"с 1+2 11-11/1 357:64"_qs,
                       u"по 1+2 12-12/1 421:64"_qs,
                       u"с 1+2 13-13/1 485:64"_qs,
                       u"по 1+2 14-14/1 549:64"_qs,
                       u"Регистрация 0+1 15-18/4 613:256"_qs,
                       u"90 дней 1+1 15-16/2 613:128"_qs,
                       u"c 2+1 15-15/1 613:64"_qs,
                       u"по 2+1 16-16/1 677:64"_qs,
                       u"год 1+1 17-18/2 741:128"_qs,
                       u"с 2+1 17-17/1 741:64"_qs,
                       u"по 2+1 18-18/1 805:64"_qs,
                       u"Регистрация на работу 0+1 19-22/4 869:256"_qs,
                       u"сдано 1+2 19-19/1 869:64"_qs,
                       u"получено 1+2 20-20/1 933:64"_qs,
                       u"№ 1+2 21-21/1 997:64"_qs,
                       u"Срок действия до 1+2 22-22/1 1061:64"_qs,
                       u"Уведомления 0+1 23-25/3 1125:192"_qs,
                       u"УФМЗ 1+2 23-23/1 1125:64"_qs,
                       u"ЦЗ 1+2 24-24/1 1189:64"_qs,
                       u"ИФНС 1+2 25-25/1 1253:64"_qs};

    QTest::newRow("a hidden column neither separates nor adds levels")
        << QStringList{u"П|а"_qs, u"Скрыт|x|y"_qs, u"П|б"_qs} << QList<bool>{true, false, true}
        << QList<int>{10, 99, 20} << 2
        << QStringList{u"П 0+1 0-2/2 0:30"_qs, u"а 1+1 0-0/1 0:10"_qs, u"б 1+1 2-2/1 10:20"_qs};

    QTest::newRow("equal last parts stay apart")
        << QStringList{u"X|a"_qs, u"X|a"_qs} << QList<bool>{true, true} << QList<int>{10, 10} << 2
        << QStringList{u"X 0+1 0-1/2 0:20"_qs, u"a 1+1 0-0/1 0:10"_qs, u"a 1+1 1-1/1 10:10"_qs};

    QTest::newRow("a lower part is shared only under a shared upper part")
        << QStringList{u"A|m|x"_qs, u"B|m|y"_qs} << QList<bool>{true, true} << QList<int>{10, 10}
        << 3
        << QStringList{u"A 0+1 0-0/1 0:10"_qs,  u"m 1+1 0-0/1 0:10"_qs,  u"x 2+1 0-0/1 0:10"_qs,
                       u"B 0+1 1-1/1 10:10"_qs, u"m 1+1 1-1/1 10:10"_qs, u"y 2+1 1-1/1 10:10"_qs};

    QTest::newRow("a last part does not join an upper part of the same text")
        << QStringList{u"R|90"_qs, u"R|90|c"_qs} << QList<bool>{true, true} << QList<int>{10, 10}
        << 3
        << QStringList{u"R 0+1 0-1/2 0:20"_qs, u"90 1+2 0-0/1 0:10"_qs, u"90 1+1 1-1/1 10:10"_qs,
                       u"c 2+1 1-1/1 10:10"_qs};

    QTest::newRow("nothing visible")
        << QStringList{u"A|b"_qs} << QList<bool>{false} << QList<int>{10} << 0 << QStringList{};
}

void TestDataGrid::titleLayout()
{
    QFETCH(QStringList, titles);
    QFETCH(QList<bool>, visible);
    QFETCH(QList<int>, widths);
    QFETCH(int, levels);
    QFETCH(QStringList, cells);

    const GridTitleLayout layout = layoutGridTitles(titles, visible, widths);
    QCOMPARE(layout.levelCount, levels);
    QStringList described;
    for (const GridTitleCell &cell : layout.cells)
        described << describe(cell);
    QCOMPARE(described, cells);
}

void TestDataGrid::titleHeightFollowsVisibleLevels()
{
    GridFixture f;
    f.grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.grid));
    MultiTitleHeader *header = f.grid.titleHeader();
    const int level = header->levelHeight();
    // The unbound column has three levels.
    QCOMPARE(header->height(), 3 * level);
    f.grid.setColumnVisible(ColFree, false);
    QTRY_COMPARE(header->height(), 2 * level);
    f.grid.setColumnVisible(ColD, false);
    f.grid.setColumnVisible(ColB, false);
    QTRY_COMPARE(header->height(), level);
    f.grid.setColumnVisible(ColFree, true);
    QTRY_COMPARE(header->height(), 3 * level);

    // A title written upwards makes room for its text.
    QList<DataGridColumn> columns = GridFixture::columns().mid(0, 3);
    columns[1].title = u"Печатать"_qs;
    columns[1].verticalTitle = true;
    f.grid.setColumns(columns);
    QTRY_VERIFY(header->height() > header->fontMetrics().horizontalAdvance(u"Печатать"_qs));
}

void TestDataGrid::titleClick_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<bool>("topRow");

    QTest::newRow("one-level title") << int(ColN) << false;
    QTest::newRow("own cell under a shared one") << int(ColB) << false;
    QTest::newRow("shared cell over the first column") << int(ColD) << true;
    QTest::newRow("shared cell over the second column") << int(ColB) << true;
    QTest::newRow("one-level title, near its top") << int(ColT) << true;
}

void TestDataGrid::titleClick()
{
    QFETCH(int, column);
    QFETCH(bool, topRow);

    GridFixture f;
    f.grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.grid));
    QSignalSpy clicks(&f.grid, &DataGrid::titleBtnClick);
    MultiTitleHeader *header = f.grid.titleHeader();
    const int x = header->sectionViewportPosition(column) + header->sectionSize(column) / 2;
    const int y = topRow ? 3 : header->height() - 3;
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, y));
    QCOMPARE(clicks.size(), 1);
    QCOMPARE(clicks.at(0).at(0).toInt(), column);
    // A title click neither sorts nor marks by itself.
    QCOMPARE(f.grid.sortMarker(column), SortMarker::None);
    QCOMPARE(f.text(0, ColN), u"3"_qs);
}

void TestDataGrid::titleDragResizesWithoutClick()
{
    GridFixture f;
    f.grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.grid));
    QSignalSpy clicks(&f.grid, &DataGrid::titleBtnClick);
    MultiTitleHeader *header = f.grid.titleHeader();
    const int before = header->sectionSize(ColN);
    const QPoint edge(header->sectionViewportPosition(ColN) + before - 1, header->height() / 2);
    const QPoint moved = edge + QPoint(30, 0);
    QMouseEvent press(QEvent::MouseButtonPress, edge, header->viewport()->mapToGlobal(edge),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QMouseEvent move(QEvent::MouseMove, moved, header->viewport()->mapToGlobal(moved), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, moved, header->viewport()->mapToGlobal(moved),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(header->viewport(), &press);
    QApplication::sendEvent(header->viewport(), &move);
    QApplication::sendEvent(header->viewport(), &release);
    QCOMPARE(header->sectionSize(ColN), before + 30);
    QCOMPARE(f.grid.gridColumn(ColN).width, before + 30);
    QCOMPARE(clicks.size(), 0);
}

void TestDataGrid::ctrlDelete_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("currentAfter");
    QTest::addColumn<QString>("currentTextAfter");

    QTest::newRow("OK: the following row becomes current") << 1 << true << 1 << u"Гамма"_qs;
    QTest::newRow("OK on the last row: the one before") << 3 << true << 2 << u"Гамма"_qs;
    QTest::newRow("Cancel changes nothing") << 1 << false << 1 << u"альфа"_qs;
}

void TestDataGrid::ctrlDelete()
{
    QFETCH(int, row);
    QFETCH(bool, ok);
    QFETCH(int, currentAfter);
    QFETCH(QString, currentTextAfter);

    GridFixture f;
    f.grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.grid));
    f.table.setCurrentRow(row);

    QSignalSpy moves(&f.table, &MemTable::currentRowChanged);
    MessageBoxAnswer answer;
    answer.arm(ok ? QMessageBox::Ok : QMessageBox::Cancel);
    QTest::keyClick(&f.grid, Qt::Key_Delete, Qt::ControlModifier);
    QVERIFY(answer.shown);
    // The view's own cursor move during the removal does not reach the table: the table's
    // cursor goes straight to its new row.
    QCOMPARE(moves.size(), ok ? 1 : 0);
    if (ok)
        QCOMPARE(moves.at(0).at(0).toInt(), currentAfter);
    QCOMPARE(answer.title, u"Подтверждение"_qs);
    QCOMPARE(answer.text, u"Delete record?"_qs);

    QCOMPARE(f.table.rowCount(), ok ? 3 : 4);
    QCOMPARE(f.table.currentRow(), currentAfter);
    QCOMPARE(f.text(currentAfter, ColT).left(5), currentTextAfter.left(5));
    QCOMPARE(f.grid.currentIndex().row(), currentAfter);
}

void TestDataGrid::ctrlDeleteOnEmptyGrid()
{
    GridFixture f;
    f.grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.grid));
    f.filterTo([](const QString &) { return false; });

    MessageBoxAnswer answer;
    answer.arm(QMessageBox::Ok);
    QTest::keyClick(&f.grid, Qt::Key_Delete, Qt::ControlModifier);
    QTest::qWait(50);
    QVERIFY(!answer.shown);
    f.table.setFiltered(false);
    QCOMPARE(f.table.rowCount(), 4);
}

void TestDataGrid::doubleClick()
{
    GridFixture f;
    f.grid.resize(640, 400);
    f.grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.grid));
    int currentAtSignal = -1;
    QSignalSpy spy(&f.grid, &DataGrid::dblClick);
    connect(&f.grid, &DataGrid::dblClick, this, [&] { currentAtSignal = f.table.currentRow(); });

    QTest::mouseDClick(f.grid.viewport(), Qt::LeftButton, {}, f.cellCentre(2, ColT));
    QCOMPARE(spy.size(), 1);
    QCOMPARE(currentAtSignal, 2);
    QVERIFY(!f.grid.viewport()->findChild<QWidget *>()); // no editor opens

    // Below the last row and on the titles nothing happens.
    const QPoint below(f.cellCentre(3, ColT).x(), f.grid.viewport()->height() - 5);
    QVERIFY(!f.grid.indexAt(below).isValid());
    QTest::mouseDClick(f.grid.viewport(), Qt::LeftButton, {}, below);
    QTest::mouseDClick(f.grid.titleHeader()->viewport(), Qt::LeftButton, {}, QPoint(40, 5));
    QCOMPARE(spy.size(), 1);
    QCOMPARE(f.table.currentRow(), 2);
}

void TestDataGrid::paintsColumnLinesBelowRowsAndIndicator()
{
    GridFixture f;
    f.grid.resize(640, 400);
    f.grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.grid));
    f.table.setCurrentRow(2);
    const QImage cells = f.grid.viewport()->grab().toImage();
    const QColor base = f.grid.palette().color(QPalette::Base);
    const int below = f.grid.viewport()->height() - 3;
    QVERIFY(below > f.grid.visualRect(f.grid.model()->index(3, 0)).bottom() + 10);
    const int lineX = f.grid.columnViewportPosition(ColT) + f.grid.columnWidth(ColT) - 1;
    QVERIFY(cells.pixelColor(lineX, below) != base);
    QCOMPARE(cells.pixelColor(lineX - 3, below), base);

    // The indicator marks the current row, and only that row.
    IndicatorHeader *indicator = f.grid.indicatorHeader();
    const QImage marks = indicator->viewport()->grab().toImage();
    const auto darkPixels = [&](int row) {
        const int top = indicator->sectionViewportPosition(row);
        int count = 0;
        for (int y = top; y < top + indicator->sectionSize(row); ++y) {
            for (int x = 0; x < marks.width(); ++x)
                count += marks.pixelColor(x, y).lightness() < 80 ? 1 : 0;
        }
        return count;
    };
    QVERIFY(darkPixels(2) > 5);
    QCOMPARE(darkPixels(1), 0);
}

void TestDataGrid::toolTipOnlyForCutOffText_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("tip");

    QTest::newRow("fits") << 1 << int(ColT) << QString();
    QTest::newRow("cut off") << 2 << int(ColT) << u"Гамма: текст длиннее любой узкой колонки"_qs;
    QTest::newRow("empty cell") << 0 << int(ColFree) << QString();
}

void TestDataGrid::toolTipOnlyForCutOffText()
{
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QString, tip);

    GridFixture f;
    f.grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.grid));
    QToolTip::hideText();
    QTRY_VERIFY(!QToolTip::isVisible());

    const QPoint pos = f.cellCentre(row, column);
    QHelpEvent help(QEvent::ToolTip, pos, f.grid.viewport()->mapToGlobal(pos));
    QApplication::sendEvent(f.grid.viewport(), &help);
    QCOMPARE(QToolTip::isVisible(), !tip.isEmpty());
    if (!tip.isEmpty())
        QCOMPARE(QToolTip::text(), tip);

    // Widened enough, the same cell shows no tip.
    if (!tip.isEmpty()) {
        f.grid.setColumnWidth(column, 600);
        QToolTip::hideText();
        QTRY_VERIFY(!QToolTip::isVisible());
        const QPoint widePos = f.cellCentre(row, column);
        QHelpEvent again(QEvent::ToolTip, widePos, f.grid.viewport()->mapToGlobal(widePos));
        QApplication::sendEvent(f.grid.viewport(), &again);
        QVERIFY(!QToolTip::isVisible());
    }
}

void TestDataGrid::find_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("startRow");
    QTest::addColumn<int>("startColumn");
    QTest::addColumn<QString>("options"); // radio buttons to check, and "case"
    QTest::addColumn<int>("foundRow"); // -1: not found, the current row stays

    QTest::newRow("any part, from the row after") << u"бета"_qs << 0 << 0 << QString() << 3;
    QTest::newRow("wraps at the end") << u"бета"_qs << 3 << 0 << QString() << 0;
    QTest::newRow("match case") << u"бета"_qs << 3 << 0 << u"case"_qs << 3;
    QTest::newRow("whole cell") << u"БЕТА"_qs << 0 << 0 << u"rbWholeCell"_qs << 0;
    QTest::newRow("start of cell") << u"ета"_qs << 0 << 0 << u"rbStartOfCell"_qs << -1;
    QTest::newRow("dates are searched as shown") << u"1960"_qs << 1 << 0 << QString() << 0;
    QTest::newRow("key-list text") << u"жен"_qs << 0 << 0 << QString() << 1;
    QTest::newRow("current column only")
        << u"1960"_qs << 1 << int(ColT) << u"rbCurrentColumn"_qs << -1;
    QTest::newRow("current column holds it")
        << u"1960"_qs << 1 << int(ColD) << u"rbCurrentColumn"_qs << 0;
    QTest::newRow("up") << u"бета"_qs << 3 << 0 << u"rbUp"_qs << 0;
    QTest::newRow("up wraps at the top") << u"бета"_qs << 0 << 0 << u"rbUp"_qs << 3;
    QTest::newRow("nowhere") << u"омега"_qs << 2 << 0 << QString() << -1;
}

void TestDataGrid::find()
{
    QFETCH(QString, text);
    QFETCH(int, startRow);
    QFETCH(int, startColumn);
    QFETCH(QString, options);
    QFETCH(int, foundRow);

    GridFixture f;
    f.grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.grid));
    f.grid.setCurrentIndex(f.grid.model()->index(startRow, startColumn));
    QCOMPARE(f.table.currentRow(), startRow);

    QTest::keyClick(&f.grid, Qt::Key_F, Qt::ControlModifier);
    auto *dialog = f.grid.findChild<GridFindDialog *>(QStringLiteral("GridFindDialog"));
    QVERIFY(dialog);
    QVERIFY(dialog->isVisible());
    QVERIFY(!dialog->isModal());
    QCOMPARE(dialog->windowTitle(), u"Поиск"_qs);
    auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("edtText"));
    typeText(edit, text);
    if (options == u"case")
        QTest::mouseClick(dialog->findChild<QWidget *>(QStringLiteral("chkMatchCase")),
                          Qt::LeftButton);
    else if (!options.isEmpty())
        dialog->findChild<QRadioButton *>(options)->click();

    auto *findNext = dialog->findChild<QPushButton *>(QStringLiteral("btnFindNext"));
    QCOMPARE(findNext->text(), u"Найти далее"_qs);
    QTest::mouseClick(findNext, Qt::LeftButton);
    auto *status = dialog->findChild<QLabel *>(QStringLiteral("lblStatus"));
    if (foundRow < 0) {
        QCOMPARE(status->text(), u"Текст не найден."_qs);
        QCOMPARE(f.table.currentRow(), startRow);
    } else {
        QCOMPARE(status->text(), QString());
        QCOMPARE(f.table.currentRow(), foundRow);
        QCOMPARE(f.grid.currentIndex().row(), foundRow);
    }
}

void TestDataGrid::findDialogStaysAndIsReused()
{
    GridFixture f;
    f.grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.grid));
    QTest::keyClick(&f.grid, Qt::Key_F, Qt::ControlModifier);
    GridFindDialog *dialog = f.grid.findDialog();
    typeText(dialog->findChild<QLineEdit *>(QStringLiteral("edtText")), u"бета"_qs);
    auto *findNext = dialog->findChild<QPushButton *>(QStringLiteral("btnFindNext"));
    QTest::mouseClick(findNext, Qt::LeftButton);
    QCOMPARE(f.table.currentRow(), 3);
    QTest::mouseClick(findNext, Qt::LeftButton);
    QCOMPARE(f.table.currentRow(), 0);
    QVERIFY(dialog->isVisible());

    QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("btnClose")), Qt::LeftButton);
    QVERIFY(!dialog->isVisible());
    QTest::keyClick(&f.grid, Qt::Key_F, Qt::ControlModifier);
    QCOMPARE(f.grid.findDialog(), dialog);
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->findChild<QLineEdit *>(QStringLiteral("edtText"))->selectedText(), u"бета"_qs);
}

void TestDataGrid::gridKeysWinOverWindowShortcuts()
{
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    GridFixture f;
    layout->addWidget(&f.grid);
    auto *action = new QAction(&window);
    action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    window.addAction(action);
    QSignalSpy triggered(action, &QAction::triggered);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    f.grid.setFocus();

    QTest::keyClick(&f.grid, Qt::Key_F, Qt::ControlModifier);
    QCOMPARE(triggered.size(), 0);
    QVERIFY(f.grid.findDialog()->isVisible());
}

void TestDataGrid::millionRows()
{
    QElapsedTimer clock;
    clock.start();
    CardGrid card(1000000);
    const qint64 populate = clock.elapsed();
    card.grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&card.grid));

    // Setting the source resets the model; the first paint asks only for the rows in view.
    card.fullNameTexts = 0;
    clock.restart();
    card.grid.setDataSource(&card.source);
    card.grid.viewport()->repaint();
    const qint64 firstPaint = clock.elapsed();
    const int rowsInView = card.grid.viewport()->height() / card.grid.rowHeight(0) + 2;
    QCOMPARE(card.grid.model()->rowCount(), 1000000);
    QVERIFY2(card.fullNameTexts <= 2 * rowsInView, qPrintable(QString::number(card.fullNameTexts)));

    card.fullNameTexts = 0;
    clock.restart();
    card.grid.scrollToBottom();
    card.grid.viewport()->repaint();
    const qint64 scrollToEnd = clock.elapsed();
    QVERIFY2(card.fullNameTexts <= 2 * rowsInView, qPrintable(QString::number(card.fullNameTexts)));
    QVERIFY(card.grid.indexAt(QPoint(5, card.grid.viewport()->height() - 3)).row() > 999900);

    // Jumping the cursor to the last row, as Ctrl+End does.
    clock.restart();
    QTest::keyClick(&card.grid, Qt::Key_End, Qt::ControlModifier);
    card.grid.viewport()->repaint();
    const qint64 toLastRow = clock.elapsed();
    QCOMPARE(card.table.currentRow(), 999999);

    // A filtering pass over all rows and the refresh that follows.
    MemField *secName = card.table.fieldByName(u"SEC_NAME");
    card.table.setOnFilterRecord(
        [secName](MemTable &, bool &accept) { accept = secName->asStringView().endsWith(u'7'); });
    clock.restart();
    card.table.setFiltered(true);
    card.grid.viewport()->repaint();
    const qint64 filterAndPaint = clock.elapsed();
    QCOMPARE(card.grid.model()->rowCount(), 100000);

    qInfo("1,000,000 rows: populate %lld ms, reset + first paint %lld ms, scroll to end %lld ms, "
          "Ctrl+End %lld ms, filter + paint %lld ms",
          populate, firstPaint, scrollToEnd, toLastRow, filterAndPaint);
    // Generous bounds, far above what was measured: they catch work per row, not a slow machine.
    QVERIFY(firstPaint < 1000);
    QVERIFY(scrollToEnd < 1000);
    QVERIFY(toLastRow < 1000);
}

void TestDataGrid::filterAndRefreshAtDemoSize()
{
    CardGrid card(CardTable::DemoPersonCount);
    card.grid.setDataSource(&card.source);
    card.grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&card.grid));
    MemField *secName = card.table.fieldByName(u"SEC_NAME");
    MemField *family = card.table.fieldByName(u"FAMILY");
    card.table.setOnFilterRecord([=](MemTable &, bool &accept) {
        accept
            = family->asFoldedView().contains(u"петрова") && secName->asStringView().contains(u'1');
    });

    // The best of a few passes, so that another process on the machine does not decide.
    qint64 best = std::numeric_limits<qint64>::max();
    for (int pass = 0; pass < 3; ++pass) {
        QElapsedTimer clock;
        clock.start();
        card.table.setFiltered(false);
        card.table.setFiltered(true);
        card.grid.viewport()->repaint();
        best = std::min(best, clock.elapsed());
    }
    QVERIFY(card.grid.model()->rowCount() > 0);
    QVERIFY(card.grid.model()->rowCount() < 10001);
    qInfo("10001 rows: filter off and on + paint %lld ms", best);
    QVERIFY(best < 50);
}

KELVORA_GUI_TEST_MAIN(TestDataGrid)
#include "tst_datagrid.moc"
