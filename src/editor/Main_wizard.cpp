// The wizard shell's window-level parts: the window size, and the gating of controls by
// the module's firmware version and model.
#include "editor/Main.h"

#include "editor/Controls.h"
#include "editor/Encodings.h"
#include "editor/MainTables.h"
#include "lang/LangText.h"
#include "widgets/PageWizard.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>

namespace {
template <class T>
void showWithTag(T* w, bool visible)
{
    if (!w)
        return;
    w->setVisible(visible);
    ctl::SetTag(w, visible ? 0 : 1);
}
} // namespace

void TForm1::SetFormSize()
{
    int w = 904;
    int h = 644;
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize avail = screen ? screen->size() : QSize(1920, 1080);
    const QSize size = ScreenSizeOverride.isValid() ? ScreenSizeOverride : avail;
    bool vscroll = false, hscroll = false;
    if (size.height() < 700) {
        w += 20;
        vscroll = true;
        h = size.height() - 150;
        for (QWidget* b : {static_cast<QWidget*>(TntButton1), static_cast<QWidget*>(TntButton26),
                           static_cast<QWidget*>(TntBitBtn2)})
            if (b)
                b->move(b->x(), 562);
    }
    if (size.width() < 920) {
        h += 20;
        hscroll = true;
        w = size.width() - 20;
    }
    ClientScroll->setVerticalScrollBarPolicy(vscroll ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    ClientScroll->setHorizontalScrollBarPolicy(hscroll ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    ClientSize = QSize(w, h);
    setFixedSize(w, h);
}

QStringList TForm1::ReceiverProtocols(int firmware)
{
    QStringList protocols = {QStringLiteral("Enigma II"), QStringLiteral("Vozevud KSP")};
    if (firmware >= FwEncryptionBits)
        protocols << QStringLiteral("Fibro");
    return protocols;
}

void TForm1::ApplyFirmwareFeatures(int firmware)
{
    if (TntCheckBox8)
        TntCheckBox8->hide();
    for (QComboBox* c : {ComboBox1, ComboBox3}) {
        c->clear();
        c->addItems(ReceiverProtocols(firmware));
    }
    const bool simPin = firmware >= FwSimPinBox;
    TntGroupBox2->setVisible(simPin);
    if (TntCheckBox27) {
        TntCheckBox27->setVisible(simPin);
        ctl::SetTag(TntCheckBox27, simPin ? 0 : 1);
    }
}

QList<TForm1::TModelGate> TForm1::ModelGates() const
{
    using K = TGateKind;
    QList<TModelGate> gates = {
        {Step[3], !Model3mClass, K::Hide},           {Step[4], !Model3mClass, K::Hide},
        {WPage[4], !Model3mClass, K::Disable},       {WPage[5], !Model3mClass, K::Disable},
        {TntCheckBox7, !Model3mClass, K::HideWithTag}, {TntCheckBox22, !Model3mClass, K::HideWithTag},
    };
    for (int i = 2; i < OutputCount; ++i)
        gates.append({OutputTable[i].Row.RowGroupBox, !ModelVeq4mFrom3000, K::Hide});
    gates.append({TntCheckBox11, !ModelVeq4mFrom3000, K::Hide});
    gates.append({TntCheckBox14, !ModelVeq4mFrom3000, K::Hide});
    return gates;
}

bool TForm1::GatedOff(const QWidget* control) const
{
    if (!control)
        return false;
    for (const TModelGate& g : ModelGates())
        if (g.Control == control)
            return !g.Shown;
    return false;
}

void TForm1::ApplyModelFeatures()
{
    for (const TModelGate& g : ModelGates()) {
        if (!g.Control)
            continue;
        switch (g.Kind) {
        case TGateKind::Hide: g.Control->setVisible(g.Shown); break;
        case TGateKind::HideWithTag: showWithTag(g.Control, g.Shown); break;
        case TGateKind::Disable: g.Control->setEnabled(g.Shown); break;
        }
    }
}

void TForm1::ApplyOutputCaptions(bool veq3)
{
    const QString out = GetLangText(87);
    const QString pgm = GetLangText(88);
    const QString group[4] = {out + QStringLiteral(" 1"), out + QStringLiteral(" 2"),
                              veq3 ? pgm + QStringLiteral(" 1") : out + QStringLiteral(" 3"),
                              veq3 ? pgm + QStringLiteral(" 2") : out + QStringLiteral(" 4")};
    const QString boxes[4] = {out + QStringLiteral(" 1 (1)"), out + QStringLiteral(" 2 (2)"),
                              veq3 ? pgm + QStringLiteral(" 1 (3)") : out + QStringLiteral(" 3 (3)"),
                              veq3 ? pgm + QStringLiteral(" 2 (4)") : out + QStringLiteral(" 4 (4)")};
    QCheckBox* remote[4] = {TntCheckBox2, TntCheckBox4, TntCheckBox11, TntCheckBox14};
    for (int i = 0; i < OutputCount; ++i) {
        if (QGroupBox* g = OutputTable[i].Row.RowGroupBox)
            g->setTitle(group[i]);
        if (remote[i])
            remote[i]->setText(boxes[i]);
    }
}

void TForm1::ShowSummarySubtitle()
{
    // Arriving at the summary writes the configuration: its subtitle says whether that write
    // went out whole.
    if (WPage[9])
        WPage[9]->Header()->Subtitle()->SetText(LangMessage(summaryWritten_ ? 70 : 137));
}
