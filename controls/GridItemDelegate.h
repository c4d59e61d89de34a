#pragma once

#include <QStyledItemDelegate>

// Paints the grid's cells: no focus frame (the whole current row is the cursor), yes/no values as
// a centred check box, and a tool tip with the whole text only where the cell cuts it off.
class GridItemDelegate final : public QStyledItemDelegate
{
    Q_OBJECT

public:
    explicit GridItemDelegate(QObject *parent = nullptr);

    // Whether the cell's text is wider than the room the cell gives it.
    bool isTextCutOff(const QStyleOptionViewItem &option, const QModelIndex &index) const;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    bool helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                   const QModelIndex &index) override;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;
};
