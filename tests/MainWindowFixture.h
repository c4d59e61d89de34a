#pragma once

#include "mainwindow/frmMainForm.h"

#include <QTest>

#include <memory>

// The main window as the program makes it, shown at a working size with its card table filled;
// true once it is on screen.
[[nodiscard]] inline bool showMainWindow(std::unique_ptr<TfrmMain> &main)
{
    main = std::make_unique<TfrmMain>();
    frmMain = main.get();
    main->resize(1200, 800);
    main->show();
    return QTest::qWaitForWindowExposed(main.get());
}
