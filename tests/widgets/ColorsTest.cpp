#include "widgets/Colors.h"

#include <gtest/gtest.h>

TEST(Colors, ByteOrderAndSystemColours)
{
    EXPECT_EQ(colors::ToQColor(colors::clRed), QColor(255, 0, 0));
    EXPECT_EQ(colors::ToQColor(0x00EAEAFF), QColor(0xFF, 0xEA, 0xEA));
    EXPECT_EQ(colors::ToQColor(colors::clWindow), QColor(255, 255, 255));
    EXPECT_EQ(colors::ColorToRGB(colors::clBtnFace), 0xF0F0F0);
    EXPECT_EQ(colors::ColorToRGB(colors::SysColor(200)), 0); // unknown index: black
    EXPECT_EQ(colors::FromQColor(QColor(1, 2, 3)), 0x030201);
}
