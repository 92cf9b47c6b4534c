// Guards against Qt test programs running without their one QApplication.
#include "tests/app/support/QtTestMain.h"

#include <gtest/gtest.h>

#include <QApplication>

int RunQtTests(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
