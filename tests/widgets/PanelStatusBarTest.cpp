#include "widgets/PanelStatusBar.h"

#include "widgets/Colors.h"

#include <gtest/gtest.h>

#include <QImage>

namespace {

QImage Render(QWidget& w)
{
    QImage img(w.size(), QImage::Format_RGB32);
    img.setDevicePixelRatio(1);
    img.fill(Qt::magenta);
    w.render(&img);
    return img;
}

QWidget* Block(QWidget* parent, const QRect& geometry, const QColor& color)
{
    auto* w = new QWidget(parent);
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, color);
    w->setPalette(pal);
    w->setAutoFillBackground(true);
    w->setGeometry(geometry);
    return w;
}

} // namespace

TEST(PanelStatusBar, PanelsOfFixedWidthsTheLastReachingTheEdge)
{
    TPanelStatusBar bar;
    bar.resize(600, 19);
    for (int w : {300, 50, 95, 50})
        bar.AddPanel(w);
    ASSERT_EQ(bar.PanelCount(), 4);
    EXPECT_EQ(bar.PanelRect(0), QRect(0, 2, 298, 17));
    EXPECT_EQ(bar.PanelRect(1), QRect(300, 2, 48, 17));
    EXPECT_EQ(bar.PanelRect(2), QRect(350, 2, 93, 17));
    EXPECT_EQ(bar.PanelRect(3), QRect(445, 2, 153, 17));
    EXPECT_EQ(bar.PanelRect(4), QRect());

    bar.setPanelText(3, QStringLiteral("GPRS"));
    bar.setPanelText(9, QStringLiteral("ignored"));
    EXPECT_EQ(bar.PanelText(3), QStringLiteral("GPRS"));
    EXPECT_EQ(bar.PanelText(9), QString());
}

TEST(PanelStatusBar, HoldsChildControlsOverItsPanels)
{
    TPanelStatusBar bar;
    bar.resize(600, 19);
    for (int w : {300, 50, 95, 50})
        bar.AddPanel(w);
    const QColor red(255, 0, 0), green(0, 255, 0);
    QWidget* label = Block(&bar, QRect(10, 4, 120, 13), red);
    Block(&bar, QRect(310, 2, 20, 17), green);
    QWidget* hidden = Block(&bar, QRect(360, 4, 30, 10), red);
    hidden->hide();
    EXPECT_EQ(label->parentWidget(), &bar);

    const QImage img = Render(bar);
    const QColor face = colors::ToQColor(colors::clBtnFace);
    const QColor shadow = colors::ToQColor(colors::clBtnShadow);
    const QColor light = colors::ToQColor(colors::clBtnHighlight);
    // The children paint over the panels.
    EXPECT_EQ(img.pixelColor(60, 10), red);
    EXPECT_EQ(img.pixelColor(320, 10), green);
    // Panel faces, their lowered frames and the gaps between them.
    EXPECT_EQ(img.pixelColor(200, 10), face);
    EXPECT_EQ(img.pixelColor(375, 9), face); // under the hidden child
    EXPECT_EQ(img.pixelColor(150, 2), shadow);
    EXPECT_EQ(img.pixelColor(0, 10), shadow);
    EXPECT_EQ(img.pixelColor(150, 18), light);
    EXPECT_EQ(img.pixelColor(297, 10), light);
    EXPECT_EQ(img.pixelColor(298, 10), face);
    EXPECT_EQ(img.pixelColor(150, 0), face);

    // A panel without a frame is plain face.
    bar.setPanelBevel(0, TStatusPanelBevel::pbNone);
    const QImage flat = Render(bar);
    EXPECT_EQ(flat.pixelColor(150, 2), face);
    EXPECT_EQ(flat.pixelColor(60, 10), red);
}
