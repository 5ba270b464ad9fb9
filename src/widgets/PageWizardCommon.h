#pragma once
// Drawing routines and picture enumerations shared by the parts of the page wizard
// (header, watermark, panel, page image and the wizard's button bar).
//
// Rectangles are QRects, but the routines treat them by their exclusive edges
// (left, top, right = left + width, bottom = top + height), the way the wizard's
// geometry is reckoned; RectRight/RectBottom/MakeRect convert.
#include "widgets/Colors.h"

#include <QPixmap>
#include <QRect>

class QPainter;

// Horizontal placement of a picture inside its rectangle.
enum class TKImageAlignment { iaLeft, iaRight, iaCenter, iaStretch };
// Side of the header image: only iaLeft and iaRight are meaningful.
using TKImageLeftRight = TKImageAlignment;
// Vertical placement of a picture inside its rectangle.
enum class TKImageLayout { ilTop, ilBottom, ilCenter, ilStretch };

namespace pagewizard {

// "No colour": a part with this colour is not filled.
constexpr colors::TColor clNone = 0x1FFFFFFF;
constexpr colors::TColor clActiveCaption = colors::SysColor(colors::COLOR_ACTIVECAPTION);
constexpr colors::TColor clWindowFrame = colors::SysColor(colors::COLOR_WINDOWFRAME);

// Sides of a frame (a set as bit flags).
enum FrameSide : unsigned { sdLeft = 1, sdTop = 2, sdRight = 4, sdBottom = 8, sdAll = 15 };

inline int RectRight(const QRect& r) { return r.x() + r.width(); }
inline int RectBottom(const QRect& r) { return r.y() + r.height(); }
inline QRect MakeRect(int left, int top, int right, int bottom)
{
    return QRect(left, top, right - left, bottom - top);
}

} // namespace pagewizard

// One-pixel lines along the chosen sides of Rect: the left and top ones in TopLeftColor,
// the right and bottom ones in BottomRightColor. InnerRect is Rect moved in by one pixel
// on each side drawn.
void DrawFrameSides(QPainter& Canvas, const QRect& Rect, colors::TColor TopLeftColor, QRect& InnerRect,
                    unsigned Sides, colors::TColor BottomRightColor);

// A frame of the given style (0 none, 1 none, 2 a single line, 3..6 two lines: an
// etched or raised edge) along the chosen sides; InnerRect is the area inside it.
void DrawBevelFrame(QPainter& Canvas, const QRect& Rect, int Style, QRect& InnerRect, unsigned Sides);

// Draws Graphic into Rect placed by Layout and Alignment: at its own size unless either
// asks to stretch. A transparent picture leaves out the pixels of its bottom-left colour.
void DrawAlignedImage(QPainter& Canvas, const QPixmap& Graphic, const QRect& Rect, TKImageLayout Layout,
                      TKImageAlignment Alignment, bool Transparent = false);
