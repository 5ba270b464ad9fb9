// What a write-all must never do: send settings the window did not read (an unfinished or
// missing read, keys below the firmware that reads them), and what the user is told when
// the module leaves in the middle of a write-all or a factory reset.
#include "editor/Controls.h"
#include "editor/Encodings.h"
#include "lang/LangText.h"
#include "link/VEQ2_Packets.h"
#include "support/WindowTestBase.h"
#include "widgets/PageWizard.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

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

TEST_F(WriteGuardTest, AWriteOrResetCutOffByTheModuleLeavingIsToldOnce)
{
    enum Leave { Unplugged, LinkLost, Replugged };
    for (bool reset : {false, true})
        for (Leave leave : {Unplugged, LinkLost, Replugged}) {
            SCOPED_TRACE(std::string(reset ? "factory reset" : "write-all") +
                         (leave == LinkLost ? ", link lost" : leave == Replugged ? ", replugged" : ", unplugged"));
            PlugModule(2035);
            module->Config().accessPin = AccessPINToWord("4321");
            ASSERT_TRUE(CreateFormsWithLanguages());
            ASSERT_TRUE(WaitReadFinished());
            module->ClearLog();
            ui::ClearRecord();
            module->OnPacket = [&](const QByteArray&) {
                if (module->Packets().size() == 30)
                    QTimer::singleShot(0, form, [&] {
                        if (leave == Replugged)
                            module->Replug(); // back within one pause: another connection
                        else
                            module->Unplug(leave == Unplugged);
                    });
            };
            if (reset) {
                ui::QueueButton(ui::MsgButton::Yes);
                form->TntButton1911->click();
            } else {
                form->TntButton1->click();
            }
            if (leave == Replugged) {
                // The returning module is read anew and gets none of the rest of the write.
                const auto readEnded = [&] {
                    const auto packets = module->Packets();
                    return std::any_of(packets.begin() + 30, packets.end(),
                                       [](const QByteArray& p) { return (quint8(p[0]) & 0xFE) == 0x40; });
                };
                ASSERT_TRUE(sim::WaitUntil(readEnded, 10000));
                const auto packets = module->Packets();
                for (std::size_t i = 30; i < packets.size(); ++i)
                    EXPECT_GE(quint8(packets[i][0]), 0x40) << "packet " << i;
            } else {
                ASSERT_TRUE(sim::WaitUntil([&] { return !form->Image1->isHidden(); }, 5000));
                sim::Pump(300);
                EXPECT_EQ(module->Packets().size(), 30u);
            }
            ASSERT_FALSE(GetLangText(111).isEmpty());
            EXPECT_EQ(Messages(111), 1);
            EXPECT_EQ(ui::Record().size(), reset ? 2u : 1u); // the reset's question before it
            EXPECT_FALSE(Form5->isVisible());
            EXPECT_TRUE(form->isEnabled());
            CloseWindow();
            ui::ClearRecord();
        }
}

} // namespace
