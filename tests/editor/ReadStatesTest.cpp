// What a read leaves on the pages: the handlers that follow a control set by the program
// (channel use, protocol, key boxes, heartbeat, SIM PIN, passwords) must have run, so the
// controls that depend on them are enabled or shown exactly as the settings say. The same
// window reads three modules in turn, so every state is reached from its opposite.
#include "editor/Controls.h"
#include "editor/Encodings.h"
#include "support/WindowTestBase.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>

namespace {

constexpr int kFirmware = 2035;

struct ModuleWords {
    const char* name;
    quint32 tcpCR;
    quint32 veq2CR;
    quint16 heartBeat;
};

// The states that the handlers give the dependent controls.
struct Expected {
    bool heartbeatBox, heartbeatEditEnabled;
    const char* heartbeatId;
    bool periodEnabled, simPinEditable, simPinWarning;
    bool passwordEnabled, gprsPasswordBoxEnabled;
    bool address1Enabled, keyPanel1Shown, key1Shown;
    bool address2Enabled, keyPanel2Shown, key2Shown;
};

quint32 AllChannelsWord()
{
    TTCPCRControls t;
    t.ComboBox4Index = 1;   // channel 1 used
    t.ComboBox1Index = 2;   // the third protocol: key panel
    t.ComboBox1Count = 3;
    t.ComboBox2Index = 2;   // channel 2 reserve
    t.ComboBox3Index = 2;
    t.ComboBox3Count = 3;
    t.TntCheckBox42Checked = true;
    t.TntCheckBox43Checked = true;
    return BuildTCPCR(t, kFirmware);
}

quint32 GeneralWord(bool usbPassword, bool heartbeatCheck, bool simPin, bool gprsPassword, bool simPinWrong)
{
    TVEQ2CRControls v;
    v.TntCheckBox3 = usbPassword;
    v.TntCheckBox13 = heartbeatCheck;
    v.TntCheckBox28 = simPin;
    v.TntCheckBox41 = gprsPassword;
    return BuildVEQ2CR(v) | (simPinWrong ? 0x80u : 0u);
}

class ReadStatesTest : public WindowTestBase {
protected:
    void SetUp() override { WindowTestBase::SetUp(); SetLinkTiming(2000, 500); }

    void ExpectStates(const Expected& e)
    {
        EXPECT_EQ(form->TntCheckBox33->isChecked(), e.heartbeatBox);
        EXPECT_EQ(ctl::Enabled(form->TntEdit4), e.heartbeatEditEnabled);
        EXPECT_EQ(form->TntEdit4->text(), QLatin1String(e.heartbeatId));
        EXPECT_EQ(ctl::Enabled(form->SpinEdit3), e.periodEnabled);
        EXPECT_EQ(!form->TntEdit1->isReadOnly(), e.simPinEditable);
        EXPECT_EQ(ctl::Visible(form->TntLabel5), e.simPinWarning);
        EXPECT_EQ(ctl::Enabled(form->Edit9), e.passwordEnabled);
        EXPECT_EQ(ctl::Enabled(form->TntCheckBox41), e.gprsPasswordBoxEnabled);
        EXPECT_EQ(ctl::Enabled(form->Edit1), e.address1Enabled);
        EXPECT_EQ(ctl::Visible(form->CH1_Panel2), e.keyPanel1Shown);
        EXPECT_EQ(ctl::Visible(form->TntEdit8), e.key1Shown);
        EXPECT_EQ(ctl::Enabled(form->Edit5), e.address2Enabled);
        EXPECT_EQ(ctl::Visible(form->CH2_Panel2), e.keyPanel2Shown);
        EXPECT_EQ(ctl::Visible(form->TntEdit9), e.key2Shown);
    }
};

TEST_F(ReadStatesTest, HandlersAfterEachReadLeaveTheDependentControlsAsTheSettingsSay)
{
    const struct {
        ModuleWords words;
        Expected states;
    } reads[] = {
        {{"all on", AllChannelsWord(), GeneralWord(true, true, true, false, true), 0x8ABC},
         {true, true, "ABC", true, true, true, true, false, true, true, true, true, true, true}},
        {{"all off, GPRS password", 0, GeneralWord(false, false, false, true, false), 0x0123},
         {false, false, "123", false, false, false, true, true, false, false, false, false, false, false}},
        {{"channels on, no password", AllChannelsWord(), GeneralWord(false, true, false, false, false), 0x8602},
         {true, true, "602", true, false, false, false, true, true, true, true, true, true, true}},
    };

    PlugModule(kFirmware, false);
    ASSERT_TRUE(CreateFormsWithLanguages());
    bool first = true;
    for (const auto& r : reads) {
        SCOPED_TRACE(r.words.name);
        module->Config().tcpCR = r.words.tcpCR;
        module->Config().veq2CR = r.words.veq2CR;
        module->Config().heartBeat = r.words.heartBeat;
        ReadModuleAgain(first);
        ASSERT_TRUE(WaitReadFinished());
        ExpectStates(r.states);
    }
}

} // namespace
