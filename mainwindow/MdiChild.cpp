#include "mainwindow/MdiChild.h"

#include <QMdiArea>
#include <QStyle>

MdiChild::MdiChild(QMdiArea *area)
{
    setAttribute(Qt::WA_DeleteOnClose);
    area->addSubWindow(this);
}

void MdiChild::setClientSize(QSize size)
{
    // QMdiSubWindow keeps its frame and title bar in its contents margins once it is polished.
    ensurePolished();
    const QMargins frame = contentsMargins();
    resize(size.grownBy(frame));
}
