#include "controls/PageControl.h"

#include <QApplication>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

namespace {

// A page control with three named pages whose close buttons are all on.
struct ThreePages
{
    ThreePages()
    {
        control.resize(500, 200);
        for (const QString &name : {u"first"_qs, u"second"_qs, u"third"_qs}) {
            auto *page = new QWidget;
            page->setObjectName(name);
            control.addPage(page, name);
        }
        bar()->setShowCloseBtns(true);
        control.show();
    }

    PageTabBar *bar() const { return control.pageTabBar(); }

    QToolButton *closeButton(int index) const
    {
        return qobject_cast<QToolButton *>(bar()->tabButton(index, QTabBar::RightSide));
    }

    QStringList captions() const
    {
        QStringList result;
        for (int i = 0; i < bar()->pageCount(); ++i)
            result << bar()->caption(i);
        return result;
    }

    PageControl control;
};

} // namespace

class TestPageControl : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void newPagesGoLastWithCloseButtonOn();
    void closeButtonNeedsBothSwitches();
    void closeRequest_data();
    void closeRequest();
    void handlerThatRemovesThePageItself();
    void tabSizes_data();
    void tabSizes();
    void changeMeansTheUserChose();
};

void TestPageControl::newPagesGoLastWithCloseButtonOn()
{
    PageTabBar bar;
    QCOMPARE(bar.addPage(u"a"_qs, 1, 10), 0);
    QCOMPARE(bar.addPage(u"b"_qs, 0, 20), 1);
    QCOMPARE(bar.caption(1), u"b"_qs);
    QCOMPARE(bar.imageIndex(0), 1);
    QCOMPARE(bar.tag(1), 20);
    QVERIFY(bar.useCloseBtn(0));
    QVERIFY(!bar.showCloseBtns());
    // Out of range reads as nothing rather than failing.
    QCOMPARE(bar.tag(5), 0);
    QCOMPARE(bar.imageIndex(-1), -1);
}

void TestPageControl::closeButtonNeedsBothSwitches()
{
    ThreePages p;
    QVERIFY(p.closeButton(0));
    p.bar()->setUseCloseBtn(0, false);
    QVERIFY(!p.closeButton(0));
    QVERIFY(p.closeButton(1));
    p.bar()->setShowCloseBtns(false);
    QVERIFY(!p.closeButton(1));
    p.bar()->setShowCloseBtns(true);
    QVERIFY(p.closeButton(1));
    QVERIFY(!p.closeButton(0));
}

void TestPageControl::closeRequest_data()
{
    QTest::addColumn<bool>("canClose");
    QTest::addColumn<TabCloseAction>("action");
    QTest::addColumn<QStringList>("captions");
    QTest::addColumn<bool>("pageAlive");
    QTest::addColumn<bool>("tabVisible");

    QTest::newRow("free") << true << TabCloseAction::Free << QStringList({u"first"_qs, u"third"_qs})
                          << false << false;
    QTest::newRow("hide") << true << TabCloseAction::Hide
                          << QStringList({u"first"_qs, u"second"_qs, u"third"_qs}) << true << false;
    QTest::newRow("refused") << false << TabCloseAction::Free
                             << QStringList({u"first"_qs, u"second"_qs, u"third"_qs}) << true
                             << true;
}

void TestPageControl::closeRequest()
{
    QFETCH(bool, canClose);
    QFETCH(TabCloseAction, action);
    QFETCH(QStringList, captions);
    QFETCH(bool, pageAlive);
    QFETCH(bool, tabVisible);

    ThreePages p;
    QPointer<QWidget> second = p.control.findChild<QWidget *>(u"second"_qs);
    QList<int> requested;
    connect(p.bar(), &PageTabBar::closeBtnClick, this,
            [&](int index, bool *grant, TabCloseAction *chosen) {
                requested << index;
                // The request starts granted, freeing the page.
                QVERIFY(*grant);
                QCOMPARE(*chosen, TabCloseAction::Free);
                *grant = canClose;
                *chosen = action;
            });
    QSignalSpy changes(p.bar(), &PageTabBar::change);
    QTest::mouseClick(p.closeButton(1), Qt::LeftButton);
    QCOMPARE(requested, QList<int>({1}));
    QCOMPARE(p.captions(), captions);
    QCOMPARE(!second.isNull(), pageAlive);
    if (pageAlive)
        QCOMPARE(p.bar()->isTabVisible(1), tabVisible);
    QCOMPARE(changes.count(), 0);
}

void TestPageControl::handlerThatRemovesThePageItself()
{
    // A window that closes itself on the request takes its own tab away; the control must not
    // then take the page that moved into that place.
    ThreePages p;
    connect(p.bar(), &PageTabBar::closeBtnClick, this,
            [&](int index, bool *, TabCloseAction *) { p.bar()->removePage(index); });
    QTest::mouseClick(p.closeButton(0), Qt::LeftButton);
    QCOMPARE(p.captions(), QStringList({u"second"_qs, u"third"_qs}));
}

void TestPageControl::tabSizes_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("expected");

    QTest::newRow("fixed") << 150 << 150;
    QTest::newRow("negative taken as 0") << -5 << 0;
    QTest::newRow("16-bit at most") << 100000 << 32767;
}

void TestPageControl::tabSizes()
{
    QFETCH(int, width);
    QFETCH(int, expected);

    PageTabBar bar;
    bar.addPage(u"Картотека"_qs);
    bar.resize(1000, 20);
    bar.show();
    bar.setTabHeight(20);
    bar.setTabWidth(width);
    QCOMPARE(bar.tabWidth(), expected);
    if (expected > 0 && expected < 1000)
        QCOMPARE(bar.tabRect(0).size(), QSize(expected, 20));
    if (expected == 0) // sized to the caption
        QVERIFY(bar.tabRect(0).width() > bar.fontMetrics().horizontalAdvance(u"Картотека"_qs));
}

void TestPageControl::changeMeansTheUserChose()
{
    ThreePages p;
    QSignalSpy changes(p.bar(), &PageTabBar::change);
    p.bar()->setActivePageIndex(2);
    p.control.addPage(new QWidget, u"fourth"_qs);
    p.bar()->removePage(0);
    QCOMPARE(changes.count(), 0);

    QTest::mouseClick(p.bar(), Qt::LeftButton, {}, p.bar()->tabRect(0).center());
    QCOMPARE(p.bar()->activePageIndex(), 0);
    QCOMPARE(changes.count(), 1);
    QTest::mouseClick(p.bar(), Qt::LeftButton, {}, p.bar()->tabRect(0).center());
    QCOMPARE(changes.count(), 2); // the chosen tab again
    p.bar()->setFocus();
    QTest::keyClick(p.bar(), Qt::Key_Right);
    QCOMPARE(p.bar()->activePageIndex(), 1);
    QCOMPARE(changes.count(), 3);
}

QTEST_MAIN(TestPageControl)
#include "tst_pagecontrol.moc"
