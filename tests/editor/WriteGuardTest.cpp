// What a write-all must never do: send settings the window did not read or values the
// module must not get as they stand.
#include "editor/Controls.h"
#include "editor/Encodings.h"
#include "lang/LangText.h"
#include "support/WindowTestBase.h"
#include "widgets/PageWizard.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <functional>

namespace {

class WriteGuardTest : public WindowTestBase {
protected:
    void SetUp() override { WindowTestBase::SetUp(); SetLinkTiming(400, 100); }

    // Message n, naming this channel where it has one.
    static int Messages(int n, int channel = 0)
    {
        const QString text = channel ? GetLangText(n).arg(channel) : GetLangText(n);
        return static_cast<int>(std::count_if(ui::Record().begin(), ui::Record().end(),
                                              [&text](const ui::ShownDialog& d) { return d.text == text; }));
    }
    // "Send data to Module" (step -1), or the wizard's Next from this step; Next from step 7
    // goes onto the summary, which sends as well.
    void Send(int step)
    {
        form->TntButton29Click(step < 0 ? form->TntButton30 : form->TntButton29);
        form->GoToWizardStep(step < 0 ? 7 : step);
        if (step < 0)
            form->TntButton1->click();
        else
            form->wzrd1->ButtonControl(TPageWizardButtonKind::bkNext)->click();
    }
};

// A read that stopped at the inputs, and a module below 2000 whose pages Code=2 shows
// unread: neither a write-all nor a template of them.
TEST_F(WriteGuardTest, NothingIsSentOverSettingsThatWereNotRead)
{
    for (const int firmware : {2035, 1999}) {
        SCOPED_TRACE(firmware);
        const bool cut = firmware == 2035;
        WriteSettings(cut ? "" : "Code=2\r\n");
        PlugModule(firmware);
        module->OnPacket = [&](const QByteArray& p) {
            if (cut && quint8(p[0]) == 0x8F)
                module->SetSilent(true);
        };
        ASSERT_TRUE(CreateFormsWithLanguages());
        if (cut) {
            ASSERT_TRUE(sim::WaitUntil([&] { return Shown(GetLangText(39)); }, 10000));
            module->SetSilent(false);
            module->SendStatus(); // busy clear: a write would now reach it
        }
        sim::Pump(300);
        ASSERT_FALSE(form->PageControl1->isHidden());
        form->Edit13->setText(QStringLiteral("1234"));
        module->ClearLog();
        ui::ClearRecord();
        for (int step : {-1, 7})
            Send(step);
        ui::QueueText(dir.path() + "/unread.tpl");
        form->TntButton26Click();
        sim::Pump(200);
        ASSERT_FALSE(GetLangText(110).isEmpty());
        ASSERT_FALSE(GetLangText(114).isEmpty());
        EXPECT_EQ(Messages(110), 2);
        EXPECT_EQ(Messages(114), 1);
        EXPECT_EQ(ui::Record().size(), 3u);
        EXPECT_TRUE(module->Packets().empty());
        EXPECT_FALSE(QFile::exists(dir.path() + "/unread.tpl"));
        EXPECT_EQ(form->WPage[9]->Header()->Subtitle()->Text(), GetLangText(70)); // nothing was written
        CloseWindow();
    }
}

// The same refusals hold for "Save New Template" where the template would not load.
TEST_F(WriteGuardTest, ValuesThatMustNotGoOutAreRefusedBeforeAnythingIsSent)
{
    TForm1::LinkTiming.GapMs = TForm1::LinkTiming.SeriesPauseMaxMs = 0; // what goes out counts, not its pace
    using Module = std::function<void(sim::SimModuleConfig&)>;
    const Module bothChannels = [](auto& m) { BothChannels(m, "rx1.example:5001", "rx2.example:5002"); };
    const QByteArray host45 = "rx2." + QByteArray(38, 'x') + ".lt";
    const struct {
        const char* name;
        Module module;
        std::function<void(TForm1&)> edit;
        int message; // 0: it goes out
        int page;    // the page that holds the field
        int channel = 0;  // named in the message
        int saved = 0;    // "Save New Template" refuses with this message (0: it saves)
        std::function<void(const sim::SimModuleConfig&)> sent = {}; // what the module holds after it went out
    } cases[] = {
        {"heartbeat ID of two digits", [](sim::SimModuleConfig&) {}, [](TForm1& f) { f.TntEdit4->setText("60"); }, 119, 1},
        {"SIM PIN emptied while in use", [](sim::SimModuleConfig&) {},
         [](TForm1& f) {
             f.TntCheckBox28->setChecked(true);
             f.TntCheckBox28Click();
             f.TntEdit1->clear();
         },
         120, 6},
        {"short account of channel 1", bothChannels, [](TForm1& f) { f.Edit11->setText("12"); }, 113, 1},
        {"emptied account of channel 2", bothChannels, [](TForm1& f) { f.Edit6->clear(); }, 115, 1},
        {"access PIN with a letter", [](sim::SimModuleConfig& m) { m.accessPin = 0x12A4FFFF; },
         [](TForm1& f) { ASSERT_EQ(f.Edit13->text(), QStringLiteral("12A4")); }, 0, 0, 0, 0,
         [](const sim::SimModuleConfig& m) { EXPECT_EQ(m.accessPin, 0x12A4FFFFu); }},
        // A channel not in use shows its short account greyed, as the module holds it.
        {"short account of an unused channel",
         [](sim::SimModuleConfig& m) { m.reserveAccounts = {QByteArray("12  "), QByteArray()}; },
         [](TForm1& f) { ASSERT_EQ(f.Edit11->text(), QStringLiteral("12")); }, 0, 1, 0, 0,
         [](const sim::SimModuleConfig& m) { EXPECT_EQ(m.reserveAccounts[0], QByteArray("12  ")); }}, // with its blanks
        // Host, ":" and port share the module's 50 characters.
        {"port typed after a long host", [&](auto& m) { BothChannels(m, "rx1.example:5001", host45 + ":80"); },
         [](TForm1& f) { f.TntEdit3->selectAll(); QTest::keyClicks(f.TntEdit3, "65000"); }, 128, 1, 2, 128},
        {"long host without a port put to use", [&](auto& m) { m.connectionString = host45 + "abc"; m.apn = "internet"; },
         [](TForm1& f) { Choose(f.ComboBox4, 1); QTest::keyClicks(f.TntEdit2, "5001"); }, 128, 1, 1, 128},
        // It goes back as the module sent it, but a template holds digits alone.
        {"SIM PIN with letters", [](sim::SimModuleConfig& m) { m.simPin = "12ab"; }, [](TForm1&) {}, 0, 6, 0, 129,
         [](const sim::SimModuleConfig& m) { EXPECT_EQ(m.simPin.trimmed(), QByteArray("12ab")); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PlugModule(2035);
        module->Config().accessPin = AccessPINToWord("4321");
        c.module(module->Config());
        ASSERT_TRUE(CreateFormsWithLanguages());
        ASSERT_TRUE(WaitReadFinished());
        c.edit(*form);
        for (int step : {-1, c.page, 7}) {
            SCOPED_TRACE(testing::Message() << "from step " << step);
            module->ClearLog();
            ui::ClearRecord();
            Send(step);
            sim::Pump(100);
            if (c.message) {
                ASSERT_FALSE(GetLangText(c.message).isEmpty());
                EXPECT_EQ(Messages(c.message, c.channel), 1);
                EXPECT_EQ(ui::Record().size(), 1u);
                EXPECT_TRUE(module->Packets().empty());
                EXPECT_EQ(form->wzrd1->GetActivePageIndex(), c.page);
            } else if (step == c.page) {
                EXPECT_EQ(form->wzrd1->GetActivePageIndex(), c.page + 1);
            } else {
                ASSERT_TRUE(WaitReadEnded());
                EXPECT_TRUE(ui::Record().empty());
                EXPECT_FALSE(WritePackets().empty());
                if (c.sent)
                    c.sent(module->Config());
            }
        }
        const QString file = dir.filePath(QLatin1String(c.name) + ".tpl");
        form->GoToWizardStep(7);
        ui::ClearRecord();
        ui::QueueText(file);
        form->TntButton26Click();
        if (c.saved) {
            ASSERT_FALSE(GetLangText(c.saved).isEmpty());
            EXPECT_EQ(Messages(c.saved, c.channel), 1);
            EXPECT_EQ(ui::Record().size(), 1u);
            EXPECT_EQ(form->wzrd1->GetActivePageIndex(), c.page);
        }
        EXPECT_EQ(QFile::exists(file), c.saved == 0);
        CloseWindow();
    }
}

} // namespace
