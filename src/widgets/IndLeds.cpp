#include "widgets/IndLeds.h"

#include <QEvent>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>

using colors::TColor;
using IndSysUtils::TRect;

// ---------------------------------------------------------------------------------------
// TIndUserLed

TIndUserLed::TIndUserLed(QWidget* parent)
    : TIndGraphicControl(parent), FBevel(new TIndBevel(this)), FPaletteEx(new TIndPaletteEx(this))
{
    setAttribute(Qt::WA_OpaquePaintEvent, true);
    resize(20, 10);
    FBevel->SetInnerStyle(TIndBevelStyle::bsNone);
    FBevel->SetInnerHighlight(colors::clLime);
    FBevel->SetInnerShadow(colors::clGreen);
    FPaletteEx->SetLow1(colors::clMaroon);
    FPaletteEx->SetLow2(colors::clBlack);
    FPaletteEx->SetHigh1(colors::clRed);
    FPaletteEx->SetHigh2(colors::clBlack);
    FBevel->OnChange = [this](QObject*) { UpdateControl(); };
    FPaletteEx->OnChange = [this](QObject*) { UpdateControl(); };
}

void TIndUserLed::SetActive(bool v)
{
    if (FActive == v)
        return;
    FActive = v;
    UpdateControl();
    Change();
}

void TIndUserLed::Change()
{
    if (OnChange)
        OnChange(this);
}

void TIndUserLed::SetOutlineColor(TColor v)
{
    if (FOutlineColor == v)
        return;
    FOutlineColor = v;
    UpdateControl();
}

void TIndUserLed::SetOutlineWidth(int v)
{
    if (FOutlineWidth == v)
        return;
    FOutlineWidth = v;
    UpdateControl();
}

void TIndUserLed::SetDrawStyle(TIndDrawStyle v)
{
    if (FDrawStyle == v)
        return;
    FDrawStyle = v;
    UpdateControl();
}

void TIndUserLed::Paint(QPainter& Canvas)
{
    TRect r = ClientRect();
    if (FDrawStyle == TIndDrawStyle::dsNormal) {
        if (FOutlineWidth > 0)
            IndSysUtils::DrawFrame3D(Canvas, r, FOutlineColor, FOutlineColor, FOutlineWidth);
        FBevel->DrawBevel(Canvas, r);
        if (FActive)
            IndSysUtils::DrawGradient(Canvas, r, FPaletteEx->High1(), 1, 1, FPaletteEx->High2());
        else
            IndSysUtils::DrawGradient(Canvas, r, FPaletteEx->Low1(), 1, 1, FPaletteEx->Low2());
    } else {
        Canvas.fillRect(rect(), colors::ToQColor(Color()));
        if (OnDraw)
            OnDraw(this, Canvas, r);
    }
}

void TIndUserLed::paintEvent(QPaintEvent*)
{
    try {
        QPainter canvas(this);
        canvas.setRenderHint(QPainter::Antialiasing, false);
        Paint(canvas);
    } catch (...) {
    }
}

// ---------------------------------------------------------------------------------------
// Glyph pictures

namespace {

constexpr TColor kOffKey = 0x000080;
constexpr TColor kOnKey = 0x0000FF;
const QRgb kRim = qRgb(0x80, 0x80, 0x80);
const QRgb kShine = qRgb(0xFF, 0xFF, 0xFF);

QRgb Rgb(TColor c) { return colors::ToQColor(c).rgb(); }

// One lamp of size w by h at x0: a grey rim, the key colour inside and a small white
// shine at the upper left. Round lamps use the pixel-centre test of a circle so the
// picture is the same everywhere.
void DrawLamp(QImage& img, int x0, int w, int h, bool round, QRgb key)
{
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            QRgb c = Rgb(colors::clBlack);
            if (round) {
                const int dx = 2 * x + 1 - w, dy = 2 * y + 1 - h;
                const int d2 = dx * dx + dy * dy;
                if (d2 <= (w - 3) * (w - 3))
                    c = key;
                else if (d2 <= w * w)
                    c = kRim;
            } else {
                c = (x == 0 || y == 0 || x == w - 1 || y == h - 1) ? kRim : key;
            }
            img.setPixel(x0 + x, y, c);
        }
    }
    const int sx = round ? w / 4 + 1 : 2;
    const int sy = round ? h / 4 + 1 : 2;
    img.setPixel(x0 + sx, sy, kShine);
    img.setPixel(x0 + sx + 1, sy, kShine);
    img.setPixel(x0 + sx, sy + 1, kShine);
}

QImage MakeGlyphPair(int w, int h, bool round)
{
    QImage img(2 * w, h, QImage::Format_RGB32);
    img.fill(Rgb(colors::clBlack));
    DrawLamp(img, 0, w, h, round, Rgb(kOffKey));
    DrawLamp(img, w, w, h, round, Rgb(kOnKey));
    return img;
}

} // namespace

QImage IndLedResourceBitmap(const QString& Name)
{
    if (Name == QLatin1String("LI_RND"))
        return MakeGlyphPair(14, 14, true);
    if (Name == QLatin1String("LI_RECT"))
        return MakeGlyphPair(12, 8, false);
    if (Name == QLatin1String("LI_BIG"))
        return MakeGlyphPair(20, 12, false);
    return QImage();
}

// ---------------------------------------------------------------------------------------
// TIndCustomLed

TIndCustomLed::TIndCustomLed(QWidget* parent) : TIndGraphicImageControl(parent), FPalette(new TIndPalette(this))
{
    resize(25, 25);
    SetColor(colors::clBlack);
    FPalette->SetLow(colors::clMaroon);
    FPalette->SetHigh(colors::clRed);
    FPalette->OnChange = [this](QObject*) {
        LoadBitmaps();
        UpdateControl();
    };
    LoadBitmaps();
}

void TIndCustomLed::LoadBitmaps()
{
    if (FLedType == TIndLedType::ltCustom) {
        FGlyphCache = FGlyphs;
        return;
    }
    const char* kind = FLedType == TIndLedType::ltRounded ? "RND" : FLedType == TIndLedType::ltRectangle ? "RECT" : "BIG";
    FGlyphCache = IndLedResourceBitmap(QStringLiteral("LI_%1").arg(QLatin1String(kind)));
    FPalette->RecolorBitmap(FGlyphCache, kOffKey, kOnKey);
}

void TIndCustomLed::SetLedType(TIndLedType v)
{
    if (FLedType == v)
        return;
    FLedType = v;
    LoadBitmaps();
    UpdateControl();
}

void TIndCustomLed::SetActive(bool v)
{
    if (FActive == v)
        return;
    FActive = v;
    UpdateControl();
    Change();
}

void TIndCustomLed::Change()
{
    if (OnChange)
        OnChange(this);
}

void TIndCustomLed::SetSpacing(int v)
{
    if (FSpacing == v)
        return;
    FSpacing = v;
    UpdateControl();
}

void TIndCustomLed::SetMargin(int v)
{
    if (FMargin == v)
        return;
    FMargin = v;
    UpdateControl();
}

void TIndCustomLed::SetLayout(TIndImageTextLayout v)
{
    if (FLayout == v)
        return;
    FLayout = v;
    UpdateControl();
}

void TIndCustomLed::SetGlyphs(const QImage& v)
{
    FGlyphs = v;
    LoadBitmaps();
    UpdateControl();
}

void TIndCustomLed::SetFontColor(TColor v)
{
    if (FFontColor == v)
        return;
    FFontColor = v;
    UpdateControl();
}

void TIndCustomLed::TextChanged()
{
    TIndGraphicImageControl::TextChanged();
    UpdateControl();
}

void TIndCustomLed::FontChanged()
{
    TIndGraphicImageControl::FontChanged();
    UpdateControl();
}

void TIndCustomLed::Paint()
{
    ClearBitmapCanvas();
    {
        QPainter p(&FImageBitmap);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setFont(font());

        const QSize imageSize(FGlyphCache.width() / 2, FGlyphCache.height());
        QPoint glyphPos;
        IndSysUtils::CalcImageTextLayout(QFontMetrics(font()), ClientRect(), QPoint(0, 0), Caption(), FLayout, FMargin,
                                         FSpacing, imageSize, glyphPos, FTextRect);
        FGlyphRect = QRect(glyphPos, imageSize);

        if (!imageSize.isEmpty()) {
            // The half for the current state; pixels of the transparent colour are not copied.
            QImage half = FGlyphCache.copy(FActive ? imageSize.width() : 0, 0, imageSize.width(), imageSize.height())
                              .convertToFormat(QImage::Format_ARGB32);
            const TColor clear = FLedType == TIndLedType::ltCustom ? Color() : colors::clBlack;
            const QRgb key = colors::ToQColor(clear).rgb() & 0xFFFFFF;
            for (int y = 0; y < half.height(); ++y) {
                auto* line = reinterpret_cast<QRgb*>(half.scanLine(y));
                for (int x = 0; x < half.width(); ++x)
                    if ((line[x] & 0xFFFFFF) == key)
                        line[x] = 0;
            }
            p.drawImage(glyphPos, half);
        }

        if (!Caption().isEmpty()) {
            p.setPen(colors::ToQColor(FFontColor));
            p.drawText(IndSysUtils::ToQRect(FTextRect), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                       Caption());
        }
    }
    TIndGraphicImageControl::Paint();
}

void TIndCustomLed::changeEvent(QEvent* event)
{
    TIndGraphicImageControl::changeEvent(event);
    try {
        if (event->type() == QEvent::PaletteChange)
            LoadBitmaps();
    } catch (...) {
    }
}

void TIndCustomLed::mouseReleaseEvent(QMouseEvent* event)
{
    try {
        TIndGraphicImageControl::mouseReleaseEvent(event);
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && OnClick)
            OnClick(this);
    } catch (...) {
    }
}
