// What a write-all must never do: send settings the window did not read (an unfinished or
// missing read, keys below the firmware that reads them) or values the module must not get
// as they stand.
#include "editor/Controls.h"
#include "editor/Encodings.h"
#include "lang/LangText.h"
#include "link/VEQ2_Packets.h"
#include "support/WindowTestBase.h"
#include "widgets/PageWizard.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <functional>

namespace {

class WriteGuardTest : public WindowTestBase {
protected:
    void SetUp() override { WindowTestBase::SetUp(); SetLinkTiming(400, 100); }

    static int Messages(int n)
    {
        return static_cast<int>(std::count_if(ui::Record().begin(), ui::Record().end(),
                                              [n](const ui::ShownDialog& d) { return d.text == GetLangText(n); }));
    }
    // "Send data to Module", or the wizard's Next onto the summary, which sends as well.
    void Send(bool byWizard)
    {
        if (!byWizard)
            return form->TntButton1->click();
        form->TntButton29Click(form->TntButton29);
        form->GoToWizardStep(7);
        form->wzrd1->ButtonControl(TPageWizardButtonKind::bkNext)->click();
    }
};

TEST_F(WriteGuardTest, NothingIsSentOverSettingsThatWereNotRead)
{
    const struct {
        const char* name;
        int firmware;   // 0: no module
        int silentFrom; // the first read request the module leaves unanswered
        bool code2;     // Settings.ini shows the pages without a read
    } cases[] = {{"walk cut at the inputs", 2035, 0x8F, false},
                 {"no first reply", 2035, 0x80, false},
                 {"Code=2, firmware below 2000", 1999, 0, true},
                 {"Code=2, no module", 0, 0, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteSettings(c.code2 ? "Code=2\r\n" : "");
        if (c.firmware)
            PlugModule(c.firmware);
        if (module)
            module->OnPacket = [&](const QByteArray& p) {
                if (static_cast<quint8>(p[0]) == c.silentFrom)
                    module->SetSilent(true);
            };
        ASSERT_TRUE(CreateFormsWithLanguages());
        if (c.silentFrom) {
            ASSERT_TRUE(sim::WaitUntil([&] { return Shown(GetLangText(39)); }, 10000));
            // The module answers again (busy clear): a write would now reach it.
            module->SetSilent(false);
            module->SendStatus();
        }
        sim::Pump(300);
        ASSERT_FALSE(form->PageControl1->isHidden());
        form->Edit13->setText(QStringLiteral("1234"));
        if (module)
            module->ClearLog();
        ui::ClearRecord();
        for (bool byWizard : {false, true})
            Send(byWizard);
        sim::Pump(200);
        // One message per attempt, nothing else shown, nothing sent, the window usable.
        ASSERT_FALSE(GetLangText(110).isEmpty());
        EXPECT_EQ(Messages(110), 2);
        EXPECT_EQ(ui::Record().size(), 2u);
        if (module) {
            EXPECT_TRUE(module->Packets().empty());
        }
        EXPECT_FALSE(Form5->isVisible());
        EXPECT_TRUE(form->isEnabled());

        if (c.silentFrom) {
            // Plugged in again, the module is read whole, and the write goes out.
            module->OnPacket = nullptr;
            module->Replug();
            ASSERT_TRUE(WaitReadFinished());
            module->ClearLog();
            form->Edit13->setText(QStringLiteral("1234"));
            Send(false);
            ASSERT_TRUE(WaitReadEnded());
            EXPECT_EQ(Messages(110), 2);
            EXPECT_EQ(module->Config().accessPin, AccessPINToWord("1234"));
        }
        CloseWindow();
    }
}

TEST_F(WriteGuardTest, KeysAreWrittenOnlyWhereTheReadFetchedThem)
{
    const struct {
        int firmware;
        bool byWizard;
    } cases[] = {{2019, false}, {2025, false}, {2025, true}, {2029, false}, {2030, false}, {2030, true}};
    const QByteArray keys[2] = {QByteArray(16, '\x5A'), QByteArray::fromHex("00112233445566778899aabbccddeeff")};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.firmware << (c.byWizard ? " by the wizard" : ""));
        PlugModule(c.firmware);
        module->Config().accessPin = AccessPINToWord("4321");
        module->Config().aesKeys = {keys[0], keys[1]};
        ASSERT_TRUE(CreateFormsWithLanguages());
        ASSERT_TRUE(WaitReadFinished());
        module->ClearLog();
        Send(c.byWizard);
        ASSERT_TRUE(WaitReadEnded());
        std::vector<QByteArray> sent, expected;
        for (const QByteArray& p : WritePackets())
            if (static_cast<quint8>(p[0]) == 0x1C)
                sent.push_back(p.toHex());
        for (quint8 i = 0; c.firmware >= 2030 && i < 2; ++i) {
            const tduomenys p = packets::SendAES128Key(i, keys[i]);
            expected.push_back(QByteArray(reinterpret_cast<const char*>(p.data()), 63).toHex());
        }
        EXPECT_EQ(sent, expected);
        EXPECT_EQ(module->Config().aesKeys[0], keys[0]);
        EXPECT_EQ(module->Config().aesKeys[1], keys[1]);
        CloseWindow();
    }
}

TEST_F(WriteGuardTest, ValuesThatMustNotGoOutAreRefusedBeforeAnythingIsSent)
{
    using Module = std::function<void(sim::SimModuleConfig&)>;
    using Edit = std::function<void(TForm1&)>;
    const Module heartbeatTicked = [](sim::SimModuleConfig& m) { m.heartBeat = 0x8602; };
    const Module simPinUsed = [](sim::SimModuleConfig& m) {
        TVEQ2CRControls v;
        v.TntCheckBox28 = true;
        m.veq2CR = BuildVEQ2CR(v);
        m.simPin = "5678";
    };
    const Module bothChannels = [](sim::SimModuleConfig& m) {
        m.connectionString = "rx1.example:5001";
        m.connectionString2 = "rx2.example:5002";
        m.apn = "internet";
        TTCPCRControls t;
        t.ComboBox4Index = t.ComboBox2Index = 1;
        m.tcpCR = BuildTCPCR(t, 2035);
        m.reserveAccounts = {QByteArray("1234"), QByteArray("5678")};
    };
    const Module none = [](sim::SimModuleConfig&) {};
    const Edit nothing = [](TForm1&) {};
    const struct {
        const char* name;
        Module module;
        Edit edit;
        int message; // 0: it goes out
        int page;    // the page that holds the field
    } cases[] = {
        {"heartbeat ID of two digits", heartbeatTicked, [](TForm1& f) { f.TntEdit4->setText("60"); }, 119, 1},
        {"heartbeat ID emptied", heartbeatTicked, [](TForm1& f) { f.TntEdit4->clear(); }, 119, 1},
        {"SIM PIN emptied while in use", simPinUsed, [](TForm1& f) { f.TntEdit1->clear(); }, 120, 6},
        {"short account of channel 1", bothChannels, [](TForm1& f) { f.Edit11->setText("12"); }, 113, 1},
        {"emptied account of channel 2", bothChannels, [](TForm1& f) { f.Edit6->clear(); }, 115, 1},
        {"access PIN with a letter", [](sim::SimModuleConfig& m) { m.accessPin = 0x12A4FFFF; }, nothing, 116, 0},
        // Not refused: the short account of a channel not in use, shown greyed as the
        // module holds it; an empty SIM PIN that is not used.
        {"short account of an unused channel",
         [](sim::SimModuleConfig& m) { m.reserveAccounts = {QByteArray("12  "), QByteArray()}; }, nothing, 0, 1},
        {"empty SIM PIN not in use", none, [](TForm1& f) { f.TntEdit1->clear(); }, 0, 6},
    };
    enum Way { Button, NextFromItsPage, SummarySend };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PlugModule(2035);
        module->Config().accessPin = AccessPINToWord("4321");
        c.module(module->Config());
        // The accounts as the module answers them (an empty one reads as "0000").
        auto accountsHeld = [this] {
            QByteArrayList held;
            for (const QByteArray& a : module->Config().reserveAccounts)
                held << a.leftJustified(AccountWidth, '0');
            return held;
        };
        const QByteArrayList accounts = accountsHeld();
        ASSERT_TRUE(CreateFormsWithLanguages());
        ASSERT_TRUE(WaitReadFinished());
        c.edit(*form);
        if (c.page == 1 && !c.message) {
            EXPECT_EQ(form->Edit11->text(), QStringLiteral("12"));
        }
        const std::vector<bool> languages = c.message ? std::vector<bool>{false, true} : std::vector<bool>{false};
        for (bool russian : languages) {
            Choose(form->ComboBox28, form->ComboBox28->findText(russian ? QStringLiteral("Russian") : QStringLiteral("English")));
            for (Way way : {Button, NextFromItsPage, SummarySend}) {
                SCOPED_TRACE(testing::Message() << (russian ? "Russian" : "English") << ", way " << way);
                module->ClearLog();
                ui::ClearRecord();
                form->TntButton29Click(way == Button ? form->TntButton30 : form->TntButton29);
                form->GoToWizardStep(way == NextFromItsPage ? c.page : 7);
                if (way == Button)
                    form->TntButton1->click();
                else
                    form->wzrd1->ButtonControl(TPageWizardButtonKind::bkNext)->click();
                sim::Pump(100);
                if (c.message) {
                    // One error box, nothing sent, the wizard on the page that holds the field.
                    ASSERT_FALSE(GetLangText(c.message).isEmpty());
                    EXPECT_EQ(Messages(c.message), 1);
                    EXPECT_EQ(ui::Record().size(), 1u);
                    EXPECT_TRUE(module->Packets().empty());
                    EXPECT_EQ(form->wzrd1->GetActivePageIndex(), c.page);
                    EXPECT_FALSE(Form5->isVisible());
                    EXPECT_TRUE(form->isEnabled());
                } else if (way == NextFromItsPage) {
                    EXPECT_EQ(form->wzrd1->GetActivePageIndex(), c.page + 1);
                    EXPECT_TRUE(ui::Record().empty());
                } else {
                    ASSERT_TRUE(WaitReadEnded());
                    EXPECT_TRUE(ui::Record().empty());
                    EXPECT_EQ(module->Config().accessPin, AccessPINToWord("4321"));
                    EXPECT_EQ(accountsHeld(), accounts); // "12" and its blanks too
                    EXPECT_FALSE(WritePackets().empty());
                }
            }
        }
        CloseWindow();
    }

    // Pages shown without a module (Code=2): nothing is in use, the wizard moves on.
    WriteSettings("Code=2\r\n");
    ASSERT_TRUE(CreateFormsWithLanguages());
    ui::ClearRecord();
    form->TntButton29Click(form->TntButton29);
    form->GoToWizardStep(1);
    form->wzrd1->ButtonControl(TPageWizardButtonKind::bkNext)->click();
    EXPECT_EQ(form->wzrd1->GetActivePageIndex(), 2);
    EXPECT_TRUE(ui::Record().empty());
}

} // namespace
