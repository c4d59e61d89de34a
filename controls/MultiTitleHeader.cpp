#include "controls/MultiTitleHeader.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPolygon>
#include <QStyle>
#include <QStyleOptionHeader>
#include <QToolTip>

#include <algorithm>

namespace {

constexpr int MarkerRoom = 10; // the strip at the right of a cell that holds the sort marker
constexpr int TextPadding = 3; // above and below a title's text, together

} // namespace

GridTitleLayout layoutGridTitles(const QStringList &titles, const QList<bool> &visible,
                                 const QList<int> &widths)
{
    GridTitleLayout layout;
    const auto count = std::min({titles.size(), visible.size(), widths.size()});
    QList<QStringList> parts(count);
    for (qsizetype c = 0; c < count; ++c) {
        if (!visible[c])
            continue;
        parts[c] = titles[c].split(u'|');
        layout.levelCount = std::max(layout.levelCount, static_cast<int>(parts[c].size()));
    }

    // The cells of the previous visible column, by level, and that column's parts.
    QList<qsizetype> previousCells;
    QStringList previousParts;
    int x = 0;
    for (qsizetype c = 0; c < count; ++c) {
        if (!visible[c])
            continue;
        const QStringList &own = parts[c];
        const int width = std::max(widths[c], 0);
        const auto column = static_cast<int>(c);
        QList<qsizetype> cells(own.size(), -1);
        for (qsizetype level = 0; level < own.size(); ++level) {
            const bool last = level == own.size() - 1;
            // An upper part joins the cell on its left when both columns have the same parts
            // from the top down to this level and neither ends here.
            const bool shared = !last && level + 1 < previousParts.size()
                && std::equal(own.begin(), own.begin() + level + 1, previousParts.begin());
            if (shared) {
                GridTitleCell &cell = layout.cells[previousCells[level]];
                cell.lastColumn = column;
                ++cell.columnSpan;
                cell.width += width;
                cells[level] = previousCells[level];
                continue;
            }
            GridTitleCell cell;
            cell.text = own[level];
            cell.level = static_cast<int>(level);
            cell.levelSpan = last ? layout.levelCount - cell.level : 1;
            cell.firstColumn = cell.lastColumn = column;
            cell.x = x;
            cell.width = width;
            cell.ownColumn = last ? column : -1;
            cells[level] = layout.cells.size();
            layout.cells.append(cell);
        }
        previousCells = cells;
        previousParts = own;
        x += width;
    }
    return layout;
}

MultiTitleHeader::MultiTitleHeader(QWidget *parent)
    : QHeaderView(Qt::Horizontal, parent)
{
    setSectionsClickable(true);
    setSectionsMovable(false);
    setHighlightSections(false);
    setSectionResizeMode(QHeaderView::Interactive);
    // A shared cell starts left of the resized column and is centred over all of its columns.
    connect(this, &QHeaderView::sectionResized, this, [this] {
        viewport()->update();
        // A narrower column may wrap its title onto more lines.
        if (sizeHint().height() != height())
            Q_EMIT geometriesChanged();
    });
}

void MultiTitleHeader::setTitles(const QList<DataGridColumn> &columns)
{
    m_titles.clear();
    m_titles.reserve(columns.size());
    for (const DataGridColumn &column : columns)
        m_titles.append({column.title, column.verticalTitle, column.sortMarker});
    titlesChanged();
}

void MultiTitleHeader::setSortMarker(int column, SortMarker marker)
{
    if (column < 0 || column >= m_titles.size() || m_titles[column].marker == marker)
        return;
    m_titles[column].marker = marker;
    viewport()->update();
    // The marker takes room from the title, which may then wrap onto another line.
    if (sizeHint().height() != height())
        Q_EMIT geometriesChanged();
}

void MultiTitleHeader::titlesChanged()
{
    updateGeometry();
    // The table view lays out its headers again on this signal.
    Q_EMIT geometriesChanged();
    viewport()->update();
}

const MultiTitleHeader::Title *MultiTitleHeader::titleOf(int column) const
{
    return column >= 0 && column < m_titles.size() ? &m_titles[column] : nullptr;
}

GridTitleLayout MultiTitleHeader::currentLayout() const
{
    const int sections = count();
    QStringList titles;
    QList<bool> visible;
    QList<int> widths;
    titles.reserve(sections);
    visible.reserve(sections);
    widths.reserve(sections);
    for (int i = 0; i < sections; ++i) {
        const Title *title = titleOf(i);
        titles.append(title ? title->text : QString());
        visible.append(!isSectionHidden(i));
        widths.append(sectionSize(i));
    }
    return layoutGridTitles(titles, visible, widths);
}

int MultiTitleHeader::levelHeight() const
{
    return fontMetrics().height() + 5;
}

QSize MultiTitleHeader::sizeHint() const
{
    const GridTitleLayout layout = currentLayout();
    const int rowHeight = levelHeight();
    int height = std::max(layout.levelCount, 1) * rowHeight;
    // A column's own part may need more room than the rows left to it: a vertical title the
    // length of its text, a wrapped title up to three lines.
    for (const GridTitleCell &cell : layout.cells) {
        const Title *title = titleOf(cell.ownColumn);
        if (!title || cell.width <= 0)
            continue;
        const int top = cell.level * rowHeight;
        const QRect area = textArea(cell, QRect(0, top, cell.width, 1000));
        const int needed = title->vertical
            ? fontMetrics().horizontalAdvance(cell.text) + 10
            : std::min(textSize(cell, area).height(), 3 * fontMetrics().height()) + TextPadding;
        height = std::max(height, top + needed);
    }
    return {length(), height};
}

bool MultiTitleHeader::isOnHandle(int x) const
{
    // The same grip the header uses to start a resize: near either edge of a section, except
    // the left edge of the first visible one.
    const int visual = visualIndexAt(x);
    if (visual < 0 || sectionResizeMode(logicalIndex(visual)) != QHeaderView::Interactive)
        return false;
    const int logical = logicalIndex(visual);
    const int grip = style()->pixelMetric(QStyle::PM_HeaderGripMargin, nullptr, this);
    const int left = sectionViewportPosition(logical);
    if (x > left + sectionSize(logical) - grip)
        return true;
    if (x < left + grip) {
        for (int v = visual - 1; v >= 0; --v) {
            if (!isSectionHidden(logicalIndex(v)))
                return true;
        }
    }
    return false;
}

void MultiTitleHeader::mousePressEvent(QMouseEvent *event)
{
    const int x = event->position().toPoint().x();
    if (event->button() == Qt::LeftButton && !isOnHandle(x)) {
        m_pressedColumn = logicalIndexAt(x);
        viewport()->update();
    }
    QHeaderView::mousePressEvent(event);
}

void MultiTitleHeader::mouseReleaseEvent(QMouseEvent *event)
{
    QHeaderView::mouseReleaseEvent(event);
    if (m_pressedColumn >= 0) {
        m_pressedColumn = -1;
        viewport()->update();
    }
}

QRect MultiTitleHeader::cellRect(const GridTitleCell &cell) const
{
    // Upper parts keep their row height; a column's own part takes what is left, which also
    // absorbs the room a vertical title asked for.
    const int top = cell.level * levelHeight();
    return {cell.x - offset(), top, cell.width,
            cell.ownColumn >= 0 ? viewport()->height() - top : cell.levelSpan * levelHeight()};
}

QRect MultiTitleHeader::textArea(const GridTitleCell &cell, const QRect &rect) const
{
    QRect area = rect.adjusted(2, 1, -3, 1 - TextPadding);
    const Title *title = titleOf(cell.ownColumn);
    if (title && title->marker != SortMarker::None)
        area.setRight(rect.right() - MarkerRoom);
    // A vertical title is laid out as if the cell were turned on its side.
    if (title && title->vertical)
        area = QRect(0, 0, area.height(), area.width());
    return area;
}

QSize MultiTitleHeader::textSize(const GridTitleCell &cell, const QRect &area) const
{
    return fontMetrics().boundingRect(area, Qt::AlignCenter | Qt::TextWordWrap, cell.text).size();
}

bool MultiTitleHeader::isCutOff(const GridTitleCell &cell, const QRect &rect) const
{
    const QRect area = textArea(cell, rect);
    const QSize needed = textSize(cell, area);
    return needed.width() > area.width() || needed.height() > area.height();
}

void MultiTitleHeader::paintEvent(QPaintEvent *event)
{
    QPainter painter(viewport());
    const GridTitleLayout layout = currentLayout();
    int right = 0;
    for (const GridTitleCell &cell : std::as_const(layout.cells)) {
        const QRect rect = cellRect(cell);
        right = std::max(right, rect.x() + rect.width());
        if (rect.width() > 0 && rect.intersects(event->rect()))
            paintCell(painter, cell, rect);
    }
    if (right < viewport()->width()) {
        QStyleOption option;
        option.initFrom(this);
        option.state |= QStyle::State_Horizontal;
        option.rect = QRect(right, 0, viewport()->width() - right, viewport()->height());
        style()->drawControl(QStyle::CE_HeaderEmptyArea, &option, &painter, this);
    }
}

bool MultiTitleHeader::viewportEvent(QEvent *event)
{
    if (event->type() != QEvent::ToolTip)
        return QHeaderView::viewportEvent(event);
    // A title that its cell cuts off shows whole in a tool tip.
    const auto *help = static_cast<QHelpEvent *>(event);
    const GridTitleLayout layout = currentLayout();
    for (const GridTitleCell &cell : layout.cells) {
        const QRect rect = cellRect(cell);
        if (rect.contains(help->pos()) && isCutOff(cell, rect)) {
            QToolTip::showText(help->globalPos(), cell.text, viewport(), rect);
            return true;
        }
    }
    QToolTip::hideText();
    event->ignore();
    return true;
}

void MultiTitleHeader::paintCell(QPainter &painter, const GridTitleCell &cell,
                                 const QRect &rect) const
{
    QStyleOptionHeader option;
    initStyleOption(&option);
    option.rect = rect;
    option.section = cell.firstColumn;
    option.position = QStyleOptionHeader::Middle;
    option.state |= QStyle::State_Raised;
    if (cell.ownColumn >= 0 && cell.ownColumn == m_pressedColumn) {
        option.state &= ~QStyle::State_Raised;
        option.state |= QStyle::State_Sunken;
    }
    style()->drawControl(QStyle::CE_HeaderSection, &option, &painter, this);

    // The style draws separators faintly or not at all; shared cells need clear edges.
    painter.save();
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawLine(rect.topRight(), rect.bottomRight());
    painter.drawLine(rect.bottomLeft(), rect.bottomRight());
    painter.restore();

    const Title *title = titleOf(cell.ownColumn);
    const SortMarker marker = title ? title->marker : SortMarker::None;
    const QRect area = textArea(cell, rect);
    // A word wider than its cell shows its beginning rather than its middle.
    const int flags = Qt::TextWordWrap
        | (textSize(cell, area).width() > area.width() ? Qt::AlignLeft | Qt::AlignVCenter
                                                       : Qt::AlignCenter);

    painter.save();
    painter.setClipRect(rect.adjusted(0, 0, -1, -1));
    painter.setPen(palette().color(QPalette::ButtonText));
    if (title && title->vertical) {
        const QRect unturned = rect.adjusted(2, 1, -3, 1 - TextPadding);
        painter.translate(unturned.left(), unturned.bottom() + 1);
        painter.rotate(-90);
    }
    painter.drawText(area, flags, cell.text);
    painter.restore();

    if (marker != SortMarker::None) {
        const QRect markerRect(rect.right() - MarkerRoom + 1, rect.top(), MarkerRoom - 2,
                               rect.height());
        paintSortMarker(painter, markerRect, marker, palette().color(QPalette::ButtonText));
    }
}

void MultiTitleHeader::paintSortMarker(QPainter &painter, const QRect &rect, SortMarker marker,
                                       const QColor &color)
{
    // A small solid triangle, 7 pixels wide and 4 high, pointing down or up.
    const QPoint centre = rect.center();
    const int base = marker == SortMarker::Down ? centre.y() - 1 : centre.y() + 2;
    const int tip = marker == SortMarker::Down ? centre.y() + 2 : centre.y() - 1;
    const QPolygon triangle(
        {QPoint(centre.x() - 3, base), QPoint(centre.x() + 3, base), QPoint(centre.x(), tip)});
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    // The outline too, so that both directions cover the same pixels.
    painter.setPen(color);
    painter.setBrush(color);
    painter.drawPolygon(triangle);
    painter.restore();
}
