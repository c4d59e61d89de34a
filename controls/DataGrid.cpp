#include "controls/DataGrid.h"

#include "carddata/DataSource.h"
#include "carddata/MemTable.h"
#include "controls/DataGridModel.h"
#include "controls/GridFindDialog.h"
#include "controls/GridItemDelegate.h"
#include "controls/IndicatorHeader.h"
#include "controls/MultiTitleHeader.h"

#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionViewItem>

#include <algorithm>

namespace {

constexpr int UnboundColumnWidth = 64;

} // namespace

DataGrid::DataGrid(QWidget *parent)
    : QTableView(parent)
    , m_model(new DataGridModel(this))
    , m_titleHeader(new MultiTitleHeader(this))
    , m_indicator(new IndicatorHeader(this))
    , m_delegate(new GridItemDelegate(this))
{
    setHorizontalHeader(m_titleHeader);
    setVerticalHeader(m_indicator);
    setItemDelegate(m_delegate);
    setModel(m_model);

    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setCornerButtonEnabled(false);
    setWordWrap(false);
    setShowGrid(true);

    m_titleHeader->setMinimumSectionSize(8);
    // A click on the indicator picks that row, as a click on the row does.
    m_indicator->setSectionsClickable(true);
    m_indicator->setMinimumSectionSize(1);
    applyRowHeight();

    connect(m_titleHeader, &QHeaderView::sectionClicked, this, &DataGrid::titleBtnClick);
    // After a rebuild the table names its current row itself; until then there is none.
    connect(m_model, &QAbstractItemModel::modelReset, this,
            [this] { followTableRow(table() ? table()->currentRow() : -1); });
    // A row inserted above the cursor moves it down without a current-change signal.
    connect(m_model, &QAbstractItemModel::rowsInserted, this, [this] {
        m_indicator->setIndicatorRow(currentIndex().isValid() ? currentIndex().row() : -1);
    });
    // A width the user drags becomes the column's width from then on.
    connect(m_titleHeader, &QHeaderView::sectionResized, this,
            [this](int column, int, int newSize) {
                if (!m_applyingWidths && newSize > 0 && column < m_columns.size())
                    m_columns[column].width = newSize;
            });
}

DataGrid::~DataGrid() = default;

void DataGrid::setDataSource(DataSource *source)
{
    m_source = source;
    MemTable *table = source ? source->dataSet() : nullptr;
    disconnect(m_currentRowConnection);
    m_model->setTable(table);
    if (table) {
        m_currentRowConnection
            = connect(table, &MemTable::currentRowChanged, this, &DataGrid::followTableRow);
    }
    applyWidths();
    followTableRow(table ? table->currentRow() : -1);
}

DataSource *DataGrid::dataSource() const
{
    return m_source;
}

MemTable *DataGrid::table() const
{
    return m_model->table();
}

void DataGrid::setColumns(const QList<DataGridColumn> &columns)
{
    m_columns = columns;
    m_model->setColumns(columns);
    m_titleHeader->setTitles(columns);
    m_applyingWidths = true;
    for (int i = 0; i < m_columns.size(); ++i)
        setColumnHidden(i, !m_columns[i].visible);
    m_applyingWidths = false;
    applyWidths();
    m_titleHeader->titlesChanged();
    followTableRow(table() ? table()->currentRow() : -1);
}

void DataGrid::setColumnVisible(int column, bool visible)
{
    if (column < 0 || column >= m_columns.size())
        return;
    m_columns[column].visible = visible;
    // The header keeps a hidden section's size and gives it back on showing.
    m_applyingWidths = true;
    setColumnHidden(column, !visible);
    m_applyingWidths = false;
    m_titleHeader->titlesChanged();
    // Keep the cursor on a shown column, so that searching the current column finds something.
    const QModelIndex current = currentIndex();
    if (current.isValid() && isColumnHidden(current.column())) {
        const int shown = firstVisibleColumn();
        if (shown >= 0)
            setCurrentIndex(m_model->index(current.row(), shown));
    }
}

bool DataGrid::isColumnVisible(int column) const
{
    return column >= 0 && column < m_columns.size() && m_columns[column].visible;
}

void DataGrid::setSortMarker(int column, SortMarker marker)
{
    if (column < 0 || column >= m_columns.size())
        return;
    m_columns[column].sortMarker = marker;
    m_titleHeader->setSortMarker(column, marker);
}

SortMarker DataGrid::sortMarker(int column) const
{
    return column >= 0 && column < m_columns.size() ? m_columns[column].sortMarker
                                                    : SortMarker::None;
}

int DataGrid::defaultColumnWidth(int column) const
{
    const MemField *field = m_model->columnField(column);
    if (!field)
        return UnboundColumnWidth;
    return field->displayWidth() * fontMetrics().horizontalAdvance(u'0') + 4;
}

void DataGrid::applyWidths()
{
    m_applyingWidths = true;
    for (int i = 0; i < m_columns.size(); ++i) {
        const int width = m_columns[i].width >= 0 ? m_columns[i].width : defaultColumnWidth(i);
        setColumnWidth(i, width);
    }
    m_applyingWidths = false;
}

void DataGrid::applyRowHeight()
{
    // One fixed height for every row: the view never measures rows, whatever their number.
    m_indicator->setDefaultSectionSize(fontMetrics().height() + 4);
}

int DataGrid::firstVisibleColumn() const
{
    for (int i = 0; i < m_model->columnCount(); ++i) {
        if (!isColumnHidden(i))
            return i;
    }
    return -1;
}

void DataGrid::followTableRow(int row)
{
    m_followingTable = true;
    if (row < 0 || row >= m_model->rowCount() || m_model->columnCount() == 0) {
        selectionModel()->clear();
        m_indicator->setIndicatorRow(row < m_model->rowCount() ? row : -1);
    } else {
        const QModelIndex current = currentIndex();
        const int column = current.isValid() && !isColumnHidden(current.column())
            ? current.column()
            : firstVisibleColumn();
        const QModelIndex index = m_model->index(row, std::max(column, 0));
        selectionModel()->setCurrentIndex(
            index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        m_indicator->setIndicatorRow(row);
        // Bring the row into view without scrolling sideways.
        const int top = rowViewportPosition(row);
        if (top < 0 || top + rowHeight(row) > viewport()->height()) {
            const int horizontal = horizontalScrollBar()->value();
            scrollTo(index);
            horizontalScrollBar()->setValue(horizontal);
        }
    }
    m_followingTable = false;
}

void DataGrid::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTableView::currentChanged(current, previous);
    m_indicator->setIndicatorRow(current.isValid() ? current.row() : -1);
    // While the table inserts, removes or rebuilds rows, the view moves its cursor by itself;
    // the table says where its current row ends up afterwards.
    if (m_followingTable || m_model->isChangingRows() || !table() || !current.isValid())
        return;
    if (current.row() != table()->currentRow())
        table()->setCurrentRow(current.row());
}

QItemSelectionModel::SelectionFlags DataGrid::selectionCommand(const QModelIndex &index,
                                                               const QEvent *event) const
{
    // The current row always stays highlighted: Ctrl+click does not clear it.
    const QItemSelectionModel::SelectionFlags flags = QTableView::selectionCommand(index, event);
    if (flags & QItemSelectionModel::Deselect)
        return QItemSelectionModel::NoUpdate;
    return flags;
}

bool DataGrid::isGridShortcut(const QKeyEvent *event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    return modifiers == Qt::ControlModifier
        && (event->key() == Qt::Key_Delete || event->key() == Qt::Key_F);
}

bool DataGrid::event(QEvent *event)
{
    // While the grid has the focus, its own keys win over window shortcuts on the same keys.
    if (event->type() == QEvent::ShortcutOverride
        && isGridShortcut(static_cast<QKeyEvent *>(event))) {
        event->accept();
        return true;
    }
    return QTableView::event(event);
}

void DataGrid::keyPressEvent(QKeyEvent *event)
{
    if (!isGridShortcut(event)) {
        QTableView::keyPressEvent(event);
        return;
    }
    event->accept();
    if (event->key() == Qt::Key_Delete) {
        confirmDelete();
        return;
    }
    GridFindDialog *dialog = findDialog();
    dialog->prepare();
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

void DataGrid::keyboardSearch(const QString &search)
{
    // Typing does not jump between rows: that would read every row's text on a large table, and
    // the find dialog is the grid's way to search.
    Q_UNUSED(search);
}

void DataGrid::confirmDelete()
{
    if (!table() || table()->isEmpty())
        return;
    // The box runs its own event loop: the grid or the table may be gone when it returns.
    const QPointer<DataGrid> self(this);
    const QPointer<QMessageBox> box(new QMessageBox(QMessageBox::Question, u"Подтверждение"_qs,
                                                    u"Delete record?"_qs,
                                                    QMessageBox::Ok | QMessageBox::Cancel, this));
    box->setDefaultButton(QMessageBox::Ok);
    const int answer = box->exec();
    delete box.data();
    if (self && answer == QMessageBox::Ok && table())
        table()->deleteCurrent();
}

GridFindDialog *DataGrid::findDialog()
{
    if (!m_findDialog)
        m_findDialog = new GridFindDialog(this, this);
    return m_findDialog;
}

bool DataGrid::findNext(const GridFindOptions &options)
{
    if (!table() || table()->isEmpty() || options.text.isEmpty())
        return false;

    // Unbound and yes/no columns show no text, so they can hold no match.
    QList<int> columns;
    const auto searchable = [this](int column) {
        return column >= 0 && !isColumnHidden(column) && m_model->columnField(column);
    };
    if (options.currentColumnOnly) {
        const QModelIndex current = currentIndex();
        const int column = current.isValid() && !isColumnHidden(current.column())
            ? current.column()
            : firstVisibleColumn();
        if (searchable(column))
            columns.append(column);
    } else {
        for (int column = 0; column < m_model->columnCount(); ++column) {
            if (searchable(column))
                columns.append(column);
        }
    }
    if (columns.isEmpty())
        return false;

    const int rows = table()->rowCount();
    const int step = options.up ? -1 : 1;
    int row = table()->currentRow();
    if (row < 0)
        row = options.up ? rows : -1;
    // Every row once, the current row last.
    for (int i = 0; i < rows; ++i) {
        row = (row + step + rows) % rows;
        for (const int column : std::as_const(columns)) {
            if (gridTextMatches(m_model->cellText(row, column), options)) {
                table()->setCurrentRow(row);
                setCurrentIndex(m_model->index(row, column));
                scrollTo(currentIndex());
                return true;
            }
        }
    }
    return false;
}

void DataGrid::mouseDoubleClickEvent(QMouseEvent *event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    // Below the last row there is nothing to open.
    if (!index.isValid() || event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    QTableView::mouseDoubleClickEvent(event);
    if (table() && table()->currentRow() != index.row())
        table()->setCurrentRow(index.row());
    Q_EMIT dblClick();
}

void DataGrid::paintEvent(QPaintEvent *event)
{
    QTableView::paintEvent(event);
    if (!showGrid())
        return;
    // The column lines run on below the last row to the bottom of the grid.
    const int rows = m_model->rowCount();
    const int top = rows > 0 ? rowViewportPosition(rows - 1) + rowHeight(rows - 1) : 0;
    const int bottom = viewport()->height();
    if (top >= bottom)
        return;
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    const auto gridColor
        = static_cast<QRgb>(style()->styleHint(QStyle::SH_Table_GridLineColor, &option, this));
    QPainter painter(viewport());
    painter.setPen(QPen(QColor::fromRgba(gridColor), 1, gridStyle()));
    for (int column = 0; column < m_model->columnCount(); ++column) {
        if (isColumnHidden(column))
            continue;
        const int x = columnViewportPosition(column) + columnWidth(column) - 1;
        if (x >= 0 && x < viewport()->width())
            painter.drawLine(x, top, x, bottom);
    }
}

void DataGrid::changeEvent(QEvent *event)
{
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        applyRowHeight();
        applyWidths();
        m_titleHeader->titlesChanged();
    }
}
