#include "editor/MainTables.h"

#include "editor/FieldRules.h"

std::array<TUserPhoneRecord, UserPhoneCount> UserPhones;
std::array<TRemotePhoneRecord, RemotePhoneCount> RemotePhones;
std::array<TInputRecord, InputCount> InputTable;
std::array<TOutputRecord, OutputCount> OutputTable;
TItemNameTable ItemNames;
TAdditionalSMSTexts AdditionalSMSTexts;
TModuleStatus ModuleStatus;

bool WizardMode = false;
bool NormalMode = false;
bool ShowPagesAtStart = false;
bool TemplateLoaded = false;
bool Model3mClass = false;
bool ModelVeq3 = false;
bool ModelVeq4mFrom3000 = false;
std::uint8_t BlinkCounter = 0;
std::uint8_t BlinkSelector = 0;
std::uint32_t UIStateBits = 0;

void ResetMainTables()
{
    UserPhones.fill(TUserPhoneRecord{});
    RemotePhones.fill(TRemotePhoneRecord{});
    InputTable.fill(TInputRecord{});
    OutputTable.fill(TOutputRecord{});
    ItemNames.fill(QByteArray());
    AdditionalSMSTexts.fill(QByteArray());
    ModuleStatus = TModuleStatus{};
    WizardMode = false;
    NormalMode = false;
    ShowPagesAtStart = false;
    TemplateLoaded = false;
    Model3mClass = false;
    ModelVeq3 = false;
    ModelVeq4mFrom3000 = false;
    BlinkCounter = 0;
    BlinkSelector = 0;
    UIStateBits = 0;
}

QByteArray CutToWidth(const QByteArray& Text, int Width)
{
    return Text.size() > Width ? Text.left(Width) : Text;
}

namespace {

// The module's width of a field, as the table of value rules gives it.
int ModuleWidth(TField f)
{
    return fields::Rule(f).moduleWidth;
}

} // namespace

bool IsUserIndex(int Idx)
{
    return Idx >= 0 && Idx < UserPhoneCount;
}

bool IsRemotePhoneIndex(int Idx)
{
    return Idx >= 0 && Idx < RemotePhoneCount;
}

bool IsInputIndex(int Idx)
{
    return Idx >= 0 && Idx < InputCount;
}

bool IsOutputIndex(int Idx)
{
    return Idx >= 0 && Idx < OutputCount;
}

bool IsAdditionalTextIndex(int Idx)
{
    return Idx >= 0 && Idx < AdditionalSMSTextCount;
}

int ItemNameIndex(int FDNr, int Idx)
{
    // Group and index are checked separately: name 40 of group 1 is not name 8 of group 2.
    if (FDNr < 1 || FDNr > ItemNameGroupCount || Idx < 0 || Idx >= ItemNameGroupSize)
        return -1;
    return (FDNr - 1) * ItemNameGroupSize + Idx;
}

bool StoreUserPhone(int Idx, std::uint8_t PnCR, const QByteArray& Number)
{
    if (!IsUserIndex(Idx))
        return false;
    UserPhones[Idx].PnCR = PnCR;
    UserPhones[Idx].PhoneNr = CutToWidth(Number, ModuleWidth(TField::UserNumber));
    return true;
}

bool StoreUserAddCR(int Idx, std::uint8_t PnAddCR)
{
    if (!IsUserIndex(Idx))
        return false;
    UserPhones[Idx].PnAddCR = PnAddCR;
    return true;
}

bool StoreRemotePhone(int Idx, std::uint8_t PGMPnCR, const QByteArray& Number)
{
    if (!IsRemotePhoneIndex(Idx))
        return false;
    RemotePhones[Idx].PGMPnCR = PGMPnCR;
    RemotePhones[Idx].Number = CutToWidth(Number, ModuleWidth(TField::OutputNumber));
    return true;
}

bool StoreInputSetting(int Idx, std::uint8_t CR, std::uint8_t Violations,
                       std::uint8_t Sensivity, std::uint16_t NoSenseInterval,
                       const tduomenys& CID)
{
    if (!IsInputIndex(Idx))
        return false;
    TInputRecord& r = InputTable[Idx];
    r.CR = CR;
    r.Violations = Violations;
    r.Sensivity = Sensivity;
    r.NoSenseInterval = NoSenseInterval;
    tduomenys cid(ContactIDLength);
    for (int i = 0; i < ContactIDLength && i < static_cast<int>(CID.size()); ++i)
        cid[i] = CID[i];
    r.CID = std::move(cid);
    return true;
}

bool StoreInputSMSText(int Idx, const QByteArray& Text)
{
    if (!IsInputIndex(Idx))
        return false;
    InputTable[Idx].SMSText = CutToWidth(Text, ModuleWidth(TField::SmsText));
    return true;
}

bool StoreOutputSetting(int Idx, std::uint8_t CR, std::uint16_t ImpLength)
{
    if (!IsOutputIndex(Idx))
        return false;
    OutputTable[Idx].CR = CR;
    OutputTable[Idx].ImpLength = ImpLength;
    return true;
}

bool StoreItemName(int FDNr, int Idx, const QByteArray& Name)
{
    const int i = ItemNameIndex(FDNr, Idx);
    if (i < 0)
        return false;
    ItemNames[i] = Name;
    return true;
}

bool StoreAdditionalSMSText(int Idx, const QByteArray& Text)
{
    if (!IsAdditionalTextIndex(Idx))
        return false;
    AdditionalSMSTexts[Idx] = CutToWidth(Text, ModuleWidth(TField::SmsText));
    return true;
}

const TUserPhoneRecord* UserPhoneAt(int Idx)
{
    return IsUserIndex(Idx) ? &UserPhones[Idx] : nullptr;
}

const TRemotePhoneRecord* RemotePhoneAt(int Idx)
{
    return IsRemotePhoneIndex(Idx) ? &RemotePhones[Idx] : nullptr;
}

const TInputRecord* InputAt(int Idx)
{
    return IsInputIndex(Idx) ? &InputTable[Idx] : nullptr;
}

const TOutputRecord* OutputAt(int Idx)
{
    return IsOutputIndex(Idx) ? &OutputTable[Idx] : nullptr;
}

QByteArray ItemNameAt(int FDNr, int Idx)
{
    const int i = ItemNameIndex(FDNr, Idx);
    return i < 0 ? QByteArray() : ItemNames[i];
}
