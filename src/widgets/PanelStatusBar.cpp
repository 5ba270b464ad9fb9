#include "widgets/PanelStatusBar.h"

#include "widgets/Colors.h"

#include <QPaintEvent>
#include <QPainter>

namespace {
constexpr int kTopBorder = 2;   // free band above the panels
constexpr int kPanelGap = 2;    // free band between two panels
constexpr int kTextMargin = 3;  // text inset from the panel frame
} // namespace

TPanelStatusBar::TPanelStatusBar(QWidget* parent)
    : QWidget(parent)
{
    // Child controls are placed by position, not by a layout, and paint over the panels.
    setAutoFillBackground(false);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    resize(300, 19);
}

QSize TPanelStatusBar::sizeHint() const
{
    int w = 0;
    for (const TStatusPanel& p : FPanels)
        w += p.Width;
    return QSize(qMax(w, 100), 19);
}

void TPanelStatusBar::Repaint()
{
    if (!FLoading)
        update();
}

void TPanelStatusBar::loaded()
{
    FLoading = false;
    update();
}

int TPanelStatusBar::AddPanel(int width, const QString& text)
{
    TStatusPanel panel;
    panel.Width = qMax(0, width);
    panel.Text = text;
    FPanels.push_back(panel);
    Repaint();
    return PanelCount() - 1;
}

void TPanelStatusBar::ClearPanels()
{
    FPanels.clear();
    Repaint();
}

QString TPanelStatusBar::PanelText(int index) const
{
    return Valid(index) ? FPanels[static_cast<size_t>(index)].Text : QString();
}

void TPanelStatusBar::setPanelText(int index, const QString& text)
{
    if (!Valid(index) || FPanels[static_cast<size_t>(index)].Text == text)
        return;
    FPanels[static_cast<size_t>(index)].Text = text;
    Repaint();
}

void TPanelStatusBar::setPanelWidth(int index, int width)
{
    width = qMax(0, width);
    if (!Valid(index) || FPanels[static_cast<size_t>(index)].Width == width)
        return;
    FPanels[static_cast<size_t>(index)].Width = width;
    Repaint();
}

void TPanelStatusBar::setPanelAlignment(int index, Qt::Alignment alignment)
{
    if (!Valid(index) || FPanels[static_cast<size_t>(index)].Alignment == alignment)
        return;
    FPanels[static_cast<size_t>(index)].Alignment = alignment;
    Repaint();
}

void TPanelStatusBar::setPanelBevel(int index, TStatusPanelBevel bevel)
{
    if (!Valid(index) || FPanels[static_cast<size_t>(index)].Bevel == bevel)
        return;
    FPanels[static_cast<size_t>(index)].Bevel = bevel;
    Repaint();
}

QRect TPanelStatusBar::PanelRect(int index) const
{
    if (!Valid(index))
        return QRect();
    int left = 0;
    for (int i = 0; i < index; ++i)
        left += FPanels[static_cast<size_t>(i)].Width;
    int right = index == PanelCount() - 1 ? width() : left + FPanels[static_cast<size_t>(index)].Width;
    right = qMin(right, width());
    // A panel ends a gap before the next one begins.
    const int w = qMax(0, right - left - kPanelGap);
    const int h = qMax(0, height() - kTopBorder);
    return QRect(left, kTopBorder, w, h);
}

void TPanelStatusBar::paintEvent(QPaintEvent*)
{
    try {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.fillRect(rect(), colors::ToQColor(colors::clBtnFace));
        const QColor shadow = colors::ToQColor(colors::clBtnShadow);
        const QColor light = colors::ToQColor(colors::clBtnHighlight);
        p.setFont(font());
        for (int i = 0; i < PanelCount(); ++i) {
            const TStatusPanel& panel = FPanels[static_cast<size_t>(i)];
            const QRect r = PanelRect(i);
            if (r.width() < 1 || r.height() < 1)
                continue;
            if (panel.Bevel != TStatusPanelBevel::pbNone) {
                const bool lowered = panel.Bevel == TStatusPanelBevel::pbLowered;
                const QColor topLeft = lowered ? shadow : light;
                const QColor bottomRight = lowered ? light : shadow;
                p.setPen(topLeft);
                p.drawLine(r.left(), r.bottom(), r.left(), r.top());
                p.drawLine(r.left(), r.top(), r.right(), r.top());
                p.setPen(bottomRight);
                p.drawLine(r.right(), r.top() + 1, r.right(), r.bottom());
                p.drawLine(r.left() + 1, r.bottom(), r.right(), r.bottom());
            }
            if (!panel.Text.isEmpty()) {
                const QRect inner = r.adjusted(kTextMargin, 1, -kTextMargin, -1);
                p.setPen(colors::ToQColor(colors::clBtnText));
                p.setClipRect(inner);
                p.drawText(inner, static_cast<int>((panel.Alignment & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter | Qt::TextSingleLine),
                           panel.Text);
                p.setClipping(false);
            }
        }
    } catch (...) {
    }
}
