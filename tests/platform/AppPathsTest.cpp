#include "platform/AppPaths.h"

#include <gtest/gtest.h>

TEST(AppPaths, OverrideAndRestore)
{
    const QString real = platform::ProgramDir();
    platform::SetProgramDirForTests("/tmp/veq-x/");
    EXPECT_EQ(platform::ProgramDir(), "/tmp/veq-x");
    EXPECT_EQ(platform::ProgramFile("Debug/Debug.txt"), "/tmp/veq-x/Debug/Debug.txt");
    platform::SetProgramDirForTests(QString());
    EXPECT_EQ(platform::ProgramDir(), real);
}
