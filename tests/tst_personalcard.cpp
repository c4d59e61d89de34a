#include "carddata/DayNumber.h"
#include "carddata/MemTable.h"
#include "cardlist/UFormCardList.h"
#include "controls/DataGrid.h"
#include "controls/DateEdit.h"
#include "mainwindow/frmMainForm.h"
#include "personalcard/UFormPersonalCard.h"
#include "tests/GuiTestMain.h"
#include "tests/MainWindowFixture.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <memory>
#include <optional>

namespace {

struct Person
{
    int id;
    QString family, name, secName;
    std::optional<QDate> born;
    QString passportSeries;
};

} // namespace

class TestPersonalCard : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { quietOffscreenPlatform(); }
    void init();
    void cleanup();
    void twoPersonsTwoWindowsInOpeningOrder();
    void openingAgainBringsTheOpenCardForward();
    void copiedValues_data();
    void copiedValues();
    void layout();
    void closingACardRemovesOnlyItsTab();
    void documentListPerWindow();
    void nothingOpensWithoutACurrentRow();
    void cardTabClickBringsItsWindowForward();
    void cardIsASnapshot();
    void cardsOutliveTheListWindow();

private:
    // Double-clicks the grid row of the person with that ID, as a user would.
    TfrmPersonalCard *openById(int id);
    TfrmPersonalCard *activeCard() const
    {
        return qobject_cast<TfrmPersonalCard *>(m_main->MdiArea->activeSubWindow());
    }
    QList<TfrmPersonalCard *> cards() const
    {
        QList<TfrmPersonalCard *> result;
        for (QMdiSubWindow *w : m_main->MdiArea->subWindowList(QMdiArea::CreationOrder)) {
            if (auto *card = qobject_cast<TfrmPersonalCard *>(w))
                result << card;
        }
        return result;
    }
    void addPerson(const Person &person);

    std::unique_ptr<TfrmMain> m_main;
};

void TestPersonalCard::init()
{
    QVERIFY(showMainWindow(m_main));
    m_main->Action2->trigger();
    QVERIFY(frmViewPersonsList);
}

void TestPersonalCard::cleanup()
{
    m_main.reset();
}

void TestPersonalCard::addPerson(const Person &person)
{
    MemTable *table = m_main->TblCardList;
    table->append();
    table->fieldByName(u"ID")->setAsInteger(person.id);
    table->fieldByName(u"FAMILY")->setAsString(person.family);
    table->fieldByName(u"NAME")->setAsString(person.name);
    table->fieldByName(u"SEC_NAME")->setAsString(person.secName);
    if (person.born)
        table->fieldByName(u"DATA_BORN")->setAsDate(DayNumber::fromDate(*person.born));
    table->fieldByName(u"PASSPORT_SER")->setAsString(person.passportSeries);
    table->post();
}

TfrmPersonalCard *TestPersonalCard::openById(int id)
{
    DataGrid *grid = frmViewPersonsList->DBGridEh1;
    const MemTable &table = *m_main->TblCardList;
    for (int row = 0; row < table.rowCount(); ++row) {
        MemTable::ActiveRecord record(table, row);
        if (table.fieldByName(u"ID")->asInteger() != id)
            continue;
        grid->scrollTo(grid->model()->index(row, 0));
        const QRect cell = grid->visualRect(grid->model()->index(row, 0));
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
        return activeCard();
    }
    return nullptr;
}

void TestPersonalCard::twoPersonsTwoWindowsInOpeningOrder()
{
    TfrmPersonalCard *first = openById(5);
    TfrmPersonalCard *second = openById(2);
    QVERIFY(first && second && first != second);
    QCOMPARE(cards(), QList<TfrmPersonalCard *>({first, second}));
    QCOMPARE(first->Tag, 5);
    QCOMPARE(second->Tag, 2);
    QCOMPARE(first->objectName(), u"frmPersonalCard"_qs);

    PageTabBar *strip = m_main->pnlWindows;
    QCOMPARE(strip->pageCount(), 3); // the list tab, then the cards in opening order
    QCOMPARE(strip->imageIndex(1), 0);
    QCOMPARE(strip->tag(1), 5);
    QCOMPARE(strip->caption(1), u"Иванова № 4"_qs);
    QCOMPARE(strip->tag(2), 2);
    QVERIFY(!strip->useCloseBtn(2));
    QCOMPARE(strip->activePageIndex(), 2);
    QCOMPARE(m_main->MdiArea->activeSubWindow(), second);
    // Adding a card tab spreads the widths over the strip.
    QCOMPARE(strip->tabWidth(), std::min((strip->width() - 100) / 3, 200));
}

void TestPersonalCard::openingAgainBringsTheOpenCardForward()
{
    TfrmPersonalCard *first = openById(5);
    openById(7);
    PageTabBar *strip = m_main->pnlWindows;
    strip->setTabWidth(77); // a width the rule would not give: it must stay
    QCOMPARE(openById(5), first);
    QCOMPARE(cards().size(), 2);
    QCOMPARE(strip->pageCount(), 3);
    QCOMPARE(strip->activePageIndex(), 1);
    QCOMPARE(m_main->MdiArea->activeSubWindow(), first);
    QCOMPARE(strip->tabWidth(), 77);
}

void TestPersonalCard::copiedValues_data()
{
    QTest::addColumn<Person>("person");
    QTest::addColumn<QString>("caption");

    QTest::newRow("demo person") << Person{1,       u"Иванова"_qs,     u"№"_qs,
                                           u"0"_qs, QDate(1960, 1, 1), {}}
                                 << u"Иванова № 0"_qs;
    QTest::newRow("spaces and tabs kept in the edits, trimmed in the caption")
        << Person{20001, u"  Петров "_qs, u"\tИван"_qs, u"Ильич  "_qs, QDate(1970, 2, 3), {}}
        << u"Петров Иван Ильич"_qs;
    QTest::newRow("empty name: both spaces stay")
        << Person{20002, u"Ли"_qs, QString(), u"Бо"_qs, QDate(1980, 12, 31), {}} << u"Ли  Бо"_qs;
    QTest::newRow("all empty, no birth date, a passport in the row")
        << Person{20003, QString(), QString(), QString(), std::nullopt, u"AB"_qs} << u"  "_qs;
}

void TestPersonalCard::copiedValues()
{
    QFETCH(Person, person);
    QFETCH(QString, caption);

    if (person.id > 10001)
        addPerson(person);
    TfrmPersonalCard *card = openById(person.id);
    QVERIFY(card);
    QCOMPARE(card->Tag, person.id);
    QCOMPARE(card->edtFamily->text(), person.family);
    QCOMPARE(card->edtName->text(), person.name);
    QCOMPARE(card->edtSecName->text(), person.secName);
    QCOMPARE(card->edtDateBorn->qdate(), person.born.value_or(QDate()));
    if (!person.born)
        QCOMPARE(card->edtDateBorn->displayText(), u"  .  .    "_qs);
    QCOMPARE(card->windowTitle(), caption);
    QCOMPARE(m_main->pnlWindows->caption(m_main->pnlWindows->activePageIndex()), caption);
    // The passport block is always blank.
    QCOMPARE(card->edtPassportSeries->text(), QString());
    QCOMPARE(card->edtPassportNumber->text(), QString());
    QCOMPARE(card->edtPassportWho->text(), QString());
    QCOMPARE(card->edtPassportDate->date(), 0);
    QCOMPARE(card->sPageControl1->currentWidget(), card->sTabSheet1);
}

void TestPersonalCard::layout()
{
    TfrmPersonalCard *card = openById(1);
    QCOMPARE(card->widget()->size(), QSize(645, 507));
    QCOMPARE(card->sPageControl1->height(), 466);
    QCOMPARE(card->sPanel1->height(), 41);
    QCOMPARE(card->sPanel3->height(), 305);
    QCOMPARE(card->sPanel4->width(), 254);
    QCOMPARE(card->sGroupBox2->title(), u"Персональные данные"_qs);
    QCOMPARE(card->sGroupBox3->title(), u"Паспорт"_qs);
    QCOMPARE(card->sGroupBox2->size(), QSize(381, 128));
    QCOMPARE(card->sGroupBox3->size(), QSize(381, 105));
    QCOMPARE(card->edtFamily->geometry(), QRect(97, 17, 277, 21));
    QCOMPARE(card->edtPassportNumber->geometry(), QRect(246, 24, 121, 21));
    QCOMPARE(card->edtPassportWho->geometry(), QRect(62, 77, 305, 21));

    // The name and issuer edits widen with the window; the others keep their width.
    card->resize(card->width() + 100, card->height());
    QTRY_COMPARE(card->edtFamily->width(), 377);
    QCOMPARE(card->edtPassportWho->width(), 405);
    QCOMPARE(card->edtPassportSeries->width(), 121);
    QCOMPARE(card->edtDateBorn->width(), 86);

    // The keyboard runs through the first group from the bottom up.
    m_main->activateWindow();
    card->edtSecName->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), card->edtSecName);
    for (QWidget *next :
         std::initializer_list<QWidget *>{card->edtName, card->edtFamily, card->edtDateBorn}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), next);
    }
}

void TestPersonalCard::closingACardRemovesOnlyItsTab()
{
    TfrmPersonalCard *first = openById(5);
    TfrmPersonalCard *second = openById(6);
    openById(7);
    PageTabBar *strip = m_main->pnlWindows;
    const int width = strip->tabWidth();
    QPointer<TfrmPersonalCard> closing = second;
    second->close();
    QTRY_VERIFY(closing.isNull());
    QCOMPARE(strip->pageCount(), 3);
    QList<int> tags;
    for (int i = 0; i < strip->pageCount(); ++i)
        tags << strip->tag(i);
    QCOMPARE(tags, QList<int>({0, 5, 7}));
    QCOMPARE(strip->tabWidth(), width);
    // Closed through the main window's action, with the same handling.
    m_main->MdiArea->setActiveSubWindow(first);
    m_main->WindowClose1->trigger();
    QTRY_COMPARE(strip->pageCount(), 2);
    QCOMPARE(strip->tag(1), 7);
}

void TestPersonalCard::documentListPerWindow()
{
    TfrmPersonalCard *first = openById(1);
    TfrmPersonalCard *second = openById(2);
    QVERIFY(first->TblPhotos != second->TblPhotos);
    for (TfrmPersonalCard *card : {first, second}) {
        const QAbstractItemModel *model = card->DBGridEh1->model();
        QCOMPARE(model->rowCount(), 3);
        QCOMPARE(model->columnCount(), 3);
        for (int row = 0; row < 3; ++row) {
            QCOMPARE(model->index(row, 0).data().toString(),
                     u"Паспорт стр "_qs + QString::number(row + 1));
            MemTable::ActiveRecord record(*card->TblPhotos, row);
            QVERIFY(card->TblPhotos->fieldByName(u"ToPrint")->isNull());
            QVERIFY(card->TblPhotos->fieldByName(u"CountToPrint")->isNull());
        }
    }
    QCOMPARE(first->DBGridEh1->columnWidth(0), 117);
    QCOMPARE(first->sGroupBox1->title(), u"Доступные документы"_qs);
}

void TestPersonalCard::nothingOpensWithoutACurrentRow()
{
    frmViewPersonsList->edtFamily->setText(u"никого нет"_qs);
    QTRY_COMPARE_WITH_TIMEOUT(frmViewPersonsList->DBGridEh1->model()->rowCount(), 0, 2000);
    QCOMPARE(m_main->TblCardList->currentRow(), -1);
    QTest::mouseDClick(frmViewPersonsList->DBGridEh1->viewport(), Qt::LeftButton, {},
                       QPoint(40, 10));
    frmViewPersonsList->DBGridEh1DblClick(); // as though the grid had asked
    QVERIFY(cards().isEmpty());
    QCOMPARE(m_main->pnlWindows->pageCount(), 1);
}

void TestPersonalCard::cardTabClickBringsItsWindowForward()
{
    TfrmPersonalCard *first = openById(5);
    TfrmPersonalCard *second = openById(6);
    PageTabBar *strip = m_main->pnlWindows;
    QTest::mouseClick(strip, Qt::LeftButton, {}, strip->tabRect(1).center());
    QCOMPARE(m_main->MdiArea->activeSubWindow(), first);
    QTest::mouseClick(strip, Qt::LeftButton, {}, strip->tabRect(0).center());
    QCOMPARE(m_main->MdiArea->activeSubWindow(), frmViewPersonsList.data());
    QTest::mouseClick(strip, Qt::LeftButton, {}, strip->tabRect(2).center());
    QCOMPARE(m_main->MdiArea->activeSubWindow(), second);
}

void TestPersonalCard::cardIsASnapshot()
{
    TfrmPersonalCard *card = openById(3);
    m_main->MdiArea->setActiveSubWindow(frmViewPersonsList);
    DataGrid *grid = frmViewPersonsList->DBGridEh1;
    grid->setCurrentIndex(grid->model()->index(2, 0));
    QTimer::singleShot(0, this, [] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        QVERIFY(box);
        box->button(QMessageBox::Ok)->click();
    });
    QTest::keyClick(grid, Qt::Key_Delete, Qt::ControlModifier);
    QCOMPARE(m_main->TblCardList->totalRowCount(), 10000);
    QCOMPARE(card->edtFamily->text(), u"Иванова"_qs);
    QCOMPARE(card->edtSecName->text(), u"2"_qs);
    QCOMPARE(card->windowTitle(), u"Иванова № 2"_qs);
}

void TestPersonalCard::cardsOutliveTheListWindow()
{
    TfrmPersonalCard *first = openById(5);
    TfrmPersonalCard *second = openById(9);
    QPointer<TfrmViewPersonsList> list = frmViewPersonsList.data();
    list->close();
    QTRY_VERIFY(list.isNull());
    PageTabBar *strip = m_main->pnlWindows;
    QCOMPARE(strip->pageCount(), 2);
    QCOMPARE(strip->tag(0), 5);
    QCOMPARE(strip->tag(1), 9);

    m_main->Action2->trigger();
    QVERIFY(frmViewPersonsList);
    QCOMPARE(strip->pageCount(), 3);
    QCOMPARE(strip->imageIndex(2), 1);
    // Opening a card that is open finds it, wherever its tab stands.
    QCOMPARE(openById(5), first);
    QCOMPARE(strip->activePageIndex(), 0);
    QCOMPARE(openById(9), second);
    TfrmPersonalCard *third = openById(11);
    QCOMPARE(strip->tag(3), 11);
    QCOMPARE(cards(), QList<TfrmPersonalCard *>({first, second, third}));
}

KELVORA_GUI_TEST_MAIN(TestPersonalCard)

#include "tst_personalcard.moc"
