// Thousands of random steps through the real windows, with the program's invariants checked after
// every one. KELVORA_STRESS_STEPS and KELVORA_STRESS_SEED choose the length and the sequence;
// `make stress` runs a long one.
#include "carddata/CardTable.h"
#include "carddata/DayNumber.h"
#include "carddata/MemTable.h"
#include "cardlist/CardIndexReport.h"
#include "cardlist/UFormCardList.h"
#include "controls/DataGrid.h"
#include "controls/DateEdit.h"
#include "controls/DropDownList.h"
#include "controls/MultiTitleHeader.h"
#include "mainwindow/frmMainForm.h"
#include "personalcard/UFormPersonalCard.h"
#include "tests/GuiTestMain.h"
#include "tests/MainWindowFixture.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QHash>
#include <QMdiArea>
#include <QMessageBox>
#include <QPainter>
#include <QPdfWriter>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <functional>
#include <memory>

namespace {

int setting(const char *name, int fallback)
{
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok ? value : fallback;
}

// A person as the reference filter sees it: the names folded once, as they never change.
struct Person
{
    QString family, name, secName; // folded with QString::toLower
    int born = 0;
    QString citizenship;
};

// The card filter's rules written out plainly, for the rows the list must show.
bool referenceAccepts(const TfrmViewPersonsList &list, const Person &person)
{
    const bool byName = list.filterActive(TfrmViewPersonsList::ByName);
    const bool byBorn = list.filterActive(TfrmViewPersonsList::ByBorn);
    const bool byCountry = list.filterActive(TfrmViewPersonsList::ByGragdanstvo);
    const QString search = list.edtFamily->text().toLower();
    if (byName) {
        auto has = [&](const QString &text) { return !search.isEmpty() && text.contains(search); };
        if (!has(person.family) && !has(person.name) && !has(person.secName))
            return false;
    }
    if (byBorn) {
        const int exact = list.edtDateBorn->date();
        const int from = list.edtDateBornFrom->date();
        const int to = list.edtDateBornTo->date();
        const int born = person.born;
        if ((exact > 1 && born != exact) || (from > 1 && born < from) || (to > 1 && born > to))
            return false;
    }
    return !byCountry || person.citizenship == list.cmbGragdanstvo->currentText();
}

} // namespace

class TestStress : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { quietOffscreenPlatform(); }
    void randomStepsKeepEveryInvariant();

private:
    using Step = std::function<void()>;
    struct WeightedStep
    {
        const char *name;
        int weight;
        Step run;
    };

    void checkInvariants(const char *after);
    TfrmViewPersonsList *list() const { return frmViewPersonsList; }
    QList<TfrmPersonalCard *> cards() const;
    QMdiSubWindow *randomChild();
    void applyPendingFilter();
    void answerNextBox(QMessageBox::StandardButton button);

    std::unique_ptr<TfrmMain> m_main;
    QRandomGenerator m_random;
    QTemporaryDir m_dir;
    QHash<int, Person> m_people;
    int m_step = 0;
    bool m_failed = false;
};

QList<TfrmPersonalCard *> TestStress::cards() const
{
    QList<TfrmPersonalCard *> result;
    for (QMdiSubWindow *window : m_main->MdiArea->subWindowList(QMdiArea::CreationOrder)) {
        if (auto *card = qobject_cast<TfrmPersonalCard *>(window))
            result << card;
    }
    return result;
}

QMdiSubWindow *TestStress::randomChild()
{
    const QList<QMdiSubWindow *> children = m_main->MdiArea->subWindowList();
    return children.isEmpty() ? nullptr : children[m_random.bounded(int(children.size()))];
}

void TestStress::applyPendingFilter()
{
    // What TimerFind does 500 ms after the last change, without the wait.
    if (list())
        list()->TimerFindTimer();
}

void TestStress::answerNextBox(QMessageBox::StandardButton button)
{
    QTimer::singleShot(0, this, [button] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
            box->button(button)->click();
    });
}

void TestStress::checkInvariants(const char *after)
{
    const QString where = u"step %1 (%2)"_qs.arg(m_step).arg(QString::fromLatin1(after));
    const auto fail = [&](const QString &what) {
        if (!m_failed)
            QTest::qFail(qPrintable(where + u": "_qs + what), __FILE__, __LINE__);
        m_failed = true;
    };

    // One tab per open child; the list tab exactly while the list window exists.
    PageTabBar *strip = m_main->pnlWindows;
    const QList<QMdiSubWindow *> children = m_main->MdiArea->subWindowList();
    if (strip->pageCount() != children.size())
        return fail(u"%1 tabs for %2 windows"_qs.arg(strip->pageCount()).arg(children.size()));
    QList<int> tabTags;
    int listTabs = 0;
    for (int i = 0; i < strip->pageCount(); ++i) {
        if (strip->imageIndex(i) == 1)
            ++listTabs;
        else
            tabTags << strip->tag(i);
    }
    if (listTabs != (list() ? 1 : 0))
        return fail(u"%1 list tabs, list window %2"_qs.arg(listTabs).arg(list() ? 1 : 0));
    // No window reached through a dead reference.
    if (list() && !children.contains(list()))
        return fail(u"the list reference names no open window"_qs);

    // Each card tab's tag is its window's.
    QList<int> cardTags;
    for (const TfrmPersonalCard *card : cards())
        cardTags << card->Tag;
    std::sort(tabTags.begin(), tabTags.end());
    std::sort(cardTags.begin(), cardTags.end());
    if (tabTags != cardTags)
        return fail(u"card tabs and card windows differ"_qs);
    if (std::adjacent_find(cardTags.begin(), cardTags.end()) != cardTags.end())
        return fail(u"two cards of one person"_qs);

    // The rows shown are those the card filter accepts, in the table's order.
    const MemTable &table = *m_main->TblCardList;
    const MemField *id = table.fieldByName(u"ID");
    QList<int> expected;
    for (int row = 0; row < table.totalRowCount(); ++row) {
        MemTable::ActiveRecord record(table, row, MemTable::Rows::All);
        const int person = id->asInteger();
        if (!list() || !table.isFiltered() || referenceAccepts(*list(), m_people.value(person)))
            expected << person;
    }
    QList<int> shown;
    for (int row = 0; row < table.rowCount(); ++row) {
        MemTable::ActiveRecord record(table, row);
        shown << id->asInteger();
    }
    if (shown != expected)
        return fail(u"%1 rows shown, %2 expected"_qs.arg(shown.size()).arg(expected.size()));
    if (list()) {
        DataGrid *grid = list()->DBGridEh1;
        if (grid->model()->rowCount() != table.rowCount())
            return fail(u"the grid shows %1 rows of %2"_qs.arg(grid->model()->rowCount())
                            .arg(table.rowCount()));
        const int gridRow = grid->currentIndex().isValid() ? grid->currentIndex().row() : -1;
        if (gridRow != table.currentRow())
            return fail(u"grid row %1, table row %2"_qs.arg(gridRow).arg(table.currentRow()));
    }
}

void TestStress::randomStepsKeepEveryInvariant()
{
    const int steps = setting("KELVORA_STRESS_STEPS", 2500);
    const int seed = setting("KELVORA_STRESS_SEED", 20261211);
    m_random.seed(quint32(seed));
    qInfo("%d steps from seed %d", steps, seed);

    QVERIFY(showMainWindow(m_main));
    const MemTable &table = *m_main->TblCardList;
    for (int row = 0; row < table.totalRowCount(); ++row) {
        MemTable::ActiveRecord record(table, row, MemTable::Rows::All);
        m_people.insert(table.fieldByName(u"ID")->asInteger(),
                        {table.fieldByName(u"FAMILY")->asString().toLower(),
                         table.fieldByName(u"NAME")->asString().toLower(),
                         table.fieldByName(u"SEC_NAME")->asString().toLower(),
                         table.fieldByName(u"DATA_BORN")->asDate(),
                         table.fieldByName(u"GRAGDANSTVO")->asString()});
    }

    static const QStringList names{u"иван"_qs, u"ПЕТРОВА"_qs, u"№"_qs, u"а"_qs, u"99"_qs,
                                   u"  "_qs,   u"\t"_qs,      u"😀"_qs, u"İ"_qs, QString()};
    static const QStringList dates{u"01.01.1960"_qs, u"19.05.1987"_qs, u"31.12.1899"_qs,
                                   u"31.02.1970"_qs, u"12"_qs,         u"15.06.1965"_qs,
                                   u"01.01.1900"_qs, QString()};

    const QList<WeightedStep> plan{
        {"open the list", 6, [&] { m_main->Action2->trigger(); }},
        {"close the list", 2,
         [&] {
             if (list())
                 list()->close();
         }},
        {"open a card", 8,
         [&] {
             if (!list() || list()->DBGridEh1->model()->rowCount() == 0)
                 return;
             DataGrid *grid = list()->DBGridEh1;
             const int row = m_random.bounded(grid->model()->rowCount());
             grid->setCurrentIndex(grid->model()->index(row, 0));
             list()->DBGridEh1DblClick();
         }},
        {"close a window", 6,
         [&] {
             if (QMdiSubWindow *child = randomChild())
                 child->close();
         }},
        {"close the active window", 3, [&] { m_main->WindowClose1->trigger(); }},
        {"type a name", 6,
         [&] {
             if (!list())
                 return;
             list()->edtFamily->setText(names[m_random.bounded(int(names.size()))]);
             applyPendingFilter();
         }},
        {"type dates", 5,
         [&] {
             if (!list())
                 return;
             for (DateEdit *edit :
                  {list()->edtDateBorn, list()->edtDateBornFrom, list()->edtDateBornTo}) {
                 if (m_random.bounded(2))
                     edit->setText(dates[m_random.bounded(int(dates.size()))]);
             }
             applyPendingFilter();
         }},
        {"choose a country", 4,
         [&] {
             if (!list())
                 return;
             list()->cmbGragdanstvo->setCurrentIndex(m_random.bounded(5));
             Q_EMIT list()->cmbGragdanstvo->closeUp();
             applyPendingFilter();
         }},
        {"clear a filter", 4,
         [&] {
             if (!list())
                 return;
             QToolButton *buttons[]{list()->sSpeedButton5, list()->sSpeedButton4,
                                    list()->sSpeedButton2, list()->sSpeedButton3,
                                    list()->sSpeedButton7};
             buttons[m_random.bounded(5)]->click();
         }},
        {"close a filter tab", 2,
         [&] {
             if (!list())
                 return;
             PageTabBar *tabs = list()->sPageControl1->pageTabBar();
             const int tab = m_random.bounded(3);
             if (auto *close
                 = qobject_cast<QAbstractButton *>(tabs->tabButton(tab, QTabBar::RightSide)))
                 close->click();
         }},
        {"sort", 5,
         [&] {
             if (list())
                 list()->DBGridEh1TitleBtnClick(m_random.bounded(26));
         }},
        {"switch column sets", 3,
         [&] {
             if (list())
                 (m_random.bounded(2) ? list()->rbWork : list()->rbPersonal)->click();
         }},
        {"delete the current row", 3,
         [&] {
             if (!list() || list()->DBGridEh1->model()->rowCount() == 0)
                 return;
             answerNextBox(m_random.bounded(4) ? QMessageBox::Ok : QMessageBox::Cancel);
             list()->DBGridEh1->setFocus();
             QTest::keyClick(list()->DBGridEh1, Qt::Key_Delete, Qt::ControlModifier);
         }},
        {"click a window tab", 6,
         [&] {
             PageTabBar *strip = m_main->pnlWindows;
             if (strip->pageCount() == 0)
                 return;
             const int tab = m_random.bounded(strip->pageCount());
             QTest::mouseClick(strip, Qt::LeftButton, {}, strip->tabRect(tab).center());
         }},
        {"window action", 4,
         [&] {
             QAction *actions[]{m_main->WindowCascade1, m_main->WindowTileVertical1,
                                m_main->WindowTileHorizontal1, m_main->WindowMinimizeAll1};
             actions[m_random.bounded(4)]->trigger();
         }},
        {"move in the grid", 4,
         [&] {
             if (!list() || list()->DBGridEh1->model()->rowCount() == 0)
                 return;
             list()->DBGridEh1->setFocus();
             const Qt::Key keys[]{Qt::Key_Down, Qt::Key_Up, Qt::Key_PageDown, Qt::Key_End,
                                  Qt::Key_Home};
             QTest::keyClick(list()->DBGridEh1, keys[m_random.bounded(5)]);
         }},
        {"print to PDF", 1,
         [&] {
             // The report of what the list shows, as the preview's export writes it; a long
             // list gives its first pages only, to keep the run short.
             CardIndexReport report;
             report.prepare(*m_main->TblCardList);
             QPdfWriter pdf(m_dir.filePath(u"stress.pdf"_qs));
             pdf.setPageLayout(report.pageLayout());
             QPainter painter(&pdf);
             const int pages = std::min(report.pageCount(), 3);
             for (int page = 0; page < pages; ++page) {
                 if (page > 0)
                     pdf.newPage();
                 report.paintPage(page, painter);
             }
         }},
    };
    int totalWeight = 0;
    for (const WeightedStep &step : plan)
        totalWeight += step.weight;

    QElapsedTimer clock;
    clock.start();
    for (m_step = 1; m_step <= steps && !m_failed; ++m_step) {
        int pick = m_random.bounded(totalWeight);
        const WeightedStep *step = &plan.front();
        for (const WeightedStep &candidate : plan) {
            if (pick < candidate.weight) {
                step = &candidate;
                break;
            }
            pick -= candidate.weight;
        }
        step->run();
        // Closed windows go, queued updates arrive: the state a user would see next.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
        checkInvariants(step->name);
    }
    qInfo("%d steps in %lld ms; %d rows left, %d windows open", m_step - 1, clock.elapsed(),
          m_main->TblCardList->totalRowCount(), int(m_main->MdiArea->subWindowList().size()));
    m_main.reset();
}

KELVORA_GUI_TEST_MAIN(TestStress)

#include "tst_stress.moc"
