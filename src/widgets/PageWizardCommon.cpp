#include "widgets/PageWizardCommon.h"

#include <QBitmap>
#include <QImage>
#include <QPainter>

using namespace pagewizard;

namespace {

// A horizontal or vertical run of pixels; an empty run draws nothing.
void FillRun(QPainter& canvas, int x, int y, int w, int h, const QColor& c)
{
    if (w > 0 && h > 0)
        canvas.fillRect(QRect(x, y, w, h), c);
}

struct BevelColors {
    colors::TColor first;
    colors::TColor second;
};

constexpr BevelColors kBevelColors[7] = {
    {clNone, clNone},
    {colors::clWindow, colors::clBtnFace},
    {clWindowFrame, clWindowFrame},
    {colors::clBtnShadow, colors::clBtnHighlight},
    {colors::clBtnHighlight, colors::clBtnShadow},
    {colors::clBtnShadow, colors::clBtnHighlight},
    {colors::clBlack, colors::clBtnFace},
};

} // namespace

void DrawFrameSides(QPainter& Canvas, const QRect& Rect, colors::TColor TopLeftColor, QRect& InnerRect,
                    unsigned Sides, colors::TColor BottomRightColor)
{
    const int l = Rect.left(), t = Rect.top(), r = RectRight(Rect), b = RectBottom(Rect);
    if (TopLeftColor != clNone) {
        const QColor c = colors::ToQColor(TopLeftColor);
        if (Sides & sdLeft)
            FillRun(Canvas, l, t, 1, b - t, c);
        if (Sides & sdTop)
            FillRun(Canvas, l, t, r - l, 1, c);
    }
    if (BottomRightColor != clNone) {
        const QColor c = colors::ToQColor(BottomRightColor);
        if (Sides & sdRight)
            FillRun(Canvas, r - 1, t, 1, b - t, c);
        if (Sides & sdBottom)
            FillRun(Canvas, l, b - 1, r - l, 1, c);
    }
    InnerRect = MakeRect(l + ((Sides & sdLeft) ? 1 : 0), t + ((Sides & sdTop) ? 1 : 0),
                         r - ((Sides & sdRight) ? 1 : 0), b - ((Sides & sdBottom) ? 1 : 0));
}

void DrawBevelFrame(QPainter& Canvas, const QRect& Rect, int Style, QRect& InnerRect, unsigned Sides)
{
    // Styles outside the table draw nothing, like styles 0 and 1.
    if (Style <= 1 || Style > 6) {
        InnerRect = Rect;
        return;
    }
    const BevelColors bc = kBevelColors[Style];
    if (Style == 2) {
        DrawFrameSides(Canvas, Rect, bc.first, InnerRect, Sides, bc.second);
        return;
    }
    const int l = Rect.left(), t = Rect.top(), r = RectRight(Rect), b = RectBottom(Rect);
    QRect dummy;
    DrawFrameSides(Canvas, MakeRect(l + 1, t + 1, r, b), bc.second, dummy, Sides, bc.second);
    DrawFrameSides(Canvas, MakeRect(l, t, r - 1, b - 1), bc.first, dummy, Sides, bc.first);
    InnerRect = MakeRect(l + ((Sides & sdLeft) ? 2 : 0), t + ((Sides & sdTop) ? 2 : 0),
                         r - ((Sides & sdRight) ? 2 : 0), b - ((Sides & sdBottom) ? 2 : 0));
}

void DrawAlignedImage(QPainter& Canvas, const QPixmap& Graphic, const QRect& Rect, TKImageLayout Layout,
                      TKImageAlignment Alignment, bool Transparent)
{
    if (Graphic.isNull())
        return;
    int l = Rect.left(), t = Rect.top(), r = RectRight(Rect), b = RectBottom(Rect);
    const int w = r - l, h = b - t;
    const int gw = Graphic.width(), gh = Graphic.height();
    int dx = 0, dy = 0;
    if ((Alignment == TKImageAlignment::iaRight || Alignment == TKImageAlignment::iaCenter) && w > gw) {
        dx = w - gw;
        if (Alignment == TKImageAlignment::iaCenter) {
            dx /= 2;
            r -= dx;
        }
    }
    if ((Layout == TKImageLayout::ilBottom || Layout == TKImageLayout::ilCenter) && gh < h) {
        dy = h - gh;
        if (Layout == TKImageLayout::ilCenter) {
            dy /= 2;
            b -= dy;
        }
    }
    l += dx;
    t += dy;

    QPixmap pm = Graphic;
    if (Transparent) {
        const QImage img = Graphic.toImage();
        const QRgb key = img.pixel(0, img.height() - 1);
        pm.setMask(QBitmap::fromImage(img.createMaskFromColor(key, Qt::MaskInColor)));
    }
    if (Alignment != TKImageAlignment::iaStretch && Layout != TKImageLayout::ilStretch)
        Canvas.drawPixmap(l, t, pm);
    else
        Canvas.drawPixmap(MakeRect(l, t, r, b), pm);
}
