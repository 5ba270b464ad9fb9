// Factory defaults: the window's controls go back to the factory values and the module
// receives a complete default configuration in a fixed order, then everything is read
// back. The production test (Main_service.cpp) runs the same reset without the names and
// the read-back.
#include "editor/Main.h"

#include "editor/Controls.h"
#include "editor/Encodings.h"
#include "editor/MainTables.h"
#include "editor/ModuleText.h"
#include "editor/SendSequence.h"
#include "editor/Unit2.h"
#include "editor/Unit5.h"
#include "lang/Kalbos.h"
#include "lang/LangText.h"
#include "link/VEQ2_SDK.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

namespace {

// The pause after most packets; the module needs it to store the setting.
constexpr int kStorePause = 5;
// The pause after each additional SMS text.
constexpr int kTextPause = 50;

// The access PIN the module gets back (the window's PIN edit is left as it is).
constexpr char kFactoryAccessPIN[] = "8362";
constexpr std::uint8_t kFactoryInputSensitivity = 4; // 400 ms
constexpr std::uint8_t kFactoryOutputCR = 8;
constexpr std::uint16_t kFactoryOutputPulse = 1;
constexpr int kFactoryHeartbeatPeriod = 600;
constexpr int kFactoryRestartHours = 6;
constexpr int kFactorySpinDefault = 3; // short call and periodic SMS test
constexpr char kFactoryAccount[] = "0000";

QByteArray EditText(const QLineEdit* e)
{
    return e ? LangFromUnicode(e->text()) : QByteArray();
}

void SetText(QLineEdit* e, const char* text)
{
    if (e)
        e->setText(QString::fromLatin1(text));
}

void SetChecked(QCheckBox* b, bool on)
{
    if (b)
        b->setChecked(on);
}

void SetIndex(QComboBox* c, int index)
{
    if (c)
        c->setCurrentIndex(index);
}

void SetValue(TSpinEdit* s, int value)
{
    if (s)
        s->SetValue(value);
}

// The factory channel word: as the window's word, but without the transport and the
// encryption-key bits. Under the GPRS lock the window keeps the channels as read, and the
// word goes back as the write-all builds it, with the module's bits.
quint32 FactoryTCPCR(TTCPCRControls c, bool locked, int firmware, quint32 kept)
{
    if (locked)
        return BuildTCPCR(c, firmware, kept);
    c.TntComboBox3Index = 0;
    c.TntComboBox4Index = 0;
    c.TntCheckBox42Checked = false;
    c.TntCheckBox43Checked = false;
    return BuildTCPCR(c, 0);
}

} // namespace

void TForm1::WireFactoryDefaults()
{
    connect(TntButton1911, &QPushButton::clicked, this, [this] { Guard([this] { TntButton1911Click(); }); });
}

void TForm1::TntButton1911Click()
{
    // The question is about the module connected now: one swapped in while it is open is
    // not reset.
    const TModuleAtHand asked = ModuleAtHand();
    if (WideMessagedlg(GetLangText(24), ui::MsgType::Confirmation, {ui::MsgButton::Yes, ui::MsgButton::No}) !=
        ui::MsgButton::Yes)
        return;
    if (!AnswerMayAct(asked, TAnswerUse::FactoryReset))
        return;
    WriteFactoryDefaults(false);
}

bool TForm1::WriteFactoryDefaults(bool TestMode)
{
    QPointer<TForm5> wait = Form5;
    TSendSequence seq(*this);
    auto send = [&seq](const std::function<void(TVEQ2&)>& packet, int ms) { seq.Send(packet, ms); };
    // The production test makes the reset part of its own whole write, and tells for both.
    const bool own = BeginWholeWrite(TWholeWrite::FactoryReset);
    // From here the window holds part factory values and part old ones, and the module
    // neither until a read has run: a write-all or a template of it waits for that read
    // (the read-back of a reset that went out whole, or the next one).
    readStarted_ = false;
    try {
        if (wait)
            wait->ShowWaiting(true);
        SetAlarmSystemMode(false);
        const bool done = seq.Run([&] {
            send([](TVEQ2& l) { l.SendCPCR(CPCRCommunicator); }, kStorePause);

            // The reporting controls, unless the GPRS settings are locked: then they keep
            // their values, and those are what goes out below.
            const bool locked = Link()->GPRSLocked;
            if (!locked) {
                // The edits Edit1 to Edit9 (the window has no Edit7).
                for (QLineEdit* e : {Edit1, Edit2, Edit3, Edit4, Edit5, Edit6, Edit8, Edit9})
                    if (e)
                        e->clear();
                SetIndex(ComboBox4, 0);
                ComboBox4Change();
                SetIndex(ComboBox2, 0);
                ComboBox2Change();
                SetIndex(ComboBox1, 0);
                ComboBox1Change();
                SetChecked(TntCheckBox42, false);
                TntCheckBox42Click();
                TntEdit8->clear();
                SetIndex(ComboBox3, 0);
                ComboBox3Change();
                SetChecked(TntCheckBox43, false);
                TntCheckBox43Click();
                TntEdit9->clear();
                TntEdit2->clear();
                TntEdit3->clear();
                SetIndex(TntComboBox3, 0);
                SetIndex(TntComboBox4, 0);
                SetText(Edit6, kFactoryAccount);
                SetText(Edit11, kFactoryAccount);
                SetChecked(TntCheckBox13, false);
                TntCheckBox13Click();
                SetValue(SpinEdit3, kFactoryHeartbeatPeriod);
                SetChecked(TntCheckBox33, false);
                TntCheckBox33Click();
                SetText(TntEdit4, HeartbeatIdDefault);
                SetChecked(TntCheckBox25, false);
                SetChecked(TntCheckBox26, false);
                SetChecked(TntCheckBox3, false);
                TntCheckBox3Click(false);
                SetChecked(TntCheckBox41, false);
            }
            SetChecked(TntCheckBox10, false);
            SetChecked(TntCheckBox15, false);
            SetChecked(TntCheckBox27, true);
            SetChecked(TntCheckBox28, false);
            SetChecked(TntCheckBox40, false);
            SetText(TntEdit1, "");
            SetText(Edit14, "");
            SetValue(SpinEdit2, kFactorySpinDefault);
            SetValue(se1, kFactorySpinDefault);
            SetValue(SpinEdit40, kFactoryRestartHours);

            SendConnectionTexts(seq);
            const quint32 tcpcr = FactoryTCPCR(ReadTCPCRControls(), locked, Link()->FirmwareVersion, KeptTCPCR);
            send([&](TVEQ2& l) { l.SendTCPCR(tcpcr); }, kStorePause);
            const quint32 veq2cr = BuildVEQ2CR(ReadVEQ2CRControls());
            send([&](TVEQ2& l) { l.SendVEQ2CR(veq2cr); }, kStorePause);
            send([](TVEQ2& l) { l.SendSIMpin(QByteArray()); }, 0);
            const quint32 smspstncr = BuildSMSPSTNCR(ReadSMSPSTNCRControls());
            send([&](TVEQ2& l) { l.SendSMSPSTNCR(smspstncr); }, 0);

            // Every user slot is emptied on the module; the window keeps the numbers and
            // clears their flags.
            for (int i = 0; i < UserPhoneCount; ++i) {
                UserPhones[i].PnCR = 0;
                UserPhones[i].PnAddCR = 0;
                const auto idx = static_cast<quint8>(i);
                send([&](TVEQ2& l) { l.SendPhoneNumber(idx, 0, QByteArray()); }, kStorePause);
                if (Link()->FirmwareVersion >= FwAdditionalCR)
                    send([&](TVEQ2& l) { l.SendPhoneNumberAdditionalCR(idx, 0); }, kStorePause);
            }

            // The 15 default SMS phrases, filled in and written by their dialog.
            seq.Call([] {
                if (Form2) {
                    Form2->TntButton2Click();
                    Form2->TntButton53Click();
                }
            });

            const QByteArray inputText = GetLangMessage(23);
            for (int i = 0; i < InputCount; ++i) {
                const auto idx = static_cast<quint8>(i);
                send([&](TVEQ2& l) {
                    l.SendInputSetting(idx, 0, 0, kFactoryInputSensitivity, 0, tduomenys(5, 0));
                }, kStorePause);
                send([&](TVEQ2& l) {
                    l.SendInputSMSText(idx, ModuleText::FromLangText(inputText + QByteArray::number(i + 1)));
                }, kStorePause);
            }
            for (int i = 0; i < OutputCount; ++i)
                send([&](TVEQ2& l) { l.SendOutputSetting(static_cast<quint8>(i), kFactoryOutputCR, kFactoryOutputPulse); },
                     0);
            for (int i = 0; i < RemotePhonesOnModule; ++i)
                send([&](TVEQ2& l) { l.SendPGMPhoneNumber(static_cast<quint8>(i), 0, QByteArray()); }, 0);
            if (Link()->FirmwareVersion >= FwAdditionalCR) {
                const bool flag = TntCheckBox33 && TntCheckBox33->isChecked();
                const quint16 id = HeartbeatIdFromText(EditText(TntEdit4), locked ? KeptHeartbeat : 0);
                send([&](TVEQ2& l) { l.SendHeartBeatEventId(flag, id); }, kStorePause);
            }
            send([](TVEQ2& l) { l.SendAccessPIN(kFactoryAccessPIN); }, 0);
            seq.Call([this] { SendDefaultAdditionalTexts(); });

            if (!TestMode) {
                FillDefaultItemNames();
                seq.Call([this] { SendItemNames(); });
            }
        });
        TemplateLoaded = false;
        const bool whole = done && seq.End() == TSendEnd::Whole;
        if (!whole) {
            // The module left, was replaced or stopped answering, or the window let go of
            // its link: nothing more is sent, and the window is given back.
            if (wait)
                wait->close();
        }
        // A module cut off in the middle holds part of its settings reset: the user is
        // told what to do now (inside the production test, that test tells).
        if (own)
            EndWholeWrite(seq);
        if (whole && !TestMode) {
            // Read everything back; the wait dialog stays up until the read has ended.
            readBackOfWrite_ = true;
            Timer2->start();
        }
        return whole;
    } catch (...) {
        // A fault ends the reset at once, silently: what went out stays sent.
        if (own)
            DropWholeWrite();
        TemplateLoaded = false;
        if (wait)
            wait->close();
        return false;
    }
}

void TForm1::SendDefaultAdditionalTexts()
{
    try {
        TSendSequence seq(*this);
        seq.Run([&] {
            for (int i = 0; i < AdditionalSMSTextCount; ++i) {
                const QByteArray text = ModuleText::FromLangText(GetLangMessage(16 + i));
                seq.Send([&](TVEQ2& l) { l.SendAdditionalSMSText(static_cast<quint8>(i), text); }, kTextPause);
            }
        });
    } catch (...) {
        // The texts are not sent; the caller goes on.
    }
}
