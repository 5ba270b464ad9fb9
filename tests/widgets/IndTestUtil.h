#pragma once
// Rendering helpers for the pixel checks of the drawn controls.
#include "widgets/Colors.h"

#include <QColor>
#include <QImage>
#include <QWidget>

namespace indtest {

// The widget as it paints itself, at device pixel ratio 1, over a magenta background so
// that unpainted pixels stand out.
inline QImage Render(QWidget& w)
{
    QImage img(w.size(), QImage::Format_ARGB32_Premultiplied);
    img.setDevicePixelRatio(1);
    img.fill(QColor(255, 0, 255));
    w.render(&img);
    return img;
}

// The pixel as a $00BBGGRR value.
inline colors::TColor Pixel(const QImage& img, int x, int y)
{
    return colors::FromQColor(QColor(img.pixel(x, y)));
}

inline colors::TColor Rgb(colors::TColor c) { return colors::ColorToRGB(c); }

} // namespace indtest
