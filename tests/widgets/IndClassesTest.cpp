#include "widgets/IndClasses.h"

#include <QImage>
#include <gtest/gtest.h>

using IndSysUtils::MakeRect;
using IndSysUtils::TRect;

namespace {

struct Counter {
    int calls = 0;
    QObject* sender = nullptr;
    TIndNotifyEvent Handler()
    {
        return [this](QObject* s) {
            ++calls;
            sender = s;
        };
    }
};

} // namespace

TEST(IndClasses, OneChangePerUpdateAndNoneForEqualValues)
{
    TIndPalette palette;
    Counter c;
    palette.OnChange = c.Handler();

    palette.SetLow(palette.Low());
    EXPECT_EQ(c.calls, 0);
    palette.SetHigh(colors::clYellow);
    EXPECT_EQ(c.calls, 1);
    EXPECT_EQ(c.sender, &palette);

    c.calls = 0;
    palette.BeginUpdate();
    palette.SetLow(colors::clRed);
    palette.SetHigh(colors::clBlue);
    palette.SetLow(colors::clNavy);
    EXPECT_EQ(c.calls, 0);
    EXPECT_EQ(palette.UpdateCount(), 1);
    palette.EndUpdate();
    EXPECT_EQ(c.calls, 1);
    EXPECT_EQ(palette.Low(), colors::clNavy);

    // Nested updates notify once, at the outermost end; an unbalanced end does not go
    // below zero.
    c.calls = 0;
    palette.BeginUpdate();
    palette.BeginUpdate();
    palette.SetLow(colors::clGray);
    palette.EndUpdate();
    EXPECT_EQ(c.calls, 0);
    palette.EndUpdate();
    EXPECT_EQ(c.calls, 1);
    palette.EndUpdate();
    EXPECT_EQ(palette.UpdateCount(), 0);

    // The new state is stored before the handler runs.
    colors::TColor seen = 0;
    palette.OnChange = [&](QObject*) { seen = palette.High(); };
    palette.SetHigh(colors::clTeal);
    EXPECT_EQ(seen, colors::clTeal);
}

TEST(IndClasses, BevelAssignCopiesAll)
{
    TIndBevel a;

    TIndBevel b;
    b.SetBorderWidth(2);
    b.SetBorderColor(colors::clRed);
    b.SetInnerShadow(1);
    b.SetInnerHighlight(2);
    b.SetInnerWidth(3);
    b.SetInnerStyle(TIndBevelStyle::bsRaised);
    b.SetInnerOutline(TIndBevelOutlineStyle::osInner);
    b.SetInnerSpace(4);
    b.SetInnerColor(5);
    b.SetOuterShadow(6);
    b.SetOuterHighlight(7);
    b.SetOuterWidth(8);
    b.SetOuterStyle(TIndBevelStyle::bsLowered);
    b.SetOuterOutline(TIndBevelOutlineStyle::osNone);
    b.SetOuterSpace(9);
    b.SetOuterColor(10);
    b.SetVisible(false);

    Counter c;
    a.OnChange = c.Handler();
    EXPECT_TRUE(a.Assign(b));
    EXPECT_EQ(c.calls, 1);
    EXPECT_EQ(a.BorderWidth(), 2);
    EXPECT_EQ(a.BorderColor(), colors::clRed);
    EXPECT_EQ(a.InnerShadow(), 1);
    EXPECT_EQ(a.InnerHighlight(), 2);
    EXPECT_EQ(a.InnerWidth(), 3);
    EXPECT_EQ(a.InnerStyle(), TIndBevelStyle::bsRaised);
    EXPECT_EQ(a.InnerOutline(), TIndBevelOutlineStyle::osInner);
    EXPECT_EQ(a.InnerSpace(), 4);
    EXPECT_EQ(a.InnerColor(), 5);
    EXPECT_EQ(a.OuterShadow(), 6);
    EXPECT_EQ(a.OuterHighlight(), 7);
    EXPECT_EQ(a.OuterWidth(), 8);
    EXPECT_EQ(a.OuterStyle(), TIndBevelStyle::bsLowered);
    EXPECT_EQ(a.OuterOutline(), TIndBevelOutlineStyle::osNone);
    EXPECT_EQ(a.OuterSpace(), 9);
    EXPECT_EQ(a.OuterColor(), 10);
    EXPECT_FALSE(a.Visible());

    // Another kind of object is not assignable and changes nothing.
    TIndPalette palette;
    c.calls = 0;
    EXPECT_FALSE(a.Assign(palette));
    EXPECT_EQ(c.calls, 0);
    EXPECT_EQ(a.BorderWidth(), 2);

    // Widths below their bounds are raised to them.
    a.SetInnerWidth(0);
    a.SetBorderWidth(-4);
    EXPECT_EQ(a.InnerWidth(), 1);
    EXPECT_EQ(a.BorderWidth(), 0);
}

TEST(IndClasses, PaletteExAssignsOnce)
{
    TIndPaletteEx a, b;
    b.SetLow1(1);
    b.SetLow2(2);
    b.SetHigh1(3);
    b.SetHigh2(4);
    Counter c;
    a.OnChange = c.Handler();
    EXPECT_TRUE(a.Assign(b));
    EXPECT_EQ(c.calls, 1);
    EXPECT_EQ(a.Low1(), 1);
    EXPECT_EQ(a.Low2(), 2);
    EXPECT_EQ(a.High1(), 3);
    EXPECT_EQ(a.High2(), 4);
    TIndBevel bevel;
    EXPECT_FALSE(a.Assign(bevel));
}

TEST(IndClasses, BevelVisibleArea)
{
    // The main window's LED frame: outer outline, raised outer bevel, inner space.
    TIndBevel led;
    led.SetInnerStyle(TIndBevelStyle::bsNone);
    TRect r = MakeRect(0, 0, 20, 17);
    led.GetVisibleArea(r);
    EXPECT_EQ(r, MakeRect(3, 3, 17, 14));

    // The level bar's frame: 1 + 1 + 2 + 1.
    TIndBevel bar;
    bar.SetInnerWidth(2);
    EXPECT_EQ(bar.TotalWidth(), 5);
    bar.SetBorderWidth(2);
    bar.SetInnerOutline(TIndBevelOutlineStyle::osInner);
    bar.SetOuterSpace(3);
    EXPECT_EQ(bar.TotalWidth(), 11);
    bar.SetVisible(false);
    r = MakeRect(0, 0, 20, 17);
    bar.GetVisibleArea(r);
    EXPECT_EQ(r, MakeRect(0, 0, 20, 17));
}

TEST(IndClasses, PaletteColorOfAndRecolor)
{
    TIndPalette p;
    EXPECT_EQ(p.Low(), colors::clGreen);
    EXPECT_EQ(p.High(), colors::clLime);
    EXPECT_EQ(p.ColorOf(0), colors::clGreen);
    EXPECT_EQ(p.ColorOf(-5), colors::clGreen);
    EXPECT_EQ(p.ColorOf(1), colors::clLime);

    // Low set to the high key colour: the low pixels must not then be taken for high ones.
    p.SetLow(0x0000FF);
    p.SetHigh(colors::clYellow);
    QImage img(3, 1, QImage::Format_RGB32);
    img.setPixel(0, 0, qRgb(0x80, 0, 0)); // $000080
    img.setPixel(1, 0, qRgb(0xFF, 0, 0)); // $0000FF
    img.setPixel(2, 0, qRgb(1, 2, 3));
    p.RecolorBitmap(img, 0x000080, 0x0000FF);
    EXPECT_EQ(QColor(img.pixel(0, 0)), QColor(0xFF, 0, 0));
    EXPECT_EQ(QColor(img.pixel(1, 0)), QColor(0xFF, 0xFF, 0));
    EXPECT_EQ(QColor(img.pixel(2, 0)), QColor(1, 2, 3));
}
