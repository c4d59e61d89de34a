#include "controls/DataGridModel.h"

#include "carddata/MemTable.h"

DataGridModel::DataGridModel(QObject *parent)
    : QAbstractTableModel(parent)
{ }

void DataGridModel::setTable(MemTable *table)
{
    if (table == m_table)
        return;
    beginResetModel();
    for (const QMetaObject::Connection &connection : std::as_const(m_tableConnections))
        disconnect(connection);
    m_tableConnections.clear();
    m_table = table;
    resolveFields();
    if (table) {
        m_tableConnections = {
            connect(table, &MemTable::rowsAboutToBeReset, this,
                    [this] {
                        m_changingRows = true;
                        beginResetModel();
                    }),
            connect(table, &MemTable::rowsReset, this,
                    [this] {
                        endResetModel();
                        m_changingRows = false;
                    }),
            connect(table, &MemTable::rowAboutToBeInserted, this,
                    [this](int row) {
                        m_changingRows = true;
                        beginInsertRows(QModelIndex(), row, row);
                    }),
            connect(table, &MemTable::rowInserted, this,
                    [this] {
                        endInsertRows();
                        m_changingRows = false;
                    }),
            connect(table, &MemTable::rowAboutToBeRemoved, this,
                    [this](int row) {
                        m_changingRows = true;
                        beginRemoveRows(QModelIndex(), row, row);
                    }),
            connect(table, &MemTable::rowRemoved, this,
                    [this] {
                        endRemoveRows();
                        m_changingRows = false;
                    }),
            // The field objects die with their table: forget them before anything paints.
            connect(table, &QObject::destroyed, this,
                    [this] {
                        beginResetModel();
                        m_tableConnections.clear();
                        for (Column &column : m_columns)
                            column.field = nullptr;
                        endResetModel();
                    }),
        };
    }
    endResetModel();
}

void DataGridModel::setColumns(const QList<DataGridColumn> &columns)
{
    beginResetModel();
    m_columns.clear();
    m_columns.reserve(columns.size());
    for (const DataGridColumn &definition : columns)
        m_columns.append({definition, nullptr});
    resolveFields();
    endResetModel();
}

void DataGridModel::resolveFields()
{
    for (Column &column : m_columns)
        column.field = m_table ? m_table->findField(column.definition.fieldName) : nullptr;
}

MemField *DataGridModel::columnField(int column) const
{
    return column >= 0 && column < m_columns.size() ? m_columns[column].field : nullptr;
}

QString DataGridModel::textOf(const Column &column) const
{
    if (!column.field || column.field->type() == FieldType::Boolean)
        return {};
    if (column.definition.keyList.isEmpty())
        return column.field->displayText();
    const QString value = column.field->displayText();
    if (value.isEmpty())
        return {};
    for (const auto &[key, shown] : column.definition.keyList) {
        if (key == value)
            return shown;
    }
    return {};
}

QString DataGridModel::cellText(int row, int column) const
{
    if (!m_table || row < 0 || row >= m_table->rowCount() || column < 0
        || column >= m_columns.size() || !m_columns[column].field)
        return {};
    const MemTable::ActiveRecord record(*m_table, row);
    return textOf(m_columns[column]);
}

int DataGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() || !m_table ? 0 : m_table->rowCount();
}

int DataGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

QVariant DataGridModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const Column &column = m_columns[index.column()];
    switch (role) {
    case Qt::DisplayRole:
        return cellText(index.row(), index.column());
    case Qt::TextAlignmentRole: {
        Qt::Alignment horizontal = Qt::AlignLeft;
        if (column.definition.alignment)
            horizontal = *column.definition.alignment & Qt::AlignHorizontal_Mask;
        else if (column.field)
            horizontal = column.field->alignment() & Qt::AlignHorizontal_Mask;
        // An int, which is what the item delegates of this Qt read.
        return (horizontal | Qt::AlignVCenter).toInt();
    }
    case Qt::CheckStateRole: {
        // A yes/no field shows as a check box that cannot be clicked; an empty value as "no".
        if (!column.field || column.field->type() != FieldType::Boolean)
            return {};
        const MemTable::ActiveRecord record(*m_table, index.row());
        return column.field->asBoolean() ? Qt::Checked : Qt::Unchecked;
    }
    default:
        return {};
    }
}

QVariant DataGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    // The row header is the current-row indicator and shows no numbers.
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0
        || section >= m_columns.size())
        return {};
    return m_columns[section].definition.title;
}

Qt::ItemFlags DataGridModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    // Browsing only: nothing is editable and the check boxes cannot be toggled.
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}
