#pragma once

#include "controls/PageControl.h"
#include "mainwindow/MdiChild.h"

#include <QPointer>

class DataGrid;
class DateEdit;
class DropDownList;
class QAction;
class QFrame;
class QLineEdit;
class QMenu;
class QRadioButton;
class QTimer;
class QToolButton;
class QWidget;

// The card list window: the column set switch and the print button, the filter panel with its
// three filter tabs, and the card grid over the main window's card table. The filters act 500 ms
// after the last change; each filter tab shows its close button while its filter is in force,
// and that flag is what the card filter reads.
class TfrmViewPersonsList final : public MdiChild
{
    Q_OBJECT

public:
    explicit TfrmViewPersonsList(QMdiArea *area);
    ~TfrmViewPersonsList() override;

    // The filter tabs, in this order in sPageControl1.
    enum FilterTab { ByName = 0, ByBorn = 1, ByGragdanstvo = 2 };
    // Whether a filter tab's filter is in force: the tab's close-button switch.
    bool filterActive(FilterTab tab) const;

    QFrame *const sPanel1;
    QRadioButton *const rbPersonal;
    QRadioButton *const rbWork;
    QToolButton *const sSpeedButton1;
    QMenu *const mnuPrint;
    QAction *const N1;
    QAction *const N2;

    PageControl *const sPageControl1;
    QWidget *const tsByName;
    QWidget *const tsByBorn;
    QWidget *const tsByGragdanstvo;
    QLineEdit *const edtFamily;
    QToolButton *const sSpeedButton5;
    DateEdit *const edtDateBorn;
    QToolButton *const sSpeedButton4;
    DateEdit *const edtDateBornFrom;
    QToolButton *const sSpeedButton2;
    DateEdit *const edtDateBornTo;
    QToolButton *const sSpeedButton3;
    DropDownList *const cmbGragdanstvo;
    QToolButton *const sSpeedButton7;

    DataGrid *const DBGridEh1;
    QTimer *const TimerFind;

    void FormShow();
    void FormCloseQuery(bool &canClose);
    void FormClose();
    void ChangeFilters();
    void TimerFindTimer();
    void sPageControl1CloseBtnClick(int tabIndex, bool *canClose, TabCloseAction *action);
    void sSpeedButton5Click();
    void sSpeedButton4Click();
    void sSpeedButton2Click();
    void sSpeedButton3Click();
    void sSpeedButton7Click();
    void rbPersonalClick();
    void DBGridEh1TitleBtnClick(int column);
    void DBGridEh1DblClick();
    void N1Click();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void ApplyFilters();

    bool m_shown = false;
};

// The card list window while it exists; null once it is gone.
inline QPointer<TfrmViewPersonsList> frmViewPersonsList;
