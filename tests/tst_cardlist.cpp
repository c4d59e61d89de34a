#include "carddata/MemTable.h"
#include "cardlist/UFormCardList.h"
#include "controls/DataGrid.h"
#include "controls/DataGridModel.h"
#include "controls/DateEdit.h"
#include "controls/DropDownList.h"
#include "controls/MultiTitleHeader.h"
#include "mainwindow/MdiChild.h"
#include "mainwindow/frmMainForm.h"
#include "tests/GuiTestMain.h"
#include "tests/MainWindowFixture.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <memory>

namespace {

void typeText(QWidget *widget, const QString &text, int pauseMs = 0)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (i > 0 && pauseMs > 0)
            QTest::qWait(pauseMs);
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(text[i]),
                            Qt::NoModifier);
    }
}

} // namespace

class TestCardList : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { quietOffscreenPlatform(); }
    void init();
    void cleanup();
    void openingTheList();
    void openingAgainBringsTheSameWindowForward();
    void typingFiltersOnceAfterThePause();
    void filterFlags_data();
    void filterFlags();
    void clearButtonsFilterAtOnce();
    void tabCloseButtonClearsItsFilterAndKeepsTheTab();
    void citizenshipFiltersWhenTheListCloses();
    void columnSets();
    void sortingByTitles();
    void deletion_data();
    void deletion();
    void closingShowsAllRowsAgainAndANewWindowStartsClean();
    void printButtonMenu();

private:
    TfrmViewPersonsList *openList();
    int rows() const { return m_list->DBGridEh1->model()->rowCount(); }
    QList<int> ids(int count) const;
    void clickTitle(int column);

    std::unique_ptr<TfrmMain> m_main;
    TfrmViewPersonsList *m_list = nullptr;
    int m_passes = 0;
};

void TestCardList::init()
{
    QVERIFY(showMainWindow(m_main));
    m_passes = 0;
    connect(m_main->TblCardList, &MemTable::filterPassStarting, this, [this] { ++m_passes; });
    m_list = openList();
}

void TestCardList::cleanup()
{
    m_main.reset();
    QVERIFY(!frmViewPersonsList); // the window went with the main window
}

TfrmViewPersonsList *TestCardList::openList()
{
    m_main->Action2->trigger();
    TfrmViewPersonsList *list = frmViewPersonsList;
    if (list)
        list->DBGridEh1->setFocus();
    return list;
}

QList<int> TestCardList::ids(int count) const
{
    const MemTable &table = *m_main->TblCardList;
    QList<int> result;
    for (int row = 0; row < std::min(count, table.rowCount()); ++row) {
        MemTable::ActiveRecord record(table, row);
        result << table.fieldByName(u"ID")->asInteger();
    }
    return result;
}

void TestCardList::clickTitle(int column)
{
    MultiTitleHeader *header = m_list->DBGridEh1->titleHeader();
    const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                    header->height() - 4);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
}

void TestCardList::openingTheList()
{
    QVERIFY(m_list);
    QAbstractItemModelTester tester(m_list->DBGridEh1->model(),
                                    QAbstractItemModelTester::FailureReportingMode::QtTest);
    QCOMPARE(m_list->windowTitle(), u"Картотека"_qs);
    QCOMPARE(m_list->widget()->size(), QSize(647, 473));
    QCOMPARE(m_list->Tag, 0);
    QCOMPARE(m_main->MdiArea->activeSubWindow(), m_list);

    PageTabBar *strip = m_main->pnlWindows;
    QCOMPARE(strip->pageCount(), 1);
    QCOMPARE(strip->caption(0), u"Картотека"_qs);
    QCOMPARE(strip->imageIndex(0), 1);
    QCOMPARE(strip->tag(0), 0);
    QVERIFY(!strip->useCloseBtn(0));
    // The widths take the new tab into account at once.
    QCOMPARE(strip->tabWidth(), std::min((strip->width() - 100) / 1, 200));

    // The start state: all rows, the name tab chosen, no filter in force, personal columns.
    QCOMPARE(rows(), 10001);
    QCOMPARE(m_list->sPageControl1->currentWidget(), m_list->tsByName);
    for (auto tab : {TfrmViewPersonsList::ByName, TfrmViewPersonsList::ByBorn,
                     TfrmViewPersonsList::ByGragdanstvo})
        QVERIFY(!m_list->filterActive(tab));
    QCOMPARE(m_list->edtDateBorn->displayText(), u"  .  .    "_qs);
    QCOMPARE(m_list->cmbGragdanstvo->currentText(), u"Любое"_qs);
    QVERIFY(m_list->rbPersonal->isChecked());
    QCOMPARE(m_passes, 0); // opening does not filter
    QCOMPARE(m_list->DBGridEh1->model()->index(0, 0).data().toString(), u"Иванова № 0"_qs);
    QCOMPARE(m_list->DBGridEh1->model()->index(1, 2).data().toString(), u"муж"_qs);
    QCOMPARE(m_list->DBGridEh1->model()->index(0, 2).data().toString(), u"жен"_qs);
    QCOMPARE(m_list->DBGridEh1->model()->index(0, 1).data().toString(), u"01.01.1960"_qs);
    QCOMPARE(m_list->DBGridEh1->model()->index(0, 12).data().toString(), QString());
}

void TestCardList::openingAgainBringsTheSameWindowForward()
{
    // Another child in front, with its tab selected.
    auto *other = new MdiChild(m_main->MdiArea);
    other->Tag = 42;
    other->setWidget(new QWidget);
    other->show();
    const int otherTab = m_main->pnlWindows->addPage(u"другое"_qs, 0, 42);
    m_main->pnlWindows->setActivePageIndex(otherTab);
    m_main->MdiArea->setActiveSubWindow(other);

    m_main->Action2->trigger();
    QCOMPARE(m_main->MdiArea->subWindowList().size(), 2);
    QCOMPARE(frmViewPersonsList.data(), m_list);
    QCOMPARE(m_main->pnlWindows->activePageIndex(), 0);
    QCOMPARE(m_main->MdiArea->activeSubWindow(), m_list);
}

void TestCardList::typingFiltersOnceAfterThePause()
{
    m_list->edtFamily->setFocus();
    QElapsedTimer clock;
    clock.start();
    typeText(m_list->edtFamily, u"иван"_qs, 100);
    const qint64 lastKey = clock.elapsed();
    QCOMPARE(m_list->edtFamily->text(), u"иван"_qs);
    QCOMPARE(rows(), 10001);
    QTest::qWait(300);
    QCOMPARE(m_passes, 0); // still waiting for the pause to end
    QTRY_COMPARE_WITH_TIMEOUT(rows(), 500, 2000);
    QVERIFY(clock.elapsed() - lastKey >= 500);
    QCOMPARE(m_passes, 1);
    QVERIFY(m_list->filterActive(TfrmViewPersonsList::ByName));
    QTest::qWait(600);
    QCOMPARE(m_passes, 1);
}

void TestCardList::filterFlags_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("exact");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<int>("country");
    QTest::addColumn<bool>("byName");
    QTest::addColumn<bool>("byBorn");
    QTest::addColumn<bool>("byCountry");
    QTest::addColumn<int>("expectedRows");

    QTest::newRow("nothing") << QString() << QString() << QString() << QString() << 0 << false
                             << false << false << 10001;
    QTest::newRow("spaces turn the name filter on")
        << u"  "_qs << QString() << QString() << QString() << 0 << true << false << false << 0;
    QTest::newRow("31.12.1899 is no date") << QString() << u"31.12.1899"_qs << QString()
                                           << QString() << 0 << false << false << false << 10001;
    QTest::newRow("01.01.1900 is a date") << QString() << QString() << QString() << u"01.01.1900"_qs
                                          << 0 << false << true << false << 0;
    QTest::newRow("a day alone is no date")
        << QString() << u"12"_qs << QString() << QString() << 0 << false << false << false << 10001;
    QTest::newRow("31st of February is no date")
        << QString() << QString() << u"31.02.1970"_qs << QString() << 0 << false << false << false
        << 10001;
    QTest::newRow("a period") << QString() << QString() << u"01.01.1960"_qs << u"07.01.1960"_qs << 0
                              << false << true << false << 7;
    QTest::newRow("a country") << QString() << QString() << QString() << QString() << 2 << false
                               << false << true << 2500;
    QTest::newRow("all three") << u"иван"_qs << QString() << u"01.01.1960"_qs << QString() << 1
                               << true << true << true << 125;
}

void TestCardList::filterFlags()
{
    QFETCH(QString, name);
    QFETCH(QString, exact);
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(int, country);
    QFETCH(bool, byName);
    QFETCH(bool, byBorn);
    QFETCH(bool, byCountry);
    QFETCH(int, expectedRows);

    m_list->edtFamily->setText(name);
    m_list->edtDateBorn->setText(exact);
    m_list->edtDateBornFrom->setText(from);
    m_list->edtDateBornTo->setText(to);
    m_list->cmbGragdanstvo->setCurrentIndex(country);
    m_list->cmbGragdanstvo->showPopup();
    m_list->cmbGragdanstvo->hidePopup();
    QTRY_VERIFY_WITH_TIMEOUT(m_passes == 1, 2000);

    const PageTabBar *tabs = m_list->sPageControl1->pageTabBar();
    const QList<std::pair<TfrmViewPersonsList::FilterTab, bool>> expected{
        {TfrmViewPersonsList::ByName, byName},
        {TfrmViewPersonsList::ByBorn, byBorn},
        {TfrmViewPersonsList::ByGragdanstvo, byCountry}};
    for (const auto &[tab, on] : expected) {
        QCOMPARE(m_list->filterActive(tab), on);
        // The flag shows as the tab's close button.
        QCOMPARE(tabs->tabButton(tab, QTabBar::RightSide) != nullptr, on);
    }
    QCOMPARE(rows(), expectedRows);
    QVERIFY(m_main->TblCardList->isFiltered()); // left on even with every flag off
}

void TestCardList::clearButtonsFilterAtOnce()
{
    m_list->edtFamily->setText(u"ивано"_qs);
    QTRY_COMPARE_WITH_TIMEOUT(rows(), 500, 2000);
    QCOMPARE(m_passes, 1);

    // A change starts the delay; the clear button filters at once and nothing follows.
    m_list->edtFamily->setText(u"иванова"_qs);
    QTest::mouseClick(m_list->sSpeedButton5, Qt::LeftButton);
    QCOMPARE(m_passes, 2);
    QCOMPARE(m_list->edtFamily->text(), QString());
    QCOMPARE(rows(), 10001);
    QVERIFY(!m_list->filterActive(TfrmViewPersonsList::ByName));
    QTest::qWait(700);
    QCOMPARE(m_passes, 2);

    // Clearing what is empty already still filters again.
    QTest::mouseClick(m_list->sSpeedButton5, Qt::LeftButton);
    QCOMPARE(m_passes, 3);

    m_list->sPageControl1->setCurrentWidget(m_list->tsByBorn);
    m_list->edtDateBornFrom->setText(u"01.01.1987"_qs);
    QTRY_COMPARE_WITH_TIMEOUT(rows(), 139, 2000); // 1 January to 19 May 1987
    QTest::mouseClick(m_list->sSpeedButton2, Qt::LeftButton);
    QCOMPARE(m_list->edtDateBornFrom->displayText(), u"  .  .    "_qs);
    QCOMPARE(rows(), 10001);

    m_list->sPageControl1->setCurrentWidget(m_list->tsByGragdanstvo);
    m_list->cmbGragdanstvo->setCurrentIndex(4);
    const int before = m_passes;
    QTest::mouseClick(m_list->sSpeedButton7, Qt::LeftButton);
    QCOMPARE(m_list->cmbGragdanstvo->currentIndex(), 0);
    QCOMPARE(m_passes, before + 1);
    QTest::qWait(700);
    QCOMPARE(m_passes, before + 1);
}

void TestCardList::tabCloseButtonClearsItsFilterAndKeepsTheTab()
{
    m_list->sPageControl1->setCurrentWidget(m_list->tsByBorn);
    m_list->edtDateBorn->setText(u"01.01.1960"_qs);
    m_list->edtDateBornFrom->setText(u"01.01.1950"_qs);
    m_list->edtDateBornTo->setText(u"01.01.1990"_qs);
    QTRY_COMPARE_WITH_TIMEOUT(rows(), 1, 2000);
    PageTabBar *tabs = m_list->sPageControl1->pageTabBar();
    auto *close = qobject_cast<QToolButton *>(
        tabs->tabButton(TfrmViewPersonsList::ByBorn, QTabBar::RightSide));
    QVERIFY(close);
    QTest::mouseClick(close, Qt::LeftButton);

    QCOMPARE(tabs->pageCount(), 3);
    QCOMPARE(tabs->caption(TfrmViewPersonsList::ByBorn), u"Дата рождения"_qs);
    for (DateEdit *edit : {m_list->edtDateBorn, m_list->edtDateBornFrom, m_list->edtDateBornTo})
        QCOMPARE(edit->date(), 0);
    QVERIFY(!m_list->filterActive(TfrmViewPersonsList::ByBorn));
    QCOMPARE(tabs->tabButton(TfrmViewPersonsList::ByBorn, QTabBar::RightSide), nullptr);
    QCOMPARE(rows(), 10001);
    const int passes = m_passes;
    QTest::qWait(700);
    QCOMPARE(m_passes, passes);
}

void TestCardList::citizenshipFiltersWhenTheListCloses()
{
    DropDownList *list = m_list->cmbGragdanstvo;
    m_list->sPageControl1->setCurrentWidget(m_list->tsByGragdanstvo);
    list->setFocus();

    // A keyboard change while the list is closed does not filter.
    QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(list->currentText(), u"Россия"_qs);
    QTest::qWait(700);
    QCOMPARE(m_passes, 0);

    // Opening and closing the list filters 500 ms later, changed or not.
    list->showPopup();
    QTRY_VERIFY(list->view()->isVisible());
    QTest::keyClick(list->view(), Qt::Key_Escape);
    QTRY_VERIFY(!list->view()->isVisible());
    QCOMPARE(m_passes, 0);
    QTRY_COMPARE_WITH_TIMEOUT(m_passes, 1, 2000);
    QCOMPARE(rows(), 2501);

    list->showPopup();
    QTRY_VERIFY(list->view()->isVisible());
    QTest::keyClick(list->view(), Qt::Key_Escape);
    QTRY_COMPARE_WITH_TIMEOUT(m_passes, 2, 2000);
    QCOMPARE(rows(), 2501);
}

void TestCardList::columnSets()
{
    DataGrid *grid = m_list->DBGridEh1;
    auto shown = [grid] {
        QList<int> columns;
        for (int i = 0; i < grid->gridColumnCount(); ++i) {
            if (grid->isColumnVisible(i))
                columns << i;
        }
        return columns;
    };
    QList<int> personal{0, 1, 2, 3, 4, 5, 6, 7};
    QList<int> work{0};
    for (int i = 8; i <= 25; ++i)
        work << i;
    QCOMPARE(grid->gridColumnCount(), 26);
    QCOMPARE(shown(), personal);
    const int passportWidth = grid->columnWidth(4);
    QCOMPARE(passportWidth, 100);

    QTest::mouseClick(m_list->rbWork, Qt::LeftButton);
    QVERIFY(!m_list->rbPersonal->isChecked());
    QCOMPARE(shown(), work);
    QTest::mouseClick(m_list->rbPersonal, Qt::LeftButton);
    QCOMPARE(shown(), personal);
    QCOMPARE(grid->columnWidth(4), passportWidth); // hidden and shown again, width kept

    // The default widths: bound fields by their display width, unbound 64.
    const int digit = grid->fontMetrics().horizontalAdvance(u'0');
    QCOMPARE(grid->columnWidth(1), 10 * digit + 4);
    QTest::mouseClick(m_list->rbWork, Qt::LeftButton);
    QCOMPARE(grid->columnWidth(8), 64);
    QCOMPARE(grid->columnWidth(10), 79);
}

void TestCardList::sortingByTitles()
{
    DataGrid *grid = m_list->DBGridEh1;
    auto markers = [grid] {
        QList<int> down;
        for (int i = 0; i < grid->gridColumnCount(); ++i) {
            if (grid->sortMarker(i) != SortMarker::None) // only ever down
                down << (grid->sortMarker(i) == SortMarker::Down ? i : -1);
        }
        return down;
    };
    QCOMPARE(markers(), QList<int>());

    // By sex: the women (even indexes) first, each group in its former order.
    clickTitle(2);
    QCOMPARE(markers(), QList<int>({2}));
    QCOMPARE(ids(3), QList<int>({1, 3, 5}));
    clickTitle(1); // birth date, earliest first
    QCOMPARE(markers(), QList<int>({1}));
    QCOMPARE(ids(3), QList<int>({1, 2, 3}));
    clickTitle(1);
    QCOMPARE(markers(), QList<int>({1}));
    QCOMPARE(ids(3), QList<int>({1, 2, 3}));

    // The full name by Russian collation, numbers by value: Иванов № 1 before Иванов № 3.
    clickTitle(0);
    QCOMPARE(grid->model()->index(0, 0).data().toString(), u"Иванов № 1"_qs);
    QCOMPARE(grid->model()->index(1, 0).data().toString(), u"Иванов № 3"_qs);

    // A hidden sorted column keeps its marker; the rows keep their order.
    clickTitle(4);
    QCOMPARE(markers(), QList<int>({4}));
    const QList<int> order = ids(20);
    QTest::mouseClick(m_list->rbWork, Qt::LeftButton);
    QCOMPARE(markers(), QList<int>({4}));
    QCOMPARE(ids(20), order);
    // A column bound to no field takes the marker and leaves the order.
    clickTitle(8);
    QCOMPARE(markers(), QList<int>({8}));
    QCOMPARE(ids(20), order);
    QTest::mouseClick(m_list->rbPersonal, Qt::LeftButton);
    QCOMPARE(markers(), QList<int>({8}));
}

void TestCardList::deletion_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("expectedCurrentId");

    QTest::newRow("OK: the next row follows") << 4 << true << 6;
    QTest::newRow("OK on the last row: the one before") << 10000 << true << 10000;
    QTest::newRow("Cancel") << 4 << false << 5;
}

void TestCardList::deletion()
{
    QFETCH(int, row);
    QFETCH(bool, ok);
    QFETCH(int, expectedCurrentId);

    DataGrid *grid = m_list->DBGridEh1;
    MemTable *table = m_main->TblCardList;
    grid->setCurrentIndex(grid->model()->index(row, 0));
    QCOMPARE(table->currentRow(), row);
    QString asked;
    QTimer::singleShot(0, this, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        QVERIFY(box);
        asked = box->text();
        box->button(ok ? QMessageBox::Ok : QMessageBox::Cancel)->click();
    });
    QTest::keyClick(grid, Qt::Key_Delete, Qt::ControlModifier);
    QCOMPARE(asked, u"Delete record?"_qs);
    QCOMPARE(table->totalRowCount(), ok ? 10000 : 10001);
    QCOMPARE(rows(), table->rowCount());
    QCOMPARE(table->fieldByName(u"ID")->asInteger(), expectedCurrentId);
    QCOMPARE(grid->currentIndex().row(), table->currentRow());
}

void TestCardList::closingShowsAllRowsAgainAndANewWindowStartsClean()
{
    m_list->edtFamily->setText(u"ПЕТРОВА"_qs);
    QTRY_COMPARE_WITH_TIMEOUT(rows(), 4751, 2000);
    clickTitle(3); // by citizenship: Молдова first
    // A card tab stays when the list closes.
    m_main->pnlWindows->addPage(u"карточка"_qs, 0, 7);

    QPointer<TfrmViewPersonsList> closing = m_list;
    m_list->close();
    QTRY_VERIFY(closing.isNull());
    QVERIFY(frmViewPersonsList.isNull());
    QCOMPARE(m_main->pnlWindows->pageCount(), 1);
    QCOMPARE(m_main->pnlWindows->tag(0), 7);
    // Every row again, in the order of the last sort.
    MemTable *table = m_main->TblCardList;
    QVERIFY(!table->isFiltered());
    QCOMPARE(table->rowCount(), 10001);
    QCOMPARE(ids(3), QList<int>({4, 8, 12}));

    m_list = openList();
    QVERIFY(m_list);
    QCOMPARE(rows(), 10001);
    QCOMPARE(m_list->edtFamily->text(), QString());
    for (int i = 0; i < m_list->DBGridEh1->gridColumnCount(); ++i)
        QCOMPARE(m_list->DBGridEh1->sortMarker(i), SortMarker::None);
    QCOMPARE(m_main->pnlWindows->imageIndex(1), 1); // the list tab went to the end
    m_list->edtFamily->setText(u"№ 99"_qs);
    QTRY_COMPARE_WITH_TIMEOUT(rows(), 0, 2000);
    m_list->edtFamily->setText(u"99"_qs);
    QTRY_COMPARE_WITH_TIMEOUT(rows(), 280, 2000);
}

void TestCardList::printButtonMenu()
{
    QToolButton *button = m_list->sSpeedButton1;
    QCOMPARE(button->text(), u"  Печать  "_qs);
    QCOMPARE(button->width(), 174);
    QCOMPARE(button->geometry().right(), m_list->sPanel1->width() - 2);
    QCOMPARE(button->popupMode(), QToolButton::InstantPopup);
    QCOMPARE(button->menu(), m_list->mnuPrint);
    QStringList shown;
    for (const QAction *action : m_list->mnuPrint->actions()) {
        if (action->isVisible())
            shown << action->text();
    }
    QCOMPARE(shown, QStringList({u"Печать картотеки"_qs}));
    QCOMPARE(m_list->N2->text(), u"Печать по странам"_qs);

    // A press anywhere on the button drops the menu just below it, at its left edge.
    QTimer::singleShot(100, this, [&] {
        QMenu *menu = m_list->mnuPrint;
        QVERIFY(menu->isVisible());
        QCOMPARE(menu->pos(), button->mapToGlobal(QPoint(0, button->height())));
        menu->close();
    });
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(10, 10));
}

KELVORA_GUI_TEST_MAIN(TestCardList)

#include "tst_cardlist.moc"
