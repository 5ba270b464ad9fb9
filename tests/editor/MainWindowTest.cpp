// The main window against the simulated module: start-up, a module arriving with old and
// new firmware, the read of all settings with its wait dialog, the password prompt, the
// time-out report, the GPRS-settings lock, unplugging and closing in the middle of work.
#include "editor/Controls.h"
#include "lang/LangText.h"
#include "support/WindowTestBase.h"
#include "widgets/IndLeds.h"
#include "widgets/PageWizard.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTime>

namespace {

class MainWindowTest : public WindowTestBase {
protected:
    void SetUp() override { WindowTestBase::SetUp(); SetLinkTiming(300, 100); }
};

TEST_F(MainWindowTest, StartsWithoutModuleInTheStoredLanguage)
{
    ASSERT_TRUE(CreateFormsWithLanguages());
    EXPECT_EQ(form->ComboBox28->currentText(), QStringLiteral("English"));
    EXPECT_TRUE(form->windowTitle().endsWith(QStringLiteral(" v.2.017")));
    EXPECT_EQ(form->TntLabel1->text(), GetLangText(25));
    EXPECT_FALSE(form->TntLabel1->text().isEmpty());
    EXPECT_FALSE(form->PageControl1->isVisibleTo(form));
    EXPECT_TRUE(form->Image1->isVisibleTo(form));
    // The switch remembered the language.
    QFile ini(dir.path() + "/Settings.ini");
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    EXPECT_TRUE(ini.readAll().contains("Language=English"));
}

TEST_F(MainWindowTest, OldFirmwareShowsTheNoticeAndReadsNothing)
{
    PlugModule(1999);
    CreateForms();
    ASSERT_TRUE(sim::WaitUntil([&] { return !form->TntLabel10->isHidden(); }));
    sim::Pump(400);
    EXPECT_TRUE(form->TntLabel73->isHidden());
    EXPECT_TRUE(module->Packets().empty());
    EXPECT_TRUE(form->PageControl1->isHidden());
}

TEST_F(MainWindowTest, NewFirmwareSendsTheHourThenReadsEverything)
{
    PlugModule(2035);
    bool dialogSeen = false;
    module->OnPacket = [&](const QByteArray&) {
        if (Form5 && Form5->isVisible())
            dialogSeen = true;
    };
    CreateForms();
    ASSERT_TRUE(sim::WaitUntil([&] { return !module->Packets().empty(); }));
    const QByteArray first = module->Packets().front();
    EXPECT_EQ(static_cast<quint8>(first[0]), 0x43);
    EXPECT_EQ(static_cast<int>(first[1]), QTime::currentTime().hour());
    ASSERT_TRUE(sim::WaitUntil([&] { return ReadFinished(); }, 15000));
    ASSERT_TRUE(sim::WaitUntil([&] { return !Form5->isVisible(); }));
    EXPECT_TRUE(dialogSeen);
    EXPECT_EQ(module->Codes()[1], 0x80);
    EXPECT_EQ(form->TntLabel1->text(), module->Options().productName + " SN:" + module->Options().serialNumber);
    EXPECT_FALSE(form->PageControl1->isHidden());
    EXPECT_TRUE(form->isEnabled());
}

TEST_F(MainWindowTest, PasswordPromptSendsTheLoginAndTheReadFollows)
{
    PlugModule(2035);
    module->Config().usbPassword = "secret";
    module->RequirePassword(true);
    ui::QueueText(QStringLiteral("secret"));
    CreateForms();
    ASSERT_TRUE(sim::WaitUntil([&] { return ReadFinished(); }, 15000));
    ASSERT_FALSE(ui::Record().empty());
    bool prompted = false;
    for (const auto& d : ui::Record())
        if (d.kind == "input" && d.caption == "Enter VEQ2 password" && d.text == "Password")
            prompted = true;
    EXPECT_TRUE(prompted);
    const auto codes = module->Codes();
    const auto login = std::find(codes.begin(), codes.end(), 0x42);
    ASSERT_NE(login, codes.end());
    EXPECT_EQ(module->Packets()[login - codes.begin()].mid(1, 6), QByteArray("secret"));
    EXPECT_LT(login - codes.begin(), std::find(codes.begin(), codes.end(), 0x80) - codes.begin());
}

TEST_F(MainWindowTest, CancelledPasswordEndsTheProgramWithoutCloseHandlers)
{
    PlugModule(2035);
    module->RequirePassword(true);
    ui::QueueText(std::nullopt);
    int quits = 0;
    TForm1::QuitProgram = [&] { ++quits; };
    CreateForms();
    ASSERT_TRUE(sim::WaitUntil([&] { return form->Terminated(); }, 10000));
    TForm1::QuitProgram = nullptr;
    EXPECT_EQ(quits, 1);
    // The log was not saved: no close handler ran.
    EXPECT_FALSE(QDir(dir.path() + "/Logs").exists());
}

TEST_F(MainWindowTest, TimeOutWritesTheDebugLineThenShowsMessage39)
{
    PlugModule(2035);
    // The module answers the first request but not the second.
    module->OnPacket = [&](const QByteArray& p) {
        if (static_cast<quint8>(p[0]) == 0x81)
            module->SetSilent(true);
    };
    CreateForms();
    ASSERT_TRUE(sim::WaitUntil([&] { return Shown("message", GetLangText(39)); }, 10000));
    QFile debug(dir.path() + "/Debug/Debug.txt");
    ASSERT_TRUE(debug.open(QIODevice::ReadOnly));
    EXPECT_EQ(debug.readAll(), QByteArray("00000081\r\n"));
    EXPECT_FALSE(Form5->isVisible());
    EXPECT_TRUE(form->Link()->ReadingAll);
}

TEST_F(MainWindowTest, GPRSLockShowsTheUnlockPanelAndUnlockReadsTheUSBPassword)
{
    PlugModule(2035);
    module->Config().usbPassword = "pw";
    module->SetGPRSLocked(true);
    CreateForms();
    ASSERT_TRUE(sim::WaitUntil([&] { return ReadFinished(); }, 15000));
    ASSERT_TRUE(sim::WaitUntil([&] { return !form->TntPanel18->isHidden(); }, 10000));
    EXPECT_TRUE(form->Edit1->isHidden());
    EXPECT_EQ(form->TntPanel18->y(), form->WPage[2]->ClientMargins().top());
    // The button works once the wait dialog has given the window back.
    ASSERT_TRUE(sim::WaitUntil([&] { return form->isEnabled(); }, 10000));
    module->ClearLog();
    form->TntEdit5->setText(QStringLiteral("pw"));
    form->TntButton34->click();
    ASSERT_TRUE(sim::WaitUntil([&] { return form->TntPanel18->isHidden(); }, 10000))
        << "locked=" << form->Link()->GPRSLocked << " error=" << form->Link()->Error
        << " timer=" << form->Timer_CheckPassword->isActive() << " codes=" << module->Codes().size()
        << " modlocked=" << module->GPRSLocked() << " label82=" << !form->TntLabel82->isHidden();
    ASSERT_TRUE(sim::WaitUntil([&] { return module->Codes().size() >= 2; }, 10000));
    sim::Pump(100);
    const auto codes = module->Codes();
    EXPECT_EQ(codes[0], 0x42);
    EXPECT_EQ(module->Packets()[0].mid(1, 2), QByteArray("pw"));
    EXPECT_EQ(std::count(codes.begin(), codes.end(), 0x87), 1);
    EXPECT_FALSE(form->Edit1->isHidden());
}

TEST_F(MainWindowTest, UnplugDuringTheReadClosesTheWaitDialog)
{
    PlugModule(2035);
    int requests = 0;
    module->OnPacket = [&](const QByteArray& p) {
        if (static_cast<quint8>(p[0]) >= 0x80 && ++requests == 20)
            QTimer::singleShot(0, [&] { module->Unplug(); });
    };
    CreateForms();
    ASSERT_TRUE(sim::WaitUntil([&] { return !module->IsPlugged(); }, 10000));
    ASSERT_TRUE(sim::WaitUntil([&] { return !form->Image1->isHidden(); }, 10000));
    EXPECT_FALSE(Form5->isVisible());
    EXPECT_TRUE(form->PageControl1->isHidden());
    EXPECT_TRUE(form->isEnabled());
    EXPECT_EQ(form->TntLabel1->text(), GetLangText(25));
}

TEST_F(MainWindowTest, ClosingWhileASendWaitsNeverTouchesAFreedLink)
{
    PlugModule(2035);
    module->OnPacket = [&](const QByteArray& p) {
        if (static_cast<quint8>(p[0]) == 0x80) {
            module->SetStayBusy(true);
            QTimer::singleShot(30, form, [&] { form->close(); });
        }
    };
    CreateForms();
    ASSERT_TRUE(sim::WaitUntil([&] { return form->Link() == nullptr; }, 10000));
    const size_t sent = module->Packets().size();
    sim::Pump(200);
    EXPECT_EQ(module->Packets().size(), sent);
}

TEST_F(MainWindowTest, ModuleLeavingWhileInstallationsArePendingReadsNothing)
{
    hid->SetInstallPending(true);
    PlugModule(2035);
    CreateForms();
    ASSERT_TRUE(sim::WaitUntil([&] { return form->Timer7->isActive(); }, 10000));
    module->Unplug();
    ASSERT_TRUE(sim::WaitUntil([&] { return !form->Image1->isHidden(); }, 10000));
    hid->SetInstallPending(false);
    sim::Pump(700);
    EXPECT_FALSE(form->Timer7->isActive());
    EXPECT_FALSE(form->Timer6->isActive());
    EXPECT_FALSE(Form5->isVisible());
    for (quint8 c : module->Codes())
        EXPECT_LT(c, 0x80) << "a read request went out";
}

TEST(UsartLogLine, FormatsIncomingOutgoingAndRegisters)
{
    EXPECT_EQ(MakeUsartLogLine("AT\r\n", true, false, 0, 0, 0, 0), QByteArray(">>AT "));
    EXPECT_EQ(MakeUsartLogLine(QByteArray("OK\0x", 4), false, false, 0, 0, 0, 0), QByteArray("<<OK.x"));
    EXPECT_EQ(MakeUsartLogLine("AT", true, true, 0x203, 1, 2, 0x41),
              QByteArray("ModemCR:01 ModemSR02 ModemFlags41 TCPSR0203\r\n>>AT"));
    // Incoming lines never carry the registers.
    EXPECT_EQ(MakeUsartLogLine("x", false, true, 1, 1, 1, 1), QByteArray("<<x"));
}

} // namespace
