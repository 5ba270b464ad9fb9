#include "widgets/IndSysUtils.h"

#include "IndTestUtil.h"

#include <QFontMetrics>
#include <QPainter>
#include <gtest/gtest.h>

using namespace IndSysUtils;
using indtest::Pixel;
using indtest::Rgb;

namespace {

QImage Blank(int w, int h)
{
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(QColor(255, 0, 255));
    return img;
}

constexpr TColor kMagenta = 0xFF00FF;

} // namespace

TEST(IndSysUtils, RoundingHalvesToEven)
{
    EXPECT_EQ(PercentOf(20, 32), 6);  // 6.4
    EXPECT_EQ(PercentOf(40, 32), 13); // 12.8
    EXPECT_EQ(PercentOf(50, 13), 6);  // 6.5 -> even
    EXPECT_EQ(PercentOf(50, 15), 8);  // 7.5 -> even
    EXPECT_EQ(PercentOf(50, -13), -6);
    EXPECT_EQ(PercentOf(100, 67), 67);
    EXPECT_EQ(ValueToPercent(1, 8), 12); // 12.5
    EXPECT_EQ(ValueToPercent(3, 8), 38); // 37.5
    EXPECT_EQ(ValueToPercent(1, 3), 33);
    EXPECT_EQ(ValueToPercent(2, 3), 67);
    EXPECT_EQ(ValueToPercent(5, 0), 0);
    // A range wider than 32 bits does not overflow.
    EXPECT_EQ(ValueToPercent(4294967295LL, 4294967295LL), 100);
}

TEST(IndSysUtils, RectsAndColours)
{
    const TRect r = MakeRect(2, 3, 12, 8);
    EXPECT_EQ(RectWidth(r), 10);
    EXPECT_EQ(RectHeight(r), 5);
    EXPECT_TRUE(SameRect(r, MakeRect(2, 3, 12, 8)));
    EXPECT_FALSE(SameRect(r, MakeRect(2, 3, 12, 9)));
    EXPECT_EQ(ResolveColor(0x123456), 0x123456);
    EXPECT_EQ(ResolveColor(colors::clBtnShadow), 0xA0A0A0);
    int R, G, B;
    GetRGB(0x00102030, R, G, B);
    EXPECT_EQ(R, 0x30);
    EXPECT_EQ(G, 0x20);
    EXPECT_EQ(B, 0x10);
}

TEST(IndSysUtils, DrawFrame3DPaintsRingsAndShrinksRect)
{
    QImage img = Blank(8, 7);
    TRect r = MakeRect(0, 0, 8, 7);
    {
        QPainter p(&img);
        DrawFrame3D(p, r, colors::clWhite, colors::clBlue, 2);
    }
    EXPECT_EQ(r, MakeRect(2, 2, 6, 5));
    // Outer ring: top and left in the top colour except the far corners, which belong to
    // the bottom colour.
    EXPECT_EQ(Pixel(img, 0, 0), colors::clWhite);
    EXPECT_EQ(Pixel(img, 6, 0), colors::clWhite);
    EXPECT_EQ(Pixel(img, 7, 0), colors::clBlue);
    EXPECT_EQ(Pixel(img, 0, 5), colors::clWhite);
    EXPECT_EQ(Pixel(img, 0, 6), colors::clBlue);
    EXPECT_EQ(Pixel(img, 7, 3), colors::clBlue);
    EXPECT_EQ(Pixel(img, 4, 6), colors::clBlue);
    // Second ring, one pixel in.
    EXPECT_EQ(Pixel(img, 1, 1), colors::clWhite);
    EXPECT_EQ(Pixel(img, 5, 1), colors::clWhite);
    EXPECT_EQ(Pixel(img, 6, 1), colors::clBlue);
    EXPECT_EQ(Pixel(img, 6, 5), colors::clBlue);
    EXPECT_EQ(Pixel(img, 1, 5), colors::clBlue);
    // The inside stays untouched.
    for (int y = 2; y < 5; ++y)
        for (int x = 2; x < 6; ++x)
            EXPECT_EQ(Pixel(img, x, y), kMagenta) << x << "," << y;

    // Width 0 paints nothing and keeps the rectangle.
    QImage none = Blank(4, 4);
    TRect same = MakeRect(0, 0, 4, 4);
    {
        QPainter p(&none);
        DrawFrame3D(p, same, colors::clWhite, colors::clBlue, 0);
    }
    EXPECT_EQ(same, MakeRect(0, 0, 4, 4));
    EXPECT_EQ(Pixel(none, 0, 0), kMagenta);
}

TEST(IndSysUtils, GradientTopToBottom)
{
    const TColor start = 0x0010F0, end = 0xC08000;
    QImage img = Blank(3, 10);
    {
        QPainter p(&img);
        DrawGradient(p, MakeRect(0, 1, 3, 9), start, 1, 1, end);
    }
    EXPECT_EQ(Pixel(img, 1, 0), kMagenta);
    EXPECT_EQ(Pixel(img, 1, 9), kMagenta);
    EXPECT_EQ(Pixel(img, 0, 1), start);
    for (int i = 0; i < 8; ++i) {
        const int r = 0xF0 + (0x00 - 0xF0) * i / 8, g = 0x10 + (0x80 - 0x10) * i / 8, b = 0x00 + (0xC0 - 0x00) * i / 8;
        EXPECT_EQ(Pixel(img, 2, 1 + i), r | (g << 8) | (b << 16)) << "row " << i;
    }
    EXPECT_EQ(Pixel(img, 0, 8), GradientColor(start, end, 7, 8));
}

TEST(IndSysUtils, GradientGuards)
{
    // A step below 1 and styles outside 1..6 paint nothing (and return).
    for (int step : {0, -3}) {
        for (int style = 1; style <= 6; ++style) {
            QImage img = Blank(6, 6);
            QPainter p(&img);
            DrawGradient(p, MakeRect(0, 0, 6, 6), colors::clRed, step, style, colors::clBlue);
            p.end();
            EXPECT_EQ(Pixel(img, 3, 3), kMagenta) << "step " << step << " style " << style;
        }
    }
    for (int style : {0, 7, -1}) {
        QImage img = Blank(6, 6);
        QPainter p(&img);
        DrawGradient(p, MakeRect(0, 0, 6, 6), colors::clRed, 1, style, colors::clBlue);
        p.end();
        EXPECT_EQ(Pixel(img, 3, 3), kMagenta);
    }
    // A mirrored gradient one pixel high has a zero span: the start colour.
    QImage thin = Blank(4, 1);
    {
        QPainter p(&thin);
        DrawGradient(p, MakeRect(0, 0, 4, 1), colors::clRed, 1, 5, colors::clBlue);
    }
    EXPECT_EQ(Pixel(thin, 2, 0), colors::clRed);
    EXPECT_EQ(GradientColor(colors::clRed, colors::clBlue, 5, 0), colors::clRed);
    // Channels never leave 0..255 even past the span.
    EXPECT_EQ(GradientColor(0x000080, 0x0000FF, 3, 1), 0x0000FF);
    EXPECT_EQ(GradientColor(0x0000FF, 0x000080, 3, 1), 0x000000);
}

TEST(IndSysUtils, GradientMirroredAndSideways)
{
    const TColor start = 0x000000, end = 0x0000F0;
    QImage img = Blank(2, 8);
    {
        QPainter p(&img);
        DrawGradient(p, MakeRect(0, 0, 2, 8), start, 1, 5, end);
    }
    // Out to the middle and back to the start colour at the bottom.
    const int expected[8] = {0x00, 0x3C, 0x78, 0xB4, 0xB4, 0x78, 0x3C, 0x00};
    for (int y = 0; y < 8; ++y)
        EXPECT_EQ(Pixel(img, 0, y), expected[y]) << "row " << y;

    QImage wide = Blank(5, 2);
    {
        QPainter p(&wide);
        DrawGradient(p, MakeRect(0, 0, 5, 2), start, 2, 2, end);
    }
    // Bands two pixels wide, the last one cut at the rectangle.
    EXPECT_EQ(Pixel(wide, 0, 1), 0x00);
    EXPECT_EQ(Pixel(wide, 1, 1), 0x00);
    EXPECT_EQ(Pixel(wide, 2, 1), 0xF0 * 2 / 5);
    EXPECT_EQ(Pixel(wide, 4, 1), 0xF0 * 4 / 5);
}

TEST(IndSysUtils, ImageTextLayoutWithoutCaption)
{
    QFontMetrics fm{QFont()};
    QPoint glyph;
    TRect text;
    // Image alone, centred both ways (margin from the free room).
    CalcImageTextLayout(fm, MakeRect(0, 0, 25, 25), QPoint(0, 0), QString(), TIndImageTextLayout::ImageLeft, -1, 5,
                        QSize(14, 14), glyph, text);
    EXPECT_EQ(glyph, QPoint(6, 6));
    EXPECT_EQ(RectWidth(text), 0);
    CalcImageTextLayout(fm, MakeRect(10, 20, 40, 30), QPoint(0, 0), QString(), TIndImageTextLayout::ImageRight, 3, 5,
                        QSize(8, 4), glyph, text);
    EXPECT_EQ(glyph, QPoint(10 + 30 - 3 - 8, 20 + 3));
    CalcImageTextLayout(fm, MakeRect(0, 0, 20, 40), QPoint(0, 0), QString(), TIndImageTextLayout::ImageBottom, 2, -1,
                        QSize(10, 10), glyph, text);
    EXPECT_EQ(glyph, QPoint(5, 40 - 2 - 10));
}

TEST(IndSysUtils, ImageTextLayoutWithCaption)
{
    QFontMetrics fm{QFont()};
    const QString caption = QStringLiteral("Signal");
    const int tw = fm.boundingRect(QRect(0, 0, 200, 0), Qt::AlignLeft | Qt::AlignTop, caption).width();
    QPoint glyph;
    TRect text;
    CalcImageTextLayout(fm, MakeRect(0, 0, 200, 30), QPoint(0, 0), caption, TIndImageTextLayout::ImageLeft, 4, 5,
                        QSize(14, 14), glyph, text);
    EXPECT_EQ(glyph.x(), 4);
    EXPECT_EQ(text.Left, 4 + 14 + 5);
    EXPECT_EQ(RectWidth(text), tw);
    // Both shares free: margin and spacing split the room in three.
    CalcImageTextLayout(fm, MakeRect(0, 0, 200, 30), QPoint(0, 0), caption, TIndImageTextLayout::ImageLeft, -1, -1,
                        QSize(14, 14), glyph, text);
    const int third = (200 - (14 + tw)) / 3;
    EXPECT_EQ(glyph.x(), third);
    EXPECT_EQ(text.Left, third + 14 + third);
}
