// Byte-exact checks of every command packet and of the decoding of input reports.
#include "link/VEQ2_Packets.h"

#include <gtest/gtest.h>

#include <functional>

using namespace packets;

namespace {

// 63 zero bytes with the code at 0 and the given byte runs placed at their positions.
tduomenys Expected(std::uint8_t code, std::initializer_list<std::pair<int, QByteArray>> runs)
{
    tduomenys p(63);
    p[0] = code;
    for (const auto& [at, bytes] : runs)
        for (int i = 0; i < bytes.size(); ++i)
            p[static_cast<std::size_t>(at + i)] = static_cast<std::uint8_t>(bytes.at(i));
    return p;
}

QByteArray B(std::initializer_list<int> bytes)
{
    QByteArray r;
    for (int b : bytes)
        r.append(static_cast<char>(b));
    return r;
}

QByteArray Sp(int n) { return QByteArray(n, ' '); }

QByteArray Digits(int n)
{
    QByteArray r;
    for (int i = 0; i < n; ++i)
        r.append(static_cast<char>('0' + i % 10));
    return r;
}

struct PacketCase {
    const char* name;
    std::function<tduomenys()> build;
    tduomenys expected;
};

} // namespace

TEST(Packets, EveryCommandByteExact)
{
    const tduomenys cid{0x06, 0x11, 0x30, 0x01, 0x23};
    const PacketCase cases[] = {
        {"ConnectionString", [] { return SendConnectionString("1.2.3.4:80"); },
         Expected(0x00, {{1, "1.2.3.4:80" + Sp(40)}})},
        {"APN cut to 50", [] { return SendAPN(Digits(60)); }, Expected(0x01, {{1, Digits(50)}})},
        {"UserName", [] { return SendUserName("u"); }, Expected(0x02, {{1, "u" + Sp(31)}})},
        {"Password", [] { return SendPassword(Digits(40)); }, Expected(0x03, {{1, Digits(32)}})},
        {"TCPCR", [] { return SendTCPCR(0x12345678); }, Expected(0x04, {{1, B({0x12, 0x34, 0x56, 0x78})}})},
        {"ConnectionString2", [] { return SendConnectionString2(""); }, Expected(0x05, {{1, Sp(50)}})},
        {"USBPassword", [] { return SendUSBPassword("pw"); }, Expected(0x07, {{1, "pw" + Sp(14)}})},
        {"ReserveAccount short", [] { return SendReserveAccount(1, "12"); }, Expected(0x08, {{1, B({1})}, {2, "1200"}})},
        {"ReserveAccount long", [] { return SendReserveAccount(0, "123456"); }, Expected(0x08, {{2, "1234"}})},
        {"OwnerName AB", [] { return SendOwnerName("AB"); }, Expected(0x09, {{1, "AB" + Sp(14)}})},
        {"VEQ2CR", [] { return SendVEQ2CR(0x80000001u); }, Expected(0x0A, {{1, B({0x80, 0, 0, 1})}})},
        {"PhoneNumber", [] { return SendPhoneNumber(9, 0xA5, "+37060000000"); },
         Expected(0x0B, {{1, B({9, 0xA5})}, {3, "+37060000000" + Sp(3)}})},
        {"SMSPSTNCR", [] { return SendSMSPSTNCR(0xFFFFFFFFu); }, Expected(0x0C, {{1, B({0xFF, 0xFF, 0xFF, 0xFF})}})},
        {"SMSPhrase", [] { return SendSMSPhrase(14, "Alarm"); }, Expected(0x0D, {{1, B({14})}, {2, "Alarm" + Sp(11)}})},
        {"HelpText", [] { return SendHelpText(2, Digits(50)); }, Expected(0x0E, {{1, B({2})}, {2, Digits(47)}})},
        {"InputSetting", [cid] { return SendInputSetting(5, 0x81, 3, 7, 0x1234, cid); },
         Expected(0x0F, {{1, B({5, 0x81, 3, 7, 0x12, 0x34, 0x06, 0x11, 0x30, 0x01, 0x23})}})},
        {"InputSetting short CID", [] { return SendInputSetting(0, 0, 0, 0, 0, tduomenys{7, 1}); },
         Expected(0x0F, {{7, B({7, 1})}})},
        {"ItemName", [] { return SendItemName(4, 31, "Kitchen"); },
         Expected(0x10, {{1, B({4, 31})}, {3, "Kitchen" + Sp(9)}})},
        {"PGMPhoneNumber", [] { return SendPGMPhoneNumber(31, 0x0F, "123"); },
         Expected(0x11, {{1, B({31, 0x0F})}, {3, "123" + Sp(12)}})},
        {"OutputSetting", [] { return SendOutputSetting(3, 0x42, 0xBEEF); },
         Expected(0x12, {{1, B({3, 0x42, 0xBE, 0xEF})}})},
        {"InputSMSText", [] { return SendInputSMSText(5, Digits(55)); }, Expected(0x13, {{1, B({5})}, {2, Digits(50)}})},
        {"AccessPIN 4 digits", [] { return SendAccessPIN("1234"); }, Expected(0x14, {{1, B({0x12, 0x34, 0xFF, 0xFF})}})},
        {"AccessPIN 8 digits", [] { return SendAccessPIN("98765432"); }, Expected(0x14, {{1, B({0x98, 0x76, 0x54, 0x32})}})},
        {"AccessPIN 5 digits", [] { return SendAccessPIN("12345"); }, Expected(0x14, {{1, B({0x12, 0x34, 0x5F, 0xFF})}})},
        {"AccessPIN 10 digits", [] { return SendAccessPIN("1234567890"); }, Expected(0x14, {{1, B({0x12, 0x34, 0x56, 0x78})}})},
        {"SMSBackupPhoneNumber", [] { return SendSMSBackupPhoneNumber(1, "555"); },
         Expected(0x15, {{1, B({1})}, {2, "555" + Sp(12)}})},
        {"AdditionalSMSText", [] { return SendAdditionalSMSText(1, "Hi"); }, Expected(0x16, {{1, B({1})}, {2, "Hi" + Sp(48)}})},
        {"SIMpin", [] { return SendSIMpin("1111"); }, Expected(0x18, {{1, "1111" + Sp(4)}})},
        {"HeartBeat flag", [] { return SendHeartBeatEventId(true, 0x0602); }, Expected(0x19, {{1, B({0x86, 0x02})}})},
        {"HeartBeat no flag", [] { return SendHeartBeatEventId(false, 0x8602); }, Expected(0x19, {{1, B({0x86, 0x02})}})},
        {"HeartBeat low", [] { return SendHeartBeatEventId(false, 0x0130); }, Expected(0x19, {{1, B({0x01, 0x30})}})},
        {"PhoneNumberAdditionalCR", [] { return SendPhoneNumberAdditionalCR(9, 0x03); }, Expected(0x1A, {{1, B({9, 3})}})},
        {"CPCR", [] { return SendCPCR(0); }, Expected(0x1B, {})},
        {"AES key 10 bytes", [] { return SendAES128Key(1, "ABCDEFGHIJ"); }, Expected(0x1C, {{1, B({1})}, {2, "ABCDEFGHIJ"}})},
        {"AES key binary", [] { return SendAES128Key(0, B({0x20, 0, 0xFF}) + Digits(20)); },
         Expected(0x1C, {{2, B({0x20, 0, 0xFF}) + Digits(13)}})},
        {"BatchEnd true", [] { return SendBatchEnd(true); }, Expected(0x41, {})},
        {"BatchEnd false", [] { return SendBatchEnd(false); }, Expected(0x40, {})},
        {"Login", [] { return SendLogin("secret"); }, Expected(0x42, {{1, "secret" + Sp(10)}})},
        {"Hour", [] { return SendHour(23); }, Expected(0x43, {{1, B({23})}})},
        {"Text keeps NUL", [] { return SendOwnerName(QByteArray("a\0b", 3)); }, Expected(0x09, {{1, QByteArray("a\0b", 3) + Sp(13)}})},
        // Read requests
        {"ReadConnectionString", [] { return ReadConnectionString(); }, Expected(0x80, {})},
        {"ReadUSBPassword", [] { return ReadUSBPassword(); }, Expected(0x87, {})},
        {"ReadSMSPhrase", [] { return ReadSMSPhrase(7); }, Expected(0x8D, {{1, B({7})}})},
        {"ReadHelpText", [] { return ReadHelpText(2); }, Expected(0x8E, {{1, B({2})}})},
        {"ReadInputSetting", [] { return ReadInputSetting(5); }, Expected(0x8F, {{1, B({5})}})},
        {"ReadItemName", [] { return ReadItemName(3, 17); }, Expected(0x90, {{1, B({3, 17})}})},
        {"ReadPGMPhoneNumber", [] { return ReadPGMPhoneNumber(31); }, Expected(0x91, {{1, B({31})}})},
        {"ReadOutputSetting", [] { return ReadOutputSetting(3); }, Expected(0x92, {{1, B({3})}})},
        {"ReadAdditionalSMSText", [] { return ReadAdditionalSMSText(1); }, Expected(0x96, {{1, B({1})}})},
        {"SendReadRequest", [] { return SendReadRequest(0x90, 2, 5); }, Expected(0x90, {{1, B({2, 5})}})},
    };
    for (const auto& c : cases) {
        const tduomenys got = c.build();
        ASSERT_EQ(got.size(), static_cast<std::size_t>(VEQ2_PACKET_LENGTH)) << c.name;
        EXPECT_EQ(got, c.expected) << c.name;
    }
}

TEST(Packets, AccessPINRejectsNonDigits)
{
    for (const char* bad : {"12a4", "12 4", "-123", "1234567x", "123456789F"})
        EXPECT_THROW(SendAccessPIN(bad), EConvertError) << bad;
    EXPECT_EQ(AccessPINWord(""), 0xFFFFFFFFu);
}

// ---- input reports -------------------------------------------------------------------

namespace {

// A 64-byte report: status, then the given bytes from byte 1, the rest 0.
QByteArray Report(std::uint8_t status, const QByteArray& body, int size = 64)
{
    QByteArray r(size, '\0');
    r[0] = static_cast<char>(status);
    for (int i = 0; i < body.size() && 1 + i < size; ++i)
        r[1 + i] = body.at(i);
    return r;
}

// A reply report: code at byte 1, then `rest` from byte 2, spaces where `fill` says.
QByteArray Reply(int code, const QByteArray& rest, int size = 64)
{
    return Report(0x01, B({code}) + rest, size);
}

struct ReplyCase {
    const char* name;
    QByteArray report;
    TReplyKind kind;
    QByteArray text;
    int idx, cr;
    std::uint32_t dword;
    int walkIdx, walkSub;
};

} // namespace

TEST(Reports, StatusByte)
{
    struct Case {
        int status;
        bool busy, error, mon, pwd, lock;
        int seq;
    };
    const Case cases[] = {
        {0x00, false, false, false, false, false, 0},
        {0x80, true, false, false, false, false, 0},
        {0x40, false, true, false, false, false, 0},
        {0x20, false, false, true, false, false, 0},
        {0x10, false, false, false, true, false, 0},
        {0x08, false, false, false, false, false, 0},
        {0x04, false, false, false, false, true, 0},
        {0x03, false, false, false, false, false, 3},
        {0xFF, true, true, true, true, true, 3},
        {0x96, true, false, false, true, true, 2},
    };
    for (const auto& c : cases) {
        const auto f = DecodeStatus(static_cast<std::uint8_t>(c.status));
        EXPECT_EQ(f.Busy, c.busy) << c.status;
        EXPECT_EQ(f.Error, c.error) << c.status;
        EXPECT_EQ(f.Monitoring, c.mon) << c.status;
        EXPECT_EQ(f.PasswordRequired, c.pwd) << c.status;
        EXPECT_EQ(f.GPRSLocked, c.lock) << c.status;
        EXPECT_EQ(f.ReplySeq, c.seq) << c.status;
    }
}

TEST(Reports, EveryReplyCode)
{
    using K = TReplyKind;
    const QByteArray s50 = Digits(50);
    const ReplyCase cases[] = {
        {"0x80", Reply(0x80, "host:1" + Sp(44)), K::String, "host:1", 0, 0, 0, 0, 0},
        {"0x81", Reply(0x81, s50 + "XX"), K::String, s50, 0, 0, 0, 0, 0},
        {"0x82", Reply(0x82, Digits(32) + "X"), K::String, Digits(32), 0, 0, 0, 0, 0},
        {"0x83", Reply(0x83, "pw" + Sp(30)), K::String, "pw", 0, 0, 0, 0, 0},
        {"0x84", Reply(0x84, B({0x12, 0x34, 0x56, 0x78})), K::DWord, "", 0, 0, 0x12345678, 0, 0},
        {"0x85", Reply(0x85, "a b" + Sp(47)), K::String, "a b", 0, 0, 0, 0, 0},
        {"0x86", Reply(0x86, "c3"), K::String, "c3" + QByteArray(48, '\0'), 0, 0, 0, 0, 0},
        {"0x87", Reply(0x87, Digits(16) + "Z"), K::String, Digits(16), 0, 0, 0, 0, 0},
        {"0x88", Reply(0x88, B({1}) + "1234Z"), K::IndexedString, "1234", 1, 0, 0, 1, 0},
        {"0x89", Reply(0x89, "Owner" + Sp(11)), K::String, "Owner", 0, 0, 0, 0, 0},
        {"0x8A", Reply(0x8A, B({0xFF, 0, 0, 0x01})), K::DWord, "", 0, 0, 0xFF000001u, 0, 0},
        {"0x8B", Reply(0x8B, B({9, 0x55}) + "+3706" + Sp(10) + "Z"), K::PhoneNumber, "+3706", 9, 0x55, 0, 9, 0},
        {"0x8C", Reply(0x8C, B({0, 0, 0x80, 0})), K::DWord, "", 0, 0, 0x8000, 0, 0},
        {"0x8D", Reply(0x8D, B({14}) + "Phrase" + Sp(10) + "Z"), K::Phrase, "Phrase", 14, 0, 0, 14, 0},
        {"0x8E part 0", Reply(0x8E, B({0}) + "help" + Sp(43) + "Z"), K::Phrase, "help" + Sp(43), 0, 0, 0, 0, 0},
        {"0x8E part 2", Reply(0x8E, B({2}) + "help" + Sp(42) + "Z"), K::Phrase, "help" + Sp(42), 2, 0, 0, 2, 0},
        {"0x90", Reply(0x90, B({4, 31}) + "Door" + Sp(12) + "Z"), K::ItemName, "Door", 31, 0, 0, 4, 31},
        {"0x91", Reply(0x91, B({31, 0x0F}) + "123" + Sp(12)), K::PhoneNumber, "123", 31, 0x0F, 0, 31, 0},
        {"0x93", Reply(0x93, B({5}) + s50 + "Z"), K::IndexedString, s50, 5, 0, 0, 5, 0},
        {"0x94", Reply(0x94, B({0x12, 0x34, 0xFF, 0xFF})), K::DWord, "", 0, 0, 0x1234FFFFu, 0, 0},
        {"0x95", Reply(0x95, B({1}) + "555" + Sp(12) + "Z"), K::PhoneNumber, "555", 1, 1, 0, 0, 0},
        {"0x96", Reply(0x96, B({1}) + "Hi" + Sp(48)), K::IndexedString, "Hi", 1, 0, 0, 1, 0},
        {"0x97", Reply(0x97, Digits(28) + "Z"), K::String, Digits(28), 0, 0, 0, 0, 0},
        {"0x98", Reply(0x98, "1111" + Sp(4) + "Z"), K::String, "1111", 0, 0, 0, 0, 0},
        {"0x99", Reply(0x99, B({0x86, 0x02})), K::Word, "", 0, 0, 0, 0, 0},
        {"0x9A", Reply(0x9A, B({9, 0x03}) + "ignored"), K::PhoneNumber, "", 9, 3, 0, 9, 0},
        {"0x9B", Reply(0x9B, B({0, 0, 0, 7})), K::DWord, "", 0, 0, 7, 0, 0},
        {"0x9C key with spaces", Reply(0x9C, B({1}) + "ABCDEFGHIJKLMN  " + "Z"), K::Phrase, "ABCDEFGHIJKLMN  ", 1, 0, 0, 1, 0},
        {"0x7F", Reply(0x7F, "x"), K::None, "", 0, 0, 0, 0, 0},
        {"0x9D", Reply(0x9D, "x"), K::None, "", 0, 0, 0, 0, 0},
        {"0x00", Reply(0x00, "x"), K::None, "", 0, 0, 0, 0, 0},
        {"all spaces", Reply(0x8B, B({2, 1}) + Sp(15)), K::PhoneNumber, "", 2, 1, 0, 2, 0},
        {"all spaces string", Reply(0x89, Sp(16)), K::String, "", 0, 0, 0, 0, 0},
        {"NUL kept", Reply(0x89, QByteArray("a\0b", 3) + Sp(13)), K::String, QByteArray("a\0b", 3), 0, 0, 0, 0, 0},
        // Bytes past a short report read as 0, and NUL is not a space.
        {"short report", Reply(0x8D, B({3}) + "ab", 5), K::Phrase, "ab" + QByteArray(14, '\0'), 3, 0, 0, 3, 0},
        {"cut at code", Report(0x01, B({0x84}), 2), K::DWord, "", 0, 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        const TReply r = DecodeReply(c.report);
        EXPECT_EQ(r.Kind, c.kind) << c.name;
        EXPECT_EQ(r.Text, c.text) << c.name;
        EXPECT_EQ(r.Idx, c.idx) << c.name;
        EXPECT_EQ(r.CR, c.cr) << c.name;
        EXPECT_EQ(r.DWord, c.dword) << c.name;
        if (c.kind != TReplyKind::None) {
            EXPECT_EQ(r.WalkCode, static_cast<std::uint8_t>(c.report.at(1))) << c.name;
            EXPECT_EQ(r.WalkIdx, c.walkIdx) << c.name;
            EXPECT_EQ(r.WalkSub, c.walkSub) << c.name;
        }
    }
}

TEST(Reports, ReplyFieldsOfSettings)
{
    // Input setting: idx, CR, violations, sensitivity, 16-bit interval, 5-byte CID.
    const TReply in = DecodeReply(Reply(0x8F, B({5, 0x81, 3, 7, 0x01, 0x2C, 0x06, 0x11, 0x30, 0x01, 0x23, 0xEE})));
    EXPECT_EQ(in.Kind, TReplyKind::InputSetting);
    EXPECT_EQ(in.Idx, 5);
    EXPECT_EQ(in.CR, 0x81);
    EXPECT_EQ(in.Violations, 3);
    EXPECT_EQ(in.Sensivity, 7);
    EXPECT_EQ(in.Word, 300);
    EXPECT_EQ(in.CID, (tduomenys{0x06, 0x11, 0x30, 0x01, 0x23}));
    EXPECT_EQ(in.WalkIdx, 5);

    const TReply out = DecodeReply(Reply(0x92, B({3, 0x42, 0xBE, 0xEF})));
    EXPECT_EQ(out.Kind, TReplyKind::OutputSetting);
    EXPECT_EQ(out.Idx, 3);
    EXPECT_EQ(out.CR, 0x42);
    EXPECT_EQ(out.Word, 0xBEEF);

    const TReply name = DecodeReply(Reply(0x90, B({2, 5}) + "Hall"));
    EXPECT_EQ(name.FDNr, 2);
    EXPECT_EQ(name.Idx, 5);
    EXPECT_EQ(name.Text, "Hall" + QByteArray(12, '\0'));

    EXPECT_EQ(DecodeReply(Reply(0x99, B({0x86, 0x02}))).Word, 0x8602);

    // A short input-setting report reads the missing CID bytes as 0.
    const TReply shortIn = DecodeReply(Reply(0x8F, B({1, 2, 3, 4, 5, 6, 7, 8}), 11));
    EXPECT_EQ(shortIn.CID, (tduomenys{7, 8, 0, 0, 0}));

    // The AES key keeps NUL and space bytes, always 16 of them.
    const TReply key = DecodeReply(Reply(0x9C, B({0, 0x20, 0, 0x20})));
    EXPECT_EQ(key.Text, B({0x20, 0, 0x20}) + QByteArray(13, '\0'));

    // Nothing at all, or only a status byte.
    EXPECT_EQ(DecodeReply(nullptr, 0).Kind, TReplyKind::None);
    EXPECT_EQ(DecodeReply(QByteArray(1, '\x01')).Kind, TReplyKind::None);
}

TEST(Reports, StateAndTrafficRecord)
{
    const QByteArray body = B({0x11, 0x22, 0x33, 0x44, 0x55, 6, 7, 0x02, 5}) + "AT+OK" + "rest";
    const TStateRecord s = DecodeState(Report(0x20, body));
    EXPECT_EQ(s.ModemFlags, 0x11);
    EXPECT_EQ(s.ModemCR, 0x22);
    EXPECT_EQ(s.ModemSR, 0x33);
    EXPECT_EQ(s.TCPSR, 0x4455);
    EXPECT_EQ(s.OutBufMessCount, 6);
    EXPECT_EQ(s.SentCounter, 7);
    EXPECT_EQ(s.UsartSeq, 2);
    EXPECT_TRUE(s.OutGoing);
    EXPECT_EQ(s.Text, "AT+OK");

    const TStateRecord in = DecodeState(Report(0x20, B({0, 0, 0, 0, 0, 0, 0, 0x43, 3}) + QByteArray("a\0 ", 3)));
    EXPECT_EQ(in.UsartSeq, 3);
    EXPECT_FALSE(in.OutGoing);
    EXPECT_EQ(in.Text, QByteArray("a\0 ", 3)); // no trimming, NUL kept

    // A length beyond the report stops at its end.
    const TStateRecord cut = DecodeState(Report(0x20, B({0, 0, 0, 0, 0, 0, 0, 1, 200}) + "xyz", 13));
    EXPECT_EQ(cut.Text, "xyz");
    const TStateRecord none = DecodeState(Report(0x20, B({1, 2, 3}), 4));
    EXPECT_EQ(none.ModemSR, 3);
    EXPECT_EQ(none.TCPSR, 0);
    EXPECT_TRUE(none.Text.isEmpty());
    EXPECT_TRUE(DecodeState(nullptr, 0).Text.isEmpty());
}
