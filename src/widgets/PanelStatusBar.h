#pragma once
// A status bar of panels with fixed widths that can also hold child controls (labels,
// LEDs) placed on it at fixed positions; children paint over the panels.
#include <QString>
#include <QWidget>

#include <vector>

enum class TStatusPanelBevel { pbNone, pbLowered, pbRaised };

struct TStatusPanel {
    QString Text;
    int Width = 50;
    Qt::Alignment Alignment = Qt::AlignLeft;
    TStatusPanelBevel Bevel = TStatusPanelBevel::pbLowered;
};

class TPanelStatusBar : public QWidget {
    Q_OBJECT
public:
    explicit TPanelStatusBar(QWidget* parent = nullptr);

    // Panels are numbered from 0, left to right. The last one reaches the right edge.
    int PanelCount() const { return static_cast<int>(FPanels.size()); }
    int AddPanel(int width, const QString& text = QString());
    void ClearPanels();
    const TStatusPanel& Panel(int index) const { return FPanels.at(static_cast<size_t>(index)); }

    QString PanelText(int index) const;
    void setPanelText(int index, const QString& text); // an index out of range is ignored
    void setPanelWidth(int index, int width);
    void setPanelAlignment(int index, Qt::Alignment alignment);
    void setPanelBevel(int index, TStatusPanelBevel bevel);

    // The whole area of a panel in the bar's coordinates (bevel included).
    QRect PanelRect(int index) const;

    void setLoading(bool value) { FLoading = value; }
    bool isLoading() const { return FLoading; }
    void loaded();

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void Repaint();
    bool Valid(int index) const { return index >= 0 && index < PanelCount(); }

    std::vector<TStatusPanel> FPanels;
    bool FLoading = false;
};
