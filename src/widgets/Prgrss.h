#pragma once
// The striped busy bar: slanted stripes that scroll sideways while a task of open-ended
// length runs.
#include "widgets/Colors.h"

#include <QWidget>

#include <cstdint>

class QPainter;
class QTimer;

enum class TProgressStatus { psOn, psOff, psNudge };

class TStripeProgress : public QWidget {
    Q_OBJECT
public:
    explicit TStripeProgress(QWidget* parent = nullptr);
    ~TStripeProgress() override;

    TProgressStatus Status() const { return FStatus; }
    // psOn creates the animation timer (it starts at once); psOff and psNudge free it and
    // leave the stripes where they are. The change itself does not repaint.
    void setStatus(TProgressStatus value);

    colors::TColor ForeColor() const { return FForeColor; }
    void setForeColor(colors::TColor value); // repaints even when unchanged
    colors::TColor BackColor() const { return FBackColor; }
    void setBackColor(colors::TColor value); // repaints even when unchanged

    // Milliseconds between animation steps; 0 keeps the bar still.
    std::uint16_t Interval() const { return FInterval; }
    void setInterval(std::uint16_t value);

    // The stripe offset in pixels (0 .. 2 x height - 1 after a step).
    int Offset() const { return FOffset; }

    // The animation timer while Status is psOn, else null.
    QTimer* AnimationTimer() const { return FTimer; }

    // One animation step: the stripes move 5 pixels to the right.
    void TimerTick();

    // While the form that holds the bar is built, changes do not repaint.
    void setLoading(bool value) { FLoading = value; }
    bool isLoading() const { return FLoading; }
    void loaded();

    QSize sizeHint() const override { return QSize(150, 14); }

    // Draws the bar at its current size; the paint event uses it.
    void DrawBar(QPainter& p);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void Repaint();

    TProgressStatus FStatus = TProgressStatus::psOff;
    QTimer* FTimer = nullptr;
    colors::TColor FForeColor = 0xFF0000;
    colors::TColor FBackColor = 0x0000FF;
    std::uint16_t FInterval = 100;
    int FOffset = 0;
    // The outline takes the pen the previous paint left: black at first, then the stripe colour.
    colors::TColor FPenColor = colors::clBlack;
    bool FLoading = false;
};
