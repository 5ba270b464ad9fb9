#pragma once
// The module's wire protocol: one 63-byte command packet per setting, and the decoding
// of the input reports (status byte, reply record, state and traffic record).
// Every builder here is a pure function; TVEQ2 hands its result to TVEQ2::Send.
#include "link/mytypes.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <stdexcept>

// Length of every command packet (the output report is the report ID 0 plus these).
inline constexpr int VEQ2_PACKET_LENGTH = 63;

// Raised when an access PIN holds a character that is not a decimal digit.
class EConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

namespace packets {

// ---- commands ------------------------------------------------------------------------
// Texts are 8-bit, filled with spaces to the field width and cut to it (the reserve
// account is filled with "0", the AES key with 0 bytes). Numbers go big-endian.
tduomenys SendConnectionString(const QByteArray& S);            // 0x00
tduomenys SendAPN(const QByteArray& S);                         // 0x01
tduomenys SendUserName(const QByteArray& S);                    // 0x02
tduomenys SendPassword(const QByteArray& S);                    // 0x03
tduomenys SendTCPCR(std::uint32_t W);                           // 0x04
tduomenys SendConnectionString2(const QByteArray& S);           // 0x05
tduomenys SendUSBPassword(const QByteArray& S);                 // 0x07
tduomenys SendReserveAccount(std::uint8_t Idx, const QByteArray& S); // 0x08
tduomenys SendOwnerName(const QByteArray& S);                   // 0x09
tduomenys SendVEQ2CR(std::uint32_t W);                          // 0x0A
tduomenys SendPhoneNumber(std::uint8_t Idx, std::uint8_t CR, const QByteArray& S); // 0x0B
tduomenys SendSMSPSTNCR(std::uint32_t W);                       // 0x0C
tduomenys SendSMSPhrase(std::uint8_t Idx, const QByteArray& S); // 0x0D
tduomenys SendHelpText(std::uint8_t Idx, const QByteArray& S);  // 0x0E
tduomenys SendInputSetting(std::uint8_t Idx, std::uint8_t CR, std::uint8_t Violations,
                           std::uint8_t Sensivity, std::uint16_t NoSenseInterval,
                           const tduomenys& CID);               // 0x0F
tduomenys SendItemName(std::uint8_t FDNr, std::uint8_t Idx, const QByteArray& S); // 0x10
tduomenys SendPGMPhoneNumber(std::uint8_t Idx, std::uint8_t CR, const QByteArray& S); // 0x11
tduomenys SendOutputSetting(std::uint8_t Idx, std::uint8_t CR, std::uint16_t ImpLength); // 0x12
tduomenys SendInputSMSText(std::uint8_t Idx, const QByteArray& S); // 0x13
// Throws EConvertError when S holds anything but decimal digits.
tduomenys SendAccessPIN(const QByteArray& S);                   // 0x14
tduomenys SendSMSBackupPhoneNumber(std::uint8_t Idx, const QByteArray& S); // 0x15
tduomenys SendAdditionalSMSText(std::uint8_t Idx, const QByteArray& S); // 0x16
tduomenys SendSIMpin(const QByteArray& S);                      // 0x18
tduomenys SendHeartBeatEventId(bool Flag, std::uint16_t Id);    // 0x19
tduomenys SendPhoneNumberAdditionalCR(std::uint8_t Idx, std::uint8_t CR); // 0x1A
tduomenys SendCPCR(std::uint32_t W);                            // 0x1B
tduomenys SendAES128Key(std::uint8_t Idx, const QByteArray& S); // 0x1C
tduomenys SendBatchEnd(bool Flag);                              // 0x41 / 0x40
tduomenys SendLogin(const QByteArray& S);                       // 0x42
tduomenys SendHour(int Hour);                                   // 0x43

// The access PIN as the module's word: one digit per nibble from the top, 0xF below.
// Throws EConvertError for a character other than 0-9 and A-E.
std::uint32_t AccessPINWord(const QByteArray& S);

// ---- read requests -------------------------------------------------------------------
tduomenys ReadConnectionString();                               // 0x80
tduomenys ReadUSBPassword();                                    // 0x87
tduomenys ReadSMSPhrase(std::uint8_t Idx);                      // 0x8D
tduomenys ReadHelpText(std::uint8_t Idx);                       // 0x8E
tduomenys ReadInputSetting(std::uint8_t Idx);                   // 0x8F
tduomenys ReadItemName(std::uint8_t FDNr, std::uint8_t Idx);    // 0x90
tduomenys ReadPGMPhoneNumber(std::uint8_t Idx);                 // 0x91
tduomenys ReadOutputSetting(std::uint8_t Idx);                  // 0x92
tduomenys ReadAdditionalSMSText(std::uint8_t Idx);              // 0x96
tduomenys SendReadRequest(std::uint8_t Code, std::uint8_t Idx, std::uint8_t Sub);

// ---- input reports -------------------------------------------------------------------
// Byte 0 of every input report (the report ID is not part of the data).
struct TStatusFlags {
    bool Busy = false;             // bit 7
    bool Error = false;            // bit 6
    bool Monitoring = false;       // bit 5: bytes 1 onward hold a state record
    bool PasswordRequired = false; // bit 4
    bool GPRSLocked = false;       // bit 2
    int ReplySeq = 0;              // bits 1-0
};
TStatusFlags DecodeStatus(std::uint8_t status);

// Which event a reply raises, by the shape of its arguments.
enum class TReplyKind {
    None,          // code outside 0x80-0x9C: raises nothing
    String,        // (Output)
    IndexedString, // (Idx, s)
    DWord,         // (Data: 32 bits)
    Word,          // (Data: 16 bits)
    PhoneNumber,   // (Idx, CR, Number)
    Phrase,        // (Idx, Phrase)
    InputSetting,  // (Idx, CR, Violations, Sensivity, NoSenseInterval, CID)
    OutputSetting, // (Idx, CR, ImpLength)
    ItemName,      // (FDNr, Idx, Name)
};

// One reply record cut into the arguments of its event, and the walk position
// (code, index, sub-index) that the read-all walk goes on from.
struct TReply {
    TReplyKind Kind = TReplyKind::None;
    std::uint8_t Code = 0;
    QByteArray Text;          // Output / s / Number / Phrase / Name (may hold NUL bytes)
    std::uint8_t Idx = 0;
    std::uint8_t CR = 0;
    std::uint8_t FDNr = 0;
    std::uint8_t Violations = 0;
    std::uint8_t Sensivity = 0;
    std::uint16_t Word = 0;   // NoSenseInterval / ImpLength / heartbeat Data
    std::uint32_t DWord = 0;  // control words, access PIN
    tduomenys CID;            // 5 bytes for an input setting
    std::uint8_t WalkCode = 0;
    std::uint8_t WalkIdx = 0;
    std::uint8_t WalkSub = 0;
};
// data[0] is the status byte, data[1] the reply code. Bytes past size read as 0.
TReply DecodeReply(const std::uint8_t* data, std::size_t size);
TReply DecodeReply(const QByteArray& report);

// The state and traffic record of a report with the monitoring bit set.
struct TStateRecord {
    std::uint8_t ModemFlags = 0;
    std::uint8_t ModemCR = 0;
    std::uint8_t ModemSR = 0;
    std::uint16_t TCPSR = 0;
    std::uint8_t OutBufMessCount = 0;
    std::uint8_t SentCounter = 0;
    int UsartSeq = 0;         // byte 8, bits 1-0
    bool OutGoing = true;     // byte 8, bit 6 clear
    QByteArray Text;          // the traffic line, never past the end of the report
};
TStateRecord DecodeState(const std::uint8_t* data, std::size_t size);
TStateRecord DecodeState(const QByteArray& report);

} // namespace packets
