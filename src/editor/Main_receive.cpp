// Storing the settings the module sends: one handler per reply, each putting its value
// into the tables and the controls of the pages. Every event has a handler, since the
// read walk goes on only after an event that has one.
#include "editor/Main.h"

#include "editor/Controls.h"
#include "editor/Encodings.h"
#include "editor/FieldRules.h"
#include "editor/MainTables.h"
#include "editor/Unit2.h"
#include "editor/Unit3.h"
#include "editor/Unit6.h"
#include "lang/LangText.h"
#include "link/VEQ2_SDK.h"
#include "widgets/Colors.h"
#include "widgets/PanelStatusBar.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QTimer>

void TForm1::WireSettingsEvents()
{
    // These run while the link handles a report: a fault goes back to the link, which
    // drops that report and reports the fault on standard error. No dialog from here.
    TVEQ2* l = VEQ2;
    auto str = [this](void (TForm1::*h)(const QByteArray&)) {
        return [this, h](QObject*, const QByteArray& s) { (this->*h)(s); };
    };
    auto word = [this](void (TForm1::*h)(quint32)) {
        return [this, h](QObject*, quint32 w) { (this->*h)(w); };
    };
    auto indexed = [this](void (TForm1::*h)(int, const QByteArray&)) {
        return [this, h](QObject*, int i, const QByteArray& s) { (this->*h)(i, s); };
    };
    auto phone = [this](void (TForm1::*h)(quint8, quint8, const QByteArray&)) {
        return [this, h](QObject*, quint8 i, quint8 cr, const QByteArray& s) { (this->*h)(i, cr, s); };
    };
    l->OnModemData = str(&TForm1::OnModemDataArrive);
    l->OnConnectionString = str(&TForm1::OnConnectionStringArrive);
    l->OnConnectionString2 = str(&TForm1::OnConnectionString2Arrive);
    l->OnConnectionString3 = str(&TForm1::OnConnectionString3Arrive);
    l->OnSMSBackupPhoneNumber = phone(&TForm1::OnSMSBackupPhoneNumberArrive);
    l->OnAPN = str(&TForm1::OnAPNArrive);
    l->OnUserName = str(&TForm1::OnUserNameArrive);
    l->OnPassword = str(&TForm1::OnPasswordArrive);
    l->OnItemName = [this](QObject*, quint8 g, quint8 i, const QByteArray& s) { OnItemNameArrive(g, i, s); };
    l->OnTCPCR = word(&TForm1::OnTCPCRArrive);
    l->OnVEQ2CR = word(&TForm1::OnVEQ2CRArrive);
    l->OnInputSetting = [this](QObject*, quint8 i, quint8 cr, quint8 v, quint8 s, quint16 n, const tduomenys& cid) {
        OnInputSettingArrive(i, cr, v, s, n, cid);
    };
    l->OnInputSMSText = indexed(&TForm1::OnInputSMSTextArrive);
    l->OnAdditionalSMSText = indexed(&TForm1::OnAdditionalSMSTextArrive);
    l->OnOutputSetting = [this](QObject*, quint8 i, quint8 cr, quint16 len) { OnOutputSettingArrive(i, cr, len); };
    l->OnUSBPassword = str(&TForm1::OnUSBPasswordArrive);
    l->OnVEQOwnerName = str(&TForm1::OnVEQOwnerNameArrive);
    l->OnReserveAccount = indexed(&TForm1::OnReserveAccountArrive);
    l->OnPhoneNumber = phone(&TForm1::OnPhoneNumberArrive);
    l->OnPGMPhoneNumber = phone(&TForm1::OnPGMPhoneNumberArrive);
    l->OnSMSPSTNCR = word(&TForm1::OnSMSPSTNCRArrive);
    l->OnAccessPIN = word(&TForm1::OnAccessPINArrive);
    l->OnSIMpin = str(&TForm1::OnSIMpinArrive);
    l->OnHeartBeatEventId = [this](QObject*, quint16 id) { OnHeartBeatEventIdArrive(id); };
    l->OnPhoneNumberAdditionalCR = phone(&TForm1::OnPhoneNumberAdditionalCRArrive);
    l->OnCPCR = word(&TForm1::OnCPCRArrive);
    l->OnAES128Key = [this](QObject*, quint8 i, const QByteArray& key) { OnAES128KeyArrive(i, key); };
    // The two SMS dialogs are created after the window: reach them when the event runs.
    l->OnSMSPhrase = [](QObject* sender, quint8 i, const QByteArray& s) {
        if (Form2)
            Form2->OnSMSPhraseArrive(sender, i, s);
    };
    l->OnHelpText = [](QObject* sender, quint8 i, const QByteArray& s) {
        if (Form3)
            Form3->OnHelpTextArrive(sender, i, s);
    };
}

// ---- texts and words -------------------------------------------------------------------

// A host the module holds is shown and goes back whole, also where it is longer than
// typing may make one.
void TForm1::OnConnectionStringArrive(const QByteArray& s)
{
    QByteArray host, port;
    SplitHostPort(s, host, port);
    fields::Show(Edit1, TField::Host, host, true);
    fields::Show(TntEdit2, TField::Port, port, true);
    // They show their channel's state, also when the read stops before the channel's word.
    AddressChange(Edit1, ComboBox4);
    PortChange(TntEdit2, ComboBox4);
}

void TForm1::OnConnectionString2Arrive(const QByteArray& s)
{
    QByteArray host, port;
    SplitHostPort(s, host, port);
    fields::Show(Edit5, TField::Host, host, true);
    fields::Show(TntEdit3, TField::Port, port, true);
}

void TForm1::OnConnectionString3Arrive(const QByteArray&)
{
}

void TForm1::OnAPNArrive(const QByteArray& s)
{
    Edit2->setText(LangToUnicode(s));
    Edit2->setEnabled(true);
}

void TForm1::OnUserNameArrive(const QByteArray& s)
{
    Edit3->setText(LangToUnicode(s));
    Edit3->setEnabled(true);
}

void TForm1::OnPasswordArrive(const QByteArray& s)
{
    Edit4->setText(LangToUnicode(s));
    Edit4->setEnabled(true);
}

void TForm1::OnUSBPasswordArrive(const QByteArray& s)
{
    Edit9->setText(LangToUnicode(s));
}

void TForm1::OnReserveAccountArrive(int idx, const QByteArray& s)
{
    fields::Show(idx == 0 ? Edit11 : Edit6, TField::Account, s, true);
}

void TForm1::OnVEQOwnerNameArrive(const QByteArray& s)
{
    Edit8->setText(LangToUnicode(s));
    Edit8->setEnabled(true);
}

void TForm1::OnModemDataArrive(const QByteArray& s)
{
    PanelStatusBar1->setPanelText(3, LangToUnicode(s));
}

void TForm1::OnSIMpinArrive(const QByteArray& s)
{
    TntEdit1->setText(LangToUnicode(s));
}

void TForm1::OnAccessPINArrive(quint32 w)
{
    if (Edit13)
        Edit13->setText(LangToUnicode(AccessPINFromWord(w)));
}

void TForm1::OnHeartBeatEventIdArrive(quint16 id)
{
    KeptHeartbeat = id;
    // The box's click handler enables or disables the edit, so it runs before the edit
    // gets its digits (unticked, the handler puts the default there first).
    try {
        const THeartbeatControls h = DecodeHeartbeat(id);
        TntCheckBox33->setChecked(h.TntCheckBox33);
        TntCheckBox33Click();
        TntEdit4->setText(LangToUnicode(h.TntEdit4));
    } catch (...) {
        TntCheckBox33->setChecked(false);
        TntCheckBox33Click();
        TntEdit4->setText(QString::fromLatin1(HeartbeatIdDefault));
    }
}

void TForm1::OnAES128KeyArrive(quint8 idx, const QByteArray& key)
{
    (idx == 0 ? TntEdit8 : TntEdit9)->setText(QString::fromLatin1(BytesToHexKey(key)));
}

void TForm1::OnSMSBackupPhoneNumberArrive(quint8 idx, quint8, const QByteArray& number)
{
    if (TntCheckBox15)
        TntCheckBox15->setChecked(idx != 0);
    if (Edit14)
        Edit14->setText(idx != 0 ? LangToUnicode(number) : QString());
}

// ---- control words ------------------------------------------------------------------------

TTCPCRControls TForm1::ReadTCPCRControls() const
{
    TTCPCRControls c;
    c.ComboBox1Index = ComboBox1->currentIndex();
    c.ComboBox1Count = ComboBox1->count();
    c.ComboBox3Index = ComboBox3->currentIndex();
    c.ComboBox3Count = ComboBox3->count();
    c.ComboBox2Index = ComboBox2->currentIndex();
    c.ComboBox4Index = ComboBox4->currentIndex();
    c.TntCheckBox25Checked = TntCheckBox25->isChecked();
    c.TntCheckBox25Visible = ctl::Visible(TntCheckBox25);
    c.TntCheckBox26Checked = TntCheckBox26->isChecked();
    c.TntCheckBox26Visible = ctl::Visible(TntCheckBox26);
    c.TntComboBox3Index = TntComboBox3->currentIndex();
    c.TntComboBox4Index = TntComboBox4->currentIndex();
    c.TntCheckBox42Checked = TntCheckBox42->isChecked();
    c.TntCheckBox43Checked = TntCheckBox43->isChecked();
    return c;
}

void TForm1::OnTCPCRArrive(quint32 w)
{
    KeptTCPCR = w;
    TTCPCRControls c = ReadTCPCRControls();
    ApplyTCPCR(w, c, true);
    ComboBox1->setEnabled(true);
    ComboBox2->setEnabled(true);
    ComboBox3->setEnabled(true);
    ComboBox4->setCurrentIndex(c.ComboBox4Index);
    ComboBox4Change();
    ComboBox2->setCurrentIndex(c.ComboBox2Index);
    ComboBox2Change();
    ComboBox1->setCurrentIndex(c.ComboBox1Index);
    ComboBox1Change();
    TntCheckBox42->setChecked(c.TntCheckBox42Checked);
    TntCheckBox42Click();
    ComboBox3->setCurrentIndex(c.ComboBox3Index);
    ComboBox3Change();
    TntCheckBox43->setChecked(c.TntCheckBox43Checked);
    TntCheckBox43Click();
    if (ctl::Visible(TntCheckBox25))
        TntCheckBox25->setChecked(c.TntCheckBox25Checked);
    if (ctl::Visible(TntCheckBox26))
        TntCheckBox26->setChecked(c.TntCheckBox26Checked);
    TntComboBox3->setCurrentIndex(c.TntComboBox3Index);
    TntComboBox4->setCurrentIndex(c.TntComboBox4Index);
}

void TForm1::OnVEQ2CRArrive(quint32 w)
{
    KeptVEQ2CR = w;
    const TVEQ2CRControls c = DecodeVEQ2CR(w);
    TntCheckBox3->setChecked(c.TntCheckBox3);
    TntCheckBox3Click(false);
    TntCheckBox13->setChecked(c.TntCheckBox13);
    TntCheckBox13Click();
    SpinEdit3->SetValue(c.SpinEdit3);
    SpinEdit40->SetValue(c.SpinEdit40);
    TntCheckBox28->setChecked(c.TntCheckBox28);
    TntCheckBox28Click();
    TntCheckBox41->setChecked(c.TntCheckBox41);
    TntCheckBox41Click(false);
    TntLabel5->setVisible(c.SimPinWrong);
    QPalette pal = TntGroupBox2->palette();
    pal.setColor(QPalette::Window, colors::ToQColor(c.SimPinWrong ? 0x0000FF : colors::clWindow));
    TntGroupBox2->setPalette(pal);
    TntCheckBox40->setChecked(c.TntCheckBox40);
}

void TForm1::OnSMSPSTNCRArrive(quint32 w)
{
    KeptSMSPSTNCR = w;
    for (QWidget* c : std::initializer_list<QWidget*>{se1, SpinEdit2, SpinEdit40, Label127, Label40, Label41,
                                                      TntCheckBox10})
        if (c)
            c->setEnabled(true);
    const TSMSPSTNCRControls c = DecodeSMSPSTNCR(w);
    if (se1)
        se1->SetValue(c.se1);
    if (SpinEdit2)
        SpinEdit2->SetValue(c.SpinEdit2);
    if (TntCheckBox10)
        TntCheckBox10->setChecked(c.TntCheckBox10);
    if (TntCheckBox27)
        TntCheckBox27->setChecked(c.TntCheckBox27);
}

// ---- tables ---------------------------------------------------------------------------------

void TForm1::OnPhoneNumberArrive(quint8 idx, quint8 cr, const QByteArray& number)
{
    if (!StoreUserPhone(idx, cr, number))
        return;
    UserNumberEmptied[idx] = false;
    if (idx == 9)
        SelectUserNode(0);
}

void TForm1::OnPhoneNumberAdditionalCRArrive(quint8 idx, quint8 cr, const QByteArray&)
{
    if (!StoreUserAddCR(idx, cr))
        return;
    if (idx == 9)
        SelectUserNode(0);
}

void TForm1::OnInputSettingArrive(quint8 idx, quint8 cr, quint8 violations, quint8 sensivity,
                                  quint16 noSenseInterval, const tduomenys& cid)
{
    StoreInputSetting(idx, cr, violations, sensivity, noSenseInterval, cid);
}

void TForm1::OnItemNameArrive(quint8 fdnr, quint8 idx, const QByteArray& name)
{
    if (!StoreItemName(fdnr, idx, name))
        return;
    if (fdnr >= 4 && idx >= 31)
        FillNameGrids();
}

void TForm1::OnPGMPhoneNumberArrive(quint8 idx, quint8 cr, const QByteArray& number)
{
    QByteArray n = number;
    while (n.endsWith(' '))
        n.chop(1);
    if (!StoreRemotePhone(idx, cr, n))
        return;
    if (idx == 31) {
        FillPGMGrid();
        ShowPGMRow(0);
    }
}

void TForm1::OnOutputSettingArrive(quint8 idx, quint8 cr, quint16 impLength)
{
    // The length as the module counts it: a row the page cannot show sends it back as it came.
    if (!StoreOutputSetting(idx, cr, impLength))
        return;
    ApplyOutputRecord(idx);
    if (idx >= 3)
        Timer4->start();
}

void TForm1::OnInputSMSTextArrive(int idx, const QByteArray& s)
{
    if (!StoreInputSMSText(idx, s))
        return;
    if (VEQ2 && VEQ2->FirmwareVersion < FwAdditionalCR) {
        ApplyInputRecord(idx);
        if (idx >= 5)
            RefreshInputFunctions();
    }
}

void TForm1::OnAdditionalSMSTextArrive(int idx, const QByteArray& s)
{
    if (!StoreAdditionalSMSText(idx, s))
        return;
    if (Form6)
        Form6->TextArrived(idx);
    if (idx >= AdditionalSMSTextCount - 1)
        FillAdditionalTextEdits();
}

void TForm1::OnCPCRArrive(quint32)
{
    SetAlarmSystemMode(false);
    for (int i = 0; i < InputCount; ++i)
        ApplyInputRecord(i);
    RefreshInputFunctions();
    for (int i = 0; i < OutputCount; ++i)
        ApplyOutputRecord(i);
    RefreshOutputRows();
}
