#include "widgets/IndClasses.h"

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <vector>

using colors::TColor;
using IndSysUtils::TRect;

// ---------------------------------------------------------------------------------------
// TIndPersistent

TIndPersistent::TIndPersistent(QObject* parent) : QObject(parent) {}

void TIndPersistent::BeginUpdate() { ++FUpdateCount; }

void TIndPersistent::EndUpdate()
{
    if (FUpdateCount >= 1)
        --FUpdateCount;
    Changed();
}

void TIndPersistent::Changed()
{
    if (OnChange && FUpdateCount == 0)
        OnChange(this);
}

bool TIndPersistent::Assign(const TIndPersistent&)
{
    return false;
}

// ---------------------------------------------------------------------------------------
// TIndBevel

TIndBevel::TIndBevel(QObject* parent) : TIndPersistent(parent) {}

bool TIndBevel::Assign(const TIndPersistent& Source)
{
    const auto* src = dynamic_cast<const TIndBevel*>(&Source);
    if (!src)
        return TIndPersistent::Assign(Source);
    if (src == this)
        return true;
    BeginUpdate();
    SetBorderWidth(src->FBorderWidth);
    SetBorderColor(src->FBorderColor);
    SetInnerShadow(src->FInnerShadow);
    SetInnerHighlight(src->FInnerHighlight);
    SetInnerWidth(src->FInnerWidth);
    SetInnerStyle(src->FInnerStyle);
    SetInnerOutline(src->FInnerOutline);
    SetInnerSpace(src->FInnerSpace);
    SetInnerColor(src->FInnerColor);
    SetOuterShadow(src->FOuterShadow);
    SetOuterHighlight(src->FOuterHighlight);
    SetOuterWidth(src->FOuterWidth);
    SetOuterStyle(src->FOuterStyle);
    SetOuterOutline(src->FOuterOutline);
    SetOuterSpace(src->FOuterSpace);
    SetOuterColor(src->FOuterColor);
    SetVisible(src->FVisible);
    EndUpdate();
    return true;
}

void TIndBevel::SetBorderWidth(int v) { Store(FBorderWidth, std::max(v, 0)); }
void TIndBevel::SetBorderColor(TColor v) { Store(FBorderColor, v); }
void TIndBevel::SetInnerShadow(TColor v) { Store(FInnerShadow, v); }
void TIndBevel::SetInnerHighlight(TColor v) { Store(FInnerHighlight, v); }
void TIndBevel::SetInnerWidth(int v) { Store(FInnerWidth, std::max(v, 1)); }
void TIndBevel::SetInnerStyle(TIndBevelStyle v) { Store(FInnerStyle, v); }
void TIndBevel::SetInnerOutline(TIndBevelOutlineStyle v) { Store(FInnerOutline, v); }
void TIndBevel::SetInnerSpace(int v) { Store(FInnerSpace, std::max(v, 0)); }
void TIndBevel::SetInnerColor(TColor v) { Store(FInnerColor, v); }
void TIndBevel::SetOuterShadow(TColor v) { Store(FOuterShadow, v); }
void TIndBevel::SetOuterHighlight(TColor v) { Store(FOuterHighlight, v); }
void TIndBevel::SetOuterWidth(int v) { Store(FOuterWidth, std::max(v, 1)); }
void TIndBevel::SetOuterStyle(TIndBevelStyle v) { Store(FOuterStyle, v); }
void TIndBevel::SetOuterOutline(TIndBevelOutlineStyle v) { Store(FOuterOutline, v); }
void TIndBevel::SetOuterSpace(int v) { Store(FOuterSpace, std::max(v, 0)); }
void TIndBevel::SetOuterColor(TColor v) { Store(FOuterColor, v); }
void TIndBevel::SetVisible(bool v) { Store(FVisible, v); }

int TIndBevel::TotalWidth() const
{
    if (!FVisible)
        return 0;
    int w = FBorderWidth + FInnerSpace + FOuterSpace;
    if (FOuterOutline != TIndBevelOutlineStyle::osNone)
        w += 1;
    if (FInnerOutline != TIndBevelOutlineStyle::osNone)
        w += 1;
    if (FInnerStyle != TIndBevelStyle::bsNone)
        w += FInnerWidth;
    if (FOuterStyle != TIndBevelStyle::bsNone)
        w += FOuterWidth;
    return w;
}

void TIndBevel::GetVisibleArea(TRect& Rect) const
{
    const int w = TotalWidth();
    IndSysUtils::InflateRect(Rect, -w, -w);
}

void TIndBevel::DrawBevel(QPainter& Canvas, TRect& Rect) const
{
    if (!FVisible)
        return;
    using IndSysUtils::DrawFrame3D;
    if (FBorderWidth > 0)
        DrawFrame3D(Canvas, Rect, FBorderColor, FBorderColor, FBorderWidth);

    auto ring = [&](TIndBevelOutlineStyle outline, TIndBevelStyle style, int width, TColor shadow, TColor highlight,
                    TColor spaceColor, int space) {
        if (outline == TIndBevelOutlineStyle::osOuter)
            DrawFrame3D(Canvas, Rect, colors::clBlack, colors::clBlack, 1);
        if (style != TIndBevelStyle::bsNone) {
            if (style == TIndBevelStyle::bsLowered)
                DrawFrame3D(Canvas, Rect, shadow, highlight, width);
            else
                DrawFrame3D(Canvas, Rect, highlight, shadow, width);
        }
        if (outline == TIndBevelOutlineStyle::osInner)
            DrawFrame3D(Canvas, Rect, colors::clBlack, colors::clBlack, 1);
        DrawFrame3D(Canvas, Rect, spaceColor, spaceColor, space);
    };
    ring(FOuterOutline, FOuterStyle, FOuterWidth, FOuterShadow, FOuterHighlight, FOuterColor, FOuterSpace);
    ring(FInnerOutline, FInnerStyle, FInnerWidth, FInnerShadow, FInnerHighlight, FInnerColor, FInnerSpace);
}

// ---------------------------------------------------------------------------------------
// TIndPalette

TIndPalette::TIndPalette(QObject* parent) : TIndPersistent(parent) {}

bool TIndPalette::Assign(const TIndPersistent& Source)
{
    const auto* src = dynamic_cast<const TIndPalette*>(&Source);
    if (!src)
        return TIndPersistent::Assign(Source);
    if (src == this)
        return true;
    BeginUpdate();
    SetLow(src->FLow);
    SetHigh(src->FHigh);
    EndUpdate();
    return true;
}

void TIndPalette::SetLow(TColor v)
{
    if (FLow == v)
        return;
    FLow = v;
    Changed();
}

void TIndPalette::SetHigh(TColor v)
{
    if (FHigh == v)
        return;
    FHigh = v;
    Changed();
}

TColor TIndPalette::ColorOf(int Index) const { return Index < 1 ? FLow : FHigh; }

void TIndPalette::RecolorBitmap(QImage& Bitmap, TColor LowKey, TColor HighKey) const
{
    if (Bitmap.isNull())
        return;
    if (Bitmap.format() != QImage::Format_RGB32 && Bitmap.format() != QImage::Format_ARGB32)
        Bitmap = Bitmap.convertToFormat(QImage::Format_ARGB32);
    const QRgb lowKey = colors::ToQColor(LowKey).rgb() & 0xFFFFFF;
    const QRgb highKey = colors::ToQColor(HighKey).rgb() & 0xFFFFFF;
    const QRgb low = colors::ToQColor(FLow).rgb() & 0xFFFFFF;
    const QRgb high = colors::ToQColor(FHigh).rgb() & 0xFFFFFF;

    // Both masks come from the bitmap before any pixel changes.
    const int w = Bitmap.width(), h = Bitmap.height();
    std::vector<unsigned char> mask(static_cast<size_t>(w) * static_cast<size_t>(h), 0);
    for (int y = 0; y < h; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(Bitmap.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            const QRgb c = line[x] & 0xFFFFFF;
            mask[size_t(y) * size_t(w) + size_t(x)] = c == lowKey ? 1 : (c == highKey ? 2 : 0);
        }
    }
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(Bitmap.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const unsigned char m = mask[size_t(y) * size_t(w) + size_t(x)];
            if (m != 0)
                line[x] = (line[x] & 0xFF000000u) | (m == 1 ? low : high);
        }
    }
}

// ---------------------------------------------------------------------------------------
// TIndPaletteEx

TIndPaletteEx::TIndPaletteEx(QObject* parent) : TIndPersistent(parent) {}

bool TIndPaletteEx::Assign(const TIndPersistent& Source)
{
    const auto* src = dynamic_cast<const TIndPaletteEx*>(&Source);
    if (!src)
        return TIndPersistent::Assign(Source);
    if (src == this)
        return true;
    BeginUpdate();
    SetLow1(src->FLow1);
    SetHigh1(src->FHigh1);
    SetLow2(src->FLow2);
    SetHigh2(src->FHigh2);
    EndUpdate();
    return true;
}

namespace {
void StoreColor(TIndPersistent& owner, TColor& field, TColor v)
{
    if (field == v)
        return;
    field = v;
    owner.Changed();
}
} // namespace

void TIndPaletteEx::SetLow1(TColor v) { StoreColor(*this, FLow1, v); }
void TIndPaletteEx::SetLow2(TColor v) { StoreColor(*this, FLow2, v); }
void TIndPaletteEx::SetHigh1(TColor v) { StoreColor(*this, FHigh1, v); }
void TIndPaletteEx::SetHigh2(TColor v) { StoreColor(*this, FHigh2, v); }
