#pragma once

#include "controls/DataGridColumn.h"

#include <QHeaderView>
#include <QList>
#include <QString>
#include <QStringList>

// One cell of the title area: a title part over one or more adjacent visible columns.
struct GridTitleCell
{
    QString text;
    int level = 0; // 0 is the top row
    int levelSpan = 1; // rows covered; a column's last part runs to the bottom
    int firstColumn = -1; // logical indexes of the first and last visible column covered
    int lastColumn = -1;
    int columnSpan = 1; // visible columns covered
    int x = 0; // pixels from the left edge of the first visible column
    int width = 0;
    int ownColumn = -1; // the column whose last part this is; -1 for a shared upper part
};

struct GridTitleLayout
{
    int levelCount = 0;
    QList<GridTitleCell> cells; // left to right, each column's cells top to bottom
};

// Splits each visible column's title at '|' and joins the upper parts that adjacent visible
// columns have in common (the same parts from the top down) into one cell. The last part of a
// title is always the column's own cell and fills the rows below it. Hidden columns take no
// room and do not separate their neighbours.
GridTitleLayout layoutGridTitles(const QStringList &titles, const QList<bool> &visible,
                                 const QList<int> &widths);

// The grid's title row: several levels of titles with shared cells, an optional vertical title,
// and a sort marker at the right of a column's own cell. A click anywhere over a column (but not
// a drag that resizes it) emits sectionClicked for that column.
class MultiTitleHeader final : public QHeaderView
{
    Q_OBJECT

public:
    explicit MultiTitleHeader(QWidget *parent = nullptr);

    void setTitles(const QList<DataGridColumn> &columns); // title, verticalTitle, sortMarker
    void setSortMarker(int column, SortMarker marker);
    // Called when columns were shown or hidden: the number of levels may change.
    void titlesChanged();

    GridTitleLayout currentLayout() const;
    int levelHeight() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    bool viewportEvent(QEvent *event) override;

private:
    struct Title
    {
        QString text;
        bool vertical = false;
        SortMarker marker = SortMarker::None;
    };

    const Title *titleOf(int column) const;
    bool isOnHandle(int x) const;
    QRect cellRect(const GridTitleCell &cell) const; // in viewport coordinates
    QRect textArea(const GridTitleCell &cell, const QRect &rect) const;
    QSize textSize(const GridTitleCell &cell, const QRect &area) const;
    bool isCutOff(const GridTitleCell &cell, const QRect &rect) const;
    void paintCell(QPainter &painter, const GridTitleCell &cell, const QRect &rect) const;
    static void paintSortMarker(QPainter &painter, const QRect &rect, SortMarker marker,
                                const QColor &color);

    QList<Title> m_titles;
    int m_pressedColumn = -1;
};
