#include "controls/IndicatorHeader.h"

#include <QPainter>
#include <QPolygon>
#include <QStyle>
#include <QStyleOptionHeader>

IndicatorHeader::IndicatorHeader(QWidget *parent)
    : QHeaderView(Qt::Vertical, parent)
{
    setSectionResizeMode(QHeaderView::Fixed);
    setSectionsClickable(false);
    setSectionsMovable(false);
    setHighlightSections(false);
}

void IndicatorHeader::setIndicatorRow(int row)
{
    if (row == m_row)
        return;
    const int previous = m_row;
    m_row = row;
    if (previous >= 0 && previous < count())
        updateSection(previous);
    if (row >= 0 && row < count())
        updateSection(row);
}

QSize IndicatorHeader::sizeHint() const
{
    // The base class would measure section texts; this column has none.
    return {IndicatorWidth, length()};
}

void IndicatorHeader::paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const
{
    QStyleOptionHeader option;
    initStyleOption(&option);
    option.rect = rect;
    option.section = logicalIndex;
    option.position = QStyleOptionHeader::Middle;
    option.state |= QStyle::State_Raised;
    style()->drawControl(QStyle::CE_HeaderSection, &option, painter, this);

    if (logicalIndex != m_row)
        return;
    // A right-pointing triangle, 4 pixels wide and 7 high, in the middle of the row.
    const QPoint centre = rect.center();
    const QPolygon triangle({QPoint(centre.x() - 2, centre.y() - 3),
                             QPoint(centre.x() - 2, centre.y() + 3),
                             QPoint(centre.x() + 1, centre.y())});
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setPen(palette().color(QPalette::ButtonText));
    painter->setBrush(palette().color(QPalette::ButtonText));
    painter->drawPolygon(triangle);
    painter->restore();
}
