#pragma once

#include <QDialog>
#include <QPointer>

class QFrame;
class QLabel;
class QPushButton;

// The about box: the product title and version. It lives for the whole run and is only shown
// modally and hidden again. OK, Enter and the title bar's close box dismiss it; Escape does not.
class TfrmAbout final : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmAbout(QWidget *parent = nullptr);

    QFrame *const Panel1;
    QLabel *const ProgramIcon;
    QLabel *const ProductName;
    QLabel *const Version;
    QPushButton *const OKButton;

protected:
    void keyPressEvent(QKeyEvent *event) override;
};

// The program's about box.
inline QPointer<TfrmAbout> frmAbout;
