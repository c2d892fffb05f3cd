// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QApplication>
#include <QRect>
#include <QTest>

#include "tests/support/testenvironment.h"

// Like QTEST_MAIN, but the test runs with a home, settings and temporary folder of its own, made
// before QApplication exists so that nothing ever reads or writes the real ones.
#define VORNETTA_TEST_MAIN(TestObject) VORNETTA_TEST_MAIN_ON_SCREEN(TestObject, QRect())

// The same on one offscreen screen of the given geometry (the platform's own is 800 x 600).
#define VORNETTA_TEST_MAIN_ON_SCREEN(TestObject, screen)                                                     \
    int main(int argc, char* argv[])                                                                         \
    {                                                                                                        \
        vornetta::test::IsolatedEnvironment environment;                                                     \
        vornetta::test::useOffscreenScreen(environment, screen);                                             \
        QApplication application(argc, argv);                                                                \
        TestObject testObject;                                                                               \
        QTEST_SET_MAIN_SOURCE_PATH                                                                           \
        return QTest::qExec(&testObject, argc, argv);                                                        \
    }
