// Takes the README's screenshots of the real windows: run under Xvfb by `make screenshots`.
// Xvfb has no window manager, so the main window is placed over the whole screen by hand and
// every picture is taken from the screen, menus and dialogs included.
#include "carddata/MemTable.h"
#include "cardlist/CardIndexReport.h"
#include "cardlist/UFormCardList.h"
#include "controls/DataGrid.h"
#include "controls/DateEdit.h"
#include "controls/DropDownList.h"
#include "controls/GridFindDialog.h"
#include "controls/ReportPreview.h"
#include "mainwindow/Application.h"
#include "mainwindow/UFormAbout.h"
#include "mainwindow/frmMainForm.h"
#include "personalcard/UFormPersonalCard.h"

#include <QAction>
#include <QApplication>
#include <QCalendarWidget>
#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QRadioButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <functional>

namespace {

QDir g_out;

void settle(int ms = 150)
{
    QTest::qWait(ms);
}

void shoot(const QString &name, QRect area = {})
{
    settle();
    QScreen *screen = QGuiApplication::primaryScreen();
    if (area.isNull())
        area = screen->geometry();
    const QPixmap shot = screen->grabWindow(0, area.x(), area.y(), area.width(), area.height());
    const QString file = g_out.filePath(name + u".png"_qs);
    if (!shot.save(file))
        qFatal("cannot write %s", qPrintable(file));
    qInfo("%s", qPrintable(file));
}

// Runs `inside` while a modal dialog is open, then closes it the way `close` says.
void whileModal(const std::function<void()> &open, const std::function<void(QWidget *)> &inside)
{
    QTimer::singleShot(400, [inside] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal)
            qFatal("no modal window to take a picture of");
        inside(modal);
    });
    open();
}

void openCard(int row)
{
    TfrmViewPersonsList *list = frmViewPersonsList;
    list->DBGridEh1->setCurrentIndex(list->DBGridEh1->model()->index(row, 0));
    list->DBGridEh1DblClick();
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    setUpApplication(app);
    g_out = QDir(argc > 1 ? QString::fromLocal8Bit(argv[1]) : u"docs/screenshots"_qs);
    g_out.mkpath(u"."_qs);

    frmMain = new TfrmMain;
    frmAbout = new TfrmAbout;
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    frmMain->setGeometry(screen);

    // The first page of the whole card index, as printed.
    CardIndexReport report;
    report.prepare(*frmMain->TblCardList);
    QImage page(report.pageLayout().fullRectPixels(96).size(), QImage::Format_RGB32);
    page.setDotsPerMeterX(3780); // 96 dpi
    page.setDotsPerMeterY(3780);
    page.fill(Qt::white);
    {
        QPainter painter(&page);
        // A page paints inside the margins, where a printer's page begins.
        painter.translate(report.pageLayout().paintRectPixels(96).topLeft());
        report.paintPage(0, painter);
    }
    page.save(g_out.filePath(u"report-page1.png"_qs));

    frmMain->show();
    frmMain->activateWindow();
    settle(300);
    shoot(u"main-window"_qs);

    for (int i = 0; i < 3; ++i) {
        QMenu *menu = frmMain->menuBar()->actions().at(i)->menu();
        QTimer::singleShot(300, [i] {
            shoot(QStringList{u"menu-file"_qs, u"menu-cards"_qs, u"menu-windows"_qs}[i],
                  QRect(0, 0, 640, 320));
            QApplication::activePopupWidget()->close();
        });
        menu->exec(frmMain->menuBar()->mapToGlobal(
            frmMain->menuBar()->actionGeometry(frmMain->menuBar()->actions().at(i)).bottomLeft()));
    }

    whileModal([] { frmMain->Action6->trigger(); },
               [](QWidget *about) {
                   shoot(u"about"_qs, about->frameGeometry().adjusted(-20, -20, 20, 20));
                   about->close();
               });

    // The card list, filtered by name, and its filter tabs.
    frmMain->Action2->trigger();
    TfrmViewPersonsList *list = frmViewPersonsList;
    list->setGeometry(10, 10, 760, 520);
    list->edtFamily->setText(u"иванова"_qs);
    settle(700);
    shoot(u"list-by-name"_qs);
    list->sPageControl1->setCurrentWidget(list->tsByBorn);
    list->edtDateBornFrom->setText(u"01.03.1960"_qs);
    list->edtDateBornTo->setText(u"31.03.1960"_qs);
    settle(700);
    shoot(u"list-by-born"_qs, QRect(0, 0, 800, 560));
    list->edtDateBornTo->showCalendar();
    shoot(u"calendar"_qs, QRect(0, 0, 800, 560));
    QApplication::activePopupWidget()->close();
    list->sPageControl1->setCurrentWidget(list->tsByGragdanstvo);
    list->cmbGragdanstvo->setCurrentIndex(2);
    list->cmbGragdanstvo->showPopup();
    settle(300);
    list->cmbGragdanstvo->hidePopup();
    settle(700);
    shoot(u"list-by-citizenship"_qs, QRect(0, 0, 800, 560));

    // The work column set with the three-row titles, sorted by birth date, over one country.
    list->sSpeedButton5->click();
    bool canClose = true;
    TabCloseAction action = TabCloseAction::Free;
    list->sPageControl1CloseBtnClick(TfrmViewPersonsList::ByBorn, &canClose, &action);
    list->rbWork->click();
    list->DBGridEh1TitleBtnClick(1);
    settle();
    shoot(u"list-work-columns"_qs, QRect(0, 0, 800, 560));
    list->rbPersonal->click();
    list->DBGridEh1->findDialog()->show();
    settle(300);
    shoot(u"find-dialog"_qs);
    list->DBGridEh1->findDialog()->close();

    // Two cards, then everything tiled with the tabs below.
    openCard(0);
    auto *card = qobject_cast<TfrmPersonalCard *>(frmMain->MdiArea->activeSubWindow());
    if (!card)
        qFatal("no card opened");
    card->move(300, 40);
    shoot(u"card-personal"_qs);
    card->sPageControl1->setCurrentWidget(card->sTabSheet2);
    shoot(u"card-documents"_qs);
    card->sPageControl1->setCurrentWidget(card->sTabSheet1);
    openCard(3);
    frmMain->WindowTileVertical1->trigger();
    shoot(u"main-tiled"_qs);

    // The card index report.
    whileModal([list] { list->N1->trigger(); },
               [](QWidget *preview) {
                   preview->setGeometry(QGuiApplication::primaryScreen()->geometry());
                   settle(500);
                   shoot(u"report-preview"_qs);
                   preview->close();
               });

    delete frmAbout;
    delete frmMain;
    return 0;
}
