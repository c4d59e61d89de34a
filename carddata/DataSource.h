#pragma once

#include "carddata/MemTable.h"

#include <QObject>
#include <QPointer>

// Binds a data set to the views that show it (grids, the report): they reach the table through
// the data source, so one place says which table a window shows.
class DataSource final : public QObject
{
    Q_OBJECT

public:
    explicit DataSource(QObject *parent = nullptr)
        : QObject(parent)
    { }

    MemTable *dataSet() const { return m_dataSet; }
    void setDataSet(MemTable *dataSet) { m_dataSet = dataSet; }

private:
    QPointer<MemTable> m_dataSet;
};
