#include "editor/Controls.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QTabBar>
#include <QWidget>

TEST(Controls, OwnStateIgnoresDisabledOrHiddenParents)
{
    QWidget parent;
    auto* box = new QCheckBox(&parent);
    auto* off = new QCheckBox(&parent);
    off->setEnabled(false);
    parent.setEnabled(false);
    parent.hide();
    EXPECT_TRUE(ctl::Enabled(box));
    EXPECT_FALSE(ctl::Enabled(off));
    EXPECT_TRUE(ctl::Visible(box));
    box->hide();
    EXPECT_FALSE(ctl::Visible(box));
}

TEST(Controls, SpinEditKeepsItsRange)
{
    TSpinEdit spin;
    spin.setRange(10, 65000);
    spin.SetValue(5);
    EXPECT_EQ(spin.Value(), 10);
    spin.SetValue(70000);
    EXPECT_EQ(spin.Value(), 65000);
}

TEST(Controls, FindsControlsByNameWithoutRegardToCase)
{
    QWidget root;
    auto* e = ctl::Make<QLineEdit>(&root, "AdSMSEdit0", 0, 0, 10, 10);
    EXPECT_EQ(ctl::Find<QLineEdit>(&root, "adsmsedit0"), e);
    EXPECT_EQ(ctl::Find<QCheckBox>(&root, "AdSMSEdit0"), nullptr);
    EXPECT_EQ(ctl::FindByName(&root, "AdSMSEdit1"), nullptr);
}

TEST(Controls, PageControlHidesTabsButKeepsPagesSelectable)
{
    TPageControl pc;
    pc.AddPage("A", "a");
    pc.AddPage("B", "b");
    pc.SetTabVisible(1, false);
    pc.SetActivePageIndex(1);
    EXPECT_EQ(pc.ActivePageIndex(), 1);
    EXPECT_EQ(pc.Tabs()->count(), 1);
}
