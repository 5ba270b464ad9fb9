// "Send data to Module" against the simulated module: a module whose every setting holds
// its own non-default value is read, written back unchanged and must then hold exactly
// what it held, after exactly the expected packets in the expected order. Also the
// firmware gates, the GPRS lock, the texts of a loaded template, the page checks, a bad
// key, and the module leaving or the window closing in the middle of a write.
#include "editor/CIDCatalog.h"
#include "editor/Controls.h"
#include "editor/Encodings.h"
#include "lang/LangText.h"
#include "link/VEQ2_Packets.h"
#include "support/WindowTestBase.h"
#include "widgets/PageWizard.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

namespace {

QByteArray Fill(const QByteArray& text, int width, char fill = ' ')
{
    return text.leftJustified(width, fill, true);
}

QByteArray Bytes(const tduomenys& p)
{
    return QByteArray(reinterpret_cast<const char*>(p.data()), static_cast<qsizetype>(p.size()));
}

// Every setting the write-all touches holds a value of its own, in the form a module
// stores it (texts filled to their field width).
sim::SimModuleConfig DistinctConfig(int firmware)
{
    sim::SimModuleConfig c;
    c.connectionString = Fill("10.20.30.40:5001", 50);
    c.apn = Fill("internet.test", 50);
    c.userName = Fill("apnuser", 32);
    c.password = Fill("apnpass", 32);
    TTCPCRControls t;
    t.ComboBox1Index = 1;
    t.ComboBox1Count = firmware >= FwEncryptionBits ? 3 : 2;
    t.ComboBox3Index = firmware >= FwEncryptionBits ? 2 : 0;
    t.ComboBox3Count = t.ComboBox1Count;
    t.ComboBox2Index = 1;
    t.ComboBox4Index = 1;
    t.TntComboBox3Index = 1;
    t.TntComboBox4Index = 1;
    t.TntCheckBox42Checked = true;
    t.TntCheckBox43Checked = true;
    c.tcpCR = BuildTCPCR(t, firmware); // the hidden PSTN boxes set bits 12 and 13
    c.connectionString2 = Fill("backup.example.org:6002", 50);
    c.connectionString3 = Fill("third.example.org:7003", 50);
    c.usbPassword = Fill("usbpw123", 16);
    c.reserveAccounts = {QByteArray("1234"), QByteArray("5678")};
    c.ownerName = Fill("Owner Name", 16);
    TVEQ2CRControls v;
    v.TntCheckBox3 = true;
    v.TntCheckBox13 = true;
    v.SpinEdit40 = 5;
    v.TntCheckBox28 = true;
    v.SpinEdit3 = 1234;
    v.TntCheckBox40 = true;
    v.TntCheckBox41 = true;
    c.veq2CR = BuildVEQ2CR(v);
    const quint8 userCR[10] = {0xE3, 0x41, 0x82, 0xC4, 0x28, 0x51, 0, 0x7F, 0x99, 0xFF};
    const quint8 userAddCR[10] = {0x2C, 0x04, 0x08, 0x10, 0x20, 0x3C, 0, 0x0C, 0x14, 0x24};
    for (int i = 0; i < 10; ++i) {
        auto& p = c.phones[static_cast<size_t>(i)];
        if (i == 6)
            continue; // a free slot
        p.number = Fill("+3706100000" + QByteArray::number(i), 15);
        p.cr = userCR[i];
        p.addCR = userAddCR[i];
    }
    TSMSPSTNCRControls s;
    s.TntCheckBox27 = true;
    s.SpinEdit2 = 3;
    s.se1 = 2;
    s.TntCheckBox10 = true;
    c.smsPstnCR = BuildSMSPSTNCR(s);
    for (int i = 0; i < 15; ++i)
        c.smsPhrases[static_cast<size_t>(i)] = Fill("Phrase " + QByteArray::number(i + 1), 16);
    c.helpText[0] = Fill("Help part one with exactly forty-seven letters.", 47);
    c.helpText[1] = Fill("Second part of the help text, also forty-seven", 47);
    c.helpText[2] = Fill("Last part", 47);
    // The catalogue's 24-hour preset of the events below ticks "24H" where they need it.
    const quint8 inputCR[6] = {0x21, 0x2A, 0x21, 0x69, 0x62, 0x29};
    const quint8 sens[6] = {5, 8, 10, 15, 20, 25};
    const quint16 noSense[6] = {30, 90, 3600, 45, 600, 7200};
    // Contact IDs of the catalogue's events 1110, 1111, 1113: qualifier, event digits,
    // group, zone.
    const std::array<quint8, 5> cid[6] = {{6, 0x11, 0x00, 0x10, 0x01}, {6, 0x11, 0x00, 0x10, 0x02},
                                          {6, 0x11, 0x10, 0x20, 0x03}, {6, 0x11, 0x30, 0x10, 0x04},
                                          {6, 0x11, 0x00, 0x20, 0x05}, {6, 0x11, 0x10, 0x10, 0x06}};
    for (int i = 0; i < 6; ++i) {
        auto& in = c.inputs[static_cast<size_t>(i)];
        in.cr = inputCR[i];
        in.violations = static_cast<quint8>(i % 2); // the hidden spin edit holds 0..1
        in.sensitivity = sens[i];
        in.noSenseInterval = noSense[i];
        in.cid = cid[i];
        c.inputSmsTexts[static_cast<size_t>(i)] = Fill("Input " + QByteArray::number(i + 1) + " alarm text", 50);
    }
    const char* groupName[4] = {"Zone", "Module", "User", "Area"};
    for (int g = 0; g < 4; ++g)
        for (int i = 0; i < 32; ++i)
            c.itemNames[static_cast<size_t>(g)][static_cast<size_t>(i)] =
                Fill(QByteArray(groupName[g]) + " " + QByteArray::number(i + 1), 16);
    for (int i = 0; i < 32; ++i) {
        auto& p = c.pgmPhones[static_cast<size_t>(i)];
        if (i % 5 == 4) {
            p.number = Fill("", 15); // free slots go out too
            continue;
        }
        p.number = Fill("+3706200" + QByteArray::number(1000 + i), 15);
        // Only the outputs whose function is remote control (outputs 1 and 2 below).
        p.mask = static_cast<quint8>(i % 3 == 0 ? 0xC0 : 0x80 >> (i % 2));
    }
    c.outputs[0] = {0x08, 2}; // remote control, pulse
    c.outputs[1] = {0x00, 10}; // remote control, steady
    c.outputs[2] = {0x0B, 60};
    c.outputs[3] = {0x0A, 300};
    c.accessPin = AccessPINToWord("4321");
    c.smsBackupFlag = 1;
    c.smsBackupPhone = Fill("+37061999999", 15);
    c.additionalSmsTexts = {Fill("First additional text", 50), Fill("Second additional text", 50)};
    c.simPin = Fill("5678", 8);
    c.heartBeat = 0x8ABC;
    c.cpCR = CPCRAlarmSystem; // the editor always writes communicator mode
    for (int k = 0; k < 2; ++k) {
        QByteArray key;
        for (int i = 0; i < 16; ++i)
            key.append(static_cast<char>(0x11 * (k + 1) + i));
        c.aesKeys[static_cast<size_t>(k)] = key;
    }
    return c;
}

// The stored configuration one setting a line, so that a difference shows as a diff.
std::string Dump(const sim::SimModuleConfig& c)
{
    QByteArray out;
    auto line = [&out](const QByteArray& name, const QByteArray& value) { out += name + ": " + value + "\n"; };
    auto hex = [](quint32 v) { return QByteArray::number(v, 16); };
    line("connectionString", c.connectionString);
    line("apn", c.apn);
    line("userName", c.userName);
    line("password", c.password);
    line("tcpCR", hex(c.tcpCR));
    line("connectionString2", c.connectionString2);
    line("connectionString3", c.connectionString3);
    line("usbPassword", c.usbPassword);
    for (size_t i = 0; i < c.reserveAccounts.size(); ++i)
        line("reserveAccount" + QByteArray::number(qulonglong(i)), c.reserveAccounts[i]);
    line("ownerName", c.ownerName);
    line("veq2CR", hex(c.veq2CR));
    for (size_t i = 0; i < c.phones.size(); ++i)
        line("user" + QByteArray::number(qulonglong(i)),
             c.phones[i].number + " " + hex(c.phones[i].cr) + " " + hex(c.phones[i].addCR));
    line("smsPstnCR", hex(c.smsPstnCR));
    for (const QByteArray& t : c.smsPhrases)
        line("smsPhrase", t);
    for (const QByteArray& t : c.helpText)
        line("helpText", t);
    for (size_t i = 0; i < c.inputs.size(); ++i) {
        const auto& in = c.inputs[i];
        line("input" + QByteArray::number(qulonglong(i)),
             hex(in.cr) + " " + hex(in.violations) + " " + hex(in.sensitivity) + " " + hex(in.noSenseInterval) +
                 " " + QByteArray(reinterpret_cast<const char*>(in.cid.data()), 5).toHex() + " " +
                 c.inputSmsTexts[i]);
    }
    for (const auto& group : c.itemNames)
        for (const QByteArray& name : group)
            line("itemName", name);
    for (const auto& p : c.pgmPhones)
        line("pgmPhone", p.number + " " + hex(p.mask));
    for (const auto& o : c.outputs)
        line("output", hex(o.cr) + " " + hex(o.impLength));
    line("accessPin", hex(c.accessPin));
    line("smsBackup", hex(c.smsBackupFlag) + " " + c.smsBackupPhone);
    for (const QByteArray& t : c.additionalSmsTexts)
        line("additionalSmsText", t);
    line("simPin", c.simPin);
    line("heartBeat", hex(c.heartBeat));
    line("cpCR", hex(c.cpCR));
    for (const QByteArray& k : c.aesKeys)
        line("aesKey", k.toHex());
    return out.toStdString();
}

void ExpectSameConfig(const sim::SimModuleConfig& a, const sim::SimModuleConfig& b)
{
    EXPECT_EQ(Dump(a), Dump(b));
}

struct ExpectOptions {
    int firmware = 2035;
    bool gprsLocked = false;
    bool templateTexts = false;
};

// The packets of a write-all of configuration c, in order, with the pause that must follow
// each (ms).
struct ExpectedPacket {
    QByteArray bytes;
    int pause;
};

std::vector<ExpectedPacket> ExpectedWrite(const sim::SimModuleConfig& c, const ExpectOptions& o)
{
    using namespace packets;
    std::vector<ExpectedPacket> e;
    auto add = [&e](const tduomenys& p, int pause) { e.push_back({Bytes(p), pause}); };
    add(SendCPCR(0), 5);
    add(SendConnectionString(c.connectionString), 5);
    add(SendConnectionString2(c.connectionString2), 5);
    add(SendAPN(c.apn), 5);
    add(SendUserName(c.userName), 5);
    add(SendPassword(c.password), 5);
    if (!o.gprsLocked)
        add(SendUSBPassword(c.usbPassword), 5);
    add(SendReserveAccount(1, c.reserveAccounts[1]), 5);
    add(SendReserveAccount(0, c.reserveAccounts[0]), 5);
    add(SendOwnerName(c.ownerName), 0);
    add(SendTCPCR(c.tcpCR), 5);
    add(SendVEQ2CR(c.veq2CR), 5);
    if (c.veq2CR & 0x40)
        add(SendSIMpin(c.simPin), 5);
    for (quint8 i = 0; i < 10; ++i) {
        const auto& p = c.phones[i];
        if (p.number.trimmed().isEmpty())
            continue;
        add(SendPhoneNumber(i, p.cr, p.number), 5);
        if (o.firmware >= FwAdditionalCR)
            add(SendPhoneNumberAdditionalCR(i, p.addCR), 5);
    }
    add(SendSMSPSTNCR(c.smsPstnCR), 5);
    const int used[4] = {ZoneNameCount, ModuleNameCount, UserNameCount, PartitionNameCount};
    for (quint8 g = 1; g <= 4; ++g)
        for (quint8 i = 0; i < used[g - 1]; ++i)
            add(SendItemName(g, i, c.itemNames[g - 1][i]), 5);
    for (quint8 i = 0; i < 32; ++i)
        add(SendPGMPhoneNumber(i, c.pgmPhones[i].mask, c.pgmPhones[i].number), 5);
    add(SendAccessPIN(AccessPINFromWord(c.accessPin)), 0);
    if (o.firmware >= FwAdditionalCR)
        add(SendHeartBeatEventId((c.heartBeat & 0x8000) != 0, c.heartBeat & 0x0FFF), 5);
    if (o.firmware >= FwEncryptionBits) { // where the read fetched them
        add(SendAES128Key(0, c.aesKeys[0]), 0);
        add(SendAES128Key(1, c.aesKeys[1]), 0);
    }
    if (o.templateTexts) {
        for (quint8 i = 0; i < 15; ++i)
            add(SendSMSPhrase(i, c.smsPhrases[i]), 5);
        add(SendBatchEnd(true), 0);
        for (quint8 i = 0; i < 2; ++i)
            add(SendAdditionalSMSText(i, c.additionalSmsTexts[i]), 50);
        add(SendBatchEnd(true), 0);
        for (quint8 i = 0; i < 3; ++i)
            add(SendHelpText(i, c.helpText[i].left(i == 2 ? 46 : 47)), 50);
        add(SendBatchEnd(true), 0);
    }
    for (quint8 i = 0; i < 6; ++i) {
        const auto& in = c.inputs[i];
        add(SendInputSetting(i, in.cr, in.violations, in.sensitivity, in.noSenseInterval,
                             tduomenys(in.cid.begin(), in.cid.end())),
            5);
        add(SendInputSMSText(i, c.inputSmsTexts[i]), 5);
    }
    for (quint8 i = 0; i < 4; ++i)
        add(SendOutputSetting(i, c.outputs[i].cr, c.outputs[i].impLength), 5);
    return e;
}

class WriteAllTest : public WindowTestBase {
protected:
    void SetUp() override { WindowTestBase::SetUp(); SetLinkTiming(2000, 500); }

    // A module with the distinct configuration, read into a new window.
    void ConnectAndRead(int firmware, bool gprsLocked = false, const char* type = "VEQ4m",
                        const std::optional<sim::SimModuleConfig>& config = std::nullopt)
    {
        PlugModule(firmware, true, QLatin1String(type));
        module->Config() = config ? *config : DistinctConfig(firmware);
        module->SetGPRSLocked(gprsLocked);
        CreateForms();
        ASSERT_TRUE(sim::WaitUntil([&] { return form->Link() && form->Link()->Connected; }, 10000));
        if (firmware < FwReadOnConnect) {
            // Older modules are not read on connect: the service page's read does it.
            ASSERT_TRUE(sim::WaitUntil([&] { return !form->TntLabel10->isHidden(); }, 10000));
            form->ApplyFirmwareFeatures(firmware);
            form->TntButton19Click();
        }
        ASSERT_TRUE(WaitReadEnded());
        // The lock check after connect has run (it hides the locked controls).
        sim::Pump(600);
    }

    void ExpectPackets(const std::vector<ExpectedPacket>& expected)
    {
        const auto got = WritePackets();
        EXPECT_EQ(got.size(), expected.size());
        for (size_t i = 0; i < std::min(got.size(), expected.size()); ++i) {
            if (got[i] != expected[i].bytes) {
                ADD_FAILURE() << "packet " << i << " is " << got[i].left(20).toHex(' ').constData()
                              << ", expected " << expected[i].bytes.left(20).toHex(' ').constData();
                return;
            }
        }
        // Each packet is followed by the send's 4 ms gap and then by its pause: the next
        // one never comes sooner (timers never fire early; allow for rounding).
        const auto& log = module->Log();
        for (size_t i = 0; i + 1 < std::min(got.size(), expected.size()) && i + 1 < log.size(); ++i) {
            const double ms = static_cast<double>(log[i + 1].atNs - log[i].atNs) / 1e6;
            EXPECT_GE(ms, 4 + expected[i].pause - 0.6) << "after packet " << i;
        }
    }

    void RoundTrip(const ExpectOptions& o)
    {
        sim::SimModuleConfig expected = module->Config();
        expected.cpCR = CPCRCommunicator;
        const std::vector<ExpectedPacket> packets = ExpectedWrite(module->Config(), o);
        module->ClearLog();
        const size_t shownBefore = ui::Record().size();
        form->TntButton1->click();
        ASSERT_TRUE(WaitReadEnded());
        ExpectPackets(packets);
        ExpectSameConfig(module->Config(), expected);
        // Nothing to report: no message during the write or its read-back.
        EXPECT_EQ(ui::Record().size(), shownBefore) << ui::Record().back().text.toStdString();
        EXPECT_TRUE(form->isEnabled());
    }

};

TEST_F(WriteAllTest, WritesBackWhatWasReadUnchanged)
{
    ConnectAndRead(2035);
    bool waitShown = false;
    module->OnPacket = [&](const QByteArray& p) {
        if (static_cast<quint8>(p[0]) == 0x1B)
            waitShown = Form5->isVisible() && !Form5->Label1->isHidden() && Form5->Label2->isHidden() &&
                        !form->isEnabled();
    };
    RoundTrip({2035, false, false});
    EXPECT_TRUE(waitShown);
    // The whole configuration: 174 packets, less the two of the user without a number.
    EXPECT_EQ(WritePackets().size(), 172u); // user 7 has no number
}

TEST_F(WriteAllTest, OutputsGoBackAsReadWhateverTheirPulseLength)
{
    PlugModule(2035, false);
    module->Config() = DistinctConfig(2035);
    // Lengths of 0, as a new module holds them, and the longest one.
    module->Config().outputs = {{{0x08, 0}, {0x00, 0}, {0x0B, 0}, {0x09, 65535}}};
    module->Plug();
    CreateForms();
    ASSERT_TRUE(sim::WaitUntil([&] { return form->Link() && form->Link()->Connected; }, 10000));
    ASSERT_TRUE(WaitReadEnded());
    sim::Pump(600);
    RoundTrip({2035, false, false});
}

TEST_F(WriteAllTest, LanguageSwitchesChangeNothingThatIsWritten)
{
    ConnectAndRead(2035);
    ASSERT_TRUE(form->ComboBox28->findText("Russian") >= 0);
    auto choose = [&](const char* language) {
        const int i = form->ComboBox28->findText(QString::fromLatin1(language));
        form->ComboBox28->setCurrentIndex(i);
        emit form->ComboBox28->activated(i);
    };
    // An owner name in letters of the first language's code page (the module keeps it).
    form->Edit8->setText(QString::fromUtf8("Łódź"));
    // What only the window holds, and a refill of the lists would reset: input 1's "24H"
    // against its event's preset, input 3's zone chosen from the names.
    auto edit = [&] {
        TCIDDescription entry;
        ASSERT_EQ(form->FindCIDByDescription(form->ComboBox6, entry), 1);
        form->TntCheckBox44->setChecked(!entry.Preset24H);
        form->FillNamePopup(2, 1);
        ASSERT_GT(form->Popup1->actions().size(), 5);
        form->Popup1->actions().at(5)->trigger();
    };
    auto write = [&] {
        module->ClearLog();
        const size_t shown = ui::Record().size();
        form->TntButton1->click();
        EXPECT_TRUE(WaitReadEnded());
        EXPECT_EQ(ui::Record().size(), shown);
        return WritePackets();
    };
    edit();
    const auto first = write();
    ASSERT_EQ(first.size(), 172u);
    const QByteArray& input1 = first[first.size() - 16];
    ASSERT_EQ(static_cast<quint8>(input1[0]), 0x0F);
    EXPECT_EQ(static_cast<quint8>(input1[2]), 0x01); // input 1 without "24H"

    edit();
    const size_t shown = ui::Record().size();
    for (const char* l : {"Russian", "English", "Russian", "English"})
        choose(l);
    EXPECT_EQ(ui::Record().size(), shown); // a switch asks nothing
    EXPECT_TRUE(first == write());

    edit();
    choose("Russian");
    EXPECT_TRUE(first == write());
}

TEST_F(WriteAllTest, FirmwareGatesTheAdditionalFlagsHeartbeatAndKeys)
{
    for (int fw : {1024, 1026, 2020, 2030}) {
        SCOPED_TRACE(fw);
        ConnectAndRead(fw);
        RoundTrip({fw, false, false});
        const auto codes = module->Codes();
        EXPECT_EQ(std::count(codes.begin(), codes.end(), 0x1A) > 0, fw >= FwAdditionalCR);
        EXPECT_EQ(std::count(codes.begin(), codes.end(), 0x19) > 0, fw >= FwAdditionalCR);
        EXPECT_EQ(std::count(codes.begin(), codes.end(), 0x1C) > 0, fw >= FwEncryptionBits);
        CloseWindow();
        ui::ClearRecord();
    }
}

TEST_F(WriteAllTest, GPRSLockKeepsTheUSBPasswordButWritesTheChannels)
{
    ConnectAndRead(2035, true);
    ASSERT_TRUE(form->Link()->GPRSLocked);
    RoundTrip({2035, true, false});
    const auto codes = module->Codes();
    EXPECT_EQ(std::count(codes.begin(), codes.end(), 0x07), 0);
    EXPECT_EQ(std::count(codes.begin(), codes.end(), 0x00), 1);
}

TEST_F(WriteAllTest, TemplateTextsGoOutOnceBetweenTheKeysAndTheInputs)
{
    ConnectAndRead(2035);
    TemplateLoaded = true;
    RoundTrip({2035, false, true});
    EXPECT_FALSE(TemplateLoaded);
    EXPECT_EQ(WritePackets().size(), 195u);
    // A second write leaves the texts to their own dialogs.
    module->ClearLog();
    form->TntButton1->click();
    ASSERT_TRUE(WaitReadEnded());
    const auto codes = module->Codes();
    EXPECT_EQ(std::count(codes.begin(), codes.end(), 0x0D), 0);
    EXPECT_EQ(std::count(codes.begin(), codes.end(), 0x0E), 0);
    EXPECT_EQ(std::count(codes.begin(), codes.end(), 0x16), 0);
}

TEST_F(WriteAllTest, PageChecksStopTheWriteBeforeAnythingIsSent)
{
    ConnectAndRead(2035);
    // A PIN shorter than four digits: message 92.
    form->Edit13->setText(QStringLiteral("12"));
    module->ClearLog();
    form->TntButton1->click();
    sim::Pump(300);
    EXPECT_TRUE(Shown(GetLangText(92)));
    EXPECT_TRUE(module->Packets().empty());
    EXPECT_FALSE(Form5->isVisible());
    EXPECT_TRUE(form->isEnabled());

    // A used channel without its address: message 82.
    form->Edit13->setText(QStringLiteral("4321"));
    form->Edit1->clear();
    ui::ClearRecord();
    form->TntButton1->click();
    sim::Pump(300);
    EXPECT_TRUE(Shown(GetLangText(82)));
    EXPECT_FALSE(Shown(GetLangText(92)));
    EXPECT_TRUE(module->Packets().empty());
    EXPECT_FALSE(Form5->isVisible());
    EXPECT_TRUE(form->isEnabled());
}

TEST_F(WriteAllTest, BadKeyStopsBeforeTheFirstPacket)
{
    ConnectAndRead(2035);
    const sim::SimModuleConfig before = module->Config();
    for (QLineEdit* key : {form->TntEdit8, form->TntEdit9}) {
        const QString good = key->text();
        key->setText(QStringLiteral("00112G"));
        module->ClearLog();
        ui::ClearRecord();
        form->TntButton1->click();
        sim::Pump(300);
        EXPECT_TRUE(Shown(QStringLiteral("Ne HEX 2G")));
        EXPECT_TRUE(module->Packets().empty());
        EXPECT_FALSE(Form5->isVisible());
        EXPECT_TRUE(form->isEnabled());
        key->setText(good);
    }
    ExpectSameConfig(module->Config(), before);
}

TEST_F(WriteAllTest, UnplugDuringTheWriteLeavesTheWindowUsable)
{
    ConnectAndRead(2035);
    module->ClearLog();
    int received = 0;
    module->OnPacket = [&](const QByteArray&) {
        if (++received == 40)
            QTimer::singleShot(0, [&] { module->Unplug(); });
    };
    form->TntButton1->click();
    ASSERT_TRUE(sim::WaitUntil([&] { return !form->Image1->isHidden(); }, 5000));
    sim::Pump(300);
    EXPECT_EQ(module->Packets().size(), 40u);
    EXPECT_FALSE(Form5->isVisible());
    EXPECT_TRUE(form->isEnabled());
    EXPECT_FALSE(form->Timer2->isActive());
}

TEST_F(WriteAllTest, ClosingDuringTheWriteStopsIt)
{
    ConnectAndRead(2035);
    module->ClearLog();
    int received = 0;
    module->OnPacket = [&](const QByteArray&) {
        if (++received == 25)
            QTimer::singleShot(0, form, [&] { form->close(); });
    };
    form->TntButton1->click();
    ASSERT_TRUE(sim::WaitUntil([&] { return form->Link() == nullptr; }, 5000));
    sim::Pump(200);
    EXPECT_LE(module->Packets().size(), 26u);
}

TEST_F(WriteAllTest, WithoutAModuleNothingWasReadSoNothingStarts)
{
    ASSERT_TRUE(CreateFormsWithLanguages());
    form->TntButton1Click();
    EXPECT_TRUE(Shown(GetLangText(118)));
    EXPECT_FALSE(Form5->isVisible());
    EXPECT_FALSE(form->Timer2->isActive());
    EXPECT_TRUE(form->isEnabled());
    EXPECT_EQ(form->WPage[9]->Header()->Subtitle()->Text(), GetLangText(70)); // nothing was written
    // The window's settings, prepared without a module ("Code=2" shows the pages), go into a template.
    ui::QueueText(dir.path() + "/prepared.tpl");
    form->TntButton26Click();
    EXPECT_TRUE(QFile::exists(dir.path() + "/prepared.tpl"));
}

TEST(WriteControls, WordsFromTheWindowsControls)
{
    TForm1 form;
    TVEQ2CRControls v;
    v.TntCheckBox3 = true;
    v.SpinEdit40 = 7;
    v.SpinEdit3 = 4321;
    v.TntCheckBox41 = true;
    form.TntCheckBox3->setChecked(true);
    form.SpinEdit40->SetValue(7);
    form.SpinEdit3->SetValue(4321);
    form.TntCheckBox41->setChecked(true);
    EXPECT_EQ(BuildVEQ2CR(form.ReadVEQ2CRControls()), BuildVEQ2CR(v));
    // A heartbeat period outside the spin edit's range goes out as its bound.
    form.SpinEdit3->SetValue(70000);
    EXPECT_EQ(form.ReadVEQ2CRControls().SpinEdit3, HeartbeatPeriodMax);
    if (form.se1 && form.SpinEdit2 && form.TntCheckBox10 && form.TntCheckBox27) {
        form.se1->SetValue(4);
        form.SpinEdit2->SetValue(8);
        form.TntCheckBox10->setChecked(true);
        const TSMSPSTNCRControls s = form.ReadSMSPSTNCRControls();
        EXPECT_EQ(s.se1, 4);
        EXPECT_EQ(s.SpinEdit2, 8);
        EXPECT_TRUE(s.TntCheckBox10);
        EXPECT_FALSE(s.TntCheckBox27);
    }
    // The hidden writers exist under their names.
    EXPECT_EQ(form.TntButton114->objectName(), QStringLiteral("TntButton114"));
    EXPECT_TRUE(form.TntButton114->isHidden());
    EXPECT_TRUE(form.TntButton11->isHidden());
}

// The wizard as the user sees it: the page shown and, for each navigation button, whether
// it is visible and enabled on its own.
std::string WizardState(const TForm1& form)
{
    std::string out = "page " + std::to_string(form.wzrd1->GetActivePageIndex());
    for (int k = 0; k < kPageWizardButtonKinds; ++k) {
        const auto* b = form.wzrd1->ButtonControl(static_cast<TPageWizardButtonKind>(k));
        out += b->isHidden() ? " -" : b->testAttribute(Qt::WA_ForceDisabled) ? " d" : " e";
    }
    return out;
}

TEST_F(WriteAllTest, ReadManualConfigurationAndSendKeepTheModuleAndTheWizardPage)
{
    ConnectAndRead(2035);
    // The read held the window disabled behind its wait dialog; the wizard kept its page.
    EXPECT_EQ(form->wzrd1->GetActivePageIndex(), 0);
    form->TntButton30->click(); // "Manual Configuration"
    ASSERT_EQ(form->PageControl1->ActivePageIndex(), 5);
    const std::string manual = WizardState(*form);
    EXPECT_EQ(manual, "page 0 - - - - - e -"); // only Cancel, enabled
    RoundTrip({});                              // "Send data to Module": the module keeps its settings
    EXPECT_EQ(WizardState(*form), manual);

    // The SMS text dialogs hold the window disabled too, on the names page.
    form->GoToWizardStep(7);
    const std::string names = WizardState(*form);
    ASSERT_EQ(names.substr(0, 6), "page 7");
    for (QDialog* dialog : {static_cast<QDialog*>(Form2), static_cast<QDialog*>(Form6)}) {
        (dialog == Form2 ? form->TntButton8 : form->TntButton33)->click();
        ASSERT_TRUE(sim::WaitUntil([&] { return dialog->isVisible() && !form->isEnabled(); }, 5000));
        sim::Pump(100);
        dialog->close();
        ASSERT_TRUE(sim::WaitUntil([&] { return form->isEnabled(); }));
        EXPECT_EQ(WizardState(*form), names) << dialog->objectName().toStdString();
    }

    // So does a factory reset with its read-back, whose wait dialog no Esc closes.
    bool held = false;
    QTimer::singleShot(50, form, [&] {
        QTest::keyClick(Form5, Qt::Key_Escape);
        held = Form5->isVisible() && !form->isEnabled();
    });
    ui::QueueButton(ui::MsgButton::Yes);
    form->TntButton1911->click();
    ASSERT_TRUE(WaitReadEnded());
    EXPECT_TRUE(held);
    EXPECT_TRUE(form->isEnabled());
    EXPECT_EQ(WizardState(*form), names);
}

// The distinct configuration of 2035, with what no control shows or typing would not give.
sim::SimModuleConfig TemplateSourceConfig()
{
    const std::array<quint8, 5> burglary = {6, 0x13, 0x00, 0x10, 0x05}; // group 1, zone 5
    sim::SimModuleConfig c = DistinctConfig(2035);
    c.inputs[4] = {0x21, 0, 20, 600, burglary}; // 24H beside an event without it
    c.inputs[0].cr = 0x41;                      // no 24H beside an event with it (fire alarm)
    c.inputs[1] = {0xD9, 1, 8, 90, burglary};   // input bits 4 and 7
    c.outputs[3].cr = 0x19;                     // the siren bit of a row the page shows
    c.outputs[1] = {0x0D, 100};                 // function 5, in half seconds
    c.veq2CR = 0x4902584F | VEQ2CRSimPinWrong;  // general word bits 1, 27, 30; the SIM PIN warning
    c.smsPstnCR = 0x42180082;                   // SMS/PSTN word bits 1 and 25
    c.connectionString = Fill("receiver-number-two.at-the-station-xy.example.lt", 50); // 48, no port
    c.connectionString2 = Fill("rx~2.receiver-of-the-station.alarm.example.lt:80", 50);
    // Channel 2 alone in use, on the third protocol; both keys in use.
    c.tcpCR = BuildTCPCR({.ComboBox3Index = 2, .ComboBox3Count = 3, .ComboBox2Index = 1,
                          .TntCheckBox42Checked = true, .TntCheckBox43Checked = true}, 2035) | 0x80000000u;
    c.reserveAccounts[0] = "12  ";
    c.phones[3].number = Fill("+3706100x", 15);
    c.heartBeat = 0xF602;       // bits 12-14
    c.pgmPhones[0].mask = 0xBF; // outputs 1, 3 and 4, and bits of no output
    return c;
}

// A template saved from a module, loaded over a window that shows another configuration
// and written: the module then holds what it held when the template was saved, except
// what no template carries. What no control shows or typing would not give goes back whole,
// by a write-all with no edits too. Over a module whose window shows less (another type or
// firmware), what only the other window shows stays that module's own.
TEST_F(WriteAllTest, ALoadedTemplateWrittenGivesTheModuleTheSavedConfiguration)
{
    TForm1::LinkTiming.GapMs = TForm1::LinkTiming.SeriesPauseMaxMs = 0; // what is stored counts, not the pace
    // Saved from a VEQ4m (3m class) or a VEQ3, both of 2035, loaded over a VEQ4m of this firmware.
    const std::pair<const char*, int> rows[] = {{"VEQ4m", 2035}, {"VEQ3", 2020}, {"VEQ3", 3010}};
    for (const auto& [from, to] : rows) {
        SCOPED_TRACE(testing::Message() << from << " over " << to);
        ConnectAndRead(2035, false, from, TemplateSourceConfig());
        sim::SimModuleConfig held = module->Config();
        held.cpCR = CPCRCommunicator;
        held.veq2CR &= ~VEQ2CRSimPinWrong; // the module's warning, never sent
        WriteAllSettings();
        ExpectSameConfig(module->Config(), held);
        const sim::SimModuleConfig saved = module->Config();
        const QString name = dir.path() + "/module.tpl";
        ui::QueueText(name);
        form->TntButton26->click();
        ASSERT_TRUE(QFile::exists(name));
        CloseWindow();

        // Another module, which holds next to nothing, and the window shows that.
        sim::SimModuleConfig blank;
        blank.heartBeat = 0x2000;
        blank.tcpCR = 1u << 25 | 0x20u; // channel 2 on the second protocol
        blank.outputs[2] = {0x01, 60}; // "Arm" without the pulse, on a row its window does not show
        ConnectAndRead(to, false, "VEQ4m", blank);
        blank = module->Config();

        ui::QueueText(name);
        form->TntButton27->click();
        ASSERT_TRUE(TemplateLoaded);
        module->ClearLog();
        ui::ClearRecord();
        form->TntButton1->click();
        ASSERT_TRUE(WaitReadEnded());

        auto own = [](auto a, auto b, unsigned bits) { return decltype(a)((a & ~bits) | (b & bits)); };
        sim::SimModuleConfig expected = saved;
        expected.cpCR = CPCRCommunicator;
        // Not in a template: the third address, the SMS backup number, the GPRS-settings
        // password bit, the heartbeat ID's bits 12-14, and the names the module keeps beyond
        // those the pages use.
        expected.connectionString3 = blank.connectionString3;
        expected.smsBackupFlag = blank.smsBackupFlag;
        expected.smsBackupPhone = blank.smsBackupPhone;
        expected.veq2CR = own(saved.veq2CR, blank.veq2CR, 1u << 25);
        expected.heartBeat = own(saved.heartBeat, blank.heartBeat, HeartbeatHiddenBits);
        for (size_t i = ModuleNameCount; i < 32; ++i)
            expected.itemNames[1][i] = blank.itemNames[1][i];
        for (size_t i = PartitionNameCount; i < 32; ++i)
            expected.itemNames[3][i] = blank.itemNames[3][i];
        // What only another window shows: below 2030 the key bits, keys and third protocol; on the
        // 3m class the outputs, the remote-control phones, "Call on Alarm" and "Mandatory Call";
        // from 3000 outputs 3 and 4 and their remote-control bits.
        const bool class3m = to < FwVeq4mFrom3000;
        if (to < FwEncryptionBits) {
            expected.tcpCR = own(saved.tcpCR, blank.tcpCR, 1u << 25 | 1u << 29 | 0xF0u);
            expected.aesKeys = blank.aesKeys;
        }
        for (size_t i = 0; i < 4; ++i)
            if (class3m || i >= 2)
                expected.outputs[i] = blank.outputs[i];
        for (size_t i = 0; i < 32; ++i) {
            auto& p = expected.pgmPhones[i];
            p.mask = own(p.mask, blank.pgmPhones[i].mask, class3m ? 0xFF : 0x30);
            if (class3m)
                p.number = Fill(blank.pgmPhones[i].number, 15);
        }
        for (size_t i = 0; class3m && i < 10; ++i)
            expected.phones[i].cr = own(saved.phones[i].cr, blank.phones[i].cr, 0x14);
        ExpectSameConfig(module->Config(), expected);
        EXPECT_TRUE(ui::Record().empty());
        CloseWindow();
    }
}

} // namespace
