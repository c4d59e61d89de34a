#pragma once

#include <QHeaderView>

// The narrow column left of the rows: no numbers, a small triangle at the current row. Rows are
// all of one fixed height, so the view never measures a row.
class IndicatorHeader final : public QHeaderView
{
    Q_OBJECT

public:
    explicit IndicatorHeader(QWidget *parent = nullptr);

    static constexpr int IndicatorWidth = 12;

    // The row the triangle marks; -1 for none.
    int indicatorRow() const { return m_row; }
    void setIndicatorRow(int row);

    QSize sizeHint() const override;

protected:
    void paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const override;

private:
    int m_row = -1;
};
