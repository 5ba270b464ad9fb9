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
// (127), neither asked again nor taken for a wrong password. One that a module busy while it reports
// keeps waiting never goes out, nor does a second Unlock within the limit; the next prompt or Unlock
// starts afresh. After a write's read-back so ended, a read that stops is told as a read of its own.
TEST_F(ModuleClaimTest, LoginThatTheModuleDoesNotAnswerIsTold)
{
    SetLinkTiming(1000, 300);
    TForm1::LinkTiming.NoAnswerMs = 400;
    TForm1::LinkTiming.GapMs = TForm1::LinkTiming.SeriesPauseMaxMs = 0;
    // 0-2: it hangs on the login; 3, 4: it is busy, reporting, before the login goes out;
    // 5: Unlock pressed twice; 6: the prompt of a write's read-back.
    for (const int kind : {0, 1, 2, 3, 4, 5, 6}) {
        const bool staysBusy = kind == 1, unlock = kind == 2 || kind == 4 || kind == 5;
        const bool busyBefore = kind == 3 || kind == 4, readBack = kind == 6;
        SCOPED_TRACE(testing::Message() << "kind " << kind);
        ui::ClearRecord();
        ui::ClearAnswers();
        PlugModule(2035);
        module->Config().usbPassword = "secret";
        (unlock ? module->SetGPRSLocked(true) : module->RequirePassword(!readBack));
        QTimer busyReports; // state records with the busy bit, as a hung module sends them
        QObject::connect(&busyReports, &QTimer::timeout, [&] {
            module->SendRawReport(QByteArray(1, char(module->StatusByte(true) | 0x80)).leftJustified(64, '\0'));
        });
        const auto release = [&] {
            busyReports.stop(), module->SetSilent(false), module->SetStayBusy(false), module->SendStatus();
        };
        // Busy for Ms: a login held past the limit then goes out late, failing the row rather than hanging it.
        const auto hangBusy = [&](int Ms) {
            busyReports.start(10);
            QTimer::singleShot(Ms, form, release);
            return sim::WaitUntil([&] { return form->Link()->Busy.load(); });
        };
        module->OnPacket = [&](const QByteArray& p) {
            if (quint8(p[0]) == 0x42 && !busyBefore)
                (staysBusy ? module->SetStayBusy(true) : module->SetSilent(true));
            if (quint8(p[0]) == 0x12 && readBack) // it asks for its password once the write is in
                module->RequirePassword(true);
        };
        if (busyBefore && !unlock) // while the prompt is up
            ui::SetOnRecorded([&](const ui::ShownDialog& d) { EXPECT_TRUE(d.kind != "input" || hangBusy(2900)); });
        ui::QueueText(QStringLiteral("secret"));
        CreateForms();
        form->Timer_CheckPassword->setInterval(20);
        if (unlock) {
            ASSERT_TRUE(WaitReadFinished());
            ASSERT_TRUE(sim::WaitUntil([&] { return !form->TntPanel18->isHidden() && form->isEnabled(); }));
            form->TntEdit5->setText(QStringLiteral("secret"));
            ASSERT_TRUE(!busyBefore || hangBusy(2900));
            if (kind == 5) // again while the module still owes the first one its answer
                QTimer::singleShot(100, form, [&] { form->TntButton34->click(); }),
                    QTimer::singleShot(2900, form, release);
            form->TntButton34->click();
        }
        if (readBack) {
            ASSERT_TRUE(WaitReadFinished());
            form->Edit13->setText(QStringLiteral("1234"));
            form->TntButton1->click();
        }
        ASSERT_TRUE(sim::WaitUntil([&] { return Shown("message", GetLangText(127)); }, 5000));
        sim::Pump(600);
        EXPECT_EQ(ui::Record().size(), unlock ? 1u : 2u); // the prompt once, then the message once
        EXPECT_TRUE(form->TntLabel82->isHidden()); // "Password you entered is incorrect"
        const auto codes = module->Codes();
        EXPECT_EQ(std::count(codes.begin(), codes.end(), 0x42), busyBefore ? 0 : 1);

        // It comes to: nothing more goes out, and the panel stays locked.
        ui::SetOnRecorded(nullptr);
        module->OnPacket = nullptr;
        release();
        sim::Pump(200);
        EXPECT_EQ(module->Codes(), codes);
        EXPECT_EQ(form->TntPanel18->isHidden(), !unlock);
        ui::ClearRecord();
        module->ClearLog();
        if (readBack) { // a read that stops at its first request
            module->RequirePassword(false), module->SendStatus();
            module->OnPacket = [&](const QByteArray& p) { module->SetSilent(quint8(p[0]) == 0x81); };
            form->TntButton19Click(); // "Read VEQ3 Settings"
            ASSERT_TRUE(sim::WaitUntil([&] { return Shown(GetLangText(39)); }, 5000));
        } else if (unlock) { // busy for a moment: the next Unlock waits for it, unlocks, reads the USB password
            ASSERT_TRUE(hangBusy(150));
            form->TntButton34->click();
            ASSERT_TRUE(sim::WaitUntil([&] { return module->Codes() == std::vector<quint8>{0x42, 0x87}; }));
            EXPECT_TRUE(form->TntPanel18->isHidden());
        } else { // plugged in again, it is asked afresh and read
            ui::QueueText(QStringLiteral("secret"));
            module->Replug();
            ASSERT_TRUE(WaitReadFinished());
        }
        EXPECT_EQ(ui::Record().size(), unlock ? 0u : 1u);
        CloseWindow();
    }
}
