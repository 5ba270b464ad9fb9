#include "editor/Encodings.h"

#include "link/UnitEil.h"
#include "link/VEQ2_Packets.h"

#include <gtest/gtest.h>

namespace {

TTCPCRControls ChannelControls()
{
    TTCPCRControls c;
    c.ComboBox1Count = 3;
    c.ComboBox3Count = 3;
    c.TntCheckBox25Visible = true;
    c.TntCheckBox26Visible = true;
    return c;
}

} // namespace

// ---- channel word -------------------------------------------------------------------------

TEST(TCPCR, EveryFieldBuildsItsBits)
{
    TTCPCRControls c = ChannelControls();
    EXPECT_EQ(BuildTCPCR(c, 2030), 0x11u); // both protocols "first in list", nothing else

    c.ComboBox1Index = 2;
    c.ComboBox3Index = 1;
    EXPECT_EQ(BuildTCPCR(c, 2030), 0x23u);

    c = ChannelControls();
    c.ComboBox2Index = 1;
    EXPECT_EQ(BuildTCPCR(c, 0) & 0x300u, 0x100u);
    c.ComboBox2Index = 2; // "Reserve" travels as 3
    EXPECT_EQ(BuildTCPCR(c, 0) & 0x300u, 0x300u);
    c.ComboBox4Index = 1;
    EXPECT_EQ(BuildTCPCR(c, 0) & 0x800u, 0x800u);
    c.TntComboBox3Index = 1;
    c.TntComboBox4Index = 1;
    EXPECT_EQ(BuildTCPCR(c, 0) & 0xFF000000u, 0x11000000u);
    c.TntCheckBox25Checked = true;
    EXPECT_EQ(BuildTCPCR(c, 0) & 0x3000u, 0x1000u);
    // A hidden "Put same to PSTN" box always sets its bit.
    c.TntCheckBox26Visible = false;
    EXPECT_EQ(BuildTCPCR(c, 0) & 0x3000u, 0x3000u);
}

TEST(TCPCR, EncryptionBitsOnlyFromFirmware2030)
{
    TTCPCRControls c = ChannelControls();
    c.TntCheckBox42Checked = true;
    c.TntCheckBox43Checked = true;
    EXPECT_EQ(BuildTCPCR(c, 2029) & 0x22000000u, 0u);
    EXPECT_EQ(BuildTCPCR(c, 2030) & 0x22000000u, 0x22000000u);
    // The bits not shown come from the word the module sent, the others from the controls.
    c.TntCheckBox42Checked = false;
    EXPECT_EQ(BuildTCPCR(c, 2029, 0xCEFF'5FFFu), (BuildTCPCR(c, 2029) | 0xCEFF'4400u));
    EXPECT_EQ(BuildTCPCR(c, 2030, 0xCEFF'5FFFu), (BuildTCPCR(c, 2030) | 0xCCFF'4400u));
}

TEST(TCPCR, NoSelectionNeverSpillsIntoOtherBits)
{
    TTCPCRControls c = ChannelControls();
    c.ComboBox1Index = -1;
    c.ComboBox3Index = -1;
    c.ComboBox2Index = -1;
    c.ComboBox4Index = -1;
    c.TntComboBox3Index = -1;
    c.TntComboBox4Index = -1;
    EXPECT_EQ(BuildTCPCR(c, 3000), 0u);
}

TEST(TCPCR, WordToControls)
{
    TTCPCRControls c = ChannelControls();
    ApplyTCPCR(0x1100'0800u | 0x200u | 0x32u | 0x3000u | 0x2200'0000u, c);
    EXPECT_EQ(c.ComboBox4Index, 1);
    EXPECT_EQ(c.ComboBox2Index, 2); // mode 2 reads as "Reserve"
    EXPECT_EQ(c.ComboBox1Index, 1);
    EXPECT_EQ(c.ComboBox3Index, 2);
    EXPECT_TRUE(c.TntCheckBox25Checked);
    EXPECT_TRUE(c.TntCheckBox26Checked);
    EXPECT_EQ(c.TntComboBox3Index, 1);
    EXPECT_EQ(c.TntComboBox4Index, 1);
    EXPECT_TRUE(c.TntCheckBox42Checked);
    EXPECT_TRUE(c.TntCheckBox43Checked);

    ApplyTCPCR(0x300u, c);
    EXPECT_EQ(c.ComboBox2Index, 2);
    ApplyTCPCR(0x100u, c);
    EXPECT_EQ(c.ComboBox2Index, 1);
    EXPECT_EQ(c.ComboBox4Index, 0);
    EXPECT_FALSE(c.TntCheckBox25Checked);
}

TEST(TCPCR, ProtocolOutsideTheListSelectsTheFirstAndIsWrittenAsOne)
{
    TTCPCRControls c = ChannelControls();
    c.ComboBox1Count = 2;
    ApplyTCPCR(0x03u, c); // 3 > two items
    EXPECT_EQ(c.ComboBox1Index, 0);
    ApplyTCPCR(0x00u, c);
    EXPECT_EQ(c.ComboBox1Index, 0);
    EXPECT_EQ(BuildTCPCR(c, 0) & 0xFu, 1u);
}

TEST(TCPCR, HiddenBoxesAndTemplateEncryptionBitsAreLeftAlone)
{
    TTCPCRControls c = ChannelControls();
    c.TntCheckBox25Visible = false;
    c.TntCheckBox25Checked = false;
    c.TntCheckBox42Checked = false;
    ApplyTCPCR(0x0200'1000u, c, /*ApplyEncryptionBits=*/false);
    EXPECT_FALSE(c.TntCheckBox25Checked);
    EXPECT_FALSE(c.TntCheckBox42Checked);
    ApplyTCPCR(0x0200'1000u, c);
    EXPECT_TRUE(c.TntCheckBox42Checked);
}

// ---- general word -------------------------------------------------------------------------

TEST(VEQ2CR, ModuleAndTemplateWords)
{
    TVEQ2CRControls c;
    c.TntCheckBox3 = true;
    c.TntCheckBox13 = true;
    c.SpinEdit40 = 8;
    c.TntCheckBox28 = true;
    c.SimPinWrong = true; // never built
    c.SpinEdit3 = 65000;
    c.TntCheckBox40 = true;
    c.TntCheckBox41 = true;
    EXPECT_EQ(BuildVEQ2CR(c), 0x0100'0000u | 0x0200'0000u | (65000u << 8) | 0x40u | 0x38u | 0x5u);
    EXPECT_EQ(BuildTemplateVEQ2CR(c), 0x0100'0000u | (65000u << 8) | 0x38u | 0x5u);

    TVEQ2CRControls d;
    d.SpinEdit40 = 1;
    d.SpinEdit3 = 600;
    EXPECT_EQ(BuildVEQ2CR(d), 600u << 8);
}

TEST(VEQ2CR, WordToControls)
{
    const TVEQ2CRControls c = DecodeVEQ2CR(0x0300'0000u | (1234u << 8) | 0x80u | 0x40u | (5u << 3) | 0x4u);
    EXPECT_FALSE(c.TntCheckBox3);
    EXPECT_TRUE(c.TntCheckBox13);
    EXPECT_EQ(c.SpinEdit40, 6);
    EXPECT_TRUE(c.TntCheckBox28);
    EXPECT_TRUE(c.SimPinWrong);
    EXPECT_EQ(c.SpinEdit3, 1234);
    EXPECT_TRUE(c.TntCheckBox40);
    EXPECT_TRUE(c.TntCheckBox41);
    EXPECT_EQ(DecodeVEQ2CR(0).SpinEdit40, 1);
    EXPECT_FALSE(DecodeVEQ2CR(0x7Fu).SimPinWrong);
}

// ---- SMS/PSTN word ----------------------------------------------------------------------------

TEST(SMSPSTNCR, BothDirections)
{
    TSMSPSTNCRControls c;
    c.TntCheckBox27 = true;
    c.SpinEdit2 = 8;
    c.se1 = 4;
    c.TntCheckBox10 = true;
    EXPECT_EQ(BuildSMSPSTNCR(c), 0x4000'0000u | (3u << 19) | (7u << 16) | 0x80u);
    EXPECT_EQ(BuildTemplateSMSPSTNCR(c), 0x4000'0000u | (3u << 19) | (7u << 16));
    EXPECT_EQ(BuildSMSPSTNCR(TSMSPSTNCRControls{}), 0u);

    const TSMSPSTNCRControls d = DecodeSMSPSTNCR(0x4000'0080u | (2u << 19) | (4u << 16));
    EXPECT_TRUE(d.TntCheckBox27);
    EXPECT_TRUE(d.TntCheckBox10);
    EXPECT_EQ(d.se1, 3);
    EXPECT_EQ(d.SpinEdit2, 5);
}

// ---- flag bytes -----------------------------------------------------------------------------

TEST(FlagBytes, UserFlagBitsBelongToTheirBoxes)
{
    const TPnCRBoxes p = DecodePnCR(PnCRAlarmSMS | 0x10 | 0x20);
    EXPECT_TRUE(p.TntCheckBox23 && p.TntCheckBox22 && p.TntCheckBox9);
    EXPECT_FALSE(p.TntCheckBox5 || p.TntCheckBox6 || p.TntCheckBox7 || p.TntCheckBox8 || p.TntCheckBox24);
    EXPECT_EQ(BuildPnCR(p), 0x70);
    EXPECT_TRUE(DecodePnAddCR(0x10).TntCheckBox38);
    EXPECT_EQ(BuildPnAddCR(DecodePnAddCR(0xFF)), 0x3F); // bits 6-7 have no box
}

TEST(FlagBytes, OutputMaskFromTheTop)
{
    EXPECT_EQ(PGMOutputBit(0), 0x80);
    EXPECT_EQ(PGMOutputBit(3), 0x10);
    EXPECT_EQ(PGMOutputBit(4), 0);
    EXPECT_EQ(PGMOutputBit(-1), 0);
    EXPECT_EQ(BuildPGMMask({true, false, true, false}), 0xA0);
    const auto o = DecodePGMMask(0x5F);
    EXPECT_EQ(o, (std::array<bool, 4>{false, true, false, true}));
}

TEST(FlagBytes, InputControlByte)
{
    TInputCRControls c{2, 1, true, true};
    EXPECT_EQ(BuildInputCR(c), 0x6A);
    const TInputCRControls d = DecodeInputCR(0x6A | 0x10 | 0x80);
    EXPECT_EQ(d.FunctionIndex, 2);
    EXPECT_EQ(d.TypeIndex, 1);
    EXPECT_TRUE(d.Box24H);
    EXPECT_TRUE(d.RestoreBox);
    EXPECT_EQ(BuildInputCR(TInputCRControls{-1, -1, false, false}), 0);
    EXPECT_EQ(SensitivityFromMs(400), 4);
    EXPECT_EQ(SensitivityFromMs(2599), 25);
    EXPECT_EQ(SensitivityToMs(25), 2500);
}

TEST(FlagBytes, OutputControlByteAndHalfSecondLength)
{
    EXPECT_EQ(BuildOutputCR(TOutputCRControls{3, true, false}), 0x0B);
    const TOutputCRControls d = DecodeOutputCR(0x1D);
    EXPECT_EQ(d.FunctionCode, 5);
    EXPECT_TRUE(d.Pulse);
    EXPECT_TRUE(d.SirenConfirm);
    EXPECT_EQ(ImpLengthFromModule(0x05, 7), 3);
    EXPECT_EQ(ImpLengthFromModule(0x0D, 7), 3);
    EXPECT_EQ(ImpLengthFromModule(0x04, 7), 7);
}

// ---- value forms -----------------------------------------------------------------------------

TEST(AccessPIN, PacksDigitsFromTheTop)
{
    EXPECT_EQ(AccessPINToWord("1234"), 0x1234FFFFu);
    EXPECT_EQ(AccessPINToWord("12345678"), 0x12345678u);
    EXPECT_EQ(AccessPINToWord(""), 0xFFFFFFFFu);
    // At most eight digits are packed; nothing spills past the word.
    EXPECT_EQ(AccessPINToWord("123456789"), 0x12345678u);
    EXPECT_THROW(AccessPINToWord("12a4"), EConvertError);
    // A PIN word the module sent with A-E in it goes back as it came; F would end it.
    EXPECT_EQ(AccessPINToWord("12A4"), 0x12A4FFFFu);
    EXPECT_THROW(AccessPINToWord("12F4"), EConvertError);
}

TEST(AccessPIN, ReadBackUpToTheFirstF)
{
    EXPECT_EQ(AccessPINFromWord(0x1234FFFFu), "1234");
    EXPECT_EQ(AccessPINFromWord(AccessPINToWord("0042")), "0042");
    EXPECT_EQ(AccessPINFromWord(0x00001234u), "00001234");
    EXPECT_EQ(AccessPINFromWord(0xF1234567u), "");
    EXPECT_EQ(AccessPINFromWord(0x12F45678u), "12");
}

TEST(Heartbeat, TextToIdAndBack)
{
    EXPECT_EQ(HeartbeatIdFromText("602"), 0x602);
    EXPECT_EQ(HeartbeatIdFromText("6"), 0x600);
    EXPECT_EQ(HeartbeatIdFromText("6a"), 0x6A0);
    EXPECT_EQ(HeartbeatIdFromText("6G2"), 0x602); // a non-hex character counts as 0
    EXPECT_EQ(HeartbeatIdFromText(""), 0);
    EXPECT_EQ(HeartbeatIdFromText("FFFF"), 0xFFF);

    THeartbeatControls c = DecodeHeartbeat(0x8602);
    EXPECT_TRUE(c.TntCheckBox33);
    EXPECT_EQ(c.TntEdit4, "602");
    c = DecodeHeartbeat(0x7ABC); // bits 12-14 are not shown
    EXPECT_FALSE(c.TntCheckBox33);
    EXPECT_EQ(c.TntEdit4, "ABC");
    EXPECT_EQ(THeartbeatControls{}.TntEdit4, "602");
}

TEST(AESKey, HexTextToSixteenBytes)
{
    const QByteArray b = HexKeyToBytes("00112233445566778899aabbccddeeff");
    ASSERT_EQ(b.size(), 16);
    EXPECT_EQ(static_cast<unsigned char>(b[0]), 0x00);
    EXPECT_EQ(static_cast<unsigned char>(b[15]), 0xFF);
    // 31 digits: a final "0" is added; an empty key is 16 zero bytes.
    EXPECT_EQ(static_cast<unsigned char>(HexKeyToBytes("0011223344556677889900112233445")[15]), 0x50);
    EXPECT_EQ(HexKeyToBytes(""), QByteArray(16, '\0'));
    // More than 32 digits: the rest is not looked at.
    EXPECT_EQ(HexKeyToBytes(QByteArray(32, 'f') + "zz"), QByteArray(16, '\xFF'));
    try {
        HexKeyToBytes("00zz");
        FAIL() << "no error";
    } catch (const EHexError& e) {
        EXPECT_STREQ(e.what(), "Ne HEX zz");
    }
}

TEST(AESKey, AlwaysThirtyTwoDigits)
{
    QByteArray key;
    for (int i = 0; i < 16; ++i)
        key.append(static_cast<char>(i == 15 ? 0x20 : i * 17));
    EXPECT_EQ(BytesToHexKey(key), "00112233445566778899AABBCCDDEE20");
    EXPECT_EQ(BytesToHexKey(HexKeyToBytes("0123456789ABCDEF0123456789ABCDEF")),
              "0123456789ABCDEF0123456789ABCDEF");
    EXPECT_EQ(BytesToHexKey(QByteArray("\x01\x02", 2)), "0102" + QByteArray(28, '0'));
    EXPECT_EQ(BytesToHexKey(QByteArray(20, '\x11')).size(), 32);
}

TEST(HostPort, JoinAndSplit)
{
    EXPECT_EQ(JoinHostPort("host.lt", "5001"), "host.lt:5001");
    EXPECT_EQ(JoinHostPort("host.lt", ""), "host.lt");

    QByteArray host, port;
    SplitHostPort("10.0.0.1:65535", host, port);
    EXPECT_EQ(host, "10.0.0.1");
    EXPECT_EQ(port, "65535");
    SplitHostPort("10.0.0.1:123456", host, port);
    EXPECT_EQ(host, "10.0.0.1");
    EXPECT_EQ(port, "");
    SplitHostPort("h:12a", host, port);
    EXPECT_EQ(port, "");
    SplitHostPort("only.host", host, port);
    EXPECT_EQ(host, "only.host");
    EXPECT_EQ(port, "");
    SplitHostPort("a:b:1", host, port);
    EXPECT_EQ(host, "a");
    EXPECT_EQ(port, "");
    SplitHostPort("a:", host, port);
    EXPECT_EQ(host, "a");
    EXPECT_EQ(port, "");
}

TEST(Times, SecondsAndTimeOfDay)
{
    EXPECT_EQ(SecondsToTime(65535), QTime(18, 12, 15));
    EXPECT_EQ(SecondsToTime(0), QTime(0, 0, 0));
    EXPECT_EQ(TimeToSeconds(QTime(18, 12, 15, 999)), 65535);
    EXPECT_EQ(TimeToSeconds(QTime()), 0);
    for (int s : {1, 59, 60, 3599, 3600, 43210, 86399})
        EXPECT_EQ(TimeToSeconds(SecondsToTime(s)), s);
    EXPECT_EQ(SecondsToTime(-5), QTime(0, 0, 0));
    EXPECT_EQ(SecondsToTime(90000), QTime(23, 59, 59));
}

TEST(Model, FlagsFromProductNameAndFirmware)
{
    TModelFlags f = ModelFlagsFor("VEQ3m communicator", 2500);
    EXPECT_TRUE(f.Model3mClass);
    EXPECT_TRUE(f.ModelVeq3);
    EXPECT_FALSE(f.ModelVeq4mFrom3000);

    f = ModelFlagsFor("veq4m", 2999);
    EXPECT_TRUE(f.Model3mClass);
    EXPECT_FALSE(f.ModelVeq3);
    EXPECT_FALSE(f.ModelVeq4mFrom3000);

    f = ModelFlagsFor("VEQ4M", 3000);
    EXPECT_FALSE(f.Model3mClass);
    EXPECT_TRUE(f.ModelVeq4mFrom3000);

    f = ModelFlagsFor("veq3", 2000);
    EXPECT_FALSE(f.Model3mClass);
    EXPECT_TRUE(f.ModelVeq3);

    f = ModelFlagsFor("other", 5000);
    EXPECT_FALSE(f.Model3mClass || f.ModelVeq3 || f.ModelVeq4mFrom3000);
}
