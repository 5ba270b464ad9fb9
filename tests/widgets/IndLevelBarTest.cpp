#include "widgets/IndLevelBar.h"

#include "IndTestUtil.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using colors::TColor;
using indtest::Pixel;
using indtest::Render;

namespace {

// The main window's signal bars: 0..5, zones 20 % and 20 %, red zone first.
void SetUpSignalBar(TIndLevelBar& bar, bool horizontal)
{
    bar.setLoading(true);
    bar.SetMaxValue(5);
    bar.SetPercent1(20);
    bar.SetPercent2(20);
    bar.Palette1()->SetLow(colors::clMaroon);
    bar.Palette1()->SetHigh(colors::clRed);
    bar.Palette2()->SetLow(colors::clOlive);
    bar.Palette2()->SetHigh(colors::clYellow);
    bar.Palette3()->SetLow(colors::clGreen);
    bar.Palette3()->SetHigh(colors::clLime);
    bar.Bevel()->SetInnerStyle(TIndBevelStyle::bsLowered);
    bar.Bevel()->SetInnerWidth(2);
    bar.Bevel()->SetInnerSpace(1);
    bar.Bevel()->SetInnerColor(colors::clBlack);
    bar.Bevel()->SetOuterStyle(TIndBevelStyle::bsRaised);
    bar.Bevel()->SetOuterOutline(TIndBevelOutlineStyle::osOuter);
    if (horizontal) {
        bar.SetOrientation(TIndOrientation::voHorizontal);
        bar.resize(143, 20);
    } else {
        bar.resize(20, 73);
    }
    bar.loaded();
}

TColor Expected(int k, int lit, int zone1, int zone2)
{
    if (k <= zone1)
        return k <= lit ? colors::clRed : colors::clMaroon;
    if (k > zone2)
        return k <= lit ? colors::clLime : colors::clGreen;
    return k <= lit ? colors::clYellow : colors::clOlive;
}

struct Events {
    std::vector<std::string> log;
    void Attach(TIndLevelBar& bar)
    {
        bar.OnChange = [this, &bar](QObject*) { log.push_back("change " + std::to_string(bar.Position())); };
        bar.OnMinValue = [this](QObject*) { log.push_back("min"); };
        bar.OnMaxValue = [this](QObject*) { log.push_back("max"); };
    }
};

} // namespace

TEST(IndLevelBar, VerticalSignalBarTicksAndZones)
{
    TIndLevelBar bar;
    SetUpSignalBar(bar, false);
    QImage img = Render(bar);
    EXPECT_EQ(bar.size(), QSize(20, 73));
    EXPECT_EQ(bar.BarRect(), IndSysUtils::MakeRect(5, 5, 15, 68));
    EXPECT_EQ(bar.Pitch(), 2);
    EXPECT_EQ(bar.TickCount(), 32);
    // Frame: outline, raised bevel, lowered inner bevel, black inner space.
    EXPECT_EQ(Pixel(img, 0, 40), colors::clBlack);
    EXPECT_EQ(Pixel(img, 1, 40), colors::ColorToRGB(colors::clBtnHighlight));
    EXPECT_EQ(Pixel(img, 2, 40), colors::ColorToRGB(colors::clBtnShadow));
    EXPECT_EQ(Pixel(img, 17, 40), colors::ColorToRGB(colors::clBtnHighlight));

    const int litFor[6] = {0, 6, 13, 19, 26, 32};
    for (int position = 0; position <= 5; ++position) {
        bar.SetPosition(position);
        img = Render(bar);
        for (int k = 1; k <= 32; ++k) {
            const int y = 5 + 2 * (32 - k); // tick 1 at the bottom
            ASSERT_EQ(Pixel(img, 10, y), Expected(k, litFor[position], 6, 12))
                << "position " << position << " tick " << k;
            ASSERT_EQ(Pixel(img, 5, y), Pixel(img, 14, y));
            ASSERT_EQ(Pixel(img, 10, y + 1), colors::clBlack) << "gap below tick " << k;
        }
    }
}

TEST(IndLevelBar, HorizontalSignalBar)
{
    TIndLevelBar bar;
    SetUpSignalBar(bar, true);
    bar.SetPosition(2); // 40 % of 67 ticks: 26.8 -> 27
    QImage img = Render(bar);
    EXPECT_EQ(bar.size(), QSize(143, 20));
    EXPECT_EQ(bar.TickCount(), 67);
    const int zone1 = 13, zone2 = 26; // 13.4 -> 13 twice
    for (int k = 1; k <= 67; ++k) {
        const int x = 5 + 2 * (k - 1); // tick 1 at the left
        ASSERT_EQ(Pixel(img, x, 10), Expected(k, 27, zone1, zone2)) << "tick " << k;
        ASSERT_EQ(Pixel(img, x + 1, 10), colors::clBlack);
    }

    // Filling from the right mirrors the ticks.
    bar.SetStyle(TIndProgressStyle::psTopRight);
    img = Render(bar);
    for (int k = 1; k <= 67; ++k) {
        const int x = 138 - 1 - 2 * (k - 1);
        ASSERT_EQ(Pixel(img, x, 10), Expected(k, 27, zone1, zone2)) << "tick " << k;
    }
}

TEST(IndLevelBar, VerticalFillingFromTheTop)
{
    TIndLevelBar bar;
    SetUpSignalBar(bar, false);
    bar.SetStyle(TIndProgressStyle::psTopRight);
    bar.SetPosition(1);
    QImage img = Render(bar);
    for (int k = 1; k <= 32; ++k) {
        const int y = 3 + 2 * k; // tick 1 at the top
        ASSERT_EQ(Pixel(img, 10, y), Expected(k, 6, 6, 12)) << "tick " << k;
    }
    EXPECT_EQ(Pixel(img, 10, 5), colors::clRed);
    EXPECT_EQ(Pixel(img, 10, 67), colors::clGreen);
}

TEST(IndLevelBar, SnapsToWholeTicks)
{
    TIndLevelBar bar;
    SetUpSignalBar(bar, false);
    bar.resize(20, 76); // room for 33 ticks and one pixel over
    Render(bar);
    EXPECT_EQ(bar.height(), 75);
    EXPECT_EQ(bar.TickCount(), 33);

    bar.SetTickHeight(3); // pitch 4: (65 + 1) div 4 = 16 ticks
    Render(bar);
    EXPECT_EQ(bar.TickCount(), 16);
    EXPECT_EQ(bar.height(), 10 + 16 * 4 - 1);
    QImage img = Render(bar);
    EXPECT_EQ(Pixel(img, 10, 5), Pixel(img, 10, 7)); // one tick three pixels high
    EXPECT_EQ(Pixel(img, 10, 8), colors::clBlack);

    // Turning the bar swaps width and height.
    bar.SetOrientation(TIndOrientation::voHorizontal);
    EXPECT_EQ(bar.size(), QSize(73, 20));
}

TEST(IndLevelBar, NoTicksWhenNoneFit)
{
    TIndLevelBar bar;
    SetUpSignalBar(bar, false);
    bar.SetPosition(5);
    bar.resize(20, 10); // no room inside the frame
    QImage img = Render(bar);
    EXPECT_EQ(bar.TickCount(), 0);
    EXPECT_EQ(bar.height(), 10);
    for (int y = 0; y < bar.height(); ++y)
        for (int x = 0; x < bar.width(); ++x)
            ASSERT_NE(Pixel(img, x, y), colors::clLime);

    // A spacing that leaves no pitch is refused, and so is a tick height below 1.
    bar.SetSpacing(-1);
    EXPECT_EQ(bar.Spacing(), 1);
    bar.SetTickHeight(3);
    bar.SetSpacing(-2);
    EXPECT_EQ(bar.Spacing(), -2);
    bar.SetTickHeight(2);
    EXPECT_EQ(bar.TickHeight(), 3);
    bar.SetTickHeight(0);
    EXPECT_EQ(bar.TickHeight(), 3);
}

TEST(IndLevelBar, PositionEvents)
{
    TIndLevelBar bar;
    SetUpSignalBar(bar, false);
    Events ev;
    ev.Attach(bar);

    bar.SetPosition(15);
    EXPECT_EQ(bar.Position(), 5);
    EXPECT_EQ(ev.log, (std::vector<std::string>{"change 5", "max"}));
    bar.SetPosition(15);
    EXPECT_EQ(ev.log.size(), 2u);

    ev.log.clear();
    bar.SetPosition(-3);
    EXPECT_EQ(bar.Position(), 0);
    EXPECT_EQ(ev.log, (std::vector<std::string>{"change 0", "min"}));

    // Range changes: equal or crossing values are ignored; a range that leaves Position
    // outside moves it through the Position setter.
    ev.log.clear();
    bar.SetMinValue(5);
    bar.SetMinValue(7);
    EXPECT_EQ(bar.MinValue(), 0);
    bar.SetMaxValue(0);
    EXPECT_EQ(bar.MaxValue(), 5);
    EXPECT_TRUE(ev.log.empty());
    bar.SetMinValue(2);
    EXPECT_EQ(bar.Position(), 2);
    EXPECT_EQ(ev.log, (std::vector<std::string>{"change 2", "min"}));
    ev.log.clear();
    bar.SetPosition(5);
    ev.log.clear();
    bar.SetMaxValue(4);
    EXPECT_EQ(bar.Position(), 4);
    EXPECT_EQ(ev.log, (std::vector<std::string>{"change 4", "max"}));
}

TEST(IndLevelBar, ZoneShares)
{
    TIndLevelBar bar;
    bar.SetPercent2(50); // 60 + 50 > 100: refused
    EXPECT_EQ(bar.Percent2(), 25);
    bar.SetPercent1(90); // cut to 100 - 25
    EXPECT_EQ(bar.Percent1(), 75);
    bar.SetPercent1(200);
    EXPECT_EQ(bar.Percent1(), 75);

    TIndLevelBar loading;
    loading.setLoading(true);
    loading.SetPercent1(90); // while the form loads the value is kept as given
    EXPECT_EQ(loading.Percent1(), 90);
    loading.SetPercent2(20); // still refused: 110
    EXPECT_EQ(loading.Percent2(), 25);
    loading.SetPercent2(10);
    EXPECT_EQ(loading.Percent2(), 10);
}

TEST(IndLevelBar, FrameChangeKeepsTheTickArea)
{
    TIndLevelBar bar;
    SetUpSignalBar(bar, false);
    bar.move(30, 40);
    bar.Bevel()->SetBorderWidth(2);
    EXPECT_EQ(bar.geometry(), QRect(30, 40, 24, 77));
    Render(bar);
    EXPECT_EQ(bar.TickCount(), 32);
    EXPECT_EQ(bar.BarRect(), IndSysUtils::MakeRect(7, 7, 17, 70));

    TIndBevel none;
    none.SetVisible(false);
    bar.SetBevel(none);
    EXPECT_EQ(bar.size(), QSize(10, 63));

    // While the form loads the frame changes alone.
    TIndLevelBar loading;
    loading.setLoading(true);
    loading.resize(20, 73);
    loading.Bevel()->SetBorderWidth(3);
    EXPECT_EQ(loading.size(), QSize(20, 73));
}
