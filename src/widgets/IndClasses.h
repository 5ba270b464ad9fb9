#pragma once
// The change-notifying sub-objects that keep the look of the indicator controls: a
// frame description (TIndBevel) and two colour sets (TIndPalette, TIndPaletteEx). A
// setter stores a changed value and then notifies the owner through OnChange; an
// equal value changes nothing.
#include "widgets/IndSysUtils.h"

#include <QObject>
#include <functional>

class QImage;
class QPainter;

// Notification of a changed object; the sender is the object that changed.
using TIndNotifyEvent = std::function<void(QObject* Sender)>;

enum class TIndBevelStyle { bsNone, bsLowered, bsRaised };
enum class TIndBevelOutlineStyle { osOuter, osInner, osNone };
enum class TIndDrawStyle { dsOwnerDraw, dsNormal };
using TIndImageTextLayout = IndSysUtils::TIndImageTextLayout;
enum class TIndLedType { ltRounded, ltRectangle, ltLargeRect, ltCustom };

class TIndPersistent : public QObject {
public:
    explicit TIndPersistent(QObject* parent = nullptr);

    int UpdateCount() const { return FUpdateCount; }
    void BeginUpdate();
    void EndUpdate();
    // Raises OnChange unless an update is open.
    virtual void Changed();
    // Copies the values of Source when it is of an assignable kind; returns false and
    // changes nothing otherwise.
    virtual bool Assign(const TIndPersistent& Source);

    TIndNotifyEvent OnChange;

private:
    int FUpdateCount = 0;
};

class TIndBevel : public TIndPersistent {
public:
    using TColor = colors::TColor;
    explicit TIndBevel(QObject* parent = nullptr);

    bool Assign(const TIndPersistent& Source) override;

    int BorderWidth() const { return FBorderWidth; }
    TColor BorderColor() const { return FBorderColor; }
    TColor InnerShadow() const { return FInnerShadow; }
    TColor InnerHighlight() const { return FInnerHighlight; }
    int InnerWidth() const { return FInnerWidth; }
    TIndBevelStyle InnerStyle() const { return FInnerStyle; }
    TIndBevelOutlineStyle InnerOutline() const { return FInnerOutline; }
    int InnerSpace() const { return FInnerSpace; }
    TColor InnerColor() const { return FInnerColor; }
    TColor OuterShadow() const { return FOuterShadow; }
    TColor OuterHighlight() const { return FOuterHighlight; }
    int OuterWidth() const { return FOuterWidth; }
    TIndBevelStyle OuterStyle() const { return FOuterStyle; }
    TIndBevelOutlineStyle OuterOutline() const { return FOuterOutline; }
    int OuterSpace() const { return FOuterSpace; }
    TColor OuterColor() const { return FOuterColor; }
    bool Visible() const { return FVisible; }

    // Widths and spaces below their lower bound (0, or 1 for the bevel widths) are
    // raised to it.
    void SetBorderWidth(int v);
    void SetBorderColor(TColor v);
    void SetInnerShadow(TColor v);
    void SetInnerHighlight(TColor v);
    void SetInnerWidth(int v);
    void SetInnerStyle(TIndBevelStyle v);
    void SetInnerOutline(TIndBevelOutlineStyle v);
    void SetInnerSpace(int v);
    void SetInnerColor(TColor v);
    void SetOuterShadow(TColor v);
    void SetOuterHighlight(TColor v);
    void SetOuterWidth(int v);
    void SetOuterStyle(TIndBevelStyle v);
    void SetOuterOutline(TIndBevelOutlineStyle v);
    void SetOuterSpace(int v);
    void SetOuterColor(TColor v);
    void SetVisible(bool v);

    // The total width of the frame on each side (0 when invisible).
    int TotalWidth() const;
    // Rect shrinks to the area inside the frame.
    void GetVisibleArea(IndSysUtils::TRect& Rect) const;
    // Draws the rings from the outside in; Rect ends as the area inside the frame.
    void DrawBevel(QPainter& Canvas, IndSysUtils::TRect& Rect) const;

private:
    template <typename T> void Store(T& field, T value)
    {
        if (field == value)
            return;
        field = value;
        Changed();
    }

    int FBorderWidth = 0;
    TColor FBorderColor = colors::clBtnFace;
    TColor FInnerShadow = colors::clBtnShadow;
    TColor FInnerHighlight = colors::clBtnHighlight;
    int FInnerWidth = 1;
    TIndBevelStyle FInnerStyle = TIndBevelStyle::bsLowered;
    TIndBevelOutlineStyle FInnerOutline = TIndBevelOutlineStyle::osNone;
    int FInnerSpace = 1;
    TColor FInnerColor = colors::clBtnFace;
    TColor FOuterShadow = colors::clBtnShadow;
    TColor FOuterHighlight = colors::clBtnHighlight;
    int FOuterWidth = 1;
    TIndBevelStyle FOuterStyle = TIndBevelStyle::bsRaised;
    TIndBevelOutlineStyle FOuterOutline = TIndBevelOutlineStyle::osOuter;
    int FOuterSpace = 0;
    TColor FOuterColor = colors::clBtnFace;
    bool FVisible = true;
};

class TIndPalette : public TIndPersistent {
public:
    using TColor = colors::TColor;
    explicit TIndPalette(QObject* parent = nullptr);

    bool Assign(const TIndPersistent& Source) override;

    TColor Low() const { return FLow; }
    TColor High() const { return FHigh; }
    void SetLow(TColor v);
    void SetHigh(TColor v);

    // Low for Index < 1, else High.
    virtual TColor ColorOf(int Index) const;

    // Every pixel of colour LowKey becomes Low and every pixel of colour HighKey becomes
    // High. Both sets of pixels are taken from the bitmap as it was, so a Low equal to
    // HighKey does not turn the low pixels into High as well.
    void RecolorBitmap(QImage& Bitmap, TColor LowKey, TColor HighKey) const;

private:
    TColor FLow = colors::clGreen;
    TColor FHigh = colors::clLime;
};

class TIndPaletteEx : public TIndPersistent {
public:
    using TColor = colors::TColor;
    explicit TIndPaletteEx(QObject* parent = nullptr);

    bool Assign(const TIndPersistent& Source) override;

    TColor Low1() const { return FLow1; }
    TColor Low2() const { return FLow2; }
    TColor High1() const { return FHigh1; }
    TColor High2() const { return FHigh2; }
    void SetLow1(TColor v);
    void SetLow2(TColor v);
    void SetHigh1(TColor v);
    void SetHigh2(TColor v);

private:
    TColor FLow1 = colors::clGreen;
    TColor FLow2 = colors::clBlack;
    TColor FHigh1 = colors::clLime;
    TColor FHigh2 = colors::clBlack;
};
