// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QApplication>
#include <QTest>

#include "tests/support/testenvironment.h"

// Like QTEST_MAIN, but the test runs with a home, settings and temporary folder of its own, made
// before QApplication exists so that nothing ever reads or writes the real ones.
#define VORNETTA_TEST_MAIN(TestObject)                                                                       \
    int main(int argc, char* argv[])                                                                         \
    {                                                                                                        \
        vornetta::test::IsolatedEnvironment environment;                                                     \
        QApplication application(argc, argv);                                                                \
        TestObject testObject;                                                                               \
        QTEST_SET_MAIN_SOURCE_PATH                                                                           \
        return QTest::qExec(&testObject, argc, argv);                                                        \
    }
