#pragma once
// A segmented level bar: equal ticks, a share of them lit in proportion to Position
// within MinValue..MaxValue, coloured in three zones from the end the bar fills from.
// The control snaps its length to a whole number of ticks.
#include "widgets/IndControls.h"

enum class TIndOrientation { voVertical, voHorizontal };
enum class TIndProgressStyle { psBottomLeft, psTopRight };

class TIndLevelBar : public TIndGraphicImageControl {
public:
    explicit TIndLevelBar(QWidget* parent = nullptr);

    int MinValue() const { return FMinValue; }
    void SetMinValue(int v);
    int MaxValue() const { return FMaxValue; }
    void SetMaxValue(int v);
    int Position() const { return FPosition; }
    void SetPosition(int v);
    // Shares of the ticks (0..100) in the first and second zone.
    int Percent1() const { return FPercent1; }
    void SetPercent1(int v);
    int Percent2() const { return FPercent2; }
    void SetPercent2(int v);

    TIndPalette* Palette1() const { return FPalette1; }
    void SetPalette1(const TIndPalette& v) { FPalette1->Assign(v); }
    TIndPalette* Palette2() const { return FPalette2; }
    void SetPalette2(const TIndPalette& v) { FPalette2->Assign(v); }
    TIndPalette* Palette3() const { return FPalette3; }
    void SetPalette3(const TIndPalette& v) { FPalette3->Assign(v); }
    TIndBevel* Bevel() const { return FBevel; }
    void SetBevel(const TIndBevel& v) { FBevel->Assign(v); }

    TIndOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TIndOrientation v);
    int Spacing() const { return FSpacing; }
    // A spacing that would leave no room between tick starts (TickHeight + Spacing < 1)
    // is refused.
    void SetSpacing(int v);
    int TickHeight() const { return FTickHeight; }
    // Below 1, or leaving TickHeight + Spacing below 1, is refused.
    void SetTickHeight(int v);
    TIndProgressStyle Style() const { return FStyle; }
    void SetStyle(TIndProgressStyle v);
    // Kept for the form's sake; it does not change the drawing.
    int Step() const { return FStep; }
    void SetStep(int v) { FStep = v; }

    // Results of the last tick layout.
    IndSysUtils::TRect BarRect() const { return FBarRect; }
    int Pitch() const { return FPitch; }
    int TickCount() const { return FTickCount; }

    void loaded() override;

    TIndNotifyEvent OnChange;
    TIndNotifyEvent OnMinValue;
    TIndNotifyEvent OnMaxValue;

protected:
    virtual void Change();
    void Paint() override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Computes the bar rectangle, pitch and tick count from the present size and, when
    // Snap is set and at least one tick fits, gives the control the length of a whole
    // number of ticks.
    void TickLayout(bool Snap);
    void BevelChanged();

    int FMinValue = 0;
    int FMaxValue = 100;
    int FPosition = 0;
    int FPercent1 = 60;
    int FPercent2 = 25;
    TIndPalette* FPalette1;
    TIndPalette* FPalette2;
    TIndPalette* FPalette3;
    TIndBevel* FBevel;
    TIndOrientation FOrientation = TIndOrientation::voVertical;
    int FSpacing = 1;
    int FTickHeight = 1;
    TIndProgressStyle FStyle = TIndProgressStyle::psBottomLeft;
    int FStep = 10;
    IndSysUtils::TRect FBarRect;
    int FPitch = 2;
    int FTickCount = 0;
    int FLayoutBevelWidth = 0; // frame width the present size was laid out with
    bool FInLayout = false;
};
