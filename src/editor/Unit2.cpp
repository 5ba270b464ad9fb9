// The SMS phrases dialog: the 15 phrases are read when it is shown and written on request.
#include "editor/Unit2.h"

#include "editor/Controls.h"
#include "editor/Main.h"
#include "lang/Kalbos.h"
#include "lang/LangText.h"
#include "lang/SmsCharset.h"
#include "link/VEQ2_SDK.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QHideEvent>
#include <QPushButton>
#include <QShowEvent>

#include <functional>

TForm2* Form2 = nullptr;

namespace {

// Runs a handler so that no fault leaves it: reported by the main window while it exists.
void Guarded(const std::function<void()>& f)
{
    if (Form1) {
        Form1->Guard(f);
        return;
    }
    try {
        f();
    } catch (...) {
    }
}

} // namespace

TForm2::TForm2(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("VEQ3 SMS Phrases"));
    setFixedSize(300, 470);
    auto* group = ctl::Make<QGroupBox>(this, "TntGroupBox1", 8, 8, 284, 410);
    group->setTitle(QStringLiteral("Phrases"));
    for (int i = 0; i < PhraseCount; ++i) {
        edits_[i] = ctl::Make<QLineEdit>(group, QStringLiteral("Edit%1").arg(33 + i).toLatin1().constData(),
                                         12, 22 + i * 25, 260, 21);
    }
    TntButton53 = ctl::Make<QPushButton>(this, "TntButton53", 8, 428, 90, 28);
    TntButton53->setText(QStringLiteral("Write"));
    TntButton2 = ctl::Make<QPushButton>(this, "TntButton2", 105, 428, 90, 28);
    TntButton2->setText(QStringLiteral("Set default"));
    TntButton1 = ctl::Make<QPushButton>(this, "TntButton1", 202, 428, 90, 28);
    TntButton1->setText(QStringLiteral("Close"));
    connect(TntButton53, &QPushButton::clicked, this, [this] { Guarded([this] { TntButton53Click(); }); });
    connect(TntButton2, &QPushButton::clicked, this, [this] { Guarded([this] { TntButton2Click(); }); });
    connect(TntButton1, &QPushButton::clicked, this, [this] { Guarded([this] { TntButton1Click(); }); });
}

QByteArray TForm2::EncodeSmsText(const QByteArray& s)
{
    return ::EncodeSmsText(s);
}

QByteArray TForm2::DecodeSmsText(const QByteArray& s)
{
    return ::DecodeSmsText(s);
}

QLineEdit* TForm2::PhraseEdit(int i) const
{
    return i >= 0 && i < PhraseCount ? edits_[i] : nullptr;
}

void TForm2::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (!e->spontaneous())
        Guarded([this] { FormShow(); });
}

void TForm2::FormShow()
{
    for (int i = 0; i < PhraseCount; ++i) {
        TVEQ2* link = Form1 ? Form1->Link() : nullptr;
        if (!link)
            break;
        link->ReadSMSPhrase(static_cast<quint8>(i));
        Form1->Delay(5);
    }
    if (Form1 && Form1->Link())
        Form1->Link()->SendBatchEnd(true);
    // Closed already while the requests went out: the window stays with the user.
    if (!isVisible())
        return;
    if (Form1 && Form1->isEnabled()) {
        Form1->setEnabled(false);
        disabledMain_ = true;
    }
    setEnabled(true);
}

void TForm2::hideEvent(QHideEvent* e)
{
    QDialog::hideEvent(e);
    // A window system hiding the dialog (its owner minimised) is no close.
    if (!e->spontaneous())
        Guarded([this] { FormClose(); });
}

void TForm2::FormClose()
{
    // Only the dialog that took the main window gives it back.
    if (disabledMain_) {
        disabledMain_ = false;
        if (Form1)
            Form1->setEnabled(true);
    }
}

void TForm2::OnSMSPhraseArrive(QObject*, quint8 Idx, const QByteArray& Phrase)
{
    if (Idx >= PhraseCount)
        return;
    edits_[Idx]->setText(LangToUnicode(DecodeSmsText(Phrase)));
}

void TForm2::TntButton53Click()
{
    for (int i = 0; i < PhraseCount; ++i) {
        TVEQ2* link = Form1 ? Form1->Link() : nullptr;
        if (!link)
            return;
        link->SendSMSPhrase(static_cast<quint8>(i), EncodeSmsText(LangFromUnicode(edits_[i]->text())));
        Form1->Delay(5);
    }
    if (Form1 && Form1->Link())
        Form1->Link()->SendBatchEnd(true);
}

void TForm2::TntButton2Click()
{
    for (int i = 0; i < PhraseCount; ++i)
        edits_[i]->setText(LangMessage(i + 1));
}

void TForm2::TntButton1Click()
{
    close();
}

TForm2::~TForm2()
{
    if (Form2 == this)
        Form2 = nullptr;
}
