#pragma once

#include "controls/DataGridColumn.h"

#include <QList>
#include <QPointer>
#include <QTableView>

class DataGridModel;
class DataSource;
class GridFindDialog;
class GridItemDelegate;
class IndicatorHeader;
class MemTable;
class MultiTitleHeader;
struct GridFindOptions;

// The data grid: a read-only, row-selecting view of a data source's table with multi-level
// titles, title buttons, sort markers, key lists, a current-row indicator, tool tips for cut-off
// cells, Ctrl+Delete with confirmation and a find dialog (Ctrl+F). The table's current row and
// the grid's current row follow each other.
class DataGrid final : public QTableView
{
    Q_OBJECT

public:
    explicit DataGrid(QWidget *parent = nullptr);
    ~DataGrid() override;

    // May come before or after the columns.
    void setDataSource(DataSource *source);
    DataSource *dataSource() const;
    MemTable *table() const;

    void setColumns(const QList<DataGridColumn> &columns);
    int gridColumnCount() const { return static_cast<int>(m_columns.size()); }
    // The definition, with the width the user gave the column by dragging, if any.
    const DataGridColumn &gridColumn(int i) const { return m_columns.at(i); }
    // Hiding keeps the column's width and sort marker.
    void setColumnVisible(int column, bool visible);
    bool isColumnVisible(int column) const;
    void setSortMarker(int column, SortMarker marker);
    SortMarker sortMarker(int column) const;

    // The width a column takes when its definition gives none.
    int defaultColumnWidth(int column) const;

    DataGridModel *gridModel() const { return m_model; }
    MultiTitleHeader *titleHeader() const { return m_titleHeader; }
    IndicatorHeader *indicatorHeader() const { return m_indicator; }

    // Searches the shown texts from the row after the current one (before it, searching up),
    // wrapping once; a hit becomes the current row. False when nothing matches.
    bool findNext(const GridFindOptions &options);
    // The find dialog, created on first use (Ctrl+F).
    GridFindDialog *findDialog();
    // Asks "Delete record?" and deletes the current row on OK (Ctrl+Delete).
    void confirmDelete();

Q_SIGNALS:
    void titleBtnClick(int column);
    // A double click on a data row, after that row became the table's current row.
    void dblClick();

protected:
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyboardSearch(const QString &search) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex &index,
                                                         const QEvent *event) const override;

private:
    void applyWidths();
    void applyRowHeight();
    void followTableRow(int row);
    int firstVisibleColumn() const;
    static bool isGridShortcut(const QKeyEvent *event);

    DataGridModel *const m_model;
    MultiTitleHeader *const m_titleHeader;
    IndicatorHeader *const m_indicator;
    GridItemDelegate *const m_delegate;
    QPointer<DataSource> m_source;
    QMetaObject::Connection m_currentRowConnection;
    QList<DataGridColumn> m_columns;
    QPointer<GridFindDialog> m_findDialog;
    bool m_applyingWidths = false;
    bool m_followingTable = false;
};
