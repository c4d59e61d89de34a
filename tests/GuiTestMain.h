#pragma once

#include "mainwindow/Application.h"

#include <QApplication>
#include <QTest>

// The offscreen platform says on every size-constraint change of a window that it cannot pass
// size hints on. That says nothing about the program and would use up the test log's warning
// budget, hiding real warnings; it is dropped. QtTest installs its own message handler when a
// run starts, so this is called from initTestCase() and hands everything else on to it.
inline void quietOffscreenPlatform()
{
    static QtMessageHandler testLog = nullptr;
    testLog = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext &context, const QString &message) {
            if (!message.contains(u"does not support propagateSizeHints"))
                testLog(type, context, message);
        });
}

// The program's own set-up around a GUI test: locale, translations, fonts and skin, so the
// tests see what a user sees.
#define KELVORA_GUI_TEST_MAIN(TestClass) \
    int main(int argc, char *argv[]) \
    { \
        QApplication app(argc, argv); \
        setUpApplication(app); \
        TestClass test; \
        return QTest::qExec(&test, argc, argv); \
    }
