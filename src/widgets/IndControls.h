#pragma once
// The two bases of the drawn indicator controls. TIndGraphicControl adds the repaint
// request (UpdateControl), the loading state of a form that is being built, the colour
// as a $00BBGGRR value, the per-control Tag, Hint and ShowHint, and the notifications
// for mouse enter/leave and font/text changes. TIndGraphicImageControl draws into an
// off-screen bitmap and copies it to the screen in one go.
#include "widgets/IndClasses.h"

#include <QCursor>
#include <QImage>
#include <QString>
#include <QWidget>

class QPainter;

// The hand cursor registered as cursor number 99 for the indicator controls.
constexpr int crIndHandPoint = 99;
// A registered cursor by number (99: the hand); the arrow for any other number.
QCursor IndCursor(int Number);

class TIndGraphicControl : public QWidget {
public:
    using TColor = colors::TColor;

    explicit TIndGraphicControl(QWidget* parent = nullptr);

    QString Version() const { return QStringLiteral("1.3"); }

    // Loading protocol: the code that builds a form calls setLoading(true) before it sets
    // the properties and loaded() when it is done. While loading nothing repaints.
    void setLoading(bool on) { FLoading = on; }
    bool isLoading() const { return FLoading; }
    virtual void loaded();

    // The control colour (default clBtnFace).
    TColor Color() const { return FColor; }
    void SetColor(TColor v);

    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool v);

    // The caption; a change runs TextChanged.
    QString Caption() const { return FCaption; }
    void SetCaption(const QString& v);

    // Per-control state kept as the dynamic properties "Tag", "Hint" and "ShowHint" so
    // that code walking the controls by name can read them from any widget; the tooltip
    // shows the hint only while ShowHint is on.
    int Tag() const;
    void SetTag(int v);
    QString Hint() const;
    void SetHint(const QString& v);
    bool ShowHint() const;
    void SetShowHint(bool v);

    // Sets position and size in one step; subclasses may adjust the size.
    virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);

    // Repaints unless the form is loading.
    virtual void UpdateControl();
    // With AutoSize on, re-applies the bounds (letting SetBounds adjust the size) unless
    // loading; repaints when nothing changed or AutoSize is off.
    virtual void UpdateControlAutoSize();
    // Re-applies the bounds unless loading; repaints when they did not change.
    virtual void UpdateControlBounds();
    virtual void MouseEnter();
    virtual void MouseLeave();
    virtual void FontChanged();
    virtual void TextChanged();

    TIndNotifyEvent OnMouseEnter;
    TIndNotifyEvent OnMouseLeave;
    TIndNotifyEvent OnFontChanged;
    TIndNotifyEvent OnTextChanged;

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;

    // Rectangle of the whole client area.
    IndSysUtils::TRect ClientRect() const;

private:
    void ApplyToolTip();

    bool FLoading = false;
    bool FAutoSize = false;
    TColor FColor = colors::clBtnFace;
    QString FCaption;
};

class TIndGraphicImageControl : public TIndGraphicControl {
public:
    explicit TIndGraphicImageControl(QWidget* parent = nullptr);

    // The picture of the control, redrawn on every paint.
    const QImage& ImageBitmap() const { return FImageBitmap; }
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool v);

protected:
    void paintEvent(QPaintEvent* event) override;

    // Starts a picture: filled with the control colour, or clear when transparent (the
    // toolkit composes what the parent painted underneath, so no background capture is
    // needed).
    virtual void ClearBitmapCanvas();
    // A subclass draws into ImageBitmap and then calls the base Paint, which copies the
    // picture to the screen.
    virtual void Paint();

    QImage FImageBitmap;

private:
    QPainter* FCanvas = nullptr; // the screen painter while a paint runs
    bool FTransparent = false;
};
