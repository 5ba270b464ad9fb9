#include "widgets/IndControls.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QVariant>
#include <algorithm>

QCursor IndCursor(int Number)
{
    return Number == crIndHandPoint ? QCursor(Qt::PointingHandCursor) : QCursor(Qt::ArrowCursor);
}

// ---------------------------------------------------------------------------------------
// TIndGraphicControl

TIndGraphicControl::TIndGraphicControl(QWidget* parent) : QWidget(parent) {}

void TIndGraphicControl::loaded()
{
    FLoading = false;
    UpdateControl();
}

void TIndGraphicControl::SetColor(TColor v)
{
    if (FColor == v)
        return;
    FColor = v;
    UpdateControl();
}

void TIndGraphicControl::SetAutoSize(bool v)
{
    if (FAutoSize == v)
        return;
    FAutoSize = v;
    UpdateControlAutoSize();
}

void TIndGraphicControl::SetCaption(const QString& v)
{
    if (FCaption == v)
        return;
    FCaption = v;
    TextChanged();
}

int TIndGraphicControl::Tag() const { return property("Tag").toInt(); }

void TIndGraphicControl::SetTag(int v) { setProperty("Tag", v); }

QString TIndGraphicControl::Hint() const { return property("Hint").toString(); }

void TIndGraphicControl::SetHint(const QString& v)
{
    setProperty("Hint", v);
    ApplyToolTip();
}

bool TIndGraphicControl::ShowHint() const { return property("ShowHint").toBool(); }

void TIndGraphicControl::SetShowHint(bool v)
{
    setProperty("ShowHint", v);
    ApplyToolTip();
}

void TIndGraphicControl::ApplyToolTip() { setToolTip(ShowHint() ? Hint() : QString()); }

void TIndGraphicControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    setGeometry(ALeft, ATop, AWidth, AHeight);
}

void TIndGraphicControl::UpdateControl()
{
    if (!FLoading)
        update();
}

void TIndGraphicControl::UpdateControlAutoSize()
{
    if (FAutoSize) {
        const QRect before = geometry();
        if (!FLoading)
            SetBounds(before.x(), before.y(), before.width(), before.height());
        if (geometry() == before)
            UpdateControl();
    } else {
        UpdateControl();
    }
}

void TIndGraphicControl::UpdateControlBounds()
{
    const QRect before = geometry();
    if (!FLoading)
        SetBounds(before.x(), before.y(), before.width(), before.height());
    if (geometry() == before)
        UpdateControl();
}

void TIndGraphicControl::MouseEnter()
{
    if (OnMouseEnter)
        OnMouseEnter(this);
}

void TIndGraphicControl::MouseLeave()
{
    if (OnMouseLeave)
        OnMouseLeave(this);
}

void TIndGraphicControl::FontChanged()
{
    if (OnFontChanged)
        OnFontChanged(this);
}

void TIndGraphicControl::TextChanged()
{
    if (OnTextChanged)
        OnTextChanged(this);
}

void TIndGraphicControl::enterEvent(QEnterEvent* event)
{
    try {
        QWidget::enterEvent(event);
        MouseEnter();
    } catch (...) {
    }
}

void TIndGraphicControl::leaveEvent(QEvent* event)
{
    try {
        QWidget::leaveEvent(event);
        MouseLeave();
    } catch (...) {
    }
}

void TIndGraphicControl::changeEvent(QEvent* event)
{
    try {
        QWidget::changeEvent(event);
        if (event->type() == QEvent::FontChange)
            FontChanged();
    } catch (...) {
    }
}

IndSysUtils::TRect TIndGraphicControl::ClientRect() const { return IndSysUtils::TRect{0, 0, width(), height()}; }

// ---------------------------------------------------------------------------------------
// TIndGraphicImageControl

TIndGraphicImageControl::TIndGraphicImageControl(QWidget* parent) : TIndGraphicControl(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent, true);
}

void TIndGraphicImageControl::SetTransparent(bool v)
{
    if (FTransparent == v)
        return;
    FTransparent = v;
    setAttribute(Qt::WA_OpaquePaintEvent, !v);
    UpdateControl();
}

void TIndGraphicImageControl::ClearBitmapCanvas()
{
    if (FTransparent)
        FImageBitmap.fill(Qt::transparent);
    else
        FImageBitmap.fill(colors::ToQColor(Color()));
}

void TIndGraphicImageControl::Paint()
{
    if (FCanvas)
        FCanvas->drawImage(QPoint(0, 0), FImageBitmap);
}

void TIndGraphicImageControl::paintEvent(QPaintEvent*)
{
    try {
        QPainter canvas(this);
        canvas.setRenderHint(QPainter::Antialiasing, false);
        const QSize size(std::max(width(), 1), std::max(height(), 1));
        if (FImageBitmap.size() != size)
            FImageBitmap = QImage(size, QImage::Format_ARGB32_Premultiplied);
        FImageBitmap.setDevicePixelRatio(1);
        FCanvas = &canvas;
        Paint();
        FCanvas = nullptr;
    } catch (...) {
        FCanvas = nullptr;
    }
}
