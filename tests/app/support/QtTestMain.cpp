// Guards against Qt test programs running without their one QApplication.
#include "tests/app/support/QtTestMain.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>
#include <unistd.h>

int RunQtTests(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    // A close with a job the machine would not let go ends the process at
    // once with status 0: a test that failed before it must still fail.
    std::at_quick_exit([] {
        const ::testing::TestInfo* t = ::testing::UnitTest::GetInstance()->current_test_info();
        if (::testing::UnitTest::GetInstance()->Failed() || (t != nullptr && t->result()->Failed())) ::_exit(1);
    });
    return RUN_ALL_TESTS();
}
