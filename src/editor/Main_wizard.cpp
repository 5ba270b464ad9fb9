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

void TForm1::ApplyFirmwareFeatures(int firmware)
{
    if (TntCheckBox8)
        TntCheckBox8->hide();
    const QStringList protocols = {QStringLiteral("Enigma II"), QStringLiteral("Vozevud KSP")};
    for (QComboBox* c : {ComboBox1, ComboBox3}) {
        c->clear();
        c->addItems(protocols);
        if (firmware >= FwEncryptionBits)
            c->addItem(QStringLiteral("Fibro"));
    }
    const bool simPin = firmware >= FwSimPinBox;
    TntGroupBox2->setVisible(simPin);
    if (TntCheckBox27) {
        TntCheckBox27->setVisible(simPin);
        ctl::SetTag(TntCheckBox27, simPin ? 0 : 1);
    }
}

void TForm1::ApplyModelFeatures()
{
    Step[3]->setVisible(!Model3mClass);
    Step[4]->setVisible(!Model3mClass);
    WPage[4]->setEnabled(!Model3mClass);
    WPage[5]->setEnabled(!Model3mClass);
    showWithTag(TntCheckBox7, !Model3mClass);
    showWithTag(TntCheckBox22, !Model3mClass);
    for (int i = 2; i < OutputCount; ++i)
        if (QGroupBox* g = OutputTable[i].Row.RowGroupBox)
            g->setVisible(!ModelVeq4mFrom3000);
    if (TntCheckBox11)
        TntCheckBox11->setVisible(!ModelVeq4mFrom3000);
    if (TntCheckBox14)
        TntCheckBox14->setVisible(!ModelVeq4mFrom3000);
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
