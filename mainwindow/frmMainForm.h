#pragma once

#include "carddata/CardFilter.h"

#include <QMainWindow>
#include <QPointer>

class DataSource;
class MemField;
class MemTable;

// The main window: the frame of the multi-document interface, owner of the card table.
class TfrmMain final : public QMainWindow
{
    Q_OBJECT

public:
    explicit TfrmMain(QWidget *parent = nullptr);
    ~TfrmMain() override;

    MemTable *const TblCardList;
    DataSource *const DataMemTbl;

    // The card table's handlers: the full-name text and the card filter.
    void TblCardListFIOGetText(MemField &sender, QString &text, bool displayText);
    void TblCardListFilterRecord(MemTable &dataSet, bool &accept);

private:
    void FormCreate();
    CardFilterInputs cardFilterInputs() const;

    const MemField *const m_family;
    const MemField *const m_name;
    const MemField *const m_secName;
    CardRecord m_cardRecord;
    CardFilter m_cardFilter;
};

// The program's main window.
inline QPointer<TfrmMain> frmMain;
