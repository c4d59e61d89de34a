#include "carddata/MemTable.h"
#include "mainwindow/MdiChild.h"
#include "mainwindow/UFormAbout.h"
#include "mainwindow/frmMainForm.h"
#include "tests/GuiTestMain.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <memory>

namespace {

// A child window as the real ones are: in the MDI area, with a tag and its window tab.
MdiChild *openChild(TfrmMain &main, int tag, bool withTab = true)
{
    auto *child = new MdiChild(main.MdiArea);
    child->Tag = tag;
    child->setWidget(new QWidget);
    child->setWindowTitle(QString::number(tag));
    child->resize(200, 150);
    child->show();
    if (withTab) {
        const int tab = main.pnlWindows->addPage(QString::number(tag), 0, tag);
        main.pnlWindows->setUseCloseBtn(tab, false);
    }
    return child;
}

QStringList menuTexts(const QMenu *menu)
{
    QStringList texts;
    for (const QAction *action : menu->actions())
        texts << (action->isSeparator() ? u"-"_qs : action->text());
    return texts;
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { quietOffscreenPlatform(); }
    void init();
    void cleanup();
    void startUpState();
    void menusAndToolBar();
    void plainActionsWithoutHandlerAreDisabled();
    void windowActionsFollowChildren();
    void tilingAndCascade();
    void minimizeAllGoesFromLastToFirst();
    void tabWidthRule_data();
    void tabWidthRule();
    void emptyStripKeepsItsTabWidth();
    void removingATabSelectsTheFollowingOneSilently_data();
    void removingATabSelectsTheFollowingOneSilently();
    void tabClickActivatesItsWindowEvenWhenSelected();
    void windowTabsShowNoCloseButtons();
    void aboutBox();

private:
    std::unique_ptr<TfrmMain> m_main;
};

void TestMainWindow::init()
{
    m_main = std::make_unique<TfrmMain>();
    frmMain = m_main.get();
    frmAbout = new TfrmAbout;
    m_main->showMaximized();
    QVERIFY(QTest::qWaitForWindowExposed(m_main.get()));
}

void TestMainWindow::cleanup()
{
    delete frmAbout;
    m_main.reset();
}

void TestMainWindow::startUpState()
{
    TfrmMain &main = *m_main;
    QCOMPARE(main.windowTitle(), u"Кельвора"_qs);
    QVERIFY(main.isMaximized());
    QCOMPARE(main.TblCardList->rowCount(), 10001);
    QCOMPARE(main.pnlWindows->pageCount(), 0);
    QCOMPARE(main.pnlWindows->height(), 20);
    QCOMPARE(main.pnlWindows->tabHeight(), 20);
    QVERIFY(main.MdiArea->subWindowList().isEmpty());

    // The strip stands between the MDI area and the status bar.
    const QPoint stripTop = main.pnlWindows->mapTo(&main, QPoint(0, 0));
    QCOMPARE(stripTop.y(), main.MdiArea->mapTo(&main, QPoint(0, 0)).y() + main.MdiArea->height());
    QCOMPARE(stripTop.y() + main.pnlWindows->height(), main.sStatusBar1->y());

    QCOMPARE(main.sStatusBar1->height(), 15);
    const QList<QLabel *> panels = main.sStatusBar1->findChildren<QLabel *>();
    QCOMPARE(panels.size(), 2);
    QCOMPARE(panels[0]->width(), 350);
    QCOMPARE(panels[1]->width(), 50);
    for (const QLabel *panel : panels)
        QVERIFY(panel->text().isEmpty());

    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    QVERIFY(frmAbout->isHidden());
}

void TestMainWindow::menusAndToolBar()
{
    const QList<QAction *> top = m_main->menuBar()->actions();
    QStringList titles;
    for (const QAction *a : top)
        titles << a->text();
    QCOMPARE(titles, QStringList({u"Файл"_qs, u"Картотека"_qs, u"Окна"_qs, u"Справка"_qs}));
    QCOMPARE(menuTexts(top[0]->menu()),
             QStringList({u"Синхронизация с сервером"_qs, u"-"_qs, u"Выход"_qs}));
    QCOMPARE(menuTexts(top[1]->menu()),
             QStringList({u"Список граждан"_qs, u"Список организаций"_qs, u"Платежные документы"_qs,
                          u"Территории действия"_qs, u"Адресный клиссификатор"_qs}));
    QCOMPARE(menuTexts(top[2]->menu()),
             QStringList({u"Открытые карточки"_qs, u"-"_qs, u"Закрыть окно"_qs, u"Каскадом"_qs,
                          u"Выстроить вертикально"_qs, u"Выстроить горизонтально"_qs,
                          u"Минимизировать все"_qs}));
    QCOMPARE(menuTexts(top[3]->menu()), QStringList({u"О программе ..."_qs}));
    QVERIFY(!m_main->Action8->isVisible());
    QCOMPARE(m_main->Action1->shortcut(), QKeySequence(Qt::ALT | Qt::Key_X));
    QVERIFY(!m_main->Action2->icon().isNull());
    QVERIFY(!m_main->Action1->icon().isNull());

    auto *tools = m_main->findChild<QToolBar *>(u"ActionToolBar1"_qs);
    QVERIFY(tools);
    QCOMPARE(tools->actions(),
             QList<QAction *>({m_main->Action2, m_main->Action7, m_main->Action3, m_main->Action4,
                               m_main->Action5}));
    QCOMPARE(tools->toolButtonStyle(), Qt::ToolButtonTextBesideIcon);
}

void TestMainWindow::plainActionsWithoutHandlerAreDisabled()
{
    TfrmMain &main = *m_main;
    for (QAction *action : {main.Action1, main.Action3, main.Action4, main.Action5, main.Action7,
                            main.Action8, main.Action9})
        QVERIFY2(!action->isEnabled(), qPrintable(action->objectName()));
    QVERIFY(main.Action2->isEnabled());
    QVERIFY(main.Action6->isEnabled());
    for (QAction *action : {main.WindowClose1, main.WindowCascade1, main.WindowTileVertical1,
                            main.WindowTileHorizontal1, main.WindowMinimizeAll1})
        QVERIFY2(!action->isEnabled(), qPrintable(action->objectName()));

    QSignalSpy exit(main.Action1, &QAction::triggered);
    QTest::keyClick(&main, Qt::Key_X, Qt::AltModifier);
    QCOMPARE(exit.count(), 0);
    QVERIFY(main.isVisible());
}

void TestMainWindow::windowActionsFollowChildren()
{
    TfrmMain &main = *m_main;
    const QList<QAction *> anyChild{main.WindowCascade1, main.WindowTileVertical1,
                                    main.WindowTileHorizontal1, main.WindowMinimizeAll1};
    MdiChild *first = openChild(main, 1);
    MdiChild *second = openChild(main, 2);
    QTRY_VERIFY(main.WindowClose1->isEnabled());
    for (QAction *action : anyChild)
        QVERIFY(action->isEnabled());

    // Closing the active child goes through its own close handling and frees it.
    QPointer<MdiChild> active = qobject_cast<MdiChild *>(main.MdiArea->activeSubWindow());
    QVERIFY(active == second);
    main.WindowClose1->trigger();
    QTRY_VERIFY(active.isNull());
    QTRY_COMPARE(main.MdiArea->subWindowList().size(), 1);

    // With the last child minimised there is no active child, but a child still.
    first->showMinimized();
    main.MdiArea->setActiveSubWindow(nullptr);
    QTRY_VERIFY(!main.WindowClose1->isEnabled());
    QVERIFY(main.WindowCascade1->isEnabled());

    first->close();
    QTRY_VERIFY(main.MdiArea->subWindowList().isEmpty());
    QTRY_VERIFY(!main.WindowCascade1->isEnabled());
    for (QAction *action : anyChild)
        QVERIFY(!action->isEnabled());
}

void TestMainWindow::tilingAndCascade()
{
    TfrmMain &main = *m_main;
    MdiChild *a = openChild(main, 1);
    MdiChild *b = openChild(main, 2);
    MdiChild *c = openChild(main, 3);
    main.MdiArea->setActiveSubWindow(b);
    const QSize area = main.MdiArea->viewport()->size();

    main.WindowTileVertical1->trigger();
    // Side by side, the active window first, together covering the area without overlap.
    QCOMPARE(b->geometry(), QRect(0, 0, area.width() / 3, area.height()));
    QCOMPARE(c->geometry().left(), b->geometry().right() + 1);
    QCOMPARE(a->geometry().left(), c->geometry().right() + 1);
    QCOMPARE(a->geometry().right(), area.width() - 1);
    for (MdiChild *w : {a, b, c})
        QCOMPARE(w->height(), area.height());

    main.WindowTileHorizontal1->trigger();
    QCOMPARE(b->geometry(), QRect(0, 0, area.width(), area.height() / 3));
    QCOMPARE(c->geometry().top(), b->geometry().bottom() + 1);
    QCOMPARE(a->geometry().bottom(), area.height() - 1);
    for (MdiChild *w : {a, b, c})
        QCOMPARE(w->width(), area.width());

    // A minimised window keeps out of the tiling.
    c->showMinimized();
    main.WindowTileVertical1->trigger();
    QVERIFY(c->isMinimized());
    QCOMPARE(a->width() + b->width(), area.width());

    c->showNormal();
    main.WindowCascade1->trigger();
    const QList<QMdiSubWindow *> windows = main.MdiArea->subWindowList(QMdiArea::StackingOrder);
    for (qsizetype i = 1; i < windows.size(); ++i) {
        QVERIFY(windows[i]->x() > windows[i - 1]->x());
        QVERIFY(windows[i]->y() > windows[i - 1]->y());
    }
}

void TestMainWindow::minimizeAllGoesFromLastToFirst()
{
    TfrmMain &main = *m_main;
    QList<MdiChild *> children{openChild(main, 1), openChild(main, 2), openChild(main, 3)};
    QList<int> order;
    QObject listening; // the connections end with this test
    for (MdiChild *child : children) {
        connect(child, &QMdiSubWindow::windowStateChanged, &listening,
                [&order, child](Qt::WindowStates before, Qt::WindowStates now) {
                    if (!(before & Qt::WindowMinimized) && (now & Qt::WindowMinimized))
                        order << child->Tag;
                });
    }
    QTRY_VERIFY(main.WindowMinimizeAll1->isEnabled());
    main.WindowMinimizeAll1->trigger();
    QCOMPARE(order, QList<int>({3, 2, 1}));
    for (MdiChild *child : children)
        QVERIFY(child->isMinimized());
}

void TestMainWindow::tabWidthRule_data()
{
    QTest::addColumn<int>("stripWidth");
    QTest::addColumn<int>("tabs");
    QTest::addColumn<int>("expected");

    QTest::newRow("1280, 1: capped") << 1280 << 1 << 200;
    QTest::newRow("1280, 10") << 1280 << 10 << 118;
    QTest::newRow("600, 3") << 600 << 3 << 166;
    QTest::newRow("1000, 6") << 1000 << 6 << 150;
    QTest::newRow("100") << 100 << 4 << 0;
    QTest::newRow("truncated toward zero") << 103 << 4 << 0;
    QTest::newRow("negative becomes 0") << 60 << 3 << 0;
}

void TestMainWindow::tabWidthRule()
{
    QFETCH(int, stripWidth);
    QFETCH(int, tabs);
    QFETCH(int, expected);

    TfrmMain &main = *m_main;
    QCOMPARE(main.pnlWindows->tabWidth(), 150); // until first computed
    for (int i = 0; i < tabs; ++i)
        main.pnlWindows->addPage(QString::number(i), 0, i + 1);
    main.pnlWindows->resize(stripWidth, 20); // the strip's resize runs the rule
    QCOMPARE(main.pnlWindows->tabWidth(), expected);
}

void TestMainWindow::emptyStripKeepsItsTabWidth()
{
    TfrmMain &main = *m_main;
    main.pnlWindows->addPage(u"x"_qs, 0, 1);
    main.pnlWindows->resize(600, 20);
    QCOMPARE(main.pnlWindows->tabWidth(), 200);
    main.pnlWindows->removePage(0);
    main.pnlWindows->resize(300, 20);
    QCOMPARE(main.pnlWindows->tabWidth(), 200);
    main.pnlWindowsResize();
    QCOMPARE(main.pnlWindows->tabWidth(), 200);
}

void TestMainWindow::removingATabSelectsTheFollowingOneSilently_data()
{
    QTest::addColumn<int>("active");
    QTest::addColumn<int>("removed");
    QTest::addColumn<int>("expectedTag");

    // Tabs carry the tags 1, 2, 3, 4.
    QTest::newRow("the active one") << 1 << 1 << 3;
    QTest::newRow("another one: its follower all the same") << 3 << 0 << 2;
    QTest::newRow("the last one wraps to the first") << 1 << 3 << 1;
}

void TestMainWindow::removingATabSelectsTheFollowingOneSilently()
{
    QFETCH(int, active);
    QFETCH(int, removed);
    QFETCH(int, expectedTag);

    TfrmMain &main = *m_main;
    for (int tag = 1; tag <= 4; ++tag)
        openChild(main, tag);
    main.pnlWindows->setActivePageIndex(active);
    QMdiSubWindow *activeWindow = main.MdiArea->activeSubWindow();
    QSignalSpy changes(main.pnlWindows, &PageTabBar::change);
    main.pnlWindows->removePage(removed);
    QCOMPARE(main.pnlWindows->tag(main.pnlWindows->activePageIndex()), expectedTag);
    QCOMPARE(changes.count(), 0);
    // The window of the newly selected tab is not activated.
    QCOMPARE(main.MdiArea->activeSubWindow(), activeWindow);
}

void TestMainWindow::tabClickActivatesItsWindowEvenWhenSelected()
{
    TfrmMain &main = *m_main;
    MdiChild *five = openChild(main, 5);
    MdiChild *seven = openChild(main, 7);
    main.pnlWindows->resize(600, 20);
    QCOMPARE(main.MdiArea->activeSubWindow(), seven);

    auto clickTab = [&](int index) {
        QTest::mouseClick(main.pnlWindows, Qt::LeftButton, {},
                          main.pnlWindows->tabRect(index).center());
    };
    clickTab(0);
    QCOMPARE(main.pnlWindows->activePageIndex(), 0);
    QCOMPARE(main.MdiArea->activeSubWindow(), five);

    // Another window comes forward by other means; the strip does not follow...
    main.MdiArea->setActiveSubWindow(seven);
    QCOMPARE(main.pnlWindows->activePageIndex(), 0);
    // ...and a click on the selected tab still brings its window back.
    clickTab(0);
    QCOMPARE(main.MdiArea->activeSubWindow(), five);

    clickTab(1);
    QCOMPARE(main.MdiArea->activeSubWindow(), seven);
}

void TestMainWindow::windowTabsShowNoCloseButtons()
{
    TfrmMain &main = *m_main;
    openChild(main, 1);
    openChild(main, 2);
    QVERIFY(main.pnlWindows->showCloseBtns());
    for (int i = 0; i < main.pnlWindows->pageCount(); ++i) {
        QVERIFY(!main.pnlWindows->useCloseBtn(i));
        QCOMPARE(main.pnlWindows->tabButton(i, QTabBar::RightSide), nullptr);
    }
}

void TestMainWindow::aboutBox()
{
    TfrmAbout &about = *frmAbout;
    QCOMPARE(about.windowTitle(), u"О программе ..."_qs);
    QCOMPARE(about.size(), QSize(298, 213));
    QCOMPARE(about.ProductName->text(), u"Кельвора"_qs);
    QCOMPARE(about.Version->text(), u"Версия 0.0 (Демо)"_qs);
    QVERIFY(about.ProductName->isVisibleTo(&about));
    QVERIFY(!about.ProgramIcon->isVisibleTo(&about));
    QVERIFY(about.OKButton->isDefault());

    // Each round opens the box through the menu action, tries keys and ends it one way.
    enum class End { Ok, Enter, CloseBox };
    for (const End end : {End::Ok, End::Enter, End::CloseBox}) {
        bool checked = false;
        QTimer::singleShot(0, this, [&] {
            QWidget *modal = QApplication::activeModalWidget();
            QCOMPARE(modal, &about);
            QTest::keyClick(modal, Qt::Key_Escape);
            QVERIFY(about.isVisible()); // Escape does not dismiss it
            checked = true;
            switch (end) {
            case End::Ok:
                QTest::mouseClick(about.OKButton, Qt::LeftButton);
                break;
            case End::Enter:
                QTest::keyClick(modal, Qt::Key_Return);
                break;
            case End::CloseBox:
                modal->close();
                break;
            }
        });
        m_main->Action6->trigger();
        QVERIFY(checked);
        QVERIFY(about.isHidden());
        QVERIFY(frmAbout); // reused, not freed
    }
}

KELVORA_GUI_TEST_MAIN(TestMainWindow)

#include "tst_mainwindow.moc"
