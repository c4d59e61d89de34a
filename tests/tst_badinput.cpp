// What a user's own hands can throw at the card list: huge pastes, control characters and
// characters from other scripts, broken dates, the keyboard alone, and an empty table.
#include "carddata/MemTable.h"
#include "cardlist/UFormCardList.h"
#include "controls/DataGrid.h"
#include "controls/DateEdit.h"
#include "controls/DropDownList.h"
#include "controls/GridFindDialog.h"
#include "controls/ReportPreview.h"
#include "mainwindow/UFormAbout.h"
#include "mainwindow/frmMainForm.h"
#include "personalcard/UFormPersonalCard.h"
#include "tests/GuiTestMain.h"
#include "tests/MainWindowFixture.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLineEdit>
#include <QMdiArea>
#include <QMessageBox>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <memory>

class TestBadInput : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { quietOffscreenPlatform(); }
    void init();
    void cleanup();
    void pastingAMegabyteIntoTheNameEdit();
    void oddCharactersInTheNameFilter_data();
    void oddCharactersInTheNameFilter();
    void invalidDateTexts_data();
    void invalidDateTexts();
    void citizenshipByKeyboardAlone();
    void everyActionOnAnEmptyTable();

private:
    int rows() const { return m_list->DBGridEh1->model()->rowCount(); }
    void applyNow() { m_list->TimerFindTimer(); }

    std::unique_ptr<TfrmMain> m_main;
    TfrmViewPersonsList *m_list = nullptr;
};

void TestBadInput::init()
{
    QVERIFY(showMainWindow(m_main));
    m_main->Action2->trigger();
    m_list = frmViewPersonsList;
    QVERIFY(m_list);
}

void TestBadInput::cleanup()
{
    m_main.reset();
}

void TestBadInput::pastingAMegabyteIntoTheNameEdit()
{
    QString megabyte;
    megabyte.reserve(1 << 20);
    while (megabyte.size() < (1 << 20))
        megabyte += u"Иванова № 1\t\u0001😀 "_qs;
    QApplication::clipboard()->setText(megabyte);
    m_list->edtFamily->setFocus();
    QTest::keyClick(m_list->edtFamily, Qt::Key_V, Qt::ControlModifier);
    // The edit keeps what it can hold; the rest is not taken in.
    QVERIFY(!m_list->edtFamily->text().isEmpty());
    QCOMPARE(m_list->edtFamily->text().size(), m_list->edtFamily->maxLength());

    QElapsedTimer clock;
    clock.start();
    QTRY_COMPARE_WITH_TIMEOUT(rows(), 0, 3000);
    QVERIFY(m_list->filterActive(TfrmViewPersonsList::ByName));
    QVERIFY2(clock.elapsed() < 2000, "a long search text must not slow the filter down");

    // The same text cut short at the surname finds those who bear it.
    m_list->edtFamily->setText(megabyte.left(7));
    applyNow();
    QCOMPARE(rows(), 250);
}

void TestBadInput::oddCharactersInTheNameFilter_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected");

    QTest::newRow("control characters") << u"\u0001\u0002\u001f"_qs << 0;
    QTest::newRow("a NUL inside") << QString(u"ива"_qs + QChar(0) + u"н"_qs) << 0;
    QTest::newRow("tab") << u"\t"_qs << 0;
    QTest::newRow("emoji") << u"😀"_qs << 0;
    QTest::newRow("half a surrogate pair") << QString(QChar(0xd83d)) << 0;
    QTest::newRow("dotted capital I") << u"İ"_qs << 0;
    QTest::newRow("Latin look-alike of Cyrillic") << u"Ivanov"_qs << 0;
    QTest::newRow("right-to-left text") << u"אבג"_qs << 0;
    QTest::newRow("Ё folds to ё") << u"ЁЖ"_qs << 0;
    QTest::newRow("№ still found") << u"№"_qs << 10001;
}

void TestBadInput::oddCharactersInTheNameFilter()
{
    QFETCH(QString, text);
    QFETCH(int, expected);

    m_list->edtFamily->setText(text);
    applyNow();
    QCOMPARE(rows(), expected);
    QCOMPARE(m_list->filterActive(TfrmViewPersonsList::ByName), !text.isEmpty());
    // The row counts and the grid agree, and the grid paints what it has.
    QCOMPARE(m_main->TblCardList->rowCount(), expected);
    m_list->DBGridEh1->viewport()->repaint();
}

void TestBadInput::invalidDateTexts_data()
{
    QTest::addColumn<QString>("typed");

    QTest::newRow("day and month out of range") << u"99999999"_qs;
    QTest::newRow("31st of February") << u"31022020"_qs;
    QTest::newRow("29th of February in a common year") << u"29021900"_qs;
    QTest::newRow("zeros") << u"00000000"_qs;
    QTest::newRow("year 0000") << u"01010000"_qs;
    QTest::newRow("letters") << u"ab.cd.efgh"_qs;
    QTest::newRow("a day alone") << u"15"_qs;
    QTest::newRow("no year") << u"1503"_qs;
    QTest::newRow("half a year") << u"150319"_qs;
    QTest::newRow("day 1 of the calendar") << u"31121899"_qs;
    QTest::newRow("before day 1") << u"01011800"_qs;
    QTest::newRow("control characters and emoji") << u"\u0001😀\t1"_qs;
}

void TestBadInput::invalidDateTexts()
{
    QFETCH(QString, typed);

    m_list->sPageControl1->setCurrentWidget(m_list->tsByBorn);
    for (DateEdit *edit : {m_list->edtDateBorn, m_list->edtDateBornFrom, m_list->edtDateBornTo}) {
        edit->setFocus();
        edit->selectAll();
        for (const QChar ch : typed)
            QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(ch), Qt::NoModifier);
        QVERIFY(edit->date() <= 1);
        QCOMPARE(edit->displayText().size(), 10);
    }
    applyNow();
    QVERIFY(!m_list->filterActive(TfrmViewPersonsList::ByBorn));
    QCOMPARE(rows(), 10001);
}

void TestBadInput::citizenshipByKeyboardAlone()
{
    m_list->sPageControl1->setCurrentWidget(m_list->tsByGragdanstvo);
    DropDownList *list = m_list->cmbGragdanstvo;
    list->setFocus();
    QTRY_VERIFY(list->hasFocus());
    QSignalSpy closed(list, &DropDownList::closeUp);

    // Arrows while the list is closed choose, but do not filter.
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(list->currentText(), u"Украина"_qs);
    QTest::qWait(700);
    QCOMPARE(rows(), 10001);

    // Alt+Down opens the list, Down and Enter choose and close it: filtered 500 ms later.
    QTest::keyClick(list, Qt::Key_Down, Qt::AltModifier);
    QTRY_VERIFY(list->view()->isVisible());
    QTest::keyClick(list->view(), Qt::Key_Down);
    QTest::keyClick(list->view(), Qt::Key_Return);
    QTRY_VERIFY(!list->view()->isVisible());
    QCOMPARE(closed.count(), 1);
    QCOMPARE(list->currentText(), u"Узбекистан"_qs);
    QTRY_COMPARE_WITH_TIMEOUT(rows(), 2500, 2000);

    // F4 opens it too; Escape closes it unchanged and still filters again.
    QTest::keyClick(list, Qt::Key_F4);
    QTRY_VERIFY(list->view()->isVisible());
    QTest::keyClick(list->view(), Qt::Key_Escape);
    QTRY_VERIFY(!list->view()->isVisible());
    QCOMPARE(closed.count(), 2);
    QCOMPARE(list->currentText(), u"Узбекистан"_qs);
    QTRY_COMPARE_WITH_TIMEOUT(rows(), 2500, 2000);
}

void TestBadInput::everyActionOnAnEmptyTable()
{
    // Most rows go directly, the last ones through the grid as a user deletes them.
    MemTable *table = m_main->TblCardList;
    table->setCurrentRow(0);
    while (table->rowCount() > 3)
        table->deleteCurrent();
    DataGrid *grid = m_list->DBGridEh1;
    grid->setFocus();
    while (rows() > 0) {
        QTimer::singleShot(0, this, [] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
                box->button(QMessageBox::Ok)->click();
        });
        QTest::keyClick(grid, Qt::Key_Delete, Qt::ControlModifier);
    }
    QCOMPARE(table->totalRowCount(), 0);
    QCOMPARE(table->currentRow(), -1);

    // Ctrl+Delete on the empty grid asks nothing.
    bool asked = false;
    QTimer::singleShot(0, this, [&asked] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            asked = true;
            box->button(QMessageBox::Cancel)->click();
        }
    });
    QTest::keyClick(grid, Qt::Key_Delete, Qt::ControlModifier);
    QTest::qWait(50);
    QVERIFY(!asked);

    // Sorting by every column, filtering, both column sets, double clicks, the find dialog.
    for (int column = 0; column < grid->gridColumnCount(); ++column)
        m_list->DBGridEh1TitleBtnClick(column);
    m_list->rbWork->click();
    m_list->rbPersonal->click();
    m_list->edtFamily->setText(u"иван"_qs);
    m_list->edtDateBornFrom->setText(u"01.01.1960"_qs);
    m_list->cmbGragdanstvo->setCurrentIndex(1);
    applyNow();
    QCOMPARE(rows(), 0);
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, QPoint(30, 10));
    m_list->DBGridEh1DblClick();
    OpenPersonalCard();
    QCOMPARE(m_main->MdiArea->subWindowList().size(), 1); // the list alone
    GridFindOptions options;
    options.text = u"Иванова"_qs;
    QVERIFY(!grid->findNext(options));
    for (QToolButton *clear : {m_list->sSpeedButton5, m_list->sSpeedButton4, m_list->sSpeedButton2,
                               m_list->sSpeedButton3, m_list->sSpeedButton7})
        clear->click();
    QCOMPARE(rows(), 0);

    // The report of nothing: one empty page, shown and exported.
    QTemporaryDir dir;
    const QString pdf = dir.filePath(u"empty.pdf"_qs);
    int pages = -1;
    bool saved = false;
    QTimer::singleShot(0, this, [&] {
        if (auto *preview = qobject_cast<ReportPreview *>(QApplication::activeModalWidget())) {
            pages = preview->pageCount();
            saved = preview->saveToPdf(pdf);
            preview->reject();
        }
    });
    m_list->N1->trigger();
    QCOMPARE(pages, 1);
    QVERIFY(saved);
    QVERIFY(QFileInfo(pdf).size() > 0);

    // The window actions and the about box.
    for (QAction *action :
         {m_main->WindowCascade1, m_main->WindowTileVertical1, m_main->WindowTileHorizontal1,
          m_main->WindowMinimizeAll1, m_main->Action2})
        action->trigger();
    auto *about = new TfrmAbout;
    frmAbout = about;
    QTimer::singleShot(0, this, [] {
        if (QWidget *modal = QApplication::activeModalWidget())
            modal->close();
    });
    m_main->Action6->trigger();
    delete about;
    m_main->WindowClose1->trigger();
    QTRY_VERIFY(!frmViewPersonsList);
    QCOMPARE(m_main->pnlWindows->pageCount(), 0);
    m_main->Action2->trigger();
    QVERIFY(frmViewPersonsList);
    QCOMPARE(frmViewPersonsList->DBGridEh1->model()->rowCount(), 0);
}

KELVORA_GUI_TEST_MAIN(TestBadInput)

#include "tst_badinput.moc"
