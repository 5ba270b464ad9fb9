// Writing the whole configuration to the module: one packet per setting in a fixed order,
// a short pause after most of them, then a read of everything so that the pages show what
// the module stored. Also the input and output writers, which the write-all clicks.
#include "editor/Main.h"

#include "editor/Controls.h"
#include "editor/Encodings.h"
#include "editor/FieldRules.h"
#include "editor/MainTables.h"
#include "editor/SendSequence.h"
#include "editor/Unit2.h"
#include "editor/Unit3.h"
#include "editor/Unit5.h"
#include "editor/Unit6.h"
#include "lang/LangText.h"
#include "link/UnitEil.h"
#include "link/VEQ2_Packets.h"
#include "link/VEQ2_SDK.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

namespace {

// The pause after most packets of a write sequence; the module needs it to store the
// setting before the next one arrives.
constexpr int kStorePause = 5;

QByteArray EditText(const QLineEdit* e)
{
    return e ? LangFromUnicode(e->text()) : QByteArray();
}

bool Checked(const QCheckBox* b)
{
    return b && b->isChecked();
}

} // namespace

// ---- the words' fields from the controls ------------------------------------------------

TVEQ2CRControls TForm1::ReadVEQ2CRControls() const
{
    TVEQ2CRControls c;
    c.TntCheckBox3 = Checked(TntCheckBox3);
    c.TntCheckBox13 = Checked(TntCheckBox13);
    if (SpinEdit40)
        c.SpinEdit40 = SpinEdit40->Value();
    c.TntCheckBox28 = Checked(TntCheckBox28);
    if (SpinEdit3)
        c.SpinEdit3 = SpinEdit3->Value();
    c.TntCheckBox40 = Checked(TntCheckBox40);
    c.TntCheckBox41 = Checked(TntCheckBox41);
    return c;
}

TSMSPSTNCRControls TForm1::ReadSMSPSTNCRControls() const
{
    TSMSPSTNCRControls c;
    c.TntCheckBox27 = Checked(TntCheckBox27);
    if (SpinEdit2)
        c.SpinEdit2 = SpinEdit2->Value();
    if (se1)
        c.se1 = se1->Value();
    c.TntCheckBox10 = Checked(TntCheckBox10);
    return c;
}

// ---- buttons -----------------------------------------------------------------------------

void TForm1::BuildWriteButtons()
{
    // The two writers are clicked by the write-all only; their buttons stay hidden.
    TntButton114 = ctl::Make<QPushButton>(TabSheet3, "TntButton114", 8, 8, 75, 25);
    TntButton114->setText(QStringLiteral("Set Input "));
    TntButton114->hide();
    TntButton11 = ctl::Make<QPushButton>(TabSheet3, "TntButton11", 88, 8, 75, 25);
    TntButton11->setText(QStringLiteral("Set Output"));
    TntButton11->hide();
    connect(TntButton1, &QPushButton::clicked, this, [this] { Guard([this] { TntButton1Click(); }); });
    connect(TntButton114, &QPushButton::clicked, this, [this] { Guard([this] { TntButton114Click(); }); });
    connect(TntButton11, &QPushButton::clicked, this, [this] { Guard([this] { TntButton11Click(); }); });
}

// ---- the write-all -----------------------------------------------------------------------

// The two addresses, the APN and its login, the USB password (barred while the GPRS
// settings are locked), the reserve accounts and the owner name, from the controls; the
// write-all and the factory reset send them alike.
void TForm1::SendConnectionTexts(TSendSequence& seq)
{
    auto send = [&seq](const std::function<void(TVEQ2&)>& packet, int ms) { seq.Send(packet, ms); };
    const QByteArray address1 = JoinHostPort(EditText(Edit1), EditText(TntEdit2));
    send([&](TVEQ2& l) { l.SendConnectionString(address1); }, kStorePause);
    const QByteArray address2 = JoinHostPort(EditText(Edit5), EditText(TntEdit3));
    send([&](TVEQ2& l) { l.SendConnectionString2(address2); }, kStorePause);
    send([&](TVEQ2& l) { l.SendAPN(EditText(Edit2)); }, kStorePause);
    send([&](TVEQ2& l) { l.SendUserName(EditText(Edit3)); }, kStorePause);
    send([&](TVEQ2& l) { l.SendPassword(EditText(Edit4)); }, kStorePause);
    if (!Link()->GPRSLocked)
        send([&](TVEQ2& l) { l.SendUSBPassword(EditText(Edit9)); }, kStorePause);
    send([&](TVEQ2& l) { l.SendReserveAccount(1, fields::ModuleValue(Edit6, TField::Account)); }, kStorePause);
    send([&](TVEQ2& l) { l.SendReserveAccount(0, fields::ModuleValue(Edit11, TField::Account)); }, kStorePause);
    send([&](TVEQ2& l) { l.SendOwnerName(EditText(Edit8)); }, 0);
}

void TForm1::TntButton1Click()
{
    // The summary says whether the configuration went out whole, whichever way a write that
    // began ends. A refused Send writes nothing and leaves it as it was.
    bool began = false;
    bool whole = false;
    struct Summary {
        TForm1& form;
        const bool& began;
        const bool& whole;
        ~Summary()
        {
            if (!began)
                return;
            form.summaryWritten_ = whole;
            form.ShowSummarySubtitle();
        }
    } summary{*this, began, whole};
    auto refuse = [this](const QString& text) {
        WideMessagedlg(text, ui::MsgType::Error, {ui::MsgButton::OK});
    };
    // A setting the window never read stands at its default here: sending it would replace
    // the module's value. So the whole configuration goes out only over a complete read.
    // With no module at all (the pages are shown before one with "Code=2"), there is
    // nothing to read again: the user hears that no module is connected.
    if (!SettingsReadComplete()) {
        refuse(GetLangText(Link() && Link()->Connected ? 110 : 118));
        return;
    }
    // Page checks: the first that fails ends the click with nothing sent.
    if (!ValidateWizardPage(1)) {
        refuse(GetLangText(92));
        GoToWizardStep(0);
        return;
    }
    if (!ValidateWizardPage(0)) {
        refuse(GetLangText(82));
        GoToWizardStep(1);
        return;
    }
    if (const TUnsendable refused = UnsendableValue(-1)) {
        refuse(refused.text);
        GoToWizardStep(refused.page);
        return;
    }

    // The keys go out only where the read fetches them (from 2030 on): below that the edits
    // hold no key of the module's, and sending them would wipe its keys.
    // Values that can fail to convert are converted before the first packet, so that a
    // bad one never leaves the module half written.
    TVEQ2* link = Link();
    const bool sendKeys = link && link->FirmwareVersion >= FwEncryptionBits;
    QByteArray key1, key2;
    if (sendKeys) {
        try {
            key1 = HexKeyToBytes(EditText(TntEdit8));
            key2 = HexKeyToBytes(EditText(TntEdit9));
        } catch (const EHexError& e) {
            refuse(LangToUnicode(QByteArray(e.what())));
            return;
        }
    }
    const QByteArray pin = EditText(Edit13);

    began = true;
    // The wait dialog disables the main window until the read-back ends.
    QPointer<TForm5> wait = Form5;
    if (wait)
        wait->ShowWaiting(true);

    // Every send and pause may process window messages: the window may close (no link
    // any more) or the module may leave meanwhile. Either ends the sequence.
    TSendSequence seq(*this);
    auto send = [&seq](const std::function<void(TVEQ2&)>& packet, int ms) { seq.Send(packet, ms); };

    BeginWholeWrite(TWholeWrite::Settings);
    bool ran = false;
    try {
        ran = seq.Run([&] {
            send([](TVEQ2& l) { l.SendCPCR(CPCRCommunicator); }, kStorePause);
            SendConnectionTexts(seq);
            const int firmware = Link()->FirmwareVersion;
            const quint32 tcpcr = BuildTCPCR(ReadTCPCRControls(), firmware, KeptTCPCR);
            send([&](TVEQ2& l) { l.SendTCPCR(tcpcr); }, kStorePause);
            const quint32 veq2cr = BuildVEQ2CR(ReadVEQ2CRControls(), KeptVEQ2CR);
            send([&](TVEQ2& l) { l.SendVEQ2CR(veq2cr); }, kStorePause);
            // The pause follows whether or not the SIM PIN went out.
            if (Checked(TntCheckBox28))
                send([&](TVEQ2& l) { l.SendSIMpin(EditText(TntEdit1)); }, 0);
            seq.Pause(kStorePause);

            // Users: the boxes are stored into the user they show first, so that what the
            // user ticked last is what goes out.
            CommitShownUserFlags();
            seq.Call([this] { SendUserPhones(); });

            const quint32 smspstncr = BuildSMSPSTNCR(ReadSMSPSTNCRControls(), KeptSMSPSTNCR);
            send([&](TVEQ2& l) { l.SendSMSPSTNCR(smspstncr); }, kStorePause);

            seq.Call([this] { SendItemNames(); });

            // Every one of the module's output-control slots, the free ones too.
            for (int i = 0; i < RemotePhonesOnModule; ++i) {
                const TRemotePhoneRecord& r = RemotePhones[static_cast<std::size_t>(i)];
                send([&](TVEQ2& l) { l.SendPGMPhoneNumber(static_cast<quint8>(i), r.PGMPnCR, r.Number); },
                     kStorePause);
            }

            send([&](TVEQ2& l) { l.SendAccessPIN(pin); }, 0);
            if (firmware >= FwAdditionalCR) {
                const bool flag = Checked(TntCheckBox33);
                const quint16 id = HeartbeatIdFromText(EditText(TntEdit4), KeptHeartbeat);
                send([&](TVEQ2& l) { l.SendHeartBeatEventId(flag, id); }, kStorePause);
            }
            if (sendKeys) {
                send([&](TVEQ2& l) { l.SendAES128Key(0, key1); }, 0);
                send([&](TVEQ2& l) { l.SendAES128Key(1, key2); }, 0);
            }

            // The texts of a freshly loaded template go out once; later they are written
            // from their own dialogs. Their series are part of this write: a cut one is
            // told below, once.
            if (TemplateLoaded) {
                seq.Call([] {
                    if (Form2)
                        Form2->TntButton53Click();
                });
                seq.Call([] {
                    if (Form6)
                        Form6->TntButton53Click();
                });
                seq.Call([] {
                    if (Form3)
                        Form3->TntButton1Click();
                });
                TemplateLoaded = false;
            }

            seq.Call([this] { TntButton114Click(); });
            seq.Call([this] { TntButton11Click(); });
        });
    } catch (...) {
        // Whatever stopped the write, the window must be usable again.
        DropWholeWrite();
        if (wait)
            wait->close();
        throw;
    }
    // Cut off (the module left, was replaced or stopped answering, or the window is
    // closing): nothing is read back here, and the user is told what to do now.
    whole = ran && seq.End() == TSendEnd::Whole;
    if (!whole && wait)
        wait->close();
    EndWholeWrite(seq);
    if (!whole)
        return;
    // Read everything back, so that the pages show what the module stored.
    readBackOfWrite_ = true;
    Timer2->start();
}

// ---- values the module must not receive as they stand ---------------------------------------

TForm1::TUnsendable TForm1::UnsendableValue(int page, bool saving) const
{
    const TVEQ2* link = Link();
    const int firmware = link ? link->FirmwareVersion : 0;
    const bool pinHeld = fields::Holds(TField::AccessPIN, EditText(Edit13));
    const int shortAccount = ShortAccountChannel();
    const int longAddress = LongAddressChannel();
    enum Use { Send = 1, Save = 2 };
    const struct {
        int page;
        int message;
        bool refused;
        int uses;
        int channel; // named in the message
    } checks[] = {
        {0, 116, !pinHeld, Send, 0},
        // The module would get the address cut, and a template of it would not load.
        {1, 128, longAddress != 0, Send | Save, longAddress},
        // Only the account of a channel in use, named by its channel.
        {1, 113, shortAccount == 1, Send, 0},
        {1, 115, shortAccount == 2, Send, 0},
        // A missing digit of the heartbeat event ID would go out as 0. It is sent from
        // 1026 on; unticking its box puts the default ID back.
        {1, 119, firmware >= FwAdditionalCR && fields::TooShort(TField::HeartbeatId, EditText(TntEdit4)), Send, 0},
        // While "Use SIM PIN" is ticked the PIN goes out, and the module tries it on the SIM.
        {6, 120, Checked(TntCheckBox28) && fields::TooShort(TField::SimPIN, EditText(TntEdit1)), Send, 0},
        // A SIM PIN the module sent goes back to it as it came, but a template holds digits.
        {6, 129, !fields::Holds(TField::SimPIN, EditText(TntEdit1)), Save, 0},
    };
    for (const auto& c : checks) {
        if ((page < 0 || page == c.page) && c.refused && (c.uses & (saving ? Save : Send))) {
            QString text = GetLangText(c.message);
            if (c.channel)
                text = text.arg(c.channel);
            return {c.message, text, c.page};
        }
    }
    return {};
}

// ---- a write the module must receive whole ------------------------------------------------

bool TForm1::BeginWholeWrite(TWholeWrite kind)
{
    if (wholeWriteRunning_)
        return false;
    wholeWriteRunning_ = true;
    wholeWriteKind_ = kind;
    return true;
}

void TForm1::DropWholeWrite()
{
    wholeWriteRunning_ = false;
}

bool TForm1::EndWholeWrite(const TSendSequence& Seq, bool Tell)
{
    const QString text = CutWriteText(wholeWriteKind_, Seq);
    wholeWriteRunning_ = false;
    if (!text.isEmpty() && Tell && VEQ2 && !closed_)
        WideMessagedlg(text, ui::MsgType::Error, {ui::MsgButton::OK});
    return Seq.Cut();
}

QString TForm1::CutWriteText(TWholeWrite kind, const TSendSequence& Seq) const
{
    // Nothing was cut: it went out whole, there was no module to write to, or the window is
    // closing and says nothing more.
    if (!Seq.Cut())
        return QString();
    const TSendEnd end = Seq.End();
    // A module that stopped answering is still connected: nothing is read again, and what
    // the window holds can simply be sent once more when it answers. One that left is read
    // anew when it comes back.
    const bool stillThere = end == TSendEnd::Silent || end == TSendEnd::StaysBusy;
    int message = 0;
    switch (kind) {
    case TWholeWrite::Settings: message = stillThere ? 122 : 111; break;
    case TWholeWrite::Texts: message = stillThere ? 138 : 134; break;
    case TWholeWrite::FactoryReset: message = stillThere ? 123 : 117; break;
    case TWholeWrite::ProductionTest: message = 125; break;
    }
    if (end == TSendEnd::Replaced && kind != TWholeWrite::ProductionTest)
        message = 124;
    // The module that was cut is named by its serial number: by now another one may be
    // connected, and read.
    QString text = GetLangText(message);
    if (text.contains(QLatin1String("%1")))
        text = text.arg(Seq.SerialNumber());
    return text;
}

// ---- the input and output writers -------------------------------------------------------

void TForm1::TntButton114Click()
{
    TSendSequence seq(*this);
    seq.Run([&] {
        for (int i = 0; i < InputCount; ++i) {
            seq.Check();
            const TInputRecord r = BuildInputRecord(i);
            seq.Send([&](TVEQ2& l) {
                l.SendInputSetting(static_cast<quint8>(i), r.CR, r.Violations, r.Sensivity, r.NoSenseInterval, r.CID);
            }, kStorePause);
            seq.Send([&](TVEQ2& l) {
                l.SendInputSMSText(static_cast<quint8>(i), InputTable[static_cast<std::size_t>(i)].SMSText);
            }, kStorePause);
        }
    });
}

void TForm1::TntButton11Click()
{
    TSendSequence seq(*this);
    seq.Run([&] {
        for (int i = 0; i < OutputCount; ++i) {
            seq.Check();
            const TOutputRecord r = BuildOutputRecord(i);
            seq.Send([&](TVEQ2& l) { l.SendOutputSetting(static_cast<quint8>(i), r.CR, r.ImpLength); },
                     kStorePause);
        }
    });
}
