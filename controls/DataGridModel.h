#pragma once

#include "carddata/MemTable.h"
#include "controls/DataGridColumn.h"

#include <QAbstractTableModel>
#include <QList>
#include <QPointer>

// The rows a MemTable shows, one grid column per DataGridColumn. Cells are read through
// MemTable::ActiveRecord, so painting never moves the table's cursor; the model follows the
// table's row signals instead of copying anything, which keeps it cheap at a million rows.
class DataGridModel final : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit DataGridModel(QObject *parent = nullptr);

    MemTable *table() const { return m_table; }
    void setTable(MemTable *table);
    void setColumns(const QList<DataGridColumn> &columns);

    // The field a column shows; nullptr for an unbound column or a name the table lacks.
    MemField *columnField(int column) const;
    // The text a cell shows (what DisplayRole gives), without the QVariant.
    QString cellText(int row, int column) const;
    // True between a table's "about to" signal and its "done" signal: the view's current index
    // moves then on its own, and that move must not reach the table.
    bool isChangingRows() const { return m_changingRows; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    struct Column
    {
        DataGridColumn definition;
        MemField *field = nullptr;
    };

    void resolveFields();
    QString textOf(const Column &column) const; // for the active record

    QPointer<MemTable> m_table;
    QList<Column> m_columns;
    QList<QMetaObject::Connection> m_tableConnections;
    bool m_changingRows = false;
};
