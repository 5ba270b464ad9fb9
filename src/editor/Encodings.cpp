#include "editor/Encodings.h"

#include "link/UnitEil.h"
#include "link/VEQ2_Packets.h"

namespace {

// A list index as a non-negative field value (no selection counts as the first item),
// kept inside the field's bits so that it can never spill into its neighbours.
std::uint32_t Field(int value, std::uint32_t mask)
{
    return value < 0 ? 0u : static_cast<std::uint32_t>(value) & mask;
}

// A protocol code 1..Count selects that item; 0 or anything past the list the first.
int ProtocolIndex(std::uint32_t code, int count)
{
    return (code >= 1 && static_cast<int>(code) <= count) ? static_cast<int>(code) - 1 : 0;
}

bool Bit(std::uint32_t w, int bit)
{
    return ((w >> bit) & 1u) != 0;
}

std::uint32_t If(bool on, std::uint32_t mask)
{
    return on ? mask : 0u;
}

} // namespace

// ---- channel control word ----------------------------------------------------------------

std::uint32_t TCPCRShownBits(int FirmwareVersion)
{
    std::uint32_t shown = 0xFFu | 0x300u | 1u << 11 | 1u << 12 | 1u << 13 | 1u << 24 | 1u << 28;
    if (FirmwareVersion >= FwEncryptionBits)
        shown |= 1u << 25 | 1u << 29;
    return shown;
}

std::uint32_t BuildTCPCR(const TTCPCRControls& C, int FirmwareVersion, std::uint32_t Kept)
{
    std::uint32_t w = 0;
    w |= Field(C.ComboBox1Index + 1, 0xF);
    w |= Field(C.ComboBox3Index + 1, 0xF) << 4;
    const int mode = C.ComboBox2Index;
    w |= Field(mode, 0x3) << 8;
    if (mode == 2)
        w |= 1u << 8; // "Reserve" travels as 3
    w |= If(C.ComboBox4Index > 0, 1u << 11);
    w |= If(C.TntCheckBox25Checked || !C.TntCheckBox25Visible, 1u << 12);
    w |= If(C.TntCheckBox26Checked || !C.TntCheckBox26Visible, 1u << 13);
    w |= Field(C.TntComboBox3Index, 0x1) << 24;
    w |= Field(C.TntComboBox4Index, 0x1) << 28;
    if (FirmwareVersion >= FwEncryptionBits) {
        w |= If(C.TntCheckBox42Checked, 1u << 25);
        w |= If(C.TntCheckBox43Checked, 1u << 29);
    }
    return w | (Kept & ~TCPCRShownBits(FirmwareVersion));
}

void ApplyTCPCR(std::uint32_t W, TTCPCRControls& C, bool ApplyEncryptionBits)
{
    C.ComboBox4Index = Bit(W, 11) ? 1 : 0;
    const std::uint32_t mode = (W >> 8) & 3u;
    C.ComboBox2Index = mode >= 2 ? 2 : static_cast<int>(mode);
    C.ComboBox1Index = ProtocolIndex(W & 0xFu, C.ComboBox1Count);
    C.ComboBox3Index = ProtocolIndex((W >> 4) & 0xFu, C.ComboBox3Count);
    if (ApplyEncryptionBits) {
        C.TntCheckBox42Checked = Bit(W, 25);
        C.TntCheckBox43Checked = Bit(W, 29);
    }
    if (C.TntCheckBox25Visible)
        C.TntCheckBox25Checked = Bit(W, 12);
    if (C.TntCheckBox26Visible)
        C.TntCheckBox26Checked = Bit(W, 13);
    C.TntComboBox3Index = Bit(W, 24) ? 1 : 0;
    C.TntComboBox4Index = Bit(W, 28) ? 1 : 0;
}

// ---- general control word ----------------------------------------------------------------

std::uint32_t BuildVEQ2CR(const TVEQ2CRControls& C, std::uint32_t Kept)
{
    std::uint32_t w = 0;
    w |= If(C.TntCheckBox3, 1u << 0);
    w |= If(C.TntCheckBox13, 1u << 2);
    w |= static_cast<std::uint32_t>((C.SpinEdit40 - 1) & 7) << 3;
    w |= If(C.TntCheckBox28, 1u << 6);
    w |= Field(C.SpinEdit3, 0xFFFF) << 8;
    w |= If(C.TntCheckBox40, 1u << 24);
    w |= If(C.TntCheckBox41, 1u << 25);
    return w | (Kept & ~(VEQ2CRShownBits | VEQ2CRSimPinWrong));
}

std::uint32_t BuildTemplateVEQ2CR(const TVEQ2CRControls& C, std::uint32_t Kept)
{
    return BuildVEQ2CR(C, Kept) & ~(1u << 6 | 1u << 25);
}

TVEQ2CRControls DecodeVEQ2CR(std::uint32_t W)
{
    TVEQ2CRControls c;
    c.TntCheckBox3 = Bit(W, 0);
    c.TntCheckBox13 = Bit(W, 2);
    c.SpinEdit40 = static_cast<int>((W >> 3) & 7u) + 1;
    c.TntCheckBox28 = Bit(W, 6);
    c.SimPinWrong = Bit(W, 7);
    c.SpinEdit3 = static_cast<int>((W >> 8) & 0xFFFFu);
    c.TntCheckBox40 = Bit(W, 24);
    c.TntCheckBox41 = Bit(W, 25);
    return c;
}

// ---- SMS/PSTN control word ---------------------------------------------------------------

std::uint32_t BuildSMSPSTNCR(const TSMSPSTNCRControls& C, std::uint32_t Kept)
{
    std::uint32_t w = 0;
    w |= If(C.TntCheckBox10, 1u << 30);
    w |= static_cast<std::uint32_t>((C.se1 - 1) & 3) << 19;
    w |= static_cast<std::uint32_t>((C.SpinEdit2 - 1) & 7) << 16;
    w |= If(C.TntCheckBox27, 1u << 7);
    return w | (Kept & ~SMSPSTNCRShownBits);
}

std::uint32_t BuildTemplateSMSPSTNCR(const TSMSPSTNCRControls& C, std::uint32_t Kept)
{
    return BuildSMSPSTNCR(C, Kept) & ~(1u << 7);
}

TSMSPSTNCRControls DecodeSMSPSTNCR(std::uint32_t W)
{
    TSMSPSTNCRControls c;
    c.se1 = static_cast<int>((W >> 19) & 3u) + 1;
    c.SpinEdit2 = static_cast<int>((W >> 16) & 7u) + 1;
    c.TntCheckBox10 = Bit(W, 30);
    c.TntCheckBox27 = Bit(W, 7);
    return c;
}

// ---- user flag bytes -----------------------------------------------------------------------

std::uint8_t BuildPnCR(const TPnCRBoxes& B)
{
    return static_cast<std::uint8_t>(
        If(B.TntCheckBox5, PnCRArmingSMS) | If(B.TntCheckBox6, PnCRDisarmingSMS)
        | If(B.TntCheckBox7, PnCRCallOnAlarm) | If(B.TntCheckBox8, PnCRSmartphone)
        | If(B.TntCheckBox22, PnCRMandatoryCall) | If(B.TntCheckBox9, PnCRPeriodicSMSTest)
        | If(B.TntCheckBox23, PnCRAlarmSMS) | If(B.TntCheckBox24, PnCRTroubleSMS));
}

TPnCRBoxes DecodePnCR(std::uint8_t PnCR)
{
    TPnCRBoxes b;
    b.TntCheckBox5 = (PnCR & PnCRArmingSMS) != 0;
    b.TntCheckBox6 = (PnCR & PnCRDisarmingSMS) != 0;
    b.TntCheckBox7 = (PnCR & PnCRCallOnAlarm) != 0;
    b.TntCheckBox8 = (PnCR & PnCRSmartphone) != 0;
    b.TntCheckBox22 = (PnCR & PnCRMandatoryCall) != 0;
    b.TntCheckBox9 = (PnCR & PnCRPeriodicSMSTest) != 0;
    b.TntCheckBox23 = (PnCR & PnCRAlarmSMS) != 0;
    b.TntCheckBox24 = (PnCR & PnCRTroubleSMS) != 0;
    return b;
}

std::uint8_t BuildPnAddCR(const TPnAddCRBoxes& B)
{
    return static_cast<std::uint8_t>(
        If(B.TntCheckBox29, PnAddCRBypassReports) | If(B.TntCheckBox30, PnAddCRPGMStateReports)
        | If(B.TntCheckBox31, PnAddCRForwardUnknownSMS) | If(B.TntCheckBox32, PnAddCRShortCallArm)
        | If(B.TntCheckBox38, PnAddCRSMSBackup) | If(B.TntCheckBox39, PnAddCRProhibitControl));
}

TPnAddCRBoxes DecodePnAddCR(std::uint8_t PnAddCR)
{
    TPnAddCRBoxes b;
    b.TntCheckBox29 = (PnAddCR & PnAddCRBypassReports) != 0;
    b.TntCheckBox30 = (PnAddCR & PnAddCRPGMStateReports) != 0;
    b.TntCheckBox31 = (PnAddCR & PnAddCRForwardUnknownSMS) != 0;
    b.TntCheckBox32 = (PnAddCR & PnAddCRShortCallArm) != 0;
    b.TntCheckBox38 = (PnAddCR & PnAddCRSMSBackup) != 0;
    b.TntCheckBox39 = (PnAddCR & PnAddCRProhibitControl) != 0;
    return b;
}

// ---- output mask ---------------------------------------------------------------------------

std::uint8_t PGMOutputBit(int Output)
{
    return (Output >= 0 && Output < 4) ? static_cast<std::uint8_t>(0x80 >> Output) : 0;
}

std::uint8_t BuildPGMMask(const std::array<bool, 4>& Outputs)
{
    std::uint8_t m = 0;
    for (int i = 0; i < 4; ++i)
        if (Outputs[i])
            m |= PGMOutputBit(i);
    return m;
}

std::array<bool, 4> DecodePGMMask(std::uint8_t Mask)
{
    std::array<bool, 4> o{};
    for (int i = 0; i < 4; ++i)
        o[i] = (Mask & PGMOutputBit(i)) != 0;
    return o;
}

// ---- input and output control bytes -----------------------------------------------------

std::uint8_t BuildInputCR(const TInputCRControls& C, std::uint8_t Kept)
{
    return static_cast<std::uint8_t>(Field(C.FunctionIndex, 7) | (Field(C.TypeIndex, 1) << 3)
                                     | If(C.Box24H, InputCR24Hour)
                                     | If(C.RestoreBox, InputCRRestore)
                                     | (Kept & ~InputCRShownBits));
}

TInputCRControls DecodeInputCR(std::uint8_t CR)
{
    TInputCRControls c;
    c.FunctionIndex = CR & 7;
    c.TypeIndex = (CR >> 3) & 1;
    c.Box24H = (CR & InputCR24Hour) != 0;
    c.RestoreBox = (CR & InputCRRestore) != 0;
    return c;
}

std::uint8_t SensitivityFromMs(int Ms)
{
    const int units = Ms < 0 ? 0 : Ms / 100;
    return static_cast<std::uint8_t>(units > 255 ? 255 : units);
}

int SensitivityToMs(std::uint8_t Units)
{
    return Units * 100;
}

std::uint8_t BuildOutputCR(const TOutputCRControls& C, std::uint8_t Kept)
{
    return static_cast<std::uint8_t>(Field(C.FunctionCode, 7) | If(C.Pulse, OutputCRPulse)
                                     | If(C.SirenConfirm, OutputCRSirenConfirm)
                                     | (Kept & ~OutputCRShownBits));
}

TOutputCRControls DecodeOutputCR(std::uint8_t CR)
{
    TOutputCRControls c;
    c.FunctionCode = CR & 7;
    c.Pulse = (CR & OutputCRPulse) != 0;
    c.SirenConfirm = (CR & OutputCRSirenConfirm) != 0;
    return c;
}

std::uint16_t ImpLengthFromModule(std::uint8_t CR, std::uint16_t ImpLength)
{
    return (CR & 7) == OutputFunctionHalfSeconds ? static_cast<std::uint16_t>(ImpLength >> 1)
                                                 : ImpLength;
}

// ---- access PIN --------------------------------------------------------------------------

std::uint32_t AccessPINToWord(const QByteArray& PIN)
{
    // The link packs the word for its command; one rule for both.
    return packets::AccessPINWord(PIN);
}

QByteArray AccessPINFromWord(std::uint32_t W)
{
    const QByteArray hex = QByteArray::number(W, 16).toUpper().rightJustified(8, '0');
    const qsizetype f = hex.indexOf('F');
    return f < 0 ? hex : hex.left(f);
}

// ---- heartbeat event ID ------------------------------------------------------------------

std::uint16_t HeartbeatIdFromText(const QByteArray& Text, std::uint16_t Kept)
{
    std::uint16_t id = 0;
    for (int k = 0; k < 3; ++k) {
        int d = 0;
        if (k < Text.size()) {
            try {
                d = HexToInt(Text.mid(k, 1));
            } catch (const EHexError&) {
                d = 0;
            }
        }
        id = static_cast<std::uint16_t>(id | ((d & 0xF) << (8 - 4 * k)));
    }
    return static_cast<std::uint16_t>(id | (Kept & HeartbeatHiddenBits));
}

THeartbeatControls DecodeHeartbeat(std::uint16_t Data)
{
    THeartbeatControls c;
    c.TntCheckBox33 = (Data & 0x8000u) != 0;
    static const char digits[] = "0123456789ABCDEF";
    c.TntEdit4 = QByteArray(1, digits[(Data >> 8) & 0xF]) + digits[(Data >> 4) & 0xF]
                 + digits[Data & 0xF];
    return c;
}

// ---- AES keys ------------------------------------------------------------------------------

QByteArray HexKeyToBytes(const QByteArray& Key)
{
    const QByteArray text = Key.leftJustified(2 * AESKeyBytes, '0', true);
    QByteArray bytes;
    bytes.reserve(AESKeyBytes);
    for (int i = 0; i < AESKeyBytes; ++i)
        bytes.append(static_cast<char>(HexToInt(text.mid(2 * i, 2)) & 0xFF));
    return bytes;
}

QByteArray BytesToHexKey(const QByteArray& Bytes)
{
    static const char digits[] = "0123456789ABCDEF";
    QByteArray hex;
    hex.reserve(2 * AESKeyBytes);
    for (int i = 0; i < AESKeyBytes; ++i) {
        const unsigned b = i < Bytes.size() ? static_cast<unsigned char>(Bytes[i]) : 0u;
        hex.append(digits[b >> 4]).append(digits[b & 0xF]);
    }
    return hex;
}

// ---- host and port -----------------------------------------------------------------------

QByteArray JoinHostPort(const QByteArray& Host, const QByteArray& Port)
{
    return Port.isEmpty() ? Host : Host + ':' + Port;
}

void SplitHostPort(const QByteArray& Text, QByteArray& Host, QByteArray& Port)
{
    QByteArray rest = Text;
    SplitAt(rest, QByteArrayLiteral(":"), Host);
    bool digitsOnly = true;
    for (char c : rest)
        if (c < '0' || c > '9')
            digitsOnly = false;
    Port = (digitsOnly && rest.size() < 6) ? rest : QByteArray();
}

// ---- times -----------------------------------------------------------------------------------

int TimeToSeconds(const QTime& T)
{
    if (!T.isValid())
        return 0;
    return T.hour() * 3600 + T.minute() * 60 + T.second();
}

QTime SecondsToTime(int S)
{
    const int s = S < 0 ? 0 : (S > 86399 ? 86399 : S);
    const int hours = s / 3600;
    const int minutes = s / 60 - 60 * hours;
    const int seconds = s - 3600 * hours - 60 * minutes;
    return QTime(hours, minutes, seconds);
}

// ---- model flags -------------------------------------------------------------------------------

TModelFlags ModelFlagsFor(const QString& ProductName, int FirmwareVersion)
{
    const QString name = ProductName.toLower();
    const bool veq4m = name.contains(QLatin1String("veq4m"));
    TModelFlags f;
    f.Model3mClass = name.contains(QLatin1String("veq3m"))
                     || (veq4m && FirmwareVersion < FwVeq4mFrom3000);
    f.ModelVeq3 = name.contains(QLatin1String("veq3"));
    f.ModelVeq4mFrom3000 = veq4m && FirmwareVersion >= FwVeq4mFrom3000;
    return f;
}
