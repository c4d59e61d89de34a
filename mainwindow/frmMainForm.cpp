#include "mainwindow/frmMainForm.h"

#include "carddata/CardTable.h"
#include "carddata/DataSource.h"
#include "carddata/MemTable.h"

namespace {
MemTable *createCardTable(QObject *owner)
{
    auto *table = new MemTable(owner);
    table->setObjectName(QStringLiteral("TblCardList"));
    CardTable::defineFields(*table);
    return table;
}
} // namespace

TfrmMain::TfrmMain(QWidget *parent)
    : QMainWindow(parent)
    , TblCardList(createCardTable(this))
    , DataMemTbl(new DataSource(this))
    , m_family(TblCardList->fieldByName(u"FAMILY"))
    , m_name(TblCardList->fieldByName(u"NAME"))
    , m_secName(TblCardList->fieldByName(u"SEC_NAME"))
    , m_cardRecord(*TblCardList)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Кельвора"));
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

    FormCreate();
}

TfrmMain::~TfrmMain() = default;

void TfrmMain::FormCreate()
{
    CardTable::populate(*TblCardList);
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
    // Until a card list window exists there is nothing to filter by.
    return {};
}
