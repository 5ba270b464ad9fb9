// When the window lets the module be claimed and what it asks of it: a start-up that ends
// the program leaves the module untouched, the connect-password prompt goes with the
// module that asked for it, and a login the module does not answer is told as such.
#include "lang/LangText.h"
#include "support/WindowTestBase.h"

#include <QApplication>
#include <QInputDialog>
#include <QLabel>

#include <algorithm>

namespace {

class ModuleClaimTest : public WindowTestBase {
protected:
    void TearDown() override
    {
        TForm1::QuitProgram = nullptr;
        ui::SetOnRecorded(nullptr);
        ui::SetNonInteractive(true);
        WindowTestBase::TearDown();
    }

    int ModuleConnections() const { return module->Device() ? module->Device()->OpenConnections() : 0; }

    static std::vector<QInputDialog*> OpenPrompts()
    {
        std::vector<QInputDialog*> open;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<QInputDialog*>(w); d && d->isVisible())
                open.push_back(d);
        return open;
    }
};

} // namespace

TEST_F(ModuleClaimTest, StartUpThatEndsTheProgramClaimsNothing)
{
    for (const bool catalogueThere : {false, true}) {
        SCOPED_TRACE(catalogueThere);
        ui::ClearRecord();
        if (!catalogueThere) {
            // Without its catalogue the start-up ends the program.
            ASSERT_TRUE(QFile::remove(dir.path() + "/CID_Descriptions.txt"));
        }
        int quits = 0;
        TForm1::QuitProgram = [&] { ++quits; };
        PlugModule(2035);
        CreateForms();
        if (catalogueThere) {
            ASSERT_TRUE(WaitReadFinished());
            EXPECT_GT(ModuleConnections(), 0);
        } else {
            ASSERT_TRUE(sim::WaitUntil([&] { return form->Terminated(); }));
            // Neither the start-up nor a later device event touches the module.
            sim::Pump(400);
            hid->NotifyChange();
            sim::Pump(200);
            EXPECT_FALSE(form->Link()->Connected);
            EXPECT_TRUE(module->Packets().empty());
            EXPECT_EQ(ModuleConnections(), 0);
        }
        EXPECT_EQ(quits, catalogueThere ? 0 : 1);
        CloseWindow();
        QFile::copy(QCoreApplication::applicationDirPath() + "/CID_Descriptions.txt",
                    dir.path() + "/CID_Descriptions.txt");
    }
}

TEST_F(ModuleClaimTest, PasswordPromptGoesWithItsModule)
{
    struct Case {
        int wrongAnswers;  // prompts answered with a wrong password before the one it leaves
        bool notified;     // the device manager reports the unplug, or the reads just fail
    };
    for (const Case c : {Case{0, true}, Case{0, false}, Case{1, true}, Case{1, false}}) {
        SCOPED_TRACE(testing::Message() << c.wrongAnswers << " wrong, notified " << c.notified);
        ui::ClearRecord();
        int quits = 0;
        TForm1::QuitProgram = [&] { ++quits; };
        PlugModule(2035);
        module->Config().usbPassword = "secret";
        module->RequirePassword(true);
        for (int i = 0; i < c.wrongAnswers; ++i)
            ui::QueueText(QStringLiteral("wrong"));
        int prompts = 0;
        bool leftWhilePromptUp = false;
        bool watchdog = false;
        ui::SetOnRecorded([&](const ui::ShownDialog& d) {
            if (d.kind != "input" || ++prompts != c.wrongAnswers + 1)
                return;
            // This prompt really comes up, and the module leaves while it is open.
            ui::SetNonInteractive(false);
            QTimer::singleShot(150, form, [&] {
                leftWhilePromptUp = !OpenPrompts().empty();
                module->Unplug(c.notified);
            });
            QTimer::singleShot(5000, form, [&] {
                for (QInputDialog* p : OpenPrompts()) {
                    watchdog = true;
                    p->reject();
                }
            });
        });
        CreateForms();
        ASSERT_TRUE(sim::WaitUntil([&] { return prompts == c.wrongAnswers + 1; }, 5000));
        ASSERT_TRUE(sim::WaitUntil([&] { return !form->Link()->Connected && OpenPrompts().empty(); }, 8000));
        ui::SetNonInteractive(true);
        sim::Pump(300);
        EXPECT_TRUE(leftWhilePromptUp);
        EXPECT_FALSE(watchdog);
        EXPECT_FALSE(form->Terminated());
        EXPECT_EQ(quits, 0);
        EXPECT_EQ(prompts, c.wrongAnswers + 1);
        EXPECT_FALSE(form->TntLabel73->isHidden());  // "Please connect VEQ module..."
        const auto codes = module->Codes();
        EXPECT_EQ(std::count(codes.begin(), codes.end(), 0x42), c.wrongAnswers);
        ui::SetOnRecorded(nullptr);
        CloseWindow();
    }
}

// A login the module does not answer (the prompt's, silent or busy; the unlock panel's): told once
// (127), neither asked again nor taken for a wrong password.
TEST_F(ModuleClaimTest, LoginThatTheModuleDoesNotAnswerIsTold)
{
    TForm1::LinkTiming.NoAnswerMs = 400;
    for (const int kind : {0, 1, 2}) {
        const bool staysBusy = kind == 1, unlock = kind == 2;
        SCOPED_TRACE(testing::Message() << "unlock " << unlock << ", stays busy " << staysBusy);
        ui::ClearRecord();
        PlugModule(2035);
        module->Config().usbPassword = "secret";
        (unlock ? module->SetGPRSLocked(true) : module->RequirePassword(true));
        module->OnPacket = [&](const QByteArray& p) {
            if (quint8(p[0]) == 0x42)
                (staysBusy ? module->SetStayBusy(true) : module->SetSilent(true));
        };
        ui::QueueText(QStringLiteral("secret"));
        CreateForms();
        if (unlock) {
            ASSERT_TRUE(WaitReadFinished());
            ASSERT_TRUE(sim::WaitUntil([&] { return !form->TntPanel18->isHidden() && form->isEnabled(); }));
            form->TntEdit5->setText(QStringLiteral("secret"));
            form->TntButton34->click();
        }
        ASSERT_TRUE(sim::WaitUntil([&] { return Shown("message", GetLangText(127)); }, 5000));
        sim::Pump(600);
        EXPECT_EQ(ui::Record().size(), unlock ? 1u : 2u); // the prompt once, then the message once
        EXPECT_TRUE(form->TntLabel82->isHidden()); // "Password you entered is incorrect"
        const auto codes = module->Codes();
        EXPECT_EQ(std::count(codes.begin(), codes.end(), 0x42), 1);
        CloseWindow();
    }
}
