#include "link/VEQ2_Packets.h"

namespace packets {

namespace {

tduomenys Packet(std::uint8_t code)
{
    tduomenys p(VEQ2_PACKET_LENGTH);
    p[0] = code;
    return p;
}

// Fills S with `fill` up to `width` characters, cuts it to `width` and copies the bytes
// into the packet from `at`.
void PutText(tduomenys& p, int at, int width, const QByteArray& S, char fill = ' ')
{
    for (int i = 0; i < width; ++i) {
        const char c = i < S.size() ? S.at(i) : fill;
        p[static_cast<std::size_t>(at + i)] = static_cast<std::uint8_t>(c);
    }
}

void Put32(tduomenys& p, int at, std::uint32_t w)
{
    p[static_cast<std::size_t>(at)] = static_cast<std::uint8_t>(w >> 24);
    p[static_cast<std::size_t>(at + 1)] = static_cast<std::uint8_t>(w >> 16);
    p[static_cast<std::size_t>(at + 2)] = static_cast<std::uint8_t>(w >> 8);
    p[static_cast<std::size_t>(at + 3)] = static_cast<std::uint8_t>(w);
}

void Put16(tduomenys& p, int at, std::uint16_t w)
{
    p[static_cast<std::size_t>(at)] = static_cast<std::uint8_t>(w >> 8);
    p[static_cast<std::size_t>(at + 1)] = static_cast<std::uint8_t>(w);
}

tduomenys TextCommand(std::uint8_t code, int width, const QByteArray& S)
{
    tduomenys p = Packet(code);
    PutText(p, 1, width, S);
    return p;
}

tduomenys IndexedText(std::uint8_t code, std::uint8_t idx, int width, const QByteArray& S)
{
    tduomenys p = Packet(code);
    p[1] = idx;
    PutText(p, 2, width, S);
    return p;
}

tduomenys WordCommand(std::uint8_t code, std::uint32_t w)
{
    tduomenys p = Packet(code);
    Put32(p, 1, w);
    return p;
}

} // namespace

tduomenys SendConnectionString(const QByteArray& S) { return TextCommand(0x00, 50, S); }
tduomenys SendAPN(const QByteArray& S) { return TextCommand(0x01, 50, S); }
tduomenys SendUserName(const QByteArray& S) { return TextCommand(0x02, 32, S); }
tduomenys SendPassword(const QByteArray& S) { return TextCommand(0x03, 32, S); }
tduomenys SendTCPCR(std::uint32_t W) { return WordCommand(0x04, W); }
tduomenys SendConnectionString2(const QByteArray& S) { return TextCommand(0x05, 50, S); }
tduomenys SendUSBPassword(const QByteArray& S) { return TextCommand(0x07, 16, S); }

tduomenys SendReserveAccount(std::uint8_t Idx, const QByteArray& S)
{
    tduomenys p = Packet(0x08);
    p[1] = Idx;
    PutText(p, 2, 4, S, '0');
    return p;
}

tduomenys SendOwnerName(const QByteArray& S) { return TextCommand(0x09, 16, S); }
tduomenys SendVEQ2CR(std::uint32_t W) { return WordCommand(0x0A, W); }

tduomenys SendPhoneNumber(std::uint8_t Idx, std::uint8_t CR, const QByteArray& S)
{
    tduomenys p = Packet(0x0B);
    p[1] = Idx;
    p[2] = CR;
    PutText(p, 3, 15, S);
    return p;
}

tduomenys SendSMSPSTNCR(std::uint32_t W) { return WordCommand(0x0C, W); }
tduomenys SendSMSPhrase(std::uint8_t Idx, const QByteArray& S) { return IndexedText(0x0D, Idx, 16, S); }
tduomenys SendHelpText(std::uint8_t Idx, const QByteArray& S) { return IndexedText(0x0E, Idx, 47, S); }

tduomenys SendInputSetting(std::uint8_t Idx, std::uint8_t CR, std::uint8_t Violations,
                           std::uint8_t Sensivity, std::uint16_t NoSenseInterval,
                           const tduomenys& CID)
{
    tduomenys p = Packet(0x0F);
    p[1] = Idx;
    p[2] = CR;
    p[3] = Violations;
    p[4] = Sensivity;
    Put16(p, 5, NoSenseInterval);
    // The Contact ID field is 5 bytes; a shorter CID leaves zeros, a longer one is cut.
    for (std::size_t i = 0; i < 5 && i < CID.size(); ++i)
        p[7 + i] = CID[i];
    return p;
}

tduomenys SendItemName(std::uint8_t FDNr, std::uint8_t Idx, const QByteArray& S)
{
    tduomenys p = Packet(0x10);
    p[1] = FDNr;
    p[2] = Idx;
    PutText(p, 3, 16, S);
    return p;
}

tduomenys SendPGMPhoneNumber(std::uint8_t Idx, std::uint8_t CR, const QByteArray& S)
{
    tduomenys p = Packet(0x11);
    p[1] = Idx;
    p[2] = CR;
    PutText(p, 3, 15, S);
    return p;
}

tduomenys SendOutputSetting(std::uint8_t Idx, std::uint8_t CR, std::uint16_t ImpLength)
{
    tduomenys p = Packet(0x12);
    p[1] = Idx;
    p[2] = CR;
    Put16(p, 3, ImpLength);
    return p;
}

tduomenys SendInputSMSText(std::uint8_t Idx, const QByteArray& S) { return IndexedText(0x13, Idx, 50, S); }

std::uint32_t AccessPINWord(const QByteArray& S)
{
    // A PIN the module sent may hold the nibbles A-E, and goes back as it came; F would end it.
    auto nibble = [](char c) { return c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'E' ? c - 'A' + 10 : -1; };
    for (char c : S)
        if (nibble(c) < 0)
            throw EConvertError("'" + S.toStdString() + "' is not a valid access PIN");
    // Only eight nibbles fit into the word: further digits are not packed.
    std::uint32_t w = 0xFFFFFFFFu;
    const qsizetype n = S.size() < 8 ? S.size() : 8;
    for (qsizetype i = 0; i < n; ++i) {
        const int shift = 28 - 4 * static_cast<int>(i);
        w &= ~(0xFu << shift);
        w |= static_cast<std::uint32_t>(nibble(S.at(i))) << shift;
    }
    return w;
}

tduomenys SendAccessPIN(const QByteArray& S) { return WordCommand(0x14, AccessPINWord(S)); }
tduomenys SendSMSBackupPhoneNumber(std::uint8_t Idx, const QByteArray& S) { return IndexedText(0x15, Idx, 15, S); }
tduomenys SendAdditionalSMSText(std::uint8_t Idx, const QByteArray& S) { return IndexedText(0x16, Idx, 50, S); }
tduomenys SendSIMpin(const QByteArray& S) { return TextCommand(0x18, 8, S); }

tduomenys SendHeartBeatEventId(bool Flag, std::uint16_t Id)
{
    tduomenys p = Packet(0x19);
    p[1] = static_cast<std::uint8_t>((Id >> 8) | (Flag ? 0x80 : 0x00));
    p[2] = static_cast<std::uint8_t>(Id);
    return p;
}

tduomenys SendPhoneNumberAdditionalCR(std::uint8_t Idx, std::uint8_t CR)
{
    tduomenys p = Packet(0x1A);
    p[1] = Idx;
    p[2] = CR;
    return p;
}

tduomenys SendCPCR(std::uint32_t W) { return WordCommand(0x1B, W); }

tduomenys SendAES128Key(std::uint8_t Idx, const QByteArray& S)
{
    tduomenys p = Packet(0x1C);
    p[1] = Idx;
    PutText(p, 2, 16, S, '\0');
    return p;
}

tduomenys SendBatchEnd(bool Flag) { return Packet(Flag ? 0x41 : 0x40); }
tduomenys SendLogin(const QByteArray& S) { return TextCommand(0x42, 16, S); }

tduomenys SendHour(int Hour)
{
    tduomenys p = Packet(0x43);
    p[1] = static_cast<std::uint8_t>(Hour);
    return p;
}

tduomenys SendReadRequest(std::uint8_t Code, std::uint8_t Idx, std::uint8_t Sub)
{
    tduomenys p = Packet(Code);
    p[1] = Idx;
    p[2] = Sub;
    return p;
}

tduomenys ReadConnectionString() { return Packet(0x80); }
tduomenys ReadUSBPassword() { return Packet(0x87); }
tduomenys ReadSMSPhrase(std::uint8_t Idx) { return SendReadRequest(0x8D, Idx, 0); }
tduomenys ReadHelpText(std::uint8_t Idx) { return SendReadRequest(0x8E, Idx, 0); }
tduomenys ReadInputSetting(std::uint8_t Idx) { return SendReadRequest(0x8F, Idx, 0); }
tduomenys ReadItemName(std::uint8_t FDNr, std::uint8_t Idx) { return SendReadRequest(0x90, FDNr, Idx); }
tduomenys ReadPGMPhoneNumber(std::uint8_t Idx) { return SendReadRequest(0x91, Idx, 0); }
tduomenys ReadOutputSetting(std::uint8_t Idx) { return SendReadRequest(0x92, Idx, 0); }
tduomenys ReadAdditionalSMSText(std::uint8_t Idx) { return SendReadRequest(0x96, Idx, 0); }

// ---- input reports -------------------------------------------------------------------

TStatusFlags DecodeStatus(std::uint8_t status)
{
    TStatusFlags f;
    f.Busy = (status & 0x80) != 0;
    f.Error = (status & 0x40) != 0;
    f.Monitoring = (status & 0x20) != 0;
    f.PasswordRequired = (status & 0x10) != 0;
    f.GPRSLocked = (status & 0x04) != 0;
    f.ReplySeq = status & 0x03;
    return f;
}

namespace {

// A report read as a zero-padded buffer: a byte past the data reads as 0.
struct ReportView {
    const std::uint8_t* data;
    std::size_t size;

    std::uint8_t at(std::size_t i) const { return (data != nullptr && i < size) ? data[i] : 0; }
    std::uint16_t word16(std::size_t i) const
    {
        return static_cast<std::uint16_t>((at(i) << 8) | at(i + 1));
    }
    std::uint32_t word32(std::size_t i) const
    {
        return (static_cast<std::uint32_t>(at(i)) << 24) | (static_cast<std::uint32_t>(at(i + 1)) << 16)
            | (static_cast<std::uint32_t>(at(i + 2)) << 8) | at(i + 3);
    }
    // Bytes first .. first + n - 1, those past the data as 0.
    QByteArray bytes(std::size_t first, std::size_t n) const
    {
        QByteArray r(static_cast<qsizetype>(n), '\0');
        for (std::size_t k = 0; k < n; ++k)
            r[static_cast<qsizetype>(k)] = static_cast<char>(at(first + k));
        return r;
    }
};

QByteArray TrimTrailingSpaces(QByteArray s)
{
    qsizetype n = s.size();
    while (n > 0 && s.at(n - 1) == ' ')
        --n;
    s.truncate(n);
    return s;
}

// The reply text T: L bytes from byte 2, trailing spaces removed.
QByteArray ReplyText(const ReportView& r, std::size_t L)
{
    return TrimTrailingSpaces(r.bytes(2, L));
}

// Characters from position `from` (1-based; position p is byte 1 + p) to `to` of T;
// shorter or empty where T ends earlier.
QByteArray Positions(const QByteArray& T, int from, int to)
{
    return T.mid(from - 1, to - from + 1);
}

} // namespace

TReply DecodeReply(const std::uint8_t* data, std::size_t size)
{
    const ReportView r{data, size};
    TReply rep;
    rep.Code = r.at(1);
    rep.WalkCode = rep.Code;
    const std::uint8_t b2 = r.at(2);
    const std::uint8_t b3 = r.at(3);

    auto string = [&](std::size_t L) {
        rep.Kind = TReplyKind::String;
        rep.Text = ReplyText(r, L);
    };
    auto dword = [&] {
        rep.Kind = TReplyKind::DWord;
        rep.DWord = r.word32(2);
    };
    auto phone = [&] {
        rep.Kind = TReplyKind::PhoneNumber;
        rep.Idx = b2;
        rep.CR = b3;
        rep.Text = Positions(ReplyText(r, 17), 3, 17);
        rep.WalkIdx = b2;
    };
    auto indexedText51 = [&] {
        rep.Kind = TReplyKind::IndexedString;
        rep.Idx = b2;
        rep.Text = Positions(ReplyText(r, 51), 2, 51);
        rep.WalkIdx = b2;
    };

    switch (rep.Code) {
    case 0x80: case 0x81: case 0x85: case 0x86: string(50); break;
    case 0x82: case 0x83: string(32); break;
    case 0x87: case 0x89: string(16); break;
    case 0x97: string(28); break;
    case 0x98: string(8); break;
    case 0x84: case 0x8A: case 0x8C: case 0x94: case 0x9B: dword(); break;
    case 0x88:
        rep.Kind = TReplyKind::IndexedString;
        rep.Idx = b2;
        rep.Text = Positions(ReplyText(r, 5), 2, 5);
        rep.WalkIdx = b2;
        break;
    case 0x8B: case 0x91: phone(); break;
    case 0x8D:
        rep.Kind = TReplyKind::Phrase;
        rep.Idx = b2;
        rep.Text = Positions(ReplyText(r, 17), 2, 17);
        rep.WalkIdx = b2;
        break;
    case 0x8E:
        // Help texts keep their trailing spaces; the last part is one character shorter.
        rep.Kind = TReplyKind::Phrase;
        rep.Idx = b2;
        rep.Text = r.bytes(3, b2 == 2 ? 46 : 47);
        rep.WalkIdx = b2;
        break;
    case 0x8F:
        rep.Kind = TReplyKind::InputSetting;
        rep.Idx = b2;
        rep.CR = b3;
        rep.Violations = r.at(4);
        rep.Sensivity = r.at(5);
        rep.Word = r.word16(6);
        rep.CID = tduomenys(5);
        for (std::size_t i = 0; i < 5; ++i)
            rep.CID[i] = r.at(8 + i);
        rep.WalkIdx = b2;
        break;
    case 0x90:
        rep.Kind = TReplyKind::ItemName;
        rep.FDNr = b2;
        rep.Idx = b3;
        rep.Text = Positions(ReplyText(r, 18), 3, 18);
        rep.WalkIdx = b2;
        rep.WalkSub = b3;
        break;
    case 0x92:
        rep.Kind = TReplyKind::OutputSetting;
        rep.Idx = b2;
        rep.CR = b3;
        rep.Word = r.word16(4);
        rep.WalkIdx = b2;
        break;
    case 0x93: case 0x96: indexedText51(); break;
    case 0x95:
        // The record has no control byte: the index goes out as CR too.
        rep.Kind = TReplyKind::PhoneNumber;
        rep.Idx = b2;
        rep.CR = b2;
        rep.Text = Positions(ReplyText(r, 16), 2, 16);
        break;
    case 0x99:
        rep.Kind = TReplyKind::Word;
        rep.Word = r.word16(2);
        break;
    case 0x9A:
        rep.Kind = TReplyKind::PhoneNumber;
        rep.Idx = b2;
        rep.CR = b3;
        rep.WalkIdx = b2;
        break;
    case 0x9C:
        // The key bytes are binary: taken as they are, spaces included.
        rep.Kind = TReplyKind::Phrase;
        rep.Idx = b2;
        rep.Text = r.bytes(3, 16);
        rep.WalkIdx = b2;
        break;
    default:
        rep.Kind = TReplyKind::None;
        rep.WalkCode = 0;
        break;
    }
    return rep;
}

TReply DecodeReply(const QByteArray& report)
{
    return DecodeReply(reinterpret_cast<const std::uint8_t*>(report.constData()),
                       static_cast<std::size_t>(report.size()));
}

TStateRecord DecodeState(const std::uint8_t* data, std::size_t size)
{
    const ReportView r{data, size};
    TStateRecord s;
    s.ModemFlags = r.at(1);
    s.ModemCR = r.at(2);
    s.ModemSR = r.at(3);
    s.TCPSR = r.word16(4);
    s.OutBufMessCount = r.at(6);
    s.SentCounter = r.at(7);
    const std::uint8_t ctrl = r.at(8);
    s.UsartSeq = ctrl & 0x03;
    s.OutGoing = (ctrl & 0x40) == 0;
    std::size_t n = r.at(9);
    // The traffic text never reaches past the end of the report.
    const std::size_t avail = size > 10 ? size - 10 : 0;
    if (n > avail)
        n = avail;
    s.Text = r.bytes(10, n);
    return s;
}

TStateRecord DecodeState(const QByteArray& report)
{
    return DecodeState(reinterpret_cast<const std::uint8_t*>(report.constData()),
                       static_cast<std::size_t>(report.size()));
}

} // namespace packets
