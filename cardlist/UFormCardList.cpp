#include "cardlist/UFormCardList.h"

#include "carddata/DataSource.h"
#include "carddata/DayNumber.h"
#include "carddata/MemTable.h"
#include "cardlist/CardGridColumns.h"
#include "cardlist/CardIndexReport.h"
#include "controls/DataGrid.h"
#include "controls/DateEdit.h"
#include "controls/DropDownList.h"
#include "controls/EditColours.h"
#include "mainwindow/frmMainForm.h"
#include "personalcard/UFormPersonalCard.h"

#include <QAction>
#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenu>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

template<typename Widget>
Widget *place(Widget *widget, QWidget *parent, const char *name, QRect geometry)
{
    widget->setParent(parent);
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(geometry);
    return widget;
}

// A caption standing to the left of its control, 5 pixels away, centred on it.
void captionFor(QWidget *control, const QString &text)
{
    auto *label = new QLabel(text, control->parentWidget());
    label->setBuddy(control);
    label->adjustSize();
    label->move(control->x() - 5 - label->width(),
                control->y() + (control->height() - label->height()) / 2);
}

QToolButton *clearButton(QWidget *parent, const char *name, QRect geometry)
{
    auto *button = place(new QToolButton, parent, name, geometry);
    button->setIcon(QIcon(QStringLiteral(":/icons/cross.svg")));
    button->setIconSize(QSize(16, 16));
    button->setToolTip(QStringLiteral("Очистить"));
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

QWidget *filterPage(const char *name)
{
    auto *page = new QWidget;
    page->setObjectName(QString::fromLatin1(name));
    return page;
}

} // namespace

TfrmViewPersonsList::TfrmViewPersonsList(QMdiArea *area)
    : MdiChild(area)
    , sPanel1(new QFrame)
    , rbPersonal(place(new QRadioButton(QStringLiteral("Персональные данные")), sPanel1,
                       "rbPersonal", {16, 8, 141, 19}))
    , rbWork(place(new QRadioButton(QStringLiteral("Рабочие данные")), sPanel1, "rbWork",
                   {176, 8, 109, 19}))
    , sSpeedButton1(new QToolButton(sPanel1))
    , mnuPrint(new QMenu(this))
    , N1(mnuPrint->addAction(QStringLiteral("Печать картотеки")))
    , N2(mnuPrint->addAction(QStringLiteral("Печать по странам")))
    , sPageControl1(new PageControl)
    , tsByName(filterPage("tsByName"))
    , tsByBorn(filterPage("tsByBorn"))
    , tsByGragdanstvo(filterPage("tsByGragdanstvo"))
    , edtFamily(place(new QLineEdit, tsByName, "edtFamily", {72, 13, 297, 21}))
    , sSpeedButton5(clearButton(tsByName, "sSpeedButton5", {370, 13, 23, 21}))
    , edtDateBorn(place(new DateEdit, tsByBorn, "edtDateBorn", {120, 11, 86, 21}))
    , sSpeedButton4(clearButton(tsByBorn, "sSpeedButton4", {207, 11, 23, 21}))
    , edtDateBornFrom(place(new DateEdit, tsByBorn, "edtDateBornFrom", {392, 0, 86, 21}))
    , sSpeedButton2(clearButton(tsByBorn, "sSpeedButton2", {477, 1, 23, 21}))
    , edtDateBornTo(place(new DateEdit, tsByBorn, "edtDateBornTo", {392, 25, 86, 21}))
    , sSpeedButton3(clearButton(tsByBorn, "sSpeedButton3", {477, 25, 23, 21}))
    , cmbGragdanstvo(place(new DropDownList, tsByGragdanstvo, "cmbGragdanstvo", {128, 16, 209, 21}))
    , sSpeedButton7(clearButton(tsByGragdanstvo, "sSpeedButton7", {339, 16, 23, 21}))
    , DBGridEh1(new DataGrid)
    , TimerFind(new QTimer(this))
{
    setObjectName(QStringLiteral("frmViewPersonsList"));
    setWindowTitle(QStringLiteral("Картотека"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/group.svg")));

    // The tool panel: the column sets on the left, the print button at the right end.
    sPanel1->setObjectName(QStringLiteral("sPanel1"));
    sPanel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    sPanel1->setFixedHeight(41);
    sPanel1->installEventFilter(this);
    rbPersonal->setChecked(true);
    sSpeedButton1->setObjectName(QStringLiteral("sSpeedButton1"));
    sSpeedButton1->setText(QStringLiteral("  Печать  "));
    sSpeedButton1->setIcon(QIcon(QStringLiteral(":/icons/printer.svg")));
    sSpeedButton1->setIconSize(QSize(24, 24));
    sSpeedButton1->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    sSpeedButton1->setPopupMode(QToolButton::InstantPopup);
    sSpeedButton1->setMenu(mnuPrint);
    mnuPrint->setObjectName(QStringLiteral("mnuPrint"));
    N1->setObjectName(QStringLiteral("N1"));
    N2->setObjectName(QStringLiteral("N2"));
    N2->setVisible(false);

    // The filter panel.
    sPageControl1->setObjectName(QStringLiteral("sPageControl1"));
    sPageControl1->setFixedHeight(80);
    sPageControl1->addPage(tsByName, QStringLiteral("По ФИО"));
    sPageControl1->addPage(tsByBorn, QStringLiteral("Дата рождения"));
    sPageControl1->addPage(tsByGragdanstvo, QStringLiteral("Гражданство"));
    PageTabBar *tabs = sPageControl1->pageTabBar();
    tabs->setTabWidth(150);
    tabs->setShowCloseBtns(true);
    for (int i = 0; i < tabs->pageCount(); ++i)
        tabs->setUseCloseBtn(i, false); // no filter is in force at first
    tabs->setActivePageIndex(ByName);

    captionFor(edtFamily, QStringLiteral("ФИО"));
    captionFor(edtDateBorn, QStringLiteral("Дата рождения"));
    auto *period
        = place(new QLabel(QStringLiteral("Период")), tsByBorn, "sLabel1", {320, 16, 38, 13});
    period->setMinimumWidth(period->sizeHint().width());
    captionFor(edtDateBornFrom, QStringLiteral("с"));
    captionFor(edtDateBornTo, QStringLiteral("по"));
    cmbGragdanstvo->addItems({QStringLiteral("Любое"), QStringLiteral("Россия"),
                              QStringLiteral("Украина"), QStringLiteral("Узбекистан"),
                              QStringLiteral("Молдова")});
    captionFor(cmbGragdanstvo, QStringLiteral("Гражданство"));
    useEditColours(edtFamily); // the date edits have them already
    useEditColours(cmbGragdanstvo);

    // The card grid shows the main window's card table.
    DBGridEh1->setObjectName(QStringLiteral("DBGridEh1"));
    DBGridEh1->setColumns(CardGridColumns::columns());
    DBGridEh1->setDataSource(frmMain->DataMemTbl);

    auto *client = new QWidget;
    auto *layout = new QVBoxLayout(client);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(sPanel1);
    layout->addWidget(sPageControl1);
    layout->addWidget(DBGridEh1, 1);
    setWidget(client);
    setClientSize(QSize(647, 473));
    setTabOrder(edtDateBorn, edtDateBornFrom);
    setTabOrder(edtDateBornFrom, edtDateBornTo);

    TimerFind->setObjectName(QStringLiteral("TimerFind"));
    TimerFind->setInterval(500);
    // A coarse timer may fire early; the wait after the last keystroke is meant to be 500 ms.
    TimerFind->setTimerType(Qt::PreciseTimer);

    connect(rbPersonal, &QRadioButton::clicked, this, &TfrmViewPersonsList::rbPersonalClick);
    connect(rbWork, &QRadioButton::clicked, this, &TfrmViewPersonsList::rbPersonalClick);
    connect(N1, &QAction::triggered, this, &TfrmViewPersonsList::N1Click);
    connect(edtFamily, &QLineEdit::textChanged, this, &TfrmViewPersonsList::ChangeFilters);
    for (DateEdit *edit : {edtDateBorn, edtDateBornFrom, edtDateBornTo})
        connect(edit, &QLineEdit::textChanged, this, &TfrmViewPersonsList::ChangeFilters);
    connect(cmbGragdanstvo, &DropDownList::closeUp, this, &TfrmViewPersonsList::ChangeFilters);
    connect(TimerFind, &QTimer::timeout, this, &TfrmViewPersonsList::TimerFindTimer);
    connect(tabs, &PageTabBar::closeBtnClick, this,
            &TfrmViewPersonsList::sPageControl1CloseBtnClick);
    connect(sSpeedButton5, &QToolButton::clicked, this, &TfrmViewPersonsList::sSpeedButton5Click);
    connect(sSpeedButton4, &QToolButton::clicked, this, &TfrmViewPersonsList::sSpeedButton4Click);
    connect(sSpeedButton2, &QToolButton::clicked, this, &TfrmViewPersonsList::sSpeedButton2Click);
    connect(sSpeedButton3, &QToolButton::clicked, this, &TfrmViewPersonsList::sSpeedButton3Click);
    connect(sSpeedButton7, &QToolButton::clicked, this, &TfrmViewPersonsList::sSpeedButton7Click);
    connect(DBGridEh1, &DataGrid::titleBtnClick, this,
            &TfrmViewPersonsList::DBGridEh1TitleBtnClick);
    connect(DBGridEh1, &DataGrid::dblClick, this, &TfrmViewPersonsList::DBGridEh1DblClick);

    // The window shows itself as it is created.
    show();
}

TfrmViewPersonsList::~TfrmViewPersonsList() = default;

bool TfrmViewPersonsList::filterActive(FilterTab tab) const
{
    return sPageControl1->pageTabBar()->useCloseBtn(tab);
}

bool TfrmViewPersonsList::eventFilter(QObject *watched, QEvent *event)
{
    // The print button keeps to the right end of the tool panel, the panel's full height less
    // its border.
    if (watched == sPanel1 && event->type() == QEvent::Resize)
        sSpeedButton1->setGeometry(sPanel1->width() - 1 - 174, 1, 174, sPanel1->height() - 2);
    return MdiChild::eventFilter(watched, event);
}

void TfrmViewPersonsList::showEvent(QShowEvent *event)
{
    MdiChild::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TfrmViewPersonsList::closeEvent(QCloseEvent *event)
{
    bool canClose = true;
    FormCloseQuery(canClose);
    if (!canClose) {
        event->ignore();
        return;
    }
    FormClose();
    MdiChild::closeEvent(event);
}

void TfrmViewPersonsList::FormShow()
{
    rbPersonalClick();
    PageTabBar *strip = frmMain->pnlWindows;
    const int tab = strip->addPage(QStringLiteral("Картотека"), 1);
    strip->setUseCloseBtn(tab, false);
}

void TfrmViewPersonsList::FormCloseQuery(bool &canClose)
{
    canClose = true;
}

void TfrmViewPersonsList::FormClose()
{
    // The window frees itself once closed (WA_DeleteOnClose).
    PageTabBar *strip = frmMain->pnlWindows;
    for (int i = 0; i < strip->pageCount(); ++i) {
        if (strip->imageIndex(i) == 1) {
            strip->removePage(i);
            break;
        }
    }
    // Without this window there is nothing to filter by: the card table shows every row again,
    // in the order it has, and a list window opened later matches its empty filter controls.
    TimerFind->stop();
    frmMain->TblCardList->setFiltered(false);
}

void TfrmViewPersonsList::ChangeFilters()
{
    TimerFind->start();
}

void TfrmViewPersonsList::TimerFindTimer()
{
    TimerFind->stop();
    ApplyFilters();
}

void TfrmViewPersonsList::ApplyFilters()
{
    TimerFind->stop();
    PageTabBar *tabs = sPageControl1->pageTabBar();
    tabs->setUseCloseBtn(ByName, !edtFamily->text().isEmpty());
    tabs->setUseCloseBtn(ByBorn,
                         DayNumber::holdsDate(edtDateBorn->date())
                             || DayNumber::holdsDate(edtDateBornFrom->date())
                             || DayNumber::holdsDate(edtDateBornTo->date()));
    tabs->setUseCloseBtn(ByGragdanstvo, cmbGragdanstvo->currentIndex() > 0);
    MemTable *table = frmMain->TblCardList;
    table->setFiltered(false);
    table->setFiltered(true);
}

void TfrmViewPersonsList::sPageControl1CloseBtnClick(int tabIndex, bool *canClose, TabCloseAction *)
{
    *canClose = false; // the tab stays; only its filter goes
    switch (tabIndex) {
    case ByName:
        edtFamily->setText(QString());
        break;
    case ByBorn:
        edtDateBorn->setText(QString());
        edtDateBornFrom->setText(QString());
        edtDateBornTo->setText(QString());
        break;
    case ByGragdanstvo:
        cmbGragdanstvo->setCurrentIndex(0);
        break;
    default:
        break;
    }
    ApplyFilters();
}

void TfrmViewPersonsList::sSpeedButton5Click()
{
    edtFamily->setText(QString());
    ApplyFilters();
}

void TfrmViewPersonsList::sSpeedButton4Click()
{
    edtDateBorn->setText(QString());
    ApplyFilters();
}

void TfrmViewPersonsList::sSpeedButton2Click()
{
    edtDateBornFrom->setText(QString());
    ApplyFilters();
}

void TfrmViewPersonsList::sSpeedButton3Click()
{
    edtDateBornTo->setText(QString());
    ApplyFilters();
}

void TfrmViewPersonsList::sSpeedButton7Click()
{
    cmbGragdanstvo->setCurrentIndex(0);
    ApplyFilters();
}

void TfrmViewPersonsList::rbPersonalClick()
{
    DBGridEh1->setColumnVisible(0, true);
    for (int i = CardGridColumns::FirstPersonal; i <= CardGridColumns::LastPersonal; ++i)
        DBGridEh1->setColumnVisible(i, rbPersonal->isChecked());
    for (int i = CardGridColumns::FirstWork; i <= CardGridColumns::LastWork; ++i)
        DBGridEh1->setColumnVisible(i, rbWork->isChecked());
}

void TfrmViewPersonsList::DBGridEh1TitleBtnClick(int column)
{
    for (int i = 0; i < DBGridEh1->gridColumnCount(); ++i)
        DBGridEh1->setSortMarker(i, SortMarker::None);
    DBGridEh1->setSortMarker(column, SortMarker::Down);
    // Columns bound to no field pass an empty name, which leaves the order as it is.
    frmMain->TblCardList->sortByField(DBGridEh1->gridColumn(column).fieldName);
}

void TfrmViewPersonsList::DBGridEh1DblClick()
{
    OpenPersonalCard();
}

void TfrmViewPersonsList::N1Click()
{
    showCardIndexReport(this, *frmMain->DataMemTbl);
}
