#pragma once

#include <QMdiSubWindow>

class QMdiArea;

// A child window of the main window: it places itself in the main window's MDI area, frees
// itself when closed, and carries the integer Tag that keys it and its window tab.
class MdiChild : public QMdiSubWindow
{
    Q_OBJECT

public:
    explicit MdiChild(QMdiArea *area);

    int Tag = 0;

protected:
    // The window's size without its frame and title bar, as the windows are designed.
    void setClientSize(QSize size);
};
