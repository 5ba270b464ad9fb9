// Pixels of the wizard: frame routines, header fill and divider, button-bar divider,
// watermark and panel. Rendered at device pixel ratio 1; only interior points, no text.
#include "widgets/PageWizard.h"
#include "widgets/PageWizardCommon.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <memory>

using namespace pagewizard;
using BK = TPageWizardButtonKind;

namespace {

QImage Canvas(int w, int h, QColor fill = Qt::white)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.setDevicePixelRatio(1);
    img.fill(fill);
    return img;
}

QColor At(const QImage& img, int x, int y)
{
    return img.pixelColor(x, y);
}

QImage Render(QWidget* w)
{
    QImage img = Canvas(w->width(), w->height(), Qt::magenta);
    w->render(&img);
    return img;
}

const QColor kShadow = colors::ToQColor(colors::clBtnShadow);
const QColor kHighlight = colors::ToQColor(colors::clBtnHighlight);
const QColor kFace = colors::ToQColor(colors::clBtnFace);

} // namespace

TEST(PageWizardDrawing, FrameSidesAndBevelStyles)
{
    QImage img = Canvas(20, 20);
    QRect inner;
    {
        QPainter p(&img);
        DrawFrameSides(p, QRect(2, 2, 10, 10), colors::clRed, inner, sdLeft | sdTop | sdRight | sdBottom,
                       colors::clBlue);
    }
    EXPECT_EQ(inner, QRect(3, 3, 8, 8));
    EXPECT_EQ(At(img, 2, 6), QColor(Qt::red));   // left
    EXPECT_EQ(At(img, 6, 2), QColor(Qt::red));   // top
    EXPECT_EQ(At(img, 11, 6), QColor(Qt::blue)); // right = right - 1
    EXPECT_EQ(At(img, 6, 11), QColor(Qt::blue)); // bottom = bottom - 1
    EXPECT_EQ(At(img, 12, 6), QColor(Qt::white));
    EXPECT_EQ(At(img, 6, 6), QColor(Qt::white));

    // Style 3 on the bottom side: a shadow row with a highlight row below it.
    img = Canvas(20, 20, Qt::black);
    {
        QPainter p(&img);
        DrawBevelFrame(p, QRect(0, 0, 20, 10), 3, inner, sdBottom);
    }
    EXPECT_EQ(inner, QRect(0, 0, 20, 8));
    EXPECT_EQ(At(img, 10, 8), kShadow);
    EXPECT_EQ(At(img, 10, 9), kHighlight);
    EXPECT_EQ(At(img, 10, 7), QColor(Qt::black));
    EXPECT_EQ(At(img, 19, 8), QColor(Qt::black)); // the shadow ends one short of the right
    EXPECT_EQ(At(img, 0, 9), QColor(Qt::black));  // the highlight starts one in

    // Style 0 and 1 draw nothing; style 2 one line in the window-frame colour.
    img = Canvas(20, 20);
    {
        QPainter p(&img);
        DrawBevelFrame(p, QRect(0, 0, 20, 20), 1, inner, sdAll);
        EXPECT_EQ(inner, QRect(0, 0, 20, 20));
        DrawBevelFrame(p, QRect(0, 0, 20, 20), 2, inner, sdTop);
    }
    EXPECT_EQ(inner, QRect(0, 1, 20, 19));
    EXPECT_EQ(At(img, 5, 0), colors::ToQColor(clWindowFrame));
    EXPECT_EQ(At(img, 5, 1), QColor(Qt::white));
}

TEST(PageWizardDrawing, AlignedImagePlacement)
{
    QPixmap red(10, 10);
    red.fill(Qt::red);
    auto draw = [&](TKImageLayout layout, TKImageAlignment align) {
        QImage img = Canvas(30, 30);
        QPainter p(&img);
        DrawAlignedImage(p, red, QRect(0, 0, 30, 30), layout, align);
        p.end();
        return img;
    };
    QImage img = draw(TKImageLayout::ilCenter, TKImageAlignment::iaCenter);
    EXPECT_EQ(At(img, 15, 15), QColor(Qt::red));
    EXPECT_EQ(At(img, 9, 15), QColor(Qt::white));
    EXPECT_EQ(At(img, 20, 15), QColor(Qt::white));
    img = draw(TKImageLayout::ilBottom, TKImageAlignment::iaRight);
    EXPECT_EQ(At(img, 25, 25), QColor(Qt::red));
    EXPECT_EQ(At(img, 19, 25), QColor(Qt::white));
    img = draw(TKImageLayout::ilTop, TKImageAlignment::iaLeft);
    EXPECT_EQ(At(img, 5, 5), QColor(Qt::red));
    EXPECT_EQ(At(img, 12, 5), QColor(Qt::white));
    img = draw(TKImageLayout::ilStretch, TKImageAlignment::iaLeft); // stretch wins
    EXPECT_EQ(At(img, 28, 28), QColor(Qt::red));

    // Transparent: the bottom-left colour is left out.
    QImage keyed(10, 10, QImage::Format_RGB32);
    keyed.fill(Qt::green);
    keyed.setPixelColor(5, 5, Qt::blue);
    img = Canvas(10, 10);
    {
        QPainter p(&img);
        DrawAlignedImage(p, QPixmap::fromImage(keyed), QRect(0, 0, 10, 10), TKImageLayout::ilTop,
                         TKImageAlignment::iaLeft, true);
    }
    EXPECT_EQ(At(img, 1, 1), QColor(Qt::white));
    EXPECT_EQ(At(img, 5, 5), QColor(Qt::blue));

    // Nothing without a graphic.
    img = Canvas(10, 10);
    {
        QPainter p(&img);
        DrawAlignedImage(p, QPixmap(), QRect(0, 0, 10, 10), TKImageLayout::ilStretch, TKImageAlignment::iaStretch);
    }
    EXPECT_EQ(At(img, 5, 5), QColor(Qt::white));
}

namespace {

class PageWizardPaint : public ::testing::Test {
protected:
    void SetUp() override
    {
        form = std::make_unique<QWidget>();
        form->resize(600, 400);
        wz = new TPageWizard(form.get());
        wz->setLoading(true);
        page = new TPageWizardWelcomePage(wz);
        page->WaterMark()->SetVisible(false);
        page->Header()->SetShowDivider(true);
        page->Header()->SetColor(kHeader);
        page->SetColor(kPage);
        form->show();
        wz->loaded();
    }
    static constexpr colors::TColor kHeader = 0x00805020; // RGB 20 50 80
    static constexpr colors::TColor kPage = 0x0000FFFF;   // yellow
    std::unique_ptr<QWidget> form;
    TPageWizard* wz = nullptr;
    TPageWizardWelcomePage* page = nullptr;
};

} // namespace

TEST_F(PageWizardPaint, HeaderFillDividerAndButtonBar)
{
    ASSERT_EQ(wz->ActivePage(), page);
    const QImage img = Render(wz);
    // Header: filled, then the etched line on its last two rows.
    EXPECT_EQ(At(img, 560, 55), colors::ToQColor(kHeader));
    EXPECT_EQ(At(img, 300, 67), colors::ToQColor(kHeader));
    EXPECT_EQ(At(img, 300, 68), kShadow);
    EXPECT_EQ(At(img, 300, 69), kHighlight);
    EXPECT_EQ(At(img, 300, 70), colors::ToQColor(kPage));
    EXPECT_EQ(At(img, 300, 357), colors::ToQColor(kPage));
    // Button bar: the wizard colour with the etched line along its top.
    EXPECT_EQ(At(img, 200, 358), kShadow);
    EXPECT_EQ(At(img, 200, 359), kHighlight);
    EXPECT_EQ(At(img, 200, 360), kFace);
    EXPECT_EQ(At(img, 200, 395), kFace);
}

TEST_F(PageWizardPaint, NoDividersWhenSwitchedOff)
{
    page->Header()->SetShowDivider(false);
    wz->SetShowDivider(false);
    const QImage img = Render(wz);
    EXPECT_EQ(At(img, 300, 68), colors::ToQColor(kHeader));
    EXPECT_EQ(At(img, 300, 69), colors::ToQColor(kHeader));
    EXPECT_EQ(At(img, 200, 358), kFace);
    EXPECT_EQ(At(img, 200, 359), kFace);
}

TEST_F(PageWizardPaint, PageWithoutButtonsReachesTheBottom)
{
    page->SetVisibleButtons({});
    EXPECT_EQ(wz->ButtonBarHeight(), 0);
    const QImage img = Render(wz);
    EXPECT_EQ(At(img, 200, 358), colors::ToQColor(kPage));
    EXPECT_EQ(At(img, 200, 399), colors::ToQColor(kPage));
}

TEST_F(PageWizardPaint, WatermarkStripAndHeaderBesideIt)
{
    page->WaterMark()->SetVisible(true);
    const QImage img = Render(wz);
    const QColor mark = colors::ToQColor(clActiveCaption);
    EXPECT_EQ(At(img, 0, 200), colors::ToQColor(kPage)); // border of 1
    EXPECT_EQ(At(img, 1, 200), mark);
    EXPECT_EQ(At(img, 162, 10), mark);
    EXPECT_EQ(At(img, 163, 200), colors::ToQColor(kPage));
    EXPECT_EQ(At(img, 560, 55), colors::ToQColor(kHeader)); // header starts after the strip
    EXPECT_EQ(At(img, 170, 68), kShadow);
    EXPECT_EQ(At(img, 160, 68), mark);
}

TEST_F(PageWizardPaint, PanelFrameAndFill)
{
    page->Panel()->SetVisible(true);
    page->Panel()->SetColor(colors::clWhite);
    const QImage img = Render(wz);
    // Below the header: the area (0,70)-(600,358) less 7, an etched frame, less 2, filled.
    EXPECT_EQ(At(img, 3, 200), colors::ToQColor(kPage));
    EXPECT_EQ(At(img, 300, 77), kShadow);
    EXPECT_EQ(At(img, 300, 78), kHighlight);
    EXPECT_EQ(At(img, 7, 200), kShadow);
    EXPECT_EQ(At(img, 300, 200), QColor(Qt::white));
    EXPECT_EQ(At(img, 300, 349), kShadow); // bottom edge: shadow, then highlight
    EXPECT_EQ(At(img, 300, 350), kHighlight);
}

TEST_F(PageWizardPaint, PaintEventReplacesImageAndPanel)
{
    page->Panel()->SetVisible(true);
    QRect seen;
    page->OnPaintPage = [&](QObject* s, QPainter& c, QRect& r) {
        EXPECT_EQ(s, page);
        seen = r;
        c.fillRect(r, Qt::green);
    };
    const QImage img = Render(wz);
    EXPECT_EQ(seen, QRect(0, 70, 600, 288));
    EXPECT_EQ(At(img, 300, 200), QColor(Qt::green));
    EXPECT_EQ(At(img, 560, 55), colors::ToQColor(kHeader)); // the header is still drawn
}

TEST_F(PageWizardPaint, HeaderImageFromTheWizardList)
{
    auto images = std::make_unique<TPageWizardImageList>(16, 16);
    QPixmap blue(16, 16);
    blue.fill(Qt::blue);
    images->Add(blue);
    wz->SetHeaderImages(images.get());
    page->Header()->SetImageIndex(0);
    QImage img = Render(wz);
    // Right-aligned: x = 600 - 16 - 4 = 580, centred in 70: y = 27.
    EXPECT_EQ(At(img, 585, 35), QColor(Qt::blue));
    EXPECT_EQ(At(img, 575, 35), colors::ToQColor(kHeader));
    page->Header()->SetImageIndex(1); // beyond the list: no image
    img = Render(wz);
    EXPECT_EQ(At(img, 585, 35), colors::ToQColor(kHeader));
    images.reset(); // a freed list is forgotten
    EXPECT_EQ(wz->HeaderImages(), nullptr);
    Render(wz);
}
