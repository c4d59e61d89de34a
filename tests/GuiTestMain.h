#pragma once

#include "mainwindow/Application.h"

#include <QApplication>
#include <QTest>

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
