#pragma once

#include "carddata/CardFilter.h"
#include "controls/PageControl.h"

#include <QList>
#include <QMainWindow>
#include <QPointer>

class DataSource;
class MemField;
class MemTable;
class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QStatusBar;
class QToolBar;

// The main window: the frame of the multi-document interface, owner of the card table, the
// actions of the menu bar and the tool bar, and the window tab strip that holds one tab per open
// child window.
class TfrmMain final : public QMainWindow
{
    Q_OBJECT

public:
    explicit TfrmMain(QWidget *parent = nullptr);
    ~TfrmMain() override;

    MemTable *const TblCardList;
    DataSource *const DataMemTbl;
    QMdiArea *const MdiArea;
    PageTabBar *const pnlWindows;
    QStatusBar *const sStatusBar1;

    // The image list of the bars and the strip: 0 one person, 1 a group, 2 an open door.
    const QList<QIcon> ImageList1;

    QAction *const Action9;
    QAction *const Action1;
    QAction *const Action2;
    QAction *const Action7;
    QAction *const Action3;
    QAction *const Action4;
    QAction *const Action5;
    QAction *const Action8;
    QAction *const WindowClose1;
    QAction *const WindowCascade1;
    QAction *const WindowTileVertical1;
    QAction *const WindowTileHorizontal1;
    QAction *const WindowMinimizeAll1;
    QAction *const Action6;

    void Action2Execute();
    void Action6Execute();

    // The window tab strip's handlers; other windows call the first two directly.
    void pnlWindowsChange();
    void pnlWindowsResize();
    void pnlWindowsCloseBtnClick(int tabIndex, bool *canClose, TabCloseAction *action);

    // The card table's handlers: the full-name text and the card filter.
    void TblCardListFIOGetText(MemField &sender, QString &text, bool displayText);
    void TblCardListFilterRecord(MemTable &dataSet, bool &accept);

    // The window actions' own work: tiling side by side (horizontal) or one above the other
    // (vertical), the active window first; minimising the children from the last to the first.
    void tile(Qt::Orientation orientation);
    void minimizeAll();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormCreate();
    QAction *createAction(const char *name, const QString &category, const QString &caption,
                          int image = -1);
    void buildMenus();
    void updateWindowActions();
    QList<QMdiSubWindow *> tiledWindows() const;
    CardFilterInputs cardFilterInputs() const;

    const MemField *const m_family;
    const MemField *const m_name;
    const MemField *const m_secName;
    CardRecord m_cardRecord;
    CardFilter m_cardFilter;
};

// The program's main window.
inline QPointer<TfrmMain> frmMain;
