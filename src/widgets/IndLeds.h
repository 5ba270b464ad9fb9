#pragma once
// LED indicators: TIndUserLed, a framed face filled with a vertical gradient of the on or
// off colours, and TIndLed, a small glyph (round, rectangular or large) beside a caption.
#include "widgets/IndControls.h"

#include <QImage>
#include <functional>

class QPainter;

using TIndUserLedDrawEvent = std::function<void(QObject* Sender, QPainter& Canvas, const IndSysUtils::TRect& Rect)>;

class TIndUserLed : public TIndGraphicControl {
public:
    explicit TIndUserLed(QWidget* parent = nullptr);

    TIndBevel* Bevel() const { return FBevel; }
    // Copies the values of v into the owned bevel.
    void SetBevel(const TIndBevel& v) { FBevel->Assign(v); }
    TIndPaletteEx* PaletteEx() const { return FPaletteEx; }
    void SetPaletteEx(const TIndPaletteEx& v) { FPaletteEx->Assign(v); }

    bool Active() const { return FActive; }
    void SetActive(bool v);
    TColor OutlineColor() const { return FOutlineColor; }
    void SetOutlineColor(TColor v);
    int OutlineWidth() const { return FOutlineWidth; }
    void SetOutlineWidth(int v);
    TIndDrawStyle DrawStyle() const { return FDrawStyle; }
    void SetDrawStyle(TIndDrawStyle v);

    TIndNotifyEvent OnChange;
    TIndUserLedDrawEvent OnDraw;

protected:
    virtual void Change();
    virtual void Paint(QPainter& Canvas);
    void paintEvent(QPaintEvent* event) override;

private:
    TIndBevel* FBevel;
    TIndPaletteEx* FPaletteEx;
    bool FActive = false;
    TColor FOutlineColor = colors::clBlack;
    int FOutlineWidth = 0;
    TIndDrawStyle FDrawStyle = TIndDrawStyle::dsNormal;
};

// The glyph pictures of the LED types, drawn by the program: "LI_RND", "LI_RECT" and
// "LI_BIG", each two images side by side (off on the left, on on the right) on black,
// the lamp in $000080 (off) and $0000FF (on), which the palette replaces. A null image
// for any other name.
QImage IndLedResourceBitmap(const QString& Name);

class TIndCustomLed : public TIndGraphicImageControl {
public:
    explicit TIndCustomLed(QWidget* parent = nullptr);

    TIndLedType LedType() const { return FLedType; }
    void SetLedType(TIndLedType v);
    TIndPalette* Palette() const { return FPalette; }
    void SetPalette(const TIndPalette& v) { FPalette->Assign(v); }
    bool Active() const { return FActive; }
    void SetActive(bool v);
    int Spacing() const { return FSpacing; }
    void SetSpacing(int v);
    int Margin() const { return FMargin; }
    void SetMargin(int v);
    TIndImageTextLayout Layout() const { return FLayout; }
    void SetLayout(TIndImageTextLayout v);
    // The custom glyph pair (off left, on right) used with ltCustom.
    const QImage& Glyphs() const { return FGlyphs; }
    void SetGlyphs(const QImage& v);
    // Colour of the caption (default clWhite).
    TColor FontColor() const { return FFontColor; }
    void SetFontColor(TColor v);

    const QImage& GlyphCache() const { return FGlyphCache; }
    QRect GlyphRect() const { return FGlyphRect; }
    IndSysUtils::TRect TextRect() const { return FTextRect; }

    TIndNotifyEvent OnChange;
    TIndNotifyEvent OnClick;

    void TextChanged() override;
    void FontChanged() override;

protected:
    virtual void LoadBitmaps();
    virtual void Change();
    void Paint() override;
    void changeEvent(QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    TIndLedType FLedType = TIndLedType::ltRounded;
    TIndPalette* FPalette;
    bool FActive = false;
    int FSpacing = 5;
    int FMargin = -1;
    TIndImageTextLayout FLayout = TIndImageTextLayout::ImageLeft;
    QImage FGlyphs;
    QRect FGlyphRect;
    IndSysUtils::TRect FTextRect;
    QImage FGlyphCache;
    TColor FFontColor = colors::clWhite;
};

class TIndLed : public TIndCustomLed {
public:
    using TIndCustomLed::TIndCustomLed;
};
