#include "widgets/IndSysUtils.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <limits>

namespace IndSysUtils {

namespace {

// n / d to the nearest integer, halves to the even neighbour, without floating point so
// that 6.5 and 6.4999… never depend on how 0.01 is stored.
int RoundHalfEven(std::int64_t n, std::int64_t d)
{
    if (d < 0) {
        n = -n;
        d = -d;
    }
    std::int64_t q = n / d;
    std::int64_t r = n % d;
    if (r < 0) { // make q the floor, 0 <= r < d
        q -= 1;
        r += d;
    }
    const std::int64_t twice = 2 * r;
    if (twice > d || (twice == d && (q & 1) != 0))
        q += 1;
    q = std::clamp<std::int64_t>(q, std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    return static_cast<int>(q);
}

void FillPixels(QPainter& canvas, int x, int y, int w, int h, const QColor& color)
{
    if (w > 0 && h > 0)
        canvas.fillRect(QRect(x, y, w, h), color);
}

// A band of the gradient, kept inside the gradient's rectangle.
void FillBand(QPainter& canvas, const QRect& bounds, std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h,
              TColor color)
{
    const std::int64_t l = std::max<std::int64_t>(x, bounds.left());
    const std::int64_t t = std::max<std::int64_t>(y, bounds.top());
    const std::int64_t r = std::min<std::int64_t>(x + w, std::int64_t(bounds.left()) + bounds.width());
    const std::int64_t b = std::min<std::int64_t>(y + h, std::int64_t(bounds.top()) + bounds.height());
    if (r <= l || b <= t)
        return;
    canvas.fillRect(QRect(int(l), int(t), int(r - l), int(b - t)), colors::ToQColor(color));
}

} // namespace

QRect ToQRect(const TRect& r)
{
    if (r.Right <= r.Left || r.Bottom <= r.Top)
        return QRect();
    return QRect(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top);
}

void InflateRect(TRect& r, int dx, int dy)
{
    r.Left -= dx;
    r.Top -= dy;
    r.Right += dx;
    r.Bottom += dy;
}

void OffsetRect(TRect& r, int dx, int dy)
{
    r.Left += dx;
    r.Right += dx;
    r.Top += dy;
    r.Bottom += dy;
}

int PercentOf(std::int64_t Percent, std::int64_t Value)
{
    return RoundHalfEven(Value * Percent, 100);
}

int ValueToPercent(std::int64_t Part, std::int64_t Whole)
{
    if (Whole == 0)
        return 0;
    return RoundHalfEven(Part * 100, Whole);
}

int RectWidth(const TRect& r) { return r.Right - r.Left; }
int RectHeight(const TRect& r) { return r.Bottom - r.Top; }

TColor ResolveColor(TColor Color) { return Color >= 0 ? Color : colors::ColorToRGB(Color); }

void GetRGB(TColor Color, int& R, int& G, int& B)
{
    const TColor c = ResolveColor(Color);
    R = c & 0xFF;
    G = (c >> 8) & 0xFF;
    B = (c >> 16) & 0xFF;
}

bool SameRect(const TRect& A, const TRect& B) { return A == B; }

void DrawFrame3D(QPainter& Canvas, TRect& Rect, TColor TopColor, TColor BottomColor, int Width)
{
    const QColor top = colors::ToQColor(TopColor);
    const QColor bottom = colors::ToQColor(BottomColor);
    // Work on the last pixel row and column inside the rectangle.
    Rect.Right -= 1;
    Rect.Bottom -= 1;
    for (int ring = 0; ring < Width; ++ring) {
        const int l = Rect.Left, t = Rect.Top, r = Rect.Right, b = Rect.Bottom;
        if (l <= r && t <= b) {
            // Left edge (down to the bottom row) and top edge (short of the right column).
            FillPixels(Canvas, l, t, 1, b - t + 1, top);
            FillPixels(Canvas, l, t, r - l, 1, top);
            // Right edge (short of the bottom row) and the whole bottom row, drawn last.
            FillPixels(Canvas, r, t, 1, b - t, bottom);
            FillPixels(Canvas, l, b, r - l + 1, 1, bottom);
        }
        InflateRect(Rect, -1, -1);
    }
    Rect.Right += 1;
    Rect.Bottom += 1;
}

TColor GradientColor(TColor StartColor, TColor EndColor, std::int64_t Index, std::int64_t Span)
{
    int r1, g1, b1, r2, g2, b2;
    GetRGB(StartColor, r1, g1, b1);
    GetRGB(EndColor, r2, g2, b2);
    if (Span == 0)
        return r1 | (g1 << 8) | (b1 << 16);
    auto channel = [&](int s, int e) {
        const std::int64_t v = s + (std::int64_t(e) - s) * Index / Span;
        return static_cast<int>(std::clamp<std::int64_t>(v, 0, 255));
    };
    return channel(r1, r2) | (channel(g1, g2) << 8) | (channel(b1, b2) << 16);
}

void DrawGradient(QPainter& Canvas, const TRect& Rect, TColor StartColor, int Step, int Style, TColor EndColor)
{
    if (Step < 1 || Style < 1 || Style > 6)
        return;
    const QRect bounds = ToQRect(Rect);
    if (bounds.isEmpty())
        return;
    const std::int64_t w = RectWidth(Rect);
    const std::int64_t h = RectHeight(Rect);
    auto color = [&](std::int64_t i, std::int64_t n) { return GradientColor(StartColor, EndColor, i, n); };

    switch (Style) {
    case 1: {
        std::int64_t y = Rect.Top;
        for (std::int64_t i = 0; i < h; i += Step, y += Step)
            FillBand(Canvas, bounds, Rect.Left, y, w, Step, color(i, h));
        break;
    }
    case 2: {
        std::int64_t x = Rect.Left;
        for (std::int64_t i = 0; i <= w; i += Step, x += Step)
            FillBand(Canvas, bounds, x, Rect.Top, Step, h, color(i, w));
        break;
    }
    case 3:
    case 4: {
        const std::int64_t n = w + h;
        Canvas.save();
        Canvas.setClipRect(bounds, Qt::IntersectClip);
        Canvas.translate(Rect.Left, Rect.Top);
        for (std::int64_t i = 0; i <= n; i += Step) {
            Canvas.setPen(QPen(colors::ToQColor(color(i, n)), Step));
            if (Style == 3)
                Canvas.drawLine(QPoint(int(i), 0), QPoint(-1, int(i)));
            else
                Canvas.drawLine(QPoint(0, int(h - i)), QPoint(int(i), int(h)));
        }
        Canvas.restore();
        break;
    }
    case 5:
    case 6: {
        const bool down = Style == 5;
        const std::int64_t n = (down ? h : w) / 2;
        std::int64_t pos = down ? Rect.Top : Rect.Left;
        auto band = [&](std::int64_t i) {
            if (down)
                FillBand(Canvas, bounds, Rect.Left, pos, w, Step, color(i, n));
            else
                FillBand(Canvas, bounds, pos, Rect.Top, Step, h, color(i, n));
            pos += Step;
        };
        std::int64_t last = 0;
        for (std::int64_t i = 0; i < n; i += Step) {
            band(i);
            last = i;
        }
        // Back from the last band drawn to the start colour at the far edge.
        for (std::int64_t i = last; i >= 0; i -= Step)
            band(i);
        break;
    }
    default:
        break;
    }
}

void CalcImageTextLayout(const QFontMetrics& Metrics, const TRect& Client, QPoint Offset, const QString& Caption,
                         TIndImageTextLayout Layout, int Margin, int Spacing, QSize ImageSize, QPoint& GlyphPos,
                         TRect& TextBounds)
{
    const int clientW = RectWidth(Client);
    const int clientH = RectHeight(Client);
    const int imageW = ImageSize.width();
    const int imageH = ImageSize.height();

    int textW = 0, textH = 0;
    TextBounds = TRect{};
    if (!Caption.isEmpty()) {
        const QRect measured = Metrics.boundingRect(QRect(0, 0, clientW, 0), Qt::AlignLeft | Qt::AlignTop, Caption);
        textW = measured.width();
        textH = measured.height();
    }

    const bool across = Layout == TIndImageTextLayout::ImageLeft || Layout == TIndImageTextLayout::ImageRight;
    QPoint textPos;
    if (across) {
        GlyphPos.setY((clientH - imageH + 1) / 2);
        textPos.setY((clientH - textH + 1) / 2);
    } else {
        GlyphPos.setX((clientW - imageW + 1) / 2);
        textPos.setX((clientW - textW + 1) / 2);
    }

    if (textW == 0 || imageW == 0)
        Spacing = 0;

    const int extent = across ? clientW : clientH;
    const int imageExtent = across ? imageW : imageH;
    const int textExtent = across ? textW : textH;
    if (Margin == -1) {
        if (Spacing == -1) {
            Margin = (extent - (imageExtent + textExtent)) / 3;
            Spacing = Margin;
        } else {
            Margin = (extent - (imageExtent + Spacing + textExtent) + 1) / 2;
        }
    } else if (Spacing == -1) {
        Spacing = ((extent - Margin - imageExtent) - textExtent) / 2;
    }

    switch (Layout) {
    case TIndImageTextLayout::ImageLeft:
        GlyphPos.setX(Margin);
        textPos.setX(GlyphPos.x() + imageW + Spacing);
        break;
    case TIndImageTextLayout::ImageRight:
        GlyphPos.setX(clientW - Margin - imageW);
        textPos.setX(GlyphPos.x() - Spacing - textW);
        break;
    case TIndImageTextLayout::ImageTop:
        GlyphPos.setY(Margin);
        textPos.setY(GlyphPos.y() + imageH + Spacing);
        break;
    case TIndImageTextLayout::ImageBottom:
        GlyphPos.setY(clientH - Margin - imageH);
        textPos.setY(GlyphPos.y() - Spacing - textH);
        break;
    }

    GlyphPos += QPoint(Client.Left + Offset.x(), Client.Top + Offset.y());
    textPos += QPoint(Client.Left + Offset.x(), Client.Top + Offset.y());
    TextBounds = TRect{textPos.x(), textPos.y(), textPos.x() + textW, textPos.y() + textH};
}

} // namespace IndSysUtils
