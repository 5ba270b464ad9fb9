// Every test program runs with a QApplication on the offscreen platform, so that
// widgets, timers and event loops behave as in the program without a display.
#include <gtest/gtest.h>

#include "platform/UiDialogs.h"

#include <QApplication>
#include <cstdlib>

int main(int argc, char** argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    // A dialog that a test did not answer must never block the run.
    ui::SetNonInteractive(true);
    return RUN_ALL_TESTS();
}
