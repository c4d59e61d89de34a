#include "personalcard/UFormPersonalCard.h"

#include "carddata/CardTable.h"
#include "carddata/DataSource.h"
#include "carddata/MemTable.h"
#include "controls/DataGrid.h"
#include "controls/DateEdit.h"
#include "controls/EditColours.h"
#include "controls/PageControl.h"
#include "mainwindow/frmMainForm.h"

#include <QCloseEvent>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QSplitter>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QFrame *panel(const char *name)
{
    auto *frame = new QFrame;
    frame->setObjectName(QString::fromLatin1(name));
    frame->setFrameStyle(QFrame::Panel | QFrame::Raised);
    return frame;
}

QGroupBox *groupBox(const QString &title, const char *name)
{
    auto *box = new QGroupBox(title);
    box->setObjectName(QString::fromLatin1(name));
    box->setAlignment(Qt::AlignHCenter);
    return box;
}

// An edit of a group box at its designed place, with its caption to its left, `gap` pixels away.
template<typename Edit>
Edit *labelledEdit(QGroupBox *group, const char *name, QRect geometry, const QString &caption,
                   int gap)
{
    auto *edit = new Edit(group);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setGeometry(geometry);
    useEditColours(edit);
    auto *label = new QLabel(caption, group);
    label->setBuddy(edit);
    label->adjustSize();
    label->move(geometry.left() - gap - label->width(),
                geometry.top() + (geometry.height() - label->height()) / 2);
    return edit;
}

QToolButton *documentButton(QWidget *parent, const char *name, const char *icon, int iconSize)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setFixedSize(40, 40);
    button->setIcon(QIcon(QStringLiteral(":/icons/") + QString::fromLatin1(icon)));
    button->setIconSize(QSize(iconSize, iconSize));
    button->setAutoRaise(true);
    return button;
}

MemTable *createDocumentList(QObject *owner)
{
    auto *table = new MemTable(owner);
    table->setObjectName(QStringLiteral("TblPhotos"));
    table->addField(QStringLiteral("NamePhoto"), FieldType::Text, 100, 19)
        ->setObjectName(QStringLiteral("TblPhotosNamePhoto"));
    table->addField(QStringLiteral("ToPrint"), FieldType::Boolean, 0, 5)
        ->setObjectName(QStringLiteral("TblPhotosToPrint"));
    table->addField(QStringLiteral("CountToPrint"), FieldType::Integer, 0, 7)
        ->setObjectName(QStringLiteral("TblPhotosCountToPrint"));
    MemField *name = table->fieldByName(u"NamePhoto");
    for (const QString &page : {QStringLiteral("Паспорт стр 1"), QStringLiteral("Паспорт стр 2"),
                                QStringLiteral("Паспорт стр 3")}) {
        table->append();
        name->setAsString(page);
        table->post();
    }
    table->first();
    return table;
}

} // namespace

TfrmPersonalCard::TfrmPersonalCard(QMdiArea *area)
    : MdiChild(area)
    , sPageControl1(new PageControl)
    , sTabSheet1(new QWidget)
    , sTabSheet2(new QWidget)
    , sPanel1(panel("sPanel1"))
    , sPanel3(panel("sPanel3"))
    , sPanel4(panel("sPanel4"))
    , Image2(new QLabel)
    , sPanel5(panel("sPanel5"))
    , sGroupBox2(groupBox(QStringLiteral("Персональные данные"), "sGroupBox2"))
    , edtSecName(labelledEdit<QLineEdit>(sGroupBox2, "edtSecName", {97, 71, 277, 21},
                                         QStringLiteral("Отчество"), 5))
    , edtName(labelledEdit<QLineEdit>(sGroupBox2, "edtName", {97, 44, 277, 21},
                                      QStringLiteral("Имя"), 5))
    , edtFamily(labelledEdit<QLineEdit>(sGroupBox2, "edtFamily", {97, 17, 277, 21},
                                        QStringLiteral("Фамилия"), 5))
    , edtDateBorn(labelledEdit<DateEdit>(sGroupBox2, "edtDateBorn", {97, 98, 86, 21},
                                         QStringLiteral("Дата рождения"), 0))
    , sGroupBox3(groupBox(QStringLiteral("Паспорт"), "sGroupBox3"))
    , edtPassportSeries(labelledEdit<QLineEdit>(sGroupBox3, "edtPassportSeries", {62, 24, 121, 21},
                                                QStringLiteral("серия"), 5))
    , edtPassportNumber(labelledEdit<QLineEdit>(sGroupBox3, "edtPassportNumber", {246, 24, 121, 21},
                                                QStringLiteral("номер"), 5))
    , edtPassportDate(labelledEdit<DateEdit>(sGroupBox3, "edtPassportDate", {145, 51, 121, 21},
                                             QStringLiteral("Дата выдачи"), 5))
    , edtPassportWho(labelledEdit<QLineEdit>(sGroupBox3, "edtPassportWho", {62, 77, 305, 21},
                                             QStringLiteral("кем выдан"), 5))
    , sSplitter1(new QSplitter(Qt::Horizontal))
    , sGroupBox1(groupBox(QStringLiteral("Доступные документы"), "sGroupBox1"))
    , sPanel2(panel("sPanel2"))
    , sSpeedButton1(documentButton(sPanel2, "sSpeedButton1", "plus.svg", 32))
    , sSpeedButton2(documentButton(sPanel2, "sSpeedButton2", "scanner.svg", 32))
    , sSpeedButton3(documentButton(sPanel2, "sSpeedButton3", "cross.svg", 24))
    , sSpeedButton4(documentButton(sPanel2, "sSpeedButton4", "printer.svg", 24))
    , TblPhotos(createDocumentList(this))
    , DataPhotos(new DataSource(this))
    , DBGridEh1(new DataGrid)
    , Image1(new QLabel)
{
    setObjectName(QStringLiteral("frmPersonalCard"));
    setWindowTitle(QStringLiteral("Персональна карточка"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/person.svg")));

    // The text edits carry their own names until a card is opened in them.
    for (QLineEdit *edit :
         {edtFamily, edtName, edtSecName, edtPassportSeries, edtPassportNumber, edtPassportWho})
        edit->setText(edit->objectName());

    // "Персональные данные": the two groups on the left, the photograph on the right.
    sTabSheet1->setObjectName(QStringLiteral("sTabSheet1"));
    sPanel3->setFixedHeight(305);
    sPanel4->setFixedWidth(254);
    Image2->setObjectName(QStringLiteral("Image2"));
    Image2->setAlignment(Qt::AlignCenter);
    auto *photo = new QVBoxLayout(sPanel4);
    photo->setContentsMargins(1, 1, 1, 1);
    photo->addWidget(Image2);
    sGroupBox2->setFixedHeight(128);
    sGroupBox3->setFixedHeight(105);
    // The groups are 381 pixels wide at the window's designed size.
    auto *groups = new QVBoxLayout(sPanel5);
    groups->setContentsMargins(2, 0, 2, 0);
    groups->setSpacing(0);
    groups->addWidget(sGroupBox2);
    groups->addWidget(sGroupBox3);
    groups->addStretch(1);
    auto *top = new QHBoxLayout(sPanel3);
    top->setContentsMargins(0, 0, 0, 0);
    top->setSpacing(0);
    top->addWidget(sPanel5, 1);
    top->addWidget(sPanel4);
    auto *personal = new QVBoxLayout(sTabSheet1);
    personal->setContentsMargins(0, 0, 0, 0);
    personal->addWidget(sPanel3);
    personal->addStretch(1);
    for (QGroupBox *group : {sGroupBox2, sGroupBox3})
        group->installEventFilter(this);
    // The keyboard goes through the first group from the bottom up, then to the birth date.
    setTabOrder(edtSecName, edtName);
    setTabOrder(edtName, edtFamily);
    setTabOrder(edtFamily, edtDateBorn);
    setTabOrder(edtPassportSeries, edtPassportNumber);
    setTabOrder(edtPassportNumber, edtPassportDate);
    setTabOrder(edtPassportDate, edtPassportWho);

    // "Документы": the document list with its tool strip, a splitter, the document's picture.
    sTabSheet2->setObjectName(QStringLiteral("sTabSheet2"));
    sGroupBox1->setMinimumWidth(120);
    sPanel2->setFixedHeight(42);
    auto *tools = new QHBoxLayout(sPanel2);
    tools->setContentsMargins(1, 1, 1, 1);
    tools->setSpacing(0);
    tools->addWidget(sSpeedButton1);
    tools->addWidget(sSpeedButton2);
    tools->addWidget(sSpeedButton3);
    tools->addStretch(1);
    tools->addWidget(sSpeedButton4);
    DataPhotos->setObjectName(QStringLiteral("DataPhotos"));
    DataPhotos->setDataSet(TblPhotos);
    DBGridEh1->setObjectName(QStringLiteral("DBGridEh1"));
    DataGridColumn name;
    name.fieldName = QStringLiteral("NamePhoto");
    name.title = QStringLiteral("Наименование");
    name.width = 117;
    DataGridColumn toPrint;
    toPrint.fieldName = QStringLiteral("ToPrint");
    toPrint.title = QStringLiteral("Печатать");
    toPrint.verticalTitle = true;
    toPrint.alignment = Qt::AlignHCenter;
    DataGridColumn copies;
    copies.fieldName = QStringLiteral("CountToPrint");
    copies.title = QStringLiteral("Копий");
    DBGridEh1->setColumns({name, toPrint, copies});
    DBGridEh1->setDataSource(DataPhotos);
    auto *documents = new QVBoxLayout(sGroupBox1);
    documents->setContentsMargins(2, 2, 2, 2);
    documents->setSpacing(0);
    documents->addWidget(sPanel2);
    documents->addWidget(DBGridEh1, 1);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    Image1->setAlignment(Qt::AlignCenter);
    sSplitter1->setObjectName(QStringLiteral("sSplitter1"));
    sSplitter1->setChildrenCollapsible(false);
    sSplitter1->addWidget(sGroupBox1);
    sSplitter1->addWidget(Image1);
    sSplitter1->setStretchFactor(1, 1);
    sSplitter1->setSizes({241, 390});
    auto *documentPage = new QHBoxLayout(sTabSheet2);
    documentPage->setContentsMargins(0, 0, 0, 0);
    documentPage->addWidget(sSplitter1);

    sPageControl1->setObjectName(QStringLiteral("sPageControl1"));
    sPageControl1->addPage(sTabSheet1, QStringLiteral("Персональные данные"));
    sPageControl1->addPage(sTabSheet2, QStringLiteral("Документы"));
    sPageControl1->pageTabBar()->setTabWidth(150);
    sPageControl1->pageTabBar()->setActivePageIndex(0);

    sPanel1->setFixedHeight(41);
    auto *client = new QWidget;
    auto *layout = new QVBoxLayout(client);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(sPageControl1, 1);
    layout->addWidget(sPanel1);
    setWidget(client);
    setClientSize(QSize(645, 507));
}

bool TfrmPersonalCard::eventFilter(QObject *watched, QEvent *event)
{
    // The name edits and the issuer edit widen with their group, keeping the distance to its
    // right edge they were designed with (the groups are 381 pixels wide at the designed size).
    if (event->type() == QEvent::Resize && (watched == sGroupBox2 || watched == sGroupBox3)) {
        constexpr int DesignedGroupWidth = 381;
        const int growth = static_cast<QWidget *>(watched)->width() - DesignedGroupWidth;
        const std::pair<QLineEdit *, int> stretching[]{
            {edtFamily, 277}, {edtName, 277}, {edtSecName, 277}, {edtPassportWho, 305}};
        for (const auto &[edit, designedWidth] : stretching) {
            if (edit->parent() == watched)
                edit->resize(std::max(designedWidth + growth, 40), edit->height());
        }
    }
    return MdiChild::eventFilter(watched, event);
}

void TfrmPersonalCard::closeEvent(QCloseEvent *event)
{
    FormClose();
    MdiChild::closeEvent(event);
}

void TfrmPersonalCard::FormClose()
{
    // The window frees itself once closed (WA_DeleteOnClose); its tab goes now. The strip's
    // widths stay as they are until the next recomputation.
    PageTabBar *strip = frmMain->pnlWindows;
    for (int i = 0; i < strip->pageCount(); ++i) {
        if (strip->imageIndex(i) == 0 && strip->tag(i) == Tag) {
            strip->removePage(i);
            break;
        }
    }
}

void OpenPersonalCard()
{
    MemTable *table = frmMain->TblCardList;
    // With no current row there is no person to open.
    if (table->currentRow() < 0)
        return;
    const int id = table->fieldByName(u"ID")->asInteger();

    PageTabBar *strip = frmMain->pnlWindows;
    for (int i = 0; i < strip->pageCount(); ++i) {
        if (strip->imageIndex(i) == 0 && strip->tag(i) == id) {
            strip->setActivePageIndex(i);
            frmMain->pnlWindowsChange();
            return;
        }
    }

    auto *card = new TfrmPersonalCard(frmMain->MdiArea);
    card->Tag = id;
    const QString family = table->fieldByName(u"FAMILY")->asString();
    const QString name = table->fieldByName(u"NAME")->asString();
    const QString secName = table->fieldByName(u"SEC_NAME")->asString();
    card->edtFamily->setText(family);
    card->edtName->setText(name);
    card->edtSecName->setText(secName);
    card->edtDateBorn->setDate(table->fieldByName(u"DATA_BORN")->asDate());
    // The passport block stays empty whatever the row holds.
    card->edtPassportSeries->setText(QString());
    card->edtPassportNumber->setText(QString());
    card->edtPassportWho->setText(QString());
    card->setWindowTitle(CardTable::fullName(family, name, secName));
    card->show();

    const int tab = strip->addPage(card->windowTitle(), 0, card->Tag);
    strip->setUseCloseBtn(tab, false);
    strip->setActivePageIndex(tab);
    frmMain->pnlWindowsChange();
    frmMain->pnlWindowsResize();
}
