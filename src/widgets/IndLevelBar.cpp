#include "widgets/IndLevelBar.h"

#include <QPainter>
#include <QResizeEvent>
#include <algorithm>

using IndSysUtils::TRect;

TIndLevelBar::TIndLevelBar(QWidget* parent)
    : TIndGraphicImageControl(parent),
      FPalette1(new TIndPalette(this)),
      FPalette2(new TIndPalette(this)),
      FPalette3(new TIndPalette(this)),
      FBevel(new TIndBevel(this))
{
    resize(20, 170);
    SetColor(colors::clBlack);
    FPalette1->SetLow(colors::clGreen);
    FPalette1->SetHigh(colors::clLime);
    FPalette2->SetLow(colors::clOlive);
    FPalette2->SetHigh(colors::clYellow);
    FPalette3->SetLow(colors::clMaroon);
    FPalette3->SetHigh(colors::clRed);
    FBevel->SetInnerStyle(TIndBevelStyle::bsLowered);
    FBevel->SetInnerWidth(2);
    FBevel->SetInnerColor(colors::clBlack);
    for (TIndPalette* p : {FPalette1, FPalette2, FPalette3})
        p->OnChange = [this](QObject*) { UpdateControl(); };
    FBevel->OnChange = [this](QObject*) { BevelChanged(); };
    TickLayout(false);
}

void TIndLevelBar::SetPosition(int v)
{
    v = std::max(v, FMinValue);
    v = std::min(v, FMaxValue);
    if (v == FPosition)
        return;
    FPosition = v;
    UpdateControl();
    Change();
}

void TIndLevelBar::Change()
{
    if (OnChange)
        OnChange(this);
    if (FPosition == FMinValue && OnMinValue)
        OnMinValue(this);
    if (FPosition == FMaxValue && OnMaxValue)
        OnMaxValue(this);
}

void TIndLevelBar::SetMinValue(int v)
{
    if (v == FMinValue || v >= FMaxValue)
        return;
    FMinValue = v;
    if (v > FPosition)
        SetPosition(v);
    else
        UpdateControl();
}

void TIndLevelBar::SetMaxValue(int v)
{
    if (v == FMaxValue || v <= FMinValue)
        return;
    FMaxValue = v;
    if (v < FPosition)
        SetPosition(v);
    else
        UpdateControl();
}

void TIndLevelBar::SetPercent1(int v)
{
    v = std::clamp(v, 0, 100);
    if (v == FPercent1)
        return;
    if (!isLoading() && v + FPercent2 > 100)
        v = 100 - FPercent2;
    FPercent1 = v;
    UpdateControl();
}

void TIndLevelBar::SetPercent2(int v)
{
    v = std::clamp(v, 0, 100);
    if (v == FPercent2 || v + FPercent1 > 100)
        return;
    FPercent2 = v;
    UpdateControl();
}

void TIndLevelBar::SetOrientation(TIndOrientation v)
{
    if (v == FOrientation)
        return;
    FOrientation = v;
    if (!isLoading())
        resize(height(), width());
    UpdateControl();
}

void TIndLevelBar::SetSpacing(int v)
{
    if (v == FSpacing || FTickHeight + v < 1)
        return;
    FSpacing = v;
    UpdateControl();
}

void TIndLevelBar::SetTickHeight(int v)
{
    if (v == FTickHeight || v < 1 || v + FSpacing < 1)
        return;
    FTickHeight = v;
    UpdateControl();
}

void TIndLevelBar::SetStyle(TIndProgressStyle v)
{
    if (v == FStyle)
        return;
    FStyle = v;
    UpdateControl();
}

void TIndLevelBar::loaded()
{
    setLoading(false);
    TickLayout(true);
    UpdateControl();
}

void TIndLevelBar::BevelChanged()
{
    const int b = FBevel->TotalWidth();
    if (!isLoading()) {
        // The tick area keeps its size; the control grows or shrinks with the frame. The
        // tick area is taken from the present size and the frame it was laid out with, so
        // a resize since the last paint is not undone.
        TRect r = ClientRect();
        IndSysUtils::InflateRect(r, -FLayoutBevelWidth, -FLayoutBevelWidth);
        IndSysUtils::InflateRect(r, b, b);
        FLayoutBevelWidth = b;
        resize(std::max(IndSysUtils::RectWidth(r), 0), std::max(IndSysUtils::RectHeight(r), 0));
    }
    FLayoutBevelWidth = b;
    UpdateControl();
}

void TIndLevelBar::TickLayout(bool Snap)
{
    FPitch = FTickHeight + FSpacing;
    const bool vertical = FOrientation == TIndOrientation::voVertical;
    auto measure = [&] {
        FBarRect = ClientRect();
        FBevel->GetVisibleArea(FBarRect);
        FLayoutBevelWidth = FBevel->TotalWidth();
        const int extent = vertical ? IndSysUtils::RectHeight(FBarRect) : IndSysUtils::RectWidth(FBarRect);
        FTickCount = FPitch > 0 ? std::max((extent + FSpacing) / FPitch, 0) : 0;
    };
    measure();
    if (!Snap || FInLayout || FTickCount < 1)
        return;
    const long long length = 2LL * FBevel->TotalWidth() + static_cast<long long>(FTickCount) * FPitch - FSpacing;
    const int len = static_cast<int>(std::clamp<long long>(length, 0, QWIDGETSIZE_MAX));
    if (len == (vertical ? height() : width()))
        return;
    FInLayout = true;
    if (vertical)
        resize(width(), len);
    else
        resize(len, height());
    FInLayout = false;
    measure();
}

void TIndLevelBar::resizeEvent(QResizeEvent* event)
{
    try {
        TIndGraphicImageControl::resizeEvent(event);
        TickLayout(!isLoading());
    } catch (...) {
    }
}

void TIndLevelBar::Paint()
{
    TickLayout(!isLoading());
    const QSize size(std::max(width(), 1), std::max(height(), 1));
    if (FImageBitmap.size() != size)
        FImageBitmap = QImage(size, QImage::Format_ARGB32_Premultiplied);
    ClearBitmapCanvas();
    {
        QPainter p(&FImageBitmap);
        p.setRenderHint(QPainter::Antialiasing, false);
        TRect r = ClientRect();
        FBevel->DrawBevel(p, r);

        const int count = FTickCount;
        const int percent = IndSysUtils::ValueToPercent(static_cast<long long>(FPosition) - FMinValue,
                                                        static_cast<long long>(FMaxValue) - FMinValue);
        const int lit = std::clamp(IndSysUtils::PercentOf(percent, count), 0, count);
        const int zone1 = IndSysUtils::PercentOf(FPercent1, count);
        const int zone2 = zone1 + IndSysUtils::PercentOf(FPercent2, count);
        const bool vertical = FOrientation == TIndOrientation::voVertical;
        const int barW = IndSysUtils::RectWidth(FBarRect);
        const int barH = IndSysUtils::RectHeight(FBarRect);

        auto tick = [&](int k, int pos) {
            const TIndPalette* palette = k <= zone1 ? FPalette1 : (k > zone2 ? FPalette3 : FPalette2);
            const QColor color = colors::ToQColor(palette->ColorOf(k <= lit ? 1 : 0));
            const QRect area = vertical ? QRect(FBarRect.Left, pos, barW, FTickHeight)
                                        : QRect(pos, FBarRect.Top, FTickHeight, barH);
            if (area.width() > 0 && area.height() > 0)
                p.fillRect(area, color);
        };

        if (vertical) {
            // Drawn from one end to the other, the far (unlit) ticks first.
            const bool fromBottom = FStyle == TIndProgressStyle::psBottomLeft;
            int pos = fromBottom ? FBarRect.Top : FBarRect.Bottom - FTickHeight;
            for (int k = count; k >= 1; --k, pos += fromBottom ? FPitch : -FPitch)
                tick(k, pos);
        } else {
            const bool fromLeft = FStyle == TIndProgressStyle::psBottomLeft;
            int pos = fromLeft ? FBarRect.Left : FBarRect.Right - FTickHeight;
            for (int k = 1; k <= count; ++k, pos += fromLeft ? FPitch : -FPitch)
                tick(k, pos);
        }
    }
    TIndGraphicImageControl::Paint();
}
