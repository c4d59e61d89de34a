#pragma once

class QApplication;

// What the program sets up before its first window: the Russian locale and Qt's own Russian
// texts, fonts, and the skin. Tests call it too, so they see what a user sees.
void setUpApplication(QApplication &app);
