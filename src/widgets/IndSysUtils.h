#pragma once
// Drawing and arithmetic routines shared by the indicator controls (LEDs, level bar).
// Rectangles are left, top, right, bottom with right and bottom exclusive, as the
// drawing code counts them; colours are $00BBGGRR values (negative = system colour).
#include "widgets/Colors.h"

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <cstdint>

class QPainter;
class QFontMetrics;

namespace IndSysUtils {

using colors::TColor;

struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    friend bool operator==(const TRect&, const TRect&) = default;
};

inline TRect MakeRect(int left, int top, int right, int bottom) { return TRect{left, top, right, bottom}; }
inline TRect FromQRect(const QRect& r) { return TRect{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()}; }
// The pixels that the rectangle covers (empty when right <= left or bottom <= top).
QRect ToQRect(const TRect& r);
void InflateRect(TRect& r, int dx, int dy);
void OffsetRect(TRect& r, int dx, int dy);

enum class TIndImageTextLayout { ImageLeft, ImageRight, ImageTop, ImageBottom };

// Value * Percent / 100 rounded to the nearest integer, halves to the even neighbour.
int PercentOf(std::int64_t Percent, std::int64_t Value);
// Part * 100 / Whole rounded alike; 0 when Whole is 0.
int ValueToPercent(std::int64_t Part, std::int64_t Whole);

int RectWidth(const TRect& r);
int RectHeight(const TRect& r);
TColor ResolveColor(TColor Color);
void GetRGB(TColor Color, int& R, int& G, int& B);
bool SameRect(const TRect& A, const TRect& B);

// One 3-D ring per unit of Width: TopColor on the left and top edges, BottomColor on the
// right and bottom ones. Rect ends shrunk by Width on every side.
void DrawFrame3D(QPainter& Canvas, TRect& Rect, TColor TopColor, TColor BottomColor, int Width);

// Banded gradient from StartColor to EndColor. Style 1 top to bottom, 2 left to right,
// 3 and 4 diagonal, 5 and 6 mirrored (out to the middle and back). Style 0 or above 6
// and a Step below 1 draw nothing; bands never leave Rect.
void DrawGradient(QPainter& Canvas, const TRect& Rect, TColor StartColor, int Step, int Style, TColor EndColor);

// The colour of band Index of Span between two resolved colours; a zero Span gives the
// start colour, channels are kept within 0..255.
TColor GradientColor(TColor StartColor, TColor EndColor, std::int64_t Index, std::int64_t Span);

// Places an image of ImageSize and Caption (measured with Metrics, lines broken only at
// line breaks) in Client. Margin or Spacing -1 means "share the free room".
void CalcImageTextLayout(const QFontMetrics& Metrics, const TRect& Client, QPoint Offset, const QString& Caption,
                         TIndImageTextLayout Layout, int Margin, int Spacing, QSize ImageSize, QPoint& GlyphPos,
                         TRect& TextBounds);

} // namespace IndSysUtils
