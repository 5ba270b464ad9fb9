// Template files: the window's configuration saved as key=value lines in the enciphered
// envelope, and a saved template applied back to the window and its tables (from where
// the write-all takes it to a module). Also the buttons of templates and of the log.
#include "editor/Main.h"

#include "editor/Controls.h"
#include "editor/Encodings.h"
#include "editor/Envelope.h"
#include "editor/MainTables.h"
#include "editor/ModuleText.h"
#include "editor/TemplateFile.h"
#include "editor/Unit2.h"
#include "editor/Unit3.h"
#include "lang/LangText.h"
#include "link/UnitEil.h"
#include "link/VEQ2_SDK.h"
#include "platform/AppPaths.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVariant>

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

void SetEditText(QLineEdit* e, const QByteArray& text)
{
    if (e)
        e->setText(LangToUnicode(text));
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
// as the 8-bit text of its language, which the file names: the module's bytes decoded when
// saved, and encoded again once the load has made that language current.
QByteArray TemplateText(const QByteArray& moduleBytes)
{
    return ModuleText::ToLangText(moduleBytes);
}

QByteArray ModuleBytes(const QByteArray& text)
{
    return ModuleText::FromLangText(text);
}

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
    lines << TextLine("ReserveAccount1", EditText(Edit6));  // channel 2
    lines << TextLine("ReserveAccount2", EditText(Edit11)); // channel 1
    lines << TextLine("OwnerName", EditText(Edit8));
    lines << TextLine("AccessPIN", EditText(Edit13));
    lines << NumberLine("CR", BuildTCPCR(ReadTCPCRControls(), firmware, KeptTCPCR));
    lines << NumberLine("VEQ2CR", BuildTemplateVEQ2CR(ReadVEQ2CRControls()));
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
    lines << NumberLine("SMSPSTNCR", BuildTemplateSMSPSTNCR(ReadSMSPSTNCRControls()));
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
    // A setting the window did not read stands at its default or blank: a template of it
    // would later give another module those in place of what this one holds. So a
    // template needs what a write-all needs, a completed read of the connected module.
    if (!SettingsReadComplete()) {
        WideMessagedlg(GetLangText(114), ui::MsgType::Error, {ui::MsgButton::OK});
        return;
    }
    // Replacing a file is asked below, once.
    const std::optional<QString> chosen =
        ui::SaveFileName(QString(), platform::ProgramDir(), kTemplateFilter, kTemplateExtension, this, false);
    if (!chosen || chosen->isEmpty())
        return;
    const QString fileName = *chosen;
    // What the user ticked last for the shown user belongs in the file.
    const int selected = SelectedUserIndex();
    if (selected >= 0)
        CommitUserFlags(selected);
    if (QFileInfo::exists(fileName)) {
        const ui::ModalResult answer =
            WideMessagedlg(GetLangText(35) + WithoutFolder(fileName) + GetLangText(36), ui::MsgType::Confirmation,
                           {ui::MsgButton::Yes, ui::MsgButton::No});
        if (answer == ui::MsgButton::Yes)
            SaveTemplate(fileName);
        return;
    }
    SaveTemplate(fileName);
}

// ---- reading ------------------------------------------------------------------------

namespace {

// A text value for an edit whose characters the user is held to: it passes when it is no
// longer than the edit takes and each of its characters is one the user could type or
// paste there. Anything else would reach the module as nothing the user could have entered.
void CheckEditValue(const QByteArray& key, const QByteArray& value, const QLineEdit* edit,
                    bool (*inSet)(unsigned char))
{
    if (edit && value.size() > edit->maxLength())
        throw tpl::ETemplateValue(key);
    for (char c : value)
        if (!inSet(static_cast<unsigned char>(c)))
            throw tpl::ETemplateValue(key);
}

// A phone number as the pages take it: digits, with the "+" of an international number
// in front.
bool IsPhoneNumber(const QByteArray& n)
{
    for (qsizetype i = 0; i < n.size(); ++i)
        if (!TForm1::IsDigit(static_cast<unsigned char>(n[i])) && !(i == 0 && n[i] == '+'))
            return false;
    return true;
}

// The text values that the pages hold to a character set, checked as the user's typing is.
void CheckTemplateTexts(const TForm1& f, const TTemplateReader& t, int firmware)
{
    const struct {
        const char* key;
        QLineEdit *host, *port;
    } addresses[] = {{"ConnectionString1", f.Edit1, f.TntEdit2}, {"ConnectionString2", f.Edit5, f.TntEdit3}};
    for (const auto& a : addresses) {
        QByteArray port = t.Text(a.key), host;
        SplitAt(port, ":", host);
        CheckEditValue(a.key, host, a.host, TForm1::IsAddressChar);
        CheckEditValue(a.key, port, a.port, TForm1::IsDigit);
    }
    const struct {
        const char* key;
        const QLineEdit* edit;
        bool (*inSet)(unsigned char);
    } texts[] = {
        {"ReserveAccount1", f.Edit6, TForm1::IsAccountChar},
        {"ReserveAccount2", f.Edit11, TForm1::IsAccountChar},
        // The access PIN and the SIM PIN are digits; the heartbeat event ID the
        // hexadecimal digits a module shows.
        {"AccessPIN", f.Edit13, TForm1::IsDigit},
        {"SIM PIN", f.TntEdit1, TForm1::IsDigit},
        {"HeartBeat Event ID", f.TntEdit4, TForm1::IsHexDigit},
    };
    for (const auto& x : texts)
        CheckEditValue(x.key, t.Text(x.key), x.edit, x.inSet);
    // The keys, where the load takes them: each pair of digits becomes one byte.
    if (firmware >= FwEncryptionBits) {
        for (const auto& k : {std::pair<const char*, const QLineEdit*>{"EncryptionKey1", f.TntEdit8},
                              std::pair<const char*, const QLineEdit*>{"EncryptionKey2", f.TntEdit9}})
            CheckEditValue(k.first, t.Text(k.first), k.second, TForm1::IsHexDigit);
    }
    for (int i = 0; i < UserPhoneCount; ++i)
        if (!IsPhoneNumber(t.Text(Indexed("PhoneNr", i))))
            throw tpl::ETemplateValue(Indexed("PhoneNr", i));
    for (int i = 0; i < RemotePhoneCount; ++i)
        if (!IsPhoneNumber(t.Text(Indexed("PGMPhonenumber", i))))
            throw tpl::ETemplateValue(Indexed("PGMPhonenumber", i));
}

// Every value that the load reads as a number, a Boolean or a Contact ID, and every text
// held to a character set, read once before anything is applied: a value that cannot be
// read or that the user could not have entered leaves the window as it was.
void CheckTemplateValues(const TForm1& f, const TTemplateReader& t, int firmware)
{
    CheckTemplateTexts(f, t, firmware);
    for (const char* key : {"CR", "VEQ2CR", "SMSPSTNCR"})
        (void)t.Number(key);
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

// The channel word: the combos and boxes in their order, each followed by its handler.
// A key that the template does not hold (one saved from a module below 2030 holds none)
// keeps its "use key" box as it is.
void ApplyTemplateCR(TForm1& f, std::uint32_t v, int firmware, bool key1, bool key2)
{
    TTCPCRControls c = f.ReadTCPCRControls();
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
    QByteArray port = t.Text("ConnectionString1"), host;
    SplitAt(port, ":", host);
    SetEditText(f.Edit1, host);
    SetEditText(f.TntEdit2, port);
    port = t.Text("ConnectionString2");
    SplitAt(port, ":", host);
    SetEditText(f.Edit5, host);
    SetEditText(f.TntEdit3, port);
    SetEditText(f.Edit2, t.Text("APN"));
    SetEditText(f.Edit3, t.Text("UserName"));
    SetEditText(f.Edit4, t.Text("Password"));
    SetEditText(f.Edit9, t.Text("USBPass"));
    SetEditText(f.Edit6, t.Text("ReserveAccount1"));
    SetEditText(f.Edit11, t.Text("ReserveAccount2"));
    SetEditText(f.Edit8, t.Text("OwnerName"));
    SetEditText(f.Edit13, t.Text("AccessPIN"));

    // Keys that the template does not hold stay as the window has them.
    const bool key1 = t.Has("EncryptionKey1");
    const bool key2 = t.Has("EncryptionKey2");
    ApplyTemplateCR(f, static_cast<std::uint32_t>(t.Number("CR")), firmware, key1, key2);
    ApplyTemplateVEQ2CR(f, static_cast<std::uint32_t>(t.Number("VEQ2CR")));
    if (firmware >= FwEncryptionBits) {
        if (key1)
            SetEditText(f.TntEdit8, t.Text("EncryptionKey1"));
        if (key2)
            SetEditText(f.TntEdit9, t.Text("EncryptionKey2"));
    }

    for (int i = 0; i < UserPhoneCount; ++i) {
        TUserPhoneRecord& u = UserPhones[static_cast<std::size_t>(i)];
        u.PnCR = Low8(t.Number(Indexed("PnCR", i)));
        u.PnAddCR = Low8(t.Number(Indexed("PnAddCR", i)));
        u.PhoneNr = CutToWidth(t.Text(Indexed("PhoneNr", i)), PhoneNumberWidth);
    }
    f.SelectUserNode(0);

    const TSMSPSTNCRControls s = DecodeSMSPSTNCR(static_cast<std::uint32_t>(t.Number("SMSPSTNCR")));
    f.se1->SetValue(s.se1);
    f.SpinEdit2->SetValue(s.SpinEdit2);
    f.TntCheckBox10->setChecked(s.TntCheckBox10);

    for (int i = 0; i < AdditionalSMSTextCount; ++i)
        StoreAdditionalSMSText(i, ModuleBytes(t.Text(Indexed("AdditionalSMS", i))));
    f.FillAdditionalTextEdits();

    for (int i = 0; i < RemotePhoneCount; ++i) {
        TRemotePhoneRecord& p = RemotePhones[static_cast<std::size_t>(i)];
        p.PGMPnCR = Low8(t.Number(Indexed("PGMPnCR", i)));
        p.Number = CutToWidth(t.Text(Indexed("PGMPhonenumber", i)), PhoneNumberWidth);
    }
    f.FillPGMGrid();
    f.ShowPGMRow(0);

    // Names: FDNr 1 zones, 2 modules, 3 users, 4 partitions.
    for (int n = 0; n < ItemNameGroupSize; ++n) {
        StoreItemName(1, n, ModuleBytes(t.Text(Indexed("Zone", n))));
        if (n < ModuleNameCount)
            StoreItemName(2, n, ModuleBytes(t.Text(Indexed("Module", n))));
        StoreItemName(3, n, ModuleBytes(t.Text(Indexed("User", n))));
        if (n < PartitionNameCount)
            StoreItemName(4, n, ModuleBytes(t.Text(Indexed("Partition", n))));
    }
    f.FillNameGrids();

    if (Form2)
        for (int i = 0; i < TForm2::PhraseCount; ++i)
            ModuleText::Set(Form2->PhraseEdit(i), ModuleBytes(t.Text(Indexed("SMSPhrase", i))));
    if (Form3)
        Form3->SetText(t.Text("Help Text"));

    f.TntCheckBox33->setChecked(t.Boolean("HeartBeat Event ID CB"));
    f.TntCheckBox33Click();
    SetEditText(f.TntEdit4, t.Text("HeartBeat Event ID"));

    f.SetAlarmSystemMode(false);

    for (int i = 0; i < InputCount; ++i) {
        TInputRecord& r = InputTable[static_cast<std::size_t>(i)];
        r.CR = Low8(t.Number(Indexed("InputSettingsCR", i)));
        r.Violations = Low8(t.Number(Indexed("Violations", i)));
        r.Sensivity = Low8(t.Number(Indexed("Sensivity", i)));
        r.NoSenseInterval = Low16(t.Number(Indexed("NoSenseInterval", i)));
        r.CID = t.ContactID(Indexed("CID", i));
        r.SMSText = CutToWidth(ModuleBytes(t.Text(Indexed("InputSMSPhrase", i))), SMSTextWidth);
        f.ApplyInputRecord(i);
    }
    f.RefreshInputFunctions();

    for (int i = 0; i < OutputCount; ++i) {
        TOutputRecord& r = OutputTable[static_cast<std::size_t>(i)];
        r.CR = Low8(t.Number(Indexed("OutputSettingsCR", i)));
        r.ImpLength = Low16(t.Number(Indexed("ImpLength", i)));
        f.ApplyOutputRecord(i);
    }
    f.Timer4->start();

    f.TntCheckBox28->setChecked(t.Boolean("SIM PIN CB"));
    f.TntCheckBox28Click();
    SetEditText(f.TntEdit1, t.Text("SIM PIN"));
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
        CheckTemplateValues(*this, t, firmware);
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
    const std::optional<QString> chosen = ui::OpenFileName(QString(), TntOpenDialog1InitialDir, kTemplateFilter, this);
    if (!chosen || chosen->isEmpty())
        return;
    // A load that failed changed nothing: the file is not named, and no texts wait to be
    // written.
    if (!ApplyTemplateFile(*chosen))
        return;
    // The next write-all sends the template's texts too.
    TntLabel4->setText(WithoutFolder(*chosen));
    TemplateLoaded = true;
}

void TForm1::WireTemplateButtons()
{
    connect(TntButton26, &QPushButton::clicked, this, [this] { Guard([this] { TntButton26Click(); }); });
    connect(TntButton27, &QPushButton::clicked, this, [this] { Guard([this] { TntButton27Click(); }); });
    connect(TntButton5, &QPushButton::clicked, this, [this] { Guard([this] { TntButton5Click(); }); });
}
