#include "widgets/Prgrss.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QTest>
#include <QTimer>

#include <cmath>

namespace {

QImage Render(TStripeProgress& bar)
{
    QImage img(bar.size(), QImage::Format_RGB32);
    img.setDevicePixelRatio(1);
    img.fill(Qt::magenta);
    bar.render(&img);
    return img;
}

// Where the stripes of a bar W x H with the given offset must be: +1 clearly inside a
// stripe, -1 clearly outside every stripe, 0 too close to an edge to tell.
int StripeAt(double x, double y, int offset, int W, int H)
{
    bool nearEdge = false;
    for (int k = 0; k <= (W + H) / (2 * H); ++k) {
        const double X = offset + k * 2 * H;
        const double shift = H * (y - 1) / (H - 2);
        const double left = X - H - shift;
        const double right = X - shift;
        if (x > left + 1.5 && x < right - 1.5)
            return 1;
        if (x > left - 1.5 && x < right + 1.5)
            nearEdge = true;
    }
    return nearEdge ? 0 : -1;
}

// Compares every interior pixel that is clearly inside or outside a stripe with the model.
void ExpectStripes(const QImage& img, int offset, const QColor& fore, const QColor& back)
{
    const int W = img.width(), H = img.height();
    int inside = 0, outside = 0;
    for (int y = 2; y <= H - 3; ++y) {
        for (int x = 1; x <= W - 2; ++x) {
            const int where = StripeAt(x, y, offset, W, H);
            if (where == 0)
                continue;
            const QColor expected = where > 0 ? fore : back;
            ASSERT_EQ(img.pixelColor(x, y), expected) << "at " << x << "," << y << " offset " << offset;
            (where > 0 ? inside : outside) += 1;
        }
    }
    EXPECT_GT(inside, 200);
    EXPECT_GT(outside, 200);
}

} // namespace

TEST(StripeProgress, StripesAtTwoOffsetsAndTheOutline)
{
    TStripeProgress bar;
    bar.resize(225, 14);
    bar.setForeColor(0xFF8000);
    bar.setBackColor(colors::clWhite);
    const QColor fore(0x00, 0x80, 0xFF), back(Qt::white);

    const QImage first = Render(bar);
    ExpectStripes(first, 0, fore, back);
    // The first paint outlines in black; the stripes sit inside the outline.
    EXPECT_EQ(first.pixelColor(100, 0), QColor(Qt::black));
    EXPECT_EQ(first.pixelColor(100, 13), QColor(Qt::black));

    bar.TimerTick();
    ASSERT_EQ(bar.Offset(), 5);
    const QImage second = Render(bar);
    ExpectStripes(second, 5, fore, back);
    // Later paints keep the pen of the stripes for the outline.
    EXPECT_EQ(second.pixelColor(100, 0), fore);
    // A point the stripes reach only after they moved right.
    EXPECT_EQ(first.pixelColor(24, 7), back);
    EXPECT_EQ(second.pixelColor(24, 7), fore);
}

TEST(StripeProgress, OffsetRunsUpToTwiceTheHeightThenRestarts)
{
    TStripeProgress bar; // 14 high
    std::vector<int> seen;
    for (int i = 0; i < 7; ++i) {
        bar.TimerTick();
        seen.push_back(bar.Offset());
    }
    EXPECT_EQ(seen, (std::vector<int>{5, 10, 15, 20, 25, 0, 5}));

    // After the bar shrank, the next step brings the offset back into range.
    bar.TimerTick(); // 10
    bar.resize(150, 3);
    bar.TimerTick();
    EXPECT_EQ(bar.Offset(), 0);
}

TEST(StripeProgress, StatusOwnsTheTimer)
{
    TStripeProgress bar;
    bar.setStatus(TProgressStatus::psOn);
    QTimer* timer = bar.AnimationTimer();
    ASSERT_NE(timer, nullptr);
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 100);
    bar.setStatus(TProgressStatus::psOn);
    EXPECT_EQ(bar.AnimationTimer(), timer); // the first timer is kept

    bar.setInterval(70);
    EXPECT_EQ(timer->interval(), 70);
    EXPECT_TRUE(timer->isActive());

    bar.TimerTick();
    bar.setStatus(TProgressStatus::psNudge);
    EXPECT_EQ(bar.AnimationTimer(), nullptr);
    EXPECT_EQ(bar.Offset(), 5); // the stripes stay where they are
    bar.setStatus(TProgressStatus::psOff);
    EXPECT_EQ(bar.AnimationTimer(), nullptr);

    // Running for real: the timer moves the stripes.
    bar.setInterval(5);
    bar.setStatus(TProgressStatus::psOn);
    EXPECT_TRUE(QTest::qWaitFor([&] { return bar.Offset() != 5; }, 2000));
}

TEST(StripeProgress, IntervalZeroStandsStill)
{
    TStripeProgress bar;
    bar.setInterval(0);
    bar.setStatus(TProgressStatus::psOn);
    ASSERT_NE(bar.AnimationTimer(), nullptr);
    EXPECT_FALSE(bar.AnimationTimer()->isActive());
    QTest::qWait(30);
    EXPECT_EQ(bar.Offset(), 0);

    bar.setInterval(5);
    EXPECT_TRUE(bar.AnimationTimer()->isActive());
    EXPECT_TRUE(QTest::qWaitFor([&] { return bar.Offset() != 0; }, 2000));
    bar.setInterval(0);
    EXPECT_FALSE(bar.AnimationTimer()->isActive());
}

TEST(StripeProgress, FlatBarPaintsOnlyItsBackground)
{
    TStripeProgress bar;
    bar.setBackColor(colors::clWhite);
    bar.resize(150, 0);
    QImage img(150, 4, QImage::Format_RGB32);
    img.fill(Qt::magenta);
    {
        QPainter p(&img);
        bar.DrawBar(p); // must return: no stripe spacing to step by
    }
    EXPECT_EQ(img.pixelColor(75, 1), QColor(Qt::magenta));
    bar.TimerTick();
    EXPECT_EQ(bar.Offset(), 0);

    // One pixel high still draws.
    bar.resize(150, 1);
    const QImage thin = Render(bar);
    EXPECT_NE(thin.pixelColor(75, 0), QColor(Qt::magenta));
}
