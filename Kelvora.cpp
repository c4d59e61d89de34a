#include "mainwindow/frmMainForm.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    frmMain = new TfrmMain;
    frmMain->showMaximized();
    const int result = QApplication::exec();
    delete frmMain;
    return result;
}
