// "Set settings to factory default" and the production test against the simulated module:
// the exact packets of the reset with their pauses (firmware gates, GPRS lock, the PSTN
// option, the factory words), the test number from the list or the prompt, and both
// stopping safely when the module or the window goes away. Also the service page.
#include "editor/Encodings.h"
#include "editor/ModuleText.h"
#include "lang/Kalbos.h"
#include "lang/LangText.h"
#include "link/VEQ2_Packets.h"
#include "support/WindowTestBase.h"

#include <QApplication>
#include <QCheckBox>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

QByteArray Bytes(const tduomenys& p)
{
    return QByteArray(reinterpret_cast<const char*>(p.data()), static_cast<qsizetype>(p.size()));
}

struct Packet {
    QByteArray bytes;
    int pause; // ms that must follow it (besides the send's gap)
};

// What the window holds for the reporting settings when the reset does not touch them.
struct Kept {
    QByteArray address1, address2, apn, user, password, account0, account1, owner;
};

struct ResetCase {
    int firmware = 2035;
    bool locked = false;
    bool pstnShown = false;
    bool testMode = false;
    quint32 tcpcr = 0;  // the factory words the module must get
    quint32 veq2cr = 0;
    quint16 heartbeat = 0x602;
    bool heartbeatFlag = false;
    Kept kept;
};

QByteArray Encoded(int message, const QByteArray& suffix = {})
{
    return ModuleText::FromLangText(GetLangMessage(message) + suffix);
}

std::vector<Packet> ExpectedReset(const ResetCase& c)
{
    using namespace packets;
    std::vector<Packet> e;
    auto add = [&e](const tduomenys& p, int pause) { e.push_back({Bytes(p), pause}); };
    add(SendCPCR(0), 5);
    add(SendConnectionString(c.kept.address1), 5);
    add(SendConnectionString2(c.kept.address2), 5);
    add(SendAPN(c.kept.apn), 5);
    add(SendUserName(c.kept.user), 5);
    add(SendPassword(c.kept.password), 5);
    if (!c.locked)
        add(SendUSBPassword(""), 5);
    add(SendReserveAccount(1, c.kept.account1), 5);
    add(SendReserveAccount(0, c.kept.account0), 5);
    add(SendOwnerName(c.kept.owner), 0);
    add(SendTCPCR(c.tcpcr), 5);
    add(SendVEQ2CR(c.veq2cr), 5);
    add(SendSIMpin(""), 0);
    add(SendSMSPSTNCR(0x120080), 0); // both spins at 3, limited trouble SMS on
    for (quint8 i = 0; i < 10; ++i) {
        add(SendPhoneNumber(i, 0, ""), 5);
        if (c.firmware >= 1026)
            add(SendPhoneNumberAdditionalCR(i, 0), 5);
    }
    for (quint8 i = 0; i < 15; ++i)
        add(SendSMSPhrase(i, Encoded(i + 1)), 5);
    add(SendBatchEnd(true), 0);
    for (quint8 i = 0; i < 6; ++i) {
        add(SendInputSetting(i, 0, 0, 4, 0, tduomenys(5, 0)), 5);
        add(SendInputSMSText(i, Encoded(23, QByteArray::number(i + 1))), 5);
    }
    for (quint8 i = 0; i < 4; ++i)
        add(SendOutputSetting(i, 8, 1), 0);
    for (quint8 i = 0; i < 32; ++i)
        add(SendPGMPhoneNumber(i, 0, ""), 0);
    if (c.firmware >= 1026)
        add(SendHeartBeatEventId(c.heartbeatFlag, c.heartbeat), 5);
    add(SendAccessPIN("8362"), 0);
    add(SendAdditionalSMSText(0, Encoded(16)), 50);
    add(SendAdditionalSMSText(1, Encoded(17)), 50);
    if (!c.testMode) {
        const struct { quint8 group; int count, message, first; } blocks[] = {
            {1, 32, 19, 1}, {2, 16, 21, 0}, {3, 32, 20, 0}, {4, 8, 22, 1}};
        for (const auto& b : blocks)
            for (int k = 0; k < b.count; ++k)
                add(SendItemName(b.group, static_cast<quint8>(k), Encoded(b.message, QByteArray::number(k + b.first))), 5);
    }
    return e;
}

class FactoryDefaultsTest : public WindowTestBase {
protected:
    void SetUp() override { WindowTestBase::SetUp(); SetLinkTiming(2000, 500); }

    // A window with a module of the given firmware; from 2000 on its settings are read first.
    void Connect(int firmware, bool locked = false, const sim::SimModuleConfig& config = {})
    {
        PlugModule(firmware);
        module->Config() = config;
        module->SetGPRSLocked(locked);
        CreateForms();
        ASSERT_TRUE(sim::WaitUntil([&] { return form->Link() && form->Link()->Connected; }, 10000));
        ASSERT_TRUE(sim::WaitUntil([&] { return form->ComboBox28->count() > 0; }));
        if (firmware >= FwReadOnConnect) {
            ASSERT_TRUE(WaitReadEnded());
        }
        sim::Pump(600); // the lock check after connect
        module->ClearLog();
        ui::ClearRecord();
    }

    // The packets from `from` on are `expected`, each followed by at least its pause.
    void ExpectPackets(const std::vector<Packet>& expected, size_t from = 0)
    {
        const auto got = WritePackets();
        ASSERT_GE(got.size(), from + expected.size());
        for (size_t i = 0; i < expected.size(); ++i)
            ASSERT_EQ(got[from + i].toHex(' ').toStdString(), expected[i].bytes.toHex(' ').toStdString())
                << "packet " << from + i;
        const auto& log = module->Log();
        for (size_t i = 0; i + 1 < expected.size() && from + i + 1 < log.size(); ++i) {
            const double ms = static_cast<double>(log[from + i + 1].atNs - log[from + i].atNs) / 1e6;
            EXPECT_GE(ms, 4 + expected[i].pause - 0.6) << "after packet " << from + i;
        }
    }

    void ResetWithYes()
    {
        ui::QueueButton(ui::MsgButton::Yes);
        form->TntButton1911Click();
    }
};

TEST_F(FactoryDefaultsTest, ResetSendsTheFactoryConfigurationAndReadsItBack)
{
    // Hidden PSTN boxes set bits 12 and 13; shown and unticked they leave them clear.
    // Heartbeat 600 s and a restart every 6 hours, nothing else, in the general word.
    const struct {
        int firmware;
        bool pstn;
        quint32 tcpcr;
    } cases[] = {{1025, false, 0x3011}, {1026, false, 0x3011}, {2030, false, 0x3011}, {2030, true, 0x0011}};
    for (const auto& k : cases) {
        SCOPED_TRACE(testing::Message() << "firmware " << k.firmware << " PSTN " << k.pstn);
        if (k.pstn)
            WriteSettings("PSTN=1\r\n");
        Connect(k.firmware);
        TemplateLoaded = true;
        bool waitUp = true, saysWriting = false;
        module->OnPacket = [&](const QByteArray& p) {
            if (static_cast<quint8>(p[0]) == 0x80 || static_cast<quint8>(p[0]) == 0x1B)
                waitUp = waitUp && Form5->isVisible() && !form->isEnabled();
            if (static_cast<quint8>(p[0]) == 0x1B) // the first, though the connect read left it saying read
                saysWriting = !Form5->Label1->isHidden() && Form5->Label2->isHidden();
        };
        // Below 2000 the button is not offered, but the reset keeps to the firmware's commands.
        const bool offered = k.firmware >= FwReadOnConnect;
        if (offered)
            ResetWithYes();
        else
            form->WriteFactoryDefaults(false);
        EXPECT_TRUE(Form5->isVisible());
        EXPECT_FALSE(TemplateLoaded);
        ASSERT_TRUE(WaitReadEnded());
        EXPECT_TRUE(waitUp) << "the wait dialog went before the read-back";
        EXPECT_TRUE(saysWriting);

        ResetCase c;
        c.firmware = k.firmware;
        c.tcpcr = k.tcpcr;
        c.veq2cr = 0x25828;
        c.kept.account0 = c.kept.account1 = "0000";
        const auto expected = ExpectedReset(c);
        ExpectPackets(expected);
        EXPECT_EQ(WritePackets().size(), expected.size());
        EXPECT_EQ(expected.size(), k.firmware >= 1026 ? 190u : 179u);
        // The read-back follows; the window keeps the number, the module has an empty slot.
        EXPECT_GT(module->Packets().size(), WritePackets().size());
        EXPECT_EQ(module->Config().smsPhrases[0].trimmed(), GetLangMessage(1));
        // The question, and no message of the reset's own (the read-back of a factory input
        // reports its Contact ID, which is the inputs page's affair).
        if (offered) {
            ASSERT_FALSE(ui::Record().empty());
            EXPECT_EQ(ui::Record().front().text, GetLangText(24));
        }
        EXPECT_EQ(std::count_if(ui::Record().begin(), ui::Record().end(),
                                [](const ui::ShownDialog& d) { return d.kind == QStringLiteral("message"); }),
                  offered ? 1 : 0);
        EXPECT_TRUE(form->isEnabled());

        CloseWindow();
        QFile::remove(dir.path() + "/Settings.ini");
    }
}

TEST_F(FactoryDefaultsTest, GPRSLockKeepsTheReportingSettingsAndTheUSBPassword)
{
    sim::SimModuleConfig m;
    m.connectionString = "10.1.2.3:5001";
    m.connectionString2 = "backup.example:6002";
    m.apn = "apn.test";
    m.userName = "user";
    m.password = "pass";
    m.reserveAccounts = {QByteArray("1234"), QByteArray("5678")};
    m.ownerName = "Owner";
    m.usbPassword = "secret";
    // Channel 1 used with the second protocol over UDP with a key, channel 2 used.
    m.tcpCR = 0x2 | 0x10 | 0x100 | 0x800 | 0x3000 | 1u << 24 | 1u << 25;
    // Heartbeat check, period 1234 s, SIM PIN, statistics, GPRS password.
    m.veq2CR = 1u << 2 | 1234u << 8 | 1u << 6 | 1u << 24 | 1u << 25;
    m.heartBeat = 0xFABC; // bits 12-14, which no control shows
    Connect(2035, true, m);
    ASSERT_TRUE(form->Link()->GPRSLocked);
    form->WriteFactoryDefaults(false); // the lock hides the reset's button, not the reset
    ASSERT_TRUE(WaitReadEnded());

    ResetCase c;
    c.locked = true;
    c.tcpcr = m.tcpCR; // as read, the transport and key bits too
    c.veq2cr = 1u << 2 | 1234u << 8 | 5u << 3 | 1u << 25;
    c.heartbeat = 0x7ABC;
    c.heartbeatFlag = true;
    c.kept = {"10.1.2.3:5001", "backup.example:6002", "apn.test", "user", "pass", "1234", "5678", "Owner"};
    const auto expected = ExpectedReset(c);
    ExpectPackets(expected);
    EXPECT_EQ(WritePackets().size(), expected.size());
    const auto codes = module->Codes();
    EXPECT_EQ(std::count(codes.begin(), codes.end(), 0x07), 0);
    EXPECT_EQ(module->Config().usbPassword.trimmed(), QByteArray("secret"));

    // The production test's reset keeps them as well, without the names.
    CloseWindow();
    WriteSettings("Code=48213\r\nPhoneNumber1=37060000001\r\n");
    Connect(2035, true, m);
    form->TntButton25->click();
    c.testMode = true;
    ExpectPackets(ExpectedReset(c));
    EXPECT_EQ(module->Config().usbPassword.trimmed(), QByteArray("secret"));
}

TEST_F(FactoryDefaultsTest, AnsweringNoSendsNothing)
{
    Connect(2035);
    form->ComboBox4->setCurrentIndex(1);
    ui::QueueButton(ui::MsgButton::No);
    form->TntButton1911->click();
    sim::Pump(300);
    EXPECT_TRUE(module->Packets().empty());
    EXPECT_FALSE(Form5->isVisible());
    EXPECT_EQ(form->ComboBox4->currentIndex(), 1);
}

TEST_F(FactoryDefaultsTest, ModuleOrWindowGoingAwayStopsTheResetAtOnce)
{
    // At packet 25 the users go out, at 40 the phrases (their dialog's own series).
    for (const bool unplug : {true, false}) {
        SCOPED_TRACE(unplug ? "unplugged" : "window closed");
        Connect(2035);
        TemplateLoaded = true;
        const size_t at = unplug ? 40 : 25;
        size_t received = 0;
        module->OnPacket = [&](const QByteArray&) {
            if (++received == at)
                QTimer::singleShot(0, form, [&] {
                    if (unplug)
                        module->Unplug();
                    else
                        form->close();
                });
        };
        ResetWithYes();
        sim::Pump(300);
        EXPECT_LE(module->Packets().size(), at + 1);
        EXPECT_EQ(form->Link() == nullptr, !unplug);
        EXPECT_FALSE(Form5->isVisible());
        EXPECT_TRUE(form->isEnabled());
        EXPECT_FALSE(form->Timer2->isActive());
        EXPECT_FALSE(TemplateLoaded);
        // The question, and for a module that left the message to run the reset again.
        ASSERT_EQ(ui::Record().size(), unplug ? 2u : 1u);
        EXPECT_EQ(ui::Record().back().text, unplug ? GetLangText(117).arg(QStringLiteral("VQ00012345")) : GetLangText(24));

        CloseWindow();
    }
}

class ProductionTest : public FactoryDefaultsTest {
protected:
    void SetUp() override
    {
        FactoryDefaultsTest::SetUp();
        WriteSettings("Code=48213\r\nPhoneNumber1=37060000001\r\n");
    }

    // The packets the production test adds after the reset.
    static std::vector<Packet> ExpectedProgramming(const QByteArray& number)
    {
        using namespace packets;
        std::vector<Packet> e;
        auto add = [&e](const tduomenys& p, int pause) { e.push_back({Bytes(p), pause}); };
        add(SendPhoneNumber(0, number.isEmpty() ? 0 : 0x43, number), 0);
        for (quint8 i = 0; i < 6; ++i) {
            add(SendInputSetting(i, 2, 0, 4, 0, tduomenys(5, 0)), 100);
            add(SendInputSMSText(i, Encoded(23, QByteArray::number(i + 1))), 100);
        }
        add(SendItemName(3, 1, Encoded(20, "1")), 0);
        add(SendItemName(4, 0, Encoded(22, "1")), 0);
        add(SendItemName(2, 1, Encoded(21, "1")), 0);
        add(SendBatchEnd(true), 0);
        return e;
    }

    static size_t ResetCount() { return ExpectedReset(TestModeCase()).size(); }
    static ResetCase TestModeCase()
    {
        ResetCase c;
        c.testMode = true;
        c.tcpcr = 0x3011;
        c.veq2cr = 0x25828;
        c.kept.account0 = c.kept.account1 = "0000";
        return c;
    }

    void ExpectDone(const QByteArray& number)
    {
        ExpectPackets(ExpectedReset(TestModeCase()));
        ExpectPackets(ExpectedProgramming(number), ResetCount());
        EXPECT_EQ(module->Packets().size(), ResetCount() + ExpectedProgramming(number).size());
        EXPECT_TRUE(Shown(QStringLiteral("Paruosimas testavimui baigtas")));
        EXPECT_FALSE(Shown(QStringLiteral("Klaida")));
        EXPECT_FALSE(Form5->isVisible());
        EXPECT_TRUE(form->isEnabled());
        EXPECT_EQ(UserPhones[0].PhoneNr, number);
        EXPECT_EQ(UserPhones[0].PnCR, number.isEmpty() ? 0 : 0x43);
        for (QComboBox* f : {form->ComboBox5, form->ComboBox7, form->ComboBox8, form->ComboBox9, form->ComboBox10,
                             form->ComboBox11})
            EXPECT_EQ(f->currentIndex(), 2);
    }

    // The module holds what the window never read: a write-all (110) and a template save (114) wait for a read.
    void ExpectNothingWrittenOrSavedUntilRead()
    {
        ui::ClearRecord();
        module->ClearLog();
        form->TntButton1->click();
        form->TntButton26->click();
        ASSERT_EQ(ui::Record().size(), 2u);
        EXPECT_EQ(ui::Record()[0].text, GetLangText(110));
        EXPECT_EQ(ui::Record()[1].text, GetLangText(114));
        EXPECT_TRUE(module->Packets().empty());
    }

    QByteArray Setting(const char* key)
    {
        QByteArray v;
        form->IniReadString("Settings", key, v, "");
        return v;
    }
};

TEST_F(ProductionTest, NumberFromTheListProgramsTheModuleWithoutAsking)
{
    Connect(2035);
    // Controls the reset puts back, with their handlers.
    form->ComboBox4->setCurrentIndex(1);
    form->ComboBox4Change();
    form->TntCheckBox33->setChecked(true);
    form->TntCheckBox33Click();
    UserPhones[3] = {"+37061111111", 0x43, 0x10};
    TemplateLoaded = true;
    ASSERT_EQ(form->TntComboBox1->currentText(), QStringLiteral("37060000001"));
    form->TntButton25->click();
    ExpectDone("37060000001");
    for (const auto& d : ui::Record())
        EXPECT_NE(d.kind, QStringLiteral("input"));
    EXPECT_FALSE(form->Edit1->isEnabled());
    EXPECT_FALSE(form->TntEdit4->isEnabled());
    EXPECT_EQ(form->TntEdit4->text(), QStringLiteral("602"));
    EXPECT_EQ(UserPhones[3].PhoneNr, QByteArray("+37061111111"));
    EXPECT_EQ(UserPhones[3].PnCR, 0);
    EXPECT_EQ(UserPhones[3].PnAddCR, 0);
    EXPECT_FALSE(TemplateLoaded);
    EXPECT_EQ(form->SelectedUserIndex(), 0);
    ExpectNothingWrittenOrSavedUntilRead();
}

TEST_F(ProductionTest, PromptOverTheWaitDialogIsUsableAndItsAnswerIsStoredUnchecked)
{
    Connect(2035);
    form->TntComboBox1->setEditText(QString());
    // The real prompt: it must take input while the wait dialog holds the window disabled.
    bool promptEnabled = false;
    QString preset, typed;
    ui::SetNonInteractive(false);
    QTimer poll;
    poll.setInterval(20);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* d = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        if (!d)
            return;
        poll.stop();
        ui::SetNonInteractive(true); // no later dialog may block
        promptEnabled = d->isEnabled() && !form->isEnabled();
        preset = d->textValue();
        if (auto* e = d->findChild<QLineEdit*>()) { // it types as the users list does: no letter
            e->end(false);
            QTest::keyClicks(e, "x5");
            typed = e->text();
        }
        d->setTextValue(QStringLiteral("370612"));
        d->accept();
    });
    poll.start();
    form->TntButton25->click();
    ui::SetNonInteractive(true);
    EXPECT_TRUE(promptEnabled);
    EXPECT_EQ(preset, QStringLiteral("37060000001"));
    EXPECT_EQ(typed, QStringLiteral("370600000015"));
    ASSERT_FALSE(ui::Record().empty());
    EXPECT_EQ(ui::Record().front().caption, QStringLiteral("Enter testing number"));
    EXPECT_EQ(ui::Record().front().text, QStringLiteral("Number (e.g: 37060000000)"));
    ExpectDone("370612");
    EXPECT_EQ(Setting("PhoneNumber1"), QByteArray("370612"));
}

TEST_F(ProductionTest, EmptyAnswerProgramsTheInputsAllTheSame)
{
    Connect(2035);
    form->TntComboBox1->setEditText(QStringLiteral("3706"));
    ui::QueueText(QString());
    form->TntButton25->click();
    ExpectDone("");
}

TEST_F(ProductionTest, CancelledPromptLeavesTheModuleResetAndTheWindowUsable)
{
    sim::SimModuleConfig config;
    config.phones[0] = {"37060000011", 0x43, 0x02};
    Connect(2035, false, config);
    ASSERT_TRUE(form->TntCheckBox23->isChecked()); // the shown user's "Alarm SMS"
    form->TntComboBox1->setEditText(QString());
    ui::QueueText(std::nullopt);
    form->TntButton25->click();
    ExpectPackets(ExpectedReset(TestModeCase()));
    EXPECT_EQ(module->Packets().size(), ResetCount());
    EXPECT_EQ(ui::Record().size(), 1u); // the prompt, no message
    EXPECT_FALSE(Form5->isVisible());
    EXPECT_TRUE(form->isEnabled());
    EXPECT_EQ(Setting("PhoneNumber1"), QByteArray("37060000001"));
    // The boxes show the cleared flags, so nothing that stores them brings the old ones back.
    for (QCheckBox* b : {form->TntCheckBox5, form->TntCheckBox6, form->TntCheckBox23, form->TntCheckBox30})
        EXPECT_FALSE(b->isChecked()) << b->objectName().toStdString();
    ExpectNothingWrittenOrSavedUntilRead();

    // A number the users list would not take as it stands (blanks, too long) is refused as
    // a cancel is, and said so: user 1 never gets a number cut or changed.
    ui::ClearRecord();
    module->ClearLog();
    ui::QueueText(QStringLiteral("3706 000 0011"));
    form->TntButton25->click();
    EXPECT_EQ(module->Packets().size(), ResetCount());
    ASSERT_EQ(ui::Record().size(), 2u);
    EXPECT_EQ(ui::Record().back().text, QStringLiteral("Numeris neteisingas"));
    EXPECT_EQ(Setting("PhoneNumber1"), QByteArray("37060000001"));
}

TEST_F(ProductionTest, ModuleOrWindowGoneMidwayIsAnError)
{
    // Unplugged during the reset, and while the inputs are programmed; the window closed
    // while the inputs are programmed.
    const struct {
        size_t at;
        bool close;
    } cases[] = {{30, false}, {ResetCount() + 5, false}, {ResetCount() + 5, true}};
    for (const auto& k : cases) {
        const size_t at = k.at;
        SCOPED_TRACE(testing::Message() << at << (k.close ? " closed" : " unplugged"));
        Connect(2035);
        size_t received = 0;
        module->OnPacket = [&](const QByteArray&) {
            if (++received == at)
                QTimer::singleShot(0, form, [&] {
                    if (k.close)
                        form->close();
                    else
                        module->Unplug();
                });
        };
        form->TntButton25->click();
        EXPECT_LE(module->Packets().size(), at + 1);
        ASSERT_EQ(ui::Record().size(), 1u);
        EXPECT_EQ(ui::Record().back().text,
                  k.close ? QStringLiteral("Klaida") : GetLangText(125).arg(QStringLiteral("VQ00012345")));
        EXPECT_FALSE(Form5->isVisible());
        EXPECT_TRUE(form->isEnabled());
        CloseWindow();
    }
}

TEST_F(ProductionTest, ServicePageControlsAndTheirButtons)
{
    ASSERT_TRUE(CreateFormsWithLanguages());
    for (QWidget* w : {static_cast<QWidget*>(form->TntComboBox1), static_cast<QWidget*>(form->TntButton28),
                       static_cast<QWidget*>(form->TntButton25), static_cast<QWidget*>(form->TntButton22)}) {
        EXPECT_FALSE(w->isHidden()) << w->objectName().toStdString();
        EXPECT_EQ(w->parentWidget(), form->TabSheet1);
    }
    // A number typed into the list and confirmed with Enter is used, not added.
    form->TntComboBox1->lineEdit()->setText(QStringLiteral("37069999999"));
    QTest::keyClick(form->TntComboBox1->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(form->TntComboBox1->count(), 1);
    // "Itraukti Nr." adds to the list the production test takes its number from.
    ui::QueueText(QStringLiteral("37060000002"));
    form->TntButton28->click();
    EXPECT_EQ(form->TntComboBox1->count(), 2);
    EXPECT_EQ(form->TntComboBox1->currentText(), QStringLiteral("37060000002"));
    form->close();
    EXPECT_EQ(Setting("PhoneNumber2"), QByteArray("37060000002"));

    // "Comps OK?" finds the shipped file consistent.
    ui::ClearRecord();
    form->TntButton22->click();
    ASSERT_EQ(ui::Record().size(), 1u);
    EXPECT_EQ(ui::Record().front().text, QStringLiteral("Done"));

    // Outside the service mode they are not there to be used.
    delete form;
    form = nullptr;
    WriteSettings("");
    CreateForms();
    EXPECT_TRUE(form->TntButton25->isHidden());
    EXPECT_TRUE(form->TntButton22->isHidden());
}

} // namespace
