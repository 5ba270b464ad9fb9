#include "widgets/IndLeds.h"

#include "IndTestUtil.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>
#include <gtest/gtest.h>

using colors::TColor;
using indtest::Pixel;
using indtest::Render;
using indtest::Rgb;
using IndSysUtils::GradientColor;

namespace {

// Counts the repaint requests and the paints.
class CountingUserLed : public TIndUserLed {
public:
    int updates = 0;
    int paints = 0;
    void UpdateControl() override
    {
        ++updates;
        TIndUserLed::UpdateControl();
    }

protected:
    void Paint(QPainter& canvas) override
    {
        ++paints;
        TIndUserLed::Paint(canvas);
    }
};

// The main window's status LED: 20 by 17, raised frame with an outline, inner space.
void SetUpMainWindowLed(TIndUserLed& led, TColor high1, TColor high2)
{
    led.resize(20, 17);
    led.Bevel()->SetInnerStyle(TIndBevelStyle::bsNone);
    led.Bevel()->SetOuterStyle(TIndBevelStyle::bsRaised);
    led.Bevel()->SetOuterOutline(TIndBevelOutlineStyle::osOuter);
    led.PaletteEx()->SetLow1(colors::clBlack);
    led.PaletteEx()->SetLow2(colors::clBlack);
    led.PaletteEx()->SetHigh1(high1);
    led.PaletteEx()->SetHigh2(high2);
}

} // namespace

TEST(IndUserLed, RingsAndFaceGradient)
{
    TIndUserLed led;
    SetUpMainWindowLed(led, colors::clRed, colors::clMaroon);
    led.SetActive(true);
    QImage on = Render(led);

    // Outline, then the raised bevel (highlight top-left, shadow bottom-right).
    EXPECT_EQ(Pixel(on, 0, 0), colors::clBlack);
    EXPECT_EQ(Pixel(on, 19, 16), colors::clBlack);
    EXPECT_EQ(Pixel(on, 10, 0), colors::clBlack);
    EXPECT_EQ(Pixel(on, 1, 1), Rgb(colors::clBtnHighlight));
    EXPECT_EQ(Pixel(on, 1, 8), Rgb(colors::clBtnHighlight));
    EXPECT_EQ(Pixel(on, 10, 1), Rgb(colors::clBtnHighlight));
    EXPECT_EQ(Pixel(on, 18, 8), Rgb(colors::clBtnShadow));
    EXPECT_EQ(Pixel(on, 9, 15), Rgb(colors::clBtnShadow));
    // Inner space in the button face colour.
    EXPECT_EQ(Pixel(on, 2, 2), Rgb(colors::clBtnFace));
    EXPECT_EQ(Pixel(on, 17, 13), Rgb(colors::clBtnFace));
    // Face 14 by 11 at (3, 3): one gradient row per pixel.
    for (int row = 0; row < 11; ++row) {
        EXPECT_EQ(Pixel(on, 3, 3 + row), GradientColor(colors::clRed, colors::clMaroon, row, 11)) << row;
        EXPECT_EQ(Pixel(on, 16, 3 + row), Pixel(on, 3, 3 + row));
    }
    EXPECT_EQ(Pixel(on, 8, 3), colors::clRed);

    led.SetActive(false);
    QImage off = Render(led);
    EXPECT_EQ(Pixel(off, 8, 3), colors::clBlack);
    EXPECT_EQ(Pixel(off, 8, 13), colors::clBlack);
    EXPECT_EQ(Pixel(off, 1, 1), Rgb(colors::clBtnHighlight));
}

TEST(IndUserLed, OutlineAndFrameChanges)
{
    TIndUserLed led;
    led.resize(12, 8);
    led.Bevel()->SetVisible(false);
    led.PaletteEx()->SetLow1(colors::clNavy);
    led.PaletteEx()->SetLow2(colors::clNavy);
    // No outline and no frame: the gradient covers every pixel.
    QImage img = Render(led);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 12; ++x)
            ASSERT_EQ(Pixel(img, x, y), colors::clNavy) << x << "," << y;

    led.SetOutlineWidth(2);
    led.SetOutlineColor(colors::clYellow);
    img = Render(led);
    EXPECT_EQ(Pixel(img, 0, 0), colors::clYellow);
    EXPECT_EQ(Pixel(img, 1, 6), colors::clYellow);
    EXPECT_EQ(Pixel(img, 11, 7), colors::clYellow);
    EXPECT_EQ(Pixel(img, 2, 2), colors::clNavy);
}

TEST(IndUserLed, ActiveNotifiesOnlyOnChange)
{
    CountingUserLed led;
    int changes = 0;
    bool stateSeen = false;
    led.OnChange = [&](QObject* sender) {
        ++changes;
        EXPECT_EQ(sender, &led);
        stateSeen = led.Active();
    };
    led.updates = 0;
    led.SetActive(false);
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(led.updates, 0);
    led.SetActive(true);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(led.updates, 1);
    EXPECT_TRUE(stateSeen);
    led.SetActive(true);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(led.updates, 1);

    // The owned sub-objects ask for a repaint; assigning copies into them.
    led.Bevel()->SetOuterWidth(2);
    EXPECT_EQ(led.updates, 2);
    TIndPaletteEx other;
    other.SetHigh1(colors::clBlue);
    TIndPaletteEx* owned = led.PaletteEx();
    led.SetPaletteEx(other);
    EXPECT_EQ(led.PaletteEx(), owned);
    EXPECT_EQ(owned->High1(), colors::clBlue);
    EXPECT_EQ(led.updates, 3);
}

TEST(IndUserLed, NoRepaintWhileTheFormLoads)
{
    QWidget form;
    form.resize(60, 40);
    auto* led = new CountingUserLed;
    led->setParent(&form);
    form.show();
    QApplication::processEvents();
    led->paints = 0;

    led->setLoading(true);
    led->SetActive(true);
    led->Bevel()->SetOuterWidth(2);
    QApplication::processEvents();
    EXPECT_EQ(led->paints, 0);
    led->loaded();
    QApplication::processEvents();
    EXPECT_GE(led->paints, 1);
    EXPECT_FALSE(led->isLoading());
}

TEST(IndUserLed, OwnerDraw)
{
    TIndUserLed led;
    led.resize(10, 6);
    led.SetColor(colors::clTeal);
    led.SetDrawStyle(TIndDrawStyle::dsOwnerDraw);
    QImage plain = Render(led);
    EXPECT_EQ(Pixel(plain, 0, 0), colors::clTeal);
    EXPECT_EQ(Pixel(plain, 5, 3), colors::clTeal);
    EXPECT_EQ(Pixel(plain, 9, 5), colors::clTeal);

    IndSysUtils::TRect given;
    led.OnDraw = [&](QObject*, QPainter& canvas, const IndSysUtils::TRect& r) {
        given = r;
        canvas.fillRect(QRect(2, 2, 2, 2), colors::ToQColor(colors::clFuchsia));
    };
    QImage drawn = Render(led);
    EXPECT_EQ(given, IndSysUtils::MakeRect(0, 0, 10, 6));
    EXPECT_EQ(Pixel(drawn, 3, 3), colors::clFuchsia);
    EXPECT_EQ(Pixel(drawn, 6, 3), colors::clTeal);
}

TEST(IndUserLed, TagAndHintArePerControl)
{
    TIndUserLed a, b;
    a.SetTag(1);
    a.SetHint(QStringLiteral("GSM"));
    EXPECT_EQ(a.Tag(), 1);
    EXPECT_EQ(b.Tag(), 0);
    EXPECT_EQ(a.property("Tag").toInt(), 1);
    EXPECT_TRUE(a.toolTip().isEmpty());
    a.SetShowHint(true);
    EXPECT_EQ(a.toolTip(), QStringLiteral("GSM"));
    a.SetShowHint(false);
    EXPECT_TRUE(a.toolTip().isEmpty());
    EXPECT_EQ(a.Hint(), QStringLiteral("GSM"));
}

TEST(IndLed, GlyphRecolouredByPalette)
{
    TIndLed led;
    EXPECT_EQ(led.size(), QSize(25, 25));
    EXPECT_EQ(led.Color(), colors::clBlack);
    EXPECT_EQ(led.GlyphCache().size(), QSize(28, 14));

    // No caption: the 14 by 14 glyph is centred.
    QImage off = Render(led);
    EXPECT_EQ(led.GlyphRect(), QRect(6, 6, 14, 14));
    EXPECT_EQ(Pixel(off, 13, 13), colors::clMaroon);
    EXPECT_EQ(Pixel(off, 0, 0), colors::clBlack);  // control colour
    EXPECT_EQ(Pixel(off, 6, 6), colors::clBlack);  // glyph corner, transparent
    EXPECT_EQ(Pixel(off, 6, 13), 0x808080);        // rim

    int changes = 0;
    led.OnChange = [&](QObject*) { ++changes; };
    led.SetActive(true);
    led.SetActive(true);
    EXPECT_EQ(changes, 1);
    QImage on = Render(led);
    EXPECT_EQ(Pixel(on, 13, 13), colors::clRed);

    TIndPalette p;
    p.SetLow(colors::clNavy);
    p.SetHigh(colors::clAqua);
    led.SetPalette(p);
    on = Render(led);
    EXPECT_EQ(Pixel(on, 13, 13), colors::clAqua);
    led.SetActive(false);
    EXPECT_EQ(Pixel(Render(led), 13, 13), colors::clNavy);

    led.SetLedType(TIndLedType::ltLargeRect);
    EXPECT_EQ(led.GlyphCache().size(), QSize(40, 12));
    QImage big = Render(led);
    EXPECT_EQ(led.GlyphRect(), QRect(3, 7, 20, 12));
    EXPECT_EQ(Pixel(big, 12, 12), colors::clNavy);
    EXPECT_EQ(Pixel(big, 3, 7), 0x808080);
}

TEST(IndLed, CustomGlyphsUseControlColourAsTransparent)
{
    TIndLed led;
    led.resize(10, 10);
    led.SetColor(colors::clGray);
    QImage glyphs(8, 4, QImage::Format_RGB32);
    glyphs.fill(colors::ToQColor(colors::clGray));
    glyphs.setPixel(1, 1, qRgb(0, 0xFF, 0));
    glyphs.setPixel(5, 1, qRgb(0, 0, 0xFF));
    led.SetGlyphs(glyphs);
    led.SetLedType(TIndLedType::ltCustom);
    EXPECT_EQ(led.GlyphCache().size(), QSize(8, 4));
    QImage off = Render(led);
    const QPoint at = led.GlyphRect().topLeft();
    EXPECT_EQ(Pixel(off, at.x() + 1, at.y() + 1), colors::clLime);
    EXPECT_EQ(Pixel(off, at.x(), at.y()), colors::clGray);
    led.SetActive(true);
    QImage on = Render(led);
    EXPECT_EQ(Pixel(on, at.x() + 1, at.y() + 1), colors::clBlue);
}

TEST(IndLed, CaptionPlacesGlyphBesideText)
{
    TIndLed led;
    led.resize(200, 25);
    int texts = 0;
    led.OnTextChanged = [&](QObject*) { ++texts; };
    led.SetCaption(QStringLiteral("Connected"));
    led.SetCaption(QStringLiteral("Connected"));
    EXPECT_EQ(texts, 1);
    Render(led);
    const int tw = QFontMetrics(led.font())
                       .boundingRect(QRect(0, 0, 200, 0), Qt::AlignLeft | Qt::AlignTop, led.Caption())
                       .width();
    const int margin = (200 - (14 + 5 + tw) + 1) / 2;
    EXPECT_EQ(led.GlyphRect().left(), margin);
    EXPECT_EQ(led.TextRect().Left, margin + 14 + 5);

    led.SetLayout(TIndImageTextLayout::ImageRight);
    Render(led);
    EXPECT_EQ(led.GlyphRect().left(), 200 - margin - 14);
    EXPECT_EQ(led.TextRect().Left, 200 - margin - 14 - 5 - tw);
}

TEST(IndLed, TransparentShowsTheParent)
{
    QWidget parent;
    parent.resize(40, 40);
    QPalette pal = parent.palette();
    pal.setColor(QPalette::Window, QColor(0x12, 0x34, 0x56));
    parent.setPalette(pal);
    parent.setAutoFillBackground(true);
    auto* led = new TIndLed(&parent);
    led->move(5, 5);
    led->SetTransparent(true);
    QImage img = Render(parent);
    EXPECT_EQ(Pixel(img, 5, 5), 0x563412); // the parent's background
    EXPECT_EQ(Pixel(img, 5 + 13, 5 + 13), colors::clMaroon);
    led->SetTransparent(false);
    EXPECT_EQ(Pixel(Render(parent), 5, 5), colors::clBlack);
}
