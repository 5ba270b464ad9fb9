#include "widgets/Prgrss.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPolygon>
#include <QTimer>

TStripeProgress::TStripeProgress(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(150, 14);
}

TStripeProgress::~TStripeProgress() = default; // the timer is a child of the bar

void TStripeProgress::Repaint()
{
    if (!FLoading)
        update();
}

void TStripeProgress::loaded()
{
    FLoading = false;
    update();
}

void TStripeProgress::setForeColor(colors::TColor value)
{
    FForeColor = value;
    Repaint();
}

void TStripeProgress::setBackColor(colors::TColor value)
{
    FBackColor = value;
    Repaint();
}

void TStripeProgress::setInterval(std::uint16_t value)
{
    if (value == FInterval)
        return;
    FInterval = value;
    if (FTimer) {
        // An interval of 0 would fire on every pass of the event loop: the bar stands still instead.
        if (value == 0) {
            FTimer->stop();
        } else {
            FTimer->start(value);
        }
    }
}

void TStripeProgress::setStatus(TProgressStatus value)
{
    if (value == FStatus)
        return;
    delete FTimer;
    FTimer = nullptr;
    FStatus = value;
    if (value == TProgressStatus::psOn) {
        FTimer = new QTimer(this);
        FTimer->setObjectName(QStringLiteral("AnimationTimer"));
        connect(FTimer, &QTimer::timeout, this, [this] {
            try {
                TimerTick();
            } catch (...) {
            }
        });
        if (FInterval > 0)
            FTimer->start(FInterval);
    }
}

void TStripeProgress::TimerTick()
{
    FOffset += 5;
    if (FOffset >= 2 * height())
        FOffset = 0;
    Repaint();
}

void TStripeProgress::paintEvent(QPaintEvent*)
{
    try {
        QPainter p(this);
        DrawBar(p);
    } catch (...) {
    }
}

void TStripeProgress::DrawBar(QPainter& p)
{
    const int H = height();
    const int W = width();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(rect(), colors::ToQColor(FBackColor));
    // Stripes one every 2H need a height of at least one pixel.
    if (W < 1 || H < 1)
        return;
    // The background with an outline in the pen of the previous paint.
    p.setPen(colors::ToQColor(FPenColor));
    p.setBrush(colors::ToQColor(FBackColor));
    p.drawRect(0, 0, W - 1, H - 1);

    const QColor fore = colors::ToQColor(FForeColor);
    p.setPen(fore);
    p.setBrush(fore);
    FPenColor = FForeColor;
    // Parallelograms H wide along each edge, slanting down to the left, one every 2H.
    const int period = 2 * H;
    for (int x = 0; x <= W + H; x += period) {
        const int X = FOffset + x;
        const QPoint pts[4] = {QPoint(X - H, 1), QPoint(X, 1), QPoint(X - H, H - 1), QPoint(X - 2 * H, H - 1)};
        p.drawPolygon(pts, 4);
    }
}
