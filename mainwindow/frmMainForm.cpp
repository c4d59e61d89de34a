#include "mainwindow/frmMainForm.h"

#include "carddata/CardTable.h"
#include "carddata/DataSource.h"
#include "carddata/MemTable.h"
#include "cardlist/UFormCardList.h"
#include "controls/DateEdit.h"
#include "controls/DropDownList.h"
#include "mainwindow/MdiChild.h"
#include "mainwindow/UFormAbout.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

MemTable *createCardTable(QObject *owner)
{
    auto *table = new MemTable(owner);
    table->setObjectName(QStringLiteral("TblCardList"));
    CardTable::defineFields(*table);
    return table;
}

QList<QIcon> imageList()
{
    return {QIcon(QStringLiteral(":/icons/person.svg")), QIcon(QStringLiteral(":/icons/group.svg")),
            QIcon(QStringLiteral(":/icons/door.svg"))};
}

// Tab widths follow the strip: (width - 100) / n, truncated toward zero, at most 200 pixels.
constexpr int MaxWindowTabWidth = 200;

} // namespace

TfrmMain::TfrmMain(QWidget *parent)
    : QMainWindow(parent)
    , TblCardList(createCardTable(this))
    , DataMemTbl(new DataSource(this))
    , MdiArea(new QMdiArea)
    , pnlWindows(new PageTabBar)
    , sStatusBar1(new QStatusBar)
    , ImageList1(imageList())
    , Action9(createAction("Action9", QStringLiteral("Файл"),
                           QStringLiteral("Синхронизация с сервером")))
    , Action1(createAction("Action1", QStringLiteral("Файл"), QStringLiteral("Выход"), 2))
    , Action2(
          createAction("Action2", QStringLiteral("Картотека"), QStringLiteral("Список граждан"), 1))
    , Action7(createAction("Action7", QStringLiteral("Картотека"),
                           QStringLiteral("Список организаций")))
    , Action3(createAction("Action3", QStringLiteral("Картотека"),
                           QStringLiteral("Платежные документы")))
    , Action4(createAction("Action4", QStringLiteral("Картотека"),
                           QStringLiteral("Территории действия")))
    , Action5(createAction("Action5", QStringLiteral("Картотека"),
                           QStringLiteral("Адресный клиссификатор")))
    , Action8(createAction("Action8", QStringLiteral("Окна"), QStringLiteral("Открытые карточки")))
    , WindowClose1(
          createAction("WindowClose1", QStringLiteral("Окна"), QStringLiteral("Закрыть окно")))
    , WindowCascade1(
          createAction("WindowCascade1", QStringLiteral("Окна"), QStringLiteral("Каскадом")))
    , WindowTileVertical1(createAction("WindowTileVertical1", QStringLiteral("Окна"),
                                       QStringLiteral("Выстроить вертикально")))
    , WindowTileHorizontal1(createAction("WindowTileHorizontal1", QStringLiteral("Окна"),
                                         QStringLiteral("Выстроить горизонтально")))
    , WindowMinimizeAll1(createAction("WindowMinimizeAll1", QStringLiteral("Окна"),
                                      QStringLiteral("Минимизировать все")))
    , Action6(createAction("Action6", QStringLiteral("Справка"), QStringLiteral("О программе ...")))
    , m_family(TblCardList->fieldByName(u"FAMILY"))
    , m_name(TblCardList->fieldByName(u"NAME"))
    , m_secName(TblCardList->fieldByName(u"SEC_NAME"))
    , m_cardRecord(*TblCardList)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Кельвора"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/kelvora.svg")));
    // The restored size: client area 672 x 443 at the top left of the screen.
    resize(672, 443);
    move(0, 0);

    DataMemTbl->setObjectName(QStringLiteral("DataMemTbl"));
    DataMemTbl->setDataSet(TblCardList);
    TblCardList->fieldByName(u"FIO")->setOnGetText(
        [this](MemField &sender, QString &text, bool displayText) {
            TblCardListFIOGetText(sender, text, displayText);
        });
    TblCardList->setOnFilterRecord(
        [this](MemTable &dataSet, bool &accept) { TblCardListFilterRecord(dataSet, accept); });
    // The filter's inputs cannot change during a pass, so they are read once per pass.
    connect(TblCardList, &MemTable::filterPassStarting, this,
            [this] { m_cardFilter = CardFilter(cardFilterInputs()); });

    // The MDI area fills the client area; the window tab strip runs along its bottom edge,
    // directly above the status bar.
    auto *client = new QWidget;
    auto *layout = new QVBoxLayout(client);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    MdiArea->setObjectName(QStringLiteral("MdiArea"));
    layout->addWidget(MdiArea, 1);
    pnlWindows->setObjectName(QStringLiteral("pnlWindows"));
    pnlWindows->setImages(ImageList1);
    pnlWindows->setShowCloseBtns(true);
    pnlWindows->setDrawBase(false);
    pnlWindows->setTabWidth(150);
    layout->addWidget(pnlWindows);
    setCentralWidget(client);

    sStatusBar1->setObjectName(QStringLiteral("sStatusBar1"));
    sStatusBar1->setSizeGripEnabled(false);
    sStatusBar1->setFixedHeight(15);
    for (const int width : {350, 50}) {
        auto *panel = new QLabel;
        panel->setFixedWidth(width);
        panel->setFrameShape(QFrame::StyledPanel);
        panel->setFrameShadow(QFrame::Sunken);
        sStatusBar1->addWidget(panel);
    }
    setStatusBar(sStatusBar1);

    buildMenus();

    connect(pnlWindows, &PageTabBar::change, this, &TfrmMain::pnlWindowsChange);
    connect(pnlWindows, &PageTabBar::resized, this, &TfrmMain::pnlWindowsResize);
    connect(pnlWindows, &PageTabBar::closeBtnClick, this, &TfrmMain::pnlWindowsCloseBtnClick);
    connect(MdiArea, &QMdiArea::subWindowActivated, this, &TfrmMain::updateWindowActions);
    MdiArea->viewport()->installEventFilter(this);

    FormCreate();
}

TfrmMain::~TfrmMain()
{
    // The child windows go with the MDI area; nothing of this half-destroyed window may hear
    // about it.
    disconnect(MdiArea, nullptr, this, nullptr);
    MdiArea->viewport()->removeEventFilter(this);
    TblCardList->disconnect(this);
}

QAction *TfrmMain::createAction(const char *name, const QString &category, const QString &caption,
                                int image)
{
    auto *action = new QAction(caption, this);
    action->setObjectName(QString::fromLatin1(name));
    action->setProperty("category", category);
    if (image >= 0)
        action->setIcon(ImageList1.value(image));
    // An action with no handler stays disabled; those with one are enabled where connected.
    action->setEnabled(false);
    return action;
}

void TfrmMain::buildMenus()
{
    // Alt+X is shown on "Выход" but does nothing while the action is disabled.
    Action1->setShortcut(QKeySequence(Qt::ALT | Qt::Key_X));
    Action1->setShortcutVisibleInContextMenu(true);
    Action8->setVisible(false);

    Action2->setEnabled(true);
    connect(Action2, &QAction::triggered, this, &TfrmMain::Action2Execute);
    Action6->setEnabled(true);
    connect(Action6, &QAction::triggered, this, &TfrmMain::Action6Execute);

    connect(WindowClose1, &QAction::triggered, MdiArea, &QMdiArea::closeActiveSubWindow);
    connect(WindowCascade1, &QAction::triggered, MdiArea, &QMdiArea::cascadeSubWindows);
    // "Выстроить вертикально" puts the windows side by side, "горизонтально" one above another.
    connect(WindowTileVertical1, &QAction::triggered, this, [this] { tile(Qt::Horizontal); });
    connect(WindowTileHorizontal1, &QAction::triggered, this, [this] { tile(Qt::Vertical); });
    connect(WindowMinimizeAll1, &QAction::triggered, this, &TfrmMain::minimizeAll);

    QMenuBar *bar = menuBar();
    bar->setObjectName(QStringLiteral("ActionMainMenuBar1"));
    QMenu *file = bar->addMenu(QStringLiteral("Файл"));
    file->addAction(Action9);
    file->addSeparator();
    file->addAction(Action1);
    QMenu *cards = bar->addMenu(QStringLiteral("Картотека"));
    cards->addActions({Action2, Action7, Action3, Action4, Action5});
    QMenu *windows = bar->addMenu(QStringLiteral("Окна"));
    windows->addAction(Action8);
    windows->addSeparator();
    windows->addActions({WindowClose1, WindowCascade1, WindowTileVertical1, WindowTileHorizontal1,
                         WindowMinimizeAll1});
    QMenu *help = bar->addMenu(QStringLiteral("Справка"));
    help->addAction(Action6);

    QToolBar *tools = addToolBar(QStringLiteral("ActionToolBar1"));
    tools->setObjectName(QStringLiteral("ActionToolBar1"));
    tools->setMovable(false);
    tools->setFloatable(false);
    tools->setIconSize(QSize(16, 16));
    tools->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    tools->toggleViewAction()->setVisible(false);
    tools->addActions({Action2, Action7, Action3, Action4, Action5});
    setContextMenuPolicy(Qt::NoContextMenu);
}

void TfrmMain::FormCreate()
{
    pnlWindows->setFixedHeight(20);
    pnlWindows->setTabHeight(20);
    while (pnlWindows->pageCount() > 0)
        pnlWindows->removePage(0);
    CardTable::populate(*TblCardList);
}

void TfrmMain::Action2Execute()
{
    for (int i = 0; i < pnlWindows->pageCount(); ++i) {
        if (pnlWindows->imageIndex(i) == 1) {
            pnlWindows->setActivePageIndex(i);
            pnlWindowsChange();
            return;
        }
    }
    // The window shows itself and adds its list tab as it is created; it does not become the
    // selected tab.
    frmViewPersonsList = new TfrmViewPersonsList(MdiArea);
    pnlWindowsResize();
}

void TfrmMain::Action6Execute()
{
    if (frmAbout)
        frmAbout->exec();
}

void TfrmMain::pnlWindowsChange()
{
    const int active = pnlWindows->activePageIndex();
    if (active < 0)
        return;
    switch (pnlWindows->imageIndex(active)) {
    case 0: {
        // Every child with the tab's tag is asked to come forward, in the child list's order.
        const int tag = pnlWindows->tag(active);
        const QList<QMdiSubWindow *> children = MdiArea->subWindowList(QMdiArea::CreationOrder);
        for (QMdiSubWindow *child : children) {
            const auto *window = qobject_cast<MdiChild *>(child);
            if (window && window->Tag == tag)
                MdiArea->setActiveSubWindow(child);
        }
        break;
    }
    case 1:
        if (frmViewPersonsList)
            MdiArea->setActiveSubWindow(frmViewPersonsList);
        break;
    default:
        break;
    }
}

void TfrmMain::pnlWindowsResize()
{
    const int pages = pnlWindows->pageCount();
    if (pages <= 0)
        return;
    // A strip narrower than 100 pixels plus one per tab gives a negative width: PageTabBar
    // takes it as 0 instead of refusing it.
    pnlWindows->setTabWidth(std::min((pnlWindows->width() - 100) / pages, MaxWindowTabWidth));
}

void TfrmMain::pnlWindowsCloseBtnClick(int tabIndex, bool *canClose, TabCloseAction *)
{
    // Window tabs have no close button, so this request does not arise; were it to, the list
    // window would close, its own close handler taking its tab away.
    if (pnlWindows->imageIndex(tabIndex) != 1 || !frmViewPersonsList)
        return;
    bool mayClose = true;
    frmViewPersonsList->FormCloseQuery(mayClose);
    if (mayClose)
        frmViewPersonsList->close();
    else
        *canClose = false;
}

void TfrmMain::tile(Qt::Orientation orientation)
{
    // Horizontal: side by side; vertical: one above the other. Together they cover the area.
    const QList<QMdiSubWindow *> windows = tiledWindows();
    const QRect area = MdiArea->viewport()->rect();
    const int n = int(windows.size());
    const int length = orientation == Qt::Horizontal ? area.width() : area.height();
    for (int i = 0; i < n; ++i) {
        const int from = length * i / n;
        const int to = length * (i + 1) / n;
        windows[i]->setGeometry(orientation == Qt::Horizontal
                                    ? QRect(from, 0, to - from, area.height())
                                    : QRect(0, from, area.width(), to - from));
    }
}

QList<QMdiSubWindow *> TfrmMain::tiledWindows() const
{
    // The windows to tile, the active one first; minimised windows stay where they are.
    QList<QMdiSubWindow *> windows;
    const QList<QMdiSubWindow *> history = MdiArea->subWindowList(QMdiArea::ActivationHistoryOrder);
    for (auto it = history.rbegin(); it != history.rend(); ++it) {
        QMdiSubWindow *window = *it;
        if (window->isHidden() || window->isMinimized())
            continue;
        if (window->isMaximized())
            window->showNormal();
        windows << window;
    }
    return windows;
}

void TfrmMain::minimizeAll()
{
    const QList<QMdiSubWindow *> children = MdiArea->subWindowList(QMdiArea::CreationOrder);
    for (auto it = children.rbegin(); it != children.rend(); ++it)
        (*it)->showMinimized();
}

void TfrmMain::updateWindowActions()
{
    const bool hasChildren = !MdiArea->subWindowList().isEmpty();
    WindowClose1->setEnabled(MdiArea->activeSubWindow() != nullptr);
    WindowCascade1->setEnabled(hasChildren);
    WindowTileVertical1->setEnabled(hasChildren);
    WindowTileHorizontal1->setEnabled(hasChildren);
    WindowMinimizeAll1->setEnabled(hasChildren);
}

bool TfrmMain::eventFilter(QObject *watched, QEvent *event)
{
    // Children come and go in the MDI area's viewport; the window actions follow once the area
    // has taken note.
    if (watched == MdiArea->viewport()
        && (event->type() == QEvent::ChildAdded || event->type() == QEvent::ChildRemoved))
        QTimer::singleShot(0, this, &TfrmMain::updateWindowActions);
    return QMainWindow::eventFilter(watched, event);
}

void TfrmMain::closeEvent(QCloseEvent *event)
{
    // Each child is asked whether it may close; their close handlers do not run at shutdown.
    if (frmViewPersonsList) {
        bool canClose = true;
        frmViewPersonsList->FormCloseQuery(canClose);
        if (!canClose) {
            event->ignore();
            return;
        }
    }
    QMainWindow::closeEvent(event);
}

void TfrmMain::TblCardListFIOGetText(MemField &, QString &text, bool)
{
    text = CardTable::fullName(m_family->asStringView(), m_name->asStringView(),
                               m_secName->asStringView());
}

void TfrmMain::TblCardListFilterRecord(MemTable &, bool &accept)
{
    accept = m_cardFilter.accepts(m_cardRecord);
}

CardFilterInputs TfrmMain::cardFilterInputs() const
{
    // The filter reads the card list window only while it exists; without it every row passes.
    const TfrmViewPersonsList *list = frmViewPersonsList;
    if (!list)
        return {};
    CardFilterInputs in;
    in.byName = list->filterActive(TfrmViewPersonsList::ByName);
    in.byBirthDate = list->filterActive(TfrmViewPersonsList::ByBorn);
    in.byCitizenship = list->filterActive(TfrmViewPersonsList::ByGragdanstvo);
    in.searchText = list->edtFamily->text();
    in.exactDate = list->edtDateBorn->date();
    in.fromDate = list->edtDateBornFrom->date();
    in.toDate = list->edtDateBornTo->date();
    in.citizenship = list->cmbGragdanstvo->currentText();
    return in;
}
