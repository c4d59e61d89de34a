#include "mainwindow/Application.h"
#include "mainwindow/UFormAbout.h"
#include "mainwindow/frmMainForm.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    setUpApplication(app);

    // The main window fills the card table while it is created; the about box waits hidden.
    frmMain = new TfrmMain;
    frmAbout = new TfrmAbout;
    frmMain->showMaximized();
    const int result = QApplication::exec();
    delete frmAbout;
    delete frmMain;
    return result;
}
