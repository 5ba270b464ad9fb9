// Template files: the window's configuration saved as key=value lines in the enciphered
// envelope, and a saved template applied back to the window and its tables (from where
// the write-all takes it to a module). Also the buttons of templates and of the log.
#include "editor/Main.h"

#include "editor/Controls.h"
#include "editor/Encodings.h"
#include "editor/Envelope.h"
#include "editor/FieldRules.h"
#include "editor/MainTables.h"
#include "editor/ModuleText.h"
#include "editor/TemplateFile.h"
#include "editor/Unit2.h"
#include "editor/Unit3.h"
#include "lang/LangText.h"
#include "link/UnitEil.h"
#include "link/VEQ2_SDK.h"
#include "platform/AppPaths.h"
#include "widgets/PageWizard.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVariant>

#include <algorithm>
#include <limits>

using tpl::BoolLine;
using tpl::NumberLine;
using tpl::TextLine;
using tpl::TTemplateReader;

namespace {

const QString kTemplateFilter = QStringLiteral("Templates (*.tpl)");
const QString kTemplateExtension = QStringLiteral("tpl");

QByteArray EditText(const QLineEdit* e)
{
    return e ? LangFromUnicode(e->text()) : QByteArray();
}

bool Ticked(const QCheckBox* b)
{
    return b && b->isChecked();
}

QByteArray AsciiLower(QByteArray s)
{
    for (char& c : s)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return s;
}

QByteArray Indexed(const char* key, int i)
{
    return QByteArray(key) + QByteArray::number(i);
}

std::uint8_t Low8(std::int32_t v)
{
    return static_cast<std::uint8_t>(v);
}

std::uint16_t Low16(std::int32_t v)
{
    return static_cast<std::uint16_t>(v);
}

// A template holds the module's texts (names, SMS phrases, input and additional SMS texts)
// as the 8-bit text of its language, which the file names: the module's bytes as that
// text when saved, and the module's bytes again once the load has made that language
// current (a text longer than the module keeps is cut, as the module would cut it).
QByteArray TemplateText(const QByteArray& moduleBytes)
{
    return ModuleText::ToLangText(moduleBytes);
}

QByteArray ModuleBytes(TField f, const QByteArray& text)
{
    return fields::Loaded(f, ModuleText::FromLangText(text));
}

// The plain texts of the reporting, security and users pages that a template carries, in
// the order they are applied; each edit shows its value as the module would hold it.
struct TTemplateEdit {
    const char* key;
    TField field;
    QLineEdit* TForm1::*edit;
};
const TTemplateEdit kTemplateEdits[] = {
    {"APN", TField::APN, &TForm1::Edit2},
    {"UserName", TField::APNUserName, &TForm1::Edit3},
    {"Password", TField::APNPassword, &TForm1::Edit4},
    {"USBPass", TField::USBPassword, &TForm1::Edit9},
    {"ReserveAccount1", TField::Account, &TForm1::Edit6}, // channel 2
    {"ReserveAccount2", TField::Account, &TForm1::Edit11}, // channel 1
    {"OwnerName", TField::OwnerName, &TForm1::Edit8},
    {"AccessPIN", TField::AccessPIN, &TForm1::Edit13},
};
const TTemplateEdit kHeartbeatEdit = {"HeartBeat Event ID", TField::HeartbeatId, &TForm1::TntEdit4};
const TTemplateEdit kSimPINEdit = {"SIM PIN", TField::SimPIN, &TForm1::TntEdit1};
const TTemplateEdit kKeyEdits[] = {{"EncryptionKey1", TField::AESKey, &TForm1::TntEdit8},
                                   {"EncryptionKey2", TField::AESKey, &TForm1::TntEdit9}};
const struct {
    const char* key;
    QLineEdit* TForm1::*host;
    QLineEdit* TForm1::*port;
} kAddresses[] = {{"ConnectionString1", &TForm1::Edit1, &TForm1::TntEdit2},
                  {"ConnectionString2", &TForm1::Edit5, &TForm1::TntEdit3}};

QString WithoutFolder(const QString& fileName)
{
    return QFileInfo(fileName).fileName();
}

} // namespace

// ---- writing ------------------------------------------------------------------------

void TForm1::BuildTemplateLines(QList<QByteArray>& lines)
{
    const TVEQ2* link = Link();
    const int firmware = link ? link->FirmwareVersion : 0;

    lines << TextLine("Language", ChosenLanguageName());
    lines << TextLine("ConnectionString1", JoinHostPort(EditText(Edit1), EditText(TntEdit2)));
    lines << TextLine("ConnectionString2", JoinHostPort(EditText(Edit5), EditText(TntEdit3)));
    lines << TextLine("APN", EditText(Edit2));
    lines << TextLine("UserName", EditText(Edit3));
    // While the module keeps its GPRS settings locked the password shown is not its own.
    lines << TextLine("Password", link && link->GPRSLocked ? QByteArray() : EditText(Edit4));
    lines << TextLine("USBPass", EditText(Edit9));
    // As the module gets them: a short account the module sent keeps its blanks.
    lines << TextLine("ReserveAccount1", fields::ModuleValue(Edit6, TField::Account));  // channel 2
    lines << TextLine("ReserveAccount2", fields::ModuleValue(Edit11, TField::Account)); // channel 1
    lines << TextLine("OwnerName", EditText(Edit8));
    lines << TextLine("AccessPIN", EditText(Edit13));
    lines << NumberLine("CR", BuildTCPCR(ReadTCPCRControls(), firmware, KeptTCPCR));
    lines << NumberLine("VEQ2CR", BuildTemplateVEQ2CR(ReadVEQ2CRControls(), KeptVEQ2CR));
    if (firmware >= FwEncryptionBits) {
        lines << TextLine("EncryptionKey1", EditText(TntEdit8));
        lines << TextLine("EncryptionKey2", EditText(TntEdit9));
    }
    for (int i = 0; i < UserPhoneCount; ++i) {
        const TUserPhoneRecord& u = UserPhones[static_cast<std::size_t>(i)];
        lines << NumberLine(Indexed("PnCR", i), u.PnCR);
        lines << NumberLine(Indexed("PnAddCR", i), u.PnAddCR);
        lines << TextLine(Indexed("PhoneNr", i), u.PhoneNr);
    }
    lines << NumberLine("SMSPSTNCR", BuildTemplateSMSPSTNCR(ReadSMSPSTNCRControls(), KeptSMSPSTNCR));
    for (int i = 0; i < InputCount; ++i) {
        const TInputRecord r = BuildInputRecord(i);
        lines << NumberLine(Indexed("InputSettingsCR", i), r.CR);
        lines << NumberLine(Indexed("Sensivity", i), r.Sensivity);
        lines << NumberLine(Indexed("Violations", i), r.Violations);
        lines << NumberLine(Indexed("NoSenseInterval", i), r.NoSenseInterval);
        lines << TextLine(Indexed("CID", i), tpl::ContactIDValue(r.CID));
        lines << TextLine(Indexed("InputSMSPhrase", i), TemplateText(InputTable[static_cast<std::size_t>(i)].SMSText));
    }
    for (int i = 0; i < OutputCount; ++i) {
        const TOutputRecord r = BuildOutputRecord(i);
        lines << NumberLine(Indexed("OutputSettingsCR", i), r.CR);
        lines << NumberLine(Indexed("ImpLength", i), r.ImpLength);
    }
    for (int i = 0; i < AdditionalSMSTextCount; ++i)
        lines << TextLine(Indexed("AdditionalSMS", i), TemplateText(AdditionalSMSTexts[static_cast<std::size_t>(i)]));
    for (int i = 0; i < RemotePhoneCount; ++i) {
        const TRemotePhoneRecord& p = RemotePhones[static_cast<std::size_t>(i)];
        lines << NumberLine(Indexed("PGMPnCR", i), p.PGMPnCR);
        lines << TextLine(Indexed("PGMPhonenumber", i), p.Number);
    }
    for (int n = 0; n < ItemNameGroupSize; ++n) {
        lines << TextLine(Indexed("Zone", n), TemplateText(ItemNameAt(1, n)));
        lines << TextLine(Indexed("User", n), TemplateText(ItemNameAt(3, n)));
        if (n < ModuleNameCount)
            lines << TextLine(Indexed("Module", n), TemplateText(ItemNameAt(2, n)));
        if (n < PartitionNameCount)
            lines << TextLine(Indexed("Partition", n), TemplateText(ItemNameAt(4, n)));
    }
    for (int i = 0; i < TForm2::PhraseCount; ++i)
        lines << TextLine(Indexed("SMSPhrase", i), Form2 ? TemplateText(ModuleText::Bytes(Form2->PhraseEdit(i))) : QByteArray());
    // The help text may hold line breaks: each becomes a blank, so it stays one line.
    lines << TextLine("Help Text", Form3 ? Form3->Text() : QByteArray());
    lines << BoolLine("HeartBeat Event ID CB", Ticked(TntCheckBox33));
    lines << TextLine("HeartBeat Event ID", EditText(TntEdit4));
    // The communicator is the only mode.
    lines << NumberLine("CRCP", 0);
    lines << BoolLine("SIM PIN CB", Ticked(TntCheckBox28));
    lines << TextLine("SIM PIN", EditText(TntEdit1));
    lines << BoolLine("Limited Trouble SMS", Ticked(TntCheckBox27));
}

bool TForm1::SaveTemplate(const QString& fileName)
{
    QList<QByteArray> lines;
    BuildTemplateLines(lines);
    QString error;
    if (!SaveStringsEncrypted(fileName, TemplatePassPhrase, lines, &error)) {
        WideMessagedlg(GetLangText(130) + QLatin1Char(' ') + QDir::toNativeSeparators(fileName) +
                           QLatin1Char('\n') + error,
                       ui::MsgType::Error, {ui::MsgButton::OK});
        return false;
    }
    WideMessagedlg(GetLangText(104) + QLatin1Char(' ') + QDir::toNativeSeparators(fileName),
                   ui::MsgType::Information, {ui::MsgButton::OK});
    return true;
}

void TForm1::TntButton26Click()
{
    // A template of a module needs what a write-all needs, a completed read of it; and it is
    // that module's settings that go into the file, chosen after the dialogs have closed.
    const TModuleAtHand asked = ModuleAtHand();
    if (!AnswerMayAct(asked, TAnswerUse::SaveTemplate))
        return;
    // A value whose template would not load is mended first, on its page, as before a send.
    if (const TUnsendable refused = UnsendableValue(-1, true)) {
        WideMessagedlg(refused.text, ui::MsgType::Error, {ui::MsgButton::OK});
        GoToWizardStep(refused.page);
        return;
    }
    // Replacing a file is asked below, once.
    const std::optional<QString> chosen =
        ui::SaveFileName(QString(), platform::ProgramDir(), kTemplateFilter, kTemplateExtension, this, false);
    if (!chosen || chosen->isEmpty() || !AnswerMayAct(asked, TAnswerUse::SaveTemplate))
        return;
    const QString fileName = *chosen;
    // What the user ticked last for the shown user belongs in the file, as it goes to the
    // module at a write-all (even after a Ctrl+click took the row's selection away).
    CommitShownUserFlags();
    if (QFileInfo::exists(fileName)) {
        const ui::ModalResult answer =
            WideMessagedlg(GetLangText(35) + WithoutFolder(fileName) + GetLangText(36), ui::MsgType::Confirmation,
                           {ui::MsgButton::Yes, ui::MsgButton::No});
        if (answer == ui::MsgButton::Yes && AnswerMayAct(asked, TAnswerUse::SaveTemplate))
            SaveTemplate(fileName);
        return;
    }
    SaveTemplate(fileName);
}

// ---- reading ------------------------------------------------------------------------

namespace {

// A text value loads when the module can hold it whole (a text is cut instead) and the
// window shows it and sends it back as it is: whether typing would give it does not matter,
// a template saved from a module holds what that module held.
void CheckText(const TTemplateReader& t, const QByteArray& key, TField f)
{
    if (!fields::Loads(f, t.Text(key)))
        throw tpl::ETemplateValue(key);
}

void CheckTemplateTexts(const TTemplateReader& t, int firmware)
{
    // Host and port share the module's field; the port is what the module's reply gives as one.
    for (const auto& a : kAddresses) {
        const QByteArray address = t.Text(a.key);
        QByteArray port = address, host;
        SplitAt(port, ":", host);
        if (address.size() > fields::Rule(TField::Address).moduleWidth || !fields::Loads(TField::Host, host) ||
            !fields::Loads(TField::Port, port))
            throw tpl::ETemplateValue(a.key);
    }
    for (const TTemplateEdit& x : kTemplateEdits)
        CheckText(t, x.key, x.field);
    for (const TTemplateEdit& x : {kHeartbeatEdit, kSimPINEdit})
        CheckText(t, x.key, x.field);
    // The keys, where the load takes them.
    if (firmware >= FwEncryptionBits)
        for (const TTemplateEdit& x : kKeyEdits)
            CheckText(t, x.key, x.field);
    for (int i = 0; i < UserPhoneCount; ++i)
        CheckText(t, Indexed("PhoneNr", i), TField::UserNumber);
    for (int i = 0; i < RemotePhoneCount; ++i)
        CheckText(t, Indexed("PGMPhonenumber", i), TField::OutputNumber);
}

// Every value that the load reads as a number, a Boolean or a Contact ID, and every text
// the module keeps in a field of its width or character set, read once before anything is
// applied: a value that cannot be read or that the module could not hold as it is leaves
// the window as it was.
void CheckTemplateValues(const TTemplateReader& t, int firmware)
{
    CheckTemplateTexts(t, firmware);
    for (const char* key : {"CR", "VEQ2CR", "SMSPSTNCR"})
        (void)t.Word(key);
    for (int i = 0; i < UserPhoneCount; ++i)
        for (const char* key : {"PnCR", "PnAddCR"})
            (void)t.Number(Indexed(key, i));
    for (int i = 0; i < RemotePhoneCount; ++i)
        (void)t.Number(Indexed("PGMPnCR", i));
    for (int i = 0; i < InputCount; ++i) {
        for (const char* key : {"InputSettingsCR", "Violations", "Sensivity", "NoSenseInterval"})
            (void)t.Number(Indexed(key, i));
        (void)t.ContactID(Indexed("CID", i));
    }
    for (int i = 0; i < OutputCount; ++i)
        for (const char* key : {"OutputSettingsCR", "ImpLength"})
            (void)t.Number(Indexed(key, i));
    for (const char* key : {"HeartBeat Event ID CB", "SIM PIN CB", "Limited Trouble SMS"})
        (void)t.Boolean(key);
}

void ShowText(TForm1& f, const TTemplateReader& t, const TTemplateEdit& x)
{
    fields::Show(f.*x.edit, x.field, fields::Loaded(x.field, t.Text(x.key)), false);
}

// The channel word: the combos and boxes in their order, each followed by its handler.
// A key that the template does not hold (one saved from a module below 2030 holds none)
// keeps its "use key" box as it is.
void ApplyTemplateCR(TForm1& f, std::uint32_t v, int firmware, bool key1, bool key2)
{
    TTCPCRControls c = f.ReadTCPCRControls();
    // A protocol that only another firmware's list offers leaves the channel's as it is.
    const int offeredAnywhere = static_cast<int>(TForm1::ReceiverProtocols(std::numeric_limits<int>::max()).size());
    const struct {
        int shift, index, count;
    } protocols[] = {{0, c.ComboBox1Index, c.ComboBox1Count}, {4, c.ComboBox3Index, c.ComboBox3Count}};
    for (const auto& p : protocols) {
        const int code = static_cast<int>((v >> p.shift) & 0xFu);
        if (code > p.count && code <= offeredAnywhere)
            v = (v & ~(0xFu << p.shift)) | static_cast<std::uint32_t>(std::max(p.index, 0) + 1) << p.shift;
    }
    const bool keys = firmware >= FwEncryptionBits;
    ApplyTCPCR(v, c, keys);
    f.ComboBox4->setCurrentIndex(c.ComboBox4Index);
    f.ComboBox4Change();
    f.ComboBox2->setCurrentIndex(c.ComboBox2Index);
    f.ComboBox2Change();
    f.ComboBox1->setCurrentIndex(c.ComboBox1Index);
    f.ComboBox1Change();
    f.ComboBox3->setCurrentIndex(c.ComboBox3Index);
    f.ComboBox3Change();
    // A hidden "Put same to PSTN" box keeps its state.
    if (ctl::Visible(f.TntCheckBox25))
        f.TntCheckBox25->setChecked(c.TntCheckBox25Checked);
    if (ctl::Visible(f.TntCheckBox26))
        f.TntCheckBox26->setChecked(c.TntCheckBox26Checked);
    f.TntComboBox3->setCurrentIndex(c.TntComboBox3Index);
    f.TntComboBox4->setCurrentIndex(c.TntComboBox4Index);
    if (keys && key1) {
        f.TntCheckBox42->setChecked(c.TntCheckBox42Checked);
        f.TntCheckBox42Click();
    }
    if (keys && key2) {
        f.TntCheckBox43->setChecked(c.TntCheckBox43Checked);
        f.TntCheckBox43Click();
    }
}

void ApplyTemplateVEQ2CR(TForm1& f, std::uint32_t v)
{
    const TVEQ2CRControls c = DecodeVEQ2CR(v);
    f.TntCheckBox3->setChecked(c.TntCheckBox3);
    f.TntCheckBox3Click(false);
    f.TntCheckBox13->setChecked(c.TntCheckBox13);
    f.TntCheckBox13Click();
    f.SpinEdit3->SetValue(c.SpinEdit3);
    f.SpinEdit40->SetValue(c.SpinEdit40);
    f.TntCheckBox40->setChecked(c.TntCheckBox40);
}

// Every value after the language, in its order; CheckTemplateValues has read them all.
void ApplyTemplateValues(TForm1& f, const TTemplateReader& t, int firmware)
{
    // Reporting channels, security and the access PIN.
    // An address splits at its first ":" into host and port.
    for (const auto& a : kAddresses) {
        QByteArray port = t.Text(a.key), host;
        SplitAt(port, ":", host);
        fields::Show(f.*a.host, TField::Host, host, false);
        fields::Show(f.*a.port, TField::Port, port, false);
    }
    for (const TTemplateEdit& x : kTemplateEdits)
        ShowText(f, t, x);

    // Keys that the template does not hold stay as the window has them.
    const bool key1 = t.Has("EncryptionKey1");
    const bool key2 = t.Has("EncryptionKey2");
    // The words' bits that no control shows go out as the template holds them, as the
    // bytes of users, inputs and outputs do. A template sets what this module's window
    // shows: bits that another firmware's window shows, and this one's does not, stay the
    // module's own.
    const std::uint32_t otherFirmwares = TCPCRShownBits(std::numeric_limits<int>::max()) & ~TCPCRShownBits(firmware);
    f.KeptTCPCR = (t.Word("CR") & ~otherFirmwares) | (f.KeptTCPCR & otherFirmwares);
    ApplyTemplateCR(f, t.Word("CR"), firmware, key1, key2);
    f.KeptVEQ2CR = t.Word("VEQ2CR");
    ApplyTemplateVEQ2CR(f, f.KeptVEQ2CR);
    if (firmware >= FwEncryptionBits)
        for (const TTemplateEdit& x : kKeyEdits)
            if (t.Has(x.key))
                ShowText(f, t, x);

    // Likewise the flags whose boxes another model's window shows and this one's does not.
    const auto keep = [](std::uint8_t loaded, std::uint8_t own, std::uint8_t gated) {
        return static_cast<std::uint8_t>((loaded & ~gated) | (own & gated));
    };
    const std::uint8_t gatedCR = f.UserBitsGatedOff(false), gatedAddCR = f.UserBitsGatedOff(true);
    for (int i = 0; i < UserPhoneCount; ++i) {
        TUserPhoneRecord& u = UserPhones[static_cast<std::size_t>(i)];
        u.PnCR = keep(Low8(t.Number(Indexed("PnCR", i))), u.PnCR, gatedCR);
        u.PnAddCR = keep(Low8(t.Number(Indexed("PnAddCR", i))), u.PnAddCR, gatedAddCR);
        // A slot the template leaves empty is cleared on the module at the next write, as
        // a number the user empties is.
        f.SetUserNumber(i, fields::Loaded(TField::UserNumber, t.Text(Indexed("PhoneNr", i))));
    }
    f.SelectUserNode(0);

    f.KeptSMSPSTNCR = t.Word("SMSPSTNCR");
    const TSMSPSTNCRControls s = DecodeSMSPSTNCR(f.KeptSMSPSTNCR);
    f.se1->SetValue(s.se1);
    f.SpinEdit2->SetValue(s.SpinEdit2);
    f.TntCheckBox10->setChecked(s.TntCheckBox10);

    for (int i = 0; i < AdditionalSMSTextCount; ++i)
        StoreAdditionalSMSText(i, ModuleBytes(TField::SmsText, t.Text(Indexed("AdditionalSMS", i))));
    f.FillAdditionalTextEdits();

    // The module's own phones where its window has no remote-control page; the slots no
    // module holds come from the template.
    const bool remotePage = !f.GatedOff(f.WPage[5]);
    const std::uint8_t gatedOutputs = f.PGMBitsGatedOff();
    for (int i = 0; i < RemotePhoneCount; ++i) {
        TRemotePhoneRecord& p = RemotePhones[static_cast<std::size_t>(i)];
        const bool onModule = i < RemotePhonesOnModule;
        if (onModule && !remotePage)
            continue;
        p.PGMPnCR = keep(Low8(t.Number(Indexed("PGMPnCR", i))), p.PGMPnCR, onModule ? gatedOutputs : 0);
        p.Number = fields::Loaded(TField::OutputNumber, t.Text(Indexed("PGMPhonenumber", i)));
    }
    f.FillPGMGrid();
    f.ShowPGMRow(0);

    // Names: FDNr 1 zones, 2 modules, 3 users, 4 partitions.
    const auto name = [&t](const char* key, int n) { return ModuleBytes(TField::ElementName, t.Text(Indexed(key, n))); };
    for (int n = 0; n < ItemNameGroupSize; ++n) {
        StoreItemName(1, n, name("Zone", n));
        if (n < ModuleNameCount)
            StoreItemName(2, n, name("Module", n));
        StoreItemName(3, n, name("User", n));
        if (n < PartitionNameCount)
            StoreItemName(4, n, name("Partition", n));
    }
    f.FillNameGrids();

    if (Form2)
        for (int i = 0; i < TForm2::PhraseCount; ++i)
            ModuleText::Set(Form2->PhraseEdit(i), ModuleBytes(TField::SmsPhrase, t.Text(Indexed("SMSPhrase", i))));
    if (Form3)
        Form3->SetText(t.Text("Help Text"));

    f.TntCheckBox33->setChecked(t.Boolean("HeartBeat Event ID CB"));
    f.TntCheckBox33Click();
    ShowText(f, t, kHeartbeatEdit);

    f.SetAlarmSystemMode(false);

    for (int i = 0; i < InputCount; ++i) {
        TInputRecord& r = InputTable[static_cast<std::size_t>(i)];
        r.CR = Low8(t.Number(Indexed("InputSettingsCR", i)));
        r.Violations = Low8(t.Number(Indexed("Violations", i)));
        r.Sensivity = Low8(t.Number(Indexed("Sensivity", i)));
        r.NoSenseInterval = Low16(t.Number(Indexed("NoSenseInterval", i)));
        r.CID = t.ContactID(Indexed("CID", i));
        r.SMSText = ModuleBytes(TField::SmsText, t.Text(Indexed("InputSMSPhrase", i)));
        f.ApplyInputRecord(i);
    }
    f.RefreshInputFunctions();

    for (int i = 0; i < OutputCount; ++i) {
        if (!f.OutputRowShown(i))
            continue; // an output this module's window has no row for keeps the module's own
        TOutputRecord& r = OutputTable[static_cast<std::size_t>(i)];
        r.CR = Low8(t.Number(Indexed("OutputSettingsCR", i)));
        r.ImpLength = Low16(t.Number(Indexed("ImpLength", i)));
        f.ApplyOutputRecord(i);
    }
    f.Timer4->start();

    f.TntCheckBox28->setChecked(t.Boolean("SIM PIN CB"));
    f.TntCheckBox28Click();
    ShowText(f, t, kSimPINEdit);
    f.TntCheckBox27->setChecked(t.Boolean("Limited Trouble SMS"));
}

} // namespace

bool TForm1::ApplyTemplateFile(const QString& fileName)
{
    const QString shortName = WithoutFolder(fileName);
    QList<QByteArray> lines;
    if (!LoadEncryptedStrings(fileName, TemplatePassPhrase, lines)) {
        WideMessagedlg(GetLangText(107) + QLatin1Char(' ') + shortName, ui::MsgType::Error, {ui::MsgButton::OK});
        return false;
    }
    const TTemplateReader t(lines);

    // The language first: the first one on the list whose name holds the value.
    const QByteArray language = t.Text("Language");
    const QByteArray wanted = AsciiLower(language);
    int found = -1;
    for (int i = 0; i < ComboBox28->count() && !wanted.isEmpty(); ++i) {
        // The name as the language file writes it, which the item keeps.
        const QVariant name = ComboBox28->itemData(i);
        const QByteArray item = name.isValid() ? name.toByteArray() : LangFromUnicode(ComboBox28->itemText(i));
        if (AsciiLower(item).contains(wanted)) {
            found = i;
            break;
        }
    }
    if (found < 0) {
        ui::ShowPlainMessage(QStringLiteral("Couldn't find ") + LangToUnicode(language) +
                                 QStringLiteral(" language on loader"),
                             this);
        return false;
    }

    try {
        const TVEQ2* link = Link();
        const int firmware = link ? link->FirmwareVersion : 0;
        CheckTemplateValues(t, firmware);
        ComboBox28->setCurrentIndex(found);
        ComboBox28Change(ComboBox28);
        ApplyTemplateValues(*this, t, firmware);
    } catch (...) {
        WideMessagedlg(GetLangText(106) + QLatin1Char(' ') + shortName, ui::MsgType::Error, {ui::MsgButton::OK});
        return false;
    }
    WideMessagedlg(GetLangText(105) + QLatin1Char(' ') + shortName, ui::MsgType::Information, {ui::MsgButton::OK});
    return true;
}

void TForm1::TntButton27Click()
{
    if (TntOpenDialog1InitialDir.isEmpty())
        TntOpenDialog1InitialDir = platform::ProgramDir();
    // The file is loaded for the module connected now, and only into its window.
    const TModuleAtHand asked = ModuleAtHand();
    const std::optional<QString> chosen = ui::OpenFileName(QString(), TntOpenDialog1InitialDir, kTemplateFilter, this);
    if (!chosen || chosen->isEmpty() || !AnswerMayAct(asked, TAnswerUse::LoadTemplate))
        return;
    // A load that failed changed nothing: the file is not named, and no texts wait to be
    // written.
    if (!ApplyTemplateFile(*chosen))
        return;
    // The next write-all sends the template's texts too.
    ShowTemplateName(WithoutFolder(*chosen));
    TemplateLoaded = true;
}

void TForm1::WireTemplateButtons()
{
    connect(TntButton26, &QPushButton::clicked, this, [this] { Guard([this] { TntButton26Click(); }); });
    connect(TntButton27, &QPushButton::clicked, this, [this] { Guard([this] { TntButton27Click(); }); });
    connect(TntButton5, &QPushButton::clicked, this, [this] { Guard([this] { TntButton5Click(); }); });
}
