#pragma once

#include "mainwindow/MdiChild.h"

class DataGrid;
class DataSource;
class DateEdit;
class MemTable;
class PageControl;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QSplitter;
class QToolButton;
class QWidget;

// One person's card in a window of its own: the names and the birth date copied from the card
// table when the card opened, an empty passport block, and the list of document images with
// their print flags. The card is a snapshot: it keeps no link to the table. Its Tag is the
// person's ID, which keys its window tab.
class TfrmPersonalCard final : public MdiChild
{
    Q_OBJECT

public:
    explicit TfrmPersonalCard(QMdiArea *area);

    PageControl *const sPageControl1;
    QWidget *const sTabSheet1;
    QWidget *const sTabSheet2;
    QFrame *const sPanel1;
    QFrame *const sPanel3;
    QFrame *const sPanel4;
    QLabel *const Image2;
    QFrame *const sPanel5;
    QGroupBox *const sGroupBox2;
    QLineEdit *const edtSecName;
    QLineEdit *const edtName;
    QLineEdit *const edtFamily;
    DateEdit *const edtDateBorn;
    QGroupBox *const sGroupBox3;
    QLineEdit *const edtPassportSeries;
    QLineEdit *const edtPassportNumber;
    DateEdit *const edtPassportDate;
    QLineEdit *const edtPassportWho;

    QSplitter *const sSplitter1;
    QGroupBox *const sGroupBox1;
    QFrame *const sPanel2;
    QToolButton *const sSpeedButton1;
    QToolButton *const sSpeedButton2;
    QToolButton *const sSpeedButton3;
    QToolButton *const sSpeedButton4;
    MemTable *const TblPhotos;
    DataSource *const DataPhotos;
    DataGrid *const DBGridEh1;
    QLabel *const Image1;

    void FormClose();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
};

// Opens the card of the card table's current row, or brings that person's open card forward.
// With no current row (an empty or fully filtered table) it opens nothing.
void OpenPersonalCard();
