#pragma once
// The module's packed words and bytes, and the value forms that differ between what the
// user types and what travels to the module. Everything here works on plain values: the
// main window copies its controls into the structs below (and back), so that each rule
// lives in one place and is tested without a window.
//
// The structs name their fields after the controls that show them.
#include <QByteArray>
#include <QString>
#include <QTime>

#include <array>
#include <cstdint>

// ---- firmware thresholds (FirmwareVersion of the link, compared as integers) ------------
inline constexpr int FwSimPinBox = 1024;        // SIM PIN box and "Limited trouble SMS" shown
inline constexpr int FwAdditionalCR = 1026;     // PnAddCR and heartbeat event ID written
inline constexpr int FwReadOnConnect = 2000;    // clock, model flags, pages and read on connect
inline constexpr int FwEncryptionBits = 2030;   // CR bits 25 and 29, third protocol, AES keys read and written, key template keys
inline constexpr int FwVeq4mFrom3000 = 3000;    // "veq4m" leaves the 3m class

// ---- channel control word (command 0x04, reply 0x84, template key "CR") -----------------
struct TTCPCRControls {
    int ComboBox1Index = 0;        // channel 1 receiver protocol (list index)
    int ComboBox1Count = 0;        //   items in its list (depends on firmware)
    int ComboBox3Index = 0;        // channel 2 receiver protocol
    int ComboBox3Count = 0;
    int ComboBox2Index = 0;        // channel 2: "Not used", "Used", "Reserve"
    int ComboBox4Index = 0;        // channel 1: "Not used", "Used"
    bool TntCheckBox25Checked = false; // channel 1 "Put same to PSTN"
    bool TntCheckBox25Visible = false;
    bool TntCheckBox26Checked = false; // channel 2 "Put same to PSTN"
    bool TntCheckBox26Visible = false;
    int TntComboBox3Index = 0;     // channel 1 transport: 0 "TCP", 1 "UDP"
    int TntComboBox4Index = 0;     // channel 2 transport
    bool TntCheckBox42Checked = false; // channel 1 "Use Encryption Key"
    bool TntCheckBox43Checked = false; // channel 2 "Use Encryption Key"
};

// The bits the window shows for this firmware: the encryption-key bits only from 2030 on.
std::uint32_t TCPCRShownBits(int FirmwareVersion);

// The word from the controls. A hidden "Put same to PSTN" box always sets its bit. Every
// bit the window does not show for this firmware comes from Kept, the word as the module
// sent it (0 where none was read, as for the factory word): the module gets those back
// as they were.
std::uint32_t BuildTCPCR(const TTCPCRControls& C, int FirmwareVersion, std::uint32_t Kept = 0);

// The controls from a word. Reads the item counts and the visibility of the PSTN boxes
// from C and sets the rest; a hidden PSTN box keeps its state. The encryption-key boxes
// are set only when ApplyEncryptionBits is true (always for the module's word; for a
// template only from firmware 2030 on).
void ApplyTCPCR(std::uint32_t W, TTCPCRControls& C, bool ApplyEncryptionBits = true);

// ---- general control word (command 0x0A, reply 0x8A, template key "VEQ2CR") -------------
inline constexpr int HeartbeatPeriodMin = 10;     // SpinEdit3, seconds
inline constexpr int HeartbeatPeriodMax = 65000;
inline constexpr int HeartbeatPeriodDefault = 600;
inline constexpr int ModemRestartMin = 1;         // SpinEdit40, hours
inline constexpr int ModemRestartMax = 8;

struct TVEQ2CRControls {
    bool TntCheckBox3 = false;   // bit 0: password on USB connect
    bool TntCheckBox13 = false;  // bit 2: heartbeat check enabled
    int SpinEdit40 = 1;          // bits 3-5: modem restart every 1..8 hours (stored minus 1)
    bool TntCheckBox28 = false;  // bit 6: use SIM PIN
    bool SimPinWrong = false;    // bit 7: set by the module only; never built
    int SpinEdit3 = HeartbeatPeriodDefault; // bits 8-23: heartbeat period in seconds
    bool TntCheckBox40 = false;  // bit 24: show TCP statistics
    bool TntCheckBox41 = false;  // bit 25: a password protects the GPRS settings
};

// The bits the window shows (bit 7, the module's own warning, is never sent).
inline constexpr std::uint32_t VEQ2CRShownBits = 0x0300'0000u | 0x00FF'FF00u | 0x7Du; // 25-24, 23-8, 6-2, 0
inline constexpr std::uint32_t VEQ2CRSimPinWrong = 1u << 7;

// The module's word (bit 7 never set). Every other bit that no control shows comes from
// Kept, the word as the module (or a template) gave it; 0 where none was read, as for the
// factory word.
std::uint32_t BuildVEQ2CR(const TVEQ2CRControls& C, std::uint32_t Kept = 0);
// The template's word: as the module's, without bit 6 (own key "SIM PIN CB") and bit 25
// (kept in no key).
std::uint32_t BuildTemplateVEQ2CR(const TVEQ2CRControls& C, std::uint32_t Kept = 0);
// Every field from a word; SpinEdit3 and SpinEdit40 as they stand in the word (the spin
// edits themselves keep their range).
TVEQ2CRControls DecodeVEQ2CR(std::uint32_t W);

// ---- SMS/PSTN control word (command 0x0C, reply 0x8C, template key "SMSPSTNCR") ---------
struct TSMSPSTNCRControls {
    bool TntCheckBox27 = false;  // bit 7: limited trouble SMS
    int SpinEdit2 = 1;           // bits 16-18: short call duration 1..8 s (stored minus 1)
    int se1 = 1;                 // bits 19-20: periodic SMS test every 1..4 days (minus 1)
    bool TntCheckBox10 = false;  // bit 30: answer only registered numbers
};
// The bits the window shows.
inline constexpr std::uint32_t SMSPSTNCRShownBits = 0x4000'0000u | 0x001F'0000u | 0x80u; // 30, 20-16, 7
// Bits no control shows come from Kept, as for the general word.
std::uint32_t BuildSMSPSTNCR(const TSMSPSTNCRControls& C, std::uint32_t Kept = 0);
// Without bit 7 (own key "Limited Trouble SMS").
std::uint32_t BuildTemplateSMSPSTNCR(const TSMSPSTNCRControls& C, std::uint32_t Kept = 0);
TSMSPSTNCRControls DecodeSMSPSTNCR(std::uint32_t W);

// ---- operating mode word (command 0x1B) ----------------------------------------------
inline constexpr std::uint32_t CPCRCommunicator = 0; // the only mode the editor writes
inline constexpr std::uint32_t CPCRAlarmSystem = 1;

// ---- user notification byte PnCR -----------------------------------------------------
inline constexpr std::uint8_t PnCRArmingSMS = 0x01;       // TntCheckBox5
inline constexpr std::uint8_t PnCRDisarmingSMS = 0x02;    // TntCheckBox6
inline constexpr std::uint8_t PnCRCallOnAlarm = 0x04;     // TntCheckBox7
inline constexpr std::uint8_t PnCRSmartphone = 0x08;      // TntCheckBox8
inline constexpr std::uint8_t PnCRMandatoryCall = 0x10;   // TntCheckBox22
inline constexpr std::uint8_t PnCRPeriodicSMSTest = 0x20; // TntCheckBox9
inline constexpr std::uint8_t PnCRAlarmSMS = 0x40;        // TntCheckBox23
inline constexpr std::uint8_t PnCRTroubleSMS = 0x80;      // TntCheckBox24

struct TPnCRBoxes {
    bool TntCheckBox5 = false;  // "Arming SMS"
    bool TntCheckBox6 = false;  // "Disarming SMS"
    bool TntCheckBox7 = false;  // "Call on Alarm"
    bool TntCheckBox8 = false;  // "Smartphone"
    bool TntCheckBox22 = false; // "Mandatory Call"
    bool TntCheckBox9 = false;  // "Periodic SMS test"
    bool TntCheckBox23 = false; // "Alarm SMS"
    bool TntCheckBox24 = false; // "Trouble SMS"
};
std::uint8_t BuildPnCR(const TPnCRBoxes& B);
TPnCRBoxes DecodePnCR(std::uint8_t PnCR);

// ---- user additional byte PnAddCR (firmware 1026 on) ---------------------------------
inline constexpr std::uint8_t PnAddCRBypassReports = 0x01;   // TntCheckBox29
inline constexpr std::uint8_t PnAddCRPGMStateReports = 0x02; // TntCheckBox30
inline constexpr std::uint8_t PnAddCRForwardUnknownSMS = 0x04; // TntCheckBox31
inline constexpr std::uint8_t PnAddCRShortCallArm = 0x08;    // TntCheckBox32
inline constexpr std::uint8_t PnAddCRSMSBackup = 0x10;       // TntCheckBox38
inline constexpr std::uint8_t PnAddCRProhibitControl = 0x20; // TntCheckBox39
// The bits that have a box; the others go back as the module sent them.
inline constexpr std::uint8_t PnAddCRBoxBits = 0x3F;

struct TPnAddCRBoxes {
    bool TntCheckBox29 = false; // "Bypass raports"
    bool TntCheckBox30 = false; // "PGM State raports"
    bool TntCheckBox31 = false; // "Forward unknown SMS"
    bool TntCheckBox32 = false; // "Change arm state on short call"
    bool TntCheckBox38 = false; // "SMS backup"
    bool TntCheckBox39 = false; // "Prohibit module control"
};
std::uint8_t BuildPnAddCR(const TPnAddCRBoxes& B);
TPnAddCRBoxes DecodePnAddCR(std::uint8_t PnAddCR);

// ---- output mask of an output-control phone (PGMPnCR) ---------------------------------
// Output i (0..3: OC1, OC2, Relay 1, Relay 2) is 0x80 shifted right by i; 0 for any other i.
std::uint8_t PGMOutputBit(int Output);
std::uint8_t BuildPGMMask(const std::array<bool, 4>& Outputs);
std::array<bool, 4> DecodePGMMask(std::uint8_t Mask);

// ---- input control byte ----------------------------------------------------------------
inline constexpr std::uint8_t InputCR24Hour = 0x20;
inline constexpr std::uint8_t InputCRRestore = 0x40;
inline constexpr int InputSensitivityMinMs = 400;
inline constexpr int InputSensitivityMaxMs = 2500;

struct TInputCRControls {
    int FunctionIndex = 0;   // "Not Used", "Send CID", "Send SMS" (bits 0-2)
    int TypeIndex = 0;       // "NO" 0, "NC" 1 (bit 3)
    bool Box24H = false;     // 0x20
    bool RestoreBox = false; // 0x40
};
// The bits the row shows: function, type, "24H" and "Restore".
inline constexpr std::uint8_t InputCRShownBits = 0x6F;
// Bits 4 and 7, which no control shows, come from Kept (the byte the row was filled from).
std::uint8_t BuildInputCR(const TInputCRControls& C, std::uint8_t Kept = 0);
TInputCRControls DecodeInputCR(std::uint8_t CR);
// The sensitivity spin edit's milliseconds in the module's units of 100 ms, and back.
std::uint8_t SensitivityFromMs(int Ms);
int SensitivityToMs(std::uint8_t Units);

// ---- output control byte ---------------------------------------------------------------
inline constexpr std::uint8_t OutputCRPulse = 0x08;
inline constexpr std::uint8_t OutputCRSirenConfirm = 0x10;
inline constexpr int OutputFunctionHalfSeconds = 5; // the module counts this one's length in half seconds

struct TOutputCRControls {
    int FunctionCode = 0;      // bits 0-2: the code kept with the function combo's item
    bool Pulse = false;        // 0x08: pulse radio button selected
    bool SirenConfirm = false; // 0x10: never set by the editor
};
// The bits a row that offers its function shows: the function and "Pulse".
inline constexpr std::uint8_t OutputCRShownBits = 0x0F;
// The siren bit and the others no control shows come from Kept (the byte the row was
// filled from).
std::uint8_t BuildOutputCR(const TOutputCRControls& C, std::uint8_t Kept = 0);
TOutputCRControls DecodeOutputCR(std::uint8_t CR);
// The seconds that the module's pulse length means. The editor keeps the length as the
// module sent it: a function the page does not offer goes back in its own units.
std::uint16_t ImpLengthFromModule(std::uint8_t CR, std::uint16_t ImpLength);

// ---- access PIN (command 0x14, reply 0x94) ---------------------------------------------
inline constexpr int AccessPINMinLength = 4;
inline constexpr int AccessPINMaxLength = 8;
// One decimal digit per nibble from the top, 0xF below the last; at most 8 digits are
// packed (a longer text keeps its first 8). An empty PIN gives 0xFFFFFFFF. A character
// that is not a decimal digit throws EConvertError.
std::uint32_t AccessPINToWord(const QByteArray& PIN);
// The word as 8 upper-case hexadecimal digits, up to the first "F".
QByteArray AccessPINFromWord(std::uint32_t W);

// ---- heartbeat event ID (command 0x19, reply 0x99; firmware 1026 on) -------------------
inline constexpr char HeartbeatIdDefault[] = "602";
// The 12-bit ID from the edit's first three characters, each one hexadecimal digit; a
// missing or non-hexadecimal character counts as 0. The box travels as the packet's
// flag (bit 7 of its first byte). Bits 12-14, which no control shows, come from Kept,
// the value as the module sent it (0 where none was read, as for the factory value).
inline constexpr std::uint16_t HeartbeatHiddenBits = 0x7000;
std::uint16_t HeartbeatIdFromText(const QByteArray& Text, std::uint16_t Kept = 0);
struct THeartbeatControls {
    bool TntCheckBox33 = false;              // "HeartBeat Event ID:" (bit 15)
    QByteArray TntEdit4 = HeartbeatIdDefault; // 3 upper-case hexadecimal digits
};
// Bits 12-14 are not shown.
THeartbeatControls DecodeHeartbeat(std::uint16_t Data);

// ---- AES-128 keys (command 0x1C, reply 0x9C; read and written from firmware 2030 on) -----
inline constexpr int AESKeyBytes = 16;
// 32 hexadecimal digits (padded on the right with "0", cut to 32) as 16 bytes. A pair
// that is not hexadecimal throws EHexError("Ne HEX " + pair).
QByteArray HexKeyToBytes(const QByteArray& Key);
// The key as always 32 upper-case hexadecimal digits: two per byte of the first 16
// bytes, "00" for each byte the key lacks.
QByteArray BytesToHexKey(const QByteArray& Bytes);

// ---- host and port (commands 0x00 and 0x05, replies 0x80 and 0x85) ----------------------
// The host, then ":" and the port only when the port is not empty.
QByteArray JoinHostPort(const QByteArray& Host, const QByteArray& Port);
// Split at the first ":": the head is the host; the rest is the port when it is digits
// only and shorter than 6 characters, else the port is empty.
void SplitHostPort(const QByteArray& Text, QByteArray& Host, QByteArray& Port);

// ---- account numbers (command 0x08, reply 0x88) ----------------------------------------
inline constexpr int AccountWidth = 4;
// Index 0 is channel 1 (Edit11); any other index channel 2 (Edit6). The same rule puts
// key 0 into TntEdit8 and any other key into TntEdit9.
inline bool IsChannel1Index(int Idx) { return Idx == 0; }

// ---- times (16-bit seconds on the wire, hour:minute:second on the pages) ----------------
// Whole seconds of the time of day; milliseconds dropped; an invalid time is 0.
int TimeToSeconds(const QTime& T);
// The time of day of S seconds (65535 is 18:12:15); S is held inside 0..86399.
QTime SecondsToTime(int S);
inline constexpr int NoSenseIntervalMax = 65535;

// ---- model flags from the connected module ----------------------------------------------
struct TModelFlags {
    bool Model3mClass = false;
    bool ModelVeq3 = false;
    bool ModelVeq4mFrom3000 = false;
};
// From the product name (compared in lower case) and the firmware version.
TModelFlags ModelFlagsFor(const QString& ProductName, int FirmwareVersion);
