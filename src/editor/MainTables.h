#pragma once
// The module's configuration that has no single control of its own, held in fixed
// tables, and the flags that say how the main window works. These are the globals of
// the main window's unit: zero at program start, touched only on the GUI thread.
//
// Texts are 8-bit. Element names, input SMS texts and additional SMS texts are the
// module's bytes, in its own character set, whatever language is current: the pages show
// them decoded and encode what the user types (lang/SmsCharset.h). A field that the module
// keeps in a fixed width (15 characters for phone numbers, 50 for SMS texts) never holds
// more: the Store/Set routines below cut longer texts.
//
// Every index that arrives from the module is checked before a table is written: the
// Store routines ignore (and report false for) an index outside the table.
#include "link/mytypes.h"

#include <QByteArray>
#include <QStringList>

#include <array>
#include <cstdint>

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QTimeEdit;
class QWidget;
class TSpinEdit;

// ---- sizes -----------------------------------------------------------------------------
inline constexpr int UserPhoneCount = 10;
inline constexpr int RemotePhoneCount = 50;
inline constexpr int RemotePhonesOnModule = 32; // entries 0..31 travel to and from the module
inline constexpr int InputCount = 6;
inline constexpr int OutputCount = 4;
inline constexpr int ItemNameGroupCount = 4;    // FDNr 1 zones, 2 modules, 3 users, 4 partitions
inline constexpr int ItemNameGroupSize = 32;
inline constexpr int ItemNameCount = ItemNameGroupCount * ItemNameGroupSize;
inline constexpr int AdditionalSMSTextCount = 2;
inline constexpr int ContactIDLength = 5;

inline constexpr int PhoneNumberWidth = 15;
inline constexpr int SMSTextWidth = 50;

// Names used per group (the module keeps 32 of each).
inline constexpr int ZoneNameCount = 32;
inline constexpr int ModuleNameCount = 16;
inline constexpr int UserNameCount = 32;
inline constexpr int PartitionNameCount = 8;

// ---- records ---------------------------------------------------------------------------

// One user phone: index 0..9 = user 1..10. An empty number means no user in the slot.
struct TUserPhoneRecord {
    QByteArray PhoneNr;       // at most 15 characters
    std::uint8_t PnCR = 0;    // TPnCRFlags
    std::uint8_t PnAddCR = 0; // TPnAddCRFlags
};

// One phone allowed to drive outputs from a distance; an empty number is a free slot.
struct TRemotePhoneRecord {
    QByteArray Number;        // at most 15 characters
    std::uint8_t PGMPnCR = 0; // TPGMPnCRMask
};

// The controls of one input row on the inputs page, set once when the main window builds
// the page; null until then.
struct TInputRowControls {
    QFrame* CIDPanel = nullptr;
    QFrame* NamePanel = nullptr;
    QFrame* ParamPanel = nullptr;
    QComboBox* FunctionCombo = nullptr;     // ComboBox5 for input 1
    QStringList FunctionItems;              // the row's own list, filled at start-up
    QComboBox* TypeCombo = nullptr;         // NO / NC (ComboBox12 for input 1)
    TSpinEdit* SensitivitySpin = nullptr;   // in ms
    TSpinEdit* ViolationsSpin = nullptr;    // hidden
    TSpinEdit* FurtherSpin = nullptr;
    std::array<QLabel*, 5> Labels{};
    std::array<QLabel*, 6> MoreLabels{};
    QCheckBox* RestoreBox = nullptr;        // "Restore" (TntCheckBox16 for input 1)
    QFrame* ContactIDPanel = nullptr;
    QComboBox* QualifierCombo = nullptr;    // "1" / "3"
    QLineEdit* EventCodeEdit = nullptr;
    TSpinEdit* GroupSpin = nullptr;
    TSpinEdit* ZoneSpin = nullptr;
    QLabel* HintLabel = nullptr;
    QComboBox* CIDFunctionCombo = nullptr;
    QLineEdit* NameEdit = nullptr;
    QWidget* CIDParamTree = nullptr;
    QGroupBox* RowGroupBox = nullptr;
    QTimeEdit* NoSenseTimePicker = nullptr;
    QCheckBox* Box24H = nullptr;            // "24H" (TntCheckBox44 for input 1)
};

// One input: index 0..5 = input 1..6.
struct TInputRecord {
    QByteArray SMSText;                // at most 50 characters, the module's bytes
    std::uint8_t CR = 0;               // TInputCRFlags
    std::uint8_t Violations = 0;
    std::uint8_t Sensivity = 0;        // units of 100 ms
    std::uint16_t NoSenseInterval = 0; // seconds
    tduomenys CID;                     // TContactIDCode, 5 bytes once set (empty at start)
    TInputRowControls Row;
};

// The controls of one output row on the outputs page; null until the page is built.
struct TOutputRowControls {
    QComboBox* FunctionCombo = nullptr;
    QStringList FunctionItems;
    QRadioButton* PulseRadio = nullptr;
    QRadioButton* SecondRadio = nullptr;
    TSpinEdit* Spin = nullptr;
    std::array<QLabel*, 3> Labels{};
    QLineEdit* NameEdit = nullptr;
    QCheckBox* SirenBox = nullptr;
    QGroupBox* RowGroupBox = nullptr;
    QLabel* Label = nullptr;
    QTimeEdit* DurationPicker = nullptr;
};

// One output: index 0..3 = output 1..4.
struct TOutputRecord {
    std::uint8_t CR = 0;         // TOutputCRFlags
    std::uint16_t ImpLength = 0; // seconds, as the editor holds it
    TOutputRowControls Row;
};

// The 128 element names: group g (0..3) is the module's FDNr g + 1, name i of group g
// is entry g * 32 + i.
using TItemNameTable = std::array<QByteArray, ItemNameCount>;

using TAdditionalSMSTexts = std::array<QByteArray, AdditionalSMSTextCount>;

// The last live-state values, kept for the prefix of each traffic-log line.
struct TModuleStatus {
    std::uint16_t TCPSR = 0;
    std::uint8_t ModemCR = 0;
    std::uint8_t ModemSR = 0;
    std::uint8_t ModemFlags = 0;
};

// ---- the tables ------------------------------------------------------------------------
extern std::array<TUserPhoneRecord, UserPhoneCount> UserPhones;
extern std::array<TRemotePhoneRecord, RemotePhoneCount> RemotePhones;
extern std::array<TInputRecord, InputCount> InputTable;
extern std::array<TOutputRecord, OutputCount> OutputTable;
extern TItemNameTable ItemNames;
extern TAdditionalSMSTexts AdditionalSMSTexts;
extern TModuleStatus ModuleStatus;

// ---- flags and window state --------------------------------------------------------------
extern bool WizardMode;         // guided wizard (true) or manual configuration
extern bool NormalMode;         // false only in the service mode
extern bool ShowPagesAtStart;   // pages shown before a module is connected
extern bool TemplateLoaded;     // a template's texts still have to be written
extern bool Model3mClass;       // "veq3m", or "veq4m" below firmware 3000
extern bool ModelVeq3;          // product name contains "veq3" ("veq3m" too)
extern bool ModelVeq4mFrom3000; // "veq4m" with firmware 3000 or later
extern std::uint8_t BlinkCounter;  // ticks of the current attention blink
extern std::uint8_t BlinkSelector; // 1 "SMS backup", 2 "Alarm SMS", 3 both ("Communicator")
extern std::uint32_t UIStateBits;

// Bits of UIStateBits.
inline constexpr std::uint32_t UIStateEscPressed = 2;      // Esc pressed; the wizard's Cancel tests it
inline constexpr std::uint32_t UIStateApplyGPRSLock = 4;   // apply the GPRS-settings lock once after connect

// Every table and flag back to its state at program start (empty texts, zero bytes, no
// Contact IDs, false flags). Row control references and their lists are cleared too.
void ResetMainTables();

// ---- checked access --------------------------------------------------------------------
// Each Store routine writes one entry when its index lies inside the table and returns
// true; an index outside the table (which the module should never send) changes nothing
// and returns false. Texts are cut to their field width.

bool IsUserIndex(int Idx);
bool IsRemotePhoneIndex(int Idx);
bool IsInputIndex(int Idx);
bool IsOutputIndex(int Idx);
bool IsAdditionalTextIndex(int Idx);
// The entry of name Idx in group FDNr (1..4), or -1 when either lies outside the table.
int ItemNameIndex(int FDNr, int Idx);

// Reply 0x8B: the user's number and notification flags.
bool StoreUserPhone(int Idx, std::uint8_t PnCR, const QByteArray& Number);
// Reply 0x9A: the user's additional flags.
bool StoreUserAddCR(int Idx, std::uint8_t PnAddCR);
// Reply 0x91: an output-control phone with its output mask.
bool StoreRemotePhone(int Idx, std::uint8_t PGMPnCR, const QByteArray& Number);
// Reply 0x8F: an input's settings; the Contact ID is copied into a new 5-byte array
// (shorter data is filled with 0, longer data cut).
bool StoreInputSetting(int Idx, std::uint8_t CR, std::uint8_t Violations,
                       std::uint8_t Sensivity, std::uint16_t NoSenseInterval,
                       const tduomenys& CID);
// Reply 0x93: an input's SMS text (the module's bytes).
bool StoreInputSMSText(int Idx, const QByteArray& Text);
// Reply 0x92: an output's control byte and pulse length (already in seconds).
bool StoreOutputSetting(int Idx, std::uint8_t CR, std::uint16_t ImpLength);
// Reply 0x90: name Idx of group FDNr (the module's bytes).
bool StoreItemName(int FDNr, int Idx, const QByteArray& Name);
// Reply 0x96: an additional SMS text (the module's bytes).
bool StoreAdditionalSMSText(int Idx, const QByteArray& Text);

// Read access that never leaves the table: nullptr outside it.
const TUserPhoneRecord* UserPhoneAt(int Idx);
const TRemotePhoneRecord* RemotePhoneAt(int Idx);
const TInputRecord* InputAt(int Idx);
const TOutputRecord* OutputAt(int Idx);
// The name, or an empty text outside the table.
QByteArray ItemNameAt(int FDNr, int Idx);

// A text cut to a field width (the fixed-width fields of the tables).
QByteArray CutToWidth(const QByteArray& Text, int Width);
